#pragma once
// The byte map of the older CAN send frames.
#include "shell/frame/DialogFrame.h"

class TF_Sen_Info : public TFramed_Dialog {
public:
    explicit TF_Sen_Info(TComponent* AOwner);

    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TLabel* StaticText1;
    TLabel* StaticText2;

    void FormCreate(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TF_Sen_Info* F_Sen_Info;
