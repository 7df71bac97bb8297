#include "controls/QorGridDropDown.h"

#include "controls/base/DropDownForm.h"
#include "controls/base/DropDownLookup.h"
#include "grid/core/base/GridSettings.h"
#include "grid/data/DataSettings.h"
#include "grid/render/LookSettings.h"
#include "platform/base/SysUtils.h"
#include "platform/ui/core/SysInfo.h"

#include <algorithm>

namespace {

// The keys the open grid moves its row with.
bool isMoveKey(WORD Key) {
    return Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END || Key == VK_HOME || Key == VK_UP ||
           Key == VK_DOWN;
}

void setOption(TGridOptions& Options, TGridOption Option, bool On) {
    On ? Options.Include(Option) : Options.Exclude(Option);
}

} // namespace

namespace grid_drop_down {

TQorColGrid::TQorColGrid(TComponent* AOwner, TCustomQorGridDropDown* DropDown)
    : TDropDownGridInput<TQorStringGrid>(AOwner), FQorDropDown(DropDown),
      FColumns(std::make_unique<TDropDownColumns>(this)) {
    SetFixedRowAlways(true);
    SetFixedRows(1);
    SetFixedCols(0);
    TGridOptions o = Options();
    o.Exclude(goRangeSelect);
    o.Include(goHorzLine);
    o.Include(goRowSelect);
    SetOptions(o);
}

TQorColGrid::~TQorColGrid() = default;

void TQorColGrid::LoadFromDropDown() {
    TCustomQorGridDropDown& dd = *FQorDropDown;
    SetConfirmSelection(false);
    FColumns->Assign(dd.Columns());
    if (ColCount() < FColumns->Count()) SetColCount(FColumns->Count());
    if (dd.UseItems()) SetRowCount(dd.Items()->Count() + 1);
    for (int i = 0; i < FColumns->Count(); ++i) SetColWidths(i, FColumns->Items(i)->Width());
    SetDefaultRowHeight(dd.DropDownRowHeight());
    SetRowHeights(0, dd.HeaderHeight());
    TGridOptions o = Options();
    setOption(o, goColSizing, dd.ColumnSizing());
    setOption(o, goColMoving, dd.ColumnMoving());
    setOption(o, goRowSizing, dd.RowSizing());
    setOption(o, goRowMoving, dd.RowMoving());
    SetOptions(o);
    bool wrap = false;
    for (int i = 0; i < FColumns->Count(); ++i) wrap = wrap || FColumns->Items(i)->Wordwrap();
    if (dd.AutoSizeColumns()) {
        if (!dd.UseItems())
            TQorStringGrid::AutoSizeColumns(true, 4);
        else if (Parent() == dd.FDropDownForm)
            for (int i = 0; i < FColumns->Count(); ++i)
                if (FColumns->Items(i)->AutoSize()) dd.AutoSizeColumn(*this, i, *FColumns);
    }
    if (wrap && dd.UseItems()) dd.WordWrapRowHeights(*this, *FColumns);
}

void TQorColGrid::LoadItems() {
    TCustomQorGridDropDown& dd = *FQorDropDown;
    if (ColCount() != dd.Columns()->Count()) SetColCount(dd.Columns()->Count());
    for (int c = 0; c < dd.Columns()->Count(); ++c) {
        SetCells(c, 0, dd.Columns()->Items(c)->Header());
        SetObjects(c, 0, nullptr);
    }
    const TDropDownItems& items = *dd.Items();
    if (items.Count() == 0) return;
    SetRowCount(FixedRows() + items.Count());
    for (int i = 0; i < items.Count(); ++i) {
        TDropDownItem* item = items.Items(i);
        for (int c = 0; c < ColCount(); ++c) SetCells(c, i + 1, item->ColumnText(c));
        // The row keeps its item through sorting.
        SetObjects(0, i + 1, item);
    }
}

int TQorColGrid::GetTotalWidth() {
    return TotalWidth(*this);
}

void TQorColGrid::DoSelect() {
    if (OnSelect) OnSelect(this);
}

void TQorColGrid::KeyDown(WORD& Key, TShiftState Shift) {
    if (ForwardAltArrow(FQorDropDown, Key, Shift)) return;
    if (Key == VK_RETURN) {
        Key = 0;
        DoSelect();
        return;
    }
    TQorStringGrid::KeyDown(Key, Shift);
}

void TQorColGrid::KeyPress(char32_t& Key) {
    if (Key == 13) {
        Key = 0;
        return;
    }
    TQorStringGrid::KeyPress(Key);
}

void TQorColGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TQorStringGrid::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    const TGridCoord cell = MouseCoord(X, Y);
    if (cell.Y < FixedRows() || cell.Y >= RowCount() || cell.X < 0) return;
    if (!HasCheckBox(RealColIndex(cell.X), cell.Y)) DoSelect();
}

} // namespace grid_drop_down

using grid_drop_down::TQorColGrid;

// --- TCustomQorGridDropDown --------------------------------------------------------------------

TCustomQorGridDropDown::TCustomQorGridDropDown(TComponent* AOwner)
    : TColumnListDropDown(AOwner), FSearchFooter(std::make_unique<TSearchFooter>(this, false)),
      FBands(std::make_unique<TBands>()), FNavigation(std::make_unique<TNavigation>()),
      FMouseActions(std::make_unique<TMouseActions>(this)) {
    FNavigation->SetHomeEndKey(heFirstLastRow);
    DropDownFormNeeded();
}

