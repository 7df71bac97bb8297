// The spin edit on its own on a form: values and bounds, what it takes as typed, stepping of
// each kind, and the arrows that repeat while held.
#include "grid/editors/controls/AsgSpinEdit.h"
#include "platform/base/FormatSettings.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class SpinEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetFormatSettings();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 300, 200);
        spin = new TAsgSpinEdit(form.get());
        spin->SetParent(form.get());
        spin->SetBounds(10, 10, 120, 24);
        other = new TEdit(form.get());
        other->SetParent(form.get());
        other->SetBounds(10, 60, 120, 24);
        form->Show();
        spin->SetFocus();
        uitest::processMessages();
    }
    void TearDown() override {
        form.reset();
        uitest::processMessages();
        ResetFormatSettings();
    }
    // Puts the caret at a character position.
    void caret(int at) {
        spin->SetSelStart(at);
        spin->SetSelLength(0);
    }
    std::unique_ptr<TForm> form;
    TAsgSpinEdit* spin = nullptr;
    TEdit* other = nullptr;
};

TEST_F(SpinEditTest, ANewSpinEditShowsZeroAndClampsToItsBounds) {
    EXPECT_EQ(spin->Text(), "0");
    EXPECT_EQ(spin->Value(), 0);
    spin->SetValue(150);
    EXPECT_EQ(spin->Text(), "100");
    spin->SetMinValue(0);
    spin->SetMaxValue(0);
    spin->SetValue(-5);
    EXPECT_EQ(spin->Text(), "-5") << "equal bounds do not bound";
}

