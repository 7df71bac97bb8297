#pragma once
// Mouse input posted to Qt's event queue for a control's native window: it arrives the next time
// native events are handled, through Qt's own delivery (hover, capture and cursor included).
// Points are in the control's client pixels.
#include "platform/ui/core/Controls.h"

namespace uitest {

void postNativeMouseMove(TWinControl* control, TPoint p, bool leftHeld = false);
void postNativeMouseDown(TWinControl* control, TPoint p);
void postNativeMouseUp(TWinControl* control, TPoint p);
// A left press and release at p.
void postNativeClickAt(TWinControl* control, TPoint p);
// A left double click at p (press, release, double-click press, release).
void postNativeDoubleClickAt(TWinControl* control, TPoint p);
// A right press and release at p.
void postNativeRightClickAt(TWinControl* control, TPoint p);
// The mouse leaving the control's window.
void postNativeLeave(TWinControl* control);
// A left press and release at a screen point, posted to the native top-level window under it
// (to an open popup's when none is), as the desktop delivers them: an open popup sees them
// first, wherever they are.
void postNativeScreenClick(TPoint screen);

} // namespace uitest
