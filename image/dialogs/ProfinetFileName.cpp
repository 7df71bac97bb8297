#include "image/dialogs/ProfinetFileName.h"

#include "image/GsdmlFile.h"

#include "platform/base/DateUtils.h"
#include "platform/files/Files.h"
#include "platform/ui/core/Dialogs.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TFProfinetFileName* FProfinetFileName = nullptr;

TFProfinetFileName::TFProfinetFileName(TComponent* AOwner)
    : TFramed_Dialog(AOwner, "FProfinetFileName") {
    Btn_OK = Add_Button("Btn_OK", 16);
    Btn_Cancel = Add_Button("Btn_Cancel", 134, mrCancel);
    L_Select_Name = Create_Label(this, this, "L_Select_Name", 16, 78);
    L_FixPart_1 = Create_Label(this, this, "L_FixPart_1", 16, 102);
    L_UsedPart = Create_Label(this, this, "L_UsedPart", 226, 102);
    L_FixPart_2 = Create_Label(this, this, "L_FixPart_2", 416, 102);
    L_XML_Fix1 = Create_Label(this, this, "L_XML_Fix1", 16, 124);
    L_XML_Fix2 = Create_Label(this, this, "L_XML_Fix2", 416, 124);
    E_XML_User = Create_Control<TEdit>(this, this, "E_XML_User");
    E_XML_User->SetLeft(226);
    E_XML_User->SetTop(120);
    Btn_OK->OnClick = [this](TObject* Sender) { Btn_OK_Click(Sender); };
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
}

void TFProfinetFileName::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(540, 205);
    L_XML_Fix1->SetCaption(GSDML_Fixed_Part(Product_Type()));
    // The date of the program's start, taken once.
    L_XML_Fix2->SetCaption(GSDML_Date_Part(Now()));
    Set_Lang();
}

void TFProfinetFileName::Set_Lang() {
    SetCaption(UI_Texts[911]);
    L_SW_Desc->SetCaption(UI_Texts[912]);
    Btn_OK->SetCaption(UI_Texts[917]);
    Btn_Cancel->SetCaption(UI_Texts[918]);
    L_Select_Name->SetCaption(UI_Texts[913]);
    L_FixPart_1->SetCaption(UI_Texts[914]);
    L_UsedPart->SetCaption(UI_Texts[915]);
    L_FixPart_2->SetCaption(UI_Texts[916]);
}

void TFProfinetFileName::Btn_OK_Click(TObject* /*Sender*/) {
    Name_File_XML =
        Compose_GSDML_File_Name(L_XML_Fix1->Caption(), E_XML_User->Text(), L_XML_Fix2->Caption());
    SetModalResult(mrOk);
}

void Save_PROFINET_XML(const std::string& File_Name) {
    TSaveDialog save(nullptr);
    save.InitialDir = Project_Dir;
    save.Filter = "PROFINET XML (*.xml)|" + File_Name;
    save.FileName = File_Name;
    if (!save.Execute()) return;
    // Only the folder is taken from the dialog; the file keeps the composed name.
    const std::string target = PathJoin(ExtractFileDir(save.FileName), File_Name);
    if (FileExists(target) && MessageDlg(UI_Texts[919], mtConfirmation, mbYesNo) != mrYes) return;
    const int type = Product_Type();
    if (type == 12 || type == 1012) Write_GSDML(target, type, Project_Dir);
}
