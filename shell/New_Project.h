#pragma once
// The dialog that creates a project folder.
#include "shell/frame/DialogFrame.h"

class TFNew_Project : public TFramed_Dialog {
public:
    explicit TFNew_Project(TComponent* AOwner);

    TLabel* Label1;
    TEdit* E_New_Proj;
    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;

    void FormCreate(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFNew_Project* FNew_Project;
