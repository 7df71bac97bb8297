#pragma once
// Controls of the component model: TControl (no window), TWinControl (a window with a handle,
// children, focus and keyboard), TCustomControl (a window that paints itself into its own
// backing image) and TGraphicControl (paints on its parent's image).
//
// Writing a control:
//  - A custom-drawn windowed control derives from TCustomControl and overrides Paint(); its
//    Canvas() draws into BackingImage(), which the native peer only shows.
//  - A control without window (a label, a shape) derives from TGraphicControl and overrides
//    Paint(); its Canvas() draws on the parent's image at the control's place.
//  - A standard control wrapping a native widget derives from TWinControl, returns its peer
//    kind from PeerClassName() (the Qt back end maps it to a peer class), keeps every property
//    in the object and calls PeerChanged(code) when one changes; the peer reports native
//    notifications as CN_COMMAND / CN_NOTIFY messages to the control.
//  - The window's style comes from CreateParams (call the base, then change Style / ExStyle).
//    A WS_POPUP window is a top-level window owned by its parent and placed in screen
//    coordinates; SetWindowRgn gives a window a shape.
//  - Messages: override WndProc (sees everything first), Dispatch (a switch on Message.Msg that
//    calls the base for the rest) or one of the virtual handlers below. Not calling the base
//    swallows the message.
#include "platform/base/Classes.h"
#include "platform/gfx/Graphics.h"
#include "platform/ui/core/DragState.h"
#include "platform/ui/core/Messages.h"
#include "platform/ui/core/Peer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TControl;
class TWinControl;
class TBasicAction;
class TControlActionLink;
class TCustomForm;
class TPopupMenu;
struct TWindowFrame;

using TWndMethod = std::function<void(TMessage& Message)>;

// --- cursors ---------------------------------------------------------------------------------
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crSize = -22;

// The state of a check box (also drawn in grid cells).
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// --- layout ----------------------------------------------------------------------------------
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
class TAnchors {
public:
    TAnchors() = default;
    TAnchors(std::initializer_list<TAnchorKind> kinds) {
        for (auto k : kinds) Include(k);
    }
    bool Contains(TAnchorKind k) const { return bits_ & (1u << unsigned(k)); }
    void Include(TAnchorKind k) { bits_ |= 1u << unsigned(k); }
    void Exclude(TAnchorKind k) { bits_ &= ~(1u << unsigned(k)); }
    TAnchors& operator<<(TAnchorKind k) {
        Include(k);
        return *this;
    }
    friend bool operator==(const TAnchors&, const TAnchors&) = default;

private:
    unsigned bits_ = 0;
};
inline const TAnchors akTopLeft{akLeft, akTop};

// --- control style and state (bit masks) -----------------------------------------------------
constexpr unsigned csAcceptsControls = 1u << 0;
constexpr unsigned csCaptureMouse = 1u << 1;
constexpr unsigned csDesignInteractive = 1u << 2;
constexpr unsigned csClickEvents = 1u << 3;
constexpr unsigned csFramed = 1u << 4;
constexpr unsigned csSetCaption = 1u << 5;
constexpr unsigned csOpaque = 1u << 6;
constexpr unsigned csDoubleClicks = 1u << 7;
constexpr unsigned csFixedWidth = 1u << 8;
constexpr unsigned csFixedHeight = 1u << 9;
constexpr unsigned csNoDesignVisible = 1u << 10;
constexpr unsigned csReplicatable = 1u << 11;
constexpr unsigned csNoStdEvents = 1u << 12;
constexpr unsigned csDisplayDragImage = 1u << 13;
constexpr unsigned csReflector = 1u << 14;
constexpr unsigned csActionClient = 1u << 15;
constexpr unsigned csMenuEvents = 1u << 16;
// Gets WM_NCPAINT after each WM_PAINT of its image, to draw its border over the image's edge.
constexpr unsigned csNeedsBorderPaint = 1u << 17;
constexpr unsigned csParentBackground = 1u << 18;

