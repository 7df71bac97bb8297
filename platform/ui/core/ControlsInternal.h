#pragma once
// Internal to platform/ui: the window table and input state shared by the control core sources.
#include "platform/ui/core/Controls.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace controls {

struct WindowState {
    std::mutex mutex; // guards windows and nextHandle (PostMessage may run on any thread)
    std::unordered_map<HWND, TWinControl*> windows;
    std::uintptr_t nextHandle = 0x10000;
    HWND focus = nullptr;
    TControl* capture = nullptr;
    TControl* mouseControl = nullptr;
    bool keys[256] = {};
    TPoint cursorPos;
    TPopupMenuHooks popupHooks;
};

WindowState& state();

// The default handling of WM_NCCALCSIZE and WM_NCPAINT (WindowFrame.cpp).
void defaultFrameMessage(TWinControl* control, TMessage& Message);

// The mouse and Escape while a control's drag runs (DragDrop.cpp): true when the drag took the
// message.
bool controlDragInput(TWinControl* control, TMessage& Message);

} // namespace controls
