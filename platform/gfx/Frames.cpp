#include "platform/gfx/Raster.h"

#include <algorithm>
#include <cmath>

// Edges, frame controls and focus rectangles in the classic (non-themed) look.
namespace {
struct Pixels {
    explicit Pixels(HDC dc) : dc(*dc), r(*dc), off(gfx::deviceOffset(dc->DcState())) {
        dc->Changing();
    }
    ~Pixels() { dc.Changed(); }
    // Logical rectangle in a colour.
    void fill(const TRect& rc, TColor c) {
        TRect d = rc;
        OffsetRect(d, off.X, off.Y);
        r.fill(d, gfx::solidPaint(c));
    }
    void pixel(int x, int y, TColor c) { r.plot(x + off.X, y + off.Y, gfx::toPixel(c)); }
    TCanvas& dc;
    gfx::Raster r;
    TPoint off;
};

struct EdgeColors {
    TColor lt, rb;
};

// One ring of an edge: top and left in lt, bottom and right in rb, which owns the corners.
void ring(Pixels& px, const TRect& rc, unsigned flags, EdgeColors c) {
    if (rc.IsEmpty()) return;
    if (flags & BF_TOP) px.fill(TRect(rc.Left, rc.Top, rc.Right - 1, rc.Top + 1), c.lt);
    if (flags & BF_LEFT) px.fill(TRect(rc.Left, rc.Top, rc.Left + 1, rc.Bottom - 1), c.lt);
    if (flags & BF_BOTTOM) px.fill(TRect(rc.Left, rc.Bottom - 1, rc.Right, rc.Bottom), c.rb);
    if (flags & BF_RIGHT) px.fill(TRect(rc.Right - 1, rc.Top, rc.Right, rc.Bottom), c.rb);
}

TRect shrink(const TRect& rc, unsigned flags) {
    TRect r = rc;
    if (flags & BF_LEFT) ++r.Left;
    if (flags & BF_TOP) ++r.Top;
    if (flags & BF_RIGHT) --r.Right;
    if (flags & BF_BOTTOM) --r.Bottom;
    return r;
}

TRect edge(Pixels& px, const TRect& rect, unsigned edgeKind, unsigned flags) {
    unsigned outer = edgeKind & BDR_OUTER, inner = edgeKind & BDR_INNER;
    bool soft = flags & BF_SOFT;
    EdgeColors oc, ic;
    if (flags & BF_MONO) {
        oc = {clWindowFrame, clWindowFrame};
        ic = {clWindow, clWindow};
    } else if (flags & BF_FLAT) {
        oc = {clBtnShadow, clBtnShadow};
        ic = {clBtnFace, clBtnFace};
    } else {
        oc = (outer & BDR_RAISEDOUTER)
                 ? EdgeColors{soft ? clBtnHighlight : cl3DLight, cl3DDkShadow}
                 : EdgeColors{soft ? cl3DDkShadow : clBtnShadow, clBtnHighlight};
        ic = (inner & BDR_RAISEDINNER) ? EdgeColors{soft ? cl3DLight : clBtnHighlight, clBtnShadow}
                                       : EdgeColors{soft ? clBtnShadow : cl3DDkShadow, cl3DLight};
    }
    TRect rc = rect;
    if (outer) {
        ring(px, rc, flags, oc);
        rc = shrink(rc, flags);
    }
    if (inner) {
        ring(px, rc, flags, ic);
        rc = shrink(rc, flags);
    }
    if ((flags & BF_MIDDLE) && !rc.IsEmpty()) px.fill(rc, (flags & BF_MONO) ? clWindow : clBtnFace);
    return rc;
}

TRect square(const TRect& rc) {
    int s = std::min(rc.Width(), rc.Height());
    int l = rc.Left + (rc.Width() - s) / 2, t = rc.Top + (rc.Height() - s) / 2;
    return TRect(l, t, l + s, t + s);
}

// The classic 7 x 7 check mark, as column runs from top.
void checkMark(Pixels& px, int x0, int y0, TColor c, const TRect& clip) {
    static const int top[7] = {2, 3, 4, 3, 2, 1, 0};
    for (int x = 0; x < 7; ++x)
        for (int y = top[x]; y < top[x] + 3; ++y)
            if (clip.Contains({x0 + x, y0 + y})) px.pixel(x0 + x, y0 + y, c);
}

void checkBox(Pixels& px, const TRect& rect, unsigned state) {
    TRect box = square(rect);
    unsigned f =
        BF_RECT | ((state & DFCS_FLAT) ? BF_FLAT : 0) | ((state & DFCS_MONO) ? BF_MONO : 0);
    TRect in = edge(px, box, EDGE_SUNKEN, f);
    bool grey = (state & (DFCS_INACTIVE | DFCS_PUSHED)) ||
                ((state & DFCS_BUTTON3STATE) && (state & DFCS_CHECKED));
    px.fill(in, grey ? clBtnFace : clWindow);
    if (state & DFCS_CHECKED) {
        TColor c =
            (state & DFCS_INACTIVE) || (state & DFCS_BUTTON3STATE) ? clBtnShadow : clWindowText;
        checkMark(px, in.Left + (in.Width() - 7) / 2, in.Top + (in.Height() - 7) / 2, c, in);
    }
}

void radio(Pixels& px, const TRect& rect, unsigned state) {
    TRect box = square(rect);
    double r = box.Width() / 2.0, cx = box.Left + r, cy = box.Top + r;
    bool mono = state & DFCS_MONO, flat = state & DFCS_FLAT;
    bool mask = (state & 0x7) == DFCS_BUTTONRADIOMASK;
    for (int y = box.Top; y < box.Bottom; ++y)
        for (int x = box.Left; x < box.Right; ++x) {
            double dx = x + 0.5 - cx, dy = y + 0.5 - cy, d = std::sqrt(dx * dx + dy * dy);
            if (d >= r) {
                if (mask) px.pixel(x, y, clWhite);
                continue;
            }
            if (mask) {
                px.pixel(x, y, clBlack);
                continue;
            }
            bool lt = dx + dy < 0;
            TColor c;
            if (d >= r - 1)
                c = mono ? clWindowFrame : flat ? clBtnShadow : lt ? clBtnShadow : clBtnHighlight;
            else if (d >= r - 2)
                c = mono ? clWindow : flat ? clBtnFace : lt ? cl3DDkShadow : cl3DLight;
            else
                c = (state & (DFCS_INACTIVE | DFCS_PUSHED)) ? clBtnFace : clWindow;
            if ((state & DFCS_CHECKED) && d < r / 3.0)
                c = (state & DFCS_INACTIVE) ? clBtnShadow : clWindowText;
            px.pixel(x, y, c);
        }
}

void pushButton(Pixels& px, const TRect& rect, unsigned state) {
    unsigned f = BF_RECT | BF_SOFT | BF_MIDDLE | ((state & DFCS_FLAT) ? BF_FLAT : 0) |
                 ((state & DFCS_MONO) ? BF_MONO : 0);
    TRect in = edge(px, rect, (state & DFCS_PUSHED) ? EDGE_SUNKEN : EDGE_RAISED, f);
    if (state & DFCS_CHECKED)
        for (int y = in.Top; y < in.Bottom; ++y)
            for (int x = in.Left; x < in.Right; ++x)
                if (((x + y) & 1) == 0) px.pixel(x, y, clBtnHighlight);
}

// A filled triangle pointing in a direction (0 up, 1 down, 2 left, 3 right) centred on (cx, cy).
void arrow(Pixels& px, int cx, int cy, int size, int dir, TColor c) {
    for (int i = 0; i < size; ++i) {
        int half = dir == 0 || dir == 2 ? i : size - 1 - i;
        int along = i - size / 2;
        for (int k = -half; k <= half; ++k) {
            if (dir <= 1)
                px.pixel(cx + k, cy + along, c);
            else
                px.pixel(cx + along, cy + k, c);
        }
    }
}

void glyphButton(Pixels& px, const TRect& rect, unsigned state,
                 const std::function<void(int dx, TColor)>& glyph) {
    if (state & DFCS_PUSHED && !(state & DFCS_FLAT))
        edge(px, rect, BDR_SUNKENOUTER | BDR_SUNKENINNER, BF_RECT | BF_MIDDLE | BF_FLAT);
    else
        edge(px, rect, EDGE_RAISED,
             BF_RECT | BF_SOFT | BF_MIDDLE | ((state & DFCS_FLAT) ? BF_FLAT : 0) |
                 ((state & DFCS_MONO) ? BF_MONO : 0));
    int shift = (state & DFCS_PUSHED) ? 1 : 0;
    if (state & DFCS_INACTIVE) {
        glyph(1, clBtnHighlight);
        glyph(0, clBtnShadow);
    } else {
        glyph(shift, clBtnText);
    }
}

void scroll(Pixels& px, const TRect& rect, unsigned state) {
    unsigned kind = state & 0x1F;
    if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
        px.fill(rect, clBtnFace);
        int s = std::min(rect.Width(), rect.Height());
        for (int i = 0; i + 3 < s; i += 4) {
            for (int k = 0; k <= i + 1; ++k) {
                px.pixel(rect.Right - 1 - (i + 1) + k, rect.Bottom - 1 - k, clBtnHighlight);
                px.pixel(rect.Right - 1 - (i + 2) + k + 1, rect.Bottom - 1 - k + 0, clBtnShadow);
                px.pixel(rect.Right - 1 - (i + 3) + k + 1, rect.Bottom - 1 - k + 0, clBtnShadow);
            }
        }
        return;
    }
    int dir = kind == DFCS_SCROLLUP      ? 0
              : kind == DFCS_SCROLLLEFT  ? 2
              : kind == DFCS_SCROLLRIGHT ? 3
                                         : 1;
    int s = std::min(rect.Width(), rect.Height());
    int size = std::max(2, (s + 1) / 4);
    int cx = rect.Left + rect.Width() / 2, cy = rect.Top + rect.Height() / 2;
    if (dir <= 1) cx -= (rect.Width() + 1) % 2 == 0 ? 0 : 0;
    glyphButton(px, rect, state, [&](int d, TColor c) { arrow(px, cx + d, cy + d, size, dir, c); });
}

