#pragma once
// Window scroll bars and the non-client frame of child windows.
//
// A child window whose style asks for it (WS_BORDER, WS_EX_CLIENTEDGE, WS_VSCROLL, WS_HSCROLL)
// has a non-client area: WM_NCCALCSIZE gives its client rectangle inside the window, and
// WM_NCPAINT paints the rest on the window's DC (GetWindowDC), an image of the whole window kept
// beside the client's backing image. The default handling of both messages draws the border and
// the scroll bars; a control may handle them to add a frame of its own. A shown scroll bar lies
// beside the client rectangle (right of it, below it), SystemScrollBarSize thick; the WS_VSCROLL
// and WS_HSCROLL style bits say whether a bar is shown. The native peer shows a real scroll bar
// there, whose user actions reach the window as WM_VSCROLL / WM_HSCROLL with the SB_ codes.
#include "platform/ui/core/Controls.h"

#include <memory>

constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr int SB_CTL = 2;
constexpr int SB_BOTH = 3;

constexpr UINT SIF_RANGE = 0x0001;
constexpr UINT SIF_PAGE = 0x0002;
constexpr UINT SIF_POS = 0x0004;
constexpr UINT SIF_DISABLENOSCROLL = 0x0008;
constexpr UINT SIF_TRACKPOS = 0x0010;
constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

struct SCROLLINFO {
    UINT cbSize = sizeof(SCROLLINFO);
    UINT fMask = 0;
    int nMin = 0;
    int nMax = 0;
    UINT nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};

constexpr LONG OBJID_HSCROLL = LONG(0xFFFFFFFA);
constexpr LONG OBJID_VSCROLL = LONG(0xFFFFFFFB);
constexpr DWORD STATE_SYSTEM_UNAVAILABLE = 0x00000001;
constexpr DWORD STATE_SYSTEM_PRESSED = 0x00000008;
constexpr DWORD STATE_SYSTEM_INVISIBLE = 0x00008000;

// rgstate: 0 the bar, 1 the top or left arrow, 2 the page area before the thumb, 3 the thumb,
// 4 the page area after it, 5 the bottom or right arrow.
struct SCROLLBARINFO {
    DWORD cbSize = sizeof(SCROLLBARINFO);
    TRect rcScrollBar; // screen coordinates
    int dxyLineButton = 0;
    int xyThumbTop = 0; // from the bar's top or left edge
    int xyThumbBottom = 0;
    int reserved = 0;
    DWORD rgstate[6] = {};
};

// wParam TRUE: lParam points to this; rgrc[0] comes in as the window rectangle (parent client
// coordinates) and goes back as the client rectangle.
struct NCCALCSIZE_PARAMS {
    TRect rgrc[3];
    void* lppos = nullptr;
};

// Shows or hides a bar (SB_HORZ, SB_VERT or SB_BOTH); the frame is calculated again and the
// window gets WM_SIZE when its client size changed. CM_BORDERCHANGED calculates it again too.
bool ShowScrollBar(HWND handle, int Bar, bool Show);
// Sets what Info's mask names and answers the bar's position. Range and page that leave nothing
// to scroll hide the bar, or disable it with SIF_DISABLENOSCROLL; a range that needs the bar
// shows and enables it. The position is kept within nMin .. nMax - max(nPage - 1, 0).
int SetScrollInfo(HWND handle, int Bar, const SCROLLINFO* Info, bool Redraw);
bool GetScrollInfo(HWND handle, int Bar, SCROLLINFO* Info);
int GetScrollPos(HWND handle, int Bar);
int SetScrollPos(HWND handle, int Bar, int Pos, bool Redraw);
bool GetScrollBarInfo(HWND handle, LONG idObject, SCROLLBARINFO* Info);

// The window's DC: the image of the whole window (window coordinates), where the non-client
// area is painted. A window without a non-client area answers its client image.
HDC GetWindowDC(HWND handle);
int ReleaseDC(HWND handle, HDC dc);
// The window's rectangle in screen coordinates.
bool GetWindowRect(HWND handle, TRect* rect);

constexpr UINT RDW_INVALIDATE = 0x0001;
constexpr UINT RDW_INTERNALPAINT = 0x0002;
constexpr UINT RDW_ERASE = 0x0004;
constexpr UINT RDW_VALIDATE = 0x0008;
constexpr UINT RDW_NOINTERNALPAINT = 0x0010;
constexpr UINT RDW_NOERASE = 0x0020;
constexpr UINT RDW_NOCHILDREN = 0x0040;
constexpr UINT RDW_ALLCHILDREN = 0x0080;
constexpr UINT RDW_UPDATENOW = 0x0100;
constexpr UINT RDW_ERASENOW = 0x0200;
constexpr UINT RDW_FRAME = 0x0400;
constexpr UINT RDW_NOFRAME = 0x0800;
// RDW_INVALIDATE repaints the client, RDW_FRAME with it the non-client area, RDW_UPDATENOW
// paints at once; the window is always repainted whole.
bool RedrawWindow(HWND handle, const TRect* rect, HRGN rgn, UINT flags);

// WM_PRINT / WM_PRINTCLIENT: WParam is the DC to paint on, LParam these flags. The default
// handling of WM_PRINT draws the non-client area and then sends WM_PRINTCLIENT with the DC's
// origin at the client's top-left corner.
constexpr LPARAM PRF_CHECKVISIBLE = 0x0001;
constexpr LPARAM PRF_NONCLIENT = 0x0002;
constexpr LPARAM PRF_CLIENT = 0x0004;
constexpr LPARAM PRF_ERASEBKGND = 0x0008;
constexpr LPARAM PRF_CHILDREN = 0x0010;
constexpr LPARAM PRF_OWNED = 0x0020;

// What a window's frame holds: its client rectangle, its two scroll bars, its non-client image.
struct TWindowScrollBar {
    bool Enabled = true;
    int Min = 0;
    int Max = 0;
    UINT Page = 0;
    int Pos = 0;
    int TrackPos = 0;
    // The highest position the range and page allow.
    int MaxPos() const;
};
struct TWindowFrame {
    TRect Client;             // window coordinates
    TWindowScrollBar Bars[2]; // SB_HORZ, SB_VERT
    std::unique_ptr<TBitmap> Image;
    bool Invalid = true;
};

// For peers and tests: the frame of a window (nullptr: it has no non-client area), where a shown
// bar lies (window coordinates; empty when hidden) and its thumb within it.
const TWindowFrame* WindowFrame(TWinControl* control);
TRect ScrollBarRect(TWinControl* control, int Bar);
TRect ScrollBarThumbRect(TWinControl* control, int Bar);
// For peers: the thumb is being dragged to Pos (GetScrollInfo reports it as nTrackPos).
void SetScrollTrackPos(TWinControl* control, int Bar, int Pos);
// Paints a scroll bar in the classic look: arrow buttons, track and thumb (none when empty).
void PaintClassicScrollBar(TCanvas* Canvas, const TRect& Bar, bool Vertical, bool Enabled,
                           const TRect& Thumb);
