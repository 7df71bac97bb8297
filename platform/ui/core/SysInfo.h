#pragma once
// What this platform reports of the classic system it stands in for: system version 5.1 with
// the version-6 common controls and layered windows, and no loadable system libraries (no
// visual-style library), so callers that probe for them take their fallback paths.
#include "platform/ui/core/Messages.h"

#include <string>

int Win32MajorVersion();
int Win32MinorVersion();

// Thickness of a scroll bar, as the classic system metric; the grids and lists draw theirs so.
constexpr int SystemScrollBarSize = 17;

// System sizes: the width of a vertical and the height of a horizontal scroll bar.
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
int GetSystemMetrics(int Index);

// System parameters: the wheel's lines per notch are asked for and set, the work area
// (SPI_GETWORKAREA, Monitors.h) is asked for. Getting the lines writes a UINT to Value,
// WHEEL_PAGESCROLL when a notch scrolls a page; setting takes the lines in Param
// (WHEEL_PAGESCROLL for a page). The back end keeps the desktop's setting.
constexpr UINT SPI_GETWHEELSCROLLLINES = 0x0068;
constexpr UINT SPI_SETWHEELSCROLLLINES = 0x0069;
constexpr UINT WHEEL_PAGESCROLL = 0xFFFFFFFF;
bool SystemParametersInfo(UINT Action, UINT Param, void* Value, UINT WinIni);

struct HMODULE__;
using HMODULE = HMODULE__*;
using FARPROC = void (*)();
// No system library can be loaded here (LoadLibrary answers nullptr); the user-interface
// library "USER32.DLL" is always loaded and exports UpdateLayeredWindow and
// SetLayeredWindowAttributes (LayeredWindows.h), nothing else.
HMODULE LoadLibrary(const std::string& FileName);
HMODULE GetModuleHandle(const std::string& ModuleName);
FARPROC GetProcAddress(HMODULE Module, const std::string& ProcName);
bool FreeLibrary(HMODULE Module);

constexpr DWORD VS_FFI_SIGNATURE = 0xFEEF04BD;
struct VS_FIXEDFILEINFO {
    DWORD dwSignature = 0;
    DWORD dwStrucVersion = 0;
    DWORD dwFileVersionMS = 0;
    DWORD dwFileVersionLS = 0;
    DWORD dwProductVersionMS = 0;
    DWORD dwProductVersionLS = 0;
};
// Version resources: only the platform's common controls ("comctl32.dll", version 6.0) carry
// one; any other file answers size 0.
DWORD GetFileVersionInfoSize(const std::string& FileName);
bool GetFileVersionInfo(const std::string& FileName, DWORD Size, void* Data);
// SubBlock "\" points Buffer at the block's VS_FIXEDFILEINFO.
bool VerQueryValue(const void* Block, const std::string& SubBlock, void** Buffer, UINT* Len);
