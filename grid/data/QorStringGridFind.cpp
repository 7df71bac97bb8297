// TQorStringGrid: finding cells by their text, replacing it, highlighting it, and the search
// footer's actions.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/FilterMatch.h"
#include "grid/core/base/GridSettings.h"
#include "grid/data/SearchPanel.h"
#include "grid/render/FloatingFooter.h"
#include "grid/render/markup/MarkupText.h"

#include <algorithm>

namespace {

constexpr TColor EditNotFoundColor = 255;

std::string foldCase(const std::string& s, bool MatchCase) {
    return MatchCase ? s : AnsiUpperCase(s);
}

// Code points, each upper-cased unless MatchCase (a character whose upper case is longer
// stays as it is, so that positions keep).
std::u32string foldedChars(const std::string& s, bool MatchCase) {
    std::u32string t = Utf8ToUtf32(s);
    if (!MatchCase)
        for (char32_t& c : t) {
            const std::u32string u = Utf8ToUtf32(AnsiUpperCase(CodePointToUtf8(c)));
            if (u.size() == 1) c = u[0];
        }
    return t;
}

// Every occurrence of Old in Text replaced by New, letter case ignored unless MatchCase.
std::string replaceAll(const std::string& Text, const std::string& Old, const std::string& New,
                       bool MatchCase) {
    if (Old.empty()) return Text;
    const std::u32string text = Utf8ToUtf32(Text);
    const std::u32string key = foldedChars(Text, MatchCase);
    const std::u32string old = foldedChars(Old, MatchCase);
    const std::u32string with = Utf8ToUtf32(New);
    std::u32string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (key.compare(i, old.size(), old) == 0) {
            out += with;
            i += old.size();
        } else {
            out += text[i++];
        }
    }
    return Utf32ToUtf8(out);
}

struct TScanRange {
    int Left, Top, Right, Bottom;
    bool Contains(int c, int r) const { return c >= Left && c <= Right && r >= Top && r <= Bottom; }
};

} // namespace

// --- finding ---------------------------------------------------------------------------------

bool TQorStringGrid::findMatch(int ACol, int ARow, TFindParams P) {
    const int col = P.Contains(fnIncludeHiddenColumns) ? ACol : RealColIndex(ACol);
    std::string text = P.Contains(fnIncludeHiddenRows) ? AllCells(col, ARow) : Cells(col, ARow);
    const bool matchCase = P.Contains(fnMatchCase);
    if (!matchCase) text = AnsiUpperCase(text);
    if (P.Contains(fnIgnoreHTMLTags)) text = HTMLStripTags(text);
    // Two double quotes stand for an empty cell.
    if (FFindText == "\"\"") return text.empty();
    if (P.Contains(fnMatchRegular)) return MatchFilterCondition(FFindText, text, matchCase);
    const std::size_t p = text.find(FFindText);
    if (p == std::string::npos) return false;
    if (P.Contains(fnMatchStart) && p != 0) return false;
    return !P.Contains(fnMatchFull) || text == FFindText;
}

