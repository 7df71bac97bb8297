#include "controls/base/QorHeaderFooter.h"

#include "controls/base/DropDownDrawing.h"
#include "controls/base/QorCustomDropDown.h"
#include "grid/render/markup/MarkupRender.h"
#include "platform/base/SysUtils.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/core/Forms.h"

#include <algorithm>
#include <cmath>

// --- TDbgList --------------------------------------------------------------------------------

TControl* TDbgList::ItemsEx(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError("Index out of bounds in list read access");
    return items_[std::size_t(Index)];
}

void TDbgList::SetItemsEx(int Index, TControl* Value) {
    if (Index < 0 || Index >= Count()) throw EListError("Index out of bounds in list write access");
    items_[std::size_t(Index)] = Value;
}

void TDbgList::AssignList(const TDbgList& ListA) {
    if (&ListA == this) return;
    items_ = ListA.items_;
}

// --- TQorPopupBar ----------------------------------------------------------------------------

TQorPopupBar::TQorPopupBar(TComponent* AOwner, std::unique_ptr<THeaderAppearance> Look)
    : TCustomControl(AOwner), FAppearance(std::move(Look)) {
    FAppearance->OnChange = [this](TObject*) {
        SetVisible(FAppearance->Visible());
        SetHeight(FAppearance->Height());
    };
}

TQorPopupBar::~TQorPopupBar() {
    FAppearance->OnChange = nullptr;
    SetImages(nullptr);
}

void TQorPopupBar::SetImages(TImageList* v) {
    if (FImages == v) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = v;
    if (v) v->FreeNotification(this);
    Invalidate();
}

void TQorPopupBar::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

void TQorPopupBar::SetQorDropDown(TQorCustomDropDown* DropDown) {
    FQorDropDown = DropDown;
    if (!DropDown) {
        SetImages(nullptr);
        return;
    }
    SetImages(DropDown->Images());
    FAppearance->Assign(dropDownLook());
}

void TQorPopupBar::InitButtons() {
    if (FQorDropDown) CreateButtons();
}

void TQorPopupBar::CreateButtons() {
    THeaderButtons* items = Buttons();
    if (!FQorDropDown || !items) return;
    ClearButtons();
    const int largest = ButtonArea().Height();
    for (int i = 0; i < items->Count(); ++i) {
        THeaderButton* item = items->Items(i);
        auto* b = new TQorButton(this);
        b->SetParent(this);
        b->SetAppearance(FQorDropDown->ButtonAppearance());
        b->SetCaption(item->Caption());
        b->SetImages(FImages);
        b->SetImageIndex(item->ImageIndex());
        b->SetEnabled(item->Enabled());
        setUpButton(b, i);
        b->FitToContent();
        if (item->Width() > 0) b->SetWidth(item->Width());
        if (item->Height() > 0) b->SetHeight(item->Height());
        if (b->Height() > largest) b->SetHeight(largest);
        b->SetTag(i);
        b->OnClick = [this](TObject* Sender) {
            if (auto* button = dynamic_cast<TQorButton*>(Sender)) buttonClicked(int(button->Tag()));
        };
        FButtonList.Add(b);
    }
    ArrangeButtons();
}

void TQorPopupBar::ClearButtons() {
    for (int i = FButtonList.Count() - 1; i >= 0; --i) delete FButtonList.ItemsEx(i);
    FButtonList.Clear();
}

void TQorPopupBar::ArrangeButtons() {
    const TRect a = ButtonArea();
    int x = look()->ButtonAlignment() == baRight ? a.Right : a.Left;
    for (int i = 0; i < FButtonList.Count(); ++i) {
        TControl* b = FButtonList.ItemsEx(i);
        const int top = std::max(a.Top, (a.Bottom - b->Height()) / 2);
        if (look()->ButtonAlignment() == baRight) {
            x -= b->Width();
            b->SetBounds(x, top, b->Width(), b->Height());
        } else {
            b->SetBounds(x, top, b->Width(), b->Height());
            x += b->Width();
        }
    }
}

void TQorPopupBar::UpdateButtons() {
    THeaderButtons* items = Buttons();
    if (!FQorDropDown || !items) return;
    for (int i = 0; i < FButtonList.Count(); ++i) {
        auto* b = static_cast<TQorButton*>(FButtonList.ItemsEx(i));
        b->SetAppearance(FQorDropDown->ButtonAppearance());
        b->SetImages(FImages);
        if (i < items->Count()) {
            THeaderButton* item = items->Items(i);
            b->SetCaption(item->Caption());
            b->SetImageIndex(item->ImageIndex());
            b->SetEnabled(item->Enabled());
        }
    }
    ArrangeButtons();
}

void TQorPopupBar::Resize() {
    TCustomControl::Resize();
    ArrangeButtons();
}

bool TQorPopupBar::popupHasBorder() const {
    return FQorDropDown && FQorDropDown->DropDownBorderWidth() > 0 &&
           FQorDropDown->DropDownBorderColor() != clNone;
}

