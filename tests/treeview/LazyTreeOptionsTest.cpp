#include "treeview/LazyTree.h"

#include <gtest/gtest.h>

namespace {

TEST(LazyTreeOptions, DefaultsOfATreeCreatedInCode) {
    TLazyStringTree tree(nullptr);
    const TCustomStringTreeOptions* o = tree.TreeOptions();
    EXPECT_EQ(o->PaintOptions().ToBits(), 7008u);
    EXPECT_TRUE(o->AnimationOptions().Empty());
    EXPECT_EQ(o->AutoOptions().ToBits(), 1369u);
    EXPECT_TRUE(o->SelectionOptions().Empty());
    EXPECT_EQ(o->MiscOptions().ToBits(), 16809u);
    EXPECT_EQ(o->ExportMode(), emAll);
    EXPECT_EQ(o->StringOptions().ToBits(), 5u);
    EXPECT_EQ(tree.NodeDataSize(), -1);
    EXPECT_EQ(tree.DefaultNodeHeight(), 18u);
    EXPECT_EQ(tree.Indent(), 18u);
    EXPECT_EQ(tree.TotalCount(), 0u);
    EXPECT_EQ(tree.AnimationDuration(), 200u);
    EXPECT_EQ(tree.DefaultText(), "Node");
    EXPECT_EQ(tree.Width(), 200);
    EXPECT_EQ(tree.Height(), 100);
    EXPECT_TRUE(tree.TabStop());
    EXPECT_TRUE(tree.DoubleBuffered());
    EXPECT_EQ(tree.Colors()->TreeLineColor(), clBtnShadow);
    EXPECT_EQ(tree.Colors()->SelectionTextColor(), clHighlightText);
}

TEST(LazyTreeOptions, SettersWithSideEffects) {
    TLazyStringTree tree(nullptr);
    tree.SetAnimationDuration(0);
    EXPECT_FALSE(tree.TreeOptions()->AnimationOptions().Contains(toAnimatedToggle));
    tree.SetAnimationDuration(200);
    EXPECT_TRUE(tree.TreeOptions()->AnimationOptions().Contains(toAnimatedToggle));
    tree.TreeOptions()->SetPaintOptions({toFixedIndent});
    EXPECT_EQ(tree.TreeOptions()->PaintOptions(), (TLTPaintOptions{toFixedIndent, toShowRoot}));
    tree.SetDefaultNodeHeight(0);
    EXPECT_EQ(tree.DefaultNodeHeight(), 18u);
    tree.SetDefaultNodeHeight(20);
    EXPECT_EQ(tree.RootNode()->NodeHeight, 20);
    EXPECT_EQ(tree.RangeY(), 0);
}

TEST(LazyTreeOptions, AssigningOptionsKeepsTheTargetsExportMode) {
    TLazyStringTree source(nullptr), target(nullptr);
    source.TreeOptions()->SetSelectionOptions({toMultiSelect});
    source.TreeOptions()->SetStringOptions({toShowStaticText});
    source.TreeOptions()->SetExportMode(emChecked);
    target.SetTreeOptions(source.TreeOptions());
    EXPECT_EQ(target.TreeOptions()->SelectionOptions(), TLTSelectionOptions{toMultiSelect});
    EXPECT_EQ(target.TreeOptions()->StringOptions(), TLTStringOptions{toShowStaticText});
    EXPECT_EQ(target.TreeOptions()->ExportMode(), emAll);
}

TEST(LazyTreeOptions, LegacyOptionsPropertyMapsToTheNewSets) {
    TLazyStringTree tree(nullptr);
    tree.ReadOldOptions({"voMultiSelect", "voShowRoot", "voNoSuchOption", "voAnimatedToggle"});
    const auto* o = tree.TreeOptions();
    EXPECT_EQ(o->SelectionOptions(), TLTSelectionOptions{toMultiSelect});
    EXPECT_EQ(o->PaintOptions(), TLTPaintOptions{toShowRoot});
    EXPECT_EQ(o->AnimationOptions(), TLTAnimationOptions{toAnimatedToggle});
    EXPECT_TRUE(o->AutoOptions().Empty());
    EXPECT_TRUE(o->MiscOptions().Empty());
}

TEST(LazyTreeOptions, ShowingFilteredNodesAddsTheirHeightsBack) {
    TLazyStringTree tree(nullptr);
    tree.SetNodeDataSize(8);
    tree.OnInitNode = [](TBaseLazyTree* t, PLazyNode, PLazyNode n, TLazyNodeInitStates& s) {
        if (n == t->GetFirstNoInit()) s.Include(ivsFiltered);
    };
    tree.SetRootNodeCount(3);
    tree.TotalCount(); // initialises all three
    EXPECT_EQ(tree.RangeY(), 36);
    EXPECT_EQ(tree.VisibleCount(), 2u);
    TLTPaintOptions p = tree.TreeOptions()->PaintOptions();
    p.Include(toShowFilteredNodes);
    tree.TreeOptions()->SetPaintOptions(p);
    EXPECT_EQ(tree.RangeY(), 54);
    EXPECT_EQ(tree.VisibleCount(), 3u);
    EXPECT_EQ(tree.GetFirstVisible(), tree.GetFirstNoInit());
}

TEST(LazyTreeOptions, VariableNodeHeightReinitialisesEveryNode) {
    TForm form(nullptr);
    auto* tree = new TLazyStringTree(&form);
    tree->SetParent(&form);
    tree->HandleNeeded();
    tree->SetNodeDataSize(8);
    tree->SetRootNodeCount(10);
    int reinits = 0;
    tree->OnInitNode = [&](TBaseLazyTree*, PLazyNode, PLazyNode, TLazyNodeInitStates& s) {
        if (s.Contains(ivsReInit)) ++reinits;
    };
    tree->TotalCount();
    tree->OnMeasureItem = [](TBaseLazyTree*, TCanvas*, PLazyNode, int& h) { h = 30; };
    TLTMiscOptions misc = tree->TreeOptions()->MiscOptions();
    misc.Include(toVariableNodeHeight);
    tree->TreeOptions()->SetMiscOptions(misc);
    EXPECT_EQ(reinits, 10);
    EXPECT_EQ(tree->NodeHeight(tree->GetFirst()), 30u);
}

} // namespace
