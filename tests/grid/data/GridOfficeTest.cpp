// Workbooks, documents and databases: round trips through .xlsx and .docx files checked by a
// strict reader, a workbook written by another program, other sheets and document parts kept
// byte for byte, and queries through ODBC on a SQLite database.
#include "grid/core/QorStringGrid.h"
#include "grid/data/OfficeFiles.h"
#include "platform/odbc/Odbc.h"
#include "platform/zip/ZipArchive.h"
#include "tests/TempFolder.h"
#include "tests/grid/data/OfficeReadBack.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

const std::string Fixture = std::string(FIXTURE_DIR) + "/other-program.xlsx";

// The strict reader: a sound zip of well-formed parts, each declared, each relationship's
// target present, rows and cells in order.
bool strictlyReadable(const std::string& path) {
    const std::string cmd =
        "python3 " + std::string(FIXTURE_DIR) + "/check-package.py '" + path + "' >/dev/null";
    return std::system(cmd.c_str()) == 0;
}

std::map<std::string, std::string> parts(const std::string& path) {
    std::map<std::string, std::string> m;
    for (TZipEntry& e : ReadZipFile(path)) m[e.Name] = std::move(e.Data);
    return m;
}

std::string cells(TQorStringGrid& g) {
    std::string s;
    for (int r = 0; r < g.RowCount(); ++r) {
        for (int c = 0; c < g.ColCount(); ++c) s += (c ? "|" : "") + g.Cells(c, r);
        s += "\n";
    }
    return s;
}

struct Grid {
    TQorStringGrid g{nullptr};
    Grid(int cols, int rows, int fixedCols = 0, int fixedRows = 0) {
        g.SetColCount(cols);
        g.SetRowCount(rows);
        g.SetFixedCols(fixedCols);
        g.SetFixedRows(fixedRows);
    }
};

class GridOffice : public ::testing::Test {
protected:
    TempFolder folder{"grid_office"};
    std::string path(const std::string& name) { return folder.Path(name); }
    std::string copyOfFixture() {
        std::filesystem::copy_file(Fixture, path("book.xlsx"));
        return path("book.xlsx");
    }
};

TEST(OfficeCellRefs, ColumnLettersFollowBase26) {
    const std::vector<std::pair<int, std::string>> cases = {
        {1, "A"},   {26, "Z"},   {27, "AA"},   {30, "AD"},
        {52, "AZ"}, {702, "ZZ"}, {703, "AAA"}, {16384, "XFD"}};
    for (const auto& [col, letters] : cases) {
        EXPECT_EQ(ColumnLetters(col), letters);
        int c = 0, r = 0;
        ASSERT_TRUE(ParseCellRef("$" + letters + "$7", c, r)) << letters;
        EXPECT_EQ(c, col);
        EXPECT_EQ(r, 7);
    }
    int c = 0, r = 0;
    for (const char* bad : {"XFE1", "A0", "A1048577", "1A", "A", "A1:B2", "A1 "})
        EXPECT_FALSE(ParseCellRef(bad, c, r)) << bad;
}

TEST_F(GridOffice, WorkbookRoundTripKeepsTexts) {
    Grid src(3, 4, 1, 1);
    const std::vector<std::vector<std::string>> texts = {
        {"", "Name", "Amount"},
        {"1", "Ärger €", "3.5"},
        {"2", "  padded  ", "007"},
        {"3", "two\r\nlines _x0041_ \x01", "1E300"}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) src.g.SetCells(c, r, texts[std::size_t(r)][std::size_t(c)]);
    src.g.SaveToXLS(path("a.xlsx"), true);
    ASSERT_TRUE(strictlyReadable(path("a.xlsx")));
    // A number that reads back as written is a number; others stay texts.
    const std::string sheet = parts(path("a.xlsx"))["xl/worksheets/sheet1.xml"];
    EXPECT_NE(sheet.find("<c r=\"C2\"><v>3.5</v></c>"), std::string::npos);
    EXPECT_NE(sheet.find("<c r=\"C3\" t=\"inlineStr\">"), std::string::npos);

    Grid back(1, 1);
    const auto names = back.g.GetXLSSheets(path("a.xlsx"));
    ASSERT_EQ(names->Count(), 1);
    EXPECT_EQ(names->Strings(0), "Sheet1");
    back.g.LoadFromXLS(path("a.xlsx"));
    ASSERT_EQ(back.g.ColCount(), 3);
    ASSERT_EQ(back.g.RowCount(), 4);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) {
            std::string want = texts[std::size_t(r)][std::size_t(c)];
            if (want == "two\r\nlines _x0041_ \x01") want = "two\nlines _x0041_ \x01";
            EXPECT_EQ(back.g.Cells(c, r), want) << c << "," << r;
        }
}

