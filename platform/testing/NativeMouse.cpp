#include "platform/testing/NativeMouse.h"

#include "platform/qt/QtWindowPeer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QWindow>

#include <gtest/gtest.h>

namespace uitest {
namespace {

void post(TWinControl* control, QEvent::Type type, TPoint p, Qt::MouseButton button,
          Qt::MouseButtons held) {
    auto* peer = dynamic_cast<TQtWindowPeer*>(control->Peer());
    QWidget* w = peer ? peer->Widget() : nullptr;
    if (!w) {
        ADD_FAILURE() << "the control has no native window";
        return;
    }
    const QPointF at(p.X, p.Y);
    QCoreApplication::postEvent(
        w, new QMouseEvent(type, at, w->mapToGlobal(at), button, held, Qt::NoModifier));
}

} // namespace

void postNativeMouseMove(TWinControl* control, TPoint p, bool leftHeld) {
    post(control, QEvent::MouseMove, p, Qt::NoButton, leftHeld ? Qt::LeftButton : Qt::NoButton);
}

void postNativeMouseDown(TWinControl* control, TPoint p) {
    post(control, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
}

void postNativeMouseUp(TWinControl* control, TPoint p) {
    post(control, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
}

void postNativeClickAt(TWinControl* control, TPoint p) {
    postNativeMouseDown(control, p);
    postNativeMouseUp(control, p);
}

void postNativeDoubleClickAt(TWinControl* control, TPoint p) {
    // As Qt delivers it: a click, then the second press as a double click, then its release.
    postNativeClickAt(control, p);
    post(control, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
    postNativeMouseUp(control, p);
}

void postNativeRightClickAt(TWinControl* control, TPoint p) {
    post(control, QEvent::MouseButtonPress, p, Qt::RightButton, Qt::RightButton);
    post(control, QEvent::MouseButtonRelease, p, Qt::RightButton, Qt::NoButton);
}

void postNativeLeave(TWinControl* control) {
    auto* peer = dynamic_cast<TQtWindowPeer*>(control->Peer());
    if (QWidget* w = peer ? peer->Widget() : nullptr)
        QCoreApplication::postEvent(w, new QEvent(QEvent::Leave));
    else
        ADD_FAILURE() << "the control has no native window";
}

void postNativeScreenClick(TPoint screen) {
    const QPoint global(screen.X, screen.Y);
    QWidget* top = QApplication::topLevelAt(global);
    if (!top) top = QApplication::activePopupWidget();
    QWindow* window = top ? top->windowHandle() : nullptr;
    if (!window) {
        ADD_FAILURE() << "no native window takes the click";
        return;
    }
    const QPointF at = window->mapFromGlobal(global);
    QCoreApplication::postEvent(window,
                                new QMouseEvent(QEvent::MouseButtonPress, at, global,
                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(window,
                                new QMouseEvent(QEvent::MouseButtonRelease, at, global,
                                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

} // namespace uitest
