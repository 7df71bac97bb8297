// Column order and moving rows and columns: by program against a plain model of the rows and
// columns, with what moves along (widths, heights, flags, hidden columns and rows, sort column,
// cell controls), by Ctrl+arrow keys, and by dragging a header.
#include "grid/core/QorStringGrid.h"
#include "grid/data/DataSettings.h"
#include "grid/render/FloatingFooter.h"
#include "grid/render/HeaderDragButton.h"
#include "platform/testing/NativeMouse.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct MoveGrid {
    TForm form{nullptr};
    TQorStringGrid* g;
    MoveGrid(int cols, int rows) {
        form.SetBounds(0, 0, 700, 500);
        g = new TQorStringGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 680, 460);
        g->SetColCount(cols);
        g->SetRowCount(rows);
        for (int c = 0; c < cols; ++c) g->SetCells(c, 0, "h" + std::to_string(c));
        form.Show();
    }
    std::vector<std::string> headers() {
        std::vector<std::string> v;
        for (int c = 0; c < g->ColCount(); ++c) v.push_back(g->Cells(g->RealColIndex(c), 0));
        return v;
    }
};

// A row of the plain model: what must travel with the row.
struct ModelRow {
    std::string text;
    int height;
    bool modified;
    friend bool operator==(const ModelRow&, const ModelRow&) = default;
};

struct RowGrid : MoveGrid {
    explicit RowGrid(int rows) : MoveGrid(3, rows) {
        for (int r = 1; r < rows; ++r) {
            g->SetCells(1, r, "r" + std::to_string(r));
            g->SetRowHeights(r, 20 + r);
            g->SetRowModified(r, r % 3 == 0);
        }
    }
    std::vector<ModelRow> rows() {
        std::vector<ModelRow> v;
        for (int r = 0; r < g->RowCount(); ++r)
            v.push_back({g->Cells(1, r), g->RowHeights(r), g->RowModified(r)});
        return v;
    }
};

std::vector<ModelRow> modelMoveRows(std::vector<ModelRow> m, int from, int to, int count) {
    const std::vector<ModelRow> block(m.begin() + from, m.begin() + from + count);
    m.erase(m.begin() + from, m.begin() + from + count);
    // A target past the block: before the row that stood there.
    if (to >= from + count) to -= count;
    m.insert(m.begin() + std::min<int>(to, int(m.size())), block.begin(), block.end());
    return m;
}

TEST(GridMove, MoveRowsLandsAsThePlainModel) {
    struct Case {
        int from, to, count;
    };
    const Case cases[] = {
        {2, 8, 2}, // before former row 8: starts at 6
        {2, 4, 2}, // right after the block: stays where it is
        {2, 5, 2}, {2, 9, 3}, {1, 10, 2},
        {5, 1, 3}, {6, 2, 1}, {2, 3, 2}, // inside the block: starts at 3
        {3, 3, 2}, {4, 0, 0},
    };
    for (const auto& c : cases) {
        RowGrid t(10);
        const std::vector<ModelRow> expected = modelMoveRows(t.rows(), c.from, c.to, c.count);
        t.g->MoveRows(c.from, c.to, c.count);
        EXPECT_EQ(t.rows(), expected) << c.from << "->" << c.to << " x" << c.count;
    }
    // Every target past the block lands it at the same place relative to the other rows.
    RowGrid a(10), b(10);
    a.g->MoveRows(2, 4, 2);
    EXPECT_EQ(a.rows(), b.rows());
    a.g->MoveRows(2, 6, 2);
    b.g->MoveRows(2, 5, 2);
    b.g->MoveRows(3, 6, 2);
    EXPECT_EQ(a.rows(), b.rows());
}

