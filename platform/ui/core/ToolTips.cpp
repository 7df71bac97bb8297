#include "platform/ui/core/ToolTips.h"

#include "platform/base/Clock.h"
#include "platform/ui/core/Forms.h"
#include "platform/ui/core/Timers.h"

#include <algorithm>

namespace {
constexpr std::uintptr_t kWaitTimer = 1;
constexpr std::uintptr_t kPopTimer = 2;
// The classic defaults: the double-click time, a fifth of it, ten times it.
constexpr int kInitial = 500, kReshow = 100, kAutoPop = 5000;
constexpr int kPad = 6, kIcon = 16;

bool isMouseButton(UINT msg) {
    return msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN ||
           msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP;
}

void drawIcon(TCanvas* c, int x, int y, int icon) {
    const TColor fill = icon == TTI_INFO      ? TColor(0xCC6600)
                        : icon == TTI_WARNING ? clYellow
                                              : clRed;
    c->Pen()->SetColor(icon == TTI_WARNING ? clBlack : fill);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(fill);
    if (icon == TTI_WARNING)
        c->Polygon({TPoint(x + 8, y), TPoint(x + 15, y + 15), TPoint(x, y + 15)});
    else
        c->Ellipse(x, y, x + kIcon, y + kIcon);
    c->Pen()->SetColor(icon == TTI_WARNING ? clBlack : clWhite);
    if (icon == TTI_ERROR) {
        c->MoveTo(x + 5, y + 5);
        c->LineTo(x + 11, y + 11);
        c->MoveTo(x + 10, y + 5);
        c->LineTo(x + 4, y + 11);
    } else {
        c->MoveTo(x + 7, y + (icon == TTI_INFO ? 7 : 5));
        c->LineTo(x + 7, y + (icon == TTI_INFO ? 13 : 11));
        c->MoveTo(x + 7, y + (icon == TTI_INFO ? 4 : 12));
        c->LineTo(x + 7, y + (icon == TTI_INFO ? 6 : 14));
    }
}
} // namespace

TToolTipWindow::TToolTipWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    SetVisible(false);
    SetColor(clInfoBk);
    Font()->Assign(Screen->HintFont());
}

TToolTipWindow::~TToolTipWindow() {
    // The watcher stays in the tool window's procedure and only passes messages on from now.
    if (watching_) *watching_ = false;
}

void TToolTipWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | tipStyle_;
    Params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
}

int TToolTipWindow::Delay(WPARAM which) const {
    switch (which) {
    case TTDT_INITIAL:
        return initial_ >= 0 ? initial_ : kInitial;
    case TTDT_RESHOW:
        return reshow_ >= 0 ? reshow_ : kReshow;
    case TTDT_AUTOPOP:
        return autoPop_ >= 0 ? autoPop_ : kAutoPop;
    default:
        return 0;
    }
}

void TToolTipWindow::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case TTM_ADDTOOL:
        if (auto* info = reinterpret_cast<const TOOLINFO*>(Message.LParam)) addTool(*info);
        Message.Result = toolWindow_ ? 1 : 0;
        return;
    case TTM_GETTOOLCOUNT:
        Message.Result = ToolCount();
        return;
    case TTM_SETDELAYTIME: {
        const int ms = int(Message.LParam);
        if (Message.WParam == TTDT_INITIAL) initial_ = ms;
        if (Message.WParam == TTDT_RESHOW) reshow_ = ms;
        if (Message.WParam == TTDT_AUTOPOP) autoPop_ = ms;
        return;
    }
    case TTM_SETTIPBKCOLOR:
        bkColor_ = TColor(Message.WParam);
        Invalidate();
        return;
    case TTM_SETTIPTEXTCOLOR:
        textColor_ = TColor(Message.WParam);
        Invalidate();
        return;
    case TTM_SETMAXTIPWIDTH:
        Message.Result = maxWidth_;
        maxWidth_ = int(Message.LParam);
        return;
    case TTM_SETTITLE:
        titleIcon_ = Message.WParam <= WPARAM(TTI_ERROR) ? int(Message.WParam) : TTI_NONE;
        title_ = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
        Message.Result = 1;
        return;
    case TTM_POP:
        pop();
        return;
    default:
        TCustomControl::WndProc(Message);
    }
}

