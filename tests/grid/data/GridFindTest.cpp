// Finding, replacing and highlighting cell texts, and the search footer typed into through Qt's
// own key delivery.
#include "grid/core/QorStringGrid.h"
#include "grid/data/SearchPanel.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::string at(TPoint p) {
    return std::to_string(p.X) + "," + std::to_string(p.Y);
}

//        col 1     col 2    col 3
// row 1  xAby      ab       (empty)
// row 2  AB        cab      <b>a</b>b
// row 3  zz        aB c     q
// and "ab" in the fixed cell (0, 2).
std::unique_ptr<TQorStringGrid> findGrid() {
    auto g = std::make_unique<TQorStringGrid>(nullptr);
    g->SetColCount(4);
    g->SetRowCount(4);
    const char* cells[3][3] = {{"xAby", "ab", ""}, {"AB", "cab", "<b>a</b>b"}, {"zz", "aB c", "q"}};
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c) g->SetCells(c, r, cells[r - 1][c - 1]);
    g->SetCells(0, 2, "ab");
    return g;
}

TEST(GridFindTest, FindFromNoCellTakesTheParametersIntoAccount) {
    struct Case {
        const char* text;
        TFindParams params;
        const char* found;
    };
    const Case cases[] = {
        {"ab", {}, "1,1"},                                  // inside xAby, any case
        {"ab", {fnMatchStart}, "1,2"},                      // not xAby any more
        {"ab", {fnMatchFull}, "1,2"},                       // down the columns: AB first
        {"ab", {fnMatchFull, fnDirectionLeftRight}, "2,1"}, // along the rows: ab first
        {"ab", {fnMatchCase}, "2,1"},
        {"B", {fnMatchCase}, "1,2"},
        {"\"\"", {}, "3,1"}, // the first empty normal cell
        {"ab", {fnMatchFull, fnBackward}, "2,1"},
        {"ab", {fnMatchFull, fnBackward, fnDirectionLeftRight}, "1,2"},
        {"ab", {fnIncludeFixed}, "0,2"},
        {"ab", {fnSelectedCells}, "2,2"},
        {"ab", {fnFindInCurrentRow}, "2,3"},
        {"a*", {fnMatchRegular}, "1,2"},
        {"*c", {fnMatchRegular}, "2,3"},
        {"zz", {fnMatchCase}, "1,3"},
        {"ZZ", {fnMatchCase}, "-1,-1"},
        {"nowhere", {}, "-1,-1"},
    };
    for (const Case& c : cases) {
        auto g = findGrid();
        if (c.params.Contains(fnSelectedCells))
            g->SetSelection({2, 2, 3, 3});
        else
            g->SetRow(3);
        EXPECT_EQ(at(g->Find(TPoint(-1, -1), c.text, c.params)), c.found)
            << c.text << " " << c.params.Bits();
        EXPECT_EQ(at(g->SearchCell()), c.found);
        EXPECT_FALSE(g->FindBusy());
    }
    // Markup is compared without its tags only when asked to.
    auto g = findGrid();
    g->SetFindCol(3);
    EXPECT_EQ(at(g->Find(TPoint(-1, -1), "ab", {fnFindInPresetCol, fnMatchFull})), "-1,-1");
    EXPECT_EQ(at(g->Find(TPoint(-1, -1), "ab", {fnFindInPresetCol, fnMatchFull, fnIgnoreHTMLTags})),
              "3,2");
    EXPECT_EQ(at(g->FindWide(TPoint(-1, -1), u"CAB", {fnMatchFull})), "2,2");
}

