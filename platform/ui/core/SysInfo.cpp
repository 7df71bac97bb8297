#include "platform/ui/core/SysInfo.h"

#include "platform/base/SysUtils.h"
#include "platform/ui/core/LayeredWindows.h"
#include "platform/ui/core/Monitors.h"
#include "platform/ui/core/Peer.h"

#include <cstring>

// The user-interface library is always loaded; it exports the layered-window functions.
struct HMODULE__ {};

namespace {
HMODULE__ user32;

// The version resource of the common controls the platform implements.
bool versionOf(const std::string& FileName, VS_FIXEDFILEINFO& info) {
    std::string name = FileName;
    auto slash = name.find_last_of("/\\");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    if (LowerCase(name) != "comctl32.dll") return false;
    info.dwSignature = VS_FFI_SIGNATURE;
    info.dwStrucVersion = 0x10000;
    info.dwFileVersionMS = info.dwProductVersionMS = 6u << 16;
    info.dwFileVersionLS = info.dwProductVersionLS = 2600u << 16;
    return true;
}
} // namespace

int Win32MajorVersion() {
    return 5;
}

int Win32MinorVersion() {
    return 1;
}

int GetSystemMetrics(int Index) {
    return Index == SM_CXVSCROLL || Index == SM_CYHSCROLL ? SystemScrollBarSize : 0;
}

bool SystemParametersInfo(UINT Action, UINT Param, void* Value, UINT /*WinIni*/) {
    if (Action == SPI_GETWHEELSCROLLLINES) {
        if (!Value) return false;
        const int lines = Backend() ? Backend()->WheelScrollLines() : 3;
        *static_cast<UINT*>(Value) = lines < 0 ? WHEEL_PAGESCROLL : UINT(lines);
        return true;
    }
    if (Action == SPI_GETWORKAREA) {
        if (!Value) return false;
        const std::vector<TMonitorArea> areas = MonitorAreas();
        if (areas.empty()) return false;
        *static_cast<TRect*>(Value) = areas.front().WorkArea;
        return true;
    }
    if (Action == SPI_SETWHEELSCROLLLINES) {
        if (Backend()) Backend()->SetWheelScrollLines(Param == WHEEL_PAGESCROLL ? -1 : int(Param));
        return true;
    }
    return false;
}

HMODULE LoadLibrary(const std::string& /*FileName*/) {
    return nullptr;
}

HMODULE GetModuleHandle(const std::string& ModuleName) {
    std::string name = UpperCase(ModuleName);
    if (auto slash = name.find_last_of("/\\"); slash != std::string::npos) name.erase(0, slash + 1);
    return name == "USER32" || name == "USER32.DLL" ? &user32 : nullptr;
}

FARPROC GetProcAddress(HMODULE Module, const std::string& ProcName) {
    if (Module != &user32) return nullptr;
    if (ProcName == "UpdateLayeredWindow") return reinterpret_cast<FARPROC>(&UpdateLayeredWindow);
    if (ProcName == "SetLayeredWindowAttributes")
        return reinterpret_cast<FARPROC>(&SetLayeredWindowAttributes);
    return nullptr;
}

bool FreeLibrary(HMODULE Module) {
    return Module != nullptr;
}

DWORD GetFileVersionInfoSize(const std::string& FileName) {
    VS_FIXEDFILEINFO info;
    return versionOf(FileName, info) ? DWORD(sizeof info) : 0;
}

bool GetFileVersionInfo(const std::string& FileName, DWORD Size, void* Data) {
    VS_FIXEDFILEINFO info;
    if (!Data || Size < sizeof info || !versionOf(FileName, info)) return false;
    std::memcpy(Data, &info, sizeof info);
    return true;
}

bool VerQueryValue(const void* Block, const std::string& SubBlock, void** Buffer, UINT* Len) {
    if (!Block || SubBlock != "\\" || !Buffer || !Len) return false;
    *Buffer = const_cast<void*>(Block);
    *Len = UINT(sizeof(VS_FIXEDFILEINFO));
    return true;
}
