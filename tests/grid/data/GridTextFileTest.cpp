// The grid's own text file and text stream, the aligned text report, the conversion of a cell
// to a number, and the export notifications and progress of every export.
#include "grid/core/QorStringGrid.h"
#include "grid/data/GridFileText.h"
#include "platform/base/FormatSettings.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string fileBytes(const std::string& path) {
    return ReadBinaryFile(path);
}

// Texts as UTF-16 LE units.
std::string utf16(const std::string& text) {
    std::string out;
    for (char16_t u : Utf8ToWide(text)) {
        out += char(u & 0xFF);
        out += char(u >> 8);
    }
    return out;
}

struct Grid {
    TQorStringGrid g{nullptr};
    Grid(int cols, int rows) {
        g.SetColCount(cols);
        g.SetRowCount(rows);
    }
    std::vector<std::string> texts() {
        std::vector<std::string> t;
        for (int r = 0; r < g.RowCount(); ++r)
            for (int c = 0; c < g.ColCount(); ++c) t.push_back(g.GridCells(c, r));
        return t;
    }
};

class GridTextFile : public ::testing::Test {
protected:
    TempFolder folder{"grid_text_file"};
    std::string path(const std::string& name) { return folder.Path(name); }
};

// Texts a cell may hold that the line-break encoding must bring back.
const std::string awkwardTexts[] = {
    "plain",
    "a\r\nb",
    "a\tb\r\nc", // a TAB beside a line break
    "lone\rcr",  // a CR without LF
    "lf\nonly",  // a LF without CR
    std::string("nul\0x\r\n", 7),
    "\x01\x08",           // the encoding's own characters
    "\x02starts with #2", // the escape character
    "comma,in,text",
    "  leading and trailing  ",
    "\"quoted\"",
    "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC",
    "\xE2\x86\x92 outside the ANSI page",
};

} // namespace

TEST_F(GridTextFile, WritesTheFileOfTheFormatByteForByte) {
    Grid t(3, 3);
    t.g.SetColWidths(0, 10);
    t.g.SetColWidths(1, 20);
    t.g.SetColWidths(2, 30);
    t.g.SetCells(1, 0, "H");
    t.g.SetCells(1, 1, "a\r\nb");
    t.g.SetCells(2, 2, "x");
    t.g.SaveToFile(path("all.txt"));
    const std::string all = "3,3\r\ncw 0,10\r\ncw 1,20\r\ncw 2,30\r\n"
                            "1,0,H\r\n1,1,a\t\bb\r\n2,2,x\r\n";
    EXPECT_EQ(fileBytes(path("all.txt")), all);
    t.g.SaveToFile(path("all16.txt"), true);
    EXPECT_EQ(fileBytes(path("all16.txt")), "\xFF\xFE" + utf16(all));

    // Without the fixed cells: their counts, and still the grid's own indexes.
    t.g.Flags().SaveFixedCells = false;
    t.g.SaveToFile(path("normal.txt"));
    EXPECT_EQ(fileBytes(path("normal.txt")),
              "2,2\r\ncw 1,20\r\ncw 2,30\r\n1,1,a\t\bb\r\n2,2,x\r\n");
    Grid back(5, 5);
    back.g.Flags().SaveFixedCells = false;
    back.g.SetCells(1, 0, "header stays");
    back.g.SetCells(2, 1, "old");
    back.g.LoadFromFile(path("normal.txt"));
    EXPECT_EQ(back.g.ColCount(), 3);
    EXPECT_EQ(back.g.RowCount(), 3);
    EXPECT_EQ(back.g.ColWidths(2), 30);
    EXPECT_EQ(back.g.GridCells(1, 0), "header stays");
    EXPECT_EQ(back.g.GridCells(1, 1), "a"); // multi-line cells are off
    EXPECT_EQ(back.g.GridCells(2, 2), "x");
    EXPECT_EQ(back.g.GridCells(2, 1), ""); // the file holds every text of its range
}

