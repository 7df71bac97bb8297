#pragma once
// Message numbers and records of the classic window model, with their classic values.
// A window handle (HWND) is an opaque id that the UI layer maps to its TWinControl.
#include "platform/base/Types.h"

#include <cstdint>
#include <string>

struct HWND__;
using HWND = HWND__*;
using UINT = unsigned;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using BOOL = int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
class TCanvas;
using HDC = TCanvas*; // a device context is a canvas

constexpr WORD LOWORD(std::uintptr_t v) {
    return WORD(v & 0xFFFF);
}
constexpr WORD HIWORD(std::uintptr_t v) {
    return WORD((v >> 16) & 0xFFFF);
}
constexpr short GET_X_LPARAM(LPARAM l) {
    return short(l & 0xFFFF);
}
constexpr short GET_Y_LPARAM(LPARAM l) {
    return short((l >> 16) & 0xFFFF);
}
constexpr LPARAM MAKELPARAM(int lo, int hi) {
    return LPARAM(std::uint32_t((unsigned(lo) & 0xFFFF) | ((unsigned(hi) & 0xFFFF) << 16)));
}
constexpr WPARAM MAKEWPARAM(int lo, int hi) {
    return WPARAM(MAKELPARAM(lo, hi) & 0xFFFFFFFF);
}
constexpr LPARAM PointToLParam(TPoint p) {
    return MAKELPARAM(p.X, p.Y);
}
constexpr TPoint LParamToPoint(LPARAM l) {
    return {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
}

// --- window messages ------------------------------------------------------------------------
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETREDRAW = 0x000B;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_WININICHANGE = 0x001A;
constexpr UINT WM_SETTINGCHANGE = 0x001A;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_FONTCHANGE = 0x001D;
constexpr UINT WM_TIMECHANGE = 0x001E;
constexpr UINT WM_CANCELMODE = 0x001F;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_MOUSEACTIVATE = 0x0021;
constexpr UINT WM_GETMINMAXINFO = 0x0024;
constexpr UINT WM_DRAWITEM = 0x002B;
constexpr UINT WM_MEASUREITEM = 0x002C;
constexpr UINT WM_DELETEITEM = 0x002D;
constexpr UINT WM_VKEYTOITEM = 0x002E;
constexpr UINT WM_CHARTOITEM = 0x002F;
constexpr UINT WM_SETFONT = 0x0030;
constexpr UINT WM_GETFONT = 0x0031;
constexpr UINT WM_COMPAREITEM = 0x0039;
constexpr UINT WM_GETOBJECT = 0x003D;
constexpr UINT WM_WINDOWPOSCHANGING = 0x0046;
constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_CONTEXTMENU = 0x007B;
constexpr UINT WM_STYLECHANGING = 0x007C;
constexpr UINT WM_STYLECHANGED = 0x007D;
constexpr UINT WM_GETICON = 0x007F;
constexpr UINT WM_SETICON = 0x0080;
constexpr UINT WM_NCCREATE = 0x0081;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_NCCALCSIZE = 0x0083;
constexpr UINT WM_NCHITTEST = 0x0084;
constexpr UINT WM_NCPAINT = 0x0085;
constexpr UINT WM_NCACTIVATE = 0x0086;
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_NCMOUSEMOVE = 0x00A0;
constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
constexpr UINT WM_NCLBUTTONUP = 0x00A2;
constexpr UINT WM_NCLBUTTONDBLCLK = 0x00A3;
constexpr UINT WM_NCRBUTTONDOWN = 0x00A4;
constexpr UINT WM_NCRBUTTONUP = 0x00A5;
constexpr UINT WM_NCRBUTTONDBLCLK = 0x00A6;
constexpr UINT WM_NCMBUTTONDOWN = 0x00A7;
constexpr UINT WM_NCMBUTTONUP = 0x00A8;
constexpr UINT WM_NCMBUTTONDBLCLK = 0x00A9;
constexpr UINT WM_KEYFIRST = 0x0100;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_DEADCHAR = 0x0103;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_SYSDEADCHAR = 0x0107;
constexpr UINT WM_KEYLAST = 0x0108;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_INITMENU = 0x0116;
constexpr UINT WM_INITMENUPOPUP = 0x0117;
constexpr UINT WM_MENUSELECT = 0x011F;
constexpr UINT WM_MENUCHAR = 0x0120;
constexpr UINT WM_ENTERIDLE = 0x0121;
constexpr UINT WM_CTLCOLORMSGBOX = 0x0132;
constexpr UINT WM_CTLCOLOREDIT = 0x0133;
constexpr UINT WM_CTLCOLORLISTBOX = 0x0134;
constexpr UINT WM_CTLCOLORBTN = 0x0135;
constexpr UINT WM_CTLCOLORDLG = 0x0136;
constexpr UINT WM_CTLCOLORSCROLLBAR = 0x0137;
constexpr UINT WM_CTLCOLORSTATIC = 0x0138;
constexpr UINT WM_MOUSEFIRST = 0x0200;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_MOUSEHWHEEL = 0x020E;
constexpr UINT WM_MOUSELAST = 0x020E;
constexpr UINT WM_PARENTNOTIFY = 0x0210;
constexpr UINT WM_ENTERMENULOOP = 0x0211;
constexpr UINT WM_EXITMENULOOP = 0x0212;
constexpr UINT WM_SIZING = 0x0214;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_MOVING = 0x0216;
constexpr UINT WM_ENTERSIZEMOVE = 0x0231;
constexpr UINT WM_EXITSIZEMOVE = 0x0232;
constexpr UINT WM_IME_STARTCOMPOSITION = 0x010D;
constexpr UINT WM_MOUSEHOVER = 0x02A1;
constexpr UINT WM_MOUSELEAVE = 0x02A3;
constexpr UINT WM_NCMOUSEHOVER = 0x02A0;
constexpr UINT WM_NCMOUSELEAVE = 0x02A2;
constexpr UINT WM_CUT = 0x0300;
constexpr UINT WM_COPY = 0x0301;
constexpr UINT WM_PASTE = 0x0302;
constexpr UINT WM_CLEAR = 0x0303;
constexpr UINT WM_UNDO = 0x0304;
constexpr UINT WM_PRINT = 0x0317;
constexpr UINT WM_PRINTCLIENT = 0x0318;
constexpr UINT WM_THEMECHANGED = 0x031A;
constexpr UINT WM_APP = 0x8000;
constexpr UINT WM_USER = 0x0400;

// Edit control messages (the standard controls answer those they need).
constexpr UINT EM_GETSEL = 0x00B0;
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_SETREADONLY = 0x00CF;
constexpr UINT EM_LIMITTEXT = 0x00C5;
constexpr UINT EM_CANUNDO = 0x00C6;
constexpr UINT EM_UNDO = 0x00C7;
constexpr UINT EM_GETMODIFY = 0x00B8;
// A balloon tip on an edit: LParam points to an EDITBALLOONTIP.
constexpr UINT EM_SHOWBALLOONTIP = 0x1503;
constexpr UINT EM_HIDEBALLOONTIP = 0x1504;
constexpr UINT EM_SETMODIFY = 0x00B9;
constexpr UINT EM_REPLACESEL = 0x00C2;
// The formatting rectangle of an edit (LParam points to a TRect; EM_SETRECTNP does not repaint).
constexpr UINT EM_GETRECT = 0x00B2;
constexpr UINT EM_SETRECT = 0x00B3;
constexpr UINT EM_SETRECTNP = 0x00B4;

// --- component-model messages ---------------------------------------------------------------
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_GOTFOCUS = CM_BASE + 2;
constexpr UINT CM_LOSTFOCUS = CM_BASE + 3;
constexpr UINT CM_CANCELMODE = CM_BASE + 4;
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_HITTEST = CM_BASE + 10;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_CTL3DCHANGED = CM_BASE + 16;
constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 17;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_MENUCHANGED = CM_BASE + 21;
constexpr UINT CM_APPKEYDOWN = CM_BASE + 22;
constexpr UINT CM_APPSYSCOMMAND = CM_BASE + 23;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_DESIGNHITTEST = CM_BASE + 28;
constexpr UINT CM_ICONCHANGED = CM_BASE + 29;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr UINT CM_INVOKEHELP = CM_BASE + 31;
constexpr UINT CM_WINDOWHOOK = CM_BASE + 32;
constexpr UINT CM_RELEASE = CM_BASE + 33;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 36;
constexpr UINT CM_WININICHANGE = CM_BASE + 37;
constexpr UINT CM_FONTCHANGE = CM_BASE + 38;
constexpr UINT CM_TIMECHANGE = CM_BASE + 39;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr UINT CM_UIACTIVATE = CM_BASE + 41;
constexpr UINT CM_UIDEACTIVATE = CM_BASE + 42;
constexpr UINT CM_DOCWINDOWACTIVATE = CM_BASE + 43;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr UINT CM_GETDATALINK = CM_BASE + 45;
constexpr UINT CM_CHILDKEY = CM_BASE + 46;
constexpr UINT CM_DRAG = CM_BASE + 47;
constexpr UINT CM_HINTSHOW = CM_BASE + 48;
constexpr UINT CM_DIALOGHANDLE = CM_BASE + 49;
constexpr UINT CM_ISTOOLCONTROL = CM_BASE + 50;
constexpr UINT CM_RECREATEWND = CM_BASE + 51;
constexpr UINT CM_INVALIDATE = CM_BASE + 52;
constexpr UINT CM_SYSFONTCHANGED = CM_BASE + 53;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 54;
constexpr UINT CM_CHANGED = CM_BASE + 55;
constexpr UINT CM_DOCKCLIENT = CM_BASE + 56;
constexpr UINT CM_UNDOCKCLIENT = CM_BASE + 57;
constexpr UINT CM_FLOAT = CM_BASE + 58;
constexpr UINT CM_BORDERCHANGED = CM_BASE + 59;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 60;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
constexpr UINT CM_ALLCHILDRENFLIPPED = CM_BASE + 62;
constexpr UINT CM_ACTIONUPDATE = CM_BASE + 63;
constexpr UINT CM_ACTIONEXECUTE = CM_BASE + 64;
constexpr UINT CM_HINTSHOWPAUSE = CM_BASE + 65;
constexpr UINT CM_DOCKNOTIFICATION = CM_BASE + 66;
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 67;
constexpr UINT CM_ISSHORTCUT = CM_BASE + 68;
constexpr UINT CM_UPDATEACTIONS = CM_BASE + 69;
constexpr UINT CM_INVALIDATEDOCKHOST = CM_BASE + 70;
constexpr UINT CM_SETACTIVECONTROL = CM_BASE + 71;
constexpr UINT CM_POPUPHWNDDESTROY = CM_BASE + 72;
constexpr UINT CM_CREATEPOPUP = CM_BASE + 73;
constexpr UINT CM_DESTROYHANDLE = CM_BASE + 74;
constexpr UINT CM_MOUSEACTIVATE = CM_BASE + 75;
constexpr UINT CM_CONTROLLISTCHANGING = CM_BASE + 76;
constexpr UINT CM_BUFFEREDPRINTCLIENT = CM_BASE + 77;
constexpr UINT CM_UNTHEMECONTROL = CM_BASE + 78;
constexpr UINT CM_DOUBLEBUFFEREDCHANGED = CM_BASE + 79;
constexpr UINT CM_PARENTDOUBLEBUFFEREDCHANGED = CM_BASE + 80;
constexpr UINT CM_STYLECHANGED = CM_BASE + 81;
constexpr UINT CM_DENYSUBCLASSING = CM_BASE + 2000;

// Notifications reflected back to the control that caused them.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;

// Notification codes carried in HIWORD(WParam) of WM_COMMAND / CN_COMMAND.
constexpr WORD EN_SETFOCUS = 0x0100;
constexpr WORD EN_KILLFOCUS = 0x0200;
constexpr WORD EN_CHANGE = 0x0300;
constexpr WORD EN_UPDATE = 0x0400;
constexpr WORD EN_ERRSPACE = 0x0500;
constexpr WORD EN_MAXTEXT = 0x0501;
constexpr WORD EN_HSCROLL = 0x0601;
constexpr WORD EN_VSCROLL = 0x0602;
constexpr int CBN_ERRSPACE = -1;
constexpr WORD CBN_SELCHANGE = 1;
constexpr WORD CBN_DBLCLK = 2;
constexpr WORD CBN_SETFOCUS = 3;
constexpr WORD CBN_KILLFOCUS = 4;
constexpr WORD CBN_EDITCHANGE = 5;
constexpr WORD CBN_EDITUPDATE = 6;
constexpr WORD CBN_DROPDOWN = 7;
constexpr WORD CBN_CLOSEUP = 8;
constexpr WORD CBN_SELENDOK = 9;
constexpr WORD CBN_SELENDCANCEL = 10;
constexpr WORD LBN_SELCHANGE = 1;
constexpr WORD LBN_DBLCLK = 2;
constexpr WORD LBN_SELCANCEL = 3;
constexpr WORD LBN_SETFOCUS = 4;
constexpr WORD LBN_KILLFOCUS = 5;
constexpr WORD BN_CLICKED = 0;
constexpr WORD BN_PAINT = 1;
constexpr WORD BN_DOUBLECLICKED = 5;
constexpr WORD BN_SETFOCUS = 6;
constexpr WORD BN_KILLFOCUS = 7;

// WM_NOTIFY codes (negative, as the classic headers define them).
constexpr int NM_FIRST = 0;
constexpr int NM_CLICK = NM_FIRST - 2;
constexpr int NM_DBLCLK = NM_FIRST - 3;
constexpr int NM_RETURN = NM_FIRST - 4;
constexpr int NM_RCLICK = NM_FIRST - 5;
constexpr int NM_SETFOCUS = NM_FIRST - 7;
constexpr int NM_KILLFOCUS = NM_FIRST - 8;
constexpr int NM_CUSTOMDRAW = NM_FIRST - 12;
constexpr int TTN_FIRST = -520;
constexpr int TTN_GETDISPINFO = TTN_FIRST - 10;
constexpr int TTN_SHOW = TTN_FIRST - 1;
constexpr int TTN_POP = TTN_FIRST - 2;
constexpr int DTN_FIRST = -760;
constexpr int DTN_DATETIMECHANGE = DTN_FIRST + 1;
constexpr int DTN_DROPDOWN = DTN_FIRST + 6;
constexpr int DTN_CLOSEUP = DTN_FIRST + 7;
constexpr int TCN_FIRST = -550;
constexpr int TCN_SELCHANGE = TCN_FIRST - 1;
constexpr int TCN_SELCHANGING = TCN_FIRST - 2;

// --- key codes --------------------------------------------------------------------------------
constexpr WORD VK_LBUTTON = 0x01;
constexpr WORD VK_RBUTTON = 0x02;
constexpr WORD VK_CANCEL = 0x03;
constexpr WORD VK_MBUTTON = 0x04;
constexpr WORD VK_BACK = 0x08;
constexpr WORD VK_TAB = 0x09;
constexpr WORD VK_CLEAR = 0x0C;
constexpr WORD VK_RETURN = 0x0D;
constexpr WORD VK_SHIFT = 0x10;
constexpr WORD VK_CONTROL = 0x11;
constexpr WORD VK_MENU = 0x12;
constexpr WORD VK_PAUSE = 0x13;
constexpr WORD VK_CAPITAL = 0x14;
constexpr WORD VK_ESCAPE = 0x1B;
constexpr WORD VK_SPACE = 0x20;
constexpr WORD VK_PRIOR = 0x21;
constexpr WORD VK_NEXT = 0x22;
constexpr WORD VK_END = 0x23;
constexpr WORD VK_HOME = 0x24;
constexpr WORD VK_LEFT = 0x25;
constexpr WORD VK_UP = 0x26;
constexpr WORD VK_RIGHT = 0x27;
constexpr WORD VK_DOWN = 0x28;
constexpr WORD VK_SELECT = 0x29;
constexpr WORD VK_PRINT = 0x2A;
constexpr WORD VK_SNAPSHOT = 0x2C;
constexpr WORD VK_INSERT = 0x2D;
constexpr WORD VK_DELETE = 0x2E;
constexpr WORD VK_HELP = 0x2F;
// '0'..'9' and 'A'..'Z' are their ASCII codes.
constexpr WORD VK_LWIN = 0x5B;
constexpr WORD VK_RWIN = 0x5C;
constexpr WORD VK_APPS = 0x5D;
constexpr WORD VK_NUMPAD0 = 0x60;
constexpr WORD VK_NUMPAD1 = 0x61;
constexpr WORD VK_NUMPAD2 = 0x62;
constexpr WORD VK_NUMPAD3 = 0x63;
constexpr WORD VK_NUMPAD4 = 0x64;
constexpr WORD VK_NUMPAD5 = 0x65;
constexpr WORD VK_NUMPAD6 = 0x66;
constexpr WORD VK_NUMPAD7 = 0x67;
constexpr WORD VK_NUMPAD8 = 0x68;
constexpr WORD VK_NUMPAD9 = 0x69;
constexpr WORD VK_MULTIPLY = 0x6A;
constexpr WORD VK_ADD = 0x6B;
constexpr WORD VK_SEPARATOR = 0x6C;
constexpr WORD VK_SUBTRACT = 0x6D;
constexpr WORD VK_DECIMAL = 0x6E;
constexpr WORD VK_DIVIDE = 0x6F;
constexpr WORD VK_F1 = 0x70;
constexpr WORD VK_F2 = 0x71;
constexpr WORD VK_F3 = 0x72;
constexpr WORD VK_F4 = 0x73;
constexpr WORD VK_F5 = 0x74;
constexpr WORD VK_F6 = 0x75;
constexpr WORD VK_F7 = 0x76;
constexpr WORD VK_F8 = 0x77;
constexpr WORD VK_F9 = 0x78;
constexpr WORD VK_F10 = 0x79;
constexpr WORD VK_F11 = 0x7A;
constexpr WORD VK_F12 = 0x7B;
constexpr WORD VK_NUMLOCK = 0x90;
constexpr WORD VK_SCROLL = 0x91;
constexpr WORD VK_LSHIFT = 0xA0;
constexpr WORD VK_RSHIFT = 0xA1;
constexpr WORD VK_LCONTROL = 0xA2;
constexpr WORD VK_RCONTROL = 0xA3;
constexpr WORD VK_LMENU = 0xA4;
constexpr WORD VK_RMENU = 0xA5;

// Key-state flags in WParam of mouse messages.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;
constexpr int WHEEL_DELTA = 120;
// Bit 29 of a key message's KeyData: the Alt key was down.
constexpr LPARAM AltMask = 0x20000000;

// WM_GETDLGCODE answers.
constexpr LRESULT DLGC_WANTARROWS = 0x0001;
constexpr LRESULT DLGC_WANTTAB = 0x0002;
constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
constexpr LRESULT DLGC_WANTMESSAGE = 0x0004;
constexpr LRESULT DLGC_HASSETSEL = 0x0008;
constexpr LRESULT DLGC_DEFPUSHBUTTON = 0x0010;
constexpr LRESULT DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr LRESULT DLGC_RADIOBUTTON = 0x0040;
constexpr LRESULT DLGC_WANTCHARS = 0x0080;
constexpr LRESULT DLGC_STATIC = 0x0100;
constexpr LRESULT DLGC_BUTTON = 0x2000;

// WM_NCHITTEST answers.
constexpr LRESULT HTERROR = -2;
constexpr LRESULT HTTRANSPARENT = -1;
constexpr LRESULT HTNOWHERE = 0;
constexpr LRESULT HTCLIENT = 1;
constexpr LRESULT HTCAPTION = 2;
constexpr LRESULT HTSYSMENU = 3;
constexpr LRESULT HTSIZE = 4;
constexpr LRESULT HTMENU = 5;
constexpr LRESULT HTHSCROLL = 6;
constexpr LRESULT HTVSCROLL = 7;
constexpr LRESULT HTMINBUTTON = 8;
constexpr LRESULT HTMAXBUTTON = 9;
constexpr LRESULT HTLEFT = 10;
constexpr LRESULT HTRIGHT = 11;
constexpr LRESULT HTTOP = 12;
constexpr LRESULT HTTOPLEFT = 13;
constexpr LRESULT HTTOPRIGHT = 14;
constexpr LRESULT HTBOTTOM = 15;
constexpr LRESULT HTBOTTOMLEFT = 16;
constexpr LRESULT HTBOTTOMRIGHT = 17;
constexpr LRESULT HTBORDER = 18;
constexpr LRESULT HTCLOSE = 20;

// WM_SIZING: the edge being dragged (LParam points to the window's proposed screen TRect).
constexpr WPARAM WMSZ_BOTTOMRIGHT = 8;

// WM_SIZE kinds.
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;

// ShowWindow commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_NORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_MAXIMIZE = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWMINNOACTIVE = 7;
constexpr int SW_SHOWNA = 8;
constexpr int SW_RESTORE = 9;
constexpr int SW_SHOWDEFAULT = 10;

// WM_ACTIVATE states.
constexpr WPARAM WA_INACTIVE = 0;
constexpr WPARAM WA_ACTIVE = 1;
constexpr WPARAM WA_CLICKACTIVE = 2;

// Message box flags and answers.
constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_OKCANCEL = 0x0001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x0002;
constexpr UINT MB_YESNOCANCEL = 0x0003;
constexpr UINT MB_YESNO = 0x0004;
constexpr UINT MB_RETRYCANCEL = 0x0005;
constexpr UINT MB_ICONHAND = 0x0010;
constexpr UINT MB_ICONERROR = 0x0010;
constexpr UINT MB_ICONSTOP = 0x0010;
constexpr UINT MB_ICONQUESTION = 0x0020;
constexpr UINT MB_ICONEXCLAMATION = 0x0030;
constexpr UINT MB_ICONWARNING = 0x0030;
constexpr UINT MB_ICONASTERISK = 0x0040;
constexpr UINT MB_ICONINFORMATION = 0x0040;
constexpr UINT MB_DEFBUTTON1 = 0x0000;
constexpr UINT MB_DEFBUTTON2 = 0x0100;
constexpr UINT MB_DEFBUTTON3 = 0x0200;
constexpr UINT MB_APPLMODAL = 0x0000;
constexpr UINT MB_SYSTEMMODAL = 0x1000;
constexpr UINT MB_TASKMODAL = 0x2000;
constexpr UINT MB_TOPMOST = 0x40000;
constexpr UINT MB_TYPEMASK = 0x000F;
constexpr UINT MB_ICONMASK = 0x00F0;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
constexpr int IDCLOSE = 8;
constexpr int IDHELP = 9;

// --- message records ------------------------------------------------------------------------
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;

    WORD WParamLo() const { return LOWORD(WParam); }
    WORD WParamHi() const { return HIWORD(WParam); }
    WORD LParamLo() const { return LOWORD(std::uintptr_t(LParam)); }
    WORD LParamHi() const { return HIWORD(std::uintptr_t(LParam)); }
};

