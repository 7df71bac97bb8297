#include "mbus/QorPageControl.h"

#include "platform/gfx/Gdi.h"
#include "platform/gfx/Graphics.h"
#include "platform/gfx/ImageList.h"

#include <algorithm>
#include <cmath>

namespace {

void line(TCanvas* c, TColor color, int x1, int y1, int x2, int y2) {
    c->Pen()->SetColor(color);
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
}

int channel(TColor c, int shift) {
    return int((ColorToRGB(c) >> shift) & 0xFF);
}

// Draws the Src part of a picture into Dest, stretched, with one colour transparent.
void drawTransparent(TCanvas* c, const TRect& Dest, TBitmap* Picture, const TRect& Src,
                     TColor Transparent) {
    if (Dest.IsEmpty() || Src.IsEmpty()) return;
    TBitmap part(Src.Width(), Src.Height());
    part.Canvas()->CopyRect({0, 0, Src.Width(), Src.Height()}, Picture->Canvas(), Src);
    part.SetTransparentColor(Transparent);
    part.SetTransparent(true);
    c->StretchDraw(Dest, &part);
}

// A tab picture along a tab: its first half at the tab's start, a two-pixel slice of its
// middle stretched over the tab's middle and its second half at the tab's end. Halves are rows
// for vertical tabs and columns for horizontal ones; the bottom-left pixel is transparent.
void drawAlongTab(TCanvas* c, TBitmap* Picture, const TRect& Tab, bool Vertical) {
    const TColor key = Picture->PixelColor(0, Picture->Height() - 1);
    const int w = Picture->Width(), h = Picture->Height();
    if (Vertical) {
        const int half = h / 2, across = std::min(w, Tab.Width());
        drawTransparent(c, {Tab.Left, Tab.Top, Tab.Left + across, Tab.Top + half}, Picture,
                        {0, 0, across, half}, key);
        drawTransparent(c, {Tab.Left, Tab.Top + half, Tab.Left + across, Tab.Bottom - half},
                        Picture, {0, half - 1, across, half + 1}, key);
        drawTransparent(c, {Tab.Left, Tab.Bottom - half, Tab.Left + across, Tab.Bottom}, Picture,
                        {0, h - half, across, h}, key);
    } else {
        const int half = w / 2, across = std::min(h, Tab.Height());
        drawTransparent(c, {Tab.Left, Tab.Top, Tab.Left + half, Tab.Top + across}, Picture,
                        {0, 0, half, across}, key);
        drawTransparent(c, {Tab.Left + half, Tab.Top, Tab.Right - half, Tab.Top + across}, Picture,
                        {half - 1, 0, half + 1, across}, key);
        drawTransparent(c, {Tab.Right - half, Tab.Top, Tab.Right, Tab.Top + across}, Picture,
                        {w - half, 0, w, across}, key);
    }
}

} // namespace

void DrawGradientFill(TCanvas* Canvas, TColor C1, TColor C2, bool Horizontal, const TRect& R,
                      int Steps) {
    if (Steps <= 0) Steps = 1;
    const double size = double(Horizontal ? R.Width() : R.Height()) / Steps;
    const int r1 = channel(C1, 0), g1 = channel(C1, 8), b1 = channel(C1, 16);
    const int r2 = channel(C2, 0), g2 = channel(C2, 8), b2 = channel(C2, 16);
    Canvas->Pen()->SetStyle(psSolid);
    Canvas->Brush()->SetStyle(bsSolid);
    for (int n = 0; n < Steps; ++n) {
        auto mix = [&](int a, int b) { return int(std::lround(a + double(n) * (b - a) / Steps)); };
        const TColor c = RGB(mix(r1, r2), mix(g1, g2), mix(b1, b2));
        Canvas->Pen()->SetColor(c);
        Canvas->Brush()->SetColor(c);
        const int start = int(std::lround(n * size));
        const int length = int(std::lround(size)) + 1;
        if (Horizontal)
            Canvas->Rectangle(R.Left + start, R.Top, R.Left + start + length, R.Bottom);
        else
            Canvas->Rectangle(R.Left, R.Top + start, R.Right, R.Top + start + length);
    }
}

