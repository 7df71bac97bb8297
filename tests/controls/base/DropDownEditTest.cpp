// Opening, sizing and closing the drop-down's popup through the mouse and the keys, as a user
// does it.
#include "DropDownTestSupport.h"

#include "platform/ui/ExtCtrls.h"

#include <string>
#include <vector>

using namespace uitest;

namespace {

struct DropEvents {
    int before = 0;
    int beforeUp = 0;
    std::vector<bool> up; // Cancelled of each OnDropUp
    void watch(TTestDropDown* edit) {
        edit->OnBeforeDropDown = [this](TObject*) { ++before; };
        edit->OnBeforeDropUp = [this](TObject*) { ++beforeUp; };
        edit->OnDropUp = [this](TObject*, bool cancelled) { up.push_back(cancelled); };
    }
};

} // namespace

TEST_F(DropDownTest, ButtonOpensThePopupBelowTheEditWithHeaderAndFooter) {
    DropEvents events;
    events.watch(edit);
    clickButton();
    ASSERT_TRUE(edit->DroppedDown());
    TDropDownForm* popup = edit->DropDownForm();
    EXPECT_TRUE(popup->Visible());
    // Below the edit, overlapping its last pixel row; as wide as the edit; border, header and
    // footer high (46), raised to the popup's minimum height of 50.
    EXPECT_EQ(popup->BoundsRect(), Bounds(120, 130 + 22 - 1, 200, 50));
    ASSERT_NE(popup->Header(), nullptr);
    ASSERT_NE(popup->Footer(), nullptr);
    EXPECT_EQ(popup->Header()->BoundsRect(), Bounds(1, 1, 198, 22)) << "inside the border";
    EXPECT_EQ(popup->Footer()->BoundsRect(), Bounds(1, 27, 198, 22));
    EXPECT_EQ(events.before, 1);
    EXPECT_TRUE(popup->DropShadow());
    EXPECT_EQ(popup->PopupParent(), form.get());
}

TEST_F(DropDownTest, AltDownAndF4OpenAndCloseThePopup) {
    struct Case {
        WORD open;
        TShiftState openShift;
        WORD close;
        TShiftState closeShift;
    };
    const Case cases[] = {
        {VK_DOWN, {ssAlt}, VK_UP, {ssAlt}},
        {VK_UP, {ssAlt}, VK_DOWN, {ssAlt}},
        {VK_F4, {}, VK_F4, {}},
    };
    for (const Case& c : cases) {
        key(c.open, c.openShift);
        EXPECT_TRUE(edit->DroppedDown()) << c.open;
        // The popup has the keys now; it hands them to the edit, which closes it once.
        key(c.close, c.closeShift);
        EXPECT_FALSE(edit->DroppedDown()) << c.close;
        EXPECT_TRUE(edit->Focused()) << "the edit takes the focus back";
    }
}

TEST_F(DropDownTest, EscapeRestoresTheTextLastSetEnterKeepsWhatWasTyped) {
    DropEvents events;
    events.watch(edit);
    edit->SetText("start");
    key(VK_F4);
    ASSERT_TRUE(edit->DroppedDown());
    type("xy"); // typed in the popup, reaching the edit
    EXPECT_EQ(edit->Text().find("xy") != std::string::npos, true);
    key(VK_ESCAPE);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->Text(), "start");
    key(VK_F4);
    type("z");
    const std::string typed = edit->Text();
    EXPECT_NE(typed, "start");
    key(VK_RETURN);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->Text(), typed);
    EXPECT_EQ(events.up, (std::vector<bool>{true, false}));
    EXPECT_EQ(events.beforeUp, 2);
}

TEST_F(DropDownTest, ClickOutsideCancelsUnlessThePopupAcceptsOnLeaving) {
    DropEvents events;
    events.watch(edit);
    edit->SetText("start");
    for (bool cancel : {true, false}) {
        edit->DropDownForm()->SetCancelOnDeActivate(cancel);
        key(VK_F4);
        type("q");
        postNativeScreenClick({450, 350}); // on the form, away from edit and popup
        processMessages();
        EXPECT_FALSE(edit->DroppedDown());
        EXPECT_EQ(edit->Text() == "start", cancel) << edit->Text();
        edit->SetText("start");
    }
    EXPECT_EQ(events.up, (std::vector<bool>{true, false}));
}

TEST_F(DropDownTest, OnDropDownCanRefuseThePopup) {
    DropEvents events;
    events.watch(edit);
    edit->OnDropDown = [](TObject*, bool& accept) { accept = false; };
    clickButton();
    EXPECT_EQ(events.before, 1);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_FALSE(edit->DropDownForm()->Visible());
    EXPECT_TRUE(events.up.empty());
}

TEST_F(DropDownTest, DisabledOrReadOnlyEditOpensNothing) {
    edit->SetReadOnly(true);
    clickButton();
    key(VK_F4);
    EXPECT_FALSE(edit->DroppedDown());
    edit->SetReadOnly(false);
    edit->SetEnabled(false);
    edit->ShowDropDown();
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_FALSE(edit->Button()->SpeedButton()->Enabled());
}

