#pragma once
// What Qt's accessibility interface, as a screen reader sees it, tells of a control's window.
#include "platform/access/Accessibility.h"
#include "platform/ui/core/Controls.h"

#include <string>
#include <vector>

namespace uitest {

struct AccessibleView {
    bool exists = false;
    std::string role; // "tree", "tree item", "client" or Qt's number of the role
    std::string name;
    std::string value;
    bool focused = false, selected = false, expanded = false, collapsed = false;
    bool checked = false, invisible = false, offscreen = false, multiSelectable = false;
    TRect rect; // screen
    int childCount = 0;
    // As the parent's indexOfChild answers; -1 without a parent.
    int indexInParent = -1;
    // The parent's name.
    std::string parentName;
};

// The object of the control's native window.
AccessibleView accessibleOf(TWinControl* control);
// Its child Index, and the child that has the focus.
AccessibleView accessibleChild(TWinControl* control, int index);
AccessibleView accessibleFocusChild(TWinControl* control);
// Records, while it lives, the focus events controls report to assistive technology (and
// passes them on): the names Qt's interfaces of the objects give, in order.
class AccessibleFocusRecorder : public TAccessibilityService {
public:
    AccessibleFocusRecorder();
    ~AccessibleFocusRecorder() override;
    AccessibleFocusRecorder(const AccessibleFocusRecorder&) = delete;
    AccessibleFocusRecorder& operator=(const AccessibleFocusRecorder&) = delete;
    const std::vector<std::string>& events() const { return events_; }
    void Notify(TAccessibleObject* Object, TAccessibleEvent Event) override;
    void ObjectDestroyed(TAccessibleObject* Object) override;

private:
    TAccessibilityService* next_;
    std::vector<std::string> events_;
};

} // namespace uitest
