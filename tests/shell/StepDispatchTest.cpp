#include "ShellTestSupport.h"
#include "editors/comm/KNXAccess.h"
#include "editors/comm/Modbus_TCP_Master_Set_Access.h"
#include "editors/comm/ParGen.h"
#include "editors/comm/SetAccess.h"
#include "editors/frames/DNet.h"
#include "editors/frames/DefOffset.h"
#include "editors/frames/ReceiveCAN.h"
#include "editors/frames/ReceiveJ1939.h"
#include "editors/frames/ReceiveNMEA.h"
#include "editors/frames/Set_PDO_Access.h"
#include "editors/frames/Set_SDO_Client_Access.h"
#include "editors/frames/Set_SDO_Server_Access.h"
#include "editors/frames/TransmitCAN.h"
#include "editors/frames/TransmitJ1939.h"
#include "editors/frames/TransmitNMEA.h"
#include "image/dialogs/DMXDefVal.h"
#include "image/dialogs/ProfinetFileName.h"
#include "mbus/Meter_Bus.h"
#include "mbus/ScanDecode.h"
#include "platform/testing/UiTest.h"
#include "shell/About.h"
#include "shell/BootTCP.h"
#include "shell/New_Project.h"
#include "shell/OpenConf.h"
#include "shell/SoftOptions.h"
#include "shell/VelmareFirmWare.h"
#include "shell/state/ProductProfiles.h"
#include "shell/state/UITexts.h"

#include <map>

namespace {

class StepDispatch : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        StartProgram();
    }
    TFVelmareFirmWare* W() const { return FVelmareFirmWare; }

    void OpenProject(const std::string& name) {
        ForceDirectories(PathJoin(Projects_Dir, name + "/bin"));
        Project_Name = name;
        Project_Dir = PathJoin(Projects_Dir, name);
        Set_Files();
    }
    // Clicks the button and returns the form it showed modally (closed at once), or nullptr.
    TCustomForm* FormOpenedBy(TControl* button) {
        TCustomForm* shown = nullptr;
        auto testHook = Application->OnModalIdle;
        Application->OnModalIdle = [&shown](TCustomForm* f) {
            if (!shown) shown = f;
            f->SetModalResult(mrCancel);
        };
        // A hidden button takes no click; its handler still answers for it (and for the top-row
        // push button).
        if (auto* b = dynamic_cast<TFrame_Button*>(button); b && b->Visible())
            b->Click();
        else
            W()->Btn_Click(button);
        Application->OnModalIdle = testHook;
        return shown;
    }
    const std::vector<TDialogRequest>& Questions() const { return uitest::dialogs().Questions(); }
    std::vector<std::string> Subfolders(const std::string& name) const {
        return ListSubFolders(Path(name));
    }
};

TEST_F(StepDispatch, Type25ButtonsOpenTheirDialogs) {
    OpenProject("Boat");
    const std::pair<TFrame_Button*, TCustomForm*> cases[] = {
        {W()->Btn_New, FNew_Project},
        {W()->Btn_Open, FOpenConf},
        {W()->Btn_Info, FAbout},
        {W()->Btn_Opz, FSoftOptions},
        {W()->Btn_Prm_Gen, FParGen},
        {W()->Btn_KNX_Access, FKNXAccess},
        {W()->Btn_J1939_Rec_Frame, FReceiveNMEA},
        {W()->Btn_J1939_Send_Frame, FTransmitNMEA},
        {W()->Btn_CreateBin, FBootTCP},
        {W()->Btn_CAN_Rec_Info, nullptr},
        {W()->Btn_ModM_SetAccess, nullptr},
    };
    for (const auto& [button, form] : cases)
        EXPECT_EQ(FormOpenedBy(button), form) << button->Name();
    EXPECT_TRUE(Questions().empty());
    EXPECT_EQ(Project_Dir, PathJoin(Projects_Dir, "Boat")) << "cancelled dialogs change nothing";
}

