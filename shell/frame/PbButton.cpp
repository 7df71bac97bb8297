#include "shell/frame/PbButton.h"

#include "platform/base/Clock.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/core/Actions.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

namespace {

constexpr TColor Transparent_Key = 0xFF00FF;
constexpr unsigned Tick_Ms = 30;

int roundEven(double v) {
    return int(std::nearbyint(v));
}

// The last UTF-8 character of text removed.
void dropLastChar(std::string& text) {
    while (!text.empty()) {
        unsigned char c = static_cast<unsigned char>(text.back());
        text.pop_back();
        if ((c & 0xC0) != 0x80) break;
    }
}

// Whether the form's active control is a push button (radio buttons and check boxes are not).
bool activeControlIsButton(TCustomForm* form) {
    TWinControl* active = form ? form->ActiveControl() : nullptr;
    if (!active) return false;
    return dynamic_cast<TButton*>(active) || dynamic_cast<TPbButton*>(active);
}

// The first form on the owner chain.
TCustomForm* ownerForm(const TComponent* c) {
    for (TComponent* o = c->Owner(); o; o = o->Owner())
        if (auto* f = dynamic_cast<TCustomForm*>(o)) return f;
    return nullptr;
}

// The glyph strip of a Kind preset: a normal and a disabled 16 x 16 cell on an olive
// background, which becomes transparent (bottom-left pixel).
std::unique_ptr<TBitmap> kindGlyph(TPbButtonKind kind) {
    constexpr int S = 16;
    auto g = std::make_unique<TBitmap>(2 * S, S);
    g->SetPixelFormat(pf24bit);
    TCanvas* c = g->Canvas();
    c->Brush()->SetColor(clOlive);
    c->FillRect(Rect(0, 0, 2 * S, S));
    TColor ink = clBlack;
    switch (kind) {
    case bkOK:
    case bkYes:
    case bkAll:
        ink = clGreen;
        break;
    case bkCancel:
    case bkNo:
    case bkAbort:
        ink = clRed;
        break;
    case bkHelp:
    case bkRetry:
        ink = clNavy;
        break;
    default:
        break;
    }
    for (int cell = 0; cell < 2; ++cell) {
        int x = cell * S;
        c->Pen()->SetColor(cell == 0 ? ink : clGray);
        c->Pen()->SetWidth(2);
        c->Brush()->SetStyle(bsClear);
        switch (kind) {
        case bkOK:
        case bkYes:
            c->Polyline({{x + 3, 8}, {x + 6, 12}, {x + 13, 3}});
            break;
        case bkAll:
            c->Polyline({{x + 1, 8}, {x + 4, 12}, {x + 9, 3}});
            c->Polyline({{x + 6, 8}, {x + 9, 12}, {x + 14, 3}});
            break;
        case bkCancel:
        case bkNo:
        case bkAbort:
            c->MoveTo(x + 3, 3);
            c->LineTo(x + 13, 13);
            c->MoveTo(x + 13, 3);
            c->LineTo(x + 3, 13);
            break;
        case bkRetry:
            c->Arc(x + 2, 2, x + 14, 14, x + 14, 2, x + 14, 8);
            break;
        case bkIgnore:
            c->MoveTo(x + 3, 8);
            c->LineTo(x + 13, 8);
            break;
        case bkClose:
            c->Rectangle(x + 3, 2, x + 13, 14);
            break;
        case bkHelp:
            c->Font()->SetName("Arial");
            c->Font()->SetHeight(-13);
            c->Font()->SetStyle({fsBold});
            c->Font()->SetColor(cell == 0 ? ink : clGray);
            SetBkMode(c, TRANSPARENT);
            c->TextOut(x + 4, 0, "?");
            break;
        default:
            break;
        }
        c->Brush()->SetStyle(bsSolid);
    }
    c->Pen()->SetWidth(1);
    return g;
}

struct Kind_Preset {
    TModalResult Result;
    const char* Caption;
};

Kind_Preset kindPreset(TPbButtonKind kind) {
    switch (kind) {
    case bkOK:
        return {mrOk, "OK"};
    case bkCancel:
        return {mrCancel, "Abbrechen"};
    case bkHelp:
        return {mrNone, "Hilfe"};
    case bkYes:
        return {mrYes, "Ja"};
    case bkNo:
        return {mrNo, "Nein"};
    case bkClose:
        return {mrNone, "Schließen"};
    case bkAbort:
        return {mrAbort, "Abbrechen"};
    case bkRetry:
        return {mrRetry, "Wiederholen"};
    case bkIgnore:
        return {mrIgnore, "Ignorieren"};
    case bkAll:
        return {mrAll, "Alle"};
    default:
        return {mrNone, ""};
    }
}

} // namespace

