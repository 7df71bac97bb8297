// Per-cell appearance accessors, row-wide colours, cell controls, the stored texts and objects of
// hidden rows, cells by column order and sort order, the current cell and its edit text.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUtils.h"
#include "grid/editors/QorInplaceEdit.h"
#include "grid/render/markup/MarkupText.h"
#include "platform/ui/RichEdit.h"

#include <algorithm>

namespace {

// A row record of a hidden row, nullptr when the row is shown or has no record.
TGridRow* hiddenRecord(const THiddenRows& store, int ARow) {
    const THiddenRows::Entry* e = store.Find(ARow);
    return e ? const_cast<TGridRow*>(e->Row.Row(0)) : nullptr;
}

} // namespace

std::string TQorStringGrid::AllGridCells(int ACol, int ARow) {
    if (FHidden->Contains(ARow)) {
        const TGridRow* row = hiddenRecord(*FHidden, ARow);
        const TGridCell* cell = row ? row->Cell(ACol) : nullptr;
        return cell ? cell->Text : std::string();
    }
    const int d = DisplRowIndex(ARow);
    return ACol >= 0 && d >= 0 && d < RowCount() ? GridCells(ACol, d) : std::string();
}

void TQorStringGrid::SetAllGridCells(int ACol, int ARow, const std::string& Value) {
    if (ACol < 0) return;
    if (FHidden->Contains(ARow)) {
        if (TGridRow* row = hiddenRecord(*FHidden, ARow)) {
            row->NeedCell(ACol, TotalColCount()).Text = Value;
            return;
        }
        SetAllCells(ACol, ARow, Value);
        return;
    }
    const int d = DisplRowIndex(ARow);
    if (d >= 0 && d < RowCount()) SetGridCells(ACol, d, Value);
}

TObject* TQorStringGrid::AllObjects(int ACol, int ARow) {
    if (FHidden->Contains(ARow)) {
        const TGridRow* row = hiddenRecord(*FHidden, ARow);
        const TGridCell* cell = row ? row->Cell(ACol) : nullptr;
        if (!cell) return nullptr;
        if (auto* p = dynamic_cast<TCellProperties*>(cell->Object)) return p->CellObject();
        return cell->Object;
    }
    const int d = DisplRowIndex(ARow);
    return ACol >= 0 && d >= 0 && d < RowCount() ? Objects(ACol, d) : nullptr;
}

void TQorStringGrid::SetAllObjects(int ACol, int ARow, TObject* Value) {
    if (ACol < 0) return;
    if (FHidden->Contains(ARow)) {
        TGridRow* row = hiddenRecord(*FHidden, ARow);
        TGridCell* cell = row && row->Cell(ACol) ? &row->Cells[std::size_t(ACol)] : nullptr;
        if (auto* p = cell ? dynamic_cast<TCellProperties*>(cell->Object) : nullptr) {
            p->SetCellObject(Value);
            return;
        }
        // The cell has no properties yet: they are made while the row is briefly shown.
        const int d = DisplRowIndex(ARow);
        const int level = HiddenRowLevel(ARow);
        BeginUpdate();
        PutRows(d, FHidden->Remove(ARow));
        SetObjects(ACol, d, Value);
        FHidden->Add(ARow, level, TakeRows(d, 1));
        EndUpdate();
        return;
    }
    const int d = DisplRowIndex(ARow);
    if (d >= 0 && d < RowCount()) SetObjects(ACol, d, Value);
}

// --- per-cell appearance -------------------------------------------------------------------

namespace {

template <typename T, typename Get>
T readProp(const TQorStringGrid& g, int ACol, int ARow, T def, Get get) {
    if (ACol < 0 || ARow < 0 || ACol >= g.ColCount() + g.NumHiddenColumns() ||
        ARow >= g.RowCount() || !g.HasCellProperties(ACol, ARow))
        return def;
    return get(*const_cast<TQorStringGrid&>(g).GetCellProperties(ACol, ARow));
}

} // namespace

#define QOR_CELL_ACCESSOR(Name, Type, Default, Getter, Setter)                                     \
    Type TQorStringGrid::Name(int ACol, int ARow) const {                                          \
        return readProp<Type>(*this, ACol, ARow, Default,                                          \
                              [](TCellProperties& p) { return Type(p.Getter()); });                \
    }                                                                                              \
    void TQorStringGrid::Set##Name(int ACol, int ARow, Type Value) {                               \
        GetCellProperties(ACol, ARow)->Setter(Value);                                              \
        if (!UpdateLocked()) RepaintCell(DisplColIndex(ACol), ARow);                               \
    }

