// Right-to-left trees: painting against a left-to-right twin flipped, hit tests, the header's
// column order and splitters, horizontal scrolling, and editing Arabic and Hebrew texts through
// Qt's own key events.
#include "platform/testing/NativeMouse.h"
#include "platform/ui/core/WindowFrame.h"
#include "tests/treeview/TreeInput.h"
#include "treeview/services/LazyTreeEdit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using uitest::processMessages;

const std::string arabic = "\xd9\x85\xd8\xb1\xd8\xad\xd8\xa8\xd8\xa7"; // "marhaban"
const std::string hebrew = "\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d";         // "shalom"

void addColumns(TBaseLazyTree* tree, std::initializer_list<int> widths) {
    for (int w : widths) tree->Header()->Columns()->Add()->SetWidth(w);
}

// A tree of the same rows in either reading order, painted without texts: a (expanded: a1 with
// a check box and an image, a2 with a collapsed child), b; a1 is selected. The pictures are
// symmetric squares (a purple image, olive check boxes in a navy frame).
struct PaintTwin {
    TLazyStringTree tree{nullptr};
    std::unique_ptr<TImageList> images = std::make_unique<TImageList>(nullptr);
    std::unique_ptr<TImageList> checks = std::make_unique<TImageList>(nullptr);
    PaintTwin(TBiDiMode mode, bool columns) {
        tree.SetBounds(0, 0, 200, 100);
        tree.SetColor(clWhite);
        tree.Colors()->SetTreeLineColor(clRed);
        tree.Colors()->SetColor(TLTColors::GridLineColorIndex, clBlue);
        for (auto i :
             {TLTColors::FocusedSelectionColorIndex, TLTColors::UnfocusedSelectionColorIndex})
            tree.Colors()->SetColor(i, clLime);
        for (auto i : {TLTColors::FocusedSelectionBorderColorIndex,
                       TLTColors::UnfocusedSelectionBorderColorIndex})
            tree.Colors()->SetColor(i, clGreen);
        tree.SetLineStyle(lsSolid);
        tree.SetBiDiMode(mode);
        // A symmetric picture: a purple square.
        images->SetSize(10, 10);
        TBitmap square(10, 10);
        FillRect(square.Canvas(), TRect(0, 0, 10, 10), clPurple);
        images->Add(&square, nullptr);
        tree.SetImages(images.get());
        checks->SetSize(13, 13);
        TBitmap box(13, 13);
        FillRect(box.Canvas(), TRect(0, 0, 13, 13), clNavy);
        FillRect(box.Canvas(), TRect(2, 2, 11, 11), clOlive);
        for (int i = 0; i < 32; ++i) checks->Add(&box, nullptr);
        tree.SetCustomCheckImages(checks.get());
        tree.SetCheckImageKind(ckCustom);
        auto misc = tree.TreeOptions()->MiscOptions();
        misc.Include(toCheckSupport);
        tree.TreeOptions()->SetMiscOptions(misc);
        auto paint = tree.TreeOptions()->PaintOptions();
        paint.Include(toShowHorzGridLines);
        tree.TreeOptions()->SetPaintOptions(paint);
        if (columns) {
            auto autoOptions = tree.TreeOptions()->AutoOptions();
            autoOptions.Include(toAutoBidiColumnOrdering);
            tree.TreeOptions()->SetAutoOptions(autoOptions);
            addColumns(&tree, {70, 40, 30});
            tree.Header()->Columns()->ResetPositionOrder(tree.UseRightToLeftAlignment());
            tree.SetFocusedColumn(0);
        }
        tree.OnGetText = [](TBaseLazyTree*, PLazyNode, int, TVSTTextType, std::string& text) {
            text.clear();
        };
        PLazyNode a = tree.AddChild(nullptr);
        PLazyNode a1 = tree.AddChild(a);
        PLazyNode a2 = tree.AddChild(a);
        tree.AddChild(a2);
        tree.AddChild(nullptr);
        tree.SetExpanded(a, true);
        tree.SetCheckType(a1, ctCheckBox);
        tree.OnGetImageIndex = [a1](TBaseLazyTree*, PLazyNode n, TLTImageKind kind, int column,
                                    bool&, int& index) {
            if (n == a1 && kind != ikState && column <= 0) index = 0;
        };
        tree.SetSelected(a1, true);
        tree.Invalidate();
        tree.Update();
    }
    const TBitmap* image() const { return tree.BackingImage(); }
};

