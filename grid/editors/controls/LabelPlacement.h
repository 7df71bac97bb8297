#pragma once
// Where the caption label of an editor control goes beside the control.
#include "platform/base/Types.h"

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
    lpRighBottom
};

// The label's top-left for a control at Control: the label is LabelWidth x LabelHeight, its
// caption TextWidth wide, Margin pixels from the control.
TPoint LabelPlace(TLabelPosition Position, const TRect& Control, int LabelWidth, int LabelHeight,
                  int TextWidth, int Margin);
