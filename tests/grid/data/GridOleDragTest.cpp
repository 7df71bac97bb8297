// Dragging between two grids of one form, run in this process: the source grid starts the
// drag from a press on its selection and a move, the test moves the pointer over the target
// grid and releases the button there.
#include "grid/core/QorStringGrid.h"
#include "grid/data/DataSettings.h"
#include "grid/data/GridOleDragDrop.h"
#include "platform/files/Files.h"
#include "platform/testing/UiTest.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

TPoint middle(TQorStringGrid* g, int c, int r) {
    const TRect cr = g->CellRect(c, r);
    return TPoint((cr.Left + cr.Right) / 2, (cr.Top + cr.Bottom) / 2);
}

std::string row(TQorStringGrid* g, int r) {
    std::string s;
    for (int c = 0; c < g->ColCount(); ++c) s += (c ? "|" : "") + g->Cells(c, r);
    return s;
}

class GridOleDragTest : public ::testing::Test {
protected:
    void SetUp() override {
        stops.clear();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 700, 260);
        source = grid(0);
        target = grid(340);
        source->DragDropSettings()->SetOleDropSource(true);
        target->DragDropSettings()->SetOleDropTarget(true);
        form->Show();
        uitest::processMessages();
        source->OnOleDragStop = [this](TObject*, DWORD effect) { stops.push_back(effect); };
    }
    TQorStringGrid* grid(int left) {
        auto* g = new TQorStringGrid(form.get());
        g->SetParent(form.get());
        g->SetBounds(left, 0, 330, 200);
        g->SetColCount(5);
        g->SetRowCount(5);
        for (int r = 1; r < 5; ++r)
            for (int c = 1; c < 5; ++c) g->SetCells(c, r, std::to_string(c) + std::to_string(r));
        return g;
    }
    // Press on a cell of the source, move away from it (the drag starts and runs) and let the
    // queued drag steps happen.
    void dragFrom(int c, int r) {
        const TPoint at = middle(source, c, r);
        uitest::mouseDown(source, at);
        uitest::mouseMove(source, TPoint(at.X + 10, at.Y + 6), {ssLeft});
        uitest::mouseUp(source, TPoint(at.X + 10, at.Y + 6));
    }
    // Over the target's cell, then released there (with Ctrl for a copy).
    void dropOn(int c, int r, bool ctrl = false) {
        uitest::whenDragIdle([=, this] { uitest::dragPointer(target, middle(target, c, r)); });
        uitest::whenDragIdle([=, this] {
            uitest::dragPointer(target, middle(target, c, r),
                                ctrl ? TShiftState{ssCtrl} : TShiftState{});
        });
    }

    std::unique_ptr<TForm> form;
    TQorStringGrid* source = nullptr;
    TQorStringGrid* target = nullptr;
    std::vector<DWORD> stops;
};

TEST_F(GridOleDragTest, CellsMoveOrCopyIntoTheOtherGrid) {
    for (bool copy : {false, true}) {
        SetUp();
        source->SetSelection({1, 1, 2, 2});
        dropOn(2, 2, copy);
        dragFrom(1, 1);
        EXPECT_EQ(row(target, 2), "|12|11|21|42") << copy;
        EXPECT_EQ(row(target, 3), "|13|12|22|43") << copy;
        EXPECT_EQ(target->Selection(), (TGridRect{2, 2, 3, 3})) << copy;
        // A move takes the cells away from the source; a copy leaves them.
        EXPECT_EQ(row(source, 1), copy ? "|11|21|31|41" : "|||31|41") << copy;
        EXPECT_EQ(stops, std::vector<DWORD>{copy ? DROPEFFECT_COPY : DROPEFFECT_MOVE}) << copy;
        // The picture of the dragged cells is gone with the drag.
        EXPECT_EQ(source->DropSelection(), (TGridRect{1, 1, 2, 2}));
    }
}

TEST_F(GridOleDragTest, ARealPointerStartsTheDragOfTheSelection) {
    source->SetSelection({1, 1, 2, 2});
    dropOn(3, 3);
    const TPoint at = middle(source, 1, 1);
    uitest::postNativeMouseDown(source, at);
    uitest::postNativeMouseMove(source, TPoint(at.X + 10, at.Y + 6), true);
    uitest::postNativeMouseUp(source, TPoint(at.X + 10, at.Y + 6));
    uitest::processMessages();
    EXPECT_EQ(row(target, 3), "|13|23|11|21");
    EXPECT_EQ(row(target, 4), "|14|24|12|22");
    EXPECT_EQ(row(source, 1), "|||31|41");
    EXPECT_EQ(stops, std::vector<DWORD>{DROPEFFECT_MOVE});
}

