#include "shell/frame/PbButton.h"

#include "platform/gfx/ImageList.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/Menus.h"
#include "platform/ui/core/Actions.h"
#include "shell/frame/DialogFrame.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

using namespace uitest;

namespace {

class PbButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        Set_Form_Look(form.get());
        form->SetBounds(0, 0, 400, 200);
        edit = new TEdit(form.get());
        edit->SetParent(form.get());
        edit->SetBounds(10, 150, 100, 21);
    }
    void TearDown() override {
        if (form && form->Visible()) form->Hide();
        form.reset();
    }

    // A button of the forms' look, made by the forms' factory.
    TPbButton* add(const std::string& caption, int left = 10, int top = 10, int width = 110,
                   int height = 28) {
        TPbButton* b = Create_Push_Button(form.get(), form.get(), "B" + std::to_string(++made),
                                          left, top, width, height);
        b->SetCaption(caption);
        b->OnClick = [this, b](TObject* sender) {
            EXPECT_EQ(sender, b);
            clicked.push_back(b->Caption());
        };
        return b;
    }
    void show() {
        form->Show();
        processMessages();
    }

    std::unique_ptr<TForm> form;
    TEdit* edit = nullptr;
    std::vector<std::string> clicked;
    int made = 0;
};

// A glyph strip of square cells, each filled with its colour inside a one-pixel olive border
// (the bottom-left pixel, hence transparent).
std::unique_ptr<TBitmap> strip(std::initializer_list<TColor> cells, int size = 16) {
    auto g = std::make_unique<TBitmap>(size * int(cells.size()), size);
    g->SetPixelFormat(pf24bit);
    TCanvas* c = g->Canvas();
    c->Brush()->SetColor(clOlive);
    c->FillRect(Rect(0, 0, g->Width(), size));
    int x = 0;
    for (TColor color : cells) {
        c->Brush()->SetColor(color);
        c->FillRect(Rect(x + 1, 1, x + size - 1, size - 1));
        x += size;
    }
    return g;
}

// The darkest pixel (sum of channels) in r of the button's image.
int darkest(TPbButton* b, TRect r) {
    int best = 3 * 255;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) {
            TColor c = pixel(b, x, y);
            best = std::min(best, GetRValue(c) + GetGValue(c) + GetBValue(c));
        }
    return best;
}

int inkPixels(TPbButton* b, TRect r, TColor face) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (pixel(b, x, y) != face) ++n;
    return n;
}

} // namespace

TEST_F(PbButtonTest, MouseClickFiresOnlyWhenReleasedOverTheButton) {
    TPbButton* b = add("Go");
    show();
    click(b);
    EXPECT_EQ(clicked, (std::vector<std::string>{"Go"}));

    mouseDown(b, {5, 5});
    EXPECT_TRUE(b->Down());
    EXPECT_TRUE(b->Focused()) << "pressing takes the focus";
    mouseUp(b, {300, 5}); // the form's capture brings the release outside the button here
    processMessages();
    EXPECT_EQ(clicked.size(), 1u) << "released outside: no click";
    EXPECT_FALSE(b->Down());

    rightClick(b, {5, 5});
    EXPECT_EQ(clicked.size(), 1u) << "the right button does not click";
}

TEST_F(PbButtonTest, SpaceAndEnterClickTheFocusedButton) {
    TPbButton* b = add("Go");
    show();
    b->SetFocus();
    pressKey(VK_SPACE);
    pressKey(VK_RETURN);
    EXPECT_EQ(clicked, (std::vector<std::string>{"Go", "Go"}));

    keyDown(VK_SPACE);
    EXPECT_TRUE(b->Down()) << "the key shows the button pressed";
    keyUp(VK_SPACE);
    EXPECT_EQ(clicked.size(), 3u);
    EXPECT_FALSE(b->Down());

    keyUp(VK_RETURN);
    EXPECT_EQ(clicked.size(), 3u) << "a key released without being pressed here does not click";
}

TEST_F(PbButtonTest, DialogKeysClickTheDefaultAndCancelButtons) {
    TPbButton* ok = add("OK", 10);
    TPbButton* cancel = add("Cancel", 130);
    ok->SetDefault(true);
    cancel->SetCancel(true);
    show();
    edit->SetFocus();
    pressKey(VK_RETURN);
    pressKey(VK_ESCAPE);
    pressKey(VK_ESCAPE, {ssShift});
    EXPECT_EQ(clicked, (std::vector<std::string>{"OK", "Cancel"}));

    // With a button focused, Enter belongs to that button.
    cancel->SetFocus();
    pressKey(VK_RETURN);
    EXPECT_EQ(clicked.back(), "Cancel");
    EXPECT_EQ(clicked.size(), 3u);

    cancel->SetEnabled(false);
    edit->SetFocus();
    pressKey(VK_ESCAPE);
    EXPECT_EQ(clicked.size(), 3u) << "a disabled cancel button ignores Escape";
}