TPoint TQorStringGrid::Find(TPoint StartCell, const std::string& s, TFindParams FindParams) {
    FFindParams = FindParams;
    const TFindParams P = FindParams;
    FFindText = foldCase(s, P.Contains(fnMatchCase));
    ExportNotification(esExportStart, -1);
    TPoint result(-1, -1);
    FFindBusy = true;
    struct BusyGuard {
        bool& busy;
        ~BusyGuard() { busy = false; }
    } busy{FFindBusy};

    const int hiddenCols = P.Contains(fnIncludeHiddenColumns) ? NumHiddenColumns() : 0;
    const int hiddenRows = P.Contains(fnIncludeHiddenRows) ? NumHiddenRows() : 0;
    const bool searchable = ColCount() > 0 && FixedCols() < ColCount() && TotalRowCount() > 0 &&
                            FixedRows() < TotalRowCount();
    TScanRange range{0, 0, ColCount() - 1, RowCount() - 1};
    if (!P.Contains(fnIncludeFixed))
        range = {FixedCols(), FixedRows(), ColCount() - FFixedRightCols - 1,
                 RowCount() - FFixedFooters - 1};
    if (P.Contains(fnSelectedCells)) {
        const TGridRect sel = Selection();
        range = {sel.Left, sel.Top, sel.Right, sel.Bottom};
    }
    range.Right += hiddenCols;
    range.Bottom += hiddenRows;
    if (P.Contains(fnFindInCurrentRow)) range.Top = range.Bottom = Row();
    if (P.Contains(fnFindInPresetRow)) range.Top = range.Bottom = FFindRow;
    if (P.Contains(fnFindInCurrentCol)) range.Left = range.Right = Col();
    if (P.Contains(fnFindInPresetCol)) range.Left = range.Right = FFindCol;

    const bool backward = P.Contains(fnBackward);
    const bool alongRows = P.Contains(fnDirectionLeftRight);
    int c = StartCell.X, r = StartCell.Y;
    // One step in scan order; at the end of a row (column) on to the next one.
    auto advance = [&] {
        const int d = backward ? -1 : 1;
        if (alongRows) {
            c += d;
            if (c > range.Right || c < range.Left) {
                c = backward ? range.Right : range.Left;
                r += d;
            }
        } else {
            r += d;
            if (r > range.Bottom || r < range.Top) {
                r = backward ? range.Bottom : range.Top;
                c += d;
            }
        }
    };
    if (!range.Contains(c, r)) {
        // From no cell (or one outside the range) the range's first (last) cell is examined.
        c = backward ? range.Right : range.Left;
        r = backward ? range.Bottom : range.Top;
    } else {
        advance();
    }
    while (searchable && range.Contains(c, r)) {
        if (!IsIgnoredColumn(c)) {
            ExportNotification(esExportNewRow, r);
            if (findMatch(c, r, P)) {
                result = TPoint(c, r);
                break;
            }
        }
        advance();
    }
    FSearchCell = result;
    if (result.X < 0) {
        ExportNotification(esExportDone, -1);
        return result;
    }
    ExportNotification(esExportFail, -1);
    if (!P.Contains(fnAutoGoto)) return result;

    int row = result.Y;
    if (P.Contains(fnIncludeHiddenRows) && NumHiddenRows() > 0) {
        // A match inside contracted nodes: the nodes around it open, innermost last.
        for (int guard = 0; IsHiddenRow(row) && guard < TotalRowCount(); ++guard) {
            int node = row - 1;
            while (node >= 0 && (IsHiddenRow(node) || !IsNode(DisplRowIndex(node)) ||
                                 node + GetNodeSpan(DisplRowIndex(node)) <= row))
                --node;
            if (node < 0) break;
            ExpandNode(node);
        }
        row = DisplRowIndex(row);
    }
    const int col = P.Contains(fnIncludeHiddenColumns) ? DisplColIndex(result.X) : result.X;
    if (FMouseActions->DisjunctRowSelect()) {
        ClearRowSelect();
        SetRowSelect(row, true);
        SetRow(row);
    } else {
        SetRow(row);
        SetCol(col);
    }
    const int f = FFloatingFooter->Visible() ? 2 : 0;
    if (Row() > TopRow() + VisibleRowCount() - f - 2 &&
        RowCount() > VisibleRowCount() + FixedRows() + f)
        SetTopRow(std::min(TopRow() + f + 1, RowCount() - 1));
    return result;
}

TPoint TQorStringGrid::FindWide(TPoint StartCell, const std::u16string& s, TFindParams FindParams) {
    return Find(StartCell, WideToUtf8(s), FindParams);
}

TPoint TQorStringGrid::FindFirst(const std::string& s, TFindParams FindParams) {
    return Find(TPoint(-1, -1), s, FindParams);
}

TPoint TQorStringGrid::FindNext() {
    // The kept text is already folded as the kept parameters say.
    return Find(FSearchCell, FFindText, FFindParams);
}

