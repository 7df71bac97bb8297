// Painting of small trees checked by pixels: tree lines in every line style and mode, buttons,
// selection and focus, texts, the area below the rows and the paint events.
#include "platform/testing/UiTest.h"
#include "treeview/LazyTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

using uitest::pixel;

constexpr TColor lineColor = clRed;
constexpr TColor gridColor = clBlue;
constexpr TColor selectionColor = clLime;
constexpr TColor selectionBorder = clGreen;

// A (expanded: A1, A2) and B, 18 pixels a row and 18 an indent; texts are the names.
struct SmallTree {
    TLazyStringTree tree{nullptr};
    std::map<PLazyNode, std::string> names;
    PLazyNode a, a1, a2, b;
    SmallTree() {
        tree.SetBounds(0, 0, 200, 100);
        tree.SetColor(clWhite);
        tree.Font()->SetColor(clBlack);
        tree.Colors()->SetTreeLineColor(lineColor);
        tree.Colors()->SetColor(TLTColors::GridLineColorIndex, gridColor);
        for (auto i :
             {TLTColors::FocusedSelectionColorIndex, TLTColors::UnfocusedSelectionColorIndex})
            tree.Colors()->SetColor(i, selectionColor);
        for (auto i : {TLTColors::FocusedSelectionBorderColorIndex,
                       TLTColors::UnfocusedSelectionBorderColorIndex})
            tree.Colors()->SetColor(i, selectionBorder);
        tree.OnGetText = [this](TBaseLazyTree*, PLazyNode n, int, TVSTTextType type,
                                std::string& text) {
            if (type == ttNormal) text = names[n];
        };
        a = tree.AddChild(nullptr);
        a1 = tree.AddChild(a);
        a2 = tree.AddChild(a);
        b = tree.AddChild(nullptr);
        names = {{a, "A"}, {a1, "A1"}, {a2, "A2"}, {b, "B"}};
        tree.SetExpanded(a, true);
        tree.SetLineStyle(lsSolid);
    }
    TColor at(int x, int y) {
        tree.Invalidate();
        return pixel(&tree, x, y);
    }
    // Pixels of colour c in the rectangle.
    int count(const TRect& r, TColor c) {
        tree.Invalidate();
        tree.Update();
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (tree.BackingImage()->PixelColor(x, y) == c) ++n;
        return n;
    }
    void paintOptions(TLTPaintOptions add, TLTPaintOptions remove = {}) {
        tree.TreeOptions()->SetPaintOptions((tree.TreeOptions()->PaintOptions() + add) - remove);
    }
};

// Rows: A 0..17, A1 18..35, A2 36..53, B 54..71. Half an indent is 9; the lines sit at
// VAlign - 1 = 8 below each row's top; A's button at (5, 4) covers 5..13 x 4..12.
TEST(LazyTreePaint, SolidLinesFollowTheLineImageOfEveryRow) {
    SmallTree t;
    struct Case {
        int x, y;
        TColor expected;
        const char* what;
    } cases[] = {
        {9, 14, lineColor, "A: from the middle down (below the button)"},
        {9, 2, clWhite, "A: nothing above the middle"},
        {15, 8, lineColor, "A: stub to the right of the button"},
        {9, 20, lineColor, "A1: the root level passes on to B"},
        {27, 18, lineColor, "A1: own level top"},
        {27, 35, lineColor, "A1: own level continues to A2"},
        {32, 26, lineColor, "A1: stub"},
        {27, 44, lineColor, "A2: own level to the middle"},
        {27, 50, clWhite, "A2: last child, nothing below the middle"},
        {9, 60, lineColor, "B: from the top to the middle"},
        {9, 68, clWhite, "B: last top-level node"},
        {14, 62, lineColor, "B: stub"},
        {1, 30, clWhite, "left of every line"},
    };
    for (const Case& c : cases) EXPECT_EQ(t.at(c.x, c.y), c.expected) << c.what;
}

