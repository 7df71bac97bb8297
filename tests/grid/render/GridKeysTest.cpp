// Keys on the string grid: navigation over fixed, hidden and read-only cells, Home/End and
// cursor wrap, check keys, row insertion and deletion, Ctrl+A, and the Tab move.
#include "grid/core/QorStringGrid.h"
#include "grid/data/DataSettings.h"
#include "grid/render/FloatingFooter.h"
#include "platform/base/FormatSettings.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

struct KeyGrid {
    TForm form{nullptr};
    TQorStringGrid* g;
    explicit KeyGrid(int cols = 6, int rows = 7) {
        form.SetBounds(0, 0, 600, 400);
        g = new TQorStringGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 580, 360);
        g->SetColCount(cols);
        g->SetRowCount(rows);
        form.Show();
        g->SetFocus();
    }
    void at(int c, int r) {
        g->SetCol(c);
        g->SetRow(r);
    }
    TGridCoord cell() const { return {g->Col(), g->Row()}; }
};

void setOption(TQorStringGrid* g, TGridOption o, bool on = true) {
    TGridOptions opts = g->Options();
    on ? opts.Include(o) : opts.Exclude(o);
    g->SetOptions(opts);
}

TEST(GridKeys, NavigationTable) {
    auto fixedCol3 = [](KeyGrid& k) {
        k.g->OnIsFixedCell = [](TObject*, int, int c, bool& f) { f = f || c == 3; };
    };
    auto fixedRow3 = [](KeyGrid& k) {
        k.g->OnIsFixedCell = [](TObject*, int r, int, bool& f) { f = f || r == 3; };
    };
    auto readOnlyCol2 = [](KeyGrid& k) {
        k.g->OnCanEditCell = [](TObject*, int, int c, bool& e) { e = c != 2; };
    };
    struct Case {
        const char* name;
        std::function<void(KeyGrid&)> setup;
        TGridCoord from;
        WORD key;
        TShiftState shift;
        TGridCoord to;
    };
    const Case cases[] = {
        {"right", nullptr, {1, 1}, VK_RIGHT, {}, {2, 1}},
        {"left stops at the fixed column", nullptr, {1, 1}, VK_LEFT, {}, {1, 1}},
        {"up stops at the fixed row", nullptr, {2, 1}, VK_UP, {}, {2, 1}},
        {"right over a cell made fixed", fixedCol3, {2, 1}, VK_RIGHT, {}, {4, 1}},
        {"left over a cell made fixed", fixedCol3, {4, 2}, VK_LEFT, {}, {2, 2}},
        {"down over a row made fixed", fixedRow3, {2, 2}, VK_DOWN, {}, {2, 4}},
        {"up over a row made fixed", fixedRow3, {2, 4}, VK_UP, {}, {2, 2}},
        {"onto a read-only cell", readOnlyCol2, {1, 1}, VK_RIGHT, {}, {2, 1}},
        {"home", nullptr, {4, 3}, VK_HOME, {}, {1, 3}},
        {"end", nullptr, {2, 3}, VK_END, {}, {5, 3}},
        {"ctrl+home", nullptr, {4, 3}, VK_HOME, {ssCtrl}, {1, 1}},
        {"home skips a first column made fixed",
         [](KeyGrid& k) {
             k.g->OnIsFixedCell = [](TObject*, int, int c, bool& f) { f = f || c == 1; };
         },
         {4, 3},
         VK_HOME,
         {},
         {2, 3}},
        {"home to the first cell",
         [](KeyGrid& k) { k.g->Navigation()->SetHomeEndKey(heFirstLastCell); },
         {4, 3},
         VK_HOME,
         {},
         {1, 1}},
        {"end to the last row",
         [](KeyGrid& k) { k.g->Navigation()->SetHomeEndKey(heFirstLastRow); },
         {4, 3},
         VK_END,
         {},
         {4, 6}},
        {"snake right at the row end",
         [](KeyGrid& k) { k.g->Navigation()->SetCursorAdvance(caSnake); },
         {5, 3},
         VK_RIGHT,
         {},
         {1, 4}},
        {"snake left at the row start",
         [](KeyGrid& k) { k.g->Navigation()->SetCursorAdvance(caSnake); },
         {1, 3},
         VK_LEFT,
         {},
         {5, 2}},
        {"loop down from the last row",
         [](KeyGrid& k) { k.g->Navigation()->SetCursorAdvance(caLoop); },
         {2, 6},
         VK_DOWN,
         {},
         {2, 1}},
    };
    for (const auto& c : cases) {
        KeyGrid k;
        if (c.setup) c.setup(k);
        k.at(c.from.X, c.from.Y);
        uitest::pressKey(c.key, c.shift, k.g);
        EXPECT_EQ(k.cell(), c.to) << c.name;
    }
}

