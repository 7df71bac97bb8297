// The analog clock: its geometry, hands drawn at the angles of the time, setting the time with
// the mouse (through Qt's events) and the keys, the hand animation, marks and colour styles.
#include "controls/QorWatch.h"
#include "platform/base/DateUtils.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

using namespace uitest;

namespace {

constexpr TColor hourRed = TColor(0x0000FF);
constexpr TColor minuteBlue = TColor(0xFF0000);

class WatchTest : public ::testing::Test {
protected:
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TQorWatch* watch = nullptr;
    int changes = 0;

    void SetUp() override {
        form->SetBorderStyle(bsNone);
        form->SetBounds(100, 100, 300, 300);
        watch = new TQorWatch(form.get());
        watch->SetParent(form.get());
        watch->SetBounds(10, 10, 180, 180);
        watch->OnChange = [this](TObject*) { ++changes; };
        form->Show();
        processMessages();
    }
    void TearDown() override { form.reset(); }

    // A plain face: hands in their own colours, nothing else drawn over the dial.
    void plainFace() {
        TWatchAppearance* a = watch->Appearance();
        a->SetTickMarks(tmNone);
        a->SetHourPointerShadow(clNone);
        a->SetMinutePointerShadow(clNone);
        a->SetHourPointer(hourRed);
        a->SetMinutePointer(minuteBlue);
        a->SetCenterPointSize(0);
        watch->SetShowAMPM(false);
        watch->SetShowNumbers(false);
    }
    // The point at angle degrees clockwise from 12 and distance d from the centre.
    TPoint at(double degrees, double d) const {
        const double r = degrees * M_PI / 180;
        const TPoint c = watch->Center();
        return {int(std::lround(c.X + std::sin(r) * d)), int(std::lround(c.Y - std::cos(r) * d))};
    }
    TColor pixelAt(TPoint p) { return pixel(watch, p.X, p.Y); }
    std::string shown() const {
        int h, m, s, ms;
        DecodeTime(watch->Time(), h, m, s, ms);
        return std::to_string(h) + ":" + std::to_string(m);
    }
    void clickAt(TPoint p) {
        postNativeClickAt(watch, p);
        processMessages();
    }
    // Runs the animation to its end.
    void animate() {
        for (int i = 0; i < 200 && watch->Animating(); ++i) advanceClock(1);
    }
};

} // namespace

TEST_F(WatchTest, DialGeometry) {
    EXPECT_EQ(watch->DialRect(), Bounds(10, 10, 160, 160));
    EXPECT_EQ(watch->Center(), TPoint(90, 90));
    EXPECT_EQ(watch->Radius(), 80);
    watch->Appearance()->SetSize(100);
    EXPECT_EQ(watch->DialRect(), Bounds(40, 40, 100, 100));
    watch->Appearance()->SetSize(500);
    EXPECT_EQ(watch->DialRect(), Bounds(0, 0, 180, 180)) << "limited to the control";
}

TEST_F(WatchTest, HandsPointAtTheAnglesOfTheTime) {
    plainFace();
    struct Case {
        int hour, minute;
        double hourAngle, minuteAngle;
    };
    const Case cases[] = {
        {3, 0, 90, 0},      {6, 30, 195, 180},  {9, 45, 292.5, 270},
        {14, 15, 67.5, 90}, {23, 20, 340, 120}, {0, 40, 20, 240},
    };
    for (const Case& c : cases) {
        watch->SetTime(EncodeTime(c.hour, c.minute, 0, 0));
        processMessages();
        const int R = watch->Radius();
        EXPECT_EQ(pixelAt(at(c.hourAngle, 0.4 * R)), hourRed) << c.hour << ":" << c.minute;
        EXPECT_EQ(pixelAt(at(c.minuteAngle, 0.65 * R)), minuteBlue) << c.hour << ":" << c.minute;
        EXPECT_EQ(pixelAt(at(c.minuteAngle + 180, 0.05 * R)), minuteBlue) << "the tail";
        EXPECT_NE(pixelAt(at(c.minuteAngle, 0.75 * R)), minuteBlue) << "the tip at 0.7 R";
    }
    EXPECT_EQ(changes, 0) << "setting the time fires nothing";
}

TEST_F(WatchTest, EveryPointerStyleDrawsItsHands) {
    plainFace();
    watch->SetTime(EncodeTime(3, 0, 0, 0));
    for (TPointerStyle style : {psLine, psShortLine, psPointer, psLineArrow}) {
        watch->Appearance()->SetPointerStyle(style);
        processMessages();
        EXPECT_EQ(pixelAt(at(0, 0.3 * watch->Radius())), minuteBlue) << style;
        EXPECT_EQ(pixelAt(at(90, 0.3 * watch->Radius())), hourRed) << style;
    }
}

