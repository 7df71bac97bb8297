#include "platform/ui/StdCtrls.h"

#include "platform/ui/Grids.h"
#include "platform/ui/StdCtrlsInternal.h"
#include "platform/ui/core/WindowFrame.h"

#include <algorithm>

// The vertical scroll bar of an owner-drawn list box, which paints itself: arrow buttons, a
// track and a thumb in the classic look; the arrows scroll a line, the track a page, the thumb
// follows the mouse, and the wheel scrolls three lines a notch.

namespace {

constexpr int barSize = SystemScrollBarSize;
constexpr int minThumb = 8;
constexpr int wheelLines = 3;

} // namespace

int TCustomListBox::maxTopIndex() const {
    return std::max(0, Count() - visibleRows());
}

TRect TCustomListBox::scrollBarRect() const {
    if (style_ == lbStandard || Count() <= visibleRows()) return {};
    const int border = borderStyle_ == bsSingle ? 2 : 0;
    return {ClientWidth() - border - barSize, border, ClientWidth() - border,
            ClientHeight() - border};
}

TRect TCustomListBox::thumbRect() const {
    const TRect bar = scrollBarRect();
    const int track = bar.Height() - 2 * barSize;
    if (bar.IsEmpty() || track < minThumb) return {};
    const int thumb = std::clamp(track * visibleRows() / std::max(1, Count()), minThumb, track);
    const int range = maxTopIndex();
    const int at = bar.Top + barSize + (range > 0 ? (track - thumb) * topIndex_ / range : 0);
    return {bar.Left, at, bar.Right, at + thumb};
}

void TCustomListBox::paintScrollBar(TCanvas* c) const {
    const TRect bar = scrollBarRect();
    if (!bar.IsEmpty()) PaintClassicScrollBar(c, bar, true, true, thumbRect());
}

bool TCustomListBox::scrollBarMouse(const TMessage& Message) {
    const TPoint p = LParamToPoint(Message.LParam);
    const TRect bar = scrollBarRect();
    switch (Message.Msg) {
    case WM_MOUSEMOVE: {
        if (thumbGrip_ < 0) return false;
        // The button was let go where this list did not hear it.
        if (!(Message.WParam & MK_LBUTTON)) {
            thumbGrip_ = -1;
            return false;
        }
        const TRect thumb = thumbRect();
        const int free = bar.Height() - 2 * barSize - thumb.Height();
        if (free > 0) {
            const int at = std::clamp(p.Y - thumbGrip_ - bar.Top - barSize, 0, free);
            SetTopIndex((at * maxTopIndex() + free / 2) / free);
        }
        return true;
    }
    case WM_LBUTTONUP:
        if (thumbGrip_ < 0) return false;
        thumbGrip_ = -1;
        return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (!bar.Contains(p)) return false;
        const TRect thumb = thumbRect();
        const int page = visibleRows();
        if (p.Y < bar.Top + barSize)
            SetTopIndex(topIndex_ - 1);
        else if (p.Y >= bar.Bottom - barSize)
            SetTopIndex(topIndex_ + 1);
        else if (thumb.Contains(p))
            thumbGrip_ = p.Y - thumb.Top;
        else if (!thumb.IsEmpty())
            SetTopIndex(topIndex_ + (p.Y < thumb.Top ? -page : page));
        return true;
    }
    default:
        return false;
    }
}

bool TCustomListBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (TWinControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    // A native list scrolls itself.
    if (style_ == lbStandard) return false;
    SetTopIndex(topIndex_ - wheelLines * WheelDelta / 120);
    return true;
}

void TCustomListBox::Resize() {
    TWinControl::Resize();
    if (topIndex_ > maxTopIndex()) {
        topIndex_ = maxTopIndex();
        Invalidate();
    }
}
