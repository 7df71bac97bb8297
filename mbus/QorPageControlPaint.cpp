#include "mbus/QorPageControl.h"

#include "platform/gfx/Graphics.h"

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

    // The sheet frame, open towards nothing: the tabs join it below.
    const TRect f = sheet;
    line(c, FTabSheetBorderColor, f.Left, 0, f.Left, H);
    line(c, FTabSheetBorderColor, f.Left, H - 2, W - 2, H - 2);
    line(c, FTabSheetBorderColor, W - 2, H - 2, W - 2, f.Top - 1);
    line(c, FTabSheetBorderColor, W - 2, f.Top, f.Left, f.Top);
    line(c, Color(), f.Left, H - 1, W - 1, H - 1);
    line(c, Color(), W - 1, H - 1, W - 1, f.Top - 1);
    if (FTabPosition == tpRight) line(c, FTabSheetBorderColor, f.Right - 1, 0, f.Right - 1, H);
    if (FTabPosition == tpTop) line(c, FTabSheetBorderColor, f.Left, f.Top, W - 1, f.Top);

    // The sheet edge next to the tabs takes the sheet's colour so the active tab joins it.
    if (!FTabSplitLine && !FPages.empty() && FTabPosition == tpLeft) {
        const TColor edge = filled && FActivePage ? FActivePage->Color() : Color();
        if (FActivePage && !TabRect(FActivePage).IsEmpty()) {
            const TRect a = TabRect(FActivePage);
            line(c, edge, stripEdge, a.Top + 1, stripEdge, a.Bottom + FTabOverlap);
        }
    }

    for (auto it = FPages.rbegin(); it != FPages.rend(); ++it)
        if ((*it)->FTabVisible) paintTab(c, *it, stripEnd);
}

void TQorPageControl::paintTab(TCanvas* C, TQorTabSheet* Page, int StripEnd) {
    const TRect r = TabRect(Page);
    const bool active = Page == FActivePage;
    TColor from = Page->TabColor(), to = Page->TabColorTo();
    if (active && FActiveColor != clNone) {
        from = FActiveColor;
        to = FActiveColorTo;
    }
    const bool vertical = FTabPosition == tpLeft || FTabPosition == tpRight;
    // The tab's side towards the sheet, and its far side.
    TRect fill = r;
    if (FTabPosition == tpLeft) fill.Left -= 1;
    if (to != clNone)
        DrawGradientFill(C, from, to, Page->TabGradientDirection() == gdHorizontal, fill, 16);
    else {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(from);
        C->FillRect(fill);
    }

    // The outline: the active tab is open towards the sheet.
    C->Brush()->SetStyle(bsClear);
    const int L = r.Left, T = r.Top, R = r.Right - 1, B = r.Bottom - 1;
    if (active) {
        C->Pen()->SetColor(FTabBorderColor);
        switch (FTabPosition) {
        case tpLeft:
            C->MoveTo(R, T);
            C->LineTo(L, T);
            C->LineTo(L, B);
            C->LineTo(R + 1, B);
            break;
        case tpRight:
            C->MoveTo(L, T);
            C->LineTo(R, T);
            C->LineTo(R, B);
            C->LineTo(L - 1, B);
            break;
        case tpTop:
            C->MoveTo(L, B);
            C->LineTo(L, T);
            C->LineTo(R, T);
            C->LineTo(R, B + 1);
            break;
        case tpBottom:
            C->MoveTo(L, T);
            C->LineTo(L, B);
            C->LineTo(R, B);
            C->LineTo(R, T - 1);
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
        if (next != FActivePage || next == nullptr || tabEnd >= StripEnd - 3 ||
            FindNextPage(Page, true, true) == FPages.front()) {
            if (vertical) {
                line(C, FActiveColor, L + 2, r.Bottom - 2, R - 1, r.Bottom - 2);
                line(C, FActiveColor, L + 2, r.Bottom - 3, R - 1, r.Bottom - 3);
            } else {
                line(C, FActiveColor, r.Right - 2, T + 2, r.Right - 2, B - 1);
                line(C, FActiveColor, r.Right - 3, T + 2, r.Right - 3, B - 1);
            }
        }
    } else {
        C->Pen()->SetColor(FTabBorderColor);
        C->Rectangle(r);
    }

    // The full caption, turned so that it reads upwards on the left and downwards on the
    // right.
    C->Font()->Assign(active ? FActiveFont.get() : Font());
    C->Font()->SetColor(Page->TabEnable() ? Page->TextColor() : clGray);
    C->Brush()->SetStyle(bsClear);
    const int lower = active ? FLowerActive : 0;
    switch (FTabPosition) {
    case tpLeft:
        C->Font()->SetOrientation(900);
        C->TextOut(r.Left + 1 + lower + FTabMargin->LeftMargin(),
                   r.Bottom - 4 - FTabMargin->TopMargin(), Page->Caption());
        break;
    case tpRight:
        C->Font()->SetOrientation(-900);
        C->TextOut(r.Right - 1 - lower - FTabMargin->LeftMargin(),
                   r.Top + 4 + FTabMargin->TopMargin(), Page->Caption());
        break;
    case tpTop:
        C->TextOut(r.Left + 4 + FTabMargin->LeftMargin(),
                   r.Top + 3 + lower + FTabMargin->TopMargin(), Page->Caption());
        break;
    case tpBottom:
        C->TextOut(r.Left + 4 + FTabMargin->LeftMargin(),
                   r.Top + 3 - lower + FTabMargin->TopMargin(), Page->Caption());
        break;
    }
    C->Font()->SetOrientation(0);

    if (active && FShowFocus && Focused()) {
        TRect fr = r;
        if (vertical)
            fr = {r.Left + 5, r.Top + 3, r.Right - 5, r.Bottom - 3};
        else
            fr = {r.Left + 3, r.Top + 5, r.Right - 3, r.Bottom - 5};
        C->Font()->SetColor(clBlack);
        C->DrawFocusRect(fr);
    }
}