TRect TQorPopupBar::captionLimit() const {
    if (FButtonList.Count() == 0) return {-1, -1, -1, -1};
    TRect r = ButtonArea();
    r.Right = FButtonList.ItemsEx(FButtonList.Count() - 1)->Left() - 2;
    return r;
}

void TQorPopupBar::WMPaint(TWMPaint& Message) {
    HDC dc = Message.DC();
    if (!dc || dc == Canvas()) {
        TCustomControl::WMPaint(Message);
        return;
    }
    TBitmap* image = BackingImage();
    if (image->Width() != ClientWidth() || image->Height() != ClientHeight())
        image->SetSize(ClientWidth(), ClientHeight());
    Paint();
    dc->Draw(0, 0, image);
    TWinCtrl::PaintCtrls(this, dc, nullptr);
    // The own image lacks the children now.
    Invalidate();
}

void TQorPopupBar::Paint() {
    TCanvas* c = Canvas();
    const TRect R = ClientRect();
    if (OnDrawBackGround) {
        OnDrawBackGround(this, c, R);
        return;
    }
    const THeaderAppearance& a = *look();
    if (a.ColorTo() == clNone) {
        if (a.Color() != clNone) {
            c->Brush()->SetStyle(bsSolid);
            c->Brush()->SetColor(a.Color());
            c->FillRect(R);
        }
    } else {
        DrawGradientRect(*c, a.Color(), a.ColorTo(), 80, R, a.GradientDirection() == gdHorizontal);
    }
    const int bw = a.BorderWidth();
    if (a.BorderColor() != clNone && bw > 0) {
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetWidth(bw);
        c->Pen()->SetColor(a.BorderColor());
        drawFrame(c, R, popupHasBorder());
    }
    TRect C{R.Left + bw, R.Top + bw, R.Right - bw, R.Bottom - bw};
    if (a.ImageIndex() >= 0 && FImages) {
        FImages->Draw(c, C.Left + 4, C.Top + (C.Height() - FImages->Height()) / 2, a.ImageIndex(),
                      true);
        C.Left += FImages->Width() + 8;
    }
    std::string text = a.Caption();
    if (OnGetText) OnGetText(this, text);
    if (!text.empty()) {
        if (FButtonList.Count() > 0) C.Right = captionLimit().Right;
        c->Font()->Assign(a.Font());
        HTMLRenderOptions options;
        options.ImageList = FImages;
        options.ShadowColor = clGray;
        options.LinkColor = clBlue;
        options.HoverBackColor = clNone;
        options.HoverTextColor = clNone;
        HTMLRenderResult measured;
        options.MeasureOnly = true;
        HTMLRenderText(*c, text, C, options, measured);
        if (measured.TotalHeight < C.Height()) C.Top += (C.Height() - measured.TotalHeight) / 2;
        options.MeasureOnly = false;
        HTMLRenderResult drawn;
        HTMLRenderText(*c, text, C, options, drawn);
    }
    // The buttons show this background: they paint again over it.
    for (int i = 0; i < FButtonList.Count(); ++i) FButtonList.ItemsEx(i)->Invalidate();
}

namespace {

// Blend of 20 % c and 80 % white, per channel, rounded.
TColor paleOf(TColor c) {
    const TColor rgb = ColorToRGB(c);
    auto mix = [](int v) { return int(std::lround(v * 0.2 + 255 * 0.8)); };
    return RGB(mix(GetRValue(rgb)), mix(GetGValue(rgb)), mix(GetBValue(rgb)));
}

void line(TCanvas* c, int x1, int y1, int x2, int y2) {
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
}

void paleFrame(TCanvas* c, TRect r, TColor border) {
    c->Pen()->SetWidth(1);
    c->Pen()->SetColor(paleOf(border));
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(r);
}

} // namespace

// --- TQorHeader ------------------------------------------------------------------------------

TQorHeader::TQorHeader(TComponent* AOwner)
    : TQorPopupBar(AOwner, std::make_unique<THeaderAppearance>(this)) {
    SetControlStyle(csAcceptsControls | csClickEvents | csDoubleClicks);
}

THeaderButtons* TQorHeader::Buttons() const {
    return QorDropDown() ? QorDropDown()->DropDownHeader()->Buttons() : nullptr;
}

const THeaderAppearance* TQorHeader::dropDownLook() const {
    return QorDropDown()->DropDownHeader();
}

void TQorHeader::ArrangeButtons() {
    if (ButtonList().Count() == 0) return;
    TQorPopupBar::ArrangeButtons();
}

TRect TQorHeader::ButtonArea() const {
    const TRect r = ClientRect();
    return {r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 3};
}

void TQorHeader::buttonClicked(int Index) {
    TQorCustomDropDown* dd = QorDropDown();
    if (dd && dd->OnDropDownHeaderButtonClick) dd->OnDropDownHeaderButtonClick(dd, Index);
}

