#pragma once
// The older CAN receive frame list.
#include "shell/frame/DialogFrame.h"

class TFCAN_Rec_Frames : public TFramed_Dialog {
public:
    explicit TFCAN_Rec_Frames(TComponent* AOwner);

    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TFrame_Button* Btn_DelRow;
    TFrame_Button* Btn_InsRow;

    void FormCreate(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFCAN_Rec_Frames* FCAN_Rec_Frames;
