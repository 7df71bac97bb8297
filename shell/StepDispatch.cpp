// The main window's step buttons and what they start: the project dialogs, the editors, the
// device update with the external updater, and the version check with the web links.
#include "image/EdsFile.h"
#include "image/ImageCompiler.h"
#include "image/dialogs/ProfinetFileName.h"
#include "mbus/ScanDecode.h"
#include "platform/base/Clock.h"
#include "platform/files/Files.h"
#include "platform/process/Process.h"
#include "shell/About.h"
#include "shell/BootTCP.h"
#include "shell/New_Project.h"
#include "shell/OpenConf.h"
#include "shell/SoftOptions.h"
#include "shell/VelmareFirmWare.h"
#include "shell/state/ProductProfiles.h"
#include "shell/state/ProgramState.h"
#include "shell/state/Settings.h"
#include "shell/state/UITexts.h"

void TFVelmareFirmWare::Wire_Step_Handlers() {
    for (TFrame_Button* b : {Btn_Info,
                             Btn_Opz,
                             Btn_Close,
                             Btn_New,
                             Btn_Open,
                             Btn_Prm_Gen,
                             Btn_KNX_Access,
                             Btn_ModM_SetAccess,
                             Btn_CAN_Rec_Frame,
                             Btn_CAN_Rec_Info,
                             Btn_CAN_Send_Frame,
                             Btn_CAN_Send_Info,
                             Btn_SDO_Server_CANopen,
                             Btn_SDO_Client_CANopen,
                             Btn_PDO_CANopen,
                             Btn_CANopen_EDS,
                             Btn_DNet_Net,
                             Btn_DNet_Offset,
                             Btn_J1939_Rec_Frame,
                             Btn_J1939_Send_Frame,
                             Btn_MBus,
                             Btn_DMX_Default,
                             Btn_PROFINET_XML,
                             Btn_CreateBin,
                             Btn_ScanDecode})
        b->OnClick = [this](TObject* Sender) { Btn_Click(Sender); };
    Timer_Update->OnTimer = [this](TObject* Sender) { Timer_UpdateTimer(Sender); };
    L_Morvik->OnClick = [this](TObject* Sender) { L_MorvikClick(Sender); };
    LL_Update->OnLinkClick = [this](TObject* Sender, const std::string& Link,
                                    TSysLinkType LinkType) {
        LL_UpdateLinkClick(Sender, Link, LinkType);
    };
}

void TFVelmareFirmWare::Btn_Click(TObject* Sender) {
    // The five buttons that need no project.
    if (Sender == Btn_New) return Create_New_Project();
    if (Sender == Btn_Open) return Open_Project();
    if (Sender == Btn_Close) return Close();
    if (Sender == Btn_Info) {
        FAbout->ShowModal();
        return;
    }
    if (Sender == Btn_Opz) {
        if (FSoftOptions->ShowModal() == mrOk) {
            Save_Setting();
            Timer_Update->SetEnabled(Internet_Enabled && Update_Check_Enabled);
        }
        return;
    }

    if (Project_Dir.empty()) {
        MessageDlg(UI_Texts[18], mtError, {mbOK});
        return;
    }
    // The other buttons do what their step in the product's workflow names.
    const auto* button = dynamic_cast<const TComponent*>(Sender);
    if (!button) return;
    for (const TProduct_Step& step : Product_Profile().Steps)
        if (step.Button == button->Name()) return Open_Step(step.Opens);
}

void TFVelmareFirmWare::Open_Step(const std::string& Opens) {
    if (Opens == "Update_Device") return Update_Device();
    if (Opens == "Build_EDS_File") return Build_EDS_File();
    if (Opens == "PROFINET_XML") return PROFINET_XML();
    if (Opens == "TFScanDecode") return Scan_And_Decode();
    // A form class TFName is the form FName. How a dialog closes does not matter here: it has
    // saved its file itself.
    if (auto* form = dynamic_cast<TCustomForm*>(Application->FindComponent(Opens.substr(1))))
        form->ShowModal();
}