TEST(GridMove, MoveRowCarriesItsRecordAndReportsOnce) {
    struct Case {
        int from, to;
    };
    const Case cases[] = {{1, 6}, {6, 1}, {3, 4}, {8, 2}};
    for (const auto& c : cases) {
        RowGrid t(10);
        std::vector<ModelRow> expected = t.rows();
        const ModelRow moved = expected[std::size_t(c.from)];
        expected.erase(expected.begin() + c.from);
        expected.insert(expected.begin() + c.to, moved);
        int reports = 0;
        t.g->OnRowMoved = [&](TObject*, int from, int to) {
            ++reports;
            EXPECT_EQ((TGridCoord{from, to}), (TGridCoord{c.from, c.to}));
            EXPECT_EQ(t.g->RowHeights(to), moved.height); // heights moved before the report
        };
        t.g->MoveRow(c.from, c.to);
        EXPECT_EQ(reports, 1) << c.from << "->" << c.to;
        EXPECT_EQ(t.rows(), expected) << c.from << "->" << c.to;
    }
    // The footer row stays the last row.
    RowGrid f(8);
    f.g->FloatingFooter()->SetVisible(true);
    const std::vector<ModelRow> before = f.rows();
    f.g->MoveRow(2, 7);
    EXPECT_EQ(f.rows(), before);
}

TEST(GridMove, CtrlArrowsMoveTheSelectedRows) {
    struct Case {
        const char* name;
        TGridRect selection;
        WORD key;
        int from, to, count; // the model's move
        TGridRect after;
    };
    const Case cases[] = {
        {"one row down", {1, 3, 1, 3}, VK_DOWN, 3, 5, 1, {1, 4, 1, 4}},
        {"one row up", {1, 3, 1, 3}, VK_UP, 3, 2, 1, {1, 2, 1, 2}},
        {"a block down", {1, 3, 2, 5}, VK_DOWN, 3, 7, 3, {1, 4, 2, 6}},
        {"a block up", {1, 3, 2, 5}, VK_UP, 3, 2, 3, {1, 2, 2, 4}},
        {"the first row stays", {1, 1, 1, 1}, VK_UP, 1, 1, 0, {1, 1, 1, 1}},
        {"the last row stays", {1, 9, 1, 9}, VK_DOWN, 9, 9, 0, {1, 9, 1, 9}},
    };
    for (const auto& c : cases) {
        RowGrid t(10);
        t.g->Navigation()->SetCursorMoveRows(true);
        t.g->SetSelection(c.selection);
        const std::vector<ModelRow> expected = modelMoveRows(t.rows(), c.from, c.to, c.count);
        uitest::pressKey(c.key, {ssCtrl}, t.g);
        EXPECT_EQ(t.rows(), expected) << c.name;
        EXPECT_EQ(t.g->Selection(), c.after) << c.name;
    }
}

TEST(GridMove, ColumnOrderIsRecordedFollowedAndRestored) {
    MoveGrid t(6, 4);
    t.g->SetColumnOrder();
    std::vector<int> model{0, 1, 2, 3, 4, 5};
    struct Move {
        int from, to;
    };
    for (const Move m : {Move{1, 3}, Move{4, 0}, Move{5, 2}, Move{0, 5}}) {
        t.g->MoveColumn(m.from, m.to);
        const int moved = model[std::size_t(m.from)];
        model.erase(model.begin() + m.from);
        model.insert(model.begin() + m.to, moved);
        for (int p = 0; p < 6; ++p) {
            EXPECT_EQ(t.g->ColumnAtPosition(p), model[std::size_t(p)]) << p;
            EXPECT_EQ(t.g->ColumnPosition(model[std::size_t(p)]), p) << p;
            EXPECT_EQ(t.headers()[std::size_t(p)], "h" + std::to_string(model[std::size_t(p)]));
        }
    }
    t.g->ResetColumnOrder();
    EXPECT_EQ(t.headers(), (std::vector<std::string>{"h0", "h1", "h2", "h3", "h4", "h5"}));
    for (int p = 0; p < 6; ++p) EXPECT_EQ(t.g->ColumnAtPosition(p), p);

    // Hidden columns take part: moved around them and restored with them shown again.
    t.g->HideColumn(2);
    t.g->MoveColumn(1, 3); // real 1 goes behind real 4
    EXPECT_EQ(t.headers(), (std::vector<std::string>{"h0", "h3", "h4", "h1", "h5"}));
    t.g->ResetColumnOrder();
    EXPECT_EQ(t.g->NumHiddenColumns(), 0);
    EXPECT_EQ(t.headers(), (std::vector<std::string>{"h0", "h1", "h2", "h3", "h4", "h5"}));

    // The order recorded while a column is hidden covers it too.
    MoveGrid h(6, 4);
    h.g->HideColumn(2);
    h.g->MoveColumn(4, 0); // display 4 is real 5
    h.g->ResetColumnOrder();
    EXPECT_EQ(h.headers(), (std::vector<std::string>{"h0", "h1", "h2", "h3", "h4", "h5"}));

    // Headers by their exact text, hidden columns included.
    t.g->HideColumn(4);
    EXPECT_EQ(t.g->ColumnByHeader("h4"), 4);
    EXPECT_EQ(t.g->ColumnByHeader("H4"), -1);
}

