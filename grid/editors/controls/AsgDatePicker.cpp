#include "grid/editors/controls/AsgDatePicker.h"

#include "grid/core/base/GridTheme.h"
#include "platform/ui/core/Forms.h"
#include "platform/ui/core/SysInfo.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr TColor themedBorder = TColor(0xB99D7F);

bool mouseButtonDown() {
    return GetKeyState(VK_LBUTTON) < 0 || GetKeyState(VK_RBUTTON) < 0;
}

void setBold(TFont* font, bool bold) {
    TFontStyles style = font->Style();
    if (bold)
        style.Include(fsBold);
    else
        style.Exclude(fsBold);
    font->SetStyle(style);
}

void splitTime(TDateTime v, int& h, int& m, int& s, int& ms) {
    DecodeTime(v, h, m, s, ms);
}
} // namespace

// --- TMetroDateTimePicker ------------------------------------------------------------------------
TMetroDateTimePicker::TMetroDateTimePicker(TComponent* AOwner, TColor DefaultBorderColor)
    : TDateTimePicker(AOwner), FBorderColor(DefaultBorderColor),
      FButtonWidth(SystemScrollBarSize + 2), FIsWinXP(IsWindowsXPOrLater()),
      FIsThemed(IsComCtl6()) {
    // The borders are drawn over the edge of the image after every paint.
    SetControlStyle(ControlStyle() | csNeedsBorderPaint);
}

void TMetroDateTimePicker::repaintSet(TColor& field, TColor v) {
    if (field == v) return;
    field = v;
    Invalidate();
}

void TMetroDateTimePicker::SetBorderColor(TColor v) {
    repaintSet(FBorderColor, v);
}

void TMetroDateTimePicker::SetMetroStyle(bool v) {
    if (FMetroStyle == v) return;
    FMetroStyle = v;
    Invalidate();
}

void TMetroDateTimePicker::setBorderStyle(TBorderStyle v) {
    FBorderStyle = v;
    Invalidate();
}

bool TMetroDateTimePicker::StylesOn() const {
    return FIsThemed && ThemeIsActive(GridThemeBinding());
}

void TMetroDateTimePicker::Paint() {
    TDateTimePicker::Paint();
    if ((Ctl3D() && !MetroLook()) || !IsWindowsVistaOrLater()) return;
    TCanvas* C = Canvas();
    if (MetroLook() && Kind() == dtkDate) {
        const bool active = IsComCtl6() && ThemeIsActive(GridThemeBinding());
        if (active)
            FillRect(
                C,
                TRect{ClientWidth() - FButtonWidth - ButtonFillInset(), 1, ClientWidth(), Height()},
                Color());
        else
            FillRect(C, TRect{ClientWidth() - FButtonWidth - 2, 4, ClientWidth() - 2, Height() - 4},
                     Color());
        DrawDropButton(C);
    }
    PaintFlatLines(C);
    DrawBorders();
}

void TMetroDateTimePicker::DrawDropButton(TCanvas* C) {
    TRect r{ClientWidth() - FButtonWidth + 2, 0, Width(), Height()};
    InflateRect(r, -1, -1);
    const bool down = mouseButtonDown();
    if (FButtonColor != clNone) {
        const TColor face =
            FButtonHover ? (down ? FButtonColorDown : FButtonColorHot) : FButtonColor;
        FillRect(C, TRect{r.Left + 2, r.Top, r.Right, r.Bottom}, face);
        C->Pen()->SetColor(FButtonBorderColor);
        C->MoveTo(r.Left, r.Top);
        C->LineTo(r.Left, r.Bottom);
        const TColor arrow = down ? FButtonTextColorDown : FButtonTextColor;
        C->Brush()->SetColor(arrow);
        C->Pen()->SetColor(arrow);
        C->Polygon({{r.Left + 5, r.Top + 7}, {r.Left + 11, r.Top + 7}, {r.Left + 8, r.Top + 10}});
    } else {
        // Without visual styles: the classic combo button.
        DrawFrameControl(C, r, DFC_SCROLL,
                         DFCS_SCROLLCOMBOBOX | (Enabled() ? DFCS_FLAT : DFCS_INACTIVE));
    }
    ExcludeClipRect(C, ClientWidth() - FButtonWidth - 4, 0, ClientWidth() + 2, ClientHeight());
}

