// The edit with a button and the unit edit on their own on a form.
#include "grid/editors/controls/AsgEditBtn.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/Menus.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class EditBtnTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 300, 200);
        edit = new TAsgEditBtn(form.get());
        edit->SetParent(form.get());
        edit->SetBounds(10, 10, 140, 24);
        edit->SetButtonCaption("...");
        edit->OnClickBtn = [this](TObject* s) {
            senders.push_back(s == edit ? "edit" : s == edit->Button() ? "holder" : "other");
        };
        units = new TAsgUnitEditBtn(form.get());
        units->SetParent(form.get());
        units->SetBounds(10, 60, 140, 24);
        units->Units()->Add("m");
        units->Units()->Add("mm");
        units->OnUnitChanged = [this](TObject*, const std::string& u) { changes.push_back(u); };
        form->Show();
        edit->SetFocus();
        uitest::processMessages();
    }
    void TearDown() override {
        SetPopupMenuPresenter(nullptr);
        form.reset();
        uitest::processMessages();
    }
    TPoint middleOf(TControl* c) { return {c->Width() / 2, c->Height() / 2}; }

    std::unique_ptr<TForm> form;
    TAsgEditBtn* edit = nullptr;
    TAsgUnitEditBtn* units = nullptr;
    std::vector<std::string> senders;
    std::vector<std::string> changes;
};

TEST_F(EditBtnTest, F4ClicksTheButtonUnlessCtrlOrAltIsHeld) {
    uitest::keyDown(VK_F4, {}, edit);
    uitest::keyDown(VK_F4, {ssAlt}, edit);
    uitest::keyDown(VK_F4, {ssCtrl}, edit);
    EXPECT_EQ(senders, (std::vector<std::string>{"edit"}));
}

TEST_F(EditBtnTest, OnlyALeftReleaseOverTheButtonClicksIt) {
    TAsgEditButton* holder = edit->Button();
    uitest::postNativeRightClickAt(holder, middleOf(holder));
    uitest::processMessages();
    EXPECT_TRUE(senders.empty());
    // Let go off the button: no click.
    uitest::postNativeMouseDown(holder, middleOf(holder));
    uitest::postNativeMouseMove(holder, {holder->Width() + 50, 5}, true);
    uitest::postNativeMouseUp(holder, {holder->Width() + 50, 5});
    uitest::processMessages();
    EXPECT_TRUE(senders.empty());
    units->SetFocus();
    uitest::postNativeClickAt(holder, middleOf(holder));
    uitest::processMessages();
    EXPECT_EQ(senders, (std::vector<std::string>{"holder"}));
    EXPECT_TRUE(edit->Focused()) << "the click gives the edit the focus";
}

TEST_F(EditBtnTest, WithoutTheEditorOnlyTheButtonWorks) {
    edit->SetText("keep");
    edit->SetEditorEnabled(false);
    edit->SetSelStart(4);
    uitest::postNativeText("x", edit);
    uitest::processMessages();
    uitest::keyDown(VK_F4, {}, edit);
    uitest::keyDown(VK_BACK, {}, edit);
    uitest::pressKey(VK_BACK, {}, edit);
    edit->Perform(WM_PASTE);
    edit->SelectAll();
    edit->Perform(WM_CUT);
    EXPECT_EQ(edit->Text(), "keep");
    EXPECT_EQ(senders, (std::vector<std::string>{"edit"}));
}

TEST_F(EditBtnTest, TheButtonStandsAtTheRightAndTheTextKeepsClearOfIt) {
    edit->SetBorderStyle(bsNone);
    edit->SetBounds(10, 10, 140, 24);
    TAsgEditButton* holder = edit->Button();
    EXPECT_EQ(holder->BoundsRect(), (TRect{140 - 18 - 1, 0, 139, 23}));
    EXPECT_EQ(holder->Button()->BoundsRect(), (TRect{0, 0, 18, 23}));
    TRect r;
    edit->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r, (TRect{3, 3, 140 - 18 - 5, 25}));
    // The unit edit keeps room for its unit; without it the text runs up to the button.
    units->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    const int w = units->Button()->Width();
    EXPECT_EQ(r.Right, 140 - 2 - w - 20 - 5 - 3);
    units->SetUnitSpace(0);
    units->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.Right, 140 - 2 - w - 5);
}

TEST_F(EditBtnTest, AValueSplitsFromTheFirstUnitThatEndsIt) {
    struct Case {
        const char* value;
        const char* text;
        const char* unit;
    };
    const Case cases[] = {
        {"5mm", "5", "mm"},  // "m" comes first in the list but its first occurrence ends nothing
        {"5 m", "5 ", "m"},  // nothing is trimmed
        {"12kg", "5 ", "m"}, // no unit: text and unit stay
        {"m", "", "m"},
    };
    for (const Case& c : cases) {
        units->SetTextAndUnit(c.value);
        EXPECT_EQ(units->Text(), c.text) << c.value;
        EXPECT_EQ(units->UnitID(), c.unit) << c.value;
    }
    units->SetText("7");
    EXPECT_EQ(units->TextAndUnit(), "7m");
}

TEST_F(EditBtnTest, TheUnitMenuSetsTheUnitAndTellsOfAChange) {
    std::string offered;
    TPoint at;
    const char* pick = "mm";
    SetPopupMenuPresenter([&](TPopupMenu& m, TPoint p) {
        offered.clear();
        for (int i = 0; i < m.Items()->Count(); ++i)
            offered += m.Items()->Items(i)->Caption() + ";";
        at = p;
        return m.Items()->Find(pick);
    });
    units->SetTextAndUnit("5m");
    TAsgEditButton* holder = units->Button();
    uitest::postNativeClickAt(holder, middleOf(holder));
    uitest::processMessages();
    EXPECT_EQ(offered, "m;mm;");
    EXPECT_EQ(at, units->ClientToScreen({units->ClientWidth() - 15, units->ClientHeight()}));
    EXPECT_EQ(units->UnitID(), "mm");
    // The unit that is already set is set again without a change.
    uitest::postNativeClickAt(holder, middleOf(holder));
    uitest::processMessages();
    EXPECT_EQ(changes, (std::vector<std::string>{"mm"}));
    // Other commands to the edit change nothing.
    units->Perform(WM_COMMAND, MAKEWPARAM(1, EN_CHANGE), 0);
    units->Perform(WM_COMMAND, MAKEWPARAM(3, 0), 0);
    EXPECT_EQ(units->UnitID(), "mm");
    EXPECT_EQ(units->TextAndUnit(), "5mm");
}

} // namespace
