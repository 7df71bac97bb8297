#pragma once
// Layered windows: a window with WS_EX_LAYERED is blended over what lies below it, either as a
// whole with a constant opacity (SetLayeredWindowAttributes) or pixel by pixel from a picture
// with premultiplied alpha (UpdateLayeredWindow). The user-interface library exports both, so
// callers that look them up by name find them.
#include "platform/gfx/Gdi.h"
#include "platform/ui/core/Controls.h"

#include <cstdint>

constexpr DWORD LWA_COLORKEY = 0x1;
constexpr DWORD LWA_ALPHA = 0x2;
constexpr DWORD ULW_COLORKEY = 0x1;
constexpr DWORD ULW_ALPHA = 0x2;
constexpr DWORD ULW_OPAQUE = 0x4;

// Moves the window to *DstPos (screen; nullptr keeps it), sizes it to *Size and takes the
// Size pixels of SrcDC's bitmap from *SrcPos (nullptr: 0, 0) as its picture; with ULW_ALPHA the
// blend's constant alpha and the picture's own alpha apply. False for a window that is not
// layered, or without a size or source bitmap. DstDC and Key are not used.
bool UpdateLayeredWindow(HWND Wnd, HDC DstDC, TPoint* DstPos, TSize* Size, HDC SrcDC,
                         TPoint* SrcPos, TColor Key, BLENDFUNCTION* Blend, DWORD Flags);
// With LWA_ALPHA the window is shown with opacity Alpha; False for a window that is not layered.
// Colour keys are not supported.
bool SetLayeredWindowAttributes(HWND Wnd, TColor Key, std::uint8_t Alpha, DWORD Flags);