TEST(LazyTreePaint, ButtonShowsMinusWhenExpandedAndPlusWhenCollapsed) {
    SmallTree t;
    EXPECT_EQ(t.at(5, 4), lineColor) << "button frame in the tree line colour";
    EXPECT_EQ(t.at(8, 8), clBlack) << "minus bar";
    EXPECT_EQ(t.at(9, 6), clWhite) << "no plus bar";
    t.tree.SetExpanded(t.a, false);
    EXPECT_EQ(t.at(9, 6), clBlack) << "plus bar";
    t.paintOptions({}, {toShowButtons});
    EXPECT_EQ(t.at(12, 8), lineColor) << "no button: the stub shows";
}

TEST(LazyTreePaint, LineStylesGiveSolidDottedAndCustomPatterns) {
    struct Case {
        TLTLineStyle style;
        bool custom;
        int expectedOnLine; // pixels of A1's full vertical line at x 27 (18 rows)
    };
    static const std::uint16_t everyThird[8] = {0x24, 0x24, 0x24, 0x24, 0x24, 0x24, 0x24, 0x24};
    for (Case c : {Case{lsSolid, false, 18}, Case{lsDotted, false, 9},
                   Case{lsCustomStyle, false, 9}, Case{lsCustomStyle, true, 18}}) {
        SmallTree t;
        if (c.custom)
            t.tree.OnGetLineStyle = [](TBaseLazyTree*, const std::uint16_t*& bits) {
                bits = everyThird;
            };
        t.tree.SetLineStyle(c.style);
        EXPECT_EQ(t.count(TRect(27, 18, 28, 36), lineColor), c.expectedOnLine)
            << int(c.style) << " custom " << c.custom;
    }
    // The dotted pattern alternates along both axes.
    SmallTree t;
    t.tree.SetLineStyle(lsDotted);
    EXPECT_NE(t.at(27, 20) == lineColor, t.at(27, 21) == lineColor);
}

TEST(LazyTreePaint, BandModeDrawsGridColouredBandsOnlyWithGridLines) {
    SmallTree t;
    t.tree.SetLineMode(lmBands);
    // A1: [ltTopDown, ltTopDownRight] gives [ltLeft, ltLeftBottom].
    EXPECT_EQ(t.at(0, 27), gridColor) << "level 0 band edge";
    EXPECT_EQ(t.at(18, 27), gridColor) << "level 1 band edge";
    EXPECT_EQ(t.at(25, 35), gridColor) << "bottom of the closed band";
    EXPECT_EQ(t.count(TRect(0, 18, 200, 36), lineColor), 0) << "no normal tree lines";
    // A, expanded with visible children: every level is a left band edge.
    EXPECT_EQ(t.at(0, 5), gridColor);
}

