#include "platform/gfx/Raster.h"

#include <algorithm>

namespace gfx {

std::uint32_t toPixel(TColor c) {
    TColor rgb = ColorToRGB(c);
    return 0xFF000000u | (std::uint32_t(GetRValue(rgb)) << 16) |
           (std::uint32_t(GetGValue(rgb)) << 8) | std::uint32_t(GetBValue(rgb));
}

TColor fromPixel(std::uint32_t p) {
    return RGB(int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF));
}

std::uint32_t rop2(int code, std::uint32_t pen, std::uint32_t dst) {
    // The code minus one is a truth table indexed by (pen bit << 1) | destination bit.
    unsigned t = unsigned(code - 1) & 15u;
    std::uint32_t r = 0;
    if (t & 1) r |= ~pen & ~dst;
    if (t & 2) r |= ~pen & dst;
    if (t & 4) r |= pen & ~dst;
    if (t & 8) r |= pen & dst;
    return (r & 0xFFFFFF) | 0xFF000000u;
}

std::uint32_t rop3(unsigned code, std::uint32_t pat, std::uint32_t src, std::uint32_t dst) {
    // Bits 16..23 are a truth table indexed by (pattern << 2) | (source << 1) | destination.
    unsigned t = (code >> 16) & 0xFF;
    std::uint32_t r = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if (!(t & (1u << i))) continue;
        r |= ((i & 4) ? pat : ~pat) & ((i & 2) ? src : ~src) & ((i & 1) ? dst : ~dst);
    }
    return (r & 0xFFFFFF) | 0xFF000000u;
}

bool Paint::at(int x, int y, std::uint32_t& out) const {
    x -= orgX;
    y -= orgY;
    switch (kind) {
    case None:
        return false;
    case Solid:
        out = color;
        return true;
    case Pattern:
        out = pattern[(y & 7) * 8 + (x & 7)];
        return true;
    case Hatch:
        if (hatch[y & 7] & (1u << (x & 7))) {
            out = color;
            return true;
        }
        if (!opaqueBk) return false;
        out = bk;
        return true;
    }
    return false;
}

Paint solidPaint(TColor c) {
    Paint p;
    p.kind = Paint::Solid;
    p.color = toPixel(c);
    return p;
}

Paint brushPaint(TCanvas& c) {
    syncState(c);
    const TBrush& b = *c.Brush();
    Paint p;
    p.color = toPixel(b.Color());
    p.orgX = c.DcState().brushOrg.X;
    p.orgY = c.DcState().brushOrg.Y;
    if (const TBitmap* bmp = b.Bitmap(); bmp && !bmp->Empty()) {
        p.kind = Paint::Pattern;
        const std::uint32_t* pixels = bmp->Pixels32();
        const int w = bmp->Width(), h = bmp->Height(), stride = bmp->Stride32();
        for (int y = 0; y < 8; ++y) {
            const std::uint32_t* row = pixels + (h >= 8 ? y : y % h) * stride;
            for (int x = 0; x < 8; ++x)
                p.pattern[y * 8 + x] = row[w >= 8 ? x : x % w] | 0xFF000000u;
        }
        return p;
    }
    switch (b.Style()) {
    case bsSolid:
        p.kind = Paint::Solid;
        return p;
    case bsClear:
        p.kind = Paint::None;
        return p;
    default:
        break;
    }
    p.kind = Paint::Hatch;
    p.bk = toPixel(c.DcState().bkColor);
    p.opaqueBk = c.DcState().bkMode == OPAQUE;
    for (int y = 0; y < 8; ++y) {
        std::uint8_t row = 0;
        for (int x = 0; x < 8; ++x) {
            bool on = false;
            switch (b.Style()) {
            case bsHorizontal:
                on = y == 7;
                break;
            case bsVertical:
                on = x == 7;
                break;
            case bsFDiagonal:
                on = x == y;
                break;
            case bsBDiagonal:
                on = x + y == 7;
                break;
            case bsCross:
                on = x == 7 || y == 7;
                break;
            case bsDiagCross:
                on = x == y || x + y == 7;
                break;
            default:
                break;
            }
            if (on) row |= std::uint8_t(1u << x);
        }
        p.hatch[y] = row;
    }
    return p;
}

