#pragma once
// The cell store of the grid family: per-cell properties in the object slots, merged areas
// whose texts live in their base (top-left) cell, display hooks on cell reads, and the frame
// painter every cell goes through (background, hover and active row, selection, grid lines,
// then the content).
#include "grid/core/base/CellProperties.h"
#include "platform/ui/Grids.h"

#include <functional>
#include <string>

// The grid library's layer over the platform string grid; it adds nothing.
class TObjStringGrid : public TStringGrid {
public:
    using TStringGrid::TStringGrid;
};

enum TGridSelectionStyle { ssDefault, ssVista, ssWin7, ssOffice2007 };
enum THoverRowCell { hcNormal, hcFixed, hcSelected };
using THoverRowCells = TGridSet<THoverRowCell>;

using TGetDisplTextEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, std::string& Value)>;
using TGetDisplWideTextEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, std::u16string& Value)>;

class TBaseGrid : public TObjStringGrid {
public:
    explicit TBaseGrid(TComponent* AOwner);
    ~TBaseGrid() override;

    // --- cell store (real column indexes) --------------------------------------------------
    // Cells: the base cell's text through the display hooks; GridCells: the stored text.
    std::string Cells(int ACol, int ARow) { return GetCellEx(ACol, ARow); }
    void SetCells(int ACol, int ARow, const std::string& Value) { SetCellEx(ACol, ARow, Value); }
    std::string GetCellEx(int ACol, int ARow);
    void SetCellEx(int ACol, int ARow, const std::string& Value);
    const std::string& GridCells(int ACol, int ARow) const {
        return TStringGrid::Cells(ACol, ARow);
    }
    void SetGridCells(int ACol, int ARow, const std::string& Value) {
        TStringGrid::SetCells(ACol, ARow, Value);
    }
    // The user's object of a cell (kept in its properties).
    TObject* Objects(int ACol, int ARow) const;
    void SetObjects(int ACol, int ARow, TObject* Value);
    TObject* GraphicObjects(int ACol, int ARow) const;
    void SetGraphicObjects(int ACol, int ARow, TObject* Value);
    // The raw object slot: the cell's properties or nil.
    TObject* GridObjects(int ACol, int ARow) const { return TStringGrid::Objects(ACol, ARow); }
    void SetGridObjects(int ACol, int ARow, TObject* Value) {
        TStringGrid::SetObjects(ACol, ARow, Value);
    }
    // Created on first read; a cell outside the grid raises EInvalidGridOperation.
    TCellProperties* CellProperties(int ACol, int ARow) { return GetCellProperties(ACol, ARow); }
    TCellProperties* GetCellProperties(int ACol, int ARow);
    // Frees the properties in the slot (with their cell graphic), then stores Value.
    void SetCellProperties(int ACol, int ARow, TCellProperties* Value);
    bool HasCellProperties(int ACol, int ARow) const;

    void RepaintCell(int ACol, int ARow);
    TRect CellRect(int ACol, int ARow);
    TRect CalcCellRect(int ACol, int ARow);
    TPoint CellSize(int ACol, int ARow);
    void PaintCell(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState);
    void PaintCellExt(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState);

    void ClearRow(int ARow);
    void ClearCol(int ACol);
    void ClearCell(int ACol, int ARow);
    void FreeCellPropertiesRect(int c1, int r1, int c2, int r2);
    void FreeCellProperties(int ACol, int ARow);
    void FreeAllCellProperties();

    // --- merged cells -----------------------------------------------------------------------
    // Refuses (EInvalidGridOperation) an empty area, one outside the grid or one overlapping
    // another area; a single cell is no merge and changes nothing.
    virtual void MergeCells(int c, int r, int spanx, int spany);
    virtual void SplitCells(int c, int r);
    TPoint BaseCell(int ACol, int ARow) const;
    bool IsBaseCell(int ACol, int ARow) const;
    bool IsMergedCell(int ACol, int ARow) const;
    bool IsMergedNonBaseCell(int ACol, int ARow) const;
    bool IsXMergedCell(int ACol, int ARow) const;
    bool IsYMergedCell(int ACol, int ARow) const;
    TPoint CellSpan(int ACol, int ARow) const;
    TPoint CellExt(int ACol, int ARow) const;
    TRect FullCell(int c, int r) const;
    int MinRowSpan(int ARow) const;
    int MaxRowSpan(int ARow) const;
    bool RowSpanIdentical(int ARow1, int ARow2) const;
    bool ColSpanIdentical(int ACol1, int ACol2) const;
    void GotoBaseCell();
    int MergeCount() const { return FMergeCount; }

