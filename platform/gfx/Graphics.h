#pragma once
// Fonts, pens, brushes, the canvas with device-context semantics, and bitmaps.
// Geometry is exact integer pixels without antialiasing: Rectangle(0, 0, 10, 10) covers 0..9,
// LineTo does not draw its end point. 96 dots per inch.
#include "platform/base/Classes.h"
#include "platform/base/Types.h"
#include "platform/gfx/Gdi.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class TCanvas;
class TBitmap;
class TGraphic;
using HDC = TCanvas*;
namespace gfx {
class Raster;
}

constexpr int ScreenPixelsPerInch = 96;
// What GetPixel answers outside the surface or the clip.
constexpr TColor CLR_INVALID = TColor(-1);

// --- font ------------------------------------------------------------------------------------
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
class TFontStyles {
public:
    TFontStyles() = default;
    TFontStyles(std::initializer_list<TFontStyle> styles) {
        for (auto s : styles) Include(s);
    }
    bool Contains(TFontStyle s) const { return bits_ & (1u << unsigned(s)); }
    void Include(TFontStyle s) { bits_ |= 1u << unsigned(s); }
    void Exclude(TFontStyle s) { bits_ &= ~(1u << unsigned(s)); }
    bool Empty() const { return bits_ == 0; }
    unsigned Bits() const { return bits_; }
    friend bool operator==(const TFontStyles&, const TFontStyles&) = default;

private:
    unsigned bits_ = 0;
};

enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = std::uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;
constexpr TFontCharset SYMBOL_CHARSET = 2;
enum TFontQuality { fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType };

// Metrics of the selected font, as GetTextMetrics reports them.
struct TTextMetric {
    int tmHeight = 0;
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0;
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
};

class TFont : public TPersistent {
public:
    TFont();
    ~TFont() override;
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    const std::string& Name() const { return name_; }
    void SetName(const std::string& v);
    // Pixels; negative is the character height (without internal leading).
    int Height() const { return height_; }
    void SetHeight(int v);
    // Points at 96 dpi: Size = -Height * 72 / 96.
    int Size() const;
    void SetSize(int points);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles v);
    TColor Color() const { return color_; }
    void SetColor(TColor v);
    // Tenths of a degree, counter-clockwise.
    int Orientation() const { return orientation_; }
    void SetOrientation(int v);
    TFontCharset Charset() const { return charset_; }
    void SetCharset(TFontCharset v);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch v);
    TFontQuality Quality() const { return quality_; }
    void SetQuality(TFontQuality v);
    int PixelsPerInch() const { return ScreenPixelsPerInch; }

    // The installed family the name resolves to ("Verdana" -> "DejaVu Sans").
    std::string ResolvedFamily() const;
    bool IsEqual(const TFont& other) const;

    void Assign(const TPersistent* Source) override;
    TNotifyEvent OnChange;

private:
    void changed();
    std::string name_ = "Tahoma";
    int height_ = -11;
    TFontStyles style_;
    TColor color_ = clWindowText;
    int orientation_ = 0;
    TFontCharset charset_ = DEFAULT_CHARSET;
    TFontPitch pitch_ = fpDefault;
    TFontQuality quality_ = fqDefault;
};

// --- pen and brush ---------------------------------------------------------------------------
enum TPenStyle {
    psSolid,
    psDash,
    psDot,
    psDashDot,
    psDashDotDot,
    psClear,
    psInsideFrame,
    psUserStyle,
    psAlternate
};
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};
// The binary raster operation (R2_*) of a pen mode.
int PenModeToRop2(TPenMode mode);

class TPen : public TPersistent {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor v);
    int Width() const { return width_; }
    void SetWidth(int v);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle v);
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode v);
    void Assign(const TPersistent* Source) override;
    TNotifyEvent OnChange;

private:
    void changed();
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
};

enum TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

class TBrush : public TPersistent {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor v);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle v);
    // An 8 x 8 pattern (top-left part of the bitmap), not owned; overrides Style while set.
    TBitmap* Bitmap() const { return bitmap_; }
    void SetBitmap(TBitmap* v);
    void Assign(const TPersistent* Source) override;
    TNotifyEvent OnChange;

private:
    void changed();
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
    TBitmap* bitmap_ = nullptr;
};

