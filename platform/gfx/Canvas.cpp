#include "platform/gfx/Raster.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

using gfx::Paint;
using gfx::Raster;

namespace gfx {
void syncState(TCanvas& c) {
    auto& s = c.DcState();
    if (s.fontDirty) {
        s.textColor = c.Font()->Color();
        s.fontDirty = false;
    }
    if (s.brushDirty) {
        // As the model's canvas: a solid brush makes text opaque on the brush colour.
        if (c.Brush()->Style() == bsSolid && !c.Brush()->Bitmap()) {
            s.bkColor = ColorToRGB(c.Brush()->Color());
            s.bkMode = OPAQUE;
        } else {
            s.bkColor = ~ColorToRGB(c.Brush()->Color()) & 0xFFFFFF;
            s.bkMode = TRANSPARENT;
        }
        s.brushDirty = false;
    }
    if (s.penDirty) {
        s.rop2 = PenModeToRop2(c.Pen()->Mode());
        s.penDirty = false;
    }
}
} // namespace gfx

namespace {
using gfx::Op;

TRect normalized(int x1, int y1, int x2, int y2) {
    return TRect(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
}

// Renders a shape with QPainter into a coverage mask over the raster's drawable area and
// composites it; draw() works in logical coordinates.
// Renders a shape with QPainter into a coverage mask over the raster's drawable area; draw()
// works in logical coordinates. False when nothing of it can be visible.
template <class F>
bool renderMask(Raster& r, TPoint off, TRect logicalBounds, int margin, F draw, TRect& box,
                std::vector<std::uint8_t>& cov) {
    box = TRect(logicalBounds.Left + off.X - margin, logicalBounds.Top + off.Y - margin,
                logicalBounds.Right + off.X + margin, logicalBounds.Bottom + off.Y + margin);
    if (!IntersectRect(box, box, r.bounds())) return false;
    QImage img(box.Width(), box.Height(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.translate(off.X - box.Left, off.Y - box.Top);
        draw(p);
    }
    cov.assign(std::size_t(box.Width()) * std::size_t(box.Height()), 0);
    for (int y = 0; y < box.Height(); ++y) {
        auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < box.Width(); ++x)
            cov[std::size_t(y) * std::size_t(box.Width()) + std::size_t(x)] =
                std::uint8_t(qAlpha(line[x]));
    }
    return true;
}

// Renders and composites a shape mask.
template <class F>
void paintMask(Raster& r, TPoint off, TRect logicalBounds, int margin, const Paint& paint, int rop,
               F draw) {
    if (paint.kind == Paint::None) return;
    TRect box;
    std::vector<std::uint8_t> cov;
    if (renderMask(r, off, logicalBounds, margin, draw, box, cov))
        r.mask(box, cov, paint, rop, false);
}

Qt::PenStyle qtPenStyle(TPenStyle s) {
    switch (s) {
    case psDash:
        return Qt::DashLine;
    case psDot:
    case psAlternate:
        return Qt::DotLine;
    case psDashDot:
        return Qt::DashDotLine;
    case psDashDotDot:
        return Qt::DashDotDotLine;
    case psClear:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

QPen maskPen(const TPen& pen) {
    QPen p(Qt::white);
    p.setWidth(pen.Width() <= 1 ? 0 : pen.Width());
    p.setStyle(qtPenStyle(pen.Style()));
    p.setCapStyle(Qt::RoundCap);
    p.setJoinStyle(Qt::RoundJoin);
    return p;
}

Paint penPaint(TCanvas& c) {
    return gfx::solidPaint(c.Pen()->Color());
}

} // namespace

// --- TCanvas ----------------------------------------------------------------------------------
TCanvas::TCanvas(TBitmap* target) : target_(target), state_(std::make_unique<State>()) {
    font_.OnChange = [this](TObject*) {
        state_->fontDirty = true;
        state_->fontChanged = true;
    };
    brush_.OnChange = [this](TObject*) { state_->brushDirty = true; };
    pen_.OnChange = [this](TObject*) { state_->penDirty = true; };
}
TCanvas::~TCanvas() = default;

TCanvas::State& TCanvas::DcState() {
    return *state_;
}
const TCanvas::State& TCanvas::DcState() const {
    return *state_;
}

void TCanvas::Changing() {
    if (OnChanging) OnChanging(this);
}
void TCanvas::Changed() {
    // A solid area the operation left is confirmed when nothing but this change touched the
    // pixels since.
    gfx::SolidArea& solid = state_->solid;
    const std::uint64_t before = target_ ? target_->changeStamp_ : 0;
    const bool pending = target_ && solid.valid && !solid.confirmed && solid.stamp == before;
    if (OnChange) OnChange(this);
    if (target_) target_->Modified();
    if (pending && solid.valid && !solid.confirmed && target_->changeStamp_ == before + 1) {
        solid.stamp = target_->changeStamp_;
        solid.confirmed = true;
    }
}

TRect TCanvas::ClipRect() const {
    TRect box;
    GetClipBox(const_cast<TCanvas*>(this), box);
    return box;
}

void TCanvas::MoveTo(int x, int y) {
    penPos_ = {x, y};
}

void TCanvas::LineTo(int x, int y) {
    Polyline({penPos_, {x, y}});
    penPos_ = {x, y};
}

void TCanvas::Polyline(const std::vector<TPoint>& pts) {
    if (pts.size() < 2 || pen_.Style() == psClear) return;
    Op op(*this);
    Raster r(*this);
    TPoint off = gfx::deviceOffset(*state_);
    if (pen_.Width() <= 1) {
        int phase = 0;
        for (std::size_t i = 1; i < pts.size(); ++i)
            r.line(pts[i - 1].X + off.X, pts[i - 1].Y + off.Y, pts[i].X + off.X, pts[i].Y + off.Y,
                   gfx::toPixel(pen_.Color()), state_->rop2, pen_.Style(), phase,
                   gfx::toPixel(state_->bkColor), state_->bkMode == OPAQUE);
        return;
    }
    TRect b(pts[0].X, pts[0].Y, pts[0].X + 1, pts[0].Y + 1);
    QPainterPath path(QPointF(pts[0].X, pts[0].Y));
    for (const TPoint& p : pts) {
        UnionRect(b, b, TRect(p.X, p.Y, p.X + 1, p.Y + 1));
        path.lineTo(p.X, p.Y);
    }
    paintMask(r, off, b, pen_.Width(), penPaint(*this), state_->rop2, [&](QPainter& p) {
        p.setPen(maskPen(pen_));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    });
}

void TCanvas::PolyBezier(const std::vector<TPoint>& pts) {
    if (pts.size() < 4 || pen_.Style() == psClear) return;
    Op op(*this);
    Raster r(*this);
    QPainterPath path(QPointF(pts[0].X, pts[0].Y));
    TRect b(pts[0].X, pts[0].Y, pts[0].X + 1, pts[0].Y + 1);
    for (std::size_t i = 1; i + 2 < pts.size(); i += 3)
        path.cubicTo(pts[i].X, pts[i].Y, pts[i + 1].X, pts[i + 1].Y, pts[i + 2].X, pts[i + 2].Y);
    for (const TPoint& p : pts) UnionRect(b, b, TRect(p.X, p.Y, p.X + 1, p.Y + 1));
    paintMask(r, gfx::deviceOffset(*state_), b, pen_.Width() + 1, penPaint(*this), state_->rop2,
              [&](QPainter& p) {
                  p.setPen(maskPen(pen_));
                  p.drawPath(path);
              });
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    Op op(*this);
    Raster r(*this);
    TPoint off = gfx::deviceOffset(*state_);
    TRect rc = normalized(x1, y1, x2, y2);
    OffsetRect(rc, off.X, off.Y);
    if (rc.IsEmpty()) return;
    Paint brush = gfx::brushPaint(*this);
    if (pen_.Style() == psClear) {
        // Without a pen the filled area is one pixel smaller at the right and bottom.
        r.fill(TRect(rc.Left, rc.Top, rc.Right - 1, rc.Bottom - 1), brush);
        return;
    }
    int w = std::max(1, pen_.Width());
    TRect outer = rc;
    if (w > 1 && pen_.Style() != psInsideFrame) {
        outer =
            TRect(rc.Left - (w - 1) / 2, rc.Top - (w - 1) / 2, rc.Right + w / 2, rc.Bottom + w / 2);
    }
    TRect inner(outer.Left + w, outer.Top + w, outer.Right - w, outer.Bottom - w);
    r.fill(inner, brush);
    std::uint32_t pc = gfx::toPixel(pen_.Color());
    if (w == 1 && pen_.Style() != psSolid && pen_.Style() != psInsideFrame) {
        int phase = 0;
        std::uint32_t bk = gfx::toPixel(state_->bkColor);
        bool opq = state_->bkMode == OPAQUE;
        int L = rc.Left, T = rc.Top, R = rc.Right - 1, B = rc.Bottom - 1;
        r.line(L, T, R, T, pc, state_->rop2, pen_.Style(), phase, bk, opq);
        r.line(R, T, R, B, pc, state_->rop2, pen_.Style(), phase, bk, opq);
        r.line(R, B, L, B, pc, state_->rop2, pen_.Style(), phase, bk, opq);
        r.line(L, B, L, T, pc, state_->rop2, pen_.Style(), phase, bk, opq);
        return;
    }
    Paint pen = gfx::solidPaint(pen_.Color());
    // The frame as four bands that do not overlap, so XOR pens invert each pixel once.
    int bw = std::min(w, outer.Height());
    r.fill(TRect(outer.Left, outer.Top, outer.Right, outer.Top + bw), pen, state_->rop2);
    if (outer.Bottom - bw > outer.Top + bw)
        r.fill(TRect(outer.Left, outer.Bottom - bw, outer.Right, outer.Bottom), pen, state_->rop2);
    else if (outer.Bottom > outer.Top + bw)
        r.fill(TRect(outer.Left, outer.Top + bw, outer.Right, outer.Bottom), pen, state_->rop2);
    int midTop = outer.Top + bw, midBottom = std::max(midTop, outer.Bottom - bw);
    int sw = std::min(w, outer.Width());
    r.fill(TRect(outer.Left, midTop, outer.Left + sw, midBottom), pen, state_->rop2);
    if (outer.Right - sw >= outer.Left + sw)
        r.fill(TRect(outer.Right - sw, midTop, outer.Right, midBottom), pen, state_->rop2);
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
    Op op(*this);
    Raster r(*this);
    TRect rc = normalized(x1, y1, x2, y2);
    if (rc.IsEmpty()) return;
    QRectF box(rc.Left, rc.Top, rc.Width() - 1, rc.Height() - 1);
    double rx = std::min(std::abs(x3), rc.Width()) / 2.0,
           ry = std::min(std::abs(y3), rc.Height()) / 2.0;
    QPainterPath path;
    path.addRoundedRect(box, rx, ry);
    TPoint off = gfx::deviceOffset(*state_);
    paintMask(r, off, rc, 1, gfx::brushPaint(*this), R2_COPYPEN, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(path);
    });
    if (pen_.Style() == psClear) return;
    paintMask(r, off, rc, pen_.Width() + 1, penPaint(*this), state_->rop2, [&](QPainter& p) {
        p.setPen(maskPen(pen_));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    });
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    Op op(*this);
    Raster r(*this);
    TRect rc = normalized(x1, y1, x2, y2);
    if (rc.IsEmpty()) return;
    QRectF box(rc.Left, rc.Top, rc.Width() - 1, rc.Height() - 1);
    TPoint off = gfx::deviceOffset(*state_);
    paintMask(r, off, rc, 1, gfx::brushPaint(*this), R2_COPYPEN, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(box.adjusted(0, 0, 1, 1));
    });
    if (pen_.Style() == psClear) return;
    paintMask(r, off, rc, pen_.Width() + 1, penPaint(*this), state_->rop2, [&](QPainter& p) {
        p.setPen(maskPen(pen_));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(box);
    });
}

void TCanvas::Polygon(const std::vector<TPoint>& pts) {
    if (pts.size() < 2) return;
    Op op(*this);
    Raster r(*this);
    TPoint off = gfx::deviceOffset(*state_);
    QPolygonF poly;
    TRect b(pts[0].X, pts[0].Y, pts[0].X + 1, pts[0].Y + 1);
    for (const TPoint& p : pts) {
        poly << QPointF(p.X, p.Y);
        UnionRect(b, b, TRect(p.X, p.Y, p.X + 1, p.Y + 1));
    }
    paintMask(r, off, b, 1, gfx::brushPaint(*this), R2_COPYPEN, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPolygon(poly, Qt::OddEvenFill);
    });
    if (pen_.Style() == psClear) return;
    if (pen_.Width() <= 1) {
        int phase = 0;
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const TPoint& a = pts[i];
            const TPoint& c = pts[(i + 1) % pts.size()];
            r.line(a.X + off.X, a.Y + off.Y, c.X + off.X, c.Y + off.Y, gfx::toPixel(pen_.Color()),
                   state_->rop2, pen_.Style(), phase, gfx::toPixel(state_->bkColor),
                   state_->bkMode == OPAQUE);
        }
        return;
    }
    paintMask(r, off, b, pen_.Width(), penPaint(*this), state_->rop2, [&](QPainter& p) {
        p.setPen(maskPen(pen_));
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(poly);
    });
}

