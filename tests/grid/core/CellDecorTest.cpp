#include "grid/core/QorColumnGrid.h"
#include "grid/core/base/GridUndo.h"
#include "grid/data/DataSettings.h"
#include "grid/render/ControlLook.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

TObject* MakeProbeCellGraphic(bool* destroyed);

namespace {

// A bitmap that reports its destruction.
struct ProbeBitmap : TBitmap {
    explicit ProbeBitmap(bool* d) : destroyed(d) {}
    ~ProbeBitmap() override { *destroyed = true; }
    bool* destroyed;
};

class CellDecorTest : public ::testing::Test {
protected:
    void SetUp() override {
        g.SetColCount(5);
        g.SetRowCount(6);
        g.SetFixedRows(1);
    }
    TQorStringGrid g{nullptr};
};

TEST_F(CellDecorTest, ReplacingFreesOwnedObjectsButNotTheCallers) {
    bool callerGone = false;
    ProbeBitmap caller(&callerGone);
    g.AddBitmap(1, 1, &caller, false, haLeft, vaTop);
    g.AddComment(1, 1, "note");
    EXPECT_FALSE(callerGone);
    EXPECT_EQ(g.GetBitmap(1, 1), nullptr);

    // Created objects go with the graphic that owns them (the leak checker sees the rest).
    TBitmap* own = g.CreateBitmap(2, 1, true, haLeft, vaTop);
    own->SetSize(4, 4);
    g.CreateRadio(2, 1, 0, -1)->Add("a");
    g.CreatePicture(2, 1, false, noStretch, 0, haLeft, vaTop);
    g.CreateIcon(2, 1, haLeft, vaTop);
    g.CreateBitButton(2, 1, 20, 20, "b", haLeft, vaTop);
    g.CreateFilePicture(2, 1, false, noStretch, 0, haLeft, vaTop);
    g.AddMultiImage(2, 1, 0, haLeft, vaTop); // no image list: nothing changes
    EXPECT_EQ(g.CellTypes(2, 1), ctFilePicture);
    g.RemoveFilePicture(2, 1);
    EXPECT_EQ(g.CellTypes(2, 1), ctEmpty);

    // Row removal and clearing free the graphics of their cells.
    bool rowGone = false, clearedGone = false;
    g.SetGraphicObjects(3, 4, MakeProbeCellGraphic(&rowGone));
    g.SetGraphicObjects(3, 2, MakeProbeCellGraphic(&clearedGone));
    g.DeleteRow(4);
    g.ClearCell(3, 2);
    EXPECT_TRUE(rowGone);
    EXPECT_TRUE(clearedGone);
}

TEST_F(CellDecorTest, RemoveTouchesOnlyItsOwnType) {
    TPicture picture;
    g.AddPicture(1, 1, &picture, false, noStretch, 0, haLeft, vaTop);
    g.RemoveBitmap(1, 1);
    EXPECT_TRUE(g.HasPicture(1, 1));
    g.AddBitButton(1, 2, 10, 10, "x", nullptr, haLeft, vaTop);
    g.RemoveButton(1, 2);
    EXPECT_EQ(g.CellTypes(1, 2), ctEmpty);
    g.AddQorProgress(1, 3, 0, 10);
    g.AddProgressPie(2, 3, clRed, 30);
    g.AddProgress(3, 3, clBlue, clWhite);
    EXPECT_FALSE(g.HasProgress(1, 3));
    EXPECT_FALSE(g.HasProgress(2, 3));
    EXPECT_TRUE(g.HasProgress(3, 3));
    // A marker rides on another graphic and leaves it when removed.
    g.AddMarker(3, 3, 2, 4);
    int pos = 0, len = 0;
    g.GetMarker(3, 3, pos, len);
    EXPECT_EQ(std::make_pair(pos, len), std::make_pair(2, 4));
    g.RemoveMarker(3, 3);
    EXPECT_TRUE(g.HasProgress(3, 3));
    g.AddMarker(4, 4, 1, 1);
    g.RemoveAllMarkers();
    EXPECT_EQ(g.CellTypes(4, 4), ctEmpty);
}

TEST_F(CellDecorTest, BalloonReplacesOtherGraphicsAndRidesOnCheckBoxes) {
    bool shapeGone = false;
    g.SetGraphicObjects(1, 1, MakeProbeCellGraphic(&shapeGone));
    g.AddBalloon(1, 1, "T", "text", biWarning);
    EXPECT_TRUE(shapeGone);
    EXPECT_TRUE(g.HasBalloon(1, 1));

    g.AddCheckBox(2, 1, true, true);
    g.AddBalloon(2, 1, "first", "a", biInfo);
    g.AddBalloon(2, 1, "second", "b", biError); // the first list is freed
    std::string title, text;
    TBalloonIcon icon = biNone;
    ASSERT_TRUE(g.IsBalloon(2, 1, title, text, icon));
    EXPECT_EQ(title, "second");
    EXPECT_EQ(text, "b");
    EXPECT_EQ(icon, biError);
    EXPECT_FALSE(g.HasBalloon(2, 1));
    g.RemoveBalloon(2, 1);
    EXPECT_FALSE(g.IsBalloon(2, 1, title, text, icon));
    EXPECT_TRUE(g.HasCheckBox(2, 1));
}

TEST_F(CellDecorTest, SettersChangeOnlyGraphicsOfTheirKind) {
    g.AddComment(1, 1, "keep");
    g.SetButtonText(1, 1, "changed");
    g.PushButton(1, 1, true);
    EXPECT_FALSE(g.SetRadioIdx(1, 1, 2));
    EXPECT_EQ(g.CellComment(1, 1), "keep");
    EXPECT_FALSE(g.GetCellGraphic(1, 1)->CellBoolean());
    EXPECT_EQ(g.GetCellGraphic(1, 1)->CellIndex(), clRed);

    g.AddButton(2, 1, 30, 16, "ok", haLeft, vaTop);
    g.SetButtonText(2, 1, "go");
    g.PushButton(2, 1, true);
    EXPECT_EQ(g.GetButtonText(2, 1), "go");
    EXPECT_TRUE(g.GetCellGraphic(2, 1)->CellBoolean());

    TStringList items;
    items.Add("a");
    items.Add("b");
    g.AddRadio(3, 1, 0, 0, &items);
    g.SetCells(3, 1, "a");
    EXPECT_TRUE(g.SetRadioIdx(3, 1, -1));
    EXPECT_EQ(g.Cells(3, 1), "");
    int idx = 5;
    EXPECT_TRUE(g.GetRadioIdx(3, 1, idx));
    EXPECT_EQ(idx, -1);
}

TEST_F(CellDecorTest, RadioGroupStepWrapsAndStartsFromTheCellText) {
    TStringList items;
    for (const char* s : {"x", "y", "z"}) items.Add(s);
    g.AddRadio(1, 1, 1, 2, &items);
    g.NextRadioItem(1, 1, false);
    EXPECT_EQ(g.Cells(1, 1), "x");
    g.AddRadio(1, 2, 1, -1, &items);
    g.SetCells(1, 2, "nope");
    g.NextRadioItem(1, 2, false);
    EXPECT_EQ(g.Cells(1, 2), "x");
    g.NextRadioItem(1, 2, false);
    EXPECT_EQ(g.Cells(1, 2), "y");
    // A refused edit keeps the item unless radios are always active.
    g.OnCanEditCell = [](TObject*, int, int, bool& can) { can = false; };
    g.NextRadioItem(1, 2, true);
    EXPECT_EQ(g.Cells(1, 2), "y");
    g.ControlLook()->SetRadioAlwaysActive(true);
    g.NextRadioItem(1, 2, true);
    EXPECT_EQ(g.Cells(1, 2), "z");
}

TEST_F(CellDecorTest, BaseCellAnswersForMergedAreas) {
    g.AddScrollBar(1, 1, true);
    g.SetScrollPosition(1, 1, 7);
    g.MergeCells(1, 1, 2, 2);
    EXPECT_TRUE(g.HasScrollBar(2, 2));
    EXPECT_EQ(g.GetScrollPosition(2, 2), 7);
    EXPECT_TRUE(g.HasAutoRangeScrollBar(2, 1));
    EXPECT_EQ(g.GetScrollProp(3, 3).Range, -1);
    g.AddExpand(3, 3, 60);
    EXPECT_TRUE(g.ToggleExpand(3, 3));
    EXPECT_EQ(g.GetExpandHeight(3, 3, true), 60);
    EXPECT_EQ(g.GetExpandHeight(3, 3, false), g.DefaultRowHeight());
    EXPECT_EQ(g.GetExpandHeight(4, 4, true), g.DefaultRowHeight());
}

TEST_F(CellDecorTest, RotationAngleIsBroughtIntoRange) {
    const std::pair<short, int> cases[] = {{-90, 270}, {720, 360}, {45, 45}, {360, 360}};
    for (auto [in, out] : cases) {
        g.AddRotated(1, 1, in, "r");
        int angle = -1;
        ASSERT_TRUE(g.IsRotated(1, 1, angle));
        EXPECT_EQ(angle, out) << in;
    }
    EXPECT_EQ(g.Cells(1, 1), "r");
}

TEST_F(CellDecorTest, ImageIndexNeedsGridImages) {
    int i = -1;
    g.AddImageIdx(4, 2, 1, haCenter, vaCenter);
    EXPECT_FALSE(g.GetImageIdx(4, 2, i));
    TImageList images;
    g.SetGridImages(&images);
    g.AddImageIdx(4, 2, 1, haCenter, vaCenter);
    ASSERT_TRUE(g.GetImageIdx(4, 2, i));
    EXPECT_EQ(i, 1);
    g.AddDataImage(4, 3, 2, haLeft, vaTop);
    EXPECT_EQ(g.Cells(4, 3), "2");
    g.RemoveDataImage(4, 3);
    EXPECT_EQ(g.Cells(4, 3), "");
}

// --- check boxes ---------------------------------------------------------------------------------

TEST_F(CellDecorTest, DataCheckBoxKeepsCheckTextsAndReplacesOthers) {
    g.SetCells(1, 1, "Y");
    g.SetCells(1, 2, "x");
    g.AddCheckBox(1, 1, false, true);
    g.AddCheckBox(1, 2, false, true);
    EXPECT_TRUE(g.IsChecked(1, 1));
    EXPECT_EQ(g.Cells(1, 2), "N");
    EXPECT_FALSE(g.IsChecked(3, 3));
    try {
        g.AddCheckBox(g.ColCount(), 1, true, false);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Invalid cell");
    }
    EXPECT_THROW(g.AddRadioButton(1, g.RowCount(), true), Exception);
}

TEST_F(CellDecorTest, TogglesAndTheirEvents) {
    std::vector<std::pair<int, bool>> changes;
    g.OnCheckBoxChange = [&](TObject*, int, int r, bool s) { changes.push_back({r, s}); };
    g.AddCheckBox(1, 1, false, false);
    g.AddCheckBox(1, 2, false, true);
    g.AddCheckBox(1, 3, cbUnchecked);
    EXPECT_TRUE(g.ToggleCheckBox(1, 1));
    EXPECT_TRUE(g.IsChecked(1, 1));
    g.ToggleCheckBox(1, 2);
    EXPECT_EQ(g.Cells(1, 2), "Y");
    g.ToggleCheckBox(1, 2);
    EXPECT_EQ(g.Cells(1, 2), "N");
    // Tri-state outside a group: unchecked, grayed, checked, unchecked.
    std::vector<TCheckBoxState> states;
    for (int i = 0; i < 3; ++i) {
        g.ToggleCheckBox(1, 3);
        TCheckBoxState s{};
        g.GetCheckBoxState(1, 3, s);
        states.push_back(s);
    }
    EXPECT_EQ(states, (std::vector<TCheckBoxState>{cbGrayed, cbChecked, cbUnchecked}));
    EXPECT_EQ(changes, (std::vector<std::pair<int, bool>>{
                           {1, true}, {2, true}, {2, false}, {3, false}, {3, false}, {3, false}}));
    EXPECT_FALSE(g.ToggleCheckBox(2, 2)); // no check box

    // From the user, a refused edit leaves the box alone unless checks are always active.
    g.OnCanEditCell = [](TObject*, int, int, bool& can) { can = false; };
    EXPECT_FALSE(g.DoToggleCheck(1, 1, true));
    g.ControlLook()->SetCheckAlwaysActive(true);
    EXPECT_TRUE(g.DoToggleCheck(1, 1, true));
    EXPECT_FALSE(g.IsChecked(1, 1));
}

TEST_F(CellDecorTest, VirtualCheckColumnTogglesTextAndUndoKeepsTheRealOldText) {
    TQorColumnGrid cg(nullptr);
    cg.SetColCount(3);
    cg.SetRowCount(4);
    cg.SetFixedRows(1);
    cg.Columns()->Items(1)->SetEditor(edDataCheckBox);
    TQorGridUndoRedo undo(nullptr);
    cg.SetUndoRedo(&undo);
    EXPECT_EQ(cg.CellTypes(1, 2), ctDataCheckBox);
    EXPECT_TRUE(cg.ToggleCheckBox(1, 2));
    EXPECT_EQ(cg.Cells(1, 2), "Y");
    cg.ToggleCheckBox(1, 2);
    EXPECT_EQ(cg.Cells(1, 2), "N");
    ASSERT_EQ(undo.Items()->Count(), 2);
    EXPECT_EQ(undo.Items()->Item(0)->OrigValue(), "");
    EXPECT_EQ(undo.Items()->Item(0)->Value(), "Y");
    EXPECT_EQ(undo.Items()->Item(1)->OrigValue(), "Y");
    EXPECT_EQ(undo.Items()->Item(1)->Value(), "N");
    // A state kept outside the text is not restored by writing texts back.
    cg.AddCheckBox(2, 2, false, false);
    cg.ToggleCheckBox(2, 2);
    EXPECT_EQ(undo.Items()->Count(), 2);
    // A shared check box takes no balloon of its own and is not replaced by one.
    cg.AddBalloon(1, 3, "t", "x", biInfo);
    EXPECT_EQ(cg.CellTypes(1, 3), ctDataCheckBox);
    cg.SetUndoRedo(nullptr);
}

TEST_F(CellDecorTest, RowCheckBoxTogglesTheRowSelection) {
    g.MouseActions()->SetHotmailRowSelect(true);
    g.SetCells(0, 2, "2");
    EXPECT_TRUE(g.HasCheckBox(0, 2));
    EXPECT_TRUE(g.ToggleCheckBox(0, 2));
    EXPECT_TRUE(g.RowSelect(2));
    EXPECT_TRUE(g.IsChecked(0, 2));
    EXPECT_EQ(g.Cells(0, 2), "2");
    g.ToggleCheckBox(0, 2);
    EXPECT_FALSE(g.RowSelect(2));
}

TEST_F(CellDecorTest, AutoCheckGroupNodeLeadsAndFollowsItsRows) {
    g.Grouping()->SetAutoCheckGroup(true);
    TCellGraphic* node = g.NewCellGraphic(0, 1);
    node->SetCellType(ctNode);
    node->SetCellIndex(4); // rows 1..4
    g.AddCheckBox(1, 1, cbUnchecked);
    for (int r = 2; r < 6; ++r) g.AddCheckBox(1, r, false, true);
    auto nodeState = [&] {
        TCheckBoxState s{};
        g.GetCheckBoxState(1, 1, s);
        return s;
    };
    g.ToggleCheckBox(1, 1);
    EXPECT_EQ(nodeState(), cbChecked);
    for (int r = 2; r < 5; ++r) EXPECT_EQ(g.Cells(1, r), "Y") << r;
    EXPECT_EQ(g.Cells(1, 5), "N"); // outside the group
    g.ToggleCheckBox(1, 3);
    EXPECT_EQ(nodeState(), cbGrayed);
    g.ToggleCheckBox(1, 3);
    EXPECT_EQ(nodeState(), cbChecked);
    // A contracted node reaches its hidden rows.
    node->SetCellBoolean(true);
    g.HideRows(2, 4);
    g.ToggleCheckBox(1, 1);
    EXPECT_EQ(nodeState(), cbUnchecked);
    g.UnHideRowsAll();
    for (int r = 2; r < 5; ++r) EXPECT_EQ(g.Cells(1, r), "N") << r;
}

TEST_F(CellDecorTest, StateByRealRowReachesHiddenRows) {
    for (int r = 1; r < 6; ++r) g.AddCheckBox(1, r, false, true);
    g.HideRows(2, 4);
    EXPECT_TRUE(g.SetCheckBoxState(1, 3, true));
    EXPECT_TRUE(g.IsChecked(1, 3));
    EXPECT_EQ(g.Cells(1, 2), "N"); // display row 2 is real row 5
    g.UnHideRowsAll();
    EXPECT_EQ(g.Cells(1, 3), "Y");
}

TEST_F(CellDecorTest, CheckAllFiresOnlyForChanges) {
    int events = 0;
    g.OnCheckBoxChange = [&](TObject*, int, int, bool) { ++events; };
    g.AddCheckBoxColumn(2, false, true);
    g.SetCells(2, 3, "Y");
    g.CheckAll(2);
    EXPECT_EQ(events, 4);
    for (int r = 1; r < 6; ++r) EXPECT_EQ(g.Cells(2, r), "Y");
    g.UnCheckAll(2);
    EXPECT_EQ(events, 9);
    g.RemoveCheckBoxColumn(2);
    EXPECT_FALSE(g.HasCheckBox(2, 1));
}

TEST_F(CellDecorTest, RadioButtonsOfAColumnAreExclusive) {
    g.AddRadioButtonColumn(3);
    EXPECT_EQ(g.GetRadioButtonColumnIndex(3), -1);
    g.SetRadioButtonColumnIndex(3, 2);
    EXPECT_EQ(g.GetRadioButtonColumnIndex(3), 2);
    EXPECT_TRUE(g.DoToggleRadio(3, 4, false));
    EXPECT_EQ(g.GetRadioButtonColumnIndex(3), 4);
    EXPECT_FALSE(g.IsRadioButtonChecked(3, 2));
    EXPECT_TRUE(g.DoToggleRadio(3, 4, false)); // already checked: stays
    EXPECT_TRUE(g.IsRadioButtonChecked(3, 4));
}

TEST_F(CellDecorTest, PreciseCheckBoxHitTest) {
    g.SetDefaultColWidth(64);
    g.SetDefaultRowHeight(22);
    g.AddCheckBox(1, 1, false, false);
    const TRect cell = g.CellRect(1, 1);
    EXPECT_TRUE(g.IsInCheckBox(1, 1, cell.Left + 1, cell.Top + 5));
    g.MouseActions()->SetPreciseCheckBoxCheck(true);
    struct Case {
        int dx, dy;
        bool in;
    };
    const Case cases[] = {{1, 5, false},  {2, 2, true},  {16, 16, true},
                          {17, 5, false}, {5, 1, false}, {5, 17, false}};
    for (const auto& c : cases)
        EXPECT_EQ(g.IsInCheckBox(1, 1, cell.Left + c.dx, cell.Top + c.dy), c.in)
            << c.dx << "," << c.dy;
    g.SetAlignments(1, 1, taRightJustify);
    EXPECT_TRUE(g.IsInCheckBox(1, 1, cell.Right - 3, cell.Top + 5));
}

} // namespace
