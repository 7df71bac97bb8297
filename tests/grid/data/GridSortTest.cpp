// Sorting the string grid: random tables against std::stable_sort in every comparison style,
// ties, blanks and mixed kinds, un-sorting, the sort specifier and sorting by header clicks.
#include "grid/core/QorStringGrid.h"
#include "grid/data/DataSettings.h"
#include "platform/base/FormatSettings.h"
#include "platform/base/SysUtils.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

// Column 0 holds each row's number (fixed, left of every sort column, so it never breaks ties).
struct SortGrid {
    TQorStringGrid g{nullptr};
    SortGrid(int cols, const std::vector<std::vector<std::string>>& rows) {
        g.SetColCount(cols + 1);
        g.SetRowCount(int(rows.size()) + 1);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            g.SetCells(0, int(r) + 1, std::to_string(r));
            for (std::size_t c = 0; c < rows[r].size(); ++c)
                g.SetCells(int(c) + 1, int(r) + 1, rows[r][c]);
        }
    }
    // The style of one column; the others keep theirs.
    void style(int col, TSortStyle s, std::string prefix = "", std::string suffix = "") {
        g.OnGetFormat = [=](TObject*, int c, TSortStyle& st, std::string& p, std::string& x) {
            if (c != col) return;
            st = s;
            p = prefix;
            x = suffix;
        };
    }
    std::vector<int> order() {
        std::vector<int> out;
        for (int r = 1; r < g.RowCount(); ++r) out.push_back(std::stoi(g.GridCells(0, r)));
        return out;
    }
    std::vector<std::string> column(int c) {
        std::vector<std::string> out;
        for (int r = 1; r < g.RowCount(); ++r) out.push_back(g.GridCells(c, r));
        return out;
    }
};

// Keys written for the test, independent of the grid's own readers.
double numberOf(const std::string& t) {
    double v = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    return ec == std::errc() && end == t.data() + t.size() ? v : 0;
}
double dateOf(const std::string& t) { // d/m/yyyy
    int d = 0, m = 0, y = 0;
    if (std::sscanf(t.c_str(), "%d/%d/%d", &d, &m, &y) != 3) return 0;
    return y * 10000.0 + m * 100 + d;
}
std::u16string upperAscii(const std::string& t) {
    std::u16string s = Utf8ToWide(t);
    for (auto& c : s)
        if (c >= 'a' && c <= 'z') c = char16_t(c - 32);
    return s;
}

std::vector<std::vector<std::string>> randomTable(unsigned seed, int rows) {
    std::mt19937 rng(seed);
    const std::vector<std::string> words = {"apple",
                                            "Apple",
                                            "banana",
                                            "",
                                            "cherry",
                                            "Ärger",
                                            "zebra",
                                            "a",
                                            "\xF0\x9F\x98\x80x",
                                            "\xF1\x80\x80\x80",
                                            "\xEF\xBD\x81"};
    std::vector<std::vector<std::string>> t;
    for (int r = 0; r < rows; ++r) {
        auto pick = [&](int n) { return int(rng() % unsigned(n)); };
        std::string num = pick(6) == 0 ? "" : std::to_string(pick(40) - 20);
        if (pick(5) == 0) num += ".5";
        std::string date = pick(6) == 0
                               ? ""
                               : std::to_string(1 + pick(28)) + "/" + std::to_string(1 + pick(12)) +
                                     "/" + std::to_string(2019 + pick(3));
        t.push_back(
            {words[std::size_t(pick(int(words.size())))], num, date, std::to_string(pick(3))});
    }
    return t;
}

} // namespace

