// TQorStringGrid: cells exchanged with workbooks, documents and databases.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/GridUtils.h"
#include "grid/core/base/ScopeGuards.h"
#include "grid/data/OfficeFiles.h"
#include "platform/files/Files.h"
#include "platform/odbc/Odbc.h"

#include <algorithm>
#include <optional>

namespace {

[[noreturn]] void incorrectXLS(const std::string& FileName) {
    throw Exception("Incorrect XLS file " + FileName);
}

// A workbook file read whole; what is no workbook raises "Incorrect XLS file <name>".
TXlsxWorkbook openWorkbook(const std::string& FileName) {
    try {
        return TXlsxWorkbook(FileName);
    } catch (const EOfficeFileError&) {
        incorrectXLS(FileName);
    }
}

TDocxDocument openDocument(const std::string& FileName) {
    try {
        return TDocxDocument(FileName);
    } catch (const EOfficeFileError&) {
        throw Exception("Incorrect DOC file " + FileName);
    }
}

// Writes through the package writer; a file that cannot be made raises the grid's message.
template <typename Package> void savePackage(Package& package, const std::string& FileName) {
    try {
        package.Save(FileName);
    } catch (const EFCreateError&) {
        throw EQorGridError("Cannot Create file " + FileName);
    } catch (const EWriteError&) {
        throw EQorGridError("Cannot Create file " + FileName);
    }
}

// Reports the whole grid changed and recalculates the footers at the end of a load, also when
// it fails.
class LoadEnd {
public:
    explicit LoadEnd(TQorStringGrid& grid) : grid_(grid) {}
    ~LoadEnd() {
        grid_.CellsChanged(TRect(0, 0, grid_.ColCount() - 1, grid_.RowCount() - 1));
        grid_.RecalcFooters();
    }
    LoadEnd(const LoadEnd&) = delete;
    LoadEnd& operator=(const LoadEnd&) = delete;

private:
    TQorStringGrid& grid_;
};

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

// The ODBC connection text for a database file, chosen by what the file holds; a connection
// text is used as it is.
std::string connectionText(const std::string& FileName) {
    if (startsWithNoCase(FileName, "DSN=") || startsWithNoCase(FileName, "FILEDSN=") ||
        startsWithNoCase(FileName, "DRIVER="))
        return FileName;
    // A name that would end the value or open a braced one is refused, not pasted in.
    if (FileName.empty() || std::any_of(FileName.begin(), FileName.end(), [](char c) {
            return c == ';' || c == '{' || c == '}' || (unsigned char)c < 0x20;
        }))
        throw EQorGridError("Invalid database file name " + FileName);
    if (!FileExistsStrict(FileName)) throw EQorGridError("File " + FileName + " not found");
    const std::string head = ReadBinaryFile(FileName, 32);
    const std::string_view h(head);
    if (h.size() >= 19 && h.substr(0, 4) == std::string_view("\0\1\0\0", 4) &&
        (h.substr(4, 15) == "Standard Jet DB" || h.substr(4, 15) == "Standard ACE DB"))
        return "Driver={MDBTools};DBQ=" + FileName;
    if (h.starts_with(std::string_view("SQLite format 3\0", 16)))
        return "Driver={SQLite3};Database=" + FileName;
    throw EQorGridError("File " + FileName + " is not a database");
}

// A table name as an identifier of the data source: quoted, a quote inside it doubled.
std::string quotedTable(TOdbcConnection& connection, const std::string& Table) {
    const std::string q = connection.IdentifierQuote();
    if (q.empty()) {
        const bool plain = !Table.empty() && std::all_of(Table.begin(), Table.end(), [](char c) {
            return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                   c == '_';
        });
        if (!plain) throw EQorGridError("Invalid table name " + Table);
        return Table;
    }
    std::string quoted = q;
    for (std::size_t i = 0; i < Table.size();) {
        if (Table.compare(i, q.size(), q) == 0) {
            quoted += q + q;
            i += q.size();
        } else
            quoted += Table[i++];
    }
    return quoted + q;
}

// Fields and records into the grid: the names into the last fixed row, the records below the
// fixed rows, exactly as many rows as records (one empty row for none).
void loadRecords(TQorStringGrid& g, const TOdbcResult& result) {
    const int fixedCols = g.FixedCols(), fixedRows = g.FixedRows();
    g.SetColCount(fixedCols + std::max<int>(1, int(result.Fields.size())));
    g.SetRowCount(fixedRows + std::max<int>(1, int(result.Records.size())));
    g.SetFixedCols(fixedCols);
    g.SetFixedRows(fixedRows);
    if (fixedRows > 0)
        for (std::size_t i = 0; i < result.Fields.size(); ++i)
            g.SetCells(fixedCols + int(i), fixedRows - 1, result.Fields[i]);
    if (result.Records.empty()) g.ClearRows(fixedRows, 1);
    int row = fixedRows;
    for (const auto& record : result.Records) {
        for (std::size_t i = 0; i < record.size(); ++i)
            g.SetCells(fixedCols + int(i), row, record[i].value_or(std::string()));
        ++row;
    }
}

} // namespace