TEST(GridFindTest, FindNextWalksEveryMatchOnceAndThenStartsOver) {
    auto g = findGrid();
    std::vector<std::string> seen{at(g->FindFirst("ab", {}))};
    for (int i = 0; i < 7; ++i) seen.push_back(at(g->FindNext()));
    EXPECT_EQ(seen,
              (std::vector<std::string>{"1,1", "1,2", "2,1", "2,2", "2,3", "-1,-1", "1,1", "1,2"}));
    // From the last cell of the range nothing follows; a start outside the range starts over.
    EXPECT_EQ(at(g->Find(TPoint(3, 3), "q", {})), "-1,-1");
    EXPECT_EQ(at(g->Find(TPoint(3, 3), "q", {fnBackward})), "-1,-1");
    EXPECT_EQ(at(g->Find(TPoint(3, 2), "q", {})), "3,3");
    EXPECT_EQ(at(g->Find(TPoint(2, 1), "ab", {fnBackward})), "1,2");
}

TEST(GridFindTest, AutoGotoMakesTheCellCurrentAndOpensItsNode) {
    auto g = findGrid();
    g->SetRowCount(6);
    g->SetCells(1, 4, "leaf");
    g->SetCells(1, 5, "deep");
    g->AddNode(3, 3); // rows 3..5
    g->ContractNode(3);
    ASSERT_EQ(g->RowCount(), 4);
    EXPECT_EQ(at(g->Find(TPoint(-1, -1), "deep", {fnAutoGoto})), "-1,-1");
    EXPECT_EQ(at(g->Find(TPoint(-1, -1), "deep", {fnAutoGoto, fnIncludeHiddenRows})), "1,5");
    EXPECT_EQ(g->RowCount(), 6);
    EXPECT_EQ(g->Row(), 5);
    EXPECT_EQ(at(g->Find(TPoint(-1, -1), "cab", {fnAutoGoto})), "2,2");
    EXPECT_EQ(g->Col(), 2);
    EXPECT_EQ(g->Row(), 2);
}

TEST(GridFindTest, ReplaceChangesEachMatchingCellOnce) {
    struct Case {
        std::vector<std::string> cells;
        const char* from;
        const char* to;
        TFindParams params;
        int count;
        std::vector<std::string> after;
    };
    const Case cases[] = {
        {{"a", "ba", "c"}, "a", "aa", {}, 2, {"aa", "baa", "c"}},
        {{"Aa", "a", "A"}, "A", "x", {}, 3, {"xx", "x", "x"}},
        {{"Aa", "a", "A"}, "A", "x", {fnMatchCase}, 2, {"xa", "a", "x"}},
        {{"Aa", "a", "A"}, "a", "b", {fnMatchFull}, 2, {"Aa", "b", "b"}},
        {{"\xC3\xA9t\xC3\xA9", "x", ""}, "\xC3\x89", "e", {}, 1, {"ete", "x", ""}},
    };
    for (const Case& c : cases) {
        TQorStringGrid g(nullptr);
        g.SetColCount(2);
        g.SetRowCount(4);
        for (int r = 0; r < 3; ++r) g.SetCells(1, r + 1, c.cells[std::size_t(r)]);
        g.ShowModified()->SetEnabled(true);
        EXPECT_EQ(g.Replace(c.from, c.to, c.params), c.count) << c.from;
        for (int r = 0; r < 3; ++r) {
            EXPECT_EQ(g.Cells(1, r + 1), c.after[std::size_t(r)]) << c.from;
            EXPECT_EQ(g.RowModified(r + 1), c.cells[std::size_t(r)] != c.after[std::size_t(r)]);
        }
    }
}