// --- text format of TextRect ------------------------------------------------------------------
enum TTextFormats {
    tfBottom,
    tfCalcRect,
    tfCenter,
    tfEditControl,
    tfEndEllipsis,
    tfPathEllipsis,
    tfExpandTabs,
    tfExternalLeading,
    tfLeft,
    tfModifyString,
    tfNoClip,
    tfNoPrefix,
    tfRight,
    tfRtlReading,
    tfSingleLine,
    tfTop,
    tfVerticalCenter,
    tfWordBreak,
    tfHidePrefix,
    tfNoFullWidthCharBreak,
    tfPrefixOnly,
    tfTabStop,
    tfWordEllipsis
};
class TTextFormat {
public:
    TTextFormat() = default;
    TTextFormat(std::initializer_list<TTextFormats> items) {
        for (auto i : items) Include(i);
    }
    bool Contains(TTextFormats f) const { return bits_ & (1u << unsigned(f)); }
    void Include(TTextFormats f) { bits_ |= 1u << unsigned(f); }
    void Exclude(TTextFormats f) { bits_ &= ~(1u << unsigned(f)); }
    // The DT_ flags the set stands for.
    unsigned ToDrawTextFlags() const;

private:
    unsigned bits_ = 0;
};

enum TFillStyle { fsSurface, fsBorder };

// The CopyMode of a canvas is a ternary raster operation code.
using TCopyMode = unsigned;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmDstInvert = DSTINVERT;
constexpr TCopyMode cmMergeCopy = MERGECOPY;
constexpr TCopyMode cmMergePaint = MERGEPAINT;
constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
constexpr TCopyMode cmPatCopy = PATCOPY;
constexpr TCopyMode cmPatInvert = PATINVERT;
constexpr TCopyMode cmPatPaint = PATPAINT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcErase = SRCERASE;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmWhiteness = WHITENESS;

// --- canvas ----------------------------------------------------------------------------------
// A drawing surface over a TBitmap. Coordinates are logical: device = logical - window origin
// + viewport origin. The clip region is kept in device coordinates, as the model keeps it.
class TCanvas : public TPersistent {
public:
    // target nullptr: a canvas that only measures text and draws nothing.
    explicit TCanvas(TBitmap* target);
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TBitmap* Target() const { return target_; }
    HDC Handle() { return this; }
    TPen* Pen() { return &pen_; }
    TBrush* Brush() { return &brush_; }
    TFont* Font() { return &font_; }
    TPoint PenPos() const { return penPos_; }
    void SetPenPos(TPoint p) { penPos_ = p; }
    TCopyMode CopyMode() const { return copyMode_; }
    void SetCopyMode(TCopyMode v) { copyMode_ = v; }
    // The clip box in logical coordinates; the whole bitmap when nothing clips.
    TRect ClipRect() const;
    // ETO_ options for TextOut, as the model's TextFlags (ETO_OPAQUE fills the text cell).
    unsigned TextFlags() const { return textFlags_; }
    void SetTextFlags(unsigned v) { textFlags_ = v; }

    // Lines: the end point is not drawn.
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polyline(const std::vector<TPoint>& points);
    void PolyBezier(const std::vector<TPoint>& points);
    // Shapes: outline with the pen, inside with the brush; right and bottom are exclusive.
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    void RoundRect(const TRect& r, int cx, int cy) {
        RoundRect(r.Left, r.Top, r.Right, r.Bottom, cx, cy);
    }
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void Polygon(const std::vector<TPoint>& points);
    // Arc/Pie/Chord of the ellipse in the box, counter-clockwise from (x3,y3) to (x4,y4).
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void FillRect(const TRect& r);
    // One-pixel frame in the brush colour.
    void FrameRect(const TRect& r);
    // Dotted frame drawn with XOR; drawing it twice restores the pixels.
    void DrawFocusRect(const TRect& r);

    // CLR_INVALID outside the bitmap or the clip.
    TColor Pixels(int x, int y) const;
    void SetPixels(int x, int y, TColor c);
    // fsSurface fills the area of colour c around (x,y); fsBorder fills up to the colour c.
    void FloodFill(int x, int y, TColor c, TFillStyle style);

    // Text: the font colour; the background follows the brush (solid: opaque) unless
    // SetBkMode was called since the brush last changed.
    void TextOut(int x, int y, const std::string& text);
    void TextRect(const TRect& r, int x, int y, const std::string& text);
    void TextRect(TRect& r, std::string& text, TTextFormat format);
    int TextWidth(const std::string& text);
    int TextHeight(const std::string& text);
    TSize TextExtent(const std::string& text);

    void Draw(int x, int y, const TGraphic* graphic);
    void Draw(int x, int y, const TGraphic* graphic, std::uint8_t opacity);
    void StretchDraw(const TRect& r, const TGraphic* graphic);
    // Copies source's rectangle with CopyMode, stretching when the sizes differ.
    void CopyRect(const TRect& dest, TCanvas* source, const TRect& src);
    // Copies the bitmap, replacing `color` with the brush colour.
    void BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& src, TColor color);

    // Called around every drawing operation (the ui layer repaints what changed).
    TNotifyEvent OnChanging;
    TNotifyEvent OnChange;

    // Device-context state; the free functions below (SetBkMode, SaveDC ...) use these.
    struct State;
    State& DcState();
    const State& DcState() const;
    void Changing();
    void Changed();

