// Mouse buttons on the string grid: presses and releases per cell kind with their events in
// order, sizing by mouse, double and right clicks, links and a click through Qt.
#include "grid/core/QorStringGrid.h"
#include "grid/data/DataSettings.h"
#include "platform/process/Process.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

struct MouseGrid {
    TForm form{nullptr};
    TQorStringGrid* g;
    std::vector<std::string> events;
    MouseGrid() {
        form.SetBounds(0, 0, 500, 300);
        g = new TQorStringGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 480, 260);
        g->SetColCount(5);
        g->SetRowCount(6);
        auto log = [this](const std::string& s) { events.push_back(s); };
        auto rc = [](int a, int b) {
            return "(" + std::to_string(a) + "," + std::to_string(b) + ")";
        };
        g->OnCanClickCell = [=](TObject*, int r, int c, bool&) { log("CanClick" + rc(c, r)); };
        g->OnClickCell = [=](TObject*, int r, int c) { log("ClickCell" + rc(c, r)); };
        g->OnSelectCell = [=](TObject*, int c, int r, bool&) { log("Select" + rc(c, r)); };
        g->OnMouseDown = [=](TObject*, TMouseButton, TShiftState, int, int) { log("MouseDown"); };
        g->OnMouseUp = [=](TObject*, TMouseButton, TShiftState, int, int) { log("MouseUp"); };
        g->OnClick = [=](TObject*) { log("Click"); };
        g->OnCheckBoxClick = [=](TObject*, int c, int r, bool s) {
            log("CheckBox" + rc(c, r) + (s ? "Y" : "N"));
        };
        g->OnCheckBoxMouseUp = [=](TObject*, int c, int r, bool) { log("CheckUp" + rc(c, r)); };
        g->OnDblClick = [=](TObject*) { log("DblClick"); };
        g->OnDblClickCell = [=](TObject*, int r, int c) { log("DblClickCell" + rc(c, r)); };
        g->OnRightClickCell = [=](TObject*, int r, int c) { log("RightClickCell" + rc(c, r)); };
        g->OnEndColumnSize = [=](TObject*, int c) { log("EndColumnSize" + std::to_string(c)); };
        g->OnSelectionChanged = [=](TObject*, int, int, int, int) { log("SelChanged"); };
        form.Show();
    }
    TPoint inside(int c, int r, int dx = 8, int dy = 8) {
        TRect rc = g->CellRect(c, r);
        return {rc.Left + dx, rc.Top + dy};
    }
    // Whether the events so far hold the word w.
    bool has(const std::string& w) {
        for (auto& e : events)
            if (e == w) return true;
        return false;
    }
    std::string take() {
        std::string s;
        for (auto& e : events) s += (s.empty() ? "" : " ") + e;
        events.clear();
        return s;
    }
};

void addOption(TQorStringGrid* g, TGridOption o) {
    TGridOptions opts = g->Options();
    opts.Include(o);
    g->SetOptions(opts);
}