namespace {
enum class ArcKind { Arc, Pie, Chord };
// One-pixel pens take the pixels of the ellipse that Ellipse draws, cut to the arc, so that the
// shapes reach the same edges; wider pens stroke Qt's arc path.
void arcShape(TCanvas& c, ArcKind kind, int x1, int y1, int x2, int y2, int x3, int y3, int x4,
              int y4) {
    Op op(c);
    Raster r(c);
    TRect rc = normalized(x1, y1, x2, y2);
    if (rc.IsEmpty()) return;
    TPoint off = gfx::deviceOffset(c.DcState());
    double cx = rc.Left + rc.Width() / 2.0, cy = rc.Top + rc.Height() / 2.0;
    double rx = rc.Width() / 2.0, ry = rc.Height() / 2.0;
    auto angleAt = [&](double x, double y) {
        return std::atan2(-(y - cy) / ry, (x - cx) / rx) * 180.0 / M_PI;
    };
    double a1 = angleAt(x3, y3), a2 = angleAt(x4, y4);
    double span = a2 - a1;
    while (span <= 0) span += 360;
    auto inRange = [&](double a) { return std::fmod(a - a1 + 720.0, 360.0) <= span; };
    auto pointAt = [&](double a) {
        double rad = a * M_PI / 180.0;
        int px = int(std::floor(cx + (rx - 0.5) * std::cos(rad)));
        int py = int(std::floor(cy - (ry - 0.5) * std::sin(rad)));
        return TPoint(std::clamp(px, rc.Left, rc.Right - 1), std::clamp(py, rc.Top, rc.Bottom - 1));
    };
    TPoint p1 = pointAt(a1), p2 = pointAt(a1 + span),
           centre(int(std::floor(cx)), int(std::floor(cy)));
    double mid = (a1 + span / 2) * M_PI / 180.0;
    double mx = cx + rx * std::cos(mid), my = cy - ry * std::sin(mid);
    auto side = [&](double x, double y) {
        return (p2.X + 0.5 - (p1.X + 0.5)) * (y - (p1.Y + 0.5)) -
               (p2.Y + 0.5 - (p1.Y + 0.5)) * (x - (p1.X + 0.5));
    };
    double midSide = side(mx, my);
    // Keeps the pixels of a mask (device box) for which keep(logical centre x, y) holds.
    auto cut = [&](const TRect& box, std::vector<std::uint8_t>& cov, auto keep) {
        for (int y = box.Top; y < box.Bottom; ++y)
            for (int x = box.Left; x < box.Right; ++x) {
                auto& v = cov[std::size_t(y - box.Top) * std::size_t(box.Width()) +
                              std::size_t(x - box.Left)];
                if (v && !keep(x - off.X + 0.5, y - off.Y + 0.5)) v = 0;
            }
    };
    QRectF outline(rc.Left, rc.Top, rc.Width() - 1, rc.Height() - 1);
    bool thin = c.Pen()->Width() <= 1;
    if (kind != ArcKind::Arc) {
        Paint brush = gfx::brushPaint(c);
        TRect box;
        std::vector<std::uint8_t> cov;
        if (brush.kind != Paint::None &&
            renderMask(
                r, off, rc, 1,
                [&](QPainter& p) {
                    p.setPen(Qt::NoPen);
                    p.setBrush(Qt::white);
                    p.drawEllipse(QRectF(rc.Left, rc.Top, rc.Width(), rc.Height()));
                },
                box, cov)) {
            cut(box, cov, [&](double x, double y) {
                if (kind == ArcKind::Pie) return inRange(angleAt(x, y));
                return span >= 360 || (side(x, y) >= 0) == (midSide >= 0);
            });
            r.mask(box, cov, brush, R2_COPYPEN, false);
        }
    }
    if (c.Pen()->Style() == psClear) return;
    Paint pen = penPaint(c);
    int rop = c.DcState().rop2;
    if (!thin) {
        QPainterPath path;
        if (kind == ArcKind::Pie)
            path.moveTo(outline.center());
        else
            path.arcMoveTo(outline, a1);
        path.arcTo(outline, a1, span);
        if (kind != ArcKind::Arc) path.closeSubpath();
        paintMask(r, off, rc, c.Pen()->Width() + 1, pen, rop, [&](QPainter& p) {
            p.setPen(maskPen(*c.Pen()));
            p.setBrush(Qt::NoBrush);
            p.drawPath(path);
        });
        return;
    }
    TRect box;
    std::vector<std::uint8_t> cov;
    if (renderMask(
            r, off, rc, 2,
            [&](QPainter& p) {
                p.setPen(maskPen(*c.Pen()));
                p.setBrush(Qt::NoBrush);
                p.drawEllipse(outline);
            },
            box, cov)) {
        cut(box, cov, [&](double x, double y) { return inRange(angleAt(x, y)); });
        r.mask(box, cov, pen, rop, false);
    }
    auto segment = [&](TPoint a, TPoint b) {
        int phase = 0;
        std::uint32_t colour = gfx::toPixel(c.Pen()->Color());
        r.line(a.X + off.X, a.Y + off.Y, b.X + off.X, b.Y + off.Y, colour, rop, psSolid, phase, 0,
               false);
        r.plot(b.X + off.X, b.Y + off.Y, colour, rop);
    };
    if (kind == ArcKind::Pie) {
        segment(centre, p1);
        segment(centre, p2);
    } else if (kind == ArcKind::Chord) {
        segment(p1, p2);
    }
}
} // namespace

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    arcShape(*this, ArcKind::Arc, x1, y1, x2, y2, x3, y3, x4, y4);
}
void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    arcShape(*this, ArcKind::Pie, x1, y1, x2, y2, x3, y3, x4, y4);
}
void TCanvas::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    arcShape(*this, ArcKind::Chord, x1, y1, x2, y2, x3, y3, x4, y4);
}