QOR_CELL_ACCESSOR(Colors, TColor, clNone, BrushColor, SetBrushColor)
QOR_CELL_ACCESSOR(ColorsTo, TColor, clNone, BrushColorTo, SetBrushColorTo)
QOR_CELL_ACCESSOR(FontColors, TColor, clNone, FontColor, SetFontColor)
QOR_CELL_ACCESSOR(FontStyles, TFontStyles, TFontStyles(), FontStyle, SetFontStyle)
QOR_CELL_ACCESSOR(FontSizes, int, 0, FontSize, SetFontSize)
QOR_CELL_ACCESSOR(Alignments, TAlignment, taLeftJustify, Alignment, SetAlignment)
QOR_CELL_ACCESSOR(ReadOnly, bool, false, ReadOnly, SetReadOnly)
QOR_CELL_ACCESSOR(Gradients, TCellGradientDirection, GradientVertical, GradientDirection,
                  SetGradientDirection)
#undef QOR_CELL_ACCESSOR

std::string TQorStringGrid::FontNames(int ACol, int ARow) const {
    return readProp<std::string>(*this, ACol, ARow, std::string(),
                                 [](TCellProperties& p) { return p.FontName(); });
}

void TQorStringGrid::SetFontNames(int ACol, int ARow, const std::string& Value) {
    GetCellProperties(ACol, ARow)->SetFontName(Value);
    if (!UpdateLocked()) RepaintCell(DisplColIndex(ACol), ARow);
}

bool TQorStringGrid::WordWraps(int ACol, int ARow) {
    return GetCellProperties(ACol, ARow)->WordWrap();
}

void TQorStringGrid::SetWordWraps(int ACol, int ARow, bool Value) {
    GetCellProperties(ACol, ARow)->SetWordWrap(Value);
    if (!UpdateLocked()) RepaintCell(DisplColIndex(ACol), ARow);
}

void TQorStringGrid::SetFonts(int ACol, int ARow, const TFont* Value) {
    if (!Value) return;
    TCellProperties* p = GetCellProperties(ACol, ARow);
    p->SetFontName(Value->Name());
    p->SetFontSize(Value->Size());
    p->SetFontStyle(Value->Style());
    p->SetFontColor(Value->Color());
    if (!UpdateLocked()) RepaintCell(DisplColIndex(ACol), ARow);
}

TControl* TQorStringGrid::CellControls(int ACol, int ARow) const {
    return readProp<TControl*>(*this, ACol, ARow, nullptr,
                               [](TCellProperties& p) { return p.Control(); });
}

void TQorStringGrid::SetCellControls(int ACol, int ARow, TControl* Value) {
    TCellProperties* p = GetCellProperties(ACol, ARow);
    const int real = RealRowIndex(ARow);
    const bool had = p->Control() != nullptr;
    const int idx = FControlList.ControlIndex(ACol, real);
    if (idx >= 0) FControlList.RemoveControl(idx);
    if (!Value) {
        if (had) --FNumCellControls;
        p->SetControl(nullptr);
        return;
    }
    if (!had) ++FNumCellControls;
    FControlList.AddControl(ACol, real, Value);
    p->SetControl(Value);
    Value->SetParent(this);
    const TRect r = CellRect(DisplColIndex(ACol), ARow);
    Value->SetBounds(r.Left - 1, r.Top - 1, r.Right - r.Left + 1, r.Bottom - r.Top + 1);
}

int TQorStringGrid::LinesInCell(int ACol, int ARow) {
    return CountLines(Cells(ACol, ARow), true);
}

std::string TQorStringGrid::StrippedCells(int ACol, int ARow) {
    return HTMLStripTags(Cells(ACol, ARow));
}

void TQorStringGrid::SetRowColor(int ARow, TColor Value) {
    for (int c = FixedCols(); c < AllColCount(); ++c) {
        if (Value != clNone)
            GetCellProperties(c, ARow)->SetBrushColor(Value);
        else if (HasCellProperties(c, ARow))
            GetCellProperties(c, ARow)->SetBrushColor(clNone);
    }
    InvalidateRow(ARow);
}

