#include "grid/core/base/GridSettings.h"
#include "grid/core/QorStringGrid.h"
#include "grid/data/DataSettings.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(NavigationTest, NewObjectHasTheThirteenTrueFlagsOnly) {
    TNavigation n;
    const bool flags[] = {n.AllowInsertRow(),        n.AllowDeleteRow(),
                          n.AdvanceOnEnter(),        n.AdvanceInsert(),
                          n.AutoGotoWhenSorted(),    n.AutoGotoIncremental(),
                          n.AutoComboDropSize(),     n.AllowClipboardShortCuts(),
                          n.AllowRTFClipboard(),     n.AllowSmartClipboard(),
                          n.AllowClipboardAlways(),  n.AllowClipboardColGrow(),
                          n.AllowClipboardRowGrow(), n.CopyHTMLTagsToClipboard(),
                          n.AdvanceAuto(),           n.AdvanceAutoEdit(),
                          n.CursorWalkEditor(),      n.CursorWalkAlwaysEdit(),
                          n.MoveRowOnSort(),         n.KeepScrollOnSort(),
                          n.ImproveMaskSel(),        n.AlwaysEdit(),
                          n.LineFeedOnEnter(),       n.KeepHorizScroll(),
                          n.AllowFmtClipboard(),     n.TabToNextAtEnd(),
                          n.EditSelectAll(),         n.SkipFixedCells(),
                          n.SkipDisabledRows(),      n.AllowCtrlEnter(),
                          n.AppendOnArrowDown(),     n.LeftRightRowSelect(),
                          n.MoveScrollOnly(),        n.ComboGetUpDown(),
                          n.AdvanceOnEnterLoop(),    n.AdvanceSkipReadOnlyCells(),
                          n.CursorMoveRows()};
    int trues = 0;
    for (bool b : flags) trues += b;
    EXPECT_EQ(trues, 13);
    EXPECT_FALSE(n.AllowClipboardShortCuts());
    EXPECT_EQ(n.AdvanceDirection(), adLeftRight);
    EXPECT_EQ(n.HomeEndKey(), heFirstLastColumn);
}

TEST(NavigationTest, SettersAndAssign) {
    TNavigation n;
    int changes = 0;
    n.OnChange = [&](TObject*) { ++changes; };
    n.SetAdvanceAuto(true);
    EXPECT_TRUE(n.AdvanceOnEnter());
    n.SetAdvanceAuto(false);
    EXPECT_TRUE(n.AdvanceOnEnter()); // stays on
    n.SetAdvanceDirection(adTopBottom);
    n.SetAdvanceDirection(adTopBottom);
    n.SetAdvanceInsert(true);
    EXPECT_EQ(changes, 2); // only real changes of the two notifying setters

    TNavigation src;
    src.SetTabAdvanceDirection(adTopBottomInCol);
    src.SetAdvanceDirection(adLeftRightInRow);
    src.SetKeepScrollOnSort(true);
    src.SetAllowClipboardShortCuts(true);
    n.Assign(&src);
    EXPECT_EQ(n.TabAdvanceDirection(), adTopBottomInCol);
    EXPECT_EQ(n.AdvanceDirection(), adLeftRightInRow);
    EXPECT_TRUE(n.AllowClipboardShortCuts());
    EXPECT_FALSE(n.KeepScrollOnSort()); // not copied
    EXPECT_EQ(changes, 2);              // no event
    ASSERT_TRUE(n.OnChange);            // the target keeps its handler
    TBands other;
    n.Assign(&other); // another class is ignored
    EXPECT_TRUE(n.AllowClipboardShortCuts());
}

TEST(MouseActionsTest, DisjunctSelectionsExcludeEachOtherOnlyWhileDesigning) {
    TMouseActions m(nullptr);
    m.SetDisjunctRowSelect(true);
    m.SetDisjunctColSelect(true);
    EXPECT_TRUE(m.DisjunctRowSelect());
    EXPECT_TRUE(m.DisjunctColSelect());
    m.OnIsDesigning = [](TObject*, bool& d) { d = true; };
    m.SetDisjunctCellSelect(true);
    EXPECT_FALSE(m.DisjunctRowSelect());
    EXPECT_FALSE(m.DisjunctColSelect());
    EXPECT_TRUE(m.DisjunctCellSelect());
}

