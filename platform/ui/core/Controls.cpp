// The control core: properties, window handles, the control tree and layout.
#include "platform/ui/core/Controls.h"

#include "platform/base/SysUtils.h"
#include "platform/ui/core/Actions.h"
#include "platform/ui/core/ControlsInternal.h"
#include "platform/ui/core/Forms.h"
#include "platform/ui/core/Timers.h"
#include "platform/ui/core/WindowFrame.h"

#include <algorithm>
#include <map>
#include <mutex>

using controls::state;

namespace {
TBackend* backend = nullptr;
} // namespace

namespace controls {
WindowState& state() {
    static WindowState s;
    return s;
}
} // namespace controls

TBackend* Backend() {
    return backend;
}
void SetBackend(TBackend* b) {
    backend = b;
}

namespace {
// Registered names (case-insensitive) and their numbers; the first spelling is kept.
struct RegisteredNames {
    std::mutex m;
    std::map<std::string, UINT> ids;
    std::map<UINT, std::string> names;
};
RegisteredNames& registered() {
    static RegisteredNames r;
    return r;
}
} // namespace

UINT RegisterWindowMessage(const std::string& name) {
    auto& r = registered();
    std::lock_guard lock(r.m);
    std::string key = UpperCase(name);
    auto it = r.ids.find(key);
    if (it != r.ids.end()) return it->second;
    UINT id = 0xC000 + UINT(r.ids.size());
    r.ids.emplace(key, id);
    r.names.emplace(id, name);
    return id;
}

UINT RegisterClipboardFormat(const std::string& name) {
    return RegisterWindowMessage(name);
}

std::string GetClipboardFormatName(UINT format) {
    auto& r = registered();
    std::lock_guard lock(r.m);
    auto it = r.names.find(format);
    return it == r.names.end() ? std::string() : it->second;
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
    if (hostDockSite_) hostDockSite_->TWinControl::DoRemoveDockClient(this);
    if (parent_) parent_->RemoveControl(this);
    if (popupMenu_ && state().popupHooks.AsComponent)
        state().popupHooks.AsComponent(popupMenu_)->RemoveFreeNotification(this);
}

TBasicAction* TControl::Action() const {
    return actionLink_ ? actionLink_->Action() : nullptr;
}

void TControl::SetAction(TBasicAction* Value) {
    if (!Value) {
        actionLink_.reset();
        return;
    }
    if (!actionLink_) actionLink_ = CreateActionLink();
    actionLink_->SetAction(Value);
    ActionChange(Value, false);
}

std::unique_ptr<TControlActionLink> TControl::CreateActionLink() {
    return std::make_unique<TControlActionLink>(this);
}

void TControl::ActionChange(TBasicAction* Sender, bool CheckDefaults) {
    auto* a = dynamic_cast<TCustomAction*>(Sender);
    if (!a) return;
    if (!CheckDefaults || Caption().empty()) SetCaption(a->Caption());
    if (!CheckDefaults || Enabled()) SetEnabled(a->Enabled());
    if (!CheckDefaults || Visible()) SetVisible(a->Visible());
    if (!CheckDefaults || Hint().empty()) SetHint(a->Hint());
}

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

void TControl::ChangeScale(int M, int D) {
    if (M == D || D == 0) return;
    SetBounds(MulDiv(left_, M, D), MulDiv(top_, M, D), MulDiv(width_, M, D), MulDiv(height_, M, D));
    if (!parentFont_) font_->SetHeight(MulDiv(font_->Height(), M, D));
}

void TWinControl::ChangeScale(int M, int D) {
    if (M == D || D == 0) return;
    DisableAlign();
    for (TControl* c : controls_) c->ChangeScale(M, D);
    TControl::ChangeScale(M, D);
    EnableAlign();
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
    sendDockNotification(CM_VISIBLECHANGED, v, 0);
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
    sendDockNotification(WM_SETTEXT, 0, LPARAM(text_.c_str()));
}

void TControl::SetColor(TColor v) {
    parentColor_ = false;
    if (v == color_) return;
    color_ = v;
    Perform(CM_COLORCHANGED);
}

