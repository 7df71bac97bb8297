#pragma once
// Drawing routines of the tree that keep no state: alpha blending of 32-bit bitmaps, rectangle
// helpers, text measuring, shortening and wrapping, stretched and greyed image drawing, and the
// rectangles of a moving drag picture. They need a canvas, not a window.
#include "platform/gfx/Graphics.h"
#include "platform/gfx/ImageList.h"

#include <array>
#include <cstdint>
#include <string>

// Whether blending is available; set once by the tree's process-wide set-up.
extern bool CpuMMXPresent;
// Whether the system counts as version 6 or later (the newer look of the tree's elements).
extern bool WindowsVistaOrLater;

// True: the line blenders below are plain C++ and work on every processor.
bool CpuHasMMX();

enum TAlphaBlendMode { abConstant, abPerPixel, abMaster, abMasterAndColor };

// Blends the rows of R in Source onto Destination at Target (abMasterAndColor: the rows of R in
// Destination with the colour Bias). Both canvases must draw on 32-bit bitmaps.
void BlendRect(HDC Source, HDC Destination, const TRect& R, TPoint Target, TAlphaBlendMode Mode,
               int ConstantAlpha, int Bias);

// Per byte: D = ((S * A + D * (256 - A)) >> 8) + Bias, clamped to 0..255. Pixels are B, G, R, A.
void BlendLineConstant(const std::uint8_t* Source, std::uint8_t* Destination, int Count, int Bias,
                       int ConstantAlpha);
void BlendLinePerPixel(const std::uint8_t* Source, std::uint8_t* Destination, int Count, int Bias);
void BlendLineMaster(const std::uint8_t* Source, std::uint8_t* Destination, int Count, int Bias,
                     int ConstantAlpha);
// D = (C * A + D * (256 - A)) >> 8 with C the byte of Color (0x00BBGGRR) for the channel.
void BlendLineMasterColor(std::uint8_t* Destination, int Count, int ConstantAlpha, TColor Color);
// Nothing to clear for the portable blenders; kept so that callers end a blend in one place.
void EndMMX();

// The pixels of the bitmap DC draws on; Height is negative for top-down rows (always here).
std::uint8_t* DIBSectionBits(HDC DC, int& Width, int& Height);
std::uint8_t* ScanLineAddress(std::uint8_t* Bits, int Width, int Height, int Row);

TRect SortRectCorners(TRect R);
// Clips Canvas to ClipRect (logical), intersected with VisibleRegion when one is given.
void ClipToRect(TCanvas* Canvas, const TRect& ClipRect, HRGN VisibleRegion = nullptr);

void MeasureTextBounds(HDC DC, const std::string& Text, TRect& Bounds, unsigned Format);
// S cut to fit Width with "..." appended; empty when not even the ellipsis fits.
std::string ShortenToWidth(HDC DC, const std::string& S, int Width, int EllipsisWidth);
// Text broken into lines (separated by "\n") that fit the width of Bounds.
std::string WrapTextLines(HDC DC, const std::string& Text, const TRect& Bounds, unsigned Format,
                          bool RightToLeft);

void DrawStretchedDIB(TCanvas* Canvas, const TRect& R, const TBitmap* Bitmap);

constexpr std::uint32_t CLR_NONE = 0xFFFFFFFF;
constexpr std::uint32_t CLR_DEFAULT = 0xFF000000;
std::uint32_t ColorToImageListColor(TColor Color);
void DrawListImage(const TImageList* ImageList, int Index, TCanvas* Canvas, int X, int Y,
                   TDrawingStyle Style, bool Enabled);
void DrawImageGreyed(const TImageList* ImageList, TCanvas* Canvas, int X, int Y, int Index);

// Rectangles for moving a Width x Height drag picture by (DX, DY): [0] the picture, [1] the part
// that stays under the picture, [2] the vertical strip that is uncovered, [3] the vertical strip
// that is newly covered, [4] and [5] the same horizontal strips (in [2] and [3] when the move
// is purely vertical). Strips are (x, y, width, height): their last two fields are sizes.
std::array<TRect, 6> SplitDragMove(int Width, int Height, int DX, int DY);
