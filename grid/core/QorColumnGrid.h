#pragma once
// TQorColumnGrid: a string grid with one settings item per real column (header, width, fonts,
// colour, alignment, editor kind with combo items, read-only and fixed state, password, check
// texts, borders, print look, sort and float format, filter list, popup menu). The per-cell
// hooks answer from the item of the cell's column first. The items follow the columns.
#include "grid/core/QorStringGrid.h"
#include "platform/ui/Menus.h"

#include <functional>
#include <memory>
#include <string>

class TQorColumnGrid;
class TGridColumnCollection;

enum TColumnPopupType {
    cpFixedCellsRClick,
    cpFixedCellsLClick,
    cpNormalCellsRClick,
    cpNormalCellsLClick,
    cpAllCellsRClick,
    cpAllCellsLClick
};

class TGridColumnItem : public TCollectionItem {
public:
    // Without a collection the item keeps default fonts and colour 0 and is wired to nothing.
    explicit TGridColumnItem(TCollection* ACollection);
    ~TGridColumnItem() override;
    void Assign(const TPersistent* Source) override;
    // Assign without ComboItems, DropDownCount, HeaderFont, Header, Name and Tag, and with the
    // grid's colour and font.
    void AssignVisuals(const TGridColumnItem* Source);
    std::string DisplayName() const override;
    TQorColumnGrid* Grid() const;

