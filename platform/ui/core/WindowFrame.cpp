// Window scroll bars and the non-client frame: the frame's calculation and painting, the scroll
// information of both bars and the window DC.
#include "platform/ui/core/WindowFrame.h"

#include "platform/gfx/Gdi.h"
#include "platform/ui/core/ControlsInternal.h"
#include "platform/ui/core/SysInfo.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr int minThumb = 8;

DWORD barStyle(int Bar) {
    return Bar == SB_VERT ? WS_VSCROLL : Bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL | WS_HSCROLL;
}

} // namespace

int TWindowScrollBar::MaxPos() const {
    return std::max(Min, Max - std::max(int(Page) - 1, 0));
}

// The members of TWinControl the window functions below work on.
struct WindowFrameAccess {
    static TWindowFrame& frame(TWinControl* c) {
        if (!c->frame_) c->frame_ = std::make_unique<TWindowFrame>();
        return *c->frame_;
    }
    static const TWindowFrame* peek(const TWinControl* c) { return c->frame_.get(); }
    static DWORD& style(TWinControl* c) { return c->style_; }
    static bool isChildWindow(const TWinControl* c) {
        return !c->IsTopLevelWindow() && !(c->style_ & WS_POPUP);
    }
    // The frame changed: calculate it again and tell the window when its client size changed.
    static void frameChanged(TWinControl* c) {
        const int w = c->ClientWidth(), h = c->ClientHeight();
        c->calcFrame();
        c->Invalidate();
        if (c->ClientWidth() != w || c->ClientHeight() != h)
            c->Perform(WM_SIZE, SIZE_RESTORED, MAKELPARAM(c->ClientWidth(), c->ClientHeight()));
    }
    static TWindowScrollBar* bar(HWND handle, int Bar, bool create) {
        TWinControl* c = FindControl(handle);
        if (!c || (Bar != SB_HORZ && Bar != SB_VERT) || (!create && !c->frame_)) return nullptr;
        return &frame(c).Bars[Bar];
    }
};

TRect TWinControl::ClientRect() const {
    if (!frame_) return TControl::ClientRect();
    return Rect(0, 0, frame_->Client.Width(), frame_->Client.Height());
}

void TWinControl::calcFrame() {
    if (!handle_ || !WindowFrameAccess::isChildWindow(this)) return;
    NCCALCSIZE_PARAMS params;
    params.rgrc[0] = Bounds(left_, top_, width_, height_);
    Perform(WM_NCCALCSIZE, 1, LPARAM(&params));
    TRect client = params.rgrc[0];
    OffsetRect(client, -left_, -top_);
    client.Left = std::clamp(client.Left, 0, width_);
    client.Top = std::clamp(client.Top, 0, height_);
    client.Right = std::clamp(client.Right, client.Left, width_);
    client.Bottom = std::clamp(client.Bottom, client.Top, height_);
    // A window that never had a frame keeps having none while it asks for none.
    if (!frame_ && client == Bounds(0, 0, width_, height_)) return;
    TWindowFrame& f = WindowFrameAccess::frame(this);
    f.Client = client;
    f.Invalid = true;
    PeerChanged(pcFrame);
}

