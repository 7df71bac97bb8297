#pragma once
// A drop-down edit whose popup holds a whole string grid. The rows come from the Items
// collection (copied into the grid at every drop-down, each row keeping its item so that the
// grid may sort them) or, without UseItems, are the grid's own rows filled by the program.
// Typing looks a row up or narrows the grid to the matching rows; a header click sorts; the
// grid's events reach the drop-down's OnGrid events.
#include "controls/ColumnListDropDown.h"
#include "controls/DropDownGridInput.h"
#include "grid/core/QorStringGrid.h"

#include <functional>
#include <memory>
#include <string>

class TCustomQorGridDropDown;
class TBands;
class TMouseActions;
class TNavigation;
class TSearchFooter;

enum TLookupMethod { lmLookup, lmNarrowDown, lmNone };
enum TDropDownStyle { dsDropDown, dsDropDownList };
enum TGridSorting { gsNone, gsSingleColumn, gsMultiColumn };

namespace grid_drop_down {

// The popup grid: a string grid with one fixed row, filled from the drop-down.
class TQorColGrid : public TDropDownGridInput<TQorStringGrid> {
public:
    TQorColGrid(TComponent* AOwner, TCustomQorGridDropDown* DropDown);
    ~TQorColGrid() override;

    TDropDownColumns* Columns() const { return FColumns.get(); }
    void SetColumns(const TDropDownColumns* v) { FColumns->Assign(v); }

    // Takes the drop-down's columns, sizes and options (and, with UseItems, its row count).
    void LoadFromDropDown();
    // Fills the header from the columns and the data rows from the items; each row's first
    // cell holds its item.
    void LoadItems();
    // Border, column widths and, when not all rows fit, the vertical scroll bar.
    int GetTotalWidth();
    // Enter, and a left click on a data row outside a check box.
    TNotifyEvent OnSelect;

protected:
    virtual void DoSelect();
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    TCustomQorGridDropDown* FQorDropDown;
    std::unique_ptr<TDropDownColumns> FColumns;
};

} // namespace grid_drop_down

class TCustomQorGridDropDown : public TColumnListDropDown {
public:
    explicit TCustomQorGridDropDown(TComponent* AOwner);
    ~TCustomQorGridDropDown() override;

    void Assign(const TPersistent* Source) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // The popup grid (made with the popup).
    grid_drop_down::TQorColGrid* GetGrid() const { return FQorColGrid; }

