#pragma once
// The dialog that names the GSDML file, and the save of the file under that name.
#include "shell/frame/DialogFrame.h"

class TFProfinetFileName : public TFramed_Dialog {
public:
    explicit TFProfinetFileName(TComponent* AOwner);

    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TLabel* L_Select_Name;
    TLabel* L_FixPart_1;
    TLabel* L_UsedPart;
    TLabel* L_FixPart_2;
    TLabel* L_XML_Fix1;
    TLabel* L_XML_Fix2;
    TEdit* E_XML_User;
    std::string Name_File_XML; // the composed file name, set on OK

    void FormCreate(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();
    // Composes Name_File_XML and closes with OK.
    void Btn_OK_Click(TObject* Sender);
};

extern TFProfinetFileName* FProfinetFileName;

// Asks for the folder (the save dialog proposes File_Name in the project folder), asks before
// replacing a file and writes the GSDML file there under File_Name, whatever name was picked.
// Cancel and No write nothing; a file that cannot be written raises.
void Save_PROFINET_XML(const std::string& File_Name);
