#pragma once
// Where the caption label of an editor control goes beside the control.
#include "platform/ui/StdCtrls.h"

enum TLabelPosition {
    lpLeftTop,
    lpLeftCenter,
    lpLeftBottom,
    lpTopLeft,
    lpBottomLeft,
    lpLeftTopLeft,
    lpLeftCenterLeft,
    lpLeftBottomLeft,
    lpTopCenter,
    lpBottomCenter,
    lpRightTop,
    lpRightCenter,
    lpRighBottom,
    lpTopRight,
    lpBottomRight
};

// Where a caption label goes beside a control with these bounds, Margin away: placed by the
// label's size and its caption's width on one line in the label's font; centred positions
// truncate their halves toward zero.
TPoint LabelPlacement(TLabelPosition Position, const TRect& Bounds, const TLabel& Label,
                      int Margin);