Raster::Raster(TCanvas& c) : state_(c.DcState()), target_(c.Target()) {
    TBitmap* t = target_;
    bits_ = t ? t->pixels_.data() : nullptr;
    w_ = t ? t->Width() : 0;
    h_ = t ? t->Height() : 0;
    TRect surface(0, 0, w_, h_);
    const auto& s = c.DcState();
    if (s.hasClip) {
        for (const TRect& r : s.clip.Rects()) {
            TRect i;
            if (IntersectRect(i, r, surface)) clip_.push_back(i);
        }
    } else if (!surface.IsEmpty()) {
        clip_.push_back(surface);
    }
    bounds_ = TRect();
    for (const TRect& r : clip_) {
        if (bounds_.IsEmpty())
            bounds_ = r;
        else
            UnionRect(bounds_, bounds_, r);
    }
    SolidArea& solid = state_.solid;
    if (t && solid.valid && solid.confirmed && solid.stamp == t->changeStamp_) known_ = solid;
    solid.valid = false;
}

Raster::~Raster() {
    // Handed to the canvas, which confirms it when the operation ends.
    SolidArea& solid = state_.solid;
    solid = known_;
    solid.confirmed = false;
    solid.stamp = target_ ? target_->changeStamp_ : 0;
}

bool Raster::visible(int x, int y) const {
    if (!bounds_.Contains({x, y})) return false;
    for (const TRect& r : clip_)
        if (r.Contains({x, y})) return true;
    return false;
}

void Raster::plot(int x, int y, std::uint32_t color, int rop) {
    if (!visible(x, y)) return;
    std::uint32_t* p = at(x, y);
    *p = rop2(rop, color, *p);
}

void Raster::spanOf(int y, int x1, int x2, const Paint& paint, int rop) {
    std::uint32_t* row = bits_ + std::size_t(y) * std::size_t(w_);
    for (const TRect& r : clip_) {
        if (y < r.Top || y >= r.Bottom) continue;
        int a = std::max(x1, r.Left), b = std::min(x2, r.Right);
        if (a >= b) continue;
        if (paint.kind == Paint::Solid && rop == R2_COPYPEN) {
            std::fill(row + a, row + b, paint.color | 0xFF000000u);
        } else if (paint.kind == Paint::Solid) {
            for (int x = a; x < b; ++x) row[x] = rop2(rop, paint.color, row[x]);
        } else {
            for (int x = a; x < b; ++x) {
                std::uint32_t c;
                if (paint.at(x, y, c)) row[x] = rop2(rop, c, row[x]);
            }
        }
    }
}

void Raster::span(int y, int x1, int x2, const Paint& paint, int rop) {
    if (paint.kind == Paint::None || y < bounds_.Top || y >= bounds_.Bottom) return;
    known_.valid = false;
    spanOf(y, x1, x2, paint, rop);
}

void Raster::fill(const TRect& r, const Paint& paint, int rop) {
    if (paint.kind == Paint::None) return;
    TRect area;
    if (!IntersectRect(area, r, bounds_)) return;
    const bool solid = paint.kind == Paint::Solid && rop == R2_COPYPEN;
    const std::uint32_t color = paint.color | 0xFF000000u;
    if (solid && known_.valid && known_.color == color && area.Left >= known_.rect.Left &&
        area.Top >= known_.rect.Top && area.Right <= known_.rect.Right &&
        area.Bottom <= known_.rect.Bottom)
        return; // already this colour
    for (int y = area.Top; y < area.Bottom; ++y) spanOf(y, area.Left, area.Right, paint, rop);
    // With one clip rectangle the whole area now has the colour.
    if (solid && clip_.size() == 1) {
        known_.rect = area;
        known_.color = color;
        known_.valid = true;
    } else {
        known_.valid = false;
    }
}

void Raster::mask(const TRect& box, const std::vector<std::uint8_t>& cov, const Paint& paint,
                  int rop, bool blend) {
    if (paint.kind == Paint::None) return;
    known_.valid = false;
    int bw = box.Width();
    for (const TRect& cr : clip_) {
        TRect r;
        if (!IntersectRect(r, cr, box)) continue;
        for (int y = r.Top; y < r.Bottom; ++y) {
            const std::uint8_t* row = &cov[std::size_t(y - box.Top) * std::size_t(bw)];
            for (int x = r.Left; x < r.Right; ++x) {
                unsigned a = row[x - box.Left];
                if (a == 0) continue;
                std::uint32_t c;
                if (!paint.at(x, y, c)) continue;
                std::uint32_t* p = at(x, y);
                if (blend && rop == R2_COPYPEN && a < 255) {
                    std::uint32_t d = *p, out = 0xFF000000u;
                    for (int sh = 0; sh < 24; sh += 8) {
                        unsigned cs = (c >> sh) & 0xFF, ds = (d >> sh) & 0xFF;
                        out |= ((cs * a + ds * (255 - a) + 127) / 255) << sh;
                    }
                    *p = out;
                } else if (blend || a >= 128) {
                    *p = rop2(rop, c, *p);
                }
            }
        }
    }
}

