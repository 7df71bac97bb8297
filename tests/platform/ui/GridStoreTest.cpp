#include "platform/ui/GridLayout.h"
#include "platform/ui/GridRows.h"
#include "platform/ui/Grids.h"

#include "platform/base/Clock.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

namespace {

// --- the row store against a plain vector of the same steps ----------------------------------

// Records are told apart by their height; the model holds each row's height (-1: no record).
struct StoreModel {
    TGridRowStore store;
    std::vector<int> rows;
    int next = 1;

    void insert(int at, int n, bool withRecords) {
        store.Insert(at, n);
        for (int i = 0; i < n; ++i) {
            int h = -1;
            if (withRecords) {
                h = next++;
                store.Need(at + i).Height = h;
            }
            rows.insert(rows.begin() + at + i, h);
        }
    }
    void check(const char* step) const {
        ASSERT_EQ(store.Count(), int(rows.size())) << step;
        for (int r = 0; r < store.Count(); ++r) {
            const TGridRow* row = store.Get(r);
            ASSERT_EQ(row ? row->Height : -1, rows[std::size_t(r)]) << step << " row " << r;
        }
    }
};

TEST(GridRowStoreTest, EditsAnywhereMatchAPlainVector) {
    StoreModel m;
    m.insert(0, 40, true);
    m.check("start");
    std::mt19937 rng(7);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    for (int step = 0; step < 3000; ++step) {
        int n = int(m.rows.size());
        int at = pick(4) == 0 ? 0 : pick(4) == 0 ? n : pick(n + 1);
        switch (pick(6)) {
        case 0:
            m.insert(at, 1 + pick(5), pick(2) == 0);
            break;
        case 1:
            if (n > 5) {
                int cnt = std::min(1 + pick(4), n - std::min(at, n - 1));
                at = std::min(at, n - 1);
                m.store.Delete(at, cnt);
                m.rows.erase(m.rows.begin() + at, m.rows.begin() + at + cnt);
            }
            break;
        case 2: {
            int from = pick(n), to = pick(4) == 0 ? 0 : pick(n);
            m.store.Move(from, to);
            int v = m.rows[std::size_t(from)];
            m.rows.erase(m.rows.begin() + from);
            m.rows.insert(m.rows.begin() + to, v);
            break;
        }
        case 3: {
            int a = pick(n), b = pick(n);
            m.store.Exchange(a, b);
            std::swap(m.rows[std::size_t(a)], m.rows[std::size_t(b)]);
            break;
        }
        case 4: {
            // Rows out and back in elsewhere, as hiding and showing them does.
            at = std::min(at, n - 1);
            int cnt = std::min(1 + pick(6), n - at);
            TGridRowBlock b = m.store.Take(at, cnt);
            std::vector<int> taken(m.rows.begin() + at, m.rows.begin() + at + cnt);
            m.rows.erase(m.rows.begin() + at, m.rows.begin() + at + cnt);
            int to = pick(int(m.rows.size()) + 1);
            m.store.Put(to, std::move(b));
            m.rows.insert(m.rows.begin() + to, taken.begin(), taken.end());
            break;
        }
        default:
            m.store.Resize(n + pick(3) - 1 > 0 ? n + pick(3) - 1 : 1);
            m.rows.resize(std::size_t(m.store.Count()), -1);
            break;
        }
        m.check("step");
        if (HasFatalFailure()) {
            ADD_FAILURE() << "at step " << step;
            return;
        }
    }
}

// An object that counts its destruction.
struct Counted : TObject {
    explicit Counted(int* n) : freed(n) {}
    ~Counted() override { ++*freed; }
    int* freed;
};
void deleteObject(TObject* o) {
    delete o;
}

TEST(GridRowStoreTest, ObjectsLeavingForGoodAreReleasedOnce) {
    int freed = 0;
    auto cellWithObject = [&](TGridRowStore& s, int r, int c) {
        s.Need(r).NeedCell(c, 3).Object = new Counted(&freed);
    };
    {
        TGridRowStore s(10);
        s.SetObjectDeleter(&deleteObject);
        for (int r = 0; r < 10; ++r) cellWithObject(s, r, r % 3);
        s.Delete(0, 2);
        EXPECT_EQ(freed, 2) << "deleted rows";
        s.Resize(6);
        EXPECT_EQ(freed, 4) << "rows cut off by a lower count";
        s.DeleteColumn(0); // column 0 held the objects of the former rows 3 and 6
        EXPECT_EQ(freed, 6);
        s.DropColumnsFrom(1);
        EXPECT_EQ(freed, 8) << "columns cut off";
        cellWithObject(s, 1, 2);
        {
            TGridRowBlock b = s.Take(1, 2);
            EXPECT_EQ(freed, 8) << "rows taken out keep their objects";
            s.Put(0, std::move(b));
            EXPECT_EQ(freed, 8);
            TGridRowBlock dropped = s.Take(0, 1);
        }
        EXPECT_EQ(freed, 9) << "a block dropped without being put back";
        cellWithObject(s, 2, 1);
        cellWithObject(s, 3, 1);
    }
    EXPECT_EQ(freed, 13) << "the store's own end";

    TGridRowStore plain(2);
    Counted kept(&freed);
    plain.Need(0).NeedCell(0, 1).Object = &kept;
    plain.Delete(0, 1);
    EXPECT_EQ(freed, 13) << "without a deleter objects belong to someone else";
}

// Cells of one size are laid out by counting: the same answers as walking them.
TEST(GridLayoutTest, UniformExtentsLayOutAsWalkedOnes) {
    struct Sized final : TGridExtents {
        int size;
        bool uniform;
        int Extent(int) const override { return size; }
        int Uniform() const override { return uniform ? size : -1; }
    };
    for (int size : {0, 1, 24})
        for (int lw : {0, 1})
            for (int fixed : {0, 1, 3})
                for (int count : {1, 4, 30, 100000})
                    for (int extent : {0, 10, 50, 600})
                        for (int first : {fixed, fixed + 2}) {
                            if (fixed >= count || first >= count) continue;
                            Sized walked, counted;
                            walked.size = counted.size = size;
                            walked.uniform = false;
                            counted.uniform = true;
                            TGridAxisDrawInfo w, c;
                            for (auto [a, e] : {std::pair{&w, &walked}, std::pair{&c, &counted}}) {
                                a->EffectiveLineWidth = lw;
                                a->Extents = e;
                                a->FixedCellCount = fixed;
                                a->FirstGridCell = first;
                                a->GridCellCount = count;
                                a->GridExtent = extent;
                                grid_layout::calcAxis(*a);
                            }
                            std::string at = std::to_string(size) + "/" + std::to_string(lw) + "/" +
                                             std::to_string(fixed) + "/" + std::to_string(count) +
                                             "/" + std::to_string(extent) + "/" +
                                             std::to_string(first);
                            EXPECT_EQ(c.FixedBoundary, w.FixedBoundary) << at;
                            EXPECT_EQ(c.GridBoundary, w.GridBoundary) << at;
                            EXPECT_EQ(c.LastFullVisibleCell, w.LastFullVisibleCell) << at;
                            EXPECT_EQ(c.FullVisBoundary, w.FullVisBoundary) << at;
                            EXPECT_EQ(grid_layout::firstToShow(c, count - 1),
                                      grid_layout::firstToShow(w, count - 1))
                                << at;
                        }
}

// --- the grid over the store -----------------------------------------------------------------

// A string grid that records the store's reports and which setters and editor steps ran.
class StoreGrid : public TStringGrid {
public:
    using TCustomGrid::PutRows;
    using TCustomGrid::TakeRows;
    using TStringGrid::TStringGrid;
    std::vector<std::string> log;
    int hiddenReal = -1; // a real column that is not shown
    int scrollBarPaints = 0;
    int paints = 0;

