// TQorStringGrid: the footer strip's wiring, the focus frame around the edited cell, the
// design-time quick-configuration panel, the snapshot form of a cell range, the search panel's
// mirror of the SearchFooter settings, the version and the remembered column widths.
#include "grid/core/GridLibrary.h"
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/AlphaMask.h"
#include "grid/core/base/GridDraw.h"
#include "grid/data/SearchPanel.h"
#include "grid/render/AuxWindows.h"
#include "grid/render/ControlLook.h"
#include "grid/render/FloatingFooter.h"
#include "platform/ui/Menus.h"
#include "platform/ui/core/LayeredWindows.h"

#include <algorithm>

namespace {
// The frame reaches 4 pixels out on the left and top and 5 on the right and bottom.
constexpr int FrameInset = 4;
constexpr int FrameGrowth = 9;
constexpr TColor FrameColor = 0xFDD397;
constexpr std::uint8_t FrameOpacity = 230;

constexpr int DesignPanelWidth = 150;

// The close glyph of the design panel: a small dark cross on a keyed background.
void registerCloseGlyph() {
    static const std::unique_ptr<TBitmap> glyph = [] {
        auto b = std::make_unique<TBitmap>(12, 12);
        TCanvas* c = b->Canvas();
        c->Brush()->SetColor(clFuchsia);
        c->FillRect(TRect(0, 0, 12, 12));
        c->Pen()->SetColor(clNavy);
        c->Pen()->SetWidth(2);
        c->MoveTo(2, 2);
        c->LineTo(10, 10);
        c->MoveTo(10, 2);
        c->LineTo(2, 10);
        RegisterResourceBitmap("ASGCLOSE", b.get());
        return b;
    }();
}
} // namespace

// --- footer strip ----------------------------------------------------------------------------
void TQorStringGrid::footerChanged(TFooterChange What) {
    TFloatingFooter* f = FFloatingFooter.get();
    switch (What) {
    case fcVisible:
    case fcStyle:
        if (FFooterPanel) {
            FFooterPanel->SetHeight(f->Visible() ? std::max(0, f->Height() - 1) : 0);
            FFooterPanel->SetVisible(f->Visible());
        }
        // The footer row counts as fixed exactly while the strip repeats it, whichever setting
        // changed.
        FFixedFooters = f->ShowsLastRow() ? 1 : 0;
        FHideLastRow = f->ShowsLastRow();
        Invalidate();
        if (FFooterPanel) FFooterPanel->Invalidate();
        break;
    case fcHeight:
        if (FFooterPanel && f->Height() > 0 && f->Visible())
            FFooterPanel->SetHeight(f->Height() - 1);
        break;
    case fcHint:
        if (FFooterPanel) FFooterPanel->SetShowHint(f->ShowHint());
        break;
    case fcPaint:
        if (FFooterPanel) FFooterPanel->Invalidate();
        break;
    }
}

void TQorStringGrid::UpdateFooter() {
    if (FFooterPanel) FFooterPanel->Invalidate();
}

// --- focus frame -----------------------------------------------------------------------------
TCanvas* TQorStringGrid::FooterCanvas() const {
    return FFooterPanel ? FFooterPanel->Canvas() : nullptr;
}

void TQorStringGrid::ShowFocusWindow(TRect R) {
    if (!FFocusWindow) return;
    FFocusWindow->SetVisible(false);
    const int w = R.Width() + FrameGrowth, h = R.Height() + FrameGrowth;
    FFocusWindow->SetBounds(FFocusWindow->Left(), FFocusWindow->Top(), w, h);

    TBitmap mask;
    mask.SetPixelFormat(pf24bit);
    mask.SetSize(w, h);
    mask.Canvas()->Brush()->SetColor(clBlack);
    mask.Canvas()->FillRect(TRect(0, 0, w, h));
    MakeRoundRectMask(&mask, w, h, 4, 5, 3);
    TBitmap colour;
    colour.SetPixelFormat(pf24bit);
    colour.SetSize(w, h);
    colour.Canvas()->Brush()->SetColor(FrameColor);
    colour.Canvas()->Pen()->SetColor(FrameColor);
    colour.Canvas()->FillRect(TRect(0, 0, w, h));
    TGridAlphaMask alpha;
    alpha.MergeMask(&mask, &colour, FrameColor);
    alpha.SetOpacity(FrameOpacity);
    ApplyAlphaMask(FFocusWindow, &alpha);

    // Only the frame belongs to the window; the cell itself stays reachable.
    TRegion outer(TRect(0, 0, w, h));
    TRegion inner(TRect(FrameInset, FrameInset, FrameInset + R.Width(), FrameInset + R.Height()));
    SetWindowRgn(FFocusWindow->Handle(), new TRegion(outer.Combined(inner, RGN_XOR)), true);

    const TPoint at = ClientToScreen(TPoint(R.Left, R.Top));
    FFocusWindow->SetBounds(at.X - FrameInset, at.Y - FrameInset, w, h);
    ShowWindow(FFocusWindow->Handle(), SW_SHOWNOACTIVATE);
}