TEST_F(PbButtonTest, AcceleratorClicksWhenVisibleAndEnabled) {
    TPbButton* b = add("E&xit");
    add("Other", 130);
    show();
    edit->SetFocus();
    pressKey('X', {ssAlt});
    EXPECT_EQ(clicked, (std::vector<std::string>{"E&xit"}));

    b->SetEnabled(false);
    pressKey('X', {ssAlt});
    b->SetEnabled(true);
    b->SetVisible(false);
    pressKey('X', {ssAlt});
    EXPECT_EQ(clicked.size(), 1u);
}

TEST_F(PbButtonTest, DisabledOrHiddenButtonDoesNotClickFromCode) {
    TPbButton* b = add("Go");
    show();
    b->SetEnabled(false);
    b->Click();
    b->SetEnabled(true);
    b->SetVisible(false);
    b->Click();
    EXPECT_TRUE(clicked.empty());
    b->SetVisible(true);
    b->Click();
    EXPECT_EQ(clicked.size(), 1u);
}

TEST_F(PbButtonTest, ModalResultClosesTheModalForm) {
    TPbButton* ok = add("OK", 10);
    TPbButton* cancel = add("Cancel", 130);
    TPbButton* plain = add("Apply", 250);
    ok->SetModalResult(mrOk);
    cancel->SetModalResult(mrCancel);
    cancel->SetCancel(true);

    EXPECT_EQ(runModal(form.get(), [&](TCustomForm*) { click(ok); }), mrOk);
    whenModalIdle([&](TCustomForm* f) {
        click(plain);
        EXPECT_EQ(f->ModalResult(), mrNone) << "a button without modal result keeps the form";
        edit->SetFocus();
        pressKey(VK_ESCAPE);
    });
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_EQ(clicked, (std::vector<std::string>{"OK", "Apply", "Cancel"}));
}

TEST_F(PbButtonTest, ClickPopsUpTheMenuAtTheBottomLeftCorner) {
    TPbButton* b = add("More", 20, 30);
    auto* menu = new TPopupMenu(form.get());
    b->SetPopupMenu(menu);
    std::vector<TPoint> shown;
    TPopupMenuPresenter previous = PopupMenuPresenter();
    SetPopupMenuPresenter([&](TPopupMenu& m, TPoint at) -> TMenuItem* {
        EXPECT_EQ(&m, menu);
        shown.push_back(at);
        return nullptr;
    });
    show();
    // The drop-down mark at (W - 11, H div 2 - 1).
    EXPECT_EQ(pixel(b, b->Width() - 11, b->Height() / 2 - 1), clBlack);
    click(b);
    SetPopupMenuPresenter(previous);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], b->ClientToScreen(TPoint{0, b->Height()}));
    EXPECT_EQ(clicked.size(), 1u);
}

TEST_F(PbButtonTest, PaintsFaceHotDownAndDisabledLooks) {
    TPbButton* b = add("Go");
    TPbButton* other = add("Other", 130);
    show();
    const int W = b->Width(), H = b->Height();

    EXPECT_EQ(pixel(b, 2, 2), Form_Color);
    EXPECT_EQ(pixel(b, 0, 0), clGray) << "light edge top-left";
    EXPECT_EQ(pixel(b, W - 1, H - 1), TColor(0x808080)) << "shadow edge bottom-right";

    mouseMove(b, {2, 2});
    EXPECT_EQ(b->HotTrackStep(), 8);
    EXPECT_EQ(pixel(b, 2, 2), clYellow);

    mouseDown(b, {2, 2});
    EXPECT_EQ(pixel(b, 2, 2), Button_Down_Color);
    EXPECT_EQ(pixel(b, 1, 2), Button_Down_Color) << "bsEncarta does not shift when pressed";
    mouseUp(b, {2, 2});

    mouseMove(other, {2, 2});
    EXPECT_EQ(b->HotTrackStep(), 0);
    EXPECT_EQ(pixel(b, 2, 2), Form_Color);

    const TRect text = Rect(4, 4, W - 4, H - 4);
    EXPECT_LT(darkest(b, text), 100) << "enabled caption is black";
    b->SetEnabled(false);
    mouseMove(b, {2, 2});
    EXPECT_EQ(b->HotTrackStep(), 0) << "no hot tracking while disabled";
    EXPECT_EQ(pixel(b, 2, 2), Form_Color);
    EXPECT_GE(darkest(b, text), 0x70 * 3) << "disabled caption is grey";
    EXPECT_LE(darkest(b, text), 0x80 * 3);
}