TEST(MouseActionsTest, HotmailSelectLeavesItsFlagsAndAssignSkipsIt) {
    TMouseActions m(nullptr);
    int invalidations = 0, disabled = 0;
    m.OnInvalidate = [&](TObject*) { ++invalidations; };
    m.OnDisableEdit = [&](TObject*) { ++disabled; };
    m.SetHotmailRowSelect(true);
    m.SetHotmailRowSelect(false);
    EXPECT_TRUE(m.DisjunctRowSelect());
    EXPECT_TRUE(m.CheckAllCheck());
    EXPECT_EQ(invalidations, 2);
    m.SetEditOnDblClickOnly(true);
    EXPECT_EQ(disabled, 1);

    TMouseActions src(nullptr);
    src.SetSizeFixedRow(true);
    src.SetHotmailRowSelect(true);
    src.SetWheelIncrement(3);
    src.FixedComboValues()->Add("x");
    TMouseActions dst(nullptr);
    dst.Assign(&src);
    EXPECT_EQ(dst.WheelIncrement(), 3);
    EXPECT_TRUE(dst.DisjunctRowSelect());
    EXPECT_FALSE(dst.SizeFixedRow());
    EXPECT_FALSE(dst.HotmailRowSelect());
    EXPECT_EQ(dst.FixedComboValues()->Count(), 0);
    EXPECT_TRUE(dst.PreciseNodeClick());
}

TEST(SearchFooterTest, DesignTextsAndChangeEvents) {
    TSearchFooter run(nullptr, false), design(nullptr, true);
    EXPECT_EQ(run.FindNextCaption(), "");
    EXPECT_EQ(design.FindNextCaption(), "Find &next");
    EXPECT_EQ(design.FindPrevCaption(), "Find &previous");
    EXPECT_EQ(design.HintHighlight(), "Highlight occurrences");
    EXPECT_EQ(design.HighLightCaption(), "Highlight");
    EXPECT_EQ(run.SearchColumn(), -1);
    EXPECT_EQ(run.ColorTo(), TColor(clBtnFace));
    int changes = 0;
    run.OnChange = [&](TObject*) { ++changes; };
    run.SetVisible(false);  // unchanged: no event
    run.SetShowClose(true); // every write
    run.SetColorTo(15790320);
    EXPECT_EQ(changes, 2);

    run.SetAutoSearch(false);
    run.SetSearchColumn(4);
    run.SetLastSearch("x");
    design.Assign(&run);
    EXPECT_EQ(design.SearchColumn(), 4);
    EXPECT_EQ(design.FindNextCaption(), "");
    EXPECT_TRUE(design.AutoSearch()); // not copied
    EXPECT_EQ(design.LastSearch(), "");
}

TEST(BandsTest, LengthsKeepTheirSumAndReportOnlyWhileActive) {
    TBands b;
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.SetPrimaryLength(3);
    EXPECT_EQ(b.TotalLength(), 4);
    EXPECT_EQ(changes, 0);
    b.SetActive(true);
    b.SetPrimaryColor(clRed);
    EXPECT_EQ(changes, 2);
    TBands src;
    src.SetPrimaryLength(2);
    src.SetSecondaryLength(5);
    b.Assign(&src);
    EXPECT_EQ(b.TotalLength(), 7);
    EXPECT_EQ(changes, 2);
}

TEST(SyncGridTest, AGridIsNotSynchronisedWithItself) {
    TQorStringGrid owner(nullptr), other(nullptr);
    TSyncGrid s(&owner);
    s.SetGrid(&owner);
    EXPECT_EQ(s.Grid(), nullptr);
    s.SetGrid(&other);
    EXPECT_EQ(s.Grid(), &other);
    s.SetGrid(&owner);
    EXPECT_EQ(s.Grid(), &other);
}

TEST(DataSettingsTest, Defaults) {
    THTMLSettings h;
    EXPECT_EQ(h.BorderSize(), 1);
    EXPECT_EQ(h.Width(), 100);
    EXPECT_TRUE(h.ExportImages());
    TDragDropSettings dd(nullptr);
    EXPECT_TRUE(dd.ShowCells() && dd.OleAcceptFiles() && dd.OleAcceptText() && dd.OleAcceptURLs());
    EXPECT_FALSE(dd.OleDropTarget() || dd.OleDropSource() || dd.OleEntireRows());
    TDragScrollOptions ds;
    EXPECT_EQ(ds.Delays()->InitialDelay(), 1000);
    EXPECT_EQ(ds.Delays()->RepeatDelay(), 250);
    EXPECT_EQ(ds.Margins()->LeftMargin(), 50);
    TPrintSettings p(nullptr);
    EXPECT_EQ(p.Borders(), pbSingle);
    EXPECT_TRUE(p.Centered());
    EXPECT_TRUE(p.UseDisplayFont());
    EXPECT_EQ(p.DateFormat(), "dd/mm/yyyy");
    EXPECT_EQ(p.PageNumSep(), "/");
    EXPECT_EQ(p.Time(), ppNone);
    TSortSettings s(nullptr);
    EXPECT_EQ(s.Column(), -1);
    EXPECT_TRUE(s.Full() && s.AutoFormat() && s.AutoSortForGrouping() && s.SortOnVirtualCells());
    EXPECT_EQ(s.HeaderColor(), TColor(clNone));
    EXPECT_TRUE(s.UpGlyph()->Empty());
    TGrouping g;
    EXPECT_EQ(g.HeaderLineColor(), TColor(clBlue));
    EXPECT_EQ(g.SummaryLineWidth(), 2);
    TFilterDropDown f;
    EXPECT_EQ(f.Width(), 150);
    EXPECT_EQ(f.Color(), TColor(clWindow));
}

