#include "grid/core/QorStringGrid.h"
#include "grid/data/DataSettings.h"
#include "grid/editors/CellChecker.h"
#include "platform/base/DateUtils.h"
#include "platform/base/FormatSettings.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <string>
#include <vector>

namespace {

// A 5 x 5 grid with one fixed row and column, one fixed footer row and one fixed right column.
std::unique_ptr<TQorStringGrid> framedGrid() {
    auto g = std::make_unique<TQorStringGrid>(nullptr);
    g->SetColCount(5);
    g->SetRowCount(5);
    g->SetFixedFooters(1);
    g->SetFixedRightCols(1);
    return g;
}

// The grid's texts, rows separated by "|" and cells by ",".
std::string dump(TQorStringGrid& g) {
    std::string s;
    for (int r = 0; r < g.RowCount(); ++r) {
        if (r) s += "|";
        for (int c = 0; c < g.ColCount(); ++c) s += (c ? "," : "") + g.Cells(c, r);
    }
    return s;
}

TEST(GridFillsTest, FillsCoverTheirRange) {
    struct Case {
        const char* name;
        bool doFixed;
        std::function<void(TQorStringGrid&, bool)> fill;
        const char* want;
    } cases[] = {
        {"text", false, [](TQorStringGrid& g, bool f) { g.TextFill(f, "x"); },
         ",,,,|,x,x,x,|,x,x,x,|,x,x,x,|,,,,"},
        {"linear", false, [](TQorStringGrid& g, bool f) { g.LinearFill(f); },
         ",,,,|,1:1,2:1,3:1,|,1:2,2:2,3:2,|,1:3,2:3,3:3,|,,,,"},
        {"linear all", true, [](TQorStringGrid& g, bool f) { g.LinearFill(f); },
         "0:0,1:0,2:0,3:0,4:0|0:1,1:1,2:1,3:1,4:1|0:2,1:2,2:2,3:2,4:2|0:3,1:3,2:3,3:3,4:3|"
         "0:4,1:4,2:4,3:4,4:4"},
        {"format", false, [](TQorStringGrid& g, bool f) { g.FormatFill(f, "R%1:dC%0:d"); },
         ",,,,|,R1C1,R1C2,R1C3,|,R2C1,R2C2,R2C3,|,R3C1,R3C2,R3C3,|,,,,"},
    };
    for (const auto& c : cases) {
        auto g = framedGrid();
        c.fill(*g, c.doFixed);
        EXPECT_EQ(dump(*g), c.want) << c.name;
    }
}

TEST(GridFillsTest, RandomFillStaysInItsRange) {
    auto g = framedGrid();
    g->RandomFill(false, 3);
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c) {
            const int v = g->Ints(c, r);
            EXPECT_TRUE(v >= 0 && v < 3) << v;
        }
    EXPECT_EQ(g->Cells(0, 0), "");
    g->RandomFill(true, 0);
    EXPECT_EQ(dump(*g), "0,0,0,0,0|0,0,0,0,0|0,0,0,0,0|0,0,0,0,0|0,0,0,0,0");
}

TEST(GridFillsTest, AutoNumbering) {
    struct Case {
        int start, offset;
        TSortDirection dir;
        int footers;
        const char* column; // column 1, top to bottom
    } cases[] = {
        {0, 0, sdAscending, 0, ",1,2,3,4,5"},       {1, 0, sdAscending, 0, ",,2,3,4,5"},
        {0, 10, sdAscending, 0, ",11,12,13,14,15"}, {0, 0, sdDescending, 0, ",5,4,3,2,1"},
        {0, 0, sdAscending, 1, ",1,2,3,4,"},        {1, 0, sdDescending, 1, ",4,3,2,,"},
        {-2, 0, sdAscending, 0, "0,1,2,3,4,5"},
    };
    for (const auto& c : cases) {
        TQorStringGrid g(nullptr);
        g.SetColCount(3);
        g.SetRowCount(6);
        g.SetFixedFooters(c.footers);
        g.SetAutoNumberStart(c.start);
        g.SetAutoNumberOffset(c.offset);
        g.SetAutoNumberDirection(c.dir);
        g.AutoNumberCol(1);
        std::string col;
        for (int r = 0; r < 6; ++r) col += (r ? "," : "") + g.Cells(1, r);
        EXPECT_EQ(col, c.column) << c.start << " " << c.offset << " " << c.dir << " " << c.footers;
    }
    auto g = framedGrid();
    g->SetAutoNumberDirection(sdDescending);
    g->AutoNumberRow(2);
    EXPECT_EQ(dump(*g), ",,,,|,,,,|,3,2,1,|,,,,|,,,,");
}