TEST_F(StepDispatch, WithoutAProjectOnlyTheFiveFreeButtonsWork) {
    ASSERT_EQ(Project_Dir, "");
    TFVelmareFirmWare* w = W();
    TFrame_Button* const refused[] = {
        w->Btn_Prm_Gen,       w->Btn_KNX_Access,         w->Btn_ModM_SetAccess,
        w->Btn_CAN_Rec_Frame, w->Btn_CAN_Rec_Info,       w->Btn_CAN_Send_Frame,
        w->Btn_CAN_Send_Info, w->Btn_SDO_Server_CANopen, w->Btn_SDO_Client_CANopen,
        w->Btn_PDO_CANopen,   w->Btn_CANopen_EDS,        w->Btn_DNet_Net,
        w->Btn_DNet_Offset,   w->Btn_J1939_Rec_Frame,    w->Btn_J1939_Send_Frame,
        w->Btn_MBus,          w->Btn_DMX_Default,        w->Btn_PROFINET_XML,
        w->Btn_CreateBin,     w->Btn_ScanDecode,
    };
    for (TFrame_Button* b : refused) {
        const std::size_t asked = Questions().size();
        EXPECT_EQ(FormOpenedBy(b), nullptr) << b->Name();
        ASSERT_EQ(Questions().size(), asked + 1) << b->Name();
        EXPECT_EQ(Questions().back().Text, "Error! Project not Valid");
        EXPECT_EQ(Questions().back().Type, mtError);
        EXPECT_EQ(Questions().back().Buttons, TMsgDlgButtons({mbOK}));
    }
    EXPECT_FALSE(DirectoryExists(Path("PROJECTS/bin")));
    for (TFrame_Button* b : {w->Btn_New, w->Btn_Open, w->Btn_Info, w->Btn_Opz})
        EXPECT_NE(FormOpenedBy(b), nullptr) << b->Name();
    EXPECT_EQ(Questions().size(), std::size(refused));
}

TEST_F(StepDispatch, StepButtonsOpenTheDialogsOfTheProductType) {
    struct Case {
        int type;
        const char* button;
        TCustomForm* (*form)(); // the instance after the start of that type
    };
    const Case cases[] = {
        {9, "Btn_J1939_Rec_Frame", []() -> TCustomForm* { return FReceiveJ1939; }},
        {9, "Btn_J1939_Send_Frame", []() -> TCustomForm* { return FTransmitJ1939; }},
        {1, "Btn_ModM_SetAccess", []() -> TCustomForm* { return FSetAccess; }},
        {1001, "Btn_ModM_SetAccess", []() -> TCustomForm* { return FSetAccess; }},
        {3, "Btn_ModM_SetAccess", []() -> TCustomForm* { return FModbus_TCP_Master_Set_Access; }},
        {1003, "Btn_ModM_SetAccess",
         []() -> TCustomForm* { return FModbus_TCP_Master_Set_Access; }},
        {5, "Btn_ModM_SetAccess", []() -> TCustomForm* { return nullptr; }},
        {5, "Btn_CAN_Rec_Frame", []() -> TCustomForm* { return FReceiveCAN; }},
        {5, "Btn_CAN_Send_Frame", []() -> TCustomForm* { return FTransmitCAN; }},
        {6, "Btn_SDO_Server_CANopen", []() -> TCustomForm* { return FSet_SDO_Server_Access; }},
        {6, "Btn_SDO_Client_CANopen", []() -> TCustomForm* { return FSet_SDO_Client_Access; }},
        {6, "Btn_PDO_CANopen", []() -> TCustomForm* { return FSet_PDO_Access; }},
        {7, "Btn_DNet_Net", []() -> TCustomForm* { return FDNet; }},
        {7, "Btn_DNet_Offset", []() -> TCustomForm* { return FDefOffset; }},
        // The DeviceNet slave has no network of its own to edit.
        {8, "Btn_DNet_Net", []() -> TCustomForm* { return nullptr; }},
        {8, "Btn_DNet_Offset", []() -> TCustomForm* { return nullptr; }},
        {10, "Btn_MBus", []() -> TCustomForm* { return FMeter_Bus; }},
        {1010, "Btn_MBus", []() -> TCustomForm* { return FMeter_Bus; }},
        {11, "Btn_DMX_Default", []() -> TCustomForm* { return FDMXDefVal; }},
        {1011, "Btn_DMX_Default", []() -> TCustomForm* { return FDMXDefVal; }},
        {12, "Btn_PROFINET_XML", []() -> TCustomForm* { return FProfinetFileName; }},
        {1012, "Btn_PROFINET_XML", []() -> TCustomForm* { return FProfinetFileName; }},
        {8, "Btn_CreateBin", []() -> TCustomForm* { return FBootTCP; }},
    };
    for (const Case& c : cases) {
        SetType(c.type);
        StartProgram();
        OpenProject("P");
        auto* button = dynamic_cast<TFrame_Button*>(W()->FindComponent(c.button));
        ASSERT_NE(button, nullptr) << c.button;
        EXPECT_EQ(FormOpenedBy(button), c.form()) << c.type << " " << c.button;
    }
    EXPECT_TRUE(Questions().empty());
}

