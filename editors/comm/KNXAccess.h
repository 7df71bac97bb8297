#pragma once
// The KNX access table editor. Its rows, load, check and save are in KnxAccessTable.h; the
// grid binds to them once the grid editors exist.
#include "shell/frame/DialogFrame.h"

class TFKNXAccess : public TFramed_Dialog {
public:
    explicit TFKNXAccess(TComponent* AOwner);

    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TFrame_Button* Btn_DelRow;
    TFrame_Button* Btn_InsRow;
    TFrame_Button* Btn_CopyRow;
    TFrame_Button* Btn_PasteRow;

    void FormCreate(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFKNXAccess* FKNXAccess;