void TQorStringGrid::SetRowColorTo(int ARow, TColor Value) {
    for (int c = FixedCols(); c < AllColCount(); ++c) {
        if (Value != clNone)
            GetCellProperties(c, ARow)->SetBrushColorTo(Value);
        else if (HasCellProperties(c, ARow))
            GetCellProperties(c, ARow)->SetBrushColorTo(clNone);
    }
    InvalidateRow(ARow);
}

void TQorStringGrid::SetRowFontColor(int ARow, TColor Value) {
    for (int c = FixedCols(); c < AllColCount(); ++c) {
        if (Value != clNone)
            GetCellProperties(c, ARow)->SetFontColor(Value);
        else if (HasCellProperties(c, ARow))
            GetCellProperties(c, ARow)->SetFontColor(clNone);
    }
    InvalidateRow(ARow);
}

// --- extended cell access ------------------------------------------------------------------

std::u16string TQorStringGrid::AllWideCells(int ACol, int ARow) {
    return Utf8ToWide(AllCells(ACol, ARow));
}

void TQorStringGrid::SetAllWideCells(int ACol, int ARow, const std::u16string& Value) {
    SetAllCells(ACol, ARow, WideToUtf8(Value));
}

TObject* TQorStringGrid::AllGridObjects(int ACol, int ARow) {
    if (FHidden->Contains(ARow)) {
        const TGridRow* row = hiddenRecord(*FHidden, ARow);
        const TGridCell* cell = row ? row->Cell(ACol) : nullptr;
        return cell ? cell->Object : nullptr;
    }
    const int d = DisplRowIndex(ARow);
    return ACol >= 0 && d >= 0 && d < RowCount() ? GridObjects(ACol, d) : nullptr;
}

void TQorStringGrid::SetColumnOrder() {
    FColumnOrder->Clear();
    // Every real column: a hidden one is moved over and brought back like the others.
    for (int c = 0; c < TotalColCount(); ++c) FColumnOrder->Add(c);
}

int TQorStringGrid::ColumnPosition(int ACol) const {
    if (FColumnOrder->Count() == 0) return ACol;
    const int n = std::min(FColumnOrder->Count(), ColCount() + NumHiddenColumns());
    int p = ACol;
    for (int i = 0; i < n; ++i)
        if (FColumnOrder->GetInteger(i) == ACol) {
            p = i;
            break;
        }
    // The grouped column is out of the grid: the columns after it sit one position further left.
    if (FGroupColumn >= 0 && ACol >= FGroupColumn) --p;
    return p;
}

std::string TQorStringGrid::OriginalCells(int ACol, int ARow) {
    const int p = ColumnPosition(ACol);
    return Cells(p < 0 ? ACol : p, ARow);
}

void TQorStringGrid::SetOriginalCells(int ACol, int ARow, const std::string& Value) {
    const int p = ColumnPosition(ACol);
    SetCells(p < 0 ? ACol : p, ARow, Value);
}

int TQorStringGrid::SortedRowIndex(int ARow) const {
    const int r = ARow >= 0 && ARow < FSortRowXRef->Count() ? FSortRowXRef->GetInteger(ARow) : ARow;
    return RealRowIndex(r);
}

int TQorStringGrid::UnSortedRowIndex(int ARow) const {
    if (FSortRowXRef->Count() == 0) return ARow;
    const int i = FSortRowXRef->IndexOf(ARow);
    return i >= 0 ? i : FSortRowXRef->Count();
}

std::string TQorStringGrid::UnSortedCells(int ACol, int ARow) {
    return Cells(ACol, ARow <= FSortRowXRef->Count() ? UnSortedRowIndex(ARow) : ARow);
}

void TQorStringGrid::SetUnSortedCells(int ACol, int ARow, const std::string& Value) {
    SetCells(ACol, ARow <= FSortRowXRef->Count() ? UnSortedRowIndex(ARow) : ARow, Value);
}

// --- rich text -------------------------------------------------------------------------------
// Cells keep their rich text as RTF (UTF-8 text as it is, never cut to 8 bits).

void TQorStringGrid::CellToRich(int Col, int Row, TCustomRichEdit* Richeditor) {
    Richeditor->LoadRichText(Cells(Col, Row));
}

std::string TQorStringGrid::RichToString(TCustomRichEdit* Richeditor) {
    return IsDestroying() ? std::string() : Richeditor->RichText();
}

