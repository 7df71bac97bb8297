#include "platform/base/DateUtils.h"
#include "platform/base/FormatSettings.h"
#include "platform/base/SysUtils.h"

#include <gtest/gtest.h>

namespace {
class DateUtils : public ::testing::Test {
protected:
    void TearDown() override { ResetFormatSettings(); }
};
} // namespace

TEST_F(DateUtils, EncodesAndDecodesDaysSinceTheEpochOfTheModel) {
    struct Case {
        int y, m, d;
        double value;
    };
    const Case cases[] = {
        {1899, 12, 30, 0},    {1899, 12, 31, 1},     {1900, 1, 1, 2},    {1899, 12, 29, -1},
        {2000, 2, 29, 36585}, {2020, 12, 31, 44196}, {1, 1, 1, -693593}, {9999, 12, 31, 2958465},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.value) << c.y << "-" << c.m << "-" << c.d;
        int y, m, d;
        DecodeDate(c.value, y, m, d);
        EXPECT_EQ(y * 10000 + m * 100 + d, c.y * 10000 + c.m * 100 + c.d) << c.value;
    }
}

TEST_F(DateUtils, RefusesDatesAndTimesOutsideTheirRanges) {
    EXPECT_THROW(EncodeDate(2021, 2, 29), EConvertError);
    EXPECT_THROW(EncodeDate(2020, 13, 1), EConvertError);
    EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
    EXPECT_NO_THROW(EncodeDate(2024, 2, 29));
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(12, 0, 60, 0), EConvertError);
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_EQ(DaysInAMonth(2023, 2), 28);
}

TEST_F(DateUtils, DecodesTheTimeOfDayAlsoBeforeTheEpoch) {
    int h, n, s, z;
    DecodeTime(EncodeDate(2020, 5, 6) + EncodeTime(23, 59, 58, 999), h, n, s, z);
    EXPECT_EQ((std::vector<int>{h, n, s, z}), (std::vector<int>{23, 59, 58, 999}));
    DecodeTime(ComposeDateTime(-1, EncodeTime(6, 0, 0, 0)), h, n, s, z);
    EXPECT_EQ(h, 6);
    int y, m, d;
    DecodeDate(-1.25, y, m, d);
    EXPECT_EQ(d, 29);
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 1, 1)), 2); // a Monday
}

TEST_F(DateUtils, IncMonthClampsToTheLastDayOfTheMonth) {
    EXPECT_EQ(IncMonth(EncodeDate(2024, 1, 31), 1), EncodeDate(2024, 2, 29));
    EXPECT_EQ(IncMonth(EncodeDate(2024, 1, 15), -13), EncodeDate(2022, 12, 15));
}

TEST_F(DateUtils, FormatsWithTheModelSpecifiers) {
    const TDateTime t = EncodeDate(2021, 3, 7) + EncodeTime(14, 5, 9, 42);
    struct Case {
        const char* format;
        const char* text;
    };
    const Case cases[] = {
        {"dd/mm/yyyy", "07/03/2021"},
        {"d.m.yy", "7.3.21"},
        {"hh:nn:ss.zzz", "14:05:09.042"},
        {"h:mm", "14:05"},
        {"ddd d mmm", "Sun 7 Mar"},
        {"dddd mmmm", "Sunday March"},
        {"hh am/pm", "02 pm"},
        {"h ampm", "2 PM"},
        {"'d' yyyy", "d 2021"},
        {"ddddd t", "07/03/2021 14:05"},
        {"c", "07/03/2021 14:05:09"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.format, t), c.text) << c.format;
    FormatSettings().DateSeparator = '.';
    EXPECT_EQ(DateToStr(t), "07.03.2021");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2021, 3, 7)), "07.03.2021");
}

TEST_F(DateUtils, ParsesTextsInTheShortDateOrder) {
    TDateTime v = 0;
    EXPECT_TRUE(TryStrToDate("31/12/2020", v));
    EXPECT_EQ(v, EncodeDate(2020, 12, 31));
    EXPECT_FALSE(TryStrToDate("12/31/2020", v));
    EXPECT_FALSE(TryStrToDate("31/12/2020x", v));
    FormatSettings().ShortDateFormat = "m/d/yyyy";
    EXPECT_TRUE(TryStrToDate("12/31/2020", v));
    EXPECT_EQ(v, EncodeDate(2020, 12, 31));
    FormatSettings().ShortDateFormat = "yyyy-mm-dd";
    FormatSettings().DateSeparator = '-';
    EXPECT_EQ(StrToDate("2020-1-2"), EncodeDate(2020, 1, 2));
    EXPECT_THROW(StrToDate("2020-1"), EConvertError); // read as month 2020
}

TEST_F(DateUtils, TwoDigitYearsFallNearTheCurrentYear) {
    const int now = YearOf(Now());
    TDateTime v = 0;
    ASSERT_TRUE(TryStrToDate(Format("1/1/%.2d", now % 100), v));
    EXPECT_EQ(YearOf(v), now);
    ASSERT_TRUE(TryStrToDate("1/1/0025", v));
    EXPECT_EQ(YearOf(v), 25); // four digits are taken as written
    // The window runs from fifty years back to forty-nine ahead.
    EXPECT_EQ(ExpandTwoDigitYear((now + 49) % 100), now + 49);
    EXPECT_EQ(ExpandTwoDigitYear((now + 50) % 100), now - 50);
    EXPECT_EQ(ExpandTwoDigitYear(1999), 1999);
}

TEST_F(DateUtils, ParsesTimesAndDateTimes) {
    EXPECT_EQ(StrToTime("12:30"), EncodeTime(12, 30, 0, 0));
    EXPECT_EQ(StrToTime("1:02:03 PM"), EncodeTime(13, 2, 3, 0));
    EXPECT_EQ(StrToTime("12:00 AM"), 0.0);
    EXPECT_THROW(StrToTime("25:00"), EConvertError);
    EXPECT_EQ(StrToDateTime("31/12/2020 23:59:59"),
              EncodeDate(2020, 12, 31) + EncodeTime(23, 59, 59, 0));
    EXPECT_EQ(StrToDateTime("6:00"), EncodeTime(6, 0, 0, 0));
    EXPECT_THROW(StrToDateTime("31/12/2020 x"), EConvertError);
}