    void SetRowCount(int v) override {
        log.push_back("rows=" + std::to_string(v));
        TStringGrid::SetRowCount(v);
    }
    void SetColCount(int v) override {
        log.push_back("cols=" + std::to_string(v));
        TStringGrid::SetColCount(v);
    }
    int RealColIndex(int d) override { return hiddenReal >= 0 && d >= hiddenReal ? d + 1 : d; }
    int DisplColIndex(int r) override { return hiddenReal >= 0 && r > hiddenReal ? r - 1 : r; }
    int TotalColCount() const override { return ColCount() + (hiddenReal >= 0 ? 1 : 0); }
    void key(WORD vk) {
        TMessage m{WM_KEYDOWN, vk, 0, 0};
        DeliverMessage(this, m);
    }

protected:
    void RowsLeaving(int first, int count) override {
        log.push_back("rows leave " + std::to_string(first) + "+" + std::to_string(count));
    }
    void ColsLeaving(int first, int count) override {
        log.push_back("cols leave " + std::to_string(first) + "+" + std::to_string(count));
    }
    void ShowEditor() override {
        log.push_back("show editor");
        TStringGrid::ShowEditor();
    }
    void HideEditor() override {
        log.push_back("hide editor");
        TStringGrid::HideEditor();
    }
    void PaintScrollBars(TCanvas* c) override {
        ++scrollBarPaints;
        TStringGrid::PaintScrollBars(c);
    }
    void Paint() override {
        ++paints;
        TStringGrid::Paint();
    }
};

// 5 columns, 20 rows of 20 pixels in a 300 x 200 client; cell texts "c:r".
class GridStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetApplicationClock(&clock);
        grid = std::make_unique<StoreGrid>(nullptr);
        grid->SetColCount(5);
        grid->SetRowCount(20);
        grid->SetDefaultRowHeight(20);
        grid->SetBounds(0, 0, 300, 200);
        grid->HandleNeeded();
        for (int r = 0; r < 20; ++r)
            for (int c = 0; c < 5; ++c)
                grid->SetCells(c, r, std::to_string(c) + ":" + std::to_string(r));
        grid->log.clear();
    }
    void TearDown() override {
        grid.reset();
        SetApplicationClock(nullptr);
    }
    std::vector<std::string> column(int c) const {
        std::vector<std::string> v;
        for (int r = 0; r < grid->RowCount(); ++r) v.push_back(grid->Cells(c, r));
        return v;
    }
    TManualClock clock;
    std::unique_ptr<StoreGrid> grid;
};