TEST_F(GridOffice, WideGridEndsAtTheRightColumnLetters) {
    for (const auto& [cols, last] :
         std::vector<std::pair<int, std::string>>{{30, "AD"}, {52, "AZ"}}) {
        Grid src(cols, 2);
        for (int c = 0; c < cols; ++c) src.g.SetCells(c, 1, "v" + std::to_string(c));
        src.g.SaveToXLS(path("wide.xlsx"), true);
        const std::string sheet = parts(path("wide.xlsx"))["xl/worksheets/sheet1.xml"];
        EXPECT_NE(sheet.find("<dimension ref=\"A2:" + last + "2\"/>"), std::string::npos) << cols;
        Grid back(1, 1);
        back.g.LoadFromXLS(path("wide.xlsx"));
        EXPECT_EQ(back.g.ColCount(), cols);
        EXPECT_EQ(back.g.Cells(cols - 1, 0), "v" + std::to_string(cols - 1));
    }
}

TEST_F(GridOffice, ReadsAWorkbookOfAnotherProgram) {
    Grid g(2, 2);
    const auto names = g.g.GetXLSSheets(Fixture);
    ASSERT_EQ(names->Count(), 3);
    EXPECT_EQ(names->Strings(0), "Names");
    EXPECT_EQ(names->Strings(2), "Empty");

    // The used range A1:C6 below one fixed row and column that are not loaded: 4 x 7 cells.
    Grid k(8, 9, 1, 1);
    k.g.Flags().SaveFixedCells = false;
    k.g.SetCells(2, 3, "old"); // where the error value stands: not kept
    k.g.LoadFromXLSSheet(Fixture, "Names");
    ASSERT_EQ(k.g.ColCount(), 4);
    ASSERT_EQ(k.g.RowCount(), 7);
    EXPECT_EQ(k.g.FixedCols(), 1);
    EXPECT_EQ(k.g.FixedRows(), 1);
    EXPECT_EQ(k.g.Cells(1, 1), "Name");
    EXPECT_EQ(k.g.Cells(1, 2), "Ärger");
    EXPECT_EQ(k.g.Cells(2, 2), "3.5");
    EXPECT_EQ(k.g.Cells(1, 3), "two words");
    EXPECT_EQ(k.g.Cells(2, 3), "");
    EXPECT_EQ(k.g.Cells(1, 4), "True");
    EXPECT_EQ(k.g.Cells(2, 4), DateTimeToStr(EncodeDate(2024, 2, 29)));
    EXPECT_EQ(k.g.Cells(3, 5), "42");
    EXPECT_EQ(k.g.Cells(3, 6), "tab\there _x0041_ \x01");

    // The active sheet holds one cell, B2: one column and row after the offsets.
    k.g.LoadFromXLS(Fixture);
    EXPECT_EQ(k.g.ColCount(), 2);
    EXPECT_EQ(k.g.RowCount(), 2);
    EXPECT_EQ(k.g.Cells(1, 1), "only");

    Grid e(3, 3);
    e.g.SetCells(0, 0, "old");
    e.g.LoadFromXLSSheet(Fixture, "Empty");
    EXPECT_EQ(cells(e.g), "\n");
    try {
        e.g.LoadFromXLSSheet(Fixture, "names"); // sheet names are matched exactly
        FAIL();
    } catch (const EQorGridError& err) {
        EXPECT_EQ(err.Message(), "Excel worksheet names not found");
    }
}

TEST_F(GridOffice, WritingASheetKeepsTheOtherSheetsAndCells) {
    const std::string book = copyOfFixture();
    const auto before = parts(book);
    Grid src(2, 2);
    src.g.SetCells(0, 0, "x");
    src.g.SetCells(1, 1, "12");
    src.g.SaveToXLSSheet(book, "Names");
    ASSERT_TRUE(strictlyReadable(book));
    auto after = parts(book);
    for (const auto& [name, data] : before)
        if (name != "xl/worksheets/sheet1.xml") {
            EXPECT_EQ(after[name], data) << name;
        }

    // The block A1:B2 is the grid's (B1 cleared); the sheet's cells outside it stay.
    Grid back(1, 1);
    back.g.LoadFromXLSSheet(book, "Names");
    EXPECT_EQ(cells(back.g), "x||\n|12|\ntwo words||\nTrue|" +
                                 DateTimeToStr(EncodeDate(2024, 2, 29)) +
                                 "|\n||42\n||tab\there _x0041_ \x01\n");

    // A sheet that is not there is added; the others stay as they were.
    src.g.SaveToXLSSheet(book, "Added one");
    ASSERT_TRUE(strictlyReadable(book));
    const auto added = parts(book);
    for (const char* name : {"xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml",
                             "xl/worksheets/sheet3.xml", "xl/sharedStrings.xml", "xl/styles.xml"})
        EXPECT_EQ(added.at(name), after.at(name)) << name;
    const auto names = back.g.GetXLSSheets(book);
    ASSERT_EQ(names->Count(), 4);
    EXPECT_EQ(names->Strings(3), "Added one");
    back.g.LoadFromXLSSheet(book, "Added one");
    EXPECT_EQ(cells(back.g), "x|\n|12\n");

    // Without the new-workbook flag the active sheet is written from its active cell's row.
    src.g.SaveToXLS(book, false);
    ASSERT_TRUE(strictlyReadable(book));
    back.g.LoadFromXLSSheet(book, "Single");
    EXPECT_EQ(cells(back.g), "|only\n|\n|\nx|\n|12\n");
}

