#pragma once
// Process-wide state of the grid library, set up once before the first form and released at
// exit: OLE for the UI thread, the window hook that keeps the focus frame on its cell, the
// clipboard format and window messages the grids register, the common-controls test and the
// visual-style bindings. Also the library's small process-wide helpers.
#include "platform/ui/core/Controls.h"
#include "platform/ui/core/Hooks.h"

#include <string>

class TQorStringGrid;

struct TGridLibraryState {
    // The grid whose focus frame follows window moves; nil while no frame is shown.
    TQorStringGrid* FocusFrameGrid = nullptr;
    HHOOK HookHandle = nullptr;
    UINT GridClipboardFormat = 0;  // "TQorStringGrid Cells"
    UINT GridEditDoneMessage = 0;  // "GridEditDone"
    UINT DTPShiftFocusMessage = 0; // "DTPShiftFocus"
    // The common controls are at least version 4.70: the date and time editors may open.
    bool NewCommonControls = false;
    std::string SharedHintText;
    TCursor LinkCursor = crHandPoint;
    bool Initialized = false;
};

TGridLibraryState& GridLibrary();
// Runs once; later calls do nothing until GridLibraryFinalize.
void GridLibraryInitialize();
void GridLibraryFinalize();
// Adds WS_EX_TRANSPARENT to the window's extended style, keeping the others.
void SetWindowTransparentStyle(HWND Wnd);

// Passes every message on; on a position change of any window it moves the focus frame of
// the focus-frame grid onto its current cell.
LRESULT GridCallWndProcHook(int Code, WPARAM wParam, LPARAM lParam);

char GetTimeSeparator();
char GetDateSeparator();
char GetThousandSeparator();
char GetDecimalSeparator();
std::string GetShortDateFormat();
std::string GetShortTimeFormat();
std::string GetLongTimeFormat();
