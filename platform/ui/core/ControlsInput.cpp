// Control message delivery: mouse, keyboard, focus, capture and dialog keys.
#include "platform/ui/core/Actions.h"
#include "platform/ui/core/Controls.h"
#include "platform/ui/core/Hooks.h"

#include "platform/base/Hotkey.h"

#include "platform/ui/core/ControlsInternal.h"
#include "platform/ui/core/Forms.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <mutex>

using controls::state;

namespace {
TShiftState keysToShiftState(WPARAM keys) {
    TShiftState s;
    if (keys & MK_SHIFT) s.Include(ssShift);
    if (keys & MK_CONTROL) s.Include(ssCtrl);
    if (keys & MK_LBUTTON) s.Include(ssLeft);
    if (keys & MK_RBUTTON) s.Include(ssRight);
    if (keys & MK_MBUTTON) s.Include(ssMiddle);
    if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    return s;
}

bool isMouseMessage(UINT m) {
    return m >= WM_MOUSEFIRST && m <= WM_MOUSELAST && m != WM_MOUSEWHEEL && m != WM_MOUSEHWHEEL;
}

bool isKeyMessage(UINT m) {
    return m >= WM_KEYFIRST && m <= WM_KEYLAST;
}

void setMouseControl(TControl* c) {
    auto& s = state();
    if (s.mouseControl == c) return;
    TControl* old = s.mouseControl;
    s.mouseControl = c;
    if (old) old->Perform(CM_MOUSELEAVE);
    if (c && s.mouseControl == c) c->Perform(CM_MOUSEENTER);
}

// The window a control lives in: itself, or the parent of a windowless control.
TWinControl* windowOf(TControl* c) {
    if (!c) return nullptr;
    if (auto w = dynamic_cast<TWinControl*>(c)) return w;
    return c->Parent();
}
} // namespace

// --- TControl --------------------------------------------------------------------------------
LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m{Msg, WParam, LParam, 0};
    if (HasCallWndProcHooks())
        if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
            RunCallWndProcHooks(w->Handle(), Msg, WParam, LParam);
    if (WindowProc)
        WindowProc(m);
    else
        WndProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& Message) {
    UINT msg = Message.Msg;
    if (isMouseMessage(msg)) {
        if (msg == WM_LBUTTONDBLCLK && !(controlStyle_ & csDoubleClicks))
            Message.Msg = WM_LBUTTONDOWN;
        if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK)
            controlState_ |= csLButtonDown;
        else if (Message.Msg == WM_LBUTTONUP)
            controlState_ &= ~csLButtonDown;
        if (Message.Msg == WM_MOUSEMOVE) {
            TPoint p = LParamToPoint(Message.LParam);
            setMouseControl(ClientRect().Contains(p) ? this : nullptr);
            if (Application) Application->NoteMouseMoved(MouseInControl() ? this : nullptr);
        } else if (Application) {
            Application->CheckHintMessage(Message);
        }
    } else if (Application && (isKeyMessage(msg) || msg == WM_NCMOUSEMOVE || msg == WM_MOUSEWHEEL ||
                               msg == WM_MOUSEHWHEEL)) {
        Application->CheckHintMessage(Message);
    }
    Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: {
        TWMMouse v(Message);
        WMLButtonDown(v);
        break;
    }
    case WM_LBUTTONUP: {
        TWMMouse v(Message);
        WMLButtonUp(v);
        break;
    }
    case WM_LBUTTONDBLCLK: {
        TWMMouse v(Message);
        WMLButtonDblClk(v);
        break;
    }
    case WM_RBUTTONDOWN: {
        TWMMouse v(Message);
        WMRButtonDown(v);
        break;
    }
    case WM_RBUTTONUP: {
        TWMMouse v(Message);
        WMRButtonUp(v);
        break;
    }
    case WM_RBUTTONDBLCLK: {
        TWMMouse v(Message);
        WMRButtonDblClk(v);
        break;
    }
    case WM_MBUTTONDOWN: {
        TWMMouse v(Message);
        WMMButtonDown(v);
        break;
    }
    case WM_MBUTTONUP: {
        TWMMouse v(Message);
        WMMButtonUp(v);
        break;
    }
    case WM_MOUSEMOVE: {
        TWMMouse v(Message);
        WMMouseMove(v);
        break;
    }
    case WM_MOUSEWHEEL: {
        TWMMouseWheel v(Message);
        WMMouseWheel(v);
        break;
    }
    case CM_MOUSEWHEEL:
        CMMouseWheel(Message);
        break;
    case WM_CONTEXTMENU: {
        TWMContextMenu v(Message);
        WMContextMenu(v);
        break;
    }
    case WM_CANCELMODE: {
        TWMNoParams v(Message);
        WMCancelMode(v);
        break;
    }
    case CM_MOUSEENTER:
        CMMouseEnter(Message);
        break;
    case CM_MOUSELEAVE:
        CMMouseLeave(Message);
        break;
    case CM_ENABLEDCHANGED:
        CMEnabledChanged(Message);
        break;
    case CM_VISIBLECHANGED:
        CMVisibleChanged(Message);
        break;
    case CM_TEXTCHANGED:
        CMTextChanged(Message);
        break;
    case CM_FONTCHANGED:
        CMFontChanged(Message);
        break;
    case CM_COLORCHANGED:
        CMColorChanged(Message);
        break;
    case CM_CURSORCHANGED:
        CMCursorChanged(Message);
        break;
    case CM_PARENTFONTCHANGED:
        CMParentFontChanged(Message);
        break;
    case CM_PARENTCOLORCHANGED:
        CMParentColorChanged(Message);
        break;
    case CM_BIDIMODECHANGED:
        CMBiDiModeChanged(Message);
        break;
    case CM_PARENTBIDIMODECHANGED:
        CMParentBiDiModeChanged(Message);
        break;
    case CM_PARENTSHOWHINTCHANGED:
        CMParentShowHintChanged(Message);
        break;
    case CM_HITTEST:
        CMHitTest(Message);
        break;
    case CM_HINTSHOW:
        CMHintShow(Message);
        break;
    case CM_DRAG:
        CMDrag(Message);
        break;
    case WM_WINDOWPOSCHANGED:
        WMWindowPosChanged(Message);
        break;
    default:
        DefaultHandler(Message);
    }
}