// Typed views of a TMessage, as the model's message records; they read and write the message.
struct TWMNoParams {
    TMessage& M;
    explicit TWMNoParams(TMessage& m) : M(m) {}
    UINT Msg() const { return M.Msg; }
    LRESULT& Result() { return M.Result; }
};

// WM_KEYDOWN/UP, WM_CHAR, WM_SYSKEYDOWN/UP, WM_SYSCHAR, CM_DIALOGKEY, CM_DIALOGCHAR,
// CM_WANTSPECIALKEY, CN_KEYDOWN ...: setting CharCode to 0 swallows the key.
struct TWMKey : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    WORD CharCode() const { return WORD(M.WParam); }
    void SetCharCode(WORD c) { M.WParam = c; }
    LPARAM KeyData() const { return M.LParam; }
};
using TWMChar = TWMKey;
using TWMKeyDown = TWMKey;
using TWMKeyUp = TWMKey;
using TWMSysKeyDown = TWMKey;
using TCMDialogKey = TWMKey;
using TCMDialogChar = TWMKey;
using TCMWantSpecialKey = TWMKey;

// Mouse messages: client coordinates in LParam, MK_ flags in WParam.
struct TWMMouse : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    WPARAM Keys() const { return M.WParam; }
    short XPos() const { return GET_X_LPARAM(M.LParam); }
    short YPos() const { return GET_Y_LPARAM(M.LParam); }
    TPoint Pos() const { return LParamToPoint(M.LParam); }
};
using TWMLButtonDown = TWMMouse;
using TWMLButtonUp = TWMMouse;
using TWMLButtonDblClk = TWMMouse;
using TWMRButtonDown = TWMMouse;
using TWMRButtonUp = TWMMouse;
using TWMMouseMove = TWMMouse;
using TWMNCHitTest = TWMMouse; // screen coordinates

