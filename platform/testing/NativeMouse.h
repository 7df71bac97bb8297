#pragma once
// Mouse input posted to Qt's event queue for a control's native window: it arrives the next time
// native events are handled, through Qt's own delivery (hover, capture and cursor included).
// Points are in the control's client pixels.
#include "platform/ui/core/Controls.h"
#include "platform/ui/core/DragDrop.h"

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

// The same at p in window pixels (the non-client frame and its scroll bars included): the event
// goes to the native widget there, or, while the left button is held, to the one it was pressed
// on, as Qt delivers real input.
void postNativeWindowMouseDown(TWinControl* control, TPoint p);
void postNativeWindowMouseMove(TWinControl* control, TPoint p, bool leftHeld = false);
void postNativeWindowMouseUp(TWinControl* control, TPoint p);
// A left double click (press, release, double-click press, release) and a right click at p in
// window pixels.
void postNativeWindowDoubleClick(TWinControl* control, TPoint p);
void postNativeWindowRightClick(TWinControl* control, TPoint p);
// Where a part of the native widget of a window scroll bar (SB_HORZ, SB_VERT) lies: the middle
// of the part, in window pixels; (-1, -1) when the bar is not shown.
enum TScrollBarPart { sbpLineUp, sbpPageUp, sbpThumb, sbpPageDown, sbpLineDown };
TPoint nativeScrollBarPoint(TWinControl* control, int Bar, TScrollBarPart Part);

// Data dragged in from outside through Qt's drag and drop: the data object travels as Qt's mime
// data, enters the control's native window at p, moves there and is dropped with the effects
// offered and the keys of shift. Answers the effect the window took (DROPEFFECT_NONE: refused).
DWORD sendNativeDrop(TWinControl* control, IDataObject& data, TPoint p, DWORD effects,
                     TShiftState shift = {});

} // namespace uitest