    // Without UseItems the index counts the grid's data rows.
    void SetItemIndex(int Value) override;
    bool ColumnMoving() const { return FColumnMoving; }
    void SetColumnMoving(bool v) { FColumnMoving = v; }
    TLookupMethod LookupMethod() const { return FLookupMethod; }
    void SetLookupMethod(TLookupMethod v) { FLookupMethod = v; }
    // The rows come from Items (else the grid's own rows are the list).
    bool UseItems() const { return FUseItems; }
    void SetUseItems(bool v) { FUseItems = v; }
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool v) { FRowSelect = v; }
    TSearchFooter* SearchFooter() const { return FSearchFooter.get(); }
    void SetSearchFooter(const TSearchFooter* v);
    TBands* Bands() const { return FBands.get(); }
    void SetBands(const TBands* v);
    TNavigation* Navigation() const { return FNavigation.get(); }
    void SetNavigation(const TNavigation* v);
    TMouseActions* MouseActions() const { return FMouseActions.get(); }
    void SetMouseActions(const TMouseActions* v);
    // dsDropDownList: the edit is not editable and typing only searches.
    TDropDownStyle Style() const { return FStyle; }
    void SetStyle(TDropDownStyle v);
    bool HoverRow() const { return FHoverRow; }
    void SetHoverRow(bool v) { FHoverRow = v; }
    TColor HoverRowColor() const { return FHoverRowColor; }
    void SetHoverRowColor(TColor v) { FHoverRowColor = v; }
    TColor HoverRowColorTo() const { return FHoverRowColorTo; }
    void SetHoverRowColorTo(TColor v) { FHoverRowColorTo = v; }
    // Click sorting of the grid's header.
    TGridSorting Sorting() const { return FSorting; }
    void SetSorting(TGridSorting v) { FSorting = v; }
    // The grid's cells may be edited; choosing a row then keeps the popup open.
    bool GridEditable() const { return FGridEditable; }
    void SetGridEditable(bool v) { FGridEditable = v; }
    TImageList* GridImages() const { return FGridImages; }
    void SetGridImages(TImageList* v);
    bool RowMoving() const { return FRowMoving; }
    void SetRowMoving(bool v) { FRowMoving = v; }
    bool RowSizing() const { return FRowSizing; }
    void SetRowSizing(bool v) { FRowSizing = v; }
    // Typing in the edit opens the popup.
    bool AutoShowDropDown() const { return FAutoShowDropDown; }
    void SetAutoShowDropDown(bool v) { FAutoShowDropDown = v; }
    // The grid's columns are sized to their contents at every drop-down.
    bool AutoSizeColumns() const { return FAutoSizeColumns; }
    void SetAutoSizeColumns(bool v) { FAutoSizeColumns = v; }

    // The item a data row shows (with UseItems); otherwise Row itself.
    int RowToItem(int Row) const;
    // The first data row that shows item Index; ItemIndex when none does.
    int ItemToRow(int Index) const;

    TNotifyEvent OnSelect;
    TKeyEvent OnGridKeyDown;
    TKeyEvent OnGridKeyUp;
    TKeyPressEvent OnGridKeyPress;
    std::function<void(TObject*, int, int, std::string&, bool&)> OnGridAnchorClick;
    std::function<void(TObject*, int, int, const std::string&)> OnGridAnchorEnter, OnGridAnchorExit;
    std::function<void(TObject*, int, int, std::string&)> OnGridAnchorHint;
    TButtonClickEvent OnGridButtonClick;
    TCheckBoxClickEvent OnGridCheckBoxClick;
    std::function<void(TObject*, int, bool&)> OnGridColumnSize, OnGridRowSize;
    std::function<void(TObject*, int, int)> OnGridColumnSizing, OnGridRowSizing;
    std::function<void(TObject*, int)> OnGridEndColumnSize, OnGridEndRowSize;
    std::function<void(TObject*, int, bool&)> OnGridRowMove, OnGridRowMoving, OnGridColumnMove,
        OnGridColumnMoving;
    TMovedEvent OnGridRowMoved, OnGridColumnMoved;
    TQorStringGrid::TCustomCellDrawEvent OnGridCustomCellDraw, OnGridCustomCellBkgDraw;
    std::function<void(TObject*, int, int, std::string&, std::string&, int&)> OnGridCellBalloon;
    TGridAlignEvent OnGridGetAlignment;
    TGridColorEvent OnGridGetCellColor;
    std::function<void(TObject*, int, int, TColor&, TColor&, TColor&, TColor&,
                       TCellGradientDirection&)>
        OnGridGetCellGradient;
    std::function<void(TObject*, int, int, bool&, std::string&)> OnGridGetFloatFormat;
    TGetEditorTypeEvent OnGridGetEditorType;
    TClickCellEvent OnGridGetEditorProp;
    TCanEditCellEvent OnGridCanEditCell;
    std::function<void(TObject*, int, int, std::string&)> OnGridEllipsClick;
    TGetDisplTextEvent OnGridGetDiplText;
    TGridFormatEvent OnGridGetFormat;
    TGridHintEvent OnGridHint;
    TMouseMoveEvent OnGridMouseMove;
    TMouseEvent OnGridMouseDown, OnGridMouseUp;
    TClickCellEvent OnGridRightClickCell;
    std::function<void(TObject*, int, std::string&)> OnGridScrollHint;
    TNotifyEvent OnGridTopLeftChanged;
    std::function<void(TObject*, const std::string&, bool&)> OnGridSearchEditChange;
    std::function<void(TObject*, int)> OnGridAutoAddRow, OnGridInsertRow, OnGridDeleteRow,
        OnGridInsertCol;
    std::function<void(TObject*, bool&)> OnGridCanAddRow;
    std::function<void(TObject*, int, bool&)> OnGridCanInsertRow, OnGridCanDeleteRow;