// --- TPbButtonThread ---------------------------------------------------------------------------

TPbButtonThread::TPbButtonThread(TNotifyEvent Notify, TObject* Target)
    : TThread(true), FNotify(std::move(Notify)), FTarget(Target) {}

TPbButtonThread::~TPbButtonThread() {
    End();
}

void TPbButtonThread::ResumeTicking() {
    {
        std::lock_guard lock(m_);
        if (ending_) return;
        running_ = true;
    }
    cv_.notify_all();
    Start();
}

void TPbButtonThread::SuspendTicking() {
    std::lock_guard lock(m_);
    running_ = false;
}

bool TPbButtonThread::Ticking() const {
    std::lock_guard lock(m_);
    return running_;
}

void TPbButtonThread::End() {
    {
        std::lock_guard lock(m_);
        ending_ = true;
        running_ = false;
    }
    Terminate();
    cv_.notify_all();
    WaitFor();
}

void TPbButtonThread::Execute() {
    while (!Terminated()) {
        std::unique_lock lock(m_);
        cv_.wait(lock, [this] { return running_ || ending_; });
        if (ending_) return;
        // 30 ms of the application clock; polled, so that a manual clock is followed too.
        std::uint64_t due = GetTickCount64() + Tick_Ms;
        while (!ending_ && running_ && GetTickCount64() < due)
            cv_.wait_for(lock, std::chrono::milliseconds(5));
        if (ending_) return;
        if (!running_) continue;
        lock.unlock();
        Queue([this] {
            if (FNotify) FNotify(FTarget);
        });
    }
}

// --- TPbButton ---------------------------------------------------------------------------------

TPbButton::TPbButton(TComponent* AOwner)
    : TCustomControl(AOwner), FGlyph(std::make_unique<TBitmap>()),
      FHTFont(std::make_unique<TFont>()) {
    // No automatic click or double-click: the button fires its own click.
    SetControlStyle(csCaptureMouse | csSetCaption);
    SetBounds(Left(), Top(), 100, 23);
    SetTabStop(true);
    SetColor(clBtnFace);
    if (auto* form = dynamic_cast<TCustomForm*>(AOwner)) FHTFont->Assign(form->Font());
    FThread = std::make_unique<TPbButtonThread>([this](TObject*) { FadeTick(); }, this);
}

TPbButton::~TPbButton() {
    FDestroying = true;
    SetAction(nullptr);
    endTicker();
}

// Follows the action's image besides what a control's link follows.
class TPbButtonActionLink : public TControlActionLink {
public:
    explicit TPbButtonActionLink(TPbButton* AClient)
        : TControlActionLink(AClient), button_(AClient) {}
    void SetImageIndex(int Value) override { button_->takeActionGlyph(FAction, Value); }

private:
    TPbButton* button_;
};

std::unique_ptr<TControlActionLink> TPbButton::CreateActionLink() {
    return std::make_unique<TPbButtonActionLink>(this);
}

void TPbButton::ActionChange(TBasicAction* Sender, bool CheckDefaults) {
    TCustomControl::ActionChange(Sender, CheckDefaults);
    if (auto* action = dynamic_cast<TCustomAction*>(Sender))
        takeActionGlyph(action, action->ImageIndex());
}

void TPbButton::takeActionGlyph(TBasicAction* Action, int Index) {
    auto* action = dynamic_cast<TCustomAction*>(Action);
    TActionList* list = action ? action->ActionList() : nullptr;
    TImageList* images = list ? list->Images() : nullptr;
    if (!images || !FGlyph->Empty() || Index < 0 || Index >= images->Count()) return;
    // The image on the transparent fuchsia, as one glyph cell.
    TBitmap glyph(images->Width(), images->Height());
    glyph.Canvas()->Brush()->SetColor(TColor(0xFF00FF));
    glyph.Canvas()->FillRect(Rect(0, 0, images->Width(), images->Height()));
    images->Draw(glyph.Canvas(), 0, 0, Index);
    FGlyph->Assign(&glyph);
    FNumGlyphs = 1;
    repaintNow();
}