// WM_MOUSEWHEEL: keys in LOWORD(WParam), signed delta in HIWORD(WParam), screen position.
struct TWMMouseWheel : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    WORD Keys() const { return LOWORD(M.WParam); }
    short WheelDelta() const { return short(HIWORD(M.WParam)); }
    TPoint Pos() const { return LParamToPoint(M.LParam); }
};

// WM_SIZE: kind in WParam, client width and height in LParam.
struct TWMSize : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    WPARAM SizeType() const { return M.WParam; }
    int Width() const { return M.LParamLo(); }
    int Height() const { return M.LParamHi(); }
};

// WM_PAINT: WParam may carry a device context to paint on instead of the window's own.
struct TWMPaint : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    HDC DC() const { return reinterpret_cast<HDC>(M.WParam); }
};
using TWMEraseBkgnd = TWMPaint;

// WM_SETFOCUS / WM_KILLFOCUS: the window losing (gaining) focus.
struct TWMFocus : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    HWND FocusedWnd() const { return reinterpret_cast<HWND>(M.WParam); }
};
using TWMSetFocus = TWMFocus;
using TWMKillFocus = TWMFocus;

struct TWMTimer : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    WPARAM TimerID() const { return M.WParam; }
};

// WM_SETCURSOR: the window under the mouse in WParam, hit-test code and mouse message in LParam.
struct TWMSetCursor : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    HWND CursorWnd() const { return reinterpret_cast<HWND>(M.WParam); }
    short HitTest() const { return short(M.LParamLo()); }
    WORD MouseMsg() const { return M.LParamHi(); }
};