TEST(GridKeys, DownStepsOverHiddenRowsByTheirRealIndex) {
    KeyGrid k;
    for (int r = 0; r < 7; ++r) k.g->SetCells(1, r, "r" + std::to_string(r));
    k.g->HideRow(3);
    k.at(1, 2);
    uitest::pressKey(VK_DOWN, {}, k.g);
    EXPECT_EQ(k.g->Cells(1, k.g->Row()), "r4");
    EXPECT_EQ(k.g->RealRow(), 4);
}

TEST(GridKeys, SpaceTogglesAnEditableCheckBoxAndReachesKeyPress) {
    for (bool readOnly : {false, true}) {
        KeyGrid k;
        setOption(k.g, goEditing);
        k.g->AddCheckBox(2, 2, false, true);
        k.g->SetCells(2, 2, "N");
        if (readOnly) k.g->OnCanEditCell = [](TObject*, int, int, bool& e) { e = false; };
        std::vector<std::string> seen;
        k.g->OnCheckBoxClick = [&](TObject*, int c, int r, bool s) {
            seen.push_back("check " + std::to_string(c) + "," + std::to_string(r) +
                           (s ? " on" : " off"));
        };
        k.g->OnKeyPress = [&](TObject*, char32_t& ch) {
            seen.push_back("press " + std::to_string(int(ch)));
        };
        k.at(2, 2);
        uitest::pressKey(VK_SPACE, {}, k.g);
        EXPECT_EQ(k.g->Cells(2, 2), readOnly ? "N" : "Y");
        const std::vector<std::string> expected =
            readOnly ? std::vector<std::string>{"press 32"}
                     : std::vector<std::string>{"check 2,2 on", "press 32"};
        EXPECT_EQ(seen, expected) << readOnly;
    }
}

