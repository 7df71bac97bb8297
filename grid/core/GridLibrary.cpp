#include "grid/core/GridLibrary.h"

#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridDragDrop.h"
#include "grid/core/base/GridTheme.h"
#include "platform/base/FormatSettings.h"
#include "platform/ui/DateTimePicker.h"
#include "platform/ui/core/SysInfo.h"

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
    lib.DTPShiftFocusMessage = DTPShiftFocusMessage();
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

void SetWindowTransparentStyle(HWND Wnd) {
    SetWindowLong(Wnd, GWL_EXSTYLE,
                  LONG(DWORD(GetWindowLong(Wnd, GWL_EXSTYLE)) | WS_EX_TRANSPARENT));
}