void TQorPageControl::Paint() {
    TCanvas* c = Canvas();
    const int W = Width(), H = Height();
    const TColor back = Parent() ? Parent()->Color() : clBtnFace;
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(back);
    c->FillRect(ClientRect());
    c->Font()->Assign(Font());
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);

    // The strip: from the control's edge to the inner edge of the tabs.
    const bool vertical = FTabPosition == tpLeft || FTabPosition == tpRight;
    int stripEdge = 2, stripEnd = 0;
    for (TQorTabSheet* p : FPages) {
        const TRect r = TabRect(p);
        if (r.IsEmpty()) continue;
        switch (FTabPosition) {
        case tpLeft:
            stripEdge = std::max(stripEdge, r.Right);
            break;
        case tpRight:
            stripEdge = std::max(stripEdge, W - r.Left);
            break;
        case tpTop:
            stripEdge = std::max(stripEdge, r.Bottom);
            break;
        case tpBottom:
            stripEdge = std::max(stripEdge, H - r.Top);
            break;
        }
        stripEnd = std::max(stripEnd, vertical ? r.Bottom : r.Right);
    }
    TRect strip, sheet;
    switch (FTabPosition) {
    case tpLeft:
        strip = {0, 0, stripEdge, H - 1};
        sheet = {stripEdge, 0, W, H};
        break;
    case tpRight:
        strip = {W - stripEdge, 0, W, H - 1};
        sheet = {0, 0, W - stripEdge, H};
        break;
    case tpTop:
        strip = {0, 0, W - 1, stripEdge};
        sheet = {0, stripEdge, W, H};
        break;
    case tpBottom:
        strip = {0, H - stripEdge, W - 1, H};
        sheet = {0, 0, W, H - stripEdge};
        break;
    }
    c->Brush()->SetColor(FTabBackGroundColor);
    c->FillRect(strip);

    // The sheet area's colour, when the active sheet has its own.
    bool filled = false;
    if (FActivePage && (FActivePage->ColorTo() != clNone || FActivePage->Color() != Color())) {
        if (FActivePage->ColorTo() == clNone) {
            c->Brush()->SetColor(FActivePage->Color());
            c->FillRect(sheet);
        } else {
            DrawGradientFill(c, FActivePage->Color(), FActivePage->ColorTo(), false, sheet, 16);
        }
        filled = true;
    }
    paintSheetFrame(c, sheet);

    // The sheet edge next to the tabs takes the sheet's colour, so that the tabs join it.
    if (!FTabSplitLine && !FPages.empty() && !FTabBorder3D) {
        const TColor edge = filled ? FActivePage->Color() : Color();
        const int end = stripEnd + FTabOverlap;
        switch (FTabPosition) {
        case tpLeft:
            line(c, edge, stripEdge, 2, stripEdge, end);
            break;
        case tpRight:
            line(c, edge, W - stripEdge - 1, 2, W - stripEdge - 1, end);
            break;
        case tpTop:
            line(c, edge, 2, stripEdge, end, stripEdge);
            break;
        case tpBottom:
            line(c, edge, 2, H - stripEdge - 1, end, H - stripEdge - 1);
            break;
        }
    }

    // From the last page to the first; a tab with its own active picture goes over the others.
    TQorTabSheet* last = nullptr;
    for (auto it = FPages.rbegin(); it != FPages.rend(); ++it) {
        if (!(*it)->FTabVisible) continue;
        if (*it == FActivePage && FTabBackGroundActive && !FTabBorder3D) {
            last = *it;
            continue;
        }
        paintTab(c, *it, stripEnd);
    }
    if (last) paintTab(c, last, stripEnd);

    // The hovered tab's outline, on its three sides away from the sheet.
    if (FHoverTab >= 0 && FHoverTab < PageCount() && FTabHoverBorder != clNone &&
        FPages[std::size_t(FHoverTab)] != FActivePage && hoverDrawn()) {
        const TRect r = TabRect(FPages[std::size_t(FHoverTab)]);
        const int L = r.Left, T = r.Top, R = r.Right - 1, B = r.Bottom - 1;
        c->Pen()->SetColor(FTabHoverBorder);
        switch (FTabPosition) {
        case tpLeft:
            c->Polyline({{R, T}, {L, T}, {L, B}, {R + 1, B}});
            break;
        case tpRight:
            c->Polyline({{L, T}, {R, T}, {R, B}, {L - 1, B}});
            break;
        case tpTop:
            c->Polyline({{L, B}, {L, T}, {R, T}, {R, B + 1}});
            break;
        case tpBottom:
            c->Polyline({{L, T}, {L, B}, {R, B}, {R, T - 1}});
            break;
        }
    }
}