void Raster::runs(int x, int y, const CoverageRuns& shape, std::uint32_t color,
                  const TRect& limit) {
    known_.valid = false;
    color |= 0xFF000000u;
    for (const TRect& cr : clip_) {
        TRect r;
        if (!IntersectRect(r, cr, limit)) continue;
        for (const CoverageRuns::Run& run : shape.runs) {
            int py = y + run.y;
            if (py < r.Top || py >= r.Bottom) continue;
            int a = std::max(x + run.x1, r.Left), b = std::min(x + run.x2, r.Right);
            if (a >= b) continue;
            std::uint32_t* row = bits_ + std::size_t(py) * std::size_t(w_);
            if (run.coverage < 0) {
                std::fill(row + a, row + b, color);
                continue;
            }
            const std::uint8_t* cov = shape.cov.data() + run.coverage;
            for (int px = a; px < b; ++px) {
                unsigned c = cov[px - (x + run.x1)];
                if (c >= 255) {
                    row[px] = color;
                } else {
                    std::uint32_t d = row[px], out = 0xFF000000u;
                    for (int sh = 0; sh < 24; sh += 8) {
                        unsigned cs = (color >> sh) & 0xFF, ds = (d >> sh) & 0xFF;
                        out |= ((cs * c + ds * (255 - c) + 127) / 255) << sh;
                    }
                    row[px] = out;
                }
            }
        }
    }
}

namespace {
// Dash patterns of cosmetic pens, on/off lengths in pixels.
const std::vector<int>& dashes(int style) {
    static const std::vector<int> none, dash{18, 6}, dot{3, 3}, dashDot{9, 6, 3, 6},
        dashDotDot{9, 3, 3, 3, 3, 3}, alternate{1, 1};
    switch (style) {
    case psDash:
        return dash;
    case psDot:
        return dot;
    case psDashDot:
        return dashDot;
    case psDashDotDot:
        return dashDotDot;
    case psAlternate:
        return alternate;
    default:
        return none;
    }
}
} // namespace

