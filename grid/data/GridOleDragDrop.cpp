#include "grid/data/GridOleDragDrop.h"

#include "grid/core/QorStringGrid.h"
#include "grid/data/CsvText.h"
#include "grid/data/DataSettings.h"
#include "grid/render/AuxWindows.h"
#include "grid/render/HeaderDragButton.h"
#include "platform/base/ComponentStream.h"
#include "platform/ui/core/Forms.h"

#include <algorithm>

namespace {
bool emptyLine(const std::vector<std::string>& line) {
    return line.size() == 1 && line[0].empty();
}
} // namespace

TClipboardTextSize MeasureClipboardText(const std::string& Text) {
    TClipboardTextSize size;
    const auto lines = ParseClipboardText(Text);
    size.Rows = int(lines.size()) - 1;
    for (const auto& line : lines) {
        size.Cols = std::max(size.Cols, int(line.size()));
        if (emptyLine(line)) --size.Rows;
    }
    size.Rows = std::max(0, size.Rows);
    return size;
}

// --- TGridDropTarget --------------------------------------------------------------------------
TGridDropTarget::Target TGridDropTarget::cellAt(TPoint pt, TDropFormats Formats) {
    Target t;
    FGrid->ScreenToCell(pt, t.Col, t.Row);
    TDragDropSettings* dd = FGrid->DragDropSettings();
    if (t.Row == -1 && !Formats.Contains(dfCol) && dd->OleEntireRows() && dd->OleAppendRows()) {
        const TPoint p = FGrid->ScreenToClient(pt);
        const TRect last = FGrid->CellRect(FGrid->FixedCols(), FGrid->RowCount() - 1);
        if (p.Y >= last.Bottom) {
            t.Row = FGrid->RowCount() - 1;
            t.Col = FGrid->FixedCols();
            t.Appending = true;
        }
    }
    return t;
}

void TGridDropTarget::DragMouseMove(TPoint pt, bool& Allow, TDropFormats DropFormats) {
    TASGDropTarget::DragMouseMove(pt, Allow, DropFormats);
    TQorStringGrid* g = FGrid;
    Target t = cellAt(pt, DropFormats);
    const TPoint client = g->ScreenToClient(pt);
    const bool column = DropFormats.Contains(dfCol);
    Allow = t.Col >= 0 && t.Row >= 0;

    // Scrolling towards the pointer while it rests at the edge of the shown cells.
    if (Allow && !column) {
        if ((t.Row == 0 && g->TopRow() > g->FixedRows()) ||
            (client.Y < 8 && g->FixedRows() == 0 && g->TopRow() > 0)) {
            g->SetTopRow(g->TopRow() - 1);
        } else if (t.Row == g->TopRow() + g->VisibleRowCount() && t.Row < g->RowCount()) {
            if (g->TopRow() + 1 < g->RowCount()) g->SetTopRow(g->TopRow() + 1);
        }
        if (g->FTimerTicks % 2 == 0) {
            ++g->FTimerTicks;
            if (t.Col == 0 && g->LeftCol() > g->FixedCols())
                g->SetLeftCol(g->LeftCol() - 1);
            else if (t.Col == g->LeftCol() + g->VisibleColCount() &&
                     g->LeftCol() + 1 < g->ColCount())
                g->SetLeftCol(g->LeftCol() + 1);
        }
    }

    if (!column) {
        const bool oneRowAlways = g->RowCount() == 1 && g->FixedRowAlways();
        if (t.Row >= 0 && t.Row < g->FixedRows() && !(t.Row == 0 && oneRowAlways)) Allow = false;
    } else {
        const TRect last = g->CellRect(g->ColCount() - 1, 0);
        if (t.Col < 0 && client.X >= last.Right && client.Y >= 0) {
            t.Col = g->ColCount();
            t.Row = 0;
            Allow = true;
        } else {
            Allow = Allow && t.Row < g->FixedRows() && t.Col >= g->FixedCols();
        }
    }
    if (DropFormats.Contains(dfFile) || DropFormats.Contains(dfGridCells)) Allow = true;
    if (g->OnOleDragOver) g->OnOleDragOver(g, t.Row, t.Col, Allow);
    const bool valid = t.Col >= 0 && t.Row >= 0;
    Allow = Allow && (valid || DropFormats.Contains(dfFile));

    if (column && Allow) {
        g->ShowDropArrows(std::min(t.Col, g->ColCount() - 1), 0, true);
    } else if (Allow && valid) {
        int col = g->DragDropSettings()->OleEntireRows() ? g->FixedCols() : t.Col;
        int row = t.Appending ? t.Row + 1 : t.Row;
        if (row == 0 && g->FixedRowAlways()) row = 1;
        g->ShowDropArrows(std::min(col, g->ColCount() - 1), std::min(row, g->RowCount() - 1),
                          false);
    } else {
        g->HideDropArrows();
    }
}

