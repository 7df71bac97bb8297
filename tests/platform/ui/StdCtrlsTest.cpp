#include "platform/ui/StdCtrls.h"

#include "platform/ui/Buttons.h"
#include "platform/ui/core/Clipbrd.h"

#include "platform/base/Clock.h"
#include "platform/base/SysUtils.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class StdCtrlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 400, 300);
        form->Show();
    }
    void TearDown() override {
        SetModifierKeyState({});
        form.reset();
    }

    template <class T> T* make(int left = 10, int top = 10) {
        T* c = new T(form.get());
        c->SetParent(form.get());
        c->SetLeft(left);
        c->SetTop(top);
        return c;
    }
    static void type(TWinControl* c, const std::string& text) {
        for (char32_t ch : Utf8ToUtf32(text)) c->Perform(WM_CHAR, WPARAM(ch));
    }
    static void key(TWinControl* c, WORD vk, TShiftState shift = {}) {
        SetModifierKeyState(shift);
        c->Perform(WM_KEYDOWN, vk);
        c->Perform(WM_KEYUP, vk);
        SetModifierKeyState({});
    }
    static void click(TControl* c, int x, int y, WPARAM keys = 0) {
        c->Perform(WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(x, y));
        c->Perform(WM_LBUTTONUP, keys, MAKELPARAM(x, y));
    }

    std::unique_ptr<TForm> form;
};

// --- edit ---------------------------------------------------------------------------------------

TEST_F(StdCtrlsTest, EditMaxLengthCountsCharactersNotBytes) {
    auto* edit = make<TEdit>();
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    edit->SetMaxLength(3);
    type(edit, "äöüx");
    EXPECT_EQ(edit->Text(), "äöü");
    EXPECT_EQ(changes, 3);
    // Replacing a selection is allowed even at the limit.
    edit->SetSelStart(1);
    edit->SetSelLength(1);
    type(edit, "o");
    EXPECT_EQ(edit->Text(), "äoü");
    // Text set by code is not cut.
    edit->SetText("123456");
    EXPECT_EQ(edit->Text(), "123456");
}

TEST_F(StdCtrlsTest, EditKeyPressCanDropOrReplaceCharacters) {
    auto* edit = make<TEdit>();
    // The octet-edit rule: "." is swallowed; digits are upper-cased as a stand-in for a change.
    edit->OnKeyPress = [](TObject*, char32_t& k) {
        if (k == '.')
            k = 0;
        else if (k == 'a')
            k = 'A';
    };
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    type(edit, "19.2a");
    EXPECT_EQ(edit->Text(), "192A");
    EXPECT_EQ(changes, 4);
}

TEST_F(StdCtrlsTest, EditKeysEditTheTextAtTheCaret) {
    struct Case {
        const char* name;
        const char* text;
        int selStart, selLength;
        std::vector<std::pair<WORD, TShiftState>> keys;
        const char* typed;
        const char* expected;
    };
    const Case cases[] = {
        {"backspace at end", "abc", 3, 0, {}, "\b", "ab"},
        {"backspace at start does nothing", "abc", 0, 0, {}, "\b", "abc"},
        {"delete before caret", "abc", 1, 0, {{VK_DELETE, {}}}, "", "ac"},
        {"home then type", "abc", 3, 0, {{VK_HOME, {}}}, "x", "xabc"},
        {"left twice then type", "abc", 3, 0, {{VK_LEFT, {}}, {VK_LEFT, {}}}, "x", "axbc"},
        {"shift+home selects to start", "abc", 2, 0, {{VK_HOME, {ssShift}}}, "x", "xc"},
        {"selection replaced", "hello", 1, 3, {}, "E", "hEo"},
        {"selection deleted by backspace", "hello", 1, 3, {}, "\b", "ho"},
        {"ctrl+left jumps a word", "ab cd", 5, 0, {{VK_LEFT, {ssCtrl}}}, "x", "ab xcd"},
        {"control characters ignored", "ab", 2, 0, {}, "\t\r\x1b", "ab"},
    };
    for (const auto& c : cases) {
        auto* edit = make<TEdit>();
        edit->SetText(c.text);
        edit->SetSelStart(c.selStart);
        edit->SetSelLength(c.selLength);
        for (const auto& [vk, shift] : c.keys) key(edit, vk, shift);
        type(edit, c.typed);
        EXPECT_EQ(edit->Text(), c.expected) << c.name;
        delete edit;
    }
}

