// CSV files as spreadsheet programs and people write them, the grid's own CSV output, and
// fixed-width text.
#include "grid/core/QorStringGrid.h"
#include "grid/data/CsvText.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::vector<std::string>>;

struct Grid {
    TQorStringGrid g{nullptr};
    Grid(int cols, int rows) {
        g.SetColCount(cols);
        g.SetRowCount(rows);
    }
    // The texts of the rows, each up to its last non-empty cell.
    Rows rows() {
        Rows out;
        for (int r = 0; r < g.RowCount(); ++r) {
            std::vector<std::string> row;
            for (int c = 0; c < g.TotalColCount(); ++c) row.push_back(g.GridCells(c, r));
            while (!row.empty() && row.back().empty()) row.pop_back();
            out.push_back(row);
        }
        return out;
    }
};

class GridCsv : public ::testing::Test {
protected:
    TempFolder folder{"grid_csv"};
    std::string path(const std::string& name) { return folder.Path(name); }
};

} // namespace

TEST_F(GridCsv, LoadsFilesOfSpreadsheetProgramsAsTheyShowThem) {
    struct Case {
        const char* what;
        std::string bytes;
        Rows rows;
    };
    const Case cases[] = {
        {"semicolons, byte order mark, CR LF, a line feed inside quotes",
         "\xEF\xBB\xBFName;Comment;Price\r\n"
         "\"Smith; John\";\"He said \"\"hi\"\"\";1,5\r\n"
         "M\xC3\xBCller;\"line one\nline two\";\r\n",
         {{"Name", "Comment", "Price"},
          {"Smith; John", "He said \"hi\"", "1,5"},
          {"M\xC3\xBCller", "line one\r\nline two"}}},
        {"commas, UTF-8 without byte order mark, LF",
         "id,text,amount\n1,\"a, b\",3.5\n2,\"multi\nline\",\n3,plain \xC3\xA9,\"-1\"\n",
         {{"id", "text", "amount"},
          {"1", "a, b", "3.5"},
          {"2", "multi\r\nline"},
          {"3", "plain \xC3\xA9", "-1"}}},
        {"tabs in the ANSI code page",
         "A\tB\r\n1\t\xE9t\xE9\r\n",
         {{"A", "B"}, {"1", "\xC3\xA9t\xC3\xA9"}}},
        {"written by hand: blanks after the commas, an empty line, no final line end",
         "a, b, \"c, d\"\r\n\r\nx,,z",
         {{"a", "b", "c, d"}, {}, {"x", "", "z"}}},
        {"UTF-16 with byte order mark",
         std::string("\xFF\xFE"
                     "a\0;\0\xE9\0\r\0\n\0",
                     12),
         {{"a", "\xC3\xA9"}}},
    };
    for (const auto& c : cases) {
        WriteBinaryFile(path("in.csv"), c.bytes);
        Grid t(2, 2);
        t.g.LoadFromCSV(path("in.csv"));
        EXPECT_EQ(t.rows(), c.rows) << c.what;
        EXPECT_EQ(t.g.Delimiter(), '\0') << c.what;
    }
}

TEST_F(GridCsv, DetectsTheDelimiterFromTheFirstTwoLines) {
    struct Case {
        const char* line1;
        const char* line2;
        char delimiter;
    };
    const Case cases[] = {
        {"a;b;c", "1;2;3", ';'}, {"a,b;c", "d,e;f", ','},   // equal counts: the earlier candidate
        {"x|y|z", "", '|'},                                 // one line: the most occurrences
        {"a\tb", "1\t2", '\t'},  {"\"q,q\";r", "s;t", ';'}, // the counts must agree in both lines
        {"abc", "def", '\0'},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DetectCsvDelimiter(c.line1, c.line2), c.delimiter) << c.line1;
}