void TWinControl::paintFrame() {
    frame_->Invalid = false;
    if (!handle_ || width_ <= 0 || height_ <= 0) return;
    auto& image = frame_->Image;
    if (!image) {
        image = std::make_unique<TBitmap>();
        image->SetPixelFormat(pf24bit);
    }
    if (image->Width() != width_ || image->Height() != height_) image->SetSize(width_, height_);
    HDC dc = image->Canvas();
    SelectClipRgn(dc, nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    Perform(WM_NCPAINT, 1, 0);
    SelectClipRgn(dc, nullptr);
    PeerChanged(pcFrame);
}

namespace controls {

void defaultFrameMessage(TWinControl* control, TMessage& Message) {
    if (Message.Msg == CM_BORDERCHANGED) {
        if (control->HandleAllocated()) WindowFrameAccess::frameChanged(control);
        return;
    }
    if (Message.Msg == WM_PRINT) {
        auto* dc = reinterpret_cast<TCanvas*>(Message.WParam);
        if (!dc || ((Message.LParam & PRF_CHECKVISIBLE) && !IsWindowVisible(control->Handle())))
            return;
        control->Update();
        const TWindowFrame* frame = WindowFrame(control);
        if ((Message.LParam & PRF_NONCLIENT) && frame && frame->Image)
            dc->Draw(0, 0, frame->Image.get());
        if (Message.LParam & PRF_CLIENT) {
            const TPoint at = frame ? frame->Client.TopLeft() : TPoint{};
            const int saved = SaveDC(dc);
            TPoint origin;
            GetViewportOrgEx(dc, origin);
            SetViewportOrgEx(dc, origin.X + at.X, origin.Y + at.Y, nullptr);
            IntersectClipRect(dc, 0, 0, control->ClientWidth(), control->ClientHeight());
            control->Perform(WM_PRINTCLIENT, Message.WParam, Message.LParam);
            RestoreDC(dc, saved);
        }
        return;
    }
    const DWORD style = DWORD(GetWindowLong(control->Handle(), GWL_STYLE));
    const DWORD exStyle = DWORD(GetWindowLong(control->Handle(), GWL_EXSTYLE));
    if (Message.Msg == WM_NCCALCSIZE) {
        if (!Message.WParam || !Message.LParam) return;
        TRect& r = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0];
        if (style & WS_BORDER) InflateRect(r, -1, -1);
        if (exStyle & WS_EX_CLIENTEDGE) InflateRect(r, -2, -2);
        if ((style & WS_VSCROLL) && r.Width() >= SystemScrollBarSize) {
            if (control->UseRightToLeftScrollBar())
                r.Left += SystemScrollBarSize;
            else
                r.Right -= SystemScrollBarSize;
        }
        if ((style & WS_HSCROLL) && r.Height() >= SystemScrollBarSize)
            r.Bottom -= SystemScrollBarSize;
        return;
    }
    // WM_NCPAINT: the border, the client edge, the scroll bars and the corner between them.
    const TWindowFrame* frame = WindowFrame(control);
    if (!frame) return;
    HDC dc = GetWindowDC(control->Handle());
    TRect r(0, 0, control->Width(), control->Height());
    if (style & WS_BORDER) {
        FrameRect(dc, r, ColorToRGB(clWindowFrame));
        InflateRect(r, -1, -1);
    }
    if (exStyle & WS_EX_CLIENTEDGE) DrawEdge(dc, r, EDGE_SUNKEN, BF_RECT);
    for (int bar : {SB_HORZ, SB_VERT}) {
        const TRect rect = ScrollBarRect(control, bar);
        if (!rect.IsEmpty())
            PaintClassicScrollBar(dc, rect, bar == SB_VERT, frame->Bars[bar].Enabled,
                                  ScrollBarThumbRect(control, bar));
    }
    if ((style & WS_VSCROLL) && (style & WS_HSCROLL)) {
        const TRect& c = frame->Client;
        const int x = control->UseRightToLeftScrollBar() ? c.Left - SystemScrollBarSize : c.Right;
        FillRect(dc, Rect(x, c.Bottom, x + SystemScrollBarSize, c.Bottom + SystemScrollBarSize),
                 ColorToRGB(clBtnFace));
    }
    ReleaseDC(control->Handle(), dc);
}

} // namespace controls

// --- the frame for peers and tests ------------------------------------------------------------

const TWindowFrame* WindowFrame(TWinControl* control) {
    return control ? WindowFrameAccess::peek(control) : nullptr;
}

TRect ScrollBarRect(TWinControl* control, int Bar) {
    const TWindowFrame* f = WindowFrame(control);
    if (!f || !(WindowFrameAccess::style(control) & barStyle(Bar))) return {};
    const TRect& c = f->Client;
    const int vx = control->UseRightToLeftScrollBar() ? c.Left - SystemScrollBarSize : c.Right;
    TRect r = Bar == SB_VERT ? Rect(vx, c.Top, vx + SystemScrollBarSize, c.Bottom)
                             : Rect(c.Left, c.Bottom, c.Right, c.Bottom + SystemScrollBarSize);
    r.Left = std::max(r.Left, 0);
    r.Right = std::min(r.Right, control->Width());
    r.Bottom = std::min(r.Bottom, control->Height());
    return r.Width() > 0 && r.Height() > 0 ? r : TRect{};
}

TRect ScrollBarThumbRect(TWinControl* control, int Bar) {
    const TRect bar = ScrollBarRect(control, Bar);
    if (bar.IsEmpty()) return {};
    const TWindowScrollBar& b = WindowFrame(control)->Bars[Bar];
    const bool vertical = Bar == SB_VERT;
    const int length = vertical ? bar.Height() : bar.Width();
    const int arrow = std::min(SystemScrollBarSize, length / 2);
    const int track = length - 2 * arrow;
    const std::int64_t range = std::int64_t(b.Max) - b.Min + 1;
    if (!b.Enabled || track < minThumb || range <= 0 || b.MaxPos() <= b.Min) return {};
    int thumb = b.Page ? int(std::int64_t(track) * b.Page / range) : SystemScrollBarSize;
    thumb = std::clamp(thumb, minThumb, track);
    const std::int64_t span = std::int64_t(b.MaxPos()) - b.Min;
    const int at = arrow + int(std::int64_t(track - thumb) * (b.Pos - b.Min) / span);
    return vertical ? Rect(bar.Left, bar.Top + at, bar.Right, bar.Top + at + thumb)
                    : Rect(bar.Left + at, bar.Top, bar.Left + at + thumb, bar.Bottom);
}