TEST_F(GridTextFile, AwkwardTextsComeBackThroughTheFileAndTheStream) {
    const int rows = int(std::size(awkwardTexts));
    Grid t(3, rows + 1);
    t.g.SetMultilinecells(true);
    for (int i = 0; i < rows; ++i) t.g.SetCells(1, i + 1, awkwardTexts[i]);
    t.g.MergeCells(0, 2, 1, 2);
    t.g.SetCells(0, 2, "merged");
    for (bool unicode : {false, true}) {
        t.g.SaveToFile(path("texts.txt"), unicode);
        Grid back(1, 1);
        back.g.SetMultilinecells(true);
        back.g.LoadFromFile(path("texts.txt"));
        EXPECT_EQ(back.texts(), t.texts()) << unicode;
    }
    Grid copy(1, 1);
    copy.g.SetMultilinecells(true);
    copy.g.AssignCells(&t.g);
    EXPECT_EQ(copy.texts(), t.texts());
    // Without multi-line cells a reader keeps the first line of a text with line breaks.
    Grid first(1, 1);
    first.g.LoadFromFile(path("texts.txt"));
    EXPECT_EQ(first.g.GridCells(1, 2), "a");
    EXPECT_EQ(first.g.GridCells(1, 3), "a\tb");
    EXPECT_EQ(first.g.GridCells(1, 4), "lone");
    EXPECT_EQ(first.g.GridCells(1, 5), "lf\nonly");
    EXPECT_EQ(first.g.GridCells(1, 1), "plain");
}

TEST_F(GridTextFile, HiddenColumnsStayOutUnlessSavedToo) {
    Grid t(4, 2);
    t.g.SetFixedCols(0);
    t.g.SetFixedRows(0);
    for (int c = 0; c < 4; ++c) t.g.SetCells(c, 0, std::string(1, char('a' + c)));
    t.g.HideColumn(1);
    t.g.SaveToFile(path("shown.txt"));
    EXPECT_EQ(fileBytes(path("shown.txt")),
              "3,2\r\ncw 0,64\r\ncw 1,64\r\ncw 2,64\r\n0,0,a\r\n1,0,c\r\n2,0,d\r\n");
    t.g.Flags().SaveHiddenCells = true;
    t.g.SaveToFile(path("all.txt"));
    Grid back(1, 1);
    back.g.LoadFromFile(path("all.txt"));
    EXPECT_EQ(back.texts(), (std::vector<std::string>{"a", "b", "c", "d", "", "", "", ""}));
}

TEST_F(GridTextFile, ReadsFilesWrittenInTheFormatsOwnEncoding) {
    // Character 9 for CR, 8 for LF, 1 for NUL; a text without character 8 is not decoded.
    const std::string file = "3,2\r\ncw 1,44\r\ncw 7,99\r\n"
                             "1,1,a\t\bb\x01\r\n2,1,tab\tonly\r\n 2, +0,blanks\r\n";
    WriteBinaryFile(path("form.txt"), file);
    Grid t(1, 1);
    t.g.SetMultilinecells(true);
    t.g.LoadFromFile(path("form.txt"));
    EXPECT_EQ(t.g.ColCount(), 3);
    EXPECT_EQ(t.g.ColWidths(1), 44);
    EXPECT_EQ(t.g.GridCells(1, 1), std::string("a\r\nb\0", 5));
    EXPECT_EQ(t.g.GridCells(2, 1), "tab\tonly");
    EXPECT_EQ(t.g.GridCells(2, 0), "blanks");
    WriteBinaryFile(path("form16.txt"), "\xFF\xFE" + utf16(file));
    Grid w(1, 1);
    w.g.SetMultilinecells(true);
    w.g.LoadFromFile(path("form16.txt"));
    EXPECT_EQ(w.texts(), t.texts());
}

TEST_F(GridTextFile, RefusesFilesOfAnotherFormatAndKeepsTheGrid) {
    const std::string files[] = {
        "",
        "0,5\r\n",
        "abc\r\n",
        "a,b,c\r\n1,2,3\r\n",
        "3,3\r\ncw x,5\r\n",
        "3,3\r\n1,1\r\n",
        "3,3\r\n1,x,text\r\n",
        std::string("TPF0\x0BTGridPropIO\x00\x00\x00", 19),
    };
    for (const std::string& bytes : files) {
        WriteBinaryFile(path("bad.txt"), bytes);
        Grid t(4, 4);
        t.g.SetCells(1, 1, "kept");
        try {
            t.g.LoadFromFile(path("bad.txt"));
            ADD_FAILURE() << bytes;
        } catch (const EQorGridError& e) {
            EXPECT_EQ(e.Message(), "File contains no data or corrupt file " + path("bad.txt"));
        }
        EXPECT_EQ(t.g.ColCount(), 4) << bytes;
        EXPECT_EQ(t.g.GridCells(1, 1), "kept") << bytes;
    }
    Grid t(2, 2);
    EXPECT_THROW(t.g.LoadFromFile(path("missing.txt")), EFOpenError);
}