TEST_F(GridOffice, RefusesWhatIsNotAWorkbookOrDocument) {
    WriteBinaryFile(path("text.xlsx"), "Name;Value\r\n");
    Grid doc(1, 1);
    doc.g.SaveToDOC(path("doc.docx"), true);
    const std::string docBytes = ReadBinaryFile(path("doc.docx"));
    const TCursor cursor = Screen->Cursor();
    Grid g(2, 2);
    g.g.SetCells(0, 0, "kept");
    for (const std::string& file : {path("text.xlsx"), path("doc.docx")}) {
        const std::string want = "Incorrect XLS file " + file;
        EXPECT_THROW(
            try { g.g.LoadFromXLS(file); } catch (const Exception& e) {
                EXPECT_EQ(e.Message(), want);
                throw;
            },
            Exception);
        EXPECT_THROW(g.g.GetXLSSheets(file), Exception);
        // An existing file that is no workbook is not replaced by a new one.
        EXPECT_THROW(g.g.SaveToXLSSheet(file, "S"), Exception);
        EXPECT_THROW(g.g.SaveToXLS(file, false), Exception);
    }
    EXPECT_EQ(ReadBinaryFile(path("text.xlsx")), "Name;Value\r\n");
    EXPECT_EQ(ReadBinaryFile(path("doc.docx")), docBytes);
    EXPECT_EQ(g.g.Cells(0, 0), "kept");
    EXPECT_EQ(Screen->Cursor(), cursor);
    try {
        g.g.AppendToDoc(path("text.xlsx"), "");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Incorrect DOC file " + path("text.xlsx"));
    }
    EXPECT_THROW(g.g.SaveToXLSSheet(path("new.xlsx"), "a/b"), EQorGridError);
    EXPECT_FALSE(FileExists(path("new.xlsx")));
    // A file that cannot be written is reported, not passed over.
    const std::string nowhere = path("no/such/folder/a.xlsx");
    for (auto save : {+[](TQorStringGrid&t, const std::string&f) { t.SaveToXLS(f, true); },
                      +[](TQorStringGrid&t, const std::string&f) { t.SaveToDOC(f, true); }}) {
        try {
            save(g.g, nowhere);
            ADD_FAILURE();
        } catch (const EQorGridError& e) {
            EXPECT_EQ(e.Message(), "Cannot Create file " + nowhere);
        }
    }
}

// --- documents -------------------------------------------------------------------------------

TEST_F(GridOffice, DocumentTableRoundTrip) {
    Grid g(3, 2, 1, 1);
    g.g.SetAutoNumAlign(true);
    g.g.SetCells(1, 0, "Name");
    g.g.SetCells(2, 0, "Sum");
    g.g.SetCells(0, 1, "1");
    g.g.SetCells(1, 1, "a & <b>\nnext");
    g.g.SetCells(2, 1, "12.5");
    g.g.SaveToDOC(path("t.docx"), true);
    ASSERT_TRUE(strictlyReadable(path("t.docx")));
    DocView v = ReadDocumentPart(parts(path("t.docx")).at("word/document.xml"));
    EXPECT_EQ(v.Tables, "|Name|Sum\n1|a & <b>\nnext|12.5\n");
    EXPECT_EQ(v.Blocks, "t p() s ");
    EXPECT_EQ(v.RightAligned, "1 12.5 ");

    // Without the flag the existing document gets the table at its start; the grid's text
    // heads it.
    g.g.SetText("Totals");
    g.g.SaveToDOC(path("t.docx"), false);
    ASSERT_TRUE(strictlyReadable(path("t.docx")));
    v = ReadDocumentPart(parts(path("t.docx")).at("word/document.xml"));
    EXPECT_EQ(v.Blocks, "p(Totals) t p() t p() s ");
}