TEST(GridMouse, PressAndReleaseEventsPerCellKind) {
    struct Case {
        const char* name;
        std::function<void(MouseGrid&)> setup;
        int col, row;
        const char* events;
        const char* text; // of the pressed cell afterwards
        TGridCoord current;
    };
    auto checkBoxes = [](MouseGrid& m) {
        addOption(m.g, goEditing);
        m.g->AddCheckBox(2, 3, false, true);
        m.g->SetCells(2, 3, "N");
        m.g->AddCheckBox(3, 3, false, true);
        m.g->SetCells(3, 3, "N");
        m.g->OnCanEditCell = [](TObject*, int, int c, bool& can) { can = c != 3; };
    };
    const Case cases[] = {
        {"normal cell",
         nullptr,
         2,
         3,
         "CanClick(2,3) Select(2,3) MouseDown ClickCell(2,3) Click MouseUp",
         "",
         {2, 3}},
        {"data check box of an editable column",
         checkBoxes,
         2,
         3,
         "CanClick(2,3) Select(2,3) CheckBox(2,3)Y MouseDown Click MouseUp CheckUp(2,3)",
         "Y",
         {2, 3}},
        {"check box of a read-only column",
         checkBoxes,
         3,
         3,
         "CanClick(3,3) Select(3,3) MouseDown ClickCell(3,3) Click MouseUp CheckUp(3,3)",
         "N",
         {3, 3}},
        {"header cell",
         nullptr,
         2,
         0,
         "CanClick(2,0) MouseDown ClickCell(2,0) Click MouseUp",
         "",
         {1, 1}},
        {"refused by OnCanClickCell",
         [](MouseGrid& m) { m.g->OnCanClickCell = [](TObject*, int, int, bool& a) { a = false; }; },
         2,
         3,
         "MouseUp",
         "",
         {1, 1}},
    };
    for (const auto& c : cases) {
        MouseGrid m;
        if (c.setup) c.setup(m);
        m.events.clear();
        uitest::click(m.g, m.inside(c.col, c.row));
        // The platform selection-change notice after the release is irrelevant here.
        std::string got = m.take();
        for (std::string sc = " SelChanged"; got.find(sc) != std::string::npos;)
            got.erase(got.find(sc), sc.size());
        EXPECT_EQ(got, c.events) << c.name;
        EXPECT_EQ(m.g->Cells(c.col, c.row), c.text) << c.name;
        EXPECT_EQ((TGridCoord{m.g->Col(), m.g->Row()}), c.current) << c.name;
    }
}

TEST(GridMouse, HeaderPressNearAColumnBorderIsASizingPress) {
    MouseGrid m;
    addOption(m.g, goColSizing);
    const TRect h = m.g->CellRect(2, 0);
    struct Case {
        int x;
        bool clickCell;
    };
    const Case cases[] = {
        {h.Left + 3, false}, {h.Left + 4, true}, {h.Right - 4, true}, {h.Right - 3, false}};
    for (const auto& c : cases) {
        m.events.clear();
        uitest::click(m.g, {c.x, h.Top + 8});
        EXPECT_EQ(m.take().find("ClickCell") != std::string::npos, c.clickCell) << c.x - h.Left;
    }
}

TEST(GridMouse, ColumnSizedByMouseReportsWidthAndEndsOnRelease) {
    MouseGrid m;
    addOption(m.g, goColSizing);
    m.g->SetHintShowSizing(true);
    std::vector<int> sizing;
    m.g->OnColumnSizing = [&](TObject*, int c, int w) { sizing.push_back(c * 1000 + w); };
    const TRect h = m.g->CellRect(2, 0);
    uitest::mouseMove(m.g, {h.Right, h.Top + 8});
    EXPECT_EQ(m.g->Cursor(), crHSplit);
    m.events.clear();
    uitest::mouseDown(m.g, {h.Right, h.Top + 8});
    uitest::mouseMove(m.g, {h.Right + 16, h.Top + 8}, {ssLeft});
    ASSERT_FALSE(sizing.empty());
    EXPECT_EQ(sizing.back(), 2080);
    ASSERT_NE(m.g->SizingHintWindow(), nullptr);
    EXPECT_EQ(m.g->SizingHintWindow()->Text(), "cw=<b>80</b>");
    uitest::mouseUp(m.g, {h.Right + 16, h.Top + 8});
    EXPECT_EQ(m.g->ColWidths(2), 80);
    EXPECT_FALSE(m.g->SizingHintShown());
    EXPECT_FALSE(m.has("Click"));
    EXPECT_FALSE(m.has("ClickCell(2,0)"));

    // A release past the last column leaves the width as it was.
    const TRect h3 = m.g->CellRect(4, 0);
    uitest::mouseDown(m.g, {h3.Right, h3.Top + 8});
    uitest::mouseMove(m.g, {m.g->GridWidth() + 40, h3.Top + 8}, {ssLeft});
    uitest::mouseUp(m.g, {m.g->GridWidth() + 40, h3.Top + 8});
    EXPECT_EQ(m.g->ColWidths(4), 64);
    EXPECT_EQ(m.g->GridState(), gsNormal);
}