void TControl::SetBiDiMode(TBiDiMode v) {
    parentBiDiMode_ = false;
    if (v == biDiMode_) return;
    biDiMode_ = v;
    Perform(CM_BIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool v) {
    parentBiDiMode_ = v;
    if (v && parent_) Perform(CM_PARENTBIDIMODECHANGED);
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
        if (parentBiDiMode_) Perform(CM_PARENTBIDIMODECHANGED);
        if (parentShowHint_) Perform(CM_PARENTSHOWHINTCHANGED);
    }
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

void TControl::Resize() {
    if (OnResize) OnResize(this);
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
void TControl::CMBiDiModeChanged(TMessage& /*Message*/) {
    Invalidate();
}

void TControl::CMParentBiDiModeChanged(TMessage& /*Message*/) {
    if (!parentBiDiMode_ || !parent_) return;
    SetBiDiMode(parent_->BiDiMode());
    parentBiDiMode_ = true;
}

void TControl::CMCursorChanged(TMessage& Message) {
    DefaultHandler(Message);
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

void TControl::WMWindowPosChanged(TMessage& /*Message*/) {}

// --- TWinControl -----------------------------------------------------------------------------
TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    SetComponentState(ComponentState() | csDestroying);
    for (TControl* c : dockClients_) c->hostDockSite_ = nullptr;
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
    TPoint o = IsPopupWindow() ? TPoint{left_, top_} : TControl::ClientOrigin();
    if (frame_) o = {o.X + frame_->Client.Left, o.Y + frame_->Client.Top};
    return o;
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
    calcFrame();
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
    frame_.reset();
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
    if (HandleAllocated()) Perform(WM_WINDOWPOSCHANGING);
    if (sized && HandleAllocated()) calcFrame();
    PeerChanged(pcBounds);
    if (sized) Perform(WM_SIZE, SIZE_RESTORED, MAKELPARAM(ClientWidth(), ClientHeight()));
    if (HandleAllocated()) Perform(WM_WINDOWPOSCHANGED);
}

void TWinControl::SetParent(TWinControl* AParent) {
    if (AParent == Parent()) return;
    TControl::SetParent(AParent);
    updateShowing();
}

void TWinControl::SetText(const std::string& v) {
    TControl::SetText(v);
}

void TWinControl::PeerChanged(int what) {
    if (peer_) peer_->Changed(what);
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

void TWinControl::CMShowingChanged(TMessage& /*Message*/) {}

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
    if (handle_) Perform(WM_ENABLE, Enabled() ? 1 : 0);
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

void TWinControl::CMBiDiModeChanged(TMessage& Message) {
    TControl::CMBiDiModeChanged(Message);
    // The reading order is part of the window's style: the native window takes its direction,
    // and the vertical scroll bar may change sides.
    PeerChanged(pcBorder);
    if (HandleAllocated()) Perform(CM_BORDERCHANGED);
    TMessage m{CM_PARENTBIDIMODECHANGED, 0, 0, 0};
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

LONG SetWindowLong(HWND handle, int index, LONG value) {
    TWinControl* c = FindControl(handle);
    if (!c) return 0;
    if (index == GWL_STYLE) {
        // The control's own style bits (the low word) change; the kind of window stays.
        const LONG old = LONG(c->style_);
        c->style_ = (c->style_ & 0xFFFF0000u) | (DWORD(value) & 0xFFFFu);
        if (LONG(c->style_) != old) c->Perform(WM_STYLECHANGED, WPARAM(GWL_STYLE), 0);
        return old;
    }
    if (index != GWL_EXSTYLE) return 0;
    LONG old = LONG(c->exStyle_);
    c->exStyle_ = DWORD(value);
    if (!(c->exStyle_ & WS_EX_LAYERED) && (c->layeredImage_ || c->layeredAlpha_ != 255)) {
        c->layeredImage_.reset();
        c->layeredAlpha_ = 255;
    }
    if ((DWORD(old) ^ c->exStyle_) & WS_EX_LAYERED) c->PeerChanged(pcLayered);
    return old;
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

void MessageBeep(unsigned /*type*/) {
    if (backend) backend->Beep();
}

void SetPopupMenuHooks(const TPopupMenuHooks& hooks) {
    state().popupHooks = hooks;
}