TEST_F(GridStoreTest, BlockInsertAndDeleteMoveTextsHeightsAndTheCurrentRow) {
    grid->SetRowHeights(5, 33);
    grid->SetRow(6);
    grid->InsertRows(2, 3);
    EXPECT_EQ(grid->RowCount(), 23);
    EXPECT_EQ(grid->Cells(0, 1), "0:1");
    EXPECT_EQ(grid->Cells(0, 2), "");
    EXPECT_EQ(grid->RowHeights(3), 20) << "inserted rows have the default height";
    EXPECT_EQ(grid->Cells(0, 5), "0:2");
    EXPECT_EQ(grid->RowHeights(8), 33);
    EXPECT_EQ(grid->Row(), 9) << "the current row stays on its row";
    grid->log.clear();

    grid->DeleteRows(0, 4);
    EXPECT_EQ(grid->RowCount(), 19);
    EXPECT_EQ(grid->Cells(0, 0), "");
    EXPECT_EQ(grid->Cells(0, 1), "0:2");
    EXPECT_EQ(grid->RowHeights(4), 33);
    EXPECT_EQ(grid->Row(), 5);
    EXPECT_EQ(grid->log, (std::vector<std::string>{"rows leave 0+4"}));

    grid->ExchangeRows(1, 18);
    EXPECT_EQ(grid->Cells(1, 1), "1:19");
    EXPECT_EQ(grid->Cells(1, 18), "1:2");

    EXPECT_THROW(grid->InsertRows(20, 1), EInvalidGridOperation);
    EXPECT_THROW(grid->DeleteRows(10, 10), EInvalidGridOperation);
    EXPECT_THROW(grid->DeleteRows(0, 19), EInvalidGridOperation) << "a grid keeps one row";
}

