#include "grid/core/base/GridButtons.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/ExtCtrls.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// A form with a panel holding the buttons; pixels are read from the panel's image.
class GridButtonsTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 300, 200);
        host = new TPanel(form.get());
        host->SetParent(form.get());
        host->SetBounds(0, 0, 300, 200);
        host->SetBevelOuter(bvNone);
        host->SetColor(clWhite);
        form->Show();
        uitest::processMessages();
    }
    TQorGridButton* button(int left = 10) {
        auto* b = new TQorGridButton(form.get());
        b->SetParent(host);
        b->SetBounds(left, 10, 40, 20);
        return b;
    }
    TColor at(int x, int y) { return uitest::pixel(host, x, y); }

    std::unique_ptr<TForm> form;
    TPanel* host = nullptr;
};

TEST_F(GridButtonsTest, DownOnlyForGroupsAndCheckButtons) {
    TQorGridButton* plain = button();
    plain->SetDown(true);
    EXPECT_FALSE(plain->Down());
    plain->SetStyle(tasCheck);
    plain->SetDown(true);
    EXPECT_TRUE(plain->Down());

    TQorGridButton* a = button(60);
    TQorGridButton* b = button(110);
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    a->SetDown(true);
    b->SetDown(true);
    EXPECT_FALSE(a->Down());
    EXPECT_TRUE(b->Down());
    // Without AllowAllUp the down button stays down.
    b->SetDown(false);
    EXPECT_TRUE(b->Down());
    b->SetAllowAllUp(true);
    EXPECT_TRUE(a->AllowAllUp()) << "the group takes the sender's AllowAllUp";
    b->SetDown(false);
    EXPECT_FALSE(b->Down());
}

// A linked action gives the button its caption, group and checked state and keeps them in step
// while the button's values equal the action's; a click runs it.
TEST_F(GridButtonsTest, AnActionLinksCaptionGroupAndDown) {
    TAction action(nullptr);
    action.SetCaption("Bold");
    action.SetGroupIndex(2);
    action.SetChecked(true);
    int runs = 0;
    action.OnExecute = [&](TObject*) { ++runs; };
    TQorGridButton* b = button();
    b->SetAllowAllUp(true);
    b->SetAction(&action);
    EXPECT_EQ(b->Caption(), "Bold");
    EXPECT_EQ(b->GroupIndex(), 2);
    EXPECT_TRUE(b->Down());
    ASSERT_NE(dynamic_cast<TQorGridButtonActionLink*>(b->ActionLink()), nullptr);
    action.SetChecked(false);
    EXPECT_FALSE(b->Down());
    action.SetGroupIndex(3);
    EXPECT_EQ(b->GroupIndex(), 3);
    action.SetCaption("Fett");
    EXPECT_EQ(b->Caption(), "Fett");
    uitest::click(b, {5, 5});
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(b->Down()) << "the click pressed the group button";
    // A button that left its group no longer follows the action's group or checked state.
    b->SetGroupIndex(0);
    b->SetDown(false);
    action.SetGroupIndex(4);
    action.SetChecked(true);
    EXPECT_EQ(b->GroupIndex(), 0);
    EXPECT_FALSE(b->Down());
    // Released by another button of its group, the button unchecks its action.
    b->SetGroupIndex(4);
    b->SetDown(true);
    EXPECT_TRUE(action.Checked());
    TQorGridButton* other = button(60);
    other->SetGroupIndex(4);
    other->SetAllowAllUp(true);
    other->SetDown(true);
    EXPECT_FALSE(b->Down());
    EXPECT_FALSE(action.Checked());
}

TEST_F(GridButtonsTest, SettersIgnoreWhatTheyMustIgnore) {
    TQorGridButton* b = button();
    b->SetMargin(-2);
    EXPECT_EQ(b->Margin(), -1);
    b->SetMargin(3);
    EXPECT_EQ(b->Margin(), 3);
    b->SetLook(2);
    const TColor before = b->Color();
    b->SetLook(7);
    EXPECT_EQ(b->Color(), before);
    EXPECT_EQ(b->Look(), 2);
}

