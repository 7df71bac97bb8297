#include "platform/base/Clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {
std::atomic<TClock*> installed{nullptr};
} // namespace

std::uint64_t TSystemClock::TickCount() {
    using namespace std::chrono;
    return std::uint64_t(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void TSystemClock::Sleep(unsigned ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::uint64_t TManualClock::TickCount() {
    return std::atomic_ref<std::uint64_t>(now_).load();
}

void TManualClock::Advance(std::uint64_t ms) {
    std::atomic_ref<std::uint64_t>(now_).fetch_add(ms);
}

void TManualClock::Set(std::uint64_t now) {
    std::atomic_ref<std::uint64_t>(now_).store(now);
}

TClock& ApplicationClock() {
    static TSystemClock system;
    TClock* c = installed.load();
    return c ? *c : system;
}

void SetApplicationClock(TClock* clock) {
    installed.store(clock);
}

std::uint32_t GetTickCount() {
    return std::uint32_t(ApplicationClock().TickCount());
}
std::uint64_t GetTickCount64() {
    return ApplicationClock().TickCount();
}
void Sleep(unsigned ms) {
    ApplicationClock().Sleep(ms);
}
