#include "platform/qt/QtWindowPeer.h"

#include "platform/qt/QtDragDrop.h"
#include "platform/qt/QtWindowFrame.h"

#include "platform/ui/core/Forms.h"
#include "platform/ui/core/WindowFrame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QRegion>
#include <QWheelEvent>
#include <QWindow>

#include <cstring>

namespace {
// Shows the backing image of a custom-drawn control, painting the control first when needed.
class CustomDrawWidget : public QWidget {
public:
    CustomDrawWidget(TWinControl* control, QWidget* parent) : QWidget(parent), control(control) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::NoFocus);
        // Drags go to the drop target registered for the control, if any.
        setAcceptDrops(true);
    }
    TWinControl* control;
    bool* painting = nullptr;

protected:
    // The control has had the input as a message; none of it goes on to the parent widget, so
    // the form never sees a move that belongs to a control under the mouse.
    void mousePressEvent(QMouseEvent* e) override { e->accept(); }
    void mouseReleaseEvent(QMouseEvent* e) override { e->accept(); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { e->accept(); }
    void mouseMoveEvent(QMouseEvent* e) override { e->accept(); }
    // A wheel message the control leaves alone reaches its parent through the model.
    void wheelEvent(QWheelEvent* e) override { e->accept(); }
    // Keys too: a key the control left to its default handling ends there, as it does in the
    // classic model; passed on to the parent widget, it would reach the form a second time as
    // a key of its own (an arrow taken for moving between the dialog's controls).
    void keyPressEvent(QKeyEvent* e) override { e->accept(); }
    void keyReleaseEvent(QKeyEvent* e) override { e->accept(); }
    void dragEnterEvent(QDragEnterEvent* e) override {
        if (!QtDragEvent(control, e)) e->ignore();
    }
    void dragMoveEvent(QDragMoveEvent* e) override {
        if (!QtDragEvent(control, e)) e->ignore();
    }
    void dragLeaveEvent(QDragLeaveEvent* e) override { QtDragEvent(control, e); }
    void dropEvent(QDropEvent* e) override {
        if (!QtDragEvent(control, e)) e->ignore();
    }

    void paintEvent(QPaintEvent*) override {
        if (!control) return;
        if (painting) *painting = true;
        if (control->NeedsPaint()) control->Update();
        if (painting) *painting = false;
        // A layered window shows its own picture with its alpha, or its image with its opacity.
        const TBitmap* layered = control->LayeredImage();
        const TBitmap* image = layered ? layered : control->BackingImage();
        if (!image || image->Width() == 0 || image->Height() == 0) return;
        QImage view(reinterpret_cast<const uchar*>(image->Pixels32()), image->Width(),
                    image->Height(), image->Stride32() * 4,
                    layered ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        QPainter p(this);
        if (control->IsLayeredWindow()) {
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.fillRect(rect(), Qt::transparent);
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
            p.setOpacity(control->LayeredAlpha() / 255.0);
        }
        p.drawImage(0, 0, view);
    }
};

bool offscreen() {
    return QGuiApplication::platformName() == QLatin1String("offscreen");
}

bool isFixedBorder(TFormBorderStyle s) {
    return s == bsSingle || s == bsDialog || s == bsToolWindow || s == bsNone;
}

// The window type and the frame's buttons of a form. Only the buttons asked for are shown (the
// window manager adds none of its own); a form shown modally is a dialog owned by another
// window: no task-bar entry and no minimise button.
Qt::WindowFlags formWindowFlags(const TCustomForm* form) {
    const Qt::WindowFlags buttons = Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    const bool menu = form->BorderIcons().Contains(biSystemMenu);
    Qt::WindowFlags flags;
    switch (form->BorderStyle()) {
    case bsNone:
        return (form->Modal() ? Qt::Dialog : Qt::Window) | Qt::FramelessWindowHint;
    case bsDialog:
        flags = Qt::Dialog | buttons;
        break;
    case bsToolWindow:
    case bsSizeToolWin:
        flags = Qt::Tool | buttons;
        break;
    default:
        flags = (form->Modal() ? Qt::Dialog : Qt::Window) | buttons;
        if (!form->Modal() && menu && form->BorderIcons().Contains(biMinimize))
            flags |= Qt::WindowMinimizeButtonHint;
        if (menu && form->BorderIcons().Contains(biMaximize) && form->BorderStyle() == bsSizeable)
            flags |= Qt::WindowMaximizeButtonHint;
        break;
    }
    if (menu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    return flags;
}
} // namespace

// --- conversions -----------------------------------------------------------------------------
QColor ToQColor(TColor color) {
    TColor c = ColorToRGB(color);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

QFont ToQFont(const TFont& font) {
    QFont f(QString::fromStdString(font.ResolvedFamily()));
    int h = font.Height();
    f.setPixelSize(std::max(1, h < 0 ? -h : h * 4 / 5));
    TFontStyles s = font.Style();
    f.setBold(s.Contains(fsBold));
    f.setItalic(s.Contains(fsItalic));
    f.setUnderline(s.Contains(fsUnderline));
    f.setStrikeOut(s.Contains(fsStrikeOut));
    return f;
}

Qt::CursorShape ToQtCursor(TCursor cursor) {
    switch (cursor) {
    case crNone:
        return Qt::BlankCursor;
    case crCross:
        return Qt::CrossCursor;
    case crIBeam:
        return Qt::IBeamCursor;
    case crSizeNESW:
        return Qt::SizeBDiagCursor;
    case crSizeNS:
        return Qt::SizeVerCursor;
    case crSizeNWSE:
        return Qt::SizeFDiagCursor;
    case crSizeWE:
        return Qt::SizeHorCursor;
    case crUpArrow:
        return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait:
        return Qt::WaitCursor;
    case crDrag:
    case crMultiDrag:
        return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo:
        return Qt::ForbiddenCursor;
    case crHSplit:
        return Qt::SplitHCursor;
    case crVSplit:
        return Qt::SplitVCursor;
    case crAppStart:
        return Qt::BusyCursor;
    case crHelp:
        return Qt::WhatsThisCursor;
    case crHandPoint:
        return Qt::PointingHandCursor;
    case crSizeAll:
        return Qt::SizeAllCursor;
    default:
        return Qt::ArrowCursor;
    }
}

QCursor ToQCursor(TCursor cursor) {
    const TCursorImage* picture = cursor > 0 && Screen ? Screen->CursorImage(cursor) : nullptr;
    if (!picture || !picture->Image || picture->Image->Empty()) return QCursor(ToQtCursor(cursor));
    const TBitmap& b = *picture->Image;
    QImage image(b.Width(), b.Height(), QImage::Format_ARGB32);
    const TColor key = ColorToRGB(b.TransparentColor());
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const TColor c = b.PixelColor(x, y);
            image.setPixel(x, y,
                           c == key ? 0u : qRgba(GetRValue(c), GetGValue(c), GetBValue(c), 255));
        }
    return QCursor(QPixmap::fromImage(image), picture->HotSpot.X, picture->HotSpot.Y);
}

namespace {
// The classic scan code of a numeric keypad key (0 for others): key messages carry it in bits
// 16..23 of their key data, where controls tell the keypad's keys from the main ones.
int KeypadScanCode(int key) {
    switch (key) {
    case Qt::Key_7:
        return 0x47;
    case Qt::Key_8:
        return 0x48;
    case Qt::Key_9:
        return 0x49;
    case Qt::Key_Minus:
        return 0x4A;
    case Qt::Key_4:
        return 0x4B;
    case Qt::Key_5:
        return 0x4C;
    case Qt::Key_6:
        return 0x4D;
    case Qt::Key_Plus:
        return 0x4E;
    case Qt::Key_1:
        return 0x4F;
    case Qt::Key_2:
        return 0x50;
    case Qt::Key_3:
        return 0x51;
    case Qt::Key_0:
        return 0x52;
    case Qt::Key_Period:
    case Qt::Key_Comma:
    case Qt::Key_Delete:
        return 0x53;
    default:
        return 0;
    }
}
} // namespace

WORD QtKeyToVK(int key, Qt::KeyboardModifiers modifiers) {
    bool keypad = modifiers & Qt::KeypadModifier;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return WORD(keypad ? VK_NUMPAD0 + (key - Qt::Key_0) : key);
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return WORD(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return WORD(VK_F1 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    case Qt::Key_Alt:
        return VK_MENU;
    case Qt::Key_Menu:
        return VK_APPS;
    case Qt::Key_Pause:
        return VK_PAUSE;
    case Qt::Key_CapsLock:
        return VK_CAPITAL;
    case Qt::Key_NumLock:
        return VK_NUMLOCK;
    case Qt::Key_ScrollLock:
        return VK_SCROLL;
    case Qt::Key_Print:
        return VK_SNAPSHOT;
    case Qt::Key_Asterisk:
        return keypad ? VK_MULTIPLY : 0;
    case Qt::Key_Plus:
        return keypad ? VK_ADD : 0;
    case Qt::Key_Minus:
        return keypad ? VK_SUBTRACT : 0;
    case Qt::Key_Slash:
        return keypad ? VK_DIVIDE : 0;
    case Qt::Key_Period:
        return keypad ? VK_DECIMAL : 0;
    default:
        return 0;
    }
}

TShiftState QtModifiersToShift(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
    TShiftState s;
    if (modifiers & Qt::ShiftModifier) s.Include(ssShift);
    if (modifiers & Qt::ControlModifier) s.Include(ssCtrl);
    if (modifiers & Qt::AltModifier) s.Include(ssAlt);
    if (buttons & Qt::LeftButton) s.Include(ssLeft);
    if (buttons & Qt::RightButton) s.Include(ssRight);
    if (buttons & Qt::MiddleButton) s.Include(ssMiddle);
    return s;
}

// --- TQtWindowPeer ---------------------------------------------------------------------------
TQtWindowPeer::TQtWindowPeer(TWinControl* control) : control_(control) {}

namespace {
constexpr const char* PeerProperty = "knxPeer";
}

TQtWindowPeer::~TQtWindowPeer() {
    if (widget_) {
        widget_->removeEventFilter(this);
        widget_->setProperty(PeerProperty, QVariant());
        if (auto custom = dynamic_cast<CustomDrawWidget*>(widget_.data())) {
            custom->control = nullptr;
            custom->painting = nullptr;
        }
        widget_->hide();
        // The widget may be inside its own event delivery (a handler destroyed the control).
        widget_->deleteLater();
    }
}

QWidget* TQtWindowPeer::ParentWidget() const {
    TWinControl* parent = control_->Parent();
    if (!parent) return nullptr;
    auto peer = dynamic_cast<TQtWindowPeer*>(parent->Peer());
    return peer ? peer->ChildContainer() : nullptr;
}

bool TQtWindowPeer::IsTopLevel() const {
    return control_->Parent() == nullptr || control_->IsPopupWindow();
}

TQtWindowPeer* TQtWindowPeer::OfWidget(const QObject* Widget) {
    QObject* peer = Widget ? Widget->property(PeerProperty).value<QObject*>() : nullptr;
    return dynamic_cast<TQtWindowPeer*>(peer);
}

void TQtWindowPeer::Attach(QWidget* widget) {
    widget_ = widget;
    widget->setProperty(PeerProperty, QVariant::fromValue(static_cast<QObject*>(this)));
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
    if (control_->IsPopupWindow()) {
        // An owned frameless window above its owner, kept out of the task bar; showing it does
        // not take the activation.
        Qt::WindowFlags flags = Qt::Tool | Qt::FramelessWindowHint;
        if (DWORD(GetWindowLong(control_->Handle(), GWL_EXSTYLE)) & WS_EX_TOPMOST)
            flags |= Qt::WindowStaysOnTopHint;
        widget->setWindowFlags(flags);
        widget->setAttribute(Qt::WA_ShowWithoutActivating);
    }
    for (int what : {pcBorder, pcBounds, pcFont, pcCursor, pcEnabled, pcText, pcRegion, pcVisible})
        Changed(what);
}

void TQtWindowPeer::Changed(int what) {
    if (!widget_) return;
    switch (what) {
    case pcBounds:
        if (IsTopLevel()) {
            TPoint o = control_->ClientOrigin();
            int w = control_->ClientWidth(), h = control_->ClientHeight();
            auto form = dynamic_cast<TCustomForm*>(control_);
            if (form && isFixedBorder(form->BorderStyle())) widget_->setFixedSize(w, h);
            widget_->setGeometry(o.X, o.Y, w, h);
        } else {
            OuterWidget()->setGeometry(control_->Left(), control_->Top(), control_->Width(),
                                       control_->Height());
        }
        break;
    case pcVisible:
        if (auto form = dynamic_cast<TCustomForm*>(control_))
            widget_->setWindowModality(form->Modal() ? Qt::ApplicationModal : Qt::NonModal);
        widget_->setVisible(control_->Showing());
        if (OuterWidget() != widget_) OuterWidget()->setVisible(control_->Showing());
        break;
    case pcEnabled:
        widget_->setEnabled(IsWindowEnabled(control_->Handle()));
        break;
    case pcRegion:
        if (const TRegion* shape = control_->WindowRegion()) {
            QRegion mask;
            for (const TRect& r : shape->Rects())
                mask += QRect(r.Left, r.Top, r.Width(), r.Height());
            // Qt reads an empty mask as none; an empty shape shows nothing.
            if (mask.isEmpty()) mask = QRegion(-1, -1, 1, 1);
            widget_->setMask(mask);
        } else {
            widget_->clearMask();
        }
        break;
    case pcText:
        if (IsTopLevel()) widget_->setWindowTitle(QString::fromStdString(control_->Text()));
        break;
    case pcFont:
        widget_->setFont(ToQFont(*control_->Font()));
        break;
    case pcBorder:
        syncLayoutDirection();
        break;
    case pcCursor:
        if (control_->Cursor() == crDefault)
            widget_->unsetCursor();
        else
            widget_->setCursor(ToQCursor(control_->Cursor()));
        break;
    case pcZOrder:
        OuterWidget()->raise();
        break;
    case pcImage:
        widget_->update();
        break;
    case pcLayered:
        if (IsTopLevel() && control_->IsLayeredWindow()) {
            widget_->setAttribute(Qt::WA_TranslucentBackground);
            widget_->setAttribute(Qt::WA_OpaquePaintEvent, false);
        }
        widget_->update();
        break;
    default:
        break;
    }
}

// The reading order is part of the window's style (pcBorder): right-to-left alignment lays the
// native widget out from the right.
void TQtWindowPeer::syncLayoutDirection() {
    widget_->setLayoutDirection(control_->UseRightToLeftAlignment() ? Qt::RightToLeft
                                                                    : Qt::LeftToRight);
}

void TQtWindowPeer::Invalidate() {
    if (widget_) widget_->update();
}

void TQtWindowPeer::SetFocus() {
    if (!widget_ || widget_->hasFocus()) return;
    settingFocus_ = true;
    widget_->setFocus(Qt::OtherFocusReason);
    settingFocus_ = false;
}

void TQtWindowPeer::DefaultProc(TMessage& Message) {
    if (delivering_ && Message.Msg == delivering_->Msg) defaultCalled_ = true;
}

bool TQtWindowPeer::Grab(TBitmap& bitmap) {
    if (!widget_) return false;
    QImage img = widget_->grab().toImage().convertToFormat(QImage::Format_RGB32);
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(img.width(), img.height());
    for (int y = 0; y < img.height(); ++y) {
        std::memcpy(bitmap.Pixels32() + std::size_t(y) * std::size_t(bitmap.Stride32()),
                    img.constScanLine(y), std::size_t(img.width()) * 4);
        for (int x = 0; x < img.width(); ++x)
            bitmap.Pixels32()[std::size_t(y) * std::size_t(bitmap.Stride32()) + std::size_t(x)] |=
                0xFF000000u;
    }
    bitmap.Modified();
    return true;
}

void TQtWindowPeer::Activate() {
    // The offscreen platform has no window stacking.
    if (!widget_ || !IsTopLevel() || offscreen()) return;
    widget_->raise();
    widget_->activateWindow();
}

void TQtWindowPeer::SendCommand(WORD code) {
    TMessage m{CN_COMMAND, MAKEWPARAM(0, code), LPARAM(control_->Handle()), 0};
    control_->MainWndProc(m);
}

void TQtWindowPeer::PostCommand(WORD code) {
    PostMessage(control_->Handle(), CN_COMMAND, MAKEWPARAM(0, code), LPARAM(control_->Handle()));
}

bool TQtWindowPeer::Deliver(TMessage& msg) {
    const TMessage* prev = delivering_;
    bool prevCalled = defaultCalled_;
    delivering_ = &msg;
    defaultCalled_ = false;
    DeliverMessage(control_, msg);
    bool called = defaultCalled_;
    delivering_ = prev;
    defaultCalled_ = prevCalled;
    return called;
}

bool TQtWindowPeer::eventFilter(QObject* watched, QEvent* event) {
    if (watched != widget_.data()) return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        return mouseEvent(event);
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return keyEvent(event);
    case QEvent::FocusIn:
        if (!settingFocus_ && control_->HandleAllocated() && GetFocus() != control_->Handle())
            ::SetFocus(control_->Handle());
        return false;
    case QEvent::Leave: {
        TMessage m{WM_MOUSELEAVE, 0, 0, 0};
        Deliver(m);
        return false;
    }
    case QEvent::Close:
        if (IsTopLevel()) {
            event->ignore();
            TMessage m{WM_CLOSE, 0, 0, 0};
            control_->MainWndProc(m);
            return true;
        }
        return false;
    case QEvent::WindowActivate:
        // The user activated the window: the model's active form and focus follow.
        if (auto form = dynamic_cast<TCustomForm*>(control_);
            form && IsTopLevel() && Screen->ActiveForm() != form && form->CanFocus())
            form->SetFocus();
        return false;
    case QEvent::Move:
        if (IsTopLevel() && event->spontaneous()) {
            QPoint at = widget_->geometry().topLeft();
            TPoint origin = control_->ClientOrigin();
            int dx = at.x() - origin.X, dy = at.y() - origin.Y;
            if (dx || dy)
                control_->SetBounds(control_->Left() + dx, control_->Top() + dy, control_->Width(),
                                    control_->Height());
        }
        return false;
    case QEvent::Resize:
        if (IsTopLevel() && event->spontaneous()) {
            QSize s = widget_->size();
            if (s.width() != control_->ClientWidth() || s.height() != control_->ClientHeight())
                control_->SetClientSize(s.width(), s.height());
        }
        return false;
    default:
        return false;
    }
}

bool TQtWindowPeer::mouseEvent(QEvent* event) {
    QPointer<TQtWindowPeer> alive(this);
    if (event->type() == QEvent::Wheel) {
        auto* e = static_cast<QWheelEvent*>(event);
        TShiftState shift = QtModifiersToShift(e->modifiers(), e->buttons());
        SetModifierKeyState(shift);
        WPARAM keys = 0;
        if (shift.Contains(ssShift)) keys |= MK_SHIFT;
        if (shift.Contains(ssCtrl)) keys |= MK_CONTROL;
        TPoint screen = control_->ClientToScreen({int(e->position().x()), int(e->position().y())});
        TMessage m{WM_MOUSEWHEEL, MAKEWPARAM(int(keys), e->angleDelta().y()), PointToLParam(screen),
                   0};
        bool native = Deliver(m);
        return !(alive && native);
    }
    auto* e = static_cast<QMouseEvent*>(event);
    TShiftState shift = QtModifiersToShift(e->modifiers(), e->buttons());
    SetModifierKeyState(shift);
    WPARAM keys = 0;
    if (shift.Contains(ssShift)) keys |= MK_SHIFT;
    if (shift.Contains(ssCtrl)) keys |= MK_CONTROL;
    if (e->buttons() & Qt::LeftButton) keys |= MK_LBUTTON;
    if (e->buttons() & Qt::RightButton) keys |= MK_RBUTTON;
    if (e->buttons() & Qt::MiddleButton) keys |= MK_MBUTTON;
    UINT msg = WM_MOUSEMOVE;
    int button = e->button() == Qt::RightButton ? 1 : e->button() == Qt::MiddleButton ? 2 : 0;
    static const UINT down[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    static const UINT up[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
    static const UINT dbl[] = {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK};
    if (event->type() == QEvent::MouseButtonPress)
        msg = down[button];
    else if (event->type() == QEvent::MouseButtonRelease)
        msg = up[button];
    else if (event->type() == QEvent::MouseButtonDblClick)
        msg = dbl[button];
    TPoint p{int(e->position().x()), int(e->position().y())};
    const TMessage probe{msg, keys, PointToLParam(p), 0};
    const TMessage* prev = delivering_;
    delivering_ = &probe;
    defaultCalled_ = false;
    DeliverMouse(control_, msg, p, keys);
    if (!alive) return true;
    bool native = defaultCalled_;
    delivering_ = prev;
    return !native;
}

bool TQtWindowPeer::keyEvent(QEvent* event) {
    // Keys go to the window that has the model's focus. Qt may have left its own focus on
    // another widget of the same window (the window itself, after an editor under its focus
    // closed), whose control would take an arrow key for moving between the dialog's controls.
    if (TWinControl* focused = FindControl(GetFocus()); focused && focused != control_) {
        auto* peer = dynamic_cast<TQtWindowPeer*>(focused->Peer());
        if (peer && peer->widget_ && widget_ && peer->widget_->window() == widget_->window())
            return peer->keyEvent(event);
    }
    QPointer<TQtWindowPeer> alive(this);
    auto* e = static_cast<QKeyEvent*>(event);
    TShiftState shift = QtModifiersToShift(e->modifiers());
    if (e->key() == Qt::Key_Backtab) shift.Include(ssShift);
    SetModifierKeyState(shift);
    bool alt = shift.Contains(ssAlt);
    WORD vk = QtKeyToVK(e->key(), e->modifiers());
    bool release = event->type() == QEvent::KeyRelease;
    LPARAM keyData = 1 | (alt ? AltMask : 0) | (release ? LPARAM(0xC0000000) : 0);
    if (e->modifiers() & Qt::KeypadModifier) keyData |= LPARAM(KeypadScanCode(e->key())) << 16;
    bool native = false;
    if (release) {
        if (vk) {
            TMessage m{UINT(alt ? WM_SYSKEYUP : WM_KEYUP), vk, keyData, 0};
            native = Deliver(m);
        }
        return !(alive && native);
    }
    if (vk) {
        TMessage m{UINT(alt ? WM_SYSKEYDOWN : WM_KEYDOWN), vk, keyData, 0};
        const TMessage* prev = delivering_;
        delivering_ = &m;
        defaultCalled_ = false;
        bool reached = DeliverMessage(control_, m);
        if (!alive) return true;
        native = defaultCalled_;
        delivering_ = prev;
        if (!reached) return true;
    }
    QString text = e->text();
    if (!text.isEmpty()) {
        for (char32_t c : text.toStdU32String()) {
            TMessage m{UINT(alt ? WM_SYSCHAR : WM_CHAR), WPARAM(c), keyData, 0};
            native = Deliver(m);
            if (!alive) return true;
        }
    }
    return !native;
}

// --- TQtCustomPeer ---------------------------------------------------------------------------
TQtCustomPeer::TQtCustomPeer(TWinControl* control) : TQtWindowPeer(control) {
    if (WindowFrame(control)) frame_ = new TQtWindowFrame(control, ParentWidget());
    auto* w = new CustomDrawWidget(control, frame_ ? frame_.data() : ParentWidget());
    w->painting = &painting_;
    if (control->PeerClassName() == "HINT")
        w->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    Attach(w);
}

TQtCustomPeer::~TQtCustomPeer() {
    if (frame_) {
        frame_->Detach();
        frame_->hide();
        frame_->deleteLater();
    }
}

QWidget* TQtCustomPeer::OuterWidget() const {
    return frame_ ? frame_.data() : Widget();
}

void TQtCustomPeer::syncFrame() {
    QWidget* w = Widget();
    if (!frame_ && WindowFrame(Control())) {
        frame_ = new TQtWindowFrame(Control(), w->parentWidget());
        frame_->setGeometry(w->geometry());
        w->setParent(frame_);
        w->setVisible(Control()->Showing());
        frame_->setVisible(Control()->Showing());
    }
    if (frame_) frame_->Sync(w);
}

void TQtCustomPeer::Changed(int what) {
    QWidget* w = Widget();
    if (!w || (what == pcImage && painting_)) return;
    if (what == pcFrame || (what == pcBounds && !IsTopLevel())) {
        if (what == pcBounds) TQtWindowPeer::Changed(what);
        syncFrame();
        return;
    }
    auto form = dynamic_cast<TCustomForm*>(Control());
    if (what == pcVisible && form && IsTopLevel() && form->Showing()) {
        // A modal form becomes a dialog owned by the window that opened it before it shows.
        if (w->windowFlags() != formWindowFlags(form)) Changed(pcBorder);
        TCustomForm* owner = form->ModalOwner();
        auto ownerPeer = owner ? dynamic_cast<TQtWindowPeer*>(owner->Peer()) : nullptr;
        QWidget* ownerWidget = ownerPeer ? ownerPeer->Widget() : nullptr;
        if (ownerWidget && ownerWidget->window()->windowHandle()) {
            w->winId();
            if (QWindow* handle = w->windowHandle())
                handle->setTransientParent(ownerWidget->window()->windowHandle());
        }
    }
    if (what == pcBorder && form && IsTopLevel()) {
        syncLayoutDirection();
        Qt::WindowFlags flags = formWindowFlags(form);
        if (w->windowFlags() == flags) return;
        bool wasVisible = w->isVisible();
        w->setWindowFlags(flags);
        if (!isFixedBorder(form->BorderStyle())) {
            w->setMinimumSize(0, 0);
            w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        }
        if (wasVisible) w->show();
        return;
    }
    TQtWindowPeer::Changed(what);
}