void TToolTipWindow::addTool(const TOOLINFO& info) {
    TWinControl* window =
        FindControl((info.uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(info.uId) : info.hwnd);
    if (!window) return;
    tool_ = info;
    toolText_ = info.lpszText && info.lpszText != LPSTR_TEXTCALLBACK ? info.lpszText : "";
    toolWindow_ = window;
    if (info.uFlags & TTF_SUBCLASS) {
        watching_ = std::make_shared<bool>(true);
        TWndMethod previous = window->WindowProc;
        std::shared_ptr<bool> alive = watching_;
        window->WindowProc = [this, alive, previous](TMessage& m) {
            if (*alive) relay(m);
            previous(m);
        };
    }
}

void TToolTipWindow::relay(const TMessage& Message) {
    if (Message.Msg == WM_MOUSEMOVE) {
        const TPoint p = LParamToPoint(Message.LParam);
        const TRect area = (tool_.uFlags & TTF_IDISHWND) ? toolWindow_->ClientRect() : tool_.rect;
        if (!area.Contains(p)) {
            pop();
            return;
        }
        if (p == lastPos_) return;
        lastPos_ = p;
        if (!shown_) {
            const bool recent =
                hiddenAt_ && GetTickCount64() - hiddenAt_ < std::uint64_t(Delay(TTDT_RESHOW));
            startWait(unsigned(recent ? Delay(TTDT_RESHOW) : Delay(TTDT_INITIAL)));
        }
    } else if (isMouseButton(Message.Msg) || Message.Msg == CM_MOUSELEAVE ||
               Message.Msg == WM_MOUSELEAVE) {
        pop();
        lastPos_ = {-1, -1};
    }
}

void TToolTipWindow::startWait(unsigned ms) {
    waiting_ = true;
    SetTimer(Handle(), kWaitTimer, std::max(1u, ms));
}

void TToolTipWindow::WMTimer(TWMTimer& Message) {
    KillTimer(Handle(), Message.TimerID());
    if (Message.TimerID() == kWaitTimer) {
        waiting_ = false;
        showTip();
    } else if (Message.TimerID() == kPopTimer) {
        pop();
    }
}

void TToolTipWindow::showTip() {
    if (!toolWindow_) return;
    NMTTDISPINFO info;
    info.hdr.hwndFrom = Handle();
    info.hdr.idFrom = tool_.uId;
    info.hdr.code = TTN_GETDISPINFO;
    if (tool_.lpszText == LPSTR_TEXTCALLBACK) {
        toolWindow_->Perform(WM_NOTIFY, tool_.uId, reinterpret_cast<LPARAM>(&info));
        text_ = info.lpszText ? info.lpszText : info.szText;
    } else {
        text_ = toolText_;
    }
    if (text_.empty()) return;
    const TSize size = layout();
    TPoint at = toolWindow_->ClientToScreen(lastPos_);
    SetBounds(at.X - 12, at.Y + 18, size.cx, size.cy);
    shown_ = true;
    SetVisible(true);
    BringToFront();
    Invalidate();
    SetTimer(Handle(), kPopTimer, unsigned(std::max(1, Delay(TTDT_AUTOPOP))));
}

void TToolTipWindow::pop() {
    if (waiting_ && HandleAllocated()) KillTimer(Handle(), kWaitTimer);
    waiting_ = false;
    if (!shown_) return;
    shown_ = false;
    hiddenAt_ = GetTickCount64();
    if (HandleAllocated()) KillTimer(Handle(), kPopTimer);
    SetVisible(false);
}

TSize TToolTipWindow::layout() {
    TBitmap measure(1, 1);
    TCanvas* c = measure.Canvas();
    c->Font()->Assign(Font());
    const int wrap = maxWidth_ > 0 ? maxWidth_ : 100000;
    const unsigned prefix = (tipStyle_ & TTS_NOPREFIX) ? DT_NOPREFIX : 0u;
    TRect text(0, 0, wrap, 0);
    DrawText(c, text_, -1, text, DT_CALCRECT | DT_WORDBREAK | prefix);
    int w = text.Width(), h = text.Height();
    if (!title_.empty() || titleIcon_ != TTI_NONE) {
        TFontStyles bold = c->Font()->Style();
        bold.Include(fsBold);
        c->Font()->SetStyle(bold);
        const int iconRoom = titleIcon_ != TTI_NONE ? kIcon + 4 : 0;
        w = std::max(w, iconRoom + c->TextWidth(title_));
        h += std::max(kIcon, c->TextHeight("Ag")) + 4;
    }
    return {w + 2 * kPad, h + 2 * kPad};
}

void TToolTipWindow::Paint() {
    TCanvas* c = Canvas();
    const TRect r = ClientRect();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    c->Brush()->SetColor(bkColor_);
    c->Pen()->SetColor(clBlack);
    if (tipStyle_ & TTS_BALLOON)
        c->RoundRect(r, 10, 10);
    else
        c->Rectangle(r);
    SetBkMode(c, TRANSPARENT);
    c->Font()->Assign(Font());
    c->Font()->SetColor(textColor_);
    int y = kPad;
    if (!title_.empty() || titleIcon_ != TTI_NONE) {
        int x = kPad;
        if (titleIcon_ != TTI_NONE) {
            drawIcon(c, x, y, titleIcon_);
            x += kIcon + 4;
        }
        TFontStyles bold = c->Font()->Style();
        bold.Include(fsBold);
        c->Font()->SetStyle(bold);
        c->Brush()->SetStyle(bsClear);
        c->TextOut(x, y, title_);
        y += std::max(kIcon, c->TextHeight("Ag")) + 4;
        c->Font()->Assign(Font());
        c->Font()->SetColor(textColor_);
    }
    const unsigned prefix = (tipStyle_ & TTS_NOPREFIX) ? DT_NOPREFIX : 0u;
    TRect text(kPad, y, r.Right - kPad, r.Bottom - kPad);
    DrawText(c, text_, -1, text, DT_WORDBREAK | prefix);
}