TEST_F(GridOleDragTest, RowsAreInsertedInTheTargetAndRemovedFromTheSource) {
    for (TQorStringGrid* g : {source, target}) {
        g->SetOptions(g->Options() + goRowSelect);
        g->DragDropSettings()->SetOleEntireRows(true);
    }
    source->DragDropSettings()->SetOleRemoveRows(true);
    target->DragDropSettings()->SetOleInsertRows(true);
    source->SetCells(0, 2, "two");
    source->SetCells(0, 3, "three");
    source->SetSelection({1, 2, 4, 3});
    dropOn(1, 2);
    dragFrom(2, 2);
    ASSERT_EQ(target->RowCount(), 7);
    EXPECT_EQ(row(target, 2), "two|12|22|32|42");
    EXPECT_EQ(row(target, 3), "three|13|23|33|43");
    EXPECT_EQ(row(target, 4), "|12|22|32|42");
    ASSERT_EQ(source->RowCount(), 3);
    EXPECT_EQ(row(source, 1), "|11|21|31|41");
    EXPECT_EQ(row(source, 2), "|14|24|34|44");
}

TEST_F(GridOleDragTest, AHeaderDragCarriesAColumn) {
    source->Flags().EnhRowColMove = false;
    source->DragDropSettings()->SetOleColumnDragDrop(true);
    source->SetCells(2, 0, "Second");
    std::vector<int> dropped;
    target->OnOleDropCol = [&](TObject*, int r, int c, int col) { dropped = {r, c, col}; };
    dropOn(3, 0);
    dragFrom(2, 0);
    EXPECT_EQ(dropped, (std::vector<int>{0, 3, 2}));
    EXPECT_EQ(stops.size(), 1u);

    // Within one grid with OleColumnReorder the column moves to the drop position.
    source->DragDropSettings()->SetOleDropTarget(true);
    source->DragDropSettings()->SetOleColumnReorder(true);
    uitest::whenDragIdle([this] { uitest::dragPointer(source, middle(source, 4, 0)); });
    uitest::whenDragIdle([this] { uitest::dragPointer(source, middle(source, 4, 0), {}); });
    dragFrom(2, 0);
    EXPECT_EQ(source->Cells(4, 0), "Second");
    EXPECT_EQ(row(source, 1), "|11|31|41|21");
}

TEST_F(GridOleDragTest, TextAndAFileListFromElsewhere) {
    struct HeldButton : IDropSource {
        HRESULT QueryContinueDrag(bool, DWORD keys) override {
            return keys & MK_LBUTTON ? S_OK : DRAGDROP_S_DROP;
        }
        HRESULT GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
    };
    std::vector<std::string> files, drops;
    target->OnOleDropFile = [&](TObject*, int r, int c, const std::string& name, bool&) {
        files.push_back(std::to_string(c) + "," + std::to_string(r) + " " + name);
    };
    target->OnOleDrop = [&](TObject*, int r, int c, const std::string& data, bool& allow) {
        drops.push_back(std::to_string(c) + "," + std::to_string(r) + " " + data);
        // The application keeps the grid from loading the dropped file.
        if (r == -1) allow = false;
    };
    auto run = [&](std::shared_ptr<IDataObject> data, int c, int r) {
        dropOn(c, r);
        uitest::dragPointer(form.get(), TPoint(5, 230));
        DWORD effect = 0;
        DoDragDrop(data, std::make_shared<HeldButton>(), DROPEFFECT_COPY, effect);
        return effect;
    };
    auto text = std::make_shared<TMemoryDataObject>();
    text->SetText("x\ty\r\nz");
    EXPECT_EQ(run(text, 1, 3), DROPEFFECT_COPY);
    EXPECT_EQ(row(target, 3), "|x|y|33|43");
    EXPECT_EQ(row(target, 4), "|z|24|34|44");
    EXPECT_EQ(drops, std::vector<std::string>{"1,3 x\ty\r\nz"});

    drops.clear();
    auto list = std::make_shared<TMemoryDataObject>();
    list->SetFiles({"/data/table.csv"});
    run(list, 2, 1);
    EXPECT_EQ(files, std::vector<std::string>{"2,1 /data/table.csv"});
    EXPECT_EQ(drops, std::vector<std::string>{"-1,-1 /data/table.csv"});
    // Only a single file is taken.
    files.clear();
    list->SetFiles({"/data/a.csv", "/data/b.csv"});
    run(list, 2, 1);
    EXPECT_TRUE(files.empty());
}

TEST_F(GridOleDragTest, FormattedCellsTravelWithTheirProperties) {
    source->Navigation()->SetAllowFmtClipboard(true);
    source->SetColors(1, 1, clRed);
    source->SetSelection({1, 1, 2, 1});
    dropOn(2, 3, true);
    dragFrom(1, 1);
    EXPECT_EQ(row(target, 3), "|13|11|21|43");
    EXPECT_EQ(target->Colors(2, 3), clRed);
    EXPECT_EQ(target->Colors(3, 3), clNone);
}

