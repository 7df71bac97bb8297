#include "platform/qt/QtPopupPeer.h"

#include "platform/testing/UiTest.h"
#include "platform/ui/PopupForm.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/core/Monitors.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A popup that records how it lost the activation and hides then unless told to stay.
class TRecordingPopup : public TCustomPopupForm {
public:
    using TCustomPopupForm::TCustomPopupForm;
    bool stay = false;
    std::vector<HWND> deactivatedTo;
    std::vector<WORD> keys;
    std::vector<TRect> sizing;

protected:
    void Dispatch(TMessage& m) override {
        switch (m.Msg) {
        case WM_ACTIVATE:
            if (LOWORD(m.WParam) == WA_INACTIVE) {
                deactivatedTo.push_back(reinterpret_cast<HWND>(m.LParam));
                if (!stay) Hide();
            }
            return;
        case WM_KEYDOWN:
            keys.push_back(WORD(m.WParam));
            return;
        case WM_NCHITTEST: {
            const TPoint p = ScreenToClient(LParamToPoint(m.LParam));
            m.Result = p.X > Width() - 10 && p.Y > Height() - 10 ? HTBOTTOMRIGHT : HTCLIENT;
            return;
        }
        case WM_SIZING:
            sizing.push_back(*reinterpret_cast<TRect*>(m.LParam));
            break;
        default:
            break;
        }
        TCustomPopupForm::Dispatch(m);
    }
};

QWidget* widgetOf(TWinControl* c) {
    auto* peer = dynamic_cast<TQtWindowPeer*>(c->Peer());
    return peer ? peer->Widget() : nullptr;
}

class PopupPeerTest : public ::testing::Test {
protected:
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TButton* button = nullptr;
    TRecordingPopup* popup = nullptr;
    int clicks = 0;

    void SetUp() override {
        form->SetBorderStyle(bsSingle);
        form->SetBounds(50, 60, 300, 200);
        button = new TButton(form.get());
        button->SetParent(form.get());
        button->SetBounds(20, 20, 80, 25);
        button->OnClick = [this](TObject*) { ++clicks; };
        form->Show();
        popup = new TRecordingPopup(form.get());
        popup->SetPopupParent(form.get());
        popup->SetBounds(400, 100, 120, 90);
        uitest::processMessages();
    }
    void open() {
        popup->Show();
        uitest::processMessages();
    }
    TPoint buttonCentre() const { return button->ClientToScreen({40, 12}); }
};

} // namespace

