// The calculator drop-down: button sequences clicked in its popup, keys typed in the popup and
// in the edit, the memory, the button panel's arrangement, hit test and faces.
#include "controls/QorCalculatorDropDown.h"
#include "platform/base/SysUtils.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

using namespace uitest;

namespace {

class TTestCalculator : public TQorCalculatorDropdown {
public:
    using TQorCalculatorDropdown::GetModifiedFlag;
    using TQorCalculatorDropdown::SetEditText;
    using TQorCalculatorDropdown::SetModifiedFlag;
    using TQorCalculatorDropdown::TQorCalculatorDropdown;
};

class CalculatorTest : public ::testing::Test {
protected:
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TTestCalculator* calc = nullptr;

    void SetUp() override {
        form->SetBorderStyle(bsNone);
        form->SetBounds(100, 100, 400, 300);
        calc = new TTestCalculator(form.get());
        calc->SetParent(form.get());
        calc->SetBounds(20, 30, 200, 22);
        form->Show();
        calc->SetFocus();
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
    void open() {
        key(VK_F4);
        ASSERT_TRUE(calc->DroppedDown());
    }
    TCustomButtonPanel* panel() const { return calc->ButtonPanel(); }
    int buttonOf(const std::string& caption) const {
        for (int i = 0; i < panel()->Buttons()->Count(); ++i)
            if (panel()->Buttons()->Items(i)->Caption() == caption) return i;
        ADD_FAILURE() << "no button " << caption;
        return -1;
    }
    // Clicks the buttons named by the space-separated captions.
    void press(const std::string& sequence) {
        std::istringstream in(sequence);
        std::string caption;
        while (in >> caption) {
            const TRect r = panel()->GetButtonRect(buttonOf(caption));
            postNativeClickAt(panel(), {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
            processMessages();
        }
    }
};

} // namespace

TEST_F(CalculatorTest, ButtonSequencesComputeAsADeskCalculator) {
    struct Case {
        const char* buttons;
        const char* shown;
    };
    const Case cases[] = {
        {"7", "7.00"},
        {"7 3", "73.00"},
        {"2 + 3 * 4 =", "20.00"}, // left to right
        {"8 - 3 =", "5.00"},
        {"9 / 4 =", "2.25"},
        {"2 0 0 + 1 0 %", "20.00"},
        {"2 0 0 + 1 0 % =", "220.00"},
        {". 5", "0.50"},
        {"1 . 2 5", "1.25"},
        {". 5 CE 7", "7.00"}, // "CE" ends the fraction too
        {"9 / 0 =", "Error"},
        {"9 / 0 = 4", "4.00"},
        {"9 / 0 = C", "0.00"},
        {"4 sqrt", "2.00"},
        {"4 +/- sqrt", "Error"},
        {"7 +/-", "-7.00"},
        {"7 +/- +/-", "7.00"},
        {"4 1/x", "0.25"},
        {"0 1/x", "Error"},
        {"1 2 3 Back", "12.00"},
        {"5 MS C MR", "5.00"},
        {"5 MS C 3 M+ C MR", "8.00"},
        {"5 MS MC C MR", "0.00"},
        {"1 + 2 = + 3 =", "6.00"},
    };
    open();
    for (const Case& c : cases) {
        press("C");
        press(c.buttons);
        EXPECT_EQ(calc->Text(), c.shown) << c.buttons;
    }
    press("9 / 0 = C");
    EXPECT_EQ(calc->PendingOperation(), -1);
    EXPECT_EQ(calc->PreviousValue(), 0);
}

TEST_F(CalculatorTest, PopupKeysCalculateEnterClosesEscapeCancels) {
    calc->SetText("1");
    open();
    EXPECT_EQ(panel()->Height(), 150);
    EXPECT_EQ(calc->DropDownForm()->Width(), 230);
    EXPECT_EQ(calc->DropDownForm()->Height(), 152);
    type("12+3");
    EXPECT_EQ(calc->Text(), "3.00");
    key(VK_RETURN);
    EXPECT_FALSE(calc->DroppedDown());
    EXPECT_EQ(calc->Text(), "15.00");
    EXPECT_EQ(calc->Value(), 15);

    open();
    type("2*4");
    EXPECT_EQ(calc->Text(), "4.00");
    key(VK_ESCAPE);
    EXPECT_FALSE(calc->DroppedDown());
    EXPECT_EQ(calc->PendingOperation(), 1) << "the calculation goes on at the next drop-down";

    open();
    type("6="); // 2 * 6: the 4 typed before was replaced by the new number
    EXPECT_EQ(calc->Text(), "12.00");
    key(VK_F4);
    EXPECT_FALSE(calc->DroppedDown());
    EXPECT_EQ(calc->Text(), "12.00");
}

TEST_F(CalculatorTest, KeysInTheClosedEditOperate) {
    calc->SetText("0");
    calc->SelectAll();
    type("5+5");
    key(VK_RETURN);
    EXPECT_EQ(calc->Text(), "10.00");
    type("x");
    EXPECT_EQ(calc->Text(), "10.00") << "a letter is dropped";
    type("c");
    EXPECT_EQ(calc->Text(), "0.00");
    EXPECT_EQ(calc->PreviousValue(), 10) << "the closed edit's C keeps the running result";
    type("7");
    EXPECT_EQ(calc->Text(), "7.00");
    calc->SelectAll();
    key(VK_DELETE);
    EXPECT_EQ(calc->Text(), "0.00") << "Delete leaves 0, not an empty edit";
    calc->SetPrecision(0);
    type("7");
    EXPECT_EQ(calc->Text(), "7");
    key(VK_BACK);
    EXPECT_EQ(calc->Text(), "0") << "Backspace on the last digit leaves 0";
}

TEST_F(CalculatorTest, ValueReadsUnparsableTextsAsZero) {
    calc->SetValue(2.5);
    EXPECT_EQ(calc->Text(), "2.50");
    EXPECT_EQ(calc->Value(), 2.5);
    calc->SetText("");
    EXPECT_EQ(calc->Value(), 0);
    EXPECT_EQ(calc->Text(), "0.00");
    open();
    // A text that is not a number counts as 0 in every operation, raising nothing.
    calc->SetEditText("abc");
    press("+ 2 =");
    EXPECT_EQ(calc->Text(), "2.00");
    calc->SetEditText("abc");
    press("MS");
    EXPECT_EQ(calc->Memory(), 0);
}

TEST_F(CalculatorTest, ThousandSeparatorsShowAndAreReadBack) {
    calc->SetValue(1234);
    calc->SetShowThousandSeparator(true);
    EXPECT_EQ(calc->Text(), "1,234.00");
    open();
    press("MS C 1 M+ C MR");
    EXPECT_EQ(calc->Memory(), 1235);
    EXPECT_EQ(calc->Text(), "1,235.00");
    calc->SetShowThousandSeparator(false);
    EXPECT_EQ(calc->Text(), "1235.00");
}

TEST_F(CalculatorTest, MaxLengthStopsTypingButtonsWithoutModifying) {
    calc->SetText("1");
    calc->SetMaxLength(4);
    open();
    calc->SetModifiedFlag(false);
    press("5 +/- .");
    EXPECT_EQ(calc->Text(), "1.00");
    EXPECT_FALSE(calc->GetModifiedFlag());
    press("+");
    EXPECT_TRUE(calc->GetModifiedFlag());
}

TEST_F(CalculatorTest, ButtonsAreArrangedInBlocksAndHitInOrder) {
    open();
    const int n = panel()->Buttons()->Count();
    EXPECT_EQ(n, 28);
    TRect area;
    panel()->GetButtonArea(area);
    EXPECT_EQ(area, Rect(8, 8, panel()->Width() - 8, 142));
    const int W = (area.Width() - 8) / 6, H = (area.Height() - 4) / 5;
    const int c1 = 8 + W + 4, c2 = c1 + W - 1;
    const int r1 = 8 + H + 4, r4 = r1 + 3 * (H - 1);
    EXPECT_EQ(panel()->GetButtonRect(buttonOf("MC")), Bounds(8, r1, W, H));
    EXPECT_EQ(panel()->GetButtonRect(buttonOf("7")), Bounds(c1, r1, W, H));
    EXPECT_EQ(panel()->GetButtonRect(buttonOf("8")), Bounds(c2, r1, W, H));
    EXPECT_EQ(panel()->GetButtonRect(buttonOf("0")), Bounds(c1, r4, W, H));
    const TRect equals = panel()->GetButtonRect(buttonOf("="));
    const TRect clear = panel()->GetButtonRect(buttonOf("C"));
    EXPECT_EQ(clear.Right, equals.Right) << "the top row reaches the last column's edge";
    const int W2 = (equals.Right - c1 - 8) / 3;
    EXPECT_EQ(panel()->GetButtonRect(buttonOf("Back")), Bounds(c1, 8, W2, H));
    EXPECT_EQ(panel()->GetButtonRect(buttonOf("CE")), Bounds(c1 + W2 + 4, 8, W2, H));
    EXPECT_EQ(clear.Left, c1 + 2 * W2 + 8);
    EXPECT_EQ(panel()->GetButtonRect(99), Rect(-1, -1, -1, -1));
    // The column shared by 7 and 8 belongs to 7, the earlier button.
    EXPECT_EQ(panel()->ButtonAtPos(c2, r1 + 2), buttonOf("7"));
    EXPECT_EQ(panel()->ButtonAtPos(c2 + 1, r1 + 2), buttonOf("8"));
    EXPECT_EQ(panel()->ButtonAtPos(1, 1), -1);
    EXPECT_TRUE(panel()->Buttons()->Items(buttonOf("/"))->Special());
    EXPECT_FALSE(panel()->Buttons()->Items(buttonOf("%"))->Special());
    EXPECT_EQ(panel()->Buttons()->Items(buttonOf("sqrt"))->Tag(), 37);
    EXPECT_EQ(panel()->Buttons()->Items(0)->Name(), "BTN_ON");
}

TEST_F(CalculatorTest, FacesAreDrawnAndFollowThePointer) {
    open();
    const TRect r = panel()->GetButtonRect(buttonOf("7"));
    const TPoint mid{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    // Without visual styles the classic push button: a face in the button colour, a dark edge.
    EXPECT_EQ(pixel(panel(), r.Left + 3, mid.Y), ColorToRGB(clBtnFace));
    EXPECT_EQ(pixel(panel(), mid.X, r.Bottom - 1), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(pixel(panel(), 3, 3), ColorToRGB(clWhite)) << "the panel takes the popup colour";
    postNativeMouseMove(panel(), mid);
    processMessages();
    EXPECT_EQ(panel()->ButtonHot(), buttonOf("7"));
    postNativeMouseDown(panel(), mid);
    processMessages();
    EXPECT_EQ(panel()->ButtonDown(), buttonOf("7"));
    // Released over another button: no click.
    const TRect other = panel()->GetButtonRect(buttonOf("9"));
    postNativeMouseMove(panel(), {other.Left + 5, other.Top + 5}, true);
    postNativeMouseUp(panel(), {other.Left + 5, other.Top + 5});
    processMessages();
    EXPECT_EQ(panel()->ButtonDown(), -1);
    EXPECT_EQ(calc->Text(), "0.00");
}

TEST_F(CalculatorTest, StylesGiveTheCalculatorButtonsTheirColours) {
    TButtonAppearance* a = calc->CalcButtonAppearance();
    EXPECT_EQ(a->Color(), TColor(0xFFEFE3)) << "the construction style";
    EXPECT_EQ(a->GlowColorHot(), TColor(0x6EBBFF));
    EXPECT_EQ(a->GlowColorDown(), TColor(0xD5C244));
    EXPECT_EQ(a->TextColor(), clBlack);
    calc->SetComponentStyle(tsOffice2010Blue);
    EXPECT_EQ(a->Color(), TColor(0xFDF6EF));
    EXPECT_EQ(a->BorderColor(), TColor(0xC7B29F));
    EXPECT_EQ(a->GlowColorHot(), TColor(0x8AE3FD));
    EXPECT_EQ(a->GlowColorDown(), TColor(0x8AE3FD));
    a->SetSpecialTextColor(TColor(0x00FF00));
    open();
    EXPECT_EQ(panel()->ButtonAppearance()->SpecialTextColor(), TColor(0x00FF00))
        << "copied at every drop-down";
}

TEST(ButtonPanel, CustomPanelsKeepTheirButtons) {
    TForm form(nullptr);
    auto* panel = new TCustomButtonPanel(&form);
    panel->SetParent(&form);
    panel->SetButtonPanelType(plCustom);
    panel->CreateButtons();
    EXPECT_EQ(panel->Buttons()->Count(), 0);
    TButtonItem* b = panel->Buttons()->Add();
    b->SetBounds(5, 6, 30, 20);
    int clicked = -1;
    panel->OnButtonClick = [&](TObject*, int i) { clicked = i; };
    panel->SetBounds(0, 0, 300, 200);
    panel->ArrangeButtons();
    EXPECT_EQ(panel->GetButtonRect(0), Bounds(5, 6, 30, 20));
    form.Show();
    processMessages();
    postNativeClickAt(panel, {10, 10});
    processMessages();
    EXPECT_EQ(clicked, 0);
    panel->SetButtonPanelType(plCalculator);
    panel->ResetButtons();
    EXPECT_EQ(panel->Buttons()->Count(), 28);
}