constexpr unsigned csLButtonDown = 1u << 0;
constexpr unsigned csClicked = 1u << 1;
constexpr unsigned csPalette = 1u << 2;
constexpr unsigned csReadingState = 1u << 3;
constexpr unsigned csAlignmentNeeded = 1u << 4;
constexpr unsigned csFocusing = 1u << 5;
constexpr unsigned csCreating = 1u << 6;
constexpr unsigned csPaintCopy = 1u << 7;
constexpr unsigned csCustomPaint = 1u << 8;
constexpr unsigned csDestroyingHandle = 1u << 9;
constexpr unsigned csDocking = 1u << 10;

// --- window styles (classic values) ----------------------------------------------------------
constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_MAXIMIZE = 0x01000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_HSCROLL = 0x00100000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;

constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
constexpr DWORD WS_EX_TRANSPARENT = 0x00000020;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;
constexpr DWORD WS_EX_LAYERED = 0x00080000;
constexpr DWORD WS_EX_NOACTIVATE = 0x08000000;

using LONG = std::int32_t;
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;

// What CreateWnd makes the window from; a control adjusts it in CreateParams.
struct TCreateParams {
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND WndParent = nullptr;
};

// --- events ----------------------------------------------------------------------------------
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent = std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta,
                                            TPoint MousePos, bool& Handled)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
// Key is a character (code point); setting it to 0 swallows it.
using TKeyPressEvent = std::function<void(TObject* Sender, char32_t& Key)>;
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;

// --- dragging controls -----------------------------------------------------------------------
// A drag between controls: BeginDrag on the source, CM_DRAG messages to the control under the
// mouse (WParam a TDragMessage, LParam a TDragRec*), EndDrag when the button goes up.
enum TDragMessage { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget };

// What a drag carries; the source hands out its own in OnStartDrag, else the drag carries a
// TDragControlObject for the source.
class TDragObject : public TObject {
public:
    // The screen point of the mouse.
    TPoint DragPos;
    // The control under the mouse (nullptr: none).
    TControl* DragTarget = nullptr;
    bool Dropped = false;
};

class TDragControlObject : public TDragObject {
public:
    explicit TDragControlObject(TControl* AControl) : control_(AControl) {}
    TControl* Control() const { return control_; }

private:
    TControl* control_;
};

struct TDragRec {
    TPoint Pos; // screen point
    TDragObject* Source = nullptr;
    TControl* Target = nullptr;
};

using TStartDragEvent =
    std::function<void(TObject* Sender, std::unique_ptr<TDragObject>& DragObject)>;
// Source is the source control for a drag that carries one, else the drag object.
using TDragOverEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y,
                                          TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
// Target is the control that took the drop, nullptr when none did.
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;

