#include "platform/base/Types.h"

#include <algorithm>
#include <iterator>

namespace {
// Classic (pre-theme) desktop palette, indexed by COLOR_xxx.
constexpr TColor classicPalette[] = {
    RGB(200, 200, 200), // 0 scroll bar
    RGB(0, 128, 128),   // 1 background
    RGB(10, 36, 106),   // 2 active caption
    RGB(128, 128, 128), // 3 inactive caption
    RGB(212, 208, 200), // 4 menu
    RGB(255, 255, 255), // 5 window
    RGB(0, 0, 0),       // 6 window frame
    RGB(0, 0, 0),       // 7 menu text
    RGB(0, 0, 0),       // 8 window text
    RGB(255, 255, 255), // 9 caption text
    RGB(212, 208, 200), // 10 active border
    RGB(212, 208, 200), // 11 inactive border
    RGB(128, 128, 128), // 12 app workspace
    RGB(10, 36, 106),   // 13 highlight
    RGB(255, 255, 255), // 14 highlight text
    RGB(212, 208, 200), // 15 button face
    RGB(128, 128, 128), // 16 button shadow
    RGB(128, 128, 128), // 17 gray text
    RGB(0, 0, 0),       // 18 button text
    RGB(212, 208, 200), // 19 inactive caption text
    RGB(255, 255, 255), // 20 button highlight
    RGB(64, 64, 64),    // 21 3D dark shadow
    RGB(212, 208, 200), // 22 3D light
    RGB(0, 0, 0),       // 23 info text
    RGB(255, 255, 225), // 24 info background
    RGB(181, 181, 181), // 25 (unused)
    RGB(0, 0, 128),     // 26 hot light
    RGB(166, 202, 240), // 27 gradient active caption
    RGB(192, 192, 192), // 28 gradient inactive caption
    RGB(49, 106, 197),  // 29 menu highlight
    RGB(236, 233, 216), // 30 menu bar
};

struct ColorName {
    TColor color;
    const char* name;
};
constexpr ColorName colorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuBar, "clMenuBar"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
};

bool sameIdent(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto low = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return low(x) == low(y);
    });
}
} // namespace

bool ColorToIdent(TColor color, const char*& ident) {
    for (const ColorName& n : colorNames)
        if (n.color == color) {
            ident = n.name;
            return true;
        }
    return false;
}

bool IdentToColor(std::string_view ident, TColor& color) {
    for (const ColorName& n : colorNames)
        if (sameIdent(ident, n.name)) {
            color = n.color;
            return true;
        }
    return false;
}

TColor GetSysColor(int index) {
    if (index < 0 || index >= int(std::size(classicPalette))) return clBlack;
    return classicPalette[index];
}

TColor ColorToRGB(TColor color) {
    if (static_cast<std::uint32_t>(color) & 0x80000000u) return GetSysColor(color & 0xFF);
    return color;
}

bool IntersectRect(TRect& dst, const TRect& a, const TRect& b) {
    dst = TRect(std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                std::min(a.Bottom, b.Bottom));
    if (dst.IsEmpty()) {
        dst = TRect();
        return false;
    }
    return true;
}

bool UnionRect(TRect& dst, const TRect& a, const TRect& b) {
    if (a.IsEmpty())
        dst = b;
    else if (b.IsEmpty())
        dst = a;
    else
        dst = TRect(std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                    std::max(a.Bottom, b.Bottom));
    return !dst.IsEmpty();
}

bool PtInRect(const TRect& r, TPoint p) {
    return r.Contains(p);
}

void OffsetRect(TRect& r, int dx, int dy) {
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
}

void InflateRect(TRect& r, int dx, int dy) {
    r.Left -= dx;
    r.Right += dx;
    r.Top -= dy;
    r.Bottom += dy;
}