TEST_F(GridTextFile, StreamHoldsRelativeIndexesAndStopsBeforeWhatFollows) {
    Grid t(3, 3);
    t.g.Flags().SaveFixedCells = false;
    t.g.SetCells(1, 1, "x");
    TMemoryStream m;
    t.g.SaveToStream(m);
    const std::string expected = utf16("2,2\r\ncw 0,64\r\ncw 1,64\r\ncw 2,64\r\n0,0,x\r\n");
    ASSERT_EQ(m.Size(), std::int64_t(expected.size()));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(m.Memory()), expected.size()), expected);
    const std::string trailer = utf16("other data\r\n");
    m.WriteBuffer(trailer.data(), std::int64_t(trailer.size()));
    m.SetPosition(0);
    Grid back(3, 3);
    back.g.Flags().SaveFixedCells = false;
    back.g.LoadFromStream(m);
    EXPECT_EQ(back.g.RowCount(), 3);
    EXPECT_EQ(back.g.GridCells(1, 1), "x");
    EXPECT_EQ(m.Position(), std::int64_t(expected.size()));

    // A width beyond the column count or a count that is no number changes nothing.
    struct Case {
        std::string text;
        bool conversion;
    };
    const Case bad[] = {{"2,2\r\ncw 5,10\r\n", false}, {"x,2\r\n", true}};
    for (const Case& c : bad) {
        TMemoryStream s;
        const std::string units = utf16(c.text);
        s.WriteBuffer(units.data(), std::int64_t(units.size()));
        s.SetPosition(0);
        Grid g(4, 4);
        g.g.SetCells(1, 1, "kept");
        if (c.conversion)
            EXPECT_THROW(g.g.LoadFromStream(s), EConvertError);
        else
            EXPECT_THROW(g.g.LoadFromStream(s), EInvalidGridOperation);
        EXPECT_EQ(g.g.ColCount(), 4);
        EXPECT_EQ(g.g.GridCells(1, 1), "kept");
    }
}

TEST_F(GridTextFile, AssignCellsCarriesCountsWidthsAndTextsOnly) {
    Grid t(4, 3);
    t.g.SetColWidths(2, 77);
    t.g.SetCells(2, 1, "text");
    t.g.SetColors(2, 1, clRed);
    Grid copy(2, 8);
    copy.g.SetCells(1, 5, "old");
    copy.g.AssignCells(&t.g);
    EXPECT_EQ(copy.g.ColCount(), 4);
    EXPECT_EQ(copy.g.RowCount(), 3);
    EXPECT_EQ(copy.g.ColWidths(2), 77);
    EXPECT_EQ(copy.g.GridCells(2, 1), "text");
    EXPECT_FALSE(copy.g.HasCellProperties(2, 1));
}

TEST_F(GridTextFile, AlignedReportPadsEachColumnToItsLongestLine) {
    Grid t(3, 3);
    t.g.SetFixedRows(0);
    t.g.SetFixedCols(0);
    t.g.SetMultilinecells(true);
    t.g.SetCells(0, 0, "abcde");
    t.g.SetCells(0, 1, "12");
    t.g.SetAlignments(0, 1, taRightJustify);
    t.g.SetCells(1, 0, "\xC3\xA9t\xC3\xA9");
    t.g.SetCells(1, 1, "x");
    t.g.SetAlignments(1, 1, taCenter);
    t.g.SetCells(2, 1, "one\r\ntwo\r\nthree");
    t.g.SaveToASCII(path("report.txt"));
    EXPECT_EQ(fileBytes(path("report.txt")), "abcde \xE9t\xE9       \r\n"
                                             "   12  x  one   \r\n"
                                             "          two\r\n"
                                             "          three\r\n"
                                             "                \r\n");
    // Appended after the lines there, in the file's own encoding.
    WriteBinaryFile(path("log.txt"), "\xFF\xFE" + utf16("first line"));
    Grid small(1, 1);
    small.g.SetFixedRows(0);
    small.g.SetFixedCols(0);
    small.g.SetCells(0, 0, "z");
    small.g.AppendToASCII(path("log.txt"));
    EXPECT_EQ(fileBytes(path("log.txt")), "\xFF\xFE" + utf16("first line\r\nz \r\n"));
    small.g.AppendToASCII(path("new.txt"), true);
    EXPECT_EQ(fileBytes(path("new.txt")), "\xFF\xFE" + utf16("z \r\n"));
}