void TMetroDateTimePicker::DrawBorders() {
    if (SkipsBorders()) return;
    if (!MetroLook() || (Enabled() && FBorderColor == clNone)) return;
    TCanvas* C = Canvas();
    SaveDC(C);
    SelectClipRgn(C, nullptr);
    DrawFrame(C);
    if (!(FIsWinXP && StylesOn())) DrawButtonEdge(C);
    RestoreDC(C, -1);
    if (Peer()) Peer()->Changed(pcImage);
}

void TMetroDateTimePicker::DrawFrame(TCanvas* C) {
    TRect r{0, 0, Width(), Height()};
    if (!Enabled() && FIsThemed) {
        FrameRect(C, r, themedBorder);
        return;
    }
    if (FBorderColor != clNone) {
        FrameRect(C, r, FBorderColor);
        return;
    }
    const TColor parent = Parent() ? Parent()->Color() : clBtnFace;
    FrameRect(C, r, parent);
    InflateRect(r, -1, -1);
    r.Right -= FButtonWidth;
    FrameRect(C, r, parent);
    InflateRect(r, -1, -1);
    FrameRect(C, r, Color());
}

void TMetroDateTimePicker::DrawButtonEdge(TCanvas* C) {
    ExcludeClipRect(C, ClientWidth() - FButtonWidth + 4, 4, ClientWidth() - 4, ClientHeight() - 4);
    TRect r{ClientWidth() - FButtonWidth - 2, 0, Width(), Height()};
    InflateRect(r, -2, -2);
    const bool active = Screen && Screen->ActiveControl() == this;
    const bool design = (ComponentState() & csDesigning) && Enabled();
    if (FMouseInControl || active || design) {
        TRect e = r;
        DrawEdge(C, e, EDGE_RAISED, BF_RECT | (DroppedDown() ? BF_FLAT : 0));
    } else {
        FillRect(C, TRect{r.Left, r.Top + 1, r.Right - 1, r.Bottom - 1}, clBtnFace);
    }
    ExcludeClipRect(C, r.Left, r.Top, r.Right, r.Bottom);
}

void TMetroDateTimePicker::FlatBorder(TCanvas* C) {
    const TColor parent = Parent() ? Parent()->Color() : clBtnFace;
    TColor pen = FBorderColor;
    if (FBorderStyle == bsNone && Parent())
        pen = parent;
    else if (FIsThemed)
        pen = themedBorder;
    const int W = Width(), H = Height();
    C->Pen()->SetColor(pen);
    C->MoveTo(0, H);
    C->LineTo(0, 0);
    C->LineTo(W - 1, 0);
    C->LineTo(W - 1, H - 1);
    C->LineTo(0, H - 1);
    if (Parent()) {
        C->Pen()->SetColor(parent);
        C->MoveTo(1, H - 2);
        C->LineTo(1, 1);
        C->LineTo(W - 1, 1);
    }
}

void TMetroDateTimePicker::NCPaint() {
    if (!Ctl3D() && DrawsFlatBorder()) FlatBorder(Canvas());
    if (!Enabled() && StylesOn()) DrawBorders();
    if (FBorderColor != clNone) DrawBorders();
}

void TMetroDateTimePicker::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCPAINT:
        NCPaint();
        return;
    case CM_CTL3DCHANGED:
        Invalidate();
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        TDateTimePicker::Dispatch(Message);
        if (ComponentState() & csDesigning) return;
        FHasFocus = Message.Msg == WM_SETFOCUS;
        DrawBorders();
        return;
    default:
        break;
    }
    TDateTimePicker::Dispatch(Message);
}

void TMetroDateTimePicker::MouseMove(TShiftState Shift, int X, int Y) {
    TDateTimePicker::MouseMove(Shift, X, Y);
    const bool hover = X > Width() - FButtonWidth && X < Width();
    if (hover != FButtonHover) {
        FButtonHover = hover;
        Invalidate();
    }
}

void TMetroDateTimePicker::CMMouseEnter(TMessage& Message) {
    TDateTimePicker::CMMouseEnter(Message);
    if (!Enabled()) return;
    FMouseInControl = true;
    DrawBorders();
    if (FIsWinXP) Invalidate();
}

