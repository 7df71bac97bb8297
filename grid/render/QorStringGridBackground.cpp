// The background picture or gradient behind the cells and in the empty client area.
//
// A tiled picture is anchored to the cells: its origin lies at the top-left of the first normal
// cell (bcNormal) or of cell (0, 0) (bcFixed, bcAll) as if the grid were not scrolled, so that
// it runs on seamlessly from cell to cell, into the empty area, and scrolls with the cells.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridDraw.h"
#include "grid/render/ControlLook.h"
#include "grid/render/FloatingFooter.h"
#include "grid/render/LookSettings.h"
#include "grid/render/QorStringGridPaint.h"

#include <algorithm>

namespace {

// Tiles of the picture over R, aligned to Origin, clipped to R.
void tile(TCanvas* c, const TBitmap* picture, const TRect& R, TPoint Origin) {
    const int w = picture->Width(), h = picture->Height();
    if (w <= 0 || h <= 0 || R.IsEmpty()) return;
    auto floorMod = [](int a, int m) { return ((a % m) + m) % m; };
    const int x0 = R.Left - floorMod(R.Left - Origin.X, w);
    const int y0 = R.Top - floorMod(R.Top - Origin.Y, h);
    SaveDC(c);
    IntersectClipRect(c, R.Left, R.Top, R.Right, R.Bottom);
    for (int y = y0; y < R.Bottom; y += h)
        for (int x = x0; x < R.Right; x += w) c->Draw(x, y, picture);
    RestoreDC(c, -1);
}

} // namespace

TPoint TQorStringGrid::tileOrigin() {
    // Column widths and row heights hold their grid lines, as the cell rectangles show.
    const bool normal = FBackGround->Cells() == bcNormal;
    int x = 0, y = 0;
    if (normal)
        for (int c = 0; c < FixedCols(); ++c) x += ColWidths(c);
    for (int c = FixedCols(); c < LeftCol(); ++c) x -= ColWidths(c);
    if (normal)
        for (int r = 0; r < FixedRows(); ++r) y += RowHeights(r);
    for (int r = FixedRows(); r < TopRow(); ++r) y -= RowHeights(r);
    return {x, y};
}

void TQorStringGrid::PaintPictureSlice(const TRect& R) {
    const TBitmap* picture = FBackGround->Bitmap();
    const TRect at =
        Bounds(FBackGround->Left(), FBackGround->Top(), picture->Width(), picture->Height());
    TRect part;
    if (picture->Empty() || !IntersectRect(part, at, R)) return;
    TCanvas* c = Canvas();
    SaveDC(c);
    IntersectClipRect(c, part.Left, part.Top, part.Right, part.Bottom);
    c->Draw(at.Left, at.Top, picture);
    RestoreDC(c, -1);
}

void TQorStringGrid::TilePicture(const TRect& R) {
    tile(Canvas(), FBackGround->Bitmap(), R, tileOrigin());
}

void TQorStringGrid::PaintBackgroundArea() {
    const TBackGround& b = *FBackGround;
    const bool picture = !b.Bitmap()->Empty();
    const bool gradient = b.Display() == bdGradientHorz || b.Display() == bdGradientVert;
    // 1. Cells fill the client area both ways.
    if (TopRow() + VisibleRowCount() < RowCount() && LeftCol() + VisibleColCount() < ColCount())
        return;
    if (!picture && gradient && b.ColorTo() == clNone) return;
    // 2. the areas right of the last column and below the last row
    TRect C = ClientRect();
    const int line = GridLineWidth();
    std::vector<TRect> areas;
    const TRect lastCol = CellRect(ColCount() - 1, TopRow());
    if (!lastCol.IsEmpty() && lastCol.Right + line < C.Right)
        areas.emplace_back(lastCol.Right + line, C.Top, C.Right, C.Bottom);
    const TRect lastRow = CellRect(LeftCol(), RowCount() - 1);
    if (!lastRow.IsEmpty() && lastRow.Bottom + line < C.Bottom)
        areas.emplace_back(C.Left, lastRow.Bottom + line, C.Right, C.Bottom);
    // 3. the footers below the cells
    if (FSearchFooter->Visible()) C.Bottom -= 32;
    if (FFloatingFooter->Visible()) C.Bottom -= FFloatingFooter->Height();
    // 4.
    TCanvas* c = Canvas();
    for (const TRect& area : areas) {
        SaveDC(c);
        IntersectClipRect(c, area.Left, area.Top, area.Right, area.Bottom);
        if (!picture) {
            if (gradient)
                DrawGradientRect(*c, b.Color(), b.ColorTo(), 128, C, b.Display() == bdGradientHorz);
        } else if (b.Display() != bdTile) {
            PaintPictureSlice(C);
        } else if (b.Cells() != bcFixed) {
            TilePicture(C);
        }
        RestoreDC(c, -1);
    }
}

void TQorStringGrid::paintCellBackground(CellPaint& P, const TRect& T) {
    const TBackGround& b = *FBackGround;
    TCanvas* c = P.Canvas;
    const int line = GridLineWidth();
    const bool fixedState = P.State.Contains(gdFixed);
    const bool cellsFit =
        b.Cells() == bcAll || (fixedState ? b.Cells() == bcFixed : b.Cells() == bcNormal);
    if (!cellsFit) return;
    const bool selected = P.State.Contains(gdSelected), focused = P.State.Contains(gdFocused);
    const bool ownColor = Colors(P.RCol, P.ARow) != clNone;
    // 9. the picture
    if (!b.Bitmap()->Empty() && !ownColor && !(FShowSel && selected)) {
        const TRect R(T.Left - line + 1, T.Top - line + 1, T.Right, T.Bottom);
        if (b.Display() != bdTile) {
            SaveDC(c);
            IntersectClipRect(c, R.Left, R.Top, R.Right, R.Bottom);
            c->Draw(b.Left(), b.Top(), b.Bitmap());
            RestoreDC(c, -1);
        } else {
            tile(c, b.Bitmap(), R, tileOrigin());
        }
    }
    // 10. the gradient
    if (b.Display() != bdGradientHorz && b.Display() != bdGradientVert) return;
    const TCellType type = GetCellType(P.RCol, P.ARow);
    const bool control = type == ctCheckBox || type == ctDataCheckBox || type == ctRadio ||
                         type == ctButton || type == ctRadioButton;
    const bool selectionShows =
        FShowSel &&
        !((!selected || focused) && (!focused || !Options().Contains(goDrawFocusSelected)));
    if ((ownColor && !control) || selectionShows) return;
    const TRect R(T.Left - 1, T.Top - line, T.Right, T.Bottom + line - 1);
    const bool vertical = b.Display() == bdGradientVert;
    const int pos = vertical ? R.Top : R.Left, far = vertical ? R.Bottom : R.Right;
    const int extent = vertical ? ClientHeight() : ClientWidth();
    const TColor c1 = InterpolateColor(b.Color(), b.ColorTo(), 0, extent, pos);
    const TColor c2 = InterpolateColor(b.Color(), b.ColorTo(), 0, extent, far);
    c->Brush()->SetColor(c2);
    c->Pen()->SetColor(c2);
    DrawGradientRect(*c, c1, c2, 128, R, !vertical);
}
