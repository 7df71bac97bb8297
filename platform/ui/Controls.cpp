#include "platform/ui/Controls.h"

#include "platform/ui/Forms.h"
#include "platform/ui/Timers.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <unordered_map>

namespace {
struct WindowState {
    std::mutex mutex; // guards windows and nextHandle (PostMessage may run on any thread)
    std::unordered_map<HWND, TWinControl*> windows;
    std::uintptr_t nextHandle = 0x10000;
    HWND focus = nullptr;
    TControl* capture = nullptr;
    TControl* mouseControl = nullptr;
    bool keys[256] = {};
    TPoint cursorPos;
    TPopupMenuHooks popupHooks;
};

WindowState& state() {
    static WindowState s;
    return s;
}

TBackend* backend = nullptr;

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

TBackend* Backend() {
    return backend;
}
void SetBackend(TBackend* b) {
    backend = b;
}

UINT RegisterWindowMessage(const std::string& name) {
    static std::mutex m;
    static std::map<std::string, UINT> ids;
    std::lock_guard lock(m);
    std::string key = UpperCase(name);
    auto it = ids.find(key);
    if (it != ids.end()) return it->second;
    UINT id = 0xC000 + UINT(ids.size());
    ids.emplace(key, id);
    return id;
}

// --- TControl --------------------------------------------------------------------------------
TControl::TControl(TComponent* AOwner) : TComponent(AOwner), font_(std::make_unique<TFont>()) {
    WindowProc = [this](TMessage& m) { WndProc(m); };
    font_->OnChange = [this](TObject*) { fontChanged(); };
}

TControl::~TControl() {
    *alive_ = false;
    SetComponentState(ComponentState() | csDestroying);
    auto& s = state();
    if (s.capture == this) s.capture = nullptr;
    if (s.mouseControl == this) s.mouseControl = nullptr;
    if (Application) Application->ControlDestroying(this);
    if (parent_) parent_->RemoveControl(this);
    if (popupMenu_ && state().popupHooks.AsComponent)
        state().popupHooks.AsComponent(popupMenu_)->RemoveFreeNotification(this);
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m{Msg, WParam, LParam, 0};
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
            Application->CancelHint();
        }
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
    case CM_PARENTFONTCHANGED:
        CMParentFontChanged(Message);
        break;
    case CM_PARENTCOLORCHANGED:
        CMParentColorChanged(Message);
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
    case WM_WINDOWPOSCHANGED:
        WMWindowPosChanged(Message);
        break;
    default:
        DefaultHandler(Message);
    }
}

void TControl::DefaultHandler(TMessage& /*Message*/) {}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
    bool sized = AWidth != width_ || AHeight != height_;
    InvalidateControl();
    left_ = ALeft;
    top_ = ATop;
    width_ = AWidth;
    height_ = AHeight;
    if (parent_) {
        anchorRight_ = parent_->ClientWidth() - (left_ + width_);
        anchorBottom_ = parent_->ClientHeight() - (top_ + height_);
        if (align_ != alNone && !parent_->aligning_) parent_->Realign();
    }
    InvalidateControl();
    if (sized) Resize();
}

void TControl::SetClientSize(int w, int h) {
    TRect c = ClientRect();
    SetBounds(left_, top_, w + (width_ - c.Width()), h + (height_ - c.Height()));
}

TPoint TControl::ClientOrigin() const {
    if (!parent_) return {left_, top_};
    TPoint p = parent_->ClientOrigin();
    return {p.X + left_, p.Y + top_};
}

TPoint TControl::ClientToScreen(TPoint p) const {
    TPoint o = ClientOrigin();
    return {p.X + o.X, p.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint p) const {
    TPoint o = ClientOrigin();
    return {p.X - o.X, p.Y - o.Y};
}

TPoint TControl::ClientToParent(TPoint p, TWinControl* AParent) const {
    if (!AParent) AParent = parent_;
    if (!AParent) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    TPoint s = ClientToScreen(p);
    return AParent->ScreenToClient(s);
}

TPoint TControl::ParentToClient(TPoint p, TWinControl* AParent) const {
    if (!AParent) AParent = parent_;
    if (!AParent) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    return ScreenToClient(AParent->ClientToScreen(p));
}

void TControl::SetVisible(bool v) {
    if (v == visible_) return;
    VisibleChanging();
    if (!v) InvalidateControl();
    visible_ = v;
    Perform(CM_VISIBLECHANGED, v);
    if (parent_ && align_ != alNone) parent_->Realign();
}

void TControl::Show() {
    SetVisible(true);
}

void TControl::Hide() {
    SetVisible(false);
}

void TControl::SetEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    Perform(CM_ENABLEDCHANGED);
}

