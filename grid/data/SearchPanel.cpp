#include "grid/data/SearchPanel.h"

#include "grid/core/base/BaseGrid.h"
#include "grid/core/base/GridDraw.h"

#include <memory>

namespace {

enum TGlyphKind { gkDown, gkUp, gkClose, gkHighlight };

// The buttons' small pictures, drawn on a keyed background.
std::unique_ptr<TBitmap> glyph(TGlyphKind Kind, TColor Ink) {
    auto b = std::make_unique<TBitmap>(12, 12);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(TRect(0, 0, 12, 12));
    c->Brush()->SetColor(Ink);
    c->Pen()->SetColor(Ink);
    switch (Kind) {
    case gkDown:
        c->Polygon({TPoint(1, 3), TPoint(10, 3), TPoint(6, 8), TPoint(5, 8)});
        break;
    case gkUp:
        c->Polygon({TPoint(1, 8), TPoint(10, 8), TPoint(6, 3), TPoint(5, 3)});
        break;
    case gkClose:
        c->Pen()->SetWidth(2);
        c->MoveTo(2, 2);
        c->LineTo(10, 10);
        c->MoveTo(10, 2);
        c->LineTo(2, 10);
        break;
    case gkHighlight:
        c->Brush()->SetColor(clYellow);
        c->Rectangle(TRect(1, 2, 11, 10));
        break;
    }
    b->SetTransparent(true);
    return b;
}

} // namespace

// --- TRetEdit --------------------------------------------------------------------------------
void TRetEdit::WndProc(TMessage& Message) {
    TEdit::WndProc(Message);
    // The edit takes Enter itself, as a multi-line one does.
    if (Message.Msg == WM_GETDLGCODE) Message.Result |= DLGC_WANTALLKEYS;
}

void TRetEdit::KeyDown(WORD& Key, TShiftState Shift) {
    TEdit::KeyDown(Key, Shift);
    if (Key != VK_RETURN) return;
    TNotifyEvent& event = Shift.Contains(ssCtrl) ? OnCtrlReturn : OnReturn;
    if (event) event(this);
}

void TRetEdit::KeyPress(char32_t& Key) {
    TEdit::KeyPress(Key);
    if (Key == '\r' || Key == '\n') Key = 0;
}

// --- TSearchPanel ----------------------------------------------------------------------------
TSearchPanel::TSearchPanel(TComponent* AOwner) : TCustomPanel(AOwner) {
    SetBevelOuter(bvNone);
    SetShowCaption(false);
    FExit = new TQorGridButton(this);
    FExit->SetParent(this);
    FExit->SetBounds(5, 7, 14, 14);
    FExit->SetGlyph(glyph(gkClose, clNavy).get());
    FExit->SetGlyphHot(glyph(gkClose, clRed).get());
    FExit->SetGlyphDown(glyph(gkClose, clMaroon).get());
    FExit->OnClick = [this](TObject*) {
        if (OnExitClick) OnExitClick(this);
    };
    FEdit = new TRetEdit(this);
    FEdit->SetParent(this);
    FEdit->SetBounds(25, 6, 110, 21);
    FEdit->OnChange = [this](TObject*) {
        const bool any = !FEdit->Text().empty();
        for (TQorGridButton* b : {FForward, FBackward, FHighLight}) b->SetEnabled(any);
        if (OnEditChange) OnEditChange(this);
    };
    auto button = [this](int left, TNotifyEvent TSearchPanel::*event, TGlyphKind kind) {
        auto* b = new TQorGridButton(this);
        b->SetParent(this);
        b->SetBounds(left, 5, 90, 23);
        b->SetGlyph(glyph(kind, clNavy).get());
        b->SetEnabled(false);
        b->OnClick = [this, event](TObject*) {
            if (this->*event) (this->*event)(this);
        };
        return b;
    };
    FForward = button(140, &TSearchPanel::OnForwardClick, gkDown);
    FBackward = button(235, &TSearchPanel::OnBackwardClick, gkUp);
    FHighLight = button(330, &TSearchPanel::OnHighLightClick, gkHighlight);
    // A check button: it stays down until clicked again.
    FHighLight->SetGroupIndex(1);
    FHighLight->SetAllowAllUp(true);
    FEdit->OnReturn = [this](TObject*) { FForward->Click(); };
    FEdit->OnCtrlReturn = [this](TObject*) { FBackward->Click(); };
    FMatchCase = new TQorCheckBox(this);
    FMatchCase->SetParent(this);
    FMatchCase->SetBounds(425, 8, 120, 18);
}

void TSearchPanel::CreateWnd() {
    TCustomPanel::CreateWnd();
    if (OnCreated) OnCreated(this);
}

void TSearchPanel::SetColorTo(TColor v) {
    FColorTo = v;
    Invalidate();
}

void TSearchPanel::SetPanelColor(TColor v) {
    SetColor(v);
    Invalidate();
}

void TSearchPanel::hint(TQorGridButton* b, const std::string& v) {
    b->SetHint(v);
    b->SetShowHint(!v.empty());
}

void TSearchPanel::Paint() {
    TCanvas* C = Canvas();
    const TRect r = ClientRect();
    if (FColorTo == clNone) {
        C->Brush()->SetColor(Color());
        C->FillRect(r);
    } else {
        DrawGradient(*C, Color(), FColorTo, 64, r, false);
    }
    if (auto* grid = dynamic_cast<TBaseGrid*>(Owner())) {
        C->Pen()->SetColor(grid->GridLineColor());
        C->MoveTo(r.Left, r.Top);
        C->LineTo(r.Right, r.Top);
    }
}
