// Window scroll bars and the non-client frame: the model's scroll information, the frame's
// pixels, and the native scroll bars driven by Qt's own mouse events.
#include "platform/qt/QtWindowFrame.h"
#include "platform/qt/QtWindowPeer.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/core/SysInfo.h"
#include "platform/ui/core/WindowFrame.h"

#include <QScrollBar>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A scrolled window as a program writes one: it answers the scroll codes by moving its position
// within 0 .. 1000 with a page of 100, and keeps what it was sent.
class TScrolled : public TCustomControl {
public:
    explicit TScrolled(TComponent* owner) : TCustomControl(owner) {}
    DWORD style = WS_VSCROLL | WS_HSCROLL;
    DWORD exStyle = WS_EX_CLIENTEDGE;
    std::vector<WORD> codes;
    std::vector<int> trackPositions;
    void setUp() {
        SCROLLINFO info;
        info.fMask = SIF_ALL;
        info.nMax = 1000;
        info.nPage = 100;
        SetScrollInfo(Handle(), SB_VERT, &info, true);
        SetScrollInfo(Handle(), SB_HORZ, &info, true);
    }

protected:
    void CreateParams(TCreateParams& Params) override {
        TCustomControl::CreateParams(Params);
        Params.Style |= style;
        Params.ExStyle |= exStyle;
    }
    void Paint() override {
        Canvas()->Brush()->SetColor(clWhite);
        Canvas()->FillRect(ClientRect());
    }
    void Dispatch(TMessage& m) override {
        if (m.Msg != WM_VSCROLL) return TCustomControl::Dispatch(m);
        const WORD code = m.WParamLo();
        codes.push_back(code);
        SCROLLINFO info;
        info.fMask = SIF_POS | SIF_TRACKPOS;
        GetScrollInfo(Handle(), SB_VERT, &info);
        int pos = info.nPos;
        if (code == SB_LINEDOWN) pos += 10;
        if (code == SB_LINEUP) pos -= 10;
        if (code == SB_PAGEDOWN) pos += 100;
        if (code == SB_PAGEUP) pos -= 100;
        if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) {
            trackPositions.push_back(info.nTrackPos);
            pos = info.nTrackPos;
        }
        SetScrollPos(Handle(), SB_VERT, pos, true);
    }
};

class WindowFrameTest : public ::testing::Test {
protected:
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TScrolled* window = nullptr;
    void make(DWORD style = WS_VSCROLL | WS_HSCROLL, DWORD exStyle = WS_EX_CLIENTEDGE) {
        form->SetBounds(0, 0, 300, 300);
        window = new TScrolled(form.get());
        window->style = style;
        window->exStyle = exStyle;
        window->SetParent(form.get());
        window->SetBounds(10, 10, 200, 150);
        form->Show();
        window->setUp();
        uitest::processMessages();
    }
    int pos() { return GetScrollPos(window->Handle(), SB_VERT); }
    QScrollBar* nativeBar(int bar) {
        auto* peer = dynamic_cast<TQtWindowPeer*>(window->Peer());
        auto* frame = peer ? dynamic_cast<TQtWindowFrame*>(peer->OuterWidget()) : nullptr;
        return frame ? frame->Bar(bar) : nullptr;
    }
    void click(TPoint p) {
        uitest::postNativeWindowMouseDown(window, p);
        uitest::postNativeWindowMouseUp(window, p);
        uitest::processMessages();
    }
};

TEST_F(WindowFrameTest, ClientLiesInsideTheEdgeAndBesideTheBars) {
    make();
    const int bar = SystemScrollBarSize;
    EXPECT_EQ(window->ClientRect(), TRect(0, 0, 200 - 4 - bar, 150 - 4 - bar));
    EXPECT_EQ(window->ClientOrigin(),
              TPoint(form->ClientOrigin().X + 12, form->ClientOrigin().Y + 12));
    EXPECT_EQ(ScrollBarRect(window, SB_VERT), TRect(198 - bar, 2, 198, 148 - bar));
    EXPECT_EQ(ScrollBarRect(window, SB_HORZ), TRect(2, 148 - bar, 198 - bar, 148));
    // The native bars lie where the window's bars are and show their information.
    QScrollBar* vertical = nativeBar(SB_VERT);
    ASSERT_TRUE(vertical);
    EXPECT_TRUE(vertical->isVisible());
    EXPECT_EQ(vertical->geometry(), QRect(198 - bar, 2, bar, 146 - bar));
    EXPECT_EQ(vertical->maximum(), 901);
    EXPECT_EQ(vertical->pageStep(), 100);
    // Hiding a bar gives its room to the client and tells the window its new size.
    ShowScrollBar(window->Handle(), SB_HORZ, false);
    EXPECT_EQ(window->ClientHeight(), 146);
    EXPECT_FALSE(GetWindowLong(window->Handle(), GWL_STYLE) & LONG(WS_HSCROLL));
    uitest::processMessages();
    EXPECT_FALSE(nativeBar(SB_HORZ)->isVisible());
}

