#pragma once
// A clock that stands still while a real program or socket on this machine does its work:
// Sleep only yields, so a time-out cannot pass before the other side has answered. After a
// very long wait it starts moving, so that a side that never answers fails the test instead of
// hanging it. The guard puts the test's manual clock back.
#include "platform/base/Clock.h"
#include "platform/testing/UiTest.h"

#include <thread>

class TRealWorkClock : public TClock {
public:
    TRealWorkClock() { SetApplicationClock(this); }
    ~TRealWorkClock() override { SetApplicationClock(&uitest::testClock()); }
    TRealWorkClock(const TRealWorkClock&) = delete;
    TRealWorkClock& operator=(const TRealWorkClock&) = delete;

    std::uint64_t TickCount() override { return now_; }
    void Sleep(unsigned ms) override {
        std::this_thread::yield();
        if (++sleeps_ > 20'000'000) now_ += ms;
    }

private:
    std::uint64_t now_ = 1000000;
    std::uint64_t sleeps_ = 0;
};