TEST(GridMouse, FixedColumnSizingNeverGoesNegative) {
    struct Case {
        int releaseX;
        int width;
    };
    const Case cases[] = {{100, 100}, {-10, 0}};
    for (const auto& c : cases) {
        MouseGrid m;
        m.g->MouseActions()->SetSizeFixedCol(true);
        std::vector<int> ended;
        m.g->OnEndColumnSize = [&](TObject*, int col) { ended.push_back(col); };
        uitest::mouseMove(m.g, {64, 40});
        uitest::mouseDown(m.g, {64, 40});
        uitest::mouseMove(m.g, {c.releaseX, 40}, {ssLeft});
        uitest::mouseUp(m.g, {c.releaseX, 40});
        EXPECT_EQ(m.g->ColWidths(0), c.width) << c.releaseX;
        EXPECT_EQ(ended, std::vector<int>{0}) << c.releaseX;
    }
}

TEST(GridMouse, RowSizedByMouseReportsHeightAndEndsOnRelease) {
    MouseGrid m;
    addOption(m.g, goRowSizing);
    std::vector<int> sizing;
    m.g->OnRowSizing = [&](TObject*, int r, int h) { sizing.push_back(r * 1000 + h); };
    const TRect side = m.g->CellRect(0, 2);
    const TPoint border{side.Left + 10, side.Bottom};
    uitest::mouseMove(m.g, border);
    EXPECT_EQ(m.g->Cursor(), crVSplit);
    m.events.clear();
    uitest::mouseDown(m.g, border);
    uitest::mouseMove(m.g, {border.X, border.Y + 12}, {ssLeft});
    ASSERT_FALSE(sizing.empty());
    EXPECT_EQ(sizing.back(), 2000 + side.Height() + 12);
    uitest::mouseUp(m.g, {border.X, border.Y + 12});
    EXPECT_EQ(m.g->RowHeights(2), side.Height() + 12);
    EXPECT_FALSE(m.has("Click"));
}

TEST(GridMouse, FixedRowSizingNeverGoesNegative) {
    struct Case {
        int releaseY;
        int height;
    };
    const Case cases[] = {{40, 40}, {-10, 0}};
    for (const auto& c : cases) {
        MouseGrid m;
        m.g->MouseActions()->SetSizeFixedRow(true);
        std::vector<int> ended;
        m.g->OnEndRowSize = [&](TObject*, int r) { ended.push_back(r); };
        const int edge = m.g->RowHeights(0);
        uitest::mouseMove(m.g, {100, edge});
        uitest::mouseDown(m.g, {100, edge});
        uitest::mouseMove(m.g, {100, c.releaseY}, {ssLeft});
        uitest::mouseUp(m.g, {100, c.releaseY});
        EXPECT_EQ(m.g->RowHeights(0), c.height) << c.releaseY;
        EXPECT_EQ(ended, std::vector<int>{0}) << c.releaseY;
    }
}

TEST(GridMouse, DoubleClickOnHeaderBorderAutoSizesElseReportsTheCell) {
    struct Case {
        const char* name;
        std::function<TPoint(MouseGrid&)> at;
        const char* events;
        int sizedCol;
    };
    const Case cases[] = {
        {"border between 2 and 3",
         [](MouseGrid& m) {
             return TPoint{m.g->CellRect(3, 0).Left + 1, 8};
         },
         "EndColumnSize2 DblClick", 2},
        {"middle of the header", [](MouseGrid& m) { return m.inside(2, 0, 30, 8); },
         "DblClick DblClickCell(2,0)", -1},
        {"right of the last column",
         [](MouseGrid& m) {
             return TPoint{m.g->CellRect(4, 0).Right + 2, 8};
         },
         "EndColumnSize4 DblClick", 4},
        {"data cell", [](MouseGrid& m) { return m.inside(1, 2); }, "DblClick DblClickCell(1,2)",
         -1},
    };
    for (const auto& c : cases) {
        MouseGrid m;
        addOption(m.g, goColSizing);
        m.g->SetCells(2, 1, "a much longer text than fits");
        m.g->SetCells(4, 1, "short");
        const TPoint p = c.at(m);
        uitest::doubleClick(m.g, p);
        std::string got = m.take();
        std::string filtered;
        // Only the double-click family and the end of sizing count here.
        size_t pos = 0;
        while (pos < got.size()) {
            size_t end = got.find(' ', pos);
            std::string w =
                got.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
            if (w.rfind("EndColumnSize", 0) == 0 || w.rfind("DblClick", 0) == 0)
                filtered += (filtered.empty() ? "" : " ") + w;
            pos = end == std::string::npos ? got.size() : end + 1;
        }
        EXPECT_EQ(filtered, c.events) << c.name;
        if (c.sizedCol >= 0) {
            EXPECT_NE(m.g->ColWidths(c.sizedCol), 64) << c.name;
        }
    }
}