int TQorStringGrid::Replace(const std::string& OldText, const std::string& NewText,
                            TFindParams FindParams) {
    int count = 0;
    TPoint at(-1, -1);
    const bool hiddenRows = FindParams.Contains(fnIncludeHiddenRows);
    while (true) {
        at = Find(at, OldText, FindParams);
        if (at.X < 0) break;
        const int col = FindParams.Contains(fnIncludeHiddenColumns) ? at.X : RealColIndex(at.X);
        const std::string text = hiddenRows ? AllCells(col, at.Y) : Cells(col, at.Y);
        const std::string replaced =
            replaceAll(text, OldText, NewText, FindParams.Contains(fnMatchCase));
        if (hiddenRows)
            SetAllCells(col, at.Y, replaced);
        else
            SetCells(col, at.Y, replaced);
        if (FShowModified->Enabled() && !hiddenRows) SetRowModified(at.Y, true);
        ++count;
    }
    return count;
}

// --- highlighting ----------------------------------------------------------------------------

std::string TQorStringGrid::HilightText(bool DoCase, const std::string& Text,
                                        const std::string& HiText) {
    return HTMLHighlightText(Text, HiText, "hi", DoCase);
}

std::string TQorStringGrid::MarkText(bool DoCase, const std::string& Text,
                                     const std::string& HiText) {
    return HTMLHighlightText(Text, HiText, "e", DoCase);
}

std::string TQorStringGrid::UnHilightText(const std::string& Text) {
    return HTMLUnhighlightText(Text, "hi");
}

std::string TQorStringGrid::UnMarkText(const std::string& Text) {
    return ::UnMarkText(Text);
}

namespace {
constexpr const char* HiTag = "hi";
constexpr const char* MarkTag = "e";

// The cells of a column, a row or the grid, with or without the fixed ones; Hidden adds the
// hidden columns to the last column.
TGridRect colRange(TQorStringGrid& g, int ACol, bool DoFixed) {
    if (DoFixed) return {ACol, 0, ACol, g.RowCount() - 1};
    return {ACol, g.FixedRows(), ACol, g.RowCount() - g.FixedFooters() - 1};
}

TGridRect rowRange(TQorStringGrid& g, int ARow, bool DoFixed, bool Hidden) {
    const int hidden = Hidden ? g.NumHiddenColumns() : 0;
    if (DoFixed) return {0, ARow, g.ColCount() - 1 + hidden, ARow};
    return {g.FixedCols(), ARow, g.ColCount() - g.FixedRightCols() - 1 + hidden, ARow};
}

TGridRect gridRange(TQorStringGrid& g, bool DoFixed, bool FixedHidden, bool NormalHidden) {
    if (DoFixed)
        return {0, 0, g.ColCount() - 1 + (FixedHidden ? g.NumHiddenColumns() : 0),
                g.RowCount() - 1};
    return {g.FixedCols(), g.FixedRows(),
            g.ColCount() - g.FixedRightCols() - 1 + (NormalHidden ? g.NumHiddenColumns() : 0),
            g.RowCount() - g.FixedFooters() - 1};
}
} // namespace

void TQorStringGrid::HilightInCell(bool DoCase, int ACol, int ARow, const std::string& HiText) {
    HilightInRange(HiText, HiTag, ACol, ARow, ACol, ARow, DoCase);
}

void TQorStringGrid::HilightInCol(bool DoFixed, bool DoCase, int ACol, const std::string& HiText) {
    const TGridRect r = colRange(*this, ACol, DoFixed);
    HilightInRange(HiText, HiTag, r.Left, r.Top, r.Right, r.Bottom, DoCase);
}

void TQorStringGrid::HilightInRow(bool DoFixed, bool DoCase, int ARow, const std::string& HiText) {
    const TGridRect r = rowRange(*this, ARow, DoFixed, false);
    HilightInRange(HiText, HiTag, r.Left, r.Top, r.Right, r.Bottom, DoCase);
}