TEST_F(GridCsv, WritesEachFieldAsTheFormatRequires) {
    TCsvOptions standard, always, java, bare;
    always.AlwaysQuotes = true;
    java.JavaCSV = true;
    bare.QuoteEmptyCells = false;
    struct Case {
        std::string text;
        const TCsvOptions* options;
        std::string field;
    };
    const Case cases[] = {
        {"plain", &standard, "plain"},
        {"a\"b", &standard, "\"a\"\"b\""},
        {"a,b", &standard, "\"a,b\""},
        {"x\r\ny", &standard, "\"x\x0by\""},
        {"", &standard, "\"\""},
        {"", &bare, ""},
        {" lead", &standard, "\" lead\""},
        {"x\r\ny", &always, "\"x\ny\""},
        {"", &always, "\"\""},
        {"", &java, "^"},
        {"x\r\ny", &java, "x~y"},
        {"a,b", &java, "\"a,b\""},
    };
    for (const auto& c : cases) {
        std::string line;
        AppendCsvField(line, c.text, *c.options);
        EXPECT_EQ(line, c.field) << c.text;
    }
}

TEST_F(GridCsv, CellTextsComeBackInEveryMode) {
    const std::string texts[] = {
        "plain",
        "a\r\nb",
        "a,b;c\td|e",
        "\"quoted\"",
        "say \"x\", then y",
        "  leading",
        "trailing ",
        "\xC3\xA9t\xC3\xA9",
        "\xE2\x86\x92 not ANSI",
        "two\r\nline, break",
    };
    struct Mode {
        const char* what;
        char delimiter;
        bool always, java, unicode;
    };
    const Mode modes[] = {
        {"comma", ',', false, false, false}, {"semicolon", ';', false, false, true},
        {"tab", '\t', false, false, false},  {"always quotes", ',', true, false, false},
        {"java", ',', false, true, true},    {"detected", '\0', false, false, false},
    };
    const int n = int(std::size(texts));
    for (const Mode& m : modes) {
        Grid t(4, n);
        t.g.SetDelimiter(m.delimiter);
        t.g.Flags().AlwaysQuotes = m.always;
        t.g.Flags().JavaCSV = m.java;
        for (int i = 0; i < n; ++i) {
            t.g.SetCells(0, i, "k" + std::to_string(i));
            t.g.SetCells(2, i, texts[i]);
        }
        t.g.MergeCells(3, 0, 1, 2);
        t.g.SetCells(3, 0, "merged");
        t.g.SaveToCSV(path("out.csv"), m.unicode);
        Grid back(1, 1);
        back.g.SetDelimiter(m.delimiter);
        back.g.Flags().JavaCSV = m.java;
        back.g.LoadFromCSV(path("out.csv"));
        Rows expected = t.rows();
        EXPECT_EQ(back.rows(), expected) << m.what;
    }
}

TEST_F(GridCsv, AQuoteLeftOpenTakesTheRestOfTheText) {
    WriteBinaryFile(path("open.csv"), "a,\"open\r\nnext,line\r\nlast");
    Grid t(1, 1);
    t.g.LoadFromCSV(path("open.csv"));
    EXPECT_EQ(t.rows(), (Rows{{"a", "open\r\nnext,line\r\nlast"}}));
}

TEST_F(GridCsv, BlanksBeforeFieldsAreDroppedButALastBlankFieldKeepsOne) {
    WriteBinaryFile(path("blanks.csv"), "a,  b, \"c, d\",  \r\n");
    Grid t(1, 1);
    t.g.LoadFromCSV(path("blanks.csv"));
    EXPECT_EQ(t.rows(), (Rows{{"a", "b", "c, d", " "}}));
}

TEST_F(GridCsv, FirstRowSkippedStillTakesPartInTheDetection) {
    WriteBinaryFile(path("h.csv"), "h1;h2\r\n1;2\r\n3;4\r\n");
    Grid t(1, 1);
    t.g.Flags().LoadFirstRow = false;
    t.g.LoadFromCSV(path("h.csv"));
    EXPECT_EQ(t.rows(), (Rows{{"1", "2"}, {"3", "4"}}));
    Grid limited(1, 1);
    limited.g.LoadFromCSV(path("h.csv"), 2);
    EXPECT_EQ(limited.rows(), (Rows{{"h1", "h2"}, {"1", "2"}}));
    Grid all(1, 1);
    all.g.LoadFromCSV(path("h.csv"), 0);
    EXPECT_EQ(all.g.RowCount(), 3);
}