TEST_F(StdCtrlsTest, EditReadOnlyPasswordAndCharCase) {
    auto* edit = make<TEdit>();
    edit->SetText("abc");
    edit->SetReadOnly(true);
    edit->SetSelStart(3);
    type(edit, "d\b");
    key(edit, VK_HOME);
    key(edit, VK_DELETE);
    EXPECT_EQ(edit->Text(), "abc");
    EXPECT_EQ(edit->SelStart(), 0) << "navigation still works";

    edit->SetReadOnly(false);
    edit->SetCharCase(ecUpperCase);
    EXPECT_EQ(edit->Text(), "ABC");
    edit->SetSelStart(3);
    type(edit, "dé");
    EXPECT_EQ(edit->Text(), "ABCDÉ");

    edit->SetPasswordChar(U'*');
    EXPECT_EQ(edit->DisplayText(), "*****");
    EXPECT_EQ(edit->Text(), "ABCDÉ");
}

TEST_F(StdCtrlsTest, EditSetTextFiresOnChangeOnlyWhenTheTextDiffers) {
    auto* edit = make<TEdit>();
    std::vector<std::string> seen;
    edit->OnChange = [&](TObject* s) { seen.push_back(static_cast<TEdit*>(s)->Text()); };
    edit->SetText("0");
    edit->SetText("0");
    edit->SetText("");
    EXPECT_EQ(seen, (std::vector<std::string>{"0", ""}));
    EXPECT_FALSE(edit->Modified());
    type(edit, "x");
    EXPECT_TRUE(edit->Modified());
}

TEST_F(StdCtrlsTest, EditClickPlacesTheCaretAndEntersSelectAll) {
    auto* edit = make<TEdit>();
    edit->SetText("abcdef");
    click(edit, 200, 5);
    EXPECT_EQ(edit->SelStart(), 6);
    EXPECT_EQ(edit->SelLength(), 0);
    EXPECT_TRUE(edit->Focused());
    auto* other = make<TEdit>(10, 60);
    other->SetText("xyz");
    other->SetFocus(); // from the keyboard: AutoSelect selects everything
    EXPECT_EQ(other->SelLength(), 3);
}

TEST_F(StdCtrlsTest, SelfPaintedEditPlacesTextInItsFormattingRectangleWithTheCaret) {
    auto* edit = make<TEdit>();
    edit->SetBounds(10, 10, 120, 24);
    edit->SetText("ab");
    TRect r;
    edit->Perform(EM_GETRECT, 0, LPARAM(&r));
    EXPECT_EQ(r, Rect(3, 2, 118, 22)) << "inside the frame, one pixel in";
    const TRect moved{40, 2, 100, 22};
    edit->Perform(EM_SETRECT, 0, LPARAM(&moved));
    edit->Perform(EM_GETRECT, 0, LPARAM(&r));
    EXPECT_EQ(r, moved);
    // The mouse finds characters from the rectangle's left edge on.
    click(edit, 41, 10);
    EXPECT_EQ(edit->SelStart(), 0);
    click(edit, 200, 10);
    EXPECT_EQ(edit->SelStart(), 2);
    // Text and caret show inside the rectangle only: nothing left of it.
    edit->Update();
    const TBitmap* image = edit->BackingImage();
    auto darkIn = [&](int left, int right) {
        int dark = 0;
        for (int x = left; x < right; ++x)
            for (int y = 3; y < 21; ++y) dark += image->PixelColor(x, y) == clBlack;
        return dark;
    };
    EXPECT_EQ(darkIn(3, 40), 0);
    EXPECT_GT(darkIn(40, 100), 0);
    // The caret is a line after the last character while the edit has the focus.
    const int after = 40 + edit->BackingImage()->Canvas()->TextWidth("ab");
    EXPECT_EQ(image->PixelColor(after, 11), clBlack);
    edit->SetSelStart(0);
    edit->Update();
    EXPECT_NE(image->PixelColor(after, 11), clBlack);
}

