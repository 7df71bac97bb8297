#pragma once
// Constants of the classic device-context API and the region type. 96 dots per inch.
#include "platform/base/Types.h"

#include <cstdint>
#include <memory>
#include <vector>

// --- DrawText / DrawTextEx ------------------------------------------------------------------
constexpr unsigned DT_TOP = 0x0;
constexpr unsigned DT_LEFT = 0x0;
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_RIGHT = 0x2;
constexpr unsigned DT_VCENTER = 0x4;
constexpr unsigned DT_BOTTOM = 0x8;
constexpr unsigned DT_WORDBREAK = 0x10;
constexpr unsigned DT_SINGLELINE = 0x20;
constexpr unsigned DT_EXPANDTABS = 0x40;
constexpr unsigned DT_TABSTOP = 0x80;
constexpr unsigned DT_NOCLIP = 0x100;
constexpr unsigned DT_EXTERNALLEADING = 0x200;
constexpr unsigned DT_CALCRECT = 0x400;
constexpr unsigned DT_NOPREFIX = 0x800;
constexpr unsigned DT_INTERNAL = 0x1000;
constexpr unsigned DT_EDITCONTROL = 0x2000;
constexpr unsigned DT_PATH_ELLIPSIS = 0x4000;
constexpr unsigned DT_END_ELLIPSIS = 0x8000;
constexpr unsigned DT_MODIFYSTRING = 0x10000;
constexpr unsigned DT_RTLREADING = 0x20000;
constexpr unsigned DT_WORD_ELLIPSIS = 0x40000;
constexpr unsigned DT_NOFULLWIDTHCHARBREAK = 0x80000;
constexpr unsigned DT_HIDEPREFIX = 0x100000;
constexpr unsigned DT_PREFIXONLY = 0x200000;

struct DRAWTEXTPARAMS {
    unsigned cbSize = sizeof(DRAWTEXTPARAMS);
    int iTabLength = 0; // in average character widths; 0 means 8
    int iLeftMargin = 0;
    int iRightMargin = 0;
    unsigned uiLengthDrawn = 0; // out: characters processed
};

// --- DrawEdge ---------------------------------------------------------------------------------
constexpr unsigned BDR_RAISEDOUTER = 0x1;
constexpr unsigned BDR_SUNKENOUTER = 0x2;
constexpr unsigned BDR_RAISEDINNER = 0x4;
constexpr unsigned BDR_SUNKENINNER = 0x8;
constexpr unsigned BDR_OUTER = 0x3;
constexpr unsigned BDR_INNER = 0xC;
constexpr unsigned BDR_RAISED = 0x5;
constexpr unsigned BDR_SUNKEN = 0xA;
constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr unsigned EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

constexpr unsigned BF_LEFT = 0x1;
constexpr unsigned BF_TOP = 0x2;
constexpr unsigned BF_RIGHT = 0x4;
constexpr unsigned BF_BOTTOM = 0x8;
constexpr unsigned BF_TOPLEFT = BF_TOP | BF_LEFT;
constexpr unsigned BF_TOPRIGHT = BF_TOP | BF_RIGHT;
constexpr unsigned BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT;
constexpr unsigned BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
constexpr unsigned BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr unsigned BF_DIAGONAL = 0x10;
constexpr unsigned BF_MIDDLE = 0x800;
constexpr unsigned BF_SOFT = 0x1000;
constexpr unsigned BF_ADJUST = 0x2000;
constexpr unsigned BF_FLAT = 0x4000;
constexpr unsigned BF_MONO = 0x8000;

// --- DrawFrameControl -------------------------------------------------------------------------
constexpr unsigned DFC_CAPTION = 1;
constexpr unsigned DFC_MENU = 2;
constexpr unsigned DFC_SCROLL = 3;
constexpr unsigned DFC_BUTTON = 4;
constexpr unsigned DFC_POPUPMENU = 5;

constexpr unsigned DFCS_CAPTIONCLOSE = 0x0;
constexpr unsigned DFCS_CAPTIONMIN = 0x1;
constexpr unsigned DFCS_CAPTIONMAX = 0x2;
constexpr unsigned DFCS_CAPTIONRESTORE = 0x3;
constexpr unsigned DFCS_CAPTIONHELP = 0x4;
constexpr unsigned DFCS_MENUARROW = 0x0;
constexpr unsigned DFCS_MENUCHECK = 0x1;
constexpr unsigned DFCS_MENUBULLET = 0x2;
constexpr unsigned DFCS_MENUARROWRIGHT = 0x4;
constexpr unsigned DFCS_SCROLLUP = 0x0;
constexpr unsigned DFCS_SCROLLDOWN = 0x1;
constexpr unsigned DFCS_SCROLLLEFT = 0x2;
constexpr unsigned DFCS_SCROLLRIGHT = 0x3;
constexpr unsigned DFCS_SCROLLCOMBOBOX = 0x5;
constexpr unsigned DFCS_SCROLLSIZEGRIP = 0x8;
constexpr unsigned DFCS_SCROLLSIZEGRIPRIGHT = 0x10;
constexpr unsigned DFCS_BUTTONCHECK = 0x0;
constexpr unsigned DFCS_BUTTONRADIOIMAGE = 0x1;
constexpr unsigned DFCS_BUTTONRADIOMASK = 0x2;
constexpr unsigned DFCS_BUTTONRADIO = 0x4;
constexpr unsigned DFCS_BUTTON3STATE = 0x8;
constexpr unsigned DFCS_BUTTONPUSH = 0x10;
constexpr unsigned DFCS_INACTIVE = 0x100;
constexpr unsigned DFCS_PUSHED = 0x200;
constexpr unsigned DFCS_CHECKED = 0x400;
constexpr unsigned DFCS_TRANSPARENT = 0x800;
constexpr unsigned DFCS_HOT = 0x1000;
constexpr unsigned DFCS_ADJUSTRECT = 0x2000;
constexpr unsigned DFCS_FLAT = 0x4000;
constexpr unsigned DFCS_MONO = 0x8000;