void TCanvas::FillRect(const TRect& rc) {
    Op op(*this);
    Raster r(*this);
    TRect d = rc;
    TPoint off = gfx::deviceOffset(*state_);
    OffsetRect(d, off.X, off.Y);
    r.fill(d, gfx::brushPaint(*this));
}

void TCanvas::FrameRect(const TRect& rc) {
    if (rc.IsEmpty()) return;
    Op op(*this);
    Raster r(*this);
    TRect d = rc;
    TPoint off = gfx::deviceOffset(*state_);
    OffsetRect(d, off.X, off.Y);
    Paint b = gfx::brushPaint(*this);
    r.fill(TRect(d.Left, d.Top, d.Right, d.Top + 1), b);
    if (d.Height() > 1) r.fill(TRect(d.Left, d.Bottom - 1, d.Right, d.Bottom), b);
    r.fill(TRect(d.Left, d.Top + 1, d.Left + 1, d.Bottom - 1), b);
    if (d.Width() > 1) r.fill(TRect(d.Right - 1, d.Top + 1, d.Right, d.Bottom - 1), b);
}

TColor TCanvas::Pixels(int x, int y) const {
    auto& self = const_cast<TCanvas&>(*this);
    Raster r(self);
    TPoint off = gfx::deviceOffset(*state_);
    if (!r.visible(x + off.X, y + off.Y)) return CLR_INVALID;
    return gfx::fromPixel(r.get(x + off.X, y + off.Y));
}