TEST_F(StdCtrlsTest, SelfPaintedEditCopiesCutsAndPastesThroughTheClipboard) {
    auto* edit = make<TEdit>();
    edit->SetText("hello world");
    edit->SetFocus();
    edit->Perform(EM_SETSEL, 0, 5);
    type(edit, "\x03"); // Ctrl+C
    EXPECT_EQ(Clipboard()->AsText(), "hello");
    edit->Perform(EM_SETSEL, 5, 11);
    type(edit, "\x18"); // Ctrl+X
    EXPECT_EQ(edit->Text(), "hello");
    EXPECT_EQ(Clipboard()->AsText(), " world");
    edit->Perform(EM_SETSEL, 0, 0);
    Clipboard()->SetAsText("say\nnothing");
    type(edit, "\x16"); // Ctrl+V takes the first line only
    EXPECT_EQ(edit->Text(), "sayhello");
    edit->SetReadOnly(true);
    edit->Perform(WM_PASTE);
    edit->Perform(EM_SETSEL, 0, 3);
    edit->Perform(WM_CUT);
    EXPECT_EQ(edit->Text(), "sayhello");
}

// --- speed button -------------------------------------------------------------------------------

TEST_F(StdCtrlsTest, SpeedButtonPressesWhileHeldAndClicksOnARelease) {
    auto* b = make<TSpeedButton>();
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(b->State(), bsDown);
    b->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, 5));
    EXPECT_EQ(b->State(), bsUp) << "up while the pointer is off it";
    b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(50, 5));
    EXPECT_EQ(clicks, 0);
    click(b, 5, 5);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(b->State(), bsUp);
    b->SetEnabled(false);
    EXPECT_EQ(b->State(), bsDisabled);
}

TEST_F(StdCtrlsTest, SpeedButtonDrawsTheGlyphImageOfItsState) {
    auto* b = make<TSpeedButton>();
    b->SetBounds(10, 10, 30, 30);
    // Two 8 x 8 images on a white key colour: red for up, blue for disabled.
    TBitmap glyph(16, 8);
    glyph.Canvas()->Brush()->SetColor(clWhite);
    glyph.Canvas()->FillRect({0, 0, 16, 8});
    glyph.Canvas()->Brush()->SetColor(clRed);
    glyph.Canvas()->FillRect({1, 1, 7, 7});
    glyph.Canvas()->Brush()->SetColor(clBlue);
    glyph.Canvas()->FillRect({9, 1, 15, 7});
    b->SetGlyph(&glyph);
    b->SetNumGlyphs(2);
    form->Update();
    const TBitmap* image = form->BackingImage();
    EXPECT_EQ(image->PixelColor(10 + 15, 10 + 15), clRed);
    EXPECT_EQ(image->PixelColor(10 + 11, 10 + 11), ColorToRGB(clBtnFace))
        << "the key colour is not drawn";
    b->SetEnabled(false);
    form->Update();
    EXPECT_EQ(image->PixelColor(10 + 15, 10 + 15), clBlue);
}

// --- combo box ----------------------------------------------------------------------------------

struct ComboEvents {
    std::vector<std::string> log;
    void attach(TComboBox* c) {
        c->OnChange = [this](TObject*) { log.push_back("change"); };
        c->OnDropDown = [this](TObject*) { log.push_back("dropdown"); };
        c->OnCloseUp = [this](TObject*) { log.push_back("closeup"); };
        c->OnClick = [this](TObject*) { log.push_back("click"); };
    }
};