// Each step button of each product type opens what its workflow step names: the form of a form
// class, or the main-window action.
TEST_F(StepDispatch, EveryStepOfEveryWorkflowOpensWhatItNames) {
    for (int type : Product_Types_With_Profile()) {
        SetType(type);
        StartProgram();
        OpenProject("P");
        for (const TProduct_Step& step : Get_Product_Profile(type).Steps) {
            if (step.Button == "Btn_New" || step.Button == "Btn_Open") continue;
            SCOPED_TRACE(std::to_string(type) + " " + step.Button);
            auto* button = dynamic_cast<TControl*>(W()->FindComponent(step.Button));
            ASSERT_NE(button, nullptr);
            EXPECT_TRUE(button->Visible());
            const std::size_t asked = Questions().size();
            if (step.Opens == "Build_EDS_File") {
                uitest::dialogs().QueueAnswer(mrCancel);
                W()->Btn_Click(button);
                ASSERT_EQ(Questions().size(), asked + 1);
                EXPECT_EQ(Questions().back().Kind, dkSaveFile);
                continue;
            }
            TCustomForm* const shown = FormOpenedBy(button);
            // Update Device shows the compile error of a type whose image this version does not
            // compile, instead of the device-update dialog.
            if (step.Opens == "Update_Device" && Questions().size() == asked + 1) {
                EXPECT_EQ(Questions().back().Kind, dkException);
                EXPECT_EQ(shown, nullptr);
                continue;
            }
            EXPECT_EQ(Questions().size(), asked);
            const std::map<std::string, TCustomForm*> actions = {
                {"Update_Device", FBootTCP},
                {"PROFINET_XML", FProfinetFileName},
            };
            const auto action = actions.find(step.Opens);
            ASSERT_NE(shown, nullptr);
            if (action != actions.end())
                EXPECT_EQ(shown, action->second);
            else
                EXPECT_EQ("T" + shown->Name(), step.Opens);
        }
    }
}

TEST_F(StepDispatch, EdsFileIsSavedFromTheProjectFolder) {
    SetType(6);
    StartProgram();
    OpenProject("Motor");
    uitest::dialogs().QueueAnswer(mrCancel);
    EXPECT_EQ(FormOpenedBy(W()->Btn_CANopen_EDS), nullptr);
    ASSERT_EQ(Questions().size(), 1u);
    EXPECT_EQ(Questions()[0].Kind, dkSaveFile);
    EXPECT_EQ(Questions()[0].InitialDir, Project_Dir);
}

TEST_F(StepDispatch, EdsFileIsWrittenWhereTheUserChose) {
    SetType(6);
    StartProgram();
    OpenProject("Motor");
    uitest::dialogs().QueueFile(Path("PROJECTS/Motor/motor.eds"));
    FormOpenedBy(W()->Btn_CANopen_EDS);
    EXPECT_TRUE(ReadBinaryFile(Path("PROJECTS/Motor/motor.eds"))
                    .starts_with("[FileInfo]\r\nFileName=CANopen_KNX.eds\r\n"));
    // A project file that cannot be read is shown in the error box; the old file stays.
    WriteFile("PROJECTS/Motor/PDO_CANopen.xml", "<PDO_CANopen/>");
    WriteFile("PROJECTS/Motor/motor.eds", "old");
    uitest::dialogs().QueueFile(Path("PROJECTS/Motor/motor.eds"));
    FormOpenedBy(W()->Btn_CANopen_EDS);
    ASSERT_EQ(Questions().size(), 3u) << "two save dialogs and the error";
    EXPECT_EQ(Questions()[2].Kind, dkException);
    EXPECT_NE(Questions()[2].Text.find("Receive_PDO"), std::string::npos) << Questions()[2].Text;
    EXPECT_EQ(ReadBinaryFile(Path("PROJECTS/Motor/motor.eds")), "old");
}