void TMetroDateTimePicker::CMMouseLeave(TMessage& Message) {
    TDateTimePicker::CMMouseLeave(Message);
    if (!Enabled()) return;
    FMouseInControl = false;
    FButtonHover = false;
    DrawBorders();
    if (FIsWinXP) Invalidate();
}

// --- TAsgDateTimePicker ------------------------------------------------------------------------
TAsgDateTimePicker::TAsgDateTimePicker(TComponent* AOwner) : TMetroDateTimePicker(AOwner, clNone) {
    SetCtl3D(true);
}

bool TAsgDateTimePicker::MetroLook() const {
    return FMetroStyle && !(ComponentState() & csDesigning);
}

std::string TAsgDateTimePicker::Version() const {
    return "1.0.0.0";
}

// --- TCustomDateTimePicker ---------------------------------------------------------------------
TCustomDateTimePicker::TCustomDateTimePicker(TComponent* AOwner)
    : TMetroDateTimePicker(AOwner, clBlack) {
    SetCtl3D(false);
}

void TCustomDateTimePicker::KeyPress(char32_t& Key) {
    const bool digit = FAutoTab && Key >= '0' && Key <= '9';
    if (digit) splitTime(TDateTimePicker::DateTime(), Fh, Fm, Fs, Fms);
    TMetroDateTimePicker::KeyPress(Key);
    if (digit && HandleAllocated()) PostMessage(Handle(), DTPShiftFocusMessage());
}

void TCustomDateTimePicker::WndProc(TMessage& Message) {
    if (Message.Msg == DTPShiftFocusMessage()) {
        ShiftFocus();
        return;
    }
    TMetroDateTimePicker::WndProc(Message);
}

void TCustomDateTimePicker::CMWantSpecialKey(TWMKey& Message) {
    auto* outer = dynamic_cast<TQorDateTimePicker*>(Parent());
    if (outer && outer->TimePicker() == this) {
        Message.M.Result = outer->Perform(CM_WANTSPECIALKEY, Message.M.WParam, Message.M.LParam);
        return;
    }
    TMetroDateTimePicker::CMWantSpecialKey(Message);
}

void TCustomDateTimePicker::ShiftFocus() {
    int h = 0, m = 0, s = 0, ms = 0;
    splitTime(TDateTimePicker::DateTime(), h, m, s, ms);
    if ((h != Fh || m != Fm || s != Fs) && HandleAllocated())
        PostMessage(Handle(), WM_KEYDOWN, VK_RIGHT, 0);
}

void TCustomDateTimePicker::PaintFlatLines(TCanvas* C) {
    if (Ctl3D()) return;
    FlatBorder(C);
    // A second set inside, on systems from Vista on without visual styles.
    if (IsWindowsVistaOrLater() && !StylesOn()) {
        const int W = Width(), H = Height();
        C->MoveTo(1, H);
        C->LineTo(1, 1);
        C->LineTo(W - 2, 1);
        C->LineTo(W - 2, H - 2);
        C->LineTo(0, H - 2);
    }
}

// --- TQorDateTimePicker ------------------------------------------------------------------------
TQorDateTimePicker::TQorDateTimePicker(TComponent* AOwner)
    : TCustomDateTimePicker(AOwner), FLabelFont(std::make_unique<TFont>()) {
    SetCtl3D(true);
    FBorderStyle = bsSingle;
    FLabelFont->OnChange = [this](TObject*) {
        if (!FLabel) return;
        UpdateLabel();
        if (ComponentState() & csDesigning) SetParentFont(false);
    };
}

TQorDateTimePicker::~TQorDateTimePicker() {
    FLabelFont->OnChange = nullptr;
    if (FLabel) {
        // The label leaves its parent and goes; the time part goes with its owner.
        FLabel->SetParent(nullptr);
        delete FLabel;
        FLabel = nullptr;
    }
}

void TQorDateTimePicker::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomDateTimePicker::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    // The label goes with its parent, the time part with the control.
    if (AComponent == FLabel) FLabel = nullptr;
    if (AComponent == FTimePicker) FTimePicker = nullptr;
}

std::string TQorDateTimePicker::Version() const {
    return "1.2.0.0";
}

void TQorDateTimePicker::CreateWnd() {
    TCustomDateTimePicker::CreateWnd();
    // The stored kind is applied anew: a date-and-time control gets its time part here.
    const TQorDateTimeKind k = FKind;
    FKind = dkDate;
    SetKind(k);
}