TCustomQorGridDropDown::~TCustomQorGridDropDown() {
    SetGridImages(nullptr);
    // The grid's events call into this part of the control, which goes first.
    delete FQorColGrid;
}

void TCustomQorGridDropDown::Assign(const TPersistent* Source) {
    TColumnListDropDown::Assign(Source);
    auto* s = dynamic_cast<const TCustomQorGridDropDown*>(Source);
    if (!s) return;
    FColumnMoving = s->FColumnMoving;
    FLookupMethod = s->FLookupMethod;
    FUseItems = s->FUseItems;
    FRowSelect = s->FRowSelect;
    FSearchFooter->Assign(s->FSearchFooter.get());
    FBands->Assign(s->FBands.get());
    FNavigation->Assign(s->FNavigation.get());
    FMouseActions->Assign(s->FMouseActions.get());
    SetStyle(s->FStyle);
    FHoverRow = s->FHoverRow;
    FHoverRowColor = s->FHoverRowColor;
    FHoverRowColorTo = s->FHoverRowColorTo;
    FSorting = s->FSorting;
    FGridEditable = s->FGridEditable;
    SetGridImages(s->FGridImages);
    FRowMoving = s->FRowMoving;
    FRowSizing = s->FRowSizing;
    FAutoShowDropDown = s->FAutoShowDropDown;
    FAutoSizeColumns = s->FAutoSizeColumns;
}

void TCustomQorGridDropDown::Loaded() {
    TColumnListDropDown::Loaded();
    if (FQorColGrid) FQorColGrid->LoadItems();
}

void TCustomQorGridDropDown::Notification(TComponent* AComponent, TOperation Operation) {
    // A grid that goes is let go of before the base drops it as the popup's content.
    if (Operation == opRemove && AComponent == FQorColGrid) FQorColGrid = nullptr;
    TColumnListDropDown::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FGridImages) {
        FGridImages = nullptr;
        if (FQorColGrid) FQorColGrid->SetGridImages(nullptr);
    }
}

void TCustomQorGridDropDown::SetSearchFooter(const TSearchFooter* v) {
    FSearchFooter->Assign(v);
}

void TCustomQorGridDropDown::SetBands(const TBands* v) {
    FBands->Assign(v);
}

void TCustomQorGridDropDown::SetNavigation(const TNavigation* v) {
    FNavigation->Assign(v);
}

void TCustomQorGridDropDown::SetMouseActions(const TMouseActions* v) {
    FMouseActions->Assign(v);
}

void TCustomQorGridDropDown::SetStyle(TDropDownStyle v) {
    FStyle = v;
    SetEditorEnabled(v == dsDropDown);
}

void TCustomQorGridDropDown::SetGridImages(TImageList* v) {
    if (FGridImages) FGridImages->RemoveFreeNotification(this);
    FGridImages = v;
    if (v) v->FreeNotification(this);
    if (FQorColGrid) FQorColGrid->SetGridImages(v);
}

TCustomGrid* TCustomQorGridDropDown::ListGrid() const {
    return FQorColGrid;
}

int TCustomQorGridDropDown::ListCount() const {
    if (FUseItems) return Items()->Count();
    return FQorColGrid ? FQorColGrid->RowCount() - FQorColGrid->FixedRows() : 0;
}

void TCustomQorGridDropDown::SetItemIndex(int Value) {
    if (FUseItems) {
        TColumnListDropDown::SetItemIndex(Value);
        return;
    }
    if (!FQorColGrid) {
        FItemIndex = Value;
        return;
    }
    if (Value == FItemIndex || Value >= FQorColGrid->RowCount()) return;
    FItemIndex = Value;
    SetEditText(Value < 0 ? std::string() : FQorColGrid->Cells(LookupColumn(), Value + 1));
}

int TCustomQorGridDropDown::RowToItem(int Row) const {
    if (!FQorColGrid || Row >= FQorColGrid->RowCount()) return Row;
    TObject* item = FQorColGrid->Objects(0, Row);
    for (int i = 0; i < Items()->Count(); ++i)
        if (Items()->Items(i) == item) return i;
    return -1;
}

int TCustomQorGridDropDown::ItemToRow(int Index) const {
    if (FQorColGrid && Index >= 0 && Index < Items()->Count()) {
        TObject* item = Items()->Items(Index);
        for (int r = FQorColGrid->FixedRows(); r < FQorColGrid->RowCount(); ++r)
            if (FQorColGrid->Objects(0, r) == item) return r;
    }
    return ItemIndex();
}

// --- the popup ---------------------------------------------------------------------------------

void TCustomQorGridDropDown::CreateDropDownForm() {
    TColumnListDropDown::CreateDropDownForm();
    if (!FQorColGrid) {
        FQorColGrid = new TQorColGrid(this, this);
        FQorColGrid->SetParent(FDropDownForm);
        FQorColGrid->SetBounds(0, 0, FQorColGrid->Width(), 180);
        FQorColGrid->SetColor(DropDownColor());
        FQorColGrid->Navigation()->SetHomeEndKey(heFirstLastRow);
    }
    SetControl(FQorColGrid);
}

void TCustomQorGridDropDown::DropDownFormDestroyed() {
    TColumnListDropDown::DropDownFormDestroyed();
    FQorColGrid = nullptr;
}

