// The tree-view control messages a screen reader's proxy sends, and the accessibility providers.
#include "treeview/services/LazyTreeAccessibility.h"
#include "platform/testing/AccessibleProbe.h"
#include "tests/treeview/TreeInput.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

LPARAM handleOf(PLazyNode n) {
    return LPARAM(n);
}

TEST(LazyTreeAccessibility, GetItemFillsWhatTheMaskAsks) {
    TreeFixture t({"alpha", "alpha/a1", "alpha/a2", "beta"});
    t.tree->SetFocusedNode(t["alpha"]);
    t.tree->SetSelected(t["alpha"], true);
    t.tree->SetExpanded(t["alpha"], true);
    char16_t buffer[4] = {u'x', u'x', u'x', u'x'};
    TVITEMW item;
    item.mask = TVIF_HANDLE | TVIF_CHILDREN | TVIF_STATE | TVIF_TEXT | TVIF_IMAGE;
    item.hItem = handleOf(t["alpha"]);
    item.pszText = buffer;
    item.cchTextMax = 4;
    ASSERT_EQ(t.tree->Perform(TVM_GETITEMW, 0, LPARAM(&item)), 1);
    EXPECT_EQ(item.cChildren, 2);
    EXPECT_EQ(item.stateMask, 0xFF2Fu);
    EXPECT_EQ(item.state, TVIS_FOCUSED | TVIS_SELECTED | TVIS_EXPANDED);
    EXPECT_EQ(item.iImage, -1);
    // Cut to the buffer and ended with a zero inside it.
    EXPECT_EQ(std::u16string(buffer), u"alp");

    // Without TVIF_HANDLE, with a handle of no node, or with no room, nothing is filled.
    TVITEMW none;
    none.mask = TVIF_CHILDREN;
    none.hItem = handleOf(t["alpha"]);
    none.cChildren = 9;
    EXPECT_EQ(t.tree->Perform(TVM_GETITEMW, 0, LPARAM(&none)), 0);
    EXPECT_EQ(none.cChildren, 9);
    int stranger = 0;
    none.mask = TVIF_HANDLE | TVIF_CHILDREN;
    none.hItem = LPARAM(&stranger);
    EXPECT_EQ(t.tree->Perform(TVM_GETITEMW, 0, LPARAM(&none)), 0);
    EXPECT_EQ(none.cChildren, 9);
    char16_t untouched[2] = {u'q', u'q'};
    item.pszText = untouched;
    item.cchTextMax = 0;
    EXPECT_EQ(t.tree->Perform(TVM_GETITEMW, 0, LPARAM(&item)), 1);
    EXPECT_EQ(untouched[0], u'q');
}

TEST(LazyTreeAccessibility, NextItemWalksTheTree) {
    TreeFixture t({"alpha", "alpha/a1", "alpha/a2", "beta"});
    t.tree->SetExpanded(t["alpha"], true);
    t.tree->SetFocusedNode(t["a2"]);
    const auto next = [&](WPARAM relation, PLazyNode n) {
        return t.name(PLazyNode(t.tree->Perform(TVM_GETNEXTITEM, relation, handleOf(n))));
    };
    struct Case {
        WPARAM relation;
        const char* from;
        const char* to;
    };
    for (const Case& c :
         {Case{TVGN_ROOT, "", "alpha"}, Case{TVGN_NEXT, "alpha", "beta"},
          Case{TVGN_PREVIOUS, "beta", "alpha"}, Case{TVGN_PARENT, "a1", "alpha"},
          Case{TVGN_PARENT, "alpha", "nil"}, Case{TVGN_CHILD, "alpha", "a1"},
          Case{TVGN_FIRSTVISIBLE, "", "alpha"}, Case{TVGN_NEXTVISIBLE, "a2", "beta"},
          Case{TVGN_PREVIOUSVISIBLE, "a1", "alpha"}, Case{TVGN_CARET, "", "a2"},
          Case{TVGN_LASTVISIBLE, "", "beta"}, Case{TVGN_DROPHILITE, "", "nil"},
          Case{TVGN_NEXT, "", "nil"}, Case{42, "alpha", "nil"}}) {
        SCOPED_TRACE(std::to_string(c.relation) + " " + c.from);
        EXPECT_EQ(next(c.relation, *c.from ? t[c.from] : nullptr), c.to);
    }
}

TEST(LazyTreeAccessibility, ItemRectOfVisibleNodesOnly) {
    TreeFixture t({"alpha", "alpha/a1", "beta"});
    TRect r{};
    LPARAM h = handleOf(t["beta"]);
    std::memcpy(static_cast<void*>(&r), &h, sizeof h);
    ASSERT_EQ(t.tree->Perform(TVM_GETITEMRECT, 1, LPARAM(&r)), 1);
    EXPECT_EQ(r, t.tree->GetDisplayRect(t["beta"], -1, true));
    t.tree->SetVisible(t["a1"], false);
    TRect hidden{};
    h = handleOf(t["a1"]);
    std::memcpy(static_cast<void*>(&hidden), &h, sizeof h);
    const TRect before = hidden;
    EXPECT_EQ(t.tree->Perform(TVM_GETITEMRECT, 0, LPARAM(&hidden)), 0);
    EXPECT_EQ(hidden, before);
}

struct Provider : ILTAccessibleProvider {
    std::shared_ptr<TObject> answer;
    int asked = 0;
    std::shared_ptr<TObject> CreateIAccessible(TBaseLazyTree*) override {
        ++asked;
        return answer;
    }
};