// --- workbooks -------------------------------------------------------------------------------

std::unique_ptr<TStringList> TQorStringGrid::GetXLSSheets(const std::string& FileName) {
    CursorScope busy(crHourGlass);
    const TXlsxWorkbook book = openWorkbook(FileName);
    auto names = std::make_unique<TStringList>();
    for (int i = 0; i < book.SheetCount(); ++i)
        if (book.IsWorksheet(i)) names->Add(book.SheetName(i));
    return names;
}

void TQorStringGrid::LoadFromXLS(const std::string& FileName) {
    loadXLSWorkbook(FileName, "");
}

void TQorStringGrid::LoadFromXLSSheet(const std::string& FileName, const std::string& SheetName) {
    loadXLSWorkbook(FileName, SheetName);
}

void TQorStringGrid::loadXLSWorkbook(const std::string& FileName, const std::string& SheetName) {
    CursorScope busy(crHourGlass);
    const TXlsxWorkbook book = openWorkbook(FileName);
    int sheet = book.ActiveSheet();
    if (!SheetName.empty()) {
        sheet = book.FindSheet(SheetName, false);
        if (sheet < 0) throw EQorGridError("Excel worksheet " + SheetName + " not found");
    } else if (book.SheetCount() == 0)
        incorrectXLS(FileName);
    std::vector<TSheetCell> cells;
    try {
        cells = book.ReadCells(sheet);
    } catch (const EOfficeFileError&) {
        incorrectXLS(FileName);
    }
    // The used range: the block of the cells that hold values; A1 for an empty sheet.
    int c0 = 1, c1 = 1, r0 = 1, r1 = 1;
    if (!cells.empty()) {
        c0 = c1 = cells[0].Col;
        r0 = r1 = cells[0].Row;
        for (const TSheetCell& c : cells) {
            c0 = std::min(c0, c.Col);
            c1 = std::max(c1, c.Col);
            r0 = std::min(r0, c.Row);
            r1 = std::max(r1, c.Row);
        }
    }
    LoadEnd end(*this);
    const int fixedCols = FixedCols(), fixedRows = FixedRows();
    const int colOffset = FFlags.SaveFixedCells || FFlags.SaveFixedCols ? 0 : fixedCols;
    const int rowOffset = FFlags.SaveFixedCells || FFlags.SaveFixedRows ? 0 : fixedRows;
    const int cols = c1 - c0 + 1, rows = r1 - r0 + 1;
    SetColCount(cols + colOffset);
    SetRowCount(rows + rowOffset);
    if (fixedCols < ColCount()) SetFixedCols(fixedCols);
    if (fixedRows < RowCount()) SetFixedRows(fixedRows);
    // The block is the file's: cells it leaves empty do not keep the grid's old texts.
    ClearRect(colOffset, rowOffset, ColCount() - 1, RowCount() - 1);
    for (const TSheetCell& c : cells)
        LoadCellText(fileColumn(c.Col - c0 + colOffset), c.Row - r0 + rowOffset, c.Text);
}

void TQorStringGrid::SaveToXLS(const std::string& FileName, bool NewWorkbook) {
    saveXLSWorkbook(FileName, "", NewWorkbook);
}

void TQorStringGrid::SaveToXLSSheet(const std::string& FileName, const std::string& SheetName) {
    saveXLSWorkbook(FileName, SheetName, true);
}