TEST_F(PbButtonTest, PressedEncartaCaptionIsBoldAndFrameSwaps) {
    TPbButton* b = add("MMMM");
    show();
    const int W = b->Width(), H = b->Height();
    const TRect text = Rect(5, 5, W - 5, H - 5);
    int normal = inkPixels(b, text, Form_Color);
    mouseDown(b, {2, 2});
    int pressed = inkPixels(b, text, Button_Down_Color);
    EXPECT_GT(pressed, normal);
    EXPECT_EQ(pixel(b, 0, 0), TColor(0x808080)) << "shadow top-left while pressed";
    EXPECT_EQ(pixel(b, W - 1, H - 1), clGray) << "light bottom-right while pressed";
    mouseUp(b, {2, 2});
}

TEST_F(PbButtonTest, FocusRectangleFollowsTheFocus) {
    TPbButton* b = add("");
    show();
    edit->SetFocus();
    EXPECT_EQ(pixel(b, 4, 4), Form_Color);
    b->SetFocus();
    EXPECT_NE(pixel(b, 4, 4), Form_Color);
    edit->SetFocus();
    EXPECT_EQ(pixel(b, 4, 4), Form_Color);
}

TEST_F(PbButtonTest, LongCaptionIsCutCharacterByCharacterWithoutEllipsis) {
    const std::string caption = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    TPbButton* cut = add(caption, 10, 10, 60, 28);
    cut->SetAlignment(taLeftJustify);
    // The longest prefix that fits the 52 pixels between the margins.
    TCanvas measure(nullptr);
    measure.Font()->Assign(cut->Font());
    std::string fits = caption;
    while (measure.TextWidth(fits) > 52) fits.pop_back();
    ASSERT_GT(fits.size(), 1u);
    ASSERT_LT(fits.size(), caption.size());
    TPbButton* same = add(fits, 10, 50, 60, 28);
    same->SetAlignment(taLeftJustify);
    show();
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(pixel(cut, x, y), pixel(same, x, y)) << x << "," << y;
}

TEST_F(PbButtonTest, GlyphCellFollowsTheState) {
    // cells: 0 normal, 1 disabled, 2 pressed, 3 hot
    const TColor colours[] = {clRed, clBlue, clLime, clFuchsia};
    struct Case {
        int cells;
        const char* state;
        TColor expected;
    };
    const Case cases[] = {
        {1, "disabled", clRed}, {2, "disabled", clBlue}, {2, "down", clRed},  {3, "down", clLime},
        {3, "hot", clRed},      {4, "hot", clFuchsia},   {4, "down", clLime}, {4, "normal", clRed},
    };
    for (const Case& c : cases) {
        TPbButton* b = add("", 10, 10, 40, 40);
        b->SetAlignment(taLeftJustify);
        auto g = strip({colours[0], colours[1], colours[2], colours[3]});
        g->SetWidth(16 * c.cells);
        b->SetGlyph(g.get());
        EXPECT_EQ(b->NumGlyphs(), c.cells);
        show();
        std::string state = c.state;
        if (state == "disabled") b->SetEnabled(false);
        if (state == "hot") b->SetFocus();
        if (state == "down") mouseDown(b, {30, 30});
        // Glyph at (4, (40 - 16) / 2); its olive border is transparent.
        EXPECT_EQ(pixel(b, 4 + 8, 12 + 8), c.expected) << c.cells << " " << c.state;
        EXPECT_NE(pixel(b, 4 + 15, 12 + 15), clOlive) << c.cells << " " << c.state;
        if (state == "down") mouseUp(b, {30, 30});
        delete b;
    }
}