TEST_F(DropDownTest, ButtonPressedWhileOpenClosesThePopupWithoutReopeningIt) {
    clickButton();
    ASSERT_TRUE(edit->DroppedDown());
    // The press ends the popup; its release on the button comes within 250 ms.
    postNativeScreenClick(edit->Button()->ClientToScreen(buttonMiddle()));
    processMessages();
    EXPECT_FALSE(edit->DroppedDown());
    advanceClock(250);
    clickButton();
    EXPECT_FALSE(edit->DroppedDown()) << "250 ms after";
    advanceClock(1);
    clickButton();
    EXPECT_TRUE(edit->DroppedDown()) << "251 ms after";
}

TEST_F(DropDownTest, UserSizeIsKeptUntilTheProgramSetsASize) {
    clickButton();
    TDropDownForm* popup = edit->DropDownForm();
    TQorFooter* footer = popup->Footer();
    ASSERT_NE(footer, nullptr);
    ASSERT_TRUE(footer->SizeGripShows());
    // The user drags the footer's size grip 40 right and 30 down.
    const TPoint grip{footer->Width() - 5, footer->Height() - 5};
    postNativeMouseDown(footer, grip);
    postNativeMouseMove(footer, {grip.X + 40, grip.Y + 30}, true);
    postNativeMouseUp(footer, {grip.X + 40, grip.Y + 30});
    processMessages();
    EXPECT_EQ(popup->Width(), 240);
    EXPECT_EQ(popup->Height(), 80);
    key(VK_ESCAPE);
    clickButton();
    EXPECT_EQ(popup->Width(), 240) << "reopens at the user's size";
    EXPECT_EQ(popup->Height(), 80);
    key(VK_ESCAPE);
    edit->SetDropDownWidth(150);
    clickButton();
    EXPECT_EQ(popup->Width(), 150) << "a width set by the program";
    EXPECT_EQ(popup->Height(), 80) << "the user's height stays";
}

TEST_F(DropDownTest, ContentControlSizesThePopupAndHandsItsKeysToTheEdit) {
    auto* content = new TPanel(edit);
    content->SetBounds(0, 0, 150, 100);
    edit->SetControl(content);
    edit->trimmedHeight = 130;
    clickButton();
    TDropDownForm* popup = edit->DropDownForm();
    EXPECT_EQ(content->Parent(), popup);
    // Border, header, footer and content: 2 + 22 + 22 + 100, trimmed by the descendant to 130.
    EXPECT_EQ(popup->BoundsRect(), Bounds(120, 151, 150, 130));
    EXPECT_EQ(content->BoundsRect(), Rect(1, 23, 149, 107)) << "between header and footer";
    key(VK_ESCAPE);

    // With a focus control the popup's keys come from it: Escape typed there closes the popup.
    auto* list = new TEdit(content);
    list->SetParent(content);
    edit->SetFocusControl(list);
    edit->SetControl(nullptr);
    edit->SetControl(list);
    clickButton();
    EXPECT_TRUE(list->Focused());
    key(VK_ESCAPE);
    EXPECT_FALSE(edit->DroppedDown());
}

TEST_F(DropDownTest, LookChangesWhileOpenRebuildTheBars) {
    clickButton();
    TDropDownForm* popup = edit->DropDownForm();
    ASSERT_EQ(popup->Header()->ButtonList().Count(), 0);
    edit->DropDownHeader()->Buttons()->Add()->SetCaption("Go");
    EXPECT_EQ(popup->Header()->ButtonList().Count(), 1) << "at once";
    edit->DropDownFooter()->SetVisible(false);
    EXPECT_FALSE(popup->Footer()->Visible());
    key(VK_ESCAPE);
    edit->DropDownFooter()->SetVisible(true);
    edit->DropDownFooter()->SetHeight(30);
    clickButton();
    EXPECT_TRUE(popup->Footer()->Visible());
    EXPECT_EQ(popup->Footer()->Height(), 30) << "a look's new height";
}

TEST_F(DropDownTest, WheelOverThePopupReachesTheDropDown) {
    clickButton();
    postNativeWheel(edit->DropDownForm(), {10, 10}, -120);
    postNativeWheel(edit->DropDownForm(), {10, 10}, 120);
    processMessages();
    EXPECT_EQ(edit->wheelDown, 1);
    EXPECT_EQ(edit->wheelUp, 1);
}

TEST_F(DropDownTest, PickOnlyEditOpensOnAClickAndShowsItsValueOnAHighlightBar) {
    edit->SetEditorEnabled(false);
    edit->SetText("Blue");
    edit->SetFocus();
    processMessages();
    // The bar: a black frame around the highlight, the value in the highlight text colour.
    EXPECT_EQ(pixel(edit, 2, 2), clBlack);
    EXPECT_EQ(pixel(edit, 4, 5), ColorToRGB(clHighlight));
    bool text = false;
    for (int x = 4; x < 60; ++x)
        for (int y = 4; y < 18; ++y) text |= pixel(edit, x, y) == ColorToRGB(clHighlightText);
    EXPECT_TRUE(text);
    edit->SetFocusDraw(false);
    edit->Invalidate();
    EXPECT_NE(pixel(edit, 4, 5), ColorToRGB(clHighlight)) << "no bar when asked";
    // Typing changes nothing; a click anywhere on it opens the popup.
    type("x");
    EXPECT_EQ(edit->Text(), "Blue");
    postNativeClickAt(edit, {30, 10});
    processMessages();
    EXPECT_TRUE(edit->DroppedDown());
}