TEST_F(SpinEditTest, TextsThatAreNoValueReadTheirKindsFallback) {
    spin->SetMinValue(3);
    spin->SetMinFloatValue(2.5);
    spin->SetMinDateValue(EncodeDate(2000, 1, 1));
    struct Case {
        const char* text;
        int value;
        double floatValue;
    };
    const Case cases[] = {
        {"", 0, 2.5},
        {"  42 ", 42, 42},
        {"abc", 3, 2.5},
        {"1.5", 3, 1.5},
        {"99999999999", 3, 99999999999.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        spin->SetText(c.text);
        EXPECT_EQ(spin->Value(), c.value);
        // A float text that does not read is the float minimum, not the integer one.
        EXPECT_DOUBLE_EQ(spin->FloatValue(), c.floatValue);
    }
    spin->SetText("not a date");
    EXPECT_EQ(spin->DateValue(), EncodeDate(2000, 1, 1));
    spin->SetText("not a time");
    EXPECT_EQ(spin->TimeValue(), 0);
}

TEST_F(SpinEditTest, TypedCharactersFollowTheKind) {
    struct Case {
        TAsgSpinType kind;
        int precision;
        const char* start;
        int caretAt;
        char32_t key;
        bool taken;
    };
    const Case cases[] = {
        {sptNormal, 0, "12", 2, U'a', false},     {sptNormal, 0, "12", 2, 13, false},
        {sptNormal, 0, "12", 2, 27, false},       {sptNormal, 0, "12", 2, 3, false},
        {sptNormal, 0, "12", 2, 8, true},         {sptNormal, 0, "12", 1, U'-', false},
        {sptNormal, 0, "12", 0, U'-', true},      {sptNormal, 0, "-12", 0, U'-', false},
        {sptFloat, 2, "1.25", 4, U'7', false},    {sptFloat, 2, "1.2", 3, U'7', true},
        {sptFloat, 0, "1.2", 3, U',', false},     {sptFloat, 0, "1.2", 3, U'.', false},
        {sptTime, 0, "10:20:30", 8, U':', false}, {sptTime, 0, "10:20", 5, U':', true},
        {sptNormal, 0, "1", 1, U'/', false},      {sptDate, 0, "1/2", 3, U'/', true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " + " + std::to_string(int(c.key)));
        spin->SetText(c.start);
        spin->SetPrecision(c.precision);
        spin->SetSpinType(c.kind);
        spin->SetText(c.start);
        caret(c.caretAt);
        char32_t key = c.key;
        EXPECT_EQ(spin->AcceptChar(key), c.taken);
    }
    // A selected decimal separator may be typed over.
    spin->SetSpinType(sptFloat);
    spin->SetText("1.2");
    spin->SetSelStart(1);
    spin->SetSelLength(1);
    char32_t dot = U'.';
    EXPECT_TRUE(spin->AcceptChar(dot));
}

TEST_F(SpinEditTest, KeysTypedThroughQtAreFilteredAndStepped) {
    spin->SelectAll();
    uitest::postNativeText("4a2", spin);
    uitest::processMessages();
    EXPECT_EQ(spin->Text(), "42");
    uitest::postNativeKey(VK_UP, spin);
    uitest::postNativeKey(VK_UP, spin);
    uitest::processMessages();
    EXPECT_EQ(spin->Text(), "44");
    spin->SetEditorEnabled(false);
    uitest::postNativeText("9", spin);
    uitest::postNativeKey(VK_DOWN, spin);
    uitest::processMessages();
    EXPECT_EQ(spin->Text(), "43") << "without the editor only the arrows change the value";
    EXPECT_EQ(spin->SelLength(), 2) << "and the text is selected after each step";
}

TEST_F(SpinEditTest, DateStepsTheFieldUnderTheCaret) {
    FormatSettings().ShortDateFormat = "dd.mm.yyyy";
    FormatSettings().DateSeparator = '.';
    spin->SetSpinType(sptDate);
    struct Case {
        int caretAt;
        const char* after;
    };
    const Case cases[] = {{0, "01.02.2021"}, {4, "28.02.2021"}, {8, "31.01.2022"}};
    for (const Case& c : cases) {
        spin->SetDateValue(EncodeDate(2021, 1, 31));
        caret(c.caretAt);
        spin->StepUp(false);
        EXPECT_EQ(spin->Text(), c.after) << c.caretAt;
    }
    // 29 February stays where the next year has none.
    spin->SetDateValue(EncodeDate(2020, 2, 29));
    caret(8);
    spin->StepUp(false);
    EXPECT_EQ(spin->Text(), "29.02.2020");
}

TEST_F(SpinEditTest, TimeStepsWrapAroundTheDay) {
    spin->SetSpinType(sptTime);
    spin->SetText("00:14:00");
    caret(0);
    spin->StepDown(false);
    EXPECT_EQ(spin->Text(), "23:14:00");
    spin->SetText("23:30:00");
    caret(0);
    spin->StepUp(false);
    EXPECT_EQ(spin->Text(), "00:30:00");
    caret(4);
    spin->StepUp(false);
    EXPECT_EQ(spin->Text(), "00:31:00");
    caret(7);
    spin->StepDown(false);
    EXPECT_EQ(spin->Text(), "00:30:59");
    spin->SetReadOnly(true);
    spin->StepUp(false);
    EXPECT_EQ(spin->Text(), "00:30:59") << "a read-only spin edit does not step";
}

TEST_F(SpinEditTest, LeavingSnapsAValueOutOfBoundsToTheBound) {
    spin->SetText("250");
    other->SetFocus();
    EXPECT_EQ(spin->Text(), "100");
}

TEST_F(SpinEditTest, AHeldArrowRepeatsAfter400ThenEvery100Milliseconds) {
    spin->SetValue(10);
    TAsgSpinButton* pair = spin->Button();
    const TPoint up{pair->Width() / 2, 2};
    const TPoint down{pair->Width() / 2, pair->Height() - 2};
    uitest::postNativeMouseDown(pair, down);
    uitest::processMessages();
    uitest::advanceClock(399);
    EXPECT_EQ(spin->Value(), 10);
    uitest::advanceClock(1);
    EXPECT_EQ(spin->Value(), 9);
    uitest::advanceClock(300);
    EXPECT_EQ(spin->Value(), 6);
    uitest::postNativeMouseUp(pair, down);
    uitest::processMessages();
    EXPECT_EQ(spin->Value(), 5) << "the release clicks once more";
    // A press let go off the arrow before the first repeat does nothing.
    uitest::postNativeMouseDown(pair, up);
    uitest::postNativeMouseMove(pair, {pair->Width() + 40, 2}, true);
    uitest::postNativeMouseUp(pair, {pair->Width() + 40, 2});
    uitest::advanceClock(1000);
    EXPECT_EQ(spin->Value(), 5);
}

TEST_F(SpinEditTest, TheArrowPairFillsTheRightEdge) {
    spin->SetBorderStyle(bsNone);
    spin->SetBounds(10, 10, 120, 30);
    TAsgSpinButton* pair = spin->Button();
    EXPECT_EQ(pair->BoundsRect(), (TRect{120 - 15 - 1, 0, 119, 29}));
    EXPECT_EQ(pair->UpButton()->BoundsRect(), (TRect{0, 0, 15, 14}));
    EXPECT_EQ(pair->DownButton()->BoundsRect(), (TRect{0, 13, 15, 29}));
    TRect format;
    spin->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    EXPECT_EQ(format.Right, 120 - 15 - 2 - 3);
    spin->SetDirection(spHorizontal);
    EXPECT_EQ(pair->Width(), 20);
    EXPECT_EQ(pair->UpButton()->ButtonDirection(), bdRight);
    // A colour of its own paints the arrow in it.
    pair->SetButtonColor(0x00FF00);
    EXPECT_EQ(uitest::pixel(pair, pair->Width() - 2, 2) & 0xFFFFFF, TColor(0x00FF00));
}

} // namespace
