#pragma once
// The native peer of popup forms (TCustomPopupForm): a Qt popup window, which holds the
// keyboard and the mouse while it shows. A press outside it is the user leaving the popup: the
// form gets WM_ACTIVATE with WA_INACTIVE and the window under the press, and when that hid the
// popup, the press goes on to that window, as the desktop delivers a click that ends a popup.
#include "platform/qt/QtWindowPeer.h"

// Registers the peer for "POPUP"; InitQtBackend calls it.
void RegisterQtPopupPeer();
