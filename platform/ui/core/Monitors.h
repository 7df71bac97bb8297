#pragma once
// The monitors of the desktop and their work areas, as the classic system functions give them:
// the monitor that holds (or is nearest to) a point, its bounds and work area, and the primary
// monitor's work area. The back end reports the monitors; tests script them.
#include "platform/ui/core/Peer.h"
#include "platform/ui/core/SysInfo.h"

#include <vector>

struct HMONITOR__;
using HMONITOR = HMONITOR__*;

constexpr DWORD MONITOR_DEFAULTTONULL = 0;
constexpr DWORD MONITOR_DEFAULTTOPRIMARY = 1;
constexpr DWORD MONITOR_DEFAULTTONEAREST = 2;
constexpr DWORD MONITORINFOF_PRIMARY = 1;

struct MONITORINFO {
    DWORD cbSize = sizeof(MONITORINFO);
    TRect rcMonitor;
    TRect rcWork;
    DWORD dwFlags = 0;
};

// The monitor that holds Pt; outside every monitor, by Flags: none, the primary one or the one
// nearest to Pt.
HMONITOR MonitorFromPoint(TPoint Pt, DWORD Flags);
// False for a handle that names no monitor.
bool GetMonitorInfo(HMONITOR Monitor, MONITORINFO* Info);

// SystemParametersInfo (SysInfo.h) with SPI_GETWORKAREA writes the primary monitor's work area
// to the TRect at Value.
constexpr UINT SPI_GETWORKAREA = 0x0030;

// The monitors, the primary one first: the scripted ones, else the back end's, else one
// 1024 x 768 screen.
std::vector<TMonitorArea> MonitorAreas();
// For tests: the monitors to report instead of the back end's; an empty list ends the script.
void ScriptMonitorAreas(std::vector<TMonitorArea> Areas);