void TCanvas::SetPixels(int x, int y, TColor c) {
    Op op(*this);
    Raster r(*this);
    TPoint off = gfx::deviceOffset(*state_);
    r.plot(x + off.X, y + off.Y, gfx::toPixel(c), R2_COPYPEN);
}

void TCanvas::FloodFill(int x, int y, TColor c, TFillStyle style) {
    Op op(*this);
    Raster r(*this);
    TPoint off = gfx::deviceOffset(*state_);
    x += off.X;
    y += off.Y;
    if (!r.visible(x, y)) return;
    std::uint32_t key = gfx::toPixel(c) & 0xFFFFFF;
    auto inside = [&](int px, int py) {
        bool same = (r.get(px, py) & 0xFFFFFF) == key;
        return style == fsSurface ? same : !same;
    };
    if (!inside(x, y)) return;
    Paint paint = gfx::brushPaint(*this);
    std::vector<bool> seen(std::size_t(r.width()) * std::size_t(r.height()));
    std::vector<TPoint> todo{{x, y}}, fillList;
    seen[std::size_t(y) * std::size_t(r.width()) + std::size_t(x)] = true;
    while (!todo.empty()) {
        TPoint p = todo.back();
        todo.pop_back();
        fillList.push_back(p);
        const TPoint next[] = {{p.X + 1, p.Y}, {p.X - 1, p.Y}, {p.X, p.Y + 1}, {p.X, p.Y - 1}};
        for (const TPoint& n : next) {
            if (!r.visible(n.X, n.Y)) continue;
            auto idx = std::size_t(n.Y) * std::size_t(r.width()) + std::size_t(n.X);
            if (seen[idx] || !inside(n.X, n.Y)) continue;
            seen[idx] = true;
            todo.push_back(n);
        }
    }
    // Paint after the search so that the new colour does not steer it.
    for (const TPoint& p : fillList) r.span(p.Y, p.X, p.X + 1, paint);
}

