// TQorStringGrid's per-cell hooks: each gives its default answer and fires its event.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUtils.h"
#include "grid/data/DataSettings.h"
#include "grid/render/ControlLook.h"

namespace {
bool brushFromProperties(TCellType t) {
    return t == ctIcon || t == ctNone || t == ctImageList || t == ctEmpty || t == ctImages ||
           t == ctComment;
}

// A text with a blank shows as itself and filters on itself in double quotes.
std::string filterLine(const std::string& s) {
    return s.find(' ') == std::string::npos ? s : s + "=\"" + s + "\"";
}
} // namespace

void TQorStringGrid::GetCellColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush,
                                  TFont* AFont) {
    int dc = DisplColIndex(ACol);
    if (FActiveCellShow && ((ARow == Row() && dc == FixedCols() - 1 && FixedCols() > 0) ||
                            (dc == Col() && ARow == FixedRows() - 1 && FixedRows() > 0))) {
        AFont->Assign(FActiveCellFont.get());
        ABrush->SetColor(FActiveCellColor);
    }
    if (HasCellProperties(ACol, ARow)) {
        TCellProperties* p = propsOf(ACol, ARow);
        if (brushFromProperties(GetCellType(ACol, ARow)) && p->BrushColor() != clNone)
            ABrush->SetColor(p->BrushColor());
        if (p->FontColor() != clNone) AFont->SetColor(p->FontColor());
        if (!p->FontStyle().Empty()) AFont->SetStyle(p->FontStyle());
        if (p->FontSize() != 0) AFont->SetSize(p->FontSize());
        if (!p->FontName().empty()) AFont->SetName(p->FontName());
    }
    if (OnGetCellColor) OnGetCellColor(this, ARow, ACol, AState, ABrush, AFont);
}

void TQorStringGrid::GetCellPrintColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush,
                                       TFont* AFont) {
    if (OnGetCellPrintColor) OnGetCellPrintColor(this, ARow, ACol, AState, ABrush, AFont);
}

void TQorStringGrid::GetCellBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders) {
    // Node and summary rows are marked by the graphic of their first cell.
    if (FGrouping->HeaderUnderline() && ACol > 0 && GetCellType(0, ARow) == ctNode) {
        Borders = TCellBorders{cbBottom};
        APen->SetColor(FGrouping->HeaderLineColor());
        APen->SetWidth(FGrouping->HeaderLineWidth());
    }
    if (FGrouping->SummaryLine() && ACol > 0 && GetCellType(0, ARow) == ctSummary) {
        Borders = TCellBorders{cbTop};
        APen->SetColor(FGrouping->SummaryLineColor());
        APen->SetWidth(FGrouping->SummaryLineWidth());
    }
    if (OnGetCellBorder) OnGetCellBorder(this, ARow, ACol, APen, Borders);
}

void TQorStringGrid::GetCellPrintBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders) {
    if (OnGetCellPrintBorder) OnGetCellPrintBorder(this, ARow, ACol, APen, Borders);
}

void TQorStringGrid::GetAlignment(int ACol, int ARow, TAlignment& HAlign, TVAlignment& VAlign) {
    if (ACol == 0 && FMouseActions->HotmailRowSelect()) HAlign = taCenter;
    if (OnGetAlignment) OnGetAlignment(this, ARow, ACol, HAlign, VAlign);
}

void TQorStringGrid::GetFormat(int ACol, TSortStyle& AStyle, std::string& APrefix,
                               std::string& ASuffix) {
    if (OnGetFormat) OnGetFormat(this, ACol, AStyle, APrefix, ASuffix);
}

void TQorStringGrid::GetSpinEditorType(int ACol, int ARow, TEditorType& AEditor) {
    if (OnGetEditorType) OnGetEditorType(this, ACol, ARow, AEditor);
}

void TQorStringGrid::GetEditorType(int ACol, int ARow, TEditorType& AEditor) {
    if (OnGetEditorType) OnGetEditorType(this, ACol, ARow, AEditor);
}

bool TQorStringGrid::IsNoEditor(int ACol, int ARow) {
    if (!OnGetEditorType) return false;
    TEditorType editor = edNormal;
    OnGetEditorType(this, ACol, ARow, editor);
    return editor == edNone;
}

void TQorStringGrid::IsFixedCell(int ACol, int ARow, bool& IsFixed) {
    IsFixed = IsFixed ||
              (FFixedRowAlways && ARow <= FFixedRowsMin && RowCount() == FFixedRowsMin) ||
              (FFixedColAlways && ACol < FFixedColsMin && ColCount() == FFixedColsMin) ||
              ACol < FixedCols() || ARow < FixedRows();
    if (!IsFixed && OnIsFixedCell) OnIsFixedCell(this, ARow, ACol, IsFixed);
}

