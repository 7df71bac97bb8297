// The platform's date-and-time picker and month calendar, and the speed button.
#include "platform/ui/DateTimePicker.h"
#include "platform/base/FormatSettings.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// A form that logs the notifications its pickers send it.
class NotifiedForm : public TForm {
public:
    using TForm::TForm;
    Log log;

protected:
    void WMNotify(TMessage& Message) override {
        const auto* hdr = reinterpret_cast<const NMHDR*>(Message.LParam);
        if (hdr->code == DTN_DATETIMECHANGE) {
            const auto* rec = reinterpret_cast<const NMDATETIMECHANGE*>(Message.LParam);
            log.push_back(rec->dwFlags == GDT_NONE
                              ? std::string("change none")
                              : "change " + DateTimeToStr(SystemTimeToDateTime(rec->st)));
        } else if (hdr->code == DTN_DROPDOWN) {
            log.push_back("drop");
        } else if (hdr->code == DTN_CLOSEUP) {
            log.push_back("close");
        }
        TForm::WMNotify(Message);
    }
};

class DateTimePickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetFormatSettings();
        form = std::make_unique<NotifiedForm>(nullptr);
        form->SetBounds(0, 0, 400, 300);
        picker = new TDateTimePicker(form.get());
        picker->SetParent(form.get());
        picker->SetBounds(10, 10, 160, 21);
        picker->SetDateTime(ComposeDateTime(EncodeDate(2021, 6, 5), EncodeTime(10, 20, 30, 0)));
        picker->OnChange = [this](TObject*) { changes++; };
        form->Show();
        picker->SetFocus();
        uitest::processMessages();
    }
    void TearDown() override {
        form.reset();
        uitest::processMessages();
        ResetFormatSettings();
    }
    void type(const std::string& s) {
        uitest::postNativeText(s, picker);
        uitest::processMessages();
    }
    void key(WORD vk) {
        // F4 has no key of the native helper; it goes as a message.
        if (vk == VK_F4)
            uitest::keyDown(vk, {}, picker);
        else
            uitest::postNativeKey(vk, picker);
        uitest::processMessages();
    }
    std::unique_ptr<NotifiedForm> form;
    TDateTimePicker* picker = nullptr;
    int changes = 0;
};

TEST_F(DateTimePickerTest, TheValueShowsInTheFormatsFields) {
    struct Case {
        TDateTimeKind kind;
        const char* format;
        const char* shown;
        int fields;
    };
    const Case cases[] = {
        {dtkDate, "", "05/06/2021", 3},       {dtkDate, "dd.MM.yyyy", "05.06.2021", 3},
        {dtkDate, "d MMM yy", "5 Jun 21", 3}, {dtkDate, "dddd d MMMM", "Saturday 5 June", 3},
        {dtkTime, "", "10:20:30", 3},         {dtkTime, "h:mm tt", "10:20 AM", 3},
        {dtkDate, "'Day' dd", "Day 05", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        picker->SetKind(c.kind);
        picker->SetFormat(c.format);
        EXPECT_EQ(picker->Text(), c.shown);
        EXPECT_EQ(picker->FieldCount(), c.fields);
    }
    // Without a format the locale decides.
    picker->SetFormat("");
    picker->SetKind(dtkDate);
    FormatSettings().ShortDateFormat = "yyyy-mm-dd";
    FormatSettings().DateSeparator = '-';
    picker->SetDateFormat(dfShort);
    EXPECT_EQ(picker->DisplayText(), "2021-06-05");
}

TEST_F(DateTimePickerTest, DigitsWaitUntilTheFieldIsFullAndTellTheParent) {
    type("1");
    EXPECT_EQ(picker->Text(), "1/06/2021") << "the digit typed so far";
    EXPECT_TRUE(form->log.empty());
    type("7");
    EXPECT_EQ(picker->Text(), "17/06/2021");
    EXPECT_EQ(form->log, (Log{"change 17/06/2021 10:20:30"}));
    EXPECT_EQ(changes, 1);
    // A digit no second one can follow is taken at once; a day the month lacks starts anew.
    type("4");
    EXPECT_EQ(picker->Text(), "04/06/2021");
    type("3");
    type("5");
    EXPECT_EQ(picker->Text(), "05/06/2021") << "35 is no day: 5";
    key(VK_RIGHT);
    type("0");
    key(VK_RIGHT);
    EXPECT_EQ(picker->ActiveField(), 2);
    EXPECT_EQ(picker->Text(), "05/06/2021") << "a lone 0 is no month";
    type("30");
    key(VK_LEFT);
    EXPECT_EQ(picker->Text(), "05/06/2030") << "a short year falls near this one";
}

TEST_F(DateTimePickerTest, ArrowsStepTheFieldAndWrapWithinIt) {
    key(VK_DOWN);
    EXPECT_EQ(picker->Text(), "04/06/2021");
    key(VK_RIGHT);
    for (int i = 0; i < 7; ++i) key(VK_UP);
    EXPECT_EQ(picker->Text(), "04/01/2021");
    picker->SetKind(dtkTime);
    key(VK_HOME);
    key(VK_DOWN);
    for (int i = 0; i < 10; ++i) key(VK_DOWN);
    EXPECT_EQ(picker->Text(), "23:20:30");
    picker->SetMinDate(EncodeDate(2021, 6, 1));
    picker->SetMaxDate(EncodeDate(2021, 6, 30));
    picker->SetKind(dtkDate);
    key(VK_END);
    key(VK_UP);
    EXPECT_EQ(picker->DateTime(), EncodeDate(2021, 6, 30)) << "the value keeps within its bounds";
}

TEST_F(DateTimePickerTest, SettingTheValueByProgramTellsNobody) {
    picker->SetShowCheckbox(true);
    picker->SetDateTime(EncodeDate(2000, 1, 1));
    picker->SetChecked(false);
    EXPECT_FALSE(picker->Checked());
    SYSTEMTIME st;
    EXPECT_EQ(picker->Perform(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)),
              LRESULT(GDT_NONE));
    EXPECT_TRUE(form->log.empty());
    EXPECT_EQ(changes, 0);
    // The user ticks the box (Space): that is told.
    key(VK_SPACE);
    EXPECT_TRUE(picker->Checked());
    EXPECT_EQ(form->log, (Log{"change " + DateTimeToStr(EncodeDate(2000, 1, 1))}));
    key(VK_SPACE);
    EXPECT_EQ(form->log.back(), "change none");
}