TEST_F(GridCsv, InsertAddsTheRecordsAfterTheLastRow) {
    WriteBinaryFile(path("more.csv"), "x,y\r\nz,w\r\n");
    Grid t(2, 5);
    t.g.SetCells(0, 4, "last");
    t.g.InsertFromCSV(path("more.csv"));
    EXPECT_EQ(t.g.RowCount(), 7);
    EXPECT_EQ(t.g.GridCells(0, 4), "last");
    EXPECT_EQ(t.g.GridCells(0, 5), "x");
    EXPECT_EQ(t.g.GridCells(1, 6), "w");
}

TEST_F(GridCsv, EmptyAndBinaryFilesChangeNothing) {
    Grid t(3, 3);
    t.g.SetCells(1, 1, "kept");
    WriteBinaryFile(path("zero.csv"), "");
    t.g.LoadFromCSV(path("zero.csv"));
    WriteBinaryFile(path("bom.csv"), "\xEF\xBB\xBF");
    try {
        t.g.LoadFromCSV(path("bom.csv"));
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "File is empty (" + path("bom.csv") + ")");
    }
    TMemoryStream empty;
    try {
        t.g.LoadFromCSVStream(empty);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "File is empty");
    }
    WriteBinaryFile(path("bin.csv"), std::string("TPF0\x0BTGridPropIO\x00\x00", 18));
    try {
        t.g.LoadFromCSV(path("bin.csv"));
        ADD_FAILURE();
    } catch (const EQorGridError& e) {
        EXPECT_EQ(e.Message(), "File contains no data or corrupt file " + path("bin.csv"));
    }
    EXPECT_EQ(t.g.RowCount(), 3);
    EXPECT_EQ(t.g.GridCells(1, 1), "kept");
    EXPECT_THROW(t.g.LoadFromCSV(path("none.csv")), EFOpenError);
}

TEST_F(GridCsv, AppendKeepsTheFileAndItsEncoding) {
    WriteBinaryFile(path("log.csv"), "\xEF\xBB\xBFx;y");
    Grid t(2, 1);
    t.g.SetFixedRows(0);
    t.g.SetFixedCols(0);
    t.g.SetDelimiter(';');
    t.g.SetCells(0, 0, "\xC3\xA9");
    t.g.SetCells(1, 0, "z");
    t.g.AppendToCSV(path("log.csv"));
    EXPECT_EQ(ReadBinaryFile(path("log.csv")), "\xEF\xBB\xBFx;y\r\n\xC3\xA9;z\r\n");
    EXPECT_THROW(t.g.AppendToCSV(path("none.csv")), EFOpenError);
    EXPECT_FALSE(FileExists(path("none.csv")));
    // Without the Unicode flag the ANSI code page, unless a character is not in it.
    t.g.SaveToCSV(path("ansi.csv"));
    EXPECT_EQ(ReadBinaryFile(path("ansi.csv")), "\xE9;z\r\n");
    t.g.SetCells(1, 0, "\xE2\x86\x92");
    t.g.SaveToCSV(path("wide.csv"));
    EXPECT_EQ(ReadBinaryFile(path("wide.csv")), "\xEF\xBB\xBF\xC3\xA9;\xE2\x86\x92\r\n");
}

TEST_F(GridCsv, OemConversionBothWays) {
    Grid t(1, 1);
    t.g.SetFixedRows(0);
    t.g.SetFixedCols(0);
    t.g.SetOemConvert(true);
    t.g.SetCells(0, 0, "\xC3\xA9");
    t.g.SaveToCSV(path("oem.csv"));
    EXPECT_EQ(ReadBinaryFile(path("oem.csv")), "\x82\r\n"); // code page 850
    Grid back(1, 1);
    back.g.SetOemConvert(true);
    back.g.LoadFromCSV(path("oem.csv"));
    EXPECT_EQ(back.g.GridCells(0, 0), "\xC3\xA9");
}

