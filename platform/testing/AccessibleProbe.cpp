#include "platform/testing/AccessibleProbe.h"

#include "platform/qt/QtAccessible.h"
#include "platform/qt/QtWindowPeer.h"

#include <QAccessible>
#include <QAccessibleInterface>

namespace uitest {

namespace {

QAccessibleInterface* windowInterface(TWinControl* control) {
    control->HandleNeeded();
    auto* peer = dynamic_cast<TQtWindowPeer*>(control->Peer());
    return peer ? QAccessible::queryAccessibleInterface(peer->Widget()) : nullptr;
}

AccessibleView viewOf(QAccessibleInterface* iface) {
    AccessibleView v;
    if (!iface || !iface->isValid()) return v;
    v.exists = true;
    switch (iface->role()) {
    case QAccessible::Tree:
        v.role = "tree";
        break;
    case QAccessible::TreeItem:
        v.role = "tree item";
        break;
    case QAccessible::Client:
        v.role = "client";
        break;
    default:
        v.role = std::to_string(int(iface->role()));
    }
    v.name = iface->text(QAccessible::Name).toStdString();
    v.value = iface->text(QAccessible::Value).toStdString();
    const QAccessible::State s = iface->state();
    v.focused = s.focused;
    v.selected = s.selected;
    v.expanded = s.expanded;
    v.collapsed = s.collapsed;
    v.checked = s.checked;
    v.invisible = s.invisible;
    v.offscreen = s.offscreen;
    v.multiSelectable = s.multiSelectable;
    const QRect r = iface->rect();
    v.rect = Bounds(r.x(), r.y(), r.width(), r.height());
    v.childCount = iface->childCount();
    if (QAccessibleInterface* parent = iface->parent()) {
        v.indexInParent = parent->indexOfChild(iface);
        v.parentName = parent->text(QAccessible::Name).toStdString();
    }
    return v;
}

} // namespace

AccessibleView accessibleOf(TWinControl* control) {
    return viewOf(windowInterface(control));
}

AccessibleView accessibleChild(TWinControl* control, int index) {
    QAccessibleInterface* iface = windowInterface(control);
    return viewOf(iface ? iface->child(index) : nullptr);
}

AccessibleView accessibleFocusChild(TWinControl* control) {
    QAccessibleInterface* iface = windowInterface(control);
    return viewOf(iface ? iface->focusChild() : nullptr);
}

AccessibleFocusRecorder::AccessibleFocusRecorder() : next_(SetAccessibilityService(this)) {}

AccessibleFocusRecorder::~AccessibleFocusRecorder() {
    SetAccessibilityService(next_);
}

void AccessibleFocusRecorder::Notify(TAccessibleObject* Object, TAccessibleEvent Event) {
    if (Event == aeFocus) {
        QAccessibleInterface* iface = QtAccessibleInterface(Object);
        events_.push_back(iface ? iface->text(QAccessible::Name).toStdString() : "(none)");
    }
    if (next_) next_->Notify(Object, Event);
}

void AccessibleFocusRecorder::ObjectDestroyed(TAccessibleObject* Object) {
    if (next_) next_->ObjectDestroyed(Object);
}

} // namespace uitest