void TCustomQorGridDropDown::UpdateDropDownContent() {
    SetControl(FQorColGrid);
    TColumnListDropDown::UpdateDropDownContent();
}

void TCustomQorGridDropDown::BeforeDropDown() {
    FDropDownForm->SetCancelOnDeActivate(false);
    TQorColGrid& g = *FQorColGrid;
    // The items are loaded anew: a narrowing of the last popup goes.
    if (FUseItems && g.FilterActive()) {
        g.RemoveAllFilters();
        FLookupEntry.clear();
    }
    g.LoadFromDropDown();
    g.SetColor(DropDownColor());
    g.SortSettings()->SetShow(false);
    g.SortSettings()->SetIndexShow(false);
    if (FSorting != gsNone) g.SortSettings()->SetShow(true);
    if (FSorting == gsMultiColumn) g.SortSettings()->SetIndexShow(true);
    FBalloonInit = false;
    g.SetGridImages(Images());
    bindGridEvents();
    g.SearchFooter()->Assign(FSearchFooter.get());
    g.MouseActions()->Assign(FMouseActions.get());
    g.Navigation()->Assign(FNavigation.get());
    g.Bands()->Assign(FBands.get());
    TGridOptions o = g.Options();
    o.Include(goThumbTracking);
    setOption(o, goRowSelect, FRowSelect);
    setOption(o, goEditing, FGridEditable);
    g.SetOptions(o);
    g.SetGridImages(FGridImages);
    g.SetComponentStyle(GetComponentStyle());
    // Over the style's look: the header's colours and font, the selection's text colour and
    // the hover row.
    g.ControlLook()->SetFixedGradientFrom(HeaderColor());
    g.ControlLook()->SetFixedGradientTo(HeaderColorTo());
    g.SetFixedFont(HeaderFont());
    g.SetSelectionTextColor(SelectionTextColor());
    g.SetHoverRow(FHoverRow);
    g.SetHoverRowColor(FHoverRowColor);
    g.SetHoverRowColorTo(FHoverRowColorTo);
    if (FUseItems) {
        TColumnListDropDown::BeforeDropDown();
        g.SetRowCount(Items()->Count() + 1);
        if (g.RowCount() > 1) g.SetFixedRows(1);
        g.LoadItems();
        const int row = ItemToRow(ItemIndex());
        if (row >= g.FixedRows() && row < g.RowCount()) g.SetRow(row);
    } else {
        const int row = findLookupRow(Text());
        if (row >= g.FixedRows())
            g.SetRow(row);
        else if (g.RowCount() > g.FixedRows())
            g.SetRow(g.FixedRows());
    }
    if (g.SortSettings()->Column() >= 0 && g.SortSettings()->Show()) {
        g.QSort();
        // The chosen item's row after sorting.
        const int row = FUseItems ? ItemToRow(ItemIndex()) : -1;
        if (row >= g.FixedRows() && row < g.RowCount()) g.SetRow(row);
    }
    RememberOpening();
    if (!FUseItems) TColumnListDropDown::BeforeDropDown();
}

