#include "platform/qt/QtPopupPeer.h"

#include "platform/qt/QtBackend.h"
#include "platform/ui/PopupForm.h"
#include "platform/ui/core/DragDrop.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWindow>

namespace {

// Gives the release that ends a replayed press to the press's widget: Qt drops a release whose
// press it did not deliver itself.
class ReleaseForwarder : public QObject {
public:
    explicit ReleaseForwarder(QWidget* target)
        : QObject(QCoreApplication::instance()), target_(target) {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonRelease || !watched->isWindowType()) return false;
        QCoreApplication::instance()->removeEventFilter(this);
        deleteLater();
        if (target_) {
            auto* e = static_cast<QMouseEvent*>(event);
            QMouseEvent release(QEvent::MouseButtonRelease,
                                target_->mapFromGlobal(e->globalPosition()), e->globalPosition(),
                                e->button(), e->buttons(), e->modifiers());
            QCoreApplication::sendEvent(target_, &release);
        }
        return false;
    }

private:
    QPointer<QWidget> target_;
};

class QtPopupPeer : public TQtCustomPeer {
public:
    explicit QtPopupPeer(TCustomPopupForm* form) : TQtCustomPeer(form), form_(form) {
        applyFlags();
    }

    void Changed(int what) override {
        switch (what) {
        case pcBorder:
            applyFlags();
            return;
        case pcVisible:
            if (form_->Showing()) setTransientParent();
            // Shown or hidden as a plain window: a popup is no dialog of its owner.
            TQtWindowPeer::Changed(pcVisible);
            return;
        default:
            TQtCustomPeer::Changed(what);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == Widget()) {
            switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick: {
                auto* e = static_cast<QMouseEvent*>(event);
                if (!Widget()->rect().contains(e->position().toPoint())) {
                    pressedOutside(e);
                    return true;
                }
                break;
            }
            case QEvent::Close:
                // Qt ends popups itself (the application losing the focus): the form decides.
                event->ignore();
                if (form_->Showing()) deactivate(nullptr);
                return true;
            default:
                break;
            }
        }
        return TQtCustomPeer::eventFilter(watched, event);
    }

private:
    void applyFlags() {
        QWidget* w = Widget();
        if (!w) return;
        Qt::WindowFlags flags = Qt::Popup | Qt::FramelessWindowHint;
        if (!form_->DropShadow()) flags |= Qt::NoDropShadowWindowHint;
        if (DWORD(GetWindowLong(form_->Handle(), GWL_EXSTYLE)) & WS_EX_TOPMOST)
            flags |= Qt::WindowStaysOnTopHint;
        if (w->windowFlags() == flags) return;
        const bool shown = w->isVisible();
        w->setWindowFlags(flags);
        // Qt replays no press of ours: the peer passes it on itself (pressedOutside).
        w->setAttribute(Qt::WA_NoMouseReplay);
        if (shown) w->show();
        setTransientParent();
    }

    void setTransientParent() {
        TCustomForm* owner = form_->PopupParent();
        auto* ownerPeer = owner ? dynamic_cast<TQtWindowPeer*>(owner->Peer()) : nullptr;
        QWidget* ownerWidget = ownerPeer ? ownerPeer->Widget() : nullptr;
        if (!ownerWidget || !ownerWidget->window()->windowHandle()) return;
        Widget()->winId();
        if (QWindow* handle = Widget()->windowHandle())
            handle->setTransientParent(ownerWidget->window()->windowHandle());
    }

    void deactivate(HWND to) {
        TMessage m{WM_ACTIVATE, WA_INACTIVE, LPARAM(to), 0};
        form_->MainWndProc(m);
    }

    void pressedOutside(QMouseEvent* e) {
        const QPointF global = e->globalPosition();
        const HWND under = WindowFromPoint({int(global.x()), int(global.y())});
        QPointer<QtPopupPeer> alive(this);
        deactivate(under);
        if (!alive || form_->Showing()) return;
        // The popup has ended: the press goes to the window under it.
        TWinControl* target = FindControl(under);
        auto* peer = target ? dynamic_cast<TQtWindowPeer*>(target->Peer()) : nullptr;
        QPointer<QWidget> w = peer ? peer->Widget() : nullptr;
        if (!w) return;
        // At once, before the release that follows it.
        QMouseEvent press(QEvent::MouseButtonPress, w->mapFromGlobal(global), global, e->button(),
                          e->buttons(), e->modifiers());
        QCoreApplication::sendEvent(w, &press);
        if (w) new ReleaseForwarder(w);
    }

    TCustomPopupForm* form_;
};

} // namespace

void RegisterQtPopupPeer() {
    RegisterQtPeerClass("POPUP", [](TWinControl* c) -> std::unique_ptr<TWindowPeer> {
        auto* form = dynamic_cast<TCustomPopupForm*>(c);
        if (!form) return std::make_unique<TQtCustomPeer>(c);
        return std::make_unique<QtPopupPeer>(form);
    });
}
