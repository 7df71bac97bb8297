#pragma once
// Drawing routines shared by the drop-down controls.
#include "platform/gfx/Graphics.h"

// Copies Bitmap into R with every pixel of the colour of its pixel (0, 0) replaced by BkColor.
void DrawGlyphTransparent(TCanvas* Canvas, const TBitmap* Bitmap, TColor BkColor, const TRect& R);