void TGridDropTarget::DragMouseLeave() {
    FGrid->HideDropArrows();
}

void TGridDropTarget::DropText(TPoint pt, const std::string& s) {
    TQorStringGrid* g = FGrid;
    TDragDropSettings* dd = g->DragDropSettings();
    Target t = cellAt(pt, {dfText});
    if (t.Col < 0 || t.Row < 0) {
        g->HideDropArrows();
        return;
    }
    const TClipboardTextSize size = MeasureClipboardText(s);
    const bool rowSelect = g->Options().Contains(goRowSelect);
    if (rowSelect) t.Col = dd->OleEntireRows() ? 0 : g->FixedCols();
    bool allow = true;
    if (g->OnOleDrop) g->OnOleDrop(g, t.Row, t.Col, s, allow);
    if (!allow) {
        g->HideDropArrows();
        return;
    }
    // Rows that come in above the dragged ones push them down: a later move removes the right
    // rows.
    TGridRect& source = g->FDropSelection;
    if (dd->OleRemoveRows() && source.Top >= t.Row) {
        source.Top += size.Rows + 1;
        source.Bottom += size.Rows + 1;
    }
    if (t.Row == 0 && g->RowCount() == 1 && g->FixedRowAlways()) t.Row = 1;
    if (dd->OleInsertRows()) {
        const int top = g->TopRow();
        if (t.Appending) {
            g->SetRowCount(g->RowCount() + size.Rows + 1);
            ++t.Row;
        } else {
            g->InsertRows(t.Row, size.Rows + 1);
        }
        const int keep = top > g->FixedRows() ? top + 1 : top;
        if (keep < g->RowCount()) g->SetTopRow(keep);
    }
    // The text goes into the cells from the drop cell on; what falls outside the grid is lost.
    int row = t.Row;
    for (const auto& line : ParseClipboardText(s)) {
        if (emptyLine(line)) continue;
        if (row >= g->RowCount()) break;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const int col = t.Col + int(i);
            if (col >= g->ColCount()) break;
            g->SetCells(g->RealColIndex(col), row, line[i]);
        }
        ++row;
    }
    TGridRect sel;
    sel.Left = std::max(t.Col, g->FixedCols());
    sel.Top = t.Row;
    sel.Right = rowSelect ? t.Col + size.Cols - g->FixedCols() : t.Col + size.Cols - 1;
    sel.Bottom = t.Row + size.Rows;
    sel.Right = std::clamp(sel.Right, sel.Left, g->ColCount() - 1);
    sel.Bottom = std::clamp(sel.Bottom, sel.Top, g->RowCount() - 1);
    if (sel.Top < g->RowCount()) g->SetSelection(sel);
    g->HideDropArrows();
    if (g->OnOleDropped) g->OnOleDropped(g, g->Selection());
}

void TGridDropTarget::DropStream(TPoint pt, TMemoryStream* ms) {
    TQorStringGrid* g = FGrid;
    Target t = cellAt(pt, {dfGridCells});
    g->HideDropArrows();
    if (!ms || t.Col < 0 || t.Row < 0) return;
    ms->SetPosition(0);
    try {
        TReader r(*ms);
        g->loadBinCells(TPoint(t.Col, t.Row), r, true);
        r.Finish();
    } catch (const Exception& E) {
        // Cells another program sent in a form this grid cannot read: the grid stays as it was.
        Application->ShowException(E);
        return;
    }
    if (g->OnOleDropped) g->OnOleDropped(g, g->Selection());
}

// A dropped column moves with EnhRowColMove on, whatever the grid has it set to.
void TGridDropTarget::moveColumn(int From, int To) {
    TQorStringGrid::TServiceFlags& flags = FGrid->Flags();
    const bool enh = flags.EnhRowColMove;
    flags.EnhRowColMove = true;
    FGrid->MoveColumn(From, To);
    flags.EnhRowColMove = enh;
}