TEST(GridSort, MatchesStableSortInEveryStyleWithTiesAndBlanks) {
    struct Case {
        const char* what;
        int col;
        TSortStyle style;
        std::function<bool(const std::string&, const std::string&)> less;
    };
    const Case cases[] = {
        {"text, UTF-16 order", 1, ssAlphabetic,
         [](auto& a, auto& b) { return Utf8ToWide(a) < Utf8ToWide(b); }},
        {"text, ASCII letters folded", 1, ssAlphaNoCase,
         [](auto& a, auto& b) { return upperAscii(a) < upperAscii(b); }},
        {"numbers, blanks count 0", 2, ssNumeric,
         [](auto& a, auto& b) { return numberOf(a) < numberOf(b); }},
        {"automatic on a number column", 2, ssAutomatic,
         [](auto& a, auto& b) { return numberOf(a) < numberOf(b); }},
        {"dates", 3, ssDate, [](auto& a, auto& b) { return dateOf(a) < dateOf(b); }},
        {"automatic on a date column", 3, ssAutomatic,
         [](auto& a, auto& b) { return dateOf(a) < dateOf(b); }},
        {"short dates EU", 3, ssShortDateEU,
         [](auto& a, auto& b) { return dateOf(a) < dateOf(b); }},
    };
    FormatSettings().ShortDateFormat = "dd/mm/yyyy";
    for (const Case& k : cases)
        for (TSortDirection dir : {sdAscending, sdDescending})
            for (bool full : {false, true}) {
                const auto table = randomTable(7, 300);
                SortGrid s(4, table);
                s.style(k.col, k.style);
                s.g.SortSettings()->SetFull(full);
                s.g.Sort(k.col, dir);
                // Later columns break ties in their own (automatic) styles.
                auto cmp = [&](int c, int a, int b) {
                    const auto& x = table[std::size_t(a)][std::size_t(c - 1)];
                    const auto& y = table[std::size_t(b)][std::size_t(c - 1)];
                    auto less = c == k.col ? k.less
                                : c == 1   ? cases[0].less
                                : c == 3   ? cases[4].less
                                           : cases[2].less;
                    return less(x, y) ? -1 : (less(y, x) ? 1 : 0);
                };
                std::vector<int> want(table.size());
                for (std::size_t i = 0; i < want.size(); ++i) want[i] = int(i);
                std::stable_sort(want.begin(), want.end(), [&](int a, int b) {
                    for (int c = k.col; c <= (full ? 4 : k.col); ++c)
                        if (const int r = cmp(c, a, b); r != 0)
                            return (dir == sdAscending) == (r < 0);
                    return false;
                });
                EXPECT_EQ(s.order(), want)
                    << k.what << (dir == sdAscending ? " asc" : " desc") << (full ? " full" : "");
            }
}

// Long texts that share prefixes across many bytes, texts that begin others, characters of
// one to four bytes and blanks, in thousands of rows; and numbers of both signs with -0.
TEST(GridSort, LongSharedPrefixesAndSignedNumbersMatchStableSort) {
    std::mt19937 rng(11);
    const std::vector<std::string> pieces = {
        "a", "b", "\xC3\xA9", "\xEF\xBD\x81", "\xF0\x9F\x98\x80", "\xF1\x80\x80\x80", " "};
    std::vector<std::vector<std::string>> table;
    for (int r = 0; r < 3000; ++r) {
        // A shared stem of 0, 5, 10 or 15 bytes, then up to 20 random pieces.
        std::string t = std::string("abcdefghijklmnop").substr(0, std::size_t(rng() % 4) * 5);
        for (unsigned n = rng() % 21; n > 0; --n) t += pieces[rng() % pieces.size()];
        const double v = double(int(rng() % 2001) - 1000) / 8;
        table.push_back({t, v == 0 && rng() % 2 ? "-0" : std::to_string(v)});
    }
    struct Case {
        const char* what;
        int col;
        TSortStyle style;
        bool ignoreBlanks;
        std::function<int(const std::string&, const std::string&)> cmp;
    };
    auto text = [](const std::string& a, const std::string& b) {
        const auto x = Utf8ToWide(a), y = Utf8ToWide(b);
        return x < y ? -1 : (y < x ? 1 : 0);
    };
    auto bytes = [](const std::string& a, const std::string& b) {
        const int r = a.compare(b);
        return r < 0 ? -1 : (r > 0 ? 1 : 0);
    };
    auto number = [](const std::string& a, const std::string& b) {
        const double x = std::stod(a), y = std::stod(b);
        return x < y ? -1 : (y < x ? 1 : 0);
    };
    const Case cases[] = {
        {"texts in UTF-16 order", 1, ssAlphabetic, false, text},
        {"texts in UTF-16 order, blanks last", 1, ssAlphabetic, true, text},
        {"texts by bytes", 1, ssAnsiAlphaCase, false, bytes},
        {"numbers", 2, ssNumeric, false, number},
    };
    for (const Case& k : cases)
        for (TSortDirection dir : {sdAscending, sdDescending}) {
            SortGrid s(2, table);
            s.style(k.col, k.style);
            s.g.SortSettings()->SetFull(false);
            s.g.SortSettings()->SetIgnoreBlanks(k.ignoreBlanks);
            s.g.SortSettings()->SetBlankPos(blLast);
            s.g.Sort(k.col, dir);
            std::vector<int> want(table.size());
            for (std::size_t i = 0; i < want.size(); ++i) want[i] = int(i);
            std::stable_sort(want.begin(), want.end(), [&](int a, int b) {
                const std::string& x = table[std::size_t(a)][std::size_t(k.col - 1)];
                const std::string& y = table[std::size_t(b)][std::size_t(k.col - 1)];
                if (k.ignoreBlanks && x.empty() != y.empty()) return y.empty();
                const int r = k.cmp(x, y);
                return dir == sdAscending ? r < 0 : r > 0;
            });
            EXPECT_EQ(s.order(), want) << k.what << (dir == sdAscending ? " asc" : " desc");
        }
}

