#pragma once
// Native peers of the standard controls: edits, list boxes and combo boxes show a Qt widget
// that mirrors the control; popup menus show as QMenu. The controls keep their state and do
// their own editing and selection: key input reaches the model first and the widget only
// shows the result. Mouse input on the widgets is native, and what it changes (caret, list
// choice, drop-down) is reported back to the control.
#include "platform/qt/QtWindowPeer.h"

// Registers the peers for "EDIT", "LISTBOX", "COMBOBOX", "RICHEDIT" and "SCROLLBAR" and the QMenu popup
// presenter. InitQtBackend calls it.
void RegisterQtStdPeers();
