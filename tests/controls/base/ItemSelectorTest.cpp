// The item selector: its layout of cells in columns, hot tracking and selection through the
// mouse, the key steps, the lookup, the painting of hot and selected items and scrolling.
#include "controls/base/DropDownDrawing.h"
#include "controls/base/QorItemSelector.h"
#include "platform/testing/UiTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace uitest;

namespace {

class ItemSelectorTest : public ::testing::Test {
protected:
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TQorCustomItemSelector* selector = nullptr;
    int selects = 0;

    void SetUp() override {
        form->SetBorderStyle(bsNone);
        form->SetBounds(100, 100, 300, 300);
        selector = new TQorCustomItemSelector(form.get());
        selector->SetParent(form.get());
        selector->SetBounds(10, 10, 200, 200);
        selector->OnItemSelect = [this](TObject* sender) {
            EXPECT_EQ(sender, selector);
            ++selects;
        };
        form->Show();
        processMessages();
    }
    void TearDown() override { form.reset(); }

    TCustomItemSelector* panel() const { return selector->SelectorPanel(); }
    void add(const std::vector<std::string>& captions) {
        for (const std::string& c : captions) selector->Items()->Add()->SetCaption(c);
    }
    TPoint middle(int index) const {
        const TRect r = selector->Items()->Items(index)->Rect();
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
};

} // namespace

TEST_F(ItemSelectorTest, CellsTouchInRowsOfColumns) {
    EXPECT_EQ(selector->GetPanelSize(), TSize(100, 50)) << "no items";
    EXPECT_EQ(selector->GetVisibleItemCount(), 0);
    selector->OnItemSize = [](TObject*, TSize& size) { size = TSize(20, 24); };
    selector->SetColumns(2);
    selector->SetColumns(0); // refused
    EXPECT_EQ(selector->Columns(), 2);
    add({"a", "b", "c"});
    EXPECT_EQ(selector->Items()->Items(0)->Rect(), Bounds(2, 2, 20, 24));
    EXPECT_EQ(selector->Items()->Items(1)->Rect(), Bounds(22, 2, 20, 24));
    EXPECT_EQ(selector->Items()->Items(2)->Rect(), Bounds(2, 26, 20, 24));
    EXPECT_EQ(selector->GetPanelSize(), TSize(44, 52));
    EXPECT_EQ(panel()->ItemAtPos(21, 10), 0) << "the right edge is outside";
    EXPECT_EQ(panel()->ItemAtPos(22, 10), 1);
    EXPECT_EQ(panel()->ItemAtPos(30, 30), -1);
    EXPECT_EQ(selector->GetVisibleItemCount(), 200 / 24 * 2);
}

TEST_F(ItemSelectorTest, ItemSizeFollowsContentCaptionAndLayout) {
    selector->SetSelectorType(stColor);
    add({"Red", "A longer caption"});
    TCanvas* c = panel()->Canvas();
    c->Font()->Assign(selector->ItemAppearance()->Font());
    const int cw = c->TextWidth("A longer caption") + 4;
    const TSize right = panel()->GetItemSize();
    EXPECT_EQ(right.cx, 2 * 4 + 14 + 4 + cw);
    selector->SetItemLayout(ilCaptionBottom);
    const TSize bottom = panel()->GetItemSize();
    EXPECT_EQ(bottom.cx, cw + 2 * 4);
    const int ch =
        DrawMarkupText(c, "A longer caption", TRect(0, 0, 1000, 500), nullptr, false, nullptr).cy;
    EXPECT_EQ(right.cy, std::max(ch, 14) + 2 * 4);
    EXPECT_EQ(bottom.cy, 4 + 14 + 4 + ch + 4) << "box, gap and caption stacked";
}

TEST_F(ItemSelectorTest, PointerMakesItemsHotAndSelectsThem) {
    add({"One", "Two", "Three"});
    selector->Items()->Items(1)->SetEnabled(false);
    selector->Items()->Items(2)->SetHint("third");
    processMessages();
    postNativeMouseMove(panel(), middle(0));
    processMessages();
    EXPECT_EQ(selector->ItemHot(), 0);
    postNativeMouseMove(panel(), middle(1));
    processMessages();
    EXPECT_EQ(selector->ItemHot(), -1) << "a disabled item is never hot";
    postNativeMouseMove(panel(), middle(2));
    processMessages();
    EXPECT_EQ(selector->ItemHot(), 2);
    EXPECT_EQ(panel()->Hint(), "third");
    postNativeLeave(panel());
    processMessages();
    EXPECT_EQ(selector->ItemHot(), -1);

    postNativeClickAt(panel(), middle(2));
    processMessages();
    EXPECT_EQ(selector->ItemIndex(), 2);
    EXPECT_EQ(selects, 1);
    postNativeClickAt(panel(), middle(1));
    processMessages();
    EXPECT_EQ(selector->ItemIndex(), 2) << "a disabled item is not selected";
    selector->SetItemIndex(2);
    EXPECT_EQ(selects, 2) << "the same item again fires again";
}

TEST_F(ItemSelectorTest, StepsStopAtTheEndsAndAtDisabledItems) {
    add({"a", "b", "c", "d"});
    selector->Items()->Items(3)->SetEnabled(false);
    selector->SelectNext();
    EXPECT_EQ(selector->ItemIndex(), 0) << "none selected: the first";
    selector->SelectPrevious();
    EXPECT_EQ(selector->ItemIndex(), 0);
    selector->SelectNext();
    selector->SelectNext();
    EXPECT_EQ(selector->ItemIndex(), 2);
    selector->SelectNext();
    EXPECT_EQ(selector->ItemIndex(), 2) << "the disabled item is not skipped over";
    selector->SelectLast();
    EXPECT_EQ(selector->ItemIndex(), 2);
    selector->SelectFirst();
    EXPECT_EQ(selector->ItemIndex(), 0);

    selector->HotNext();
    EXPECT_EQ(selector->ItemHot(), 0);
    selector->HotNext();
    selector->HotNext();
    selector->HotNext();
    EXPECT_EQ(selector->ItemHot(), 2);
    selector->HotPrevious();
    EXPECT_EQ(selector->ItemHot(), 1);
    selector->UpdateSelectorPanel();
    EXPECT_EQ(selector->ItemHot(), -1) << "a relayout clears the hot item";
}

TEST_F(ItemSelectorTest, LookupMatchesThePlainUpperCasedCaption) {
    add({"Blue", "  <b>Gr</b>ey", "Green", "<i>ärger</i>"});
    EXPECT_FALSE(selector->LookupItem(""));
    EXPECT_TRUE(selector->LookupItem("GR"));
    EXPECT_EQ(selector->ItemIndex(), 1);
    EXPECT_TRUE(selector->LookupItem("GRE"));
    EXPECT_EQ(selector->ItemIndex(), 1);
    EXPECT_TRUE(selector->LookupItem("GREEN"));
    EXPECT_EQ(selector->ItemIndex(), 2);
    EXPECT_TRUE(selector->LookupItem("ÄR"));
    EXPECT_EQ(selector->ItemIndex(), 3);
    EXPECT_FALSE(selector->LookupItem("gr")) << "the text is compared as given";
    EXPECT_FALSE(selector->LookupItem("X"));
}

TEST_F(ItemSelectorTest, HotAndSelectedItemsPaintTheirLook) {
    selector->SetColor(TColor(0x00FF00));
    selector->OnItemSize = [](TObject*, TSize& size) { size = TSize(40, 30); };
    selector->SetColumns(3);
    add({"", "", ""});
    TItemAppearance* look = selector->ItemAppearance();
    processMessages();
    EXPECT_EQ(pixel(panel(), 20, 15), TColor(0x00FF00)) << "a plain item shows the panel colour";

    // The 2007 preset: a rounded frame with the panel's colour in the outer corner.
    selector->HotNext();
    processMessages();
    EXPECT_EQ(pixel(panel(), 2, 2), TColor(0x00FF00));
    EXPECT_EQ(pixel(panel(), 10, 2), look->BorderColor());
    EXPECT_EQ(pixel(panel(), 10, 3), look->BorderColorTop());
    EXPECT_EQ(pixel(panel(), 10, 4), look->ColorHot());

    // Without a top border colour: a gradient framed in the border colour.
    look->SetColorStyle(scCustom);
    look->SetBorderColorTop(clNone);
    look->SetColorSelected(TColor(0x0000FF));
    look->SetColorSelectedTo(clNone);
    look->SetBorderColor(TColor(0xFF0000));
    selector->SetItemIndex(1);
    processMessages();
    EXPECT_EQ(pixel(panel(), 42, 15), TColor(0xFF0000));
    EXPECT_EQ(pixel(panel(), 60, 15), TColor(0x0000FF));
    // A hot border colour replaces the frame.
    look->SetBorderColorHot(TColor(0x808000));
    look->SetColorHot(TColor(0x00FFFF));
    look->SetColorHotTo(clNone);
    selector->HotNext();
    selector->HotNext();
    processMessages();
    EXPECT_EQ(selector->ItemHot(), 2);
    EXPECT_EQ(pixel(panel(), 82, 15), TColor(0x808000));
    EXPECT_EQ(pixel(panel(), 100, 15), TColor(0x00FFFF));
}

TEST_F(ItemSelectorTest, CaptionBelowTheColourBoxLeavesTheGap) {
    selector->SetSelectorType(stColor);
    selector->SetItemLayout(ilCaptionBottom);
    selector->SetColor(clWhite);
    add({"W"});
    selector->Items()->Items(0)->SetColor(TColor(0x0000FF));
    selector->UpdateSelectorPanel();
    processMessages();
    const TRect r = selector->Items()->Items(0)->Rect();
    int boxBottom = -1, textTop = -1;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) {
            const TColor p = pixel(panel(), x, y);
            if (p == TColor(0x0000FF) || (p == clBlack && textTop < 0 && boxBottom < 0))
                boxBottom = y; // the box's black frame and red fill
            else if (p != clWhite && boxBottom >= 0 && y > boxBottom + 1 && textTop < 0)
                textTop = y;
        }
    EXPECT_EQ(boxBottom, r.Top + 4 + 14 - 2) << "the fill ends inside the box's frame";
    ASSERT_GT(textTop, 0);
    EXPECT_GE(textTop, r.Top + 4 + 14 + 4);
}