void TQorStringGrid::HilightInGrid(bool DoFixed, bool DoCase, const std::string& HiText) {
    const TGridRect r = gridRange(*this, DoFixed, false, true);
    HilightInRange(HiText, HiTag, r.Left, r.Top, r.Right, r.Bottom, DoCase);
}

void TQorStringGrid::UnHilightInCell(int ACol, int ARow) {
    UnHilightInRange(HiTag, ACol, ARow, ACol, ARow);
}

void TQorStringGrid::UnHilightInCol(int ACol, bool DoFixed) {
    const TGridRect r = colRange(*this, ACol, DoFixed);
    UnHilightInRange(HiTag, r.Left, r.Top, r.Right, r.Bottom);
}

void TQorStringGrid::UnHilightInRow(int ARow, bool DoFixed) {
    const TGridRect r = rowRange(*this, ARow, DoFixed, true);
    UnHilightInRange(HiTag, r.Left, r.Top, r.Right, r.Bottom);
}

void TQorStringGrid::UnHilightInGrid(bool DoFixed) {
    const TGridRect r = gridRange(*this, DoFixed, true, true);
    UnHilightInRange(HiTag, r.Left, r.Top, r.Right, r.Bottom);
}

void TQorStringGrid::MarkInCell(bool DoCase, int ACol, int ARow, const std::string& HiText) {
    HilightInRange(HiText, MarkTag, ACol, ARow, ACol, ARow, DoCase);
}

void TQorStringGrid::MarkInCol(bool DoFixed, bool DoCase, int ACol, const std::string& HiText) {
    const TGridRect r = colRange(*this, ACol, DoFixed);
    HilightInRange(HiText, MarkTag, r.Left, r.Top, r.Right, r.Bottom, DoCase);
}

void TQorStringGrid::MarkInRow(bool DoFixed, bool DoCase, int ARow, const std::string& HiText) {
    const TGridRect r = rowRange(*this, ARow, DoFixed, false);
    HilightInRange(HiText, MarkTag, r.Left, r.Top, r.Right, r.Bottom, DoCase);
}

void TQorStringGrid::MarkInGrid(bool DoFixed, bool DoCase, const std::string& HiText) {
    const TGridRect r = gridRange(*this, DoFixed, false, false);
    HilightInRange(HiText, MarkTag, r.Left, r.Top, r.Right, r.Bottom, DoCase);
}

void TQorStringGrid::UnMarkInCell(int ACol, int ARow) {
    UnHilightInRange(MarkTag, ACol, ARow, ACol, ARow);
}

void TQorStringGrid::UnMarkInCol(int ACol, bool DoFixed) {
    const TGridRect r = colRange(*this, ACol, DoFixed);
    UnHilightInRange(MarkTag, r.Left, r.Top, r.Right, r.Bottom);
}

void TQorStringGrid::UnMarkInRow(int ARow, bool DoFixed) {
    const TGridRect r = rowRange(*this, ARow, DoFixed, true);
    UnHilightInRange(MarkTag, r.Left, r.Top, r.Right, r.Bottom);
}

void TQorStringGrid::UnMarkInGrid(bool DoFixed) {
    const TGridRect r = gridRange(*this, DoFixed, true, true);
    UnHilightInRange(MarkTag, r.Left, r.Top, r.Right, r.Bottom);
}

// --- the search footer -----------------------------------------------------------------------

TFindParams TQorStringGrid::footerParams(bool Backward) {
    TSearchFooter* sf = FSearchFooter.get();
    TFindParams p{fnAutoGoto};
    if (FSearchPanel->HighLightButton()->Down()) p.Include(fnIgnoreHTMLTags);
    if (Backward) p.Include(fnBackward);
    if (FSearchPanel->MatchCase()->Checked()) p.Include(fnMatchCase);
    if (sf->SearchActiveColumnOnly()) p.Include(fnFindInCurrentCol);
    if (sf->SearchMatchStart()) p.Include(fnMatchStart);
    if (sf->SearchFixedCells()) p.Include(fnIncludeFixed);
    if (sf->SearchHiddenRows()) p.Include(fnIncludeHiddenRows);
    if (sf->SearchDirection() == sdLeftRight) p.Include(fnDirectionLeftRight);
    if (sf->SearchColumn() >= 0 && sf->SearchColumn() < ColCount()) {
        p.Include(fnFindInPresetCol);
        FFindCol = sf->SearchColumn();
    }
    return p;
}

