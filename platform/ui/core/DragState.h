#pragma once
// The stages of a drag over a control, as its DragOver sees them.
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
// How a control starts dragging: on its own when pressed and moved, or when the program asks.
enum TDragMode { dmManual, dmAutomatic };