TEST_F(GridStoreTest, HeightsEqualToTheDefaultAreNotKept) {
    grid->SetRowHeights(3, 40);
    grid->SetRowHeights(3, 20);
    grid->SetDefaultRowHeight(25);
    EXPECT_EQ(grid->RowHeights(3), 25) << "a height set back to the default follows it";
    grid->SetRowHeights(4, 40);
    grid->SetDefaultRowHeight(22);
    EXPECT_EQ(grid->RowHeights(4), 22) << "a new default resets every row";
}

TEST_F(GridStoreTest, TakenRowsComeBackWithTheirRecords) {
    grid->SetRowHeights(7, 31);
    grid->SetRow(15);
    grid->log.clear();
    TGridRowBlock b = grid->TakeRows(6, 3);
    EXPECT_EQ(grid->RowCount(), 17);
    EXPECT_EQ(grid->Cells(2, 6), "2:9");
    EXPECT_EQ(grid->Row(), 12);
    EXPECT_TRUE(grid->log.empty()) << "taken rows do not leave the store for good";
    ASSERT_EQ(b.Count(), 3);
    ASSERT_NE(b.Row(1), nullptr);
    EXPECT_EQ(b.Row(1)->Height, 31);
    grid->PutRows(6, std::move(b));
    EXPECT_EQ(grid->RowCount(), 20);
    for (int r = 0; r < 20; ++r) EXPECT_EQ(grid->Cells(3, r), "3:" + std::to_string(r));
    EXPECT_EQ(grid->RowHeights(7), 31);
    EXPECT_EQ(grid->Row(), 15);
}

TEST_F(GridStoreTest, CountsAndDeletionsReportLeavingCellsThroughTheSetters) {
    grid->SetCells(7, 2, "beyond");
    grid->DeleteRow(4);
    grid->DeleteColumn(1);
    grid->SetColCount(5);
    EXPECT_EQ(grid->Cells(1, 0), "2:0");
    EXPECT_EQ(grid->Cells(4, 0), "") << "a deleted column's cells do not come back";
    EXPECT_EQ(grid->Cells(7, 2), "");
    EXPECT_EQ(grid->log, (std::vector<std::string>{"rows=19", "rows leave 19+1", "cols leave 4+1",
                                                   "cols=4", "cols leave 4+3", "cols=5"}));
}

TEST_F(GridStoreTest, StoreColumnsAndDisplayColumnsAreKeptApart) {
    grid->hiddenReal = 1; // display 0 1 2 3 4 show real 0 2 3 4 5
    grid->SetColCount(4);
    EXPECT_EQ(grid->Cells(1, 3), "1:3") << "lowering the count keeps the hidden column";
    EXPECT_EQ(grid->GetEditText(1, 3), "2:3");
    grid->SetEditText(2, 3, "new");
    EXPECT_EQ(grid->Cells(3, 3), "new");
    EXPECT_EQ(grid->Cells(2, 3), "2:3");

    grid->MoveColumn(0, 2); // real 0 goes to real 3, the columns between move along
    EXPECT_EQ(grid->Cells(0, 5), "1:5");
    EXPECT_EQ(grid->Cells(3, 5), "0:5");
    EXPECT_EQ(grid->GetEditText(2, 5), "0:5");

    grid->DeleteColumn(0); // display 0, real 0
    EXPECT_EQ(grid->ColCount(), 3);
    EXPECT_EQ(grid->Cells(0, 5), "2:5");
    EXPECT_EQ(grid->Cells(3, 5), "4:5");
}

TEST_F(GridStoreTest, UpdateLockHoldsBackPaintingAndTheScrollRange) {
    grid->SetRowCount(5);
    grid->Repaint();
    ASSERT_FALSE(grid->VertScrollBar().Visible);
    int paints = grid->paints;
    grid->BeginUpdate();
    grid->BeginUpdate();
    grid->SetRowCount(50);
    grid->SetCells(1, 1, "x");
    grid->Update();
    EXPECT_EQ(grid->paints, paints);
    EXPECT_FALSE(grid->VertScrollBar().Visible) << "the range waits for the end";
    grid->EndUpdate();
    grid->Update();
    EXPECT_EQ(grid->paints, paints) << "only the outermost end releases";
    grid->EndUpdate();
    EXPECT_TRUE(grid->VertScrollBar().Visible);
    grid->Update();
    EXPECT_EQ(grid->paints, paints + 1);
    grid->EndUpdate(); // unmatched: nothing happens
    EXPECT_FALSE(grid->UpdateLocked());
}

