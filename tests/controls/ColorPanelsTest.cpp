// The colour panels: the discrete palette's layout, choice and keys, the cube's cells, hit test
// and clicks, the spectrum's picture and picking.
#include "controls/ColorSelectorPanels.h"
#include "platform/testing/NativeMouse.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/core/Forms.h"

#include <gtest/gtest.h>

#include <memory>

using namespace uitest;

namespace {

class ColorPanelsTest : public ::testing::Test {
protected:
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    void SetUp() override {
        form->SetBorderStyle(bsNone);
        form->SetBounds(100, 100, 300, 300);
        form->Show();
        processMessages();
    }
    void TearDown() override { form.reset(); }
    template <class T> T* make() {
        auto* c = new T(form.get());
        c->SetParent(form.get());
        return c;
    }
};

} // namespace

TEST_F(ColorPanelsTest, PaletteLaysOutSixRowsWithAGapAfterTheFirst) {
    auto* p = make<TCustomColorSelector>();
    p->UpdateLayout();
    EXPECT_EQ(p->Width(), 100);
    EXPECT_EQ(p->Height(), 50) << "no boxes";
    p->FillPalette();
    p->UpdateLayout();
    ASSERT_EQ(p->Items()->Count(), 60);
    EXPECT_EQ(p->Width(), 165);
    EXPECT_EQ(p->Height(), 84);
    const int tops[] = {4, 20, 32, 44, 56, 68};
    for (int row = 0; row < 6; ++row) EXPECT_EQ(p->Items()->Items(row * 10)->Rect().Top, tops[row]);
    EXPECT_EQ(p->Items()->Items(9)->Rect().Left, 4 + 9 * 16);
    EXPECT_EQ(p->Items()->Items(15)->ColorBoxPos(), ipTop);
    EXPECT_EQ(p->Items()->Items(59)->ColorBoxPos(), ipBottom);
}

TEST_F(ColorPanelsTest, PaletteChoosesByColourKeysAndClick) {
    auto* p = make<TCustomColorSelector>();
    p->FillPalette();
    p->UpdateLayout();
    int selects = 0;
    p->OnItemSelect = [&](TObject*) { ++selects; };
    p->SelectPrevious();
    EXPECT_EQ(p->ItemIndex(), -1) << "nothing from none";
    p->SetSelectedColor(TColor(0x7F7F7F));
    EXPECT_EQ(p->ItemIndex(), 11) << "the first box of that colour";
    p->SetSelectedColor(TColor(0x123456));
    EXPECT_EQ(p->ItemIndex(), -1);
    struct Step {
        WORD key;
        bool open;
        int index;
    };
    const Step steps[] = {{VK_DOWN, true, 0},  {VK_DOWN, true, 10}, {VK_RIGHT, true, 11},
                          {VK_UP, true, 1},    {VK_UP, true, 1},    {VK_DOWN, false, 2},
                          {VK_NEXT, true, 59}, {VK_HOME, true, 0}};
    for (const Step& s : steps) {
        p->HandleKey(s.key, false, s.open);
        EXPECT_EQ(p->ItemIndex(), s.index) << s.key;
    }
    const TRect r = p->Items()->Items(23)->Rect();
    postNativeClickAt(p, {r.Left + 3, r.Top + 3});
    processMessages();
    EXPECT_EQ(p->ItemIndex(), 23);
    EXPECT_EQ(p->SelectedColor(), TColor(0xE2B38D));
    EXPECT_EQ(pixel(p, r.Left + 5, r.Top + 5), TColor(0xE2B38D));
    EXPECT_GT(selects, 0);
}

