// The owner-drawn page control: pages and tabs, switching, and its painting.
#include "mbus/QorPageControl.h"

#include "platform/gfx/ImageList.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/core/Forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

namespace {

constexpr TColor Panel = 0xEDF7F8;

class PageControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetColor(Panel);
        form->SetClientSize(330, 420);
        pages = new TQorPageControl(form.get());
        pages->SetParent(form.get());
        pages->SetBounds(0, 0, 330, 420);
    }
    TQorTabSheet* addPage(const std::string& caption) {
        auto* sheet = new TQorTabSheet(form.get());
        sheet->SetQorPageControl(pages);
        sheet->SetCaption(caption);
        return sheet;
    }
    // The page control as the network editor sets it up.
    void editorLook() {
        pages->SetTabPosition(tpLeft);
        pages->SetTabStyle(tsDotNet);
        pages->SetMultiLine(true);
        pages->SetActiveColor(clSkyBlue);
        pages->SetDefaultTabColor(Panel);
        pages->SetTabBackGroundColor(Panel);
        pages->SetColor(Panel);
        TTabMargin margin;
        margin.SetTopMargin(10);
        margin.SetRightMargin(20);
        pages->SetTabMargin(&margin);
        pages->Font()->SetName("Verdana");
        pages->Font()->SetHeight(-13);
        pages->ActiveFont()->SetName("Verdana");
        pages->ActiveFont()->SetHeight(-13);
    }
    std::unique_ptr<TForm> form;
    TQorPageControl* pages = nullptr;
};

bool reddish(TColor c) {
    const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    return r > g + 60 && r > b + 60;
}

bool dark(TColor c) {
    return (c & 0xFF) < 128 && ((c >> 8) & 0xFF) < 128;
}

} // namespace

TEST_F(PageControlTest, TabCaptionDropsTwoCharactersOrAddsABlankForTheCloseButton) {
    TQorTabSheet* sheet = addPage("Nodes     ");
    EXPECT_EQ(sheet->TabCaption(), "Nodes   ");
    sheet->SetCaption("ab");
    EXPECT_EQ(sheet->TabCaption(), "");
    sheet->SetShowClose(true);
    EXPECT_EQ(sheet->TabCaption(), "ab ");
    sheet->SetShowClose(false);
    sheet->SetCaption("Zähler°");
    EXPECT_EQ(sheet->TabCaption(), "Zähle");
}

