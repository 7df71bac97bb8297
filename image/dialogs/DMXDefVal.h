#pragma once
// The DMX default-value dialog.
#include "shell/frame/DialogFrame.h"

class TFDMXDefVal : public TFramed_Dialog {
public:
    explicit TFDMXDefVal(TComponent* AOwner);

    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;

    void FormCreate(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFDMXDefVal* FDMXDefVal;
