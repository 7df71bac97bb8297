#include "grid/core/base/CellProperties.h"

#include "grid/core/base/BaseGrid.h"
#include "grid/core/base/CellGraphic.h"

TCellProperties::TCellProperties(TBaseGrid* AOwnerGrid, int AOwnerCol, int AOwnerRow)
    : FOwnerGrid(AOwnerGrid), FOwnerCol(AOwnerCol), FOwnerRow(AOwnerRow),
      FWordWrap(AOwnerGrid && AOwnerGrid->WordWrap()) {}

// A cell graphic goes with its properties; a graphic of another class belongs to someone else.
TCellProperties::~TCellProperties() {
    FreeGraphic();
}

void TCellProperties::FreeGraphic() {
    if (auto* g = dynamic_cast<TCellGraphic*>(FGraphicObject)) delete g;
    FGraphicObject = nullptr;
}

void TCellProperties::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TCellProperties*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    FIsBaseCell = s->FIsBaseCell;
    FCellSpanX = s->FCellSpanX;
    FCellSpanY = s->FCellSpanY;
    FOwnerRow = s->FOwnerRow;
    FOwnerCol = s->FOwnerCol;
    FObject = s->FObject;
    FAlignment = s->FAlignment;
    FBorderColor = s->FBorderColor;
    FBorderWidth = s->FBorderWidth;
    FBrushColor = s->FBrushColor;
    FBrushStyle = s->FBrushStyle;
    FFontColor = s->FFontColor;
    FFontStyle = s->FFontStyle;
    FFontName = s->FFontName;
    FFontSize = s->FFontSize;
    FReadOnly = s->FReadOnly;
    FEditor = s->FEditor;
    FVAlignment = s->FVAlignment;
    FWordWrap = s->FWordWrap;
    FNodeLevel = s->FNodeLevel;
    FControl = s->FControl;
}

// --- setters that repaint their cell -----------------------------------------------------------

// The owner's column is a store column; the screen shows display columns.
void TCellProperties::repaint() {
    if (FOwnerGrid) FOwnerGrid->RepaintCell(FOwnerGrid->DisplColIndex(FOwnerCol), FOwnerRow);
}

void TCellProperties::SetBrushColor(TColor v) {
    FBrushColor = v;
    repaint();
}

void TCellProperties::SetBrushColorTo(TColor v) {
    FBrushColorTo = v;
    repaint();
}

void TCellProperties::SetVAlignment(TVAlignment v) {
    FVAlignment = v;
    repaint();
}

void TCellProperties::SetWordWrap(bool v) {
    FWordWrap = v;
    repaint();
}
