// Balloon tooltips over grid cells: the balloon window's life, the text a cell gives it, and the
// tooltip control's show, hide and paint on the manual clock.
#include "grid/core/QorStringGrid.h"
#include "grid/render/LookSettings.h"
#include "platform/testing/UiTest.h"
#include "platform/ui/core/ToolTips.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct BalloonGrid {
    TForm form{nullptr};
    TQorStringGrid* g;
    BalloonGrid() {
        form.SetBounds(0, 0, 420, 260);
        g = new TQorStringGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 400, 240);
        g->SetColCount(4);
        g->SetRowCount(5);
        form.Show();
        uitest::processMessages();
    }
    TPoint mid(int c, int r) {
        const TRect rc = g->CellRect(c, r);
        return {(rc.Left + rc.Right) / 2, (rc.Top + rc.Bottom) / 2};
    }
    // The pointer comes to rest on a cell until the balloon's initial delay has passed.
    TToolTipWindow* restOn(int c, int r, int jiggle = 0) {
        TPoint p = mid(c, r);
        p.X += jiggle;
        uitest::mouseMove(g, p);
        uitest::advanceClock(600);
        return g->BalloonWindow();
    }
};

TEST(GridBalloon, WindowLivesWhileBalloonsAreOn) {
    BalloonGrid b;
    EXPECT_EQ(b.g->BalloonWindow(), nullptr);
    b.g->Balloon()->SetInitialDelay(250);
    b.g->Balloon()->SetAutoHideDelay(900);
    b.g->Balloon()->SetEnable(true);
    TToolTipWindow* tip = b.g->BalloonWindow();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(b.g->Balloon()->Init());
    EXPECT_EQ(tip->ToolCount(), 1);
    EXPECT_EQ(tip->TipStyle(), TTS_ALWAYSTIP | TTS_NOPREFIX | TTS_BALLOON);
    EXPECT_EQ(tip->Delay(TTDT_INITIAL), 250);
    EXPECT_EQ(tip->Delay(TTDT_AUTOPOP), 900);
    EXPECT_EQ(tip->Title(), "ToolTipText");
    EXPECT_EQ(tip->TitleIcon(), TTI_ERROR);
    // Switched off, the window goes and the pointer no longer asks for text.
    b.g->Balloon()->SetEnable(false);
    EXPECT_EQ(b.g->BalloonWindow(), nullptr);
    EXPECT_FALSE(b.g->Balloon()->Init());
    b.g->SetCells(1, 1, "text");
    EXPECT_EQ(b.restOn(1, 1), nullptr);
    // On again: a new window.
    b.g->Balloon()->SetEnable(true);
    EXPECT_NE(b.g->BalloonWindow(), nullptr);
}

TEST(GridBalloon, SwitchingWhileLoadingCreatesAndDestroysNothing) {
    BalloonGrid b;
    b.g->TComponent::Loading();
    b.g->Balloon()->SetEnable(true);
    EXPECT_EQ(b.g->BalloonWindow(), nullptr);
    b.g->Balloon()->SetEnable(false);
    b.g->Loaded();
    b.g->Balloon()->SetEnable(true);
    TToolTipWindow* tip = b.g->BalloonWindow();
    b.g->TComponent::Loading();
    b.g->Balloon()->SetEnable(false);
    EXPECT_EQ(b.g->BalloonWindow(), tip);
    b.g->Loaded();
}