TEST_F(DropDownTest, BordersFollowColoursFocusAndState) {
    struct Case {
        TColor border;
        TColor focusBorder;
        bool focused;
        bool enabled;
        TColor expected; // at (0, 0)
    };
    const TColor sunken = pixel(edit, 0, 0); // the plain edit's frame
    const Case cases[] = {
        {clRed, clNone, true, true, clRed},       {clRed, clLime, false, true, clRed},
        {clRed, clLime, true, true, clLime},      {clNone, clLime, false, true, sunken},
        {clNone, clNone, false, false, clSilver},
    };
    auto* other = new TEdit(form.get());
    other->SetParent(form.get());
    other->SetBounds(20, 200, 100, 22);
    for (const Case& c : cases) {
        edit->SetBorderColor(c.border);
        edit->SetFocusBorderColor(c.focusBorder);
        edit->SetEnabled(c.enabled);
        if (c.focused)
            edit->SetFocus();
        else
            other->SetFocus();
        edit->Invalidate();
        EXPECT_EQ(pixel(edit, 0, 0), ColorToRGB(c.expected)) << c.border << " " << c.focusBorder;
        edit->SetEnabled(true);
    }
}

TEST_F(DropDownTest, FlatLookShowsASunkenEdgeOnlyWhileTheMouseIsOverIt) {
    edit->SetFlat(true);
    auto* other = new TEdit(form.get());
    other->SetParent(form.get());
    other->SetBounds(20, 200, 100, 22);
    other->SetFocus();
    edit->Invalidate();
    EXPECT_EQ(pixel(edit, 0, 0), ColorToRGB(form->Color())) << "inactive: the parent's colour";
    postNativeMouseMove(edit, {30, 10});
    processMessages();
    EXPECT_EQ(pixel(edit, 0, 0), ColorToRGB(clBtnShadow)) << "active: sunken edge";
    EXPECT_EQ(pixel(edit, 1, 1), ColorToRGB(clBtnFace));
    EXPECT_TRUE(edit->Button()->SpeedButton()->Focused());
    postNativeLeave(edit);
    processMessages();
    EXPECT_EQ(pixel(edit, 0, 0), ColorToRGB(form->Color()));
    EXPECT_FALSE(edit->Button()->SpeedButton()->Focused());
}

TEST_F(DropDownTest, ButtonSitsInsideTheFrameAndKeepsItsWidth) {
    TDropDownEditButton* b = edit->Button();
    EXPECT_EQ(b->BoundsRect(), Rect(200 - 2 - 16, 2, 200 - 2, 22 - 2));
    b->SetWidth(40);
    EXPECT_EQ(b->Width(), 16);
    edit->SetDropDownButtonWidth(20);
    EXPECT_EQ(b->Width(), 20);
    EXPECT_EQ(b->Left(), 200 - 2 - 20);
    // The text stops 3 pixels before the button.
    TRect r;
    edit->Perform(EM_GETRECT, 0, LPARAM(&r));
    EXPECT_EQ(r, Rect(3, 3, 200 - 2 - 20 - 3, 22 - 1));
    EXPECT_EQ(edit->Version(), "1.2.1.4");
}

TEST_F(DropDownTest, LabelSitsWhereItsPositionSays) {
    edit->SetLabelCaption("Colour");
    TLabel* label = edit->EditLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Parent(), form.get());
    const int w = label->Width(), h = label->Height();
    struct Case {
        TLabelPosition position;
        TPoint at;
    };
    const Case cases[] = {
        {lpLeftTop, {20 - w - 4, 30}},       {lpTopLeft, {20, 30 - h - 4}},
        {lpTopRight, {220 - w, 30 - h - 4}}, {lpBottomRight, {220 - w, 52 + 4}},
        {lpRighBottom, {224, 52 - h}},       {lpLeftCenter, {20 - w - 4, 30 + (22 - h) / 2}},
    };
    edit->SetLabelMargin(4);
    for (const Case& c : cases) {
        edit->SetLabelPosition(c.position);
        EXPECT_EQ(label->BoundsRect().TopLeft(), c.at) << int(c.position);
    }
    edit->SetBounds(40, 60, 200, 22);
    EXPECT_EQ(label->Top(), 60 + (22 - h) / 2) << "follows the edit";
    int clicks = 0;
    edit->OnLabelClick = [&](TObject*) { ++clicks; };
    postNativeClickAt(form.get(), {label->Left() + 2, label->Top() + 2});
    processMessages();
    EXPECT_EQ(clicks, 1);
    edit->SetVisible(false);
    EXPECT_FALSE(label->Visible());
}