// WM_CONTEXTMENU: screen position, or (-1,-1) when opened from the keyboard.
struct TWMContextMenu : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    HWND hWnd() const { return reinterpret_cast<HWND>(M.WParam); }
    TPoint Pos() const { return LParamToPoint(M.LParam); }
};

// WM_COMMAND / CN_COMMAND: control id in LOWORD(WParam), notification code in HIWORD(WParam),
// the control's window in LParam.
struct TWMCommand : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    WORD ItemID() const { return M.WParamLo(); }
    WORD NotifyCode() const { return M.WParamHi(); }
    HWND Ctl() const { return reinterpret_cast<HWND>(M.LParam); }
};

// WM_SCROLL: scroll code in LOWORD(WParam), position in HIWORD(WParam).
struct TWMScroll : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    WORD ScrollCode() const { return M.WParamLo(); }
    short Pos() const { return short(M.WParamHi()); }
    // The scroll bar control that sent it; nullptr for the window's own bar.
    HWND ScrollBar() const { return reinterpret_cast<HWND>(M.LParam); }
};
using TWMHScroll = TWMScroll;
using TWMVScroll = TWMScroll;

constexpr WORD SB_LINEUP = 0;
constexpr WORD SB_LINELEFT = 0;
constexpr WORD SB_LINEDOWN = 1;
constexpr WORD SB_LINERIGHT = 1;
constexpr WORD SB_PAGEUP = 2;
constexpr WORD SB_PAGELEFT = 2;
constexpr WORD SB_PAGEDOWN = 3;
constexpr WORD SB_PAGERIGHT = 3;
constexpr WORD SB_THUMBPOSITION = 4;
constexpr WORD SB_THUMBTRACK = 5;
constexpr WORD SB_TOP = 6;
constexpr WORD SB_LEFT = 6;
constexpr WORD SB_BOTTOM = 7;
constexpr WORD SB_RIGHT = 7;
constexpr WORD SB_ENDSCROLL = 8;

