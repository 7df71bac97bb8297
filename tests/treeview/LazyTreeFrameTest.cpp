#include "platform/testing/UiTest.h"
#include "platform/ui/core/Hooks.h"
#include "platform/ui/core/SysInfo.h"
#include "treeview/LazyTree.h"
#include "treeview/LazyTreeClipboard.h"
#include "treeview/LazyTreeWorker.h"

#include <gtest/gtest.h>

namespace {

TEST(LazyTreeFrame, SetUpRunsOnceAndTheWorkerLivesWithTheTrees) {
    const std::uint32_t before = WorkerThreadRefCount();
    {
        TLazyStringTree a(nullptr), b(nullptr);
        EXPECT_EQ(LazyTreeGlobals().InitCount, 1);
        EXPECT_TRUE(LazyTreeGlobals().OleInitialized);
        EXPECT_TRUE(OleInitialized());
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
    source.SetBiDiMode(bdRightToLeft);
    int inits = 0;
    target.OnInitNode = [&](TBaseLazyTree*, PLazyNode, PLazyNode, TLazyNodeInitStates&) {
        ++inits;
    };
    target.Assign(&source);
    EXPECT_EQ(target.RootNodeCount(), 5u);
    EXPECT_EQ(target.NodeDataSize(), 8);
    EXPECT_EQ(target.Indent(), 24u);
    EXPECT_EQ(target.Colors()->TreeLineColor(), clRed);
    EXPECT_EQ(target.BiDiMode(), bdRightToLeft);
    EXPECT_FALSE(target.ParentBiDiMode());
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

// The frame by pixels: the client edge, then the border ring in the border colour, then the
// vertical scroll bar beside the client.
TEST(LazyTreeFrame, FrameShowsEdgeRingAndScrollBarAroundTheClient) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 300);
    auto* tree = new TLazyStringTree(&form);
    tree->SetParent(&form);
    tree->SetBounds(10, 10, 150, 100);
    tree->Colors()->SetBorderColor(clRed);
    tree->SetRootNodeCount(50);
    form.Show();
    uitest::processMessages();
    const int bar = SystemScrollBarSize;
    EXPECT_EQ(tree->ClientRect(), TRect(0, 0, 150 - 4 - bar, 96));
    tree->SetBorderWidth(3);
    EXPECT_EQ(tree->ClientRect(), TRect(0, 0, 150 - 10 - bar, 90)) << "the frame follows";
    auto image = uitest::render(&form);
    auto at = [&](int x, int y) { return image->Canvas()->Pixels(10 + x, 10 + y); };
    struct Probe {
        int x, y;
        TColor color;
    } probes[] = {
        {40, 0, ColorToRGB(clBtnShadow)}, // the sunken client edge
        {40, 1, ColorToRGB(cl3DDkShadow)},
        {40, 2, clRed}, // the ring, 3 pixels wide
        {40, 4, clRed},
        {2, 50, clRed},
        {147, 50, clRed}, // right of the scroll bar
        {40, 97, clRed},
        {140 - bar + 1, 5, ColorToRGB(clBtnHighlight)}, // the bar's up arrow
        {40, 5, ColorToRGB(clWindow)},                  // the client
    };
    for (const Probe& p : probes) EXPECT_EQ(at(p.x, p.y), p.color) << p.x << "," << p.y;
    // Without the 3-D look the edge is a single black line.
    tree->SetCtl3D(false);
    uitest::processMessages();
    image = uitest::render(&form);
    EXPECT_EQ(at(40, 0), ColorToRGB(clWindowFrame));
    EXPECT_EQ(at(40, 1), clRed);
    EXPECT_EQ(tree->ClientRect(), TRect(0, 0, 150 - 8 - bar, 92));
}

TEST(LazyTreeFrame, PrintPaintsFrameAndClientIntoTheGivenCanvas) {
    TForm form(nullptr);
    auto* tree = new TLazyStringTree(&form);
    tree->SetParent(&form);
    tree->SetBounds(0, 0, 100, 60);
    tree->SetColor(clYellow);
    form.Show();
    uitest::processMessages();
    TBitmap bitmap(100, 60);
    bitmap.Canvas()->Brush()->SetColor(clBlue);
    bitmap.Canvas()->FillRect(TRect(0, 0, 100, 60));
    tree->Perform(WM_PRINT, WPARAM(bitmap.Canvas()), PRF_NONCLIENT | PRF_CLIENT);
    EXPECT_EQ(bitmap.PixelColor(30, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(bitmap.PixelColor(30, 30), clYellow);
    // A hidden tree asked with PRF_CHECKVISIBLE prints nothing.
    tree->SetVisible(false);
    TBitmap untouched(100, 60);
    untouched.Canvas()->Brush()->SetColor(clBlue);
    untouched.Canvas()->FillRect(TRect(0, 0, 100, 60));
    tree->Perform(WM_PRINTCLIENT, WPARAM(untouched.Canvas()), PRF_CHECKVISIBLE | PRF_CLIENT);
    EXPECT_EQ(untouched.PixelColor(30, 30), clBlue);
}

TEST(LazyTreeFrame, ThemeChangesRecreateTheWindowOnceAfterAPause) {
    TForm form(nullptr);
    auto* tree = new TLazyStringTree(&form);
    tree->SetParent(&form);
    form.Show();
    uitest::processMessages();
    int recreated = 0;
    tree->OnStateChange = [&](TBaseLazyTree*, TLazyTreeStates enter, TLazyTreeStates) {
        if (enter.Contains(tsWindowCreating)) ++recreated;
    };
    tree->Perform(WM_THEMECHANGED);
    uitest::advanceClock(300);
    tree->Perform(WM_THEMECHANGED);
    uitest::advanceClock(300);
    EXPECT_EQ(recreated, 0);
    uitest::advanceClock(300);
    EXPECT_EQ(recreated, 1);
    uitest::advanceClock(1000);
    EXPECT_EQ(recreated, 1);
    // A theme the tree applies itself starts no re-creation.
    tree->ApplyWindowTheme("explorer");
    uitest::advanceClock(1000);
    EXPECT_EQ(recreated, 1);
}

TEST(LazyTreeFrame, FirstTreeRegistersTheClipboardFormats) {
    TLazyStringTree tree(nullptr);
    EXPECT_NE(LazyTreeReferenceFormat, 0);
    EXPECT_EQ(GetClipboardFormatName(LazyTreeReferenceFormat), "Lazy Tree Reference");
    EXPECT_EQ(GetClipboardFormatName(LazyTreeDataFormat), "Lazy Tree Data");
    TStringList names;
    TClipboardFormatList::EnumerateFormats(&LazyStringTreeClass, &names);
    EXPECT_EQ(names.CommaText(),
              "\"Lazy Tree Data\",\"HTML Format\",\"Rich Text Format Without "
              "Objects\",\"Rich Text Format\",CSV,\"Unicode text\",\"Plain text\"");
    TStringList base;
    TClipboardFormatList::EnumerateFormats(&BaseLazyTreeClass, &base);
    EXPECT_EQ(base.CommaText(), "\"Lazy Tree Data\"");
    CLIPFORMAT id = 0;
    EXPECT_EQ(TClipboardFormatList::FindFormat("rich text format", id), &CustomLazyStringTreeClass);
    EXPECT_EQ(id, RtfClipFormat);
    std::string name;
    EXPECT_EQ(TClipboardFormatList::FindFormat(CLIPFORMAT(CF_UNICODETEXT), name),
              &CustomLazyStringTreeClass);
    EXPECT_EQ(name, "Unicode text");
    TFormatEtcArray allowed;
    TStringList only;
    only.Add("CSV");
    TClipboardFormatList::EnumerateFormats(&LazyStringTreeClass, allowed, &only);
    ASSERT_EQ(allowed.size(), 1u);
    EXPECT_EQ(allowed[0].cfFormat, CsvClipFormat);
}

TEST(LazyTreeFrame, ScalingScalesNodeHeightAndIndentWithAutoChangeScale) {
    for (bool autoScale : {false, true}) {
        TLazyStringTree tree(nullptr);
        tree.SetBounds(0, 0, 100, 50);
        TLTAutoOptions options = tree.TreeOptions()->AutoOptions();
        if (autoScale)
            options.Include(toAutoChangeScale);
        else
            options.Exclude(toAutoChangeScale);
        tree.TreeOptions()->SetAutoOptions(options);
        tree.ChangeScale(3, 2);
        EXPECT_EQ(tree.Width(), 150);
        EXPECT_EQ(tree.DefaultNodeHeight(), autoScale ? 27u : 18u);
        EXPECT_EQ(tree.Indent(), autoScale ? 27u : 18u);
    }
}

} // namespace