TEST(DataSettingsTest, AssignCopiesOnlyWhatItShould) {
    TPrintSettings a(nullptr), b(nullptr);
    a.SetFixedCellsAlways(true);
    a.SetTitleText("T");
    a.TitleLines()->Add("line");
    a.Font()->SetName("Arial");
    b.Assign(&a);
    EXPECT_FALSE(b.FixedCellsAlways());
    EXPECT_EQ(b.TitleText(), "T");
    EXPECT_EQ(b.TitleLines()->Count(), 1);
    EXPECT_EQ(b.Font()->Name(), "Arial");
    TBands other;
    EXPECT_THROW(b.Assign(&other), EConvertError); // the print settings refuse other classes

    THTMLSettings h1, h2;
    h1.SetExportImages(false);
    h1.SetSummary("s");
    h2.Assign(&h1);
    EXPECT_TRUE(h2.ExportImages());
    EXPECT_EQ(h2.Summary(), "s");

    TSortSettings s1(nullptr), s2(nullptr);
    s1.SetIgnoreCase(true);
    s1.SetColumn(3);
    s1.SetSortOnVirtualCells(false);
    s2.Assign(&s1);
    EXPECT_EQ(s2.Column(), 3);
    EXPECT_FALSE(s2.IgnoreCase());
    EXPECT_TRUE(s2.SortOnVirtualCells());

    TGrouping g1, g2;
    g1.SetSummary(true);
    g1.SetHeaderLineWidth(5);
    g1.SetMergeHeader(true);
    g2.Assign(&g1);
    EXPECT_TRUE(g2.MergeHeader());
    EXPECT_FALSE(g2.Summary());
    EXPECT_EQ(g2.HeaderLineWidth(), 2);

    TFilterDropDown f1, f2;
    f1.SetAutoSize(true);
    f1.SetHeight(200);
    f2.Assign(&f1);
    EXPECT_EQ(f2.Height(), 200);
    EXPECT_FALSE(f2.AutoSize());
}

TEST(DataSettingsTest, SortRowMustBeAFixedRow) {
    TQorStringGrid g(nullptr); // one fixed row
    TSortSettings& s = *g.SortSettings();
    s.SetRow(0);
    EXPECT_THROW(s.SetRow(1), ESortSettingsError);
    EXPECT_EQ(s.Row(), 0);
}

TEST(FilterTest, ConditionListJoinsAndFindsColumns) {
    TFilter f(nullptr);
    TFilterData* a = f.Add();
    TFilterData* b = f.Add();
    EXPECT_EQ(a->Operation(), foNONE);
    EXPECT_EQ(b->Operation(), foAND);
    EXPECT_EQ(f.Insert(0)->Operation(), foSHORT);
    EXPECT_EQ(f.Items(0)->Operation(), foSHORT); // inserted at its index
    EXPECT_EQ(f.Items(2), b);
    b->SetColumn(4);
    EXPECT_EQ(f.ColumnFilter(4), b);
    EXPECT_FALSE(f.HasFilter(7));
    TFilterData* c = f.ColumnFilter(7);
    EXPECT_EQ(c->Column(), 7);
    EXPECT_TRUE(f.HasFilter(7));
    f.ColumnFilter(4);
    f.Add()->SetColumn(4);
    f.RemoveColumnFilter(4);
    EXPECT_FALSE(f.HasFilter(4));
    EXPECT_EQ(f.Count(), 3);

    TFilterData d(nullptr);
    d.SetMethod(fmLiteral);
    d.SetCondition("x*");
    TFilterData e(nullptr);
    e.Assign(&d);
    EXPECT_EQ(e.Condition(), "x*");
    EXPECT_EQ(e.Method(), fmExpression); // not copied
}

} // namespace