TEST_F(PageControlTest, HiddenTabsAreSkippedByTabIndexAndClicks) {
    TQorTabSheet* first = addPage("One  ");
    TQorTabSheet* second = addPage("Two  ");
    TQorTabSheet* third = addPage("Three  ");
    first->SetTabVisible(false);
    EXPECT_EQ(third->TabIndex(), 1);
    EXPECT_EQ(first->TabIndex(), -1);
    EXPECT_EQ(pages->ActivePage(), second);
    int from = -2, to = -2, changes = 0;
    pages->OnCanChange = [&](TObject*, int f, int t, bool&) { from = f, to = t; };
    pages->OnChange = [&](TObject*) { ++changes; };
    // The user's click, through Qt.
    form->Show();
    uitest::processMessages();
    const TRect r = pages->TabRect(third);
    uitest::postNativeClickAt(pages, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    uitest::processMessages();
    EXPECT_EQ(from, 1);
    EXPECT_EQ(to, 2);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(pages->ActivePageIndex(), 2);
    EXPECT_TRUE(third->Visible());
    EXPECT_FALSE(second->Visible());
}

TEST_F(PageControlTest, FindNextPageWraps) {
    TQorTabSheet* a = addPage("A  ");
    TQorTabSheet* b = addPage("B  ");
    EXPECT_EQ(pages->FindNextPage(b, true, true), a);
    EXPECT_EQ(pages->FindNextPage(a, false, true), b);
    a->SetTabVisible(false);
    EXPECT_EQ(pages->FindNextPage(b, true, true), b);
    EXPECT_EQ(pages->FindNextPage(nullptr, true, false), a);
}

TEST_F(PageControlTest, ActivePageRules) {
    TQorTabSheet* a = addPage("A  ");
    TQorTabSheet* b = addPage("B  ");
    pages->SetActivePageIndex(5);
    EXPECT_EQ(pages->ActivePage(), nullptr);
    pages->SetActivePage(a);
    b->SetTabEnable(false);
    pages->SetActivePage(b);
    EXPECT_EQ(pages->ActivePage(), a);
    const TRect r = pages->TabRect(b);
    uitest::click(pages, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    EXPECT_EQ(pages->ActivePage(), a);
    EXPECT_THROW(a->SetTabEnable(false), EInvalidOperation);
    EXPECT_TRUE(a->TabEnable());
    try {
        a->SetPageIndex(2);
        ADD_FAILURE();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(),
                  "2 is an invalid PageIndex value.  PageIndex must be between 0 and 1");
    }
    b->SetPageIndex(0);
    EXPECT_EQ(pages->Pages(0), b);
    pages->SetTabStyle(tsDotNet);
    EXPECT_THROW(pages->SetTabSplitLine(true), EInvalidOperation);
    EXPECT_FALSE(pages->TabSplitLine());
}

TEST_F(PageControlTest, RemovingTheOnlyPageLeavesNone) {
    TQorTabSheet* a = addPage("A  ");
    EXPECT_EQ(pages->ActivePage(), a);
    delete a;
    EXPECT_EQ(pages->ActivePage(), nullptr);
    EXPECT_EQ(pages->PageCount(), 0);
}

TEST_F(PageControlTest, DefaultTabColorChangesOnlySheetsStillOnTheOldDefault) {
    TQorTabSheet* a = addPage("A  ");
    TQorTabSheet* b = addPage("B  ");
    EXPECT_EQ(a->TabColor(), clBtnFace);
    b->SetTabColor(clRed);
    pages->SetDefaultTabColor(clLime);
    EXPECT_EQ(a->TabColor(), clLime);
    EXPECT_EQ(b->TabColor(), clRed);
}

TEST_F(PageControlTest, GradientFillBands) {
    TBitmap bmp;
    bmp.SetSize(160, 4);
    DrawGradientFill(bmp.Canvas(), clBlack, clWhite, true, TRect{0, 0, 160, 4}, 16);
    for (int n = 0; n < 16; ++n) {
        const int v = n * 255 / 16 + ((n * 255 % 16) * 2 >= 16 ? 1 : 0);
        // Band n covers x = 10 n .. 10 n + 10; the next band overwrites its last pixel.
        EXPECT_EQ(bmp.Canvas()->Pixels(10 * n + 5, 1), RGB(v, v, v)) << n;
    }
    EXPECT_EQ(bmp.Canvas()->Pixels(159, 1), RGB(239, 239, 239));
    DrawGradientFill(bmp.Canvas(), clRed, clBlue, false, TRect{0, 0, 160, 4}, 0);
    EXPECT_EQ(bmp.Canvas()->Pixels(80, 3), clRed);
}

TEST_F(PageControlTest, EditorLookPaintsTabsOnTheLeft) {
    editorLook();
    TQorTabSheet* nodes = addPage("Nodes     ");
    TQorTabSheet* vars = addPage("Variables     ");
    nodes->SetSheetColor(Panel);
    vars->SetSheetColor(Panel);
    pages->SetActivePage(vars);
    auto image = uitest::render(form.get());
    TCanvas* c = image->Canvas();
    const TRect n = pages->TabRect(nodes), v = pages->TabRect(vars);
    ASSERT_EQ(n.Left, v.Left);
    EXPECT_EQ(n.Bottom, v.Top) << "tabs stack from the top";
    EXPECT_EQ(c->Pixels(v.Left + 3, v.Top + 3), clSkyBlue);
    EXPECT_EQ(c->Pixels(n.Left + 3, n.Top + 3), Panel);
    EXPECT_EQ(c->Pixels(n.Left + 3, v.Bottom + 20), Panel) << "the strip below the tabs";
    EXPECT_EQ(c->Pixels(v.Right, v.Bottom + 20), clGray) << "the sheet frame";
    EXPECT_EQ(c->Pixels(v.Right - 1, v.Top + 3), clSkyBlue) << "the active tab joins the sheet";
    EXPECT_EQ(c->Pixels(n.Right - 1, n.Top + 3), clGray) << "the other tab's sheet side";
    // The captions run upwards from 14 pixels above the tab's bottom edge.
    for (const TRect& r : {n, v}) {
        bool textBelow = false, textAbove = false;
        for (int x = r.Left + 1; x < r.Right - 1; ++x) {
            for (int y = r.Bottom - 13; y < r.Bottom - 4; ++y) textBelow |= dark(c->Pixels(x, y));
            for (int y = r.Top + 4; y < r.Bottom - 15; ++y) textAbove |= dark(c->Pixels(x, y));
        }
        EXPECT_FALSE(textBelow);
        EXPECT_TRUE(textAbove);
    }
}

TEST_F(PageControlTest, TabFitsItsFullCaptionInTheFontInUse) {
    editorLook();
    addPage("Other     ");
    TQorTabSheet* nodes = addPage("Nodes"); // a translation without spare blanks
    nodes->SetTextColor(clRed);
    pages->ActiveFont()->SetHeight(-20);
    pages->SetActivePage(nodes);
    auto image = uitest::render(form.get());
    TCanvas* c = image->Canvas();
    const TRect other = pages->TabRect(pages->Pages(0)), mine = pages->TabRect(nodes);
    bool spilled = false, drawn = false;
    for (int x = 0; x < mine.Right; ++x) {
        for (int y = 0; y < other.Bottom; ++y) spilled |= reddish(c->Pixels(x, y));
        for (int y = mine.Top; y < mine.Bottom; ++y) drawn |= reddish(c->Pixels(x, y));
    }
    EXPECT_TRUE(drawn);
    EXPECT_FALSE(spilled) << "the caption runs past its tab into the one above";
}

namespace {

TPoint middleOf(const TRect& r) {
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

// The colour most pixels of the rectangle have.
TColor mostOf(TBitmap* image, const TRect& r) {
    std::map<TColor, int> count;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) ++count[image->Canvas()->Pixels(x, y)];
    return std::max_element(count.begin(), count.end(),
                            [](const auto& a, const auto& b) { return a.second < b.second; })
        ->first;
}

} // namespace

TEST_F(PageControlTest, CloseButtonClosesTheActivePageWhenAllowed) {
    editorLook();
    TQorTabSheet* a = addPage("Alpha     ");
    TQorTabSheet* b = addPage("Beta     ");
    a->SetName("SheetA");
    for (TQorTabSheet* s : {a, b}) s->SetShowClose(true);
    pages->SetActivePage(a);
    form->Show();
    uitest::processMessages();
    const TRect box = pages->CloseButtonRect(a);
    ASSERT_EQ(box.Width(), 12);
    ASSERT_EQ(box.Height(), 11);
    EXPECT_LE(box.Bottom, pages->TabRect(a).Bottom - 10) << "inside the bottom margin";
    // The box of the active tab sits LowerActive pixels nearer the sheet.
    const TPoint inBox{box.Left + 2 + pages->LowerActive(), box.Top + 2};
    auto image = uitest::render(pages);
    EXPECT_EQ(image->Canvas()->Pixels(inBox.X, inBox.Y), clWhite);
    EXPECT_EQ(image->Canvas()->Pixels(box.Left + pages->LowerActive(), box.Top + 5), clGray);
    const TRect other = pages->CloseButtonRect(b);
    image = uitest::render(pages);
    EXPECT_EQ(image->Canvas()->Pixels(other.Left + 2, other.Top + 2), clWhite)
        << "every tab with ShowClose has its box";

    // Pressed it is silver; released elsewhere it closes nothing.
    uitest::mouseDown(pages, middleOf(box));
    image = uitest::render(pages);
    EXPECT_EQ(image->Canvas()->Pixels(inBox.X, inBox.Y), clSilver);
    uitest::mouseMove(pages, {box.Left - 20, box.Top});
    uitest::mouseUp(pages, {box.Left - 20, box.Top});
    EXPECT_EQ(pages->PageCount(), 2);

    std::vector<std::string> events;
    bool allow = false;
    a->OnCanClose = [&](TObject*, bool& CanClose) {
        events.push_back("can close");
        CanClose = allow;
    };
    a->OnClose = [&](TObject*) { events.push_back("close"); };
    uitest::postNativeClickAt(pages, middleOf(box));
    uitest::processMessages();
    EXPECT_EQ(events, std::vector<std::string>{"can close"});
    EXPECT_EQ(pages->PageCount(), 2);

    allow = true;
    uitest::postNativeClickAt(pages, middleOf(box));
    uitest::processMessages();
    EXPECT_EQ(events, (std::vector<std::string>{"can close", "can close", "close"}));
    EXPECT_EQ(pages->PageCount(), 1);
    EXPECT_EQ(pages->ActivePage(), b);
    EXPECT_FALSE(pages->OpenClosedTab("Other"));
    EXPECT_TRUE(pages->OpenClosedTab("SheetA"));
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->Pages(1), a);

    // With FreeOnClose the closed sheet is gone.
    pages->SetFreeOnClose(true);
    pages->SetActivePage(a);
    uitest::click(pages, middleOf(pages->CloseButtonRect(a)));
    EXPECT_EQ(pages->PageCount(), 1);
    EXPECT_EQ(form->FindComponent("SheetA"), nullptr);
    EXPECT_FALSE(pages->OpenClosedTab("SheetA"));
}

