#include "platform/qt/QtWindowFrame.h"

#include "platform/qt/QtWindowPeer.h"

#include "platform/ui/core/WindowFrame.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QSignalBlocker>

namespace {

// WM_NC?BUTTONDOWN with the hit-test code and the screen position of the press.
void sendNonClientPress(TWinControl* control, QMouseEvent* e, LRESULT hit) {
    if (!control) return;
    const UINT msg = e->button() == Qt::RightButton    ? WM_NCRBUTTONDOWN
                     : e->button() == Qt::MiddleButton ? WM_NCMBUTTONDOWN
                                                       : WM_NCLBUTTONDOWN;
    const QPoint at = e->globalPosition().toPoint();
    TMessage m{msg, WPARAM(hit), PointToLParam({at.x(), at.y()}), 0};
    control->MainWndProc(m);
}

// A window scroll bar: Qt's own bar, whose actions the control answers. The control decides the
// new position (SetScrollInfo); while the thumb is dragged it follows the pointer.
class WindowScrollBar : public QScrollBar {
public:
    WindowScrollBar(TWinControl** control, int bar, QWidget* parent)
        : QScrollBar(bar == SB_VERT ? Qt::Vertical : Qt::Horizontal, parent), control_(control),
          bar_(bar) {
        setFocusPolicy(Qt::NoFocus);
        setContextMenuPolicy(Qt::NoContextMenu);
        connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) {
            switch (action) {
            case SliderSingleStepSub:
                send(SB_LINEUP);
                break;
            case SliderSingleStepAdd:
                send(SB_LINEDOWN);
                break;
            case SliderPageStepSub:
                send(SB_PAGEUP);
                break;
            case SliderPageStepAdd:
                send(SB_PAGEDOWN);
                break;
            case SliderToMinimum:
                send(SB_TOP);
                break;
            case SliderToMaximum:
                send(SB_BOTTOM);
                break;
            case SliderMove:
                track(SB_THUMBTRACK);
                return;
            default:
                return;
            }
            // Qt applies the action after this signal: the control's position is the one kept.
            if (*control_) setSliderPosition(GetScrollPos((*control_)->Handle(), bar_));
        });
        connect(this, &QAbstractSlider::sliderReleased, this, [this] { track(SB_THUMBPOSITION); });
    }

    // Takes the control's scroll information, unless the thumb is being dragged.
    void sync(const TWindowScrollBar& info) {
        if (isSliderDown()) return;
        QSignalBlocker block(this);
        setRange(info.Min, info.MaxPos());
        setPageStep(std::max(int(info.Page), 1));
        setValue(info.Pos);
        setEnabled(info.Enabled && info.MaxPos() > info.Min);
    }

protected:
    void mousePressEvent(QMouseEvent* e) override {
        pressed_ = e->button() == Qt::LeftButton;
        QPointer<WindowScrollBar> alive(this);
        // A press on a bar is a press in the window's non-client area.
        sendNonClientPress(*control_, e, bar_ == SB_VERT ? HTVSCROLL : HTHSCROLL);
        if (alive) QScrollBar::mousePressEvent(e);
    }
    // Every press on the bar ends with SB_ENDSCROLL once the button is let go.
    void mouseReleaseEvent(QMouseEvent* e) override {
        QPointer<WindowScrollBar> alive(this);
        QScrollBar::mouseReleaseEvent(e);
        if (!alive || !pressed_ || e->button() != Qt::LeftButton) return;
        pressed_ = false;
        send(SB_ENDSCROLL);
    }

private:
    void track(WORD code) {
        if (!*control_) return;
        SetScrollTrackPos(*control_, bar_, sliderPosition());
        send(code, sliderPosition());
    }
    void send(WORD code, int pos = 0) {
        if (!*control_) return;
        TMessage m{UINT(bar_ == SB_VERT ? WM_VSCROLL : WM_HSCROLL),
                   MAKEWPARAM(code, WORD(std::clamp(pos, 0, 0xFFFF))), 0, 0};
        (*control_)->MainWndProc(m);
    }
    TWinControl** control_;
    int bar_;
    bool pressed_ = false;
};

} // namespace

TQtWindowFrame::TQtWindowFrame(TWinControl* control, QWidget* parent)
    : QWidget(parent), control_(control) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    for (int bar : {SB_HORZ, SB_VERT}) {
        bars_[bar] = new WindowScrollBar(&control_, bar, this);
        bars_[bar]->hide();
    }
}

