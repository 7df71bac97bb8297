#pragma once
// The grid's own drop target and drop source on the drag-and-drop base: a drop marks its place
// with the grid's arrow windows and lands as text pasted at the cell under the pointer (rows
// inserted first with OleInsertRows), as grid cells with their properties, as a column
// (OleColumnReorder moves it), a rich text or URL cell text, or a dropped file (a CSV file is
// loaded into the grid).
#include "grid/core/base/GridDragDrop.h"

class TQorStringGrid;

class TGridDropTarget : public TASGDropTarget {
public:
    explicit TGridDropTarget(TQorStringGrid* AGrid) : FGrid(AGrid) {}

    void DropText(TPoint pt, const std::string& s) override;
    // Cells of a grid, in the binary cell stream, land as a block at the drop cell.
    void DropStream(TPoint pt, TMemoryStream* ms) override;
    void DropCol(TPoint pt, int Col) override;
    void DropRTF(TPoint pt, const std::string& s) override;
    void DropFiles(TPoint pt, TStrings* Files) override;
    void DropURL(TPoint pt, const std::string& s) override;
    void DragMouseMove(TPoint pt, bool& Allow, TDropFormats DropFormats) override;
    void DragMouseLeave() override;

private:
    struct Target {
        int Col = -1;
        int Row = -1;
        bool Appending = false;
    };
    // The display cell under a screen point, with the appending rule of whole-row drops.
    Target cellAt(TPoint pt, TDropFormats Formats);
    void dropCellText(TPoint pt, const std::string& s, bool Url);
    void moveColumn(int From, int To);
    TQorStringGrid* FGrid;
};

// Largest number of TAB-separated fields of a line, and the line breaks less one per empty
// line (lines end at CR, an LF right after it belongs to the line end).
struct TClipboardTextSize {
    int Cols = 0;
    int Rows = 0;
};
TClipboardTextSize MeasureClipboardText(const std::string& Text);

class TGridDropSource : public TASGDropSource {
public:
    explicit TGridDropSource(TQorStringGrid* AGrid) : FGrid(AGrid) {}
    void CurrentEffect(DWORD dwEffect) override;
    // Moves the drag picture (ShowCells) or the header drag button with the pointer.
    void QueryDrag() override;
    // With ShowCells the floating picture goes.
    void DragFinished() override;
    DWORD LastEffect() const { return FLastEffect; }

private:
    TQorStringGrid* FGrid;
    DWORD FLastEffect = DROPEFFECT_NONE;
};