TEST_F(StdCtrlsTest, ComboDropDownListSelectsFromTheOpenList) {
    auto* combo = make<TComboBox>();
    combo->SetStyle(csDropDownList);
    combo->Items()->SetCommaText("10K,20K,50K,100K,125K,250K");
    combo->SetItemIndex(5);
    EXPECT_EQ(combo->Text(), "250K");
    ComboEvents ev;
    ev.attach(combo);

    key(combo, VK_DOWN, {ssAlt});
    EXPECT_TRUE(combo->DroppedDown());
    key(combo, VK_UP);
    key(combo, VK_UP);
    EXPECT_EQ(combo->ItemIndex(), 5) << "moving in the open list selects nothing yet";
    key(combo, VK_RETURN);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 3);
    EXPECT_EQ(combo->Text(), "100K");
    EXPECT_EQ(ev.log, (std::vector<std::string>{"dropdown", "closeup", "click", "change"}));

    ev.log.clear();
    key(combo, VK_F4);
    key(combo, VK_DOWN);
    key(combo, VK_ESCAPE);
    EXPECT_EQ(combo->ItemIndex(), 3) << "Escape keeps the selection";
    EXPECT_EQ(ev.log, (std::vector<std::string>{"dropdown", "closeup"}));
}

// Characters typed in quick succession search together; after a pause, or when nothing longer
// matches, a character moves to the next item starting with it.
TEST_F(StdCtrlsTest, ComboListTypeAhead) {
    auto* combo = make<TComboBox>();
    combo->SetStyle(csDropDownList);
    for (const char* item : {"None", "1", "7", "10", "70", "71", "700"}) combo->Items()->Add(item);
    struct Step {
        unsigned pauseMs;
        const char* typed;
        const char* selected;
    } steps[] = {
        {0, "71", "71"},  {2000, "7", "700"}, {2000, "70", "70"},  {0, "0", "700"},
        {2000, "1", "1"}, {0, "1", "10"},     {2000, "n", "None"}, {0, "x", "None"},
    };
    TManualClock clock;
    SetApplicationClock(&clock);
    for (const Step& s : steps) {
        clock.Advance(s.pauseMs);
        type(combo, s.typed);
        EXPECT_EQ(combo->Text(), s.selected) << s.typed << " after " << s.pauseMs << " ms";
    }
    SetApplicationClock(nullptr);
}

// What is typed into a list is what it selects, or the key is refused: a prefix no item has
// keeps the item, and a list that gets the focus or new items starts a new search.
TEST_F(StdCtrlsTest, ComboListTypeAheadNeverLandsOnAnotherItem) {
    auto* combo = make<TComboBox>();
    auto* other = make<TEdit>(10, 60);
    combo->SetStyle(csDropDownList);
    auto fill = [combo] {
        combo->Items()->Clear();
        for (int i = 0; i <= 1438; ++i) combo->Items()->Add(std::to_string(i));
    };
    fill();
    TManualClock clock;
    SetApplicationClock(&clock);
    type(combo, "814");
    EXPECT_EQ(combo->Text(), "814");
    type(combo, "0");
    EXPECT_EQ(combo->Text(), "814") << "no item starts with 8140: the key is refused";
    other->SetFocus();
    combo->SetFocus();
    type(combo, "493");
    EXPECT_EQ(combo->Text(), "493") << "the focus came back: a new search";
    type(combo, "7");
    fill();
    type(combo, "1000");
    EXPECT_EQ(combo->Text(), "1000") << "new items: a new search";
    SetApplicationClock(nullptr);
}