int countColor(const TBitmap* Image, int Width, int Height, TColor Color) {
    int n = 0;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            if (Image->PixelColor(x, y) == ColorToRGB(Color)) ++n;
    return n;
}

// Pixels of A not background whose colour B lacks at the mirrored x (one pixel either way: the
// mirrored images and line stubs may sit one pixel off); the first one in Where.
int unmirrored(const TBitmap* A, const TBitmap* B, int Width, int Height, std::string& Where) {
    const TColor background = A->PixelColor(Width - 1, Height - 1);
    int count = 0;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const TColor c = A->PixelColor(x, y);
            if (c == background) continue;
            bool found = false;
            for (int d = -1; d <= 1 && !found; ++d) {
                const int m = Width - 1 - x + d;
                found = m >= 0 && m < Width && B->PixelColor(m, y) == c;
            }
            if (!found && count++ == 0) Where = std::to_string(x) + "," + std::to_string(y);
        }
    return count;
}

TEST(LazyTreeRightToLeft, MirroredTreePaintsItsLeftToRightTwinFlipped) {
    for (bool columns : {false, true}) {
        SCOPED_TRACE(columns ? "with columns" : "without columns");
        PaintTwin ltr(bdLeftToRight, columns), rtl(bdRightToLeft, columns);
        const int w = ltr.tree.ClientWidth(), h = ltr.tree.ClientHeight();
        ASSERT_EQ(rtl.tree.ClientWidth(), w);
        // Lines, buttons, the check box, the image and the selection are all there.
        for (TColor c : {clRed, clBlue, clLime, clPurple, clOlive})
            EXPECT_GT(countColor(ltr.image(), w, h, c), 0) << c;
        std::string where;
        EXPECT_EQ(unmirrored(ltr.image(), rtl.image(), w, h, where), 0) << "first at " << where;
        EXPECT_EQ(unmirrored(rtl.image(), ltr.image(), w, h, where), 0) << "first at " << where;
        if (columns) {
            // The main column, with the tree lines, is the first one: at the left of the
            // left-to-right tree, at the right of the mirrored one.
            EXPECT_EQ(countColor(ltr.image(), 70, h, clRed), countColor(ltr.image(), w, h, clRed));
            EXPECT_EQ(countColor(rtl.image(), w - 70, h, clRed), 0);
        }
    }
}

// Arabic and Hebrew texts sit at the right of their rows, after the indentation.
TEST(LazyTreeRightToLeft, RightToLeftTextsAreDrawnAtTheRightOfTheirRows) {
    TreeFixture t({"a", "a/b"});
    t.tree->SetBiDiMode(bdRightToLeft);
    t.names[t["a"]] = arabic;
    t.names[t["b"]] = hebrew;
    t.tree->FullExpand();
    // The widths measured for the old texts go.
    for (const char* n : {"a", "b"}) t.tree->InvalidateNode(t[n]);
    processMessages();
    for (const char* n : {"a", "b"}) {
        SCOPED_TRACE(n);
        const TRect text = t.tree->GetDisplayRect(t[n], -1, true);
        const TRect row = t.tree->GetDisplayRect(t[n], -1, false);
        EXPECT_EQ(text.Right, row.Right - t.tree->Margin() -
                                  int(t.tree->Indent()) * (t.tree->GetNodeLevel(t[n]) + 1));
        EXPECT_GT(text.Width(), 2 * t.tree->TextMargin());
        t.tree->Invalidate();
        t.tree->Update();
        const TBitmap* image = t.tree->BackingImage();
        // No ink left of the text, where a left-to-right tree would put it.
        int ink = 0, outside = 0;
        for (int y = row.Top; y < row.Bottom; ++y)
            for (int x = 0; x < text.Right; ++x) {
                const TColor c = image->PixelColor(x, y);
                if (GetRValue(c) + GetGValue(c) + GetBValue(c) >= 3 * 0x60) continue;
                (x >= text.Left ? ink : outside)++;
            }
        EXPECT_GT(ink, 10);
        EXPECT_EQ(outside, 0);
    }
}

