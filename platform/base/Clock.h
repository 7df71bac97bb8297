#pragma once
// The application clock. GetTickCount, Sleep, timers and time-outs read it; tests install a
// manual clock and advance it, so nothing waits on wall time.
#include <cstdint>

class TClock {
public:
    virtual ~TClock() = default;
    virtual std::uint64_t TickCount() = 0; // milliseconds
    virtual void Sleep(unsigned ms) = 0;
};

// Monotonic system time.
class TSystemClock : public TClock {
public:
    std::uint64_t TickCount() override;
    void Sleep(unsigned ms) override;
};

// Time that moves only when told to; Sleep advances it.
class TManualClock : public TClock {
public:
    explicit TManualClock(std::uint64_t start = 1000000) : now_(start) {}
    std::uint64_t TickCount() override;
    void Sleep(unsigned ms) override { Advance(ms); }
    void Advance(std::uint64_t ms);
    void Set(std::uint64_t now);

private:
    std::uint64_t now_;
};

TClock& ApplicationClock();
// Installs a clock (not owned); nullptr restores the system clock.
void SetApplicationClock(TClock* clock);

std::uint32_t GetTickCount();
std::uint64_t GetTickCount64();
void Sleep(unsigned ms);