void TQorStringGrid::RichToCell(int Col, int Row, TCustomRichEdit* Richeditor) {
    SetCells(Col, Row, RichToString(Richeditor));
}

// --- current cell and edit text ------------------------------------------------------------

namespace {

// The current cell as (real column, row), by its base cell inside a merged area.
TPoint currentBase(TQorStringGrid& g) {
    const int c = g.RealCol();
    if (c < 0 || g.Row() < 0 || g.Row() >= g.RowCount()) return TPoint{c, g.Row()};
    return g.IsMergedCell(c, g.Row()) ? g.BaseCell(c, g.Row()) : TPoint{c, g.Row()};
}

} // namespace

std::string TQorStringGrid::CurrentCell() {
    const TPoint b = currentBase(*this);
    return b.X < 0 ? std::string() : GridCells(b.X, b.Y);
}

void TQorStringGrid::SetCurrentCell(const std::string& Value) {
    const TPoint b = currentBase(*this);
    if (b.X >= 0) SetCells(b.X, b.Y, Value);
}

std::string TQorStringGrid::GetCurrentCellText() {
    const TPoint b = currentBase(*this);
    return b.X < 0 ? std::string() : Cells(b.X, b.Y);
}

void TQorStringGrid::SetCurrentEditText(const std::string& Value) {
    const TPoint b = currentBase(*this);
    if (b.X >= 0) SetEditText(DisplColIndex(b.X), b.Y, Value);
}

std::string TQorStringGrid::GetEditText(int ACol, int ARow) {
    FNoEditChange = true;
    const int c = RealColIndex(ACol);
    TPoint b{c, ARow};
    if (c >= 0 && ARow >= 0 && ARow < RowCount() && IsMergedCell(c, ARow)) b = BaseCell(c, ARow);
    if (TQorInplaceEdit* editor = NormalEdit(); editor && c >= 0) {
        TAlignment ha = taLeftJustify;
        TVAlignment va = vtaTop;
        GetCellAlignment(c, ARow, ha, va);
        editor->SetVAlign(ha == taRightJustify);
    }
    std::string text = TBaseGrid::GetEditText(DisplColIndex(b.X), b.Y);
    return FEditWithTags ? text : HTMLStripTags(text);
}

void TQorStringGrid::SetEditText(int ACol, int ARow, const std::string& Value) {
    const int c = RealColIndex(ACol);
    if (c >= 0 && ARow >= 0 && ARow < RowCount() && IsMergedCell(c, ARow)) {
        const TPoint b = BaseCell(c, ARow);
        TBaseGrid::SetEditText(DisplColIndex(b.X), b.Y, Value);
        return;
    }
    TBaseGrid::SetEditText(ACol, ARow, Value);
}

void TQorStringGrid::CellTextChanged(int ACol, int ARow) {
    if (!HasAutoRangeScrollBar(ACol, ARow)) return;
    TScrollProp prop;
    prop.PageSize = RowHeights(ARow);
    prop.Range = GetCellTextSize(ACol, ARow, true, true).cy;
    SetScrollProp(ACol, ARow, prop);
}

// --- small accessors -----------------------------------------------------------------------

void TQorStringGrid::SetCursor(TCursor v) {
    TBaseGrid::SetCursor(v);
    FOldCursor = v;
}

void TQorStringGrid::SetIntegralHeight(bool v) {
    FIntegralHeight = v;
    SetBounds(Left(), Top(), Width(), Height());
}

void TQorStringGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos,
                                     int& SizingOfs, TGridDrawInfo& FixedInfo) {
    TBaseGrid::CalcSizingState(X, Y, State, Index, SizingPos, SizingOfs, FixedInfo);
    int c = -1, r = -1;
    // The column left of the border (right to left: right of it).
    MouseToCell(UseRightToLeftAlignment() ? X + 6 : X - 6, Y, c, r);
    if (r >= 0 && r < FixedRows() && c >= 0) {
        const int real = RealColIndex(c);
        if (real >= 0 && OnColumnSize) {
            bool allow = true;
            OnColumnSize(this, real, allow);
            if (!allow) {
                State = gsNormal;
                FSizeFixed = false;
            }
        }
    }
    MouseToCell(X, Y - 6, c, r);
    if (c >= 0 && c < FixedCols() && r >= 0 && OnRowSize) {
        bool allow = true;
        OnRowSize(this, r, allow);
        if (!allow) State = gsNormal;
    }
}
