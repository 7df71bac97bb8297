#pragma once
// Pixel work of the focus indication: the Gaussian blur of a rounded-rectangle mask and the
// merge of a grey mask with a picture into premultiplied alpha pixels. Rows are reached
// through a scan-line function giving 4 bytes per pixel (blue, green, red, alpha).
#include "platform/gfx/Graphics.h"

#include <cstdint>
#include <functional>
#include <vector>

using TScanLineFunc = std::function<std::uint8_t*(int y)>;

// The 2s + 1 weights of the blur for a radius, normalised; s shrinks while the dropped tail
// weighs less than 1/510. Empty for a radius of 0 or below.
std::vector<float> BlurKernel(double Radius);

// Blurs blue, green and red. Rows 0..20 and from Height - 20 on are filtered, the rows between
// become copies of row 15; the columns likewise with column 15. A radius of 0 or below leaves
// the pixels as they are.
void GaussianBlurPixels(const TScanLineFunc& ScanLine, int Width, int Height, double Radius);

// Dest pixel = Source blue, green, red times alpha / 255 (rounded), then alpha, where alpha is
// the red byte of the Mask pixel.
void MergeMaskPixels(const TScanLineFunc& Mask, const TScanLineFunc& Source,
                     const TScanLineFunc& Dest, int Width, int Height);

// Raises "Blur only works for 24-bit bitmaps" for any other pixel format.
void GaussianBlur(TBitmap* Bitmap, double Radius);

// A 24-bit mask: black, with a white rounded rectangle inset by 2 pixels plus half the pen
// width, filled when PenWidth is below 1 and outlined otherwise; blurred when Blur > 0.
void MakeRoundRectMask(TBitmap* Bitmap, int Width, int Height, int PenWidth, int CornerSize,
                       double Blur);

// 32-bit premultiplied pixels made from a picture and a grey mask.
class TGridAlphaMask : public TBitmap {
public:
    TGridAlphaMask();
    std::uint8_t Opacity() const { return FOpacity; }
    void SetOpacity(std::uint8_t v) { FOpacity = v; }
    // From another alpha mask: opacity, size and pixels; from anything else as a bitmap.
    void Assign(const TPersistent* Source) override;
    // Only for a 24-bit Bitmap: takes its size; alpha is the red byte of the Mask pixel (0
    // outside the mask); Color has no effect.
    void MergeMask(TBitmap* Mask, TBitmap* Bitmap, TColor Color);

private:
    std::uint8_t FOpacity = 255;
};
