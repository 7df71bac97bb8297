#include "platform/ui/core/Timers.h"

#include "platform/base/Clock.h"
#include "platform/ui/core/Controls.h"
#include "platform/ui/core/Forms.h"

#include <algorithm>
#include <vector>

namespace {
struct Entry {
    HWND hwnd;         // nullptr: a TTimer
    std::uintptr_t id; // window timers: the caller's id; TTimer: a private id
    unsigned ms;
    std::uint64_t due;
    TTimer* timer;
};

std::vector<Entry>& entries() {
    static std::vector<Entry> list;
    return list;
}

std::uintptr_t nextPrivateId = 1;

void removeEntry(HWND hwnd, std::uintptr_t id) {
    auto& l = entries();
    l.erase(std::remove_if(l.begin(), l.end(),
                           [&](const Entry& e) { return e.hwnd == hwnd && e.id == id; }),
            l.end());
}
} // namespace

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    update();
}

TTimer::~TTimer() {
    if (id_) removeEntry(nullptr, id_);
}

void TTimer::SetEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    update();
}

void TTimer::SetInterval(unsigned v) {
    if (v == interval_) return;
    interval_ = v;
    update();
}

void TTimer::update() {
    if (id_) removeEntry(nullptr, id_);
    id_ = 0;
    if (!enabled_ || interval_ == 0) return;
    id_ = nextPrivateId++;
    entries().push_back({nullptr, id_, interval_, GetTickCount64() + interval_, this});
}

void TTimer::Timer() {
    if (OnTimer) OnTimer(this);
}

std::uintptr_t SetTimer(HWND hwnd, std::uintptr_t id, unsigned ms, void* /*unused*/) {
    if (!IsWindow(hwnd)) return 0;
    removeEntry(hwnd, id);
    entries().push_back({hwnd, id, std::max(ms, 1u), GetTickCount64() + std::max(ms, 1u), nullptr});
    return id;
}

bool KillTimer(HWND hwnd, std::uintptr_t id) {
    auto& l = entries();
    auto before = l.size();
    removeEntry(hwnd, id);
    return l.size() != before;
}

void KillWindowTimers(HWND hwnd) {
    if (!hwnd) return;
    auto& l = entries();
    l.erase(std::remove_if(l.begin(), l.end(), [&](const Entry& e) { return e.hwnd == hwnd; }),
            l.end());
}

bool ProcessDueTimers() {
    std::uint64_t now = GetTickCount64();
    std::vector<std::pair<HWND, std::uintptr_t>> due;
    for (const Entry& e : entries())
        if (e.due <= now) due.emplace_back(e.hwnd, e.id);
    // Handlers may start or stop timers: look each one up again before firing it.
    for (auto [hwnd, id] : due) {
        auto& l = entries();
        auto it = std::find_if(l.begin(), l.end(),
                               [&](const Entry& e) { return e.hwnd == hwnd && e.id == id; });
        if (it == l.end() || it->due > now) continue;
        it->due = now + it->ms;
        if (TTimer* t = it->timer) {
            try {
                t->Timer();
            } catch (...) {
                Application->HandleException(t);
            }
        } else if (TWinControl* w = FindControl(hwnd)) {
            TMessage m{WM_TIMER, WPARAM(id), 0, 0};
            DeliverMessage(w, m);
        }
    }
    return !due.empty();
}

std::optional<std::uint64_t> NextTimerDue() {
    std::optional<std::uint64_t> best;
    for (const Entry& e : entries())
        if (!best || e.due < *best) best = e.due;
    return best;
}
