#include "platform/testing/UiTest.h"
#include "treeview/LazyTree.h"
#include "treeview/LazyTreeWorker.h"

#include <gtest/gtest.h>

namespace {

TEST(LazyTreeFrame, SetUpRunsOnceAndTheWorkerLivesWithTheTrees) {
    const std::uint32_t before = WorkerThreadRefCount();
    {
        TLazyStringTree a(nullptr), b(nullptr);
        EXPECT_EQ(LazyTreeGlobals().InitCount, 1);
        EXPECT_EQ(WorkerThreadRefCount(), before + 2);
    }
    EXPECT_EQ(WorkerThreadRefCount(), before);
    TLazyStringTree c(nullptr);
    EXPECT_EQ(LazyTreeGlobals().InitCount, 1);
    EXPECT_EQ(WorkerThreadRefCount(), before + 1);
}

TEST(LazyTreeFrame, AssignCopiesSettingsAndCreatesUninitialisedTopLevelNodes) {
    TLazyStringTree source(nullptr), target(nullptr);
    source.SetNodeDataSize(8);
    source.SetRootNodeCount(5);
    source.SetIndent(24);
    source.Colors()->SetTreeLineColor(clRed);
    int inits = 0;
    target.OnInitNode = [&](TBaseLazyTree*, PLazyNode, PLazyNode, TLazyNodeInitStates&) {
        ++inits;
    };
    target.Assign(&source);
    EXPECT_EQ(target.RootNodeCount(), 5u);
    EXPECT_EQ(target.NodeDataSize(), 8);
    EXPECT_EQ(target.Indent(), 24u);
    EXPECT_EQ(target.Colors()->TreeLineColor(), clRed);
    EXPECT_EQ(inits, 0);
    target.GetFirst();
    EXPECT_EQ(inits, 1);
}

TEST(LazyTreeFrame, RemovedCheckImagesResetTheKind) {
    TLazyStringTree tree(nullptr);
    auto* images = new TImageList(nullptr);
    tree.SetCustomCheckImages(images);
    tree.SetCheckImageKind(ckCustom);
    delete images;
    EXPECT_EQ(tree.CustomCheckImages(), nullptr);
    EXPECT_EQ(tree.CheckImageKind(), ckSystemDefault);
}

TEST(LazyTreeFrame, BorderWidthPaintsARingInTheBorderColour) {
    TLazyStringTree tree(nullptr);
    tree.SetBounds(0, 0, 20, 20);
    tree.SetBorderWidth(2);
    tree.Colors()->SetBorderColor(clRed);
    TBitmap bitmap(20, 20);
    bitmap.Canvas()->Brush()->SetColor(clWhite);
    bitmap.Canvas()->FillRect(TRect(0, 0, 20, 20));
    tree.PaintNonClientBorder(bitmap.Canvas());
    // No window, so no window border: the ring starts at the edge.
    EXPECT_EQ(bitmap.PixelColor(0, 0), clRed);
    EXPECT_EQ(bitmap.PixelColor(1, 10), clRed);
    EXPECT_EQ(bitmap.PixelColor(2, 10), clWhite);
    EXPECT_EQ(bitmap.PixelColor(10, 10), clWhite);
}

TEST(LazyTreeFrame, ColourChangesRepaintOnlyWhenTheyChangeSomething) {
    TForm form(nullptr);
    auto* tree = new TLazyStringTree(&form);
    tree->SetParent(&form);
    form.Show();
    uitest::processMessages();
    tree->Colors()->SetTreeLineColor(tree->Colors()->TreeLineColor());
    EXPECT_FALSE(tree->NeedsPaint());
    tree->Colors()->SetTreeLineColor(clRed);
    EXPECT_TRUE(tree->NeedsPaint());
    uitest::processMessages();
    TLTColors other(tree);
    tree->BeginUpdate();
    tree->Colors()->Assign(&other);
    EXPECT_FALSE(tree->NeedsPaint());
    tree->EndUpdate();
    EXPECT_TRUE(tree->NeedsPaint());
}

} // namespace
