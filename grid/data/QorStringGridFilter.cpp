// The row filter: conditions tested per row, applied and removed in levels of hidden rows, the
// narrow-down filter of typing controls, and the header filter lists and their choices.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/FilterMatch.h"
#include "grid/core/base/GridUtils.h"
#include "grid/data/DataSettings.h"
#include "grid/render/FloatingFooter.h"
#include "grid/render/markup/MarkupText.h"
#include "platform/base/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <utility>

struct TQorStringGrid::FilterConditions {
    struct Parsed {
        std::string condition;
        bool caseSensitive = true;
        std::unique_ptr<TFilterCondition> matcher;
    };
    std::vector<Parsed> items;
    const TFilterCondition& of(int index, const TFilterData& d) {
        if (items.size() <= std::size_t(index)) items.resize(std::size_t(index) + 1);
        Parsed& p = items[std::size_t(index)];
        if (!p.matcher || p.condition != d.Condition() || p.caseSensitive != d.CaseSensitive()) {
            p.condition = d.Condition();
            p.caseSensitive = d.CaseSensitive();
            p.matcher = std::make_unique<TFilterCondition>(p.condition, p.caseSensitive);
        }
        return *p.matcher;
    }
};

namespace {
std::string upperAscii(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return s;
}

// Text is Base followed by exactly one more character.
bool oneCharacterMore(const std::string& Text, const std::string& Base) {
    return Text.size() > Base.size() && Text.starts_with(Base) &&
           Utf8Length(std::string_view(Text).substr(Base.size())) == 1;
}

// A list line: its display text before the first "=", its condition after it.
std::pair<std::string, std::string> splitFilterLine(const std::string& line) {
    const auto eq = line.find('=');
    if (eq == std::string::npos) return {line, line};
    return {line.substr(0, eq), line.substr(eq + 1)};
}
} // namespace

std::string_view TQorStringGrid::filterText(int ACol, int ARow, int Data, std::string& Buffer) {
    std::string_view t;
    if (Data == fcRow) {
        Buffer.clear();
        for (int c = 0; c < TotalColCount(); ++c) Buffer += Cells(c, ARow) + "\n";
        t = Buffer;
    } else if (ACol >= 0 && ACol < TotalColCount()) {
        if (Data == fcNormal) {
            t = GridCells(ACol, ARow);
        } else {
            Buffer = Data == fcStripHTML ? HTMLStripTags(Cells(ACol, ARow)) : Cells(ACol, ARow);
            t = Buffer;
        }
    }
    t = TrimView(t);
    if (t.starts_with("|\\")) {
        Buffer = WideToUtf8(DecodePackedWideText(t));
        t = Buffer;
    }
    return t;
}

bool TQorStringGrid::MatchFilterRow(int ARow) {
    if (!FFilterConditions) FFilterConditions = std::make_shared<FilterConditions>();
    bool result = true;
    std::string buffer;
    for (int i = 0; i < FFilter->Count(); ++i) {
        const TFilterData& d = *FFilter->Items(i);
        std::string_view value = filterText(d.Column(), ARow, d.Data(), buffer);
        bool match = false;
        if (d.Data() == fcRow) {
            match =
                upperAscii(std::string(value)).find(upperAscii(d.Condition())) != std::string::npos;
        } else {
            if (!d.Prefix().empty() && value.starts_with(d.Prefix()))
                value.remove_prefix(d.Prefix().size());
            if (!d.Suffix().empty()) {
                const auto at = value.find(d.Suffix());
                if (at != std::string::npos && at + d.Suffix().size() == value.size())
                    value = value.substr(0, at);
            }
            if (d.Condition().empty())
                match = true;
            else if (d.Method() == fmLiteral)
                match = d.Condition() == value;
            else
                try {
                    match = FFilterConditions->of(i, d).Matches(value);
                } catch (const std::exception&) {
                    match = false;
                }
        }
        switch (d.Operation()) {
        case foSHORT:
            result = match;
            break;
        case foNONE:
            result = match;
            break;
        case foAND:
            result = result && match;
            break;
        case foXOR:
            result = result != match;
            break;
        case foOR:
            result = result || match;
            break;
        }
        if (d.Operation() == foSHORT && !result) break;
    }
    if (OnCustomFilter) OnCustomFilter(this, ARow, result);
    return result;
}

void TQorStringGrid::FilterRow(int ARow) {
    if (!MatchFilterRow(ARow)) HideRow(RealRowIndex(ARow));
}

std::vector<int> TQorStringGrid::selectedRealRows() {
    std::vector<int> real;
    for (int d : FSelectedRows)
        if (d >= 0 && d < RowCount() && std::size_t(d) < FRowSelect.size() &&
            FRowSelect[std::size_t(d)] == 1)
            real.push_back(RealRowIndex(d));
    for (int d = 0; d < RowCount() && std::size_t(d) < FRowSelect.size(); ++d)
        if (FRowSelect[std::size_t(d)] == 1 &&
            std::find(FSelectedRows.begin(), FSelectedRows.end(), d) == FSelectedRows.end())
            real.push_back(RealRowIndex(d));
    real.insert(real.end(), FHiddenSelectedRows.begin(), FHiddenSelectedRows.end());
    return real;
}

