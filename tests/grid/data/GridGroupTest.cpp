// Grouping: node rows and summaries, group calculations, a second level, sorting inside groups
// and undoing it all.
#include "grid/core/QorColumnGrid.h"
#include "grid/data/DataSettings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::vector<std::string>>;

// Columns: 0 the node column, 1 the name, 2 the group value, 3 a number; row 0 the header.
template <typename Grid = TQorStringGrid> struct GroupGrid {
    Grid g{nullptr};
    GroupGrid(const Rows& rows) {
        g.SetColCount(4);
        g.SetRowCount(int(rows.size()) + 1);
        g.SetCells(1, 0, "name");
        g.SetCells(2, 0, "kind");
        g.SetCells(3, 0, "n");
        for (std::size_t r = 0; r < rows.size(); ++r)
            for (std::size_t c = 0; c < rows[r].size(); ++c)
                g.SetCells(int(c) + 1, int(r) + 1, rows[r][c]);
    }
    // Each row: "N" for a node row, "S" for a summary row, then its texts from column 1.
    std::vector<std::string> layout() {
        std::vector<std::string> out;
        for (int r = 1; r < g.RowCount(); ++r) {
            std::string line = g.IsNode(r) ? "N" : (g.IsSummary(r) ? "S" : "-");
            for (int c = 1; c < g.TotalColCount(); ++c) line += "|" + g.GridCells(c, r);
            out.push_back(line);
        }
        return out;
    }
    Rows cells() {
        Rows out;
        for (int r = 0; r < g.RowCount(); ++r) {
            std::vector<std::string> row;
            for (int c = 1; c < g.TotalColCount(); ++c) row.push_back(g.GridCells(c, r));
            out.push_back(row);
        }
        return out;
    }
};

const Rows sample = {{"x", "B", "1"}, {"y", "A", "2"}, {"z", "A", "4"}};

} // namespace

TEST(GridGroup, GroupsWithNodesAndSummariesAndUngroupsCleanly) {
    for (bool summary : {false, true}) {
        GroupGrid<> t(sample);
        t.g.SetRowColor(1, clRed); // row "x"
        const Rows sorted = {
            {"name", "kind", "n"}, {"y", "A", "2"}, {"z", "A", "4"}, {"x", "B", "1"}};
        t.g.Grouping()->SetSummary(summary);
        t.g.Group(2);
        EXPECT_EQ(t.g.GroupColumn(), 2);
        EXPECT_EQ(t.g.ColCount(), 3);
        if (!summary) {
            EXPECT_EQ(t.layout(),
                      (std::vector<std::string>{"N|A|", "-|y|2", "-|z|4", "N|B|", "-|x|1"}));
            EXPECT_EQ(t.g.GetNodeSpan(1), 3);
            EXPECT_EQ(t.g.GetNodeSpan(4), 2);
        } else {
            EXPECT_EQ(t.layout(), (std::vector<std::string>{"N|A|", "-|y|2", "-|z|4", "S||", "N|B|",
                                                            "-|x|1", "S||"}));
            t.g.GroupSum(2);
            t.g.GroupCount(1);
            EXPECT_EQ(t.g.Floats(2, 4), 6);
            EXPECT_EQ(t.g.Floats(2, 7), 1);
            EXPECT_EQ(t.g.GridCells(1, 4), "2");
            EXPECT_EQ(t.g.GridCells(1, 7), "1");
            // A contracted group is left alone.
            t.g.ContractNode(t.g.RealRowIndex(5));
            t.g.GroupMax(2);
            EXPECT_EQ(t.g.Floats(2, 4), 4);
            t.g.ExpandAll();
        }
        EXPECT_EQ(t.g.CellProperties(1, summary ? 6 : 5)->BrushColor(), clRed);
        t.g.UnGroup();
        EXPECT_EQ(t.g.GroupColumn(), -1);
        EXPECT_EQ(t.g.NumNodes(), 0);
        EXPECT_EQ(t.cells(), sorted) << summary;
        EXPECT_EQ(t.g.CellProperties(1, 3)->BrushColor(), clRed);
        EXPECT_FALSE(t.g.IsSummary(3));
    }
}

TEST(GridGroup, ByColumnOneAndTheRefusedColumns) {
    GroupGrid<> t(sample);
    t.g.Group(1);
    EXPECT_EQ(t.layout()[0], "N|x|");
    t.g.UnGroup();
    EXPECT_EQ(t.cells()[0], (std::vector<std::string>{"name", "kind", "n"}));
    EXPECT_EQ(t.cells()[1], (std::vector<std::string>{"x", "B", "1"}));

    // Column 0 carries the node glyphs; GroupColumn := 0 and UnGroup of nothing do nothing.
    t.g.Group(0);
    t.g.SetGroupColumn(0);
    t.g.UnGroup();
    EXPECT_EQ(t.g.NumNodes(), 0);
    EXPECT_EQ(t.g.ColCount(), 4);
}

TEST(GridGroup, ValuesUserDataMayHoldStartGroupsToo) {
    GroupGrid<> t({{"a", "\xC3\xBF\xC3\xBE", "1"}, {"b", "\xC3\xBF\xC3\xBE", "2"}});
    t.g.SortSettings()->SetAutoSortForGrouping(false);
    t.g.Group(2);
    EXPECT_EQ(t.layout(), (std::vector<std::string>{"N|\xC3\xBF\xC3\xBE|", "-|a|1", "-|b|2"}));
}

TEST(GridGroup, SubGroupsAndSortingInsideGroups) {
    GroupGrid<> t({{"p", "A", "2"}, {"q", "A", "2"}, {"r", "A", "1"}, {"s", "B", "1"}});
    t.g.Group(2);
    // The automatic sort broke the ties of the group column by n: r, p, q. Columns now: name,
    // n; sub-groups by n inside each group, the value shown in the sub-header only.
    t.g.SubGroup(2);
    EXPECT_EQ(t.layout(), (std::vector<std::string>{"N|A|", "N||1", "-|r|", "N||2", "-|p|", "-|q|",
                                                    "N|B|", "N||1", "-|s|"}));
    EXPECT_EQ(t.g.GetNodeSpan(1), 6);
    t.g.SortSettings()->SetColumn(1);
    t.g.SortSettings()->SetDirection(sdDescending);
    t.g.QSortGroup();
    EXPECT_EQ(t.layout()[4], "-|q|");
    EXPECT_EQ(t.layout()[5], "-|p|");
    t.g.SubUnGroup(2);
    EXPECT_EQ(t.layout(),
              (std::vector<std::string>{"N|A|", "-|r|1", "-|q|2", "-|p|2", "N|B|", "-|s|1"}));
    // After a second level, ungrouping brings the grouped column back.
    t.g.SubGroup(2);
    t.g.UnGroup();
    EXPECT_EQ(t.g.ColCount(), 4);
    EXPECT_EQ(t.cells()[0], (std::vector<std::string>{"name", "kind", "n"}));
    EXPECT_EQ(t.g.NumNodes(), 0);
}

TEST(GridGroup, TheColumnGridKeepsTheGroupedColumnsSettings) {
    GroupGrid<TQorColumnGrid> t(sample);
    t.g.Columns()->Items(2)->SetWidth(123);
    t.g.Columns()->Items(2)->SetHeader("kind");
    t.g.Group(2);
    EXPECT_EQ(t.g.Columns()->Count(), 3);
    t.g.UnGroup();
    EXPECT_EQ(t.g.Columns()->Items(2)->Width(), 123);
    EXPECT_EQ(t.g.Columns()->Items(2)->Header(), "kind");
}
