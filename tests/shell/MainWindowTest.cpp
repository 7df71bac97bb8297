#include "ShellTestSupport.h"
#include "shell/VelmareFirmWare.h"

#include "platform/testing/UiTest.h"
#include "shell/BootTCP.h"
#include "shell/StepLayout.h"
#include "shell/state/ProductProfiles.h"
#include "shell/state/Settings.h"
#include "shell/state/UITexts.h"

#include <set>

namespace {

using MainWindow = ShellTest;

TEST_F(MainWindow, FirstStartInAnEmptyFolderCreatesTheFoldersAndOpensNoProject) {
    StartProgram();
    for (const char* sub : {"MASTER", "PROJECTS", "LANGUAGE"})
        EXPECT_TRUE(DirectoryExists(Path(sub))) << sub;
    TFVelmareFirmWare* w = FVelmareFirmWare;
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(Application->MainForm(), w);
    EXPECT_EQ(Program_Dir, Dir());
    EXPECT_EQ(Project_Dir, "");
    EXPECT_EQ(w->L_Name_Conf->Caption(), UI_Texts[9]);
    EXPECT_EQ(w->L_Name_Conf_L2->Caption(), UI_Texts[10]);
    EXPECT_EQ(Language_Name, "English");
    EXPECT_EQ(Last_IP, "192.168.2.205");
    EXPECT_FALSE(w->Timer_Update->Enabled());
    EXPECT_EQ(w->Timer_Update->Interval(), 60000u);
    EXPECT_EQ(w->Caption(), "Morvik - Configurator QS40526 - NMEA 2000 / KNX ");
    EXPECT_EQ(w->L_SW_Code->Caption(), "QS40526");
    EXPECT_EQ(w->L_SW_Desc->Caption(), "NMEA 2000 / KNX - Converter");
    EXPECT_EQ(UI_Texts_Count, UI_Texts_Max);
    EXPECT_EQ(File_ParGen, "/ParGen.xml");
}

TEST_F(MainWindow, Type25ShowsExactlyItsSixStepsInPlace) {
    StartProgram();
    TFVelmareFirmWare* w = FVelmareFirmWare;
    EXPECT_EQ(w->ClientWidth(), 694);
    EXPECT_EQ(w->ClientHeight(), 484);
    for (int k = 1; k <= 8; ++k) {
        TLabel* l = w->L_Step[k - 1];
        EXPECT_EQ(l->Visible(), k <= 6) << k;
        EXPECT_EQ(l->Left(), 16) << k;
        EXPECT_EQ(l->Top(), 128 + 44 * (k - 1)) << k;
        EXPECT_EQ(l->Caption(), UI_Texts[k]) << k;
    }

    struct Place {
        TControl* control;
        int left, top, width, height;
        const char* caption;
    };
    const Place shown[] = {
        {w->L_SW_Code, 16, 8, -1, -1, "QS40526"},
        {w->L_SW_Desc, 16, 42, -1, -1, nullptr},
        {w->L_Begin, 16, 84, -1, -1, nullptr},
        {w->Shape2, 80, 70, 348, 36, nullptr},
        {w->L_Name_Conf, 87, 75, -1, -1, nullptr},
        {w->L_Name_Conf_L2, 87, 88, -1, -1, nullptr},
        {w->Btn_Info, 516, 8, 50, 50, nullptr},
        {w->Btn_Opz, 574, 8, 50, 50, nullptr},
        {w->Btn_Close, 632, 8, 50, 50, nullptr},
        {w->Btn_New, 80, 112, 170, 36, "New Configuration"},
        {w->Btn_Open, 258, 112, 170, 36, nullptr},
        {w->Btn_Prm_Gen, 80, 156, 170, 36, "Set Communication"},
        {w->Btn_KNX_Access, 80, 200, 170, 36, nullptr},
        {w->Btn_J1939_Rec_Frame, 80, 244, 170, 36, "Receive Frames"},
        {w->Btn_J1939_Send_Frame, 80, 288, 170, 36, "Send Frames"},
        {w->Btn_CreateBin, 80, 332, 170, 36, "Update Device"},
        {w->L_Morvik, 565, 348, -1, -1, nullptr},
        {w->Shape1, 10, 383, 674, 1, nullptr},
    };
    std::set<TControl*> expectedVisible;
    for (const Place& p : shown) {
        const std::string name = p.control->Name();
        expectedVisible.insert(p.control);
        EXPECT_TRUE(p.control->Visible()) << name;
        EXPECT_EQ(p.control->Left(), p.left) << name;
        EXPECT_EQ(p.control->Top(), p.top) << name;
        if (p.width >= 0) {
            EXPECT_EQ(p.control->Width(), p.width) << name;
        }
        if (p.height >= 0) {
            EXPECT_EQ(p.control->Height(), p.height) << name;
        }
        if (p.caption) {
            EXPECT_EQ(p.control->Caption(), p.caption) << name;
        }
    }
    for (TLabel* l : w->L_Step) expectedVisible.insert(l);
    // Nothing else of the window shows: no other step button, no logo, no update link.
    for (int i = 0; i < w->ControlCount(); ++i) {
        TControl* c = w->Controls(i);
        if (!expectedVisible.count(c)) {
            EXPECT_FALSE(c->Visible()) << c->Name();
        }
    }
    EXPECT_EQ(w->Btn_Info->Hint(), UI_Texts[12]);
    EXPECT_EQ(w->Btn_Close->Hint(), UI_Texts[14]);

    // Step buttons: bsEncarta, captions on the left, yellow hot tracking but sky blue for the
    // project buttons and Update Device; the three top buttons are plain.
    for (TFrame_Button* b : {w->Btn_New, w->Btn_KNX_Access, w->Btn_J1939_Send_Frame}) {
        EXPECT_EQ(b->Style(), bsEncarta) << b->Name();
        EXPECT_EQ(b->Alignment(), taLeftJustify) << b->Name();
        EXPECT_EQ(b->Color(), TColor(15595512)) << b->Name();
        EXPECT_EQ(b->ColorWhenDown(), TColor(33023)) << b->Name();
        EXPECT_EQ(b->NumGlyphs(), 1) << b->Name();
        EXPECT_FALSE(b->Glyph()->Empty()) << b->Name();
    }
    EXPECT_EQ(w->Btn_KNX_Access->HotTrackColor(), clYellow);
    for (TFrame_Button* b : {w->Btn_New, w->Btn_Open, w->Btn_CreateBin})
        EXPECT_EQ(b->HotTrackColor(), clSkyBlue) << b->Name();
    // The top buttons show a 50 x 50 glyph and no caption.
    for (TFrame_Button* b : {w->Btn_Info, w->Btn_Opz, w->Btn_Close}) {
        EXPECT_EQ(b->Style(), bsNormal) << b->Name();
        EXPECT_EQ(b->Caption(), "") << b->Name();
        EXPECT_EQ(b->Glyph()->Width(), 50) << b->Name();
        EXPECT_EQ(b->Glyph()->Height(), 50) << b->Name();
        EXPECT_EQ(b->NumGlyphs(), 1) << b->Name();
    }
}

// Each product type on the real window: the visible step buttons are those of its layout.
TEST_F(MainWindow, EveryProductTypeShowsTheButtonsOfItsLayout) {
    for (int type : Product_Types_With_Profile()) {
        Destroy_Program_Forms();
        Reset_Program_State();
        Set_Product_Type(type);
        Application->CreateForm(FVelmareFirmWare);
        TFVelmareFirmWare* w = FVelmareFirmWare;
        const TStep_Layout l = Get_Step_Layout(type);

        std::set<std::string> expected = {"Btn_Info", "Btn_Opz",     "Btn_Close",    "Btn_New",
                                          "Btn_Open", "Btn_Prm_Gen", "Btn_CreateBin"};
        for (const TStep_Button_Place& p : l.Buttons) {
            expected.insert(p.Button);
            auto* b = dynamic_cast<TControl*>(w->FindComponent(p.Button));
            ASSERT_NE(b, nullptr) << p.Button;
            EXPECT_EQ(b->Left(), p.Left) << type << " " << p.Button;
            EXPECT_EQ(b->Top(), p.Top) << type << " " << p.Button;
        }
        std::set<std::string> visible;
        for (int i = 0; i < w->ControlCount(); ++i)
            if (w->Controls(i)->Visible() && w->Controls(i)->Name().rfind("Btn_", 0) == 0)
                visible.insert(w->Controls(i)->Name());
        EXPECT_EQ(visible, expected) << type;

        int steps = 0;
        for (TLabel* s : w->L_Step) steps += s->Visible();
        EXPECT_EQ(steps, l.Steps) << type;
        EXPECT_EQ(w->Btn_CreateBin->Top(), l.Last_At) << type;
        EXPECT_EQ(w->Shape1->Top(), l.Last_At + 51) << type;
        EXPECT_EQ(w->ClientHeight(), l.Last_At + 152) << type;
        EXPECT_EQ(w->L_Morvik->Visible(), !l.Logo) << type;
        EXPECT_EQ(w->I_Lorvan->Visible(), l.Logo) << type;
        if (l.Logo) {
            EXPECT_EQ(w->I_Lorvan->Left(), 444) << type;
            EXPECT_EQ(w->I_Lorvan->Top(), Step_Label_Top(l.Steps) - 38) << type;
            EXPECT_FALSE(w->I_Lorvan->Picture()->Empty()) << type;
        } else {
            EXPECT_EQ(w->L_Morvik->Top(), Step_Label_Top(l.Steps)) << type;
            // The whole web address stays inside the window.
            EXPECT_LE(w->L_Morvik->BoundsRect().Right, w->ClientWidth()) << type;
        }
        EXPECT_EQ(w->Caption(), Get_Product_Profile(type).Caption) << type;
    }
}

// The link to a newer version, shown by the version check, ends before the top buttons.
TEST_F(MainWindow, TheUpdateLinkFitsBesideTheTopButtons) {
    StartProgram();
    TFVelmareFirmWare* w = FVelmareFirmWare;
    w->LL_Update->SetCaption("<a href=\"" + Download_Page_URL(25) + "\">" + UI_Texts[19] + "</a>");
    w->LL_Update->SetVisible(true);
    EXPECT_EQ(w->LL_Update->Left(), 208);
    EXPECT_EQ(w->LL_Update->Top(), 19);
    EXPECT_LE(w->LL_Update->BoundsRect().Right, w->Btn_Info->Left());
}

TEST_F(MainWindow, ATypeWithoutProfileKeepsTheDesignPlacesAndEmptyTexts) {
    SetType(16);
    StartProgram();
    TFVelmareFirmWare* w = FVelmareFirmWare;
    EXPECT_EQ(w->Caption(), "");
    EXPECT_EQ(SW_Code, "");
    for (TLabel* s : w->L_Step) EXPECT_FALSE(s->Visible());
    EXPECT_FALSE(w->L_Morvik->Visible());
    EXPECT_TRUE(w->Btn_CreateBin->Visible());
    EXPECT_EQ(w->Btn_CreateBin->Top(), 332);
}

// Clicking Close writes the settings file when there is none yet; the next start reads it.
TEST_F(MainWindow, ClickingCloseSavesTheSettingsForTheNextStart) {
    StartProgram();
    ASSERT_FALSE(FileExists(Path("Velmar.xml")));
    ForceDirectories(Path("PROJECTS/Boat"));
    Project_Name = "Boat";
    Last_IP = "10.0.0.7";
    Internet_Enabled = true;
    Update_Check_Enabled = true;
    FVelmareFirmWare->Show();
    uitest::processMessages();
    uitest::click(FVelmareFirmWare->Btn_Close);
    uitest::processMessages();
    EXPECT_TRUE(FileExists(Path("Velmar.xml")));

    StartProgram();
    EXPECT_EQ(Project_Name, "Boat");
    EXPECT_EQ(Last_IP, "10.0.0.7");
    EXPECT_TRUE(Internet_Enabled);
    EXPECT_TRUE(Update_Check_Enabled);
    EXPECT_TRUE(FVelmareFirmWare->Timer_Update->Enabled());
}

TEST_F(MainWindow, TheLastProjectReopensWhenItsFolderExists) {
    Set_Program_Dir(Dir());
    Project_Name = "Boat";
    Save_Setting();
    ForceDirectories(Path("PROJECTS/Boat"));

    StartProgram();
    EXPECT_EQ(FVelmareFirmWare->L_Name_Conf->Caption(), UI_Texts[11]);
    EXPECT_EQ(FVelmareFirmWare->L_Name_Conf_L2->Caption(), "Boat");
    EXPECT_EQ(Project_Dir, Projects_Dir + "/Boat");
    EXPECT_EQ(File_NMEA_Rec_Frames, Projects_Dir + "/Boat/NMEA_Rec_Frames.xml");
}

TEST_F(MainWindow, AStaleProjectNameOpensNothingButIsSavedAgain) {
    Set_Program_Dir(Dir());
    Project_Name = "Gone";
    Save_Setting();

    StartProgram();
    EXPECT_EQ(Project_Dir, "");
    EXPECT_EQ(Project_Name, "Gone");
    EXPECT_EQ(FVelmareFirmWare->L_Name_Conf->Caption(), UI_Texts[9]);
    EXPECT_EQ(FVelmareFirmWare->L_Name_Conf_L2->Caption(), UI_Texts[10]);
    FVelmareFirmWare->Close();
    Reset_Program_State();
    Set_Program_Dir(Dir());
    Read_Setting();
    EXPECT_EQ(Project_Name, "Gone");
}

TEST_F(MainWindow, AnUnwritableSettingsFileIsReportedAndTheWindowStillCloses) {
    StartProgram();
    std::filesystem::create_directory(Path("Velmar.xml")); // a folder in the file's place
    bool reported = false;
    Application->OnException = [&reported](TObject*, const Exception&) { reported = true; };
    FVelmareFirmWare->Close();
    Application->OnException = nullptr;
    EXPECT_TRUE(reported);
}

TEST_F(MainWindow, ALanguageFileChosenInTheSettingsLabelsTheWindowAtStart) {
    WriteFile("LANGUAGE/Italiano.lng", "STR0 = Inizio\nSTR15 = Nuovo Progetto\nSTR9 = Nessuno\n");
    Set_Program_Dir(Dir());
    Language_Name = "Italiano";
    Save_Setting();

    StartProgram();
    EXPECT_EQ(FVelmareFirmWare->L_Begin->Caption(), "Inizio");
    EXPECT_EQ(FVelmareFirmWare->Btn_New->Caption(), "Nuovo Progetto");
    EXPECT_EQ(FVelmareFirmWare->L_Name_Conf->Caption(), "Nessuno");
    EXPECT_EQ(FVelmareFirmWare->Btn_Open->Caption(), "Open Configuration");
}

TEST_F(MainWindow, ALanguageFileThatCannotBeReadIsReportedAndTheStartGoesOnInEnglish) {
    Set_Program_Dir(Dir());
    Project_Name = "Boat";
    Language_Name = "Deutsch";
    Save_Setting();
    ForceDirectories(Path("PROJECTS/Boat"));
    ForceDirectories(Path("LANGUAGE"));
    // A file that exists but whose reading fails, even for root.
    std::filesystem::create_symlink("/proc/self/mem", Path("LANGUAGE/Deutsch.lng"));

    StartProgram();
    ASSERT_EQ(uitest::dialogs().Questions().size(), 1u);
    EXPECT_EQ(uitest::dialogs().Questions()[0].Type, mtError);
    EXPECT_NE(uitest::dialogs().Questions()[0].Text.find("Deutsch.lng"), std::string::npos)
        << uitest::dialogs().Questions()[0].Text;
    TFVelmareFirmWare* w = FVelmareFirmWare;
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(UI_Texts_Count, UI_Texts_Max);
    EXPECT_EQ(w->Btn_New->Caption(), "New Configuration");
    EXPECT_EQ(w->Btn_CreateBin->Caption(), "Update Device");
    EXPECT_EQ(FBootTCP->Btn_Next->Caption(), "Next") << "the dialogs made after it too";
    EXPECT_EQ(w->L_Name_Conf_L2->Caption(), "Boat");
    EXPECT_TRUE(DirectoryExists(Project_Dir)) << "the last project is open";
}

} // namespace