void TCanvas::Draw(int x, int y, const TGraphic* g) {
    if (!g || g->Empty()) return;
    g->Draw(this, Bounds(x, y, g->Width(), g->Height()));
}
void TCanvas::Draw(int x, int y, const TGraphic* g, std::uint8_t opacity) {
    if (!g || g->Empty()) return;
    g->Draw(this, Bounds(x, y, g->Width(), g->Height()), opacity);
}
void TCanvas::StretchDraw(const TRect& rc, const TGraphic* g) {
    if (!g || g->Empty()) return;
    g->Draw(this, rc);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& src) {
    if (!source) return;
    StretchBlt(this, dest.Left, dest.Top, dest.Width(), dest.Height(), source, src.Left, src.Top,
               src.Width(), src.Height(), copyMode_);
}

void TCanvas::BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& src, TColor color) {
    if (!bitmap || bitmap->Empty()) return;
    Op op(*this);
    std::vector<std::uint32_t> copy(bitmap->Pixels32(),
                                    bitmap->Pixels32() + std::size_t(bitmap->Width()) *
                                                             std::size_t(bitmap->Height()));
    std::uint32_t key = gfx::toPixel(color) & 0xFFFFFF, repl = gfx::toPixel(brush_.Color());
    for (auto& p : copy)
        if ((p & 0xFFFFFF) == key) p = repl;
    Raster r(*this);
    TRect d = dest;
    TPoint off = gfx::deviceOffset(*state_);
    OffsetRect(d, off.X, off.Y);
    gfx::stretchCopy(r, d, {copy.data(), bitmap->Width(), bitmap->Height()}, src, false, false, 0,
                     255);
}

void TCanvas::DrawFocusRect(const TRect& rc) {
    ::DrawFocusRect(this, rc);
}

// --- device-context functions -----------------------------------------------------------------
int SetBkMode(HDC dc, int mode) {
    gfx::syncState(*dc);
    int old = dc->DcState().bkMode;
    if (mode == TRANSPARENT || mode == OPAQUE) dc->DcState().bkMode = mode;
    return old;
}
int GetBkMode(HDC dc) {
    gfx::syncState(*dc);
    return dc->DcState().bkMode;
}
TColor SetBkColor(HDC dc, TColor color) {
    gfx::syncState(*dc);
    TColor old = dc->DcState().bkColor;
    dc->DcState().bkColor = ColorToRGB(color);
    return old;
}
TColor GetBkColor(HDC dc) {
    gfx::syncState(*dc);
    return dc->DcState().bkColor;
}
TColor SetTextColor(HDC dc, TColor color) {
    gfx::syncState(*dc);
    TColor old = dc->DcState().textColor;
    dc->DcState().textColor = color;
    return old;
}
TColor GetTextColor(HDC dc) {
    gfx::syncState(*dc);
    return ColorToRGB(dc->DcState().textColor);
}
int SetROP2(HDC dc, int rop) {
    gfx::syncState(*dc);
    int old = dc->DcState().rop2;
    if (rop >= R2_BLACK && rop <= R2_WHITE) dc->DcState().rop2 = rop;
    return old;
}
int GetROP2(HDC dc) {
    gfx::syncState(*dc);
    return dc->DcState().rop2;
}

int SaveDC(HDC dc) {
    gfx::syncState(*dc);
    auto& s = dc->DcState();
    s.saved.push_back(static_cast<const gfx::SavedState&>(s));
    return int(s.saved.size());
}
bool RestoreDC(HDC dc, int saved) {
    auto& s = dc->DcState();
    int n = int(s.saved.size());
    int level = saved < 0 ? n + saved + 1 : saved;
    if (level < 1 || level > n) return false;
    static_cast<gfx::SavedState&>(s) = s.saved[std::size_t(level - 1)];
    s.saved.resize(std::size_t(level - 1));
    return true;
}

