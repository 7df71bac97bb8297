#include "controls/base/DropDownButton.h"

#include "controls/base/DropDownDrawing.h"
#include "controls/base/QorCustomDropDown.h"

// --- TQorDropDownSpeedButton -----------------------------------------------------------------

TQorDropDownSpeedButton::TQorDropDownSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner) {}

void TQorDropDownSpeedButton::SetButtonStyle(TButtonStyle v) {
    FButtonStyle = v;
    Invalidate();
}

void TQorDropDownSpeedButton::SetEtched(bool v) {
    if (v == FEtched) return;
    FEtched = v;
    Invalidate();
}

void TQorDropDownSpeedButton::SetFocused(bool v) {
    if (v == FFocused) return;
    FFocused = v;
    Invalidate();
}

void TQorDropDownSpeedButton::CMMouseEnter(TMessage& Message) {
    TSpeedButton::CMMouseEnter(Message);
    FHot = true;
    Invalidate();
}

void TQorDropDownSpeedButton::CMMouseLeave(TMessage& Message) {
    TSpeedButton::CMMouseLeave(Message);
    FHot = false;
    Invalidate();
}

bool TQorDropDownSpeedButton::pressed() const {
    return (State() == bsDown || State() == bsExclusive) && !FUp;
}

namespace {

TQorCustomDropDown* dropDownOf(const TControl* button) {
    return button->Parent() ? dynamic_cast<TQorCustomDropDown*>(button->Parent()->Parent())
                            : nullptr;
}

void arrow(TCanvas* c, TColor colour) {
    if (colour == clNone) return;
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(colour);
    c->Pen()->SetColor(colour);
    c->Polygon({{5, 7}, {11, 7}, {8, 10}});
}

} // namespace

void TQorDropDownSpeedButton::Paint() {
    if (FButtonStyle == bsDropDown)
        paintDropDownFace();
    else
        paintButtonFace();
}

void TQorDropDownSpeedButton::paintDropDownFace() {
    auto* container = dynamic_cast<TDropDownEditButton*>(Parent());
    TQorCustomDropDown* dd = dropDownOf(this);
    TCanvas* c = Canvas();
    const TRect r = ClientRect();
    if (container && container->ButtonColor() != clNone) {
        const bool down = pressed();
        const TColor face = down   ? container->ButtonColorDown()
                            : FHot ? container->ButtonColorHot()
                                   : container->ButtonColor();
        if (face != clNone) {
            c->Brush()->SetStyle(bsSolid);
            c->Brush()->SetColor(face);
            c->FillRect(r);
        }
        if (dd && dd->BorderColor() != clNone) {
            c->Pen()->SetColor(dd->BorderColor());
            c->MoveTo(0, 0);
            c->LineTo(0, r.Height());
        }
        arrow(c, down   ? container->ButtonTextColorDown()
                 : FHot ? container->ButtonTextColorHot()
                        : container->ButtonTextColor());
        return;
    }
    if (!Glyph()->Empty()) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(clBtnFace);
        c->Pen()->SetColor(clGray);
        c->Rectangle(r);
        TBitmap glyph;
        glyph.Assign(Glyph());
        glyph.SetTransparent(true);
        c->Draw(0, 0, &glyph);
        return;
    }
    // The classic face, enabled exactly when the edit takes input.
    if (dd) SetEnabled(dd->Enabled() && !dd->ReadOnly());
    TSpeedButton::Paint();
    const int w = r.Width(), h = r.Height();
    c->Pen()->SetColor(clBtnFace);
    c->MoveTo(w - 2, 0);
    c->LineTo(0, 0);
    c->LineTo(0, h - 1);
    c->Pen()->SetColor(clWhite);
    c->MoveTo(w - 3, 1);
    c->LineTo(1, 1);
    c->LineTo(1, h - 2);
    arrow(c, clBlack);
}

void TQorDropDownSpeedButton::paintButtonFace() {
    if (!Flat()) {
        TSpeedButton::Paint();
        return;
    }
    TCanvas* c = Canvas();
    TQorCustomDropDown* dd = dropDownOf(this);
    TRect r = ClientRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(r);
    const bool down = State() == bsDown;
    TRect edge{r.Left, r.Top, r.Right + 1, r.Bottom + 1};
    DrawEdge(c, edge,
             down      ? BDR_SUNKENOUTER
             : FEtched ? EDGE_ETCHED
                       : EDGE_RAISED,
             BF_RECT | (down ? BF_FLAT : 0));
    const int shift = down ? 1 : 0;
    if (!Glyph()->Empty()) {
        DrawGlyphTransparent(
            c, Glyph(), clBtnFace,
            {r.Left + 3 + shift, r.Top + 3 + shift, r.Right - 3 + shift, r.Bottom - 3 + shift});
    }
    if (!Caption().empty()) {
        if (dd) c->Font()->Assign(dd->Font());
        TRect text{r.Left + 3 + shift, r.Top + 1 + shift, r.Right - 3 + shift,
                   r.Bottom - 1 + shift};
        SetBkMode(c, TRANSPARENT);
        DrawText(c, Caption(), -1, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

// --- TDropDownEditButton ---------------------------------------------------------------------

TDropDownEditButton::TDropDownEditButton(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle((ControlStyle() & ~(csAcceptsControls | csSetCaption)) | csOpaque);
    EnableBackingImage();
    FButton = new TQorDropDownSpeedButton(this);
    FButton->SetParent(this);
    // A release of the left button on the speed button is the container's click.
    FButton->OnMouseUp = [this](TObject*, TMouseButton Button, TShiftState, int, int) {
        if (Button == mbLeft) Click();
    };
    FButton->SetEnabled(Enabled());
    FButton->SetButtonStyle(bsDropDown);
    FButton->SetBounds(0, 0, 16, 25);
    SetBounds(Left(), Top(), FBWidth, 25);
}

TDropDownEditButton::~TDropDownEditButton() {
    SetFocusControl(nullptr);
}

void TDropDownEditButton::SetFocusControl(TWinControl* v) {
    if (FFocusControl == v) return;
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = v;
    if (v) v->FreeNotification(this);
}

void TDropDownEditButton::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TDropDownEditButton::SetButtonWidth(int v) {
    FBWidth = v;
    SetBounds(Left(), Top(), v, Height());
}

TBitmap* TDropDownEditButton::Glyph() const {
    return FButton->Glyph();
}

void TDropDownEditButton::SetGlyph(const TBitmap* v) {
    FButton->SetGlyph(v);
}

int TDropDownEditButton::NumGlyphs() const {
    return FButton->NumGlyphs();
}

void TDropDownEditButton::SetNumGlyphs(int v) {
    FButton->SetNumGlyphs(v);
}

const std::string& TDropDownEditButton::ButtonCaption() const {
    return FButton->Caption();
}

void TDropDownEditButton::SetButtonCaption(const std::string& v) {
    FButton->SetCaption(v);
}

void TDropDownEditButton::setColor(TColor& field, TColor v) {
    if (field == v) return;
    field = v;
    FButton->Invalidate();
}

void TDropDownEditButton::SetBounds(int ALeft, int ATop, int /*AWidth*/, int AHeight) {
    if (FButton) FButton->SetBounds(0, 0, FBWidth, AHeight);
    TWinControl::SetBounds(ALeft, ATop, FBWidth, AHeight);
}

void TDropDownEditButton::CMEnabledChanged(TMessage& Message) {
    TWinControl::CMEnabledChanged(Message);
    FButton->SetEnabled(Enabled());
}