TEST(GridFindTest, HighlightAndMarkWrapTheTextInTheirTags) {
    auto g = findGrid();
    EXPECT_EQ(g->HilightText(false, "aBc", "b"), "a<hi>B</hi>c");
    EXPECT_EQ(g->HilightText(true, "aBc", "b"), "aBc");
    EXPECT_EQ(g->MarkText(false, "abc", "b"), "a<e>b</e>c");
    EXPECT_EQ(g->UnHilightText("a<hi>b</hi>c"), "abc");
    EXPECT_EQ(g->UnMarkText("a<e>b</e>c"), "abc");

    g->SetCells(1, 1, "abc");
    g->HilightInCell(false, 1, 1, "b");
    EXPECT_EQ(g->Cells(1, 1), "a<hi>b</hi>c");
    g->UnHilightInCell(1, 1);
    EXPECT_EQ(g->Cells(1, 1), "abc");

    // The fixed cells only when asked for.
    g->HilightInRow(false, false, 2, "ab");
    EXPECT_EQ(g->Cells(0, 2), "ab");
    EXPECT_EQ(g->Cells(1, 2), "<hi>AB</hi>");
    g->UnHilightInRow(2, false);
    EXPECT_EQ(g->Cells(1, 2), "AB");
    g->HilightInCol(true, false, 0, "ab");
    EXPECT_EQ(g->Cells(0, 2), "<hi>ab</hi>");
    // The markup of a cell comes back as it was.
    g->HilightInGrid(false, false, "zz");
    EXPECT_EQ(g->Cells(1, 3), "<hi>zz</hi>");
    g->UnHilightInGrid(true);
    EXPECT_EQ(g->Cells(1, 3), "zz");
    EXPECT_EQ(g->Cells(3, 2), "<b>a</b>b");
    EXPECT_EQ(g->Cells(0, 2), "ab");
    // Marks and highlights are removed each by their own operations.
    g->MarkInCell(false, 1, 3, "z");
    g->UnHilightInCell(1, 3);
    EXPECT_EQ(g->Cells(1, 3), "<e>z</e><e>z</e>");
    g->UnMarkInCell(1, 3);
    EXPECT_EQ(g->Cells(1, 3), "zz");
}

// A grid of 20 rows on a form, with its search footer shown.
class SearchFooterTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 600, 300);
        grid = new TQorStringGrid(form.get());
        grid->SetParent(form.get());
        grid->SetBounds(0, 0, 580, 260);
        grid->SetColCount(4);
        grid->SetRowCount(20);
        for (int r = 1; r < 20; ++r)
            for (int c = 1; c < 4; ++c)
                grid->SetCells(c, r, std::string(1, char('a' + c - 1)) + std::to_string(r));
        TSearchFooter* sf = grid->SearchFooter();
        sf->SetFindNextCaption("Find &next");
        sf->SetFindPrevCaption("Find &previous");
        sf->SetHighLightCaption("Highlight");
        sf->SetVisible(true);
        grid->OnSearchFooterAction = [this](TObject*, const std::string& v, int c, int r,
                                            TSearchAction a) {
            actions.push_back(v + " " + std::to_string(c) + "," + std::to_string(r) + " " +
                              std::to_string(int(a)));
        };
        grid->OnCreatedSearchFooter = [this](TObject*) { ++created; };
        form->Show();
        uitest::processMessages();
        panel = grid->SearchPanel();
        edit = panel->EditControl();
        edit->SetFocus();
    }
    void type(const std::string& text) {
        uitest::postNativeText(text, edit);
        uitest::processMessages();
    }
    void key(WORD vk, TShiftState shift = {}, TWinControl* to = nullptr) {
        uitest::postNativeKey(vk, shift, to ? to : edit);
        uitest::processMessages();
    }

    std::unique_ptr<TForm> form;
    TQorStringGrid* grid = nullptr;
    TSearchPanel* panel = nullptr;
    TRetEdit* edit = nullptr;
    std::vector<std::string> actions;
    int created = 0;
};

TEST_F(SearchFooterTest, TypingSearchesAsTheTextGrows) {
    ASSERT_TRUE(panel->Visible());
    EXPECT_EQ(created, 1);
    EXPECT_EQ(panel->Height(), 32);
    EXPECT_FALSE(panel->ForwardButton()->Enabled());
    grid->SetFocus();
    key('F', {ssCtrl}, grid);
    ASSERT_TRUE(edit->Focused());
    type("b1");
    EXPECT_TRUE(panel->ForwardButton()->Enabled());
    EXPECT_EQ(at(TPoint(grid->Col(), grid->Row())), "2,1");
    type("7");
    EXPECT_EQ(at(TPoint(grid->Col(), grid->Row())), "2,17");
    // The found row shows above the footer.
    EXPECT_LE(grid->CellRect(2, 17).Bottom, grid->ClientHeight() - panel->Height() + 2);
    EXPECT_EQ(edit->Color(), clWindow);
    EXPECT_EQ(actions.back(), "b17 2,17 0");
    type("x");
    EXPECT_EQ(edit->Color(), TColor(255));
    key(VK_BACK);
    EXPECT_EQ(edit->Color(), clWindow);
    for (int i = 0; i < 3; ++i) key(VK_BACK);
    EXPECT_EQ(edit->Text(), "");
    EXPECT_EQ(edit->Color(), clWindow);
    EXPECT_FALSE(panel->ForwardButton()->Enabled());
}

