#pragma once
// The older CAN send frame list.
#include "shell/frame/DialogFrame.h"

class TFCAN_Send_Frame : public TFramed_Dialog {
public:
    explicit TFCAN_Send_Frame(TComponent* AOwner);

    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TFrame_Button* Btn_DelRow;
    TFrame_Button* Btn_InsRow;

    void FormCreate(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFCAN_Send_Frame* FCAN_Send_Frame;
