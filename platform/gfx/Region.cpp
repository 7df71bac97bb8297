#include "platform/gfx/Gdi.h"

#include <QPainterPath>
#include <QPolygon>
#include <QRegion>

struct TRegion::Impl {
    QRegion r;
};

namespace {
QRect toQ(const TRect& r) {
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}
TRect fromQ(const QRect& r) {
    return TRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}
} // namespace

TRegion::TRegion() : p_(std::make_unique<Impl>()) {}
TRegion::TRegion(const TRect& r) : TRegion() {
    if (!r.IsEmpty()) p_->r = QRegion(toQ(r));
}
TRegion::TRegion(const TRegion& other) : p_(std::make_unique<Impl>(*other.p_)) {}
TRegion::TRegion(TRegion&& other) noexcept : p_(std::make_unique<Impl>()) {
    std::swap(p_, other.p_);
}
TRegion& TRegion::operator=(const TRegion& other) {
    if (this != &other) p_->r = other.p_->r;
    return *this;
}
TRegion& TRegion::operator=(TRegion&& other) noexcept {
    std::swap(p_, other.p_);
    return *this;
}
TRegion::~TRegion() = default;

TRegion TRegion::RoundRect(const TRect& r, int w, int h) {
    TRegion out;
    if (r.IsEmpty()) return out;
    int rx = std::min(std::abs(w), r.Width()) / 2, ry = std::min(std::abs(h), r.Height()) / 2;
    if (rx == 0 || ry == 0) return TRegion(r);
    // Row by row: the corner rows are shortened by the ellipse of the corner.
    QRegion q;
    for (int y = r.Top; y < r.Bottom; ++y) {
        double dy = 0;
        if (y < r.Top + ry)
            dy = (r.Top + ry) - (y + 0.5);
        else if (y >= r.Bottom - ry)
            dy = (y + 0.5) - (r.Bottom - ry);
        int inset = 0;
        if (dy > 0) {
            double t = 1.0 - (dy * dy) / (double(ry) * ry);
            double ex = t > 0 ? rx * std::sqrt(t) : 0;
            inset = int(std::lround(rx - ex));
        }
        if (r.Left + inset < r.Right - inset)
            q += QRect(r.Left + inset, y, r.Width() - 2 * inset, 1);
    }
    out.p_->r = q;
    return out;
}

TRegion TRegion::Ellipse(const TRect& r) {
    return RoundRect(r, r.Width(), r.Height());
}

TRegion TRegion::Polygon(const std::vector<TPoint>& points, int fillMode) {
    TRegion out;
    QPolygon poly;
    for (const TPoint& p : points) poly << QPoint(p.X, p.Y);
    out.p_->r = QRegion(poly, fillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    return out;
}

bool TRegion::IsEmpty() const {
    return p_->r.isEmpty();
}
TRect TRegion::Bounds() const {
    return p_->r.isEmpty() ? TRect() : fromQ(p_->r.boundingRect());
}
bool TRegion::Contains(TPoint p) const {
    return p_->r.contains(QPoint(p.X, p.Y));
}
bool TRegion::Intersects(const TRect& r) const {
    return !r.IsEmpty() && p_->r.intersects(toQ(r));
}
void TRegion::Offset(int dx, int dy) {
    p_->r.translate(dx, dy);
}

TRegion TRegion::Combined(const TRegion& other, int mode) const {
    TRegion out;
    switch (mode) {
    case RGN_AND:
        out.p_->r = p_->r.intersected(other.p_->r);
        break;
    case RGN_OR:
        out.p_->r = p_->r.united(other.p_->r);
        break;
    case RGN_XOR:
        out.p_->r = p_->r.xored(other.p_->r);
        break;
    case RGN_DIFF:
        out.p_->r = p_->r.subtracted(other.p_->r);
        break;
    default:
        out.p_->r = p_->r;
        break;
    }
    return out;
}

std::vector<TRect> TRegion::Rects() const {
    std::vector<TRect> out;
    for (const QRect& r : p_->r) out.push_back(fromQ(r));
    return out;
}

int TRegion::Kind() const {
    if (p_->r.isEmpty()) return NULLREGION;
    return p_->r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool operator==(const TRegion& a, const TRegion& b) {
    return a.p_->r == b.p_->r;
}

// --- handle API -----------------------------------------------------------------------------
// The handle functions own nothing: the caller creates and deletes (DeleteObject) a region.
HRGN CreateRectRgn(int l, int t, int r, int b) {
    return new TRegion(TRect(std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)));
}
HRGN CreateRectRgnIndirect(const TRect& r) {
    return CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
}
HRGN CreateRoundRectRgn(int l, int t, int r, int b, int w, int h) {
    return new TRegion(TRegion::RoundRect(TRect(l, t, r, b), w, h));
}
HRGN CreateEllipticRgn(int l, int t, int r, int b) {
    return new TRegion(TRegion::Ellipse(TRect(l, t, r, b)));
}
HRGN CreateEllipticRgnIndirect(const TRect& r) {
    return CreateEllipticRgn(r.Left, r.Top, r.Right, r.Bottom);
}
HRGN CreatePolygonRgn(const TPoint* points, int count, int fillMode) {
    std::vector<TPoint> pts(points, points + std::max(count, 0));
    return new TRegion(TRegion::Polygon(pts, fillMode));
}

int CombineRgn(HRGN dst, HRGN a, HRGN b, int mode) {
    if (!dst || !a || (mode != RGN_COPY && !b) || mode < RGN_AND || mode > RGN_COPY)
        return RGN_ERROR;
    *dst = mode == RGN_COPY ? *a : a->Combined(*b, mode);
    return dst->Kind();
}
bool SetRectRgn(HRGN rgn, int l, int t, int r, int b) {
    if (!rgn) return false;
    *rgn = TRegion(TRect(l, t, r, b));
    return true;
}
bool PtInRegion(HRGN rgn, int x, int y) {
    return rgn && rgn->Contains({x, y});
}
bool RectInRegion(HRGN rgn, const TRect& r) {
    return rgn && rgn->Intersects(r);
}
bool EqualRgn(HRGN a, HRGN b) {
    return a && b && *a == *b;
}
int GetRgnBox(HRGN rgn, TRect& box) {
    if (!rgn) return RGN_ERROR;
    box = rgn->Bounds();
    return rgn->Kind();
}
int OffsetRgn(HRGN rgn, int dx, int dy) {
    if (!rgn) return RGN_ERROR;
    rgn->Offset(dx, dy);
    return rgn->Kind();
}
bool DeleteObject(HRGN rgn) {
    delete rgn;
    return rgn != nullptr;
}