void TQorStringGrid::ApplyAlphaMask(TWinControl* Window, TGridAlphaMask* Mask) {
    if (!Window || !Mask) return;
    const HWND h = Window->Handle();
    SetWindowLong(h, GWL_EXSTYLE, GetWindowLong(h, GWL_EXSTYLE) | LONG(WS_EX_LAYERED));
    TSize size{Mask->Width(), Mask->Height()};
    TPoint source{0, 0};
    TPoint at{Window->Left(), Window->Top()};
    BLENDFUNCTION blend;
    blend.SourceConstantAlpha = Mask->Opacity();
    blend.AlphaFormat = AC_SRC_ALPHA;
    DynUpdateLayeredWindow(h, nullptr, &at, &size, Mask->Canvas(), &source, clNone, &blend,
                           ULW_ALPHA);
}

void TQorStringGrid::MoveFocusWindow() {
    if (!FFocusWindow || !HandleAllocated()) return;
    const TRect r = CellRect(Col(), Row());
    const TPoint at = ClientToScreen(TPoint(r.Left, r.Top));
    const TRect target(at.X - FrameInset, at.Y - FrameInset,
                       at.X - FrameInset + r.Width() + FrameGrowth,
                       at.Y - FrameInset + r.Height() + FrameGrowth);
    // Moving the frame is a window move too: nothing to do when it is already there.
    if (FFocusWindow->BoundsRect() != target) FFocusWindow->SetBoundsRect(target);
}

void TQorStringGrid::HideFocusWindow() {
    if (GridLibrary().FocusFrameGrid == this) GridLibrary().FocusFrameGrid = nullptr;
    if (FFocusWindow) FFocusWindow->SetVisible(false);
}

// --- design panel ----------------------------------------------------------------------------
namespace {
struct DesignPanel {
    int T = 0;
    int L = 0;
    TRect R;
};

DesignPanel designPanel(TCanvas* C, const TRect& client) {
    C->Font()->SetName("Tahoma");
    C->Font()->SetSize(8);
    C->Font()->SetStyle({});
    DesignPanel p;
    p.T = C->TextHeight("gh");
    p.L = p.T + 2;
    const int height = 4 * p.T + 18;
    p.R =
        TRect(client.Right - DesignPanelWidth, client.Bottom - height, client.Right, client.Bottom);
    return p;
}
} // namespace

void TQorStringGrid::PaintDesignHelper() {
    if (!Designing() || !ShowDesignHelper()) return;
    registerCloseGlyph();
    TCanvas* C = Canvas();
    const DesignPanel p = designPanel(C, ClientRect());
    const TRect& r = p.R;
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clInfoBk);
    C->Pen()->SetColor(clGray);
    C->Rectangle(r);
    C->Font()->SetColor(TColor(0x800000));
    auto text = [&](int item, int x, int y, const std::string& s) {
        C->Font()->SetStyle(item == FLastDesignChoice ? TFontStyles{fsUnderline} : TFontStyles{});
        C->TextOut(x, y, s);
    };
    C->Brush()->SetStyle(bsClear);
    text(0, r.Left + 4, r.Top + 4, "Quick config [v" + GetVersionString() + "]");
    DrawResourceBitmap(*C, clInfoBk, TRect(r.Right - 16, r.Top + 2, r.Right - 4, r.Top + 14),
                       "ASGCLOSE");
    const int T = p.T;
    DrawCheck(C, TRect(r.Left + 4, r.Top + T + 4, r.Left + 20, r.Top + T + 20),
              Options().Contains(goEditing), true, false, csWinXP, false, cbUnchecked);
    C->Brush()->SetStyle(bsClear);
    text(1, r.Left + 22, r.Top + T + 6, "Allow edit");
    DrawCheck(C, TRect(r.Left + 4, r.Top + 2 * T + 6, r.Left + 20, r.Top + 2 * T + 22),
              FShowColumnNumbers, true, false, csWinXP, false, cbUnchecked);
    C->Brush()->SetStyle(bsClear);
    text(2, r.Left + 22, r.Top + 2 * T + 8, "Column numbers");
    text(3, r.Left + 4, r.Top + 3 * T + 10, std::string("Set look: ") + LookToCaption(FLook));
    C->Font()->SetStyle({});
    C->Brush()->SetStyle(bsSolid);
}

