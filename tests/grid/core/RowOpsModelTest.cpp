// Row and column operations checked against a plain model of the same steps: every real row
// with its texts, colours (cell properties), hidden state and selection flag, the per-display-row
// modified and enabled flags, and every real column with its visibility.
#include "grid/core/QorStringGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kCols = 4;

struct MRow {
    std::vector<std::string> text = std::vector<std::string>(kCols);
    std::vector<TColor> color = std::vector<TColor>(kCols, clNone);
    bool hidden = false;
    bool selected = false;
};

struct Model {
    std::vector<MRow> rows;     // real order
    std::vector<char> modified; // by display row
    std::vector<char> disabled; // by display row

    int displayCount() const {
        return int(std::count_if(rows.begin(), rows.end(), [](auto& r) { return !r.hidden; }));
    }
    // The real index of display row d; rows.size() past the last shown one.
    int realOf(int d) const {
        for (int i = 0; i < int(rows.size()); ++i)
            if (!rows[std::size_t(i)].hidden && d-- == 0) return i;
        return int(rows.size());
    }
    MRow& shown(int d) { return rows[std::size_t(realOf(d))]; }
    static void flag(std::vector<char>& v, int i, bool on) {
        if (v.size() <= std::size_t(i)) v.resize(std::size_t(i) + 1, 0);
        v[std::size_t(i)] = on;
    }

    void insert(int d, int n) {
        rows.insert(rows.begin() + realOf(d), std::size_t(n), MRow{});
        for (auto* v : {&modified, &disabled})
            if (v->size() > std::size_t(d)) v->insert(v->begin() + d, std::size_t(n), 0);
    }
    void remove(int d, int n) {
        n = std::min(n, displayCount() - d);
        const int first = realOf(d), last = realOf(d + n - 1);
        for (int i = last; i >= first; --i)
            if (!rows[std::size_t(i)].hidden) rows.erase(rows.begin() + i);
        for (auto* v : {&modified, &disabled})
            if (v->size() > std::size_t(d))
                v->erase(v->begin() + d, v->begin() + std::min<int>(d + n, int(v->size())));
    }
    void swap(int d1, int d2) {
        std::swap(shown(d1), shown(d2));
        for (auto* v : {&modified, &disabled}) {
            if (v->size() <= std::size_t(std::max(d1, d2)))
                v->resize(std::size_t(std::max(d1, d2)) + 1, 0);
            std::swap((*v)[std::size_t(d1)], (*v)[std::size_t(d2)]);
        }
    }
};

class RowOpsModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        g.SetColCount(kCols);
        g.SetRowCount(8);
        g.SetFixedRows(1);
        g.MouseActions()->SetDisjunctRowSelect(true);
        g.MouseActions()->SetRowSelectPersistent(true);
        g.ShowModified()->SetEnabled(true);
        m.rows.resize(8);
        for (int r = 0; r < 8; ++r) setText(1, r, "r" + std::to_string(r));
    }
    void setText(int c, int d, const std::string& t) {
        g.SetCells(c, d, t);
        m.shown(d).text[std::size_t(c)] = t;
    }
    void setColor(int c, int d, TColor color) {
        g.SetColors(c, d, color);
        m.shown(d).color[std::size_t(c)] = color;
    }

    void check(const std::string& step) {
        SCOPED_TRACE(step);
        ASSERT_EQ(g.TotalRowCount(), int(m.rows.size()));
        ASSERT_EQ(g.RowCount(), m.displayCount());
        std::vector<int> selected;
        for (int r = 0; r < int(m.rows.size()); ++r) {
            const MRow& row = m.rows[std::size_t(r)];
            ASSERT_EQ(g.IsHiddenRow(r), row.hidden) << "real row " << r;
            ASSERT_EQ(g.RowSelect(r), row.selected) << "real row " << r;
            if (row.selected) selected.push_back(r);
            for (int c = 0; c < kCols; ++c) {
                ASSERT_EQ(g.AllCells(c, r), row.text[std::size_t(c)]) << c << "," << r;
                TCellProperties* p = g.AllCellProperties(c, r);
                ASSERT_EQ(p ? p->BrushColor() : clNone, row.color[std::size_t(c)]) << c << "," << r;
            }
        }
        for (int d = 0; d < g.RowCount(); ++d) {
            const bool mod = std::size_t(d) < m.modified.size() && m.modified[std::size_t(d)];
            const bool off = std::size_t(d) < m.disabled.size() && m.disabled[std::size_t(d)];
            ASSERT_EQ(g.RowModified(d), mod) << "display row " << d;
            ASSERT_EQ(g.RowEnabled(d), !off) << "display row " << d;
        }
        std::vector<int> listed;
        for (int i = 0; g.SelectedRow(i) >= 0; ++i) listed.push_back(g.SelectedRow(i));
        std::sort(listed.begin(), listed.end());
        ASSERT_EQ(listed, selected);
        ASSERT_EQ(g.RowSelectCount(), int(selected.size()));
    }

    TQorStringGrid g{nullptr};
    Model m;
};