    // --- overridable steps ------------------------------------------------------------------
    virtual bool IsFixed(int ACol, int ARow);
    virtual int GetNodeIndent(int ARow);
    virtual bool HasNodes();
    virtual void DrawGridCell(TCanvas* Canvas, int ACol, int ARow, TRect ARect,
                              TGridDrawState AState);
    virtual void LastRowChanged() {}
    virtual void GetDisplText(int ACol, int ARow, std::string& Value);
    virtual void GetDisplWideText(int ACol, int ARow, std::u16string& Value);
    virtual void GetDefaultProps(int ACol, int ARow, TCellGradientDirection& GD, bool& WW,
                                 TVAlignment& VA, TAlignment& HA, TColor& MirrorColorTo,
                                 TColor& MirrorColor, TColor& ColorTo, TBrush* ABrush,
                                 TFont* AFont);
    virtual void CellTextChanged(int, int) {}
    virtual bool HasCustomBorders() { return false; }
    virtual bool GetUseVCLStyles() { return false; }
    virtual void GetVisualProperties(int ACol, int ARow, TGridDrawState& AState, bool Print,
                                     bool Select, bool Remap, TBrush* ABrush, TColor& AColorTo,
                                     TColor& AMirrorColor, TColor& AMirrorColorTo, TFont* AFont,
                                     TAlignment& HA, TVAlignment& VA, bool& WW,
                                     TCellGradientDirection& GD);

    // --- properties -------------------------------------------------------------------------
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool v);
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int v);
    TColor GridLineColor() const { return FGridLineColor; }
    void SetGridLineColor(TColor v);
    TColor GridFixedLineColor() const { return FGridFixedLineColor; }
    void SetGridFixedLineColor(TColor v);
    bool ActiveRowShow() const { return FActiveRowShow; }
    void SetActiveRowShow(bool v);
    TColor ActiveRowColor() const { return FActiveRowColor; }
    void SetActiveRowColor(TColor v);
    TColor ActiveRowColorTo() const { return FActiveRowColorTo; }
    void SetActiveRowColorTo(TColor v);
    TColor ActiveRowMirrorColor() const { return FActiveRowMirrorColor; }
    void SetActiveRowMirrorColor(TColor v);
    TColor ActiveRowMirrorColorTo() const { return FActiveRowMirrorColorTo; }
    void SetActiveRowMirrorColorTo(TColor v);
    TGridSelectionStyle SelectionStyle() const { return FSelectionStyle; }
    void SetSelectionStyle(TGridSelectionStyle v);
    bool HoverRow() const { return FHoverRow; }
    void SetHoverRow(bool v) { FHoverRow = v; }
    TColor HoverRowColor() const { return FHoverRowColor; }
    void SetHoverRowColor(TColor v) { FHoverRowColor = v; }
    TColor HoverRowColorTo() const { return FHoverRowColorTo; }
    void SetHoverRowColorTo(TColor v) { FHoverRowColorTo = v; }
    THoverRowCells HoverRowCells() const { return FHoverRowCells; }
    void SetHoverRowCells(THoverRowCells v) { FHoverRowCells = v; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v) { FWordWrap = v; }
    // The undo/redo component; not owned (its type comes with the undo support).
    TComponent* UndoRedo() const { return FUndoRedo; }
    void SetUndoRedo(TComponent* v);

    TGetDisplTextEvent OnGetDisplText;
    TGetDisplWideTextEvent OnGetDisplWideText;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Paint() override;
    void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
    bool SelectCell(int ACol, int ARow) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void TopLeftChanged() override;
    // Merged areas move with their cells; an area the move would tear apart is split first.
    void RowMoving(int FromIndex, int ToIndex) override;
    void ColumnMoving(int FromIndex, int ToIndex) override;
    // Areas that leave whole are no longer counted; areas only partly leaving are split.
    void RowsLeaving(int First, int Count) override;
    void ColsLeaving(int RealFirst, int Count) override;
    void DoPaintCell(TCanvas* Canvas, int ACol, int ARow, TRect ARect, TGridDrawState AState,
                     bool Full);
    // The frame painter fills every cell (a merged area through its base cell), unless the
    // platform's style elements draw fixed and selected cells.
    bool CellsCoverTheirArea() const override {
        return !const_cast<TBaseGrid*>(this)->GetUseVCLStyles();
    }
    TCellProperties* propsOf(int ACol, int ARow) const;
    TRect mergedAreaRect(int ACol, int ARow);

    bool FDefaultDrawing = false;
    int FGridLineWidth = 1;
    TColor FGridLineColor = clSilver;
    TColor FGridFixedLineColor = clGray;
    int FPaintID = 1;
    // Set while the platform's paint loop paints a cell, whose rectangle it computed.
    bool FPaintLoopRect = false;
    bool FHideLastRow = false;
    int FNormalRowCount = 0;
    TComponent* FUndoRedo = nullptr;
    bool FWordWrap = true;
    bool FActiveRowShow = false;
    TColor FActiveRowColor = clInfoBk;
    TColor FActiveRowColorTo = clNone;
    TColor FActiveRowMirrorColor = clNone;
    TColor FActiveRowMirrorColorTo = clNone;
    TGridSelectionStyle FSelectionStyle = ssDefault;
    int FHoverRowIdx = -1;
    bool FHoverRow = false;
    THoverRowCells FHoverRowCells{hcNormal, hcSelected};
    TColor FHoverRowColor = clInfoBk;
    TColor FHoverRowColorTo = clNone;
    bool FShowSel = true;
    // The selection is hidden: no cell paints selected or focused.
    bool FSelHidden = false;
    bool FHasCellProps = false;
    int FMergeCount = 0;
};
