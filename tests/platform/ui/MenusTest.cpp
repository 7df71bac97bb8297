#include "platform/ui/Menus.h"

#include "platform/ui/core/Forms.h"
#include "platform/ui/core/Messages.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class PopupMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        menu = new TPopupMenu(form.get());
        for (const char* caption : {"&Insert Row", "-", "&Copy Row", "&Paste Row"}) {
            auto* item = new TMenuItem(form.get());
            item->SetCaption(caption);
            item->OnClick = [this](TObject* s) {
                clicked.push_back(static_cast<TMenuItem*>(s)->Caption());
            };
            menu->Items()->Add(item);
        }
    }
    void TearDown() override {
        SetPopupMenuPresenter(nullptr);
        form.reset();
    }
    // A presenter that chooses the item with the caption, and records where it was asked.
    void choose(const std::string& caption) {
        SetPopupMenuPresenter([this, caption](TPopupMenu& m, TPoint p) -> TMenuItem* {
            shownAt = p;
            return m.Items()->Find(caption);
        });
    }

    std::unique_ptr<TForm> form;
    TPopupMenu* menu = nullptr;
    std::vector<std::string> clicked;
    TPoint shownAt{-1, -1};
};

TEST_F(PopupMenuTest, PopupClicksTheChosenItem) {
    bool popped = false;
    menu->OnPopup = [&](TObject*) { popped = true; };
    choose("copy row");
    menu->Popup(120, 80);
    EXPECT_TRUE(popped);
    EXPECT_EQ(shownAt, TPoint(120, 80));
    EXPECT_EQ(clicked, (std::vector<std::string>{"&Copy Row"}));

    clicked.clear();
    menu->Items()->Find("Copy Row")->SetEnabled(false);
    menu->Popup(0, 0);
    EXPECT_TRUE(clicked.empty()) << "a disabled item is never clicked";

    SetPopupMenuPresenter([](TPopupMenu&, TPoint) -> TMenuItem* { return nullptr; });
    menu->Popup(0, 0);
    EXPECT_TRUE(clicked.empty()) << "dismissed";
}

TEST_F(PopupMenuTest, ControlOpensItsPopupMenuOnContextMenu) {
    choose("Paste Row");
    auto* panel = new TCustomControl(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(10, 10, 100, 100);
    panel->SetPopupMenu(menu);
    panel->Perform(WM_CONTEXTMENU, 0, MAKELPARAM(50, 60));
    EXPECT_EQ(clicked, (std::vector<std::string>{"&Paste Row"}));
    EXPECT_EQ(menu->PopupComponent(), panel);
    delete panel;
    EXPECT_EQ(menu->PopupComponent(), nullptr);
}

TEST_F(PopupMenuTest, AutoCheckAndRadioItems) {
    TMenuItem* a = menu->Items()->Items(0);
    TMenuItem* b = menu->Items()->Items(2);
    a->SetAutoCheck(true);
    a->Click();
    EXPECT_TRUE(a->Checked());
    a->Click();
    EXPECT_FALSE(a->Checked());
    a->SetRadioItem(true);
    b->SetRadioItem(true);
    a->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->Checked());
    b->SetGroupIndex(1);
    a->SetChecked(true);
    EXPECT_TRUE(b->Checked()) << "another group index is another group";
}

TEST_F(PopupMenuTest, ItemsAreFreedWithTheirParentAndLeaveIt) {
    TMenuItem* sub = new TMenuItem(form.get());
    TMenuItem* child = new TMenuItem(form.get());
    sub->Add(child);
    menu->Items()->Add(sub);
    EXPECT_EQ(child->GetParentMenu(), menu);
    int owned = form->ComponentCount();
    menu->Items()->Delete(menu->Items()->IndexOf(sub));
    EXPECT_EQ(form->ComponentCount(), owned - 2);
    EXPECT_EQ(menu->Items()->Count(), 4);
    delete menu->Items()->Items(1);
    EXPECT_EQ(menu->Items()->Count(), 3);
    EXPECT_THROW(menu->Items()->Items(3), EMenuError);
}

TEST_F(PopupMenuTest, ShortCutsRoundTripAndClickTheirItem) {
    struct Case {
        TShortCut sc;
        const char* text;
    };
    const Case cases[] = {
        {ShortCut('C', {ssCtrl}), "Ctrl+C"},
        {ShortCut(VK_DELETE, {}), "Del"},
        {ShortCut(VK_F5, {ssShift, ssCtrl}), "Shift+Ctrl+F5"},
        {ShortCut(VK_INSERT, {ssAlt}), "Alt+Ins"},
        {ShortCut('7', {}), "7"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ShortCutToText(c.sc), c.text);
        EXPECT_EQ(TextToShortCut(c.text), c.sc) << c.text;
    }
    EXPECT_EQ(TextToShortCut("ctrl+x"), ShortCut('X', {ssCtrl}));
    EXPECT_EQ(TextToShortCut("Ctrl+"), scNone);

    menu->Items()->Items(2)->SetShortCut(ShortCut('C', {ssCtrl}));
    EXPECT_FALSE(menu->IsShortCut('C', {}));
    EXPECT_TRUE(menu->IsShortCut('C', {ssCtrl}));
    EXPECT_EQ(clicked, (std::vector<std::string>{"&Copy Row"}));
    menu->Items()->Items(2)->SetVisible(false);
    EXPECT_FALSE(menu->IsShortCut('C', {ssCtrl}));
}

} // namespace