TEST_F(StepDispatch, GsdmlFileGetsTheNameOfTheNameDialog) {
    SetType(12);
    StartProgram();
    OpenProject("Line");
    auto testHook = Application->OnModalIdle;
    Application->OnModalIdle = [](TCustomForm* f) {
        ASSERT_EQ(f, FProfinetFileName);
        FProfinetFileName->E_XML_User->SetText("Hall A");
        FProfinetFileName->Btn_OK->Click();
    };
    uitest::dialogs().QueueFile(Path("PROJECTS/Line/picked.xml"));
    W()->Btn_PROFINET_XML->Click();
    Application->OnModalIdle = testHook;
    const std::string name = FProfinetFileName->Name_File_XML;
    EXPECT_TRUE(name.starts_with("GSDML-V2.31-Morvik-QV40522_Hall A-")) << name;
    EXPECT_TRUE(FileExists(Path("PROJECTS/Line/" + name))) << name;
    EXPECT_FALSE(FileExists(Path("PROJECTS/Line/picked.xml")));
}

TEST_F(StepDispatch, ScanAndDecodeStopsWhenTheUserKeepsTheMBusNetwork) {
    SetType(10);
    StartProgram();
    OpenProject("Meters");
    WriteFile("PROJECTS/Meters/M_Bus.xml", "<M_Bus/>");
    uitest::dialogs().QueueAnswer(mrNo);
    EXPECT_EQ(FormOpenedBy(W()->Btn_ScanDecode), nullptr);
    ASSERT_EQ(Questions().size(), 1u);
    EXPECT_EQ(Questions()[0].Text, "M_Bus network configuration already exists for this "
                                   "configuration. Do you want to continue?");
    EXPECT_EQ(Questions()[0].Type, mtWarning);
    EXPECT_EQ(Questions()[0].Buttons, mbYesNo);
}

TEST_F(StepDispatch, ScanAndDecodeHandsTheNetworkFileToTheScanWindow) {
    SetType(10);
    StartProgram();
    OpenProject("Meters");
    // Without an M-Bus file nothing is asked; with one, Yes goes on.
    for (bool fileExists : {false, true}) {
        if (fileExists) {
            WriteFile("PROJECTS/Meters/M_Bus.xml", "<M_Bus/>");
            uitest::dialogs().QueueAnswer(mrYes);
        }
        FScanDecode->XML_Code_Dev = FScanDecode->Form_Type = -1;
        FScanDecode->FileName_MBus.clear();
        EXPECT_EQ(FormOpenedBy(W()->Btn_ScanDecode), FScanDecode) << fileExists;
        EXPECT_EQ(Questions().size(), fileExists ? 1u : 0u);
        EXPECT_EQ(FScanDecode->FileName_MBus, Path("PROJECTS/Meters/M_Bus.xml"));
        EXPECT_EQ(FScanDecode->XML_Code_Dev, Get_XML_Code_Dev());
        EXPECT_EQ(FScanDecode->Form_Type, Is_MBus_Type());
    }
}

TEST_F(StepDispatch, NewCreatesTheProjectFolderAndOpensIt) {
    TFNew_Project* d = FNew_Project;
    uitest::whenModalIdle([d](TCustomForm*) {
        EXPECT_EQ(d->E_New_Proj->Text(), "");
        d->E_New_Proj->SetText("Boat 1");
        d->Btn_OK->Click();
    });
    W()->Btn_New->Click();
    EXPECT_TRUE(DirectoryExists(Path("PROJECTS/Boat 1/bin")));
    EXPECT_EQ(Project_Name, "Boat 1");
    EXPECT_EQ(Project_Dir, Path("PROJECTS/Boat 1"));
    EXPECT_EQ(File_NMEA_Rec_Frames, Path("PROJECTS/Boat 1/NMEA_Rec_Frames.xml"));
    EXPECT_EQ(W()->L_Name_Conf->Caption(), UI_Texts[11]);
    EXPECT_EQ(W()->L_Name_Conf_L2->Caption(), "Boat 1");
    EXPECT_TRUE(Questions().empty());

    // Enter in the name confirms as OK does; the edit starts empty at every showing.
    uitest::whenModalIdle([d](TCustomForm*) {
        EXPECT_EQ(d->E_New_Proj->Text(), "");
        d->E_New_Proj->SetText("Boat 2");
        uitest::pressKey(VK_RETURN, {}, d->E_New_Proj);
        if (d->ModalResult() == mrNone) d->SetModalResult(mrCancel);
    });
    W()->Btn_New->Click();
    EXPECT_EQ(Project_Dir, Path("PROJECTS/Boat 2"));
}