TEST(GridMouse, DoubleClicksOnButtonsAndCheckBoxesAreNoCellDoubleClicks) {
    struct Case {
        const char* name;
        bool button, checkBox;
        const char* events; // the double-click family
        int buttonClicks;
    };
    const Case cases[] = {
        {"plain cell", false, false, "DblClick DblClickCell(2,3)", 0},
        {"cell button", true, false, "", 1},
        {"data check box", false, true, "DblClick", 0},
    };
    for (const auto& c : cases) {
        MouseGrid m;
        addOption(m.g, goEditing);
        m.g->SetColWidths(2, 100);
        if (c.button) m.g->AddButton(2, 3, 40, 18, "go", haLeft, vaTop);
        if (c.checkBox) {
            m.g->AddCheckBox(2, 3, false, true);
            m.g->SetCells(2, 3, "N");
        }
        int clicks = 0;
        m.g->OnButtonClick = [&](TObject*, int, int) { ++clicks; };
        m.g->Repaint();
        const TRect b = m.g->GetCellGraphicRect(2, 3);
        const TPoint p = c.button ? TPoint{b.Left + 3, b.Top + 3} : m.inside(2, 3);
        m.events.clear();
        uitest::postNativeDoubleClickAt(m.g, p);
        uitest::processMessages();
        std::string got;
        for (const auto& e : m.events)
            if (e.rfind("DblClick", 0) == 0) got += (got.empty() ? "" : " ") + e;
        EXPECT_EQ(got, c.events) << c.name;
        EXPECT_EQ(clicks, c.buttonClicks) << c.name;
        // The first click toggled the check box; the double click adds nothing.
        if (c.checkBox) {
            EXPECT_EQ(m.g->Cells(2, 3), "Y") << c.name;
        }
    }
}

TEST(GridMouse, RightClickReportsAndSelectsOnlyWhenAsked) {
    for (bool selectOnRight : {false, true}) {
        MouseGrid m;
        m.g->MouseActions()->SetSelectOnRightClick(selectOnRight);
        uitest::rightClick(m.g, m.inside(3, 4));
        EXPECT_NE(m.take().find("RightClickCell(3,4)"), std::string::npos);
        const TGridCoord expected = selectOnRight ? TGridCoord{3, 4} : TGridCoord{1, 1};
        EXPECT_EQ((TGridCoord{m.g->Col(), m.g->Row()}), expected);
    }
}

TEST(GridMouse, ClickOnTheCurrentCellReportsNoSelectionChange) {
    MouseGrid m;
    uitest::click(m.g, m.inside(1, 1));
    EXPECT_EQ(m.take().find("SelChanged"), std::string::npos);
    uitest::click(m.g, m.inside(2, 2));
    EXPECT_NE(m.take().find("SelChanged"), std::string::npos);
}

TEST(GridMouse, DisjunctRowSelectionByCtrlClicks) {
    MouseGrid m;
    m.g->MouseActions()->SetDisjunctRowSelect(true);
    uitest::click(m.g, m.inside(2, 2));
    uitest::click(m.g, m.inside(2, 4), {ssCtrl});
    EXPECT_TRUE(m.g->RowSelect(2));
    EXPECT_TRUE(m.g->RowSelect(4));
    // Ctrl on a selected row deselects it on the release.
    uitest::click(m.g, m.inside(2, 2), {ssCtrl});
    EXPECT_FALSE(m.g->RowSelect(2));
    // A plain click keeps only its own row.
    uitest::click(m.g, m.inside(2, 3));
    EXPECT_EQ(m.g->RowSelectCount(), 1);
    EXPECT_TRUE(m.g->RowSelect(3));
}