TEST(LazyTreePaint, BandImageNeverReadsBeyondTheLastLevel) {
    struct Case {
        TLineImage image;
        bool open;
        TLineImage expected;
    } cases[] = {
        {{ltTopDown, ltTopDownRight}, false, {ltLeft, ltLeftBottom}},
        {{ltNone, ltTopRight}, false, {ltLeftBottom, ltLeftBottom}},
        {{ltTopDown, ltNone}, false, {ltLeftBottom, ltLeftBottom}},
        {{ltNone}, false, {ltLeftBottom}},
        {{ltTopDown}, false, {ltLeftBottom}},
        {{ltTopDown, ltRight}, true, {ltLeft, ltLeft}},
        {{}, false, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TBaseLazyTree::DeriveBandImage(c.image, c.open), c.expected);
}

TEST(LazyTreePaint, LineImagesOfTopLevelNodes) {
    TLazyStringTree tree(nullptr);
    PLazyNode n[3] = {tree.AddChild(nullptr), tree.AddChild(nullptr), tree.AddChild(nullptr)};
    TLineImage image;
    tree.ComputeLineImage(n[0], image);
    EXPECT_EQ(image, TLineImage{ltBottomRight});
    tree.ComputeLineImage(n[1], image);
    EXPECT_EQ(image, TLineImage{ltTopDownRight});
    tree.ComputeLineImage(n[2], image);
    EXPECT_EQ(image, TLineImage{ltTopRight});
    tree.SetVisible(n[2], false);
    tree.ComputeLineImage(n[1], image);
    EXPECT_EQ(image, TLineImage{ltTopRight}) << "hidden siblings do not extend the line";
    tree.SetVisible(n[1], false);
    tree.ComputeLineImage(n[0], image);
    EXPECT_EQ(image, TLineImage{ltRight}) << "the only visible top-level node";
    auto options = tree.TreeOptions()->PaintOptions();
    options.Exclude(toShowRoot);
    tree.TreeOptions()->SetPaintOptions(options);
    tree.ComputeLineImage(n[0], image);
    EXPECT_TRUE(image.empty());
}

TEST(LazyTreePaint, VerticalAlignmentOfButtonsAndLines) {
    struct Case {
        TLTNodeAlignment mode;
        int height, align, vAlign, buttonY;
    } cases[] = {
        {naProportional, 18, 50, 9, 4}, {naProportional, 40, 50, 20, 15},
        {naProportional, 18, 0, 4, -1}, {naFromTop, 18, 3, 3, -2},
        {naFromBottom, 18, 3, 15, 10},
    };
    for (const Case& c : cases) {
        TLazyStringTree tree(nullptr);
        PLazyNode node = tree.AddChild(nullptr);
        tree.SetNodeAlignment(c.mode);
        tree.SetNodeHeight(node, std::uint32_t(c.height));
        tree.SetVerticalAlignment(node, std::uint8_t(c.align));
        int buttonY = 0, vAlign = 0;
        tree.ComputeVerticalAlignment(false, false, buttonY, vAlign, node);
        EXPECT_EQ(vAlign, c.vAlign) << c.mode << " " << c.height << " " << c.align;
        EXPECT_EQ(buttonY, c.buttonY) << c.mode << " " << c.height << " " << c.align;
    }
}

// Selection of A1 (text at 44 and beyond, content from 40): a rounded rectangle in the
// selection colours over the node's width, the whole row with full-row selection, nothing when
// hidden.
TEST(LazyTreePaint, SelectionStatesByPixels) {
    struct Case {
        TLTPaintOptions paintAdd;
        TLTSelectionOptions selection;
        bool selected;
        TColor inside, border, rightOfText;
        const char* what;
    } cases[] = {
        {{}, {}, false, clWhite, clWhite, clWhite, "not selected"},
        {{}, {}, true, selectionColor, selectionBorder, clWhite, "selected"},
        {{},
         {toFullRowSelect},
         true,
         selectionColor,
         selectionColor,
         selectionColor,
         "full row: the frame runs along the row's edges"},
        {{toHideSelection}, {}, true, clWhite, clWhite, clWhite, "hidden while unfocused"},
        {{toAlwaysHideSelection}, {}, true, clWhite, clWhite, clWhite, "always hidden"},
    };
    for (const Case& c : cases) {
        SmallTree t;
        t.paintOptions(c.paintAdd);
        t.tree.TreeOptions()->SetSelectionOptions(c.selection);
        t.tree.SetSelected(t.a1, c.selected);
        EXPECT_EQ(t.at(41, 20), c.inside) << c.what;
        EXPECT_EQ(t.at(40, 27), c.border) << c.what;
        EXPECT_EQ(t.at(150, 27), c.rightOfText) << c.what;
        EXPECT_EQ(t.at(41, 2), clWhite) << c.what << ": other rows keep the background";
    }
}

TEST(LazyTreePaint, SelectedTextTakesTheSelectionTextColourWhenFocusedOrInPopupMode) {
    SmallTree t;
    t.tree.Colors()->SetColor(TLTColors::SelectionTextColorIndex, clFuchsia);
    t.tree.SetSelected(t.a1, true);
    EXPECT_EQ(t.count(TRect(40, 18, 100, 36), clFuchsia), 0);
    EXPECT_GT(t.count(TRect(40, 18, 100, 36), clBlack), 0);
    t.paintOptions({toPopupMode});
    EXPECT_GT(t.count(TRect(40, 18, 100, 36), clFuchsia), 0);
}

TEST(LazyTreePaint, FocusRectangleFramesTheFocusedNode) {
    SmallTree t;
    t.paintOptions({toPopupMode});
    const int before = t.count(TRect(38, 18, 100, 36), clWhite);
    t.tree.SetFocusedNode(t.a1);
    const int framed = t.count(TRect(38, 18, 100, 36), clWhite);
    EXPECT_LT(framed, before) << "the dotted frame changes pixels of the row";
    t.paintOptions({toHideFocusRect});
    EXPECT_EQ(t.count(TRect(38, 18, 100, 36), clWhite), before);
}

TEST(LazyTreePaint, TextsComeFromTheEventsOrTheDefaultText) {
    SmallTree t;
    const TRect a1Text(40, 18, 200, 36);
    EXPECT_GT(t.count(a1Text, clBlack), 0);
    t.names[t.a1] = "";
    EXPECT_EQ(t.count(a1Text, clBlack), 0) << "an empty text paints nothing";
    t.tree.OnGetText = nullptr;
    t.tree.InvalidateNode(t.a1);
    EXPECT_EQ(t.tree.GetText(t.a1, -1), "Node");
    EXPECT_GT(t.count(a1Text, clBlack), 0);
    // A handler that draws itself suppresses the tree's text, nothing else.
    t.tree.OnDrawText = [](TBaseLazyTree*, TCanvas*, PLazyNode, int, const std::string&,
                           const TRect&, bool& defaultDraw) { defaultDraw = false; };
    EXPECT_EQ(t.count(a1Text, clBlack), 0);
    EXPECT_EQ(t.at(27, 18), lineColor);
}

TEST(LazyTreePaint, NodeWidthIsMeasuredOnceAndAgainAfterInvalidation) {
    SmallTree t;
    int measured = 0;
    t.tree.OnMeasureTextWidth = [&](TBaseLazyTree*, TCanvas*, PLazyNode, int, const std::string&,
                                    int&) { ++measured; };
    const int w = t.tree.QueryNodeWidth(t.a1, -1);
    EXPECT_EQ(w, 2 * t.tree.TextMargin() + t.tree.Canvas()->TextWidth("A1"));
    t.tree.QueryNodeWidth(t.a1, -1);
    EXPECT_EQ(measured, 1);
    t.tree.InvalidateNode(t.a1);
    t.tree.QueryNodeWidth(t.a1, -1);
    EXPECT_EQ(measured, 2);
}

TEST(LazyTreePaint, MultilineHeightIsTheWrappedLayoutHeight) {
    SmallTree t;
    t.tree.SetMultiline(t.a1, true);
    const std::string text = "one two three four five six seven eight nine ten eleven twelve";
    const int height = t.tree.ComputeNodeHeight(t.tree.Canvas(), t.a1, -1, text);
    TRect r(0, 0, t.tree.ClientWidth(), 0);
    DrawText(t.tree.Canvas(), text, -1, r,
             DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL);
    EXPECT_EQ(height, r.Bottom - r.Top);
    EXPECT_GT(height, t.tree.Canvas()->TextHeight(text));
}

TEST(LazyTreePaint, EmptyTreeShowsOnlyTheBackgroundAndTheEmptyListMessage) {
    TLazyStringTree tree(nullptr);
    tree.SetBounds(0, 0, 120, 60);
    tree.SetColor(clYellow);
    tree.Invalidate();
    tree.Update();
    int grey = 0, other = 0;
    auto scan = [&] {
        grey = other = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 120; ++x) {
                const TColor c = tree.BackingImage()->PixelColor(x, y);
                if (c == ColorToRGB(clGrayText))
                    ++grey;
                else if (c != clYellow)
                    ++other;
            }
    };
    scan();
    EXPECT_EQ(grey + other, 0);
    tree.SetEmptyListMessage("Nothing here");
    tree.Invalidate();
    tree.Update();
    scan();
    EXPECT_GT(grey, 0);
    EXPECT_EQ(tree.BackingImage()->PixelColor(0, 0), clYellow) << "starts 2 pixels in";
}

TEST(LazyTreePaint, PaintEventsFireInOrderAndNestedPaintingDoesNothing) {
    SmallTree t;
    t.tree.SetExpanded(t.a, false);
    t.tree.DeleteNode(t.b);
    std::vector<std::string> events;
    auto& tree = t.tree;
    tree.OnBeforePaint = [&](TBaseLazyTree* s, TCanvas* c) {
        events.push_back("BeforePaint");
        // A nested paint from a handler paints nothing.
        s->PaintTree(c, TRect(0, 0, 10, 10), TPoint(0, 0), PaintOptionsOfRepaint);
    };
    tree.OnBeforeItemPaint = [&](TBaseLazyTree*, TCanvas*, PLazyNode, const TRect&, bool&) {
        events.push_back("BeforeItemPaint");
    };
    tree.OnBeforeItemErase = [&](TBaseLazyTree*, TCanvas*, PLazyNode, const TRect&, TColor&,
                                 TItemEraseAction&) { events.push_back("BeforeItemErase"); };
    tree.OnAfterItemErase = [&](TBaseLazyTree*, TCanvas*, PLazyNode, const TRect&) {
        events.push_back("AfterItemErase");
    };
    tree.OnBeforeCellPaint = [&](TBaseLazyTree*, TCanvas*, PLazyNode, int, TLTCellPaintMode,
                                 const TRect&, TRect&) { events.push_back("BeforeCellPaint"); };
    tree.OnAfterCellPaint = [&](TBaseLazyTree*, TCanvas*, PLazyNode, int, const TRect&) {
        events.push_back("AfterCellPaint");
    };
    tree.OnAfterItemPaint = [&](TBaseLazyTree*, TCanvas*, PLazyNode, const TRect&) {
        events.push_back("AfterItemPaint");
    };
    tree.OnPaintBackground = [&](TBaseLazyTree*, TCanvas*, const TRect&, bool&) {
        events.push_back("PaintBackground");
    };
    tree.OnAfterPaint = [&](TBaseLazyTree*, TCanvas*) { events.push_back("AfterPaint"); };
    tree.Invalidate();
    tree.Update();
    const std::vector<std::string> expected{"BeforePaint",    "BeforeItemPaint", "BeforeItemErase",
                                            "AfterItemErase", "BeforeCellPaint", "AfterCellPaint",
                                            "AfterItemPaint", "PaintBackground", "AfterPaint"};
    EXPECT_EQ(events, expected);
}