// --- TControl --------------------------------------------------------------------------------
class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    // Messages go to WindowProc, which starts as WndProc; a hook replaces it and calls the
    // previous value for what it does not handle.
    TWndMethod WindowProc;
    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    virtual void WndProc(TMessage& Message);
    // Routes a message to its handler below; unknown messages go to DefaultHandler.
    virtual void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

    // Geometry: Left/Top in the parent's client coordinates (screen for forms).
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
    virtual TRect ClientRect() const { return {0, 0, width_, height_}; }
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    void SetClientWidth(int v) { SetClientSize(v, ClientHeight()); }
    void SetClientHeight(int v) { SetClientSize(ClientWidth(), v); }
    virtual void SetClientSize(int w, int h);
    // Screen position of the client area's top-left corner.
    virtual TPoint ClientOrigin() const;
    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;
    TPoint ClientToParent(TPoint p, TWinControl* AParent = nullptr) const;
    TPoint ParentToClient(TPoint p, TWinControl* AParent = nullptr) const;

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool v);
    void Show();
    void Hide();
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool v);
    // Visible on screen: visible and every parent showing.
    bool IsShowing() const;

    const std::string& Caption() const { return text_; }
    void SetCaption(const std::string& v) { SetText(v); }
    const std::string& Text() const { return text_; }
    virtual void SetText(const std::string& v);
    int GetTextLen() const { return int(text_.size()); }
    // For peers: records text the native widget changed, without echoing it back.
    void PeerTextChanged(const std::string& v) { text_ = v; }

    TColor Color() const { return color_; }
    void SetColor(TColor v);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool v);
    TFont* Font() const { return font_.get(); }
    void SetFont(const TFont* v) { font_->Assign(v); }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool v);
    TBiDiMode BiDiMode() const { return biDiMode_; }
    void SetBiDiMode(TBiDiMode v);
    bool ParentBiDiMode() const { return parentBiDiMode_; }
    void SetParentBiDiMode(bool v);
    // Mirrored layout: columns, alignment and scroll bars from the right.
    bool UseRightToLeftAlignment() const { return biDiMode_ == bdRightToLeft; }
    // Text read from the right (every mode but left to right).
    bool UseRightToLeftReading() const { return biDiMode_ != bdLeftToRight; }
    // Vertical scroll bar on the left.
    bool UseRightToLeftScrollBar() const {
        return biDiMode_ == bdRightToLeft || biDiMode_ == bdRightToLeftNoAlign;
    }
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor v);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& v);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool v);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool v);
    TAlign Align() const { return align_; }
    void SetAlign(TAlign v);
    TAnchors Anchors() const { return anchors_; }
    void SetAnchors(TAnchors v);
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* v);
    // The help topic of the control (0: none).
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int v) { helpContext_ = v; }

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* AParent);
    unsigned ControlStyle() const { return controlStyle_; }
    void SetControlStyle(unsigned v) { controlStyle_ = v; }
    unsigned ControlState() const { return controlState_; }
    void SetControlState(unsigned v) { controlState_ = v; }
    bool MouseCapture() const;
    void SetMouseCapture(bool v);
    bool MouseInControl() const;

    // Scales the control by M / D (its bounds and font) as a form does when it is shown at
    // another pixel density; a windowed control scales its children too.
    virtual void ChangeScale(int M, int D);

    virtual void Invalidate();
    // Paints now what is invalid.
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }
    void BringToFront();
    void SendToBack();
    TCustomForm* GetParentForm() const;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TMouseWheelEvent OnMouseWheel;
    TContextPopupEvent OnContextPopup;

    // dmAutomatic: a left press starts a drag of the control on its own.
    TDragMode DragMode() const { return dragMode_; }
    void SetDragMode(TDragMode v) { dragMode_ = v; }
    // Starts a drag of this control now (Immediate) or once the mouse moved Threshold pixels
    // from where it is (-1: the platform's distance); the mouse is captured until it ends.
    virtual void BeginDrag(bool Immediate, int Threshold = -1);
    // Ends this control's drag, dropping on the control under the mouse when Drop is set and
    // that control accepts.
    void EndDrag(bool Drop);
    // Whether a drag of this control runs (also while it waits for the threshold).
    virtual bool Dragging() const;
    TStartDragEvent OnStartDrag;
    TEndDragEvent OnEndDrag;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;

    // The action the control is linked to (nullptr: none). Linking copies the action's caption,
    // enabled and visible state into the control; a click without OnClick executes it.
    TBasicAction* Action() const;
    void SetAction(TBasicAction* Value);
    TControlActionLink* ActionLink() const { return actionLink_.get(); }