TEST_F(RowOpsModelTest, RandomSequencesKeepEverythingWithItsRow) {
    std::mt19937 rng(20261210);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    int stamp = 0;
    for (int step = 0; step < 3000; ++step) {
        const int rowsShown = g.RowCount();
        const int op = pick(0, 11);
        std::string what;
        if (op == 0 || (op <= 2 && rowsShown < 3)) {
            const int d = pick(1, rowsShown), n = pick(1, 3);
            what = "InsertRows " + std::to_string(d) + "," + std::to_string(n);
            g.InsertRows(d, n);
            m.insert(d, n);
        } else if (op == 1 && rowsShown > 1) {
            const int d = pick(1, rowsShown - 1), n = pick(1, 4);
            what = "RemoveRows " + std::to_string(d) + "," + std::to_string(n);
            g.RemoveRows(d, n);
            m.remove(d, n);
        } else if (op == 2 && rowsShown > 1) {
            const int d = pick(1, rowsShown - 1), n = pick(1, 2);
            what = "DoRemoveRows " + std::to_string(d) + "," + std::to_string(n);
            g.DoRemoveRows(d, n);
            m.remove(d, n);
        } else if (op == 3 && rowsShown > 2) {
            const int a = pick(1, rowsShown - 1), b = pick(1, rowsShown - 1);
            what = "SwapRows " + std::to_string(a) + "," + std::to_string(b);
            g.SwapRows(a, b);
            if (a != b) m.swap(a, b);
        } else if (op == 4 && rowsShown > 2) {
            const int d = pick(1, rowsShown - 1);
            const int r = m.realOf(d);
            what = "HideRow " + std::to_string(r);
            g.HideRow(r);
            m.rows[std::size_t(r)].hidden = true;
        } else if (op == 5) {
            const int r = pick(1, int(m.rows.size()) - 1);
            what = "UnHideRow " + std::to_string(r);
            g.UnHideRow(r);
            m.rows[std::size_t(r)].hidden = false;
        } else if (op == 6) {
            const int d = pick(0, rowsShown - 1), c = pick(0, kCols - 1);
            what = "SetCells";
            setText(c, d, "t" + std::to_string(++stamp));
        } else if (op == 7 && rowsShown > 1) {
            const int d = pick(1, rowsShown - 1), c = pick(0, kCols - 1);
            what = "SetColors";
            setColor(c, d, TColor(0x010000 * (++stamp % 200)));
        } else if (op == 8) {
            const int d = pick(1, rowsShown - 1 + 2);
            what = "SetRowModified " + std::to_string(d);
            g.SetRowModified(d, true);
            Model::flag(m.modified, d, true);
        } else if (op == 9 && rowsShown > 1) {
            const int d = pick(1, rowsShown - 1);
            const bool on = pick(0, 1);
            what = "SetRowEnabled " + std::to_string(d);
            g.SetRowEnabled(d, on);
            Model::flag(m.disabled, d, !on);
        } else if (op >= 10 && m.rows.size() > 1) {
            const int r = pick(1, int(m.rows.size()) - 1);
            const bool on = pick(0, 2) > 0;
            what = "SetRowSelect " + std::to_string(r);
            g.SetRowSelect(r, on);
            m.rows[std::size_t(r)].selected = on;
        } else {
            continue;
        }
        ASSERT_NO_FATAL_FAILURE(check("step " + std::to_string(step) + ": " + what));
    }
}

