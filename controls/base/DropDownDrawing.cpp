#include "controls/base/DropDownDrawing.h"

#include "grid/render/ControlLook.h"
#include "grid/render/markup/MarkupRender.h"
#include "platform/base/SysUtils.h"
#include "platform/gfx/ImageList.h"

#include <algorithm>
#include <cmath>

namespace {

// To the nearest integer, halves to the even neighbour.
int roundEven(double v) {
    return int(std::nearbyint(v));
}

} // namespace

TColor BlendColor(TColor Color1, TColor Color2, int Percent) {
    if (Percent >= 100) return Color1;
    if (Percent <= 0) return Color2;
    const TColor a = ColorToRGB(Color1), b = ColorToRGB(Color2);
    const double p = Percent / 100.0;
    auto mix = [p](int x, int y) { return roundEven(p * x + (1 - p) * y); };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
               mix(GetBValue(a), GetBValue(b)));
}

TColor AdjustColorChannels(TColor Color, int RedPct, int GreenPct, int BluePct) {
    const TColor c = ColorToRGB(Color);
    auto adjust = [](int channel, int pct) {
        if (channel == 0) return std::max(0, pct);
        return std::clamp(roundEven(std::min(100, pct + 100) / 100.0 * channel), 0, 255);
    };
    return RGB(adjust(GetRValue(c), RedPct), adjust(GetGValue(c), GreenPct),
               adjust(GetBValue(c), BluePct));
}

void DrawFilledRect(TCanvas* Canvas, const TRect& R, TColor Color, bool Vertical, int BorderWidth,
                    TColor BorderColor, TColor ColorTo) {
    if (ColorTo != clNone) {
        DrawGradientRect(*Canvas, Color, ColorTo, 80, R, !Vertical);
    } else if (Color != clNone) {
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(Color);
        Canvas->FillRect(R);
    }
    if (BorderColor == clNone || BorderWidth <= 0) return;
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Pen()->SetStyle(psSolid);
    Canvas->Pen()->SetWidth(BorderWidth);
    Canvas->Pen()->SetColor(BorderColor);
    Canvas->Rectangle(R);
    Canvas->Pen()->SetWidth(1);
}

void DrawImageText(TCanvas* Canvas, const TRect& R, const std::string& Text, int ImageIndex,
                   const TImageList* Images) {
    TRect text = R;
    const bool image = ImageIndex >= 0 && Images;
    if (image) {
        Images->Draw(Canvas, R.Left + 4, R.Top + (R.Height() - Images->Height()) / 2, ImageIndex);
        text.Left = R.Left + Images->Width() + 8;
    }
    SetBkMode(Canvas, TRANSPARENT);
    DrawText(Canvas, Text, -1, text,
             DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX |
                 (image ? DT_LEFT : DT_CENTER));
}

void DrawGlyphTransparent(TCanvas* Canvas, const TBitmap* Bitmap, TColor BkColor, const TRect& R) {
    if (!Canvas || !Bitmap || Bitmap->Empty()) return;
    TBitmap copy;
    copy.Assign(Bitmap);
    const TColor key = Bitmap->PixelColor(0, 0);
    TCanvas* c = copy.Canvas();
    for (int y = 0; y < copy.Height(); ++y)
        for (int x = 0; x < copy.Width(); ++x)
            if (copy.PixelColor(x, y) == key) c->SetPixels(x, y, BkColor);
    const int saved = SaveDC(Canvas);
    IntersectClipRect(Canvas, R.Left, R.Top, R.Right, R.Bottom);
    Canvas->Draw(R.Left, R.Top, &copy);
    RestoreDC(Canvas, saved);
}

TSize MeasureText(TCanvas* Canvas, const std::string& Text) {
    if (Text.empty()) return {0, 0};
    TRect r{0, 0, 1000, 500};
    DrawText(Canvas, Text, -1, r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return {r.Width(), r.Height()};
}

std::string FitText(TCanvas* Canvas, const std::string& Text, int MaxWidth, bool Ellipsis) {
    if (Canvas->TextWidth(Text) <= MaxWidth) return Text;
    std::u32string chars = Utf8ToUtf32(Text);
    const std::string tail = Ellipsis ? "..." : "";
    std::string fitted = Text + tail;
    while (!chars.empty()) {
        chars.pop_back();
        fitted = Utf32ToUtf8(chars) + tail;
        if (Canvas->TextWidth(fitted) < MaxWidth) break;
    }
    return fitted;
}

TSize DrawMarkupText(TCanvas* Canvas, const std::string& Text, const TRect& R, HWND Window,
                     bool Draw, TImageList* ImageList) {
    if (Text.empty()) return {0, 0};
    HTMLRenderOptions options;
    options.MeasureOnly = !Draw;
    options.ThemeWindow = Window;
    options.ImageList = ImageList;
    options.ShadowColor = TColor(0x808080);
    options.LinkColor = TColor(0xFF0000);
    HTMLRenderResult result;
    HTMLRenderText(*Canvas, Text, R, options, result);
    return {result.MaxLineWidth, result.TotalHeight};
}

void TWinCtrl::PaintCtrls(TWinControl* Control, HDC DC, TControl* First) {
    (Control->*(&TWinCtrl::PaintControls))(DC, First);
}
