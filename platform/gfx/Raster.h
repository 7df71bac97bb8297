#pragma once
// Internal to platform/gfx: pixel-level drawing with raster operations and clipping.
// All coordinates here are device pixels.
#include "platform/gfx/CanvasState.h"

#include <cstdint>
#include <vector>

namespace gfx {

// 0x00BBGGRR (system colours resolved) -> 0xFFRRGGBB.
std::uint32_t toPixel(TColor c);
TColor fromPixel(std::uint32_t p);
std::uint32_t rop2(int code, std::uint32_t pen, std::uint32_t dst);
std::uint32_t rop3(unsigned code, std::uint32_t pat, std::uint32_t src, std::uint32_t dst);

// What fills a pixel: a colour, a hatch over the background, or an 8 x 8 bitmap pattern.
struct Paint {
    enum Kind { None, Solid, Hatch, Pattern } kind = Solid;
    std::uint32_t color = 0xFF000000;
    std::uint32_t bk = 0xFFFFFFFF;
    bool opaqueBk = false;
    std::uint8_t hatch[8] = {};
    std::uint32_t pattern[64] = {};
    int orgX = 0, orgY = 0; // pattern origin
    // False where nothing is drawn (a hatch gap in transparent mode).
    bool at(int x, int y, std::uint32_t& out) const;
};
Paint solidPaint(TColor c);
Paint brushPaint(TCanvas& c);

// Covered pixels of a shape, as runs along rows relative to the shape's box. A run with
// coverage -1 is fully covered; else cov[coverage + i] is the coverage of its pixel i.
struct CoverageRuns {
    struct Run {
        int y, x1, x2;
        int coverage;
    };
    std::vector<Run> runs;
    std::vector<std::uint8_t> cov;
};

// A drawing pass over one canvas: target pixels and the effective clip rectangles. A solid
// fill of an area the canvas already holds in that colour is left out.
class Raster {
public:
    explicit Raster(TCanvas& c);
    ~Raster();
    Raster(const Raster&) = delete;
    Raster& operator=(const Raster&) = delete;
    int width() const { return w_; }
    int height() const { return h_; }
    // Bounding box of the drawable area (surface and clip).
    TRect bounds() const { return bounds_; }
    const std::vector<TRect>& clip() const { return clip_; }
    bool visible(int x, int y) const;
    std::uint32_t get(int x, int y) const {
        return bits_[std::size_t(y) * std::size_t(w_) + std::size_t(x)];
    }
    // Writable pixel: the pass no longer knows which areas are solid.
    std::uint32_t* at(int x, int y) {
        known_.valid = false;
        return &bits_[std::size_t(y) * std::size_t(w_) + std::size_t(x)];
    }

    void plot(int x, int y, std::uint32_t color, int rop = R2_COPYPEN);
    // Pixels x1..x2-1 of row y.
    void span(int y, int x1, int x2, const Paint& paint, int rop = R2_COPYPEN);
    void fill(const TRect& r, const Paint& paint, int rop = R2_COPYPEN);
    // Coverage mask of box.Width() x box.Height(); 0 = untouched. With blend, partial coverage
    // mixes in copy mode, else coverage >= 128 counts as drawn.
    void mask(const TRect& box, const std::vector<std::uint8_t>& cov, const Paint& paint, int rop,
              bool blend);
    // Runs placed at (x, y), inside limit, in a solid colour; partial coverage blends.
    void runs(int x, int y, const CoverageRuns& shape, std::uint32_t color, const TRect& limit);
    // A cosmetic (one pixel) line, end point excluded; style is a TPenStyle; `phase` carries
    // the dash position from segment to segment.
    void line(int x1, int y1, int x2, int y2, std::uint32_t color, int rop, int style, int& phase,
              std::uint32_t bk, bool opaqueBk);

private:
    void spanOf(int y, int x1, int x2, const Paint& paint, int rop);
    TCanvas::State& state_;
    TBitmap* target_;
    std::uint32_t* bits_;
    int w_, h_;
    TRect bounds_;
    std::vector<TRect> clip_;
    SolidArea known_;
};

// Copies src (straight 0xAARRGGBB pixels) scaled from srcRect into dst on the raster.
// transparent: pixels equal to it are skipped (0 = none); alpha: blend by the alpha byte.
struct BlitSource {
    const std::uint32_t* bits;
    int width, height;
};
void stretchCopy(Raster& r, const TRect& dst, const BlitSource& src, const TRect& srcRect,
                 bool useAlpha, bool useKey, std::uint32_t key, std::uint8_t opacity);
void stretchRop(Raster& r, const TRect& dst, const BlitSource& src, const TRect& srcRect,
                unsigned rop, const Paint& pat);

} // namespace gfx
