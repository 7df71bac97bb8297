#include "platform/ui/core/Forms.h"

#include "platform/base/Clock.h"
#include "platform/base/Threads.h"
#include "platform/ui/core/Dialogs.h"
#include "platform/ui/core/Timers.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>

TApplication* Application = new TApplication(nullptr);
TScreen* Screen = new TScreen(nullptr);

namespace {
const char* const cannotFocus = "Cannot focus a disabled or invisible window";

std::mutex wakeMutex;
std::condition_variable wakeCv;
bool wakeFlag = false;

bool effectiveShowHint(const TControl* c) {
    while (c->ParentShowHint() && c->Parent()) c = c->Parent();
    return c->ShowHint();
}
} // namespace

TCustomForm* GetParentForm(const TControl* Control) {
    while (Control && Control->Parent()) Control = Control->Parent();
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(Control));
}

// --- TCustomForm -----------------------------------------------------------------------------
TCustomForm::TCustomForm(TComponent* AOwner) : TCustomControl(AOwner) {
    visible_ = false;
    parentFont_ = false;
    parentColor_ = false;
    SetColor(clBtnFace);
    SetControlStyle(ControlStyle() | csAcceptsControls);
    left_ = 0;
    top_ = 0;
    width_ = 320;
    height_ = 240;
    Screen->forms_.push_back(this);
}

TCustomForm::~TCustomForm() {
    SetComponentState(ComponentState() | csDestroying);
    DoDestroy();
    auto& forms = Screen->forms_;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    if (Screen->activeForm_ == this) {
        Screen->activeForm_ = nullptr;
        Screen->activeControl_ = nullptr;
    }
    if (Application->mainForm_ == this) Application->mainForm_ = nullptr;
    activeControl_ = nullptr;
    focusedControl_ = nullptr;
}

void TCustomForm::AfterConstruction() {
    if (created_) return;
    created_ = true;
    DoCreate();
}

void TCustomForm::DoCreate() {
    try {
        if (OnCreate) OnCreate(this);
    } catch (...) {
        Application->HandleException(this);
    }
}

void TCustomForm::DoDestroy() {
    try {
        if (OnDestroy) OnDestroy(this);
    } catch (...) {
        Application->HandleException(this);
    }
}

void TCustomForm::DoShow() {
    try {
        if (OnShow) OnShow(this);
    } catch (...) {
        Application->HandleException(this);
    }
}

void TCustomForm::DoHide() {
    try {
        if (OnHide) OnHide(this);
    } catch (...) {
        Application->HandleException(this);
    }
}