TEST(GridMove, ColumnsMoveWithWidthsPropertiesSortColumnAndControls) {
    MoveGrid t(5, 5);
    t.g->SetFixedCols(0);
    const int widths[] = {40, 60, 80, 100, 50};
    for (int c = 0; c < 5; ++c) t.g->SetColWidths(c, widths[c]);
    t.g->SetColors(1, 2, clRed);
    t.g->SortSettings()->SetColumn(3);
    t.g->SortIndexes()->AddIndex(1, false);
    t.g->SetCol(1);
    t.g->SetCells(1, 3, "hidden row text");
    t.g->HideRow(3);
    TPanel control(nullptr);
    t.g->SetCellControls(2, 1, &control);

    t.g->MoveColumn(1, 3);
    const int moved[] = {40, 80, 100, 60, 50};
    for (int c = 0; c < 5; ++c) EXPECT_EQ(t.g->ColWidths(c), moved[c]) << c;
    EXPECT_EQ(t.g->Colors(3, 2), clRed);
    EXPECT_EQ(t.g->Colors(1, 2), clNone);
    EXPECT_EQ(t.g->SortSettings()->Column(), 2);
    EXPECT_EQ(t.g->SortIndexes()->GetSortColumns(0), 3);
    EXPECT_FALSE(t.g->SortIndexes()->GetSortDirections(0));
    EXPECT_EQ(t.g->Col(), 3);
    EXPECT_EQ(t.g->CellControls(1, 1), &control); // column 2 moved one place left
    t.g->UnHideRow(3);
    EXPECT_EQ(t.g->Cells(3, 3), "hidden row text");
    t.g->SetCellControls(1, 1, nullptr);
}

TEST(GridMove, HiddenColumnsKeepTheirWidthsWhenColumnsMoveAroundThem) {
    MoveGrid t(6, 3);
    for (int c = 0; c < 6; ++c) t.g->SetColWidths(c, 30 + 10 * c);
    t.g->HideColumn(2);
    t.g->MoveColumn(4, 1); // display 4 is real 5
    t.g->UnHideColumnsAll();
    EXPECT_EQ(t.headers(), (std::vector<std::string>{"h0", "h5", "h1", "h2", "h3", "h4"}));
    const int widths[] = {30, 80, 40, 50, 60, 70};
    for (int c = 0; c < 6; ++c) EXPECT_EQ(t.g->ColWidths(c), widths[c]) << c;
}

TEST(GridMove, SynchronisedGridsReplayAMoveOnce) {
    MoveGrid a(5, 3), b(5, 3);
    a.g->SyncGrid()->SetGrid(b.g);
    a.g->SyncGrid()->SetMoveColumn(true);
    b.g->SyncGrid()->SetGrid(a.g);
    b.g->SyncGrid()->SetMoveColumn(true);
    int movesA = 0, movesB = 0;
    a.g->OnColumnMoved = [&](TObject*, int, int) { ++movesA; };
    b.g->OnColumnMoved = [&](TObject*, int, int) { ++movesB; };
    b.g->MoveColumn(1, 3);
    EXPECT_EQ(movesA, 1);
    EXPECT_EQ(movesB, 1);
    EXPECT_EQ(a.headers(), b.headers());
    EXPECT_EQ(a.headers(), (std::vector<std::string>{"h0", "h2", "h3", "h1", "h4"}));
}