void TQorHeader::drawFrame(TCanvas* C, const TRect& R, bool PopupBorder) {
    line(C, R.Left, R.Bottom - 1, R.Right, R.Bottom - 1);
    if (!PopupBorder) {
        line(C, R.Left, R.Bottom - 1, R.Left, R.Top);
        line(C, R.Left, R.Top, R.Right, R.Top);
        line(C, R.Right, R.Top, R.Right, R.Bottom - 1);
    }
    const THeaderAppearance& a = *Appearance();
    paleFrame(C, {R.Left, R.Top, R.Right, R.Bottom - a.BorderWidth()}, a.BorderColor());
}

// --- TQorFooter ------------------------------------------------------------------------------

TQorFooter::TQorFooter(TComponent* AOwner)
    : TQorPopupBar(AOwner, std::make_unique<TFooterAppearance>(this)) {
    SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csDoubleClicks);
}

THeaderButtons* TQorFooter::Buttons() const {
    return QorDropDown() ? QorDropDown()->DropDownFooter()->Buttons() : nullptr;
}

const THeaderAppearance* TQorFooter::dropDownLook() const {
    return QorDropDown()->DropDownFooter();
}

bool TQorFooter::SizeGripShows() const {
    return Appearance()->SizeGrip() && QorDropDown() && QorDropDown()->DropDownSizeable();
}

TRect TQorFooter::ButtonArea() const {
    const TRect r = ClientRect();
    return {r.Left + 2, r.Top + 2, r.Right - (SizeGripShows() ? 14 : 2), r.Bottom - 2};
}

void TQorFooter::setUpButton(TQorButton* Button, int Index) {
    Button->SetQorDropDown(QorDropDown());
    Button->SetModalResult(QorDropDown()->DropDownFooter()->Buttons()->Items(Index)->ModalResult());
}

void TQorFooter::buttonClicked(int Index) {
    TQorCustomDropDown* dd = QorDropDown();
    if (dd && dd->OnDropDownFooterButtonClick) dd->OnDropDownFooterButtonClick(dd, Index);
}

void TQorFooter::drawFrame(TCanvas* C, const TRect& R, bool PopupBorder) {
    line(C, R.Left, R.Top, R.Right, R.Top);
    if (!PopupBorder) {
        line(C, R.Left, R.Top, R.Left, R.Bottom);
        line(C, R.Left, R.Bottom, R.Right, R.Bottom);
        line(C, R.Right, R.Bottom, R.Right, R.Top);
    }
    const TFooterAppearance& a = *Appearance();
    paleFrame(C, {R.Left, R.Top + a.BorderWidth(), R.Right, R.Bottom}, a.BorderColor());
}

void TQorFooter::Paint() {
    TQorPopupBar::Paint();
    if (OnDrawBackGround || !SizeGripShows()) return;
    // Six dots in white, then the same six one pixel up and left in the border colour.
    const TRect R = ClientRect();
    const TFooterAppearance& a = *Appearance();
    const int L = R.Right - a.BorderWidth() - 16, B = R.Bottom;
    static const int dots[6][2] = {{5, 2}, {9, 2}, {13, 2}, {13, 6}, {13, 10}, {9, 6}};
    TCanvas* c = Canvas();
    c->Pen()->SetWidth(1);
    c->Brush()->SetStyle(bsSolid);
    for (int pass = 0; pass < 2; ++pass) {
        const TColor colour = pass == 0 ? clWhite : a.BorderColor();
        c->Pen()->SetColor(colour);
        c->Brush()->SetColor(colour);
        for (const auto& d : dots) {
            const int x = L + d[0] - pass, y = B - d[1] - pass;
            c->Rectangle(x, y - 2, x + 2, y);
        }
    }
}

bool TQorFooter::inGrip(int X, int Y) const {
    return SizeGripShows() && Parent() && X > Width() - 12 && Y > Height() - 15;
}

void TQorFooter::restoreCursor() {
    if (Screen->Cursor() != FOldCursor) Screen->SetCursor(FOldCursor);
}

void TQorFooter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && inGrip(X, Y)) {
        // The popup sizes itself from its corner.
        ReleaseCapture();
        const TPoint screen = ClientToScreen({X, Y});
        Parent()->Perform(WM_NCLBUTTONDOWN, WPARAM(HTBOTTOMRIGHT), PointToLParam(screen));
        return;
    }
    TQorPopupBar::MouseDown(Button, Shift, X, Y);
}

void TQorFooter::MouseMove(TShiftState Shift, int X, int Y) {
    if (inGrip(X, Y))
        Screen->SetCursor(crSizeNWSE);
    else
        restoreCursor();
    TQorPopupBar::MouseMove(Shift, X, Y);
}

void TQorFooter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    restoreCursor();
    TQorPopupBar::MouseUp(Button, Shift, X, Y);
}

void TQorFooter::CMMouseEnter(TMessage& Message) {
    if (Screen->Cursor() != crSizeNWSE) FOldCursor = Screen->Cursor();
    TQorPopupBar::CMMouseEnter(Message);
}

void TQorFooter::CMMouseLeave(TMessage& Message) {
    restoreCursor();
    TQorPopupBar::CMMouseLeave(Message);
}