TEST_F(WatchTest, ClicksSetMinuteHourAndHalfOfTheDay) {
    watch->SetAnimation(false);
    watch->SetTime(EncodeTime(9, 30, 0, 0));
    clickAt({90, 3});
    EXPECT_EQ(shown(), "9:0") << "the top of the margin: minute 0";
    watch->SetTime(EncodeTime(9, 40, 0, 0));
    clickAt({90, 3});
    EXPECT_EQ(shown(), "10:0") << "from past the half hour the hour advances";
    clickAt({177, 90});
    EXPECT_EQ(shown(), "10:15");
    clickAt({90, 177});
    EXPECT_EQ(shown(), "10:30");
    clickAt({150, 90});
    EXPECT_EQ(shown(), "3:30") << "inside the dial near 3 o'clock, morning";
    clickAt({90, 40});
    EXPECT_EQ(shown(), "0:30") << "12 o'clock in the morning half";
    changes = 0;
    const TRect box = watch->AMPMRect();
    clickAt({(box.Left + box.Right) / 2, (box.Top + box.Bottom) / 2});
    EXPECT_EQ(shown(), "12:30");
    EXPECT_FALSE(watch->AM());
    EXPECT_EQ(changes, 1);
    clickAt({150, 90});
    EXPECT_EQ(shown(), "15:30") << "afternoon half";
    clickAt({90, 40});
    EXPECT_EQ(shown(), "12:30");
    watch->SetTime(EncodeTime(9, 30, 0, 0));
    clickAt({(box.Left + box.Right) / 2, (box.Top + box.Bottom) / 2});
    EXPECT_EQ(shown(), "21:30");
}

TEST_F(WatchTest, DraggingTheMinuteHandSetsTheMinuteWhereItIsReleased) {
    watch->SetTime(EncodeTime(8, 0, 0, 0));
    postNativeMouseDown(watch, at(0, 50));
    postNativeMouseMove(watch, at(20, 60), true);
    postNativeMouseMove(watch, at(60, 70), true);
    postNativeMouseMove(watch, {177, 90}, true);
    postNativeMouseUp(watch, {177, 90});
    processMessages();
    EXPECT_TRUE(watch->Animating());
    animate();
    EXPECT_EQ(shown(), "8:15");
    EXPECT_EQ(changes, 1) << "once, when the hand arrives";
}

TEST_F(WatchTest, AnimationMovesTheHandInStepsAndFiresOnce) {
    watch->SetTime(EncodeTime(10, 45, 0, 0));
    watch->SetMinute(0);
    advanceClock(1);
    EXPECT_EQ(shown(), "10:47") << "two minutes a tick with factor 10";
    animate();
    EXPECT_EQ(shown(), "11:0");
    EXPECT_EQ(changes, 1);

    watch->SetAnimationFactor(0); // counts as 1: one tick reaches the target
    watch->SetHour(5);
    advanceClock(1);
    advanceClock(1);
    EXPECT_EQ(shown(), "5:0");
    EXPECT_FALSE(watch->Animating());
    EXPECT_EQ(changes, 2);

    try {
        watch->SetMinute(60);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()), "Invalid time");
    }
    EXPECT_EQ(shown(), "5:0");
}

TEST_F(WatchTest, KeysStepHoursAndMinutes) {
    watch->SetAnimation(false);
    struct Case {
        int hour, minute;
        WORD key;
        const char* result;
    };
    const Case cases[] = {
        {0, 0, VK_LEFT, "23:59"}, {10, 59, VK_RIGHT, "11:0"}, {10, 20, VK_RIGHT, "10:21"},
        {23, 5, VK_PRIOR, "0:5"}, {0, 5, VK_NEXT, "23:5"},    {7, 5, VK_HOME, "12:5"},
        {7, 45, VK_END, "8:0"},   {14, 5, 'A', "2:5"},        {2, 5, 'P', "14:5"},
        {2, 5, 'A', "2:5"},
    };
    for (const Case& c : cases) {
        watch->SetTime(EncodeTime(c.hour, c.minute, 0, 0));
        watch->HandleWatchKey(c.key);
        EXPECT_EQ(shown(), c.result) << c.hour << ":" << c.minute << " key " << c.key;
    }
    watch->Settings()->SetAuto(true);
    const TDateTime before = watch->Time();
    watch->HandleWatchKey(VK_RIGHT);
    EXPECT_EQ(watch->Time(), before) << "nothing in automatic mode";
}