TEST_F(StepDispatch, NewRefusesNamesThatAreNoNewFolderBelowProjects) {
    ForceDirectories(Path("PROJECTS/Existing"));
    WriteFile("PROJECTS/notes.txt", "a file, not a project");
    struct Case {
        const char* name;
        const char* error;
    };
    const Case cases[] = {
        {"", "Error! Name Project is not valid"},
        {"   ", "Error! Name Project is not valid"},
        {"Existing", "Error! Name project is not valid because directory already exists"},
        {"EXISTING", "Error! Name project is not valid because directory already exists"},
        {"a/b", "Error! Name project is not valid"},
        {"a\\b", "Error! Name project is not valid"},
        {"..", "Error! Name project is not valid"},
        {"../evil", "Error! Name project is not valid"},
        {"..\\evil", "Error! Name project is not valid"},
        {"x..y", "Error! Name project is not valid"},
        {".", "Error! Name project is not valid"},
        {"notes.txt", "Error! Name project is not valid"},
    };
    TFNew_Project* d = FNew_Project;
    for (const Case& c : cases) {
        const std::size_t asked = Questions().size();
        uitest::runModal(d, [&](TCustomForm*) {
            d->E_New_Proj->SetText(c.name);
            d->Btn_OK->Click();
            EXPECT_EQ(d->ModalResult(), mrNone) << "the dialog stays open: " << c.name;
            EXPECT_EQ(d->E_New_Proj->Text(), c.name);
            d->SetModalResult(mrCancel);
        });
        ASSERT_EQ(Questions().size(), asked + 1) << c.name;
        EXPECT_EQ(Questions().back().Text, c.error) << c.name;
        EXPECT_EQ(Questions().back().Type, mtError) << c.name;
    }
    EXPECT_EQ(Project_Dir, "");
    EXPECT_EQ(Subfolders("PROJECTS"), std::vector<std::string>{"Existing"});
    EXPECT_EQ(Subfolders(""), (std::vector<std::string>{"LANGUAGE", "MASTER", "PROJECTS"}));
}

TEST_F(StepDispatch, NewReportsAFolderThatCannotBeCreated) {
    std::filesystem::remove_all(Path("PROJECTS"));
    TFNew_Project* d = FNew_Project;
    uitest::runModal(d, [d](TCustomForm*) {
        d->E_New_Proj->SetText("Boat");
        d->Btn_OK->Click();
        EXPECT_EQ(d->ModalResult(), mrNone);
        d->SetModalResult(mrCancel);
    });
    ASSERT_EQ(Questions().size(), 1u);
    EXPECT_EQ(Questions()[0].Text, "Error! Name project is not valid");
    EXPECT_FALSE(DirectoryExists(Path("PROJECTS")));
    EXPECT_EQ(Project_Dir, "");
}

TEST_F(StepDispatch, OpenListsTheProjectsAndOpensTheChosenOne) {
    for (const char* name : {"Alpha", "Beta"})
        ForceDirectories(Path(std::string("PROJECTS/") + name));
    WriteFile("PROJECTS/notes.txt", "not a project");
    TFOpenConf* d = FOpenConf;
    uitest::whenModalIdle([d](TCustomForm*) {
        EXPECT_EQ(d->ListBox1->Items()->Text(), "Alpha\nBeta\n");
        EXPECT_EQ(d->ListBox1->ItemIndex(), 0);
        EXPECT_EQ(d->Name_Conf, "Alpha");
        // The highlighted entry is the one opened, chosen by key as by mouse.
        uitest::pressKey(VK_DOWN, {}, d->ListBox1);
        EXPECT_EQ(d->ListBox1->ItemIndex(), 1);
        d->Btn_OK->Click();
    });
    W()->Btn_Open->Click();
    EXPECT_EQ(Project_Name, "Beta");
    EXPECT_EQ(Project_Dir, Path("PROJECTS/Beta"));
    EXPECT_EQ(File_ParGen, Path("PROJECTS/Beta/ParGen.xml"));
    EXPECT_EQ(W()->L_Name_Conf->Caption(), UI_Texts[11]);
    EXPECT_EQ(W()->L_Name_Conf_L2->Caption(), "Beta");

    // The open project is preselected, whatever the letter case of its stored name.
    Project_Dir = PathJoin(Projects_Dir, "BETA");
    uitest::whenModalIdle([d](TCustomForm*) {
        EXPECT_EQ(d->ListBox1->ItemIndex(), 1);
        EXPECT_EQ(d->Name_Conf, "Beta");
        d->Btn_Cancel->Click();
    });
    W()->Btn_Open->Click();
    EXPECT_EQ(Project_Dir, PathJoin(Projects_Dir, "BETA")) << "Cancel changes nothing";
}

