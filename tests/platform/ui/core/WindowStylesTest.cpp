#include "platform/ui/core/Controls.h"

#include "UiCoreFixtures.h"

using namespace uitest;

namespace {
// A probe whose window is made with what the test adds to its creation parameters.
class TStyled : public TProbe {
public:
    using TProbe::TProbe;
    std::function<void(TCreateParams&)> adjust;

protected:
    void CreateParams(TCreateParams& Params) override {
        TProbe::CreateParams(Params);
        if (adjust) adjust(Params);
    }
};

DWORD styleOf(TWinControl* c) {
    return DWORD(GetWindowLong(c->Handle(), GWL_STYLE));
}
} // namespace

TEST_F(FormTest, WindowsAreMadeFromTheirCreationParameters) {
    auto* plain = add<TStyled>(10, 10, 20, 20);
    auto* off = add<TStyled>(40, 10, 20, 20);
    off->SetEnabled(false);
    off->SetTabStop(false);
    auto* moved = add<TStyled>(0, 0, 5, 5);
    HWND wndParent = nullptr;
    moved->adjust = [&](TCreateParams& p) {
        wndParent = p.WndParent;
        p.X = 70;
        p.Y = 15;
        p.Width = 12;
        p.Height = 8;
        p.ExStyle = WS_EX_CLIENTEDGE;
    };
    show();
    EXPECT_EQ(styleOf(plain), WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VISIBLE);
    EXPECT_EQ(styleOf(off), WS_CHILD | WS_CLIPSIBLINGS | WS_DISABLED | WS_VISIBLE);
    EXPECT_EQ(moved->BoundsRect(), TRect(70, 15, 82, 23));
    EXPECT_EQ(DWORD(GetWindowLong(moved->Handle(), GWL_EXSTYLE)), WS_EX_CLIENTEDGE);
    EXPECT_EQ(wndParent, form->Handle());

    plain->Hide();
    EXPECT_EQ(styleOf(plain) & WS_VISIBLE, 0u);
    off->SetEnabled(true);
    EXPECT_EQ(styleOf(off) & WS_DISABLED, 0u);
    EXPECT_TRUE(IsWindowEnabled(off->Handle()));
}

TEST_F(FormTest, ADisabledWindowTakesNoInput) {
    auto* off = add<TStyled>(10, 10, 30, 30);
    auto* shut = add<TStyled>(50, 10, 30, 30);
    shut->adjust = [](TCreateParams& p) { p.Style |= WS_DISABLED; };
    show();
    off->SetEnabled(false);
    EXPECT_TRUE(shut->Enabled()) << "only the window is disabled";
    EXPECT_FALSE(IsWindowEnabled(shut->Handle()));
    for (TProbe* c : {static_cast<TProbe*>(off), static_cast<TProbe*>(shut)}) {
        c->seen.clear();
        click(c, {5, 5});
        pressKey('A', {}, c);
        EXPECT_EQ(c->count(WM_LBUTTONDOWN) + c->count(WM_LBUTTONUP), 0);
        EXPECT_EQ(c->count(WM_KEYDOWN) + c->count(WM_CHAR) + c->count(WM_KEYUP), 0);
    }
    off->SetEnabled(true);
    click(off, {5, 5});
    pressKey('A', {}, off);
    EXPECT_EQ(off->count(WM_LBUTTONDOWN), 1);
    EXPECT_EQ(off->count(WM_CHAR), 1);
}

TEST_F(FormTest, AWindowRegionClipsTheWindowAndItsChildren) {
    form->SetColor(clSilver);
    auto* box = add<TProbe>(10, 10, 40, 40);
    box->SetColor(clNavy);
    auto* inner = add<TProbe>(20, 0, 20, 40, box);
    inner->SetColor(clRed);
    show();
    EXPECT_EQ(SetWindowRgn(box->Handle(), CreateRectRgn(0, 0, 30, 20), true), 1);
    auto image = render(form.get());
    EXPECT_EQ(image->PixelColor(15, 15), clNavy);
    EXPECT_EQ(image->PixelColor(35, 15), clRed);
    EXPECT_EQ(image->PixelColor(15, 35), clSilver) << "below the region";
    EXPECT_EQ(image->PixelColor(35, 35), clSilver) << "the child is clipped as well";
    EXPECT_EQ(image->PixelColor(45, 15), clSilver) << "right of the region";

    TRegion copy;
    EXPECT_EQ(GetWindowRgn(box->Handle(), &copy), SIMPLEREGION);
    EXPECT_EQ(copy, TRegion(TRect(0, 0, 30, 20)));

    SetWindowRgn(box->Handle(), nullptr, true);
    EXPECT_EQ(render(form.get())->PixelColor(15, 35), clNavy);
    EXPECT_EQ(GetWindowRgn(box->Handle(), &copy), RGN_ERROR);

    // The region belongs to the window: a new window has none.
    SetWindowRgn(box->Handle(), CreateRectRgn(0, 0, 5, 5), false);
    box->RecreateWnd();
    EXPECT_EQ(GetWindowRgn(box->Handle(), &copy), RGN_ERROR);
}

TEST_F(FormTest, APopupIsPlacedOnTheScreenAndDrawnAboveEverything) {
    form->SetColor(clSilver);
    auto* owner = add<TProbe>(10, 10, 20, 20);
    owner->SetColor(clNavy);
    auto* later = add<TProbe>(40, 10, 40, 40); // a later sibling of the owner
    later->SetColor(clBlue);
    show();
    TPoint origin = form->ClientOrigin();
    auto* popup = new TStyled(form.get());
    popup->adjust = [](TCreateParams& p) { p.Style = WS_POPUP; };
    popup->SetColor(clRed);
    popup->SetBounds(origin.X + 25, origin.Y + 15, 30, 10);
    popup->SetParent(owner);
    processMessages();

    ASSERT_TRUE(popup->IsPopupWindow());
    EXPECT_EQ(styleOf(popup), WS_POPUP | WS_VISIBLE);
    EXPECT_EQ(popup->ClientToScreen({0, 0}), (TPoint{origin.X + 25, origin.Y + 15}));
    EXPECT_EQ(owner->ControlAtPos({popup->Left() + 1, popup->Top() + 1}, true, true), nullptr)
        << "its bounds are not in the owner's coordinates";
    auto image = render(form.get());
    EXPECT_EQ(image->PixelColor(27, 17), clRed) << "over its owner";
    EXPECT_EQ(image->PixelColor(50, 20), clRed) << "past its owner, over a later sibling";
    EXPECT_EQ(image->PixelColor(50, 30), clBlue);
    EXPECT_EQ(image->PixelColor(15, 15), clNavy);
}