TEST_F(StdCtrlsTest, ComboClosedListKeysSelectAndCodeChangesAreSilent) {
    auto* combo = make<TComboBox>();
    combo->SetStyle(csDropDownList);
    for (const char* item : {"KNX TP", "KNXnet/IP", "Other"}) combo->Items()->Add(item);
    ComboEvents ev;
    ev.attach(combo);
    combo->SetItemIndex(0);
    combo->SetText("Other");
    EXPECT_EQ(combo->ItemIndex(), 2);
    combo->SetText("missing");
    EXPECT_EQ(combo->ItemIndex(), 2) << "a text that is no item changes nothing";
    EXPECT_TRUE(ev.log.empty());

    key(combo, VK_DOWN);
    EXPECT_EQ(combo->ItemIndex(), 2) << "already at the last item";
    key(combo, VK_HOME);
    EXPECT_EQ(combo->ItemIndex(), 0);
    type(combo, "k");
    EXPECT_EQ(combo->Text(), "KNXnet/IP") << "the next item starting with the letter";
    EXPECT_EQ(ev.log, (std::vector<std::string>{"click", "change", "click", "change"}));

    int selects = 0;
    combo->OnSelect = [&](TObject*) { ++selects; };
    ev.log.clear();
    key(combo, VK_UP);
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(ev.log, (std::vector<std::string>{"click"})) << "OnSelect replaces OnChange";

    combo->SetItemIndex(7);
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), "");
}

TEST_F(StdCtrlsTest, ComboEditStyleCompletesFromTheItems) {
    auto* combo = make<TComboBox>();
    combo->Items()->SetCommaText("abcd,xyz");
    ComboEvents ev;
    ev.attach(combo);
    type(combo, "ab");
    EXPECT_EQ(combo->Text(), "abcd");
    EXPECT_EQ(combo->SelStart(), 2);
    EXPECT_EQ(combo->SelLength(), 2);
    EXPECT_EQ(combo->ItemIndex(), 0);
    type(combo, "\b");
    EXPECT_EQ(combo->Text(), "ab") << "Backspace removes the completion without completing again";
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetAutoComplete(false);
    combo->SetMaxLength(4);
    type(combo, "zzz");
    EXPECT_EQ(combo->Text(), "abzz");
    EXPECT_EQ(ev.log.back(), "change");
}

// --- list box -----------------------------------------------------------------------------------

TEST_F(StdCtrlsTest, ListBoxClickAndKeysSelectAndFireOnClick) {
    auto* list = make<TListBox>();
    list->Items()->SetCommaText("alpha,beta,gamma");
    int clicks = 0;
    list->OnClick = [&](TObject*) { ++clicks; };
    list->SetItemIndex(1);
    EXPECT_EQ(clicks, 0) << "selection by code fires nothing";

    TRect r = list->ItemRect(2);
    click(list, r.Left + 3, r.Top + 2);
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(clicks, 1);
    click(list, 5, list->Height() - 4);
    EXPECT_EQ(list->ItemIndex(), 2) << "a click below the items selects nothing";
    EXPECT_EQ(clicks, 1);
    key(list, VK_UP);
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(clicks, 2);

    list->Items()->Clear();
    EXPECT_EQ(list->ItemIndex(), -1);
}

TEST_F(StdCtrlsTest, OwnerDrawnListBoxDrawsEachShownItemAndStillSelects) {
    auto* list = make<TListBox>();
    list->SetBounds(10, 10, 120, 4 + 3 * 16);
    list->Items()->SetCommaText("a,b,c,d,e");
    list->SetItemHeight(16);
    // Changed after the window exists: the list becomes a window that paints itself.
    list->SetStyle(lbOwnerDrawFixed);
    list->SetItemIndex(1);
    std::vector<std::string> drawn;
    list->OnDrawItem = [&](TWinControl* Control, int Index, const TRect& Rect,
                           TOwnerDrawState State) {
        EXPECT_EQ(Control, list);
        EXPECT_EQ(Rect, list->ItemRect(Index));
        TCanvas* c = list->Canvas();
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->Brush()->Color(), State.Contains(odSelected) ? clHighlight : clWindow);
        c->FillRect(Rect);
        c->SetPixels(Rect.Left + 5, Rect.Top + 5, clRed);
        drawn.push_back(list->Items()->Strings(Index) + (State.Contains(odSelected) ? "*" : ""));
    };
    list->Repaint();
    EXPECT_EQ(drawn, (std::vector<std::string>{"a", "b*", "c"})) << "only the items shown";
    EXPECT_EQ(list->Canvas(), nullptr) << "outside painting";
    TBitmap image(list->Width(), list->Height());
    list->PaintTo(image.Canvas(), 0, 0);
    const TRect r = list->ItemRect(2);
    EXPECT_EQ(image.Canvas()->Pixels(r.Left + 5, r.Top + 5), clRed);
    click(list, r.Left + 3, r.Top + 2);
    EXPECT_EQ(list->ItemIndex(), 2);
}

