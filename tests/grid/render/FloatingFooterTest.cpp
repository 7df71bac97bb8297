#include "grid/render/FloatingFooter.h"
#include "grid/core/QorStringGrid.h"
#include "grid/core/ScrollControl.h"
#include "grid/render/HeaderDragButton.h"
#include "grid/render/LookSettings.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class FloatingFooterTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 500, 300);
        grid = new TQorStringGrid(form.get());
        grid->SetParent(form.get());
        grid->SetBounds(0, 0, 400, 250);
        grid->SetColCount(7);
        grid->SetRowCount(6);
        form->Show();
        uitest::processMessages();
    }
    TFloatingFooter* footer() { return grid->FloatingFooter(); }
    TFooterPanel* panel() { return grid->FooterPanel(); }

    std::unique_ptr<TForm> form;
    TQorStringGrid* grid = nullptr;
};

TEST_F(FloatingFooterTest, VisibleAndStyleDecideTheStripAndTheFixedFooter) {
    EXPECT_FALSE(panel()->Visible());
    footer()->SetVisible(true);
    EXPECT_TRUE(panel()->Visible());
    EXPECT_EQ(panel()->Height(), footer()->Height() - 1);
    EXPECT_EQ(panel()->Align(), alBottom);
    EXPECT_EQ(grid->FixedFooters(), 1);
    // The style alone frees the last row again.
    footer()->SetFooterStyle(fsColumnPreview);
    EXPECT_EQ(grid->FixedFooters(), 0);
    footer()->SetFooterStyle(fsFixedLastRow);
    EXPECT_EQ(grid->FixedFooters(), 1);
    footer()->SetHeight(30);
    EXPECT_EQ(panel()->Height(), 29);
    footer()->SetVisible(false);
    EXPECT_FALSE(panel()->Visible());
    EXPECT_EQ(grid->FixedFooters(), 0);
}

TEST_F(FloatingFooterTest, TemplateFieldsAreFilledOrDropped) {
    const std::vector<std::string> cells = {"zero", "one", "two"};
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"Sum: <#1> of <#2>", "Sum: one of two"},
        {"<#0><#0>", "zerozero"},
        {"a<#x>b", "ab"},
        {"a<#>b", "ab"},
        // A column the grid does not have is dropped, not an error while painting.
        {"a<#3>b<#99999999999>c", "abc"},
        {"no fields", "no fields"},
        {"open <#1", "open <#1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExpandFooterTemplate(
                      c.text, [&] { return int(cells.size()); },
                      [&](int col) { return cells.at(std::size_t(col)); }),
                  c.expected)
            << c.text;
}

TEST_F(FloatingFooterTest, TheFixedLastRowIsPaintedInTheStrip) {
    grid->SetCells(0, 5, "Total");
    grid->SetColors(1, 5, clLime);
    footer()->SetBorderColor(clRed);
    footer()->SetVisible(true);
    uitest::processMessages();
    const int width = panel()->FooterWidth();
    EXPECT_EQ(width, grid->CellRect(6, 0).Right);
    const TRect col1 = panel()->FooterColumnRect(1);
    EXPECT_EQ(col1.Left, grid->CellRect(1, 0).Left);
    EXPECT_EQ(uitest::pixel(panel(), col1.Left + 30, 10), clLime);
    EXPECT_EQ(uitest::pixel(panel(), 5, 0), clRed);
    // The text of the footer row is drawn in its first column.
    int dark = 0;
    for (int x = 2; x < 60; ++x)
        for (int y = 2; y < panel()->Height() - 2; ++y)
            if (GetRValue(uitest::pixel(panel(), x, y)) < 100) ++dark;
    EXPECT_GT(dark, 10);
    // Without a border colour no line is drawn.
    footer()->SetBorderColor(clNone);
    EXPECT_NE(uitest::pixel(panel(), 5, 0), clRed);
}

// Right to left the strip is mirrored against its width: the columns, their hit test, the
// fills and the border line.
TEST_F(FloatingFooterTest, RightToLeftMirrorsTheStrip) {
    grid->SetColors(1, 5, clLime);
    footer()->SetBorderColor(clRed);
    footer()->SetVisible(true);
    uitest::processMessages();
    const int w = panel()->Width();
    const TRect ltr = panel()->FooterColumnRect(1);
    const int atL = panel()->FooterColumnAt(ltr.Left + 3);
    grid->SetBiDiMode(bdRightToLeft);
    uitest::processMessages();
    const TRect rtl = panel()->FooterColumnRect(1);
    EXPECT_EQ(rtl, TRect(w - ltr.Right, ltr.Top, w - ltr.Left, ltr.Bottom));
    EXPECT_EQ(panel()->FooterColumnAt(w - 1 - (ltr.Left + 3)), atL);
    EXPECT_EQ(atL, 1);
    EXPECT_EQ(uitest::pixel(panel(), rtl.Right - 31, 10), clLime);
    EXPECT_EQ(uitest::pixel(panel(), w - 6, 0), clRed);
}

