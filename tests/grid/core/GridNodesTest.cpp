#include "grid/core/QorStringGrid.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// A grid of Rows rows under one header row; column 1 holds "r<real row>", every row its own
// height.
std::unique_ptr<TQorStringGrid> treeGrid(int Rows) {
    auto g = std::make_unique<TQorStringGrid>(nullptr);
    g->SetColCount(3);
    g->SetRowCount(Rows);
    for (int r = 0; r < Rows; ++r) {
        g->SetCells(1, r, "r" + std::to_string(r));
        g->SetRowHeights(r, 20 + r);
    }
    return g;
}

// The texts of column 1 as shown, top to bottom.
std::vector<std::string> shown(TQorStringGrid& g) {
    std::vector<std::string> v;
    for (int r = 0; r < g.RowCount(); ++r) v.push_back(g.Cells(1, r));
    return v;
}

std::vector<std::string> rows(std::initializer_list<int> real) {
    std::vector<std::string> v;
    for (int r : real) v.push_back("r" + std::to_string(r));
    return v;
}

TEST(GridNodesTest, NodeOverThreeRowsContractsAndExpandsWithItsRows) {
    auto g = treeGrid(6);
    g->AddNode(1, 3);
    EXPECT_TRUE(g->IsNode(1));
    EXPECT_EQ(g->NumNodes(), 1);
    EXPECT_FALSE(g->GetNodeState(1));
    EXPECT_EQ(g->GetNodeSpan(1), 3);
    EXPECT_EQ(g->GetNodeSpan(2), -1);
    const std::pair<int, int> levels[] = {{0, -1}, {1, 1}, {2, -1}, {4, -1}};
    for (auto [row, level] : levels) EXPECT_EQ(g->GetNodeLevel(row), level) << row;
    for (int r = 1; r <= 3; ++r) EXPECT_EQ(g->CellProperties(0, r)->NodeLevel(), 1) << r;
    const std::pair<int, int> parents[] = {{1, 1}, {2, 1}, {3, 1}, {4, -1}, {5, -1}};
    for (auto [row, parent] : parents) EXPECT_EQ(g->GetParentRow(row), parent) << row;
    EXPECT_EQ(g->Col(), 1) << "the current cell leaves the node column";

    g->ContractNode(1);
    EXPECT_EQ(g->RowCount(), 4);
    EXPECT_TRUE(g->GetNodeState(1));
    EXPECT_TRUE(g->IsHiddenRow(2));
    EXPECT_TRUE(g->IsHiddenRow(3));
    EXPECT_EQ(shown(*g), rows({0, 1, 4, 5}));
    EXPECT_EQ(g->GetParentRow(2), -1) << "display row 2 is real row 4";

    g->ExpandNode(1);
    EXPECT_EQ(g->RowCount(), 6);
    EXPECT_FALSE(g->GetNodeState(1));
    EXPECT_EQ(shown(*g), rows({0, 1, 2, 3, 4, 5}));
    for (int r = 0; r < 6; ++r) EXPECT_EQ(g->RowHeights(r), 20 + r) << r;

    // Only a contracted node expands and only an expanded one contracts.
    g->ExpandNode(1);
    EXPECT_EQ(g->RowCount(), 6);
    g->SetNodeState(1, true);
    g->ContractNode(1);
    EXPECT_EQ(g->RowCount(), 4);
    g->SetNodeState(1, false);
    EXPECT_EQ(g->RowCount(), 6);
}