void TCustomForm::DoClose(TCloseAction& Action) {
    if (OnClose) OnClose(this, Action);
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

int TCustomForm::ShowModal() {
    if (Visible() || !Enabled() || modal_)
        throw EInvalidOperation("Cannot make a visible window modal");
    if (TControl* cap = GetCaptureControl()) cap->Perform(WM_CANCELMODE);
    ReleaseCapture();
    Application->CancelHint();
    TCustomForm* previous = Screen->activeForm_;
    TCursor savedCursor = Screen->Cursor();
    Screen->SetCursor(crDefault);
    modal_ = true;
    TCustomForm* mainForm = Application->MainForm();
    modalOwner_ = previous && previous != this && previous->Showing()   ? previous
                  : mainForm && mainForm != this && mainForm->Showing() ? mainForm
                                                                        : nullptr;
    ++Application->modalLevel_;
    modalResult_ = mrNone;
    auto finish = [&] {
        --Application->modalLevel_;
        modal_ = false;
        modalOwner_ = nullptr;
        Screen->SetCursor(savedCursor);
        if (previous && previous != this &&
            std::find(Screen->forms_.begin(), Screen->forms_.end(), previous) !=
                Screen->forms_.end() &&
            previous->Showing()) {
            Screen->activeForm_ = previous;
            previous->active_ = true;
            if (previous->Peer()) previous->Peer()->Activate();
            TWinControl* f = previous->activeControl_ ? previous->activeControl_ : previous;
            if (f->CanFocus()) ::SetFocus(f->Handle());
        }
    };
    try {
        Show();
        int result = mrNone;
        try {
            while (true) {
                if (!Application->processOne()) {
                    Application->idle();
                    if (Application->OnModalIdle) {
                        try {
                            Application->OnModalIdle(this);
                        } catch (...) {
                            Application->HandleException(this);
                        }
                    } else if (modalResult_ == mrNone && !Application->Terminated()) {
                        Application->waitForWork();
                    }
                }
                if (Application->Terminated())
                    modalResult_ = mrCancel;
                else if (modalResult_ != mrNone)
                    closeModal();
                if (modalResult_ != mrNone) break;
            }
            result = modalResult_;
            Perform(CM_DEACTIVATE);
        } catch (...) {
            Hide();
            throw;
        }
        Hide();
        finish();
        return result;
    } catch (...) {
        finish();
        throw;
    }
}

void TCustomForm::closeModal() {
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    if (action == caNone)
        modalResult_ = mrNone;
    else if (action == caFree)
        Release();
}

void TCustomForm::Show() {
    SetVisible(true);
    BringToFront();
}

void TCustomForm::Hide() {
    SetVisible(false);
}

void TCustomForm::Close() {
    if (modal_) {
        modalResult_ = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone) return;
    if (Application->MainForm() == this)
        Application->Terminate();
    else if (action == caHide)
        Hide();
    else if (action == caMinimize)
        SetWindowState(wsMinimized);
    else
        Release();
}

void TCustomForm::Release() {
    PostMessage(Handle(), CM_RELEASE);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle v) {
    if (v == borderStyle_) return;
    TRect c = ClientRect();
    borderStyle_ = v;
    PeerChanged(pcBorder);
    SetClientSize(c.Width(), c.Height());
}

void TCustomForm::SetBorderIcons(TBorderIcons v) {
    borderIcons_ = v;
    PeerChanged(pcBorder);
}

void TCustomForm::SetWindowState(TWindowState v) {
    windowState_ = v;
    PeerChanged(pcBorder);
}

int TCustomForm::FrameWidth() const {
    switch (borderStyle_) {
    case bsNone:
        return 0;
    case bsSizeable:
    case bsSizeToolWin:
        return 4;
    default:
        return 3;
    }
}

int TCustomForm::CaptionHeight() const {
    switch (borderStyle_) {
    case bsNone:
        return 0;
    case bsToolWindow:
    case bsSizeToolWin:
        return 15;
    default:
        return 19;
    }
}

TRect TCustomForm::ClientRect() const {
    int f = FrameWidth();
    return {0, 0, std::max(0, width_ - 2 * f), std::max(0, height_ - 2 * f - CaptionHeight())};
}

TPoint TCustomForm::ClientOrigin() const {
    int f = FrameWidth();
    return {left_ + f, top_ + f + CaptionHeight()};
}

void TCustomForm::SetClientSize(int w, int h) {
    int f = FrameWidth();
    SetBounds(left_, top_, w + 2 * f, h + 2 * f + CaptionHeight());
}

void TCustomForm::placeOnScreen() {
    TRect screen{0, 0, Screen->Width(), Screen->Height()};
    TRect over = screen;
    if (position_ == poMainFormCenter || position_ == poOwnerFormCenter) {
        TCustomForm* other = Application->MainForm();
        if (position_ == poOwnerFormCenter) {
            if (auto o = dynamic_cast<TCustomForm*>(Owner())) other = o;
        }
        if (other && other != this) over = other->BoundsRect();
    } else if (position_ != poScreenCenter && position_ != poDesktopCenter) {
        return;
    }
    SetBounds(over.Left + (over.Width() - width_) / 2, over.Top + (over.Height() - height_) / 2,
              width_, height_);
}

void TCustomForm::SetVisible(bool v) {
    if (v && !Visible()) placeOnScreen();
    TCustomControl::SetVisible(v);
}

bool TCustomForm::CanFocus() const {
    return Visible() && Enabled();
}

void TCustomForm::SetFocus() {
    if (!CanFocus()) throw EInvalidOperation(cannotFocus);
    TWinControl* target = activeControl_ && activeControl_->CanFocus() ? activeControl_ : this;
    ::SetFocus(target->Handle());
}

void TCustomForm::SetActiveControl(TWinControl* control) {
    if (activeControl_ == control) return;
    if (control && !(control != this && ::GetParentForm(control) == this && control->CanFocus()))
        throw EInvalidOperation(cannotFocus);
    activeControl_ = control;
    if (active_) ::SetFocus((control ? control : this)->Handle());
}

void TCustomForm::FocusControl(TWinControl* control) {
    bool wasActive = active_;
    bool alreadyActive = activeControl_ == control;
    SetActiveControl(control);
    // SetActiveControl has moved the focus unless the control was active already; where an exit
    // handler sent the focus back meanwhile, it stays there.
    if (!wasActive)
        SetFocus();
    else if (alreadyActive && control && !control->Focused())
        ::SetFocus(control->Handle());
}

bool TCustomForm::SetFocusedControl(TWinControl* control) {
    // The focus moving into another form activates it.
    if (TCustomForm* previous = Screen->activeForm_; previous != this) {
        Screen->activeForm_ = this;
        if (previous && previous->active_) {
            previous->active_ = false;
            previous->Perform(CM_DEACTIVATE);
        }
        if (!active_) {
            active_ = true;
            Perform(CM_ACTIVATE);
        }
    }
    Screen->activeControl_ = control;
    active_ = true;
    if (control != this) activeControl_ = control;
    TWinControl* old = focusedControl_;
    if (old == control) return true;
    focusedControl_ = control;
    // CM_EXIT up from the old control, CM_ENTER down to the new, below their common parent.
    for (TWinControl* p = old; p && p != this && !p->ContainsControl(control); p = p->Parent()) {
        p->Perform(CM_EXIT);
        if (focusedControl_ != control) return false;
    }
    std::vector<TWinControl*> enter;
    for (TWinControl* p = control; p && p != this && !(old && p->ContainsControl(old));
         p = p->Parent())
        enter.push_back(p);
    for (auto it = enter.rbegin(); it != enter.rend(); ++it) {
        (*it)->Perform(CM_ENTER);
        if (focusedControl_ != control) return false;
    }
    return true;
}

void TCustomForm::DefocusControl(TWinControl* control, bool Removing) {
    if (control->ContainsControl(focusedControl_))
        focusedControl_ = Removing && control->Parent() ? control->Parent() : nullptr;
    if (control->ContainsControl(activeControl_)) activeControl_ = nullptr;
    if (Screen->activeControl_ && control->ContainsControl(Screen->activeControl_))
        Screen->activeControl_ = nullptr;
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == activeControl_) activeControl_ = nullptr;
    if (AComponent == focusedControl_) focusedControl_ = nullptr;
}