TEST_F(GridButtonsTest, LooksSetTheirColourSets) {
    struct Case {
        int look;
        TColor color, hot, down, checked, borderHot;
        bool rounded;
    };
    const Case cases[] = {
        {0, 15593969, 16448764, 14739175, clWhite, 12832462, true},
        {1, clBtnFace, 15651521, 14857624, 15263457, 12937777, false},
        {3, 13627626, 13432063, 5149182, 9360383, clBlack, false},
        {5, clBtnFace, clBtnFace, 14210002, 13289415, clNone, false},
        {6, 13303807, 11071741, 5103867, 11921138, clGray, false},
    };
    for (const auto& c : cases) {
        TQorGridButton* b = button();
        b->SetFlat(false);
        b->SetBorderColor(clRed);
        b->SetLook(c.look);
        EXPECT_EQ(b->Color(), c.color) << c.look;
        EXPECT_EQ(b->ColorHot(), c.hot) << c.look;
        EXPECT_EQ(b->ColorDown(), c.down) << c.look;
        EXPECT_EQ(b->ColorChecked(), c.checked) << c.look;
        EXPECT_EQ(b->BorderHotColor(), c.borderHot) << c.look;
        EXPECT_EQ(b->Rounded(), c.rounded) << c.look;
        EXPECT_TRUE(b->Flat()) << c.look;
        EXPECT_EQ(b->BorderColor(), clNone) << c.look;
    }
    // Without visual styles the theme adaptation takes look 1.
    TQorGridButton* adapting = button();
    adapting->SetAutoThemeAdapt(true);
    EXPECT_EQ(adapting->Look(), 1);
}

TEST_F(GridButtonsTest, AGlyphGivesAGreyDisabledGlyph) {
    TBitmap glyph(2, 1);
    glyph.Canvas()->SetPixels(0, 0, clBlack);
    glyph.Canvas()->SetPixels(1, 0, RGB(255, 0, 30));
    TQorGridButton* b = button();
    b->SetGlyph(&glyph);
    ASSERT_FALSE(b->GlyphDisabled()->Empty());
    EXPECT_EQ(b->GlyphDisabled()->PixelColor(0, 0), RGB(96, 96, 96));
    // (255 + 0 + 30) / 3 = 95; 95 / 2 + 96 = 143.
    EXPECT_EQ(b->GlyphDisabled()->PixelColor(1, 0), RGB(143, 143, 143));
}