TEST_F(ColorPanelsTest, CubeCellsHitAndChoose) {
    auto* cube = make<TQorColorCubePanel>();
    cube->Reset();
    EXPECT_EQ(cube->Width(), 182);
    EXPECT_EQ(cube->Height(), 160);
    EXPECT_EQ(cube->Cells(64).Color, clWhite);
    EXPECT_EQ(cube->Cells(64).X, 91);
    EXPECT_EQ(cube->Cells(64).Y, 80);
    EXPECT_EQ(cube->Cells(127).Color, TColor(0x2100A5));
    EXPECT_EQ(cube->CellAt(97, 80), 64) << "6 pixels right still hits";
    EXPECT_EQ(cube->CellAt(1, 1), -1);
    cube->SetSelectedColor(TColor(0x0000FF));
    EXPECT_EQ(cube->SelectedIndex(), 118);
    cube->SetSelectedColor(TColor(0x123456));
    EXPECT_EQ(cube->SelectedIndex(), -1);

    int selects = 0;
    cube->OnSelect = [&](TObject*) { ++selects; };
    const auto& first = cube->Cells(1);
    postNativeMouseMove(cube, {first.X, first.Y});
    processMessages();
    EXPECT_EQ(cube->HotIndex(), 1);
    EXPECT_EQ(cube->Hint(), "Red: 0,  Green: 51,  Blue: 102");
    postNativeClickAt(cube, {first.X, first.Y});
    processMessages();
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(cube->SelectedColor(), TColor(0x663300));
    EXPECT_EQ(pixel(cube, first.X, first.Y), TColor(0x663300)) << "inside the outlines";
    EXPECT_EQ(pixel(cube, first.X - 5, first.Y), clBlack) << "the chosen outline";
}

TEST_F(ColorPanelsTest, SpectrumShowsHuesAndTakesThePixelClicked) {
    auto spectrum = MakeSpectrumBitmap();
    auto at = [&](int x, int y) { return ColorToRGB(spectrum->Canvas()->Pixels(x, y)); };
    EXPECT_GT(GetRValue(at(0, 64)), 245) << "red at the left edge";
    EXPECT_LT(GetGValue(at(0, 64)), 10);
    EXPECT_GT(GetGValue(at(42, 64)), 240) << "green a third of the way";
    EXPECT_GT(GetBValue(at(85, 64)), 240) << "blue two thirds of the way";
    EXPECT_GT(GetGValue(at(85, 0)), 240) << "almost white at the top";
    EXPECT_LT(GetBValue(at(85, 127)), 10) << "almost black at the bottom";

    auto* p = make<TQorColorSpectrumPanel>();
    p->LayoutPanel();
    EXPECT_EQ(p->Width(), 150);
    EXPECT_EQ(p->Height(), 174);
    EXPECT_EQ(p->SpectrumImage()->Left(), 11);
    processMessages();
    int selects = 0;
    p->OnSelect = [&](TObject*) { ++selects; };
    postNativeMouseMove(p, {11 + 42, 10 + 64});
    processMessages();
    EXPECT_EQ(p->HotColor(), spectrum->Canvas()->Pixels(42, 64));
    postNativeClickAt(p, {11 + 42, 10 + 64});
    processMessages();
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(p->SelectedColor(), spectrum->Canvas()->Pixels(42, 64));
    EXPECT_EQ(pixel(p, 30, 156), p->SelectedColor()) << "the chosen preview";
}

TEST_F(ColorPanelsTest, SpectrumPictureShowsTheEyedropper) {
    auto* p = make<TQorColorSpectrumPanel>();
    p->LayoutPanel();
    processMessages();
    EXPECT_EQ(p->SpectrumImage()->Cursor(), crEyedropper);
    const TCursorImage* cursor = Screen->CursorImage(crEyedropper);
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->HotSpot.X, 1);
    EXPECT_EQ(cursor->HotSpot.Y, 30);
    const TBitmap& image = *cursor->Image;
    EXPECT_EQ(image.Width(), 32);
    EXPECT_EQ(image.PixelColor(1, 30), clBlack) << "the tip is the hot spot";
    EXPECT_EQ(image.PixelColor(31, 31), image.TransparentColor());
    EXPECT_EQ(image.PixelColor(24, 7), clBlack) << "the bulb";
    postNativeMouseMove(p, {11 + 60, 10 + 60});
    processMessages();
    EXPECT_EQ(Screen->CurrentCursor(), crEyedropper) << "what the pointer shows";
}