TEST_F(WatchTest, MarksAndNumbersFollowTickMarks) {
    TWatchAppearance* a = watch->Appearance();
    a->SetHourColor(TColor(0x00FF00));
    a->SetHourMarkWidth(3);
    a->SetHourMarkLength(10);
    a->SetBorderColor(clNone);
    watch->SetShowAMPM(false);
    watch->SetTime(EncodeTime(6, 30, 0, 0)); // both hands point down
    const int q = watch->Radius() - a->BorderWidth() / 2;
    // The number 2 stands at 60 degrees, inside the marks.
    auto numberPixels = [&] {
        const TPoint p = at(60, q - 26);
        int n = 0;
        for (int y = p.Y - 6; y <= p.Y + 6; ++y)
            for (int x = p.X - 6; x <= p.X + 6; ++x) n += pixel(watch, x, y) != clWhite;
        return n;
    };
    struct Case {
        TTickMarks marks;
        bool mark30, mark90, number2;
    };
    const Case cases[] = {
        {tmAll, true, true, true},
        {tmHours, true, true, false},
        {tmQuartHours, false, true, false},
        {tmNone, false, false, false},
    };
    for (const Case& c : cases) {
        a->SetTickMarks(c.marks);
        processMessages();
        EXPECT_EQ(pixelAt(at(30, q - 5)) == TColor(0x00FF00), c.mark30) << c.marks;
        EXPECT_EQ(pixelAt(at(90, q - 5)) == TColor(0x00FF00), c.mark90) << c.marks;
        EXPECT_EQ(numberPixels() > 0, c.number2) << c.marks;
    }
}

TEST_F(WatchTest, ColourStylesPaintTheFace) {
    struct Case {
        TQorStyle style;
        TColor face, faceTo, border, hands;
    };
    const Case cases[] = {
        {tsOffice2003Blue, 0xFFD2AF, 0xFFD2AF, 0xD68759, 0xD68759},
        {tsOffice2007Luna, 0xFFEFE3, 0xFFEFE3, 0xF0DED0, 0x723708},
        {tsWindowsVista, 0xFFFDF9, 0xFFFAF0, 0xFEDF9A, 0xFEDF9A},
        {tsOffice2010Black, 0xBFBFBF, 0xBFBFBF, 0x6D6D6D, 0x6D6D6D},
    };
    watch->SetShowAMPM(false);
    watch->SetShowNumbers(false);
    watch->SetTime(EncodeTime(3, 0, 0, 0));
    for (const Case& c : cases) {
        watch->SetComponentStyle(c.style);
        const TWatchAppearance* a = watch->Appearance();
        EXPECT_EQ(a->BackgroundColorTo(), c.faceTo) << c.style;
        EXPECT_EQ(a->MinutePointer(), c.hands);
        EXPECT_EQ(a->CenterPointOuterBorderColor(), clBlack);
        processMessages();
        EXPECT_EQ(pixel(watch, 90, 12), ColorToRGB(c.face)) << "the face's top band" << c.style;
        EXPECT_EQ(pixel(watch, 10, 90), ColorToRGB(c.border)) << "the ring" << c.style;
        a = nullptr;
    }
    watch->SetComponentStyle(tsOffice2003Silver);
    EXPECT_EQ(watch->Appearance()->SecondPointer(), TColor(0xFFFFFF));
}

TEST_F(WatchTest, PresetsResetTheLookFirst) {
    TWatchAppearance* a = watch->Appearance();
    a->SetBorderWidth(9);
    watch->SetStyle(wsTower);
    EXPECT_EQ(a->Shape(), wsRect);
    EXPECT_EQ(a->PointerStyle(), psPointer);
    EXPECT_EQ(a->TickMarks(), tmHours);
    EXPECT_EQ(a->BackgroundColor(), TColor(0xB1F0FE));
    EXPECT_EQ(a->BorderWidth(), 1);
    EXPECT_FALSE(watch->ShowNumbers());
    watch->SetStyle(wsClassic);
    EXPECT_EQ(a->Shape(), wsCircle);
    EXPECT_EQ(a->HourMarkLength(), 8);
    EXPECT_EQ(a->HourPointerSize(), 5);
    EXPECT_TRUE(watch->ShowNumbers());
    EXPECT_TRUE(watch->ShowAMPM());
}

TEST_F(WatchTest, AutomaticModeRunsOnTheClockWithItsOffset) {
    watch->Settings()->SetTimeOffset(90);
    watch->Settings()->SetAuto(true);
    const double minutes = (watch->DisplayedTime() - Now()) * 24 * 60;
    EXPECT_NEAR(minutes, 90, 0.01);
    clickAt({90, 3});
    EXPECT_FALSE(watch->Animating()) << "the mouse does nothing in automatic mode";
    advanceClock(1000);
    EXPECT_NEAR((watch->DisplayedTime() - Now()) * 24 * 60, 90, 0.01);
}