bool TControl::IsShowing() const {
    if (auto w = dynamic_cast<const TWinControl*>(this)) return w->showing_;
    return visible_ && parent_ && parent_->showing_;
}

void TControl::SetText(const std::string& v) {
    if (v == text_) return;
    text_ = v;
    PeerChanged(pcText);
    Perform(CM_TEXTCHANGED);
}

void TControl::SetColor(TColor v) {
    parentColor_ = false;
    if (v == color_) return;
    color_ = v;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool v) {
    parentColor_ = v;
    if (v && parent_) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetParentFont(bool v) {
    parentFont_ = v;
    if (v && parent_) Perform(CM_PARENTFONTCHANGED);
}

void TControl::fontChanged() {
    if (!updatingParentFont_) parentFont_ = false;
    Perform(CM_FONTCHANGED);
}

void TControl::SetCursor(TCursor v) {
    if (v == cursor_) return;
    cursor_ = v;
    PeerChanged(pcCursor);
    Perform(CM_CURSORCHANGED);
}

void TControl::SetHint(const std::string& v) {
    hint_ = v;
    PeerChanged(pcHint);
}

void TControl::SetShowHint(bool v) {
    parentShowHint_ = false;
    showHint_ = v;
}

void TControl::SetParentShowHint(bool v) {
    parentShowHint_ = v;
    if (v && parent_) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetAlign(TAlign v) {
    if (v == align_) return;
    align_ = v;
    if (parent_) parent_->Realign();
}

void TControl::SetAnchors(TAnchors v) {
    anchors_ = v;
}

void TControl::SetPopupMenu(TPopupMenu* v) {
    auto& hooks = state().popupHooks;
    if (popupMenu_ && hooks.AsComponent)
        hooks.AsComponent(popupMenu_)->RemoveFreeNotification(this);
    popupMenu_ = v;
    if (v && hooks.AsComponent) hooks.AsComponent(v)->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && popupMenu_ && state().popupHooks.AsComponent &&
        state().popupHooks.AsComponent(popupMenu_) == AComponent)
        popupMenu_ = nullptr;
}

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == parent_) return;
    if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (parent_) parent_->RemoveControl(this);
    if (AParent) {
        AParent->InsertControl(this);
        if (parentColor_) Perform(CM_PARENTCOLORCHANGED);
        if (parentFont_) Perform(CM_PARENTFONTCHANGED);
        if (parentShowHint_) Perform(CM_PARENTSHOWHINTCHANGED);
    }
}

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

void TControl::InvalidateControl() {
    if (parent_ && visible_ && !dynamic_cast<TWinControl*>(this)) parent_->Invalidate();
}

void TControl::Invalidate() {
    InvalidateControl();
}

void TControl::Update() {
    if (parent_) parent_->Update();
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::BringToFront() {
    if (!parent_) {
        PeerChanged(pcZOrder);
        return;
    }
    auto& list = parent_->controls_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it != list.end()) {
        list.erase(it);
        list.push_back(this);
    }
    PeerChanged(pcZOrder);
    InvalidateControl();
}

void TControl::SendToBack() {
    if (!parent_) return;
    auto& list = parent_->controls_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it != list.end()) {
        list.erase(it);
        list.insert(list.begin(), this);
    }
    PeerChanged(pcZOrder);
    InvalidateControl();
}

TCustomForm* TControl::GetParentForm() const {
    return ::GetParentForm(this);
}

void TControl::PeerChanged(int what) {
    if (what == pcText || what == pcColor || what == pcFont) InvalidateControl();
}