// The hit positions at a point of c's row; "other node" off it.
std::string hitOnC(ImageTree& t, int x, int y) {
    const THitInfo h = t.hit(x, y);
    return h.HitNode == t["c"] ? positions(h.HitPositions) : "other node";
}

TEST(LazyTreeRightToLeft, HitTestsMirrorTheLeftToRightTwin) {
    ImageTree ltr(bdLeftToRight), rtl(bdRightToLeft);
    const int width = ltr.tree->ClientWidth();
    const int y = ltr.tree->AbsoluteNodeTop(ltr["c"]) + 9;
    const auto swapSides = [](std::string s) {
        for (auto [from, to] : {std::pair{"Left", "@"}, {"Right", "Left"}, {"@", "Right"}}) {
            const auto at = s.find(from);
            if (at != std::string::npos) s.replace(at, std::string(from).size(), to);
        }
        return s;
    };
    for (int x = 0; x < width; ++x)
        ASSERT_EQ(hitOnC(rtl, width - 1 - x, y), swapSides(hitOnC(ltr, x, y))) << x;
    // From the right edge: the indentation of three levels (the button in the last), the margin,
    // check box, state image, normal image, then the text and the space left of it.
    const int indentStart = width - 3 * 18;
    const int textRight = indentStart - 4 - 15 - 18 - 14;
    const int textWidth = rtl.tree->QueryNodeWidth(rtl["c"], -1);
    const struct {
        int x;
        const char* expected;
    } cases[] = {
        {width - 1, "OnItem"},
        {indentStart + 17, "OnItem Button"},
        {indentStart + 4, "OnItem Button ButtonExact"},
        {indentStart - 2, "OnItem Button ButtonExact"},
        {indentStart - 10, "OnItem Checkbox"},
        {indentStart - 4 - 15 - 8, "OnItem StateIcon"},
        {textRight + 5, "OnItem NormalIcon"},
        {textRight - 1, "OnItem Label"},
        {textRight - textWidth, "OnItem Label"},
        {textRight - textWidth - 1, "OnItem Left"},
        {0, "OnItem Left"},
    };
    for (const auto& c : cases) EXPECT_EQ(hitOnC(rtl, c.x, y), c.expected) << c.x;
    const TRect text = rtl.tree->GetDisplayRect(rtl["c"], -1, true);
    EXPECT_EQ(text.Right, textRight);
    EXPECT_EQ(text.Left, textRight - textWidth);
}

// The left-to-right tree's band and button clicks at mirrored points do the same.
TEST(LazyTreeRightToLeft, ButtonClicksAndRubberBandAtMirroredPoints) {
    TreeFixture t({"a", "a/a1", "b", "c", "d", "e", "f"});
    t.tree->SetBiDiMode(bdRightToLeft);
    t.setSelectionOptions({toMultiSelect});
    const int right = t.tree->ClientWidth() - 1;
    uitest::click(t.tree, t.rowPoint("a", right - 5));
    EXPECT_TRUE(t.tree->Expanded(t["a"]));
    uitest::click(t.tree, t.rowPoint("a", right - 5));
    EXPECT_FALSE(t.tree->Expanded(t["a"]));
    EXPECT_EQ(t.tree->SelectedCount(), 0u);
    // Rows are 18 high: d is the fourth visible row.
    uitest::mouseDown(t.tree, {right - 150, 150});
    uitest::mouseMove(t.tree, {right - 30, 60}, {ssLeft});
    EXPECT_EQ(t.selection(), "d e f");
    uitest::mouseMove(t.tree, {right - 30, 80}, {ssLeft});
    uitest::mouseUp(t.tree, {right - 30, 80});
    EXPECT_EQ(t.selection(), "e f");
    // A band left of the texts crosses nothing.
    t.tree->ClearSelection();
    uitest::mouseDown(t.tree, {right - 190, 150});
    uitest::mouseMove(t.tree, {right - 120, 10}, {ssLeft});
    uitest::mouseUp(t.tree, {right - 120, 10});
    EXPECT_EQ(t.selection(), "");
}