TEST_F(PbButtonTest, GlyphAndCaptionStandAsOneGroup) {
    TPbButton* b = add("", 10, 10, 110, 28);
    auto g = strip({clRed});
    b->SetGlyph(g.get());
    show();
    // Centred without caption: (110 - 16) / 2 - 4 / 2 = 45.
    EXPECT_EQ(pixel(b, 45 + 1, 6 + 1), clRed);
    EXPECT_NE(pixel(b, 44, 6 + 1), clRed);
    b->SetLayout(blGlyphRight);
    b->SetAlignment(taRightJustify);
    // Right: 110 - 4 - 16 = 90.
    EXPECT_EQ(pixel(b, 90 + 1, 6 + 1), clRed);
    EXPECT_EQ(pixel(b, 90 + 14, 6 + 14), clRed);
}

TEST_F(PbButtonTest, PresetsSetColoursAndReadBackCustom) {
    TPbButton* b = add("x");
    b->SetColorStyle(lcsGold);
    EXPECT_EQ(b->ColorStyle(), lcsCustom);
    EXPECT_EQ(b->Color(), TColor(0x00C0C0));
    EXPECT_EQ(b->LightColor(), TColor(0x00FFFF));
    EXPECT_EQ(b->ShadowColor(), TColor(0x008080));
    EXPECT_EQ(b->HotTrackColor(), TColor(0x00DFDF));
    EXPECT_EQ(b->Style(), bsModern);
    EXPECT_TRUE(b->TransparentStyle());
    b->SetColorStyle(lcsQuicken);
    EXPECT_EQ(b->Style(), bsQuicken);
    EXPECT_EQ(b->Font()->Color(), clWhite);
    b->SetColorStyle(lcsUltraFlatXP);
    EXPECT_TRUE(b->Flat());
    EXPECT_EQ(b->Style(), bsNormal);
    EXPECT_EQ(b->ColorWhenDown(), TColor(0xB59285));

    b->SetKind(bkCancel);
    EXPECT_EQ(b->Kind(), bkCancel);
    EXPECT_EQ(b->ModalResult(), mrCancel);
    EXPECT_EQ(b->Caption(), "Abbrechen");
    EXPECT_EQ(b->NumGlyphs(), 2);
    b->SetModalResult(mrOk);
    EXPECT_EQ(b->Kind(), bkCustom);
}

TEST_F(PbButtonTest, PresetStylesPaintTheirShapes) {
    TPbButton* b = add("", 10, 10, 60, 40);
    b->SetColorStyle(lcsChrome); // bsModern: light at the top fading to the face
    show();
    // Bands shorter than a pixel overlap: the last one on a row wins (band 3 at y 2 of the 8
    // rows from white to the face, band 1 at y 10 of the 29 rows back to white).
    EXPECT_EQ(pixel(b, 30, 2), TColor(0xF9F9F9));
    EXPECT_EQ(pixel(b, 30, 10), TColor(0xC2C2C2));
    EXPECT_EQ(pixel(b, 0, 0), Form_Color) << "the parent shows in the rounded corner";
    b->SetStyle(bsShape);
    EXPECT_EQ(pixel(b, 30, 10), Form_Color) << "bsShape paints no face";
}

TEST(PbPainting, BlendAndGradient) {
    EXPECT_EQ(Pb_Blend_Color(clBlack, clWhite, 0), clBlack);
    EXPECT_EQ(Pb_Blend_Color(clBlack, clWhite, 8), clWhite);
    EXPECT_EQ(Pb_Blend_Color(clBlack, clWhite, 4), TColor(0x808080)) << "127.5 rounds to even";
    EXPECT_EQ(Pb_Blend_Color(RGB(0, 10, 200), RGB(80, 10, 0), 2), RGB(20, 10, 150));

    TBitmap bmp(4, 62);
    Pb_Gradient_Fill(bmp.Canvas(), clBlack, RGB(62, 0, 0), Rect(0, 0, 4, 62));
    EXPECT_EQ(bmp.PixelColor(0, 0), clBlack);
    EXPECT_EQ(bmp.PixelColor(3, 2), RGB(2, 0, 0)) << "band 1 starts at 62 / 31";
    EXPECT_EQ(bmp.PixelColor(0, 61), RGB(60, 0, 0)) << "band 31 starts at the bottom";
}