TEST_F(GridCsv, ColumnsPastTheFirst512AreWrittenAtTheirPlace) {
    Grid t(600, 1);
    t.g.SetFixedRows(0);
    t.g.SetFixedCols(0);
    t.g.SetCells(599, 0, "end");
    t.g.SetCells(3, 0, "hidden");
    t.g.HideColumn(3);
    t.g.SaveToCSV(path("wide.csv"));
    Grid back(1, 1);
    back.g.LoadFromCSV(path("wide.csv"));
    EXPECT_EQ(back.g.ColCount(), 599);
    EXPECT_EQ(back.g.GridCells(598, 0), "end");
    EXPECT_EQ(back.g.GridCells(3, 0), "");
    t.g.Flags().SaveHiddenCells = true;
    t.g.SaveToCSV(path("all.csv"));
    Grid every(1, 1);
    every.g.LoadFromCSV(path("all.csv"));
    EXPECT_EQ(every.g.ColCount(), 600);
    EXPECT_EQ(every.g.GridCells(3, 0), "hidden");
    EXPECT_EQ(every.g.GridCells(599, 0), "end");
}

TEST_F(GridCsv, FixedWidthPadsToTheLongestLineAndReadsByPositions) {
    Grid t(2, 2);
    t.g.SetFixedRows(0);
    t.g.SetFixedCols(0);
    t.g.SetCells(0, 0, "abc");
    t.g.SetCells(1, 0, "\xC3\xA9");
    t.g.SetCells(0, 1, "a");
    t.g.SetCells(1, 1, "two\r\nlines");
    TIntList widths(0, 0);
    t.g.SaveToFixed(path("fixed.txt"), &widths);
    EXPECT_EQ(widths.StrValue(), "4,10");
    EXPECT_EQ(ReadBinaryFile(path("fixed.txt")), "abc \xE9         \r\na   two lines \r\n");
    widths.Clear();
    widths.Add(2);
    t.g.SaveToFixed(path("cut.txt"), &widths);
    EXPECT_EQ(ReadBinaryFile(path("cut.txt")), "ab\xE9         \r\na two lines \r\n");

    WriteBinaryFile(path("in.txt"), "abcdefghij\r\n  x  y    \r\nthird\r\n");
    TIntList positions(0, 0);
    for (int p : {9, 1, 5}) positions.Add(p);
    Grid back(1, 1);
    back.g.SetFixedCols(0);
    back.g.LoadFromFixed(path("in.txt"), &positions, true, 0);
    EXPECT_EQ(positions.StrValue(), "1,5,9");
    EXPECT_EQ(back.rows(), (Rows{{"abcd", "efgh"}, {"x", "y"}, {"thir", "d"}}));
    Grid one(1, 1);
    one.g.SetFixedCols(0);
    one.g.LoadFromFixed(path("in.txt"), &positions, false, 1);
    EXPECT_EQ(one.rows(), (Rows{{"abcd", "efgh"}}));

    try {
        back.g.LoadFromFixed(path("none.txt"), &positions);
        ADD_FAILURE();
    } catch (const EQorGridError& e) {
        EXPECT_EQ(e.Message(), "File " + path("none.txt") + " not found");
    }
    try {
        t.g.SaveToFixed(path("no/such/folder.txt"), &widths);
        ADD_FAILURE();
    } catch (const EQorGridError& e) {
        EXPECT_EQ(e.Message(), "Cannot Create file " + path("no/such/folder.txt"));
    }
}

TEST_F(GridCsv, FilesOfManyMegabytesAreWrittenWhole) {
    // Nearly 2 MB of text, written in pieces of a megabyte; the one character outside the ANSI
    // code page comes last and turns the whole file into UTF-8.
    const int rows = 20000;
    Grid t(5, rows);
    t.g.SetFixedRows(0);
    t.g.SetFixedCols(0);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < 5; ++c) t.g.SetCells(c, r, "caf\xC3\xA9, row " + std::to_string(r));
    t.g.SetCells(4, rows - 1, "\xE2\x86\x92");
    t.g.SaveToCSV(path("big.csv"));
    const std::string bytes = ReadBinaryFile(path("big.csv"));
    EXPECT_GT(bytes.size(), 3u << 19);
    EXPECT_TRUE(bytes.starts_with("\xEF\xBB\xBF\"caf\xC3\xA9, row 0\""));
    Grid back(1, 1);
    back.g.LoadFromCSV(path("big.csv"));
    EXPECT_EQ(back.rows(), t.rows());
    // The same texts in UTF-16 through the grid's own file.
    t.g.SaveToFile(path("big.txt"), true);
    Grid text(1, 1);
    text.g.LoadFromFile(path("big.txt"));
    EXPECT_EQ(text.rows(), t.rows());
}