void TQorStringGrid::placeSelectedRows(const std::vector<int>& Real) {
    std::fill(FRowSelect.begin(), FRowSelect.end(), 0);
    FSelectedRows.clear();
    FHiddenSelectedRows.clear();
    for (int r : Real) {
        if (IsHiddenRow(r)) {
            FHiddenSelectedRows.push_back(r);
            continue;
        }
        const int d = DisplRowIndex(r);
        if (std::size_t(d) >= FRowSelect.size()) FRowSelect.resize(std::size_t(d) + 1);
        FRowSelect[std::size_t(d)] = 1;
        if (d >= FixedRows()) FSelectedRows.push_back(d);
    }
}

void TQorStringGrid::ApplyFilter() {
    FFilterFixedRows = FixedRows();
    TIntList failing(0, 0);
    const int first = FixedRows(), last = RowCount() - FFixedFooters - 1;
    const int total = RowCount() - FFixedFooters - FixedRows();
    int done = 0;
    auto progress = [&] {
        if (OnFilterProgress && total > 0)
            OnFilterProgress(this, short(std::nearbyint(done * 100.0 / total)));
    };
    for (int r = first; r <= last; ++r) {
        if (FFilterNormalCellsOnly)
            if (const TCellType t = GetCellType(0, r); t == ctNode || t == ctSummary) continue;
        if (!MatchFilterRow(r)) failing.Add(r);
        ++done;
        progress();
    }
    progress();
    // Persistent flags are kept by real row already.
    const bool moveFlags = !FMouseActions->RowSelectPersistent();
    const std::vector<int> selected = moveFlags ? selectedRealRows() : std::vector<int>();
    HideRowList(failing);
    if (moveFlags) placeSelectedRows(selected);
}

void TQorStringGrid::restoreLastFilterLevel() {
    const bool moveFlags = !FMouseActions->RowSelectPersistent();
    const std::vector<int> selected = moveFlags ? selectedRealRows() : std::vector<int>();
    UnHideRowList();
    if (moveFlags) placeSelectedRows(selected);
    if (FixedRows() != FFilterFixedRows && FFilterFixedRows < RowCount())
        SetFixedRows(FFilterFixedRows);
    --FFilterLevel;
    if (FFilterLevel == 0) FFilterActive = false;
    if (FFloatingFooter && FFloatingFooter->Visible()) CalcFooter(-1);
}

void TQorStringGrid::SetFilterActive(bool v) {
    if (v && !FFilterActive) {
        if (Col() < 0 || Col() >= ColCount() || Row() < 0 || Row() >= RowCount())
            FocusCell(FixedCols(), FixedRows(), true);
        BeginUpdate();
        ApplyFilter();
        EndUpdate();
        FFilterActive = true;
        SetTopRow(FixedRows());
    } else if (!v && FFilterActive) {
        // The level's rows come back, and so it is no level any more.
        if (FFilterLevel > 0) restoreLastFilterLevel();
        FFilterActive = false;
        SetTopRow(FixedRows());
    }
    if (FFloatingFooter && FFloatingFooter->Visible()) CalcFooter(-1);
}

bool TQorStringGrid::RemoveLastFilter() {
    if (FFilterLevel <= 0) return false;
    restoreLastFilterLevel();
    return FFilterLevel > 1;
}

void TQorStringGrid::RemoveAllFilters() {
    if (FFilterLevel == 0) {
        FFilter->Clear();
        return;
    }
    while (FFilterLevel > 0) RemoveLastFilter();
}

void TQorStringGrid::narrowDownApply(const std::string& ACondition, int AColumn) {
    FFilter->Clear();
    TFilterData* d = FFilter->Add();
    d->SetCaseSensitive(false);
    d->SetColumn(AColumn);
    if (AColumn == -1) {
        d->SetData(fcRow);
        d->SetCondition(ACondition);
    } else {
        d->SetData(fcNormal);
        std::string c = "*" + ACondition + "*";
        if (c.find(' ') != std::string::npos) c = "\"" + c + "\"";
        d->SetCondition(c);
    }
    BeginUpdate();
    ApplyFilter();
    EndUpdate();
    FFilterActive = true;
}

void TQorStringGrid::NarrowDown(const std::string& ACondition, int AColumn) {
    FFixedRowAlways = true;
    if (oneCharacterMore(ACondition, FLastFilter)) {
        narrowDownApply(ACondition, AColumn);
    } else if (!ACondition.empty() && oneCharacterMore(FLastFilter, ACondition)) {
        RemoveLastFilter();
    } else {
        RemoveAllFilters();
        if (!ACondition.empty()) narrowDownApply(ACondition, AColumn);
    }
    // Rows hidden by other means than the filter stay hidden when the text is emptied.
    FLastFilter = ACondition;
}