// An owner-drawn list has no native list: it draws its own scroll bar and scrolls by it and by
// the wheel, as far as the last item at the bottom.
TEST_F(StdCtrlsTest, OwnerDrawnListBoxScrollsByItsOwnBarAndTheWheel) {
    auto* list = make<TListBox>();
    list->SetBounds(10, 10, 120, 4 + 5 * 16); // five rows inside the border
    list->SetItemHeight(16);
    list->SetStyle(lbOwnerDrawFixed);
    list->OnDrawItem = [&](TWinControl*, int, const TRect& Rect, TOwnerDrawState) {
        list->Canvas()->FillRect(Rect);
    };
    for (int i = 0; i < 20; ++i) list->Items()->Add(IntToStr(i));
    list->SetTopIndex(19);
    EXPECT_EQ(list->TopIndex(), 15) << "the last item stays at the bottom";
    const int barLeft = 120 - 2 - 17, barX = barLeft + 8;
    EXPECT_EQ(list->ItemRect(15).Right, barLeft) << "items leave room for the bar";
    TBitmap image(list->Width(), list->Height());
    list->PaintTo(image.Canvas(), 0, 0);
    EXPECT_EQ(image.Canvas()->Pixels(barX, 40), ColorToRGB(clScrollBar)) << "the track";
    bool arrow = false;
    for (int y = 2; y < 19; ++y)
        for (int x = barLeft; x < barLeft + 17; ++x)
            arrow |= image.Canvas()->Pixels(x, y) == clBlack;
    EXPECT_TRUE(arrow) << "the up arrow";

    struct Step {
        const char* what;
        int y, top;
    };
    // Arrows at 2..19 and 65..82; the thumb is a quarter of the track.
    const Step steps[] = {
        {"up arrow", 8, 14},
        {"down arrow", 76, 15},
        {"track above the thumb", 24, 10},
        {"track below the thumb", 60, 15},
        {"down arrow at the end", 76, 15},
    };
    for (const Step& s : steps) {
        click(list, barX, s.y);
        EXPECT_EQ(list->TopIndex(), s.top) << s.what;
    }
    // The thumb, at the bottom of the track, follows the mouse up and down.
    list->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(barX, 60));
    list->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(barX, 0));
    EXPECT_EQ(list->TopIndex(), 0);
    list->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(barX, 200));
    EXPECT_EQ(list->TopIndex(), 15);
    list->Perform(WM_LBUTTONUP, 0, MAKELPARAM(barX, 200));
    list->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(barX, 0));
    EXPECT_EQ(list->TopIndex(), 15) << "released";
    EXPECT_EQ(list->ItemIndex(), -1) << "the bar selects nothing";

    // Three lines a notch.
    const TPoint screen = list->ClientToScreen({40, 40});
    list->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(screen.X, screen.Y));
    EXPECT_EQ(list->TopIndex(), 12);
    // A list that shows all its items has no bar.
    list->SetHeight(4 + 20 * 16);
    EXPECT_EQ(list->TopIndex(), 0);
    EXPECT_EQ(list->ItemRect(0).Right, 120 - 2);
}

TEST_F(StdCtrlsTest, ListBoxMultiSelectTogglesWithCtrl) {
    auto* list = make<TListBox>();
    list->Items()->SetCommaText("a,b,c,d");
    list->SetMultiSelect(true);
    TRect r0 = list->ItemRect(0), r2 = list->ItemRect(2);
    click(list, 4, r0.Top + 1);
    click(list, 4, r2.Top + 1, MK_CONTROL);
    EXPECT_EQ(list->SelCount(), 2);
    EXPECT_TRUE(list->Selected(0));
    EXPECT_TRUE(list->Selected(2));
    click(list, 4, r0.Top + 1, MK_CONTROL);
    EXPECT_FALSE(list->Selected(0));
    EXPECT_THROW(list->Selected(4), EListError);
}