TEST(GridMouse, DisjunctCellSelectionByClicksAndSpace) {
    MouseGrid m;
    m.g->MouseActions()->SetDisjunctCellSelect(true);
    auto cells = [&] {
        std::vector<TGridCoord> v;
        for (int i = 0; i < m.g->SelectedCellsCount(); ++i) v.push_back(m.g->SelectedCell(i));
        return v;
    };
    using V = std::vector<TGridCoord>;
    uitest::click(m.g, m.inside(2, 2));
    EXPECT_EQ(cells(), (V{{2, 2}}));
    uitest::click(m.g, m.inside(3, 3), {ssCtrl});
    EXPECT_EQ(cells(), (V{{2, 2}, {3, 3}}));
    uitest::click(m.g, m.inside(2, 2), {ssCtrl});
    EXPECT_EQ(cells(), (V{{3, 3}}));
    uitest::click(m.g, m.inside(4, 4));
    EXPECT_EQ(cells(), (V{{4, 4}}));
    // A cell that may not be selected ends the release.
    m.g->OnSelectCell = [](TObject*, int c, int, bool& can) { can = c != 1; };
    uitest::click(m.g, m.inside(1, 4), {ssCtrl});
    EXPECT_EQ(cells(), (V{{4, 4}}));
    // Ctrl+Space toggles the current cell, Space keeps only it.
    m.g->SetFocus();
    uitest::pressKey(VK_SPACE, {ssCtrl}, m.g);
    EXPECT_EQ(cells(), V{});
    uitest::pressKey(VK_SPACE, {ssCtrl}, m.g);
    uitest::click(m.g, m.inside(2, 2), {ssCtrl});
    EXPECT_EQ(cells(), (V{{4, 4}, {2, 2}}));
    uitest::pressKey(VK_SPACE, {}, m.g);
    EXPECT_EQ(cells(), (V{{2, 2}}));
}

TEST(GridMouse, MarkupAnchorsOpenOnlyWebAndMailLinks) {
    struct Case {
        const char* href;
        bool opened;
    };
    const Case cases[] = {{"https://example.org/x", true},
                          {"http://example.org", true},
                          {"mailto:someone@example.org", true},
                          {"file:///bin/sh", false},
                          {"/usr/bin/xterm", false},
                          {"javascript:alert(1)", false}};
    std::vector<std::string> opened;
    SetShellOpenHandler([&](const std::string& t) {
        opened.push_back(t);
        return true;
    });
    for (const auto& c : cases) {
        MouseGrid m;
        m.g->SetColWidths(2, 200);
        std::string anchorSeen;
        m.g->OnAnchorClick = [&](TObject*, int, int, std::string& a, bool&) { anchorSeen = a; };
        m.g->SetCells(2, 2, std::string("<a href=\"") + c.href + "\">wwwwwwwwwwww</a>");
        opened.clear();
        uitest::click(m.g, m.inside(2, 2, 12, 9));
        EXPECT_EQ(anchorSeen, c.href);
        EXPECT_EQ(opened.size(), c.opened ? 1u : 0u) << c.href;
    }
    SetShellOpenHandler(nullptr);
}

TEST(GridMouse, RadioGroupPicksTheOptionUnderThePointer) {
    struct Case {
        bool sideBySide;
        int at; // pixels into the cell along the layout, from the option ends below
        const char* text;
        int picked;
    };
    // Glyph 16 (the default control style); option ends: "A", then "BB".
    MouseGrid probe;
    TCanvas* c = probe.g->Canvas();
    c->Font()->Assign(probe.g->Font());
    const int endA = 16 + c->TextWidth("A"), endBB = endA + 16 + c->TextWidth("BB");
    const int line = std::max(16, c->TextHeight("gh"));
    const Case cases[] = {
        {true, endA - 1, "A", 0},  {true, endA + 1, "BB", 1},  {true, endBB + 2, "", -1},
        {false, line - 1, "A", 0}, {false, line + 1, "BB", 1}, {false, 2 * line + 2, "", -1},
    };
    for (const auto& k : cases) {
        MouseGrid m;
        addOption(m.g, goEditing);
        m.g->SetColWidths(2, 200);
        m.g->SetRowHeights(3, 60);
        TStringList items;
        items.Add("A");
        items.Add("BB");
        m.g->AddRadio(2, 3, k.sideBySide ? 1 : 0, -1, &items);
        std::vector<int> picked;
        m.g->OnRadioClick = [&](TObject*, int col, int row, int idx) {
            EXPECT_EQ((TGridCoord{col, row}), (TGridCoord{2, 3}));
            picked.push_back(idx);
        };
        const TRect r = m.g->CellRect(2, 3);
        uitest::click(m.g, k.sideBySide ? TPoint{r.Left + k.at, r.Top + 5}
                                        : TPoint{r.Left + 5, r.Top + k.at});
        EXPECT_EQ(m.g->Cells(2, 3), k.text) << k.sideBySide << " " << k.at;
        EXPECT_EQ(picked, k.picked < 0 ? std::vector<int>{} : std::vector<int>{k.picked});
        EXPECT_EQ((TGridCoord{m.g->Col(), m.g->Row()}), (TGridCoord{2, 3}));
        EXPECT_FALSE(m.has("ClickCell(2,3)"));
    }
}

