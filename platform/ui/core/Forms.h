#pragma once
// Forms, the application object with its message loop, the screen and the hint window.
#include "platform/ui/core/Controls.h"

#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrClose = 8;
constexpr TModalResult mrHelp = 9;
constexpr TModalResult mrTryAgain = 10;
constexpr TModalResult mrContinue = 11;
constexpr TModalResult mrAll = 12;
constexpr TModalResult mrNoToAll = 13;
constexpr TModalResult mrYesToAll = 14;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
class TBorderIcons {
public:
    TBorderIcons() = default;
    TBorderIcons(std::initializer_list<TBorderIcon> icons) {
        for (auto i : icons) Include(i);
    }
    bool Contains(TBorderIcon i) const { return bits_ & (1u << unsigned(i)); }
    void Include(TBorderIcon i) { bits_ |= 1u << unsigned(i); }
    void Exclude(TBorderIcon i) { bits_ &= ~(1u << unsigned(i)); }
    friend bool operator==(const TBorderIcons&, const TBorderIcons&) = default;

private:
    unsigned bits_ = 0;
};
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// A top-level window. Derive a form class from TForm, create its controls in the constructor
// and assign its handlers; OnCreate runs from AfterConstruction, which Application->CreateForm
// calls (call it yourself after `new` otherwise).
class TCustomForm : public TCustomControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;
    virtual void AfterConstruction();

    // Shows the form and runs a nested message loop until ModalResult is set; returns it.
    virtual int ShowModal();
    void Show();
    void Hide();
    // Modal: sets ModalResult to mrCancel. Otherwise asks OnCloseQuery, then OnClose decides:
    // caHide hides, caFree releases, caNone keeps it; the main form ends the application.
    void Close();
    virtual bool CloseQuery();
    // Destroys the form once the messages queued before are handled.
    void Release();

    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult v) { modalResult_ = v; }
    bool Modal() const { return modal_; }
    // While shown modally: the form that was active when ShowModal began (else the main form),
    // which owns the modal window; nullptr otherwise.
    TCustomForm* ModalOwner() const { return modal_ ? modalOwner_ : nullptr; }
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle v);
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons v);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition v) { position_ = v; }
    TWindowState WindowState() const { return windowState_; }
    void SetWindowState(TWindowState v);
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle v) { formStyle_ = v; }
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool v) { keyPreview_ = v; }
    bool Active() const { return active_; }
    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* control);
    // Called when a control of the form gets the focus; sends CM_EXIT / CM_ENTER.
    bool SetFocusedControl(TWinControl* control);
    void FocusControl(TWinControl* control);
    void DefocusControl(TWinControl* control, bool Removing);

    TRect ClientRect() const override;
    TPoint ClientOrigin() const override;
    void SetClientSize(int w, int h) override;
    void SetVisible(bool v) override;
    bool CanFocus() const override;
    void SetFocus() override;
    std::string PeerClassName() const override { return "FORM"; }
    // Size of the frame and caption around the client area, by border style.
    int FrameWidth() const;
    int CaptionHeight() const;

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

protected:
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Dispatch(TMessage& Message) override;
    virtual void WMClose(TMessage& Message);
    virtual void CMActivate(TMessage& Message);
    virtual void CMDeactivate(TMessage& Message);
    virtual void CMRelease(TMessage& Message);
    void CMDialogKey(TWMKey& Message) override;
    void CMShowingChanged(TMessage& Message) override;
    // A form docked to a site is a child window.
    bool IsTopLevelWindow() const override { return !Parent(); }

private:
    friend class TApplication;
    void closeModal();
    void placeOnScreen();
    TModalResult modalResult_ = mrNone;
    bool modal_ = false;
    TCustomForm* modalOwner_ = nullptr;
    bool active_ = false;
    bool created_ = false;
    TFormBorderStyle borderStyle_ = bsSizeable;
    TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
    TPosition position_ = poDesigned;
    TWindowState windowState_ = wsNormal;
    TFormStyle formStyle_ = fsNormal;
    bool keyPreview_ = false;
    TWinControl* activeControl_ = nullptr;
    TWinControl* focusedControl_ = nullptr;
};

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
};

