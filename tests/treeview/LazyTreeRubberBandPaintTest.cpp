// The rubber band of a drag selection painted over the rows and the area below them.
#include "platform/testing/UiTest.h"
#include "tests/treeview/TreeInput.h"

#include <gtest/gtest.h>

namespace {

using namespace uitest;

// Pixels of column x from y0 to y1 (exclusive) that differ from the background.
int marked(TBaseLazyTree* tree, int x, int y0, int y1) {
    tree->Invalidate();
    tree->Update();
    const TColor back = ColorToRGB(tree->Color());
    int n = 0;
    for (int y = y0; y < y1; ++y)
        if (tree->BackingImage()->PixelColor(x, y) != back) ++n;
    return n;
}

TEST(LazyTreeRubberBandPaint, BandIsDrawnWhileDraggingOverRowsAndBelowThem) {
    for (TLTDrawSelectionMode mode : {smDottedRectangle, smBlendedRectangle}) {
        TreeFixture t({"a", "b", "c", "d", "e", "f"});
        t.setSelectionOptions({toMultiSelect});
        t.tree->SetDrawSelectionMode(mode);
        EXPECT_EQ(marked(t.tree, 149, 62, 170), 0);
        mouseDown(t.tree, {150, 170});
        mouseMove(t.tree, {60, 62}, {ssLeft});
        ASSERT_TRUE(t.tree->TreeStates().Contains(tsDrawSelecting));
        // The band's last column (149) runs through the rows (0..107) and the area below them.
        EXPECT_GT(marked(t.tree, 149, 64, 104), 0) << mode;
        EXPECT_GT(marked(t.tree, 149, 112, 168), 0) << mode;
        EXPECT_EQ(marked(t.tree, 170, 64, 168), 0) << mode << ": nothing right of the band";
        mouseUp(t.tree, {60, 62});
        EXPECT_EQ(marked(t.tree, 149, 62, 170), 0) << mode << ": gone after the release";
    }
}

} // namespace
