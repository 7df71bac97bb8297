// The popup's header and footer bars: their buttons, painting, clicks and the size grip.
#include "DropDownTestSupport.h"

#include "controls/base/DropDownDrawing.h"
#include "platform/base/SysUtils.h"
#include "platform/ui/core/Forms.h"

#include <string>
#include <vector>

using namespace uitest;

TEST(DbgList, RefusesIndexesOutsideTheList) {
    TDbgList list;
    TControl a(nullptr), b(nullptr);
    list.Add(&a);
    list.Add(&b);
    EXPECT_EQ(list.ItemsEx(1), &b);
    list.SetItemsEx(0, &b);
    EXPECT_EQ(list.ItemsEx(0), &b);
    for (int index : {-1, 2}) {
        try {
            list.ItemsEx(index);
            ADD_FAILURE() << index;
        } catch (const EListError& e) {
            EXPECT_EQ(std::string(e.what()), "Index out of bounds in list read access");
        }
        try {
            list.SetItemsEx(index, &a);
            ADD_FAILURE() << index;
        } catch (const EListError& e) {
            EXPECT_EQ(std::string(e.what()), "Index out of bounds in list write access");
        }
    }
    TDbgList copy;
    copy.Add(&a);
    copy.AssignList(list);
    EXPECT_EQ(copy.Count(), 2);
    EXPECT_EQ(copy.ItemsEx(1), &b);
}

namespace {

class BarsTest : public DropDownTest {
protected:
    std::vector<int> headerClicks, footerClicks;
    void SetUp() override {
        DropDownTest::SetUp();
        edit->OnDropDownHeaderButtonClick = [this](TObject*, int i) { headerClicks.push_back(i); };
        edit->OnDropDownFooterButtonClick = [this](TObject*, int i) { footerClicks.push_back(i); };
    }
    TQorHeader* header() { return edit->DropDownForm()->Header(); }
    TQorFooter* footer() { return edit->DropDownForm()->Footer(); }
    TQorButton* button(TQorPopupBar* bar, int i) {
        return static_cast<TQorButton*>(bar->ButtonList().ItemsEx(i));
    }
};

} // namespace

TEST_F(BarsTest, ButtonsLineUpFromTheAlignedEdgeTouching) {
    for (const char* caption : {"One", "Two"})
        edit->DropDownHeader()->Buttons()->Add()->SetCaption(caption);
    edit->ShowDropDown();
    TQorHeader* bar = header();
    ASSERT_EQ(bar->ButtonList().Count(), 2);
    TQorButton* one = button(bar, 0);
    TQorButton* two = button(bar, 1);
    EXPECT_EQ(one->Caption(), "One");
    EXPECT_EQ(one->Left() + one->Width(), bar->Width() - 2) << "the first at the right";
    EXPECT_EQ(two->Left() + two->Width(), one->Left()) << "the next to its left, touching";
    edit->HideDropDown(false);
    edit->DropDownHeader()->SetButtonAlignment(baLeft);
    edit->ShowDropDown();
    EXPECT_EQ(button(bar, 0)->Left(), 2);
    EXPECT_EQ(button(bar, 1)->Left(), 2 + button(bar, 0)->Width());
}

TEST_F(BarsTest, TallButtonIsCutToTheBarsButtonArea) {
    THeaderButton* item = edit->DropDownHeader()->Buttons()->Add();
    item->SetCaption("Tall");
    item->SetHeight(30);
    item->SetWidth(50);
    edit->ShowDropDown();
    TQorButton* b = button(header(), 0);
    EXPECT_EQ(b->Height(), 17) << "22-pixel header: 2 above, 3 below";
    EXPECT_EQ(b->Top(), 2);
    EXPECT_EQ(b->Width(), 50);
}

TEST_F(BarsTest, DrawingEventReplacesTheWholePainting) {
    edit->DropDownHeader()->SetCaption("Caption");
    edit->OnDrawHeader = [](TObject*, TCanvas* c, TRect r) {
        c->Brush()->SetColor(clLime);
        c->FillRect(r);
    };
    std::string asked;
    edit->OnGetFooterText = [&](TObject*, std::string& text) {
        asked = text;
        text = "From the event";
    };
    edit->DropDownFooter()->SetCaption("Footer");
    edit->ShowDropDown();
    auto image = render(header());
    int other = 0;
    for (int y = 0; y < image->Height(); ++y)
        for (int x = 0; x < image->Width(); ++x) other += image->PixelColor(x, y) != clLime;
    EXPECT_EQ(other, 0) << "no caption, no frame";
    render(footer());
    EXPECT_EQ(asked, "Footer");
}