void TCustomQorGridDropDown::bindGridEvents() {
    TQorColGrid& g = *FQorColGrid;
    g.OnSelectCell = [this](TObject*, int, int ARow, bool&) { gridSelectCell(ARow); };
    g.OnSelect = [this](TObject*) { gridSelect(); };
    g.OnCanSort = [this](TObject*, int, bool&) { FTempItemIndex = ItemIndex(); };
    g.OnClickSort = [this](TObject*, int) {
        if (FTempItemIndex >= 0) FQorColGrid->SetRow(ItemToRow(FTempItemIndex));
    };
    g.OnEndBlockFocus = [this](TObject*) { FDropDownForm->SetBlockActivate(false); };
    g.OnAnchorClick = [this](TObject* S, int R, int C, std::string& A, bool& H) {
        GridAnchorClick(S, R, C, A, H);
    };
    g.OnAnchorEnter = [this](TObject* S, int R, int C, const std::string& A) {
        GridAnchorEnter(S, R, C, A);
    };
    g.OnAnchorExit = [this](TObject* S, int R, int C, const std::string& A) {
        GridAnchorExit(S, R, C, A);
    };
    g.OnAnchorHint = [this](TObject* S, int R, int C, std::string& A) {
        GridAnchorHint(S, R, C, A);
    };
    g.OnButtonClick = [this](TObject* S, int C, int R) { GridButtonClick(S, C, R); };
    g.OnCheckBoxClick = OnGridCheckBoxClick;
    g.OnColumnSize = [this](TObject* S, int C, bool& A) { GridColumnSize(S, C, A); };
    g.OnColumnSizing = [this](TObject* S, int C, int W) { GridColumnSizing(S, C, W); };
    g.OnEndColumnSize = [this](TObject* S, int C) { GridEndColumnSize(S, C); };
    g.OnRowSize = [this](TObject* S, int R, bool& A) { GridRowSize(S, R, A); };
    g.OnRowSizing = [this](TObject* S, int R, int H) { GridRowSizing(S, R, H); };
    g.OnEndRowSize = [this](TObject* S, int R) { GridEndRowSize(S, R); };
    g.OnRowMove = [this](TObject* S, int I, bool& A) { GridRowMove(S, I, A); };
    g.OnRowMoving = [this](TObject* S, int I, bool& A) { GridRowMoving(S, I, A); };
    g.OnRowMoved = [this](TObject* S, int F, int T) { GridRowMoved(S, F, T); };
    g.OnColumnMove = [this](TObject* S, int I, bool& A) { GridColumnMove(S, I, A); };
    g.OnColumnMoving = [this](TObject* S, int I, bool& A) { GridColumnMoving(S, I, A); };
    g.OnColumnMoved = [this](TObject* S, int F, int T) { GridColumnMoved(S, F, T); };
    g.OnCustomCellDraw = nullptr;
    if (OnGridCustomCellDraw)
        g.OnCustomCellDraw = [this](TObject* S, TCanvas* C, int Col, int R, TGridDrawState St,
                                    TRect Rc,
                                    bool P) { GridCustomCellDraw(S, C, Col, R, St, Rc, P); };
    g.OnCustomCellBkgDraw = nullptr;
    if (OnGridCustomCellBkgDraw)
        g.OnCustomCellBkgDraw = [this](TObject* S, TCanvas* C, int Col, int R, TGridDrawState St,
                                       TRect Rc,
                                       bool P) { GridCustomCellBkgDraw(S, C, Col, R, St, Rc, P); };
    g.OnCellBalloon = [this](TObject* S, int C, int R, std::string& T, std::string& X, int& I) {
        GridCellBalloon(S, C, R, T, X, I);
    };
    g.OnGetAlignment = [this](TObject* S, int R, int C, TAlignment& H, TVAlignment& V) {
        GridGetAlignment(S, R, C, H, V);
    };
    g.OnGetCellColor = [this](TObject* S, int R, int C, TGridDrawState St, TBrush* B, TFont* F) {
        GridGetCellColor(S, R, C, St, B, F);
    };
    g.OnGetCellGradient = [this](TObject* S, int R, int C, TColor& A, TColor& B, TColor& M,
                                 TColor& N, TCellGradientDirection& D) {
        GridGetCellGradient(S, R, C, A, B, M, N, D);
    };
    g.OnGetFloatFormat = [this](TObject* S, int C, int R, bool& F, std::string& Fmt) {
        GridGetFloatFormat(S, C, R, F, Fmt);
    };
    g.OnGetEditorType = [this](TObject* S, int C, int R, TEditorType& E) {
        GridGetEditorType(S, C, R, E);
    };
    g.OnGetEditorPropInt = [this](TObject* S, int R, int C) { GridGetEditorProp(S, R, C); };
    g.OnCanEditCell = [this](TObject* S, int R, int C, bool& E) { GridCanEditCell(S, R, C, E); };
    g.OnEllipsClick = [this](TObject* S, int C, int R, std::string& T) {
        GridEllipsClick(S, C, R, T);
    };
    g.OnGetDisplText = [this](TObject* S, int C, int R, std::string& V) {
        GridGetDisplText(S, C, R, V);
    };
    g.OnGetFormat = [this](TObject* S, int C, TSortStyle& St, std::string& P, std::string& X) {
        GridGetFormat(S, C, St, P, X);
    };
    g.OnGridHint = [this](TObject* S, int R, int C, std::string& H) { GridHint(S, R, C, H); };
    g.OnMouseMove = [this](TObject* S, TShiftState Sh, int X, int Y) {
        GridMouseMove(S, Sh, X, Y);
    };
    g.OnMouseDown = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
        GridMouseDown(S, B, Sh, X, Y);
    };
    g.OnMouseUp = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
        GridMouseUp(S, B, Sh, X, Y);
    };
    g.OnRightClickCell = [this](TObject* S, int R, int C) { GridRightClickCell(S, R, C); };
    g.OnScrollHint = [this](TObject* S, int I, std::string& H) { GridScrollHint(S, I, H); };
    g.OnTopLeftChanged = [this](TObject* S) { GridTopLeftChanged(S); };
    g.OnSearchEditChange = [this](TObject* S, const std::string& V, bool& D) {
        GridSearchEditChange(S, V, D);
    };
    g.OnAutoAddRow = [this](TObject* S, int R) { GridAutoAddRow(S, R); };
    g.OnAutoInsertRow = [this](TObject* S, int R) { GridAutoInsertRow(S, R); };
    g.OnAutoInsertCol = [this](TObject* S, int C) { GridAutoInsertCol(S, C); };
    g.OnAutoDeleteRow = [this](TObject* S, int R) { GridAutoDeleteRow(S, R); };
    g.OnCanAddRow = [this](TObject* S, bool& A) { GridCanAddRow(S, A); };
    g.OnCanInsertRow = [this](TObject* S, int R, bool& A) { GridCanInsertRow(S, R, A); };
    g.OnCanDeleteRow = [this](TObject* S, int R, bool& A) { GridCanDeleteRow(S, R, A); };
}

void TCustomQorGridDropDown::AdjustDropDownHeight(int& AHeight) {
    TColumnListDropDown::AdjustDropDownHeight(AHeight);
    AHeight += 4;
}