TEST_F(PageControlTest, HoveredTabTakesTheHoverColoursUntilTheMouseLeaves) {
    editorLook();
    TQorTabSheet* a = addPage("Alpha     ");
    TQorTabSheet* b = addPage("Beta     ");
    pages->SetActivePage(a);
    pages->SetTabHoverColor(clYellow);
    pages->SetTabHoverBorder(clRed);
    form->Show();
    uitest::processMessages();
    const TRect r = pages->TabRect(b);
    uitest::postNativeMouseMove(pages, middleOf(r));
    uitest::processMessages();
    EXPECT_EQ(pages->HoverTab(), 1);
    auto image = uitest::render(pages);
    EXPECT_EQ(mostOf(image.get(), {r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2}), clYellow);
    EXPECT_EQ(image->Canvas()->Pixels(r.Left, (r.Top + r.Bottom) / 2), clRed) << "outline";
    // Over the active tab nothing is hovered.
    uitest::mouseMove(pages, middleOf(pages->TabRect(a)));
    EXPECT_EQ(pages->HoverTab(), 0);
    image = uitest::render(pages);
    EXPECT_EQ(image->Canvas()->Pixels(r.Left + 3, r.Top + 3), Panel);
    uitest::postNativeMouseMove(pages, middleOf(r));
    uitest::processMessages();
    uitest::postNativeLeave(pages);
    uitest::processMessages();
    EXPECT_EQ(pages->HoverTab(), -1);
    image = uitest::render(pages);
    EXPECT_EQ(image->Canvas()->Pixels(r.Left + 3, r.Top + 3), Panel);

    // The active tab's close box: a black frame and a grey cross under the mouse, grey and
    // black again when the mouse has left.
    a->SetShowClose(true);
    TRect box = pages->CloseButtonRect(a);
    OffsetRect(box, pages->LowerActive(), 0);
    auto closeBox = [&] {
        auto shot = uitest::render(pages);
        return std::pair{shot->Canvas()->Pixels(box.Left, box.Top + 5),
                         shot->Canvas()->Pixels(box.Left + 3, box.Top + 3)};
    };
    EXPECT_EQ(closeBox(), std::pair(clGray, clBlack));
    uitest::postNativeMouseMove(pages, middleOf(box));
    uitest::processMessages();
    EXPECT_EQ(closeBox(), std::pair(clBlack, clGray));
    uitest::postNativeLeave(pages);
    uitest::processMessages();
    EXPECT_EQ(closeBox(), std::pair(clGray, clBlack));

    // No hover over tab pictures.
    TBitmap picture(10, 40);
    picture.Canvas()->Brush()->SetColor(clGreen);
    picture.Canvas()->FillRect({0, 0, 10, 40});
    pages->SetTabBackGround(&picture);
    uitest::mouseMove(pages, middleOf(r));
    EXPECT_EQ(pages->HoverTab(), -1);
}