int TQorStringGrid::DesignHelperHitTest(int X, int Y) {
    TCanvas* C = Canvas();
    const DesignPanel p = designPanel(C, ClientRect());
    const int L = p.L, left = p.R.Left, top = p.R.Top;
    int hit = -1;
    if (X > p.R.Right - 16 && Y > top && Y < top + 16) hit = 4;
    if (X > left && X < left + 18 + C->TextWidth("Allow edit") && Y > top + L + 4 &&
        Y < top + 2 * L + 4)
        hit = 1;
    if (X > left && X < left + 18 + C->TextWidth("Column numbers") && Y > top + 2 * L + 4 &&
        Y < top + 3 * L + 4)
        hit = 2;
    if (X > left && X < left + C->TextWidth(std::string("Set look: ") + LookToCaption(FLook)) &&
        Y > top + 3 * L + 4 && Y < top + 4 * L + 4)
        hit = 3;
    return hit;
}

void TQorStringGrid::DesignHelperClick(int X, int Y) {
    if (!Designing() || !ShowDesignHelper()) return;
    const int item = DesignHelperHitTest(X, Y);
    switch (item) {
    case 1: {
        TGridOptions o = Options();
        if (o.Contains(goEditing))
            o.Exclude(goEditing);
        else
            o.Include(goEditing);
        SetOptions(o);
        break;
    }
    case 2:
        FShowColumnNumbers = !FShowColumnNumbers;
        Invalidate();
        break;
    case 3: {
        struct Entry {
            const char* caption;
            int command;
        };
        static const Entry entries[] = {{"Standard", 1},   {"Soft", 2},          {"Classic", 3},
                                        {"Qor", 4},        {"ListView", 6},      {"Office 2007", 9},
                                        {"Windows XP", 5}, {"Windows Vista", 7}, {"Windows 7", 8}};
        TPopupMenu menu(nullptr);
        for (const Entry& e : entries) {
            auto* item = new TMenuItem(&menu);
            item->SetCaption(e.caption);
            item->SetChecked(int(FLook) == e.command - 1);
            const int command = e.command;
            item->OnClick = [this, command](TObject*) { SetLook(TGridLook(command - 1)); };
            menu.Items()->Add(item);
        }
        const TPoint at = ClientToScreen(TPoint(X, Y));
        menu.Popup(at.X, at.Y);
        break;
    }
    case 4:
        SetShowDesignHelper(false);
        break;
    default:
        return;
    }
    // The parent form's width changes and changes back, so that the designer stores the change.
    if (item >= 1 && item <= 3) {
        if (TCustomForm* form = GetParentForm()) {
            form->SetWidth(form->Width() - 1);
            form->SetWidth(form->Width() + 1);
        }
    }
}

void TQorStringGrid::CMDesignHitTest(TMessage& Message) {
    const TPoint p(short(LOWORD(Message.LParam)), short(HIWORD(Message.LParam)));
    const int item = DesignHelperHitTest(p.X, p.Y);
    if (item != FLastDesignChoice) {
        ::InvalidateRect(Handle(), nullptr, false);
        FLastDesignChoice = item;
    }
    Message.Result = item >= 1 && item <= 4 ? 1 : 0;
}