TEST(GridMouse, RadioGroupKeptAsTextFollowsEveryPick) {
    MouseGrid m;
    addOption(m.g, goEditing);
    m.g->SetColWidths(2, 200);
    TStringList items;
    items.Add("A");
    items.Add("BB");
    m.g->AddRadio(2, 3, 1, -1, &items);
    TCanvas* c = m.g->Canvas();
    c->Font()->Assign(m.g->Font());
    const int endA = 16 + c->TextWidth("A");
    const TRect r = m.g->CellRect(2, 3);
    uitest::click(m.g, {r.Left + endA - 2, r.Top + 5});
    EXPECT_EQ(m.g->Cells(2, 3), "A");
    uitest::click(m.g, {r.Left + endA + 2, r.Top + 5});
    EXPECT_EQ(m.g->Cells(2, 3), "BB");
    int idx = 0;
    EXPECT_TRUE(m.g->GetRadioIdx(2, 3, idx));
    EXPECT_EQ(idx, -1);
}

TEST(GridMouse, RatingTakesHalfStarsOfNinePixels) {
    struct Case {
        int x;
        bool allow;
        double value;
    };
    const Case cases[] = {{8, true, 0}, {9, true, 0.5}, {26, true, 1}, {40, false, 3}};
    for (const auto& c : cases) {
        MouseGrid m;
        addOption(m.g, goEditing);
        m.g->SetColWidths(2, 120);
        m.g->AddRating(2, 3, 5, clYellow, clGray);
        m.g->SetCells(2, 3, "3");
        m.g->OnRatingChange = [&](TObject*, int, int, double&, bool& allow) { allow = c.allow; };
        const TRect r = m.g->CellRect(2, 3);
        uitest::click(m.g, {r.Left + c.x, r.Top + 5});
        EXPECT_DOUBLE_EQ(m.g->Floats(2, 3), c.value) << c.x;
        EXPECT_FALSE(m.has("ClickCell(2,3)")) << c.x;
    }
}

TEST(GridMouse, CellButtonsClickOnAReleaseInsideAndNeverStayPushed) {
    struct Case {
        const char* name;
        bool editable;
        bool releaseInside;
        int clicks;
    };
    const Case cases[] = {
        {"release inside", true, true, 1},
        {"release outside", true, false, 0},
        // Without editing a button looks disabled: it does not click, and is drawn up again.
        {"grid without editing", false, true, 0},
    };
    for (const auto& k : cases) {
        MouseGrid m;
        if (k.editable) addOption(m.g, goEditing);
        m.g->SetColWidths(2, 100);
        m.g->AddButton(2, 3, 40, 18, "go", haLeft, vaTop);
        int clicks = 0;
        m.g->OnButtonClick = [&](TObject*, int c, int r) {
            EXPECT_EQ((TGridCoord{c, r}), (TGridCoord{2, 3}));
            ++clicks;
        };
        m.g->Repaint();
        const TRect b = m.g->GetCellGraphicRect(2, 3);
        ASSERT_FALSE(b.IsEmpty()) << k.name;
        // Taking the focus selects the current cell first; only the press is looked at here.
        m.g->SetFocus();
        m.take();
        uitest::mouseDown(m.g, {b.Left + 3, b.Top + 3});
        EXPECT_TRUE(m.g->CellGraphics(2, 3)->CellBoolean()) << k.name; // drawn pushed
        EXPECT_EQ(m.take(), "CanClick(2,3) ClickCell(2,3)") << k.name;
        EXPECT_EQ((TGridCoord{m.g->Col(), m.g->Row()}), (TGridCoord{2, 3})) << k.name;
        uitest::mouseUp(m.g, k.releaseInside ? TPoint{b.Left + 3, b.Top + 3} : m.inside(4, 4));
        EXPECT_EQ(clicks, k.clicks) << k.name;
        EXPECT_FALSE(m.g->CellGraphics(2, 3)->CellBoolean()) << k.name;
    }
}

