// The date and time pickers on their own on a form: the combined picker's time part and label,
// automatic moves to the next field, the check box, and the flat look.
#include "grid/editors/controls/AsgDatePicker.h"
#include "platform/base/FormatSettings.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class DatePickersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetFormatSettings();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 400, 300);
        picker = new TQorDateTimePicker(form.get());
        picker->SetParent(form.get());
        picker->SetBounds(100, 20, 220, 21);
        form->Show();
        uitest::processMessages();
    }
    void TearDown() override {
        form.reset();
        uitest::processMessages();
        ResetFormatSettings();
    }
    // Types digits one by one, as a user does: each is handled before the next comes.
    void type(const std::string& digits, TWinControl* target) {
        for (char c : digits) {
            uitest::postNativeText(std::string(1, c), target);
            uitest::processMessages();
        }
    }
    int textWidth(const std::string& s) {
        TBitmap b(1, 1);
        b.Canvas()->Font()->Assign(picker->Font());
        return b.Canvas()->TextWidth(s);
    }
    std::unique_ptr<TForm> form;
    TQorDateTimePicker* picker = nullptr;
};

TEST_F(DatePickersTest, TheTimePartStandsRightOfTheDateAndFollowsTheKind) {
    TCustomDateTimePicker* time = picker->TimePicker();
    ASSERT_TRUE(time);
    EXPECT_TRUE(time->Visible());
    const int a = textWidth(time->DisplayText()) + 31;
    EXPECT_EQ(time->Width(), a);
    EXPECT_EQ(time->Left(), 220 - a - 21 + 2);
    EXPECT_GT(time->Left(), textWidth(picker->DisplayText()));
    picker->SetWidth(260);
    EXPECT_EQ(time->Left(), 260 - a - 21 + 2) << "it moves with the resize";
    picker->SetKind(dkDate);
    EXPECT_EQ(picker->TimePicker(), nullptr);
    picker->SetKind(dkDateTime);
    ASSERT_TRUE(picker->TimePicker());
    EXPECT_NE(picker->TimePicker(), nullptr);
}

TEST_F(DatePickersTest, TheValueLosesItsMillisecondsAndADateKeepsTheTime) {
    picker->SetDateTime(ComposeDateTime(EncodeDate(2020, 5, 17), EncodeTime(13, 45, 30, 250)));
    const TDateTime expected = ComposeDateTime(EncodeDate(2020, 5, 17), EncodeTime(13, 45, 30, 0));
    EXPECT_DOUBLE_EQ(picker->DateTime(), expected);
    EXPECT_DOUBLE_EQ(picker->TimePicker()->TDateTimePicker::DateTime(), expected);
    picker->SetDate(EncodeDate(2021, 1, 2));
    EXPECT_DOUBLE_EQ(picker->DateTime(),
                     ComposeDateTime(EncodeDate(2021, 1, 2), EncodeTime(13, 45, 30, 0)));
    // The time of day comes from the time part.
    picker->TimePicker()->TDateTimePicker::SetTime(EncodeTime(8, 0, 0, 0));
    EXPECT_DOUBLE_EQ(picker->DateTime(),
                     ComposeDateTime(EncodeDate(2021, 1, 2), EncodeTime(8, 0, 0, 0)));
}

TEST_F(DatePickersTest, AutoTabMovesOnAfterAFieldAndTheYearGoesToTheTime) {
    picker->SetFormat("dd/MM/yyyy");
    picker->SetAutoTab(true);
    picker->SetDateTime(ComposeDateTime(EncodeDate(2020, 5, 17), EncodeTime(10, 0, 0, 0)));
    picker->SetFocus();
    type("25", picker);
    EXPECT_EQ(picker->ActiveField(), 1) << "a changed day moves to the month";
    type("07", picker);
    EXPECT_EQ(picker->ActiveField(), 2);
    type("2024", picker);
    EXPECT_TRUE(picker->TimePicker()->Focused()) << "a changed year goes on to the time";
    EXPECT_EQ(picker->DisplayText(), "25/07/2024");
    // In the time part a changed hour moves to the minutes.
    type("14", picker->TimePicker());
    EXPECT_EQ(picker->TimePicker()->ActiveField(), 1);
    EXPECT_DOUBLE_EQ(picker->DateTime(),
                     ComposeDateTime(EncodeDate(2024, 7, 25), EncodeTime(14, 0, 0, 0)));
}