TEST_F(FloatingFooterTest, PreviewsAndCustomPaint) {
    grid->SetRowCount(3);
    grid->SetColCount(3);
    grid->SetCells(2, 1, "cell21");
    grid->SetRow(1);
    std::vector<std::string> painted;
    grid->OnPaintFooter = [&](TObject*, TCanvas* c, int column, TRect r) {
        painted.push_back(std::to_string(column) + " " + std::to_string(r.Width()));
        c->Brush()->SetColor(clFuchsia);
        c->FillRect(r);
    };
    footer()->SetColumn(2);
    footer()->SetFooterStyle(fsCustomPaint);
    footer()->SetVisible(true);
    uitest::processMessages();
    ASSERT_FALSE(painted.empty());
    EXPECT_EQ(painted.back(), "2 " + std::to_string(panel()->FooterWidth()));
    EXPECT_EQ(uitest::pixel(panel(), 10, 5), clFuchsia);
    // A column preview without the event frames the area and draws the current row's cell.
    grid->OnPaintFooter = nullptr;
    footer()->SetColor(clYellow);
    footer()->SetFooterStyle(fsColumnPreview);
    uitest::processMessages();
    EXPECT_EQ(uitest::pixel(panel(), 0, 5), clWhite);
    EXPECT_EQ(uitest::pixel(panel(), panel()->FooterWidth() - 1, 5), clGray);
    EXPECT_EQ(grid->SelectionTextColor(), clBlack);
    // The template preview draws the expanded text.
    footer()->SetCustomTemplate("<#2>");
    footer()->SetFooterStyle(fsCustomPreview);
    uitest::processMessages();
    int dark = 0;
    for (int x = 1; x < 80; ++x)
        for (int y = 1; y < panel()->Height() - 1; ++y)
            if (GetRValue(uitest::pixel(panel(), x, y)) < 100) ++dark;
    EXPECT_GT(dark, 10);
}

TEST_F(FloatingFooterTest, ClicksAndHintsNameTheFooterColumn) {
    footer()->SetVisible(true);
    footer()->SetShowHint(true);
    uitest::processMessages();
    std::vector<std::string> clicks;
    grid->OnClick = [&](TObject*) { clicks.push_back("click"); };
    grid->OnClickCell = [&](TObject*, int r, int c) {
        clicks.push_back(std::to_string(r) + "," + std::to_string(c));
    };
    // A real click through Qt in the middle of the strip: the fourth column.
    uitest::postNativeClick(panel());
    uitest::processMessages();
    EXPECT_EQ(clicks, (std::vector<std::string>{"click", "5,3"}));
    clicks.clear();
    // Past the last column: no cell.
    grid->SetColCount(2);
    uitest::click(panel(), TPoint(300, 5));
    EXPECT_EQ(clicks, std::vector<std::string>{"click"});

    grid->OnGridHint = [](TObject*, int r, int c, std::string& hint) {
        hint = "hint " + std::to_string(r) + "," + std::to_string(c);
    };
    THintInfo info;
    info.CursorPos = TPoint(70, 5);
    EXPECT_EQ(panel()->Perform(CM_HINTSHOW, 0, LPARAM(&info)), 0);
    EXPECT_EQ(info.HintStr, "hint 5,1");
    EXPECT_EQ(panel()->LastHintColumn(), 1);
    uitest::mouseMove(panel(), TPoint(10, 5));
    EXPECT_EQ(panel()->LastHintColumn(), -1);
    footer()->SetShowHint(false);
    EXPECT_NE(panel()->Perform(CM_HINTSHOW, 0, LPARAM(&info)), 0);
}

TEST_F(FloatingFooterTest, ColumnCalculationsLiveInTheLastRow) {
    EXPECT_EQ(footer()->GetColumnCalc(1), acNONE);
    footer()->SetVisible(true);
    footer()->SetColumnCalc(1, acCOUNT);
    EXPECT_EQ(footer()->GetColumnCalc(1), acCOUNT);
    EXPECT_EQ(grid->Cells(1, 5), "4");
}