void TCustomForm::Paint() {
    if (OnPaint) OnPaint(this);
}

void TCustomForm::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_CLOSE:
        WMClose(Message);
        break;
    case CM_ACTIVATE:
        CMActivate(Message);
        break;
    case CM_DEACTIVATE:
        CMDeactivate(Message);
        break;
    case CM_RELEASE:
        CMRelease(Message);
        break;
    default:
        TCustomControl::Dispatch(Message);
    }
}

void TCustomForm::WMClose(TMessage& /*Message*/) {
    Close();
}

void TCustomForm::CMActivate(TMessage& /*Message*/) {
    if (OnActivate) OnActivate(this);
}

void TCustomForm::CMDeactivate(TMessage& /*Message*/) {
    if (OnDeactivate) OnDeactivate(this);
}

// The form asked to be destroyed (Release); the model frees it here.
void TCustomForm::CMRelease(TMessage& /*Message*/) {
    delete this;
}

void TCustomForm::CMDialogKey(TWMKey& Message) {
    if (GetKeyState(VK_MENU) >= 0) {
        switch (Message.CharCode()) {
        case VK_TAB:
            if (GetKeyState(VK_CONTROL) >= 0) {
                SelectNext(activeControl_, GetKeyState(VK_SHIFT) >= 0, true);
                Message.M.Result = 1;
                return;
            }
            break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            if (activeControl_ && activeControl_->Parent()) {
                activeControl_->Parent()->SelectNext(
                    activeControl_, Message.CharCode() == VK_RIGHT || Message.CharCode() == VK_DOWN,
                    false);
                Message.M.Result = 1;
            }
            return;
        default:
            break;
        }
    }
    TCustomControl::CMDialogKey(Message);
}

