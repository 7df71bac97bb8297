// Hints of a tree: tooltips for cut-off texts, node hints and the control's hint, owner-drawn
// hints, and the hint window's place and look; the pointer moves through Qt.
#include "tests/treeview/TreeInput.h"
#include "treeview/services/LazyTreeEdit.h"
#include "treeview/services/LazyTreeHintWindow.h"

#include <gtest/gtest.h>

namespace {

using uitest::processMessages;

struct HintTree : TreeFixture {
    HintTree() : TreeFixture({"short", "a rather long text that the column cuts", "x"}) {
        TLazyTreeColumn* c = tree->Header()->Columns()->Add();
        c->SetWidth(80);
        tree->SetShowHint(true);
        tree->SetHint("tree hint|long");
        tree->SetHintAnimation(hatNone);
        tree->SetFocus();
        processMessages();
    }
    ~HintTree() { Application->CancelHint(); }
    // Rests the pointer at p (client coordinates) until the hint pause is over.
    TLazyTreeHintWindow* restAt(TPoint p) {
        uitest::postNativeMouseMove(tree, p);
        processMessages();
        uitest::advanceClock(Application->HintPause + 10);
        processMessages();
        return dynamic_cast<TLazyTreeHintWindow*>(Application->HintWindow());
    }
    // The tree's answer to a hint request at p.
    bool asks(TPoint p, THintInfo& info) {
        info = THintInfo{};
        info.HintControl = tree;
        info.CursorPos = p;
        info.CursorRect = tree->ClientRect();
        return tree->Perform(CM_HINTSHOW, 0, LPARAM(&info)) == 0;
    }
    TPoint cellPoint(const std::string& n, int x = 50) { return rowPoint(n, x); }
};

TEST(LazyTreeHints, TooltipShowsACutOffTextInPlace) {
    HintTree t;
    t.tree->SetHintMode(hmTooltip);
    EXPECT_EQ(t.restAt(t.textPoint("short")), nullptr) << "the text fits";
    TLazyTreeHintWindow* w = t.restAt(t.cellPoint("a rather long text that the column cuts"));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->HintData().HintText, "a rather long text that the column cuts");
    EXPECT_EQ(w->HintData().LineBreakStyle, hlbForceSingleLine);
    // In place: over the text, as wide as the row's hint area.
    const TRect text =
        t.tree->GetDisplayRect(t["a rather long text that the column cuts"], 0, true, true, true);
    const TPoint origin = t.tree->ClientToScreen(TPoint{text.Left, text.Top});
    EXPECT_EQ(w->Left(), origin.X - 1);
    EXPECT_EQ(w->Top(), origin.Y - 1);
    EXPECT_EQ(t.tree->LastHintRect(), text);
    // The plain look: a black frame around the hint colour.
    EXPECT_EQ(ColorToRGB(uitest::pixel(w, 0, 0)), clBlack);
    EXPECT_EQ(ColorToRGB(uitest::pixel(w, w->Width() - 3, 2)), ColorToRGB(clInfoBk));
    // Leaving the text's rectangle takes the hint away.
    uitest::postNativeMouseMove(t.tree, t.cellPoint("x"));
    processMessages();
    EXPECT_EQ(Application->HintWindow(), nullptr);
}

TEST(LazyTreeHints, KeysEndOnlyTheApplicationsHint) {
    HintTree t;
    // The control's hint, in the application's window, goes with a key.
    t.restAt(t.cellPoint("x"));
    ASSERT_NE(Application->HintWindow(), nullptr);
    EXPECT_EQ(Application->Hint(), "tree hint");
    uitest::postNativeKey(VK_F4, t.tree);
    processMessages();
    EXPECT_EQ(Application->HintWindow(), nullptr);

    // The tree's own window, a bare popup, stays through keys and goes with a click.
    t.tree->SetHintMode(hmTooltip);
    const TPoint p = t.cellPoint("a rather long text that the column cuts");
    TLazyTreeHintWindow* w = t.restAt(p);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(DWORD(GetWindowLong(w->Handle(), GWL_STYLE)) & ~WS_VISIBLE, WS_POPUP);
    EXPECT_EQ(DWORD(GetWindowLong(w->Handle(), GWL_EXSTYLE)) & WS_EX_CLIENTEDGE, 0u);
    uitest::postNativeKey(VK_F4, t.tree);
    processMessages();
    EXPECT_EQ(Application->HintWindow(), w);
    EXPECT_FALSE(w->IsHintMsg(TMessage{WM_NCMOUSEMOVE, 0, 0, 0}));
    uitest::postNativeClickAt(t.tree, p);
    processMessages();
    EXPECT_EQ(Application->HintWindow(), nullptr);
    EXPECT_FALSE(w->IsHintMsg(TMessage{WM_LBUTTONDOWN, 0, 0, 0})) << "hidden";
}