TEST_F(GridTextFile, CellToRealReadsNumbersAndNamesWhereOneEnds) {
    FormatSettings().ThousandSeparator = ',';
    FormatSettings().DecimalSeparator = '.';
    Grid t(3, 3);
    t.g.SetCells(1, 1, "(1,234.5)");
    t.g.SetCells(2, 1, "1.2.3");
    t.g.SetCells(1, 2, "-2e3");
    EXPECT_EQ(t.g.CellToReal(1, 1), -1234.5L);
    EXPECT_EQ(t.g.CellToReal(2, 2), 0);
    EXPECT_EQ(t.g.CellToReal(1, 2), -2000);
    try {
        t.g.CellToReal(2, 1);
        ADD_FAILURE();
    } catch (const EQorGridError& e) {
        EXPECT_EQ(e.Message(), "Error at position: 4 in Cell [2, 1].");
    }
    ResetFormatSettings();
}

namespace {
// Records the export notifications.
class RecordingGrid : public TQorStringGrid {
public:
    using TQorStringGrid::TQorStringGrid;
    void ExportNotification(TGridExportState State, int ARow) override {
        calls.emplace_back(State, ARow);
    }
    std::vector<std::pair<TGridExportState, int>> calls;
};
} // namespace

TEST_F(GridTextFile, EveryExportIsBracketedAndReportsItsRows) {
    RecordingGrid g(nullptr);
    g.SetColCount(2);
    g.SetRowCount(3);
    g.SetCells(1, 1, "5");
    const std::vector<std::pair<TGridExportState, int>> allRows = {{esExportStart, 0},
                                                                   {esExportNextRow, 0},
                                                                   {esExportNextRow, 1},
                                                                   {esExportNextRow, 2},
                                                                   {esExportDone, -1}};
    TIntList widths(0, 0);
    TMemoryStream m;
    const std::vector<std::pair<std::string, std::function<void()>>> exports = {
        {"file", [&] { g.SaveToFile(path("e.txt")); }},
        {"stream", [&] { g.SaveToStream(m); }},
        {"csv", [&] { g.SaveToCSV(path("e.csv")); }},
        {"ascii", [&] { g.SaveToASCII(path("e.asc")); }},
        {"fixed", [&] { g.SaveToFixed(path("e.fix"), &widths); }},
        {"binary", [&] { g.SaveToBinStream(m); }},
    };
    for (const auto& [name, run] : exports) {
        g.calls.clear();
        run();
        EXPECT_EQ(g.calls, allRows) << name;
    }
    g.calls.clear();
    g.ColumnSum(1);
    const std::vector<std::pair<TGridExportState, int>> normalRows = {
        {esExportStart, 1}, {esExportNextRow, 1}, {esExportNextRow, 2}, {esExportDone, -1}};
    EXPECT_EQ(g.calls, normalRows);
}

TEST_F(GridTextFile, ProgressIsReportedOncePerChange) {
    Grid t(2, 6);
    std::vector<int> seen;
    t.g.OnFileProgress = [&](TObject*, int p) { seen.push_back(p); };
    t.g.SaveToFile(path("p.txt"));
    EXPECT_EQ(seen, (std::vector<int>{0, 20, 40, 60, 80, 100}));
    seen.clear();
    for (int r = 0; r < 6; ++r) t.g.SetCells(1, r, "v");
    t.g.SaveToFile(path("p.txt"));
    seen.clear();
    t.g.LoadFromFile(path("p.txt"));
    EXPECT_EQ(seen, (std::vector<int>{0, 20, 40, 60, 80, 100}));
}
