// The tree window's non-client frame (border, bevels, border ring), printing into a given DC
// and the window's answers to enabled, theme, border and style changes.
#include "treeview/LazyTree.h"

#include "platform/base/SysUtils.h"
#include "platform/ui/core/Timers.h"

namespace {
// Window re-creation after a theme change waits this long, so that a burst of changes recreates
// the window once.
constexpr std::uintptr_t ThemeChangedTimer = 8;
constexpr unsigned ThemeChangedDelay = 500;
} // namespace

void TBaseLazyTree::WMNCCalcSize(TMessage& Message) {
    TCustomControl::Dispatch(Message);
    if (!Message.WParam || !Message.LParam) return;
    // Inside the window border: the bevels, then the border ring, then the scroll bars.
    TRect& r = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0];
    InflateRect(r, -FBorderWidth, -FBorderWidth);
    if (FBevelKind != bkNone) {
        const int edge =
            (FBevelInner != bvNone ? FBevelWidth : 0) + (FBevelOuter != bvNone ? FBevelWidth : 0);
        if (FBevelEdges.Contains(beLeft)) r.Left += edge;
        if (FBevelEdges.Contains(beTop)) r.Top += edge;
        if (FBevelEdges.Contains(beRight)) r.Right -= edge;
        if (FBevelEdges.Contains(beBottom)) r.Bottom -= edge;
    }
    // The header takes a strip above the client area.
    if (FHeader && FHeader->Options().Contains(hoVisible))
        r.Top = std::min(r.Top + FHeader->Height(), r.Bottom);
}

void TBaseLazyTree::ComputeHeaderArea() {
    TRect r(0, 0, Width(), Height());
    int dx = 0, dy = 0;
    QueryBorderSize(dx, dy);
    InflateRect(r, dx, dy);
    InflateRect(r, -FBorderWidth, -FBorderWidth);
    if (FBevelKind != bkNone) {
        const int edge =
            (FBevelInner != bvNone ? FBevelWidth : 0) + (FBevelOuter != bvNone ? FBevelWidth : 0);
        if (FBevelEdges.Contains(beLeft)) r.Left += edge;
        if (FBevelEdges.Contains(beTop)) r.Top += edge;
    }
    if (!FHeader->Options().Contains(hoVisible))
        r.Bottom = r.Top;
    else if (r.Left > r.Right || r.Top > r.Bottom)
        r = TRect(0, 0, 0, 0);
    else
        r.Bottom = r.Top + FHeader->Height();
    FHeaderRect = r;
}

void TBaseLazyTree::WMNCPaint(TMessage& Message) {
    // The platform draws no themed edge, so the classic border comes first in any case.
    TCustomControl::Dispatch(Message);
    HDC dc = GetWindowDC(Handle());
    PaintNonClientBorder(dc);
    if (FHeader->Options().Contains(hoVisible)) {
        ComputeHeaderArea();
        FHeader->Columns()->PaintHeader(dc, FHeaderRect, -FEffectiveOffsetX);
    }
    ReleaseDC(Handle(), dc);
}

void TBaseLazyTree::WMPrint(TMessage& Message) {
    // The tree has no header to print first.
    TCustomControl::Dispatch(Message);
}

void TBaseLazyTree::WMPrintClient(TMessage& Message) {
    if ((Message.LParam & PRF_CHECKVISIBLE) && !Visible()) return;
    auto* canvas = reinterpret_cast<TCanvas*>(Message.WParam);
    if (!canvas) return;
    TRect window = ClientRect();
    OffsetRect(window, FEffectiveOffsetX, -FOffsetY);
    TLTInternalPaintOptions options = PaintOptionsOfRepaint;
    options.Exclude(poColumnColor);
    PaintTree(canvas, window, ClientRect().TopLeft(), options);
}

void TBaseLazyTree::WMEnable(TMessage& Message) {
    TCustomControl::Dispatch(Message);
    RedrawWindow(Handle(), nullptr, nullptr,
                 RDW_FRAME | RDW_NOCHILDREN | RDW_NOERASE | RDW_INVALIDATE);
}