void TQorDateTimePicker::SetKind(TQorDateTimeKind v) {
    if (v == FKind) return;
    FKind = v;
    TDateTimePicker::SetKind(v == dkTime ? dtkTime : dtkDate);
    if (v == dkDateTime) CreateTimePicker();
    UpdateTimePicker();
}

void TQorDateTimePicker::CreateTimePicker() {
    if (FTimePicker || FKind != dkDateTime) return;
    FTimePicker = new TCustomDateTimePicker(this);
    const bool designLoading = (ComponentState() & csLoading) && (ComponentState() & csDesigning);
    if (!designLoading) FTimePicker->SetParent(this);
    FTimePicker->SetBounds(0, 0, 90, 17);
    FTimePicker->SetVisible(false);
    FTimePicker->SetEnabled(Enabled());
    FTimePicker->TDateTimePicker::SetKind(dtkTime);
    FTimePicker->OnChange = [this](TObject* s) { TimePickerChange(s); };
    FTimePicker->OnClick = [this](TObject*) { DoClick(); };
    FTimePicker->OnKeyPress = [this](TObject* s, char32_t& k) { TimePickerKeyPress(s, k); };
    FTimePicker->OnKeyDown = [this](TObject* s, WORD& k, TShiftState sh) {
        TimePickerKeyDown(s, k, sh);
    };
    FTimePicker->SetAutoTab(AutoTab());
}

void TQorDateTimePicker::UpdateTimePicker() {
    if (!FTimePicker) return;
    FTimePicker->SetParent(this);
    FTimePicker->SetColor(Color());
    FTimePicker->SetEnabled(Enabled() && (Checked() || !ShowCheckbox()));
    FTimePicker->SetVisible(FKind == dkDateTime);
    FTimePicker->TDateTimePicker::SetTime(TDateTimePicker::Time());
    FTimePicker->TDateTimePicker::SetDateTime(TDateTimePicker::DateTime());
    FTimePicker->TDateTimePicker::SetFormat(FTimeFormat);
    FTimePicker->Font()->Assign(Font());
    const bool placeLoading = (ComponentState() & csLoading) && !(ComponentState() & csDesigning);
    if (FKind != dkDateTime && !placeLoading) {
        delete FTimePicker;
        FTimePicker = nullptr;
        return;
    }
    TBitmap measure(1, 1);
    measure.Canvas()->Font()->Assign(Font());
    const std::string t = Utf8Substr(FTimePicker->DisplayText(), 0, 255);
    const int a = measure.Canvas()->TextWidth(t) + 31;
    // Before Vista (as this platform reports itself); the frame of Ctl3D lies inside the
    // control's own area here, where the classic layout counts from inside it.
    const int frame = Ctl3D() ? 2 : 0;
    FTimePicker->SetBounds(Width() - a - 21 + frame, -2 + frame, a, Height());
}

void TQorDateTimePicker::TimePickerChange(TObject*) {
    DoChange();
    if (OnTimeChange) OnTimeChange(this);
}

void TQorDateTimePicker::TimePickerKeyDown(TObject*, WORD& Key, TShiftState Shift) {
    KeyDown(Key, Shift);
}

void TQorDateTimePicker::TimePickerKeyPress(TObject*, char32_t&) {}

void TQorDateTimePicker::DoChange() {
    if (OnChange) OnChange(this);
}

void TQorDateTimePicker::DoClick() {
    Click();
}

void TQorDateTimePicker::SetTimeFormat(const std::string& v) {
    if (FTimePicker) FTimePicker->TDateTimePicker::SetFormat(v);
    if (FKind == dkTime) TDateTimePicker::SetFormat(v);
    FTimeFormat = v;
    UpdateTimePicker();
}

TDateTime TQorDateTimePicker::DateTime() {
    if (FTimePicker) TDateTimePicker::SetTime(FTimePicker->TDateTimePicker::Time());
    return TDateTimePicker::DateTime();
}

void TQorDateTimePicker::SetDateTime(TDateTime v) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
    DecodeDate(v, y, mo, d);
    DecodeTime(v, h, mi, s, ms);
    // Milliseconds are dropped.
    const TDateTime value = ComposeDateTime(EncodeDate(y, mo, d), EncodeTime(h, mi, s, 0));
    TDateTimePicker::SetDateTime(value);
    CreateTimePicker();
    if (FTimePicker) FTimePicker->TDateTimePicker::SetDateTime(value);
}