void TQorPageControl::paintSheetFrame(TCanvas* c, const TRect& f) {
    const int W = Width(), H = Height();
    if (FTabSheet3D) {
        // Raised: light on the top and left, shadow on the bottom and right.
        TRect r{f.Left, f.Top, W, H};
        DrawEdge(c, r, BDR_RAISEDOUTER | BDR_RAISEDINNER, BF_RECT);
    } else {
        line(c, FTabSheetBorderColor, f.Left, 0, f.Left, H);
        line(c, FTabSheetBorderColor, f.Left, H - 2, W - 2, H - 2);
        line(c, FTabSheetBorderColor, W - 2, H - 2, W - 2, f.Top - 1);
        line(c, FTabSheetBorderColor, W - 2, f.Top, f.Left, f.Top);
        line(c, Color(), f.Left, H - 1, W - 1, H - 1);
        line(c, Color(), W - 1, H - 1, W - 1, f.Top - 1);
        if (FTabPosition == tpRight) line(c, FTabSheetBorderColor, f.Right - 1, 0, f.Right - 1, H);
        if (FTabPosition == tpTop) line(c, FTabSheetBorderColor, f.Left, f.Top, W - 1, f.Top);
    }
    if (!FRoundEdges) return;
    // The frame's outer corner away from the tabs, rounded.
    const int x = FTabPosition == tpRight ? f.Left : W - 2;
    const int y = FTabPosition == tpBottom ? f.Top : H - 2;
    const int dx = FTabPosition == tpRight ? 1 : -1, dy = FTabPosition == tpBottom ? 1 : -1;
    c->SetPixels(x, y, Color());
    c->SetPixels(x + dx, y, Color());
    c->SetPixels(x, y + dy, Color());
    c->SetPixels(x + dx, y + dy, FTabSheetBorderColor);
}

void TQorPageControl::paintClassicTab(TCanvas* C, TQorTabSheet* Page) {
    TRect r = TabRect(Page);
    const bool active = Page == FActivePage;
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Page->Highlighted() ? clHighlight : clBtnFace);
    C->FillRect(r);
    unsigned sides = BF_RECT;
    switch (FTabPosition) {
    case tpLeft:
        sides = BF_LEFT | BF_TOP | BF_BOTTOM;
        break;
    case tpRight:
        sides = BF_RIGHT | BF_TOP | BF_BOTTOM;
        break;
    case tpTop:
        sides = BF_LEFT | BF_TOP | BF_RIGHT;
        break;
    case tpBottom:
        sides = BF_LEFT | BF_BOTTOM | BF_RIGHT;
        break;
    }
    DrawEdge(C, r, EDGE_RAISED, sides);
    C->Font()->Assign(active ? FActiveFont.get() : Font());
    C->Font()->SetColor(!Page->TabEnable()    ? clGray
                        : Page->Highlighted() ? clHighlightText
                                              : Page->TextColor());
    C->Brush()->SetStyle(bsClear);
    const TRect t = TabRect(Page);
    switch (FTabPosition) {
    case tpLeft:
        C->Font()->SetOrientation(900);
        C->TextOut(t.Left + 2, t.Bottom - 4 - FTabMargin->TopMargin(), Page->Caption());
        break;
    case tpRight:
        C->Font()->SetOrientation(-900);
        C->TextOut(t.Right - 2, t.Top + 4 + FTabMargin->TopMargin(), Page->Caption());
        break;
    case tpTop:
    case tpBottom:
        C->TextOut(t.Left + 4 + FTabMargin->LeftMargin(), t.Top + 3, Page->Caption());
        break;
    }
    C->Font()->SetOrientation(0);
}