// The window that shows a hint near the mouse.
class THintWindow : public TCustomControl {
public:
    explicit THintWindow(TComponent* AOwner);
    // Size the hint text needs, at most MaxWidth wide.
    virtual TRect CalcHintRect(int MaxWidth, const std::string& AHint);
    // Shows the hint in Rect (screen coordinates).
    virtual void ActivateHint(const TRect& Rect, const std::string& AHint);
    // The same with the data of the hint's request (THintInfo::HintData).
    virtual void ActivateHintData(const TRect& Rect, const std::string& AHint, TObject* /*Data*/) {
        ActivateHint(Rect, AHint);
    }
    virtual TRect CalcHintRectData(int MaxWidth, const std::string& AHint, TObject* /*Data*/) {
        return CalcHintRect(MaxWidth, AHint);
    }
    void ReleaseHandle();
    // Whether Msg, coming while the hint shows, ends it: keys, mouse buttons and the wheel, a
    // mouse move over a window's frame, activation changes and commands.
    virtual bool IsHintMsg(const TMessage& Msg);
    std::string PeerClassName() const override { return "HINT"; }

protected:
    void Paint() override;
    bool IsTopLevelWindow() const override { return true; }
};

// The part of a hint before "|" (the long hint follows it).
std::string GetShortHint(const std::string& Hint);

// Record passed with CM_HINTSHOW (LParam points to it); a control may change it, or answer
// non-zero to show no hint.
struct THintInfo {
    TControl* HintControl = nullptr;
    TPoint HintPos; // screen
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect; // client coordinates of HintControl
    TPoint CursorPos; // client coordinates of HintControl
    int ReshowTimeout = 0;
    int HideTimeout = 0;
    std::string HintStr;
    // A hint window of another kind for this hint (made with the given owner), and the data
    // handed to its ActivateHintData.
    std::function<THintWindow*(TComponent* Owner)> HintWindowClass;
    TObject* HintData = nullptr;
};

using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;
// Help asked for: Command HELP_CONTEXT with the context number as Data; answers whether help
// was shown.
constexpr WORD HELP_CONTEXT = 0x0001;
using THelpEvent = std::function<bool(WORD Command, std::intptr_t Data, bool& CallHelp)>;

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    void Initialize();
    // Makes a form owned by the application; the first one becomes the main form.
    template <class T> void CreateForm(T*& Reference) {
        T* form = new T(this);
        Reference = form;
        formCreated(form);
    }
    // Runs the message loop until Terminate (or the main form closes).
    void Run();
    // Handles everything pending (native events, thread calls, posted messages, due timers,
    // paints) without waiting.
    void ProcessMessages();
    // While the UI thread waits for something: windows repaint and the desktop's native
    // events are answered, but no input, timer or posted message is handled.
    void KeepPainting();
    // Handles one message; waits for one when nothing is pending.
    void HandleMessage();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // For tests: the application runs on after a test ended it (closed its main form).
    void ResetTerminated() { terminated_ = false; }
    TCustomForm* MainForm() const { return mainForm_; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& v) { title_ = v; }
    const std::string& ExeName() const { return exeName_; }
    void SetExeName(const std::string& v) { exeName_ = v; }

    // A message box through the dialog service; returns IDOK, IDYES ...
    int MessageBox(const std::string& Text, const std::string& Caption, UINT Flags = MB_OK);
    // From inside a catch block: OnException when set, else the standard exception box.
    // EAbort is silent.
    void HandleException(TObject* Sender);
    // The standard exception box: the message under the application title, with an OK
    // button; a "." is added when the message ends in a character after "." (a letter ...).
    void ShowException(const Exception& E);
    TExceptionEvent OnException;
    TIdleEvent OnIdle;
    // Shows the help topic of a context number through OnHelp (the platform has no help
    // viewer of its own); false when nothing showed it.
    bool HelpContext(int Context);
    THelpEvent OnHelp;
    // Runs each time a modal loop has nothing to do (tests act inside modal forms with it).
    std::function<void(TCustomForm* Form)> OnModalIdle;

    // Hints.
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool v) { showHint_ = v; }
    int HintPause = 500;
    int HintHidePause = 2500;
    // The kind of window every hint shows in (empty: THintWindow); a hint's own
    // THintInfo.HintWindowClass wins over it.
    std::function<THintWindow*(TComponent* Owner)> HintWindowClass;
    TColor HintColor = clInfoBk;
    void CancelHint();
    void HideHint();
    // Input reaching a control: a click ends a hint or its wait; other input ends a shown hint
    // when its window says so (IsHintMsg).
    void CheckHintMessage(const TMessage& Msg);
    // The hint window currently shown, or nullptr.
    THintWindow* HintWindow() const;
    const std::string& Hint() const { return hint_; }

    int ModalLevel() const { return modalLevel_; }

    // For the message functions: the posted-message queue (thread-safe).
    void PostToQueue(HWND handle, const TMessage& Message);
    // Handles one posted message; false when the queue is empty.
    bool ProcessPostedMessage();
    // The model's own pending work (thread calls, posted messages, due timers, paints) without
    // native events: native modal loops (message boxes) call it so the program keeps running.
    bool DispatchPending();
    // Called when the mouse moved over control (it may be nullptr); drives hints.
    void NoteMouseMoved(TControl* control);
    // Forgets a control that is being destroyed.
    void ControlDestroying(TControl* control);

