// The time-picker drop-down: its text, the keys that step the part under the caret, the clock
// popup set by mouse and keys and closed or cancelled, the time picker below the clock.
#include "controls/QorTimePickerDropDown.h"
#include "platform/base/DateUtils.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/DateTimePicker.h"

#include <gtest/gtest.h>

#include <memory>

using namespace uitest;

namespace {

class TimePickerTest : public ::testing::Test {
protected:
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TQorTimePickerDropDown* edit = nullptr;
    int timeChanges = 0;

    void SetUp() override {
        form->SetBorderStyle(bsNone);
        form->SetBounds(100, 100, 400, 400);
        edit = new TQorTimePickerDropDown(form.get());
        edit->SetParent(form.get());
        edit->SetBounds(20, 30, 200, 22);
        edit->OnTimeChange = [this](TObject*) { ++timeChanges; };
        form->Show();
        edit->SetFocus();
        processMessages();
    }
    void TearDown() override { form.reset(); }
    void key(WORD vk, TShiftState shift = {}, TWinControl* target = nullptr) {
        postNativeKey(vk, shift, target);
        processMessages();
    }
    void caretAt(int pos) {
        edit->SetSelStart(pos);
        edit->SetSelLength(0);
    }
};

} // namespace

TEST_F(TimePickerTest, ANewControlShowsMidnight) {
    EXPECT_EQ(edit->EditText(), "00:00:00");
    EXPECT_EQ(edit->Time(), 0);
    EXPECT_EQ(edit->EditMask(), "!90:00:00;1; ");
    edit->SetTime(EncodeTime(7, 5, 9, 0));
    EXPECT_EQ(edit->EditText(), "07:05:09");
    EXPECT_EQ(timeChanges, 0) << "the setter fires nothing";
}

TEST_F(TimePickerTest, UpAndDownStepThePartUnderTheCaret) {
    struct Case {
        int h, m, s, caret;
        WORD key;
        const char* text;
    };
    const Case cases[] = {
        {10, 59, 30, 4, VK_DOWN, "10:00:30"}, // the minute wraps, the hour stays
        {0, 15, 0, 1, VK_UP, "23:15:00"},
        {0, 15, 0, 2, VK_DOWN, "01:15:00"},   // at the separator: still the hours
        {10, 20, 59, 7, VK_DOWN, "10:20:00"}, // seconds
        {10, 20, 0, 6, VK_UP, "10:20:59"},
        {10, 20, 0, 3, VK_UP, "10:19:00"},
    };
    for (const Case& c : cases) {
        edit->SetTime(EncodeTime(c.h, c.m, c.s, 0));
        caretAt(c.caret);
        timeChanges = 0;
        key(c.key);
        EXPECT_EQ(edit->EditText(), c.text) << c.caret;
        EXPECT_EQ(edit->SelStart(), c.caret) << "the caret stays";
        EXPECT_EQ(timeChanges, 1);
    }
}

TEST_F(TimePickerTest, AltDownOpensThePopupWithoutStepping) {
    edit->SetTime(EncodeTime(10, 0, 0, 0));
    caretAt(0);
    key(VK_DOWN, {ssAlt});
    EXPECT_TRUE(edit->DroppedDown());
    EXPECT_EQ(edit->EditText(), "10:00:00");
    key(VK_ESCAPE);
    EXPECT_FALSE(edit->DroppedDown());
}

TEST_F(TimePickerTest, SecondsCanBeLeftOut) {
    edit->SetTime(EncodeTime(10, 20, 30, 0));
    edit->SetShowSeconds(false);
    EXPECT_EQ(edit->EditText(), "10:20");
    EXPECT_EQ(edit->EditMask(), "!90:00;1; ");
    EXPECT_EQ(edit->Time(), EncodeTime(10, 20, 30, 0)) << "the time keeps its seconds";
    edit->SetShowSeconds(true);
    EXPECT_EQ(edit->EditText(), "10:20:30");
}