void TCustomForm::CMShowingChanged(TMessage& Message) {
    TCustomControl::CMShowingChanged(Message);
    if (Showing()) {
        DoShow();
        if (!Showing()) return;
        // As when the focus moves into another form: the form losing the activation sees which
        // form takes it.
        TCustomForm* old = Screen->activeForm_;
        Screen->activeForm_ = this;
        if (old && old != this) {
            old->active_ = false;
            old->Perform(CM_DEACTIVATE);
        }
        active_ = true;
        // The most recently activated form goes first in Screen->Forms.
        auto& forms = Screen->forms_;
        forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
        forms.insert(forms.begin(), this);
        Perform(CM_ACTIVATE);
        if (Peer()) Peer()->Activate();
        TWinControl* target = nullptr;
        if (activeControl_ && activeControl_->CanFocus())
            target = activeControl_;
        else if ((target = FindNextControl(nullptr, true, true, false)))
            activeControl_ = target;
        ::SetFocus((target ? target : this)->Handle());
    } else {
        DoHide();
        bool wasActive = active_;
        active_ = false;
        if (wasActive) Perform(CM_DEACTIVATE);
        HWND f = GetFocus();
        if (f && ContainsControl(FindControl(f))) ::SetFocus(nullptr);
        if (Screen->activeForm_ == this) {
            Screen->activeForm_ = nullptr;
            Screen->activeControl_ = nullptr;
            if (!modal_) {
                for (TCustomForm* other : Screen->forms_) {
                    if (other == this || !other->Showing()) continue;
                    Screen->activeForm_ = other;
                    other->active_ = true;
                    TWinControl* t = other->activeControl_ && other->activeControl_->CanFocus()
                                         ? other->activeControl_
                                         : other;
                    ::SetFocus(t->Handle());
                    break;
                }
            }
        }
    }
}

// --- THintWindow -----------------------------------------------------------------------------
THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    visible_ = false;
    SetColor(clInfoBk);
    Font()->Assign(Screen->HintFont());
}

