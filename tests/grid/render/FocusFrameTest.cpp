// The grid's smaller visual services: the focus frame around the edited cell, the drop arrows
// of a column move, the snapshot of a cell range, the design-time panel, the search panel's
// settings, the version and the remembered column widths.
#include "grid/core/GridLibrary.h"
#include "grid/core/QorColumnGrid.h"
#include "grid/data/DataSettings.h"
#include "grid/data/SearchPanel.h"
#include "grid/render/AuxWindows.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class TestGrid : public TQorStringGrid {
public:
    using TQorStringGrid::TQorStringGrid;
    void setDesigning(bool on) {
        SetComponentState(on ? ComponentState() | csDesigning : ComponentState() & ~csDesigning);
    }
};

class FocusFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(100, 80, 500, 320);
        grid = new TestGrid(form.get());
        grid->SetParent(form.get());
        grid->SetBounds(10, 10, 400, 250);
        grid->SetRowHeights(2, 20);
        grid->SetColor(clWhite);
        form->Show();
        uitest::processMessages();
    }
    std::unique_ptr<TForm> form;
    TestGrid* grid = nullptr;
};

TEST_F(FocusFrameTest, TheFrameIsALayeredWindowAroundTheCell) {
    const TRect cell = grid->CellRect(1, 2);
    ASSERT_EQ(cell.Width(), 64);
    ASSERT_EQ(cell.Height(), 20);
    grid->ShowFocusWindow(cell);
    TGridFocusWindow* w = grid->FocusWindow();
    ASSERT_TRUE(w->Visible());
    const TPoint at = grid->ClientToScreen(TPoint(cell.Left, cell.Top));
    EXPECT_EQ(w->BoundsRect(), TRect(at.X - 4, at.Y - 4, at.X + 69, at.Y + 25));
    EXPECT_TRUE(w->IsLayeredWindow());
    ASSERT_NE(w->LayeredImage(), nullptr);
    EXPECT_EQ(w->LayeredImage()->Width(), 73);
    EXPECT_EQ(w->LayeredAlpha(), 230);
    // Only the frame belongs to the window: 4 pixels left and top, 5 right and bottom.
    ASSERT_NE(w->WindowRegion(), nullptr);
    for (TPoint p : {TPoint(1, 1), TPoint(3, 15), TPoint(70, 10), TPoint(30, 26)})
        EXPECT_TRUE(w->WindowRegion()->Contains(p)) << p.X << "," << p.Y;
    for (TPoint p : {TPoint(4, 4), TPoint(40, 12), TPoint(67, 23)})
        EXPECT_FALSE(w->WindowRegion()->Contains(p)) << p.X << "," << p.Y;

    // Painted over the grid: the frame tints towards its blue, the cell inside stays white.
    auto shot = uitest::render(form.get());
    const TPoint origin = form->ClientOrigin();
    auto px = [&](int x, int y) {
        return shot->PixelColor(at.X - origin.X + x, at.Y - origin.Y + y);
    };
    const TColor frame = px(-2, 10);
    EXPECT_LT(GetRValue(frame), GetBValue(frame));
    EXPECT_EQ(px(30, 10), clWhite);
    grid->HideFocusWindow();
    EXPECT_FALSE(w->Visible());
}

TEST_F(FocusFrameTest, AnOpenEditorGetsTheFrameWhichFollowsTheFormAndGoesWithTheEdit) {
    grid->SetOptions(grid->Options() + goEditing);
    grid->FocusHelper()->SetEnabled(true);
    grid->SetFocus();
    grid->SetCol(1);
    grid->SetRow(2);
    uitest::postNativeKey(VK_F2, grid);
    uitest::processMessages();
    TInplaceEdit* ed = grid->InplaceEditor();
    ASSERT_TRUE(ed && ed->Visible());
    TGridFocusWindow* w = grid->FocusWindow();
    EXPECT_TRUE(w->Visible());
    EXPECT_EQ(GridLibrary().FocusFrameGrid, grid);
    const int left = w->Left();
    form->SetLeft(form->Left() + 50);
    EXPECT_EQ(w->Left(), left + 50);
    ASSERT_TRUE(grid->ValidateCell(ed->Text()));
    EXPECT_FALSE(w->Visible());
    EXPECT_EQ(GridLibrary().FocusFrameGrid, nullptr);
}

