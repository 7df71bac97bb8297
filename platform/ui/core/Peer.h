#pragma once
// The native side of a windowed control, and the back end that makes peers and runs native
// events. Controls work without either: a peer only mirrors the control's state and reports
// native input to the control as messages (see platform/qt).
#include "platform/base/Types.h"
#include "platform/ui/core/Messages.h"

#include <memory>
#include <string>
#include <vector>

class TWinControl;
class TBitmap;
using TCursor = int;

// A monitor of the desktop: its bounds and its work area (the bounds less panels and docks), in
// screen coordinates.
struct TMonitorArea {
    TRect Bounds;
    TRect WorkArea;
    bool Primary = false;
};

// What changed in a control; a peer reads the new value from its control. Standard controls
// add their own codes from pcUser on.
enum TPeerChange {
    pcBounds,
    pcVisible,
    pcEnabled,
    pcText,
    pcFont,
    pcColor,
    pcCursor,
    pcZOrder,
    pcBorder, // form border style, border icons
    pcImage,  // the backing image changed outside a paint: show it again
    pcHint,
    pcRegion,  // SetWindowRgn: the window's shape changed
    pcLayered, // the layered picture or opacity changed
    pcFrame,   // the non-client frame or a window scroll bar changed
    pcUser = 100
};

class TWindowPeer {
public:
    virtual ~TWindowPeer() = default;
    // A property of the control changed (a TPeerChange or a control-specific code).
    virtual void Changed(int what) = 0;
    // The control must be painted again (the peer sends WM_PAINT when it repaints).
    virtual void Invalidate() = 0;
    // Repaint now, when anything is invalid.
    virtual void Update() {}
    // The model moved the focus to the control.
    virtual void SetFocus() {}
    virtual void SetCapture(bool /*capture*/) {}
    // Called by the control's DefaultHandler for the message the peer is delivering: the
    // native widget then processes the native event itself.
    virtual void DefaultProc(TMessage& /*Message*/) {}
    // Renders the native window (with its native children) into bitmap; false when it cannot.
    virtual bool Grab(TBitmap& /*bitmap*/) { return false; }
    // Window-level operations of top-level peers.
    virtual void Activate() {}
};

class TBackend {
public:
    virtual ~TBackend() = default;
    // A peer for the control (its PeerClassName() says which kind); nullptr: none.
    virtual std::unique_ptr<TWindowPeer> CreatePeer(TWinControl* control) = 0;
    // Handles the pending native events without blocking; true when any was handled.
    virtual bool ProcessEvents() = 0;
    // Handles the pending native events except user input (which waits for the next
    // ProcessEvents); true when any was handled.
    virtual bool ProcessNonInputEvents() { return false; }
    // Blocks until a native event arrives, Wake is called or ms milliseconds (real time) pass.
    virtual void WaitForEvents(unsigned ms) = 0;
    // Thread-safe: ends a WaitForEvents.
    virtual void Wake() = 0;
    virtual TRect ScreenRect() const { return {0, 0, 1024, 768}; }
    // The monitors, the primary one first.
    virtual std::vector<TMonitorArea> MonitorAreas() const {
        return {{ScreenRect(), ScreenRect(), true}};
    }
    virtual TPoint CursorPos() const { return {0, 0}; }
    // Moves the native pointer (screen coordinates).
    virtual void SetCursorPos(TPoint /*p*/) {}
    // The cursor shape the whole application shows (Screen->Cursor); crDefault: per window.
    virtual void SetScreenCursor(TCursor /*cursor*/) {}
    virtual void Beep() {}
    // The desktop's lines per wheel notch; -1: a page per notch.
    virtual int WheelScrollLines() const { return 3; }
    virtual void SetWheelScrollLines(int /*lines*/) {}
    // The desktop's icon for a file or folder, or (byName) for any name by its extension: a key
    // naming the icon's kind and its small (16 x 16) and large (32 x 32) images; false when
    // there is none.
    virtual bool FileIcon(const std::string& /*path*/, bool /*byName*/, std::string& /*kind*/,
                          TBitmap& /*small*/, TBitmap& /*large*/) {
        return false;
    }
};

// The installed back end (not owned); nullptr: controls run without native windows.
TBackend* Backend();
void SetBackend(TBackend* backend);