// Highlights the edit's text in the search column (the whole grid without one), or removes
// the highlights there.
void TQorStringGrid::footerHighlight(bool On) {
    const int col = FSearchFooter->SearchColumn();
    const std::string text = FSearchPanel->EditControl()->Text();
    const bool doCase = FSearchPanel->MatchCase()->Checked();
    if (On) {
        if (col == -1)
            HilightInGrid(false, doCase, text);
        else
            HilightInCol(false, doCase, col, text);
    } else if (col == -1) {
        UnHilightInGrid(false);
    } else {
        UnHilightInCol(col, false);
    }
}

void TQorStringGrid::SearchFooterEditChange() {
    TRetEdit* edit = FSearchPanel->EditControl();
    const std::string value = edit->Text();
    bool defaultSearch = true;
    if (OnSearchEditChange) OnSearchEditChange(this, value, defaultSearch);
    if (!defaultSearch || !FSearchFooter->AutoSearch()) return;
    const bool buttonDown = FSearchPanel->HighLightButton()->Down();
    const bool highlight = buttonDown || FSearchFooter->AlwaysHighLight();
    const TFindParams params = footerParams(false);
    if (highlight) footerHighlight(false);
    if (value.empty()) {
        edit->SetColor(clWindow);
        return;
    }
    const TPoint found = Find(TPoint(-1, -1), value, params);
    SearchFooterAction(value, found.X, found.Y, saFindFirst);
    if (found.X < 0) {
        edit->SetColor(EditNotFoundColor);
        return;
    }
    edit->SetColor(clWindow);
    ScrollInView(Col(), Row());
    if (highlight) footerHighlight(true);
}

void TQorStringGrid::searchFooterFind(bool Backward) {
    const std::string value = FSearchPanel->EditControl()->Text();
    if (!FSearchFooter->AutoSearch() && value != FFooterSearchText) FSearchCell = TPoint(-1, -1);
    FFooterSearchText = value;
    const TPoint found = Find(FSearchCell, value, footerParams(Backward));
    if (found.X >= 0) ScrollInView(Col(), Row());
    const bool footer = FFloatingFooter->Visible();
    if (Row() > TopRow() + VisibleRowCount() - 3 + (footer ? 0 : 1) &&
        RowCount() > VisibleRowCount() + FixedRows() + (footer ? 1 : 0))
        SetTopRow(std::min(TopRow() + 2, maxTopLeft().Y));
    SearchFooterAction(value, found.X, found.Y, Backward ? saFindPrevious : saFindNext);
    FSearchPanel->Invalidate();
}

void TQorStringGrid::SearchFooterFindNext() {
    searchFooterFind(false);
}

void TQorStringGrid::SearchFooterFindPrev() {
    searchFooterFind(true);
}

void TQorStringGrid::SearchFooterHighlight() {
    footerHighlight(FSearchPanel->HighLightButton()->Down());
}

void TQorStringGrid::SearchFooterClose() {
    if (OnSearchFooterClose) OnSearchFooterClose(this);
    FSearchFooter->SetVisible(false);
}

void TQorStringGrid::CMDialogChar(TWMKey& Message) {
    Message.M.Result = 0;
    if (!FSearchFooter->Visible() || !FSearchPanel) return;
    for (TQorGridButton* b : {FSearchPanel->ForwardButton(), FSearchPanel->BackwardButton(),
                              FSearchPanel->HighLightButton()}) {
        if (b->Visible() && b->Enabled() && IsAccel(Message.CharCode(), b->Caption())) {
            if (b == FSearchPanel->HighLightButton()) b->SetDown(!b->Down());
            b->Click();
            Message.M.Result = 1;
            return;
        }
    }
}
