#pragma once
// Timers driven by the application clock: a timer fires only when the message loop runs and
// the clock has reached its due time (with the manual clock, only as a test advances it).
// A timer that is late fires once, not once per missed interval.
#include "platform/base/Classes.h"
#include "platform/ui/core/Messages.h"

#include <cstdint>
#include <functional>
#include <optional>

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    unsigned Interval() const { return interval_; }
    // Restarts the count from now; 0 stops the timer.
    void SetInterval(unsigned v);
    TNotifyEvent OnTimer;

protected:
    virtual void Timer();
    friend bool ProcessDueTimers();

private:
    void update();
    bool enabled_ = true;
    unsigned interval_ = 1000;
    std::uintptr_t id_ = 0;
};

// Window timers: WM_TIMER with the id in WParam reaches the window every ms milliseconds.
// Setting an existing id again restarts it. Returns id (0 when hwnd is not a window).
std::uintptr_t SetTimer(HWND hwnd, std::uintptr_t id, unsigned ms, void* unused = nullptr);
bool KillTimer(HWND hwnd, std::uintptr_t id);
// Stops every timer of a window (its handle is being destroyed).
void KillWindowTimers(HWND hwnd);

// For the message loop: fires the timers that are due; true when any fired.
bool ProcessDueTimers();
// The earliest due time (application clock), if any timer runs.
std::optional<std::uint64_t> NextTimerDue();