TEST_F(GridStoreTest, ScrollBarInformationShowsAndPaints) {
    auto vs = [&] { return grid->VertScrollBar(); };
    EXPECT_EQ(vs().Max, GridThumbRange);
    grid->SetScrollBarRange(true, 0, 200, 74);
    grid->SetScrollBarPosition(true, 190);
    EXPECT_EQ(vs().Position, 127) << "the position stops at Max - Page + 1";
    EXPECT_EQ(vs().Page, 74);

    grid->SetRowCount(5);
    EXPECT_FALSE(vs().Visible);
    grid->SetScrollBarShow(true, sbsAlways);
    EXPECT_TRUE(vs().Visible);
    ASSERT_TRUE(grid->HorzScrollBar().Visible) << "the columns do not fit";
    grid->SetScrollBarShow(false, sbsNever);
    EXPECT_FALSE(grid->HorzScrollBar().Visible);
    grid->SetScrollBarShow(false, sbsAuto);
    grid->SetRowCount(50);
    grid->SetScrollBarShow(true, sbsNever);
    EXPECT_FALSE(vs().Visible);
    grid->SetScrollBarShow(true, sbsAuto);
    EXPECT_TRUE(vs().Visible);
    int before = grid->scrollBarPaints;
    grid->Repaint();
    EXPECT_EQ(grid->scrollBarPaints, before + 1);

    // A press on the lower arrow scrolls; on a disabled bar it does nothing.
    auto press = [&] {
        TPoint p{grid->ClientWidth() - 5, grid->CellAreaHeight() - 5};
        DeliverMouse(grid.get(), WM_LBUTTONDOWN, p, MK_LBUTTON);
        DeliverMouse(grid.get(), WM_LBUTTONUP, p, 0);
    };
    grid->EnableScrollBar(true, false);
    press();
    EXPECT_EQ(grid->TopRow(), 1);
    grid->EnableScrollBar(true, true);
    press();
    EXPECT_EQ(grid->TopRow(), 2);
}

// The bars found after any change are those found from no bars at all.
TEST_F(GridStoreTest, ScrollBarsSettleAsFromScratch) {
    std::mt19937 rng(3);
    auto pick = [&](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
    for (int step = 0; step < 400; ++step) {
        switch (pick(0, 3)) {
        case 0:
            grid->SetRowCount(pick(2, 14));
            break;
        case 1:
            grid->SetColCount(pick(2, 7));
            break;
        case 2:
            grid->SetBounds(0, 0, pick(150, 420), pick(100, 320));
            break;
        default:
            grid->SetColWidths(pick(0, grid->ColCount() - 1), pick(20, 90));
            break;
        }
        TGridScrollBar h = grid->HorzScrollBar(), v = grid->VertScrollBar();
        int top = grid->TopRow(), left = grid->LeftCol();
        grid->SetScrollBars(ssNone);
        grid->SetScrollBars(ssBoth);
        ASSERT_EQ(grid->HorzScrollBar().Visible, h.Visible) << "step " << step;
        ASSERT_EQ(grid->VertScrollBar().Visible, v.Visible) << "step " << step;
        ASSERT_EQ(grid->TopRow(), top) << "step " << step;
        ASSERT_EQ(grid->LeftCol(), left) << "step " << step;
    }
}

TEST_F(GridStoreTest, EditorStepsGoThroughTheVirtualSteps) {
    grid->SetOptions(grid->Options() + goEditing);
    grid->SetFocus();
    grid->key(VK_F2);
    EXPECT_NE(std::find(grid->log.begin(), grid->log.end(), "show editor"), grid->log.end());
    grid->log.clear();
    grid->SetEditorMode(false);
    EXPECT_EQ(grid->log, (std::vector<std::string>{"hide editor"}));
}

} // namespace