TEST(LazyTreeAccessibility, ProvidersMakeTheAccessibleObjects) {
    TreeFixture t({"a"}, false);
    TLTAccessibilityFactory* factory = TLTAccessibilityFactory::GetAccessibilityFactory();
    const auto builtIn = {LazyTreeAccessibleProvider(), LazyTreeFocusedItemProvider()};
    for (const auto& p : builtIn) factory->UnRegisterAccessibleProvider(p);
    // Without a provider the tree keeps no object and answers nothing.
    EXPECT_EQ(t.tree->Perform(WM_GETOBJECT, 0, OBJID_CLIENT), 0);
    EXPECT_EQ(t.tree->Accessible(), nullptr);

    auto first = std::make_shared<Provider>();
    first->answer = std::make_shared<TObject>();
    auto second = std::make_shared<Provider>();
    second->answer = std::make_shared<TObject>();
    factory->RegisterAccessibleProvider(first);
    factory->RegisterAccessibleProvider(first);
    factory->RegisterAccessibleProvider(second);
    EXPECT_EQ(t.tree->Perform(WM_GETOBJECT, 0, OBJID_CLIENT), LRESULT(first->answer.get()));
    // The tree's object from the first provider, its item's from the last one that answers.
    EXPECT_EQ(t.tree->Accessible(), first->answer);
    EXPECT_EQ(t.tree->AccessibleItem(), second->answer);
    EXPECT_EQ(first->asked, 1);
    EXPECT_EQ(t.tree->Perform(WM_GETOBJECT, 0, -1), 0) << "another object id";
    factory->UnRegisterAccessibleProvider(first);
    factory->UnRegisterAccessibleProvider(second);
    for (const auto& p : builtIn) factory->RegisterAccessibleProvider(p);
}

TEST(LazyTreeAccessibility, ScreenReaderReadsTheRowsThroughQt) {
    TreeFixture t({"alpha", "alpha/a1", "alpha/a2", "beta", "beta/b1"});
    t.tree->SetAccessibleName("Devices");
    t.tree->SetExpanded(t["alpha"], true);
    t.tree->SetSelected(t["a1"], true);
    t.tree->SetCheckType(t["a2"], ctCheckBox);
    t.tree->SetCheckState(t["a2"], csCheckedNormal);
    uitest::processMessages();

    const uitest::AccessibleView tree = uitest::accessibleOf(t.tree);
    ASSERT_TRUE(tree.exists);
    EXPECT_EQ(tree.role, "tree");
    EXPECT_EQ(tree.name, "Devices");
    EXPECT_EQ(tree.childCount, 4) << "the rows shown; b1 is under a collapsed node";
    const TPoint origin = t.tree->ClientToScreen({0, 0});
    EXPECT_EQ(tree.rect, Bounds(origin.X, origin.Y, t.tree->ClientWidth(), t.tree->ClientHeight()));

    struct Row {
        const char* name;
        const char* level;
        bool selected, expanded, collapsed, checked;
    };
    const Row rows[] = {{"alpha", "1", false, true, false, false},
                        {"a1", "2", true, false, false, false},
                        {"a2", "2", false, false, false, true},
                        {"beta", "1", false, false, true, false}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(rows[i].name);
        const uitest::AccessibleView v = uitest::accessibleChild(t.tree, i);
        EXPECT_EQ(v.role, "tree item");
        EXPECT_EQ(v.name, rows[i].name);
        EXPECT_EQ(v.value, rows[i].level);
        EXPECT_EQ(v.selected, rows[i].selected);
        EXPECT_EQ(v.expanded, rows[i].expanded);
        EXPECT_EQ(v.collapsed, rows[i].collapsed);
        EXPECT_EQ(v.checked, rows[i].checked);
        EXPECT_EQ(v.indexInParent, i);
        EXPECT_EQ(v.parentName, "Devices");
        TRect r = t.tree->GetDisplayRect(t[rows[i].name], -1, false);
        OffsetRect(r, origin.X, origin.Y);
        EXPECT_EQ(v.rect, r);
    }
    EXPECT_FALSE(uitest::accessibleChild(t.tree, 4).exists);

    // Rows follow the tree: a freed node's item goes, a collapsed node hides its children.
    t.tree->DeleteNode(t["a1"]);
    EXPECT_EQ(uitest::accessibleChild(t.tree, 1).name, "a2");
    t.tree->SetExpanded(t["alpha"], false);
    EXPECT_EQ(uitest::accessibleOf(t.tree).childCount, 2);
    EXPECT_EQ(uitest::accessibleChild(t.tree, 1).name, "beta");
    // A window made again offers its rows again.
    t.tree->DestroyHandle();
    EXPECT_EQ(uitest::accessibleChild(t.tree, 1).name, "beta");
}

TEST(LazyTreeAccessibility, FocusMovesAreAnnouncedAndReadable) {
    TreeFixture t({"alpha", "beta", "gamma"});
    t.tree->SetFocus();
    uitest::processMessages();
    ASSERT_TRUE(uitest::accessibleOf(t.tree).focused);
    EXPECT_FALSE(uitest::accessibleFocusChild(t.tree).exists) << "no node has the focus yet";

    uitest::AccessibleFocusRecorder recorder;
    uitest::postNativeKey(VK_DOWN, t.tree);
    uitest::processMessages();
    uitest::postNativeKey(VK_DOWN, t.tree);
    uitest::processMessages();
    EXPECT_EQ(recorder.events(), (std::vector<std::string>{"alpha", "beta"}));
    const uitest::AccessibleView focus = uitest::accessibleFocusChild(t.tree);
    EXPECT_EQ(focus.name, "beta");
    EXPECT_TRUE(focus.focused);
    EXPECT_EQ(focus.indexInParent, 1);
    EXPECT_FALSE(uitest::accessibleChild(t.tree, 0).focused);
}

} // namespace