void TControl::Click() {
    if (OnClick) OnClick(this);
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

void TControl::Resize() {
    if (OnResize) OnResize(this);
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

void TControl::CMEnabledChanged(TMessage& /*Message*/) {
    Invalidate();
}
void TControl::CMVisibleChanged(TMessage& /*Message*/) {
    InvalidateControl();
}
void TControl::CMTextChanged(TMessage& /*Message*/) {
    Invalidate();
}
void TControl::CMFontChanged(TMessage& /*Message*/) {
    Invalidate();
}
void TControl::CMColorChanged(TMessage& /*Message*/) {
    Invalidate();
}

void TControl::CMParentFontChanged(TMessage& /*Message*/) {
    if (!parentFont_ || !parent_) return;
    updatingParentFont_ = true;
    try {
        font_->Assign(parent_->Font());
    } catch (...) {
        updatingParentFont_ = false;
        throw;
    }
    updatingParentFont_ = false;
}

void TControl::CMParentColorChanged(TMessage& /*Message*/) {
    if (!parentColor_ || !parent_) return;
    SetColor(parent_->Color());
    parentColor_ = true;
}

void TControl::CMParentShowHintChanged(TMessage& /*Message*/) {
    if (parentShowHint_ && parent_) {
        showHint_ = parent_->ShowHint();
    }
}

void TControl::CMHitTest(TMessage& Message) {
    Message.Result = HTCLIENT;
}
void TControl::CMHintShow(TMessage& /*Message*/) {}
void TControl::WMWindowPosChanged(TMessage& /*Message*/) {}

// --- TWinControl -----------------------------------------------------------------------------
TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    SetComponentState(ComponentState() | csDestroying);
    // A parent destroys its child controls, whoever owns them.
    while (!controls_.empty()) {
        TControl* c = controls_.back();
        RemoveControl(c);
        delete c;
    }
    DestroyHandle();
    if (Parent()) Parent()->RemoveControl(this);
}

HWND TWinControl::Handle() {
    HandleNeeded();
    return handle_;
}

void TWinControl::HandleNeeded() {
    if (handle_) return;
    if (Parent()) Parent()->HandleNeeded();
    if (!handle_) CreateHandle();
}

void TWinControl::CreateParams(TCreateParams& Params) {
    Params.Style = Parent() ? WS_CHILD | WS_CLIPSIBLINGS : WS_OVERLAPPED;
    if (ControlStyle() & csAcceptsControls) Params.Style |= WS_CLIPCHILDREN;
    if (!Enabled()) Params.Style |= WS_DISABLED;
    if (TabStop()) Params.Style |= WS_TABSTOP;
    Params.ExStyle = 0;
    Params.X = left_;
    Params.Y = top_;
    Params.Width = width_;
    Params.Height = height_;
    Params.WndParent = Parent() ? Parent()->Handle() : nullptr;
}

TPoint TWinControl::ClientOrigin() const {
    if (IsPopupWindow()) return {left_, top_};
    return TControl::ClientOrigin();
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    // The window is made with the asked bounds; the control takes them.
    if (params.X != left_ || params.Y != top_ || params.Width != width_ || params.Height != height_)
        SetBounds(params.X, params.Y, params.Width, params.Height);
    style_ = params.Style & ~WS_VISIBLE;
    exStyle_ = params.ExStyle;
    auto& s = state();
    {
        std::lock_guard lock(s.mutex);
        handle_ = reinterpret_cast<HWND>(s.nextHandle++);
        s.windows[handle_] = this;
    }
    if (backend) peer_ = backend->CreatePeer(this);
    invalid_ = backing_ != nullptr;
    for (TControl* c : controls_)
        if (auto w = dynamic_cast<TWinControl*>(c); w && w->Visible()) w->HandleNeeded();
}

void TWinControl::DestroyWnd() {
    auto& s = state();
    if (s.focus == handle_) s.focus = nullptr;
    peer_.reset();
    {
        std::lock_guard lock(s.mutex);
        s.windows.erase(handle_);
    }
    handle_ = nullptr;
    // The shape belongs to the window; CreateWnd sets it again where a control wants one.
    region_.reset();
}

void TWinControl::DestroyHandle() {
    if (!handle_) return;
    controlState_ |= csDestroyingHandle;
    for (TControl* c : controls_)
        if (auto w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
    HWND h = handle_;
    DestroyWnd();
    KillWindowTimers(h);
    controlState_ &= ~csDestroyingHandle;
}

void TWinControl::RecreateWnd() {
    if (!handle_) return;
    DestroyHandle();
    HandleNeeded();
    updateShowing();
}

void TWinControl::MainWndProc(TMessage& Message) {
    try {
        WindowProc(Message);
    } catch (...) {
        Application->HandleException(this);
    }
}

void TWinControl::InsertControl(TControl* AControl) {
    AControl->parent_ = this;
    controls_.push_back(AControl);
    if (auto w = dynamic_cast<TWinControl*>(AControl)) tabList_.push_back(w);
    AControl->anchorRight_ = ClientWidth() - (AControl->left_ + AControl->width_);
    AControl->anchorBottom_ = ClientHeight() - (AControl->top_ + AControl->height_);
    if (AControl->align_ != alNone) Realign();
    if (auto w = dynamic_cast<TWinControl*>(AControl)) {
        if (handle_ && w->Visible()) w->HandleNeeded();
        w->updateShowing();
    } else {
        AControl->InvalidateControl();
    }
}

void TWinControl::RemoveControl(TControl* AControl) {
    auto it = std::find(controls_.begin(), controls_.end(), AControl);
    if (it == controls_.end()) return;
    if (auto w = dynamic_cast<TWinControl*>(AControl)) {
        if (TCustomForm* form = ::GetParentForm(this)) form->DefocusControl(w, true);
        auto& s = state();
        if (s.focus && w->ContainsControl(FindControl(s.focus))) s.focus = nullptr;
        w->DestroyHandle();
        w->showing_ = false;
        tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), w), tabList_.end());
    } else {
        AControl->InvalidateControl();
    }
    auto& s = state();
    if (s.mouseControl == AControl) s.mouseControl = nullptr;
    if (s.capture == AControl) s.capture = nullptr;
    controls_.erase(std::find(controls_.begin(), controls_.end(), AControl));
    AControl->parent_ = nullptr;
    if (AControl->align_ != alNone) Realign();
}