    // Read and written through the grid's AllColWidths of the item's column; 0 without grid.
    int Width() const;
    void SetWidth(int v);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    const std::string& Header() const { return FHeader; }
    void SetHeader(const std::string& v);
    void SetHeaderDirect(const std::string& v) { FHeader = v; }
    TSortStyle SortStyle() const { return FSortStyle; }
    void SetSortStyle(TSortStyle v) { FSortStyle = v; }
    const std::string& SortPrefix() const { return FSortPrefix; }
    void SetSortPrefix(const std::string& v) { FSortPrefix = v; }
    const std::string& SortSuffix() const { return FSortSuffix; }
    void SetSortSuffix(const std::string& v) { FSortSuffix = v; }
    const std::string& EditMask() const { return FEditMask; }
    void SetEditMask(const std::string& v) { FEditMask = v; }
    int EditLength() const { return FEditLength; }
    void SetEditLength(int v) { FEditLength = v; }
    // Not owned.
    TObject* EditLink() const { return FEditLink; }
    void SetEditLink(TObject* v) { FEditLink = v; }
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* v) { FFont->Assign(v); }
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    TEditorType Editor() const { return FEditor; }
    // Repaints when the data check box comes or goes.
    void SetEditor(TEditorType v);
    bool Fixed() const { return FFixed; }
    void SetFixed(bool v);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v) { FReadOnly = v; }
    TStringList* ComboItems() const { return FComboItems.get(); }
    void SetComboItems(const TStrings* v) { FComboItems->Assign(v); }
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int v) { FDropDownCount = v; }
    int SpinMin() const { return FSpinMin; }
    void SetSpinMin(int v) { FSpinMin = v; }
    int SpinMax() const { return FSpinMax; }
    void SetSpinMax(int v) { FSpinMax = v; }
    int SpinStep() const { return FSpinStep; }
    void SetSpinStep(int v) { FSpinStep = v; }
    bool Password() const { return FPassword; }
    void SetPassword(bool v);
    TFont* PrintFont() const { return FPrintFont.get(); }
    void SetPrintFont(const TFont* v) { FPrintFont->Assign(v); }
    TColor PrintColor() const { return FPrintColor; }
    void SetPrintColor(TColor v) { FPrintColor = v; }
    TCellBorders Borders() const { return FBorders; }
    void SetBorders(TCellBorders v);
    TPen* BorderPen() const { return FBorderPen.get(); }
    void SetBorderPen(const TPen* v) { FBorderPen->Assign(v); }
    TCellBorders PrintBorders() const { return FPrintBorders; }
    void SetPrintBorders(TCellBorders v) { FPrintBorders = v; }
    TPen* PrintBorderPen() const { return FPrintBorderPen.get(); }
    void SetPrintBorderPen(const TPen* v) { FPrintBorderPen->Assign(v); }
    std::intptr_t Tag() const { return FTag; }
    void SetTag(std::intptr_t v) { FTag = v; }
    int DefIdx() const { return FDefIdx; }
    void SetDefIdx(int v) { FDefIdx = v; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& v) { FName = v; }
    const std::string& CheckFalse() const { return FCheckFalse; }
    void SetCheckFalse(const std::string& v) { FCheckFalse = v; }
    const std::string& CheckTrue() const { return FCheckTrue; }
    void SetCheckTrue(const std::string& v) { FCheckTrue = v; }
    bool ShowBands() const { return FShowBands; }
    void SetShowBands(bool v);
    TStringList* Filter() const { return FFilter.get(); }
    void SetFilter(const TStrings* v) { FFilter->Assign(v); }
    int MaxSize() const { return FMaxSize; }
    void SetMaxSize(int v) { FMaxSize = v; }
    int MinSize() const { return FMinSize; }
    void SetMinSize(int v) { FMinSize = v; }
    int AutoMinSize() const { return FAutoMinSize; }
    void SetAutoMinSize(int v) { FAutoMinSize = v; }
    int AutoMaxSize() const { return FAutoMaxSize; }
    void SetAutoMaxSize(int v) { FAutoMaxSize = v; }
    TColumnPopupType ColumnPopupType() const { return FColumnPopupType; }
    void SetColumnPopupType(TColumnPopupType v) { FColumnPopupType = v; }
    // Not owned.
    TPopupMenu* ColumnPopup() const { return FColumnPopup; }
    // The grid forgets a popup menu that is destroyed.
    void SetColumnPopup(TPopupMenu* v);
    bool FilterCaseSensitive() const { return FFilterCaseSensitive; }
    void SetFilterCaseSensitive(bool v) { FFilterCaseSensitive = v; }
    const std::string& FloatFormat() const { return FFloatFormat; }
    void SetFloatFormat(const std::string& v);
    TAlignment HeaderAlignment() const { return FHeaderAlignment; }
    void SetHeaderAlignment(TAlignment v);
    TFont* HeaderFont() const { return FHeaderFont.get(); }
    void SetHeaderFont(const TFont* v) { FHeaderFont->Assign(v); }
    bool PrintBorderCustom() const { return FPrintBorderCustom; }
    void SetPrintBorderCustom(bool v) { FPrintBorderCustom = v; }
    bool PrintFontCustom() const { return FPrintFontCustom; }
    void SetPrintFontCustom(bool v) { FPrintFontCustom = v; }

    // Cells of the item's column by row (display rows), as text and through the grid's typed
    // accessors; without a grid they read as empty or 0 and take nothing.
    std::string Rows(int idx) const;
    void SetRows(int idx, const std::string& v);
    int Ints(int idx) const;
    void SetInts(int idx, int v);
    double Floats(int idx) const;
    void SetFloats(int idx, double v);
    TDateTime Dates(int idx) const;
    void SetDates(int idx, TDateTime v);
    TDateTime Times(int idx) const;
    void SetTimes(int idx, TDateTime v);