TEST_F(PageControlTest, TabPicturesStretchAlongTheTabsWithTheirCornerColourTransparent) {
    editorLook();
    TQorTabSheet* a = addPage("Alpha     ");
    TQorTabSheet* b = addPage("Beta     ");
    pages->SetActivePage(a);
    // Top half blue, bottom half green, a fuchsia column on the right (and so at the bottom
    // left corner: transparent).
    TBitmap picture(12, 20);
    TCanvas* p = picture.Canvas();
    p->Brush()->SetColor(clBlue);
    p->FillRect({0, 0, 12, 10});
    p->Brush()->SetColor(clGreen);
    p->FillRect({0, 10, 12, 20});
    p->Brush()->SetColor(clFuchsia);
    p->FillRect({0, 19, 12, 20});
    p->FillRect({9, 0, 12, 20});
    pages->SetTabBackGround(&picture);
    TBitmap active(12, 20);
    active.Canvas()->Brush()->SetColor(clRed);
    active.Canvas()->FillRect({0, 0, 12, 20});
    active.Canvas()->Brush()->SetColor(clFuchsia);
    active.Canvas()->FillRect({0, 19, 12, 20});
    pages->SetTabBackGroundActive(&active);
    auto image = uitest::render(form.get());
    TCanvas* c = image->Canvas();
    const TRect r = pages->TabRect(b);
    EXPECT_EQ(c->Pixels(r.Left + 4, r.Top + 2), clBlue) << "first half at the start";
    // The middle slice is the picture's rows 9 (blue) and 10 (green), stretched.
    EXPECT_EQ(c->Pixels(r.Left + 4, r.Top + 12), clBlue) << "middle slice";
    EXPECT_EQ(c->Pixels(r.Left + 4, r.Bottom - 12), clGreen) << "middle slice";
    EXPECT_EQ(c->Pixels(r.Left + 4, r.Bottom - 4), clGreen) << "second half at the end";
    EXPECT_EQ(c->Pixels(r.Left + 10, r.Top + 2), Panel) << "transparent colour";
    const TRect ra = pages->TabRect(a);
    EXPECT_EQ(c->Pixels(ra.Left + 4, ra.Top + 2), clRed) << "the active tab's own picture";
}

