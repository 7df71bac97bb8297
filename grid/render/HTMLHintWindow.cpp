#include "grid/render/HTMLHintWindow.h"

#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUtils.h"
#include "grid/render/markup/MarkupRender.h"
#include "platform/gfx/Gdi.h"

#include <algorithm>

namespace {

bool isPackedWide(const std::string& s) {
    return s.rfind("|\\", 0) == 0;
}

} // namespace

THTMLHintWindow::THTMLHintWindow(TComponent* AOwner) : THintWindow(AOwner) {}

void THTMLHintWindow::pictures(HTMLRenderOptions& Options) {
    Options.ImageList = FImages;
    Options.PictureContainer = FPictureContainer;
    Options.ThemeWindow = HandleAllocated() ? Handle() : nullptr;
}

TSize THTMLHintWindow::measure(const std::string& AHint, int MaxWidth) {
    TBitmap scratch(1, 1);
    TCanvas* c = scratch.Canvas();
    if (isPackedWide(AHint)) {
        FWideCaption = DecodePackedWideText(AHint);
        c->Font()->Assign(Font());
        if (!TQorStringGrid::HintFontName().empty())
            c->Font()->SetName(TQorStringGrid::HintFontName());
        TRect r{0, 0, 0, 0};
        DrawText(c, WideToUtf8(FWideCaption), -1, r, DT_NOPREFIX | DT_CALCRECT | DT_SINGLELINE);
        return {r.Width(), r.Height()};
    }
    c->Font()->Assign(Font());
    HTMLRenderOptions o;
    pictures(o);
    o.MeasureOnly = true;
    o.WordWrap = true;
    o.HoveredLink = 0;
    HTMLRenderResult res;
    HTMLRenderText(*c, AHint, TRect{0, 0, MaxWidth, 0}, o, res);
    return {res.MaxLineWidth, res.TotalHeight};
}

TRect THTMLHintWindow::CalcHintRect(int MaxWidth, const std::string& AHint) {
    const TSize s = measure(AHint, MaxWidth > 0 ? MaxWidth : MaxTextWidth);
    return {0, 0, s.cx, s.cy};
}

void THTMLHintWindow::ActivateHintData(const TRect& Rect, const std::string& AHint, TObject* Data) {
    if (auto* grid = dynamic_cast<TQorStringGrid*>(Data)) {
        FImages = grid->GridImages();
        FPictureContainer = grid->PictureContainer();
    }
    ActivateHint(Rect, AHint);
}

void THTMLHintWindow::ActivateHint(const TRect& Rect, const std::string& AHint) {
    SetText(AHint);
    const TSize s = measure(AHint, MaxTextWidth);
    const int extra = isPackedWide(AHint) ? 8 : 16;
    FTextWidth = s.cx;
    FTextHeight = s.cy;
    TRect r = Rect;
    r.Right = r.Left + FTextWidth + extra;
    r.Bottom = r.Top + FTextHeight + 4;
    const int screenRight = Screen->Width(), screenBottom = Screen->Height();
    if (r.Right > screenRight) {
        const int w = r.Width();
        r.Left = screenRight - w - 2;
        r.Right = r.Left + w;
    }
    if (r.Bottom > screenBottom) {
        r.Bottom = screenBottom - 2;
        r.Top = r.Bottom - FTextHeight - 4;
    }
    SetBoundsRect(r);
    SetVisible(true);
    BringToFront();
    Invalidate();
}

void THTMLHintWindow::Paint() {
    TCanvas* c = Canvas();
    const TRect cr = ClientRect();
    c->Brush()->SetColor(Color());
    c->FillRect(cr);
    c->Pen()->SetColor(cl3DLight);
    c->MoveTo(cr.Left, cr.Bottom - 2);
    c->LineTo(cr.Left, cr.Top);
    c->LineTo(cr.Right - 1, cr.Top);
    c->Pen()->SetColor(cl3DDkShadow);
    c->MoveTo(cr.Left, cr.Bottom - 1);
    c->LineTo(cr.Right - 1, cr.Bottom - 1);
    c->LineTo(cr.Right - 1, cr.Top - 1);
    TRect tr{cr.Left + 4, 0, cr.Right - 4, 0};
    tr.Top = cr.Top + (cr.Height() - FTextHeight) / 2;
    tr.Bottom = tr.Top + FTextHeight + 8;
    SetBkMode(c, TRANSPARENT);
    if (isPackedWide(Text())) {
        c->Font()->Assign(Font());
        if (!TQorStringGrid::HintFontName().empty())
            c->Font()->SetName(TQorStringGrid::HintFontName());
        DrawText(c, WideToUtf8(FWideCaption), -1, tr, DT_NOPREFIX | DT_SINGLELINE);
        return;
    }
    c->Font()->Assign(Font());
    HTMLRenderOptions o;
    pictures(o);
    o.HoveredLink = 0;
    // Painted wrapped, as measured: every measured line shows.
    o.WordWrap = true;
    HTMLRenderResult res;
    HTMLRenderText(*c, Text(), tr, o, res);
}
