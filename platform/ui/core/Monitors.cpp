#include "platform/ui/core/Monitors.h"

#include <algorithm>
#include <climits>

namespace {
std::vector<TMonitorArea>& scripted() {
    static std::vector<TMonitorArea> areas;
    return areas;
}

// Squared distance from p to the nearest point of r (0 inside).
long long distanceTo(const TRect& r, TPoint p) {
    const long long dx = p.X < r.Left ? r.Left - p.X : p.X >= r.Right ? p.X - r.Right + 1 : 0;
    const long long dy = p.Y < r.Top ? r.Top - p.Y : p.Y >= r.Bottom ? p.Y - r.Bottom + 1 : 0;
    return dx * dx + dy * dy;
}

// Handles are the monitor's place in the list, counted from 1.
HMONITOR handleOf(std::size_t index) {
    return reinterpret_cast<HMONITOR>(index + 1);
}
} // namespace

std::vector<TMonitorArea> MonitorAreas() {
    if (!scripted().empty()) return scripted();
    if (TBackend* b = Backend()) return b->MonitorAreas();
    const TRect screen{0, 0, 1024, 768};
    return {{screen, screen, true}};
}

void ScriptMonitorAreas(std::vector<TMonitorArea> Areas) {
    scripted() = std::move(Areas);
}

HMONITOR MonitorFromPoint(TPoint Pt, DWORD Flags) {
    const std::vector<TMonitorArea> areas = MonitorAreas();
    std::size_t best = 0;
    long long bestDistance = LLONG_MAX;
    for (std::size_t i = 0; i < areas.size(); ++i) {
        const long long d = distanceTo(areas[i].Bounds, Pt);
        if (d == 0) return handleOf(i);
        if (d < bestDistance) bestDistance = d, best = i;
    }
    if (areas.empty() || Flags == MONITOR_DEFAULTTONULL) return nullptr;
    if (Flags == MONITOR_DEFAULTTOPRIMARY) return handleOf(0);
    return handleOf(best);
}

bool GetMonitorInfo(HMONITOR Monitor, MONITORINFO* Info) {
    const std::vector<TMonitorArea> areas = MonitorAreas();
    const auto index = reinterpret_cast<std::size_t>(Monitor);
    if (!Info || index == 0 || index > areas.size()) return false;
    const TMonitorArea& a = areas[index - 1];
    Info->rcMonitor = a.Bounds;
    Info->rcWork = a.WorkArea;
    Info->dwFlags = a.Primary ? MONITORINFOF_PRIMARY : 0;
    return true;
}