TEST(GridNodesTest, OuterNodeHidesAndRestoresAContractedInnerNode) {
    auto g = treeGrid(9);
    g->AddNode(1, 6); // rows 1..6
    g->AddNode(2, 3); // rows 2..4, inside
    EXPECT_EQ(g->GetNodeLevel(1), 1);
    EXPECT_EQ(g->GetNodeLevel(2), 2);
    EXPECT_EQ(g->GetParentRow(2), 1);
    EXPECT_EQ(g->GetParentRow(3), 2);
    EXPECT_EQ(g->GetParentRow(5), 1);

    g->ContractNode(2);
    EXPECT_EQ(shown(*g), rows({0, 1, 2, 5, 6, 7, 8}));
    EXPECT_EQ(g->GetParentRow(3), 1) << "display row 3 is real row 5";
    g->ContractNode(1);
    EXPECT_EQ(shown(*g), rows({0, 1, 7, 8}));
    g->ExpandNode(1);
    EXPECT_EQ(shown(*g), rows({0, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_FALSE(g->GetNodeState(2)) << "the inner node shows its rows and reads expanded";
    for (int r = 0; r < 9; ++r) EXPECT_EQ(g->RowHeights(r), 20 + r) << r;
}

// A nested tree driven at random, checked against a plain model after every step: a row shows
// when no node around it is contracted, and a node that is hidden with its outer node shows
// again expanded.
TEST(GridNodesTest, RandomExpandAndContractAgainstAPlainModel) {
    struct Node {
        int row, span;
    };
    const Node nodes[] = {{1, 10}, {2, 4}, {3, 2}, {7, 3}, {12, 6}, {13, 2}, {16, 2}, {19, 2}};
    const int total = 21;
    auto g = treeGrid(total);
    for (const Node& n : nodes) g->AddNode(n.row, n.span);
    std::map<int, bool> contracted;
    for (const Node& n : nodes) contracted[n.row] = false;
    auto inside = [&](const Node& n, int r) { return r > n.row && r < n.row + n.span; };
    auto visible = [&](int r) {
        for (const Node& n : nodes)
            if (inside(n, r) && contracted[n.row]) return false;
        return true;
    };
    auto expect = [&] {
        std::vector<std::string> want;
        for (int r = 0; r < total; ++r)
            if (visible(r)) want.push_back("r" + std::to_string(r));
        ASSERT_EQ(shown(*g), want);
        for (const Node& n : nodes) {
            if (!visible(n.row)) continue;
            ASSERT_EQ(g->GetNodeState(g->DisplRowIndex(n.row)), contracted[n.row]) << n.row;
        }
    };
    std::mt19937 rng(7);
    for (int step = 0; step < 300; ++step) {
        SCOPED_TRACE(step);
        const int pick = int(rng() % 20);
        if (pick == 0) {
            g->ExpandAll();
            for (auto& [row, c] : contracted) c = false;
        } else if (pick == 1) {
            g->ContractAll();
            for (const Node& n : nodes) {
                bool outer = false;
                for (const Node& m : nodes) outer = outer || inside(m, n.row);
                contracted[n.row] = !outer;
            }
        } else {
            const Node& n = nodes[rng() % std::size(nodes)];
            if (!visible(n.row)) continue;
            if (contracted[n.row]) {
                g->ExpandNode(n.row);
                contracted[n.row] = false;
            } else {
                g->ContractNode(n.row);
                contracted[n.row] = true;
                for (const Node& m : nodes)
                    if (inside(n, m.row)) contracted[m.row] = false;
            }
        }
        expect();
    }
    g->ExpandAll();
    for (int r = 0; r < total; ++r) EXPECT_EQ(g->RowHeights(r), 20 + r) << r;
}

TEST(GridNodesTest, ContractAllThenOneNodeAndExpandOne) {
    auto g = treeGrid(10);
    g->AddNode(1, 3);
    g->AddNode(4, 3);
    g->AddNode(7, 3);
    g->ContractAll();
    EXPECT_EQ(shown(*g), rows({0, 1, 4, 7}));
    g->ExpandNode(1);
    EXPECT_EQ(shown(*g), rows({0, 1, 2, 3, 4, 7}));
    EXPECT_TRUE(g->GetNodeState(4));
    EXPECT_TRUE(g->GetNodeState(5));

    g->ExpandAll();
    g->CellNode()->SetExpandOne(true);
    g->ContractNode(4);
    g->ExpandNode(4);
    EXPECT_EQ(shown(*g), rows({0, 1, 4, 5, 6, 7})) << "every other node contracts";
}

TEST(GridNodesTest, RemovingNodesLowersTheLevels) {
    auto g = treeGrid(8);
    g->AddNode(1, 5);
    g->AddNode(2, 2);
    g->ContractNode(1);
    g->RemoveNode(1);
    EXPECT_EQ(g->RowCount(), 8) << "a removed node shows its rows";
    EXPECT_FALSE(g->IsNode(1));
    EXPECT_EQ(g->GetNodeLevel(1), -1);
    EXPECT_EQ(g->GetNodeLevel(2), 1);
    EXPECT_EQ(g->CellProperties(0, 4)->NodeLevel(), 0);
    EXPECT_EQ(g->NumNodes(), 1);
    g->RemoveNode(1); // no node there any more
    EXPECT_EQ(g->NumNodes(), 1);

    g->AddNode(5, 2);
    g->ContractNode(2);
    g->RemoveAllNodes();
    EXPECT_EQ(g->NumNodes(), 0);
    EXPECT_FALSE(g->HasNodes());
    EXPECT_EQ(g->RowCount(), 8);
    for (int r = 0; r < 8; ++r) EXPECT_EQ(g->CellProperties(0, r)->NodeLevel(), 0) << r;
}

TEST(GridNodesTest, ChildRowsGrowAndShrinkEveryEnclosingNode) {
    auto g = treeGrid(10);
    g->AddNode(1, 7);        // 1..7
    g->AddNode(3, 3);        // 3..5
    g->InsertChildRow(4, 1); // into the inner node, below its row 4
    EXPECT_EQ(g->RowCount(), 11);
    EXPECT_EQ(g->GetNodeSpan(3), 4);
    EXPECT_EQ(g->GetSubNodeCount(3), 1);
    EXPECT_EQ(g->GetNodeSpan(1), 8);
    EXPECT_EQ(g->GetSubNodeCount(1), 1);
    EXPECT_EQ(g->Cells(1, 5), "");
    EXPECT_EQ(g->CellProperties(0, 5)->NodeLevel(), 2);
    EXPECT_EQ(g->Cells(1, 6), "r5");

    g->RemoveChildRow(5);
    EXPECT_EQ(g->RowCount(), 10);
    EXPECT_EQ(g->GetNodeSpan(3), 3);
    EXPECT_EQ(g->GetNodeSpan(1), 7);
    EXPECT_EQ(shown(*g), rows({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));

    // Into a node row itself: the header's texts move down into the new first child.
    g->InsertChildRow(3, 0);
    EXPECT_EQ(g->Cells(1, 3), "");
    EXPECT_EQ(g->Cells(1, 4), "r3");
    EXPECT_TRUE(g->IsNode(3));

    // Hidden rows below keep their real places.
    auto h = treeGrid(8);
    h->AddNode(1, 2);
    h->AddNode(4, 3);
    h->ContractNode(4);
    h->InsertNormalRow(2);
    EXPECT_TRUE(h->IsHiddenRow(6));
    h->ExpandNode(5);
    EXPECT_EQ(shown(*h)[6], "r5");
}

// Rows hidden by a caller or a filter next to a group or inside it: a node opens and closes
// only its own rows.
TEST(GridNodesTest, RowsHiddenOtherwiseStayOutsideTheGroups) {
    {
        auto g = treeGrid(10);
        g->AddNode(5, 3); // 5..7, the last group
        g->HideRows(8, 9);
        g->ContractNode(5);
        EXPECT_EQ(shown(*g), rows({0, 1, 2, 3, 4, 5}));
        g->ExpandNode(5);
        EXPECT_EQ(shown(*g), rows({0, 1, 2, 3, 4, 5, 6, 7}));
    }
    {
        auto g = treeGrid(8);
        g->AddNode(1, 3); // 1..3
        TIntList filtered(0, 0);
        filtered.Add(4);
        g->HideRowList(filtered);
        g->ContractNode(1);
        g->ExpandNode(1);
        EXPECT_EQ(shown(*g), rows({0, 1, 2, 3, 5, 6, 7}));
    }
    {
        auto g = treeGrid(9);
        g->AddNode(1, 3); // 1..3
        g->AddNode(4, 3); // 4..6
        g->HideRows(2, 2);
        g->ContractNode(1);
        EXPECT_EQ(shown(*g), rows({0, 1, 4, 5, 6, 7, 8}));
        g->ExpandNode(1);
        EXPECT_EQ(shown(*g), rows({0, 1, 2, 3, 4, 5, 6, 7, 8}));
        g->HideRows(2, 2);
        g->ContractAll();
        EXPECT_EQ(shown(*g), rows({0, 1, 4, 7, 8}));
        EXPECT_TRUE(g->GetNodeState(2)) << "the second node is closed too";
        g->ExpandAll();
        EXPECT_EQ(shown(*g), rows({0, 1, 2, 3, 4, 5, 6, 7, 8}))
            << "an open group shows all its rows";
    }
}

// A merged area cut by a group's edge cannot stay merged over the rows that close up: no
// shown cell may answer for, or write into, a cell of another row. An area wholly inside the
// group comes back merged.
TEST(GridNodesTest, MergedAreasAcrossAGroupEdgeSplitWhenTheGroupContracts) {
    struct Case {
        int top, height; // vertical area in column 1
        bool keptMerged;
    } cases[] = {{3, 2, false}, {0, 3, false}, {2, 2, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.top);
        auto g = treeGrid(6);
        g->AddNode(1, 3); // rows 1..3
        g->MergeCells(1, c.top, 1, c.height);
        g->ContractNode(1);
        ASSERT_EQ(shown(*g), rows({0, 1, 4, 5}));
        for (int r = 0; r < g->RowCount(); ++r) EXPECT_EQ(g->BaseCell(1, r), TPoint(1, r)) << r;
        g->SetCells(1, 2, "new");
        g->SetCells(1, 1, "r1");
        EXPECT_EQ(g->Cells(1, 2), "new");
        g->ExpandNode(1);
        EXPECT_EQ(g->AllCells(1, 4), "new");
        EXPECT_EQ(g->Cells(1, 1), "r1");
        EXPECT_EQ(g->IsMergedCell(1, c.top + 1), c.keptMerged);
    }
}

// A child row put in front of the first child of a node whose header row is merged: the
// header's cells move down whole, and no cell is left inside an area whose base moved away.
TEST(GridNodesTest, ChildRowUnderAMergedHeaderLeavesNoTornArea) {
    auto g = treeGrid(6);
    g->AddNode(1, 3);
    g->MergeCells(0, 1, 3, 1);
    g->SetCells(0, 1, "head");
    g->InsertChildRow(1, 0);
    EXPECT_EQ(g->RowCount(), 7);
    EXPECT_TRUE(g->IsNode(1));
    EXPECT_EQ(g->GetNodeSpan(1), 4);
    for (int r : {1, 2})
        for (int c = 0; c < 3; ++c) {
            const TPoint b = g->BaseCell(c, r);
            const TPoint span = g->CellSpan(b.X, b.Y);
            EXPECT_TRUE(b.X + std::max(span.X, 0) >= c && b.Y + std::max(span.Y, 0) >= r)
                << c << "," << r << " answers for " << b.X << "," << b.Y;
        }
    EXPECT_EQ(g->Cells(0, 2), "head");
    g->SetCells(2, 2, "x");
    EXPECT_EQ(g->GridCells(2, 2), "x");
    EXPECT_EQ(g->GridCells(0, 2), "head");
}

TEST(GridNodesTest, NodeGlyphShowsTheStateAndChildRowsAreIndented) {
    auto g = treeGrid(6);
    g->SetScrollBars(ssNone);
    g->SetBounds(0, 0, 200, 150);
    g->SetColWidths(0, 40);
    g->SetCells(0, 2, "child");
    g->SetCells(0, 4, "plain");
    g->AddNode(1, 3);
    g->HandleNeeded();
    auto glyph = [&] {
        g->Repaint();
        const TRect r = g->CellRect(0, 1);
        std::vector<TColor> v;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Left + 20; ++x)
                v.push_back(g->BackingImage()->PixelColor(x, y));
        return v;
    };
    const auto expanded = glyph();
    g->ContractNode(1);
    EXPECT_NE(glyph(), expanded) << "the contracted glyph shows its plus";
    g->ExpandNode(1);
    EXPECT_EQ(glyph(), expanded);
    EXPECT_EQ(g->GetNodeIndent(2), g->CellNode()->NodeIndent());
    EXPECT_EQ(g->GetNodeIndent(4), 0);
}

TEST(GridNodesTest, SpanTypeTellsWhereTheTreeLineEnds) {
    auto g = treeGrid(7);
    g->AddNode(1, 3);
    g->AddNode(5, 2);
    // Row 4 belongs to no node; the line goes on from it to the node below.
    const std::pair<int, int> cases[] = {{1, 0}, {2, 2}, {3, 1}, {4, 2}, {5, 0}, {6, 1}};
    for (auto [row, type] : cases) EXPECT_EQ(g->GetNodeSpanType(row), type) << row;
}

TEST(GridNodesTest, GlyphHitByNodeType) {
    auto g = treeGrid(4);
    g->AddNode(1, 2);
    g->CellNode()->SetNodeIndent(12);
    TBitmap glyph(14, 14);
    struct Case {
        TNodeType type;
        bool withGlyph;
        int x;
        bool hit;
    } cases[] = {
        {cnXP, false, 4, false},    {cnXP, false, 5, true},     {cnXP, false, 15, true},
        {cnXP, false, 16, false},   {cnFlat, false, 10, true},  {cn3D, false, 1, true},
        {cn3D, false, 18, false},   {cnLeaf, false, 3, true},   {cnLeaf, false, 19, true},
        {cnLeaf, false, 20, false}, {cnGlyph, true, 3, true},   {cnGlyph, true, 18, true},
        {cnGlyph, true, 19, false}, {cnGlyph, false, 0, false},
    };
    for (const auto& c : cases) {
        g->CellNode()->SetNodeType(c.type);
        g->CellNode()->SetExpandGlyph(c.withGlyph ? &glyph : nullptr);
        EXPECT_EQ(g->IsOnNodeGlyph(1, c.x), c.hit) << c.type << " x=" << c.x;
    }
    g->MouseActions()->SetPreciseNodeClick(false);
    EXPECT_TRUE(g->IsOnNodeGlyph(1, 300));
}

// A grid in a shown form whose middle point lies on the node glyph of row 1.
class NodeClickTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 300, 300);
        g = new TQorStringGrid(form.get());
        g->SetParent(form.get());
        g->SetScrollBars(ssNone);
        g->SetColCount(3);
        g->SetRowCount(6);
        g->SetDefaultRowHeight(22);
        g->SetColWidths(0, 40);
        for (int r = 0; r < 6; ++r) g->SetCells(1, r, "r" + std::to_string(r));
        g->AddNode(1, 3);
        // Level 1, indent 12, XP glyph: x from 5 to 15; row 1 from y 23.
        g->SetBounds(0, 0, 20, 70);
        form->Show();
        g->SetFocus();
        g->OnBeforeContractNode = [this](TObject*, int ARow, int ARowReal, bool& Allow) {
            log.push_back("before contract " + std::to_string(ARow) + "/" +
                          std::to_string(ARowReal));
            Allow = allow;
        };
        g->OnContractNode = [this](TObject*, int ARow, int) {
            log.push_back("contract " + std::to_string(ARow));
        };
        g->OnBeforeExpandNode = [this](TObject*, int ARow, int, bool&) {
            log.push_back("before expand " + std::to_string(ARow));
        };
        g->OnExpandNode = [this](TObject*, int ARow, int) {
            log.push_back("expand " + std::to_string(ARow));
        };
        g->OnClickCell = [this](TObject*, int ARow, int ACol) {
            log.push_back("click " + std::to_string(ARow) + "," + std::to_string(ACol));
        };
    }
    std::unique_ptr<TForm> form;
    TQorStringGrid* g = nullptr;
    std::vector<std::string> log;
    bool allow = true;
};