TEST_F(SearchFooterTest, EnterFindsNextAndCtrlEnterPrevious) {
    type("1");
    EXPECT_EQ(actions, std::vector<std::string>{"1 1,1 0"});
    key(VK_RETURN);
    key(VK_RETURN);
    EXPECT_EQ(at(TPoint(grid->Col(), grid->Row())), "1,11");
    key(VK_RETURN, {ssCtrl});
    EXPECT_EQ(at(TPoint(grid->Col(), grid->Row())), "1,10");
    EXPECT_EQ(actions.back(), "1 1,10 1");
    // The accelerators of the buttons work while the footer shows.
    uitest::pressKey('N', {ssAlt}, edit);
    EXPECT_EQ(at(TPoint(grid->Col(), grid->Row())), "1,11");
    EXPECT_EQ(actions.back(), "1 1,11 2");
    EXPECT_EQ(edit->Text(), "1");
}

TEST_F(SearchFooterTest, HighlightButtonAndCloseButton) {
    type("b2");
    uitest::click(panel->HighLightButton());
    EXPECT_TRUE(panel->HighLightButton()->Down());
    EXPECT_EQ(grid->Cells(2, 2), "<hi>b2</hi>");
    EXPECT_EQ(grid->Cells(1, 2), "a2");
    uitest::click(panel->HighLightButton());
    EXPECT_EQ(grid->Cells(2, 2), "b2");

    // Always highlighting: what is found is highlighted as it is typed, until the footer goes.
    for (int i = 0; i < 2; ++i) key(VK_BACK);
    grid->SearchFooter()->SetAlwaysHighLight(true);
    type("a3");
    EXPECT_EQ(grid->Cells(1, 3), "<hi>a3</hi>");
    // The application may take the typed text over.
    grid->OnSearchEditChange = [](TObject*, const std::string&, bool& DefaultSearch) {
        DefaultSearch = false;
    };
    type("x");
    EXPECT_EQ(grid->Cells(1, 3), "<hi>a3</hi>");
    EXPECT_EQ(edit->Color(), clWindow);

    int closed = 0;
    grid->OnSearchFooterClose = [&](TObject*) { ++closed; };
    uitest::click(panel->ExitButton());
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(grid->SearchFooter()->Visible());
    EXPECT_FALSE(panel->Visible());
    EXPECT_EQ(grid->Cells(1, 3), "a3");
}

TEST_F(SearchFooterTest, TheLastRowStaysAboveTheFooter) {
    grid->SetFocus();
    grid->SetRow(18);
    key(VK_DOWN, {}, grid);
    EXPECT_EQ(grid->Row(), 19);
    EXPECT_TRUE(grid->IsLastRowAboveSearchFooter());
    EXPECT_LE(grid->CellRect(1, 19).Bottom, grid->ClientHeight() - panel->Height() + 2);
    const int top = grid->TopRow();
    key(VK_DOWN, {}, grid);
    EXPECT_EQ(grid->Row(), 19);
    EXPECT_EQ(grid->TopRow(), top);
    // Scrolling line by line stops there too.
    grid->SetRow(1);
    grid->SetTopRow(1);
    for (int i = 0; i < 25; ++i) grid->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_TRUE(grid->IsLastRowAboveSearchFooter());
    EXPECT_EQ(grid->TopRow(), top);
    // Without the footer the last row may reach the bottom edge again.
    grid->SearchFooter()->SetVisible(false);
    EXPECT_FALSE(grid->IsLastRowAboveSearchFooter());
}

} // namespace
