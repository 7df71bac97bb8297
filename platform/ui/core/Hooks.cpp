#include "platform/ui/core/Hooks.h"

#include "platform/base/Threads.h"

#include <algorithm>
#include <functional>
#include <thread>
#include <vector>

namespace {
struct Hook {
    HOOKPROC proc;
};
// Newest first; the handle is the Hook's address.
std::vector<Hook*>& hooks() {
    static std::vector<Hook*> h;
    return h;
}
thread_local int oleCount = 0;
} // namespace

DWORD GetCurrentThreadId() {
    return DWORD(std::hash<std::thread::id>()(std::this_thread::get_id()));
}

HHOOK SetWindowsHookEx(int idHook, HOOKPROC lpfn, void* /*hMod*/, DWORD dwThreadId) {
    if (idHook != WH_CALLWNDPROC || !lpfn || !TThread::IsMainThread() ||
        dwThreadId != GetCurrentThreadId())
        return nullptr;
    auto* h = new Hook{lpfn};
    hooks().insert(hooks().begin(), h);
    return reinterpret_cast<HHOOK>(h);
}

bool UnhookWindowsHookEx(HHOOK hhk) {
    auto& v = hooks();
    auto it = std::find(v.begin(), v.end(), reinterpret_cast<Hook*>(hhk));
    if (it == v.end()) return false;
    delete *it;
    v.erase(it);
    return true;
}

LRESULT CallNextHookEx(HHOOK hhk, int Code, WPARAM wParam, LPARAM lParam) {
    auto& v = hooks();
    auto it = std::find(v.begin(), v.end(), reinterpret_cast<Hook*>(hhk));
    if (it == v.end() || ++it == v.end()) return 0;
    return (*it)->proc(Code, wParam, lParam);
}

bool HasCallWndProcHooks() {
    return !hooks().empty();
}

void RunCallWndProcHooks(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (hooks().empty() || !TThread::IsMainThread()) return;
    CWPSTRUCT cwp{lParam, wParam, message, hwnd};
    hooks().front()->proc(HC_ACTION, 0, reinterpret_cast<LPARAM>(&cwp));
}

HRESULT OleInitialize(void* /*pvReserved*/) {
    return oleCount++ == 0 ? S_OK : S_FALSE;
}

void OleUninitialize() {
    if (oleCount > 0) --oleCount;
}

bool OleInitialized() {
    return oleCount > 0;
}