TEST_F(GridOffice, AppendsAtTheBookmarkOrTheEnd) {
    const std::string w = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
    const std::vector<TZipEntry> entries = {
        {"[Content_Types].xml",
         "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"rels\" "
         "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
         "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>"},
        {"_rels/.rels",
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
         "relationships/officeDocument\" Target=\"word/main.xml\"/></Relationships>"},
        {"word/main.xml",
         "<w:document xmlns:w=\"" + w +
             "\"><w:body><w:p><w:r><w:t>Before</w:t></w:r></w:p>"
             "<w:p><w:bookmarkStart w:id=\"0\" w:name=\"here\"/><w:r><w:t>Mark</w:t></w:r>"
             "<w:bookmarkEnd w:id=\"0\"/></w:p><w:p><w:r><w:t>After</w:t></w:r></w:p>"
             "<w:sectPr/></w:body></w:document>"},
        {"word/other.xml", "<x>kept \xC3\xA4</x>"}};
    WriteZipFile(path("d.docx"), entries);
    Grid g(2, 1);
    g.g.SetCells(0, 0, "a");
    g.g.SetCells(1, 0, "b");
    g.g.AppendToDoc(path("d.docx"), "here");
    g.g.AppendToDoc(path("d.docx"), "nowhere");
    ASSERT_TRUE(strictlyReadable(path("d.docx")));
    const auto after = parts(path("d.docx"));
    EXPECT_EQ(after.at("word/other.xml"), "<x>kept \xC3\xA4</x>");
    EXPECT_FALSE(after.count("word/document.xml"));
    const DocView v = ReadDocumentPart(after.at("word/main.xml"));
    EXPECT_EQ(v.Tables, "a|b\na|b\n");
    EXPECT_EQ(v.Blocks, "p(Before) p(Mark) t p(After) t p() s ");
}

// --- databases -------------------------------------------------------------------------------

class GridDatabase : public GridOffice {
protected:
    std::string db = path("data.db");
    void exec(const std::string& sql) {
        TOdbcConnection c("Driver={SQLite3};Database=" + db);
        c.Query(sql);
    }
};

TEST_F(GridDatabase, LoadsATableAndAQuery) {
    exec("CREATE TABLE \"odd \"\"name\"\" here\" (id INTEGER, txt TEXT, amount REAL)");
    exec("INSERT INTO \"odd \"\"name\"\" here\" VALUES (1, 'Ärger', 2.5), (2, NULL, 3), "
         "(3, 'three', NULL)");
    exec("CREATE TABLE victim (x INTEGER)");
    Grid g(2, 10, 1, 1);
    for (int r = 0; r < 10; ++r) g.g.SetCells(1, r, "stale");
    g.g.LoadFromMDBTable(db, "odd \"name\" here");
    EXPECT_EQ(cells(g.g), "|id|txt|amount\n|1|Ärger|2.5\n|2||3.0\n|3|three|\n");

    g.g.LoadFromMDBSQL(db, "SELECT txt FROM \"odd \"\"name\"\" here\" WHERE id = 3");
    EXPECT_EQ(cells(g.g), "|txt\n|three\n");
    // No records: one empty row, nothing left of the last load.
    g.g.LoadFromMDBSQL(db, "SELECT txt FROM \"odd \"\"name\"\" here\" WHERE id = 9");
    EXPECT_EQ(cells(g.g), "|txt\n|\n");

    // A connection text is used as it is.
    Grid h(1, 1);
    h.g.LoadFromMDBSQL("DRIVER={SQLite3};Database=" + db, "SELECT 7 AS seven");
    EXPECT_EQ(cells(h.g), "7\n");

    // A table name is an identifier, never SQL.
    EXPECT_THROW(g.g.LoadFromMDBTable(db, "victim; DROP TABLE victim"), EOdbcError);
    g.g.LoadFromMDBTable(db, "victim");
    EXPECT_EQ(cells(g.g), "|x\n|\n");
}

TEST_F(GridDatabase, RefusesWhatIsNotADatabase) {
    WriteBinaryFile(path("text.mdb"), "not a database at all, just text\n");
    Grid g(2, 2);
    g.g.SetCells(0, 0, "kept");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {path("text.mdb"), "File " + path("text.mdb") + " is not a database"},
        {path("missing.mdb"), "File " + path("missing.mdb") + " not found"},
        {path("a;Driver={x}.mdb"), "Invalid database file name " + path("a;Driver={x}.mdb")}};
    for (const auto& [file, message] : cases) {
        try {
            g.g.LoadFromMDBTable(file, "t");
            ADD_FAILURE() << file;
        } catch (const EQorGridError& e) {
            EXPECT_EQ(e.Message(), message);
        }
    }
    EXPECT_EQ(g.g.Cells(0, 0), "kept");
    EXPECT_THROW(g.g.LoadFromMDBSQL(db, "SELECT 1"), EQorGridError); // not there yet
    exec("CREATE TABLE t (a)");
    EXPECT_THROW(g.g.LoadFromMDBSQL(db, "SELECT * FROM nowhere"), EOdbcError);
}

} // namespace
