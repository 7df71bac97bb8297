#include "platform/access/Accessibility.h"

#include <utility>

namespace {
TAccessibilityService* service = nullptr;
}

TAccessibleObject::~TAccessibleObject() {
    if (service) service->ObjectDestroyed(this);
}

TAccessibilityService* SetAccessibilityService(TAccessibilityService* Service) {
    return std::exchange(service, Service);
}

void NotifyAccessibleEvent(TAccessibleObject* Object, TAccessibleEvent Event) {
    if (service && Object) service->Notify(Object, Event);
}