bool SetWindowOrgEx(HDC dc, int x, int y, TPoint* old) {
    if (old) *old = dc->DcState().windowOrg;
    dc->DcState().windowOrg = {x, y};
    return true;
}
bool GetWindowOrgEx(HDC dc, TPoint& p) {
    p = dc->DcState().windowOrg;
    return true;
}
bool SetViewportOrgEx(HDC dc, int x, int y, TPoint* old) {
    if (old) *old = dc->DcState().viewportOrg;
    dc->DcState().viewportOrg = {x, y};
    return true;
}
bool GetViewportOrgEx(HDC dc, TPoint& p) {
    p = dc->DcState().viewportOrg;
    return true;
}
bool OffsetWindowOrgEx(HDC dc, int dx, int dy, TPoint* old) {
    TPoint o = dc->DcState().windowOrg;
    return SetWindowOrgEx(dc, o.X + dx, o.Y + dy, old);
}
void MoveWindowOrg(HDC dc, int dx, int dy) {
    // The model moves the drawing origin by (dx, dy): logical (0,0) lands at device (dx,dy).
    TPoint o = dc->DcState().windowOrg;
    SetWindowOrgEx(dc, o.X - dx, o.Y - dy, nullptr);
}
bool LPtoDP(HDC dc, TPoint* pts, int count) {
    TPoint off = gfx::deviceOffset(dc->DcState());
    for (int i = 0; i < count; ++i) {
        pts[i].X += off.X;
        pts[i].Y += off.Y;
    }
    return true;
}
bool DPtoLP(HDC dc, TPoint* pts, int count) {
    TPoint off = gfx::deviceOffset(dc->DcState());
    for (int i = 0; i < count; ++i) {
        pts[i].X -= off.X;
        pts[i].Y -= off.Y;
    }
    return true;
}

namespace {
TRect surfaceOf(HDC dc) {
    const TBitmap* t = dc->Target();
    return t ? TRect(0, 0, t->Width(), t->Height()) : TRect();
}
TRegion currentClip(HDC dc) {
    auto& s = dc->DcState();
    if (s.hasClip) return s.clip;
    return TRegion(surfaceOf(dc));
}
int setClip(HDC dc, const TRegion& rgn) {
    auto& s = dc->DcState();
    s.clip = rgn;
    s.hasClip = true;
    return rgn.Kind();
}
TRect toDevice(HDC dc, int l, int t, int r, int b) {
    TRect d = normalized(l, t, r, b);
    TPoint off = gfx::deviceOffset(dc->DcState());
    OffsetRect(d, off.X, off.Y);
    return d;
}
} // namespace

int SelectClipRgn(HDC dc, HRGN rgn) {
    if (!rgn) {
        dc->DcState().hasClip = false;
        dc->DcState().clip = TRegion();
        return SIMPLEREGION;
    }
    return setClip(dc, *rgn);
}
int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode) {
    if (mode == RGN_COPY) return SelectClipRgn(dc, rgn);
    if (!rgn) return RGN_ERROR;
    return setClip(dc, currentClip(dc).Combined(*rgn, mode));
}
int ExcludeClipRect(HDC dc, int l, int t, int r, int b) {
    return setClip(dc, currentClip(dc).Combined(TRegion(toDevice(dc, l, t, r, b)), RGN_DIFF));
}
int IntersectClipRect(HDC dc, int l, int t, int r, int b) {
    return setClip(dc, currentClip(dc).Combined(TRegion(toDevice(dc, l, t, r, b)), RGN_AND));
}
int OffsetClipRgn(HDC dc, int dx, int dy) {
    auto& s = dc->DcState();
    if (!s.hasClip) return SIMPLEREGION;
    s.clip.Offset(dx, dy);
    return s.clip.Kind();
}
int GetClipBox(HDC dc, TRect& box) {
    TRegion clip = currentClip(dc);
    box = clip.Bounds();
    TPoint off = gfx::deviceOffset(dc->DcState());
    OffsetRect(box, -off.X, -off.Y);
    return clip.Kind();
}
int GetClipRgn(HDC dc, HRGN rgn) {
    if (!rgn) return -1;
    if (!dc->DcState().hasClip) return 0;
    *rgn = dc->DcState().clip;
    return 1;
}
bool PtVisible(HDC dc, int x, int y) {
    TPoint off = gfx::deviceOffset(dc->DcState());
    return Raster(*dc).visible(x + off.X, y + off.Y);
}
bool RectVisible(HDC dc, const TRect& r) {
    return currentClip(dc).Intersects(toDevice(dc, r.Left, r.Top, r.Right, r.Bottom));
}

