#pragma once
// Accessible objects: what a control tells assistive technology (a screen reader) about itself
// and its items. A control answers WM_GETOBJECT for OBJID_CLIENT with the address of its
// TAccessibleObject; the back end presents that object through the desktop's accessibility
// interface and passes on the events the control reports.
#include "platform/base/Classes.h"
#include "platform/base/Types.h"

#include <string>
#include <vector>

enum TAccessibleRole { arClient, arOutline, arOutlineItem };

// State flags, combined.
enum : unsigned {
    asFocusable = 0x001,
    asFocused = 0x002,
    asSelectable = 0x004,
    asSelected = 0x008,
    asMultiSelectable = 0x010,
    asExpanded = 0x020,
    asCollapsed = 0x040,
    asCheckable = 0x080,
    asChecked = 0x100,
    asMixed = 0x200,
    asOffscreen = 0x400,
    asInvisible = 0x800,
};

class TAccessibleObject : public TObject {
public:
    // Tells the back end that the object is gone.
    ~TAccessibleObject() override;
    virtual TAccessibleRole Role() const = 0;
    virtual std::string Name() const = 0;
    virtual std::string Value() const { return {}; }
    virtual unsigned State() const = 0;
    virtual int ChildCount() const { return 0; }
    // Nil for an index out of range.
    virtual TAccessibleObject* Child(int /*Index*/) { return nullptr; }
    // The object's index among its parent's children; -1 when it has none.
    virtual int IndexInParent() const { return -1; }
    // Nil for the object of a window.
    virtual TAccessibleObject* Parent() { return nullptr; }
    // Screen rectangle; empty while nothing of it shows.
    virtual TRect Location() const = 0;
    // The child that has the focus; nil when none.
    virtual TAccessibleObject* Focus() { return nullptr; }
    virtual std::vector<TAccessibleObject*> Selection() { return {}; }
};

enum TAccessibleEvent { aeFocus };

class TAccessibilityService {
public:
    virtual ~TAccessibilityService() = default;
    virtual void Notify(TAccessibleObject* Object, TAccessibleEvent Event) = 0;
    virtual void ObjectDestroyed(TAccessibleObject* Object) = 0;
};
// Installed by the native back end; without one events go nowhere. Answers the one it replaces.
TAccessibilityService* SetAccessibilityService(TAccessibilityService* Service);
// Reports an event of Object to the back end.
void NotifyAccessibleEvent(TAccessibleObject* Object, TAccessibleEvent Event);
