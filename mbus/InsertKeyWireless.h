#pragma once
// The small borderless dialog that asks the AES key of a wireless M-Bus sender.
#include "shell/frame/DialogFrame.h"

class TFInsertKeyWireless : public TForm {
public:
    explicit TFInsertKeyWireless(TComponent* AOwner);

    TShape* Shape1; // the frame around the borderless window
    TLabel* L_InsKey;
    TEdit* E_Key;
    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;

    void FormCreate(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFInsertKeyWireless* FInsertKeyWireless;