TEST(GridBalloon, ShowsTheCellTextCleanedAndCut) {
    std::string long3000;
    while (long3000.size() < 3000) long3000 += "word ";
    const std::string title101(101, 't');
    struct Case {
        const char* name;
        std::string cell;
        std::string text;
        std::string title;
        int icon;
        bool balloonGraphic = false;
    };
    const Case cases[] = {
        {"plain", "hello", "hello", " ", TTI_INFO},
        {"long", long3000, long3000.substr(0, 2045) + "...", " ", TTI_INFO},
        {"breaks first", "\r\n\r\nline\tand tab", "line and tab", " ", TTI_INFO},
        {"markup", "<B>bold</B> <I>it</I>", "bold it", " ", TTI_INFO},
        {"graphic", "under", "balloon text", "balloon title", TTI_WARNING, true},
    };
    for (const auto& c : cases) {
        BalloonGrid b;
        b.g->Balloon()->SetEnable(true);
        b.g->SetCells(2, 1, c.cell);
        if (c.balloonGraphic) b.g->AddBalloon(2, 1, "balloon title", "balloon text", biWarning);
        TToolTipWindow* tip = b.restOn(2, 1);
        ASSERT_NE(tip, nullptr);
        EXPECT_TRUE(tip->Visible()) << c.name;
        EXPECT_EQ(tip->TipText(), c.text) << c.name;
        EXPECT_EQ(tip->Title(), c.title) << c.name;
        EXPECT_EQ(tip->TitleIcon(), c.icon) << c.name;
        EXPECT_EQ(tip->MaxTipWidth(), 300) << c.name;
        EXPECT_EQ(b.g->LastBalloonPos(), TPoint(2, 1)) << c.name;
    }
    // The event may replace all three; a long title is cut.
    BalloonGrid b;
    b.g->Balloon()->SetEnable(true);
    b.g->SetCells(1, 2, "x");
    b.g->OnCellBalloon = [&](TObject*, int col, int row, std::string& title, std::string& text,
                             int& icon) {
        text = "cell " + std::to_string(col) + "," + std::to_string(row);
        title = title101;
        icon = TTI_ERROR;
    };
    TToolTipWindow* tip = b.restOn(1, 2);
    EXPECT_EQ(tip->TipText(), "cell 1,2");
    EXPECT_EQ(tip->Title(), std::string(97, 't') + "...");
    EXPECT_EQ(tip->TitleIcon(), TTI_ERROR);
}

TEST(GridBalloon, AnotherCellPopsTheBalloonAndTheNextRestShowsItsText) {
    BalloonGrid b;
    b.g->Balloon()->SetAutoHideDelay(3000);
    b.g->Balloon()->SetEnable(true);
    b.g->SetCells(1, 1, "first");
    b.g->SetCells(2, 1, "second");
    TToolTipWindow* tip = b.restOn(1, 1);
    ASSERT_TRUE(tip->Visible());
    uitest::mouseMove(b.g, b.mid(2, 1));
    EXPECT_FALSE(tip->Visible());
    EXPECT_EQ(b.g->LastBalloonPos(), TPoint(-1, -1));
    b.restOn(2, 1, 1);
    EXPECT_TRUE(tip->Visible());
    EXPECT_EQ(tip->TipText(), "second");
    // It hides itself after the auto-hide delay; a button press hides it at once.
    uitest::advanceClock(3100);
    EXPECT_FALSE(tip->Visible());
    b.restOn(2, 1, 2);
    ASSERT_TRUE(tip->Visible());
    uitest::mouseDown(b.g, b.mid(2, 1));
    EXPECT_FALSE(tip->Visible());
    uitest::mouseUp(b.g, b.mid(2, 1));
}

TEST(GridBalloon, NativePointerRestShowsAColouredBalloon) {
    BalloonGrid b;
    b.g->Balloon()->SetBackgroundColor(clYellow);
    b.g->Balloon()->SetTextColor(clBlue);
    b.g->Balloon()->SetEnable(true);
    b.g->SetCells(1, 3, "native");
    uitest::postNativeMouseMove(b.g, b.mid(1, 3));
    uitest::processMessages();
    uitest::advanceClock(600);
    TToolTipWindow* tip = b.g->BalloonWindow();
    ASSERT_TRUE(tip->Visible());
    EXPECT_EQ(tip->TipText(), "native");
    EXPECT_EQ(tip->TipBkColor(), clYellow);
    EXPECT_EQ(tip->TipTextColor(), clBlue);
    // Painted: the yellow balloon with the info icon and blue text inside a black outline.
    const int w = tip->Width(), h = tip->Height();
    int yellow = 0, blue = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const TColor c = uitest::pixel(tip, x, y);
            if (c == clYellow) ++yellow;
            if (c == clBlue) ++blue;
        }
    EXPECT_GT(yellow, w * h / 2);
    EXPECT_GT(blue, 0);
    EXPECT_EQ(uitest::pixel(tip, w / 2, 0), clBlack);
}

} // namespace
