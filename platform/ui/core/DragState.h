#pragma once
// The stages of a drag over a control, as its DragOver sees them.
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