void TPbButton::endTicker() {
    if (!FThread) return;
    try {
        FThread->End();
    } catch (const std::exception&) {
        // A failed join leaves nothing to do but to drop the thread object, as the model does.
    }
    FThread.reset();
}

// Repaints at once when the button is on screen; otherwise the next paint shows the change.
void TPbButton::repaintNow() {
    Invalidate();
    if (Showing()) Update();
}

bool TPbButton::parentShowing() const {
    return Parent() && Parent()->Showing();
}

bool TPbButton::Hot() const {
    return bCursorOnButton || Focused();
}

void TPbButton::SetAlignment(TAlignment v) {
    FAlignment = v;
    repaintNow();
}

void TPbButton::SetShadowColor(TColor v) {
    FShadowColor = v;
    repaintNow();
}

void TPbButton::SetFlat(bool v) {
    FFlat = v;
    repaintNow();
}

void TPbButton::SetWordWrap(bool v) {
    FWordWrap = v;
    repaintNow();
}

void TPbButton::SetLayout(TPbButtonLayout v) {
    FLayout = v;
    repaintNow();
}

void TPbButton::SetLightColor(TColor v) {
    FLightColor = v;
    repaintNow();
}

void TPbButton::SetGlyph(const TBitmap* v) {
    if (v)
        FGlyph->Assign(v);
    else
        FGlyph->SetSize(0, 0);
    FNumGlyphs = FGlyph->Empty() ? 0 : FGlyph->Width() / FGlyph->Height();
    FKind = bkCustom;
    Invalidate();
}

void TPbButton::SetNumGlyphs(int v) {
    FNumGlyphs = v;
    Invalidate();
}

void TPbButton::SetModalResult(TModalResult v) {
    FModalResult = v;
    FKind = bkCustom;
}

void TPbButton::SetKind(TPbButtonKind v) {
    if (v != bkCustom) {
        Kind_Preset p = kindPreset(v);
        SetModalResult(p.Result);
        SetGlyph(kindGlyph(v).get());
        SetNumGlyphs(2);
        SetCaption(p.Caption);
    }
    FKind = v;
}

void TPbButton::SetColorStyle(TPbColorStyle v) {
    Pb_Style_Colors(this, v);
}

void TPbButton::SetStyle(TPbButtonStyle v) {
    FStyle = v;
    FTransparent = v == bsModern || v == bsShape || v == bsQuicken;
    Invalidate();
}

void TPbButton::SetSlowDecease(bool v) {
    FSlowDecease = v;
    if (v) {
        if (!FThread)
            FThread = std::make_unique<TPbButtonThread>([this](TObject*) { FadeTick(); }, this);
    } else {
        FHotTrackStep = 0;
        endTicker();
    }
    Invalidate();
}

void TPbButton::SetEnabled(bool v) {
    TCustomControl::SetEnabled(v);
    FEnabled = v;
    bDown = false;
    repaintNow();
}

// --- click path --------------------------------------------------------------------------------

void TPbButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled()) return;
    bDown = true;
    if (CanFocus()) SetFocus();
    repaintNow();
}

void TPbButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    // Released outside the button: no click.
    if (bDown && ClientRect().Contains(TPoint{X, Y})) Click();
    bDown = false;
    repaintNow();
}

void TPbButton::Click() {
    bDown = true;
    PerformClick();
    // Then the linked action runs.
    if (TControlActionLink* link = ActionLink()) link->Execute();
}

void TPbButton::PerformClick() {
    if (!Visible() || !Enabled() || !bDown) return;
    bDown = false;
    if (OnClick) OnClick(this);
    if (FModalResult != mrNone)
        if (TCustomForm* form = GetParentForm()) form->SetModalResult(FModalResult);
    if (TPopupMenu* menu = PopupMenu()) {
        TPoint p = ClientToScreen(TPoint{0, Height()});
        menu->Popup(p.X, p.Y);
    }
}

void TPbButton::CNKeyDown(TWMKey& Message) {
    WORD key = Message.CharCode();
    if ((key == VK_RETURN || key == VK_SPACE) && Enabled()) {
        bDown = true;
        repaintNow();
    }
    TCustomControl::CNKeyDown(Message);
}