TEST_F(ItemSelectorTest, LooksAssignedTakeTheSourceStylesPreset) {
    TItemAppearance source(nullptr), target(nullptr);
    source.SetColorStyle(scWindows7);
    source.SetColorHot(TColor(0x123456));
    source.SetColorHotText(clRed);
    target.Assign(&source);
    EXPECT_EQ(target.ColorStyle(), scWindows7);
    EXPECT_EQ(target.ColorHot(), TColor(0xFCEBDC)) << "the preset wins over the copied colour";
    EXPECT_EQ(target.ColorSelected(), TColor(0xF9D8B9));
    EXPECT_EQ(target.ColorHotText(), clRed);
    source.SetColorStyle(scCustom);
    target.Assign(&source);
    EXPECT_EQ(target.ColorHot(), TColor(0x123456)) << "custom: the source's own colours";
    TItemAppearance fresh(nullptr);
    EXPECT_EQ(fresh.ColorStyle(), scOffice2007);
    EXPECT_EQ(fresh.ColorSelectedTo(), TColor(0x04B9F4));
    EXPECT_EQ(fresh.Font()->Name(), "Tahoma");
}

TEST_F(ItemSelectorTest, PanelNeedsASelectorAsOwner) {
    try {
        TCustomItemSelector stray(form.get());
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()), "Invalid parent");
    }
}

TEST_F(ItemSelectorTest, StepsScrollTheItemIntoView) {
    selector->OnItemSize = [](TObject*, TSize& size) { size = TSize(60, 30); };
    for (int i = 0; i < 20; ++i) add({"item " + std::to_string(i)});
    processMessages();
    ASSERT_TRUE(selector->VertScrollBar()->IsScrollBarVisible());
    selector->SelectLast();
    processMessages();
    const int bottom = selector->Items()->Items(19)->Rect().Bottom + panel()->Top();
    EXPECT_LE(bottom, selector->ClientHeight());
    EXPECT_GT(bottom, selector->ClientHeight() - 30);
    selector->SelectFirst();
    EXPECT_EQ(selector->Items()->Items(0)->Rect().Top + panel()->Top(), 0)
        << "the cell's top at the client's top";
}
