#include "platform/base/Threads.h"
#include "platform/base/Clock.h"

#include <gtest/gtest.h>

namespace {
struct Worker : TThread {
    Worker() : TThread(true) {}
    int seen = 0;
    void Execute() override {
        Synchronize([this] { seen = TThread::IsMainThread() ? 1 : 2; });
    }
};
} // namespace

TEST(Threads, SynchronizeRunsOnTheUiThread) {
    SetMainThread();
    Worker w;
    w.Start();
    while (!w.Finished()) CheckSynchronize();
    w.WaitFor();
    EXPECT_EQ(w.seen, 1);
}

TEST(Clock, ManualClockMovesOnlyWhenAdvanced) {
    TManualClock clock(5000);
    SetApplicationClock(&clock);
    auto t0 = GetTickCount64();
    Sleep(250);
    EXPECT_EQ(GetTickCount64() - t0, 250u);
    clock.Advance(10);
    EXPECT_EQ(GetTickCount64() - t0, 260u);
    SetApplicationClock(nullptr);
}