private:
    friend class TGridColumnCollection;
    friend class TQorColumnGrid;
    void update();
    void repaint();
    TGridColumnCollection* columns() const;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    std::string FHeader;
    TSortStyle FSortStyle{}; // ssAutomatic
    std::string FSortPrefix;
    std::string FSortSuffix;
    std::string FEditMask;
    int FEditLength = 0;
    TObject* FEditLink = nullptr;
    std::unique_ptr<TFont> FFont;
    TColor FColor = clBlack;
    TEditorType FEditor = edNormal;
    bool FFixed = false;
    bool FReadOnly = false;
    std::unique_ptr<TStringList> FComboItems;
    int FDropDownCount = 8;
    int FSpinMin = 0;
    int FSpinMax = 0;
    int FSpinStep = 1;
    bool FPassword = false;
    std::unique_ptr<TFont> FPrintFont;
    TColor FPrintColor = clWhite;
    TCellBorders FBorders;
    std::unique_ptr<TPen> FBorderPen;
    TCellBorders FPrintBorders{cbTop, cbLeft, cbRight, cbBottom};
    std::unique_ptr<TPen> FPrintBorderPen;
    std::intptr_t FTag = 0;
    int FDefIdx = 0;
    std::string FName;
    std::string FCheckFalse = "N";
    std::string FCheckTrue = "Y";
    bool FShowBands = false;
    std::unique_ptr<TStringList> FFilter;
    int FMaxSize = 0;
    int FMinSize = 0;
    int FAutoMinSize = 0;
    int FAutoMaxSize = 0;
    TColumnPopupType FColumnPopupType = cpFixedCellsRClick;
    TPopupMenu* FColumnPopup = nullptr;
    bool FFilterCaseSensitive = false;
    std::string FFloatFormat;
    TAlignment FHeaderAlignment = taLeftJustify;
    std::unique_ptr<TFont> FHeaderFont;
    bool FPrintBorderCustom = true;
    bool FPrintFontCustom = true;
};

// The column items of a column grid; Items[i] is real column i.
class TGridColumnCollection : public TCollection {
public:
    explicit TGridColumnCollection(TQorColumnGrid* AOwner);
    TQorColumnGrid* Owner() const { return FOwner; }
    TGridColumnItem* Items(int index) const;
    void SetItems(int index, const TGridColumnItem* v) { Items(index)->Assign(v); }
    // Appends; a new item after others takes the visuals of the one before it.
    TGridColumnItem* Add();
    // Inserts a fresh item.
    TGridColumnItem* Insert(int index);
    bool NoRecursiveUpdate() const { return FNoRecursiveUpdate; }
    void SetNoRecursiveUpdate(bool v) { FNoRecursiveUpdate = v; }

protected:
    void Update(TCollectionItem* Item) override;

private:
    TQorColumnGrid* FOwner;
    bool FNoRecursiveUpdate = false;
};

// A component whose only property is a column collection, so that the collection can be written
// to and read from a stream in the component streaming format.
class TQorColumnGridIO : public TComponent {
public:
    // The collection belongs to Grid (its items read and set the grid's column widths).
    TQorColumnGridIO(TComponent* AOwner, TQorColumnGrid* Grid);
    ~TQorColumnGridIO() override;
    TGridColumnCollection* Items() const { return FItems.get(); }
    // A copy of every item setting the stream holds.
    void SetItems(const TGridColumnCollection* v);
    void WriteComponent(TStream& Stream) const;
    // Refuses (EReadError) a stream that holds no TQorColumnGridIO component; the references to
    // an edit link or popup menu are found by name among Form's components.
    void ReadComponent(TStream& Stream, TComponent* Form);

private:
    std::unique_ptr<TGridColumnCollection> FItems;
};

using TColumnPopupEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, TPopupMenu* PopupMenu)>;
using TAfterColumnMoved = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;

class TQorColumnGrid : public TQorStringGrid {
public:
    explicit TQorColumnGrid(TComponent* AOwner);
    ~TQorColumnGrid() override;

    TGridColumnCollection* Columns() const { return FColumnCollection.get(); }
    // The collection takes a copy.
    void SetColumns(const TGridColumnCollection* v);
    // The first item of that name (case-sensitive); nil when none.
    TGridColumnItem* ColumnByName(const std::string& AValue) const;
    bool AutoFilterDisplay() const { return FAutoFilterDisplay; }
    void SetAutoFilterDisplay(bool v) { FAutoFilterDisplay = v; }
    bool ColMoving() const { return FColMoving; }