void TQtWindowFrame::Detach() {
    control_ = nullptr;
}

QScrollBar* TQtWindowFrame::Bar(int Bar) const {
    return bars_[Bar == SB_VERT ? SB_VERT : SB_HORZ];
}

void TQtWindowFrame::Sync(QWidget* client) {
    const TWindowFrame* frame = control_ ? WindowFrame(control_) : nullptr;
    if (!frame) return;
    const TRect& c = frame->Client;
    client->setGeometry(c.Left, c.Top, c.Width(), c.Height());
    for (int bar : {SB_HORZ, SB_VERT}) {
        auto* b = static_cast<WindowScrollBar*>(bars_[bar]);
        const TRect r = ScrollBarRect(control_, bar);
        if (r.IsEmpty()) {
            b->hide();
            continue;
        }
        b->setGeometry(r.Left, r.Top, r.Width(), r.Height());
        b->sync(frame->Bars[bar]);
        b->show();
    }
    update();
}

void TQtWindowFrame::paintEvent(QPaintEvent*) {
    if (!control_) return;
    if (control_->NeedsPaint()) control_->Update();
    const TWindowFrame* frame = WindowFrame(control_);
    const TBitmap* image = frame ? frame->Image.get() : nullptr;
    if (!image || image->Width() == 0 || image->Height() == 0) return;
    QImage view(reinterpret_cast<const uchar*>(image->Pixels32()), image->Width(), image->Height(),
                image->Stride32() * 4, QImage::Format_RGB32);
    QPainter(this).drawImage(0, 0, view);
}

// Presses on the border go nowhere else.
void TQtWindowFrame::mousePressEvent(QMouseEvent* e) {
    e->accept();
    sendNonClientPress(control_, e, HTBORDER);
}

// Moves, releases and double clicks on the frame reach the control as non-client messages with
// the screen point, or, while the control holds the mouse capture, as client messages.
void TQtWindowFrame::sendMouse(QMouseEvent* e, UINT NonClient, UINT Client) {
    if (!control_) return;
    const QPoint at = e->globalPosition().toPoint();
    const TPoint screen{at.x(), at.y()};
    TShiftState shift = QtModifiersToShift(e->modifiers(), e->buttons());
    SetModifierKeyState(shift);
    if (GetCaptureControl() == control_) {
        WPARAM keys = 0;
        if (e->buttons() & Qt::LeftButton) keys |= MK_LBUTTON;
        if (e->buttons() & Qt::RightButton) keys |= MK_RBUTTON;
        DeliverMouse(control_, Client, control_->ScreenToClient(screen), keys);
        return;
    }
    SetCursorPosition(screen);
    QPointer<TQtWindowFrame> alive(this);
    TMessage m{NonClient, WPARAM(HTBORDER), PointToLParam(screen), 0};
    control_->MainWndProc(m);
    if (alive && control_ && NonClient == WM_NCMOUSEMOVE) {
        TMessage sc{WM_SETCURSOR, WPARAM(control_->Handle()),
                    MAKELPARAM(int(HTBORDER), int(WM_NCMOUSEMOVE)), 0};
        control_->MainWndProc(sc);
    }
}

void TQtWindowFrame::mouseReleaseEvent(QMouseEvent* e) {
    e->accept();
    const bool right = e->button() == Qt::RightButton, middle = e->button() == Qt::MiddleButton;
    sendMouse(e,
              right    ? WM_NCRBUTTONUP
              : middle ? WM_NCMBUTTONUP
                       : WM_NCLBUTTONUP,
              right    ? WM_RBUTTONUP
              : middle ? WM_MBUTTONUP
                       : WM_LBUTTONUP);
}
void TQtWindowFrame::mouseDoubleClickEvent(QMouseEvent* e) {
    e->accept();
    const bool right = e->button() == Qt::RightButton, middle = e->button() == Qt::MiddleButton;
    sendMouse(e,
              right    ? WM_NCRBUTTONDBLCLK
              : middle ? WM_NCMBUTTONDBLCLK
                       : WM_NCLBUTTONDBLCLK,
              right    ? WM_RBUTTONDBLCLK
              : middle ? WM_MBUTTONDBLCLK
                       : WM_LBUTTONDBLCLK);
}
void TQtWindowFrame::mouseMoveEvent(QMouseEvent* e) {
    e->accept();
    sendMouse(e, WM_NCMOUSEMOVE, WM_MOUSEMOVE);
}
