#pragma once
// Basic value types of the component model: colours, geometry, shift states.
#include <cstdint>
#include <initializer_list>
#include <string_view>

using TColor = std::int32_t; // 0x00BBGGRR; system colours are 0xFF0000nn

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;

constexpr TColor sysColor(int index) {
    return static_cast<TColor>(0xFF000000u | unsigned(index));
}
constexpr TColor clScrollBar = sysColor(0);
constexpr TColor clBackground = sysColor(1);
constexpr TColor clActiveCaption = sysColor(2);
constexpr TColor clInactiveCaption = sysColor(3);
constexpr TColor clMenu = sysColor(4);
constexpr TColor clWindow = sysColor(5);
constexpr TColor clWindowFrame = sysColor(6);
constexpr TColor clMenuText = sysColor(7);
constexpr TColor clWindowText = sysColor(8);
constexpr TColor clCaptionText = sysColor(9);
constexpr TColor clActiveBorder = sysColor(10);
constexpr TColor clInactiveBorder = sysColor(11);
constexpr TColor clAppWorkSpace = sysColor(12);
constexpr TColor clHighlight = sysColor(13);
constexpr TColor clHighlightText = sysColor(14);
constexpr TColor clBtnFace = sysColor(15);
constexpr TColor clBtnShadow = sysColor(16);
constexpr TColor clGrayText = sysColor(17);
constexpr TColor clBtnText = sysColor(18);
constexpr TColor clInactiveCaptionText = sysColor(19);
constexpr TColor clBtnHighlight = sysColor(20);
constexpr TColor cl3DDkShadow = sysColor(21);
constexpr TColor cl3DLight = sysColor(22);
constexpr TColor clInfoText = sysColor(23);
constexpr TColor clInfoBk = sysColor(24);
constexpr TColor clHotLight = sysColor(26);
constexpr TColor clGradientActiveCaption = sysColor(27);
constexpr TColor clGradientInactiveCaption = sysColor(28);
constexpr TColor clMenuHighlight = sysColor(29);
constexpr TColor clMenuBar = sysColor(30);

// Resolves a system colour through the fixed classic palette; other colours pass through.
TColor ColorToRGB(TColor color);
// The standard name of a colour ("clBlack", "clWindow", "clNone" ...) when it has one.
bool ColorToIdent(TColor color, const char*& ident);
// The colour of a standard name (letter case ignored); false for any other text.
bool IdentToColor(std::string_view ident, TColor& color);
constexpr int GetRValue(TColor c) {
    return c & 0xFF;
}
constexpr int GetGValue(TColor c) {
    return (c >> 8) & 0xFF;
}
constexpr int GetBValue(TColor c) {
    return (c >> 16) & 0xFF;
}
constexpr TColor RGB(int r, int g, int b) {
    return TColor((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
// The classic system colour for an index (COLOR_xxx), as GetSysColor returns it.
TColor GetSysColor(int index);

struct TPoint {
    int X = 0;
    int Y = 0;
    constexpr TPoint() = default;
    constexpr TPoint(int x, int y) : X(x), Y(y) {}
    friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    friend constexpr bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    constexpr TRect() = default;
    constexpr TRect(int l, int t, int r, int b) : Left(l), Top(t), Right(r), Bottom(b) {}
    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(TPoint p) const {
        return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom;
    }
    constexpr TPoint TopLeft() const { return {Left, Top}; }
    constexpr TPoint BottomRight() const { return {Right, Bottom}; }
    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

constexpr TRect Rect(int l, int t, int r, int b) {
    return TRect(l, t, r, b);
}
constexpr TRect Bounds(int l, int t, int w, int h) {
    return TRect(l, t, l + w, t + h);
}
constexpr TPoint Point(int x, int y) {
    return TPoint(x, y);
}
bool IntersectRect(TRect& dst, const TRect& a, const TRect& b);
bool UnionRect(TRect& dst, const TRect& a, const TRect& b);
bool PtInRect(const TRect& r, TPoint p);
void OffsetRect(TRect& r, int dx, int dy);
void InflateRect(TRect& r, int dx, int dy);

enum TShiftFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
class TShiftState {
public:
    TShiftState() = default;
    TShiftState(std::initializer_list<TShiftFlag> flags) {
        for (auto f : flags) Include(f);
    }
    bool Contains(TShiftFlag f) const { return bits_ & bit(f); }
    void Include(TShiftFlag f) { bits_ |= bit(f); }
    void Exclude(TShiftFlag f) { bits_ &= ~bit(f); }
    bool Empty() const { return bits_ == 0; }
    unsigned Bits() const { return bits_; }
    friend bool operator==(const TShiftState&, const TShiftState&) = default;

private:
    static unsigned bit(TShiftFlag f) { return 1u << unsigned(f); }
    unsigned bits_ = 0;
};

enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };
