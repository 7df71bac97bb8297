// Hit testing at every pixel of a row, the edges of the canvas, the splitter zones, and the
// display rectangles of rows and texts.
#include "platform/ui/core/SysInfo.h"
#include "tests/treeview/TreeInput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

TEST(LazyTreeHitTest, EveryPixelOfARowNamesItsPart) {
    ImageTree t;
    PLazyNode c = t["c"];
    ASSERT_EQ(t.tree->GetNodeLevel(c), 2u);
    const int top = t.tree->AbsoluteNodeTop(c);
    const int width = t.tree->ClientWidth();
    const int textWidth = t.tree->QueryNodeWidth(c, -1);
    ASSERT_GT(textWidth, 8);
    // Indent 18 per level plus the root level, margin 4, check image 13, state image 16,
    // normal image 12, each image followed by 2 pixels.
    const int indentEnd = 3 * 18, textStart = indentEnd + 4 + 15 + 18 + 14;
    auto expected = [&](int x) -> std::string {
        if (x < indentEnd + 4) {
            if (x < indentEnd - 18) return "OnItem";
            if (x < indentEnd - 9) return "OnItem Button";
            return "OnItem Button ButtonExact";
        }
        if (x < indentEnd + 4 + 15) return "OnItem Checkbox";
        if (x < indentEnd + 4 + 15 + 18) return "OnItem StateIcon";
        if (x < textStart) return "OnItem NormalIcon";
        if (x < textStart + textWidth) return "OnItem Label";
        return "OnItem Right";
    };
    for (int y = top; y < top + 18; ++y)
        for (int x = 0; x <= width; ++x) {
            const THitInfo h = t.hit(x, y);
            ASSERT_EQ(h.HitNode, c) << x << "," << y;
            ASSERT_EQ(h.HitColumn, -1);
            ASSERT_EQ(positions(h.HitPositions), expected(x)) << x << "," << y;
        }
    EXPECT_EQ(t.tree->GetDisplayRect(c, -1, true).Left, textStart);
}

TEST(LazyTreeHitTest, EdgesOfTheCanvas) {
    ImageTree t;
    const int width = t.tree->ClientWidth();
    const int height = t.tree->ClientHeight();
    struct Case {
        int x, y;
        const char* positions;
        bool node;
    };
    const Case cases[] = {
        {-1, 5, "ToLeft", false},
        {-1, -1, "Above ToLeft", false},
        {5, -1, "Above", false},
        {width + 1, 5, "ToRight", false},
        {5, height + 1, "Below", false},
        {5, 5 * 18 + 3, "Nowhere", false}, // below the last node, inside the window
        {5, 5, "OnItem Button", true},
    };
    for (const Case& c : cases) {
        const THitInfo h = t.hit(c.x, c.y);
        EXPECT_EQ(positions(h.HitPositions), c.positions) << c.x << "," << c.y;
        EXPECT_EQ(h.HitNode != nullptr, c.node) << c.x << "," << c.y;
        EXPECT_EQ(h.HitColumn, -1);
    }
}

TEST(LazyTreeHitTest, TextAlignmentAndTextsWiderThanTheRow) {
    TreeFixture t({"n", "wide"});
    t.names[t["wide"]] = std::string(80, 'W');
    t.tree->InvalidateNode(t["wide"]); // the tree measured the old text when it was shown
    const int textStart = 18 + 4;
    const int w = t.tree->QueryNodeWidth(t["n"], -1);
    const int width = t.tree->ClientWidth();
    auto at = [&](const std::string& node, int x) {
        THitInfo h;
        const TPoint p = t.rowPoint(node, x);
        t.tree->GetHitTestInfoAt(p.X, p.Y, true, h);
        return positions(h.HitPositions);
    };
    EXPECT_EQ(at("wide", textStart), "OnItem Label");
    EXPECT_EQ(at("wide", width - 1), "OnItem Label");
    t.tree->SetAlignment(taRightJustify);
    EXPECT_EQ(at("n", width - w - 1), "OnItem Left");
    EXPECT_EQ(at("n", width - w), "OnItem Label");
    t.tree->SetAlignment(taCenter);
    const int l = (textStart + width - w) / 2;
    EXPECT_EQ(at("n", l - 1), "OnItem Left");
    EXPECT_EQ(at("n", l), "OnItem Label");
    EXPECT_EQ(at("n", l + w), "OnItem Right");
}

TEST(LazyTreeHitTest, SplittersAtTheRowEdgesButNotOnTheCheckBox) {
    ImageTree t;
    t.addMisc(toNodeHeightResize);
    const int top = t.tree->AbsoluteNodeTop(t["b"]);
    const int x = 42; // on b's text
    for (int y = top; y < top + 18; ++y) {
        const std::string p = positions(t.hit(x, y).HitPositions);
        const std::string splitter = y <= top + 1    ? " UpperSplitter"
                                     : y >= top + 15 ? " LowerSplitter"
                                                     : "";
        EXPECT_EQ(p, "OnItem Label" + splitter) << y;
    }
    const int cTop = t.tree->AbsoluteNodeTop(t["c"]);
    EXPECT_EQ(positions(t.hit(60, cTop).HitPositions), "OnItem Checkbox");
    EXPECT_EQ(positions(t.hit(80, cTop).HitPositions), "OnItem StateIcon UpperSplitter");
}

TEST(LazyTreeHitTest, DisplayRectanglesOfRowsAndTexts) {
    TreeFixture t({"a", "a/b", "c"});
    const int width = t.tree->ClientWidth();
    EXPECT_EQ(t.tree->GetDisplayRect(t["b"], -1, false), TRect(0, 0, 0, 0)); // collapsed
    EXPECT_EQ(t.tree->GetDisplayRect(t["a"], -1, false), TRect(0, 0, width, 18));
    EXPECT_EQ(t.tree->GetDisplayRect(t["c"], -1, false), TRect(0, 18, width, 36));
    const int w = t.tree->QueryNodeWidth(t["c"], -1);
    const TRect clipped = t.tree->GetDisplayRect(t["c"], -1, true);
    const TRect unclipped = t.tree->GetDisplayRect(t["c"], -1, true, true);
    EXPECT_EQ(clipped, TRect(22, 18, 22 + w, 36));
    EXPECT_EQ(unclipped.Right, clipped.Right - 1);
    // Scrolled down by one row; the vertical scroll bar takes its width from the client.
    t.tree->SetBounds(0, 0, 200, 18);
    t.tree->SetOffsetY(-18);
    ASSERT_EQ(t.tree->OffsetY(), -18);
    const int shown = t.tree->ClientWidth();
    EXPECT_EQ(shown, 200 - SystemScrollBarSize);
    EXPECT_EQ(t.tree->GetDisplayRect(t["c"], -1, false), TRect(0, 0, shown, 18));
    EXPECT_EQ(t.tree->GetDisplayRect(t["a"], -1, false), TRect(0, -18, shown, 0)); // above
    // Repainting concerns the rows in the window only.
    EXPECT_EQ(t.tree->InvalidateNode(t["c"]), TRect(0, 0, shown, 18));
    EXPECT_EQ(t.tree->InvalidateNode(t["a"]), TRect(0, 0, 0, 0));
    for (PLazyNode bad : {static_cast<PLazyNode>(nullptr), t.tree->RootNode()})
        EXPECT_THROW(t.tree->GetDisplayRect(bad, -1, false), EAssertionFailed);
}

// A tree wider than its window, scrolled to its right end: the tree rectangle, the hit tests
// right of a label and the rows' rectangles cover the whole content width.
TEST(LazyTreeHitTest, TreeWiderThanItsWindowScrolledSideways) {
    TreeFixture t({"n", "wide", "mid"});
    t.names[t["wide"]] = std::string(40, 'W');
    t.names[t["mid"]] = std::string(30, 'W'); // ends between the window's width and the range
    for (const char* n : {"wide", "mid"}) t.tree->InvalidateNode(t[n]);
    t.tree->UpdateScrollBars(true);
    const int width = t.tree->ClientWidth();
    const int range = int(t.tree->RangeX());
    ASSERT_GT(range, width + 40);
    EXPECT_EQ(t.tree->GetTreeRect().Right, range);
    t.tree->SetOffsetX(width - range);
    const int dx = t.tree->OffsetX();
    ASSERT_EQ(dx, width - range);
    const int textEnd = 18 + 4 + t.tree->QueryNodeWidth(t["mid"], -1);
    ASSERT_GT(textEnd, width);
    ASSERT_LT(textEnd + dx, width - 2);
    struct Case {
        int x; // in the window
        bool relative;
        const char* positions;
    };
    const Case cases[] = {
        {textEnd + dx - 1, true, "OnItem Label"},
        {textEnd + dx + 1, true, "OnItem Right"},
        {width - 1, true, "OnItem Right"},
        {range - 1, false, "OnItem Right"}, // canvas coordinates past the window's width
        {range + 1, false, "ToRight"},
    };
    const int y = t.tree->AbsoluteNodeTop(t["mid"]) + 5;
    for (const Case& c : cases) {
        THitInfo h;
        t.tree->GetHitTestInfoAt(c.x, y, c.relative, h);
        EXPECT_EQ(positions(h.HitPositions), c.positions) << c.x << " " << c.relative;
    }
    // The whole visible row is repainted, not only its part left of the window's width.
    const TRect row(dx, 36, range + dx, 54);
    EXPECT_EQ(t.tree->GetDisplayRect(t["mid"], -1, false), row);
    EXPECT_EQ(t.tree->InvalidateNode(t["mid"]), row);
    t.tree->BeginUpdate();
    EXPECT_EQ(t.tree->InvalidateNode(t["mid"]), TRect(-1, -1, -1, -1));
    t.tree->EndUpdate();
}

TEST(LazyTreeHitTest, ContentRightExtentCoversTheWidestNodeInTheWindow) {
    TreeFixture t({"a", "a/a long child text", "b", "c"});
    t.tree->FullExpand();
    t.addMisc(toCheckSupport);
    t.tree->SetCheckType(t["b"], ctCheckBox);
    auto w = [&](const char* n) { return t.tree->QueryNodeWidth(t[n], -1); };
    const int child = 2 * 18 + w("a long child text");
    const int checked = 18 + 15 + w("b");
    EXPECT_EQ(t.tree->GetContentRightExtent(), std::max(child, checked) + 4);
    // Only the nodes in the window count.
    t.tree->SetBounds(0, 0, 200, 10);
    EXPECT_EQ(t.tree->GetContentRightExtent(), 18 + w("a") + 4);
}

} // namespace