TEST(GridMove, DraggingAHeaderMovesItsColumnOrRow) {
    struct Case {
        const char* name;
        bool columns;
        bool veto;
        bool native;
        bool cancelled = false;
    };
    const Case cases[] = {
        {"column", true, false, false},
        {"column through Qt", true, false, true},
        {"column refused", true, true, false},
        {"row", false, false, false},
        // The mouse taken away ends the drag without a move.
        {"cancelled", true, false, false, true},
    };
    for (const auto& c : cases) {
        RowGrid t(8);
        TGridOptions o = t.g->Options();
        o.Include(c.columns ? goColMoving : goRowMoving);
        t.g->SetOptions(o);
        // The header button shows the drag; the picture of the cells is another test's.
        t.g->DragDropSettings()->SetShowCells(false);
        std::vector<int> moving;
        t.g->SetCells(0, 2, "n2");
        if (c.columns) {
            t.g->OnColumnMove = [&](TObject*, int, bool& allow) { allow = !c.veto; };
            t.g->OnColumnMoving = [&](TObject*, int i, bool&) { moving.push_back(i); };
        } else {
            t.g->OnRowMoving = [&](TObject*, int i, bool&) { moving.push_back(i); };
        }
        const TRect from = c.columns ? t.g->CellRect(1, 0) : t.g->CellRect(0, 2);
        const TRect to = c.columns ? t.g->CellRect(2, 0) : t.g->CellRect(0, 5);
        const TPoint p0{from.Left + 20, from.Top + 8}, p1{to.Left + 20, to.Top + 8};
        if (c.native) {
            uitest::postNativeMouseDown(t.g, p0);
            uitest::postNativeMouseMove(t.g, {p0.X + 5, p0.Y}, true);
            uitest::postNativeMouseMove(t.g, p1, true);
            uitest::processMessages();
        } else {
            uitest::mouseDown(t.g, p0);
            uitest::mouseMove(t.g, {p0.X + 5, p0.Y}, {ssLeft});
            uitest::mouseMove(t.g, p1, {ssLeft});
        }
        if (!c.veto) {
            EXPECT_TRUE(t.g->MoveButton()->Visible()) << c.name;
            EXPECT_EQ(t.g->MoveButton()->Caption(), c.columns ? "h1" : "n2") << c.name;
            EXPECT_EQ(Screen->Cursor(), crDrag) << c.name;
            EXPECT_EQ(moving.back(), c.columns ? 2 : 5) << c.name;
        }
        if (c.cancelled) t.g->Perform(WM_CANCELMODE);
        if (c.native) {
            uitest::postNativeMouseUp(t.g, p1);
            uitest::processMessages();
        } else {
            uitest::mouseUp(t.g, p1);
        }
        EXPECT_FALSE(t.g->MoveButton()->Visible()) << c.name;
        EXPECT_EQ(Screen->Cursor(), crDefault) << c.name;
        for (int a = 0; a < 4; ++a)
            EXPECT_FALSE(t.g->ArrowWindow(TArrowDirection(a))->Visible()) << c.name;
        const bool stays = c.veto || c.cancelled;
        if (c.columns) {
            EXPECT_EQ(t.headers()[1], stays ? "h1" : "h2") << c.name;
            EXPECT_EQ(t.headers()[2], stays ? "h2" : "h1") << c.name;
        } else {
            EXPECT_EQ(t.g->Cells(1, 5), "r2") << c.name;
            EXPECT_EQ(t.g->RowHeights(5), 22) << c.name;
        }
    }
}

} // namespace