bool TWinControl::ContainsControl(const TControl* Control) const {
    while (Control && Control != this) Control = Control->Parent();
    return Control == this;
}

TControl* TWinControl::ControlAtPos(TPoint p, bool AllowDisabled, bool AllowWinControls) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        auto w = dynamic_cast<TWinControl*>(c);
        if (w && (!AllowWinControls || w->IsPopupWindow())) continue;
        if (!c->Visible() || (!AllowDisabled && !c->Enabled())) continue;
        if (!c->BoundsRect().Contains(p)) continue;
        if (c->Perform(CM_HITTEST, 0, PointToLParam({p.X - c->Left(), p.Y - c->Top()})) == 0)
            continue;
        return c;
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
    auto list = controls_;
    for (TControl* c : list) {
        if (std::find(controls_.begin(), controls_.end(), c) == controls_.end()) continue;
        c->WindowProc(Message);
        if (Message.Result != 0) return;
    }
}

void TWinControl::Realign() {
    if (alignDisabled_ == 0) alignChildren();
}

void TWinControl::EnableAlign() {
    if (alignDisabled_ > 0 && --alignDisabled_ == 0) Realign();
}

void TWinControl::AlignControls(TControl* /*AControl*/, TRect& Rect) {
    auto place = [&](TAlign which) {
        for (TControl* c : controls_) {
            if (c->align_ != which || !c->Visible()) continue;
            switch (which) {
            case alTop:
                c->SetBounds(Rect.Left, Rect.Top, Rect.Width(), c->height_);
                Rect.Top += c->height_;
                break;
            case alBottom:
                c->SetBounds(Rect.Left, Rect.Bottom - c->height_, Rect.Width(), c->height_);
                Rect.Bottom -= c->height_;
                break;
            case alLeft:
                c->SetBounds(Rect.Left, Rect.Top, c->width_, Rect.Height());
                Rect.Left += c->width_;
                break;
            case alRight:
                c->SetBounds(Rect.Right - c->width_, Rect.Top, c->width_, Rect.Height());
                Rect.Right -= c->width_;
                break;
            case alClient:
                c->SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
                break;
            default:
                break;
            }
        }
    };
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) place(a);
}

