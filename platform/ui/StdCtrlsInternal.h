#pragma once
// Internal to platform/ui: helpers shared by the sources of the standard controls.
#include "platform/base/SysUtils.h"
#include "platform/ui/StdCtrls.h"

namespace stdctrls {

// A canvas for measuring text outside painting.
inline TCanvas* measureCanvas(const TFont* font) {
    static TBitmap bitmap(1, 1);
    TCanvas* c = bitmap.Canvas();
    c->Font()->Assign(font);
    return c;
}

inline int fontLineHeight(const TFont* font) {
    return measureCanvas(font)->TextHeight("Wg");
}

inline std::u32string caseMapped(const std::u32string& s, TEditCharCase cc) {
    if (cc == ecNormal) return s;
    std::string u = Utf32ToUtf8(s);
    return Utf8ToUtf32(cc == ecUpperCase ? AnsiUpperCase(u) : AnsiLowerCase(u));
}

// The window handle for a notification's LParam, without creating one.
inline LPARAM handleParam(TWinControl* c) {
    return c->HandleAllocated() ? reinterpret_cast<LPARAM>(c->Handle()) : 0;
}

// A notification as the classic controls send it: WM_COMMAND to the parent window, which
// reflects it to the control as CN_COMMAND (so the parent sees it first). Without windows the
// control gets CN_COMMAND directly.
inline void notifyParent(TWinControl* c, WORD code) {
    TWinControl* parent = c->Parent();
    if (parent && parent->HandleAllocated() && c->HandleAllocated())
        SendMessage(parent->Handle(), WM_COMMAND, MAKEWPARAM(0, code), handleParam(c));
    else
        c->Perform(CN_COMMAND, MAKEWPARAM(0, code), handleParam(c));
}

// The classic sunken frame of edits and lists; returns the area inside it.
inline TRect drawSunkenFrame(HDC dc, TRect r, TBorderStyle style) {
    if (style == bsNone) return r;
    DrawEdge(dc, r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    return r;
}

// Stores v in a control's field and repaints the control when the value changes.
template <class T> void setAndRepaint(TControl* control, T& field, const T& v) {
    if (field == v) return;
    field = v;
    control->Invalidate();
}

// Messages after which a control that paints its own caption repaints: its text, font or
// enabled state changed.
inline bool changesCaptionLook(UINT msg) {
    return msg == CM_TEXTCHANGED || msg == CM_FONTCHANGED || msg == CM_ENABLEDCHANGED;
}

// Clipboard and undo characters (Ctrl+C, Ctrl+V, Ctrl+X, Ctrl+Z): a native widget does them.
inline bool isClipboardChar(char32_t c) {
    return c == 3 || c == 22 || c == 24 || c == 26;
}

} // namespace stdctrls
