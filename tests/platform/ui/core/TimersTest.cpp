#include "platform/ui/core/Timers.h"

#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

using namespace uitest;

TEST(Timers, ATimerFiresOnlyAsTheClockAdvances) {
    TTimer timer(nullptr);
    timer.SetInterval(1000);
    int fired = 0;
    timer.OnTimer = [&](TObject*) { ++fired; };
    processMessages();
    advanceClock(999);
    EXPECT_EQ(fired, 0);
    advanceClock(1);
    EXPECT_EQ(fired, 1);
    advanceClock(3000);
    EXPECT_EQ(fired, 4) << "each interval on the way fires";
}

TEST(Timers, ATimerFiresOnlyWhenTheLoopRunsAndALateOneFiresOnce) {
    TTimer timer(nullptr);
    timer.SetInterval(100);
    int fired = 0;
    timer.OnTimer = [&](TObject*) { ++fired; };
    testClock().Advance(550);
    EXPECT_EQ(fired, 0);
    processMessages();
    EXPECT_EQ(fired, 1);
    advanceClock(99);
    EXPECT_EQ(fired, 1) << "the next interval counts from the late firing";
    advanceClock(1);
    EXPECT_EQ(fired, 2);
}

TEST(Timers, DisablingStopsAndChangingTheIntervalRestartsTheCount) {
    TTimer timer(nullptr);
    timer.SetInterval(1000);
    int fired = 0;
    timer.OnTimer = [&](TObject*) { ++fired; };
    advanceClock(600);
    timer.SetInterval(500);
    advanceClock(499);
    EXPECT_EQ(fired, 0);
    advanceClock(1);
    EXPECT_EQ(fired, 1);
    timer.SetEnabled(false);
    advanceClock(5000);
    EXPECT_EQ(fired, 1);
    timer.SetEnabled(true);
    advanceClock(500);
    EXPECT_EQ(fired, 2);
}

TEST(Timers, AHandlerMayStopItsTimerAndAnExceptionIsReported) {
    TTimer timer(nullptr);
    timer.SetInterval(10);
    int fired = 0;
    timer.OnTimer = [&](TObject*) {
        ++fired;
        timer.SetEnabled(false);
        throw Exception("Timer failed");
    };
    advanceClock(100);
    EXPECT_EQ(fired, 1);
    ASSERT_EQ(dialogs().Questions().size(), 1u);
    EXPECT_EQ(dialogs().Questions()[0].Text, "Timer failed.");
}

TEST(Timers, ADestroyedTimerNeverFires) {
    int fired = 0;
    {
        TTimer timer(nullptr);
        timer.SetInterval(10);
        timer.OnTimer = [&](TObject*) { ++fired; };
    }
    advanceClock(100);
    EXPECT_EQ(fired, 0);
}