void caption(Pixels& px, const TRect& rect, unsigned state) {
    unsigned kind = state & 0xF;
    glyphButton(px, rect, state, [&](int d, TColor c) {
        int s = std::min(rect.Width(), rect.Height());
        int g = std::max(4, s - 6) & ~1; // glyph box
        int l = rect.Left + (rect.Width() - g) / 2 + d, t = rect.Top + (rect.Height() - g) / 2 + d;
        switch (kind) {
        case DFCS_CAPTIONCLOSE:
            for (int i = 0; i < g - 1; ++i) {
                px.pixel(l + i, t + i, c);
                px.pixel(l + i + 1, t + i, c);
                px.pixel(l + g - 2 - i, t + i, c);
                px.pixel(l + g - 1 - i, t + i, c);
            }
            break;
        case DFCS_CAPTIONMIN:
            px.fill(TRect(l + 1, t + g - 3, l + g - 3, t + g - 1), c);
            break;
        case DFCS_CAPTIONMAX:
            px.fill(TRect(l, t, l + g, t + 2), c);
            px.fill(TRect(l, t, l + 1, t + g), c);
            px.fill(TRect(l + g - 1, t, l + g, t + g), c);
            px.fill(TRect(l, t + g - 1, l + g, t + g), c);
            break;
        case DFCS_CAPTIONRESTORE: {
            int b = g * 2 / 3;
            for (int k = 0; k < 2; ++k) {
                int ox = k ? 0 : g - b, oy = k ? g - b : 0;
                px.fill(TRect(l + ox, t + oy, l + ox + b, t + oy + 2), c);
                px.fill(TRect(l + ox, t + oy, l + ox + 1, t + oy + b), c);
                px.fill(TRect(l + ox + b - 1, t + oy, l + ox + b, t + oy + b), c);
                px.fill(TRect(l + ox, t + oy + b - 1, l + ox + b, t + oy + b), c);
            }
            break;
        }
        default: { // help: a question mark
            int m = l + g / 2;
            px.fill(TRect(m - 2, t, m + 2, t + 1), c);
            px.fill(TRect(m + 2, t + 1, m + 3, t + 3), c);
            px.fill(TRect(m - 3, t + 1, m - 2, t + 2), c);
            px.fill(TRect(m, t + 3, m + 2, t + 4), c);
            px.fill(TRect(m, t + 4, m + 1, t + g - 3), c);
            px.fill(TRect(m, t + g - 2, m + 1, t + g), c);
            break;
        }
        }
    });
}