TEST_F(DateTimePickerTest, TheCalendarDropsChoosesAndCloses) {
    key(VK_F4);
    ASSERT_TRUE(picker->DroppedDown());
    TMonthCalendar* cal = picker->MonthCalendar();
    ASSERT_TRUE(cal);
    EXPECT_EQ(reinterpret_cast<HWND>(picker->Perform(DTM_GETMONTHCAL)), cal->Handle());
    EXPECT_TRUE(cal->IsPopupWindow());
    EXPECT_EQ(cal->Date(), EncodeDate(2021, 6, 5));
    EXPECT_EQ(cal->BoundsRect().TopLeft(), picker->ClientToScreen({0, picker->Height()}));
    // The keys go to the open calendar; Enter takes its day.
    key(VK_DOWN);
    key(VK_RIGHT);
    EXPECT_EQ(cal->Date(), EncodeDate(2021, 6, 13));
    EXPECT_EQ(picker->Text(), "05/06/2021");
    key(VK_RETURN);
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->Text(), "13/06/2021");
    EXPECT_EQ(form->log, (Log{"drop", "change 13/06/2021 10:20:30", "close"}));
    // Escape and a click outside close it without a choice.
    key(VK_F4);
    key(VK_RIGHT);
    key(VK_ESCAPE);
    EXPECT_FALSE(picker->DroppedDown());
    key(VK_F4);
    ASSERT_TRUE(picker->DroppedDown());
    uitest::postNativeClickAt(form.get(), {350, 250});
    uitest::processMessages();
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->Text(), "13/06/2021");
}

TEST_F(DateTimePickerTest, TheCalendarsArrowsTurnTheMonthAndItsStylesChangeItsSize) {
    uitest::postNativeClickAt(picker, {picker->Width() - 5, 10});
    uitest::processMessages();
    TMonthCalendar* cal = picker->MonthCalendar();
    ASSERT_TRUE(cal);
    const TRect next = cal->NextButtonRect();
    uitest::postNativeClickAt(cal, {next.Left + 2, next.Top + 2});
    uitest::processMessages();
    EXPECT_EQ(cal->DisplayMonth(), 7);
    EXPECT_TRUE(picker->DroppedDown()) << "turning the month chooses nothing";
    const int plain = cal->MinReqRect().Width();
    SetWindowLong(cal->Handle(), GWL_STYLE,
                  LONG(DWORD(GetWindowLong(cal->Handle(), GWL_STYLE)) | MCS_WEEKNUMBERS));
    EXPECT_GT(cal->MinReqRect().Width(), plain);
    TRect r;
    cal->Perform(MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r, cal->MinReqRect());
    const TRect day = cal->DayRect(EncodeDate(2021, 7, 1));
    uitest::postNativeClickAt(cal, {day.Left + 2, day.Top + 2});
    uitest::processMessages();
    EXPECT_EQ(picker->Date(), EncodeDate(2021, 7, 1));
}

} // namespace
