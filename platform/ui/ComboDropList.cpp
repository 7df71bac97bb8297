// The combo box's open list as the user meets it: the choice reported by the native list and
// the list's place and look below the control.
#include "platform/ui/StdCtrls.h"

#include "platform/ui/StdCtrlsInternal.h"

#include <algorithm>

using namespace stdctrls;

void TCustomComboBox::PeerSelect(int index) {
    userSelect(index);
}

void TCustomComboBox::PeerHighlight(int index) {
    if (!droppedDown_ || index < -1 || index >= Count() || index == dropIndex_) return;
    dropIndex_ = index;
    Invalidate();
}

TRect TCustomComboBox::DropListRect() const {
    const int rows = std::max(1, std::min(Count(), dropDownCount_));
    const int width = std::max(Width(), droppedWidth_);
    return {0, Height(), width, Height() + rows * ItemHeight() + 2};
}

void TCustomComboBox::PaintDropList(TCanvas* Canvas, int X, int Y) {
    const TRect r = DropListRect();
    const TRect list{X, Y, X + r.Width(), Y + r.Height()};
    SaveDC(Canvas);
    IntersectClipRect(Canvas, list.Left, list.Top, list.Right, list.Bottom);
    FillRect(Canvas, list, clWindow);
    FrameRect(Canvas, list, clWindowFrame);
    const int rows = std::max(1, std::min(Count(), dropDownCount_));
    const int h = ItemHeight();
    // The highlighted item is in view.
    const int top = std::max(0, dropIndex_ - rows + 1);
    Canvas->Font()->Assign(Font());
    SetBkMode(Canvas, TRANSPARENT);
    for (int i = top; i < Count() && i < top + rows; ++i) {
        TRect item{list.Left + 1, list.Top + 1 + (i - top) * h, list.Right - 1,
                   list.Top + 1 + (i - top + 1) * h};
        const bool hot = i == dropIndex_;
        if (hot) FillRect(Canvas, item, clHighlight);
        Canvas->Font()->SetColor(hot ? clHighlightText : clWindowText);
        item.Left += 2;
        DrawText(Canvas, items_->Get(i), -1, item, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    RestoreDC(Canvas, -1);
}