void TCustomQorGridDropDown::DoShowDropDown() {
    TColumnListDropDown::DoShowDropDown();
    if (!FQorColGrid || !FDropDownForm || !FDropDownForm->Visible()) return;
    TQorColGrid& g = *FQorColGrid;
    if (!FUseItems)
        while (Columns()->Count() < g.ColCount()) Columns()->Add();
    if (DroppedDown()) SizeColumnsToDropDown();
    if (!AllRowsVisible(g)) {
        const int visible = g.VisibleRowCount();
        if (g.Row() >= g.TopRow() + visible)
            g.SetTopRow(std::max(g.Row() - visible + 1, g.FixedRows()));
        else if (g.Row() < g.TopRow())
            g.SetTopRow(std::max(g.Row(), g.FixedRows()));
    }
    // The row a choice takes when the grid's row does not move before it.
    FSelRow = g.Row();
    g.SetTabStop(true);
    if (g.CanFocus()) g.SetFocus();
}

void TCustomQorGridDropDown::DoHideDropDown(bool Cancelled) {
    if (FDropDownForm && FDropDownForm->Visible() && FQorColGrid) {
        if (Cancelled) {
            // The base puts the text back.
            FItemIndex = FOldItemIndex;
        } else {
            if (FQorColGrid->ConfirmSelection())
                SetItemIndex(FUseItems ? RowToItem(FSelRow) : FSelRow - FQorColGrid->FixedRows());
            FOldItemIndex = ItemIndex();
            FQorColGrid->SetConfirmSelection(false);
        }
    }
    TColumnListDropDown::DoHideDropDown(Cancelled);
}

void TCustomQorGridDropDown::gridSelectCell(int ARow) {
    FSelRow = ARow;
    if (FQorColGrid->MouseWheelSelection()) return;
    if (FUseItems) {
        SetItemIndex(RowToItem(ARow));
    } else {
        SetEditText(FQorColGrid->Cells(LookupColumn(), ARow));
        FItemIndex = ARow - FQorColGrid->FixedRows();
    }
}

void TCustomQorGridDropDown::gridSelect() {
    const int row = FQorColGrid->Row();
    if (FQorColGrid->ConfirmSelection()) SetItemIndex(FUseItems ? RowToItem(row) : row - 1);
    if (!FGridEditable) HideDropDown(false);
    if (OnSelect) OnSelect(this);
}

void TCustomQorGridDropDown::keepingPopup(const std::function<void()>& Event) {
    FDropDownForm->SetBlockActivate(true);
    try {
        Event();
    } catch (...) {
        FDropDownForm->SetBlockActivate(false);
        throw;
    }
    FDropDownForm->SetBlockActivate(false);
}

// --- lookup ------------------------------------------------------------------------------------

int TCustomQorGridDropDown::findLookupRow(const std::string& Entry) const {
    if (FUseItems)
        return FindCompletion(
            Items()->Count(), [this](int i) { return lookupText(i); }, Entry, CaseSensitive());
    if (!FQorColGrid || Entry.empty()) return -1;
    TQorColGrid& g = *FQorColGrid;
    const int first = g.FixedRows();
    const int found = FindCompletion(
        g.RowCount() - first, [&](int i) { return g.Cells(LookupColumn(), first + i); }, Entry,
        CaseSensitive());
    return found < 0 ? -1 : first + found;
}

int TCustomQorGridDropDown::narrow(const std::string& Entry) {
    TQorColGrid& g = *FQorColGrid;
    if (Entry.empty()) {
        g.RemoveAllFilters();
    } else {
        g.SetFixedRowAlways(true);
        g.NarrowDown(Entry, LookupColumn());
    }
    return g.FixedRows();
}

int TCustomQorGridDropDown::lookupKey(char32_t Key) {
    if (FLookupMethod == lmNone) return -1;
    TQorColGrid& g = *FQorColGrid;
    if (Key == 8) {
        if (SelLength() == 0) {
            const std::size_t n = Utf8Length(FLookupEntry);
            FLookupEntry = Utf8Substr(FLookupEntry, 0, n > 0 ? n - 1 : 0);
            SetEditText(FLookupEntry);
        } else {
            const std::string t = EditText();
            const std::size_t start = std::size_t(SelStart());
            SetEditText(Utf8Substr(t, 0, start) + Utf8Substr(t, start + std::size_t(SelLength())));
        }
        SetSelStart(int(Utf8Length(EditText())));
        // A shorter entry widens the narrowing again.
        if (FLookupMethod == lmNarrowDown) narrow(Trim(FLookupEntry));
        return -1;
    }
    const std::string ch = Utf32ToUtf8(std::u32string(1, Key));
    if (Key != 9) FLookupEntry += ch;
    const std::string entry = Trim(FLookupEntry);
    auto selectTail = [this] {
        const int typed = int(Utf8Length(FLookupEntry));
        SetSelStart(typed);
        SetSelLength(int(Utf8Length(EditText())) - typed);
    };
    if (FLookupMethod == lmNarrowDown) {
        narrow(entry);
        if (!entry.empty() && FStyle == dsDropDown && g.RowCount() > g.FixedRows()) {
            SetEditText(g.Cells(LookupColumn(), g.FixedRows()));
            selectTail();
        }
        return g.FixedRows();
    }
    auto take = [this, &g](int found) {
        FItemIndex = FUseItems ? found : found - g.FixedRows();
        SetEditText(FUseItems ? lookupText(found) : g.Cells(LookupColumn(), found));
    };
    int found = findLookupRow(entry);
    if (found >= 0) {
        take(found);
        if (FStyle == dsDropDown) selectTail();
        return found;
    }
    if (FStyle == dsDropDown) return -1;
    found = findLookupRow(ch);
    if (found < 0) {
        FLookupEntry.clear();
        return -1;
    }
    FLookupEntry = ch;
    take(found);
    return found;
}