void TGridDropTarget::DropCol(TPoint pt, int Col) {
    TQorStringGrid* g = FGrid;
    int c = -1, r = -1;
    g->ScreenToCell(pt, c, r);
    const TPoint client = g->ScreenToClient(pt);
    if (c < 0 && client.X >= g->CellRect(g->ColCount() - 1, 0).Right) c = g->ColCount();
    if (FDropFormats.Contains(dfCol)) {
        g->HideDropArrows();
        if (g->FMoveButton) g->FMoveButton->SetVisible(false);
    }
    if (TCustomListBox* list = g->FOleDragList) {
        // A column dragged in from a column list box comes back where it is dropped.
        if (g->FOleDragIndex >= 0 && g->FOleDragIndex < list->Items()->Count())
            list->Items()->Delete(g->FOleDragIndex);
        g->UnHideColumn(g->FOleDragCol);
        if (c >= 0 && c < g->ColCount()) moveColumn(g->DisplColIndex(g->FOleDragCol), c);
        g->FOleDragList = nullptr;
        g->FOleDragCol = g->FOleDragIndex = -1;
    } else if (g->DragDropSettings()->OleColumnReorder() && c >= 0) {
        c = std::min(c, g->ColCount() - 1);
        const int from = g->DisplColIndex(Col);
        if (from != c && from >= 0 && from < g->ColCount()) moveColumn(from, c);
    }
    if (g->OnOleDropCol) g->OnOleDropCol(g, r, c, Col);
}

void TGridDropTarget::dropCellText(TPoint pt, const std::string& s, bool Url) {
    TQorStringGrid* g = FGrid;
    int c = -1, r = -1;
    g->ScreenToCell(pt, c, r);
    bool allow = true;
    if (Url) {
        if (g->OnOleDropURL) g->OnOleDropURL(g, r, c, s, allow);
    } else if (g->OnOleDrop) {
        g->OnOleDrop(g, r, c, s, allow);
    }
    if (allow && c >= 0 && r >= 0) g->SetCells(g->RealColIndex(c), r, s);
    g->HideDropArrows();
}

void TGridDropTarget::DropRTF(TPoint pt, const std::string& s) {
    dropCellText(pt, s, false);
}

void TGridDropTarget::DropURL(TPoint pt, const std::string& s) {
    dropCellText(pt, s, true);
}

void TGridDropTarget::DropFiles(TPoint pt, TStrings* Files) {
    TQorStringGrid* g = FGrid;
    g->HideDropArrows();
    if (!Files || Files->Count() != 1) return;
    int c = -1, r = -1;
    g->ScreenToCell(pt, c, r);
    const std::string name = Files->Get(0);
    bool allow = true;
    if (g->OnOleDropFile) g->OnOleDropFile(g, r, c, name, allow);
    if (!allow) return;
    // A CSV or spreadsheet file is loaded into the grid, unless the application refuses it
    // through OnOleDrop (with no cell).
    const std::string upper = UpperCase(name);
    const bool csv = upper.find(".CSV") != std::string::npos;
    if (!csv && upper.find(".XLS") == std::string::npos) return;
    bool load = true;
    if (g->OnOleDrop) g->OnOleDrop(g, -1, -1, name, load);
    if (!load) return;
    try {
        if (csv)
            g->LoadFromCSV(name);
        else
            g->LoadFromXLS(name);
    } catch (const Exception& E) {
        Application->ShowException(E);
    }
}

// --- TGridDropSource --------------------------------------------------------------------------
void TGridDropSource::CurrentEffect(DWORD dwEffect) {
    if (dwEffect == DROPEFFECT_MOVE || dwEffect == DROPEFFECT_COPY) FLastEffect = dwEffect;
}

void TGridDropSource::QueryDrag() {
    TPoint p;
    GetCursorPos(p);
    if (FGrid->DragDropSettings()->ShowCells()) {
        if (FGrid->FMoveForm)
            FGrid->FMoveForm->SetBounds(p.X + 4, p.Y + 4, FGrid->FMoveForm->Width(),
                                        FGrid->FMoveForm->Height());
    } else if (FGrid->FMoveButton) {
        THeaderDragButton* b = FGrid->FMoveButton;
        b->SetBounds(p.X, p.Y - b->Height(), b->Width(), b->Height());
    }
}

void TGridDropSource::DragFinished() {
    TASGDropSource::DragFinished();
    if (FGrid->DragDropSettings()->ShowCells() && FGrid->FMoveForm) {
        TNoActiveForm* form = FGrid->FMoveForm;
        FGrid->FMoveForm = nullptr;
        delete form;
    }
}