private:
    TBitmap* target_;
    TPen pen_;
    TBrush brush_;
    TFont font_;
    TPoint penPos_;
    TCopyMode copyMode_ = cmSrcCopy;
    unsigned textFlags_ = 0;
    std::unique_ptr<State> state_;
};

// --- device-context functions (HDC is a canvas) ------------------------------------------------
// Returns the height of the text; DT_CALCRECT only measures (Right and Bottom are set).
int DrawText(HDC dc, const std::string& text, int count, TRect& rect, unsigned format);
// text is updated with DT_MODIFYSTRING and an ellipsis flag.
int DrawTextEx(HDC dc, std::string& text, int count, TRect& rect, unsigned format,
               DRAWTEXTPARAMS* params);
bool DrawEdge(HDC dc, TRect& rect, unsigned edge, unsigned flags);
bool DrawFrameControl(HDC dc, TRect& rect, unsigned type, unsigned state);
bool DrawFocusRect(HDC dc, const TRect& rect);
bool FillRect(HDC dc, const TRect& rect, TColor color);
bool FrameRect(HDC dc, const TRect& rect, TColor color);
// Fills rect with a linear gradient (left to right, or top to bottom when vertical).
void GradientFillRect(HDC dc, const TRect& rect, TColor from, TColor to, bool vertical);

int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
TColor SetBkColor(HDC dc, TColor color);
TColor GetBkColor(HDC dc);
TColor SetTextColor(HDC dc, TColor color);
TColor GetTextColor(HDC dc);
int SetROP2(HDC dc, int rop2);
int GetROP2(HDC dc);
bool GetTextExtentPoint32(HDC dc, const std::string& text, int count, TSize& size);
bool GetTextMetrics(HDC dc, TTextMetric& tm);

// Saves the clip, origins, colours and background mode; RestoreDC(-1) restores the last.
int SaveDC(HDC dc);
bool RestoreDC(HDC dc, int saved);
bool SetWindowOrgEx(HDC dc, int x, int y, TPoint* old);
bool GetWindowOrgEx(HDC dc, TPoint& p);
bool SetViewportOrgEx(HDC dc, int x, int y, TPoint* old);
bool GetViewportOrgEx(HDC dc, TPoint& p);
bool OffsetWindowOrgEx(HDC dc, int dx, int dy, TPoint* old);
// Moves the window origin by (dx, dy), as the model's MoveWindowOrg.
void MoveWindowOrg(HDC dc, int dx, int dy);
bool LPtoDP(HDC dc, TPoint* points, int count);
bool DPtoLP(HDC dc, TPoint* points, int count);

// rgn is in device coordinates and is copied; nullptr removes the clip.
int SelectClipRgn(HDC dc, HRGN rgn);
int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode);
// Logical coordinates.
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int OffsetClipRgn(HDC dc, int dx, int dy);
// Logical coordinates; returns the region kind.
int GetClipBox(HDC dc, TRect& box);
// 1 and a copy of the clip in rgn, 0 when nothing clips.
int GetClipRgn(HDC dc, HRGN rgn);
bool PtVisible(HDC dc, int x, int y);
bool RectVisible(HDC dc, const TRect& r);

bool BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, unsigned rop);
bool StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                unsigned rop);
// Source pixels where the mask (black = 0) selects the background raster operation, the others
// the foreground one; rop4 = MAKEROP4(fore, back). mask nullptr: the foreground operation.
bool MaskBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, const TBitmap* mask,
             int mx, int my, unsigned rop4);
constexpr unsigned MAKEROP4(unsigned fore, unsigned back) {
    return ((back << 8) & 0xFF000000u) | fore;
}
// Blends src over dst, stretching; with AC_SRC_ALPHA the source alpha is premultiplied.
bool AlphaBlend(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                BLENDFUNCTION blend);
// Copies src without the pixels of the transparent colour, stretching.
bool TransparentBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                    TColor transparent);
// Moves the pixels of scroll (logical; nullptr: all) by (dx, dy) inside clip; update and
// updateRect (optional) receive the uncovered area.
bool ScrollDC(HDC dc, int dx, int dy, const TRect* scroll, const TRect* clip, HRGN update,
              TRect* updateRect);
// Text with ETO_OPAQUE (fill rect with the background colour) and ETO_CLIPPED (clip to rect).
bool ExtTextOut(HDC dc, int x, int y, unsigned options, const TRect* rect, const std::string& text,
                int count);
// Origin of 8 x 8 brush patterns, in device pixels.
bool SetBrushOrgEx(HDC dc, int x, int y, TPoint* old);
bool GetBrushOrgEx(HDC dc, TPoint& p);
// Raster operation between the brush pattern and the destination.
bool PatBlt(HDC dc, int x, int y, int w, int h, unsigned rop);
bool InvertRect(HDC dc, const TRect& r);

