// The owner-drawn page control: pages and tabs, switching, and its painting.
#include "mbus/QorPageControl.h"

#include "platform/testing/UiTest.h"
#include "platform/ui/Forms.h"

#include <gtest/gtest.h>

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
    int from = -2, to = -2;
    pages->OnCanChange = [&](TObject*, int f, int t, bool&) { from = f, to = t; };
    const TRect r = pages->TabRect(third);
    uitest::click(pages, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    EXPECT_EQ(from, 1);
    EXPECT_EQ(to, 2);
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
