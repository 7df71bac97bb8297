// The colour picker drop-down: its colours and texts, the list popup chosen from with keys and
// the mouse and cancelled, the palette and cube popups, and the edit's colour box.
#include "controls/QorColorPickerDropDown.h"
#include "platform/testing/NativeMouse.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/core/Forms.h"

#include <gtest/gtest.h>

#include <memory>

using namespace uitest;

namespace {

class ColorPickerTest : public ::testing::Test {
protected:
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TQorColorPickerDropDown* edit = nullptr;
    int selects = 0;

    void SetUp() override {
        form->SetBorderStyle(bsNone);
        form->SetBounds(100, 100, 400, 400);
        edit = new TQorColorPickerDropDown(form.get());
        edit->SetParent(form.get());
        edit->SetBounds(20, 30, 200, 22);
        edit->OnSelect = [this](TObject*) { ++selects; };
        form->Show();
        edit->SetFocus();
        processMessages();
    }
    void TearDown() override { form.reset(); }
    void key(WORD vk, TShiftState shift = {}) {
        postNativeKey(vk, shift);
        processMessages();
    }
    // The middle of the edit's colour box.
    TColor box() { return render(edit)->PixelColor(1 + 4 + 7, 11); }
};

} // namespace

TEST_F(ColorPickerTest, DefaultColorsIndexAndTexts) {
    EXPECT_EQ(edit->Colors()->Count(), 0) << "none at run time";
    edit->AddDefaultColors();
    ASSERT_EQ(edit->Colors()->Count(), 16);
    EXPECT_EQ(edit->Colors()->Items(4)->Caption(), "Navy");
    EXPECT_EQ(edit->Colors()->Items(4)->Color(), TColor(0x800000));
    edit->SetItemIndex(9);
    EXPECT_EQ(edit->SelectedColor(), TColor(0x0000FF));
    EXPECT_EQ(edit->SelectedColorText(), "Red");
    EXPECT_EQ(selects, 1);
    edit->SetItemIndex(16);
    EXPECT_EQ(edit->ItemIndex(), 9) << "beyond the entries: ignored";
    EXPECT_EQ(box(), clRed);

    // A colour of no entry: the old caption does not stay.
    edit->SetSelectedColor(TColor(0x336600));
    EXPECT_EQ(edit->ItemIndex(), -1);
    struct Case {
        TColorValueText kind;
        TColor colour;
        const char* text;
    };
    const Case cases[] = {
        {cvtNone, 0x336600, ""},           {cvtHex, 0x0000FF, "0000FF"},
        {cvtHex, clBtnFace, "FF00000F"},   {cvtWebName, 0x00FF00, "lime"},
        {cvtWebName, 0x336600, "#006633"}, {cvtRGB, 0x336600, "Red:0,Green:102,Blue:51"},
        {cvtHTML, 0x663300, "#003366"},
    };
    edit->Colors()->Clear();
    for (const Case& c : cases) {
        edit->SetColorValueText(c.kind);
        edit->SetSelectedColor(c.colour);
        EXPECT_EQ(edit->SelectedColorText(), c.text) << c.text;
    }
    edit->SetSelectedColor(clNone);
    edit->SetColorValueText(cvtHTML);
    auto image = render(edit);
    EXPECT_NE(image->PixelColor(12, 11), clBlack) << "no box without a colour";
}

TEST_F(ColorPickerTest, ListPopupMovesWithKeysAndEscapeRestores) {
    edit->AddDefaultColors();
    edit->SetItemIndex(2);
    key(VK_DOWN, {ssAlt});
    ASSERT_TRUE(edit->DroppedDown());
    EXPECT_EQ(edit->DropDownForm()->Height(), 200);
    EXPECT_EQ(edit->ItemSelector()->Items()->Count(), 16);
    key(VK_DOWN);
    key(VK_DOWN);
    EXPECT_TRUE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemIndex(), 4);
    EXPECT_EQ(edit->SelectedColor(), TColor(0x800000));
    key(VK_ESCAPE);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->ItemIndex(), 2);
    EXPECT_EQ(edit->SelectedColor(), TColor(0x008000));

    // Type-ahead: B, L and U within half a second find Blue; later keys start anew.
    key(VK_DOWN, {ssAlt});
    key('B');
    EXPECT_EQ(edit->ItemIndex(), 0) << "Black";
    key('L');
    EXPECT_EQ(edit->ItemIndex(), 0) << "BL: still Black";
    key('U');
    EXPECT_EQ(edit->ItemIndex(), 12) << "Blue";
    EXPECT_TRUE(edit->DroppedDown());
    advanceClock(500);
    key('L');
    EXPECT_EQ(edit->ItemIndex(), 10) << "Lime";

    // A click chooses and closes.
    const TRect r = edit->ItemSelector()->Items()->Items(9)->Rect();
    postNativeClickAt(edit->ItemSelector()->SelectorPanel(), {r.Left + 3, r.Top + 3});
    processMessages();
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->SelectedColorText(), "Red");
    EXPECT_EQ(box(), clRed);
}

TEST_F(ColorPickerTest, CubeClickChoosesAColourOfNoEntry) {
    edit->AddDefaultColors();
    edit->SetItemIndex(9);
    edit->SetColorSelectionStyle(csColorCube);
    edit->SetColorValueText(cvtHTML);
    edit->ShowDropDown();
    processMessages();
    ASSERT_TRUE(edit->DroppedDown());
    TQorColorCubePanel* cube = edit->ColorCubePanel();
    EXPECT_EQ(edit->DropDownForm()->Width(), 182 + 2);
    EXPECT_EQ(edit->DropDownForm()->Height(), 160 + 2);
    postNativeClickAt(cube, {cube->Cells(1).X, cube->Cells(1).Y});
    processMessages();
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->SelectedColor(), TColor(0x663300));
    EXPECT_EQ(edit->ItemIndex(), -1);
    EXPECT_EQ(edit->SelectedColorText(), "#003366");
    EXPECT_EQ(box(), TColor(0x663300));
}

TEST_F(ColorPickerTest, PaletteChosenWithKeysAndCancelled) {
    edit->SetColorSelectionStyle(csDiscrete);
    edit->SetSelectedColor(TColor(0x000000));
    key(VK_DOWN, {ssAlt});
    ASSERT_TRUE(edit->DroppedDown());
    EXPECT_EQ(edit->ColorSelector()->ItemIndex(), 1);
    key(VK_DOWN);
    EXPECT_TRUE(edit->DroppedDown());
    EXPECT_EQ(edit->SelectedColor(), TColor(0x7F7F7F)) << "one row down";
    key(VK_ESCAPE);
    EXPECT_EQ(edit->SelectedColor(), TColor(0x000000));
    key(VK_DOWN, {ssAlt});
    key(VK_RIGHT);
    key(VK_RETURN);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->SelectedColor(), TColor(0xE1ECEE));
}