protected:
    // The link a new action gets; descendants link more properties.
    virtual std::unique_ptr<TControlActionLink> CreateActionLink();
    // Copies the action's properties (CheckDefaults: only into those left at their defaults).
    virtual void ActionChange(TBasicAction* Sender, bool CheckDefaults);
    void Notification(TComponent* AComponent, TOperation Operation) override;

    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    virtual void DoContextPopup(TPoint MousePos, bool& Handled);
    // The source's side of a drag: the drag object (OnStartDrag) and the end (OnEndDrag; X, Y
    // in client coordinates).
    virtual void DoStartDrag(std::unique_ptr<TDragObject>& DragObject);
    virtual void DoEndDrag(TObject* Target, int X, int Y);
    // The target's side: whether a drop would be taken (OnDragOver) and the drop (OnDragDrop);
    // X, Y in client coordinates.
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void DragDrop(TObject* Source, int X, int Y);
    // The default CM_DRAG handling: the target's side above, and this control as target.
    virtual void CMDrag(TMessage& Message);
    virtual void Resize();
    // Called before Visible changes.
    virtual void VisibleChanging() {}
    // Tells the peer (of this control or, without a window, its parent) what changed.
    virtual void PeerChanged(int what);
    // Rectangle this control covers in its parent's image (TGraphicControl) — repaint it.
    void InvalidateControl();

    // Message handlers called by Dispatch.
    virtual void WMLButtonDown(TWMMouse& Message);
    virtual void WMLButtonUp(TWMMouse& Message);
    virtual void WMLButtonDblClk(TWMMouse& Message);
    virtual void WMRButtonDown(TWMMouse& Message);
    virtual void WMRButtonUp(TWMMouse& Message);
    virtual void WMRButtonDblClk(TWMMouse& Message);
    virtual void WMMButtonDown(TWMMouse& Message);
    virtual void WMMButtonUp(TWMMouse& Message);
    virtual void WMMouseMove(TWMMouse& Message);
    virtual void WMMouseWheel(TWMMouseWheel& Message);
    virtual void CMMouseWheel(TMessage& Message);
    virtual void WMContextMenu(TWMContextMenu& Message);
    virtual void WMCancelMode(TWMNoParams& Message);
    virtual void CMMouseEnter(TMessage& Message);
    virtual void CMMouseLeave(TMessage& Message);
    virtual void CMEnabledChanged(TMessage& Message);
    virtual void CMVisibleChanged(TMessage& Message);
    virtual void CMTextChanged(TMessage& Message);
    virtual void CMFontChanged(TMessage& Message);
    virtual void CMColorChanged(TMessage& Message);
    virtual void CMCursorChanged(TMessage& Message);
    virtual void CMParentFontChanged(TMessage& Message);
    virtual void CMParentColorChanged(TMessage& Message);
    virtual void CMBiDiModeChanged(TMessage& Message);
    virtual void CMParentBiDiModeChanged(TMessage& Message);
    virtual void CMParentShowHintChanged(TMessage& Message);
    virtual void CMHitTest(TMessage& Message);
    virtual void CMHintShow(TMessage& Message);
    virtual void WMWindowPosChanged(TMessage& Message);

    void DoMouseDown(TWMMouse& Message, TMouseButton Button, TShiftState Shift);
    void DoMouseUp(TWMMouse& Message, TMouseButton Button);
    void SendCancelMode(TControl* Sender);

    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;

private:
    friend class TWinControl;
    void fontChanged();
    TWinControl* parent_ = nullptr;
    bool visible_ = true;
    bool enabled_ = true;
    std::string text_;
    TColor color_ = clWindow;
    bool parentColor_ = false;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    TBiDiMode biDiMode_ = bdLeftToRight;
    bool parentBiDiMode_ = true;
    TCursor cursor_ = crDefault;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TAlign align_ = alNone;
    TAnchors anchors_ = akTopLeft;
    TPopupMenu* popupMenu_ = nullptr;
    int helpContext_ = 0;
    unsigned controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    std::unique_ptr<TControlActionLink> actionLink_;
    unsigned controlState_ = 0;
    TDragMode dragMode_ = dmManual;
    // Distances kept by akRight / akBottom anchors, taken when the parent size is known.
    int anchorRight_ = -1;
    int anchorBottom_ = -1;
    bool updatingParentFont_ = false;
    // Shared with handlers that call out and must know whether the control still exists.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    friend class TCustomForm;
    friend class THintWindow;
};

