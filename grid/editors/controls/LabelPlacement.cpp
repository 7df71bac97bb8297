#include "grid/editors/controls/LabelPlacement.h"

TPoint LabelPlacement(TLabelPosition Position, const TRect& Bounds, const TLabel& Label,
                      int Margin) {
    static TBitmap measure;
    TCanvas* c = measure.Canvas();
    c->Font()->Assign(Label.Font());
    TRect r{0, 0, 1000, 255};
    DrawText(c, Label.Caption(), -1, r, DT_CALCRECT | DT_HIDEPREFIX);
    const int W = r.Width(), LW = Label.Width(), H = Label.Height(), M = Margin;
    const int L = Bounds.Left, T = Bounds.Top, Wd = Bounds.Width(), Ht = Bounds.Height();
    const int middle = T + (Ht - H) / 2, centre = L + (Wd - LW) / 2;
    switch (Position) {
    case lpLeftTop:
        return {L - W - M, T};
    case lpLeftCenter:
        return {L - W - M, middle};
    case lpLeftBottom:
        return {L - W - M, T + Ht - H};
    case lpTopLeft:
        return {L, T - H - M};
    case lpBottomLeft:
        return {L, T + Ht + M};
    case lpLeftTopLeft:
        return {L - M, T};
    case lpLeftCenterLeft:
        return {L - M, middle};
    case lpLeftBottomLeft:
        return {L - M, T + Ht - H};
    case lpTopCenter:
        return {centre, T - H - M};
    case lpBottomCenter:
        return {centre, T + Ht + M};
    case lpRightTop:
        return {L + Wd + M, T};
    case lpRightCenter:
        return {L + Wd + M, middle};
    case lpRighBottom:
        return {L + Wd + M, T + Ht - H};
    case lpTopRight:
        return {L + Wd - LW, T - H - M};
    case lpBottomRight:
        return {L + Wd - LW, T + Ht + M};
    }
    return {L, T};
}