// The same navigation keys move through a list box, a closed drop-down list and an open one;
// each list has 20 items and pages of 4 items (5 rows shown, one kept).
TEST_F(StdCtrlsTest, NavigationKeysMoveAlikeInListsAndComboBoxes) {
    struct Case {
        WORD key;
        int start, expected;
    };
    const Case shared[] = {
        {VK_DOWN, -1, 0},  {VK_UP, -1, 0},    {VK_UP, 0, 0},    {VK_UP, 7, 6},
        {VK_DOWN, 7, 8},   {VK_DOWN, 19, 19}, {VK_HOME, 5, 0},  {VK_END, 5, 19},
        {VK_PRIOR, 10, 6}, {VK_PRIOR, 2, 0},  {VK_NEXT, -1, 4}, {VK_NEXT, 10, 14},
        {VK_NEXT, 18, 19},
    };
    auto* list = make<TListBox>();
    for (int i = 0; i < 20; ++i) list->Items()->Add("item " + std::to_string(i));
    list->SetItemHeight(16);
    list->SetHeight(5 * 16 + 4 + (list->Height() - list->ClientHeight()));
    auto* combo = make<TComboBox>(10, 200);
    combo->SetStyle(csDropDownList);
    combo->SetDropDownCount(5);
    for (int i = 0; i < 20; ++i) combo->Items()->Add("item " + std::to_string(i));
    for (const Case& c : shared) {
        list->SetItemIndex(c.start);
        key(list, c.key);
        EXPECT_EQ(list->ItemIndex(), c.expected) << "list, key " << c.key << " from " << c.start;
        combo->SetItemIndex(c.start);
        key(combo, c.key);
        EXPECT_EQ(combo->ItemIndex(), c.expected) << "closed, key " << c.key << " from " << c.start;
        combo->SetItemIndex(c.start);
        key(combo, VK_F4);
        key(combo, c.key);
        key(combo, VK_RETURN);
        EXPECT_FALSE(combo->DroppedDown());
        EXPECT_EQ(combo->ItemIndex(), c.expected) << "open, key " << c.key << " from " << c.start;
    }
    // A closed drop-down list also moves with Left and Right.
    const Case closedOnly[] = {
        {VK_LEFT, 7, 6}, {VK_RIGHT, 7, 8}, {VK_LEFT, 0, 0}, {VK_RIGHT, 19, 19}};
    for (const Case& c : closedOnly) {
        combo->SetItemIndex(c.start);
        key(combo, c.key);
        EXPECT_EQ(combo->ItemIndex(), c.expected) << "closed, key " << c.key << " from " << c.start;
    }
    // Empty lists stay without a current item.
    list->Items()->Clear();
    combo->Items()->Clear();
    for (WORD k : {VK_UP, VK_DOWN, VK_HOME, VK_END, VK_PRIOR, VK_NEXT}) {
        key(list, k);
        EXPECT_EQ(list->ItemIndex(), -1) << k;
        key(combo, k);
        EXPECT_EQ(combo->ItemIndex(), -1) << k;
    }
}

// --- check box, radio button, button ------------------------------------------------------------

TEST_F(StdCtrlsTest, CheckBoxTogglesByClickAndSpace) {
    auto* box = make<TCheckBox>();
    box->SetCaption("Enable Peer to Peer");
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };

    click(box, 5, 5);
    EXPECT_TRUE(box->Checked());
    // A press released outside the box does not toggle.
    box->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    box->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(500, 5));
    box->Perform(WM_LBUTTONUP, 0, MAKELPARAM(500, 5));
    EXPECT_TRUE(box->Checked());
    // Space toggles on release.
    box->Perform(WM_KEYDOWN, VK_SPACE);
    EXPECT_TRUE(box->Checked());
    box->Perform(WM_KEYUP, VK_SPACE);
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(clicks, 2);
    // Setting the state by code fires OnClick too, as the forms rely on.
    box->SetChecked(true);
    box->SetChecked(true);
    EXPECT_EQ(clicks, 3);
}