TEST_F(NodeClickTest, ClickOnTheGlyphTogglesTheNode) {
    uitest::click(g, {10, 34});
    EXPECT_EQ(g->RowCount(), 4);
    EXPECT_EQ(log, (std::vector<std::string>{"click 1,0", "before contract 1/1", "contract 1"}));
    log.clear();
    uitest::advanceClock(1000); // no double click
    // The same through the native window's own event delivery.
    uitest::postNativeClick(g);
    uitest::processMessages();
    EXPECT_EQ(g->RowCount(), 6);
    EXPECT_EQ(log, (std::vector<std::string>{"click 1,0", "before expand 1", "expand 1"}));

    log.clear();
    uitest::advanceClock(1000);
    uitest::click(g, {18, 34}); // beside the glyph: a click on the node column only
    EXPECT_EQ(g->RowCount(), 6);
    EXPECT_EQ(log, (std::vector<std::string>{"click 1,0"}));
}

TEST_F(NodeClickTest, VetoKeepsTheNodeAndMoveRowFollowsTheClick) {
    allow = false;
    uitest::click(g, {10, 34});
    EXPECT_EQ(g->RowCount(), 6);
    EXPECT_FALSE(g->GetNodeState(1));
    allow = true;
    g->MouseActions()->SetMoveRowOnNodeClick(true);
    g->SetRow(2);
    uitest::advanceClock(1000); // no double click
    uitest::click(g, {10, 34});
    EXPECT_TRUE(g->GetNodeState(1));
    EXPECT_EQ(g->Row(), 1);
}

TEST_F(NodeClickTest, RightAndLeftOnAMergedNodeRow) {
    g->MergeCells(1, 1, 2, 1);
    g->SetCol(1);
    g->SetRow(1);
    uitest::postNativeKey(VK_LEFT, g);
    uitest::processMessages();
    EXPECT_TRUE(g->GetNodeState(1));
    EXPECT_EQ(g->RowCount(), 4);
    uitest::pressKey(VK_RIGHT, {}, g);
    EXPECT_FALSE(g->GetNodeState(1));
    EXPECT_EQ(g->RowCount(), 6);
}

} // namespace
