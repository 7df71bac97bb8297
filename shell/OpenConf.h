#pragma once
// The dialog that picks an existing project folder.
#include "shell/frame/DialogFrame.h"

class TFOpenConf : public TFramed_Dialog {
public:
    explicit TFOpenConf(TComponent* AOwner);

    TLabel* Label1;
    TListBox* ListBox1;
    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;

    TStringList SL;        // names of the project folders found
    std::string Name_Conf; // the chosen name, kept between showings

    void FormCreate(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFOpenConf* FOpenConf;