void TFVelmareFirmWare::Scan_And_Decode() {
    if (FileExists(File_M_Bus) && MessageDlg(UI_Texts[973], mtWarning, mbYesNo) != mrYes) return;
    FScanDecode->XML_Code_Dev = Get_XML_Code_Dev();
    FScanDecode->FileName_MBus = File_M_Bus;
    FScanDecode->Form_Type = Is_MBus_Type();
    FScanDecode->ShowModal();
}

void TFVelmareFirmWare::Create_New_Project() {
    if (FNew_Project->ShowModal() != mrOk) return;
    // The dialog has set the project state.
    L_Name_Conf->SetCaption(UI_Texts[11]);
    L_Name_Conf_L2->SetCaption(Project_Name);
}

void TFVelmareFirmWare::Open_Project() {
    if (FOpenConf->ShowModal() != mrOk) return;
    Project_Name = FOpenConf->Name_Conf;
    if (!Project_Name.empty()) {
        Project_Dir = Project_Folder(Project_Name);
        L_Name_Conf->SetCaption(UI_Texts[11]);
        L_Name_Conf_L2->SetCaption(Project_Name);
    } else {
        Project_Dir.clear();
        L_Name_Conf->SetCaption(UI_Texts[9]);
        L_Name_Conf_L2->SetCaption(UI_Texts[10]);
    }
    Set_Files();
}

void TFVelmareFirmWare::Update_Device() {
    // A project that does not compile is not handed to the updater.
    try {
        Compile_Bank();
        Save_Bank();
    } catch (const Exception& E) {
        Application->ShowException(E);
        return;
    }
    FBootTCP->ShowModal();
}

void TFVelmareFirmWare::Build_EDS_File() {
    SaveEDS->InitialDir = Project_Dir;
    if (!SaveEDS->Execute()) return;
    try {
        Write_EDS(SaveEDS->FileName);
    } catch (const Exception& E) {
        Application->ShowException(E);
    }
}

void TFVelmareFirmWare::PROFINET_XML() {
    if (FProfinetFileName->ShowModal() != mrOk) return;
    try {
        Save_PROFINET_XML(FProfinetFileName->Name_File_XML);
    } catch (const Exception& E) {
        Application->ShowException(E);
    }
}

bool TFVelmareFirmWare::Start_Program(const std::string& Path, const std::string& Parameters,
                                      bool Hide) {
    TChildProcess program;
    if (!program.Start(Path, Parameters, Hide)) {
        MessageDlg(program.ErrorText(), mtError, {mbOK});
        return false;
    }
    // The updater's result is not read; a program still running afterwards is left running.
    // The windows go on painting meanwhile (the desktop would call a silent program hung), but
    // take no input.
    const std::uint64_t start = GetTickCount64();
    while (program.ExitCode() == STILL_ACTIVE && GetTickCount64() - start <= 149999) {
        Sleep(10);
        Application->KeepPainting();
    }
    return true;
}

void TFVelmareFirmWare::Timer_UpdateTimer(TObject* /*Sender*/) {
    Timer_Update->SetEnabled(false);
    if (Check_Version()) {
        LL_Update->SetCaption("<a href=\"" + Download_Page_URL(Product_Type()) + "\">" +
                              UI_Texts[19] + "</a>");
        LL_Update->SetVisible(true);
    } else {
        LL_Update->SetVisible(false);
    }
    Timer_Update->SetInterval(7200000);
    Timer_Update->SetEnabled(true);
}

void TFVelmareFirmWare::L_MorvikClick(TObject* /*Sender*/) {
    const std::string url = Product_Page_URL(Product_Type());
    if (!url.empty()) ShellOpen(url);
}

void TFVelmareFirmWare::LL_UpdateLinkClick(TObject* /*Sender*/, const std::string& Link,
                                           TSysLinkType /*LinkType*/) {
    ShellOpen(Link);
}
