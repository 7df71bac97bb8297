// Editing node texts in place: F2, click and double click, Enter, Escape, Tab and focus loss,
// driven through Qt's own key and mouse delivery.
#include "treeview/services/LazyTreeEdit.h"
#include "tests/treeview/TreeInput.h"

#include <gtest/gtest.h>

namespace {

using uitest::postNativeKey;
using uitest::postNativeText;
using uitest::processMessages;

struct EditTree : TreeFixture {
    explicit EditTree(const std::vector<std::string>& rows = {"a", "b", "c"}) : TreeFixture(rows) {
        addMisc(toEditable);
        tree->OnNewText = [this](TBaseLazyTree*, PLazyNode n, int column, const std::string& text) {
            log.push_back("new " + name(n) + " " + std::to_string(column) + " " + text);
            names[n] = text;
        };
        tree->OnEdited = [this](TBaseLazyTree*, PLazyNode n, int column) {
            log.push_back("edited " + name(n) + " " + std::to_string(column));
        };
        tree->OnEditCancelled = [this](TBaseLazyTree*, int column) {
            log.push_back("cancelled " + std::to_string(column));
        };
        tree->SetFocus();
        processMessages();
    }
    TLTEdit* edit() {
        auto* link = dynamic_cast<TStringEditLink*>(tree->EditLink().get());
        return link ? link->Edit() : nullptr;
    }
    // F2 on the focused node, through Qt.
    void startWithF2(const std::string& node) {
        tree->SetFocusedNode(nodes.at(node));
        postNativeKey(VK_F2, tree);
        processMessages();
    }
};

TEST(LazyTreeEdit, F2EditsAndEnterStoresTheTypedText) {
    EditTree t;
    t.startWithF2("b");
    ASSERT_TRUE(t.tree->IsEditing());
    ASSERT_NE(t.edit(), nullptr);
    EXPECT_EQ(t.edit()->Text(), "b");
    EXPECT_TRUE(t.edit()->Focused());
    // The whole text is selected, so typing replaces it.
    postNativeText("xy");
    postNativeKey(VK_RETURN);
    processMessages();
    EXPECT_FALSE(t.tree->IsEditing());
    EXPECT_EQ(t.tree->EditLink(), nullptr);
    EXPECT_EQ(t.events(), "new b -1 xy, edited xy -1");
    EXPECT_TRUE(t.tree->Focused());
}

TEST(LazyTreeEdit, EnterWithoutChangeAndEscapeStoreNothing) {
    EditTree t;
    t.startWithF2("a");
    postNativeKey(VK_RETURN);
    processMessages();
    EXPECT_EQ(t.events(), "edited a -1");

    t.startWithF2("a");
    postNativeText("zz");
    postNativeKey(VK_ESCAPE);
    processMessages();
    EXPECT_FALSE(t.tree->IsEditing());
    EXPECT_EQ(t.events(), "cancelled -1");
    EXPECT_EQ(t.name(t["a"]), "a");
    EXPECT_TRUE(t.tree->Focused());
}

TEST(LazyTreeEdit, TabEndsTheEditAndEditsTheNextNode) {
    EditTree t;
    t.startWithF2("b");
    postNativeText("q");
    postNativeKey(VK_TAB);
    processMessages();
    EXPECT_EQ(t.events(), "new b -1 q, edited q -1");
    ASSERT_TRUE(t.tree->IsEditing());
    EXPECT_EQ(t.tree->FocusedNode(), t["c"]);
    EXPECT_EQ(t.edit()->Text(), "c");
    // In the last node Tab ends the edit and leaves no node focused.
    postNativeKey(VK_TAB);
    processMessages();
    EXPECT_FALSE(t.tree->IsEditing());
    EXPECT_EQ(t.tree->FocusedNode(), nullptr);
    EXPECT_EQ(t.events(), "edited c -1");
}

TEST(LazyTreeEdit, FocusLossCancelsOrAcceptsByOption) {
    for (bool accept : {false, true}) {
        SCOPED_TRACE(accept);
        EditTree t;
        TEdit other(&t.form);
        other.SetParent(&t.form);
        other.SetBounds(210, 10, 60, 20);
        auto o = t.tree->TreeOptions()->StringOptions();
        if (accept)
            o.Include(toAutoAcceptEditChange);
        else
            o.Exclude(toAutoAcceptEditChange);
        t.tree->TreeOptions()->SetStringOptions(o);
        t.startWithF2("a");
        postNativeText("k");
        processMessages();
        other.SetFocus();
        processMessages();
        EXPECT_FALSE(t.tree->IsEditing());
        EXPECT_EQ(t.events(), accept ? "new a -1 k, edited k -1" : "cancelled -1");
    }
}

TEST(LazyTreeEdit, ClickOnTheFocusedTextEditsAfterTheDelay) {
    EditTree t;
    t.tree->SetEditDelay(500);
    const TPoint p = t.textPoint("b");
    uitest::click(t.tree, p);
    processMessages();
    EXPECT_FALSE(t.tree->TreeStates().Contains(tsEditPending)) << "the first click only focuses";
    uitest::click(t.tree, p);
    processMessages();
    EXPECT_TRUE(t.tree->TreeStates().Contains(tsEditPending));
    uitest::advanceClock(499);
    EXPECT_FALSE(t.tree->IsEditing());
    uitest::advanceClock(1);
    processMessages();
    EXPECT_TRUE(t.tree->IsEditing());
    EXPECT_EQ(t.edit()->Text(), "b");
    // CancelEditNode closes it from outside.
    EXPECT_TRUE(t.tree->CancelEditNode());
    EXPECT_FALSE(t.tree->IsEditing());
    EXPECT_EQ(t.events(), "cancelled -1");

    // A double click with toEditOnDblClick edits too, unless it toggles the node (its button
    // release here comes before the edit timer, which it starts again).
    auto m = t.tree->TreeOptions()->MiscOptions();
    m.Include(toEditOnDblClick);
    m.Exclude(toToggleOnDblClick);
    t.tree->TreeOptions()->SetMiscOptions(m);
    uitest::doubleClick(t.tree, t.textPoint("c"));
    processMessages();
    uitest::advanceClock(500);
    processMessages();
    EXPECT_TRUE(t.tree->IsEditing());
    EXPECT_EQ(t.tree->FocusedNode(), t["c"]);
    EXPECT_TRUE(t.tree->EndEditNode());
}

TEST(LazyTreeEdit, EditNodeRefusals) {
    EditTree t;
    t.tree->SetDisabled(t["a"], true);
    EXPECT_FALSE(t.tree->EditNode(t["a"], -1)) << "disabled";
    EXPECT_FALSE(t.tree->IsEditing());
    // OnEditing may refuse.
    t.tree->OnEditing = [](TBaseLazyTree*, PLazyNode, int, bool& allowed) { allowed = false; };
    EXPECT_FALSE(t.tree->EditNode(t["b"], -1));
    t.tree->OnEditing = nullptr;
    EXPECT_THROW(t.tree->EditNode(t["b"], 3), EAssertionFailed);
    EXPECT_THROW(t.tree->EditNode(nullptr, -1), EAssertionFailed);
    // While editing another node EditNode answers true and changes nothing.
    ASSERT_TRUE(t.tree->EditNode(t["b"], -1));
    EXPECT_TRUE(t.tree->EditNode(t["c"], -1));
    EXPECT_EQ(t.tree->FocusedNode(), t["b"]);
    // Without toEditable nothing edits.
    EXPECT_TRUE(t.tree->EndEditNode());
    auto m = t.tree->TreeOptions()->MiscOptions();
    m.Exclude(toEditable);
    t.tree->TreeOptions()->SetMiscOptions(m);
    EXPECT_FALSE(t.tree->EditNode(t["c"], -1));
}

TEST(LazyTreeEdit, ShortTextStillGetsAUsableEditor) {
    EditTree t({"i"});
    ASSERT_TRUE(t.tree->EditNode(t["i"], -1));
    EXPECT_GE(t.edit()->Width(), 30);
    EXPECT_LE(t.edit()->BoundsRect().Right, t.tree->ClientWidth());
    // Typing widens the edit to its text.
    const int before = t.edit()->Width();
    postNativeText("a much longer text");
    processMessages();
    EXPECT_GT(t.edit()->Width(), before);
    EXPECT_TRUE(t.tree->CancelEditNode());
}

TEST(LazyTreeEdit, AFailedStoreKeepsTheEditorOpen) {
    EditTree t;
    t.tree->OnNewText = [](TBaseLazyTree*, PLazyNode, int, const std::string&) {
        throw Exception("refused");
    };
    t.startWithF2("a");
    postNativeText("w");
    processMessages();
    EXPECT_THROW(t.tree->EndEditNode(), Exception);
    EXPECT_TRUE(t.tree->IsEditing());
    t.tree->OnNewText = nullptr;
    EXPECT_TRUE(t.tree->EndEditNode());
    EXPECT_FALSE(t.tree->IsEditing());
}

TEST(LazyTreeEdit, TheTreeGoesWhileEditing) {
    auto t = std::make_unique<EditTree>();
    ASSERT_TRUE(t->tree->EditNode(t->nodes.at("a"), -1));
    t.reset();
    processMessages();
}

} // namespace
