#pragma once
// Window hooks of the UI thread and the OLE start-up calls.
#include "platform/ui/core/Messages.h"

// WH_CALLWNDPROC: the hook sees every message sent to a windowed control with a window, before
// the control's window procedure; LParam points at a CWPSTRUCT.
constexpr int WH_CALLWNDPROC = 4;
struct CWPSTRUCT {
    LPARAM lParam = 0;
    WPARAM wParam = 0;
    UINT message = 0;
    HWND hwnd = nullptr;
};
struct HHOOK__;
using HHOOK = HHOOK__*;
using HOOKPROC = LRESULT (*)(int Code, WPARAM wParam, LPARAM lParam);
constexpr int HC_ACTION = 0;

DWORD GetCurrentThreadId();
// Only WH_CALLWNDPROC hooks of the UI thread are supported; nullptr for any other request.
HHOOK SetWindowsHookEx(int idHook, HOOKPROC lpfn, void* hMod, DWORD dwThreadId);
bool UnhookWindowsHookEx(HHOOK hhk);
// Passes the message on to the hook installed before hhk.
LRESULT CallNextHookEx(HHOOK hhk, int Code, WPARAM wParam, LPARAM lParam);
// Runs the installed hooks (newest first) for a message sent to hwnd; the window procedures
// call it.
void RunCallWndProcHooks(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
bool HasCallWndProcHooks();

using HRESULT = long;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
// Counted per thread: S_OK for the first call, S_FALSE for further ones.
HRESULT OleInitialize(void* pvReserved);
void OleUninitialize();
bool OleInitialized();
