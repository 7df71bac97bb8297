#include "grid/core/GridLibrary.h"

#include "grid/core/GridDragDrop.h"
#include "grid/core/GridTheme.h"
#include "grid/core/QorStringGrid.h"
#include "platform/base/FormatSettings.h"
#include "platform/ui/SysInfo.h"

#include <vector>

TGridLibraryState& GridLibrary() {
    static TGridLibraryState state;
    return state;
}

LRESULT GridCallWndProcHook(int Code, WPARAM wParam, LPARAM lParam) {
    TGridLibraryState& lib = GridLibrary();
    const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (cwp && (cwp->message == WM_WINDOWPOSCHANGING || cwp->message == WM_WINDOWPOSCHANGED) &&
        lib.FocusFrameGrid)
        lib.FocusFrameGrid->MoveFocusWindow();
    return CallNextHookEx(lib.HookHandle, Code, wParam, lParam);
}

void GridLibraryInitialize() {
    TGridLibraryState& lib = GridLibrary();
    if (lib.Initialized) return;
    lib.Initialized = true;
    OleInitialize(nullptr);
    lib.FocusFrameGrid = nullptr;
    if (!lib.HookHandle)
        lib.HookHandle =
            SetWindowsHookEx(WH_CALLWNDPROC, GridCallWndProcHook, nullptr, GetCurrentThreadId());
    lib.NewCommonControls = GetFileVersion("comctl32.dll") >= 4 * 65536 + 70;
    lib.GridClipboardFormat = RegisterClipboardFormat("TQorStringGrid Cells");
    // The drag-and-drop formats are registered here, once, and never again by a reader.
    DropFormatIds();
    lib.GridEditDoneMessage = RegisterWindowMessage("GridEditDone");
    lib.DTPShiftFocusMessage = RegisterWindowMessage("DTPShiftFocus");
    InitThemeLibrary(GridThemeBinding());
    InitThemeLibrary(DropDownThemeBinding());
}

void GridLibraryFinalize() {
    TGridLibraryState& lib = GridLibrary();
    if (!lib.Initialized) return;
    OleUninitialize();
    if (lib.HookHandle) UnhookWindowsHookEx(lib.HookHandle);
    lib.HookHandle = nullptr;
    lib.SharedHintText.clear();
    lib.FocusFrameGrid = nullptr;
    FreeThemeLibrary(GridThemeBinding());
    FreeThemeLibrary(DropDownThemeBinding());
    lib.Initialized = false;
}

char GetTimeSeparator() {
    return FormatSettings().TimeSeparator;
}
char GetDateSeparator() {
    return FormatSettings().DateSeparator;
}
char GetThousandSeparator() {
    return FormatSettings().ThousandSeparator;
}
char GetDecimalSeparator() {
    return FormatSettings().DecimalSeparator;
}
std::string GetShortDateFormat() {
    return FormatSettings().ShortDateFormat;
}
std::string GetShortTimeFormat() {
    return FormatSettings().ShortTimeFormat;
}
std::string GetLongTimeFormat() {
    return FormatSettings().LongTimeFormat;
}

int GetFileVersion(const std::string& FileName) {
    DWORD size = GetFileVersionInfoSize(FileName);
    if (size == 0) return -1;
    std::vector<unsigned char> buffer(size);
    if (!GetFileVersionInfo(FileName, size, buffer.data())) return -1;
    void* block = nullptr;
    UINT len = 0;
    if (!VerQueryValue(buffer.data(), "\\", &block, &len) || len < sizeof(VS_FIXEDFILEINFO))
        return -1;
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(block);
    return info->dwSignature == VS_FFI_SIGNATURE ? int(info->dwFileVersionMS) : -1;
}
