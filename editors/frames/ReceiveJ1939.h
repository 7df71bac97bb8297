#pragma once
// The J1939 receive frame table.
#include "shell/frame/DialogFrame.h"

class TFReceiveJ1939 : public TFramed_Dialog {
public:
    explicit TFReceiveJ1939(TComponent* AOwner);

    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TFrame_Button* Btn_DelRow;
    TFrame_Button* Btn_InsRow;

    void FormCreate(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFReceiveJ1939* FReceiveJ1939;