void TQorStringGrid::IsEditableCell(int ACol, int ARow, bool& CanEdit) {
    TPoint base = BaseCell(ACol, ARow);
    if (HasCellProperties(base.X, base.Y) && CanEdit) {
        CanEdit = !propsOf(base.X, base.Y)->ReadOnly();
        if (!Options().Contains(goEditing) && !FEditDisable && !FMouseActions->RangeSelectAndEdit())
            CanEdit = false;
    }
    // A column beyond the grid's columns cannot be edited.
    if (base.X >= 0 && base.X < TotalColCount())
        DoCanEditCell(base.X, base.Y, CanEdit);
    else
        CanEdit = false;
}

void TQorStringGrid::DoCanEditCell(int ACol, int ARow, bool& CanEdit) {
    if (OnCanEditCell) OnCanEditCell(this, ARow, ACol, CanEdit);
}

void TQorStringGrid::IsPasswordCell(int ACol, int ARow, bool& IsPassword) {
    if (OnIsPasswordCell) OnIsPasswordCell(this, ARow, ACol, IsPassword);
}

void TQorStringGrid::GetCellWordWrap(int ACol, int ARow, bool& WordWrap) {
    if (OnGetWordWrap) OnGetWordWrap(this, ACol, ARow, WordWrap);
}

// Without the handler a combo or spin button shows only when the control look asks for them
// always, on cells whose editor is of that kind.
bool TQorStringGrid::HasComboBox(int ACol, int ARow) {
    bool has = false;
    if (OnHasComboBox) {
        OnHasComboBox(this, ACol, ARow, has);
        return has;
    }
    if (!FControlLook->DropDownAlwaysVisible()) return false;
    TEditorType editor = FDefaultEditor;
    GetEditorType(ACol, ARow, editor);
    return editor == edComboEdit || editor == edComboList;
}

bool TQorStringGrid::HasSpinEdit(int ACol, int ARow) {
    if (ACol < FixedCols() || ARow < FixedRows()) return false;
    bool has = false;
    if (OnHasSpinEdit) {
        OnHasSpinEdit(this, ACol, ARow, has);
        return has;
    }
    if (!FControlLook->SpinButtonsAlwaysVisible()) return false;
    TEditorType editor = FDefaultEditor;
    GetSpinEditorType(ACol, ARow, editor);
    return editor == edSpinEdit || editor == edFloatSpinEdit || editor == edTimeSpinEdit ||
           editor == edDateSpinEdit;
}

void TQorStringGrid::GetCheckTrue(int ACol, int ARow, std::string& Value) {
    Value = FCheckTrue;
    if (OnGetCheckTrue) OnGetCheckTrue(this, ACol, ARow, Value);
}

void TQorStringGrid::GetCheckFalse(int ACol, int ARow, std::string& Value) {
    Value = FCheckFalse;
    if (OnGetCheckFalse) OnGetCheckFalse(this, ACol, ARow, Value);
}

bool TQorStringGrid::BuildColumnFilterList(int ACol) {
    FFilterList->Clear();
    if (FFilterDropDownAuto && (ACol >= FixedCols() || FFilterDropDownColumns == fdAll)) {
        FFilterList->SetSorted(true);
        for (int r = FixedRows(); r < RowCount() - FFixedFooters; ++r)
            FFilterList->Add(filterLine(Trim(Cells(ACol, r))));
        if (!FFilterIncremental)
            for (const auto& [real, entry] : FHidden->Entries())
                if (const TGridRow* row = entry.Row.Row(0))
                    if (const TGridCell* cell = row->Cell(ACol))
                        FFilterList->Add(filterLine(cell->Text));
        FFilterList->SetSorted(false);
        if (!FFilterDropDownClear.empty()) FFilterList->Insert(0, FFilterDropDownClear);
    }
    if (OnGetColumnFilter) OnGetColumnFilter(this, ACol, FFilterList.get());
    return FFilterList->Count() > 0;
}

void TQorStringGrid::GridHint(int ACol, int ARow, std::string& Hint, std::u16string& WideHint) {
    if (OnGridHint) OnGridHint(this, ARow, ACol, Hint);
    if (OnGridWideHint) {
        OnGridWideHint(this, ARow, ACol, WideHint);
        if (!WideHint.empty()) Hint = EncodePackedWideText(WideHint);
    }
}

void TQorStringGrid::GetCellCursor(int ACol, int ARow, int X, int Y) {
    if (!OnGetCellCursor) return;
    TCursor c = Cursor();
    OnGetCellCursor(this, ACol, ARow, X, Y, c);
    Screen->SetCursor(c);
}

void TQorStringGrid::SearchFooterAction(const std::string& Value, int ACol, int ARow,
                                        TSearchAction Action) {
    if (OnSearchFooterAction) OnSearchFooterAction(this, Value, ACol, ARow, Action);
}

void TQorStringGrid::ButtonClick(int ACol, int ARow) {
    if (OnButtonClick) OnButtonClick(this, ACol, ARow);
}

void TQorStringGrid::ExpandClick(int ACol, int ARow, bool Expanded) {
    if (OnExpandClick) OnExpandClick(this, ACol, ARow, Expanded);
    if (ARow >= 0 && ARow < RowCount()) SetRowHeights(ARow, GetExpandHeight(ACol, ARow, Expanded));
}