TEST_F(BarsTest, CaptionEndsBeforeTheLastButton) {
    edit->DropDownHeader()->SetCaption(std::string(60, 'W'));
    edit->DropDownHeader()->SetColorTo(clNone);
    edit->DropDownHeader()->SetColor(clWhite);
    edit->DropDownHeader()->Font()->SetColor(clBlack);
    edit->DropDownHeader()->Buttons()->Add()->SetCaption("X");
    edit->ShowDropDown();
    TQorHeader* bar = header();
    const int limit = button(bar, 0)->Left() - 2;
    bar->Update();
    const TBitmap* image = bar->BackingImage();
    int textLeft = 0, textRight = 0;
    for (int x = 0; x < bar->Width(); ++x)
        for (int y = 3; y < 18; ++y)
            if (image->PixelColor(x, y) == clBlack) {
                if (x < limit) ++textLeft;
                if (x >= limit && x < button(bar, 0)->Left()) ++textRight;
            }
    EXPECT_GT(textLeft, 0);
    EXPECT_EQ(textRight, 0);
}

TEST_F(BarsTest, PopupBorderLeavesTheBarsOnlyTheirInnerLine) {
    for (THeaderAppearance* look :
         {edit->DropDownHeader(), static_cast<THeaderAppearance*>(edit->DropDownFooter())}) {
        look->SetColorTo(clNone);
        look->SetColor(clWhite);
        look->SetBorderColor(clBlack);
        look->SetBorderWidth(3);
    }
    edit->SetDropDownBorderColor(clBlack);
    for (int border : {1, 0}) {
        edit->SetDropDownBorderWidth(border);
        edit->ShowDropDown();
        header()->Update();
        footer()->Update();
        const TBitmap* h = header()->BackingImage();
        const TBitmap* f = footer()->BackingImage();
        // The line towards the content always; the outer ones only without a popup border.
        EXPECT_EQ(h->PixelColor(10, header()->Height() - 1), clBlack) << border;
        EXPECT_EQ(f->PixelColor(10, 0), clBlack) << border;
        EXPECT_EQ(h->PixelColor(1, 10) == clBlack, border == 0) << border;
        EXPECT_EQ(f->PixelColor(1, 10) == clBlack, border == 0) << border;
        // Inside the frame, the pale line in a fifth of the border colour.
        EXPECT_EQ(h->PixelColor(10, 0), RGB(204, 204, 204)) << border;
        edit->HideDropDown(false);
    }
}

TEST_F(BarsTest, ButtonClicksReachTheDropDownAndFooterResultsEndThePopup) {
    edit->DropDownHeader()->Buttons()->Add()->SetCaption("Head");
    auto* ok = edit->DropDownFooter()->Buttons()->Add();
    ok->SetCaption("OK");
    ok->SetModalResult(mrOk);
    auto* cancel = edit->DropDownFooter()->Buttons()->Add();
    cancel->SetCaption("Cancel");
    cancel->SetModalResult(mrCancel);
    edit->SetText("start");
    std::vector<bool> ups;
    edit->OnDropUp = [&](TObject*, bool cancelled) { ups.push_back(cancelled); };

    clickButton();
    postNativeClickAt(button(header(), 0), {3, 3});
    processMessages();
    EXPECT_EQ(headerClicks, std::vector<int>{0});
    EXPECT_TRUE(edit->DroppedDown());

    type("x");
    postNativeClickAt(button(footer(), 1), {3, 3});
    processMessages();
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->Text(), "start") << "cancel restores";
    EXPECT_EQ(footerClicks, std::vector<int>{1});

    // Enter on the focused OK button: accepted, and reported as a mouse click is.
    clickButton();
    type("y");
    const std::string typed = edit->Text();
    button(footer(), 0)->SetFocus();
    processMessages();
    key(VK_RETURN);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->Text(), typed);
    EXPECT_EQ(footerClicks, (std::vector<int>{1, 0}));
    EXPECT_EQ(ups, (std::vector<bool>{true, false}));
}