TEST_F(GridButtonsTest, FlatButtonPaintsItsStateColours) {
    TQorGridButton* b = button();
    b->SetColor(clYellow);
    b->SetColorHot(clAqua);
    b->SetColorDown(clFuchsia);
    b->SetCaption("");
    uitest::processMessages();
    EXPECT_EQ(at(30, 20), clYellow);
    // Hovered: the hot colour.
    uitest::mouseMove(b, TPoint(5, 5));
    uitest::processMessages();
    EXPECT_TRUE(b->MouseInControl());
    EXPECT_EQ(at(30, 20), clAqua);
    // Pressed: the down colour until the release clicks.
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    uitest::mouseDown(b, TPoint(5, 5));
    uitest::processMessages();
    EXPECT_EQ(b->State(), bsDown);
    EXPECT_EQ(at(30, 20), clFuchsia);
    uitest::mouseUp(b, TPoint(5, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(b->State(), bsUp);
    // A gradient runs from Color at the top to ColorTo at the bottom.
    uitest::mouseMove(host, TPoint(250, 150));
    b->SetColorTo(clBlue);
    uitest::processMessages();
    // (The flat button leaves a one-pixel edge.)
    EXPECT_EQ(at(30, 11), clYellow);
    EXPECT_EQ(at(30, 28), RGB(16, 16, 239));
    EXPECT_EQ(at(30, 29), clWhite);
}

TEST_F(GridButtonsTest, RealPointerHoversPressesAndClicksTheButton) {
    // The button has no window of its own: Qt delivers to the panel, which hands on to it.
    TQorGridButton* b = button();
    b->SetColor(clYellow);
    b->SetColorHot(clAqua);
    b->SetColorDown(clFuchsia);
    b->SetCaption("");
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    uitest::postNativeMouseMove(host, TPoint(20, 15));
    uitest::processMessages();
    EXPECT_TRUE(b->MouseInControl());
    EXPECT_EQ(at(30, 20), clAqua);
    uitest::postNativeMouseDown(host, TPoint(20, 15));
    uitest::processMessages();
    EXPECT_EQ(at(30, 20), clFuchsia);
    uitest::postNativeMouseUp(host, TPoint(20, 15));
    uitest::processMessages();
    EXPECT_EQ(clicks, 1);
    // Released outside the button: no click.
    uitest::postNativeMouseDown(host, TPoint(20, 15));
    uitest::postNativeMouseMove(host, TPoint(200, 150), true);
    uitest::postNativeMouseUp(host, TPoint(200, 150));
    uitest::processMessages();
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(b->MouseInControl());
    EXPECT_EQ(at(30, 20), clYellow);
}

TEST_F(GridButtonsTest, TheDropDownPartFiresOnDropDownNotOnClick) {
    TQorGridButton* b = button();
    b->SetDropDownButton(true);
    int clicks = 0, drops = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    b->OnDropDown = [&](TObject*) { ++drops; };
    uitest::click(b, TPoint(35, 10));
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(clicks, 0);
    uitest::click(b, TPoint(10, 10));
    EXPECT_EQ(clicks, 1);
}

TEST_F(GridButtonsTest, ACheckButtonTogglesOnEachClick) {
    TQorGridButton* b = button();
    b->SetStyle(tasCheck);
    b->SetColorChecked(clRed);
    uitest::click(b, TPoint(5, 5));
    EXPECT_TRUE(b->Down());
    uitest::mouseMove(host, TPoint(250, 150));
    uitest::processMessages();
    EXPECT_EQ(at(30, 20), clRed);
    uitest::click(b, TPoint(5, 5));
    EXPECT_FALSE(b->Down());
}

class CheckBoxTest : public GridButtonsTest {
protected:
    TQorCheckBox* box() {
        auto* c = new TQorCheckBox(form.get());
        c->SetParent(host);
        c->SetBounds(10, 50, 120, 20);
        c->SetCaption("Match");
        c->SetTabStop(true);
        return c;
    }
};

TEST_F(CheckBoxTest, ClicksAndSpaceToggleUnlessReadOnlyAndAlwaysReport) {
    TQorCheckBox* c = box();
    int clicks = 0;
    c->OnClick = [&](TObject*) { ++clicks; };
    // A real click through Qt's event delivery.
    uitest::postNativeClick(c);
    uitest::processMessages();
    EXPECT_TRUE(c->Checked());
    uitest::pressKey(VK_SPACE, {}, c);
    EXPECT_FALSE(c->Checked());
    EXPECT_EQ(clicks, 2);
    c->SetReadOnly(true);
    uitest::click(c, TPoint(5, 5));
    uitest::pressKey(VK_SPACE, {}, c);
    EXPECT_FALSE(c->Checked());
    EXPECT_EQ(clicks, 4);
}

TEST_F(CheckBoxTest, TheBoxShowsTheStateAndSitsByAlignment) {
    TQorCheckBox* c = box();
    c->SetColor(clWhite);
    c->SetParentColor(false);
    auto tickPixels = [&] {
        int dark = 0;
        const TRect r = c->BoxRect();
        for (int y = r.Top + 3; y < r.Bottom - 3; ++y)
            for (int x = r.Left + 3; x < r.Right - 3; ++x)
                if (GetRValue(uitest::pixel(c, x, y)) < 80) ++dark;
        return dark;
    };
    EXPECT_EQ(c->BoxRect(), TRect(0, 4, 13, 17));
    EXPECT_EQ(tickPixels(), 0);
    c->SetChecked(true);
    EXPECT_GT(tickPixels(), 4);
    c->SetAlignment(taRightJustify);
    c->SetButtonVertAlign(tlBottom);
    EXPECT_EQ(c->BoxRect(), TRect(107, 3, 120, 16));
}

TEST_F(CheckBoxTest, ReturnMovesOnLikeTabWhenAskedTo) {
    TQorCheckBox* c = box();
    auto* next = new TQorCheckBox(form.get());
    next->SetParent(host);
    next->SetBounds(10, 80, 120, 20);
    next->SetTabStop(true);
    c->SetReturnIsTab(true);
    c->SetFocus();
    uitest::pressKey(VK_RETURN, {}, c);
    uitest::processMessages();
    EXPECT_TRUE(next->Focused());
}

} // namespace