TEST_F(FloatingFooterTest, SettingsObjectsReportTheirChanges) {
    int changes = 0;
    TShowModified modified;
    modified.OnChange = [&](TObject*) { ++changes; };
    modified.SetColor(modified.Color());
    EXPECT_EQ(changes, 1);

    TGridProgressAppearance progress;
    changes = 0;
    progress.OnChange = [&](TObject*) { ++changes; };
    progress.SetLevel1Perc(70);
    progress.SetSteps(11);
    EXPECT_EQ(changes, 0);
    progress.SetLevel1Perc(50);
    TGridProgressAppearance other;
    other.SetStyle(psClassic);
    progress.Assign(&other);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(progress.Style(), psClassic);
    EXPECT_EQ(progress.Level1Perc(), 70);

    TBalloonSettings balloon, source;
    source.SetTransparency(100);
    source.SetInitialDelay(300);
    source.SetEnable(true);
    balloon.Assign(&source);
    EXPECT_TRUE(balloon.Enable());
    EXPECT_EQ(balloon.InitialDelay(), 300);
    EXPECT_EQ(balloon.Transparency(), 0);

    // The grid repaints on a change of its background.
    grid->Update();
    EXPECT_FALSE(grid->NeedsPaint());
    grid->BackGround()->SetColorTo(clRed);
    EXPECT_TRUE(grid->NeedsPaint());
}

TEST_F(FloatingFooterTest, ProgressCellsTakeTheGridsProgressAppearance) {
    grid->AddQorProgress(1, 1, 0, 100);
    grid->SetCells(1, 1, "50");
    grid->ProgressAppearance()->SetShowGradient(false);
    grid->ProgressAppearance()->SetShowPercentage(false);
    grid->ProgressAppearance()->SetLevel0Color(clFuchsia);
    grid->ProgressAppearance()->SetUnCompleteColor(clAqua);
    const TRect cell = grid->CellRect(1, 1);
    EXPECT_EQ(uitest::pixel(grid, cell.Left + 10, cell.Top + cell.Height() / 2), clFuchsia);
    EXPECT_EQ(uitest::pixel(grid, cell.Right - 10, cell.Top + cell.Height() / 2), clAqua);
}

TEST_F(FloatingFooterTest, TheScrollIndicatorsThumb) {
    auto* bar = new TScrollControl(form.get());
    bar->SetParent(grid);
    bar->SetBounds(390, 0, 6, 220);
    struct Case {
        int rows;
        bool footer;
        int top;
        int start;
        int size;
    };
    // 22-pixel rows, one fixed: a track of 198 pixels below 22; the thumb is
    // track x shown rows / rows long (at least 20) and starts at 22 + track x (top - 1) /
    // scrolling rows. Size 0: no thumb.
    const Case cases[] = {
        {5, false, 1, 0, 0},
        {100, false, 1, 22, 20},
        {100, false, 50, 22 + 98, 20},
        {30, false, 21, 22 + 137, 59},
        // Only the fixed row and the footer row: nothing scrolls, no division by zero.
        {2, true, 1, 0, 0},
    };
    for (const auto& c : cases) {
        grid->SetRowCount(c.rows);
        footer()->SetVisible(c.footer);
        grid->SetTopRow(c.top);
        int start = -1, size = -1;
        bar->ThumbExtent(start, size);
        EXPECT_EQ(size, c.size) << c.rows << " " << c.top;
        if (c.size > 0) {
            EXPECT_EQ(start, c.start) << c.rows << " " << c.top;
        }
    }
    // A footer row takes its height off the track and its row off the scrolling rows: on the
    // last page the thumb ends where the footer starts (220 - 22; as without a footer, the
    // thumb's length counts the fixed row too, which leaves it up to 2 pixels short).
    grid->SetRowCount(30);
    footer()->SetVisible(true);
    grid->SetTopRow(29 - grid->VisibleRowCount());
    {
        int start = -1, size = -1;
        bar->ThumbExtent(start, size);
        EXPECT_NEAR(start + size, 198, 2);
    }
    // Dragging the thumb past the end stops at the last page, before the start at the first
    // scrolling row.
    footer()->SetVisible(false);
    grid->SetRowCount(100);
    grid->SetTopRow(1);
    const int visible = grid->VisibleRowCount();
    uitest::mouseDown(bar, TPoint(2, 25));
    uitest::mouseMove(bar, TPoint(2, 400), {ssLeft});
    EXPECT_EQ(grid->TopRow(), 100 - visible);
    uitest::mouseMove(bar, TPoint(2, -300), {ssLeft});
    EXPECT_EQ(grid->TopRow(), 1);
    uitest::mouseUp(bar, TPoint(2, -300));
    // A press after the thumb pages forward.
    uitest::click(bar, TPoint(2, 200));
    EXPECT_EQ(grid->TopRow(), 1 + visible);
}

TEST_F(FloatingFooterTest, TheHeaderDragButtonShowsItsCaption) {
    auto* b = new THeaderDragButton(form.get());
    b->SetGrid(grid);
    b->SetBounds(0, 0, 80, 22);
    b->SetCaption("Header");
    auto shot = uitest::render(b);
    int dark = 0;
    for (int x = 0; x < 80; ++x)
        for (int y = 0; y < 22; ++y)
            if (GetRValue(shot->PixelColor(x, y)) < 90) ++dark;
    EXPECT_GT(dark, 10);
}

} // namespace
