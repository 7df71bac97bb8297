#pragma once
// The dialog that names the GSDML file.
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
};

extern TFProfinetFileName* FProfinetFileName;