void TControl::DefaultHandler(TMessage& /*Message*/) {}

bool TControl::MouseCapture() const {
    return state().capture == this;
}

void TControl::SetMouseCapture(bool v) {
    if (v)
        SetCaptureControl(this);
    else if (MouseCapture())
        SetCaptureControl(nullptr);
}

bool TControl::MouseInControl() const {
    return state().mouseControl == this;
}

void TControl::Click() {
    if (OnClick)
        OnClick(this);
    else if (actionLink_)
        actionLink_->Execute();
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    return handled;
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) {
    if (OnContextPopup) OnContextPopup(this, MousePos, Handled);
}

void TControl::DoMouseDown(TWMMouse& Message, TMouseButton Button, TShiftState Shift) {
    if (controlStyle_ & csNoStdEvents) return;
    TShiftState s = keysToShiftState(Message.Keys());
    for (TShiftFlag f : {ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble})
        if (Shift.Contains(f)) s.Include(f);
    MouseDown(Button, s, Message.XPos(), Message.YPos());
}

void TControl::DoMouseUp(TWMMouse& Message, TMouseButton Button) {
    if (controlStyle_ & csNoStdEvents) return;
    MouseUp(Button, keysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
}

void TControl::SendCancelMode(TControl* Sender) {
    TCustomForm* form = GetParentForm();
    if (form && form->ActiveControl() && form->ActiveControl() != Sender)
        form->ActiveControl()->Perform(CM_CANCELMODE, 0, LPARAM(Sender));
}

void TControl::WMLButtonDown(TWMMouse& Message) {
    SendCancelMode(this);
    DefaultHandler(Message.M);
    if (controlStyle_ & csCaptureMouse) SetMouseCapture(true);
    if (dragMode_ == dmAutomatic) BeginDrag(false);
    if (controlStyle_ & csClickEvents) controlState_ |= csClicked;
    DoMouseDown(Message, mbLeft, {});
}

void TControl::WMLButtonDblClk(TWMMouse& Message) {
    SendCancelMode(this);
    DefaultHandler(Message.M);
    if (controlStyle_ & csCaptureMouse) SetMouseCapture(true);
    // The handler may destroy the control (a form freeing itself ...).
    std::shared_ptr<bool> alive = alive_;
    if (controlStyle_ & csClickEvents) DblClick();
    if (*alive) DoMouseDown(Message, mbLeft, {ssDouble});
}

void TControl::WMLButtonUp(TWMMouse& Message) {
    DefaultHandler(Message.M);
    if (controlStyle_ & csCaptureMouse) SetMouseCapture(false);
    std::shared_ptr<bool> alive = alive_;
    if (controlState_ & csClicked) {
        controlState_ &= ~csClicked;
        if (ClientRect().Contains(Message.Pos())) Click();
    }
    if (*alive) DoMouseUp(Message, mbLeft);
}

void TControl::WMRButtonDown(TWMMouse& Message) {
    DefaultHandler(Message.M);
    DoMouseDown(Message, mbRight, {});
}

void TControl::WMRButtonUp(TWMMouse& Message) {
    DefaultHandler(Message.M);
    DoMouseUp(Message, mbRight);
}

void TControl::WMRButtonDblClk(TWMMouse& Message) {
    DefaultHandler(Message.M);
    DoMouseDown(Message, mbRight, {ssDouble});
}

void TControl::WMMButtonDown(TWMMouse& Message) {
    DefaultHandler(Message.M);
    DoMouseDown(Message, mbMiddle, {});
}

void TControl::WMMButtonUp(TWMMouse& Message) {
    DefaultHandler(Message.M);
    DoMouseUp(Message, mbMiddle);
}

void TControl::WMMouseMove(TWMMouse& Message) {
    DefaultHandler(Message.M);
    if (!(controlStyle_ & csNoStdEvents))
        MouseMove(keysToShiftState(Message.Keys()), Message.XPos(), Message.YPos());
}

void TControl::WMMouseWheel(TWMMouseWheel& Message) {
    Message.M.Result = Perform(CM_MOUSEWHEEL, Message.M.WParam, Message.M.LParam);
}

void TControl::CMMouseWheel(TMessage& Message) {
    TWMMouseWheel w(Message);
    if (DoMouseWheel(keysToShiftState(w.Keys()), w.WheelDelta(), w.Pos()))
        Message.Result = 1;
    else if (parent_)
        Message.Result = parent_->Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
}

void TControl::WMContextMenu(TWMContextMenu& Message) {
    if (Message.M.Result != 0) return;
    TPoint pt = Message.Pos();
    bool fromKeyboard = pt.X == -1 && pt.Y == -1;
    bool handled = false;
    DoContextPopup(fromKeyboard ? TPoint{-1, -1} : ScreenToClient(pt), handled);
    if (handled) {
        Message.M.Result = 1;
        return;
    }
    auto& hooks = state().popupHooks;
    if (popupMenu_ && hooks.Popup) {
        SendCancelMode(nullptr);
        if (fromKeyboard) pt = ClientToScreen({0, 0});
        hooks.Popup(popupMenu_, this, pt.X, pt.Y);
        Message.M.Result = 1;
    }
}

void TControl::WMCancelMode(TWMNoParams& /*Message*/) {
    if (MouseCapture()) {
        SetMouseCapture(false);
        if (controlState_ & csLButtonDown) Perform(WM_LBUTTONUP, 0, LPARAM(-1));
    } else {
        controlState_ &= ~csLButtonDown;
    }
}

void TControl::CMMouseEnter(TMessage& /*Message*/) {
    if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage& /*Message*/) {
    if (OnMouseLeave) OnMouseLeave(this);
}

void TControl::CMHitTest(TMessage& Message) {
    Message.Result = HTCLIENT;
}
void TControl::CMHintShow(TMessage& /*Message*/) {}

// --- TWinControl -----------------------------------------------------------------------------
void TWinControl::MainWndProc(TMessage& Message) {
    try {
        if (controls::controlDragInput(this, Message)) return;
        WindowProc(Message);
    } catch (...) {
        Application->HandleException(this);
    }
}

void TWinControl::Broadcast(TMessage& Message) {
    auto list = controls_;
    for (TControl* c : list) {
        if (std::find(controls_.begin(), controls_.end(), c) == controls_.end()) continue;
        c->WindowProc(Message);
        if (Message.Result != 0) return;
    }
}

void TWinControl::SetTabStop(bool v) {
    if (v == tabStop_) return;
    tabStop_ = v;
    Perform(CM_TABSTOPCHANGED);
}

int TWinControl::TabOrder() const {
    if (!Parent()) return -1;
    auto& l = Parent()->tabList_;
    auto it = std::find(l.begin(), l.end(), this);
    return it == l.end() ? -1 : int(it - l.begin());
}

void TWinControl::SetTabOrder(int v) {
    if (!Parent()) return;
    auto& l = Parent()->tabList_;
    auto it = std::find(l.begin(), l.end(), this);
    if (it == l.end()) return;
    l.erase(it);
    v = std::clamp(v, 0, int(l.size()));
    l.insert(l.begin() + v, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
    for (TWinControl* c : tabList_) {
        list.push_back(c);
        c->GetTabOrderList(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward,
                                          bool CheckTabStop, bool CheckParent) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    int n = int(list.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (list[std::size_t(i)] == CurControl) start = i;
    if (start < 0) start = GoForward ? n - 1 : 0;
    int i = start;
    for (int step = 0; step < n; ++step) {
        i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
        TWinControl* c = list[std::size_t(i)];
        if (c == CurControl) break;
        if (CheckTabStop && !c->TabStop()) continue;
        if (CheckParent && c->Parent() != this) continue;
        if (c->CanFocus()) return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    if (TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop))
        c->SetFocus();
}

bool TWinControl::Focused() const {
    return handle_ && state().focus == handle_;
}

// Up to the form, not including it: a control of a hidden form can become its ActiveControl.
bool TWinControl::CanFocus() const {
    const TCustomForm* form = ::GetParentForm(this);
    for (const TControl* c = this; c && c != form; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

void TWinControl::SetFocus() {
    if (TCustomForm* form = ::GetParentForm(this)) {
        form->FocusControl(this);
        return;
    }
    if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    ::SetFocus(Handle());
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char32_t& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

bool TWinControl::DoKeyDown(TWMKey& Message) {
    TCustomForm* form = ::GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyDown(Message)) return true;
    if (!(ControlStyle() & csNoStdEvents)) {
        WORD key = Message.CharCode();
        KeyDown(key, KeyDataToShiftState(Message.KeyData()));
        Message.SetCharCode(key);
        if (key == 0) return true;
    }
    return false;
}

bool TWinControl::DoKeyUp(TWMKey& Message) {
    TCustomForm* form = ::GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyUp(Message)) return true;
    if (!(ControlStyle() & csNoStdEvents)) {
        WORD key = Message.CharCode();
        KeyUp(key, KeyDataToShiftState(Message.KeyData()));
        Message.SetCharCode(key);
        if (key == 0) return true;
    }
    return false;
}

bool TWinControl::DoKeyPress(TWMKey& Message) {
    TCustomForm* form = ::GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyPress(Message)) return true;
    if (!(ControlStyle() & csNoStdEvents)) {
        char32_t ch = char32_t(Message.M.WParam);
        KeyPress(ch);
        Message.M.WParam = ch;
        if (ch == 0) return true;
    }
    return false;
}

void TWinControl::WndProc(TMessage& Message) {
    UINT msg = Message.Msg;
    if (isMouseMessage(msg)) {
        bool handled = false;
        routeMouse(Message, handled);
        if (handled) {
            if (Message.Result == 0) DefaultHandler(Message);
            return;
        }
    } else if (msg == WM_CANCELMODE) {
        TControl* cap = state().capture;
        if (cap && cap != this && cap->Parent() == this && !dynamic_cast<TWinControl*>(cap))
            cap->Perform(WM_CANCELMODE);
    } else if (msg == WM_MOUSELEAVE) {
        TControl* mc = state().mouseControl;
        if (mc == this || (mc && mc->Parent() == this && !dynamic_cast<TWinControl*>(mc)))
            setMouseControl(nullptr);
        if (Application) Application->NoteMouseMoved(nullptr);
    }
    TControl::WndProc(Message);
}

// Mouse messages over a windowless child (or captured by one) go to that child.
void TWinControl::routeMouse(TMessage& Message, bool& handled) {
    TControl* target = nullptr;
    TControl* cap = state().capture;
    TPoint p = LParamToPoint(Message.LParam);
    if (cap && windowOf(cap) == this) {
        if (cap != this) target = cap;
    } else {
        target = ControlAtPos(p, false);
    }
    if (!target) return;
    // Windowless targets get their own coordinates; the hint and enter/leave follow them.
    Message.Result = target->Perform(Message.Msg, Message.WParam,
                                     PointToLParam({p.X - target->Left(), p.Y - target->Top()}));
    handled = true;
}

void TWinControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT: {
        TWMPaint v(Message);
        WMPaint(v);
        break;
    }
    case WM_ERASEBKGND: {
        TWMEraseBkgnd v(Message);
        WMEraseBkgnd(v);
        break;
    }
    case WM_SIZE: {
        TWMSize v(Message);
        WMSize(v);
        break;
    }
    case WM_SETFOCUS: {
        TWMSetFocus v(Message);
        WMSetFocus(v);
        break;
    }
    case WM_KILLFOCUS: {
        TWMKillFocus v(Message);
        WMKillFocus(v);
        break;
    }
    case WM_KEYDOWN: {
        TWMKey v(Message);
        WMKeyDown(v);
        break;
    }
    case WM_KEYUP: {
        TWMKey v(Message);
        WMKeyUp(v);
        break;
    }
    case WM_CHAR: {
        TWMKey v(Message);
        WMChar(v);
        break;
    }
    case WM_SYSKEYDOWN: {
        TWMKey v(Message);
        WMSysKeyDown(v);
        break;
    }
    case WM_SYSKEYUP: {
        TWMKey v(Message);
        WMSysKeyUp(v);
        break;
    }
    case WM_SYSCHAR: {
        TWMKey v(Message);
        WMSysChar(v);
        break;
    }
    case CN_KEYDOWN: {
        TWMKey v(Message);
        CNKeyDown(v);
        break;
    }
    case CN_KEYUP: {
        TWMKey v(Message);
        CNKeyUp(v);
        break;
    }
    case CN_CHAR: {
        TWMKey v(Message);
        CNChar(v);
        break;
    }
    case CN_SYSKEYDOWN: {
        TWMKey v(Message);
        CNSysKeyDown(v);
        break;
    }
    case CN_SYSCHAR: {
        TWMKey v(Message);
        CNSysChar(v);
        break;
    }
    case WM_GETDLGCODE:
        WMGetDlgCode(Message);
        break;
    case CM_DIALOGKEY: {
        TWMKey v(Message);
        CMDialogKey(v);
        break;
    }
    case CM_DIALOGCHAR: {
        TWMKey v(Message);
        CMDialogChar(v);
        break;
    }
    case CM_WANTSPECIALKEY: {
        TWMKey v(Message);
        CMWantSpecialKey(v);
        break;
    }
    case WM_NCHITTEST: {
        TWMNCHitTest v(Message);
        WMNCHitTest(v);
        break;
    }
    case WM_SETCURSOR: {
        TWMSetCursor v(Message);
        WMSetCursor(v);
        break;
    }
    case WM_COMMAND: {
        TWMCommand v(Message);
        WMCommand(v);
        break;
    }
    case WM_NOTIFY:
        WMNotify(Message);
        break;
    case WM_TIMER: {
        TWMTimer v(Message);
        WMTimer(v);
        break;
    }
    case CM_ENTER:
        CMEnter(Message);
        break;
    case CM_EXIT:
        CMExit(Message);
        break;
    case CM_SHOWINGCHANGED:
        CMShowingChanged(Message);
        break;
    case CM_DOCKCLIENT:
        CMDockClient(Message);
        break;
    case WM_CAPTURECHANGED:
        WMCaptureChanged(Message);
        break;
    case WM_CONTEXTMENU: {
        // A windowless child under the point gets the first chance.
        TWMContextMenu v(Message);
        TPoint pt = v.Pos();
        if (!(pt.X == -1 && pt.Y == -1)) {
            if (TControl* c = ControlAtPos(ScreenToClient(pt), false)) {
                Message.Result = c->Perform(WM_CONTEXTMENU, Message.WParam, Message.LParam);
                if (Message.Result != 0) break;
            }
        }
        WMContextMenu(v);
        if (Message.Result == 0) DefaultHandler(Message);
        break;
    }
    default:
        TControl::Dispatch(Message);
    }
}

void TWinControl::DefaultHandler(TMessage& Message) {
    if (peer_) peer_->DefaultProc(Message);
    switch (Message.Msg) {
    case WM_NCHITTEST:
        if (Message.Result == 0) Message.Result = HTCLIENT;
        break;
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
    case WM_PRINT:
    case CM_BORDERCHANGED:
        controls::defaultFrameMessage(this, Message);
        break;
    case WM_RBUTTONUP: {
        TPoint s = ClientToScreen(LParamToPoint(Message.LParam));
        Perform(WM_CONTEXTMENU, WPARAM(handle_), PointToLParam(s));
        break;
    }
    case WM_CONTEXTMENU:
        if (Parent())
            Message.Result = Parent()->Perform(WM_CONTEXTMENU, Message.WParam, Message.LParam);
        break;
    case WM_CLOSE:
        DestroyHandle();
        break;
    default:
        break;
    }
}

void TWinControl::WMSetFocus(TWMSetFocus& Message) {
    if (TCustomForm* form = ::GetParentForm(this)) form->SetFocusedControl(this);
    DefaultHandler(Message.M);
}

void TWinControl::WMKillFocus(TWMKillFocus& Message) {
    DefaultHandler(Message.M);
}

void TWinControl::WMKeyDown(TWMKey& Message) {
    if (!DoKeyDown(Message)) DefaultHandler(Message.M);
}

void TWinControl::WMKeyUp(TWMKey& Message) {
    if (!DoKeyUp(Message)) DefaultHandler(Message.M);
}

void TWinControl::WMChar(TWMKey& Message) {
    if (!DoKeyPress(Message)) DefaultHandler(Message.M);
}

void TWinControl::WMSysKeyDown(TWMKey& Message) {
    if (!DoKeyDown(Message)) DefaultHandler(Message.M);
}

void TWinControl::WMSysKeyUp(TWMKey& Message) {
    if (!DoKeyUp(Message)) DefaultHandler(Message.M);
}

void TWinControl::WMSysChar(TWMKey& Message) {
    DefaultHandler(Message.M);
}

void TWinControl::CNKeyDown(TWMKey& Message) {
    Message.M.Result = 1;
    LRESULT mask = 0;
    switch (Message.CharCode()) {
    case VK_TAB:
        mask = DLGC_WANTTAB;
        break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        mask = DLGC_WANTARROWS;
        break;
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_CANCEL:
        mask = DLGC_WANTALLKEYS;
        break;
    default:
        break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, Message.CharCode(), Message.KeyData()) == 0 &&
        (Perform(WM_GETDLGCODE) & mask) == 0) {
        TCustomForm* form = ::GetParentForm(this);
        if (form && form->Perform(CM_DIALOGKEY, Message.CharCode(), Message.KeyData()) != 0) return;
    }
    Message.M.Result = 0;
}

void TWinControl::CNKeyUp(TWMKey& Message) {
    Message.M.Result = 0;
}

void TWinControl::CNChar(TWMKey& Message) {
    Message.M.Result = 1;
    if ((Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0) {
        TCustomForm* form = ::GetParentForm(this);
        if (form && form->Perform(CM_DIALOGCHAR, Message.M.WParam, Message.KeyData()) != 0) return;
    }
    Message.M.Result = 0;
}

void TWinControl::CNSysKeyDown(TWMKey& Message) {
    CNKeyDown(Message);
}

void TWinControl::CNSysChar(TWMKey& Message) {
    Message.M.Result = 0;
    TCustomForm* form = ::GetParentForm(this);
    if (form && form->Perform(CM_DIALOGCHAR, Message.M.WParam, Message.KeyData()) != 0)
        Message.M.Result = 1;
}

void TWinControl::WMGetDlgCode(TMessage& Message) {
    DefaultHandler(Message);
}

void TWinControl::CMDialogKey(TWMKey& Message) {
    Broadcast(Message.M);
}

void TWinControl::CMDialogChar(TWMKey& Message) {
    Broadcast(Message.M);
}

void TWinControl::CMWantSpecialKey(TWMKey& Message) {
    DefaultHandler(Message.M);
}

void TWinControl::WMNCHitTest(TWMNCHitTest& Message) {
    DefaultHandler(Message.M);
}

void TWinControl::WMSetCursor(TWMSetCursor& Message) {
    if (Message.CursorWnd() == handle_ && Message.HitTest() == HTCLIENT) {
        TCursor c = Screen ? Screen->Cursor() : crDefault;
        if (c == crDefault) {
            TPoint p = ScreenToClient(state().cursorPos);
            if (TControl* child = ControlAtPos(p, false)) c = child->Cursor();
            if (c == crDefault) c = Cursor();
        }
        if (Screen) Screen->SetCurrentCursor(c);
        if (c != crDefault) {
            Message.M.Result = 1;
            return;
        }
    }
    DefaultHandler(Message.M);
}

void TWinControl::WMCommand(TWMCommand& Message) {
    TWinControl* c = FindControl(Message.Ctl());
    if (c && c != this)
        Message.M.Result = c->Perform(CN_COMMAND, Message.M.WParam, Message.M.LParam);
    else
        DefaultHandler(Message.M);
}

void TWinControl::WMNotify(TMessage& Message) {
    auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    TWinControl* c = hdr ? FindControl(hdr->hwndFrom) : nullptr;
    if (c && c != this)
        Message.Result = c->Perform(CN_NOTIFY, Message.WParam, Message.LParam);
    else
        DefaultHandler(Message);
}

void TWinControl::WMTimer(TWMTimer& Message) {
    DefaultHandler(Message.M);
}

void TWinControl::CMEnter(TMessage& /*Message*/) {
    DoEnter();
}
void TWinControl::CMExit(TMessage& /*Message*/) {
    DoExit();
}

void TWinControl::WMCaptureChanged(TMessage& Message) {
    DefaultHandler(Message);
}

// --- window-level functions ------------------------------------------------------------------
LRESULT SendMessage(HWND handle, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TWinControl* c = FindControl(handle);
    return c ? c->Perform(Msg, WParam, LParam) : 0;
}

bool PostMessage(HWND handle, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (!IsWindow(handle)) return false;
    Application->PostToQueue(handle, TMessage{Msg, WParam, LParam, 0});
    return true;
}

bool DeliverMessage(TWinControl* target, TMessage& Message) {
    if (!target) return false;
    // A disabled window takes no input.
    bool input =
        isKeyMessage(Message.Msg) || (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST);
    if (input &&
        !(target->HandleAllocated() ? IsWindowEnabled(target->Handle()) : target->Enabled()))
        return false;
    if (isKeyMessage(Message.Msg)) {
        try {
            TMessage cn{CN_BASE + Message.Msg, Message.WParam, Message.LParam, 0};
            target->WindowProc(cn);
            if (cn.Result != 0) {
                Message.Result = cn.Result;
                return false;
            }
            Message.WParam = cn.WParam;
        } catch (...) {
            Application->HandleException(target);
            return false;
        }
    }
    target->MainWndProc(Message);
    return true;
}

void DeliverMouse(TWinControl* target, UINT Msg, TPoint client, WPARAM keys) {
    if (!target) return;
    TPoint screen = target->ClientToScreen(client);
    state().cursorPos = screen;
    // A captured mouse goes to the window that holds the capture. A window hidden since it took
    // the capture never sees the button's release, so its capture ends here.
    if (state().capture && !state().capture->IsShowing()) ReleaseCapture();
    if (TWinControl* w = windowOf(state().capture); w && w != target) {
        target = w;
        client = w->ScreenToClient(screen);
    }
    HWND handle = target->Handle();
    TMessage m{Msg, keys, PointToLParam(client), 0};
    if (!DeliverMessage(target, m)) return;
    // Handlers may have destroyed the window.
    if (Msg == WM_MOUSEMOVE && FindControl(handle) == target) {
        TMessage sc{WM_SETCURSOR, WPARAM(handle), MAKELPARAM(int(HTCLIENT), int(Msg)), 0};
        target->MainWndProc(sc);
    }
}

HWND GetFocus() {
    return state().focus;
}

HWND SetFocus(HWND handle) {
    auto& s = state();
    HWND old = s.focus;
    if (old == handle) return old;
    s.focus = handle;
    if (TWinControl* o = FindControl(old)) o->Perform(WM_KILLFOCUS, WPARAM(handle));
    if (s.focus != handle) return old; // a handler moved the focus elsewhere
    if (TWinControl* n = FindControl(handle)) {
        n->Perform(WM_SETFOCUS, WPARAM(old));
        if (n->Peer() && s.focus == handle) n->Peer()->SetFocus();
    }
    return old;
}

HWND GetCapture() {
    TWinControl* w = windowOf(state().capture);
    return w && w->HandleAllocated() ? w->Handle() : nullptr;
}

HWND SetCapture(HWND handle) {
    HWND old = GetCapture();
    SetCaptureControl(FindControl(handle));
    return old;
}

bool ReleaseCapture() {
    SetCaptureControl(nullptr);
    return true;
}

TControl* GetCaptureControl() {
    return state().capture;
}

void SetCaptureControl(TControl* control) {
    auto& s = state();
    TControl* old = s.capture;
    if (old == control) return;
    s.capture = control;
    TWinControl* oldWin = windowOf(old);
    TWinControl* newWin = windowOf(control);
    if (oldWin != newWin) {
        if (oldWin && oldWin->Peer()) oldWin->Peer()->SetCapture(false);
        if (newWin && newWin->Peer()) newWin->Peer()->SetCapture(true);
        if (oldWin)
            oldWin->Perform(
                WM_CAPTURECHANGED, 0,
                LPARAM(newWin && newWin->HandleAllocated() ? newWin->Handle() : nullptr));
    }
}

short GetKeyState(int vk) {
    if (vk < 0 || vk > 255) return 0;
    return state().keys[vk] ? short(-32768) : short(0);
}

short GetAsyncKeyState(int vk) {
    return GetKeyState(vk);
}

void SetModifierKeyState(TShiftState shift) {
    auto& k = state().keys;
    k[VK_SHIFT] = k[VK_LSHIFT] = shift.Contains(ssShift);
    k[VK_CONTROL] = k[VK_LCONTROL] = shift.Contains(ssCtrl);
    k[VK_MENU] = k[VK_LMENU] = shift.Contains(ssAlt);
    k[VK_LBUTTON] = shift.Contains(ssLeft);
    k[VK_RBUTTON] = shift.Contains(ssRight);
    k[VK_MBUTTON] = shift.Contains(ssMiddle);
}

TShiftState KeyboardStateToShiftState() {
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
    if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    if (GetKeyState(VK_LBUTTON) < 0) s.Include(ssLeft);
    if (GetKeyState(VK_RBUTTON) < 0) s.Include(ssRight);
    if (GetKeyState(VK_MBUTTON) < 0) s.Include(ssMiddle);
    return s;
}

TShiftState KeyDataToShiftState(LPARAM KeyData) {
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
    if (KeyData & AltMask) s.Include(ssAlt);
    return s;
}

bool GetCursorPos(TPoint& p) {
    p = state().cursorPos;
    return true;
}

void SetCursorPosition(TPoint p) {
    state().cursorPos = p;
}

bool SetCursorPos(int X, int Y) {
    state().cursorPos = {X, Y};
    if (TBackend* b = Backend()) b->SetCursorPos({X, Y});
    return true;
}

bool IsAccel(WORD VK, const std::string& Str) {
    for (std::size_t i = 0; i + 1 < Str.size(); ++i) {
        if (Str[i] != '&') continue;
        if (Str[i + 1] == '&') {
            ++i;
            continue;
        }
        if (!MarksHotkey(char32_t(Str[i + 1]))) continue;
        unsigned char c = static_cast<unsigned char>(Str[i + 1]);
        return std::toupper(c) == std::toupper(VK & 0xFF) && VK < 0x80;
    }
    return false;
}

std::string StripHotkey(const std::string& Text) {
    std::string out;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '&') {
            if (i + 1 < Text.size() && Text[i + 1] == '&') {
                out += '&';
                ++i;
            } else if (i + 1 < Text.size() && !MarksHotkey(char32_t(Text[i + 1]))) {
                out += '&';
            }
            continue;
        }
        out += Text[i];
    }
    return out;
}

TControl* MouseControl() {
    return state().mouseControl;
}