// Upper-cases texts; marks every digit.
class UpperChecker : public TQorStringGridCheck {
public:
    using TQorStringGridCheck::TQorStringGridCheck;
    std::string Correct(int, int, const std::string& S) override {
        std::string u = S;
        for (char& ch : u) ch = char(std::toupper(static_cast<unsigned char>(ch)));
        return u;
    }
    std::string MarkError(int, int, const std::string& S) override {
        std::string m;
        for (char ch : S)
            m += std::isdigit(static_cast<unsigned char>(ch)) ? "<e>" + std::string(1, ch) + "</e>"
                                                              : std::string(1, ch);
        return m;
    }
    void StartCheck() override { ++starts; }
    void StopCheck() override { ++stops; }
    int starts = 0, stops = 0;
};

TEST(GridFillsTest, CheckerCorrectsTheNormalCells) {
    auto g = framedGrid();
    UpperChecker checker(nullptr);
    checker.SetUseCorrect(true);
    EXPECT_TRUE(g->CheckGrid(false)) << "no checker: nothing to find";
    g->SetCellChecker(&checker);
    g->SetCells(0, 0, "head");
    g->SetCells(2, 2, "abc");
    g->SetCells(3, 1, "XY");
    EXPECT_FALSE(g->CheckGrid(false));
    EXPECT_EQ(checker.starts, 1);
    EXPECT_EQ(checker.stops, 1);
    EXPECT_EQ(g->Cells(2, 2), "ABC");
    EXPECT_EQ(g->Cells(0, 0), "head") << "fixed cells are left out";
    EXPECT_TRUE(g->CheckGrid(false));
    EXPECT_TRUE(g->CheckRow(false, 2));
    g->SetCells(1, 3, "q");
    EXPECT_FALSE(g->CheckCol(false, 1));
    EXPECT_EQ(g->Cells(1, 3), "Q");
    g->SetCellChecker(nullptr);
}

TEST(GridFillsTest, CheckerMarksAndUnmarksAndSeesTheStoredText) {
    TQorStringGrid g(nullptr);
    UpperChecker checker(nullptr);
    checker.SetUseCorrect(false);
    checker.SetUseMarkError(true);
    g.SetCellChecker(&checker);
    g.SetCells(1, 1, "a1b");
    EXPECT_FALSE(g.CheckCell(1, 1));
    EXPECT_EQ(g.GridCells(1, 1), "a<e>1</e>b");
    EXPECT_FALSE(g.CheckCell(1, 1)) << "the digit is still there";
    EXPECT_EQ(g.GridCells(1, 1), "a<e>1</e>b") << "marked once, not twice";
    g.SetCells(1, 1, "a<e>x</e>b");
    EXPECT_TRUE(g.CheckCell(1, 1)) << "an old mark over nothing wrong goes";
    EXPECT_EQ(g.GridCells(1, 1), "axb");

    // What a display hook shows never lands in the cell.
    g.OnGetDisplText = [](TObject*, int, int, std::string& v) { v += " shown"; };
    g.SetCells(2, 1, "q2");
    g.CheckCell(2, 1);
    EXPECT_EQ(g.GridCells(2, 1), "q<e>2</e>");
    g.SetCellChecker(nullptr);
}

TEST(GridFillsTest, CheckerWalksTheCurrentCellAndPutsItBack) {
    // A grid without a parent window takes every move without asking.
    TForm form(nullptr);
    auto g = framedGrid();
    g->SetParent(&form);
    UpperChecker checker(nullptr);
    checker.SetUseCorrect(true);
    checker.SetGotoCell(true);
    std::vector<std::pair<int, int>> visited;
    g->OnSelectCell = [&](TObject*, int c, int r, bool&) { visited.emplace_back(c, r); };
    g->SetCellChecker(&checker);
    g->SetCol(2);
    g->SetRow(2);
    visited.clear();
    g->CheckCells(1, 1, 2, 1);
    EXPECT_GE(visited.size(), 2u);
    EXPECT_EQ(g->Col(), 2);
    EXPECT_EQ(g->Row(), 2);
    g->SetCellChecker(nullptr);
    g->SetParent(nullptr);
}

TEST(GridFillsTest, DatesAndTimes) {
    TFormatSettings& fs = FormatSettings();
    const TFormatSettings saved = fs;
    fs.ShortDateFormat = "dd/mm/yyyy";
    fs.DateSeparator = '/';
    fs.LongTimeFormat = "hh:nn:ss";
    fs.TimeSeparator = ':';
    TQorStringGrid g(nullptr);
    g.SetDates(1, 1, EncodeDate(2024, 2, 29));
    EXPECT_EQ(g.Cells(1, 1), "29/02/2024");
    EXPECT_EQ(g.Dates(1, 1), EncodeDate(2024, 2, 29));
    g.SetShowNullDates(false);
    g.SetDates(1, 1, 0);
    EXPECT_EQ(g.Cells(1, 1), "");
    g.SetShowNullDates(true);
    g.SetDates(1, 1, 0);
    EXPECT_EQ(g.Cells(1, 1), "30/12/1899");
    g.SetTimes(2, 1, EncodeTime(13, 5, 9, 0));
    EXPECT_EQ(g.Cells(2, 1), "13:05:09");
    EXPECT_DOUBLE_EQ(g.Times(2, 1), EncodeTime(13, 5, 9, 0));
    g.SetCells(1, 2, "no date");
    EXPECT_THROW(g.Dates(1, 2), EConvertError);
    EXPECT_THROW(g.Times(1, 2), EConvertError);
    fs = saved;
}

