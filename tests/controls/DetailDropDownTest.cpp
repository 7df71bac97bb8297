// The detail drop-down: completion as the user types, the keys and the wheel, the popup list
// chosen from with the mouse and keys, cancelled, and its item drawing.
#include "controls/QorDetailDropDown.h"
#include "platform/testing/NativeMouse.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/core/Forms.h"

#include <gtest/gtest.h>

#include <memory>

using namespace uitest;

namespace {

class DetailTest : public ::testing::Test {
protected:
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TQorDetailDropDown* edit = nullptr;
    int selects = 0;

    void SetUp() override {
        form->SetBorderStyle(bsNone);
        form->SetBounds(100, 100, 400, 400);
        edit = new TQorDetailDropDown(form.get());
        edit->SetParent(form.get());
        edit->SetBounds(20, 30, 200, 22);
        for (const char* c : {"Apple", "Apricot", "Banana"}) edit->Items()->Add()->SetCaption(c);
        edit->OnSelect = [this](TObject*) { ++selects; };
        form->Show();
        edit->SetFocus();
        processMessages();
    }
    void TearDown() override { form.reset(); }
    void key(WORD vk, TShiftState shift = {}) {
        postNativeKey(vk, shift);
        processMessages();
    }
    void type(const std::string& text) {
        postNativeText(text);
        processMessages();
    }
    TCustomItemSelector* panel() { return edit->ItemSelector()->SelectorPanel(); }
};

} // namespace

TEST_F(DetailTest, TypingCompletesFromTheFirstMatchingCaption) {
    struct Case {
        const char* typed;
        bool matchCase;
        const char* text;
        int selStart, selLength, index;
    };
    const Case cases[] = {
        {"ap", false, "apple", 2, 3, 0},
        {"apr", false, "apricot", 3, 4, 1},
        {"B", false, "Banana", 1, 5, 2},
        {"ap", true, "ap", 2, 0, -1}, // no caption starts with lower-case "ap"
        {"Ap", true, "Apple", 2, 3, 0},
        {"x", false, "x", 1, 0, -1},
    };
    for (const Case& c : cases) {
        edit->SetItemIndex(-1);
        edit->SetText("");
        edit->SetMatchCase(c.matchCase);
        selects = 0;
        type(c.typed);
        EXPECT_EQ(edit->EditText(), c.text) << c.typed;
        EXPECT_EQ(edit->SelStart(), c.selStart) << c.typed;
        EXPECT_EQ(edit->SelLength(), c.selLength) << c.typed;
        EXPECT_EQ(edit->ItemIndex(), c.index) << c.typed;
        EXPECT_EQ(selects, 0) << "completing fires no OnSelect";
    }
}

TEST_F(DetailTest, TextAfterTheCaretIsDroppedWhenNothingMatches) {
    edit->SetText("Banana");
    edit->SetSelStart(0);
    edit->SetSelLength(0);
    type("x");
    EXPECT_EQ(edit->EditText(), "x");
}

TEST_F(DetailTest, BackspaceAfterACompletionRemovesTheTailOnly) {
    type("ap");
    ASSERT_EQ(edit->EditText(), "apple");
    key(VK_BACK);
    EXPECT_EQ(edit->EditText(), "ap");
    type("r");
    EXPECT_EQ(edit->EditText(), "apricot") << "the next key completes again";
}

TEST_F(DetailTest, EnterTakesAnExactCaptionOnly) {
    edit->SetText("banana");
    key(VK_RETURN);
    EXPECT_EQ(edit->ItemIndex(), -1);
    EXPECT_EQ(selects, 0);
    edit->SetText("Banana");
    key(VK_RETURN);
    EXPECT_EQ(edit->ItemIndex(), 2);
    EXPECT_EQ(selects, 1);
}

TEST_F(DetailTest, ItemIndexSetterAndSteps) {
    edit->SetItemIndex(5);
    EXPECT_EQ(edit->ItemIndex(), -1);
    edit->SetItemIndex(1);
    EXPECT_EQ(edit->EditText(), "Apricot");
    EXPECT_EQ(edit->SelLength(), 7) << "selected whole";
    EXPECT_EQ(selects, 1);
    edit->SetItemIndex(-1);
    EXPECT_EQ(edit->EditText(), "");
    EXPECT_EQ(selects, 1);
    // Closed: Up and Down step, and stop at the ends.
    key(VK_DOWN);
    EXPECT_EQ(edit->ItemIndex(), 0) << "from none to the first";
    key(VK_UP);
    EXPECT_EQ(edit->ItemIndex(), 0);
    for (int i = 0; i < 3; ++i) key(VK_DOWN);
    EXPECT_EQ(edit->ItemIndex(), 2);
    postNativeWheel(edit, {5, 5}, 120);
    processMessages();
    EXPECT_EQ(edit->ItemIndex(), 1) << "wheel up: the previous one";
}