TEST_F(PbButtonTest, FadeStepsDownAndSuspendsTheTicker) {
    TPbButton* b = add("Go");
    TPbButton* other = add("Other", 130);
    b->SetSlowDecease(true);
    show();
    mouseMove(b, {2, 2});
    mouseMove(other, {2, 2});
    ASSERT_NE(b->Ticker(), nullptr);
    EXPECT_TRUE(b->Ticker()->Ticking());
    EXPECT_EQ(b->HotTrackStep(), 8);
    for (int step = 7; step >= 0; --step) {
        b->FadeTick();
        EXPECT_EQ(b->HotTrackStep(), step);
    }
    EXPECT_FALSE(b->Ticker()->Ticking());
    EXPECT_EQ(pixel(b, 2, 2), Form_Color);
    b->FadeTick();
    EXPECT_EQ(b->HotTrackStep(), 0);

    mouseMove(b, {2, 2});
    mouseMove(other, {2, 2});
    for (int i = 0; i < 4; ++i) b->FadeTick();
    EXPECT_EQ(pixel(b, 2, 2), Pb_Blend_Color(Form_Color, clYellow, 4));

    b->SetSlowDecease(false);
    EXPECT_EQ(b->Ticker(), nullptr);
    EXPECT_EQ(b->HotTrackStep(), 0);
}

TEST_F(PbButtonTest, TickerFadesTheHotColourAsTheClockMoves) {
    TPbButton* b = add("Go");
    TPbButton* other = add("Other", 130);
    b->SetSlowDecease(true);
    show();
    mouseMove(b, {2, 2});
    mouseMove(other, {2, 2});
    std::vector<int> seen{b->HotTrackStep()};
    // The ticker thread hands its ticks over as the application clock passes 30 ms steps.
    for (int turn = 0; turn < 1000000 && b->HotTrackStep() > 0; ++turn) {
        testClock().Advance(30);
        std::this_thread::yield();
        processMessages();
        if (b->HotTrackStep() != seen.back()) seen.push_back(b->HotTrackStep());
    }
    EXPECT_EQ(seen, (std::vector<int>{8, 7, 6, 5, 4, 3, 2, 1, 0}));
    EXPECT_FALSE(b->Ticker()->Ticking());
    EXPECT_EQ(pixel(b, 2, 2), Form_Color);
}

TEST_F(PbButtonTest, DestroyingButtonsWithRunningTickersReturns) {
    TPbButton* other = add("Other", 130);
    show();
    for (int i = 0; i < 20; ++i) {
        TPbButton* b = add("Go");
        b->SetSlowDecease(true);
        mouseMove(b, {2, 2});
        mouseMove(other, {2, 2});
        ASSERT_TRUE(b->Ticker()->Ticking());
        testClock().Advance(30 * (i % 3));
        processMessages();
        delete b;
        processMessages();
    }
    // Buttons that never faded end their suspended ticker with the form.
    for (int i = 0; i < 20; ++i) add("Idle");
    form.reset();
    SUCCEED();
}

// A button linked to an action shows the action's caption, state and hint, follows its changes,
// runs it when clicked and takes its image as the glyph while it has none.
TEST_F(PbButtonTest, ALinkedActionGivesCaptionStateHintGlyphAndTheClick) {
    auto* images = new TImageList(form.get());
    images->SetSize(16, 16);
    auto green = strip({clLime});
    images->AddMasked(green.get(), clOlive);
    auto* list = new TActionList(form.get());
    list->SetImages(images);
    auto* action = new TAction(form.get());
    action->SetActionList(list);
    action->SetCaption("Update Device");
    action->SetHint("Writes the gateway");
    action->SetImageIndex(0);
    int runs = 0;
    action->OnExecute = [&](TObject*) { ++runs; };

    TPbButton* b = add("old");
    b->SetAction(action);
    EXPECT_EQ(b->Caption(), "Update Device");
    EXPECT_EQ(b->Hint(), "Writes the gateway");
    EXPECT_EQ(b->NumGlyphs(), 1);
    ASSERT_EQ(b->Glyph()->Width(), 16);
    EXPECT_EQ(b->Glyph()->Canvas()->Pixels(8, 8), clLime);
    EXPECT_EQ(b->Glyph()->Canvas()->Pixels(0, 15), TColor(0xFF00FF)) << "transparent around it";

    show();
    click(b);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(clicked, (std::vector<std::string>{"Update Device"})) << "OnClick first";

    action->SetEnabled(false);
    EXPECT_FALSE(b->Enabled());
    action->SetCaption("Busy");
    EXPECT_EQ(b->Caption(), "Busy");
    // A glyph the button has is kept.
    action->SetImageIndex(-1);
    action->SetImageIndex(0);
    EXPECT_EQ(b->NumGlyphs(), 1);

    delete action;
    EXPECT_EQ(b->Action(), nullptr) << "the link ends with the action";
}
