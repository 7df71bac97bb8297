// The row filter: tables of conditions, levels, narrowing down while typing, and the header
// filter lists chosen through Qt's own mouse events.
#include "grid/core/QorStringGrid.h"
#include "grid/core/base/FilterMatch.h"
#include "grid/data/DataSettings.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Column 0: the row's name; columns 1 and 2 its values; row 0 is the header.
struct FilterGrid {
    TForm form{nullptr};
    TQorStringGrid* g;
    FilterGrid() {
        form.SetBounds(0, 0, 500, 400);
        g = new TQorStringGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 480, 360);
        const std::vector<std::vector<std::string>> rows = {
            {"r1", "apple", "3"},     {"r2", "Banana", "12"}, {"r3", "apricot", "7"},
            {"r4", "cherry pie", ""}, {"r5", "avocado", "5"}, {"r6", "kg: 5 kg", "20"}};
        g->SetColCount(3);
        g->SetRowCount(int(rows.size()) + 1);
        for (std::size_t r = 0; r < rows.size(); ++r)
            for (std::size_t c = 0; c < 3; ++c) g->SetCells(int(c), int(r) + 1, rows[r][c]);
        form.Show();
    }
    std::vector<std::string> shown() {
        std::vector<std::string> out;
        for (int r = 1; r < g->RowCount(); ++r) out.push_back(g->GridCells(0, r));
        return out;
    }
    TFilterData* add(int col, const std::string& cond, TFilterOperation op) {
        TFilterData* d = g->Filter()->Add();
        d->SetColumn(col);
        d->SetCondition(cond);
        d->SetOperation(op);
        return d;
    }
};
using Names = std::vector<std::string>;

} // namespace

TEST(GridFilter, ConditionTables) {
    struct Cond {
        int col;
        std::string text;
        TFilterOperation op;
    };
    struct Case {
        const char* what;
        std::vector<Cond> conds;
        Names want;
    };
    const Case cases[] = {
        {"numbers compare as numbers", {{2, ">5", foNONE}}, {"r2", "r3", "r6"}},
        {"a range", {{2, ">=5 & <=12", foNONE}}, {"r2", "r3", "r5"}},
        {"a wildcard, case counts", {{1, "a*", foNONE}}, {"r1", "r3", "r5"}},
        {"negated", {{1, "!a*", foNONE}}, {"r2", "r4", "r6"}},
        {"alternatives", {{1, "apple|Banana", foNONE}}, {"r1", "r2"}},
        {"quoted blank", {{1, "\"cherry pie\"", foNONE}}, {"r4"}},
        {"two columns AND-ed", {{1, "a*", foNONE}, {2, "<6", foAND}}, {"r1", "r5"}},
        {"XOR", {{1, "a*", foNONE}, {2, "<6", foXOR}}, {"r3", "r4"}},
        {"a failing short condition ends the test", {{1, "x*", foSHORT}, {1, "apple", foOR}}, {}},
        {"an empty condition matches every row",
         {{1, "", foNONE}},
         {"r1", "r2", "r3", "r4", "r5", "r6"}},
    };
    for (const Case& k : cases) {
        FilterGrid f;
        for (const Cond& c : k.conds) f.add(c.col, c.text, c.op);
        f.g->SetFilterActive(true);
        EXPECT_EQ(f.shown(), k.want) << k.what;
        EXPECT_EQ(f.g->FilterLevel(), 1) << k.what;
        f.g->SetFilterActive(false);
        EXPECT_EQ(f.shown().size(), 6u) << k.what;
        EXPECT_EQ(f.g->FilterLevel(), 0) << k.what;
    }
}