TEST_F(BarsTest, SizeGripOnlyWithASizeablePopup) {
    edit->DropDownFooter()->Buttons()->Add()->SetCaption("B");
    edit->ShowDropDown();
    TQorFooter* bar = footer();
    ASSERT_TRUE(bar->SizeGripShows());
    EXPECT_EQ(button(bar, 0)->Left() + button(bar, 0)->Width(), bar->Width() - 14);
    // The grip's pointer shows over the corner only.
    postNativeMouseMove(bar, {bar->Width() - 5, bar->Height() - 5});
    processMessages();
    EXPECT_EQ(Screen->Cursor(), crSizeNWSE);
    postNativeMouseMove(bar, {20, 5});
    processMessages();
    EXPECT_EQ(Screen->Cursor(), crDefault);
    edit->HideDropDown(false);

    edit->SetDropDownSizeable(false);
    edit->ShowDropDown();
    EXPECT_FALSE(bar->SizeGripShows());
    EXPECT_EQ(button(bar, 0)->Left() + button(bar, 0)->Width(), bar->Width() - 2);
    const TRect before = edit->DropDownForm()->BoundsRect();
    postNativeMouseDown(bar, {bar->Width() - 3, bar->Height() - 3});
    postNativeMouseMove(bar, {bar->Width() + 30, bar->Height() + 30}, true);
    postNativeMouseUp(bar, {bar->Width() + 30, bar->Height() + 30});
    processMessages();
    EXPECT_EQ(edit->DropDownForm()->BoundsRect(), before);
}

namespace {

// A windowless square in one colour.
class TSwatch : public TGraphicControl {
public:
    TSwatch(TComponent* AOwner, TColor Colour) : TGraphicControl(AOwner), colour(Colour) {}
    TColor colour;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(colour);
        Canvas()->FillRect(TRect{0, 0, Width(), Height()});
    }
};

} // namespace

TEST_F(BarsTest, HeaderPaintsItselfAndItsWindowlessChildrenIntoAnotherImage) {
    edit->DropDownHeader()->SetColor(clLime);
    edit->DropDownHeader()->SetColorTo(clNone);
    edit->DropDownHeader()->SetBorderColor(clNone);
    edit->ShowDropDown();
    TQorHeader* bar = header();
    auto* swatch = new TSwatch(form.get(), clRed);
    swatch->SetParent(bar);
    swatch->SetBounds(10, 4, 8, 6);
    auto* later = new TSwatch(form.get(), clBlue);
    later->SetParent(bar);
    later->SetBounds(30, 4, 8, 6);

    TBitmap target(bar->Width() + 20, bar->Height() + 20);
    target.Canvas()->Brush()->SetColor(clWhite);
    target.Canvas()->FillRect(TRect{0, 0, target.Width(), target.Height()});
    // The bar placed at (20, 20) of the image, as a parent painting it would place it.
    SetViewportOrgEx(target.Canvas(), 20, 20, nullptr);
    bar->Perform(WM_PAINT, WPARAM(target.Canvas()));
    SetViewportOrgEx(target.Canvas(), 0, 0, nullptr);
    EXPECT_EQ(target.Canvas()->Pixels(25, 25), clLime) << "the bar's background";
    EXPECT_EQ(target.Canvas()->Pixels(30, 24), clRed) << "the child at its place in the bar";
    EXPECT_EQ(target.Canvas()->Pixels(37, 29), clRed);
    EXPECT_EQ(target.Canvas()->Pixels(38, 30), clLime) << "clipped to the child";
    EXPECT_EQ(target.Canvas()->Pixels(50, 24), clBlue);
    EXPECT_EQ(target.Canvas()->Pixels(5, 5), clWhite) << "nothing outside the bar";

    // From a given child on: the earlier ones are left out.
    TBitmap second(bar->Width(), bar->Height());
    second.Canvas()->Brush()->SetColor(clWhite);
    second.Canvas()->FillRect(TRect{0, 0, second.Width(), second.Height()});
    TWinCtrl::PaintCtrls(bar, second.Canvas(), later);
    EXPECT_EQ(second.Canvas()->Pixels(10, 4), clWhite);
    EXPECT_EQ(second.Canvas()->Pixels(30, 4), clBlue);
}