// With poSelectedOnly only rows of selected nodes (or below selected ones) are drawn; the
// others still take their height.
TEST(LazyTreePaint, SelectedOnlyPaintsSelectedRowsInTheirPlaces) {
    SmallTree t;
    t.tree.SetSelected(t.a2, true);
    TBitmap target(200, 72);
    FillRect(target.Canvas(), TRect(0, 0, 200, 72), clYellow);
    t.tree.PaintTree(target.Canvas(), TRect(0, 0, 200, 72), TPoint(0, 0),
                     {poDrawSelection, poSelectedOnly});
    EXPECT_EQ(target.PixelColor(150, 5), clYellow) << "A not drawn";
    EXPECT_EQ(target.PixelColor(150, 40), clWhite) << "A2 drawn in its own place";
    EXPECT_EQ(target.PixelColor(41, 38), selectionColor);
    EXPECT_EQ(target.PixelColor(150, 60), clYellow) << "B not drawn";
}

TEST(LazyTreePaint, ScrolledWindowPaintsTheRowsInView) {
    SmallTree t;
    t.tree.SetBounds(0, 0, 200, 36);
    t.tree.SetOffsetY(-18);
    EXPECT_EQ(t.at(27, 2), lineColor) << "A1 is the top row";
    EXPECT_EQ(t.at(9, 14), lineColor);
}

} // namespace

namespace {

// The blended selection lands on the node's row both when the control paints its own image in
// place and when the tree paints through its row buffer onto another canvas.
TEST(LazyTreePaint, BlendedSelectionCoversTheNodeInBothPaintPaths) {
    SmallTree t;
    t.paintOptions({toUseBlendedSelection});
    t.tree.SetSelectionBlendFactor(255);
    t.tree.SetSelected(t.a1, true);
    EXPECT_EQ(t.at(41, 20), selectionColor);
    EXPECT_EQ(t.at(41, 2), clWhite);
    TBitmap target(200, 72);
    t.tree.PaintTree(target.Canvas(), TRect(0, 0, 200, 72), TPoint(0, 0), PaintOptionsOfRepaint);
    EXPECT_EQ(target.PixelColor(41, 20), selectionColor);
    EXPECT_EQ(target.PixelColor(41, 2), clWhite);
    EXPECT_EQ(target.PixelColor(150, 20), clWhite) << "only over the node's width";
}

} // namespace