// --- ExtTextOut options -----------------------------------------------------------------------
constexpr unsigned ETO_OPAQUE = 0x2;
constexpr unsigned ETO_CLIPPED = 0x4;
constexpr unsigned ETO_RTLREADING = 0x80;

// --- alpha blending ---------------------------------------------------------------------------
constexpr std::uint8_t AC_SRC_OVER = 0x00;
constexpr std::uint8_t AC_SRC_ALPHA = 0x01;
struct BLENDFUNCTION {
    std::uint8_t BlendOp = AC_SRC_OVER;
    std::uint8_t BlendFlags = 0;
    std::uint8_t SourceConstantAlpha = 255;
    std::uint8_t AlphaFormat = 0; // AC_SRC_ALPHA: the source has premultiplied alpha
};

// --- background modes, binary and ternary raster operations -----------------------------------
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

constexpr int R2_BLACK = 1;
constexpr int R2_NOTMERGEPEN = 2;
constexpr int R2_MASKNOTPEN = 3;
constexpr int R2_NOTCOPYPEN = 4;
constexpr int R2_MASKPENNOT = 5;
constexpr int R2_NOT = 6;
constexpr int R2_XORPEN = 7;
constexpr int R2_NOTMASKPEN = 8;
constexpr int R2_MASKPEN = 9;
constexpr int R2_NOTXORPEN = 10;
constexpr int R2_NOP = 11;
constexpr int R2_MERGENOTPEN = 12;
constexpr int R2_COPYPEN = 13;
constexpr int R2_MERGEPENNOT = 14;
constexpr int R2_MERGEPEN = 15;
constexpr int R2_WHITE = 16;

constexpr unsigned SRCCOPY = 0x00CC0020;
constexpr unsigned SRCPAINT = 0x00EE0086;
constexpr unsigned SRCAND = 0x008800C6;
constexpr unsigned SRCINVERT = 0x00660046;
constexpr unsigned SRCERASE = 0x00440328;
constexpr unsigned NOTSRCCOPY = 0x00330008;
constexpr unsigned NOTSRCERASE = 0x001100A6;
constexpr unsigned MERGECOPY = 0x00C000CA;
constexpr unsigned MERGEPAINT = 0x00BB0226;
constexpr unsigned PATCOPY = 0x00F00021;
constexpr unsigned PATPAINT = 0x00FB0A09;
constexpr unsigned PATINVERT = 0x005A0049;
constexpr unsigned DSTINVERT = 0x00550009;
constexpr unsigned BLACKNESS = 0x00000042;
constexpr unsigned WHITENESS = 0x00FF0062;

// --- regions ----------------------------------------------------------------------------------
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;
// Results of region operations.
constexpr int RGN_ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;
// Polygon fill modes.
constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;

// A set of pixels made of rectangles; a rectangle covers Left..Right-1 x Top..Bottom-1.
class TRegion {
public:
    TRegion();
    explicit TRegion(const TRect& r);
    TRegion(const TRegion& other);
    TRegion(TRegion&& other) noexcept;
    TRegion& operator=(const TRegion& other);
    TRegion& operator=(TRegion&& other) noexcept;
    ~TRegion();

    // Corners are ellipses of w x h pixels, as CreateRoundRectRgn.
    static TRegion RoundRect(const TRect& r, int w, int h);
    static TRegion Ellipse(const TRect& r);
    static TRegion Polygon(const std::vector<TPoint>& points, int fillMode = ALTERNATE);

    bool IsEmpty() const;
    TRect Bounds() const;
    bool Contains(TPoint p) const;
    bool Intersects(const TRect& r) const;
    void Offset(int dx, int dy);
    // mode: RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF (this minus other), RGN_COPY.
    TRegion Combined(const TRegion& other, int mode) const;
    // Non-overlapping rectangles, top to bottom, left to right.
    std::vector<TRect> Rects() const;
    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int Kind() const;
    friend bool operator==(const TRegion& a, const TRegion& b);

private:
    struct Impl;
    std::unique_ptr<Impl> p_;
};

// Handle-style API: a region made by Create*Rgn belongs to the caller until DeleteObject.
using HRGN = TRegion*;
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const TRect& r);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int w, int h);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreateEllipticRgnIndirect(const TRect& r);
HRGN CreatePolygonRgn(const TPoint* points, int count, int fillMode);
// dst := a op b (b is ignored for RGN_COPY); returns the region kind, RGN_ERROR on bad input.
int CombineRgn(HRGN dst, HRGN a, HRGN b, int mode);
bool SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);
bool PtInRegion(HRGN rgn, int x, int y);
bool RectInRegion(HRGN rgn, const TRect& r);
bool EqualRgn(HRGN a, HRGN b);
int GetRgnBox(HRGN rgn, TRect& box);
int OffsetRgn(HRGN rgn, int dx, int dy);
bool DeleteObject(HRGN rgn);