TEST_F(StdCtrlsTest, CheckBoxGrayedCycleOnlyWhenAllowed) {
    struct Case {
        bool allowGrayed;
        TCheckBoxState from, to;
    };
    const Case cases[] = {
        {false, cbUnchecked, cbChecked}, {false, cbChecked, cbUnchecked},
        {true, cbUnchecked, cbGrayed},   {true, cbGrayed, cbChecked},
        {true, cbChecked, cbUnchecked},  {false, cbGrayed, cbChecked},
    };
    for (const auto& c : cases) {
        auto* box = make<TCheckBox>();
        box->SetAllowGrayed(c.allowGrayed);
        box->SetState(c.from);
        click(box, 2, 2);
        EXPECT_EQ(box->State(), c.to) << c.allowGrayed << " " << c.from;
        delete box;
    }
}

TEST_F(StdCtrlsTest, RadioButtonUnchecksItsSiblings) {
    auto* a = make<TRadioButton>(10, 10);
    auto* b = make<TRadioButton>(10, 30);
    auto* group = make<TGroupBox>(150, 10);
    auto* other = new TRadioButton(form.get());
    other->SetParent(group);
    other->SetChecked(true);
    a->SetChecked(true);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    click(b, 3, 3);
    EXPECT_TRUE(b->Checked());
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(other->Checked()) << "another parent is another group";
    click(b, 3, 3);
    EXPECT_EQ(clicks, 1) << "clicking a checked button changes nothing";
}

TEST_F(StdCtrlsTest, ButtonClickSetsTheFormsModalResult) {
    auto* ok = make<TButton>();
    ok->SetModalResult(mrOk);
    bool clicked = false;
    ok->OnClick = [&](TObject*) { clicked = true; };
    click(ok, 5, 5);
    EXPECT_TRUE(clicked);
    EXPECT_EQ(form->ModalResult(), mrOk);

    auto* cancel = make<TButton>(100, 10);
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    EXPECT_NE(form->Perform(CM_DIALOGKEY, VK_ESCAPE), 0);
    EXPECT_EQ(form->ModalResult(), mrCancel);

    // Enter: the default button, unless another button has the focus.
    ok->SetDefault(true);
    EXPECT_NE(form->Perform(CM_DIALOGKEY, VK_RETURN), 0);
    EXPECT_EQ(form->ModalResult(), mrOk);
    cancel->SetFocus();
    EXPECT_NE(form->Perform(CM_DIALOGKEY, VK_RETURN), 0);
    EXPECT_EQ(form->ModalResult(), mrCancel);
}

// --- label --------------------------------------------------------------------------------------

TEST_F(StdCtrlsTest, LabelAcceleratorFocusesItsControlAndAutoSizeFollowsTheCaption) {
    auto* edit = make<TEdit>(100, 10);
    auto* label = make<TLabel>();
    label->SetCaption("&Name");
    label->SetFocusControl(edit);
    EXPECT_NE(form->Perform(CM_DIALOGCHAR, 'N'), 0);
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'X'), 0);

    int narrow = label->Width();
    label->SetCaption("A much longer caption");
    EXPECT_GT(label->Width(), narrow);
    label->SetAutoSize(false);
    label->SetCaption("x");
    EXPECT_GT(label->Width(), narrow) << "without AutoSize the size stays";

    // With WordWrap the lines break at the width and the height grows to them.
    label->SetAutoSize(true);
    label->SetWidth(60);
    int oneLine = label->Height();
    label->SetWordWrap(true);
    label->SetCaption("several words that need more than one line");
    EXPECT_LE(label->Width(), 60);
    EXPECT_GE(label->Height(), 3 * oneLine);

    // The focus control going away leaves the label without one.
    delete edit;
    EXPECT_EQ(label->FocusControl(), nullptr);
}

} // namespace