TEST(GridSort, AutomaticStyleBlanksAndPrefixes) {
    struct Case {
        const char* what;
        std::vector<std::string> texts;
        TSortStyle style;
        std::string prefix;
        bool ignoreBlanks;
        TSortBlankPosition pos;
        TSortDirection dir;
        std::vector<std::string> want;
    };
    const Case cases[] = {
        {"numbers with a blank: the blank counts 0",
         {"10", "9", ""},
         ssAutomatic,
         "",
         false,
         blFirst,
         sdAscending,
         {"", "9", "10"}},
        {"blanks last, ascending",
         {"10", "", "9"},
         ssAutomatic,
         "",
         true,
         blLast,
         sdAscending,
         {"9", "10", ""}},
        {"blanks last, descending",
         {"", "9", "10"},
         ssAutomatic,
         "",
         true,
         blLast,
         sdDescending,
         {"10", "9", ""}},
        {"blanks first, descending",
         {"9", "", "10"},
         ssAutomatic,
         "",
         true,
         blFirst,
         sdDescending,
         {"", "10", "9"}},
        {"dates by automatic detection",
         {"12/05/2020", "3/1/2021", "1/6/2020"},
         ssAutomatic,
         "",
         false,
         blFirst,
         sdAscending,
         {"12/05/2020", "1/6/2020", "3/1/2021"}},
        {"a text among dates makes the column text",
         {"12/05/2020", "ab/cd", "3/1/2021"},
         ssAutomatic,
         "",
         false,
         blFirst,
         sdAscending,
         {"12/05/2020", "3/1/2021", "ab/cd"}},
        {"numbers and words compare as text",
         {"b", "10", "9", "a"},
         ssAutomatic,
         "",
         false,
         blFirst,
         sdAscending,
         {"10", "9", "a", "b"}},
        {"financial with prefix and thousand separators",
         {"$1,200", "$950", "$30"},
         ssFinancial,
         "$",
         false,
         blFirst,
         sdAscending,
         {"$30", "$950", "$1,200"}},
        {"a cell holding only its prefix is blank",
         {"$5", "$", "$1"},
         ssNumeric,
         "$",
         true,
         blLast,
         sdAscending,
         {"$1", "$5", "$"}},
        {"alphanumeric: all numbers",
         {"10", "9", "100"},
         ssAlphaNumeric,
         "",
         false,
         blFirst,
         sdAscending,
         {"9", "10", "100"}},
        {"alphanumeric: mixed is text",
         {"10", "9", "x"},
         ssAlphaNumeric,
         "",
         false,
         blFirst,
         sdAscending,
         {"10", "9", "x"}},
        {"times",
         {"10:30", "9:05", "23:59"},
         ssAutomatic,
         "",
         false,
         blFirst,
         sdAscending,
         {"9:05", "10:30", "23:59"}},
    };
    for (const Case& k : cases) {
        std::vector<std::vector<std::string>> rows;
        for (auto& t : k.texts) rows.push_back({t});
        SortGrid s(1, rows);
        if (k.style != ssAutomatic) s.style(1, k.style, k.prefix);
        s.g.SortSettings()->SetIgnoreBlanks(k.ignoreBlanks);
        s.g.SortSettings()->SetBlankPos(k.pos);
        s.g.Sort(1, k.dir);
        EXPECT_EQ(s.column(1), k.want) << k.what;
    }
}

