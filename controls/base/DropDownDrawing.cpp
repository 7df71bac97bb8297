#include "controls/base/DropDownDrawing.h"

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