void Raster::line(int x1, int y1, int x2, int y2, std::uint32_t color, int rop, int style,
                  int& phase, std::uint32_t bk, bool opaqueBk) {
    TRect span(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1);
    TRect seen;
    if (!IntersectRect(seen, span, bounds_)) return; // nothing of it is visible
    const auto& pattern = dashes(style);
    int period = 0;
    for (int d : pattern) period += d;
    if (period == 0 && (x1 == x2 || y1 == y2)) {
        // A solid row or column: its pixels in each clip rectangle at once.
        known_.valid = false;
        const bool horizontal = y1 == y2;
        const bool copy = rop == R2_COPYPEN;
        const std::uint32_t solid = color | 0xFF000000u;
        const int lo = horizontal ? (x1 < x2 ? x1 : x2 + 1) : (y1 < y2 ? y1 : y2 + 1);
        const int hi = horizontal ? (x1 < x2 ? x2 : x1 + 1) : (y1 < y2 ? y2 : y1 + 1);
        for (const TRect& r : clip_) {
            if (horizontal) {
                if (y1 < r.Top || y1 >= r.Bottom) continue;
                std::uint32_t* row = bits_ + std::size_t(y1) * std::size_t(w_);
                const int a = std::max(lo, int(r.Left)), e = std::min(hi, int(r.Right));
                if (copy && a < e)
                    std::fill(row + a, row + e, solid);
                else
                    for (int x = a; x < e; ++x) row[x] = rop2(rop, color, row[x]);
            } else {
                if (x1 < r.Left || x1 >= r.Right) continue;
                for (int y = std::max(lo, int(r.Top)), e = std::min(hi, int(r.Bottom)); y < e;
                     ++y) {
                    std::uint32_t* p = bits_ + std::size_t(y) * std::size_t(w_) + std::size_t(x1);
                    *p = copy ? solid : rop2(rop, color, *p);
                }
            }
        }
        return;
    }
    int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    int x = x1, y = y1;
    while (x != x2 || y != y2) {
        bool on = true;
        if (period) {
            int pos = phase % period, i = 0;
            while (pos >= pattern[std::size_t(i)]) pos -= pattern[std::size_t(i++)];
            on = (i % 2) == 0;
            ++phase;
        }
        if (on)
            plot(x, y, color, rop);
        else if (opaqueBk)
            plot(x, y, bk, rop);
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

namespace {
inline std::uint32_t blendOver(std::uint32_t s, std::uint32_t d, unsigned a) {
    std::uint32_t out = 0xFF000000u;
    for (int sh = 0; sh < 24; sh += 8) {
        unsigned cs = (s >> sh) & 0xFF, ds = (d >> sh) & 0xFF;
        out |= ((cs * a + ds * (255 - a) + 127) / 255) << sh;
    }
    return out;
}

// Maps destination pixel x in dst to the source column (nearest, as COLORONCOLOR stretching).
inline int mapCoord(int v, int d0, int dn, int s0, int sn) {
    if (dn == sn) return s0 + (v - d0);
    return s0 + int((long long)(v - d0) * sn / dn);
}
} // namespace

void stretchCopy(Raster& r, const TRect& dst, const BlitSource& src, const TRect& srcRect,
                 bool useAlpha, bool useKey, std::uint32_t key, std::uint8_t opacity) {
    if (dst.IsEmpty() || srcRect.IsEmpty()) return;
    if (!useAlpha && !useKey && opacity == 255 && dst.Width() == srcRect.Width() &&
        dst.Height() == srcRect.Height()) {
        // An opaque copy without scaling: whole row pieces.
        const int dx = srcRect.Left - dst.Left, dy = srcRect.Top - dst.Top;
        const TRect inSource(-dx, -dy, src.width - dx, src.height - dy);
        for (const TRect& cr : r.clip()) {
            TRect a, b;
            if (!IntersectRect(a, cr, dst) || !IntersectRect(b, a, inSource)) continue;
            const int left = b.Left, width = b.Width();
            for (int y = b.Top; y < b.Bottom; ++y) {
                const std::uint32_t* __restrict s = src.bits +
                                                    std::size_t(y + dy) * std::size_t(src.width) +
                                                    std::size_t(left + dx);
                std::uint32_t* __restrict p = r.at(left, y);
                for (int x = 0; x < width; ++x) p[x] = s[x] | 0xFF000000u;
            }
        }
        return;
    }
    for (const TRect& cr : r.clip()) {
        TRect a;
        if (!IntersectRect(a, cr, dst)) continue;
        for (int y = a.Top; y < a.Bottom; ++y) {
            int sy = mapCoord(y, dst.Top, dst.Height(), srcRect.Top, srcRect.Height());
            if (sy < 0 || sy >= src.height) continue;
            for (int x = a.Left; x < a.Right; ++x) {
                int sx = mapCoord(x, dst.Left, dst.Width(), srcRect.Left, srcRect.Width());
                if (sx < 0 || sx >= src.width) continue;
                std::uint32_t s =
                    src.bits[std::size_t(sy) * std::size_t(src.width) + std::size_t(sx)];
                if (useKey && (s & 0xFFFFFF) == (key & 0xFFFFFF)) continue;
                unsigned alpha = useAlpha ? (s >> 24) : 255u;
                alpha = alpha * opacity / 255;
                std::uint32_t* p = r.at(x, y);
                if (alpha >= 255)
                    *p = s | 0xFF000000u;
                else if (alpha > 0)
                    *p = blendOver(s, *p, alpha);
            }
        }
    }
}

void stretchRop(Raster& r, const TRect& dst, const BlitSource& src, const TRect& srcRect,
                unsigned rop, const Paint& pat) {
    if (dst.IsEmpty()) return;
    for (const TRect& cr : r.clip()) {
        TRect a;
        if (!IntersectRect(a, cr, dst)) continue;
        for (int y = a.Top; y < a.Bottom; ++y) {
            int sy =
                src.bits ? mapCoord(y, dst.Top, dst.Height(), srcRect.Top, srcRect.Height()) : 0;
            for (int x = a.Left; x < a.Right; ++x) {
                std::uint32_t s = 0;
                if (src.bits) {
                    int sx = mapCoord(x, dst.Left, dst.Width(), srcRect.Left, srcRect.Width());
                    if (sx < 0 || sy < 0 || sx >= src.width || sy >= src.height) continue;
                    s = src.bits[std::size_t(sy) * std::size_t(src.width) + std::size_t(sx)];
                }
                std::uint32_t p = 0;
                if (!pat.at(x, y, p)) p = 0;
                std::uint32_t* d = r.at(x, y);
                *d = rop3(rop, p, s, *d);
            }
        }
    }
}

} // namespace gfx