TEST(GridKeys, SpaceStepsAnEditableRadioGroupAndWraps) {
    KeyGrid k;
    setOption(k.g, goEditing);
    TStringList items;
    items.Add("A");
    items.Add("B");
    items.Add("C");
    k.g->AddRadio(2, 2, 0, 0, &items);
    std::vector<int> picked;
    k.g->OnRadioClick = [&](TObject*, int c, int r, int idx) {
        EXPECT_EQ((TGridCoord{c, r}), (TGridCoord{2, 2}));
        picked.push_back(idx);
    };
    k.at(2, 2);
    for (int i = 0; i < 3; ++i) uitest::pressKey(VK_SPACE, {}, k.g);
    EXPECT_EQ(picked, (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(k.g->Cells(2, 2), "A");
}

TEST(GridKeys, TypedCharactersReachKeyPressOnceThroughQt) {
    KeyGrid k;
    setOption(k.g, goEditing);
    k.at(2, 2);
    std::vector<char32_t> seen;
    k.g->OnKeyPress = [&](TObject*, char32_t& ch) {
        seen.push_back(ch);
        if (ch == 'a') ch = 'b';
    };
    // The first character opens the editor with what the handler made of it.
    uitest::postNativeKey('A', k.g);
    uitest::processMessages();
    ASSERT_TRUE(k.g->EditorMode());
    EXPECT_EQ(seen, std::vector<char32_t>{'a'});
    uitest::postNativeKey('C', k.g->InplaceEditor());
    uitest::processMessages();
    EXPECT_EQ(seen, (std::vector<char32_t>{'a', 'c'}));
    EXPECT_EQ(k.g->InplaceEditor()->Text(), "bc");
}

TEST(GridKeys, KeypadDecimalKeyTypesTheLocaleSeparator) {
    const char saved = FormatSettings().DecimalSeparator;
    FormatSettings().DecimalSeparator = ',';
    for (bool excelStyle : {false, true}) {
        KeyGrid k;
        setOption(k.g, goEditing);
        k.g->SetExcelStyleDecimalSeparator(excelStyle);
        k.at(2, 2);
        // The keypad's key opens the editor and types on in it; the main keyboard's "." stays.
        uitest::postNativeKey(VK_DECIMAL, k.g);
        uitest::processMessages();
        ASSERT_TRUE(k.g->EditorMode()) << excelStyle;
        uitest::postNativeKey(VK_DECIMAL, k.g->InplaceEditor());
        uitest::processMessages();
        k.g->InplaceEditor()->Perform(WM_CHAR, '.');
        EXPECT_EQ(k.g->InplaceEditor()->Text(), excelStyle ? ",,." : "...") << excelStyle;
    }
    FormatSettings().DecimalSeparator = saved;
}

TEST(GridKeys, ClipboardCharactersReachKeyPressUnlessShortcutsAreOn) {
    for (bool shortcuts : {false, true}) {
        KeyGrid k;
        k.g->Navigation()->SetAllowClipboardShortCuts(shortcuts);
        std::vector<int> typed;
        k.g->OnKeyPress = [&](TObject*, char32_t& ch) { typed.push_back(int(ch)); };
        for (WORD key : {WORD('C'), WORD('V'), WORD('X')}) uitest::pressKey(key, {ssCtrl}, k.g);
        EXPECT_EQ(typed, (shortcuts ? std::vector<int>{} : std::vector<int>{3, 22, 24}))
            << shortcuts;
    }
}

TEST(GridKeys, NavigationAndClicksStartANewIncrementalSearch) {
    struct Case {
        const char* name;
        std::function<void(KeyGrid&)> between;
        const char* found; // after typing "be", the step, then "a"
    };
    const Case cases[] = {
        {"typing on", nullptr, "bean"},
        {"arrow key", [](KeyGrid& k) { uitest::pressKey(VK_RIGHT, {}, k.g); }, "apple"},
        {"page key", [](KeyGrid& k) { uitest::pressKey(VK_NEXT, {}, k.g); }, "apple"},
        {"click",
         [](KeyGrid& k) {
             const TRect r = k.g->CellRect(2, 3);
             uitest::click(k.g, {r.Left + 5, r.Top + 5});
         },
         "apple"},
    };
    for (const auto& c : cases) {
        KeyGrid k(4, 6);
        const char* words[] = {"apple", "be", "bean", "berry", "cherry"};
        for (int r = 1; r < 6; ++r) k.g->SetCells(1, r, words[r - 1]);
        k.g->SortSettings()->SetColumn(1);
        k.g->Navigation()->SetAutoGotoWhenSorted(true);
        k.g->Navigation()->SetAutoGotoIncremental(true);
        uitest::typeText("be", k.g);
        ASSERT_EQ(k.g->Cells(1, k.g->Row()), "be") << c.name;
        if (c.between) c.between(k);
        uitest::typeText("a", k.g);
        EXPECT_EQ(k.g->Cells(1, k.g->Row()), c.found) << c.name;
    }
}

TEST(GridKeys, EnterOnACellThatCannotBeEditedIsReportedOnceAndSwallowed) {
    KeyGrid k;
    int keyDowns = 0;
    k.g->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { keyDowns += key == VK_RETURN; };
    uitest::pressKey(VK_RETURN, {}, k.g);
    EXPECT_EQ(keyDowns, 1);
    EXPECT_FALSE(k.g->EditorMode());
}

TEST(GridKeys, InsertAndDeleteKeysChangeRowsWhereAllowed) {
    struct Case {
        const char* name;
        std::function<void(KeyGrid&)> setup;
        WORD key;
        int rows;
        const char* cell12; // text at (1, 2) afterwards; row 2 held "b"
        int reported;       // row reported by the auto event, -1 none
    };
    const Case cases[] = {
        {"insert not allowed", nullptr, VK_INSERT, 4, "b", -1},
        {"insert before", [](KeyGrid& k) { k.g->Navigation()->SetAllowInsertRow(true); }, VK_INSERT,
         5, "", 2},
        {"insert after",
         [](KeyGrid& k) {
             k.g->Navigation()->SetAllowInsertRow(true);
             k.g->Navigation()->SetInsertPosition(pInsertAfter);
         },
         VK_INSERT, 5, "b", 3},
        {"insert refused",
         [](KeyGrid& k) {
             k.g->Navigation()->SetAllowInsertRow(true);
             k.g->OnCanInsertRow = [](TObject*, int, bool& a) { a = false; };
         },
         VK_INSERT, 4, "b", -1},
        {"delete not allowed", nullptr, VK_DELETE, 4, "b", -1},
        {"delete", [](KeyGrid& k) { k.g->Navigation()->SetAllowDeleteRow(true); }, VK_DELETE, 3,
         "c", 2},
        {"delete refused",
         [](KeyGrid& k) {
             k.g->Navigation()->SetAllowDeleteRow(true);
             k.g->OnCanDeleteRow = [](TObject*, int, bool& a) { a = false; };
         },
         VK_DELETE, 4, "b", -1},
    };
    for (const auto& c : cases) {
        KeyGrid k(3, 4);
        k.g->SetCells(1, 1, "a");
        k.g->SetCells(1, 2, "b");
        k.g->SetCells(1, 3, "c");
        int reported = -1;
        k.g->OnAutoInsertRow = [&](TObject*, int r) { reported = r; };
        k.g->OnAutoDeleteRow = [&](TObject*, int r) { reported = r; };
        if (c.setup) c.setup(k);
        k.at(1, 2);
        uitest::pressKey(c.key, {}, k.g);
        EXPECT_EQ(k.g->RowCount(), c.rows) << c.name;
        EXPECT_EQ(k.g->Cells(1, 2), c.cell12) << c.name;
        EXPECT_EQ(reported, c.reported) << c.name;
        // A row inserted or deleted by key marks the grid modified.
        EXPECT_EQ(k.g->GridModified(), c.reported >= 0) << c.name;
    }
    // The only data row is emptied rather than removed.
    KeyGrid k(3, 2);
    k.g->Navigation()->SetAllowDeleteRow(true);
    k.g->SetCells(1, 1, "x");
    uitest::pressKey(VK_DELETE, {}, k.g);
    EXPECT_EQ(k.g->RowCount(), 2);
    EXPECT_EQ(k.g->Cells(1, 1), "");
    EXPECT_TRUE(k.g->GridModified());
}

// The filter is off while a key inserts or deletes a row, and filters again afterwards.
TEST(GridKeys, InsertAndDeleteKeysWorkWithTheFilterOff) {
    const std::vector<std::string> data = {"a1", "b1", "a2", "b2", "a3"};
    auto allRows = [](KeyGrid& k) {
        std::vector<std::string> rows;
        for (int r = 1; r < k.g->TotalRowCount(); ++r) rows.push_back(k.g->AllCells(1, r));
        return rows;
    };
    struct Case {
        const char* name;
        WORD key;
        std::vector<std::string> after; // every row, hidden or not
        int eventRow;                   // real row the event reported
        int rowsSeen;                   // rows the event saw
        std::string current;            // text of the current row afterwards
    };
    const Case cases[] = {
        {"insert", VK_INSERT, {"a1", "b1", "", "a2", "b2", "a3"}, 3, 7, "a2"},
        {"delete", VK_DELETE, {"a1", "b1", "b2", "a3"}, 3, 6, "a3"},
    };
    for (const Case& c : cases) {
        KeyGrid k(3, 6);
        k.g->Navigation()->SetAllowInsertRow(true);
        k.g->Navigation()->SetAllowDeleteRow(true);
        for (std::size_t i = 0; i < data.size(); ++i) k.g->SetCells(1, int(i) + 1, data[i]);
        TFilterData* f = k.g->Filter()->Add();
        f->SetColumn(1);
        f->SetCondition("a*");
        k.g->SetFilterActive(true);
        ASSERT_EQ(k.g->RowCount(), 4);
        k.at(1, 2); // "a2", real row 3
        int eventRow = -1;
        int rowsSeen = 0;
        bool filterSeen = true;
        auto seen = [&](int r) {
            eventRow = r;
            rowsSeen = k.g->RowCount();
            filterSeen = k.g->FilterActive();
        };
        k.g->OnAutoInsertRow = [&](TObject*, int r) { seen(r); };
        k.g->OnCanDeleteRow = [&](TObject*, int r, bool&) { seen(r); };
        uitest::pressKey(c.key, {}, k.g);
        EXPECT_EQ(eventRow, c.eventRow) << c.name;
        EXPECT_FALSE(filterSeen) << c.name;
        EXPECT_EQ(rowsSeen, c.rowsSeen) << c.name;
        EXPECT_TRUE(k.g->FilterActive()) << c.name;
        EXPECT_EQ(allRows(k), c.after) << c.name;
        EXPECT_EQ(k.g->Cells(1, k.g->Row()), c.current) << c.name;
        k.g->SetFilterActive(false);
        EXPECT_EQ(k.g->RowCount(), int(c.after.size()) + 1) << c.name;
    }
}

TEST(GridKeys, DownOnTheLastDataRowAppendsARowAboveTheFooter) {
    for (bool footer : {false, true}) {
        KeyGrid k(3, 4);
        k.g->Navigation()->SetAppendOnArrowDown(true);
        if (footer) k.g->FloatingFooter()->SetVisible(true);
        for (int r = 1; r < 4; ++r) k.g->SetCells(1, r, "r" + std::to_string(r));
        int added = -1;
        k.g->OnAutoAddRow = [&](TObject*, int r) { added = r; };
        const int last = footer ? 2 : 3;
        k.at(1, last);
        uitest::pressKey(VK_DOWN, {}, k.g);
        EXPECT_EQ(k.g->RowCount(), 5) << footer;
        EXPECT_EQ(k.g->Row(), last + 1) << footer;
        EXPECT_EQ(k.g->Cells(1, last + 1), "") << footer;
        // The footer row keeps its texts and stays the last row.
        EXPECT_EQ(k.g->Cells(1, 4), footer ? "r3" : "") << footer;
        EXPECT_EQ(k.g->Cells(1, last), "r" + std::to_string(last)) << footer;
        EXPECT_EQ(added, last + 1) << footer;
    }
}

TEST(GridKeys, CtrlASelectsEveryNormalCell) {
    KeyGrid k;
    k.g->SetFixedFooters(1);
    uitest::pressKey('A', {ssCtrl}, k.g);
    const TGridRect s = k.g->Selection();
    EXPECT_EQ(s, (TGridRect{1, 1, 5, 5}));
    // Without fixed columns the node glyphs' column is left out.
    KeyGrid n;
    n.g->SetFixedCols(0);
    n.g->AddNode(2, 2);
    uitest::pressKey('A', {ssCtrl}, n.g);
    EXPECT_EQ(n.g->Selection(), (TGridRect{1, 1, 5, 6}));
}

TEST(GridKeys, TabMovesBetweenCells) {
    struct Case {
        const char* name;
        std::function<void(KeyGrid&)> setup;
        TGridCoord from;
        bool backward;
        TGridCoord to;
        int rows;
    };
    auto insertAtEnd = [](KeyGrid& k) { k.g->Navigation()->SetAdvanceInsert(true); };
    auto readOnlyCol2 = [](KeyGrid& k) {
        setOption(k.g, goEditing);
        k.g->OnCanEditCell = [](TObject*, int, int c, bool& e) { e = c != 2; };
    };
    const Case cases[] = {
        {"next cell", nullptr, {1, 1}, false, {2, 1}, 3},
        {"row end to the next row", nullptr, {2, 1}, false, {1, 2}, 3},
        {"last cell to the first", nullptr, {2, 2}, false, {1, 1}, 3},
        {"back from the first cell to the last", nullptr, {1, 1}, true, {2, 2}, 3},
        {"back to the previous row", nullptr, {1, 2}, true, {2, 1}, 3},
        {"appends at the end", insertAtEnd, {2, 2}, false, {1, 3}, 4},
        {"skips read-only cells while editing", readOnlyCol2, {1, 1}, false, {1, 2}, 3},
        {"down the column",
         [](KeyGrid& k) { k.g->Navigation()->SetTabAdvanceDirection(adTopBottom); },
         {1, 1},
         false,
         {1, 2},
         3},
    };
    for (const auto& c : cases) {
        KeyGrid k(3, 3);
        setOption(k.g, goTabs);
        int added = -1;
        k.g->OnAutoAddRow = [&](TObject*, int r) { added = r; };
        if (c.setup) c.setup(k);
        k.at(c.from.X, c.from.Y);
        uitest::pressKey(VK_TAB, c.backward ? TShiftState{ssShift} : TShiftState{}, k.g);
        EXPECT_EQ(k.cell(), c.to) << c.name;
        EXPECT_EQ(k.g->RowCount(), c.rows) << c.name;
        EXPECT_EQ(added, c.rows == 4 ? 3 : -1) << c.name;
    }
}

TEST(GridKeys, TabHandlerAndEndOfGrid) {
    KeyGrid k(3, 3);
    setOption(k.g, goTabs);
    // A handler that takes the key keeps the cell.
    k.g->OnKeyDown = [](TObject*, WORD& key, TShiftState) {
        if (key == VK_TAB) key = 0;
    };
    k.at(1, 1);
    EXPECT_TRUE(k.g->EditorNavigateKey(false));
    EXPECT_EQ(k.cell(), (TGridCoord{1, 1}));
    k.g->OnKeyDown = nullptr;
    // At the end the Tab goes on to the parent.
    k.g->Navigation()->SetTabToNextAtEnd(true);
    k.at(2, 2);
    EXPECT_FALSE(k.g->EditorNavigateKey(false));
    EXPECT_EQ(k.cell(), (TGridCoord{1, 1}));
}

TEST(GridKeys, KeysThroughQtMoveTheCurrentCell) {
    KeyGrid k;
    k.at(1, 1);
    uitest::postNativeKey(VK_RIGHT, k.g);
    uitest::postNativeKey(VK_DOWN, k.g);
    uitest::processMessages();
    EXPECT_EQ(k.cell(), (TGridCoord{2, 2}));
    uitest::postNativeKey(VK_END, k.g);
    uitest::processMessages();
    EXPECT_EQ(k.cell(), (TGridCoord{5, 2}));
    uitest::postNativeKey(VK_HOME, k.g);
    uitest::processMessages();
    EXPECT_EQ(k.cell(), (TGridCoord{1, 2}));
}

TEST(GridKeys, ASynchronisedGridFollowsTheCurrentCell) {
    KeyGrid a, b;
    a.g->SyncGrid()->SetGrid(b.g);
    a.g->SyncGrid()->SetSelectionRow(true);
    a.g->SyncGrid()->SetSelectionColumn(true);
    const TRect r = a.g->CellRect(3, 4);
    uitest::postNativeClickAt(a.g, {r.Left + 5, r.Top + 5});
    uitest::processMessages();
    EXPECT_EQ(b.cell(), (TGridCoord{3, 4}));
    a.g->SetFocus();
    uitest::postNativeKey(VK_LEFT, a.g);
    uitest::postNativeKey(VK_UP, a.g);
    uitest::processMessages();
    EXPECT_EQ(a.cell(), (TGridCoord{2, 3}));
    EXPECT_EQ(b.cell(), (TGridCoord{2, 3}));
}

TEST(GridKeys, SpaceAndTabThroughQt) {
    KeyGrid k(4, 4);
    setOption(k.g, goEditing);
    setOption(k.g, goTabs);
    k.g->Navigation()->SetAdvanceAutoEdit(false);
    k.g->AddCheckBox(2, 2, false, true);
    k.g->SetCells(2, 2, "N");
    k.at(2, 2);
    uitest::postNativeKey(VK_SPACE, k.g);
    uitest::processMessages();
    EXPECT_EQ(k.g->Cells(2, 2), "Y");
    // Tab stays in the grid: it moves to the next cell, wrapping at the row end.
    uitest::postNativeKey(VK_TAB, k.g);
    uitest::processMessages();
    EXPECT_EQ(k.cell(), (TGridCoord{3, 2}));
    uitest::postNativeKey(VK_TAB, k.g);
    uitest::processMessages();
    EXPECT_EQ(k.cell(), (TGridCoord{1, 3}));
    EXPECT_TRUE(k.g->Focused());
}

} // namespace