TEST_F(FocusFrameTest, AColumnMoveMarksItsTargetWithArrows) {
    grid->SetOptions(grid->Options() + goColMoving);
    grid->DragDropSettings()->SetShowCells(false);
    grid->SetCells(2, 0, "two");
    const TRect from = grid->CellRect(2, 0), to = grid->CellRect(4, 0);
    uitest::mouseDown(grid, TPoint(from.Left + 20, from.Top + 10));
    // The arrows mark the target the pointer was over at the move before.
    uitest::mouseMove(grid, TPoint(to.Left + 20, to.Top + 10), {ssLeft});
    uitest::mouseMove(grid, TPoint(to.Left + 22, to.Top + 10), {ssLeft});
    TArrowWindow* down = grid->ArrowWindow(arrDown);
    TArrowWindow* up = grid->ArrowWindow(arrUp);
    ASSERT_TRUE(down->Visible() && up->Visible());
    // A column coming from the left lands right of the target: the arrows sit at its right edge.
    const TPoint edge = grid->ClientToScreen(TPoint(to.Right, to.Top));
    EXPECT_EQ(TPoint(down->Left(), down->Top()), TPoint(edge.X - 5, edge.Y - 8));
    EXPECT_EQ(TPoint(up->Left(), up->Top()), TPoint(edge.X - 5, edge.Y + to.Height()));
    EXPECT_EQ(Screen->Cursor(), crDrag);
    uitest::mouseUp(grid, TPoint(to.Left + 20, to.Top + 10));
    EXPECT_FALSE(down->Visible());
    EXPECT_FALSE(up->Visible());
    EXPECT_EQ(grid->Cells(4, 0), "two");
}

TEST_F(FocusFrameTest, TheSnapshotOfACellIsItsPixelsAndTheLinesAfterIt) {
    grid->SetColors(2, 3, clYellow);
    uitest::processMessages();
    std::unique_ptr<TNoActiveForm> snap(grid->SelectionToForm({2, 3, 2, 3}));
    const TRect cell = grid->CellRect(2, 3);
    EXPECT_EQ(snap->Width(), cell.Width() + 1);
    EXPECT_EQ(snap->Height(), cell.Height() + 1);
    EXPECT_EQ(snap->BorderStyle(), bsNone);
    EXPECT_EQ(snap->FormStyle(), fsStayOnTop);
    EXPECT_TRUE(snap->AlphaBlend());
    EXPECT_EQ(snap->AlphaBlendValue(), 192);
    auto picture = uitest::render(snap.get());
    auto whole = uitest::render(grid);
    for (TPoint p :
         {TPoint(5, 5), TPoint(cell.Width() - 2, 2), TPoint(cell.Width(), cell.Height())})
        EXPECT_EQ(picture->PixelColor(p.X, p.Y), whole->PixelColor(cell.Left + p.X, cell.Top + p.Y))
            << p.X << "," << p.Y;
    EXPECT_EQ(picture->PixelColor(5, 5), clYellow);
    snap->HandleNeeded();
    EXPECT_TRUE(snap->IsLayeredWindow());
    EXPECT_EQ(snap->LayeredAlpha(), 192);
}

