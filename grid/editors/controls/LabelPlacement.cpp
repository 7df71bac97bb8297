#include "grid/editors/controls/LabelPlacement.h"

TPoint LabelPlace(TLabelPosition Position, const TRect& Control, int LabelWidth, int LabelHeight,
                  int TextWidth, int Margin) {
    const int L = Control.Left, T = Control.Top, W = Control.Width(), H = Control.Height();
    // Halves round toward zero, also when the label is the larger one.
    const int middle = T + (H - LabelHeight) / 2;
    const int centre = L + (W - LabelWidth) / 2;
    switch (Position) {
    case lpLeftTop:
        return {L - TextWidth - Margin, T};
    case lpLeftCenter:
        return {L - TextWidth - Margin, middle};
    case lpLeftBottom:
        return {L - TextWidth - Margin, T + H - LabelHeight};
    case lpTopLeft:
        return {L, T - LabelHeight - Margin};
    case lpBottomLeft:
        return {L, T + H + Margin};
    case lpLeftTopLeft:
        return {L - Margin, T};
    case lpLeftCenterLeft:
        return {L - Margin, middle};
    case lpLeftBottomLeft:
        return {L - Margin, T + H - LabelHeight};
    case lpTopCenter:
        return {centre, T - LabelHeight - Margin};
    case lpBottomCenter:
        return {centre, T + H + Margin};
    case lpRightTop:
        return {L + W + Margin, T};
    case lpRightCenter:
        return {L + W + Margin, middle};
    case lpRighBottom:
        return {L + W + Margin, T + H - LabelHeight};
    }
    return {L, T};
}