void TPbButton::CNKeyUp(TWMKey& Message) {
    WORD key = Message.CharCode();
    // Only a key that went down on this button clicks it.
    if ((key == VK_RETURN || key == VK_SPACE) && bDown) Click();
    repaintNow();
    TCustomControl::CNKeyUp(Message);
}

void TPbButton::CMDialogChar(TWMKey& Message) {
    if (IsAccel(Message.CharCode(), Caption()) && Visible() && Enabled() && parentShowing()) {
        bDown = true;
        Click();
        Message.M.Result = 1;
        return;
    }
    TCustomControl::CMDialogChar(Message);
}

void TPbButton::CMDialogKey(TWMKey& Message) {
    WORD key = Message.CharCode();
    bool ours = (key == VK_RETURN && FDefault) ||
                (key == VK_ESCAPE && FCancel && KeyDataToShiftState(Message.KeyData()).Empty() &&
                 Visible() && Enabled());
    if (ours && !activeControlIsButton(ownerForm(this))) {
        bDown = true;
        Click();
        Message.M.Result = 1;
        return;
    }
    TCustomControl::CMDialogKey(Message);
}

// --- hot tracking ------------------------------------------------------------------------------

void TPbButton::CMMouseEnter(TMessage& /*Message*/) {
    if (!Enabled() || !Visible() || !parentShowing()) return;
    bCursorOnButton = true;
    // A fade still running would dim the button under the mouse.
    if (FThread) FThread->SuspendTicking();
    FHotTrackStep = 8;
    repaintNow();
    if (OnMouseEnter) OnMouseEnter(this);
}

void TPbButton::CMMouseLeave(TMessage& /*Message*/) {
    bCursorOnButton = false;
    if (FSlowDecease && FThread) {
        FThread->ResumeTicking();
    } else {
        FHotTrackStep = 0;
        repaintNow();
    }
    if (Enabled() && Visible() && parentShowing() && OnMouseExit) OnMouseExit(this);
}

void TPbButton::FadeTick() {
    if (FDestroying || IsDestroying()) return;
    --FHotTrackStep;
    if (FHotTrackStep <= 0) {
        if (FThread) FThread->SuspendTicking();
        FHotTrackStep = 0;
    }
    repaintNow();
}

void TPbButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_FOCUSCHANGED:
        // The focus rectangle and the hot look follow the focus.
        TCustomControl::Dispatch(Message);
        if (!FDestroying) repaintNow();
        return;
    default:
        TCustomControl::Dispatch(Message);
    }
}

// --- painting ----------------------------------------------------------------------------------

void TPbButton::Paint() {
    if (!Visible() || (ComponentState() & csLoading) || FDestroying || IsDestroying()) return;
    int W = Width();
    int H = Height();
    if (W <= 0 || H <= 0) return;
    TFont font;
    font.Assign(Hot() && FUseHTFont ? FHTFont.get() : Font());

    TBitmap image(W, H);
    image.SetPixelFormat(pf24bit);
    TCanvas* ic = image.Canvas();
    if (FTransparent) {
        ic->Brush()->SetColor(Transparent_Key);
        ic->FillRect(Rect(0, 0, W, H));
        image.SetTransparentMode(tmFixed);
        image.SetTransparentColor(Transparent_Key);
        image.SetTransparent(true);
    }
    if (FStyle == bsOld && Focused()) {
        TBitmap inner(std::max(W - 2, 0), std::max(H - 2, 0));
        inner.SetPixelFormat(pf24bit);
        if (!inner.Empty()) Pb_Draw_Button(inner.Canvas(), this, W - 2, H - 2, &font);
        ic->Draw(1, 1, &inner);
        ic->Brush()->SetColor(clBlack);
        ic->FrameRect(Rect(0, 0, W, H));
    } else {
        Pb_Draw_Button(ic, this, W, H, &font);
    }

    TCanvas* c = Canvas();
    if (FTransparent) {
        // The parent shows around a transparent face.
        c->Brush()->SetColor(Parent() ? Parent()->Color() : Color());
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(Rect(0, 0, W, H));
    }
    c->Draw(0, 0, &image);
    if (Focused() && Enabled() && FStyle != bsShape) c->DrawFocusRect(Rect(4, 4, W - 4, H - 4));
}

TColor Pb_Blend_Color(TColor C1, TColor C2, int Step) {
    TColor a = ColorToRGB(C1);
    TColor b = ColorToRGB(C2);
    double f = Step / 8.0;
    auto mix = [f](int x, int y) { return std::clamp(roundEven(x * (1 - f) + y * f), 0, 255); };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
               mix(GetBValue(a), GetBValue(b)));
}