TEST(GridFilter, PrefixSuffixLiteralRowTextAndTheCustomEvent) {
    FilterGrid f;
    TFilterData* d = f.add(1, "5", foNONE);
    d->SetPrefix("kg: ");
    d->SetSuffix(" kg");
    f.g->SetFilterActive(true);
    EXPECT_EQ(f.shown(), (Names{"r6"}));
    f.g->SetFilterActive(false);

    // A suffix found first at the start is not removed.
    f.g->SetCells(1, 1, "kg 1 kg");
    d->SetPrefix("");
    d->SetSuffix("kg");
    d->SetCondition("kg 1 ");
    d->SetMethod(fmLiteral);
    f.g->SetFilterActive(true);
    EXPECT_TRUE(f.shown().empty());
    f.g->SetFilterActive(false);

    d->SetData(fcRow);
    d->SetCondition("BANANA");
    f.g->SetFilterActive(true);
    EXPECT_EQ(f.shown(), (Names{"r2"}));
    f.g->SetFilterActive(false);

    f.g->OnCustomFilter = [](TObject*, int, bool& accept) { accept = !accept; };
    f.g->SetFilterActive(true);
    EXPECT_EQ(f.shown().size(), 5u);
}

TEST(GridFilter, FilteredRowsComeBackWithTheirProperties) {
    FilterGrid f;
    f.g->MouseActions()->SetDisjunctRowSelect(true);
    f.g->SetRowColor(2, clRed);
    f.g->SetRowSelect(2, true); // r2, hidden by the filter
    f.g->SetRowSelect(3, true); // r3, shown at 2 while filtered
    f.add(1, "a*", foNONE);
    std::vector<short> progress;
    f.g->OnFilterProgress = [&](TObject*, short p) { progress.push_back(p); };
    f.g->SetFilterActive(true);
    EXPECT_EQ(progress.back(), 100);
    EXPECT_FALSE(f.g->RowSelect(1));
    EXPECT_TRUE(f.g->RowSelect(2));
    f.g->SetFilterActive(false);
    EXPECT_EQ(f.g->GridCells(1, 2), "Banana");
    EXPECT_EQ(f.g->CellProperties(1, 2)->BrushColor(), clRed);
    EXPECT_TRUE(f.g->RowSelect(2));
    EXPECT_TRUE(f.g->RowSelect(3));
    EXPECT_FALSE(f.g->RowSelect(4));
}

TEST(GridFilter, NarrowDownKeepsOneLevelPerCharacter) {
    FilterGrid f;
    f.g->NarrowDown("a", 1);
    f.g->NarrowDown("ap", 1);
    f.g->NarrowDown("apr", 1);
    EXPECT_EQ(f.g->FilterLevel(), 3);
    EXPECT_EQ(f.shown(), (Names{"r3"}));
    f.g->NarrowDown("ap", 1);
    EXPECT_EQ(f.g->FilterLevel(), 2);
    EXPECT_EQ(f.shown(), (Names{"r1", "r3"}));
    f.g->NarrowDown("x", 1);
    EXPECT_EQ(f.g->FilterLevel(), 1);
    EXPECT_TRUE(f.shown().empty());
    f.g->NarrowDown("y p", 1);
    EXPECT_EQ(f.shown(), (Names{"r4"}));
    f.g->NarrowDown("", 1);
    EXPECT_EQ(f.g->FilterLevel(), 0);
    EXPECT_EQ(f.shown().size(), 6u);
    f.g->NarrowDown("BAN", -1);
    EXPECT_EQ(f.shown(), (Names{"r2"}));
}

TEST(GridFilter, ConditionListOperations) {
    FilterGrid f;
    TFilter* list = f.g->Filter();
    list->Add()->SetColumn(1);
    list->Add()->SetColumn(2);
    list->Insert(1)->SetColumn(7);
    EXPECT_EQ(list->Items(1)->Column(), 7);
    EXPECT_EQ(list->Items(1)->Operation(), foSHORT);
    EXPECT_EQ(list->Items(0)->Operation(), foNONE);
    EXPECT_EQ(list->Items(2)->Operation(), foAND);
    EXPECT_EQ(list->ColumnFilter(2), list->Items(2));
    list->RemoveColumnFilter(7);
    EXPECT_FALSE(list->HasFilter(7));
    // With no level, removing all filters drops the conditions.
    f.g->RemoveAllFilters();
    EXPECT_EQ(list->Count(), 0);
    EXPECT_FALSE(f.g->RemoveLastFilter());
}