// The header of a WM_NOTIFY record (LParam points to it).
struct NMHDR {
    HWND hwndFrom = nullptr;
    std::uintptr_t idFrom = 0;
    int code = 0;
};

// DTN_DATETIMECHANGE: the date picker's new value (all zero: no date).
struct SYSTEMTIME {
    WORD wYear = 0, wMonth = 0, wDayOfWeek = 0, wDay = 0;
    WORD wHour = 0, wMinute = 0, wSecond = 0, wMilliseconds = 0;
};
struct NMDATETIMECHANGE {
    NMHDR nmhdr;
    DWORD dwFlags = 0;
    SYSTEMTIME st;
};

// The record of EM_SHOWBALLOONTIP; the icon is TTI_NONE (0), TTI_INFO, TTI_WARNING or TTI_ERROR.
struct EDITBALLOONTIP {
    DWORD cbStruct = sizeof(EDITBALLOONTIP);
    const char16_t* pszTitle = nullptr;
    const char16_t* pszText = nullptr;
    int ttiIcon = 0;
};

// Tree-view control messages: item handles stand for items (0: none).
constexpr UINT TVM_GETITEMRECT = 0x1104;
constexpr UINT TVM_GETNEXTITEM = 0x110A;
constexpr UINT TVM_GETITEMW = 0x113E;
constexpr UINT TVIF_TEXT = 0x0001;
constexpr UINT TVIF_IMAGE = 0x0002;
constexpr UINT TVIF_STATE = 0x0008;
constexpr UINT TVIF_HANDLE = 0x0010;
constexpr UINT TVIF_SELECTEDIMAGE = 0x0020;
constexpr UINT TVIF_CHILDREN = 0x0040;
constexpr UINT TVIS_FOCUSED = 0x0001;
constexpr UINT TVIS_SELECTED = 0x0002;
constexpr UINT TVIS_CUT = 0x0004;
constexpr UINT TVIS_DROPHILITED = 0x0008;
constexpr UINT TVIS_EXPANDED = 0x0020;
enum : WPARAM {
    TVGN_ROOT,
    TVGN_NEXT,
    TVGN_PREVIOUS,
    TVGN_PARENT,
    TVGN_CHILD,
    TVGN_FIRSTVISIBLE,
    TVGN_NEXTVISIBLE,
    TVGN_PREVIOUSVISIBLE,
    TVGN_DROPHILITE,
    TVGN_CARET,
    TVGN_LASTVISIBLE
};
// The item record of TVM_GETITEMW (LParam points to it).
struct TVITEMW {
    UINT mask = 0;
    LPARAM hItem = 0;
    UINT state = 0;
    UINT stateMask = 0;
    char16_t* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    int iSelectedImage = 0;
    int cChildren = 0;
    LPARAM lParam = 0;
};
// WM_GETOBJECT's object id of a window's client.
constexpr LPARAM OBJID_CLIENT = -4;

// Returns the same number for the same name for the life of the process (0xC000..0xFFFF).
UINT RegisterWindowMessage(const std::string& name);
// Clipboard formats share the numbers of registered messages, as on the classic system.
UINT RegisterClipboardFormat(const std::string& name);
// The name a format was registered with; empty for any other number.
std::string GetClipboardFormatName(UINT format);