TEST_F(PageControlTest, ImagesGoBeforeTheCaptionAndLengthenTheTabs) {
    editorLook();
    TQorTabSheet* a = addPage("Alpha     ");
    addPage("Beta     ");
    pages->SetActivePage(a);
    const int plain = pages->TabRect(a).Height();
    TImageList images;
    images.SetSize(16, 16);
    TBitmap dot(16, 16);
    dot.Canvas()->Brush()->SetColor(clBlue);
    dot.Canvas()->FillRect({0, 0, 16, 16});
    images.Add(&dot, nullptr);
    pages->SetImages(&images);
    EXPECT_EQ(pages->TabRect(a).Height(), plain + 16);
    a->SetImageIndex(0);
    auto image = uitest::render(form.get());
    const TRect r = pages->TabRect(a);
    // The caption starts 14 pixels above the tab's bottom edge (its margin included); the image
    // starts 14 pixels above that.
    const int textStart = r.Bottom - 14, x = r.Left + 8;
    EXPECT_EQ(mostOf(image.get(), {x, textStart - 14, x + 8, textStart + 2}), clBlue);
    EXPECT_EQ(image->Canvas()->Pixels(x, textStart + 1), clBlue) << "the image's lowest row";
    EXPECT_NE(image->Canvas()->Pixels(x, textStart - 15), clBlue) << "the image's top row";
    pages->SetImages(nullptr);
    EXPECT_EQ(pages->TabRect(a).Height(), plain);
}

TEST_F(PageControlTest, SheetFrameLooks) {
    editorLook();
    TQorTabSheet* a = addPage("Alpha     ");
    a->SetSheetColor(Panel);
    const int W = pages->Width(), H = pages->Height();
    const int x = pages->TabRect(a).Right;
    auto image = uitest::render(pages);
    EXPECT_EQ(image->Canvas()->Pixels(W - 2, H - 2), clGray) << "square corner";
    EXPECT_EQ(image->Canvas()->Pixels(x, H / 2), clGray) << "flat frame";
    pages->SetRoundEdges(true);
    image = uitest::render(pages);
    EXPECT_NE(image->Canvas()->Pixels(W - 2, H - 2), clGray) << "rounded corner";
    pages->SetTabSheet3D(true);
    image = uitest::render(pages);
    EXPECT_EQ(image->Canvas()->Pixels(x + 1, H / 2), ColorToRGB(clBtnHighlight)) << "raised frame";
}

TEST_F(PageControlTest, ClassicLookDrawsHighlightedTabsAndNoCloseButtons) {
    editorLook();
    TQorTabSheet* a = addPage("Alpha     ");
    TQorTabSheet* b = addPage("Beta     ");
    a->SetShowClose(true);
    pages->SetActivePage(a);
    const TRect box = pages->CloseButtonRect(a);
    ASSERT_FALSE(box.IsEmpty());
    pages->SetTabBorder3D(true);
    EXPECT_TRUE(pages->CloseButtonRect(a).IsEmpty());
    uitest::click(pages, middleOf(box));
    EXPECT_EQ(pages->PageCount(), 2);
    b->SetHighlighted(true);
    auto image = uitest::render(pages);
    const TRect r = pages->TabRect(b);
    EXPECT_EQ(mostOf(image.get(), {r.Left + 3, r.Top + 3, r.Right - 3, r.Bottom - 3}),
              ColorToRGB(clHighlight));
}