protected:
    unsigned GetVersionNr() const override { return 0x06000101; }
    TCustomGrid* ListGrid() const override;
    int ListCount() const override;
    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void AdjustDropDownHeight(int& AHeight) override;
    void DoShowDropDown() override;
    void DoHideDropDown(bool Cancelled) override;
    void UpdateDropDownContent() override;
    void DropDownFormDestroyed() override;
    void ControlKeyDown(WORD& Key, TShiftState Shift) override;
    void ControlKeyUp(WORD& Key, TShiftState Shift) override;
    void ControlKeyPress(char32_t& Key) override;
    void DoEnter() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void Dispatch(TMessage& Message) override;

    // The forwarders of the grid's events to the OnGrid events.
    virtual void GridAnchorClick(TObject* Sender, int ARow, int ACol, std::string& Anchor,
                                 bool& AutoHandle);
    virtual void GridAnchorEnter(TObject* Sender, int ARow, int ACol, const std::string& Anchor);
    virtual void GridAnchorExit(TObject* Sender, int ARow, int ACol, const std::string& Anchor);
    virtual void GridAnchorHint(TObject* Sender, int ARow, int ACol, std::string& Anchor);
    virtual void GridButtonClick(TObject* Sender, int ACol, int ARow);
    virtual void GridColumnSize(TObject* Sender, int ACol, bool& Allow);
    virtual void GridColumnSizing(TObject* Sender, int ACol, int ColumnSize);
    virtual void GridEndColumnSize(TObject* Sender, int ACol);
    virtual void GridRowSize(TObject* Sender, int ARow, bool& Allow);
    virtual void GridRowSizing(TObject* Sender, int ARow, int RowSize);
    virtual void GridEndRowSize(TObject* Sender, int ARow);
    virtual void GridRowMove(TObject* Sender, int Index, bool& Allow);
    virtual void GridRowMoving(TObject* Sender, int Index, bool& Allow);
    virtual void GridRowMoved(TObject* Sender, int FromIndex, int ToIndex);
    virtual void GridColumnMove(TObject* Sender, int Index, bool& Allow);
    virtual void GridColumnMoving(TObject* Sender, int Index, bool& Allow);
    virtual void GridColumnMoved(TObject* Sender, int FromIndex, int ToIndex);
    virtual void GridCustomCellDraw(TObject* Sender, TCanvas* Canvas, int ACol, int ARow,
                                    TGridDrawState AState, TRect ARect, bool Printing);
    virtual void GridCustomCellBkgDraw(TObject* Sender, TCanvas* Canvas, int ACol, int ARow,
                                       TGridDrawState AState, TRect ARect, bool Printing);
    virtual void GridCellBalloon(TObject* Sender, int ACol, int ARow, std::string& ATitle,
                                 std::string& AText, int& AIcon);
    virtual void GridGetAlignment(TObject* Sender, int ARow, int ACol, TAlignment& HAlign,
                                  TVAlignment& VAlign);
    virtual void GridGetCellColor(TObject* Sender, int ARow, int ACol, TGridDrawState AState,
                                  TBrush* ABrush, TFont* AFont);
    virtual void GridGetCellGradient(TObject* Sender, int ARow, int ACol, TColor& Color,
                                     TColor& ColorTo, TColor& ColorMirror, TColor& ColorMirrorTo,
                                     TCellGradientDirection& GD);
    virtual void GridGetFloatFormat(TObject* Sender, int ACol, int ARow, bool& IsFloat,
                                    std::string& FloatFormat);
    virtual void GridGetEditorType(TObject* Sender, int ACol, int ARow, TEditorType& AEditor);
    virtual void GridGetEditorProp(TObject* Sender, int ARow, int ACol);
    virtual void GridCanEditCell(TObject* Sender, int ARow, int ACol, bool& CanEdit);
    virtual void GridEllipsClick(TObject* Sender, int ACol, int ARow, std::string& S);
    virtual void GridGetDisplText(TObject* Sender, int ACol, int ARow, std::string& Value);
    virtual void GridGetFormat(TObject* Sender, int ACol, TSortStyle& AStyle, std::string& APrefix,
                               std::string& ASuffix);
    virtual void GridHint(TObject* Sender, int ARow, int ACol, std::string& Hint);
    virtual void GridMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    virtual void GridMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X,
                               int Y);
    virtual void GridMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void GridRightClickCell(TObject* Sender, int ARow, int ACol);
    virtual void GridScrollHint(TObject* Sender, int Index, std::string& Hint);
    virtual void GridTopLeftChanged(TObject* Sender);
    virtual void GridSearchEditChange(TObject* Sender, const std::string& Value,
                                      bool& DefaultSearch);
    virtual void GridAutoAddRow(TObject* Sender, int ARow);
    virtual void GridAutoInsertRow(TObject* Sender, int ARow);
    virtual void GridAutoInsertCol(TObject* Sender, int ACol);
    virtual void GridAutoDeleteRow(TObject* Sender, int ARow);
    virtual void GridCanAddRow(TObject* Sender, bool& CanAdd);
    virtual void GridCanInsertRow(TObject* Sender, int ARow, bool& CanInsert);
    virtual void GridCanDeleteRow(TObject* Sender, int ARow, bool& CanDelete);