void Pb_Gradient_Fill(TCanvas* Canvas, TColor From, TColor To, const TRect& R) {
    int h = R.Height();
    if (h <= 0 || R.Width() <= 0) return;
    TColor a = ColorToRGB(From);
    TColor b = ColorToRGB(To);
    TPenStyle pen = Canvas->Pen()->Style();
    Canvas->Pen()->SetStyle(psClear);
    Canvas->Brush()->SetStyle(bsSolid);
    for (int i = 0; i < 32; ++i) {
        int top = R.Top + i * h / 31;
        if (top >= R.Bottom) break;
        int bottom = std::min(top + h / 31 + 1, R.Bottom);
        auto ch = [i](int x, int y) {
            return std::clamp(roundEven(x + (y - x) * i / 31.0), 0, 255);
        };
        Canvas->Brush()->SetColor(RGB(ch(GetRValue(a), GetRValue(b)),
                                      ch(GetGValue(a), GetGValue(b)),
                                      ch(GetBValue(a), GetBValue(b))));
        Canvas->FillRect(Rect(R.Left, top, R.Right, bottom));
    }
    Canvas->Pen()->SetStyle(pen);
}

void Pb_Draw_Glyph(TCanvas* Canvas, const TBitmap* Glyph, int X, int Y, int CellX, int Height,
                   int CellWidth) {
    if (!Glyph || Glyph->Empty() || CellWidth <= 0 || Height <= 0) return;
    CellX = std::clamp(CellX, 0, Glyph->Width());
    CellWidth = std::min(CellWidth, Glyph->Width() - CellX);
    Height = std::min(Height, Glyph->Height());
    if (CellWidth <= 0 || Height <= 0) return;
    TBitmap cell(CellWidth, Height);
    cell.SetPixelFormat(Glyph->PixelFormat());
    cell.SetAlphaFormat(Glyph->AlphaFormat());
    for (int y = 0; y < Height; ++y)
        std::memcpy(cell.ScanLine(y), Glyph->ScanLine(y) + 4 * CellX, std::size_t(4 * CellWidth));
    cell.Modified();
    cell.SetTransparentMode(tmFixed);
    cell.SetTransparentColor(cell.PixelColor(0, Height - 1));
    cell.SetTransparent(true);
    Canvas->Draw(X, Y, &cell);
}

