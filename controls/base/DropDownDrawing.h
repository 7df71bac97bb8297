#pragma once
// Drawing routines shared by the drop-down controls.
#include "platform/gfx/Graphics.h"
#include "platform/ui/core/Controls.h"
#include "platform/ui/core/Messages.h"

#include <string>

class TImageList;

// Percent 100 or more gives Color1, 0 or less Color2; otherwise each channel is Percent % of
// Color1's and the rest of Color2's (system colours taken as RGB), halves to the even neighbour.
TColor BlendColor(TColor Color1, TColor Color2, int Percent);
// A non-zero channel is scaled to min(100, Pct + 100) %, a zero channel becomes max(0, Pct): a
// negative percentage darkens, a positive one lifts only empty channels.
TColor AdjustColorChannels(TColor Color, int RedPct, int GreenPct, int BluePct);
// ColorTo set: an 80-band gradient (left to right unless Vertical); else Color set: a solid
// fill. Then, with a border colour and a positive width, a frame of that pen width.
void DrawFilledRect(TCanvas* Canvas, const TRect& R, TColor Color, bool Vertical, int BorderWidth,
                    TColor BorderColor, TColor ColorTo);
// The image (index 0 or more, with a list) at left + 4, vertically centred, and the text on one
// line with an end ellipsis: centred without an image, left-aligned after it.
void DrawImageText(TCanvas* Canvas, const TRect& R, const std::string& Text, int ImageIndex,
                   const TImageList* Images);
// Copies Bitmap into R with every pixel of the colour of its pixel (0, 0) replaced by BkColor.
void DrawGlyphTransparent(TCanvas* Canvas, const TBitmap* Bitmap, TColor BkColor, const TRect& R);
// Width and height of Text on one line; 0 x 0 for an empty text.
TSize MeasureText(TCanvas* Canvas, const std::string& Text);
// Text when it is at most MaxWidth wide; otherwise Text cut one character at a time from its
// end ("..." appended when Ellipsis) until it is narrower than MaxWidth.
std::string FitText(TCanvas* Canvas, const std::string& Text, int MaxWidth, bool Ellipsis);
// Draws (or, Draw false, only measures) markup text in R and gives its width and height; 0 x 0
// for an empty text.
TSize DrawMarkupText(TCanvas* Canvas, const std::string& Text, const TRect& R, HWND Window,
                     bool Draw, TImageList* ImageList);

// Opens a windowed control's painting of its windowless children to other classes.
class TWinCtrl : public TWinControl {
public:
    // Paints Control's windowless children, from First on (all when nullptr), on DC.
    static void PaintCtrls(TWinControl* Control, HDC DC, TControl* First);
};