private:
    friend class TCustomForm;
    void formCreated(TCustomForm* form);
    bool processOne();
    void idle();
    void checkHint();
    void waitForWork();
    void wake();
    struct Posted {
        HWND handle;
        TMessage message;
    };
    std::mutex queueMutex_;
    std::deque<Posted> queue_;
    bool terminated_ = false;
    bool running_ = false;
    TCustomForm* mainForm_ = nullptr;
    std::string title_;
    std::string exeName_;
    bool showHint_ = true;
    std::string hint_;
    int modalLevel_ = 0;
    TControl* hintControl_ = nullptr;
    std::uint64_t hintMovedAt_ = 0;
    std::uint64_t hintShownAt_ = 0;
    bool hintShown_ = false;
    THintWindow* hintWindow_ = nullptr;
    bool customHintWindow_ = false;
    // Where the shown hint is valid, in the hint control's client coordinates.
    TRect hintCursorRect_;
};

// The picture of one of the program's own cursor numbers (the model loads them from its
// resources into Screen.Cursors): the image's transparent colour shows through, and HotSpot is
// the point of the image that the pointer position names.
struct TCursorImage {
    std::shared_ptr<const TBitmap> Image;
    TPoint HotSpot;
};

class TScreen : public TComponent {
public:
    explicit TScreen(TComponent* AOwner);
    // A cursor for the whole application while not crDefault (e.g. crHourGlass while busy).
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor v);
    TCustomForm* ActiveForm() const { return activeForm_; }
    TWinControl* ActiveControl() const { return activeControl_; }
    int FormCount() const { return int(forms_.size()); }
    TCustomForm* Forms(int index) const { return forms_.at(std::size_t(index)); }
    int Width() const;
    int Height() const;
    TRect WorkAreaRect() const;
    int PixelsPerInch() const { return 96; }
    TFont* HintFont() const;
    // The cursor last chosen by WM_SETCURSOR (what the pointer shows).
    TCursor CurrentCursor() const { return currentCursor_; }
    void SetCurrentCursor(TCursor v) { currentCursor_ = v; }
    // A cursor number with a picture shows it; one without shows the arrow. A standard cursor
    // (crDefault .. crHandPoint and the others below 0) keeps its own shape.
    void SetCursorImage(TCursor Index, const TBitmap& Image, TPoint HotSpot);
    // nullptr when the number has no picture.
    const TCursorImage* CursorImage(TCursor Index) const;

private:
    friend class TCustomForm;
    friend class TApplication;
    TCursor cursor_ = crDefault;
    TCursor currentCursor_ = crDefault;
    TCustomForm* activeForm_ = nullptr;
    TWinControl* activeControl_ = nullptr;
    std::vector<TCustomForm*> forms_;
    std::unique_ptr<TFont> hintFont_;
    std::map<TCursor, TCursorImage> cursorImages_;
};

extern TApplication* Application;
extern TScreen* Screen;

TCustomForm* GetParentForm(const TControl* Control);