TEST_F(GridOleDragTest, CellsAndFilesFromAnotherProgramThroughQt) {
    // What a grid offers another program: the text and the cell stream with the colours.
    source->SetColors(2, 1, clBlue);
    TMemoryStream cells;
    source->SaveRectToBinStream(TRect(1, 1, 2, 1), cells);
    TSourceDataObject data("11\t21", "", -1, &cells);
    EXPECT_NE(uitest::sendNativeDrop(target, data, middle(target, 3, 2), DROPEFFECT_COPY),
              DROPEFFECT_NONE);
    EXPECT_EQ(row(target, 2), "|12|22|11|21");
    EXPECT_EQ(target->Colors(4, 2), clBlue);

    // A stream that is no cell stream changes nothing and is reported.
    TMemoryStream junk;
    junk.WriteBuffer("junk", 4);
    TSourceDataObject bad("x", "", -1, &junk);
    uitest::sendNativeDrop(target, bad, middle(target, 1, 1), DROPEFFECT_COPY);
    EXPECT_EQ(row(target, 1), "|11|21|31|41");
    EXPECT_EQ(uitest::dialogs().Questions().size(), 1u);

    // A CSV file dropped on the grid is loaded into it; another file is not.
    TempFolder folder{"grid_drop"};
    WriteBinaryFile(folder.Path("in.txt"), "p,q\r\n");
    WriteBinaryFile(folder.Path("in.csv"), "x,y\r\n1,2\r\n");
    TMemoryDataObject file;
    file.SetFiles({folder.Path("in.txt")});
    uitest::sendNativeDrop(target, file, middle(target, 1, 1), DROPEFFECT_COPY);
    EXPECT_EQ(row(target, 1), "|11|21|31|41");
    file.SetFiles({folder.Path("in.csv")});
    uitest::sendNativeDrop(target, file, middle(target, 1, 1), DROPEFFECT_COPY);
    EXPECT_EQ(row(target, 0).substr(0, 4), "x|y|");
    EXPECT_EQ(row(target, 1), "1|2|21|31|41");

    // So is a workbook.
    source->SaveToXLS(folder.Path("in.xlsx"), true);
    file.SetFiles({folder.Path("in.xlsx")});
    uitest::sendNativeDrop(target, file, middle(target, 1, 1), DROPEFFECT_COPY);
    EXPECT_EQ(row(target, 1), "12|22|32|42");
    source->LoadFromXLS(folder.Path("in.xlsx"));
    for (int r = 0; r < 3; ++r) EXPECT_EQ(row(target, r), row(source, r)) << r;
}

TEST_F(GridOleDragTest, TheDropPlaceIsMarkedByAnArrowUntilTheDrop) {
    source->SetSelection({1, 1, 1, 1});
    const TRect cell = target->CellRect(2, 3);
    // Entering the grid, then resting over the cell: the drag-over marks the place.
    uitest::whenDragIdle([this] { uitest::dragPointer(target, middle(target, 2, 3)); });
    uitest::whenDragIdle([] {});
    uitest::whenDragIdle([&, this] {
        TArrowWindow* left = target->ArrowWindow(arrLeft);
        ASSERT_TRUE(left->Visible());
        const TPoint at = target->ClientToScreen(TPoint(cell.Left - 10, cell.Top - 5));
        EXPECT_EQ(TPoint(left->Left(), left->Top()), at);
        // The arrow is painted lime above the grid, inside its shape.
        auto shot = uitest::render(form.get());
        const TPoint inForm = form->ScreenToClient(TPoint(at.X + 7, at.Y + 5));
        EXPECT_EQ(shot->PixelColor(inForm.X, inForm.Y), clLime);
        uitest::dragPointer(target, middle(target, 2, 3), {});
    });
    dragFrom(1, 1);
    EXPECT_FALSE(target->ArrowWindow(arrLeft)->Visible());
    EXPECT_EQ(target->Cells(2, 3), "11");
}

TEST_F(GridOleDragTest, ADropOnAFixedRowIsRefusedAndNothingMoves) {
    source->SetSelection({1, 1, 1, 1});
    dropOn(2, 0);
    dragFrom(1, 1);
    EXPECT_EQ(source->Cells(1, 1), "11");
    EXPECT_EQ(target->Cells(2, 0), "");
    // The drag found no place to go: it ends as cancelled.
    EXPECT_TRUE(stops.empty());
}

TEST_F(GridOleDragTest, APressWithoutMoveSelectsTheCell) {
    source->SetSelection({1, 1, 3, 3});
    const TPoint at = middle(source, 2, 2);
    uitest::mouseDown(source, at);
    uitest::mouseUp(source, at);
    EXPECT_EQ(source->Selection(), (TGridRect{2, 2, 2, 2}));
    EXPECT_TRUE(stops.empty());
}

} // namespace