TRect THintWindow::CalcHintRect(int MaxWidth, const std::string& AHint) {
    TRect r{0, 0, MaxWidth > 0 ? MaxWidth : 300, 0};
    TBitmap measure(1, 1);
    measure.Canvas()->Font()->Assign(Font());
    DrawText(measure.Canvas(), AHint, -1, r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    r.Right += 6;
    r.Bottom += 2;
    return r;
}

void THintWindow::ActivateHint(const TRect& Rect, const std::string& AHint) {
    SetText(AHint);
    SetBoundsRect(Rect);
    SetVisible(true);
    BringToFront();
    Invalidate();
}

bool THintWindow::IsHintMsg(const TMessage& Msg) {
    const UINT m = Msg.Msg;
    return (m >= WM_KEYFIRST && m <= WM_KEYLAST) || m == CM_ACTIVATE || m == CM_DEACTIVATE ||
           m == WM_COMMAND || (m > WM_MOUSEMOVE && m <= WM_MOUSELAST) || m == WM_NCMOUSEMOVE;
}

void THintWindow::ReleaseHandle() {
    SetVisible(false);
    DestroyHandle();
}

void THintWindow::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetColor(clBlack);
    c->FrameRect(ClientRect());
    TRect r = ClientRect();
    r.Left += 2;
    r.Top += 2;
    c->Font()->Assign(Font());
    SetBkMode(c, TRANSPARENT);
    DrawText(c, Text(), -1, r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

std::string GetShortHint(const std::string& Hint) {
    auto bar = Hint.find('|');
    return bar == std::string::npos ? Hint : Hint.substr(0, bar);
}

// --- TApplication ----------------------------------------------------------------------------
TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}

TApplication::~TApplication() = default;

void TApplication::Initialize() {
    SetMainThread();
    SetWakeMainThread([] {
        if (Application) Application->wake();
    });
}

void TApplication::formCreated(TCustomForm* form) {
    if (!mainForm_) mainForm_ = form;
    form->AfterConstruction();
}

void TApplication::Run() {
    running_ = true;
    try {
        if (mainForm_ && !mainForm_->Visible()) mainForm_->Show();
    } catch (...) {
        HandleException(this);
    }
    while (!terminated_) {
        try {
            HandleMessage();
        } catch (...) {
            HandleException(this);
        }
    }
    running_ = false;
}

bool TApplication::processOne() {
    bool did = false;
    if (TBackend* b = Backend(); b && b->ProcessEvents()) did = true;
    if (DispatchPending()) did = true;
    checkHint();
    return did;
}

bool TApplication::DispatchPending() {
    bool did = false;
    if (CheckSynchronize()) did = true;
    if (ProcessPostedMessage()) did = true;
    if (ProcessDueTimers()) did = true;
    if (PaintInvalidWindows()) did = true;
    return did;
}

void TApplication::ProcessMessages() {
    while (processOne()) {
    }
}

void TApplication::KeepPainting() {
    if (TBackend* b = Backend()) b->ProcessNonInputEvents();
    PaintInvalidWindows();
}

void TApplication::HandleMessage() {
    if (!processOne()) {
        idle();
        if (!terminated_) waitForWork();
    }
}

void TApplication::idle() {
    if (OnIdle) {
        bool done = true;
        try {
            OnIdle(this, done);
        } catch (...) {
            HandleException(this);
        }
    }
}

void TApplication::waitForWork() {
    unsigned ms = 50;
    if (auto due = NextTimerDue()) {
        std::uint64_t now = GetTickCount64();
        ms = unsigned(std::min<std::uint64_t>(ms, *due > now ? *due - now : 0));
    }
    if (hintControl_) ms = std::min(ms, 20u);
    if (TBackend* b = Backend()) {
        b->WaitForEvents(ms);
        return;
    }
    std::unique_lock lock(wakeMutex);
    wakeCv.wait_for(lock, std::chrono::milliseconds(ms), [] { return wakeFlag; });
    wakeFlag = false;
}

void TApplication::wake() {
    if (TBackend* b = Backend()) {
        b->Wake();
        return;
    }
    {
        std::lock_guard lock(wakeMutex);
        wakeFlag = true;
    }
    wakeCv.notify_all();
}

void TApplication::Terminate() {
    terminated_ = true;
    wake();
}

void TApplication::PostToQueue(HWND handle, const TMessage& Message) {
    {
        std::lock_guard lock(queueMutex_);
        queue_.push_back({handle, Message});
    }
    wake();
}

bool TApplication::ProcessPostedMessage() {
    Posted p;
    {
        std::lock_guard lock(queueMutex_);
        if (queue_.empty()) return false;
        p = queue_.front();
        queue_.pop_front();
    }
    // A message for a window destroyed since it was posted is dropped.
    if (TWinControl* target = FindControl(p.handle)) DeliverMessage(target, p.message);
    return true;
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, UINT Flags) {
    TDialogRequest r;
    r.Kind = dkMessageBox;
    r.Caption = Caption;
    r.Text = Text;
    // The buttons in the order the box shows them (MB_DEFBUTTONn counts in this order).
    std::vector<TMsgDlgBtn> list;
    switch (Flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
        list = {mbOK, mbCancel};
        break;
    case MB_ABORTRETRYIGNORE:
        list = {mbAbort, mbRetry, mbIgnore};
        break;
    case MB_YESNOCANCEL:
        list = {mbYes, mbNo, mbCancel};
        break;
    case MB_YESNO:
        list = {mbYes, mbNo};
        break;
    case MB_RETRYCANCEL:
        list = {mbRetry, mbCancel};
        break;
    default:
        list = {mbOK};
        break;
    }
    for (TMsgDlgBtn b : list) r.Buttons.Include(b);
    switch (Flags & MB_ICONMASK) {
    case MB_ICONERROR:
        r.Type = mtError;
        break;
    case MB_ICONQUESTION:
        r.Type = mtConfirmation;
        break;
    case MB_ICONWARNING:
        r.Type = mtWarning;
        break;
    case MB_ICONINFORMATION:
        r.Type = mtInformation;
        break;
    default:
        r.Type = mtCustom;
        break;
    }
    std::size_t def = (Flags & MB_DEFBUTTON3) ? 2 : (Flags & MB_DEFBUTTON2) ? 1 : 0;
    r.DefaultResult = ModalResultOfButton(list[std::min(def, list.size() - 1)]);
    return AskDialogService(r).ModalResult;
}

bool TApplication::HelpContext(int Context) {
    bool callHelp = true;
    return OnHelp && OnHelp(HELP_CONTEXT, Context, callHelp);
}

void TApplication::HandleException(TObject* Sender) {
    std::exception_ptr ep = std::current_exception();
    if (!ep) return;
    auto report = [&](const Exception& e) {
        if (OnException)
            OnException(Sender, e);
        else
            ShowException(e);
    };
    try {
        std::rethrow_exception(ep);
    } catch (const EAbort&) {
        // The silent exception: the operation ends without a box.
    } catch (const Exception& e) {
        report(e);
    } catch (const std::exception& e) {
        report(Exception(e.what()));
    } catch (...) {
        report(Exception("Unknown exception"));
    }
}

void TApplication::ShowException(const Exception& E) {
    std::string msg = E.Message();
    if (!msg.empty() && static_cast<unsigned char>(msg.back()) > '.') msg += '.';
    TDialogRequest r;
    r.Kind = dkException;
    r.Caption = title_;
    r.Text = msg;
    r.Type = mtError;
    r.Buttons = {mbOK};
    r.DefaultResult = mrOk;
    AskDialogService(r);
}

void TApplication::CancelHint() {
    HideHint();
    hintControl_ = nullptr;
    hintShown_ = false;
}

void TApplication::CheckHintMessage(const TMessage& Msg) {
    if (hintWindow_ && hintWindow_->Visible()) {
        if (hintWindow_->IsHintMsg(Msg)) CancelHint();
    } else if (Msg.Msg > WM_MOUSEMOVE && Msg.Msg <= WM_MOUSELAST && Msg.Msg != WM_MOUSEWHEEL &&
               Msg.Msg != WM_MOUSEHWHEEL) {
        CancelHint();
    }
}

void TApplication::HideHint() {
    if (hintWindow_ && hintWindow_->Visible()) hintWindow_->ReleaseHandle();
    hint_.clear();
}

THintWindow* TApplication::HintWindow() const {
    return hintWindow_ && hintWindow_->Visible() ? hintWindow_ : nullptr;
}

void TApplication::NoteMouseMoved(TControl* control) {
    if (control == hintControl_) {
        // A shown hint goes when the cursor leaves the rectangle it was given for; the next
        // one follows after the pause.
        if (!control || !hintShown_) return;
        TPoint cursor;
        GetCursorPos(cursor);
        if (PtInRect(hintCursorRect_, control->ScreenToClient(cursor))) return;
        HideHint();
        hintShown_ = false;
        hintMovedAt_ = GetTickCount64();
        return;
    }
    HideHint();
    hintControl_ = control;
    hintShown_ = false;
    hintMovedAt_ = GetTickCount64();
}

void TApplication::ControlDestroying(TControl* control) {
    if (control == hintWindow_) hintWindow_ = nullptr;
    if (control == hintControl_) {
        hintControl_ = nullptr;
        HideHint();
    }
}

void TApplication::checkHint() {
    if (!hintControl_) return;
    std::uint64_t now = GetTickCount64();
    if (hintShown_) {
        if (HintWindow() && now - hintShownAt_ >= std::uint64_t(HintHidePause)) HideHint();
        return;
    }
    // The control may shorten or lengthen the pause.
    int pause = HintPause;
    hintControl_->Perform(CM_HINTSHOWPAUSE, 0, LPARAM(&pause));
    if (now - hintMovedAt_ < std::uint64_t(std::max(pause, 0))) return;
    hintShown_ = true;
    // Until a hint shows, any move asks again.
    hintCursorRect_ = TRect{};
    if (!showHint_ || !effectiveShowHint(hintControl_)) return;
    THintInfo info;
    info.HintControl = hintControl_;
    TPoint cursor;
    GetCursorPos(cursor);
    info.HintPos = {cursor.X, cursor.Y + 20};
    info.HintMaxWidth = Screen->Width();
    info.HintColor = HintColor;
    info.CursorRect = hintControl_->ClientRect();
    info.CursorPos = hintControl_->ScreenToClient(cursor);
    info.HideTimeout = HintHidePause;
    info.HintStr = GetShortHint(hintControl_->Hint());
    if (hintControl_->Perform(CM_HINTSHOW, 0, LPARAM(&info)) != 0 || info.HintStr.empty()) return;
    hintCursorRect_ = info.CursorRect;
    const auto& windowClass = info.HintWindowClass ? info.HintWindowClass : HintWindowClass;
    if (hintWindow_ && (customHintWindow_ || windowClass)) {
        delete hintWindow_;
        hintWindow_ = nullptr;
    }
    customHintWindow_ = bool(windowClass);
    if (!hintWindow_) hintWindow_ = customHintWindow_ ? windowClass(this) : new THintWindow(this);
    hintWindow_->SetColor(info.HintColor);
    TRect r = hintWindow_->CalcHintRectData(info.HintMaxWidth, info.HintStr, info.HintData);
    OffsetRect(r, info.HintPos.X, info.HintPos.Y);
    hintWindow_->ActivateHintData(r, info.HintStr, info.HintData);
    hint_ = info.HintStr;
    hintShownAt_ = now;
}

// --- TScreen ---------------------------------------------------------------------------------
TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

void TScreen::SetCursor(TCursor v) {
    if (v == cursor_) return;
    cursor_ = v;
    if (TBackend* b = Backend()) b->SetScreenCursor(v);
}

void TScreen::SetCursorImage(TCursor Index, const TBitmap& Image, TPoint HotSpot) {
    auto copy = std::make_shared<TBitmap>();
    copy->Assign(&Image);
    cursorImages_[Index] = {std::move(copy), HotSpot};
}

const TCursorImage* TScreen::CursorImage(TCursor Index) const {
    auto it = cursorImages_.find(Index);
    return it == cursorImages_.end() ? nullptr : &it->second;
}

int TScreen::Width() const {
    return Backend() ? Backend()->ScreenRect().Width() : 1024;
}
int TScreen::Height() const {
    return Backend() ? Backend()->ScreenRect().Height() : 768;
}
TRect TScreen::WorkAreaRect() const {
    return {0, 0, Width(), Height()};
}

TFont* TScreen::HintFont() const {
    if (!hintFont_) const_cast<TScreen*>(this)->hintFont_ = std::make_unique<TFont>();
    return hintFont_.get();
}