// --- graphics --------------------------------------------------------------------------------
class TGraphic : public TPersistent {
public:
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int) {}
    virtual void SetHeight(int) {}
    virtual bool Empty() const { return Width() == 0 || Height() == 0; }
    bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool v);

    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) const = 0;
    // Raises EFOpenError / EInvalidGraphic; saving writes a temporary file and renames it.
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path) const;

    // The picture as 32-bit pixels (straight alpha when HasAlpha); nullptr when empty.
    virtual const TBitmap* Frame() const = 0;
    // Per-pixel alpha is used when drawing.
    virtual bool HasAlpha() const { return false; }
    // Draws stretched into rect on the canvas (the canvas calls this).
    virtual void Draw(TCanvas* canvas, const TRect& rect, std::uint8_t opacity = 255) const;

    TNotifyEvent OnChange;

protected:
    void Changed();
    // Counts changes and hand-outs of writable pixels, so that drawing code can tell that the
    // pixels are still as it left them.
    std::uint64_t changeStamp_ = 0;

private:
    bool transparent_ = false;
};

class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// The most pixels a decoded picture may have (8192 x 8192), and the lower bound of a picture
// read from a file by LoadFromFile (4096 x 4096); no side may exceed 32768 pixels.
constexpr std::int64_t MaxPicturePixels = std::int64_t(1) << 26;
constexpr std::int64_t MaxFilePicturePixels = std::int64_t(1) << 24;
// Whether a picture of width x height may be decoded on this thread now.
bool PictureSizeAllowed(int width, int height);
// Raises EInvalidGraphic ("<what> image is not valid") unless PictureSizeAllowed.
void CheckPictureSize(int width, int height, const std::string& what);

enum TPixelFormat {
    pfDevice,
    pf1bit,
    pf4bit,
    pf8bit,
    pf15bit,
    pf16bit,
    pf24bit,
    pf32bit,
    pfCustom
};
enum TTransparentMode { tmAuto, tmFixed };
enum TAlphaFormat { afIgnored, afDefined, afPremultiplied };

// Pixels are stored as 32-bit words 0xAARRGGBB (bytes B, G, R, A), top row first, whatever the
// pixel format; pf32bit keeps the alpha byte, the others keep it at 0xFF.
class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int width, int height);
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetWidth(int v) override { SetSize(v, height_); }
    void SetHeight(int v) override { SetSize(width_, v); }
    // Keeps the pixels that still fit; new pixels are white.
    void SetSize(int width, int height);
    TPixelFormat PixelFormat() const { return pixelFormat_; }
    void SetPixelFormat(TPixelFormat v);
    TAlphaFormat AlphaFormat() const { return alphaFormat_; }
    void SetAlphaFormat(TAlphaFormat v) { alphaFormat_ = v; }

    TCanvas* Canvas();
    // Row y as 4 bytes per pixel (B, G, R, A).
    std::uint8_t* ScanLine(int y);
    const std::uint8_t* ScanLine(int y) const;
    // The pixel buffer for display: Height() rows of Stride32() words, 0xAARRGGBB.
    std::uint32_t* Pixels32() {
        ++changeStamp_;
        return pixels_.data();
    }
    const std::uint32_t* Pixels32() const { return pixels_.data(); }
    int Stride32() const { return width_; }
    TColor PixelColor(int x, int y) const;

    // Transparent colour: with tmAuto, the bottom-left pixel's colour.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor v);
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode v) { transparentMode_ = v; }

    // BMP (1, 4, 8, 16, 24, 32 bits uncompressed or bit fields, RLE4/RLE8 on read).
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;

    const TBitmap* Frame() const override { return Empty() ? nullptr : this; }
    bool HasAlpha() const override { return pixelFormat_ == pf32bit && alphaFormat_ != afIgnored; }
    void Draw(TCanvas* canvas, const TRect& rect, std::uint8_t opacity = 255) const override;
    // Copies the pixels and formats of another TBitmap or any graphic.
    void Assign(const TPersistent* Source) override;
    // Called after code changed pixels through ScanLine or Pixels32.
    void Modified() { Changed(); }

private:
    friend class TCanvas;
    friend class gfx::Raster;
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
    TPixelFormat pixelFormat_ = pfDevice;
    TAlphaFormat alphaFormat_ = afIgnored;
    TColor transparentColor_ = clDefault;
    TTransparentMode transparentMode_ = tmAuto;
    std::unique_ptr<TCanvas> canvas_;
};

// Writes the bitmap as an RGB PNG (RGBA for pf32bit with alpha), through libpng.
void SavePng(const TBitmap& bitmap, const std::string& path);