TEST_F(WindowFrameTest, FrameIsPaintedAroundTheClient) {
    make();
    auto image = uitest::render(form.get());
    auto at = [&](int x, int y) { return image->Canvas()->Pixels(10 + x, 10 + y); };
    const int bar = SystemScrollBarSize;
    // The sunken client edge: shadow and dark shadow above, light and face below.
    EXPECT_EQ(at(5, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(at(5, 1), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(at(5, 149), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(at(5, 148), ColorToRGB(cl3DLight));
    EXPECT_EQ(at(20, 20), clWhite);                                     // the client
    EXPECT_EQ(at(198 - bar / 2, 148 - bar / 2), ColorToRGB(clBtnFace)); // the corner
    // The bars in the classic look: a raised arrow button at each end, the track between.
    EXPECT_EQ(at(198 - bar, 2), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(at(198 - bar + 3, 5), ColorToRGB(clBtnFace));
    EXPECT_EQ(at(198 - bar + 3, 110), ColorToRGB(clScrollBar));
}

TEST_F(WindowFrameTest, ScrollInformationFollowsTheClassicRules) {
    make(WS_VSCROLL, 0);
    const HWND h = window->Handle();
    ShowScrollBar(h, SB_HORZ, false);
    struct Case {
        UINT mask;
        int min, max;
        UINT page;
        int pos;
        bool shown, enabled;
        int newPos;
    } cases[] = {
        {SIF_ALL, 0, 1000, 100, 2000, true, true, 901},                // position kept in range
        {SIF_POS, 0, 0, 0, -5, true, true, 0},                         // only the position
        {SIF_RANGE | SIF_PAGE, 0, 50, 100, 0, false, true, 0},         // nothing to scroll: hidden
        {SIF_RANGE | SIF_PAGE, 0, 500, 100, 0, true, true, 0},         // a range shows it again
        {SIF_ALL | SIF_DISABLENOSCROLL, 0, 10, 20, 0, true, false, 0}, // kept, disabled
        {SIF_RANGE, 5, 1, 0, 0, true, false, 0},                       // min above max: ignored
    };
    for (const Case& c : cases) {
        SCROLLINFO info;
        info.fMask = c.mask;
        info.nMin = c.min;
        info.nMax = c.max;
        info.nPage = c.page;
        info.nPos = c.pos;
        EXPECT_EQ(SetScrollInfo(h, SB_VERT, &info, true), c.newPos) << c.mask << " " << c.max;
        EXPECT_EQ(bool(GetWindowLong(h, GWL_STYLE) & LONG(WS_VSCROLL)), c.shown) << c.max;
        SCROLLBARINFO bar;
        ASSERT_TRUE(GetScrollBarInfo(h, OBJID_VSCROLL, &bar));
        const DWORD state = !c.shown    ? STATE_SYSTEM_INVISIBLE
                            : c.enabled ? 0
                                        : STATE_SYSTEM_UNAVAILABLE;
        EXPECT_EQ(bar.rgstate[0], state) << c.max;
    }
    SCROLLINFO info;
    info.fMask = SIF_ALL;
    info.nMax = 999;
    info.nPage = 250;
    info.nPos = 375;
    SetScrollInfo(h, SB_VERT, &info, true);
    SCROLLBARINFO bar;
    GetScrollBarInfo(h, OBJID_VSCROLL, &bar);
    TRect window;
    GetWindowRect(h, &window);
    EXPECT_EQ(bar.rcScrollBar.Left, window.Right - SystemScrollBarSize);
    EXPECT_EQ(bar.rcScrollBar.Height(), 150);
    EXPECT_EQ(bar.dxyLineButton, SystemScrollBarSize);
    // Track 116 pixels, a quarter of it the thumb, half way down what is left.
    EXPECT_EQ(bar.xyThumbBottom - bar.xyThumbTop, 29);
    EXPECT_EQ(bar.xyThumbTop, SystemScrollBarSize + (116 - 29) / 2);
}

TEST_F(WindowFrameTest, NativeBarIsSteppedPagedAndDragged) {
    make();
    const TPoint down = uitest::nativeScrollBarPoint(window, SB_VERT, uitest::sbpLineDown);
    click(down);
    EXPECT_EQ(window->codes, (std::vector<WORD>{SB_LINEDOWN, SB_ENDSCROLL}));
    EXPECT_EQ(pos(), 10);
    EXPECT_EQ(nativeBar(SB_VERT)->value(), 10);
    window->codes.clear();
    click(uitest::nativeScrollBarPoint(window, SB_VERT, uitest::sbpPageDown));
    EXPECT_EQ(window->codes, (std::vector<WORD>{SB_PAGEDOWN, SB_ENDSCROLL}));
    EXPECT_EQ(pos(), 110);
    window->codes.clear();
    click(uitest::nativeScrollBarPoint(window, SB_VERT, uitest::sbpLineUp));
    EXPECT_EQ(pos(), 100);
    // Dragging the thumb down: tracking positions, then the final one and the end.
    window->codes.clear();
    const TPoint thumb = uitest::nativeScrollBarPoint(window, SB_VERT, uitest::sbpThumb);
    uitest::postNativeWindowMouseDown(window, thumb);
    uitest::postNativeWindowMouseMove(window, {thumb.X, thumb.Y + 30}, true);
    uitest::postNativeWindowMouseMove(window, {thumb.X, thumb.Y + 60}, true);
    uitest::postNativeWindowMouseUp(window, {thumb.X, thumb.Y + 60});
    uitest::processMessages();
    ASSERT_GE(window->codes.size(), 4u);
    EXPECT_EQ(window->codes.front(), SB_THUMBTRACK);
    EXPECT_EQ(window->codes[window->codes.size() - 2], SB_THUMBPOSITION);
    EXPECT_EQ(window->codes.back(), SB_ENDSCROLL);
    EXPECT_GT(window->trackPositions.front(), 100);
    EXPECT_GT(window->trackPositions.back(), window->trackPositions.front());
    EXPECT_EQ(pos(), window->trackPositions.back());
    EXPECT_EQ(nativeBar(SB_VERT)->value(), pos());
}

// Right to left the vertical bar moves to the left of the client, the native bar follows, the
// native widget takes Qt's right-to-left direction; back to left to right all returns.
TEST_F(WindowFrameTest, RightToLeftPutsTheVerticalBarOnTheLeft) {
    make();
    const int bar = SystemScrollBarSize;
    auto* peer = dynamic_cast<TQtWindowPeer*>(window->Peer());
    ASSERT_TRUE(peer);
    EXPECT_EQ(peer->Widget()->layoutDirection(), Qt::LeftToRight);
    window->SetBiDiMode(bdRightToLeft);
    uitest::processMessages();
    EXPECT_EQ(peer->Widget()->layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(window->ClientRect(), TRect(0, 0, 200 - 4 - bar, 150 - 4 - bar));
    EXPECT_EQ(window->ClientOrigin().X, form->ClientOrigin().X + 12 + bar);
    EXPECT_EQ(ScrollBarRect(window, SB_VERT), TRect(2, 2, 2 + bar, 148 - bar));
    EXPECT_EQ(ScrollBarRect(window, SB_HORZ), TRect(2 + bar, 148 - bar, 198, 148));
    EXPECT_EQ(nativeBar(SB_VERT)->geometry(), QRect(2, 2, bar, 146 - bar));
    auto image = uitest::render(form.get());
    EXPECT_EQ(image->Canvas()->Pixels(10 + 2 + bar / 2, 10 + 148 - bar / 2),
              ColorToRGB(clBtnFace)); // the corner
    EXPECT_EQ(image->Canvas()->Pixels(10 + 2 + bar + 20, 10 + 20), clWhite);
    // A native click on the bar at the left still scrolls.
    click(uitest::nativeScrollBarPoint(window, SB_VERT, uitest::sbpLineDown));
    EXPECT_EQ(pos(), 10);
    // Reading order alone keeps the layout; the bar stays on the left.
    window->SetBiDiMode(bdRightToLeftNoAlign);
    uitest::processMessages();
    EXPECT_EQ(peer->Widget()->layoutDirection(), Qt::LeftToRight);
    EXPECT_EQ(ScrollBarRect(window, SB_VERT).Left, 2);
    window->SetBiDiMode(bdLeftToRight);
    EXPECT_EQ(ScrollBarRect(window, SB_VERT), TRect(198 - bar, 2, 198, 148 - bar));
}

} // namespace