void TQorDateTimePicker::SetDate(TDateTime v) {
    int h = 0, mi = 0, s = 0, ms = 0;
    DecodeTime(DateTime(), h, mi, s, ms);
    SetDateTime(ComposeDateTime(std::floor(v), EncodeTime(h, mi, s, 0)));
}

TDateTime TQorDateTimePicker::Time() const {
    if (FKind == dkDateTime && FTimePicker) return FTimePicker->TDateTimePicker::Time();
    return TDateTimePicker::Time();
}

void TQorDateTimePicker::SetTime(TDateTime v) {
    TDateTimePicker::SetTime(v);
    UpdateTimePicker();
}

void TQorDateTimePicker::SetBorderStyle(TBorderStyle v) {
    TCustomDateTimePicker::SetBorderStyle(v);
    UpdateTimePicker();
}

void TQorDateTimePicker::SetAutoTab(bool v) {
    TCustomDateTimePicker::SetAutoTab(v);
    if (FTimePicker) FTimePicker->SetAutoTab(v);
}

void TQorDateTimePicker::KeyPress(char32_t& Key) {
    if (AutoTab() && Key >= '0' && Key <= '9') DecodeDate(TDateTimePicker::DateTime(), Fy, Fm, Fd);
    TCustomDateTimePicker::KeyPress(Key);
}

void TQorDateTimePicker::ShiftFocus() {
    if (FKind == dkTime) {
        TCustomDateTimePicker::ShiftFocus();
        return;
    }
    int y = 0, m = 0, d = 0;
    DecodeDate(TDateTimePicker::DateTime(), y, m, d);
    const bool dc = d != Fd, mc = m != Fm, yc = y != Fy;
    auto focusTime = [this] {
        if (FTimePicker && FTimePicker->CanFocus()) FTimePicker->SetFocus();
    };
    auto nextField = [this] {
        if (HandleAllocated()) PostMessage(Handle(), WM_KEYDOWN, VK_RIGHT, 0);
    };
    const std::string f = Format();
    if (!f.empty()) {
        const char c = f.back();
        if ((dc && (c == 'D' || c == 'd')) || (mc && (c == 'M' || c == 'm')) ||
            (yc && (c == 'Y' || c == 'y')))
            focusTime();
        else if (dc || mc || yc)
            nextField();
        return;
    }
    if (dc || mc)
        nextField();
    else if (yc)
        focusTime();
}

void TQorDateTimePicker::CNNotify(TMessage& Message) {
    TCustomDateTimePicker::CNNotify(Message);
    const auto* hdr = reinterpret_cast<const NMHDR*>(Message.LParam);
    if (hdr && hdr->code == DTN_DATETIMECHANGE && !FIgnoreTimePickerCheck && FTimePicker) {
        const auto* rec = reinterpret_cast<const NMDATETIMECHANGE*>(Message.LParam);
        FTimePicker->SetEnabled(Enabled() && Checked() && rec->dwFlags != GDT_NONE);
    }
    FIgnoreTimePickerCheck = false;
}

void TQorDateTimePicker::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case DTM_SETSYSTEMTIME:
        // A notification the change by program brings is no user's: it leaves the time part
        // alone, which follows the check box afterwards.
        FIgnoreTimePickerCheck = true;
        TCustomDateTimePicker::Dispatch(Message);
        FIgnoreTimePickerCheck = false;
        if (FTimePicker && !(ComponentState() & csDesigning))
            FTimePicker->SetEnabled(Enabled() && Checked());
        return;
    case WM_SIZE:
        TCustomDateTimePicker::Dispatch(Message);
        UpdateTimePicker();
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        TCustomDateTimePicker::Dispatch(Message);
        if (FFocusLabel && FLabel && !(ComponentState() & csLoading))
            setBold(FLabel->Font(), Message.Msg == WM_SETFOCUS);
        return;
    default:
        break;
    }
    TCustomDateTimePicker::Dispatch(Message);
}

void TQorDateTimePicker::Paint() {
    if (FFirstRun) {
        FFirstRun = false;
        UpdateTimePicker();
    }
    TCustomDateTimePicker::Paint();
}