namespace {

// A 16 x 16 image left of A1's text: images sit one pixel left of the content start (after the
// indentation), vertically centred by the node's alignment; the text and its selection follow.
TEST(LazyTreePaint, NodeImagesComeBeforeTheTextAndItsSelection) {
    SmallTree t;
    TImageList images;
    images.SetSize(16, 16);
    TBitmap square(16, 16);
    FillRect(square.Canvas(), TRect(0, 0, 16, 16), clPurple);
    images.Add(&square, nullptr);
    t.tree.SetImages(&images);
    std::vector<TLTImageKind> asked;
    t.tree.OnGetImageIndex = [&](TBaseLazyTree*, PLazyNode node, TLTImageKind kind, int, bool&,
                                 int& index) {
        if (node == t.a1) asked.push_back(kind);
        if (node == t.a1 && kind != ikOverlay) index = 0;
    };
    t.tree.SetSelected(t.a1, true);
    struct Case {
        int x, y;
        TColor expected;
    } cases[] = {
        {39, 19, clPurple}, {54, 34, clPurple},       {38, 27, clWhite},
        {39, 35, clWhite},  {59, 20, selectionColor}, {40, 5, clWhite},
    };
    for (const Case& c : cases) EXPECT_EQ(t.at(c.x, c.y), c.expected) << c.x << "," << c.y;
    EXPECT_TRUE(std::find(asked.begin(), asked.end(), ikSelected) != asked.end())
        << "a selected node asks for its selected image";
    t.tree.SetImages(nullptr);
}

// The application may draw the six expand buttons; the hot ones show while the mouse is over the
// button, the selected-hot ones on a selected node.
TEST(LazyTreePaint, PreparedAndHotButtonBitmaps) {
    SmallTree t;
    int calls = 0;
    t.tree.OnPrepareButtonBitmaps = [&](TBaseLazyTree*, TBitmap* plus, TBitmap* plusHot,
                                        TBitmap* plusSelectedHot, TBitmap* minus, TBitmap* minusHot,
                                        TBitmap* minusSelectedHot, TSize& size) {
        ++calls;
        EXPECT_EQ(size, (TSize{9, 9}));
        const std::pair<TBitmap*, TColor> fills[] = {
            {plus, clMaroon},  {plusHot, clOlive}, {plusSelectedHot, clNavy},
            {minus, clYellow}, {minusHot, clAqua}, {minusSelectedHot, clPurple}};
        for (auto [bm, c] : fills) {
            EXPECT_EQ(bm->Width(), 9);
            FillRect(bm->Canvas(), TRect(0, 0, 9, 9), c);
        }
    };
    EXPECT_EQ(t.at(8, 8), clYellow) << "expanded A: minus";
    EXPECT_EQ(calls, 1);
    t.tree.TreeOptions()->SetSelectionOptions({toFullRowSelect});
    uitest::mouseMove(&t.tree, {10, 8}); // the exact button hit starts a bitmap width left of text
    ASSERT_EQ(t.tree.HotNode(), t.a);
    ASSERT_TRUE(t.tree.HotNodeButtonHit());
    EXPECT_EQ(t.at(8, 8), clAqua) << "hot";
    t.tree.SetSelected(t.a, true);
    EXPECT_EQ(t.at(8, 8), clPurple) << "selected and hot";
    t.tree.SetExpanded(t.a, false);
    EXPECT_EQ(t.at(8, 8), clNavy) << "collapsed: plus, selected and hot";
    t.tree.SetSelected(t.a, false);
    EXPECT_EQ(t.at(8, 8), clOlive) << "hot plus";
    uitest::mouseMove(&t.tree, {60, 3 * 18 + 8});
    EXPECT_EQ(t.at(8, 8), clMaroon) << "no longer hot";
}

// The background picture: tiled from the content's origin, or once at its offset.
TEST(LazyTreePaint, BackgroundPictureIsTiledOrFixed) {
    SmallTree t;
    TBitmap stripes(2, 2);
    FillRect(stripes.Canvas(), TRect(0, 0, 1, 2), clRed);
    FillRect(stripes.Canvas(), TRect(1, 0, 2, 2), clBlue);
    TPicture picture;
    picture.SetGraphic(&stripes);
    t.tree.SetBackground(&picture);
    EXPECT_EQ(t.at(151, 10), clWhite) << "only with toShowBackground";
    t.paintOptions({toShowBackground}, {});
    t.tree.SetBackgroundOffsetX(1);
    for (int y : {10, 40, 90}) { // in rows and below them
        EXPECT_EQ(t.at(150, y), clBlue) << y;
        EXPECT_EQ(t.at(151, y), clRed) << y;
    }
    TBitmap square(10, 10);
    FillRect(square.Canvas(), TRect(0, 0, 10, 10), clGreen);
    picture.SetGraphic(&square);
    t.tree.SetBackground(&picture);
    t.tree.SetBackgroundOffsetX(100);
    t.tree.SetBackgroundOffsetY(12);
    t.paintOptions({toStaticBackground}, {});
    const struct {
        int x, y;
        TColor c;
    } probes[] = {{105, 15, clGreen},
                  {105, 21, clGreen},
                  {95, 15, clWhite},
                  {105, 25, clWhite},
                  {109, 12, clGreen}};
    for (const auto& p : probes) EXPECT_EQ(t.at(p.x, p.y), p.c) << p.x << "," << p.y;
}

TEST(LazyTreePaint, DrawTreePaintsThroughItsEvents) {
    TLazyDrawTree tree(nullptr);
    tree.SetBounds(0, 0, 100, 60);
    PLazyNode node = tree.AddChild(nullptr);
    tree.OnDrawNode = [&](TBaseLazyTree*, const TLTPaintInfo& info) {
        EXPECT_EQ(info.Node, node);
        FillRect(info.Canvas, info.ContentRect, clRed);
    };
    EXPECT_EQ(tree.QueryNodeWidth(node, -1), 2 * tree.TextMargin());
    tree.OnGetNodeWidth = [](TBaseLazyTree*, TCanvas*, PLazyNode, int, int& width) { width = 30; };
    EXPECT_EQ(tree.QueryNodeWidth(node, -1), 30);
    const TRect text = tree.GetDisplayRect(node, -1, true);
    EXPECT_EQ(pixel(&tree, text.Left + 2, 9), clRed);
    EXPECT_EQ(tree.QueryCellContentMargin(node, -1, ccmtAllSides), TPoint(0, 0));
    tree.OnGetCellContentMargin = [](TBaseLazyTree*, TCanvas*, PLazyNode, int,
                                     TVTCellContentMarginType type, TPoint& margin) {
        margin = type == ccmtTopLeftOnly ? TPoint(2, 1) : TPoint(4, 2);
    };
    EXPECT_EQ(tree.QueryCellContentMargin(node, -1, ccmtTopLeftOnly), TPoint(2, 1));
}

TEST(LazyTreePaint, CellContentMarginComesFromBeforeCellPaint) {
    SmallTree t;
    EXPECT_EQ(t.tree.QueryCellContentMargin(t.a, -1, ccmtAllSides), TPoint(0, 0));
    t.tree.OnBeforeCellPaint = [](TBaseLazyTree*, TCanvas*, PLazyNode, int, TLTCellPaintMode mode,
                                  const TRect&, TRect& content) {
        if (mode != cpmGetContentMargin) return;
        content.Left += 3;
        content.Top += 1;
        content.Right -= 5;
        content.Bottom -= 2;
    };
    const struct {
        TVTCellContentMarginType type;
        TPoint margin;
    } cases[] = {{ccmtAllSides, {8, 3}}, {ccmtTopLeftOnly, {3, 1}}, {ccmtBottomRightOnly, {5, 2}}};
    for (const auto& c : cases)
        EXPECT_EQ(t.tree.QueryCellContentMargin(t.a, -1, c.type), c.margin) << c.type;
    // The image text comes from its event.
    EXPECT_EQ(t.tree.GetImageText(t.a, ikNormal, -1), "");
    t.tree.OnGetImageText = [&](TBaseLazyTree*, PLazyNode n, TLTImageKind kind, int,
                                std::string& text) {
        text = t.names[n] + (kind == ikState ? " state" : "");
    };
    EXPECT_EQ(t.tree.GetImageText(t.a1, ikState, -1), "A1 state");
    EXPECT_THROW(t.tree.GetImageText(nullptr, ikNormal, -1), EAssertionFailed);
}

} // namespace
