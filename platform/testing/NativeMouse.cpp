#include "platform/testing/NativeMouse.h"

#include "platform/qt/QtDragDrop.h"
#include "platform/qt/QtWindowFrame.h"
#include "platform/qt/QtWindowPeer.h"
#include "platform/ui/core/WindowFrame.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
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

QWidget* outerWidget(TWinControl* control) {
    auto* peer = dynamic_cast<TQtWindowPeer*>(control->Peer());
    QWidget* w = peer ? peer->OuterWidget() : nullptr;
    if (!w) ADD_FAILURE() << "the control has no native window";
    return w;
}

// The widget a press went to keeps the mouse until the release.
QPointer<QWidget> pressedWidget;

void postWindow(TWinControl* control, QEvent::Type type, TPoint p, Qt::MouseButton button,
                Qt::MouseButtons held) {
    QWidget* outer = outerWidget(control);
    if (!outer) return;
    QWidget* target = pressedWidget && type != QEvent::MouseButtonPress ? pressedWidget.data()
                                                                        : outer->childAt(p.X, p.Y);
    if (!target) target = outer;
    if (type == QEvent::MouseButtonPress) pressedWidget = target;
    if (type == QEvent::MouseButtonRelease) pressedWidget = nullptr;
    const QPointF at = target->mapFrom(outer, QPointF(p.X, p.Y));
    QCoreApplication::postEvent(
        target, new QMouseEvent(type, at, target->mapToGlobal(at), button, held, Qt::NoModifier));
}

} // namespace

void postNativeWindowMouseDown(TWinControl* control, TPoint p) {
    postWindow(control, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
}

void postNativeWindowMouseMove(TWinControl* control, TPoint p, bool leftHeld) {
    postWindow(control, QEvent::MouseMove, p, Qt::NoButton,
               leftHeld ? Qt::LeftButton : Qt::NoButton);
}

void postNativeWindowMouseUp(TWinControl* control, TPoint p) {
    postWindow(control, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
}

void postNativeWindowDoubleClick(TWinControl* control, TPoint p) {
    postNativeWindowMouseDown(control, p);
    postNativeWindowMouseUp(control, p);
    postWindow(control, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
    postNativeWindowMouseUp(control, p);
}

void postNativeWindowRightClick(TWinControl* control, TPoint p) {
    postWindow(control, QEvent::MouseButtonPress, p, Qt::RightButton, Qt::RightButton);
    postWindow(control, QEvent::MouseButtonRelease, p, Qt::RightButton, Qt::NoButton);
}

TPoint nativeScrollBarPoint(TWinControl* control, int Bar, TScrollBarPart Part) {
    QWidget* outer = outerWidget(control);
    auto* frame = dynamic_cast<TQtWindowFrame*>(outer);
    QScrollBar* bar = frame ? frame->Bar(Bar) : nullptr;
    if (!bar || !bar->isVisible()) return {-1, -1};
    QStyleOptionSlider opt;
    opt.initFrom(bar);
    opt.subControls = QStyle::SC_All;
    opt.orientation = bar->orientation();
    if (bar->orientation() == Qt::Horizontal) opt.state |= QStyle::State_Horizontal;
    opt.minimum = bar->minimum();
    opt.maximum = bar->maximum();
    opt.sliderPosition = bar->sliderPosition();
    opt.sliderValue = bar->value();
    opt.singleStep = bar->singleStep();
    opt.pageStep = bar->pageStep();
    static const QStyle::SubControl parts[] = {
        QStyle::SC_ScrollBarSubLine, QStyle::SC_ScrollBarSubPage, QStyle::SC_ScrollBarSlider,
        QStyle::SC_ScrollBarAddPage, QStyle::SC_ScrollBarAddLine};
    const QRect r = bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, parts[Part], bar);
    const QPoint centre = bar->mapTo(outer, r.center());
    return {centre.x(), centre.y()};
}

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

DWORD sendNativeDrop(TWinControl* control, IDataObject& data, TPoint p, DWORD effects,
                     TShiftState shift) {
    auto* peer = dynamic_cast<TQtWindowPeer*>(control->Peer());
    QWidget* w = peer ? peer->Widget() : nullptr;
    if (!w) return DROPEFFECT_NONE;
    const std::unique_ptr<QMimeData> mime = DataObjectToMime(data);
    Qt::DropActions actions;
    if (effects & DROPEFFECT_COPY) actions |= Qt::CopyAction;
    if (effects & DROPEFFECT_MOVE) actions |= Qt::MoveAction;
    if (effects & DROPEFFECT_LINK) actions |= Qt::LinkAction;
    Qt::KeyboardModifiers keys;
    if (shift.Contains(ssCtrl)) keys |= Qt::ControlModifier;
    if (shift.Contains(ssShift)) keys |= Qt::ShiftModifier;
    if (shift.Contains(ssAlt)) keys |= Qt::AltModifier;
    const QPoint at(p.X, p.Y);
    QDragEnterEvent enter(at, actions, mime.get(), Qt::LeftButton, keys);
    QApplication::sendEvent(w, &enter);
    if (!enter.isAccepted()) return DROPEFFECT_NONE;
    QDragMoveEvent move(at, actions, mime.get(), Qt::LeftButton, keys);
    QApplication::sendEvent(w, &move);
    if (!move.isAccepted()) return DROPEFFECT_NONE;
    QDropEvent drop(QPointF(at), actions, mime.get(), Qt::NoButton, keys);
    drop.setDropAction(move.dropAction());
    QApplication::sendEvent(w, &drop);
    if (!drop.isAccepted()) return DROPEFFECT_NONE;
    switch (drop.dropAction()) {
    case Qt::CopyAction:
        return DROPEFFECT_COPY;
    case Qt::MoveAction:
        return DROPEFFECT_MOVE;
    case Qt::LinkAction:
        return DROPEFFECT_LINK;
    default:
        return DROPEFFECT_NONE;
    }
}

} // namespace uitest