namespace {

TPoint middle(const TRect& r) {
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

} // namespace

TEST_F(PageControlTest, ADockedFormHasASheetOfItsOwnUntilItFloats) {
    TQorTabSheet* nodes = addPage("Nodes  ");
    addPage("Variables  ");
    pages->SetDockSite(true);
    form->Show();
    uitest::processMessages();
    auto client = std::make_unique<TForm>(nullptr);
    client->SetCaption("Meters  ");
    client->SetClientSize(120, 80);
    client->Show();

    ASSERT_TRUE(client->ManualDock(pages));
    uitest::processMessages();
    ASSERT_EQ(pages->PageCount(), 3);
    TQorTabSheet* sheet = pages->Pages(2);
    EXPECT_EQ(sheet->Caption(), "Meters  ");
    EXPECT_EQ(pages->ActivePage(), sheet);
    EXPECT_EQ(client->Parent(), sheet);
    EXPECT_EQ(client->HostDockSite(), pages);
    EXPECT_EQ(client->BoundsRect(), sheet->ClientRect()) << "it fills its sheet";
    EXPECT_TRUE(client->Showing());

    // Its caption (to the first line break) and visibility follow the client.
    client->SetCaption("Readings  \r\nof today");
    EXPECT_EQ(sheet->Caption(), "Readings  ");
    client->Hide();
    EXPECT_FALSE(sheet->TabVisible());
    client->Show();
    EXPECT_TRUE(sheet->TabVisible());
    // Plain pages start no drag.
    uitest::postNativeMouseDown(pages, middle(pages->TabRect(nodes)));
    uitest::processMessages();
    EXPECT_FALSE(client->Dragging());
    uitest::postNativeMouseUp(pages, middle(pages->TabRect(nodes)));
    uitest::processMessages();

    // A double click on its tab floats it; its sheet goes.
    pages->SetActivePage(sheet);
    uitest::postNativeDoubleClickAt(pages, middle(pages->TabRect(sheet)));
    uitest::processMessages();
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(client->Parent(), nullptr);
    EXPECT_EQ(client->HostDockSite(), nullptr);
    EXPECT_EQ(pages->DockClientCount(), 0);
    EXPECT_NE(pages->ActivePage(), nullptr);
    EXPECT_TRUE(client->Showing());
}

TEST_F(PageControlTest, ADockDragOfAControlFloatsItAndDocksItBack) {
    addPage("Nodes  ");
    pages->SetBounds(0, 0, 330, 300);
    pages->SetDockSite(true);
    form->Show();
    uitest::processMessages();
    auto* panel = new TPanel(form.get());
    panel->SetBounds(0, 0, 60, 40);
    panel->SetCaption("Gauge");
    panel->SetDragKind(dkDock);
    ASSERT_TRUE(panel->ManualDock(pages));
    uitest::processMessages();
    ASSERT_EQ(pages->PageCount(), 2);
    TQorTabSheet* sheet = pages->Pages(1);
    EXPECT_EQ(sheet->Caption(), "") << "only a form gives its caption";

    // Dragged from its tab and dropped off the page control: it floats in a window of its own.
    const TPoint tab = middle(pages->TabRect(sheet));
    uitest::postNativeMouseDown(pages, tab);
    uitest::postNativeMouseMove(pages, {tab.X + 20, tab.Y}, true);
    uitest::postNativeMouseMove(pages, {100, 360}, true);
    uitest::postNativeMouseUp(pages, {100, 360});
    uitest::processMessages();
    EXPECT_EQ(pages->PageCount(), 1);
    auto* floating = dynamic_cast<TCustomForm*>(panel->Parent());
    ASSERT_NE(floating, nullptr);
    EXPECT_EQ(panel->HostDockSite(), floating);
    EXPECT_TRUE(floating->Showing());
    EXPECT_EQ(floating->BoundsRect().TopLeft(), pages->ClientToScreen({100, 360}));

    // Docked again, it leaves the floating window, which goes.
    ASSERT_TRUE(panel->ManualDock(pages));
    uitest::processMessages();
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(panel->Parent(), pages->Pages(1));
    EXPECT_EQ(pages->DockClientCount(), 1);
}