void TCustomQorGridDropDown::showFound(int Found) {
    TQorColGrid& g = *FQorColGrid;
    const int row = FLookupMethod == lmNarrowDown ? g.FixedRows()
                    : FUseItems                   ? ItemToRow(Found)
                                                  : Found;
    if (row < g.FixedRows() || row >= g.RowCount()) {
        FLookupEntry.clear();
        return;
    }
    if (!AllRowsVisible(g)) g.SetTopRow(row);
    g.SetCol(0);
    g.SetRow(row);
    g.Invalidate();
}

// --- keys in the open grid ---------------------------------------------------------------------

void TCustomQorGridDropDown::ControlKeyDown(WORD& Key, TShiftState Shift) {
    if (!isMoveKey(Key) || Shift.Contains(ssAlt)) TColumnListDropDown::ControlKeyDown(Key, Shift);
    if (OnGridKeyDown) OnGridKeyDown(this, Key, Shift);
}

void TCustomQorGridDropDown::ControlKeyUp(WORD& Key, TShiftState Shift) {
    if (!isMoveKey(Key) || Shift.Contains(ssAlt))
        TColumnListDropDown::ControlKeyUp(Key, Shift);
    else
        FLookupEntry.clear();
    if (OnGridKeyUp) OnGridKeyUp(this, Key, Shift);
}

void TCustomQorGridDropDown::ControlKeyPress(char32_t& Key) {
    if (FQorColGrid && !FQorColGrid->EditorMode()) {
        const bool alt = GetKeyState(VK_MENU) < 0;
        if (Key == 13 || Key == 27) FLookupEntry.clear();
        if ((Key != 13 && Key != 27) || alt) {
            const int found = lookupKey(Key);
            if (found >= 0) showFound(found);
        }
    }
    if (OnGridKeyPress) OnGridKeyPress(this, Key);
}

// --- keys in the edit --------------------------------------------------------------------------

void TCustomQorGridDropDown::DoEnter() {
    TColumnListDropDown::DoEnter();
    if (FQorColGrid) FQorColGrid->RemoveAllFilters();
    FLookupEntry.clear();
}

void TCustomQorGridDropDown::KeyDown(WORD& Key, TShiftState Shift) {
    TQorColGrid* g = FQorColGrid;
    if (g && g->EditorMode() && Key == VK_RETURN && !Shift.Contains(ssShift)) {
        g->HideInplaceEdit();
        const int row = g->Row();
        SetEditText(g->Cells(LookupColumn(), row));
        FItemIndex = FUseItems ? RowToItem(row) : row - g->FixedRows();
        FEditEnterCol = g->Col();
        Key = 0;
        return;
    }
    if (Key == VK_ESCAPE || (Key >= VK_PRIOR && Key <= VK_DOWN)) FLookupEntry.clear();
    TColumnListDropDown::KeyDown(Key, Shift);
}

void TCustomQorGridDropDown::KeyUp(WORD& Key, TShiftState Shift) {
    const WORD key = Key;
    TColumnListDropDown::KeyUp(Key, Shift);
    // An Enter that ended a cell edit in the lookup column chooses the row.
    if (key == VK_RETURN && !Shift.Contains(ssShift) && FEditEnterCol >= 0) {
        if (FEditEnterCol == LookupColumn()) HideDropDown(false);
        FEditEnterCol = -1;
    }
}

void TCustomQorGridDropDown::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_KEYDOWN && Message.WParam == VK_RETURN && FQorColGrid)
        FQorColGrid->SetConfirmSelection(true);
    TColumnListDropDown::Dispatch(Message);
    if (Message.Msg == WM_CHAR) {
        // The edit itself took the Backspace: the typed entry is what is left before the caret.
        if (Message.WParam == 8) {
            FLookupEntry = Utf8Substr(EditText(), 0, std::size_t(SelStart()));
            if (FLookupMethod == lmNarrowDown && FQorColGrid) narrow(Trim(FLookupEntry));
            return;
        }
        const int found = lookupKey(char32_t(Message.WParam));
        if (found >= 0 && DroppedDown()) showFound(found);
        if (FAutoShowDropDown) ShowDropDown();
        return;
    }
    if (Message.Msg != WM_KEYDOWN || !Enabled() || GetKeyState(VK_MENU) < 0) return;
    const WORD key = WORD(Message.WParam);
    if (isMoveKey(key)) FLookupEntry.clear();
    StepForKey(key, FStyle == dsDropDownList && GetKeyState(VK_SHIFT) >= 0);
}

// --- forwarded grid events ---------------------------------------------------------------------

void TCustomQorGridDropDown::GridAnchorClick(TObject* Sender, int ARow, int ACol,
                                             std::string& Anchor, bool& AutoHandle) {
    if (OnGridAnchorClick)
        keepingPopup([&] { OnGridAnchorClick(Sender, ARow, ACol, Anchor, AutoHandle); });
}

void TCustomQorGridDropDown::GridAnchorEnter(TObject* Sender, int ARow, int ACol,
                                             const std::string& Anchor) {
    if (OnGridAnchorEnter) OnGridAnchorEnter(Sender, ARow, ACol, Anchor);
}