TEST(GridMouse, CtrlReleaseOnTheSelectionOfADragSourceTogglesTheRowAndGivesThePointer) {
    MouseGrid m;
    m.g->MouseActions()->SetDisjunctRowSelect(true);
    m.g->DragDropSettings()->SetOleDropSource(true);
    std::vector<TPoint> ups;
    m.g->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
        ups.push_back({x, y});
    };
    uitest::click(m.g, m.inside(2, 2));
    ASSERT_TRUE(m.g->RowSelect(2));
    m.events.clear();
    ups.clear();
    // Ctrl on the selected row: no platform selection, the row's flag is inverted on release.
    const TPoint at = m.inside(3, 2, 11, 7);
    uitest::click(m.g, at, {ssCtrl});
    EXPECT_EQ(m.take(), "CanClick(3,2) MouseDown ClickCell(3,2)");
    EXPECT_FALSE(m.g->RowSelect(2));
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(ups[0], at);

    // Without Ctrl the row flags are cleared and the pressed cell becomes the selection.
    uitest::click(m.g, m.inside(2, 4));
    uitest::click(m.g, m.inside(3, 4));
    EXPECT_EQ(m.g->Selection(), (TGridRect{3, 4, 3, 4}));
    EXPECT_TRUE(m.g->RowSelect(4));
    EXPECT_EQ(m.g->RowSelectCount(), 1);
}

TEST(GridMouse, CheckBoxDoubleAndRightClicksThroughQt) {
    MouseGrid m;
    addOption(m.g, goEditing);
    addOption(m.g, goColSizing);
    m.g->AddCheckBox(2, 3, false, true);
    m.g->SetCells(2, 3, "N");
    m.g->SetCells(2, 1, "a much longer text than fits");
    uitest::processMessages();
    m.events.clear();
    uitest::postNativeClickAt(m.g, m.inside(2, 3));
    uitest::processMessages();
    EXPECT_EQ(m.g->Cells(2, 3), "Y");
    EXPECT_TRUE(m.has("CheckBox(2,3)Y"));
    EXPECT_FALSE(m.has("ClickCell(2,3)"));

    m.events.clear();
    uitest::postNativeDoubleClickAt(m.g, {m.g->CellRect(3, 0).Left + 1, 8});
    uitest::processMessages();
    EXPECT_TRUE(m.has("EndColumnSize2"));
    EXPECT_GT(m.g->ColWidths(2), 64);
    EXPECT_FALSE(m.has("DblClickCell(2,0)"));

    m.events.clear();
    uitest::postNativeDoubleClickAt(m.g, m.inside(1, 2));
    uitest::processMessages();
    EXPECT_TRUE(m.has("DblClickCell(1,2)"));

    m.events.clear();
    uitest::postNativeRightClickAt(m.g, m.inside(3, 4));
    uitest::processMessages();
    EXPECT_TRUE(m.has("RightClickCell(3,4)"));
}

TEST(GridMouse, NativeClickThroughQtReportsTheCell) {
    MouseGrid m;
    uitest::postNativeClick(m.g);
    uitest::processMessages();
    int c = -1, r = -1;
    m.g->MouseToCell(m.g->ClientWidth() / 2, m.g->ClientHeight() / 2, c, r);
    EXPECT_NE(m.take().find("ClickCell(" + std::to_string(c) + "," + std::to_string(r) + ")"),
              std::string::npos);
    EXPECT_EQ((TGridCoord{m.g->Col(), m.g->Row()}), (TGridCoord{c, r}));
}

} // namespace