void Pb_Draw_Button(TCanvas* Canvas, TPbButton* Button, int W, int H, TFont* AFont) {
    TPbButton& b = *Button;
    const bool enabled = b.Enabled();
    const bool down = enabled && b.bDown;
    const bool hot = b.Hot();
    const int o = down && b.FStyle != bsEncarta ? 1 : 0;

    TColor face = ColorToRGB(b.Color());
    if (enabled && b.FHotTrackColor != clNone)
        face = Pb_Blend_Color(b.Color(), b.FHotTrackColor, b.FHotTrackStep);
    if (down && b.FColorWhenDown != clNone) face = ColorToRGB(b.FColorWhenDown);
    const TColor light = ColorToRGB(b.FLightColor);
    const TColor shadow = ColorToRGB(b.FShadowColor);

    TCanvas* c = Canvas;
    c->Pen()->SetWidth(1);
    c->Pen()->SetStyle(psSolid);
    c->Brush()->SetStyle(bsSolid);
    switch (b.FStyle) {
    case bsShape:
        c->Brush()->SetColor(Transparent_Key);
        c->FillRect(Rect(0, 0, W, H));
        break;
    case bsModern:
        Pb_Gradient_Fill(c, light, face, Rect(2, 2, W - 2, H / 4 + o));
        Pb_Gradient_Fill(c, face, light, Rect(2, H / 4 + o, W - 2, H - 1));
        break;
    case bsQuicken:
        c->Brush()->SetColor(face);
        c->Pen()->SetColor(face);
        c->RoundRect(0, 1, W, H - 1, 4, 4);
        c->Pen()->SetColor(shadow);
        c->MoveTo(4, 0);
        c->LineTo(W - 4, 0);
        c->MoveTo(4, H - 1);
        c->LineTo(W - 4, H - 1);
        break;
    default:
        c->Brush()->SetColor(face);
        c->FillRect(Rect(0, 0, W, H));
        break;
    }

    const bool frame = (enabled && (!b.FFlat || hot || down)) || (!enabled && !b.FFlat);
    if (frame) {
        c->Brush()->SetStyle(bsClear);
        if (b.FStyle == bsNormal || b.FStyle == bsEncarta) {
            c->Pen()->SetColor(down ? shadow : light);
            c->MoveTo(0, H - 1);
            c->LineTo(0, 0);
            c->LineTo(W - 1, 0);
            c->Pen()->SetColor(down ? light : shadow);
            c->LineTo(W - 1, H - 1);
            c->LineTo(0, H - 1);
        } else if (b.FStyle == bsOld) {
            const TColor dark = ColorToRGB(cl3DDkShadow);
            c->Pen()->SetColor(down ? dark : light);
            c->MoveTo(0, H - 1);
            c->LineTo(0, 0);
            c->LineTo(W - 1, 0);
            c->Pen()->SetColor(down ? light : dark);
            c->LineTo(W - 1, H - 1);
            c->LineTo(0, H - 1);
            c->Pen()->SetColor(shadow);
            if (down) {
                c->MoveTo(1, H - 2);
                c->LineTo(1, 1);
                c->LineTo(W - 2, 1);
            } else {
                c->MoveTo(W - 2, 1);
                c->LineTo(W - 2, H - 2);
                c->LineTo(1, H - 2);
            }
        } else if (b.FStyle == bsModern) {
            c->Pen()->SetColor(face);
            c->Rectangle(1, 1, W - 1, H - 1);
            c->Pen()->SetColor(shadow);
            c->RoundRect(0, 0, W, H, 6, 6);
        }
        c->Brush()->SetStyle(bsSolid);
    }

    c->Font()->Assign(AFont);
    if (b.FStyle == bsEncarta && down) {
        TFontStyles s = c->Font()->Style();
        s.Include(fsBold);
        c->Font()->SetStyle(s);
    }
    if (!enabled) c->Font()->SetColor(clGray);

    const TBitmap* glyph = b.FGlyph.get();
    const int n = b.FNumGlyphs;
    const bool hasGlyph = glyph && !glyph->Empty() && n > 0;
    const int cw = hasGlyph ? glyph->Width() / n : 0;
    const int gh = hasGlyph ? glyph->Height() : 0;
    int cell = 0;
    if (!enabled)
        cell = 1;
    else if (down && n > 2)
        cell = 2;
    else if (hot && n > 3)
        cell = 3;
    if (cell >= n) cell = 0;

    unsigned fmt = DT_WORDBREAK;
    if (b.FAlignment == taLeftJustify)
        fmt |= DT_LEFT;
    else if (b.FAlignment == taRightJustify)
        fmt |= DT_RIGHT;
    else
        fmt |= DT_CENTER;

    std::string text = b.Caption();
    auto cut = [&](int width) {
        if (b.FWordWrap) return;
        while (!text.empty() && c->TextWidth(StripHotkey(text)) > width) dropLastChar(text);
    };
    int tw = 0, th = 0;
    auto measure = [&](int width) {
        if (text.empty()) return;
        TRect r = Rect(0, 0, width, 0);
        DrawText(c, text, -1, r, fmt | DT_CALCRECT);
        tw = r.Width();
        th = r.Height();
    };

    int A = 0, tl = 0, tt = 0, gx = 0, gy = 0;
    const bool leftAligned = b.FAlignment == taLeftJustify || b.FWordWrap;
    if (b.FStyle == bsShape) {
        cut(std::max(W - 8, 0));
        A = W;
        measure(A);
        fmt = (fmt & ~(DT_LEFT | DT_RIGHT)) | DT_CENTER;
        tl = o;
        tt = (H - th) / 2 + o;
        gx = (W - cw) / 2 + o;
        gy = (H - gh) / 2 + o;
    } else if (b.FLayout == blGlyphLeft || b.FLayout == blGlyphRight) {
        A = std::max(W - 8 - (hasGlyph ? cw + 4 : 0), 0);
        cut(A);
        measure(A);
        tt = (H - th) / 2 + o;
        gy = (H - gh) / 2 + o;
        tl = o + 4;
        if (b.FLayout == blGlyphLeft) {
            if (hasGlyph) tl += cw + 4;
            if (leftAligned)
                gx = o + 4;
            else if (b.FAlignment == taRightJustify)
                gx = W - 4 - cw - (tw + 4) + o;
            else
                gx = (W - cw) / 2 + o - (tw + 4) / 2;
        } else {
            if (leftAligned)
                gx = o + 4 + tw + 4;
            else if (b.FAlignment == taRightJustify)
                gx = W - 4 - cw + o;
            else
                gx = (W - cw) / 2 + o + (tw + 4) / 2;
        }
    } else {
        A = std::max(W - 8, 0);
        cut(A);
        measure(A);
        int block = th + (hasGlyph ? gh + 4 : 0);
        int top = (H - block) / 2;
        if (b.FLayout == blGlyphTop) {
            gy = top + o;
            tt = top + (hasGlyph ? gh + 4 : 0) + o;
        } else {
            tt = top + o;
            gy = top + th + 4 + o;
        }
        if (b.FAlignment == taLeftJustify)
            gx = o + 4;
        else if (b.FAlignment == taRightJustify)
            gx = W - cw - 4 + o;
        else
            gx = (W - cw) / 2 + o;
        tl = o + 4;
    }

    if (!text.empty()) {
        SetBkMode(c, TRANSPARENT);
        c->Brush()->SetStyle(bsClear);
        TRect r = Rect(tl, tt, tl + A, tt + th);
        DrawText(c, text, -1, r, fmt);
        c->Brush()->SetStyle(bsSolid);
    }
    if (hasGlyph) Pb_Draw_Glyph(c, glyph, gx, gy, cell * cw, gh, cw);

    if (b.PopupMenu()) {
        // The drop-down mark: a small black triangle pointing down.
        int x = W - 11, y = H / 2 - 1;
        c->Pen()->SetColor(clBlack);
        for (int i = 0; i < 3; ++i) {
            c->MoveTo(x + i, y + i);
            c->LineTo(x + 5 - i, y + i);
        }
    }
}