void TQorStringGrid::FilterDropDownSelect(int ItemIndex) {
    if (CanFocus()) SetFocus();
    const int c = std::exchange(FFilterCol, -1);
    if (c < 0 || c >= TotalColCount()) return;
    BuildColumnFilterList(c);
    if (ItemIndex < 0 || ItemIndex >= FFilterList->Count()) return;
    auto [display, condition] = splitFilterLine(FFilterList->Get(ItemIndex));
    if (FAutoFilterUpdate) SetFilterActive(false);
    if (condition == FFilterDropDownClear) condition.clear();
    if (OnFilterSelect) OnFilterSelect(this, c, ItemIndex, display, condition);
    if (condition.empty())
        FFilter->RemoveColumnFilter(c);
    else
        FFilter->ColumnFilter(c)->SetCondition(condition);
    if (FAutoFilterUpdate) {
        FFixedRowAlways = true;
        SetFilterActive(true);
        if (RowCount() != FixedRows() && RowCount() != 1) SetRow(FixedRows());
        FilterDone();
    }
}

void TQorStringGrid::FilterDropDownCheck(int /*ItemIndex: -1 for a toggle*/) {
    const int c = FFilterCol;
    if (c < 0 || c >= TotalColCount() || !FFilterDropCheckList) return;
    BuildColumnFilterList(c);
    if (FAutoFilterUpdate) SetFilterActive(false);
    FFilter->Clear();
    for (int i = 0; i < FFilterDropCheckList->Count() && i < FFilterList->Count(); ++i) {
        if (!FFilterDropCheckList->Checked(i)) continue;
        auto [display, condition] = splitFilterLine(FFilterList->Get(i));
        if (condition == FFilterDropDownClear) condition.clear();
        if (OnFilterCheck) OnFilterCheck(this, c, i, display, condition, FFilterDropCheckList);
        const bool firstOne = FFilter->Count() == 0;
        TFilterData* d = FFilter->Add();
        d->SetColumn(c);
        d->SetCondition(condition);
        d->SetOperation(firstOne ? foNONE : foOR);
    }
    SetFilterActive(true);
    FFilterDropCheckList->Invalidate();
}

void TQorStringGrid::HideFilterDropDown() {
    const bool open = (FFilterDropList && FFilterDropList->Visible()) ||
                      (FFilterDropCheckList && FFilterDropCheckList->Visible());
    if (FFilterDropList) FFilterDropList->SetVisible(false);
    if (FFilterDropCheckList) FFilterDropCheckList->SetVisible(false);
    if (open) FFilterCol = -1;
}

void TQorStringGrid::ShowFilterDropDown(int ACol, int ARow) {
    const int realCol = RealColIndex(ACol);
    if (realCol < 0 || !BuildColumnFilterList(realCol)) return;
    HideFilterDropDown();
    TListBox* list = FFilterDropDownCheck ? static_cast<TListBox*>(FFilterDropCheckList)
                                          : static_cast<TListBox*>(FFilterDropList);
    if (!list) return;
    FFilterCol = realCol;
    list->SetColor(FFilterDropDown->Color());
    list->Font()->Assign(FFilterDropDown->Font());
    Canvas()->Font()->Assign(FFilterDropDown->Font());
    if (FFilterDropDownCheck)
        FFilterDropCheckList->ClearItems();
    else
        list->Clear();
    int widest = 0;
    for (int i = 0; i < FFilterList->Count(); ++i) {
        const std::string text = splitFilterLine(FFilterList->Get(i)).first;
        list->Items()->Add(text);
        widest = std::max(widest, Canvas()->TextWidth(text) + 8);
        if (!FFilterDropDownCheck) continue;
        const std::string quoted = text.find(' ') != std::string::npos ? "\"" + text + "\"" : text;
        for (int k = 0; k < FFilter->Count(); ++k)
            if (FFilter->Items(k)->Column() == realCol && FFilter->Items(k)->Condition() == quoted)
                FFilterDropCheckList->SetChecked(i, true);
    }
    if (!FFilterDropDownCheck) list->SetItemIndex(0);
    int width = FFilterDropDown->Width(), height = FFilterDropDown->Height();
    if (FFilterDropDown->AutoSize()) width = widest + 2 * list->ItemHeight();
    const TRect r = CellRect(ACol, ARow);
    int left = r.Right - 16;
    if (FFilterDropDown->ColumnWidth()) {
        left = r.Left;
        width = r.Width();
    }
    if (left + width > ClientWidth()) left = std::max(0, r.Right - width);
    list->SetBounds(left, r.Top + 16, width, height);
    list->SetVisible(true);
    if (list->CanFocus()) list->SetFocus();
}