void TQorStringGrid::ColorSelect(TColor AColor, const std::string& Value) {
    if (OnColorSelect) OnColorSelect(this, Col(), Row(), AColor, Value);
}

void TQorStringGrid::ImageSelect(int Index) {
    if (OnImageSelect) OnImageSelect(this, Col(), Row(), Index);
}

void TQorStringGrid::ComboCloseUp(int ACol, int ARow) {
    if (OnComboCloseUp) OnComboCloseUp(this, ARow, ACol);
}

void TQorStringGrid::ComboDropDown(int ACol, int ARow) {
    if (OnComboDropDown) OnComboDropDown(this, ARow, ACol);
}

void TQorStringGrid::GetEditorProp(int ACol, int ARow, TObject* AEditLink) {
    if (OnGetEditorProp) OnGetEditorProp(this, ACol, ARow, AEditLink);
    // Called with the column first although the event names the row first.
    if (OnGetEditorPropInt) OnGetEditorPropInt(this, ACol, ARow);
}

void TQorStringGrid::CheckBoxClick(int ACol, int ARow, bool State) {
    if (OnCheckBoxClick) OnCheckBoxClick(this, ACol, ARow, State);
}

void TQorStringGrid::FilterDone() {
    if (OnFilterDone) OnFilterDone(this);
}

void TQorStringGrid::ClickSort(int ACol) {
    if (OnClickSort) OnClickSort(this, ACol);
}

void TQorStringGrid::UpdateColumnSize(int ACol, int& AWidth) {
    if (OnUpdateColumnSize) OnUpdateColumnSize(this, ACol, AWidth);
}

void TQorStringGrid::UpdateAutoColumnSize(int ACol, int& AWidth) {
    if (OnUpdateColumnSize) OnUpdateColumnSize(this, ACol, AWidth);
}

void TQorStringGrid::GetFloatFormat(int /*ACol*/, std::string& AFormat) {
    AFormat = FFloatFormat;
}

std::string TQorStringGrid::GetEditMask(int ACol, int ARow) {
    std::string mask = FEditMask;
    if (OnGetEditMask) OnGetEditMask(this, ACol, ARow, mask);
    return mask;
}

void TQorStringGrid::ClearEditingOption() {
    SetOptions(Options() - goEditing);
}

TFont* TQorStringGrid::GetCellFont(int ACol, int ARow) {
    if (!HasCellProperties(ACol, ARow)) return Font();
    TCellProperties* p = propsOf(ACol, ARow);
    FCellFont->SetName(p->FontName());
    FCellFont->SetSize(p->FontSize());
    FCellFont->SetStyle(p->FontStyle());
    FCellFont->SetColor(p->FontColor());
    return FCellFont.get();
}

void TQorStringGrid::AddCheckBox(int ACol, int ARow, TCheckBoxState State) {
    if (ACol < 0 || ARow < 0 || ACol >= TotalColCount() || ARow >= RowCount())
        throw Exception("Invalid cell");
    static constexpr TCellVAlign valign[] = {vaTop, vaCenter, vaBottom};
    auto* graphic = new TCellGraphic();
    graphic->SetCheckBox(State, true, haBeforeText, valign[FVAlignment]);
    CellProperties(ACol, ARow)->FreeGraphic();
    CellProperties(ACol, ARow)->SetGraphicObject(graphic);
    RepaintCell(DisplColIndex(ACol), ARow);
}

void TQorStringGrid::AddTriStateCheckBoxColumn(int ACol, TCheckBoxState State) {
    for (int r = FMouseActions->CheckAllCheck() ? 0 : FixedRows(); r < RowCount(); ++r)
        AddCheckBox(ACol, r, State);
}

bool TQorStringGrid::GetCheckBoxState(int ACol, int ARow, TCheckBoxState& State) {
    // A hidden row answers from its record; a shown one from its cell, virtual graphics too.
    TCellGraphic* g = nullptr;
    if (FHidden->Contains(ARow)) {
        if (TCellProperties* p = AllCellProperties(ACol, ARow))
            g = dynamic_cast<TCellGraphic*>(p->GraphicObject());
    } else {
        int d = DisplRowIndex(ARow);
        if (d < 0 || d >= RowCount()) return false;
        g = GetCellGraphic(ACol, d);
    }
    if (!g) return false;
    switch (g->CellType()) {
    case ctCheckBox:
    case ctRowCheckBox:
        State = BoolToCheckBoxState(g->CellBoolean());
        return true;
    case ctDataCheckBox:
    case ctVirtCheckBox: {
        std::string checked;
        GetCheckTrue(ACol, DisplRowIndex(ARow), checked);
        State = BoolToCheckBoxState(AllCells(ACol, ARow) == checked);
        return true;
    }
    case ctTriStateCheckBox:
        State = g->CellCheckBoxState();
        return true;
    default:
        return false;
    }
}