TEST_F(StepDispatch, OpenWithNoProjectsLeavesNoneOpen) {
    ForceDirectories(Path("PROJECTS/Alpha"));
    TFOpenConf* d = FOpenConf;
    uitest::whenModalIdle([d](TCustomForm*) { d->Btn_OK->Click(); });
    W()->Btn_Open->Click();
    ASSERT_EQ(Project_Dir, Path("PROJECTS/Alpha"));

    // The name of the last showing is not opened again once its folder is gone.
    std::filesystem::remove_all(Path("PROJECTS/Alpha"));
    uitest::whenModalIdle([d](TCustomForm*) {
        EXPECT_EQ(d->ListBox1->Items()->Count(), 0);
        EXPECT_EQ(d->Name_Conf, "");
        d->Btn_OK->Click();
    });
    W()->Btn_Open->Click();
    EXPECT_EQ(Project_Dir, "");
    EXPECT_EQ(Project_Name, "");
    EXPECT_EQ(W()->L_Name_Conf->Caption(), UI_Texts[9]);
    EXPECT_EQ(W()->L_Name_Conf_L2->Caption(), UI_Texts[10]);
    EXPECT_EQ(FormOpenedBy(W()->Btn_Prm_Gen), nullptr);
    EXPECT_EQ(Questions().back().Text, "Error! Project not Valid");
}

TEST_F(StepDispatch, UpdateDeviceCompilesTheBankFilesBeforeTheDialog) {
    const std::string kept = "PROJECTS/Boat/bin/old/notes.txt";
    struct Case {
        const char* name;
        std::function<void()> prepare;
        bool folder; // bin holds the folder of kept
    };
    const Case cases[] = {
        {"bin as the project made it", [] {}, false},
        {"bin holding a folder", [&] { WriteFile(kept, "mine"); }, true},
        {"bin deleted", [this] { std::filesystem::remove_all(Path("PROJECTS/Boat/bin")); }, false},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(Path("PROJECTS/Boat"));
        OpenProject("Boat");
        c.prepare();
        EXPECT_EQ(FormOpenedBy(W()->Btn_CreateBin), FBootTCP) << c.name;
        EXPECT_TRUE(FileExists(Path("PROJECTS/Boat/bin/bank1.bin"))) << c.name;
        EXPECT_TRUE(FileExists(Path("PROJECTS/Boat/bin/bank2.bin"))) << c.name;
        EXPECT_TRUE(Questions().empty()) << c.name;
        // What bin held stays beside the new pair.
        if (c.folder) {
            EXPECT_EQ(ReadBinaryFile(Path(kept)), "mine");
        }
    }
}

TEST_F(StepDispatch, UpdateDeviceStopsAtABankFileError) {
    struct Case {
        const char* name;
        const char* file; // written into the project
        const char* text;
    };
    const Case cases[] = {
        {"not well-formed", "ParGen.xml", "<ParGen><KNX_TYPE>"},
        {"bank files not writable", "bin", "a file where the folder belongs"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(Path("PROJECTS/Boat"));
        OpenProject("Boat");
        std::filesystem::remove_all(Path(std::string("PROJECTS/Boat/") + c.file));
        WriteFile(std::string("PROJECTS/Boat/") + c.file, c.text);
        const std::size_t asked = Questions().size();
        EXPECT_EQ(FormOpenedBy(W()->Btn_CreateBin), nullptr) << c.name;
        ASSERT_EQ(Questions().size(), asked + 1) << c.name;
        EXPECT_EQ(Questions().back().Kind, dkException) << c.name;
        EXPECT_FALSE(Questions().back().Text.empty()) << c.name;
        EXPECT_FALSE(FileExists(Path("PROJECTS/Boat/bin/bank1.bin"))) << c.name;
    }
}

} // namespace