void menuGlyph(Pixels& px, const TRect& rect, unsigned state) {
    px.fill(rect, clWhite);
    int cx = rect.Left + rect.Width() / 2, cy = rect.Top + rect.Height() / 2;
    switch (state & 0xF) {
    case DFCS_MENUCHECK:
        checkMark(px, cx - 3, cy - 3, clBlack, rect);
        break;
    case DFCS_MENUBULLET:
        px.fill(TRect(cx - 2, cy - 2, cx + 2, cy + 2), clBlack);
        break;
    case DFCS_MENUARROWRIGHT:
        arrow(px, cx, cy, 4, 2, clBlack);
        break;
    default:
        arrow(px, cx, cy, 4, 3, clBlack);
        break;
    }
}
} // namespace

bool DrawEdge(HDC dc, TRect& rect, unsigned edgeKind, unsigned flags) {
    if (!dc) return false;
    gfx::syncState(*dc);
    Pixels px(dc);
    TRect in = edge(px, rect, edgeKind, flags);
    if (flags & BF_ADJUST) rect = in;
    return true;
}

bool DrawFrameControl(HDC dc, TRect& rect, unsigned type, unsigned state) {
    if (!dc) return false;
    gfx::syncState(*dc);
    Pixels px(dc);
    switch (type) {
    case DFC_BUTTON:
        if (state & DFCS_BUTTONPUSH)
            pushButton(px, rect, state);
        else if (state & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK))
            radio(px, rect, state);
        else
            checkBox(px, rect, state);
        return true;
    case DFC_SCROLL:
        scroll(px, rect, state);
        return true;
    case DFC_CAPTION:
        caption(px, rect, state);
        return true;
    case DFC_MENU:
    case DFC_POPUPMENU:
        menuGlyph(px, rect, state);
        return true;
    default:
        return false;
    }
}

bool DrawFocusRect(HDC dc, const TRect& rect) {
    if (!dc || rect.IsEmpty()) return false;
    Pixels px(dc);
    TRect d = rect;
    OffsetRect(d, px.off.X, px.off.Y);
    // Every other pixel of the one-pixel frame is inverted, each once, so a second call undoes it.
    auto flip = [&](int x, int y) {
        if (((x + y) & 1) == 0 && px.r.visible(x, y)) *px.r.at(x, y) ^= 0x00FFFFFFu;
    };
    for (int x = d.Left; x < d.Right; ++x) {
        flip(x, d.Top);
        if (d.Bottom - 1 > d.Top) flip(x, d.Bottom - 1);
    }
    for (int y = d.Top + 1; y < d.Bottom - 1; ++y) {
        flip(d.Left, y);
        if (d.Right - 1 > d.Left) flip(d.Right - 1, y);
    }
    return true;
}