TEST_F(FocusFrameTest, TheDesignPanelOnlyWhileDesigning) {
    auto bottomRight = [&] {
        return uitest::pixel(grid, grid->ClientWidth() - 40, grid->ClientHeight() - 20);
    };
    ASSERT_TRUE(grid->ShowDesignHelper());
    grid->Invalidate();
    EXPECT_NE(bottomRight(), ColorToRGB(clInfoBk));
    grid->setDesigning(true);
    grid->Invalidate();
    EXPECT_EQ(bottomRight(), ColorToRGB(clInfoBk));
    // The items under the pointer: allow edit, column numbers, look, close.
    TCanvas measure(nullptr);
    measure.Font()->SetName("Tahoma");
    measure.Font()->SetSize(8);
    const int T = measure.TextHeight("gh"), L = T + 2, top = grid->ClientHeight() - (4 * T + 18);
    const int x = grid->ClientWidth() - 140;
    EXPECT_EQ(grid->DesignHelperHitTest(x, top + L + 6), 1);
    EXPECT_EQ(grid->DesignHelperHitTest(x, top + 2 * L + 6), 2);
    EXPECT_EQ(grid->DesignHelperHitTest(x, top + 3 * L + 6), 3);
    EXPECT_EQ(grid->DesignHelperHitTest(grid->ClientWidth() - 8, top + 5), 4);
    EXPECT_EQ(grid->DesignHelperHitTest(10, 10), -1);
    EXPECT_EQ(grid->Perform(CM_DESIGNHITTEST, 0, MAKELPARAM(x, top + 2 * L + 6)), 1);
    uitest::click(grid, TPoint(x, top + 2 * L + 6));
    EXPECT_TRUE(grid->ShowColumnNumbers());
    uitest::click(grid, TPoint(x, top + L + 6));
    EXPECT_TRUE(grid->Options().Contains(goEditing));
    uitest::click(grid, TPoint(grid->ClientWidth() - 8, top + 5));
    EXPECT_FALSE(grid->ShowDesignHelper());
    grid->setDesigning(false);
}

TEST_F(FocusFrameTest, TheSearchPanelMirrorsTheSearchFooter) {
    TSearchPanel* p = grid->SearchPanel();
    ASSERT_NE(p, nullptr);
    EXPECT_FALSE(p->Visible());
    EXPECT_EQ(p->Height(), 0);
    TSearchFooter* sf = grid->SearchFooter();
    sf->SetFindNextCaption("Next");
    sf->SetHintFindNext("");
    sf->SetHintClose("Close it");
    sf->SetShowHighLight(false);
    sf->SetVisible(true);
    EXPECT_TRUE(p->Visible());
    EXPECT_EQ(p->Height(), 32);
    EXPECT_EQ(p->ForwardButton()->Caption(), "Next");
    EXPECT_FALSE(p->ForwardButton()->ShowHint());
    EXPECT_TRUE(p->ExitButton()->ShowHint());
    EXPECT_FALSE(p->HighLightButton()->Visible());
    EXPECT_EQ(p->HighLightButton()->Height(), 0);
    EXPECT_EQ(p->MatchCase()->Left(), 330);
    EXPECT_TRUE(p->MatchCase()->Transparent());
    sf->SetShowHighLight(true);
    EXPECT_EQ(p->MatchCase()->Left(), 425);
    sf->SetVisible(false);
    EXPECT_FALSE(p->Visible());
    EXPECT_EQ(p->Height(), 0);
}

TEST_F(FocusFrameTest, VersionAndColumnWidthsAtLoadTime) {
    EXPECT_EQ(grid->GetVersionNr(), 100794627);
    EXPECT_EQ(grid->GetVersionString(), "6.2.1.3 Sep, 2012");
    TQorColumnGrid columns(nullptr);
    TQorStringGrid& base = columns;
    EXPECT_EQ(base.GetVersionString(), "3.1.3.1 Aug, 2012");
    grid->SetColCount(3);
    grid->SetColWidths(1, 90);
    grid->InitOrigColSizes();
    EXPECT_EQ(grid->OrigColSizes(), (std::vector<int>{64, 90, 64}));
    EXPECT_EQ(grid->OrigGridWidth(), 400);
}

} // namespace
