// Where the focus is when each dialog of the program opens.
#include "ShellTestSupport.h"
#include "editors/comm/KNXAccess.h"
#include "editors/comm/ParGen.h"
#include "editors/frames/ReceiveNMEA.h"
#include "editors/frames/TransmitNMEA.h"
#include "platform/testing/UiTest.h"
#include "shell/About.h"
#include "shell/BootTCP.h"
#include "shell/New_Project.h"
#include "shell/OpenConf.h"
#include "shell/SoftOptions.h"
#include "shell/VelmareFirmWare.h"

#include <vector>

namespace {

class FocusOrder : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        StartProgram();
        FVelmareFirmWare->Show();
        Project_Dir = PathJoin(Projects_Dir, "Boat");
        CreateDir(Project_Dir);
        Set_Files();
    }
    // The name of the control that has the focus when form opens, and after Tab.
    std::pair<std::string, std::string> FocusAtShow(TCustomForm* form) {
        std::string first, next;
        uitest::runModal(form, [&](TCustomForm* f) {
            TWinControl* c = FindControl(GetFocus());
            first = c ? c->Name() : "";
            uitest::pressKey(VK_TAB);
            c = FindControl(GetFocus());
            next = c ? c->Name() : "";
            f->SetModalResult(mrCancel);
        });
        return {first, next};
    }
};

TEST_F(FocusOrder, EachDialogOpensWithTheFocusOnItsContent) {
    struct Case {
        TCustomForm* form;
        const char* first;
        const char* next;
    };
    const Case cases[] = {
        {FNew_Project, "E_New_Proj", "Btn_OK"},     {FOpenConf, "ListBox1", "Btn_OK"},
        {FSoftOptions, "PC_Options", "Btn_Next"},   {FBootTCP, "E_IP1", "E_IP2"},
        {FAbout, "PbButton1", "PbButton1"},         {FParGen, "E_ID_DEV_KNX", "Btn_KNX_Collapse"},
        {FKNXAccess, "ACG_KNX_in_Write", "Btn_OK"}, {FReceiveNMEA, "sga", "Btn_OK"},
        {FTransmitNMEA, "sga", "Btn_OK"},
    };
    for (const auto& c : cases) {
        // Twice: a showing after one closed with a button starts on the content again.
        for (int showing = 0; showing < 2; ++showing) {
            auto [first, next] = FocusAtShow(c.form);
            EXPECT_EQ(first, c.first) << c.form->Name() << " showing " << showing;
            EXPECT_EQ(next, c.next) << c.form->Name() << " showing " << showing;
        }
    }
}

// Keys posted to Qt's event queue, as a user's keys arrive.

// Enter in the device-update dialog does nothing: it has no default button to press.
TEST_F(FocusOrder, EnterDoesNotCloseTheDeviceUpdateDialog) {
    for (const char* focused : {"E_IP1", "E_IP4"}) {
        bool stillOpen = false;
        uitest::whenModalIdle([&](TCustomForm* f) {
            static_cast<TWinControl*>(f->FindComponent(focused))->SetFocus();
            uitest::postNativeKey(VK_RETURN);
        });
        uitest::whenModalIdle([&](TCustomForm* f) {
            stillOpen = f->Visible() && f->ModalResult() == mrNone;
            f->SetModalResult(mrCancel);
        });
        EXPECT_EQ(FBootTCP->ShowModal(), mrCancel) << focused;
        EXPECT_TRUE(stillOpen) << focused;
        EXPECT_TRUE(uitest::dialogs().Questions().empty()) << focused;
    }
}

// Each arrow key moves the selection of the Open list at once.
TEST_F(FocusOrder, ArrowKeysMoveTheOpenListAtOnce) {
    for (const char* name : {"Alpha", "Bravo", "Charlie"}) CreateDir(PathJoin(Projects_Dir, name));
    std::vector<int> seen;
    uitest::whenModalIdle([&](TCustomForm*) {
        seen.push_back(FOpenConf->ListBox1->ItemIndex());
        uitest::postNativeKey(VK_DOWN);
    });
    uitest::whenModalIdle([&](TCustomForm*) {
        seen.push_back(FOpenConf->ListBox1->ItemIndex());
        uitest::postNativeKey(VK_DOWN);
    });
    uitest::whenModalIdle([&](TCustomForm*) {
        seen.push_back(FOpenConf->ListBox1->ItemIndex());
        uitest::postNativeKey(VK_UP);
    });
    uitest::whenModalIdle([&](TCustomForm* f) {
        seen.push_back(FOpenConf->ListBox1->ItemIndex());
        f->SetModalResult(mrCancel);
    });
    FOpenConf->ShowModal();
    // Sorted: Alpha, Boat (the open project, selected at the start), Bravo, Charlie.
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 2}));
}

} // namespace