// Columns: cells of shown and hidden rows, visibility and widths follow inserted, removed and
// swapped real columns.
TEST(ColumnOpsModelTest, RandomSequencesKeepEverythingWithItsColumn) {
    struct MCol {
        std::vector<std::string> text;
        bool hidden = false;
        int width = 64;
    };
    constexpr int kRows = 5;
    TQorStringGrid g(nullptr);
    g.SetRowCount(kRows);
    g.SetColCount(5);
    std::vector<MCol> cols(5, MCol{std::vector<std::string>(kRows), false, 64});
    int stamp = 0;
    auto setText = [&](int real, int r) {
        const std::string t = "c" + std::to_string(++stamp);
        g.SetAllCells(real, r, t);
        cols[std::size_t(real)].text[std::size_t(r)] = t;
    };
    for (int c = 0; c < 5; ++c)
        for (int r = 0; r < kRows; ++r) setText(c, r);
    g.HideRow(3); // a hidden row's cells move with the columns too

    std::mt19937 rng(7);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int step = 0; step < 1500; ++step) {
        const int total = int(cols.size());
        const int op = pick(0, 6);
        std::string what;
        if (op == 0) {
            const int at = pick(0, total), n = pick(1, 2);
            what = "InsertCols " + std::to_string(at) + "," + std::to_string(n);
            g.InsertCols(at, n);
            cols.insert(cols.begin() + at, std::size_t(n),
                        MCol{std::vector<std::string>(kRows), false, g.DefaultColWidth()});
        } else if (op == 1 && g.ColCount() > 2 && total > 3) {
            const int at = pick(0, total - 1);
            const int n = std::min(pick(1, 2), total - at);
            int shown = 0;
            for (int i = at; i < at + n; ++i) shown += !cols[std::size_t(i)].hidden;
            if (shown >= g.ColCount()) continue;
            what = "RemoveCols " + std::to_string(at) + "," + std::to_string(n);
            g.RemoveCols(at, n);
            cols.erase(cols.begin() + at, cols.begin() + at + n);
        } else if (op == 2) {
            const int a = pick(0, total - 1), b = pick(0, total - 1);
            what = "SwapColumns " + std::to_string(a) + "," + std::to_string(b);
            g.SwapColumns(a, b);
            std::swap(cols[std::size_t(a)].text, cols[std::size_t(b)].text);
            if (!cols[std::size_t(a)].hidden && !cols[std::size_t(b)].hidden)
                std::swap(cols[std::size_t(a)].width, cols[std::size_t(b)].width);
        } else if (op == 3 && g.ColCount() > 2) {
            const int c = pick(0, total - 1);
            what = "HideColumn " + std::to_string(c);
            g.HideColumn(c);
            cols[std::size_t(c)].hidden = true;
        } else if (op == 4) {
            const int c = pick(0, total - 1);
            what = "UnHideColumn " + std::to_string(c);
            g.UnHideColumn(c);
            cols[std::size_t(c)].hidden = false;
        } else if (op == 5) {
            const int c = pick(0, total - 1);
            if (cols[std::size_t(c)].hidden) continue;
            const int w = pick(10, 99);
            what = "ColWidths";
            g.SetColWidths(g.DisplColIndex(c), w);
            cols[std::size_t(c)].width = w;
        } else {
            what = "SetAllCells";
            setText(pick(0, total - 1), pick(0, kRows - 1));
        }
        SCOPED_TRACE("step " + std::to_string(step) + ": " + what);
        ASSERT_EQ(g.TotalColCount(), int(cols.size()));
        for (int c = 0; c < int(cols.size()); ++c) {
            const MCol& col = cols[std::size_t(c)];
            ASSERT_EQ(g.IsHiddenColumn(c), col.hidden) << c;
            ASSERT_EQ(g.AllColWidths(c), col.width) << c;
            for (int r = 0; r < kRows; ++r)
                ASSERT_EQ(g.AllCells(c, r), col.text[std::size_t(r)]) << c << "," << r;
        }
    }
}

} // namespace
