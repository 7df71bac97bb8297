// The tree-view control messages a screen reader's proxy sends, and the accessibility providers.
#include "treeview/services/LazyTreeAccessibility.h"
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
    TreeFixture t({"a"});
    TLTAccessibilityFactory* factory = TLTAccessibilityFactory::GetAccessibilityFactory();
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
}

} // namespace