TEST(GridFillsTest, HighlightRoundTripOnStoredTexts) {
    TQorStringGrid g(nullptr);
    g.SetCells(1, 1, "a<b");
    g.SetCells(2, 1, "Banana & \"A\"");
    g.SetCells(1, 2, "none");
    g.MergeCells(1, 3, 2, 1);
    g.SetCells(1, 3, "abc");
    // A display hook must not be written back by either routine.
    g.OnGetDisplText = [](TObject*, int, int, std::string& v) {
        if (!v.empty()) v = "[" + v + "]";
    };
    g.HilightInRange("a", "hi", 1, 1, 2, 3, false);
    EXPECT_EQ(g.GridCells(1, 1), "<hi>a</hi>&lt;b");
    EXPECT_EQ(g.GridCells(2, 1), "B<hi>a</hi>n<hi>a</hi>n<hi>a</hi> &amp; &quot;<hi>A</hi>&quot;");
    EXPECT_EQ(g.GridCells(1, 2), "none");
    EXPECT_EQ(g.GridCells(1, 3), "<hi>a</hi>bc");
    g.UnHilightInRange("hi", 1, 1, 2, 3);
    EXPECT_EQ(g.GridCells(1, 1), "a<b");
    EXPECT_EQ(g.GridCells(2, 1), "Banana & \"A\"");
    EXPECT_EQ(g.GridCells(1, 3), "abc");

    g.HilightInRange("a", "hi", 2, 1, 2, 1, true);
    EXPECT_EQ(g.GridCells(2, 1), "B<hi>a</hi>n<hi>a</hi>n<hi>a</hi> &amp; &quot;A&quot;");
    // A text that reads like a tag stays text.
    g.SetCells(1, 1, "<hi>");
    g.HilightInRange("z", "hi", 1, 1, 1, 1, false);
    g.UnHilightInRange("hi", 1, 1, 1, 1);
    EXPECT_EQ(g.GridCells(1, 1), "<hi>");
}

TEST(GridFillsTest, SwapCellsExchangesTextsAndProperties) {
    TQorStringGrid g(nullptr);
    g.SetCells(1, 1, "one");
    g.SetColors(1, 1, clRed);
    g.SetCells(2, 3, "two");
    g.SwapCells({1, 1}, {2, 3});
    EXPECT_EQ(g.Cells(1, 1), "two");
    EXPECT_EQ(g.Cells(2, 3), "one");
    EXPECT_EQ(g.Colors(2, 3), clRed);
    EXPECT_EQ(g.Colors(1, 1), clNone);
    g.SetColors(2, 3, clLime); // the moved properties answer for their new cell
    EXPECT_EQ(g.Colors(2, 3), clLime);
    g.SwapCells({1, 1}, {9, 9}); // outside: nothing
    EXPECT_EQ(g.Cells(1, 1), "two");
}

TEST(GridFillsTest, MovingTheCurrentCell) {
    TForm form(nullptr);
    auto* g = new TQorStringGrid(&form);
    g->SetParent(&form);
    g->SetColCount(5);
    g->SetRowCount(30);
    g->SetBounds(0, 0, 300, 100);
    form.Show();
    g->GotoCell(3, 4);
    EXPECT_EQ(g->Col(), 3);
    EXPECT_EQ(g->Row(), 4);
    g->FocusCell(2, 2);
    EXPECT_EQ(g->Selection(), (TGridRect{2, 2, 2, 2}));
    g->MoveToCell(1, 25);
    EXPECT_EQ(g->Row(), 25);
    EXPECT_GT(g->TopRow(), 1) << "scrolled into view";
    g->SetOptions(g->Options() + goEditing);
    g->EditCell(2, 3);
    EXPECT_EQ(g->Col(), 2);
    EXPECT_EQ(g->Row(), 3);
    EXPECT_TRUE(g->EditorMode());
}

TEST(GridFillsTest, RepaintRectWithANegativeCornerDoesNothing) {
    TQorStringGrid g(nullptr);
    g.HandleNeeded();
    g.Repaint();
    ASSERT_FALSE(g.NeedsPaint());
    g.RepaintRect(TRect(-1, 1, 2, 2));
    EXPECT_FALSE(g.NeedsPaint());
    g.RepaintRect(TRect(1, 1, 2, 2));
    EXPECT_TRUE(g.NeedsPaint());
}

} // namespace
