#include "platform/ui/ComCtrls.h"

#include "platform/ui/StdCtrls.h"
#include "platform/ui/core/Forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class PageControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 500, 380);
        form->Show();
        pages = new TPageControl(form.get());
        pages->SetParent(form.get());
        pages->SetBounds(10, 10, 480, 350);
        for (const char* caption : {"Language", "Connection", "Extra"}) {
            auto* sheet = new TTabSheet(form.get());
            sheet->SetCaption(caption);
            sheet->SetPageControl(pages);
            sheets.push_back(sheet);
        }
        pages->OnChanging = [this](TObject*, bool& allow) {
            log.push_back("changing " + pages->ActivePage()->Caption());
            allow = allowChange;
        };
        pages->OnChange = [this](TObject*) {
            log.push_back("change " + pages->ActivePage()->Caption());
        };
    }
    void TearDown() override { form.reset(); }

    void clickTab(int tab) {
        TRect r = pages->TabRect(tab);
        pages->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.Left + 4, r.Top + 4));
        pages->Perform(WM_LBUTTONUP, 0, MAKELPARAM(r.Left + 4, r.Top + 4));
    }

    std::unique_ptr<TForm> form;
    TPageControl* pages = nullptr;
    std::vector<TTabSheet*> sheets;
    std::vector<std::string> log;
    bool allowChange = true;
};

TEST_F(PageControlTest, FirstPageIsActiveAndOnlyTheActivePageIsShown) {
    EXPECT_EQ(pages->PageCount(), 3);
    EXPECT_EQ(pages->ActivePage(), sheets[0]);
    EXPECT_TRUE(sheets[0]->Visible());
    EXPECT_FALSE(sheets[1]->Visible());
    EXPECT_EQ(sheets[0]->BoundsRect(), pages->DisplayRect());
    EXPECT_EQ(sheets[2]->PageIndex(), 2);
}

TEST_F(PageControlTest, ClickingATabAsksOnChangingThenSwitches) {
    clickTab(1);
    EXPECT_EQ(pages->ActivePage(), sheets[1]);
    EXPECT_TRUE(sheets[1]->Visible());
    EXPECT_FALSE(sheets[0]->Visible());
    EXPECT_EQ(log, (std::vector<std::string>{"changing Language", "change Connection"}));

    log.clear();
    allowChange = false;
    clickTab(2);
    EXPECT_EQ(pages->ActivePage(), sheets[1]) << "a refused change keeps the page";
    EXPECT_EQ(log, (std::vector<std::string>{"changing Connection"}));

    log.clear();
    clickTab(1);
    EXPECT_TRUE(log.empty()) << "clicking the current tab changes nothing";
}

TEST_F(PageControlTest, CodeChangesAreSilentAndKeysTurnPages) {
    pages->SetActivePageIndex(2);
    pages->SetActivePage(nullptr);
    pages->SetActivePage(sheets[1]);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(pages->ActivePageIndex(), 1);

    pages->SetFocus();
    SetModifierKeyState({ssCtrl});
    EXPECT_NE(form->Perform(CM_DIALOGKEY, VK_TAB), 0);
    SetModifierKeyState({});
    EXPECT_EQ(pages->ActivePage(), sheets[2]);
    pages->Perform(WM_KEYDOWN, VK_LEFT);
    EXPECT_EQ(pages->ActivePage(), sheets[1]);
    EXPECT_EQ(log, (std::vector<std::string>{"changing Connection", "change Extra",
                                             "changing Extra", "change Connection"}));
}

TEST_F(PageControlTest, HidingTabsSkipsThemAndMovesOffTheActivePage) {
    sheets[1]->SetTabVisible(false);
    EXPECT_EQ(sheets[1]->TabIndex(), -1);
    EXPECT_EQ(sheets[2]->TabIndex(), 1);
    EXPECT_EQ(pages->FindNextPage(sheets[0], true, true), sheets[2]);
    EXPECT_EQ(pages->FindNextPage(sheets[0], false, true), sheets[2]);
    EXPECT_EQ(pages->FindNextPage(sheets[0], true, false), sheets[1]);

    pages->SetActivePage(sheets[2]);
    sheets[2]->SetTabVisible(false);
    EXPECT_EQ(pages->ActivePage(), sheets[0]) << "the last remaining tab takes over";
    sheets[0]->SetTabVisible(false);
    EXPECT_EQ(pages->ActivePage(), nullptr);
    EXPECT_FALSE(sheets[0]->Visible());
    sheets[2]->SetTabVisible(true);
    EXPECT_EQ(pages->ActivePage(), sheets[2]);
    EXPECT_TRUE(log.empty());
}

TEST_F(PageControlTest, FreeingTheActivePageActivatesTheNext) {
    delete sheets[0];
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->ActivePage(), sheets[1]);
    EXPECT_TRUE(sheets[1]->Visible());
    sheets[2]->SetPageControl(nullptr);
    EXPECT_EQ(pages->PageCount(), 1);
    EXPECT_EQ(sheets[2]->PageControl(), nullptr);
}

} // namespace