void SetScrollTrackPos(TWinControl* control, int Bar, int Pos) {
    if (TWindowScrollBar* b = WindowFrameAccess::bar(control->Handle(), Bar, true))
        b->TrackPos = std::clamp(Pos, b->Min, b->MaxPos());
}

void PaintClassicScrollBar(TCanvas* Canvas, const TRect& Bar, bool Vertical, bool Enabled,
                           const TRect& Thumb) {
    const int length = Vertical ? Bar.Height() : Bar.Width();
    const int arrow = std::min(SystemScrollBarSize, length / 2);
    TRect back = Vertical ? Rect(Bar.Left, Bar.Top, Bar.Right, Bar.Top + arrow)
                          : Rect(Bar.Left, Bar.Top, Bar.Left + arrow, Bar.Bottom);
    TRect forward = Vertical ? Rect(Bar.Left, Bar.Bottom - arrow, Bar.Right, Bar.Bottom)
                             : Rect(Bar.Right - arrow, Bar.Top, Bar.Right, Bar.Bottom);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(clScrollBar);
    Canvas->FillRect(Vertical ? Rect(Bar.Left, back.Bottom, Bar.Right, forward.Top)
                              : Rect(back.Right, Bar.Top, forward.Left, Bar.Bottom));
    const unsigned inactive = Enabled ? 0 : DFCS_INACTIVE;
    DrawFrameControl(Canvas, back, DFC_SCROLL,
                     (Vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | inactive);
    DrawFrameControl(Canvas, forward, DFC_SCROLL,
                     (Vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | inactive);
    if (Thumb.IsEmpty()) return;
    Canvas->Brush()->SetColor(clBtnFace);
    Canvas->FillRect(Thumb);
    TRect edge = Thumb;
    DrawEdge(Canvas, edge, EDGE_RAISED, BF_RECT);
}

// --- scroll bars ------------------------------------------------------------------------------

bool ShowScrollBar(HWND handle, int Bar, bool Show) {
    TWinControl* c = FindControl(handle);
    if (!c || Bar == SB_CTL || Bar < SB_HORZ || Bar > SB_BOTH) return false;
    if (!WindowFrameAccess::isChildWindow(c)) return false;
    DWORD& style = WindowFrameAccess::style(c);
    const DWORD bits = barStyle(Bar);
    const DWORD wanted = Show ? style | bits : style & ~bits;
    if (wanted == style) return true;
    style = wanted;
    WindowFrameAccess::frame(c);
    WindowFrameAccess::frameChanged(c);
    return true;
}

int SetScrollInfo(HWND handle, int Bar, const SCROLLINFO* Info, bool /*Redraw*/) {
    TWindowScrollBar* b = Info ? WindowFrameAccess::bar(handle, Bar, true) : nullptr;
    if (!b) return 0;
    const TWindowScrollBar before = *b;
    const UINT mask = Info->fMask;
    bool changed = false;
    if ((mask & SIF_PAGE) && b->Page != Info->nPage) {
        b->Page = Info->nPage;
        changed = true;
    }
    // A range whose minimum lies above its maximum is ignored.
    if ((mask & SIF_RANGE) && Info->nMin <= Info->nMax &&
        (b->Min != Info->nMin || b->Max != Info->nMax)) {
        b->Min = Info->nMin;
        b->Max = Info->nMax;
        changed = true;
    }
    const std::int64_t span = std::int64_t(b->Max) - b->Min + 1;
    if (std::int64_t(b->Page) > span) b->Page = UINT(span);
    if (mask & SIF_POS) b->Pos = Info->nPos;
    b->Pos = std::clamp(b->Pos, b->Min, b->MaxPos());
    const int pos = b->Pos;
    if (mask & (SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL)) {
        if (b->Min >= b->MaxPos()) {
            if (mask & SIF_DISABLENOSCROLL)
                b->Enabled = false;
            else if (changed)
                ShowScrollBar(handle, Bar, false);
        } else if (mask != SIF_PAGE) {
            b->Enabled = true;
            if (changed) ShowScrollBar(handle, Bar, true);
        }
    }
    // Only a change repaints the bar (a paint handler may set the same information again).
    const bool same = before.Enabled == b->Enabled && before.Min == b->Min &&
                      before.Max == b->Max && before.Page == b->Page && before.Pos == b->Pos;
    TWinControl* c = FindControl(handle);
    if (c && !same) {
        WindowFrameAccess::frame(c).Invalid = true;
        if (c->Peer()) c->Peer()->Changed(pcFrame);
    }
    return pos;
}

bool GetScrollInfo(HWND handle, int Bar, SCROLLINFO* Info) {
    const TWindowScrollBar* b = Info ? WindowFrameAccess::bar(handle, Bar, false) : nullptr;
    if (!b) return false;
    if (Info->fMask & SIF_RANGE) {
        Info->nMin = b->Min;
        Info->nMax = b->Max;
    }
    if (Info->fMask & SIF_PAGE) Info->nPage = b->Page;
    if (Info->fMask & SIF_POS) Info->nPos = b->Pos;
    if (Info->fMask & SIF_TRACKPOS) Info->nTrackPos = b->TrackPos;
    return true;
}

int GetScrollPos(HWND handle, int Bar) {
    const TWindowScrollBar* b = WindowFrameAccess::bar(handle, Bar, false);
    return b ? b->Pos : 0;
}

int SetScrollPos(HWND handle, int Bar, int Pos, bool Redraw) {
    const int old = GetScrollPos(handle, Bar);
    SCROLLINFO info;
    info.fMask = SIF_POS;
    info.nPos = Pos;
    SetScrollInfo(handle, Bar, &info, Redraw);
    return old;
}

bool GetScrollBarInfo(HWND handle, LONG idObject, SCROLLBARINFO* Info) {
    TWinControl* c = FindControl(handle);
    if (!c || !Info || (idObject != OBJID_VSCROLL && idObject != OBJID_HSCROLL)) return false;
    const int bar = idObject == OBJID_VSCROLL ? SB_VERT : SB_HORZ;
    *Info = SCROLLBARINFO{};
    const TRect rect = ScrollBarRect(c, bar);
    if (rect.IsEmpty()) {
        Info->rgstate[0] = STATE_SYSTEM_INVISIBLE;
        return true;
    }
    TRect window;
    GetWindowRect(handle, &window);
    Info->rcScrollBar = rect;
    OffsetRect(Info->rcScrollBar, window.Left, window.Top);
    const bool vertical = bar == SB_VERT;
    const int length = vertical ? rect.Height() : rect.Width();
    Info->dxyLineButton = std::min(SystemScrollBarSize, length / 2);
    const TRect thumb = ScrollBarThumbRect(c, bar);
    if (!thumb.IsEmpty()) {
        Info->xyThumbTop = vertical ? thumb.Top - rect.Top : thumb.Left - rect.Left;
        Info->xyThumbBottom = vertical ? thumb.Bottom - rect.Top : thumb.Right - rect.Left;
    }
    if (!WindowFrame(c)->Bars[bar].Enabled) Info->rgstate[0] = STATE_SYSTEM_UNAVAILABLE;
    return true;
}

// --- window DC and redrawing ------------------------------------------------------------------

HDC GetWindowDC(HWND handle) {
    TWinControl* c = FindControl(handle);
    if (!c) return nullptr;
    if (!WindowFrame(c)) return c->BackingImage() ? c->BackingImage()->Canvas() : nullptr;
    auto& image = WindowFrameAccess::frame(c).Image;
    if (!image) {
        image = std::make_unique<TBitmap>();
        image->SetPixelFormat(pf24bit);
    }
    if (image->Width() != c->Width() || image->Height() != c->Height())
        image->SetSize(c->Width(), c->Height());
    return image->Canvas();
}

int ReleaseDC(HWND /*handle*/, HDC /*dc*/) {
    return 1;
}

bool GetWindowRect(HWND handle, TRect* rect) {
    TWinControl* c = FindControl(handle);
    if (!c || !rect) return false;
    TPoint origin = c->ClientOrigin();
    if (const TWindowFrame* f = WindowFrame(c))
        origin = {origin.X - f->Client.Left, origin.Y - f->Client.Top};
    *rect = Bounds(origin.X, origin.Y, c->Width(), c->Height());
    return true;
}

bool RedrawWindow(HWND handle, const TRect* /*rect*/, HRGN /*rgn*/, UINT flags) {
    TWinControl* c = FindControl(handle);
    if (!c) return false;
    if ((flags & RDW_FRAME) && WindowFrame(c)) {
        WindowFrameAccess::frame(c).Invalid = true;
        if (c->Peer()) c->Peer()->Invalidate();
    }
    if (flags & RDW_INVALIDATE)
        c->Invalidate();
    else if (flags & RDW_VALIDATE)
        ValidateRect(handle, nullptr);
    if (flags & RDW_UPDATENOW) c->Update();
    return true;
}