TEST_F(DatePickersTest, WithoutAFormatADayOrMonthMovesOnAndTheYearGoesToTheTime) {
    picker->SetAutoTab(true);
    picker->SetDateTime(EncodeDate(2020, 5, 17));
    picker->SetFocus();
    type("25", picker);
    EXPECT_EQ(picker->ActiveField(), 1);
    uitest::postNativeKey(VK_RIGHT, picker);
    type("2030", picker);
    EXPECT_TRUE(picker->TimePicker()->Focused());
}

TEST_F(DatePickersTest, KeysOfTheTimePartReachTheControlsKeyDownOnly) {
    std::vector<WORD> downs;
    int presses = 0;
    picker->OnKeyDown = [&](TObject*, WORD& k, TShiftState) { downs.push_back(k); };
    picker->OnKeyPress = [&](TObject*, char32_t&) { ++presses; };
    picker->TimePicker()->SetFocus();
    uitest::postNativeKey(VK_UP, picker->TimePicker());
    type("1", picker->TimePicker());
    EXPECT_EQ(downs.front(), VK_UP);
    EXPECT_EQ(presses, 0);
}

TEST_F(DatePickersTest, TheLabelSitsWhereItsPositionSays) {
    picker->SetLabelCaption("When");
    TLabel* label = picker->PickerLabel();
    ASSERT_TRUE(label);
    EXPECT_EQ(label->Parent(), form.get());
    label->SetAutoSize(false);
    label->SetHeight(13);
    picker->SetLabelPosition(lpLeftCenter);
    EXPECT_EQ(label->Top(), 20 + 4);
    EXPECT_EQ(label->Left(), 100 - textWidth("When") - 4);
    picker->SetLabelPosition(lpTopLeft);
    EXPECT_EQ(label->Top(), 20 - 13 - 4);
    picker->SetBounds(150, 50, 220, 21);
    EXPECT_EQ(label->Left(), 150) << "the label follows the control";
    picker->SetEnabled(false);
    EXPECT_FALSE(label->Enabled());
    picker->SetLabelAlwaysEnabled(true);
    EXPECT_TRUE(label->Enabled());
}

TEST_F(DatePickersTest, TheCheckBoxEnablesTheTimePart) {
    picker->SetShowCheckbox(true);
    picker->SetChecked(false);
    EXPECT_FALSE(picker->TimePicker()->Enabled());
    picker->SetChecked(true);
    EXPECT_TRUE(picker->TimePicker()->Enabled());
    // Unticked by the user: the notification's "no date" disables it.
    picker->SetFocus();
    uitest::postNativeClickAt(picker, {7, picker->Height() / 2});
    uitest::processMessages();
    EXPECT_FALSE(picker->Checked());
    EXPECT_FALSE(picker->TimePicker()->Enabled());
    uitest::postNativeClickAt(picker, {7, picker->Height() / 2});
    uitest::processMessages();
    EXPECT_TRUE(picker->TimePicker()->Enabled());
}

TEST_F(DatePickersTest, WithoutTheMetroLookThePickersDrawAsThePlatformPicker) {
    auto* plain = new TDateTimePicker(form.get());
    auto* flat = new TAsgDateTimePicker(form.get());
    const TDateTime v = EncodeDate(2022, 3, 4);
    int top = 100;
    for (TDateTimePicker* p : {plain, static_cast<TDateTimePicker*>(flat)}) {
        p->SetParent(form.get());
        p->SetBounds(10, top, 150, 21);
        p->SetDateTime(v);
        top += 40;
    }
    uitest::processMessages();
    const auto a = uitest::render(plain);
    const auto b = uitest::render(flat);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 150; ++x)
            ASSERT_EQ(a->PixelColor(x, y), b->PixelColor(x, y)) << x << "," << y;
    // A border colour with the metro look frames it.
    flat->SetMetroStyle(true);
    flat->SetBorderColor(0x0000FF);
    EXPECT_EQ(uitest::pixel(flat, 0, 5) & 0xFFFFFF, TColor(0x0000FF));
    EXPECT_EQ(uitest::pixel(flat, 75, 0) & 0xFFFFFF, TColor(0x0000FF));
    EXPECT_EQ(flat->Version(), "1.0.0.0");
    EXPECT_EQ(picker->Version(), "1.2.0.0");
}

} // namespace
