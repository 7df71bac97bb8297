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
    void FormShow(TObject* Sender);
    // Creates the project folder below Projects_Dir and opens it; an error box otherwise.
    void Btn_OKClick(TObject* Sender);
    // Enter confirms like OK.
    void E_New_ProjKeyPress(TObject* Sender, char32_t& Key);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFNew_Project* FNew_Project;