bool StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                unsigned rop) {
    if (!dst || w <= 0 || h <= 0) return false;
    unsigned table = (rop >> 16) & 0xFF;
    bool usesSource = (((table >> 2) ^ table) & 0x33) != 0;
    if (usesSource && (!src || !src->Target() || sw <= 0 || sh <= 0)) return false;
    Op op(*dst);
    std::vector<std::uint32_t> copy;
    gfx::BlitSource bs{nullptr, 0, 0};
    TRect srcRect;
    if (usesSource) {
        const TBitmap* sb = src->Target();
        if (!sb) return false;
        if (sb == dst->Target()) {
            // A copy, so that source and destination may be the same bitmap.
            copy.assign(sb->Pixels32(),
                        sb->Pixels32() + std::size_t(sb->Width()) * std::size_t(sb->Height()));
            bs = {copy.data(), sb->Width(), sb->Height()};
        } else {
            bs = {sb->Pixels32(), sb->Width(), sb->Height()};
        }
        TPoint so = gfx::deviceOffset(src->DcState());
        srcRect = Bounds(sx + so.X, sy + so.Y, sw, sh);
    }
    Raster r(*dst);
    TPoint off = gfx::deviceOffset(dst->DcState());
    TRect d = Bounds(x + off.X, y + off.Y, w, h);
    if (rop == SRCCOPY && usesSource) {
        gfx::stretchCopy(r, d, bs, srcRect, false, false, 0, 255);
        return true;
    }
    gfx::stretchRop(r, d, bs, srcRect, rop, gfx::brushPaint(*dst));
    return true;
}
bool BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, unsigned rop) {
    return StretchBlt(dst, x, y, w, h, src, sx, sy, w, h, rop);
}
bool PatBlt(HDC dc, int x, int y, int w, int h, unsigned rop) {
    return StretchBlt(dc, x, y, w, h, nullptr, 0, 0, 0, 0, rop);
}
bool InvertRect(HDC dc, const TRect& r) {
    return PatBlt(dc, r.Left, r.Top, r.Width(), r.Height(), DSTINVERT);
}

bool FillRect(HDC dc, const TRect& rc, TColor color) {
    Op op(*dc);
    Raster r(*dc);
    TRect d = rc;
    TPoint off = gfx::deviceOffset(dc->DcState());
    OffsetRect(d, off.X, off.Y);
    r.fill(d, gfx::solidPaint(color));
    return true;
}
bool FrameRect(HDC dc, const TRect& rc, TColor color) {
    if (rc.IsEmpty()) return false;
    Op op(*dc);
    Raster r(*dc);
    TRect d = rc;
    TPoint off = gfx::deviceOffset(dc->DcState());
    OffsetRect(d, off.X, off.Y);
    Paint b = gfx::solidPaint(color);
    r.fill(TRect(d.Left, d.Top, d.Right, d.Top + 1), b);
    if (d.Height() > 1) r.fill(TRect(d.Left, d.Bottom - 1, d.Right, d.Bottom), b);
    r.fill(TRect(d.Left, d.Top + 1, d.Left + 1, d.Bottom - 1), b);
    if (d.Width() > 1) r.fill(TRect(d.Right - 1, d.Top + 1, d.Right, d.Bottom - 1), b);
    return true;
}

void GradientFillRect(HDC dc, const TRect& rc, TColor from, TColor to, bool vertical) {
    if (rc.IsEmpty()) return;
    Op op(*dc);
    Raster r(*dc);
    TPoint off = gfx::deviceOffset(dc->DcState());
    TColor a = ColorToRGB(from), b = ColorToRGB(to);
    int n = vertical ? rc.Height() : rc.Width();
    for (int i = 0; i < n; ++i) {
        auto mix = [&](int ca, int cb) { return n > 1 ? ca + (cb - ca) * i / (n - 1) : ca; };
        Paint p =
            gfx::solidPaint(RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
                                mix(GetBValue(a), GetBValue(b))));
        TRect band = vertical ? TRect(rc.Left, rc.Top + i, rc.Right, rc.Top + i + 1)
                              : TRect(rc.Left + i, rc.Top, rc.Left + i + 1, rc.Bottom);
        OffsetRect(band, off.X, off.Y);
        r.fill(band, p);
    }
}

bool SetBrushOrgEx(HDC dc, int x, int y, TPoint* old) {
    if (old) *old = dc->DcState().brushOrg;
    dc->DcState().brushOrg = {x, y};
    return true;
}
bool GetBrushOrgEx(HDC dc, TPoint& p) {
    p = dc->DcState().brushOrg;
    return true;
}

namespace {
// The source canvas's pixels (copied, so that source and destination may be one bitmap) and
// the source rectangle in its device coordinates.
struct SourceCopy {
    std::vector<std::uint32_t> bits;
    gfx::BlitSource blit{nullptr, 0, 0};
    TRect rect;
    SourceCopy(HDC src, int sx, int sy, int sw, int sh) {
        const TBitmap* sb = src->Target();
        if (sb) {
            bits.assign(sb->Pixels32(),
                        sb->Pixels32() + std::size_t(sb->Width()) * std::size_t(sb->Height()));
            blit = {bits.data(), sb->Width(), sb->Height()};
        }
        TPoint so = gfx::deviceOffset(src->DcState());
        rect = Bounds(sx + so.X, sy + so.Y, sw, sh);
    }
    // Source pixel for destination pixel (x, y) of dst, nearest; false outside the source.
    bool at(const TRect& dst, int x, int y, std::uint32_t& out) const {
        int px = rect.Left + int((long long)(x - dst.Left) * rect.Width() / dst.Width());
        int py = rect.Top + int((long long)(y - dst.Top) * rect.Height() / dst.Height());
        if (px < 0 || py < 0 || px >= blit.width || py >= blit.height) return false;
        out = blit.bits[std::size_t(py) * std::size_t(blit.width) + std::size_t(px)];
        return true;
    }
};

template <class F> void eachPixel(Raster& r, const TRect& dst, F f) {
    for (const TRect& cr : r.clip()) {
        TRect a;
        if (!IntersectRect(a, cr, dst)) continue;
        for (int y = a.Top; y < a.Bottom; ++y)
            for (int x = a.Left; x < a.Right; ++x) f(x, y, *r.at(x, y));
    }
}
} // namespace