void TQorPageControl::paintCloseButton(TCanvas* C, TQorTabSheet* Page) {
    TRect r = CloseButtonRect(Page);
    const bool active = Page == FActivePage;
    if (active) {
        // The active tab's content sits LowerActive pixels nearer the sheet.
        switch (FTabPosition) {
        case tpLeft:
            OffsetRect(r, FLowerActive, 0);
            break;
        case tpRight:
            OffsetRect(r, -FLowerActive, 0);
            break;
        case tpTop:
            OffsetRect(r, 0, FLowerActive);
            break;
        case tpBottom:
            OffsetRect(r, 0, -FLowerActive);
            break;
        }
    }
    const TCloseState state = active ? FCloseState : TCloseState::Normal;
    if (FCloseGlyph) {
        const int w = std::min(FCloseGlyph->Width(), 12), h = std::min(FCloseGlyph->Height(), 11);
        drawTransparent(C, Bounds(r.Left, r.Top, w, h), FCloseGlyph.get(), {0, 0, w, h},
                        FCloseGlyph->TransparentColor());
        return;
    }
    const TColor face = state == TCloseState::Down ? clSilver : clWhite;
    const TColor frame = state == TCloseState::Normal ? clGray : clBlack;
    const TColor cross = state == TCloseState::Hot ? clGray : clBlack;
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(face);
    C->Pen()->SetColor(frame);
    C->Rectangle(r);
    C->Pen()->SetColor(cross);
    // Two double diagonals.
    for (int d = 0; d < 2; ++d) {
        C->MoveTo(r.Left + 3 + d, r.Top + 3);
        C->LineTo(r.Left + 8 + d, r.Top + 8);
        C->MoveTo(r.Left + 7 + d, r.Top + 3);
        C->LineTo(r.Left + 2 + d, r.Top + 8);
    }
}

