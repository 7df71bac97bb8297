// TQorStringGrid: the save range as an XML list of records, and XML documents read into cells.
#include "grid/core/QorStringGrid.h"
#include "grid/data/GridFileText.h"
#include "grid/data/XmlCells.h"

#include <algorithm>
#include <string>
#include <vector>

void TQorStringGrid::SaveToXML(const std::string& FileName, const std::string& ListName,
                               const std::string& RecordName, const TStrings* FieldNames,
                               bool ExportEmptyCells) {
    const int h = FFlags.SaveHiddenCells ? FNumHidden : 0;
    const int c0 = SaveStartCol(), c1 = SaveEndCol() + h;
    const int r0 = SaveStartRow(), r1 = SaveEndRow();
    std::vector<TXMLRecord> records;
    TProgressReport progress(OnFileProgress, this);
    std::string text;
    exportRows(r0, r1, [&](int r) {
        TXMLRecord& record = records.emplace_back();
        for (int c = c0; c <= c1; ++c) {
            const int real = fileColumn(c);
            if (real < TotalColCount() && !IsBaseCell(real, r)) continue;
            SaveCellText(real, r, text);
            if (text.empty() && !ExportEmptyCells) continue;
            if (text.empty() && FFlags.QuoteEmptyCells) text = "\"\"";
            const int k = c - c0;
            record.emplace_back(FieldNames && k < FieldNames->Count() ? FieldNames->Strings(k)
                                                                      : "FIELD" + std::to_string(k),
                                text);
        }
        progress.Report(r - r0, r1 - r0);
    });
    try {
        WriteXMLRecords(FileName, FXMLEncoding, ListName, RecordName, records);
    } catch (const EFCreateError&) {
        throw EQorGridError("Cannot Create file " + FileName);
    }
}

void TQorStringGrid::LoadFromXML(const std::string& FileName, bool LevelToRow,
                                 bool LoadFieldNames) {
    const bool fixedSaved = FFlags.SaveFixedCells || FFlags.SaveFixedRows;
    TXMLCellWalk walk;
    walk.StartCol = SaveStartCol();
    walk.StartRow = !fixedSaved || LoadFieldNames ? FixedRows() : 0;
    walk.LevelToRow = LevelToRow;
    walk.LoadFieldNames = LoadFieldNames;
    walk.NamesInHeader = fixedSaved;
    walk.QuoteEmptyCells = FFlags.QuoteEmptyCells;
    walk.Grow = [this](int c, int r) {
        if (ColCount() < c + 1) SetColCount(c + 1);
        if (RowCount() < r + 1) SetRowCount(r + 1);
    };
    walk.Store = [this](int c, int r, const std::string& text) { LoadCellText(c, r, text); };
    walk.HeaderEmpty = [this](int c) { return GridCells(c, 0).empty(); };
    const TPoint last = ReadXMLCells(FileName, walk);
    SetColCount(std::max(last.X + 1, FixedCols() + 1));
    SetRowCount(std::max(last.Y + 1, FixedRows() + 1));
    RecalcFooters();
}