bool MaskBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, const TBitmap* mask,
             int mx, int my, unsigned rop4) {
    if (!dst || !src || w <= 0 || h <= 0) return false;
    Op op(*dst);
    SourceCopy sc(src, sx, sy, w, h);
    Raster r(*dst);
    TPoint off = gfx::deviceOffset(dst->DcState());
    TRect d = Bounds(x + off.X, y + off.Y, w, h);
    Paint pat = gfx::brushPaint(*dst);
    unsigned fore = rop4 & 0x00FFFFFFu, back = (rop4 >> 8) & 0x00FF0000u;
    eachPixel(r, d, [&](int px, int py, std::uint32_t& out) {
        std::uint32_t s;
        if (!sc.at(d, px, py, s)) return;
        bool fg = true;
        if (mask) {
            int mxp = mx + (px - d.Left), myp = my + (py - d.Top);
            fg = mxp >= 0 && myp >= 0 && mxp < mask->Width() && myp < mask->Height() &&
                 (mask->PixelColor(mxp, myp) & 0xFFFFFF) != 0;
        }
        std::uint32_t p = 0;
        if (!pat.at(px, py, p)) p = 0;
        out = gfx::rop3(fg ? fore : back, p, s, out);
    });
    return true;
}

bool AlphaBlend(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                BLENDFUNCTION bf) {
    if (!dst || !src || w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return false;
    Op op(*dst);
    SourceCopy sc(src, sx, sy, sw, sh);
    Raster r(*dst);
    TPoint off = gfx::deviceOffset(dst->DcState());
    TRect d = Bounds(x + off.X, y + off.Y, w, h);
    unsigned ca = bf.SourceConstantAlpha;
    bool perPixel = bf.AlphaFormat & AC_SRC_ALPHA;
    eachPixel(r, d, [&](int px, int py, std::uint32_t& out) {
        std::uint32_t s;
        if (!sc.at(d, px, py, s)) return;
        // dst = src * ca + dst * (1 - srcAlpha * ca), with src premultiplied when per pixel.
        unsigned sa = perPixel ? ((s >> 24) * ca + 127) / 255 : ca;
        std::uint32_t res = 0xFF000000u;
        for (int shft = 0; shft < 24; shft += 8) {
            unsigned sc8 = (s >> shft) & 0xFF, dc8 = (out >> shft) & 0xFF;
            unsigned v = (sc8 * ca + dc8 * (255 - sa) + 127) / 255;
            res |= std::min(v, 255u) << shft;
        }
        out = res;
    });
    return true;
}

bool TransparentBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                    TColor transparent) {
    if (!dst || !src || w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return false;
    Op op(*dst);
    SourceCopy sc(src, sx, sy, sw, sh);
    Raster r(*dst);
    TPoint off = gfx::deviceOffset(dst->DcState());
    gfx::stretchCopy(r, Bounds(x + off.X, y + off.Y, w, h), sc.blit, sc.rect, false, true,
                     gfx::toPixel(transparent), 255);
    return true;
}

bool ScrollDC(HDC dc, int dx, int dy, const TRect* scroll, const TRect* clip, HRGN update,
              TRect* updateRect) {
    if (!dc) return false;
    Op op(*dc);
    TPoint off = gfx::deviceOffset(dc->DcState());
    TRect surface = surfaceOf(dc);
    TRect from = surface, limit = surface;
    if (scroll) {
        from = *scroll;
        OffsetRect(from, off.X, off.Y);
    }
    if (clip) {
        limit = *clip;
        OffsetRect(limit, off.X, off.Y);
        IntersectRect(limit, limit, surface);
    }
    TRect to = from;
    OffsetRect(to, dx, dy);
    TRect target;
    IntersectRect(target, to, limit);
    SourceCopy sc(dc, from.Left - off.X, from.Top - off.Y, from.Width(), from.Height());
    Raster r(*dc);
    eachPixel(r, target, [&](int px, int py, std::uint32_t& out) {
        int sx = px - dx, sy = py - dy;
        if (sx >= 0 && sy >= 0 && sx < sc.blit.width && sy < sc.blit.height &&
            from.Contains({sx, sy}))
            out = sc.bits[std::size_t(sy) * std::size_t(sc.blit.width) + std::size_t(sx)];
    });
    // What was inside the scrolled area (and the clip) and is not covered by moved pixels.
    TRect visibleFrom;
    IntersectRect(visibleFrom, from, limit);
    TRegion uncovered = TRegion(visibleFrom).Combined(TRegion(target), RGN_DIFF);
    uncovered.Offset(-off.X, -off.Y);
    if (update) *update = uncovered;
    if (updateRect) *updateRect = uncovered.Bounds();
    return true;
}
