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
    void FormShow(TObject* Sender);
    void ListBox1Click(TObject* Sender);
    // Fills SL and the list with the sub-folders of Projects_Dir.
    void Load_Existing_Configuration();
    // Index of the first entry of SL equal to Name in any letter case; -1 when none is.
    int Search_Open_Conf(const std::string& Name) const;
    // Sets the texts from UI_Texts.
    void Set_Lang();
};

extern TFOpenConf* FOpenConf;