TEST(LazyTreeRightToLeft, ColumnsFromTheRightFollowTheTreesReadingOrder) {
    TreeFixture t({"a", "b"});
    t.addAuto(toAutoBidiColumnOrdering);
    addColumns(t.tree, {60, 50, 40});
    TLazyTreeColumns* columns = t.tree->Header()->Columns();
    columns->Items(2)->SetBiDiMode(bdRightToLeftReadingOnly); // its own reading order
    t.tree->SetBiDiMode(bdRightToLeft);
    processMessages();
    EXPECT_EQ(columns->Items(0)->BiDiMode(), bdRightToLeft);
    EXPECT_EQ(columns->Items(1)->BiDiMode(), bdRightToLeft);
    EXPECT_EQ(columns->Items(2)->BiDiMode(), bdRightToLeftReadingOnly);
    EXPECT_EQ(columns->PositionToIndex(), (std::vector<TColumnIndex>{2, 1, 0}));
    // The 150 pixels of columns end at the client's right edge (200).
    const struct {
        int x;
        TColumnIndex column;
        int left;
    } cases[] = {{10, -2, 0}, {49, -2, 0},   {50, 2, 50},  {89, 2, 50},
                 {90, 1, 90}, {140, 0, 140}, {199, 0, 140}};
    for (const auto& c : cases) {
        THitInfo h;
        t.tree->GetHitTestInfoAt(c.x, 5, true, h);
        EXPECT_EQ(h.HitColumn, c.column) << c.x;
        if (c.column < 0) continue;
        int left = 0, right = 0;
        columns->GetColumnBounds(c.column, left, right);
        EXPECT_EQ(left, c.left) << c.x;
    }
    // Back to left to right: the order by index again.
    t.tree->SetBiDiMode(bdLeftToRight);
    EXPECT_EQ(columns->PositionToIndex(), (std::vector<TColumnIndex>{0, 1, 2}));
    EXPECT_EQ(columns->Items(0)->BiDiMode(), bdLeftToRight);
    EXPECT_EQ(columns->Items(2)->BiDiMode(), bdRightToLeftReadingOnly);
    THitInfo h;
    t.tree->GetHitTestInfoAt(10, 5, true, h);
    EXPECT_EQ(h.HitColumn, 0);
}

TEST(LazyTreeRightToLeft, HeaderShowsTheSortArrowLeftOfTheCaptionAndSizesAtLeftEdges) {
    TreeFixture t({"a"});
    t.addAuto(toAutoBidiColumnOrdering);
    addColumns(t.tree, {60, 50, 40});
    TLTHeader* header = t.tree->Header();
    header->SetOptions(header->Options() + TLTHeaderOptions{hoVisible});
    header->Columns()->Items(1)->SetText(hebrew);
    t.tree->SetBiDiMode(bdRightToLeft);
    processMessages();
    // Column 1 spans 90 .. 139; its caption reads from the right, the arrow sits at its left.
    header->SetSortColumn(1);
    const auto arrowIn = [&](int x0, int x1) {
        processMessages();
        t.tree->Update();
        const TBitmap* frame = WindowFrame(t.tree)->Image.get();
        for (int x = x0; x < x1; ++x)
            for (int y = 2; y < 17; ++y)
                if (frame->PixelColor(x, y) == ColorToRGB(clBtnShadow)) return true;
        return false;
    };
    EXPECT_TRUE(arrowIn(92, 90 + 24));
    EXPECT_FALSE(arrowIn(90 + 26, 138));
    // Column 2 spans 50 .. 89; its left border is its sizing edge.
    const auto drag = [&](int from, int to) {
        uitest::postNativeWindowMouseDown(t.tree, {from, 8});
        processMessages();
        for (int x : {(from + to) / 2, to}) {
            uitest::postNativeWindowMouseMove(t.tree, {x, 8}, true);
            processMessages();
        }
        uitest::postNativeWindowMouseUp(t.tree, {to, 8});
        processMessages();
    };
    drag(50, 30);
    TLazyTreeColumns* columns = header->Columns();
    EXPECT_EQ(columns->Items(2)->Width(), 60);
    int left = 0, right = 0;
    columns->GetColumnBounds(2, left, right);
    EXPECT_EQ(left, 30);
    EXPECT_EQ(right, 90) << "the right edge stays";
    // The right edge of the rightmost column is not a sizing edge in a mirrored header.
    drag(198, 170);
    EXPECT_EQ(columns->Items(0)->Width(), 60);
    EXPECT_EQ(columns->Items(2)->Width(), 60);
}