void Pb_Style_Colors(TPbButton* Button, TPbColorStyle Style) {
    struct Preset {
        TColor Color, Light, Shadow, Down, Hot;
        TPbButtonStyle ButtonStyle;
        bool Flat;
        TColor FontColor;
    };
    Preset p{};
    switch (Style) {
    case lcsGold:
        p = {0x00C0C0, 0x00FFFF, 0x008080, clNone, 0x00DFDF, bsModern, false, clBlack};
        break;
    case lcsChrome:
        p = {0xC0C0C0, 0xFFFFFF, 0x808080, clNone, clNone, bsModern, false, clBlack};
        break;
    case lcsBlue:
        p = {0xFF8000, 0xFFFF00, 0xFF0000, clNone, clNone, bsModern, false, clBlack};
        break;
    case lcsRed:
        p = {0x0000FF, 0xC0C0FF, 0x0000C0, clNone, clNone, bsModern, false, clBlack};
        break;
    case lcsUltraFlat1:
        p = {clBtnFace, 0xB59284, 0xB59284, 0xB59284, 0xDED3D6, bsNormal, true, clBlack};
        break;
    case lcsUltraFlat2:
        p = {clBtnFace, 0x000000, 0x000000, 0x24DABC, 0x8CF6E4, bsNormal, true, clBlack};
        break;
    case lcsUltraFlatXP:
        p = {0xD1D8DB, 0xB59284, 0xB59285, 0xB59285, 0xD2BDB6, bsNormal, true, clBlack};
        break;
    case lcsAqua:
        p = {0xECCE94, 0xFCE6D4, 0x000000, clNone, clNone, bsModern, false, clBlack};
        break;
    case lcsDefault:
        p = {clBtnFace, 0xFFFFFF, 0x808080, clNone, clNone, bsNormal, false, clBlack};
        break;
    case lcsQuicken:
        p = {0x603000, 0xC0C0C0, 0xC0C0C0, 0xAD6529, 0xCEAE9C, bsQuicken, false, clWhite};
        break;
    default:
        return;
    }
    Button->SetColor(p.Color);
    Button->SetLightColor(p.Light);
    Button->SetShadowColor(p.Shadow);
    Button->SetColorWhenDown(p.Down);
    Button->SetHotTrackColor(p.Hot);
    Button->Font()->SetColor(p.FontColor);
    Button->SetFlat(p.Flat);
    Button->SetStyle(p.ButtonStyle);
    Button->Invalidate();
}