TEST(GridSort, CustomAndRawComparisonsAndCheckBoxes) {
    SortGrid s(2, {{"bb", ""}, {"a", ""}, {"ccc", ""}});
    s.style(1, ssCustom);
    s.g.OnCustomCompare = [](TObject*, const std::string& a, const std::string& b, int& res) {
        res = int(a.size()) - int(b.size());
    };
    s.g.Sort(1, sdDescending);
    EXPECT_EQ(s.column(1), (std::vector<std::string>{"ccc", "bb", "a"}));

    s.style(1, ssRaw);
    s.g.OnRawCompare = [&](TObject*, int c, int r1, int r2, int& res) {
        res = s.g.GridCells(c, r1).compare(s.g.GridCells(c, r2));
    };
    s.g.Sort(1, sdAscending);
    EXPECT_EQ(s.column(1), (std::vector<std::string>{"a", "bb", "ccc"}));

    // A comparison that is no order at all still ends with every row once.
    s.g.OnRawCompare = [](TObject*, int, int, int, int& res) { res = 1; };
    s.g.Sort(1, sdAscending);
    auto o = s.order();
    std::sort(o.begin(), o.end());
    EXPECT_EQ(o, (std::vector<int>{0, 1, 2}));

    s.g.OnGetFormat = nullptr;
    s.g.AddCheckBoxColumn(2, true, false);
    s.g.SetCheckBoxState(2, 2, false);
    const int unticked = s.order()[1];
    s.g.Sort(2, sdAscending);
    EXPECT_EQ(s.order()[0], unticked) << "the unticked box first";
}