TEST(LazyTreeHints, NodeHintsAndTheControlsHint) {
    HintTree t;
    t.tree->SetHintMode(hmHintAndDefault);
    t.tree->OnGetHint = [&](TBaseLazyTree*, PLazyNode n, int, TLTTooltipLineBreakStyle&,
                            std::string& text) { text = "about " + t.name(n); };
    TLazyTreeHintWindow* w = t.restAt(t.cellPoint("x"));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->HintData().HintText, "about x");
    // The hint stands below the row.
    const TRect row = t.tree->GetDisplayRect(t["x"], 0, false);
    EXPECT_GE(w->Top(), t.tree->ClientToScreen(TPoint{0, row.Bottom}).Y + 2 - 1);
    Application->CancelHint();
    w = t.restAt({20, 150});
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->HintData().HintText, "tree hint");
    // While the pointer stays in the client the control's hint stays valid.
    THintInfo info;
    EXPECT_FALSE(t.asks({30, 160}, info));
    // hmHint shows nothing over empty space; hmDefault leaves the hint to the application.
    HintTree u;
    u.tree->SetHintMode(hmHint);
    EXPECT_FALSE(u.asks({20, 150}, info));
    u.tree->SetHintMode(hmDefault);
    EXPECT_TRUE(u.asks({20, 150}, info));
    EXPECT_EQ(info.HintStr, "tree hint");
    EXPECT_FALSE(info.HintWindowClass);
}

TEST(LazyTreeHints, OwnerDrawnHints) {
    HintTree t;
    t.tree->SetHintMode(hmHint);
    t.tree->OnGetHintKind = [](TBaseLazyTree*, PLazyNode, int, TLTHintKind& k) {
        k = vhkOwnerDraw;
    };
    THintInfo info;
    EXPECT_FALSE(t.asks(t.cellPoint("x"), info)) << "no size, no hint";
    t.tree->OnGetHintSize = [](TBaseLazyTree*, PLazyNode, int, TRect& r) { r = {0, 0, 50, 20}; };
    t.tree->OnDrawHint = [](TBaseLazyTree*, TCanvas* c, PLazyNode, const TRect& r, int) {
        c->Brush()->SetColor(clLime);
        c->FillRect(r);
    };
    TLazyTreeHintWindow* w = t.restAt(t.cellPoint("x"));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Width(), 50);
    EXPECT_EQ(w->Height(), 20);
    EXPECT_EQ(ColorToRGB(uitest::pixel(w, 25, 10)), clLime);
}

TEST(LazyTreeHints, NoHintForTheEditedNode) {
    HintTree t;
    t.addMisc(toEditable);
    t.tree->SetHintMode(hmHint);
    ASSERT_TRUE(t.tree->EditNode(t["x"], 0));
    THintInfo info;
    EXPECT_FALSE(t.asks(t.cellPoint("x", 60), info));
    EXPECT_TRUE(t.asks(t.cellPoint("short", 60), info));
    t.tree->CancelEditNode();
}

TEST(LazyTreeHints, TheWindowStaysOnTheDesktopAndAnimates) {
    HintTree t;
    t.tree->SetHintMode(hmTooltip);
    TLazyTreeHintWindow* w = t.restAt(t.cellPoint("a rather long text that the column cuts"));
    ASSERT_NE(w, nullptr);
    const TRect desktop = Screen->WorkAreaRect();
    w->ActivateHint(
        TRect{desktop.Right - 20, desktop.Bottom - 5, desktop.Right + 80, desktop.Bottom + 15},
        " ");
    EXPECT_EQ(w->BoundsRect(),
              (TRect{desktop.Right - 100, desktop.Bottom - 20, desktop.Right, desktop.Bottom}));
    // Fading and sliding end with the whole hint shown.
    for (THintAnimationType a : {hatFade, hatSlide}) {
        t.tree->SetHintAnimation(a);
        Application->CancelHint();
        t.restAt(t.textPoint("x"));
        w = t.restAt(t.cellPoint("a rather long text that the column cuts"));
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(ColorToRGB(uitest::pixel(w, w->Width() - 3, 2)), ColorToRGB(clInfoBk));
    }
}

} // namespace