TEST_F(PopupPeerTest, ShowsAsTheNativePopupAboveItsParentAndTakesTheKeys) {
    open();
    QWidget* w = widgetOf(popup);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(QApplication::activePopupWidget(), w);
    EXPECT_TRUE(w->windowFlags() & Qt::Popup);
    EXPECT_EQ(w->geometry(), QRect(400, 100, 120, 90));
    uitest::postNativeKey(VK_ESCAPE);
    uitest::processMessages();
    EXPECT_EQ(popup->keys, std::vector<WORD>{VK_ESCAPE});
    popup->Hide();
    uitest::processMessages();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(PopupPeerTest, ClickOutsideEndsThePopupAndReachesTheWindowUnderIt) {
    open();
    uitest::postNativeScreenClick(buttonCentre());
    uitest::processMessages();
    ASSERT_EQ(popup->deactivatedTo.size(), 1u);
    EXPECT_EQ(popup->deactivatedTo[0], button->Handle());
    EXPECT_FALSE(popup->Visible());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(clicks, 1) << "the click goes on to the button";
}

TEST_F(PopupPeerTest, PopupThatStaysKeepsTheClickFromOtherWindows) {
    popup->stay = true;
    open();
    uitest::postNativeScreenClick(buttonCentre());
    uitest::processMessages();
    EXPECT_EQ(popup->deactivatedTo.size(), 1u);
    EXPECT_TRUE(popup->Visible());
    EXPECT_EQ(clicks, 0);
    // A click inside the popup is the popup's own.
    uitest::postNativeScreenClick({450, 150});
    uitest::processMessages();
    EXPECT_EQ(popup->deactivatedTo.size(), 1u);
}

TEST_F(PopupPeerTest, FocusMovingToAnotherFormDeactivatesThePopup) {
    open();
    button->SetFocus();
    uitest::processMessages();
    ASSERT_EQ(popup->deactivatedTo.size(), 1u);
    EXPECT_EQ(popup->deactivatedTo[0], button->Handle());
    EXPECT_FALSE(popup->Visible());
}

TEST_F(PopupPeerTest, CornerSizesThePopupWithinItsMinimumSize) {
    popup->SetMinSize(80, 50);
    open();
    // Press in the corner, drag it 30 right and 20 down, then far up and left.
    uitest::postNativeMouseDown(popup, {115, 85});
    uitest::postNativeMouseMove(popup, {145, 105}, true);
    uitest::processMessages();
    EXPECT_TRUE(popup->Sizing());
    EXPECT_EQ(popup->BoundsRect(), Rect(400, 100, 550, 210));
    ASSERT_FALSE(popup->sizing.empty());
    EXPECT_EQ(popup->sizing.back(), Rect(400, 100, 550, 210));
    uitest::postNativeMouseMove(popup, {-200, -200}, true);
    uitest::postNativeMouseUp(popup, {-200, -200});
    uitest::processMessages();
    EXPECT_FALSE(popup->Sizing());
    EXPECT_EQ(popup->BoundsRect(), Rect(400, 100, 480, 150));
    // The program cannot go below the minimum either.
    popup->SetBounds(400, 100, 10, 10);
    EXPECT_EQ(popup->Width(), 80);
    EXPECT_EQ(popup->Height(), 50);
}

TEST_F(PopupPeerTest, ShadowAndTopMostFollowTheForm) {
    open();
    QWidget* w = widgetOf(popup);
    EXPECT_FALSE(w->windowFlags() & Qt::NoDropShadowWindowHint);
    popup->SetDropShadow(false);
    uitest::processMessages();
    EXPECT_TRUE(w->windowFlags() & Qt::NoDropShadowWindowHint);
    EXPECT_TRUE(w->windowFlags() & Qt::Popup);
    EXPECT_TRUE(w->isVisible());
}

TEST(Monitors, NearestMonitorAndItsWorkArea) {
    // Scripted until the next test starts.
    ScriptMonitorAreas({{{0, 0, 800, 600}, {0, 0, 800, 560}, true},
                        {{-1024, 0, 0, 768}, {-1024, 30, 0, 768}, false}});
    struct Case {
        TPoint p;
        DWORD flags;
        TRect work; // empty: no monitor
    };
    const Case cases[] = {
        {{10, 10}, MONITOR_DEFAULTTONULL, {0, 0, 800, 560}},
        {{-10, 700}, MONITOR_DEFAULTTONULL, {-1024, 30, 0, 768}},
        {{900, 10}, MONITOR_DEFAULTTONULL, {}},
        {{900, 10}, MONITOR_DEFAULTTONEAREST, {0, 0, 800, 560}},
        {{-2000, 10}, MONITOR_DEFAULTTONEAREST, {-1024, 30, 0, 768}},
        {{-2000, 10}, MONITOR_DEFAULTTOPRIMARY, {0, 0, 800, 560}},
    };
    for (const Case& c : cases) {
        MONITORINFO info;
        const bool found = GetMonitorInfo(MonitorFromPoint(c.p, c.flags), &info);
        EXPECT_EQ(found, !c.work.IsEmpty()) << c.p.X << "," << c.p.Y;
        if (found) {
            EXPECT_EQ(info.rcWork, c.work) << c.p.X << "," << c.p.Y;
        }
    }
    TRect work;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(work, Rect(0, 0, 800, 560));
}

TEST(Monitors, BackEndReportsTheScreensAvailableGeometry) {
    const std::vector<TMonitorArea> areas = MonitorAreas();
    ASSERT_EQ(areas.size(), std::size_t(QGuiApplication::screens().size()));
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(areas[0].Primary);
    EXPECT_EQ(areas[0].WorkArea,
              Rect(work.left(), work.top(), work.right() + 1, work.bottom() + 1));
}