private:
    friend class grid_drop_down::TQorColGrid;
    void bindGridEvents();
    // Runs Event with the popup kept open when a dialog the handler opens takes the activation.
    void keepingPopup(const std::function<void()>& Event);
    void gridSelectCell(int ARow);
    void gridSelect();
    // The found item (UseItems) or grid row, or -1.
    int lookupKey(char32_t Key);
    int findLookupRow(const std::string& Entry) const;
    // Narrows the grid to the rows whose lookup cell holds Entry (all rows when it is empty);
    // gives the first data row.
    int narrow(const std::string& Entry);
    void showFound(int Found);
    grid_drop_down::TQorColGrid* FQorColGrid = nullptr;
    bool FBalloonInit = false;
    bool FColumnMoving = false;
    TLookupMethod FLookupMethod = lmLookup;
    bool FUseItems = true;
    int FSelRow = 0;
    bool FRowSelect = true;
    std::unique_ptr<TSearchFooter> FSearchFooter;
    std::unique_ptr<TBands> FBands;
    std::unique_ptr<TNavigation> FNavigation;
    std::unique_ptr<TMouseActions> FMouseActions;
    int FTempItemIndex = -1;
    TDropDownStyle FStyle = dsDropDown;
    bool FHoverRow = false;
    TColor FHoverRowColor = clInfoBk;
    TColor FHoverRowColorTo = clNone;
    TGridSorting FSorting = gsNone;
    bool FGridEditable = false;
    TImageList* FGridImages = nullptr;
    bool FRowMoving = false;
    bool FRowSizing = false;
    bool FAutoShowDropDown = false;
    bool FAutoSizeColumns = true;
    // The column of the cell edit an Enter in the edit just ended (-1 none): its key up
    // chooses the row when it is the lookup column.
    int FEditEnterCol = -1;
};

class TQorGridDropDown : public TCustomQorGridDropDown {
public:
    using TCustomQorGridDropDown::TCustomQorGridDropDown;
};