void TQorStringGrid::saveXLSWorkbook(const std::string& FileName, const std::string& SheetName,
                                     bool NewWorkbook) {
    CursorScope busy(crHourGlass);
    const bool exists = FileExistsStrict(FileName);
    std::optional<TXlsxWorkbook> book;
    int sheet = 0, startRow = 1;
    // A file that is there is a workbook whose other sheets and cells are kept, or is refused.
    if (!SheetName.empty()) {
        book.emplace(exists ? openWorkbook(FileName) : TXlsxWorkbook());
        sheet = book->FindSheet(SheetName, true);
        if (sheet < 0) try {
                sheet = book->AddSheet(SheetName);
            } catch (const EOfficeFileError&) {
                throw EQorGridError("Invalid worksheet name " + SheetName);
            }
    } else if (NewWorkbook || !exists) {
        book.emplace();
        sheet = book->AddSheet("Sheet1");
    } else {
        book.emplace(openWorkbook(FileName));
        if (book->SheetCount() == 0) incorrectXLS(FileName);
        sheet = book->ActiveSheet();
        try {
            startRow = book->ActiveCellRow(sheet);
        } catch (const EOfficeFileError&) {
            incorrectXLS(FileName);
        }
    }
    const int h = FFlags.SaveHiddenCells ? FNumHidden : 0;
    const int c0 = SaveStartCol(), c1 = SaveEndCol() + h;
    const int r0 = SaveStartRow(), r1 = SaveEndRow();
    std::vector<std::vector<std::string>> rows;
    std::string text;
    exportRows(r0, r1, [&](int r) {
        auto& row = rows.emplace_back();
        for (int c = c0; c <= c1; ++c) {
            SaveCellText(fileColumn(c), r, text);
            row.push_back(RemoveCR(text));
        }
    });
    try {
        book->WriteBlock(sheet, startRow, rows);
    } catch (const EOfficeFileError& e) {
        throw EQorGridError(e.Message());
    }
    savePackage(*book, FileName);
}

// --- documents -------------------------------------------------------------------------------

void TQorStringGrid::SaveToDOC(const std::string& FileName, bool NewDocument) {
    saveDOCDocument(FileName, "", false, NewDocument);
}

void TQorStringGrid::AppendToDoc(const std::string& FileName, const std::string& Bookmark) {
    saveDOCDocument(FileName, Bookmark, true, false);
}

void TQorStringGrid::saveDOCDocument(const std::string& FileName, const std::string& Bookmark,
                                     bool Append, bool NewDocument) {
    CursorScope busy(crHourGlass);
    std::optional<TDocxDocument> doc;
    if (Append || (!NewDocument && FileExistsStrict(FileName)))
        doc.emplace(openDocument(FileName));
    else
        doc.emplace();
    std::vector<std::vector<TDocxDocument::TCell>> rows;
    std::string text;
    exportRows(0, RowCount() - 1, [&](int r) {
        auto& row = rows.emplace_back();
        for (int c = 0; c < ColCount(); ++c) {
            const int real = RealColIndexOf(c);
            SaveCellText(real, r, text);
            TAlignment ha = taLeftJustify;
            TVAlignment va = vtaTop;
            GetCellAlignment(real, r, ha, va);
            row.push_back({text, ha == taRightJustify ? 2 : ha == taCenter ? 1 : 0});
        }
    });
    TDocxDocument::TPlace place = TDocxDocument::dpStart;
    if (Append)
        place = !Bookmark.empty() && doc->HasBookmark(Bookmark) ? TDocxDocument::dpBookmark
                                                                : TDocxDocument::dpEnd;
    doc->AddTable(rows, Text(), place, Bookmark);
    savePackage(*doc, FileName);
}

// --- databases -------------------------------------------------------------------------------

void TQorStringGrid::LoadFromMDBTable(const std::string& FileName, const std::string& Table) {
    TOdbcConnection connection(connectionText(FileName));
    loadRecords(*this, connection.Query("SELECT * FROM " + quotedTable(connection, Table)));
}

void TQorStringGrid::LoadFromMDBSQL(const std::string& FileName, const std::string& SQL) {
    TOdbcConnection connection(connectionText(FileName));
    loadRecords(*this, connection.Query(SQL));
}