// --- snapshot of a cell range ----------------------------------------------------------------
TNoActiveForm* TQorStringGrid::SelectionToForm(TGridRect ARect) {
    auto whole = std::make_unique<TBitmap>(Width(), Height());
    PaintTo(whole->Canvas(), 0, 0);
    // The cells as shown, with the grid lines after them.
    const TRect a = CellRect(ARect.Left, ARect.Top), b = CellRect(ARect.Right, ARect.Bottom);
    const TRect box(std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                    std::max(a.Bottom, b.Bottom));
    const int w = box.Width() + 1, h = box.Height() + 1;
    auto shot = std::make_unique<TBitmap>(w, h);
    BitBlt(shot->Canvas(), 0, 0, w, h, whole->Canvas(), box.Left, box.Top, SRCCOPY);
    TCanvas* sc = shot->Canvas();
    sc->Pen()->SetColor(GridFixedLineColor());
    if (ARect.Left == 0 && FixedCols() > 0 && Options().Contains(goFixedHorzLine)) {
        sc->MoveTo(0, 0);
        sc->LineTo(0, h);
    }
    if (ARect.Top == 0 && FixedRows() > 0 && Options().Contains(goFixedVertLine)) {
        sc->MoveTo(0, 0);
        sc->LineTo(w, 0);
    }
    auto* form = new TNoActiveForm(this);
    form->SetBorderStyle(bsNone);
    form->SetFormStyle(fsStayOnTop);
    form->SetBounds(0, 0, w, h);
    auto* image = new TImage(form);
    image->SetParent(form);
    image->SetAlign(alClient);
    image->Picture()->Assign(shot.get());
    form->SetAlphaBlend(true);
    form->SetAlphaBlendValue(192);
    return form;
}

// --- search panel ----------------------------------------------------------------------------
void TQorStringGrid::UpdateSearchPanel() {
    if (Loading() || !FSearchPanel) return;
    TSearchFooter* sf = FSearchFooter.get();
    TSearchPanel* p = FSearchPanel;
    // Highlights of a footer that goes away (or that always highlights) are removed.
    if ((p->HighLightButton()->Down() && p->Visible() && !sf->Visible()) || sf->AlwaysHighLight())
        UnHilightInGrid(false);
    p->SetPanelColor(sf->Color());
    p->SetColorTo(sf->ColorTo());
    p->SetFindNextCaption(sf->FindNextCaption());
    p->SetFindPrevCaption(sf->FindPrevCaption());
    p->SetHighLightCaption(sf->HighLightCaption());
    p->SetMatchCaseCaption(sf->MatchCaseCaption());
    p->SetHintFindNext(sf->HintFindNext());
    p->SetHintFindPrev(sf->HintFindPrev());
    p->SetHintClose(sf->HintClose());
    p->SetHintHighlight(sf->HintHighlight());
    p->SetFont(sf->Font());
    const TControlStyle style = FControlLook->ControlStyle();
    for (TQorGridButton* b :
         {p->ForwardButton(), p->BackwardButton(), p->HighLightButton(), p->ExitButton()}) {
        if (sf->AutoThemeAdapt()) {
            b->SetAutoThemeAdapt(true);
            b->SetFlat(true);
        } else if (style == csWinXP || style == csTheme) {
            b->SetAutoXPStyle(true);
            b->SetFlat(false);
        } else {
            b->SetAutoXPStyle(false);
            b->SetFlat(style == csFlat);
        }
    }
    auto show = [](TControl* c, bool visible, int height) {
        c->SetVisible(visible);
        c->SetHeight(visible ? height : 0);
    };
    show(p->HighLightButton(), sf->ShowHighLight(), 23);
    show(p->ExitButton(), sf->ShowClose(), 23);
    show(p->BackwardButton(), sf->ShowFindPrev(), 23);
    show(p->ForwardButton(), sf->ShowFindNext(), 23);
    show(p->MatchCase(), sf->ShowMatchCase(), 18);
    p->MatchCase()->SetTransparent(true);
    p->MatchCase()->SetLeft(sf->ShowHighLight() ? 425 : 330);
    p->SetVisible(sf->Visible());
    p->SetHeight(sf->Visible() ? 32 : 0);
    if (sf->Visible()) {
        p->SetTop(Height() - 32);
        KeepRowAboveSearchFooter();
    }
}

// --- version and column widths ---------------------------------------------------------------
int TQorStringGrid::GetVersionNr() const {
    return 100794627;
}

std::string TQorStringGrid::GetVersionString() const {
    const int v = GetVersionNr();
    return std::to_string((v >> 24) & 0xFF) + "." + std::to_string((v >> 16) & 0xFF) + "." +
           std::to_string((v >> 8) & 0xFF) + "." + std::to_string(v & 0xFF) + " Sep, 2012";
}

void TQorStringGrid::InitOrigColSizes() {
    FOrigColSizes.clear();
    for (int c = 0; c < ColCount(); ++c) FOrigColSizes.push_back(ColWidths(c));
    FOldSize = Width();
}