void TQorPageControl::paintTab(TCanvas* C, TQorTabSheet* Page, int StripEnd) {
    if (FTabBorder3D) return paintClassicTab(C, Page);
    const TRect r = TabRect(Page);
    const bool active = Page == FActivePage;
    const int pageIndex = Page->PageIndex();
    TColor from = Page->TabColor(), to = Page->TabColorTo();
    bool horizontal = Page->TabGradientDirection() == gdHorizontal;
    if (active && FActiveColor != clNone) {
        from = FActiveColor;
        to = FActiveColorTo;
    } else if (pageIndex == FHoverTab && hoverDrawn()) {
        from = FTabHoverColor;
        to = FTabHoverColorTo;
        horizontal = Page->HoverGradientDirection() == gdHorizontal;
    }
    const bool vertical = FTabPosition == tpLeft || FTabPosition == tpRight;
    TBitmap* picture =
        active && FTabBackGroundActive ? FTabBackGroundActive.get() : FTabBackGround.get();
    // The text origin: the tab's start edge (bottom for tabs on the left).
    const int lower = active ? FLowerActive : 0;
    const int close = Page->FShowClose ? 13 : 0;
    TPoint origin;
    switch (FTabPosition) {
    case tpLeft:
        origin = {r.Left + 1 + lower, r.Bottom - 4 - close};
        break;
    case tpRight:
        origin = {r.Right - 1 - lower, r.Top + 4 + close};
        break;
    case tpTop:
        origin = {r.Left + 4 + close, r.Top + 3 + lower};
        break;
    case tpBottom:
        origin = {r.Left + 4 + close, r.Top + 3 - lower};
        break;
    }

    if (!picture) {
        TRect fill = r;
        if (FTabPosition == tpLeft) fill.Left -= 1;
        if (to != clNone) {
            DrawGradientFill(C, from, to, horizontal, fill, 16);
        } else {
            C->Brush()->SetStyle(bsSolid);
            C->Brush()->SetColor(from);
            C->FillRect(fill);
        }
        // The outline: the active tab is open towards the sheet.
        C->Brush()->SetStyle(bsClear);
        const int L = r.Left, T = r.Top, R = r.Right - 1, B = r.Bottom - 1;
        C->Pen()->SetColor(FTabBorderColor);
        if (active) {
            switch (FTabPosition) {
            case tpLeft:
                C->Polyline({{R, T}, {L, T}, {L, B}, {R + 1, B}});
                break;
            case tpRight:
                C->Polyline({{L, T}, {R, T}, {R, B}, {L - 1, B}});
                break;
            case tpTop:
                C->Polyline({{L, B}, {L, T}, {R, T}, {R, B + 1}});
                break;
            case tpBottom:
                C->Polyline({{L, T}, {L, B}, {R, B}, {R, T - 1}});
                break;
            }
        } else if (FTabStyle == tsDotNet) {
            switch (FTabPosition) {
            case tpLeft:
                line(C, FTabBorderColor, R, T, R, B + 1);
                break;
            case tpRight:
                line(C, FTabBorderColor, L, T, L, B + 1);
                break;
            case tpTop:
                line(C, FTabBorderColor, L, B, R + 1, B);
                break;
            case tpBottom:
                line(C, FTabBorderColor, L, T, R + 1, T);
                break;
            }
            // Separators between inactive tabs, not before the active one.
            TQorTabSheet* next = FindNextPage(Page, true, true);
            const int tabEnd = vertical ? r.Bottom : r.Right;
            if (next != FActivePage || tabEnd >= StripEnd - 3) {
                if (vertical) {
                    line(C, FActiveColor, L + 2, r.Bottom - 2, R - 1, r.Bottom - 2);
                    line(C, FActiveColor, L + 2, r.Bottom - 3, R - 1, r.Bottom - 3);
                } else {
                    line(C, FActiveColor, r.Right - 2, T + 2, r.Right - 2, B - 1);
                    line(C, FActiveColor, r.Right - 3, T + 2, r.Right - 3, B - 1);
                }
            }
        } else {
            C->Rectangle(r);
        }
    } else {
        drawAlongTab(C, picture, r, vertical);
        // On a picture the text sits 2 pixels nearer the sheet and 3 up.
        switch (FTabPosition) {
        case tpLeft:
            origin.X += 2;
            origin.Y -= 3;
            break;
        case tpRight:
            origin.X -= 2;
            origin.Y += 3;
            break;
        case tpTop:
            origin.Y += 2;
            origin.X -= 3;
            break;
        case tpBottom:
            origin.Y -= 2;
            origin.X -= 3;
            break;
        }
        if (active && picture == FTabBackGroundActive.get()) {
            if (vertical)
                origin.Y += (FTabPosition == tpLeft ? 1 : -1) * (FTabOverlap + 3);
            else
                origin.X += FTabOverlap + 3;
        }
    }

    // The margins move the text along the tab (TopMargin) and across it (LeftMargin).
    switch (FTabPosition) {
    case tpLeft:
        origin.X += FTabMargin->LeftMargin();
        origin.Y -= FTabMargin->TopMargin();
        break;
    case tpRight:
        origin.X -= FTabMargin->LeftMargin();
        origin.Y += FTabMargin->TopMargin();
        break;
    case tpTop:
    case tpBottom:
        origin.X += FTabMargin->LeftMargin();
        origin.Y += FTabMargin->TopMargin();
        break;
    }

    if (Page->FShowClose) paintCloseButton(C, Page);

    if (FImages && Page->ImageIndex() >= 0) {
        const int iw = FImages->Width(), ih = FImages->Height();
        switch (FTabPosition) {
        // Along a side the image starts 14 pixels before the text origin, and the text follows
        // it.
        case tpLeft:
            FImages->Draw(C, r.Left + 2 + lower, origin.Y - 14, Page->ImageIndex());
            origin.Y -= ih;
            break;
        case tpRight:
            FImages->Draw(C, r.Right - 2 - lower - iw, origin.Y + 14 - ih, Page->ImageIndex());
            origin.Y += ih;
            break;
        case tpTop:
        case tpBottom:
            FImages->Draw(C, origin.X, r.Top + (r.Height() - ih) / 2, Page->ImageIndex());
            origin.X += iw + 2;
            break;
        }
    }

    // The full caption, turned so that it reads upwards on the left and downwards on the
    // right.
    C->Font()->Assign(active ? FActiveFont.get() : Font());
    C->Font()->SetColor(Page->TabEnable() ? Page->TextColor() : clGray);
    C->Brush()->SetStyle(bsClear);
    if (FTabPosition == tpLeft) C->Font()->SetOrientation(900);
    if (FTabPosition == tpRight) C->Font()->SetOrientation(-900);
    C->TextOut(origin.X, origin.Y, Page->Caption());
    C->Font()->SetOrientation(0);

    if (active && FShowFocus && Focused()) {
        const TRect fr = vertical ? TRect{r.Left + 5, r.Top + 3, r.Right - 5, r.Bottom - 3}
                                  : TRect{r.Left + 3, r.Top + 5, r.Right - 3, r.Bottom - 5};
        C->Font()->SetColor(clBlack);
        C->DrawFocusRect(fr);
    }
}