TEST_F(DetailTest, PopupListIsChosenFromWithKeysAndMouse) {
    edit->SetItemIndex(0);
    selects = 0;
    key(VK_DOWN, {ssAlt});
    ASSERT_TRUE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemSelector()->Items()->Count(), 3);
    EXPECT_EQ(edit->ItemSelector()->ItemIndex(), 0);
    key(VK_DOWN);
    EXPECT_TRUE(edit->DroppedDown()) << "moving in the list keeps it open";
    EXPECT_EQ(edit->ItemIndex(), 1);
    EXPECT_EQ(edit->EditText(), "Apricot");
    key(VK_RETURN);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->EditText(), "Apricot");

    // A click on the third item chooses it and closes the popup.
    edit->ShowDropDown();
    processMessages();
    const TRect r = edit->ItemSelector()->Items()->Items(2)->Rect();
    postNativeClickAt(panel(), {r.Left + 5, r.Top + r.Height() / 2});
    processMessages();
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemIndex(), 2);
    EXPECT_EQ(edit->EditText(), "Banana");
}

TEST_F(DetailTest, CancelRestoresTheIndexOfTheDropDown) {
    edit->SetItemIndex(2);
    key(VK_DOWN, {ssAlt});
    key(VK_UP);
    key(VK_UP);
    EXPECT_EQ(edit->ItemIndex(), 0);
    key(VK_ESCAPE);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemIndex(), 2);
    EXPECT_EQ(edit->EditText(), "Banana");
}

TEST_F(DetailTest, TypeAheadInTheOpenListLivesHalfASecond) {
    edit->Items()->Add()->SetCaption("Blueberry");
    key(VK_DOWN, {ssAlt});
    key('B');
    EXPECT_EQ(edit->ItemSelector()->ItemIndex(), 2);
    key('L');
    EXPECT_EQ(edit->ItemSelector()->ItemIndex(), 3) << "BL";
    EXPECT_TRUE(edit->DroppedDown());
    advanceClock(500);
    processMessages();
    key('A');
    EXPECT_EQ(edit->ItemSelector()->ItemIndex(), 0) << "a new search";
}

TEST_F(DetailTest, ModifiedMeansChangedSinceTheFocusCame) {
    auto* other = new TEdit(form.get());
    other->SetParent(form.get());
    other->SetBounds(20, 80, 100, 22);
    edit->SetItemIndex(2);
    other->SetFocus();
    edit->SetFocus();
    processMessages();
    key(VK_UP);
    EXPECT_EQ(edit->EditText(), "Apricot");
    EXPECT_TRUE(edit->Modified());
    key(VK_DOWN);
    EXPECT_EQ(edit->EditText(), "Banana");
    EXPECT_FALSE(edit->Modified()) << "back at the text it had";
}

TEST_F(DetailTest, AssignCopiesNotes) {
    TDetailItems other(nullptr);
    TDetailItem* source = other.Add();
    source->SetCaption("Cherry");
    source->SetNotes("<b>red</b>");
    source->SetTag(7);
    edit->SetItems(&other);
    ASSERT_EQ(edit->Items()->Count(), 1);
    EXPECT_EQ(edit->Items()->Items(0)->Notes(), "<b>red</b>");
    EXPECT_EQ(edit->Items()->Items(0)->Tag(), 7);
    EXPECT_EQ(edit->Items()->IndexOf("Cherry"), 0);
    EXPECT_EQ(edit->Items()->IndexOf("cherry"), -1);
}

TEST_F(DetailTest, ItemsDrawCaptionNotesAndTheDrawingEvent) {
    edit->Items()->Items(0)->SetNotes("small print");
    edit->SetItemHeight(40);
    edit->CaptionFont()->SetColor(clBlue);
    edit->NotesFont()->SetColor(clRed);
    edit->ShowDropDown();
    processMessages();
    auto image = render(panel());
    const TRect r = edit->ItemSelector()->Items()->Items(0)->Rect();
    EXPECT_EQ(r.Height(), 40);
    int blue = 0, red = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) {
            blue += image->PixelColor(x, y) == clBlue;
            red += image->PixelColor(x, y) == clRed;
        }
    EXPECT_GT(blue, 0) << "the caption";
    EXPECT_GT(red, 0) << "the notes";
    edit->HideDropDown(true);

    int drawn = 0;
    edit->OnDrawSelectedImage = [&](TObject*, TCanvas* c, TRect& R) {
        ++drawn;
        c->Brush()->SetColor(clLime);
        c->FillRect(R);
    };
    edit->ShowDropDown();
    processMessages();
    image = render(panel());
    EXPECT_EQ(drawn >= 3, true);
    EXPECT_EQ(image->PixelColor(r.Left + 10, r.Top + 10), clLime);
}