void TWinControl::alignChildren() {
    if (aligning_) return;
    aligning_ = true;
    try {
        TRect r = ClientRect();
        AlignControls(nullptr, r);
    } catch (...) {
        aligning_ = false;
        throw;
    }
    aligning_ = false;
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

void TWinControl::Invalidate() {
    if (backing_) invalid_ = true;
    if (peer_) peer_->Invalidate();
}

void TWinControl::Update() {
    if (backing_ && invalid_) {
        TMessage m{WM_PAINT, 0, 0, 0};
        MainWndProc(m);
    }
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
    bool sized = AWidth != width_ || AHeight != height_;
    left_ = ALeft;
    top_ = ATop;
    width_ = AWidth;
    height_ = AHeight;
    if (Parent()) {
        anchorRight_ = Parent()->ClientWidth() - (left_ + width_);
        anchorBottom_ = Parent()->ClientHeight() - (top_ + height_);
        if (Align() != alNone && !Parent()->aligning_) Parent()->Realign();
    }
    PeerChanged(pcBounds);
    if (sized) Perform(WM_SIZE, SIZE_RESTORED, MAKELPARAM(ClientWidth(), ClientHeight()));
}

void TWinControl::SetParent(TWinControl* AParent) {
    if (AParent == Parent()) return;
    TControl::SetParent(AParent);
    updateShowing();
}

void TWinControl::SetText(const std::string& v) {
    TControl::SetText(v);
}

void TWinControl::EnableBackingImage() {
    if (backing_) return;
    backing_ = std::make_unique<TBitmap>();
    backing_->SetPixelFormat(pf24bit);
    backing_->Canvas()->OnChange = [this](TObject*) {
        if (peer_) peer_->Changed(pcImage);
    };
    invalid_ = true;
}

void TWinControl::PaintWindow(HDC /*DC*/) {}

void TWinControl::PaintControls(HDC DC, TControl* First) {
    bool started = First == nullptr;
    auto list = controls_;
    for (TControl* c : list) {
        if (!started) {
            started = c == First;
            if (!started) continue;
        }
        if (dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
        TRect r;
        if (!IntersectRect(r, c->BoundsRect(), ClientRect())) continue;
        c->Perform(WM_PAINT, WPARAM(DC));
    }
}

void TWinControl::PaintTo(TCanvas* dest, int X, int Y) {
    std::vector<TWinControl*> popups;
    paintTo(dest, X, Y, popups);
    // Pop-ups float above everything else, unclipped by their owners, at their screen place.
    TPoint origin = ClientOrigin();
    for (std::size_t i = 0; i < popups.size(); ++i) {
        TWinControl* w = popups[i];
        w->paintTo(dest, X + w->Left() - origin.X, Y + w->Top() - origin.Y, popups);
    }
}

void TWinControl::paintTo(TCanvas* dest, int X, int Y, std::vector<TWinControl*>& popups) {
    // A window and its children never draw outside its bounds, nor outside its region.
    int saved = ::SaveDC(dest);
    ::IntersectClipRect(dest, X, Y, X + width_, Y + height_);
    if (region_) {
        TPoint at{X, Y};
        ::LPtoDP(dest, &at, 1);
        TRegion shape(*region_);
        shape.Offset(at.X, at.Y);
        ::ExtSelectClipRgn(dest, &shape, RGN_AND);
    }
    if (backing_) {
        Update();
        dest->Draw(X, Y, backing_.get());
    } else if (peer_) {
        TBitmap shot;
        if (peer_->Grab(shot)) dest->Draw(X, Y, &shot);
    } else {
        ::FillRect(dest, Bounds(X, Y, width_, height_), Color());
    }
    for (TControl* c : controls_) {
        auto w = dynamic_cast<TWinControl*>(c);
        if (!w || !w->Visible()) continue;
        if (w->IsPopupWindow())
            popups.push_back(w);
        else
            w->paintTo(dest, X + w->Left(), Y + w->Top(), popups);
    }
    ::RestoreDC(dest, saved);
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

void TWinControl::PeerChanged(int what) {
    if (peer_) peer_->Changed(what);
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

void TWinControl::WMPaint(TWMPaint& Message) {
    if (!backing_) {
        DefaultHandler(Message.M);
        return;
    }
    invalid_ = false;
    int w = ClientWidth();
    int h = ClientHeight();
    if (backing_->Width() != w || backing_->Height() != h) backing_->SetSize(w, h);
    if (w == 0 || h == 0) return;
    TCanvas* canvas = backing_->Canvas();
    HDC dc = canvas;
    SelectClipRgn(dc, nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    Perform(WM_ERASEBKGND, WPARAM(dc));
    PaintWindow(dc);
    PaintControls(dc, nullptr);
    SelectClipRgn(dc, nullptr);
    if (peer_) peer_->Changed(pcImage);
}

void TWinControl::WMEraseBkgnd(TWMEraseBkgnd& Message) {
    if (!(ControlStyle() & csOpaque) && Message.DC())
        ::FillRect(Message.DC(), ClientRect(), ColorToRGB(Color()));
    Message.M.Result = 1;
}

void TWinControl::WMSize(TWMSize& /*Message*/) {
    int cw = ClientWidth();
    int ch = ClientHeight();
    // Children anchored to the right or bottom keep their distance to that edge.
    for (TControl* c : controls_) {
        if (c->Align() != alNone || (c->anchorRight_ < 0 && c->anchorBottom_ < 0)) continue;
        TAnchors a = c->Anchors();
        int l = c->left_, t = c->top_, w = c->width_, h = c->height_;
        int keepRight = c->anchorRight_, keepBottom = c->anchorBottom_;
        if (a.Contains(akRight)) {
            if (a.Contains(akLeft))
                w = cw - keepRight - l;
            else
                l = cw - keepRight - w;
        }
        if (a.Contains(akBottom)) {
            if (a.Contains(akTop))
                h = ch - keepBottom - t;
            else
                t = ch - keepBottom - h;
        }
        c->SetBounds(l, t, w, h);
        c->anchorRight_ = keepRight;
        c->anchorBottom_ = keepBottom;
    }
    Realign();
    Invalidate();
    Resize();
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
void TWinControl::CMShowingChanged(TMessage& /*Message*/) {}
void TWinControl::WMCaptureChanged(TMessage& Message) {
    DefaultHandler(Message);
}

void TWinControl::CMVisibleChanged(TMessage& Message) {
    TControl::CMVisibleChanged(Message);
    if (!Visible() && Parent()) {
        // A hidden control cannot keep the focus; the form takes it.
        TCustomForm* form = ::GetParentForm(this);
        bool hadFocus = ContainsControl(FindControl(state().focus));
        if (form) form->DefocusControl(this, false);
        if (hadFocus) ::SetFocus(form && form->Showing() ? form->Handle() : nullptr);
    }
    updateShowing();
}

void TWinControl::CMEnabledChanged(TMessage& Message) {
    if (Enabled())
        style_ &= ~WS_DISABLED;
    else
        style_ |= WS_DISABLED;
    if (!Enabled() && Focused()) {
        if (TCustomForm* form = ::GetParentForm(this); form && form != this)
            ::SetFocus(form->Handle());
    }
    PeerChanged(pcEnabled);
    TControl::CMEnabledChanged(Message);
}

void TWinControl::CMFontChanged(TMessage& Message) {
    TControl::CMFontChanged(Message);
    PeerChanged(pcFont);
    TMessage m{CM_PARENTFONTCHANGED, 0, 0, 0};
    for (TControl* c : std::vector<TControl*>(controls_)) c->WindowProc(m);
}

void TWinControl::CMColorChanged(TMessage& Message) {
    TControl::CMColorChanged(Message);
    PeerChanged(pcColor);
    TMessage m{CM_PARENTCOLORCHANGED, 0, 0, 0};
    for (TControl* c : std::vector<TControl*>(controls_)) c->WindowProc(m);
}

void TWinControl::updateShowing() {
    bool show = Visible() && (Parent() ? Parent()->showing_ : IsTopLevelWindow());
    if (show && !handle_) HandleNeeded();
    if (show == showing_) return;
    showing_ = show;
    if (show) Invalidate();
    Perform(CM_SHOWINGCHANGED);
    PeerChanged(pcVisible);
    for (TControl* c : std::vector<TControl*>(controls_))
        if (auto w = dynamic_cast<TWinControl*>(c)) w->updateShowing();
}

// --- TCustomControl / TGraphicControl --------------------------------------------------------
TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
    EnableBackingImage();
}
TCustomControl::~TCustomControl() = default;

TCanvas* TCustomControl::Canvas() const {
    return BackingImage()->Canvas();
}

void TCustomControl::PaintWindow(HDC /*DC*/) {
    Paint();
}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}
TGraphicControl::~TGraphicControl() = default;

TCanvas* TGraphicControl::Canvas() {
    TBitmap* target = Parent() ? Parent()->BackingImage() : nullptr;
    if (!target) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    if (!canvas_ || canvasTarget_ != target) {
        canvas_ = std::make_unique<TCanvas>(target);
        canvasTarget_ = target;
        TWinControl* parent = Parent();
        canvas_->OnChange = [parent](TObject*) {
            if (parent->Peer()) parent->Peer()->Changed(pcImage);
        };
        canvasBounds_ = {};
    }
    // Placed at the control and clipped to it; kept while the control stays where it is.
    if (canvasBounds_ != BoundsRect()) resetCanvas();
    return canvas_.get();
}

void TGraphicControl::resetCanvas() {
    HDC dc = canvas_.get();
    SelectClipRgn(dc, nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetViewportOrgEx(dc, Left(), Top(), nullptr);
    IntersectClipRect(dc, 0, 0, Width(), Height());
    canvasBounds_ = BoundsRect();
}

void TGraphicControl::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_PAINT) {
        TWMPaint v(Message);
        WMPaint(v);
        return;
    }
    TControl::Dispatch(Message);
}

void TGraphicControl::WMPaint(TWMPaint& /*Message*/) {
    Canvas();
    resetCanvas();
    Paint();
}

// --- window-level functions ------------------------------------------------------------------
TWinControl* FindControl(HWND handle) {
    if (!handle) return nullptr;
    auto& s = state();
    std::lock_guard lock(s.mutex);
    auto it = s.windows.find(handle);
    return it == s.windows.end() ? nullptr : it->second;
}

bool IsWindow(HWND handle) {
    return FindControl(handle) != nullptr;
}

bool IsWindowVisible(HWND handle) {
    TWinControl* c = FindControl(handle);
    return c && c->Showing();
}

bool IsWindowEnabled(HWND handle) {
    TWinControl* c = FindControl(handle);
    return c && c->Enabled() && !(c->style_ & WS_DISABLED);
}

LONG GetWindowLong(HWND handle, int index) {
    TWinControl* c = FindControl(handle);
    if (!c) return 0;
    if (index == GWL_STYLE) return LONG(c->style_ | (c->Showing() ? WS_VISIBLE : 0));
    if (index == GWL_EXSTYLE) return LONG(c->exStyle_);
    return 0;
}

int SetWindowRgn(HWND handle, HRGN rgn, bool redraw) {
    TWinControl* c = FindControl(handle);
    if (!c) return 0; // the caller keeps the region
    c->region_.reset(rgn);
    c->PeerChanged(pcRegion);
    if (redraw) c->Invalidate();
    return 1;
}

int GetWindowRgn(HWND handle, HRGN rgn) {
    TWinControl* c = FindControl(handle);
    if (!c || !rgn || !c->WindowRegion()) return RGN_ERROR;
    *rgn = *c->WindowRegion();
    return rgn->Kind();
}

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
    // A captured mouse goes to the window that holds the capture.
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

bool InvalidateRect(HWND handle, const TRect* /*rect*/, bool /*erase*/) {
    TWinControl* c = FindControl(handle);
    if (!c) return false;
    c->Invalidate();
    return true;
}

bool UpdateWindow(HWND handle) {
    TWinControl* c = FindControl(handle);
    if (!c) return false;
    c->Update();
    return true;
}

bool ShowWindow(HWND handle, int cmd) {
    TWinControl* c = FindControl(handle);
    if (!c) return false;
    bool was = c->Visible();
    c->SetVisible(cmd != SW_HIDE);
    return was;
}

bool EnableWindow(HWND handle, bool enable) {
    TWinControl* c = FindControl(handle);
    if (!c) return false;
    bool wasDisabled = !c->Enabled();
    c->SetEnabled(enable);
    return wasDisabled;
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

bool IsAccel(WORD VK, const std::string& Str) {
    for (std::size_t i = 0; i + 1 < Str.size(); ++i) {
        if (Str[i] != '&') continue;
        if (Str[i + 1] == '&') {
            ++i;
            continue;
        }
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
            }
            continue;
        }
        out += Text[i];
    }
    return out;
}

void MessageBeep(unsigned /*type*/) {
    if (backend) backend->Beep();
}

bool PaintInvalidWindows() {
    std::vector<HWND> handles;
    {
        auto& s = state();
        std::lock_guard lock(s.mutex);
        for (auto& [h, c] : s.windows)
            if (c->NeedsPaint() && c->Showing()) handles.push_back(h);
    }
    std::sort(handles.begin(), handles.end());
    bool any = false;
    for (HWND h : handles) {
        TWinControl* c = FindControl(h);
        if (c && c->NeedsPaint()) {
            c->Update();
            any = true;
        }
    }
    return any;
}

TControl* MouseControl() {
    return state().mouseControl;
}

void SetPopupMenuHooks(const TPopupMenuHooks& hooks) {
    state().popupHooks = hooks;
}