void TCustomQorGridDropDown::GridAnchorExit(TObject* Sender, int ARow, int ACol,
                                            const std::string& Anchor) {
    if (OnGridAnchorExit) OnGridAnchorExit(Sender, ARow, ACol, Anchor);
}

void TCustomQorGridDropDown::GridAnchorHint(TObject* Sender, int ARow, int ACol,
                                            std::string& Anchor) {
    if (OnGridAnchorHint) OnGridAnchorHint(Sender, ARow, ACol, Anchor);
}

void TCustomQorGridDropDown::GridButtonClick(TObject* Sender, int ACol, int ARow) {
    if (OnGridButtonClick) keepingPopup([&] { OnGridButtonClick(Sender, ACol, ARow); });
}

void TCustomQorGridDropDown::GridColumnSize(TObject* Sender, int ACol, bool& Allow) {
    if (OnGridColumnSize) OnGridColumnSize(Sender, ACol, Allow);
}

void TCustomQorGridDropDown::GridColumnSizing(TObject* Sender, int ACol, int ColumnSize) {
    if (OnGridColumnSizing) OnGridColumnSizing(Sender, ACol, ColumnSize);
}

void TCustomQorGridDropDown::GridEndColumnSize(TObject* Sender, int ACol) {
    if (OnGridEndColumnSize) OnGridEndColumnSize(Sender, ACol);
}

void TCustomQorGridDropDown::GridRowSize(TObject* Sender, int ARow, bool& Allow) {
    if (OnGridRowSize) OnGridRowSize(Sender, ARow, Allow);
}

void TCustomQorGridDropDown::GridRowSizing(TObject* Sender, int ARow, int RowSize) {
    if (OnGridRowSizing) OnGridRowSizing(Sender, ARow, RowSize);
}

void TCustomQorGridDropDown::GridEndRowSize(TObject* Sender, int ARow) {
    if (OnGridEndRowSize) OnGridEndRowSize(Sender, ARow);
}

void TCustomQorGridDropDown::GridRowMove(TObject* Sender, int Index, bool& Allow) {
    if (OnGridRowMove) OnGridRowMove(Sender, Index, Allow);
}

void TCustomQorGridDropDown::GridRowMoving(TObject* Sender, int Index, bool& Allow) {
    if (OnGridRowMoving) OnGridRowMoving(Sender, Index, Allow);
}

void TCustomQorGridDropDown::GridRowMoved(TObject* Sender, int FromIndex, int ToIndex) {
    if (OnGridRowMoved) OnGridRowMoved(Sender, FromIndex, ToIndex);
}

void TCustomQorGridDropDown::GridColumnMove(TObject* Sender, int Index, bool& Allow) {
    if (OnGridColumnMove) OnGridColumnMove(Sender, Index, Allow);
}

void TCustomQorGridDropDown::GridColumnMoving(TObject* Sender, int Index, bool& Allow) {
    if (OnGridColumnMoving) OnGridColumnMoving(Sender, Index, Allow);
}

void TCustomQorGridDropDown::GridColumnMoved(TObject* Sender, int FromIndex, int ToIndex) {
    if (OnGridColumnMoved) OnGridColumnMoved(Sender, FromIndex, ToIndex);
}

void TCustomQorGridDropDown::GridCustomCellDraw(TObject* Sender, TCanvas* Canvas, int ACol,
                                                int ARow, TGridDrawState AState, TRect ARect,
                                                bool Printing) {
    if (OnGridCustomCellDraw)
        OnGridCustomCellDraw(Sender, Canvas, ACol, ARow, AState, ARect, Printing);
}

void TCustomQorGridDropDown::GridCustomCellBkgDraw(TObject* Sender, TCanvas* Canvas, int ACol,
                                                   int ARow, TGridDrawState AState, TRect ARect,
                                                   bool Printing) {
    if (OnGridCustomCellBkgDraw)
        OnGridCustomCellBkgDraw(Sender, Canvas, ACol, ARow, AState, ARect, Printing);
}

void TCustomQorGridDropDown::GridCellBalloon(TObject* Sender, int ACol, int ARow,
                                             std::string& ATitle, std::string& AText, int& AIcon) {
    if (OnGridCellBalloon) OnGridCellBalloon(Sender, ACol, ARow, ATitle, AText, AIcon);
}

void TCustomQorGridDropDown::GridGetAlignment(TObject* Sender, int ARow, int ACol,
                                              TAlignment& HAlign, TVAlignment& VAlign) {
    if (ACol < Columns()->Count()) HAlign = Columns()->Items(ACol)->Alignment();
    if (OnGridGetAlignment) OnGridGetAlignment(Sender, ARow, ACol, HAlign, VAlign);
}

void TCustomQorGridDropDown::GridGetCellColor(TObject* Sender, int ARow, int ACol,
                                              TGridDrawState AState, TBrush* ABrush, TFont* AFont) {
    if (ACol < Columns()->Count()) ABrush->SetColor(Columns()->Items(ACol)->Color());
    if (OnGridGetCellColor) OnGridGetCellColor(Sender, ARow, ACol, AState, ABrush, AFont);
}

void TCustomQorGridDropDown::GridGetCellGradient(TObject* Sender, int ARow, int ACol, TColor& Color,
                                                 TColor& ColorTo, TColor& ColorMirror,
                                                 TColor& ColorMirrorTo,
                                                 TCellGradientDirection& GD) {
    if (OnGridGetCellGradient)
        OnGridGetCellGradient(Sender, ARow, ACol, Color, ColorTo, ColorMirror, ColorMirrorTo, GD);
}

