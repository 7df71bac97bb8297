#include "platform/qt/QtAccessible.h"

#include "platform/access/Accessibility.h"
#include "platform/qt/QtWindowPeer.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <unordered_map>

namespace {

class TQtAccessible;

// The interface of each accessible object Qt holds; never freed, so that interfaces Qt
// deletes when it shuts down can still leave it.
std::unordered_map<TAccessibleObject*, TQtAccessible*>& interfaces() {
    static auto* map = new std::unordered_map<TAccessibleObject*, TQtAccessible*>;
    return *map;
}

QAccessibleInterface* interfaceOf(TAccessibleObject* Object, QWidget* Window);

// One accessible object. The object of a window has the window's widget as its QObject; the
// objects of its items have none and live in Qt's registry.
class TQtAccessible : public QAccessibleInterface {
public:
    TQtAccessible(TAccessibleObject* Object, QWidget* Widget, QWidget* Window)
        : object_(Object), widget_(Widget), window_(Window) {
        interfaces()[Object] = this;
    }
    ~TQtAccessible() override {
        auto it = object_ ? interfaces().find(object_) : interfaces().end();
        if (it != interfaces().end() && it->second == this) interfaces().erase(it);
    }
    // The object is gone: the interface answers nothing more.
    void Forget() { object_ = nullptr; }
    TAccessibleObject* Object() const { return object_; }
    QWidget* Window() const { return window_; }

    bool isValid() const override { return object_ && window_; }
    QObject* object() const override { return widget_; }
    QWindow* window() const override {
        return window_ ? window_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        return isValid() ? interfaceOf(object_->Focus(), window_) : nullptr;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        if (!isValid()) return nullptr;
        for (int i = 0, n = object_->ChildCount(); i < n; ++i) {
            TAccessibleObject* child = object_->Child(i);
            if (child && child->Location().Contains(TPoint{x, y}))
                return interfaceOf(child, window_);
        }
        return nullptr;
    }
    QAccessibleInterface* parent() const override {
        if (!isValid()) return nullptr;
        if (TAccessibleObject* parent = object_->Parent()) {
            auto it = interfaces().find(parent);
            if (it != interfaces().end()) return it->second;
            return QAccessible::queryAccessibleInterface(window_);
        }
        return widget_ ? QAccessible::queryAccessibleInterface(widget_->parentWidget()) : nullptr;
    }
    QAccessibleInterface* child(int index) const override {
        return isValid() ? interfaceOf(object_->Child(index), window_) : nullptr;
    }
    int childCount() const override { return isValid() ? object_->ChildCount() : 0; }
    int indexOfChild(const QAccessibleInterface* child) const override {
        auto* c = dynamic_cast<const TQtAccessible*>(child);
        if (!isValid() || !c || !c->object_ || c->object_->Parent() != object_) return -1;
        return c->object_->IndexInParent();
    }
    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        if (t == QAccessible::Name) return QString::fromStdString(object_->Name());
        if (t == QAccessible::Value) return QString::fromStdString(object_->Value());
        return {};
    }
    // The objects are read only.
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) return {};
        const TRect r = object_->Location();
        return {r.Left, r.Top, r.Width(), r.Height()};
    }
    QAccessible::Role role() const override {
        switch (isValid() ? object_->Role() : arClient) {
        case arOutline:
            return QAccessible::Tree;
        case arOutlineItem:
            return QAccessible::TreeItem;
        case arClient:
            break;
        }
        return QAccessible::Client;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const unsigned v = object_->State();
        s.focusable = (v & asFocusable) != 0;
        s.focused = (v & asFocused) != 0;
        s.selectable = (v & asSelectable) != 0;
        s.selected = (v & asSelected) != 0;
        s.multiSelectable = (v & asMultiSelectable) != 0;
        s.expandable = (v & (asExpanded | asCollapsed)) != 0;
        s.expanded = (v & asExpanded) != 0;
        s.collapsed = (v & asCollapsed) != 0;
        s.checkable = (v & asCheckable) != 0;
        s.checked = (v & asChecked) != 0;
        s.checkStateMixed = (v & asMixed) != 0;
        s.offscreen = (v & asOffscreen) != 0;
        s.invisible = (v & asInvisible) != 0;
        return s;
    }

private:
    TAccessibleObject* object_;
    QPointer<QWidget> widget_;
    QPointer<QWidget> window_;
};

// Drops the interface of an object from Qt's registry.
void dropInterface(TAccessibleObject* Object) {
    auto it = interfaces().find(Object);
    if (it == interfaces().end()) return;
    TQtAccessible* iface = it->second;
    interfaces().erase(it);
    iface->Forget();
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}

// The interface of an item object, made and handed to Qt's registry on first use. Window is
// the widget of the window the item belongs to; nil to take its parent's.
QAccessibleInterface* interfaceOf(TAccessibleObject* Object, QWidget* Window) {
    if (!Object) return nullptr;
    if (auto it = interfaces().find(Object); it != interfaces().end()) {
        if (it->second->Window()) return it->second;
        // Its window was made again: the interface of the old one goes.
        dropInterface(Object);
    }
    if (!Window) {
        TAccessibleObject* parent = Object->Parent();
        auto it = parent ? interfaces().find(parent) : interfaces().end();
        if (it == interfaces().end()) return nullptr;
        Window = it->second->Window();
    }
    auto* iface = new TQtAccessible(Object, nullptr, Window);
    QAccessible::registerAccessibleInterface(iface);
    return iface;
}

// Qt asks for the interface of a widget: a control's window answers WM_GETOBJECT with its
// accessible object, or with nothing to leave it to Qt's own.
QAccessibleInterface* factory(const QString&, QObject* object) {
    if (!object || !object->isWidgetType()) return nullptr;
    TQtWindowPeer* peer = TQtWindowPeer::OfWidget(object);
    if (!peer || peer->Widget() != object || !peer->Control()) return nullptr;
    const LRESULT answer = peer->Control()->Perform(WM_GETOBJECT, 0, LPARAM(OBJID_CLIENT));
    auto* accessible = dynamic_cast<TAccessibleObject*>(reinterpret_cast<TObject*>(answer));
    if (!accessible) return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    return new TQtAccessible(accessible, widget, widget);
}

class Service : public TAccessibilityService {
public:
    void Notify(TAccessibleObject* Object, TAccessibleEvent Event) override {
        if (Event != aeFocus) return;
        if (QAccessibleInterface* iface = QtAccessibleInterface(Object)) {
            QAccessibleEvent event(iface, QAccessible::Focus);
            QAccessible::updateAccessibility(&event);
        }
    }
    void ObjectDestroyed(TAccessibleObject* Object) override { dropInterface(Object); }
};

Service service;

} // namespace

QAccessibleInterface* QtAccessibleInterface(TAccessibleObject* Object) {
    return interfaceOf(Object, nullptr);
}

void InitQtAccessibility() {
    QAccessible::installFactory(factory);
    SetAccessibilityService(&service);
}

void DoneQtAccessibility() {
    SetAccessibilityService(nullptr);
    QAccessible::removeFactory(factory);
}