TEST(GridSort, RowsKeepTheirPropertiesSelectionAndHiddenNeighboursAndUnSortRestores) {
    SortGrid s(2, {{"c", "x"}, {"a", "y"}, {"d", "z"}, {"b", "w"}});
    s.g.MouseActions()->SetDisjunctRowSelect(true);
    s.g.SetRowColor(1, clRed); // row "c"
    s.g.SetRowSelect(2, true); // row "a"
    s.g.HideRow(3);            // row "d"
    s.g.Sort(1, sdAscending);
    EXPECT_EQ(s.column(1), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(s.g.CellProperties(1, 3)->BrushColor(), clRed);
    EXPECT_TRUE(s.g.RowSelect(1));
    EXPECT_FALSE(s.g.RowSelect(2));
    s.g.Sort(2, sdDescending);
    EXPECT_EQ(s.column(2), (std::vector<std::string>{"y", "x", "w"}));
    s.g.QUnSort();
    EXPECT_EQ(s.column(1), (std::vector<std::string>{"c", "a", "b"}));
    s.g.UnHideRowsAll();
    EXPECT_EQ(s.column(1), (std::vector<std::string>{"c", "a", "d", "b"}));

    // Once rows came or went the old order is gone: un-sorting keeps the present one.
    s.g.Sort(1, sdAscending);
    s.g.SetRowCount(s.g.RowCount() + 1);
    const auto now = s.column(1);
    s.g.QUnSort();
    EXPECT_EQ(s.column(1), now);
}

TEST(GridSort, FixedFootersAndNormalCellsOnlyStayInPlace) {
    SortGrid s(1, {{"b"}, {"a"}, {"c"}, {"footer"}});
    s.g.SetFixedCols(1);
    s.g.SetFixedFooters(1);
    s.g.SortSettings()->SetNormalCellsOnly(true);
    s.g.Sort(1, sdDescending);
    EXPECT_EQ(s.column(1), (std::vector<std::string>{"c", "b", "a", "footer"}));
    EXPECT_EQ(s.order(), (std::vector<int>{0, 1, 2, 3}));
}

TEST(GridSort, IndexedSortAndTheSortSpecifier) {
    SortGrid s(2, {{"a", "1"}, {"b", "2"}, {"a", "3"}, {"b", "1"}});
    EXPECT_THROW(s.g.QSortIndexed(), EQorGridError);
    s.g.SortIndexes()->AddIndex(1, false);
    s.g.SortIndexes()->AddIndex(2, true);
    s.g.SortSettings()->SetIndexShow(true);
    s.g.QSortIndexed();
    EXPECT_EQ(s.order(), (std::vector<int>{3, 1, 0, 2}));
    EXPECT_EQ(s.g.SortSettings()->SaveToString(), "i;d1;u2");

    s.g.SortSettings()->SetIndexShow(false);
    s.g.SortSettings()->LoadFromString("u2");
    EXPECT_EQ(s.column(2), (std::vector<std::string>{"1", "1", "2", "3"}));
    EXPECT_TRUE(s.g.SortSettings()->Show());
    s.g.SortSettings()->LoadFromString("x1");
    EXPECT_EQ(s.column(1), (std::vector<std::string>{"b", "b", "a", "a"}));
    EXPECT_EQ(s.g.SortSettings()->SaveToString(), "d1");
    s.g.SortSettings()->LoadFromString("i;");
    EXPECT_TRUE(s.g.SortSettings()->IndexShow());
    EXPECT_THROW(s.g.SortSettings()->LoadFromString("u"), ESortSettingsError);
    s.g.SortSettings()->Remove();
    EXPECT_EQ(s.g.SortSettings()->Column(), -1);
    EXPECT_EQ(s.g.SortIndexes()->Count(), 0);
}

TEST(GridSort, SortLineBeforeAnySortAndCompareLine) {
    SortGrid s(2, {{"b", "1"}, {"a", "2"}, {"a", "1"}});
    EXPECT_EQ(s.g.SortDir(), 1);
    EXPECT_TRUE(s.g.SortLine(1, 1, 2));
    EXPECT_EQ(s.column(1), (std::vector<std::string>{"a", "b", "a"}));
    EXPECT_EQ(s.g.CompareLine(1, 1, 3), 1) << "the tie goes on to column 2";
    s.g.IgnoreColumns()->Add(2);
    EXPECT_EQ(s.g.CompareLine(1, 1, 3), 0);
    s.g.SortByColumn(-1); // no sort column: nothing
    EXPECT_EQ(s.column(1), (std::vector<std::string>{"a", "b", "a"}));
}

namespace {
struct ClickGrid : SortGrid {
    TForm form{nullptr};
    TQorStringGrid* v;
    ClickGrid() : SortGrid(0, {}) {
        form.SetBounds(0, 0, 400, 300);
        v = new TQorStringGrid(&form);
        v->SetParent(&form);
        v->SetBounds(0, 0, 380, 260);
        v->SetColCount(3);
        v->SetRowCount(5);
        const char* texts[] = {"b", "c", "a", "d"};
        for (int r = 1; r < 5; ++r) {
            v->SetCells(1, r, texts[r - 1]);
            v->SetCells(2, r, std::to_string(r));
        }
        v->SortSettings()->SetShow(true);
        form.Show();
    }
    TPoint header(int c) {
        TRect rc = v->CellRect(c, 0);
        return {rc.Left + 10, rc.Top + 5};
    }
    std::vector<std::string> col1() {
        std::vector<std::string> out;
        for (int r = 1; r < v->RowCount(); ++r) out.push_back(v->GridCells(1, r));
        return out;
    }
};
} // namespace

TEST(GridSort, HeaderClicksThroughQtSortReverseAndUndo) {
    ClickGrid m;
    m.v->SortSettings()->SetUndoSort(true);
    std::vector<int> clicked;
    m.v->OnClickSort = [&](TObject*, int c) { clicked.push_back(c); };
    const std::vector<std::vector<std::string>> want = {
        {"a", "b", "c", "d"}, {"d", "c", "b", "a"}, {"b", "c", "a", "d"}};
    for (const auto& w : want) {
        uitest::postNativeClickAt(m.v, m.header(1));
        uitest::processMessages();
        EXPECT_EQ(m.col1(), w);
    }
    EXPECT_EQ(clicked, (std::vector<int>{1, 1, -1}));

    // Refused by OnCanSort: nothing moves.
    m.v->OnCanSort = [](TObject*, int, bool& doSort) { doSort = false; };
    uitest::postNativeClickAt(m.v, m.header(1));
    uitest::processMessages();
    EXPECT_EQ(m.col1(), want[2]);
}

TEST(GridSort, ShiftClickBuildsAnIndexedSort) {
    ClickGrid m;
    m.v->SortSettings()->SetIndexShow(true);
    for (int r = 1; r < 5; ++r) m.v->SetCells(1, r, r < 3 ? "x" : "y");
    uitest::click(m.v, m.header(1));
    uitest::click(m.v, m.header(2), TShiftState{ssShift});
    EXPECT_EQ(m.v->SortIndexes()->SaveToString(), "u1;u2");
    uitest::click(m.v, m.header(2), TShiftState{ssShift});
    EXPECT_EQ(m.v->SortIndexes()->SaveToString(), "u1;d2");
    std::vector<std::string> c2;
    for (int r = 1; r < 5; ++r) c2.push_back(m.v->GridCells(2, r));
    EXPECT_EQ(c2, (std::vector<std::string>{"2", "1", "4", "3"}));
    uitest::click(m.v, m.header(2));
    EXPECT_EQ(m.v->SortIndexes()->SaveToString(), "u2");
    EXPECT_EQ(m.v->SortSettings()->Column(), 2);
}