void TBaseLazyTree::WMThemeChanged(TMessage& Message) {
    TCustomControl::Dispatch(Message);
    // Visual styles are always on here: the theme state follows toThemeAware.
    if (TreeOptions()->PaintOptions().Contains(toThemeAware))
        ChangeTreeStates({tsUseThemes}, {});
    else
        ChangeTreeStates({}, {tsUseThemes});
    if (!FThemeChanging) SetTimer(Handle(), ThemeChangedTimer, ThemeChangedDelay);
    FThemeChanging = false;
}

void TBaseLazyTree::ApplyWindowTheme(const std::string& /*Name*/) {
    // A theme applied by the tree itself is not a theme change of the system.
    FThemeChanging = true;
    if (HandleAllocated()) Perform(WM_THEMECHANGED);
}

bool TBaseLazyTree::themeTimer(std::uintptr_t Id) {
    if (Id != ThemeChangedTimer) return false;
    killTreeTimer(ThemeChangedTimer);
    RecreateWnd();
    return true;
}

void TBaseLazyTree::frameChanged() {
    if (HandleAllocated()) Perform(CM_BORDERCHANGED);
}

void TBaseLazyTree::SetBevelKind(TBevelKind v) {
    if (v == FBevelKind) return;
    FBevelKind = v;
    frameChanged();
}

void TBaseLazyTree::SetBevelInner(TBevelCut v) {
    if (v == FBevelInner) return;
    FBevelInner = v;
    frameChanged();
}

void TBaseLazyTree::SetBevelOuter(TBevelCut v) {
    if (v == FBevelOuter) return;
    FBevelOuter = v;
    frameChanged();
}

void TBaseLazyTree::SetBevelEdges(TBevelEdges v) {
    if (v == FBevelEdges) return;
    FBevelEdges = v;
    frameChanged();
}

void TBaseLazyTree::SetBevelWidth(int v) {
    v = std::max(v, 1);
    if (v == FBevelWidth) return;
    FBevelWidth = v;
    frameChanged();
}

void TBaseLazyTree::SetBorderWidth(int v) {
    v = std::max(v, 0);
    if (v == FBorderWidth) return;
    FBorderWidth = v;
    frameChanged();
}

void TBaseLazyTree::SetCtl3D(bool v) {
    if (v == FCtl3D) return;
    FCtl3D = v;
    if (HandleAllocated()) Perform(CM_CTL3DCHANGED);
}

bool TBaseLazyTree::dispatchFrameMessage(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCCALCSIZE:
        WMNCCalcSize(Message);
        return true;
    case WM_NCPAINT:
        WMNCPaint(Message);
        return true;
    case WM_PRINT:
        WMPrint(Message);
        return true;
    case WM_PRINTCLIENT:
        WMPrintClient(Message);
        return true;
    case WM_ENABLE:
        WMEnable(Message);
        return true;
    case WM_THEMECHANGED:
        WMThemeChanged(Message);
        return true;
    case CM_CTL3DCHANGED:
        // The client edge comes with the 3-D look.
        TCustomControl::Dispatch(Message);
        if (FBorderStyle == bsSingle && HandleAllocated()) RecreateWnd();
        return true;
    case CM_STYLECHANGED:
        UpdateStyleState();
        if (HandleAllocated()) RecreateWnd();
        return true;
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        // A press on the frame or a scroll bar focuses the tree.
        if (!Focused() && CanFocus()) SetFocus();
        TCustomControl::Dispatch(Message);
        return true;
    case CM_DENYSUBCLASSING:
        Message.Result = 1;
        return true;
    case CM_PARENTDOUBLEBUFFEREDCHANGED:
        // The tree keeps its own buffering.
        return true;
    case CM_SYSCOLORCHANGE:
        TCustomControl::Dispatch(Message);
        ReloadCheckImages();
        InvalidateWhenShown();
        return true;
    default:
        return false;
    }
}

void TBaseLazyTree::ChangeScale(int M, int D) {
    if (M != D && D != 0 && TreeOptions()->AutoOptions().Contains(toAutoChangeScale)) {
        SetDefaultNodeHeight(std::uint32_t(MulDiv(int(FDefaultNodeHeight), M, D)));
        SetIndent(std::uint32_t(MulDiv(int(FIndent), M, D)));
    }
    TCustomControl::ChangeScale(M, D);
}