void TQorDateTimePicker::Loaded() {
    TCustomDateTimePicker::Loaded();
    if (!(ComponentState() & csDesigning)) {
        CreateTimePicker();
        UpdateTimePicker();
        if (!Checked()) {
            SetChecked(false);
            if (FTimePicker) FTimePicker->SetEnabled(false);
        }
    }
    if (FLabel) {
        FLabel->SetEnabled(Enabled() || FLabelAlwaysEnabled);
        UpdateLabel();
        if (ParentFont()) FLabel->Font()->Assign(Font());
    }
    FParentFnt = ParentFont();
    UpdateLabel();
}

// --- label -------------------------------------------------------------------------------------
std::string TQorDateTimePicker::LabelCaption() const {
    return FLabel ? FLabel->Caption() : std::string();
}

void TQorDateTimePicker::CreateLabel() {
    FLabel = new TLabel(this);
    FLabel->SetParent(Parent());
    FLabel->SetFocusControl(this);
    FLabel->Font()->Assign(FLabelFont.get());
    FLabel->SetParentFont(ParentFont());
    FLabel->OnClick = [this](TObject*) {
        if (OnLabelClick) OnLabelClick(this);
    };
    FLabel->OnDblClick = [this](TObject*) {
        if (OnLabelDblClick) OnLabelDblClick(this);
    };
}

void TQorDateTimePicker::SetLabelCaption(const std::string& v) {
    if (!FLabel) CreateLabel();
    FLabel->SetCaption(v);
    UpdateLabel();
}

void TQorDateTimePicker::SetLabelPosition(TLabelPosition v) {
    FLabelPosition = v;
    if (FLabel) UpdateLabel();
}

void TQorDateTimePicker::SetLabelMargin(int v) {
    FLabelMargin = v;
    if (FLabel) UpdateLabel();
}

void TQorDateTimePicker::SetLabelTransparent(bool v) {
    FLabelTransparent = v;
    if (FLabel) UpdateLabel();
}

void TQorDateTimePicker::SetLabelAlwaysEnabled(bool v) {
    FLabelAlwaysEnabled = v;
    if (v && FLabel) FLabel->SetEnabled(true);
    if (FLabel) UpdateLabel();
}

void TQorDateTimePicker::SetLabelFont(const TFont* v) {
    if (!ParentFont()) FLabelFont->Assign(v);
}

void TQorDateTimePicker::UpdateLabel() {
    if (!FLabel) return;
    FLabel->SetTransparent(FLabelTransparent);
    FLabel->Font()->Assign(FParentFnt ? Font() : FLabelFont.get());
    const TPoint at = LabelPlacement(FLabelPosition, BoundsRect(), *FLabel, FLabelMargin);
    FLabel->SetBounds(at.X, at.Y, FLabel->Width(), FLabel->Height());
    FLabel->SetVisible(Visible());
}

void TQorDateTimePicker::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomDateTimePicker::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FLabel && FLabel->Parent()) UpdateLabel();
}

void TQorDateTimePicker::SetParent(TWinControl* AParent) {
    TCustomDateTimePicker::SetParent(AParent);
    if (FLabel) FLabel->SetParent(AParent);
}

void TQorDateTimePicker::CMEnabledChanged(TMessage& Message) {
    TCustomDateTimePicker::CMEnabledChanged(Message);
    if (FTimePicker) FTimePicker->SetEnabled(Enabled());
    if (FLabel && !FLabelAlwaysEnabled) FLabel->SetEnabled(Enabled());
}

void TQorDateTimePicker::CMVisibleChanged(TMessage& Message) {
    TCustomDateTimePicker::CMVisibleChanged(Message);
    if (FLabel) FLabel->SetVisible(Visible());
}

void TQorDateTimePicker::CMFontChanged(TMessage& Message) {
    TCustomDateTimePicker::CMFontChanged(Message);
    if (FLabel && ParentFont() && (ComponentState() & (csLoading | csDesigning))) {
        FLabel->Font()->Assign(Font());
        UpdateLabel();
    }
}

void TQorDateTimePicker::CMParentFontChanged(TMessage& Message) {
    TCustomDateTimePicker::CMParentFontChanged(Message);
    if (FLabel && ParentFont()) {
        FLabel->Font()->Assign(Font());
        UpdateLabel();
    }
}