// --- TWinControl -----------------------------------------------------------------------------
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    // The window handle, created (with the native peer, when a back end is installed) on
    // first use. DestroyHandle keeps the control's state; the next Handle() makes a new one.
    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded();
    void DestroyHandle();
    void RecreateWnd();
    TWindowPeer* Peer() const { return peer_.get(); }
    // The kind of native peer this control wants ("WINDOW": a custom-drawn window).
    virtual std::string PeerClassName() const { return "WINDOW"; }
    // Entry point for messages from outside (the loop, peers, tests): exceptions escaping the
    // window procedure go to Application->HandleException.
    void MainWndProc(TMessage& Message);

    int ControlCount() const { return int(controls_.size()); }
    TControl* Controls(int index) const { return controls_.at(std::size_t(index)); }
    void InsertControl(TControl* AControl);
    // The children are scaled first.
    void ChangeScale(int M, int D) override;
    void RemoveControl(TControl* AControl);
    bool ContainsControl(const TControl* Control) const;
    // The topmost visible child at p (client coordinates).
    TControl* ControlAtPos(TPoint p, bool AllowDisabled, bool AllowWinControls = false) const;
    void Broadcast(TMessage& Message);
    void Realign();
    void DisableAlign() { ++alignDisabled_; }
    void EnableAlign();

    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool v);
    int TabOrder() const;
    void SetTabOrder(int v);
    // Windowed children that take part in Tab order, in order (depth first).
    void GetTabOrderList(std::vector<TWinControl*>& list) const;
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                 bool CheckParent) const;
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);

    bool Focused() const;
    virtual bool CanFocus() const;
    virtual void SetFocus();
    bool Showing() const { return IsShowing(); }

    void Invalidate() override;
    void Update() override;
    void Repaint() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetParent(TWinControl* AParent) override;
    void SetText(const std::string& v) override;

    // The image the control paints into; nullptr for controls that do not paint themselves.
    TBitmap* BackingImage() const { return backing_.get(); }
    // Whether a WM_PAINT (or a WM_NCPAINT of the frame) is due.
    bool NeedsPaint() const;
    // Inside the non-client frame a window's style asks for (WindowFrame.h).
    TRect ClientRect() const override;
    // Paints the control and its windowed children (their images) into dest at (X, Y). A
    // window region clips the window and its children; pop-ups are drawn last, placed by
    // their screen position.
    void PaintTo(TCanvas* dest, int X, int Y);
    // The shape set by SetWindowRgn (window coordinates); nullptr: the whole rectangle.
    const TRegion* WindowRegion() const { return region_.get(); }
    // Created with WS_POPUP: a top-level window whose Left/Top are screen coordinates.
    bool IsPopupWindow() const { return handle_ && (style_ & WS_POPUP); }
    // A layered window (WS_EX_LAYERED) shows the picture UpdateLayeredWindow gave it (32-bit,
    // premultiplied alpha) or else its own image, blended with LayeredAlpha.
    bool IsLayeredWindow() const { return handle_ && (exStyle_ & WS_EX_LAYERED); }
    const TBitmap* LayeredImage() const { return layeredImage_.get(); }
    std::uint8_t LayeredAlpha() const { return layeredAlpha_; }
    TPoint ClientOrigin() const override;

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    // Child style, WS_DISABLED / WS_TABSTOP from the control, its bounds and its parent.
    virtual void CreateParams(TCreateParams& Params);
    virtual void CreateWnd();
    virtual void DestroyWnd();
    virtual void CreateHandle() { CreateWnd(); }
    // Top-level windows (forms, hint windows) show without a parent.
    virtual bool IsTopLevelWindow() const { return false; }
    // Controls that paint themselves call this (TCustomControl does): WM_PAINT then paints
    // into the backing image.
    void EnableBackingImage();
    virtual void PaintWindow(HDC DC);
    // Paints the graphic (windowless) children on DC, from First on.
    void PaintControls(HDC DC, TControl* First);
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    virtual void KeyPress(char32_t& Key);
    virtual void DoEnter();
    virtual void DoExit();
    bool DoKeyDown(TWMKey& Message);
    bool DoKeyUp(TWMKey& Message);
    bool DoKeyPress(TWMKey& Message);
    void PeerChanged(int what) override;

    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    void WndProc(TMessage& Message) override;

    virtual void WMPaint(TWMPaint& Message);
    virtual void WMEraseBkgnd(TWMEraseBkgnd& Message);
    virtual void WMSize(TWMSize& Message);
    virtual void WMSetFocus(TWMSetFocus& Message);
    virtual void WMKillFocus(TWMKillFocus& Message);
    virtual void WMKeyDown(TWMKey& Message);
    virtual void WMKeyUp(TWMKey& Message);
    virtual void WMChar(TWMKey& Message);
    virtual void WMSysKeyDown(TWMKey& Message);
    virtual void WMSysKeyUp(TWMKey& Message);
    virtual void WMSysChar(TWMKey& Message);
    virtual void CNKeyDown(TWMKey& Message);
    virtual void CNKeyUp(TWMKey& Message);
    virtual void CNChar(TWMKey& Message);
    virtual void CNSysKeyDown(TWMKey& Message);
    virtual void CNSysChar(TWMKey& Message);
    virtual void WMGetDlgCode(TMessage& Message);
    virtual void CMDialogKey(TWMKey& Message);
    virtual void CMDialogChar(TWMKey& Message);
    virtual void CMWantSpecialKey(TWMKey& Message);
    virtual void WMNCHitTest(TWMNCHitTest& Message);
    virtual void WMSetCursor(TWMSetCursor& Message);
    virtual void WMCommand(TWMCommand& Message);
    virtual void WMNotify(TMessage& Message);
    virtual void WMTimer(TWMTimer& Message);
    virtual void CMEnter(TMessage& Message);
    virtual void CMExit(TMessage& Message);
    virtual void CMShowingChanged(TMessage& Message);
    virtual void WMCaptureChanged(TMessage& Message);
    void CMVisibleChanged(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMColorChanged(TMessage& Message) override;
    void CMBiDiModeChanged(TMessage& Message) override;

private:
    friend class TControl;
    friend class TCustomForm;
    friend LONG GetWindowLong(HWND handle, int index);
    friend LONG SetWindowLong(HWND handle, int index, LONG value);
    friend struct LayeredWindowAccess;
    friend int SetWindowRgn(HWND handle, HRGN rgn, bool redraw);
    friend bool ValidateRect(HWND handle, const TRect* rect);
    friend bool IsWindowEnabled(HWND handle);
    friend struct WindowFrameAccess;
    void updateShowing();
    // The non-client frame (WindowFrame.cpp): calculated with WM_NCCALCSIZE, painted with
    // WM_NCPAINT; nullptr while the window has none.
    void calcFrame();
    void paintFrame();
    // PaintTo without the pop-ups, which it collects.
    void paintTo(TCanvas* dest, int X, int Y, std::vector<TWinControl*>& popups);
    void routeMouse(TMessage& Message, bool& handled);
    void alignChildren();
    HWND handle_ = nullptr;
    std::unique_ptr<TWindowPeer> peer_;
    std::vector<TControl*> controls_;   // z order, bottom first
    std::vector<TWinControl*> tabList_; // windowed children in tab order
    std::unique_ptr<TBitmap> backing_;
    bool invalid_ = false;
    bool tabStop_ = false;
    bool showing_ = false;
    int alignDisabled_ = 0;
    bool aligning_ = false;
    DWORD style_ = 0; // of the window, from CreateParams; WS_DISABLED follows Enabled
    DWORD exStyle_ = 0;
    std::unique_ptr<TRegion> region_;
    std::unique_ptr<TBitmap> layeredImage_;
    std::uint8_t layeredAlpha_ = 255;
    std::unique_ptr<TWindowFrame> frame_;
};