TEST(LazyTreeRightToLeft, WideTreeStartsAtItsRightEndAndScrollsLeft) {
    TreeFixture t({"a", "b"});
    t.addAuto(toAutoBidiColumnOrdering);
    addColumns(t.tree, {150, 100, 80});
    t.tree->SetBiDiMode(bdRightToLeft);
    t.tree->UpdateScrollBars(true);
    processMessages();
    TLazyTreeColumns* columns = t.tree->Header()->Columns();
    const auto leftOf = [&](TColumnIndex c) {
        int left = 0, right = 0;
        columns->GetColumnBounds(c, left, right);
        return left;
    };
    const int width = t.tree->ClientWidth();
    EXPECT_EQ(t.tree->EffectiveOffsetX(), 330 - width);
    EXPECT_EQ(leftOf(0), width - 150);
    // The bar's left arrow, clicked through Qt, shows more of the columns on the left.
    const TPoint arrow = uitest::nativeScrollBarPoint(t.tree, SB_HORZ, uitest::sbpLineUp);
    uitest::postNativeWindowMouseDown(t.tree, arrow);
    uitest::postNativeWindowMouseUp(t.tree, arrow);
    processMessages();
    EXPECT_EQ(t.tree->EffectiveOffsetX(), 330 - width - 20);
    EXPECT_EQ(leftOf(0), width - 130);
    THitInfo h;
    t.tree->GetHitTestInfoAt(width - 131, 5, true, h);
    EXPECT_EQ(h.HitColumn, 1);
    // The last column scrolled into view lies at the left edge.
    EXPECT_TRUE(t.tree->ScrollIntoView(2, false));
    EXPECT_EQ(leftOf(2), 0);
    EXPECT_EQ(t.tree->EffectiveOffsetX(), 0);
    // The left-to-right twin starts at its left end; its last column comes in at the right.
    t.tree->SetBiDiMode(bdLeftToRight);
    t.tree->SetOffsetX(0);
    EXPECT_EQ(leftOf(0), 0);
    EXPECT_TRUE(t.tree->ScrollIntoView(2, false));
    EXPECT_EQ(leftOf(2) + 80, width);
    EXPECT_EQ(t.tree->EffectiveOffsetX(), 330 - width);
}

TEST(LazyTreeRightToLeft, EditingInAMirroredCellThroughQtKeys) {
    TreeFixture t({"a", "b"});
    t.addMisc(toEditable);
    t.addAuto(toAutoBidiColumnOrdering);
    addColumns(t.tree, {90, 90});
    t.tree->SetBiDiMode(bdRightToLeft);
    t.names[t["b"]] = hebrew;
    std::vector<std::string> stored;
    t.tree->OnNewText = [&](TBaseLazyTree*, PLazyNode n, int column, const std::string& text) {
        stored.push_back((n == t["b"] ? "b " : "? ") + std::to_string(column));
        t.names[n] = text;
    };
    t.tree->SetFocus();
    t.tree->SetFocusedNode(t["b"]);
    t.tree->SetFocusedColumn(0);
    processMessages();
    uitest::postNativeKey(VK_F2, t.tree);
    processMessages();
    ASSERT_TRUE(t.tree->IsEditing());
    auto* link = dynamic_cast<TStringEditLink*>(t.tree->EditLink().get());
    ASSERT_NE(link, nullptr);
    TLTEdit* edit = link->Edit();
    EXPECT_EQ(edit->Text(), hebrew);
    EXPECT_EQ(edit->BiDiMode(), bdRightToLeft);
    // The editor hangs from the right of the main column, at the right of the tree.
    const TRect text = t.tree->GetDisplayRect(t["b"], 0, true);
    const TRect bounds = edit->BoundsRect();
    EXPECT_EQ(bounds.Right, text.Right);
    EXPECT_LT(bounds.Left, bounds.Right);
    EXPECT_GT(bounds.Left, t.tree->ClientWidth() - 90);
    uitest::postNativeText(arabic);
    uitest::postNativeKey(VK_RETURN);
    processMessages();
    EXPECT_FALSE(t.tree->IsEditing());
    EXPECT_EQ(stored, std::vector<std::string>{"b 0"});
    EXPECT_EQ(t.names[t["b"]], arabic);
}

} // namespace
