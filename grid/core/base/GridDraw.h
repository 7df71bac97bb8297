#pragma once
// Free drawing routines of the grid painters: gradients, selection frames, progress bars and
// pies, range indicators, shapes, error markers, cell buttons and bitmaps.
#include "grid/core/base/GridTheme.h"
#include "platform/gfx/Graphics.h"

#include <string>

enum TCellShape {
    csRectangle,
    csCircle,
    csTriangleLeft,
    csTriangleRight,
    csTriangleUp,
    csTriangleDown,
    csDiamond,
    csLineVert,
    csLineHorz,
    csRoundRect,
    csEllips,
    csSquare,
    csRoundSquare,
    csStar,
    csArrowUp,
    csArrowDown,
    csArrowLeft,
    csArrowRight,
    csHalfStar
};

// Colours and limits of the four progress levels and the rest of a progress look.
struct TProgressLook {
    TColor Level0Color = clLime;
    TColor Level0ColorTo = clNone;
    TColor Level1Color = clYellow;
    TColor Level1ColorTo = clNone;
    TColor Level2Color = 0x00A5FF;
    TColor Level2ColorTo = clNone;
    TColor Level3Color = clRed;
    TColor Level3ColorTo = clNone;
    int Level1Perc = 70;
    int Level2Perc = 90;
    TColor BorderColor = clBlack;
    bool ShowBorder = true;
    bool Stacked = false;
    bool ShowPercentage = true;
    std::string FontName = "Tahoma";
    int FontSize = 8;
    TFontStyles FontStyle;
    TColor FontColor = clBlack;
    bool CompletionSmooth = true;
    bool ShowGradient = false;
    int Steps = 16;
    TColor BackgroundColor = clWhite;
    bool Vertical = false;
};

// The cell-button routines take a look (0 visual style, 1 classic frame control, 2 flat frame
// control, 3 own drawing in the colour tones) and a state (0 normal, 1 hot, 2 down, 3 disabled).

void DrawGradient(TCanvas& Canvas, TColor FromColor, TColor ToColor, int Steps, TRect R,
                  bool Horizontal);
void DrawGradientCell(TCanvas& Canvas, TRect R, TColor Color, TColor ColorTo, TColor MirrorColor,
                      TColor MirrorColorTo, bool Vertical, TColor BorderColor, bool SidesOnly,
                      bool Fill);
// Kind: 0 single cell, 1 left end, 2 right end, 3 middle piece.
void DrawSelectionFrame(TCanvas& Canvas, TColor Color, TColor ColorTo, TColor MirrorColor,
                        TColor MirrorColorTo, TColor InnerTopColor, TColor InnerBottomColor,
                        TColor BorderColor, TColor CornerColor, TColor BackgroundColor, TRect R,
                        int Kind);
TColor InterpolateColor(TColor Color1, TColor Color2, int Start, int End, int Offset);
TColor HalfColor(TColor Color);
// Each component scaled by 100 + Percentage percent, limited to 0..255.
TColor ScaleColorPercent(TColor Color, int Percentage);
void FillRectColor(TCanvas& Canvas, const TRect& R, TColor Color);
// R mirrored within the horizontal span of Within (right-to-left layouts).
inline TRect MirrorWithin(const TRect& R, const TRect& Within) {
    return {Within.Left + Within.Right - R.Right, R.Top, Within.Left + Within.Right - R.Left,
            R.Bottom};
}
void DrawDownArrow(TCanvas& Canvas, int X, int Y, TColor Color);
void DrawBitmapTransparent(TCanvas& Canvas, TBitmap& Bitmap, TColor BackgroundColor,
                           const TRect& R);
// Bitmaps the program keeps under resource names (not owned; nullptr removes the name).
void RegisterResourceBitmap(const std::string& Name, TBitmap* Bitmap);
// Nothing is drawn when no bitmap has that name.
void DrawResourceBitmap(TCanvas& Canvas, TColor BackgroundColor, const TRect& R,
                        const std::string& Name);
// Red zig-zag under characters Start .. Start + Length - 1 (0-based) of a single-line text drawn
// at the rectangle's top-left in the canvas font.
void DrawErrorMarker(TCanvas& Canvas, const std::string& Text, const TRect& R, int Offset,
                     int Start, int Length);
void DrawRangeIndicator(TCanvas& Canvas, TRect R, int Value, int Range, bool ShowValue,
                        TColor NegColor, TColor PosColor);
void DrawProgressBar(TCanvas& Canvas, TRect R, TColor DoneColor, TColor DoneTextColor,
                     TColor RemainingColor, TColor RemainingTextColor, double Position, int MarginX,
                     int MarginY, int Minimum, int Maximum, const std::string& Fmt,
                     TColor BorderColor, bool InvertedY);
void DrawProgressPie(TCanvas& Canvas, const TRect& R, TColor FillColor, int Percentage,
                     bool InvertedY);
void DrawCellProgress(TCanvas& Canvas, TRect R, int Percentage, const TProgressLook& Look);
void DrawCellShape(TCanvas& Canvas, int X, int Y, int W, int H, TCellShape Shape, TColor FillColor,
                   TColor PenColor);
void DrawComboButton(TCanvas& Canvas, HWND Wnd, TRect R, int Look, int State,
                     const TColorTones& Tones);
void DrawCellButton(TCanvas& Canvas, HWND Wnd, TRect R, int Look, int State,
                    const TColorTones& Tones);
void DrawSpinButtons(TCanvas& Canvas, HWND Wnd, TRect R, int Look, int State,
                     const TColorTones& Tones);
// The layered-window functions looked up by name at each call; True without a call when the
// platform does not offer the function.
bool DynUpdateLayeredWindow(HWND Wnd, HDC DstDC, TPoint* DstPos, TSize* Size, HDC SrcDC,
                            TPoint* SrcPos, TColor Key, BLENDFUNCTION* Blend, DWORD Flags);
bool DynSetLayeredWindowAttributes(HWND Wnd, TColor Key, std::uint8_t Alpha, DWORD Flags);

// C1 weighted by Percent against C2 (100 or more: C1; below 1: C2); clNone gives the other.
TColor MixColors(TColor C1, TColor C2, int Percent);
// C1 unless DoMix.
TColor MixColorsIf(TColor C1, TColor C2, bool DoMix, int Percent);