void TCustomQorGridDropDown::GridGetFloatFormat(TObject* Sender, int ACol, int ARow, bool& IsFloat,
                                                std::string& FloatFormat) {
    FloatFormat.clear();
    if (OnGridGetFloatFormat) OnGridGetFloatFormat(Sender, ACol, ARow, IsFloat, FloatFormat);
}

void TCustomQorGridDropDown::GridGetEditorType(TObject* Sender, int ACol, int ARow,
                                               TEditorType& AEditor) {
    if (OnGridGetEditorType) OnGridGetEditorType(Sender, ACol, ARow, AEditor);
}

void TCustomQorGridDropDown::GridGetEditorProp(TObject* Sender, int ARow, int ACol) {
    if (OnGridGetEditorProp) OnGridGetEditorProp(Sender, ARow, ACol);
}

void TCustomQorGridDropDown::GridCanEditCell(TObject* Sender, int ARow, int ACol, bool& CanEdit) {
    if (OnGridCanEditCell) OnGridCanEditCell(Sender, ARow, ACol, CanEdit);
}

void TCustomQorGridDropDown::GridEllipsClick(TObject* Sender, int ACol, int ARow, std::string& S) {
    if (OnGridEllipsClick) keepingPopup([&] { OnGridEllipsClick(Sender, ACol, ARow, S); });
}

void TCustomQorGridDropDown::GridGetDisplText(TObject* Sender, int ACol, int ARow,
                                              std::string& Value) {
    if (OnGridGetDiplText) OnGridGetDiplText(Sender, ACol, ARow, Value);
}

void TCustomQorGridDropDown::GridGetFormat(TObject* Sender, int ACol, TSortStyle& AStyle,
                                           std::string& APrefix, std::string& ASuffix) {
    if (OnGridGetFormat) OnGridGetFormat(Sender, ACol, AStyle, APrefix, ASuffix);
}

void TCustomQorGridDropDown::GridHint(TObject* Sender, int ARow, int ACol, std::string& Hint) {
    if (OnGridHint) OnGridHint(Sender, ARow, ACol, Hint);
}

void TCustomQorGridDropDown::GridMouseMove(TObject* Sender, TShiftState Shift, int X, int Y) {
    // The balloon hints start afresh with each popup.
    if (!FBalloonInit && FQorColGrid && FQorColGrid->Balloon()->Enable()) {
        FQorColGrid->Balloon()->SetEnable(false);
        FQorColGrid->Balloon()->SetEnable(true);
    }
    FBalloonInit = true;
    if (OnGridMouseMove) OnGridMouseMove(Sender, Shift, X, Y);
}

void TCustomQorGridDropDown::GridMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift,
                                           int X, int Y) {
    if (OnGridMouseDown) OnGridMouseDown(Sender, Button, Shift, X, Y);
}

void TCustomQorGridDropDown::GridMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift,
                                         int X, int Y) {
    if (OnGridMouseUp) OnGridMouseUp(Sender, Button, Shift, X, Y);
}

void TCustomQorGridDropDown::GridRightClickCell(TObject* Sender, int ARow, int ACol) {
    if (OnGridRightClickCell) OnGridRightClickCell(Sender, ARow, ACol);
}

void TCustomQorGridDropDown::GridScrollHint(TObject* Sender, int Index, std::string& Hint) {
    if (OnGridScrollHint) OnGridScrollHint(Sender, Index, Hint);
}

void TCustomQorGridDropDown::GridTopLeftChanged(TObject* Sender) {
    if (OnGridTopLeftChanged) OnGridTopLeftChanged(Sender);
}

void TCustomQorGridDropDown::GridSearchEditChange(TObject* Sender, const std::string& Value,
                                                  bool& DefaultSearch) {
    if (OnGridSearchEditChange) OnGridSearchEditChange(Sender, Value, DefaultSearch);
}

void TCustomQorGridDropDown::GridAutoAddRow(TObject* Sender, int ARow) {
    if (OnGridAutoAddRow) OnGridAutoAddRow(Sender, ARow);
}

void TCustomQorGridDropDown::GridAutoInsertRow(TObject* Sender, int ARow) {
    if (OnGridInsertRow) OnGridInsertRow(Sender, ARow);
}

void TCustomQorGridDropDown::GridAutoInsertCol(TObject* Sender, int ACol) {
    if (OnGridInsertCol) OnGridInsertCol(Sender, ACol);
}

void TCustomQorGridDropDown::GridAutoDeleteRow(TObject* Sender, int ARow) {
    if (OnGridDeleteRow) OnGridDeleteRow(Sender, ARow);
}

void TCustomQorGridDropDown::GridCanAddRow(TObject* Sender, bool& CanAdd) {
    if (OnGridCanAddRow) OnGridCanAddRow(Sender, CanAdd);
}

void TCustomQorGridDropDown::GridCanInsertRow(TObject* Sender, int ARow, bool& CanInsert) {
    if (OnGridCanInsertRow) OnGridCanInsertRow(Sender, ARow, CanInsert);
}

void TCustomQorGridDropDown::GridCanDeleteRow(TObject* Sender, int ARow, bool& CanDelete) {
    if (OnGridCanDeleteRow) OnGridCanDeleteRow(Sender, ARow, CanDelete);
}