// --- TCustomControl / TGraphicControl --------------------------------------------------------
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    // Draws into BackingImage(), in WM_PAINT and outside it alike.
    TCanvas* Canvas() const;

protected:
    virtual void Paint() {}
    void PaintWindow(HDC DC) override;
};

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    // Draws on the parent's image, at this control's place and clipped to it; while a
    // WM_PAINT with a device context of another image runs, on that context instead.
    TCanvas* Canvas();

protected:
    virtual void Paint() {}
    void Dispatch(TMessage& Message) override;
    virtual void WMPaint(TWMPaint& Message);

private:
    void resetCanvas();
    std::unique_ptr<TCanvas> canvas_;
    TBitmap* canvasTarget_ = nullptr;
    TRect canvasBounds_;
    HDC paintDC_ = nullptr;
};

// --- the window-level functions --------------------------------------------------------------
TWinControl* FindControl(HWND handle);
bool IsWindow(HWND handle);
bool IsWindowVisible(HWND handle);
bool IsWindowEnabled(HWND handle);
// Sends through the window procedure at once (exceptions reach the caller).
LRESULT SendMessage(HWND handle, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
// Queues the message on the UI thread; it is delivered by the message loop after the current
// handler returns. Thread-safe. False when the handle is not a window.
bool PostMessage(HWND handle, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
// Delivers a message the way the message loop does: key messages first go through the
// control's CN_ key handling (dialog keys, accelerators), then to MainWndProc. False when the
// CN_ handling consumed a key message (no WM_CHAR follows such a key).
bool DeliverMessage(TWinControl* target, TMessage& Message);
// The same for the helpers above a windowed control: a point in the window's client area.
void DeliverMouse(TWinControl* target, UINT Msg, TPoint client, WPARAM keys);

HWND GetFocus();
// Moves the focus (WM_KILLFOCUS to the old window, WM_SETFOCUS to the new); returns the old.
HWND SetFocus(HWND handle);
HWND GetCapture();
HWND SetCapture(HWND handle);
bool ReleaseCapture();
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);
bool InvalidateRect(HWND handle, const TRect* rect, bool erase);
// Marks the window as painted without painting it (a paint handler that paints nothing).
bool ValidateRect(HWND handle, const TRect* rect);
bool UpdateWindow(HWND handle);
bool ShowWindow(HWND handle, int cmd);
bool EnableWindow(HWND handle, bool enable);
// GWL_STYLE (WS_VISIBLE while the window shows) or GWL_EXSTYLE; 0 for anything else.
LONG GetWindowLong(HWND handle, int index);
// GWL_EXSTYLE, or the control's own style bits (the low word of GWL_STYLE; the control gets
// WM_STYLECHANGED); returns the previous value (0 for anything else). Dropping WS_EX_LAYERED
// forgets the layered picture.
LONG SetWindowLong(HWND handle, int index, LONG value);
// The window takes rgn (window coordinates) as its shape and owns it from now on; nullptr
// removes the shape. 0 when the handle is not a window.
int SetWindowRgn(HWND handle, HRGN rgn, bool redraw);
// Copies the window's shape into rgn: its kind, or RGN_ERROR without a shape.
int GetWindowRgn(HWND handle, HRGN rgn);

// Keyboard state: negative when the key is down. Peers and tests set the modifier state.
short GetKeyState(int vk);
short GetAsyncKeyState(int vk);
void SetModifierKeyState(TShiftState shift);
TShiftState KeyboardStateToShiftState();
TShiftState KeyDataToShiftState(LPARAM KeyData);
bool GetCursorPos(TPoint& p);
// For peers and tests: where the mouse is (screen coordinates).
void SetCursorPosition(TPoint p);
// Moves the mouse pointer on the screen (the native pointer too, where there is one).
bool SetCursorPos(int X, int Y);
// "&x" in Str is the accelerator of VK ("&&" is a plain "&").
bool IsAccel(WORD VK, const std::string& Str);
// The text without its "&" accelerator marks.
std::string StripHotkey(const std::string& Text);
void MessageBeep(unsigned type);

// For the message loop: sends WM_PAINT to the showing windows that are invalid; true when any.
bool PaintInvalidWindows();

// The control the mouse is over (for CM_MOUSEENTER / CM_MOUSELEAVE).
TControl* MouseControl();

// Opens popup menus for TControl without depending on Menus.h; TPopupMenu installs these.
struct TPopupMenuHooks {
    TComponent* (*AsComponent)(TPopupMenu* menu) = nullptr;
    void (*Popup)(TPopupMenu* menu, TControl* control, int X, int Y) = nullptr;
};
void SetPopupMenuHooks(const TPopupMenuHooks& hooks);