TEST(GridFilter, ManyAlternativesAreParsedOnce) {
    std::string cond;
    for (int i = 0; i < 1000; ++i) cond += (i ? "|" : "") + std::string("v") + std::to_string(i);
    TFilterCondition c(cond, false);
    EXPECT_TRUE(c.Matches("V999"));
    EXPECT_TRUE(c.Matches("v0"));
    EXPECT_FALSE(c.Matches("v1000"));
}

namespace {
TPoint filterButton(TQorStringGrid* g, int col) {
    TRect r = g->CellRect(col, 0);
    return {r.Right - 8, r.Top + 5};
}
TPoint item(TListBox* list, int i) {
    TRect r = list->ItemRect(i);
    return {r.Left + 20, (r.Top + r.Bottom) / 2};
}
} // namespace

TEST(GridFilter, HeaderPickListThroughQt) {
    FilterGrid f;
    f.g->SetFilterDropDownAuto(true);
    std::vector<std::string> done;
    f.g->OnFilterDone = [&](TObject*) { done.push_back("done"); };
    uitest::postNativeClickAt(f.g, filterButton(f.g, 1));
    uitest::processMessages();
    TDropList* list = f.g->FilterDropList();
    ASSERT_TRUE(list->Visible());
    EXPECT_EQ(f.g->FilterColumn(), 1);
    ASSERT_EQ(list->Count(), 7);
    EXPECT_EQ(list->Items()->Get(0), "(All)");
    EXPECT_EQ(list->Items()->Get(1), "apple");
    uitest::postNativeClickAt(list, item(list, 1));
    uitest::processMessages();
    EXPECT_FALSE(list->Visible());
    EXPECT_EQ(f.shown(), (Names{"r1"}));
    EXPECT_EQ(done.size(), 1u);
    EXPECT_EQ(f.g->FilterColumn(), -1);

    // "(All)" shows every row again; the list still offers the hidden values.
    uitest::postNativeClickAt(f.g, filterButton(f.g, 1));
    uitest::processMessages();
    ASSERT_EQ(list->Count(), 7);
    uitest::postNativeClickAt(list, item(list, 0));
    uitest::processMessages();
    EXPECT_EQ(f.shown().size(), 6u);
    EXPECT_FALSE(f.g->Filter()->HasFilter(1));

    // A release elsewhere closes an open list.
    uitest::postNativeClickAt(f.g, filterButton(f.g, 1));
    uitest::processMessages();
    ASSERT_TRUE(list->Visible());
    uitest::postNativeClickAt(f.g, {f.g->CellRect(1, 3).Left + 5, f.g->CellRect(1, 3).Top + 5});
    uitest::processMessages();
    EXPECT_FALSE(list->Visible());
    EXPECT_EQ(f.g->FilterColumn(), -1);
}

TEST(GridFilter, HeaderCheckListOrsTheCheckedValues) {
    FilterGrid f;
    f.g->SetFilterDropDownAuto(true);
    f.g->SetFilterDropDownCheck(true);
    uitest::postNativeClickAt(f.g, filterButton(f.g, 1));
    uitest::processMessages();
    TDropCheckList* list = f.g->FilterDropCheckList();
    ASSERT_TRUE(list->Visible());
    // Items: (All), apple, apricot, avocado, Banana, cherry pie, kg: 5 kg (sorted).
    ASSERT_EQ(list->Count(), 7);
    EXPECT_EQ(list->Items()->Get(5), "cherry pie");
    uitest::postNativeClickAt(list, item(list, 1));
    uitest::postNativeClickAt(list, item(list, 5));
    uitest::processMessages();
    EXPECT_TRUE(list->Visible());
    EXPECT_EQ(f.shown(), (Names{"r1", "r4"}));
    ASSERT_EQ(f.g->Filter()->Count(), 2);
    EXPECT_EQ(f.g->Filter()->Items(1)->Operation(), foOR);
    EXPECT_EQ(f.g->Filter()->Items(1)->Condition(), "\"cherry pie\"");
    uitest::postNativeClickAt(list, item(list, 1));
    uitest::postNativeClickAt(list, item(list, 5));
    uitest::processMessages();
    EXPECT_EQ(f.g->Filter()->Count(), 0);
    EXPECT_EQ(f.shown().size(), 6u);
}