    void Loaded() override;
    // Items follow ColCount + hidden columns: missing ones are added, extra ones freed.
    void SynchColumns();
    // Rebuilds ColumnHeaders from the items' headers (with fixed rows only).
    void UpdateColumnHeaders();
    // Records the current order as every item's default position.
    void SetOrganization();
    // Moves columns back to their default positions.
    void ResetOrganization();
    // Column order in an INI file: "CP<i>" in Section holds the default index of the item at
    // position i. Loading ignores positions that are not a permutation of the columns.
    void SaveColumnPositions(const std::string& Key, const std::string& Section);
    void LoadColumnPositions(const std::string& Key, const std::string& Section);
    // With an INI file as the column-size store: the two above with its Key and Section. The
    // registry variant comes with the settings persistence.
    void SaveColPositions();
    void LoadColPositions();
    // The column items in the component streaming format; loading replaces the items (their
    // widths and headers go to the grid's columns) and repaints.
    void SaveColumnsToStream(TStream& st);
    void LoadColumnsFromStream(TStream& st);
    int GetVersionNr() const override { return 50397953; }
    std::string GetVersionString() const override;

    // --- hooks answered from the column items ------------------------------------------------
    void GetDefaultProps(int ACol, int ARow, TCellGradientDirection& GD, bool& WW, TVAlignment& VA,
                         TAlignment& HA, TColor& MirrorColorTo, TColor& MirrorColor,
                         TColor& ColorTo, TBrush* ABrush, TFont* AFont) override;
    void GetCellColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush,
                      TFont* AFont) override;
    void GetCellPrintColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush,
                           TFont* AFont) override;
    void GetCellBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders) override;
    void GetCellPrintBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders) override;
    void GetAlignment(int ACol, int ARow, TAlignment& HAlign, TVAlignment& VAlign) override;
    void GetFormat(int ACol, TSortStyle& AStyle, std::string& APrefix,
                   std::string& ASuffix) override;
    void GetFloatFormat(int ACol, std::string& AFormat) override;
    std::string GetFormattedCell(int ACol, int ARow) override;
    void GetEditorType(int ACol, int ARow, TEditorType& AEditor) override;
    bool HasComboBox(int ACol, int ARow) override;
    // ACol is a display column.
    void IsFixedCell(int ACol, int ARow, bool& IsFixed) override;
    void IsEditableCell(int ACol, int ARow, bool& CanEdit) override;
    void IsPasswordCell(int ACol, int ARow, bool& IsPassword) override;
    void GetCheckTrue(int ACol, int ARow, std::string& Value) override;
    void GetCheckFalse(int ACol, int ARow, std::string& Value) override;
    TCellGraphic* GetCellGraphic(int ACol, int ARow) override;
    TCellType GetCellType(int ACol, int ARow) override;
    bool BuildColumnFilterList(int ACol) override;
    void FilterDropDownSelect(int ItemIndex) override;
    void UpdateColumnSize(int ACol, int& AWidth) override;
    void UpdateAutoColumnSize(int ACol, int& AWidth) override;
    void ColumnHeadersChanged() override;
    void RecalcFooters() override;
    // The column items follow the inserted and removed columns.
    void InsertCols(int ColIndex, int CCount) override;
    void RemoveCols(int ColIndex, int CCount) override;
    int GetEditLimit() override;
    std::string GetEditMask(int ACol, int ARow) override;

    // Also each column's font and header font (outside design mode).
    void ChangeScale(int M, int D) override;

    TColumnPopupEvent OnColumnPopup;
    TAfterColumnMoved OnAfterColumnMoved;

protected:
    virtual std::unique_ptr<TGridColumnCollection> CreateColumns();
    void SizeChanged(int OldColCount, int OldRowCount) override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void ColWidthsChanged() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TGridColumnItem;
    TGridColumnItem* itemOf(int RealCol) const;
    // A cell of the normal area of its column (real column, display row).
    bool isNormalCell(int ACol, int ARow) const;
    std::unique_ptr<TGridColumnCollection> FColumnCollection;
    std::unique_ptr<TGridColumnItem> FSaveCol;
    std::unique_ptr<TCellGraphic> FVirtCheck;
    bool FColMoving = false;
    bool FAutoFilterDisplay = false;
    bool FConstructed = false;
};