TEST_F(TimePickerTest, TheClockSetsTheTimeACancelKeepsItAsItWas) {
    edit->SetAnimation(false);
    edit->SetTime(EncodeTime(9, 10, 0, 0));
    key(VK_F4);
    ASSERT_TRUE(edit->DroppedDown());
    TQorWatch* watch = edit->Watch();
    EXPECT_EQ(watch->Time(), edit->Time());
    EXPECT_EQ(edit->DropDownForm()->Width(), 170);
    key(VK_RIGHT); // the popup's keys reach the clock
    EXPECT_EQ(edit->EditText(), "09:11:00") << "the clock's changes show at once";
    key(VK_ESCAPE);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->Time(), EncodeTime(9, 10, 0, 0));
    EXPECT_EQ(edit->EditText(), "09:10:00");

    key(VK_F4);
    EXPECT_EQ(watch->Time(), EncodeTime(9, 10, 0, 0)) << "the clock was reset";
    postNativeClickAt(watch, {watch->Width() - 3, watch->Height() / 2});
    processMessages();
    EXPECT_EQ(edit->EditText(), "09:15:00") << "a click in the margin sets the minute";
    key(VK_PRIOR);
    EXPECT_EQ(edit->EditText(), "10:15:00") << "Page Up stays with the clock";
    key(VK_F4);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->Time(), EncodeTime(10, 15, 0, 0));
}

TEST_F(TimePickerTest, TheTimePickerBelowTheClockSetsTheClock) {
    edit->SetShowTimePicker(true);
    edit->SetShowSeconds(false);
    edit->SetTime(EncodeTime(8, 30, 0, 0));
    key(VK_F4);
    ASSERT_TRUE(edit->DroppedDown());
    TDateTimePicker* picker = edit->DateTimePicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_TRUE(picker->Visible());
    EXPECT_NEAR(picker->Time(), edit->Time(), 1e-9);
    EXPECT_EQ(picker->DisplayText(), "08:30");
    EXPECT_EQ(edit->Watch()->Height(), 170);
    postNativeClickAt(picker, {8, picker->Height() / 2});
    processMessages();
    key(VK_UP, {}, picker);
    EXPECT_EQ(picker->DisplayText(), "09:30");
    EXPECT_EQ(edit->Watch()->Time(), EncodeTime(9, 30, 0, 0));
    EXPECT_EQ(edit->Time(), EncodeTime(8, 30, 0, 0)) << "the edit follows when the popup closes";
    key(VK_F4, {}, picker);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->Time(), EncodeTime(9, 30, 0, 0));
    EXPECT_EQ(edit->EditText(), "09:30");

    edit->SetShowTimePicker(false);
    key(VK_F4);
    EXPECT_FALSE(picker->Visible());
    key(VK_ESCAPE);
}

TEST_F(TimePickerTest, TypedTimesWithinTheMaskSetTheTime) {
    edit->SetEditorEnabled(true);
    caretAt(0);
    postNativeText("1230");
    processMessages();
    EXPECT_EQ(edit->EditText(), "12:30:00") << "digits fill the mask's places";
    EXPECT_EQ(edit->Time(), EncodeTime(12, 30, 0, 0));
    postNativeText("x45");
    processMessages();
    EXPECT_EQ(edit->EditText(), "12:30:45");
    EXPECT_EQ(edit->Time(), EncodeTime(12, 30, 45, 0));
    caretAt(0);
    postNativeText("3");
    processMessages();
    EXPECT_EQ(edit->EditText(), "32:30:45");
    EXPECT_EQ(edit->Time(), EncodeTime(12, 30, 45, 0)) << "an hour out of range is ignored";
}

TEST_F(TimePickerTest, StylesColourTheClockLook) {
    edit->SetComponentStyle(tsWindows7);
    EXPECT_EQ(edit->WatchAppearance()->BackgroundColor(), TColor(0xFDFBFA));
    EXPECT_EQ(edit->WatchAppearance()->BorderColor(), TColor(0xFBD6B8));
    key(VK_F4);
    EXPECT_EQ(edit->Watch()->Appearance()->BackgroundColorTo(), TColor(0xFDF3EB));
    key(VK_ESCAPE);
}
