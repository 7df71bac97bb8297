#include "ShellTestSupport.h"
#include "shell/VelmareFirmWare.h"

#include "editors/comm/KNXAccess.h"
#include "editors/comm/Modbus_TCP_Master_Set_Access.h"
#include "editors/frames/ReceiveNMEA.h"
#include "mbus/InsertKeyWireless.h"
#include "mbus/ScanDecode.h"
#include "shell/About.h"
#include "shell/BootTCP.h"
#include "shell/SoftOptions.h"
#include "shell/state/UITexts.h"
#include "treeview/LazyTree.h"
#include "treeview/LazyTreeWorker.h"

#include <sstream>

namespace {

using ProgramForms = ShellTest;

struct FormCase {
    const char* name;
    int width, height; // client area after creation; -1: set by a later layout step
    int caption;       // UI_Texts entry of the caption; -1: a fixed caption
    bool relabelled;   // Change_Language calls its Set_Lang
    TFormBorderStyle border = bsSingle;
};

// In creation order.
const FormCase Forms[] = {
    {"FVelmareFirmWare", 694, 484, -1, true},
    {"FBootTCP", 350, 233, 57, true, bsDialog},
    {"FNew_Project", 331, 162, 25, true},
    {"FOpenConf", 377, 351, 33, true},
    {"FAbout", 406, 148, -1, false},
    {"FSoftOptions", 509, 373, 38, true},
    {"FParGen", 312, -1, 90, true},
    {"FKNXAccess", 1205, 337, 168, true},
    {"FSetAccess", 1051, 337, 230, true},
    {"FModbus_TCP_Master_Set_Access", 1007, 337, 281, true},
    {"FCAN_Rec_Frames", 759, 337, 379, true},
    {"FCAN_Send_Frame", 759, 337, 398, true},
    {"F_Rec_Info", 654, 508, 418, true},
    {"F_Sen_Info", 654, 508, 448, true},
    {"FSet_SDO_Server_Access", 749, 337, 473, true},
    {"FSet_SDO_Client_Access", 798, 337, 515, true},
    {"FSet_PDO_Access", 798, 337, 566, true},
    {"FDNet", 609, 337, 625, true},
    {"FDefOffset", 482, 610, 641, true},
    {"FReceiveJ1939", 876, 337, 665, true},
    {"FTransmitJ1939", 800, 337, 692, true},
    {"FMeter_Bus", 834, 662, 743, false, bsSizeable},
    {"FNewIDNode", 265, 195, 849, false},
    {"FDMXDefVal", 475, 337, 879, true},
    {"FProfinetFileName", 540, 205, 911, false},
    {"FReceiveCAN", 1010, 337, 1000, false},
    {"FTransmitCAN", 1100, 337, 1100, false},
    {"FInsertKeyWireless", 481, 47, -1, false, bsNone},
    {"FScanDecode", -1, 571, 1200, false},
    {"FScanModbusStart", 331, 162, 1300, false},
    {"FModbusStartAdd_SD", 511, 336, 1500, false},
    {"FReceiveNMEA", 810, 337, 1600, true},
    {"FTransmitNMEA", 810, 337, 1700, true},
};

TEST_F(ProgramForms, TheThirtyThreeFormsAreCreatedInOrderWithTheirSizesAndCaptions) {
    StartProgram();
    ASSERT_EQ(Screen->FormCount(), int(std::size(Forms)));
    for (int i = 0; i < Screen->FormCount(); ++i) {
        const FormCase& c = Forms[i];
        TCustomForm* f = Screen->Forms(i);
        EXPECT_EQ(f->Name(), c.name) << i;
        EXPECT_EQ(f->Owner(), Application) << c.name;
        if (c.width >= 0) {
            EXPECT_EQ(f->ClientWidth(), c.width) << c.name;
        }
        if (c.height >= 0) {
            EXPECT_EQ(f->ClientHeight(), c.height) << c.name;
        }
        if (c.caption >= 0) {
            EXPECT_EQ(f->Caption(), UI_Texts[c.caption]) << c.name;
        }
        EXPECT_EQ(f->Color(), Form_Color) << c.name;
        EXPECT_EQ(f->BorderStyle(), c.border) << c.name;
        EXPECT_FALSE(f->Visible()) << c.name;
        // The framed dialogs show the software code of the variant in their title panel.
        if (auto* d = dynamic_cast<TFramed_Dialog*>(f)) {
            EXPECT_EQ(d->P_Title->Height(), 69) << c.name;
            EXPECT_EQ(d->P_Title->Top(), 0) << c.name;
            EXPECT_EQ(d->P_Button->Height(), 40) << c.name;
            EXPECT_EQ(d->P_Button->Top(), d->ClientHeight() - 40) << c.name;
            EXPECT_EQ(d->P_Title->Color(), Form_Color) << c.name;
            const bool ownCode = c.caption == 1200 || c.caption == 1300;
            EXPECT_EQ(d->L_SW_Code->Caption(), ownCode ? "SCAN && DECODE" : "QS40526") << c.name;
        }
    }
    EXPECT_EQ(FAbout->Caption(), "About...");
    EXPECT_EQ(FInsertKeyWireless->L_InsKey->Caption(), "Insert Key (HEX)");
}

TEST_F(ProgramForms, TheScanWindowOwnsItsTwoTreesUntilTheEnd) {
    const std::uint32_t before = WorkerThreadRefCount();
    StartProgram();
    for (const char* name : {"VST", "VST_Wireless"}) {
        auto* tree = dynamic_cast<TLazyStringTree*>(FScanDecode->FindComponent(name));
        ASSERT_NE(tree, nullptr) << name;
        EXPECT_EQ(tree->NodeDataSize(), 8) << name;
        EXPECT_FALSE(tree->TreeOptions()->AutoOptions().Contains(toAutoSort)) << name;
        EXPECT_TRUE(tree->TreeOptions()->MiscOptions().Contains(toCheckSupport)) << name;
        EXPECT_TRUE(tree->TreeOptions()->SelectionOptions().Contains(toMultiSelect)) << name;
    }
    // The two scan trees and the network editor's tree.
    EXPECT_EQ(WorkerThreadRefCount(), before + 3);
    Destroy_Program_Forms();
    EXPECT_EQ(WorkerThreadRefCount(), before);
}

// Problems of the visible controls of a container and, recursively, of its children: a control
// that runs past its parent's client area, a label under a windowed sibling (which would paint
// over it), two windowed siblings on top of each other.
void collectLayoutFaults(const TWinControl* parent, std::vector<std::string>& faults) {
    const TRect client = parent->ClientRect();
    std::vector<const TControl*> shown;
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (parent->Controls(i)->Visible()) shown.push_back(parent->Controls(i));
    for (const TControl* c : shown) {
        const TRect r = c->BoundsRect();
        if (r.Left < client.Left || r.Top < client.Top || r.Right > client.Right ||
            r.Bottom > client.Bottom)
            faults.push_back(c->Name() + " runs past " + parent->Name());
        for (const TControl* other : shown) {
            if (other == c || !dynamic_cast<const TWinControl*>(other)) continue;
            const bool label = dynamic_cast<const TLabel*>(c) != nullptr;
            const bool windowed = dynamic_cast<const TWinControl*>(c) != nullptr;
            if (!label && !(windowed && other < c)) continue;
            TRect both;
            if (IntersectRect(both, r, other->BoundsRect()))
                faults.push_back(c->Name() + " overlaps " + other->Name());
        }
        // A check box or radio button shows its whole caption beside the box.
        if (dynamic_cast<const TButtonControl*>(c) && !dynamic_cast<const TPbButton*>(c)) {
            TBitmap probe(1, 1);
            probe.Canvas()->Font()->Assign(c->Font());
            if (probe.Canvas()->TextWidth(c->Caption()) + 17 > c->Width())
                faults.push_back(c->Name() + " cuts its caption");
        }
        if (auto* w = dynamic_cast<const TWinControl*>(c)) collectLayoutFaults(w, faults);
    }
}

TEST_F(ProgramForms, TheScanThreadExistsFromStartAndWaits) {
    StartProgram();
    ASSERT_NE(FScanDecode->TR_ScanDecode, nullptr);
    EXPECT_FALSE(FScanDecode->TR_ScanDecode->InScan());
    EXPECT_EQ(FScanDecode->TR_ScanDecode->Result(), -1);
}

TEST_F(ProgramForms, NoControlIsHiddenOrCutByTheLayout) {
    StartProgram();
    for (const FormCase& c : Forms) {
        // The communication-parameter dialog collapses its groups, which then clip their rows.
        if (std::string(c.name) == "FParGen") continue;
        auto* f = dynamic_cast<TCustomForm*>(Application->FindComponent(c.name));
        ASSERT_NE(f, nullptr) << c.name;
        std::vector<std::string> faults;
        collectLayoutFaults(f, faults);
        EXPECT_TRUE(faults.empty()) << c.name << ": " << ::testing::PrintToString(faults);
    }
}

TEST_F(ProgramForms, DialogButtonsSitInTheButtonPanel) {
    StartProgram();
    TFReceiveNMEA* f = FReceiveNMEA;
    const int lefts[] = {16, 134, 252, 370, 488, 606};
    TFrame_Button* buttons[] = {f->Btn_OK,     f->Btn_Cancel,  f->Btn_DelRow,
                                f->Btn_InsRow, f->Btn_CopyRow, f->Btn_PasteRow};
    const char* captions[] = {"OK", "Cancel", "Delete Row", "Insert Row", "Copy Row", "Paste Row"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(buttons[i]->Parent(), f->P_Button) << i;
        EXPECT_EQ(buttons[i]->BoundsRect(), Bounds(lefts[i], 6, 110, 28)) << i;
        EXPECT_EQ(buttons[i]->Caption(), captions[i]) << i;
    }
    EXPECT_EQ(f->Btn_Cancel->ModalResult(), mrCancel);
    EXPECT_EQ(f->Btn_OK->ModalResult(), mrNone);
    EXPECT_EQ(f->Btn_CopyRow->Hint(), "Copy all Fields of the Selected Row");
    // The boxes of the update dialog start ticked.
    EXPECT_TRUE(FBootTCP->CB_Firmware->Checked());
    EXPECT_TRUE(FBootTCP->CB_Read_Conf->Checked());
}

// The scan window puts the key dialog at the mouse before showing it: showing keeps that place.
TEST_F(ProgramForms, TheKeyDialogStaysWhereItWasPut) {
    StartProgram();
    TFInsertKeyWireless* f = FInsertKeyWireless;
    f->SetLeft(10);
    f->SetTop(20);
    f->Show();
    EXPECT_EQ(f->Left(), 10);
    EXPECT_EQ(f->Top(), 20);
    f->Hide();
}

TEST_F(ProgramForms, TheDmxVariantsGiveTheKnxTableLessWidth) {
    SetType(11);
    StartProgram();
    EXPECT_EQ(FKNXAccess->ClientWidth(), 1126);
}

TEST_F(ProgramForms, TheConnectionPageIsAbsentInOemEditions) {
    StartProgram();
    EXPECT_TRUE(FSoftOptions->TS_Con_Options->TabVisible());
    SetType(1001);
    StartProgram();
    EXPECT_FALSE(FSoftOptions->TS_Con_Options->TabVisible());
}

// Every text overridden by a language file: the main window and the 22 dialogs of the list
// take the new texts, the others keep those of their creation.
TEST_F(ProgramForms, ChangeLanguageRelabelsTheMainWindowAndTheListedDialogs) {
    StartProgram();
    std::ostringstream lng;
    for (int i = 0; i < UI_Texts_Max; ++i) lng << "STR" << i << " = X" << i << "\r\n";
    WriteFile("LANGUAGE/Test.lng", lng.str());
    Language_Name = "Test";
    Load_Language();
    FVelmareFirmWare->Change_Language();

    TFVelmareFirmWare* w = FVelmareFirmWare;
    EXPECT_EQ(w->L_Begin->Caption(), "X0");
    EXPECT_EQ(w->L_Step[5]->Caption(), "X6");
    EXPECT_EQ(w->Btn_J1939_Rec_Frame->Caption(), "X872");
    EXPECT_EQ(w->Btn_CreateBin->Caption(), "X17");
    EXPECT_EQ(w->Btn_ScanDecode->Caption(), "X972");
    EXPECT_EQ(w->Btn_Opz->Hint(), "X13");
    // The project lines are left as they are.
    EXPECT_EQ(w->L_Name_Conf->Caption(), "None Configuration Opened ");

    for (const FormCase& c : Forms) {
        if (c.caption < 0) continue;
        TCustomForm* f = dynamic_cast<TCustomForm*>(Application->FindComponent(c.name));
        ASSERT_NE(f, nullptr) << c.name;
        const std::string relabelled = "X" + std::to_string(c.caption);
        EXPECT_EQ(f->Caption() == relabelled, c.relabelled) << c.name << ": " << f->Caption();
    }
    EXPECT_EQ(FBootTCP->CB_Conf->Caption(), "X66");
    EXPECT_EQ(FSoftOptions->L_Page_Lang->Caption(), "X431X441");
    EXPECT_EQ(FKNXAccess->Btn_CopyRow->Caption(), "X877");
    EXPECT_EQ(FModbus_TCP_Master_Set_Access->TS_Modbus_Write->Caption(), "X288");
    EXPECT_EQ(FModbus_TCP_Master_Set_Access->Btn_CopyRow->Caption(), "Copy Row");
    EXPECT_EQ(FReceiveNMEA->L_SW_Desc->Caption(), "X1601");
    EXPECT_EQ(FScanDecode->Btn_StartScan->Caption(), "Start Scan");
    EXPECT_EQ(FAbout->Label3->Caption(), "Version :");
}

} // namespace
