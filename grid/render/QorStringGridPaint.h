#pragma once
// The working state of one DrawGridCell call, shared by the painter's source files.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridDraw.h"

struct TQorStringGrid::CellPaint {
    TCanvas* Canvas = nullptr;
    int ACol = 0;
    int RCol = 0;
    int ARow = 0;
    TGridDrawState State;
    // The working rectangle.
    TRect R;
    // Brush and font colours before the text step.
    TColor B1 = clNone;
    TColor F1 = clNone;
    TAlignment HA = taLeftJustify;
    TVAlignment VA = vtaTop;
    bool WW = false;
    bool FilterButton = false;
    TCellGraphicInfo Info;
    // The measured text width for graphics beside the text; 0 when not measured.
    int TextWidth = 0;
    // The cell's rectangle. Right to left (Mirrored) the content is laid out as left to right
    // and shown mirrored within it: Shown gives where a laid-out rectangle or x shows.
    TRect Cell;
    bool Mirrored = false;
    TRect Shown(const TRect& r) const { return Mirrored ? MirrorWithin(r, Cell) : r; }
    int ShownX(int x) const { return Mirrored ? Cell.Left + Cell.Right - 1 - x : x; }
};
