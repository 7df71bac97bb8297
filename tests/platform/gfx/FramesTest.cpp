#include "platform/gfx/Graphics.h"

#include <gtest/gtest.h>

namespace {
struct FrameFixture : ::testing::Test {
    TBitmap b{20, 20};
    TCanvas* c = b.Canvas();
    TColor at(int x, int y) { return b.PixelColor(x, y); }
    static TColor rgb(TColor sys) { return ColorToRGB(sys); }
    // Pixels of a rectangle that differ between two drawings.
    static std::vector<TPoint> diff(TBitmap& a, TBitmap& b) {
        std::vector<TPoint> out;
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x)
                if (a.PixelColor(x, y) != b.PixelColor(x, y)) out.push_back({x, y});
        return out;
    }
};
} // namespace

TEST_F(FrameFixture, EdgesUseTheClassicColoursPerRing) {
    struct Case {
        unsigned edge, flags;
        TColor outerTop, outerBottom, innerTop, innerBottom;
    };
    const Case cases[] = {
        {EDGE_RAISED, BF_RECT, cl3DLight, cl3DDkShadow, clBtnHighlight, clBtnShadow},
        {EDGE_SUNKEN, BF_RECT, clBtnShadow, clBtnHighlight, cl3DDkShadow, cl3DLight},
        {EDGE_ETCHED, BF_RECT, clBtnShadow, clBtnHighlight, clBtnHighlight, clBtnShadow},
        {EDGE_BUMP, BF_RECT, cl3DLight, cl3DDkShadow, cl3DDkShadow, cl3DLight},
        {EDGE_RAISED, BF_RECT | BF_SOFT, clBtnHighlight, cl3DDkShadow, cl3DLight, clBtnShadow},
        {EDGE_RAISED, BF_RECT | BF_FLAT, clBtnShadow, clBtnShadow, clBtnFace, clBtnFace},
        {EDGE_SUNKEN, BF_RECT | BF_MONO, clWindowFrame, clWindowFrame, clWindow, clWindow},
    };
    for (const auto& cs : cases) {
        TBitmap bmp(10, 10);
        TRect r(0, 0, 10, 10);
        EXPECT_TRUE(DrawEdge(bmp.Canvas()->Handle(), r, cs.edge, cs.flags));
        EXPECT_EQ(bmp.PixelColor(4, 0), rgb(cs.outerTop)) << cs.edge << " " << cs.flags;
        EXPECT_EQ(bmp.PixelColor(0, 4), rgb(cs.outerTop)) << cs.edge << " " << cs.flags;
        EXPECT_EQ(bmp.PixelColor(4, 9), rgb(cs.outerBottom)) << cs.edge << " " << cs.flags;
        EXPECT_EQ(bmp.PixelColor(9, 0), rgb(cs.outerBottom)) << "corner " << cs.edge;
        EXPECT_EQ(bmp.PixelColor(4, 1), rgb(cs.innerTop)) << cs.edge << " " << cs.flags;
        EXPECT_EQ(bmp.PixelColor(8, 4), rgb(cs.innerBottom)) << cs.edge << " " << cs.flags;
        EXPECT_EQ(bmp.PixelColor(4, 4), clWhite) << "middle untouched";
        EXPECT_EQ(r, TRect(0, 0, 10, 10)) << "no BF_ADJUST";
    }
}

TEST_F(FrameFixture, EdgeSidesMiddleAndAdjust) {
    TRect r(2, 2, 18, 18);
    DrawEdge(c->Handle(), r, BDR_SUNKENOUTER, BF_TOP | BF_LEFT | BF_MIDDLE | BF_ADJUST);
    EXPECT_EQ(r, TRect(3, 3, 18, 18));
    EXPECT_EQ(at(10, 2), rgb(clBtnShadow));
    EXPECT_EQ(at(17, 10), rgb(clBtnFace)); // no right side: the middle reaches the edge
    EXPECT_EQ(at(10, 10), rgb(clBtnFace));
    EXPECT_EQ(at(19, 19), clWhite);
    TRect r2(0, 0, 20, 20);
    DrawEdge(c->Handle(), r2, EDGE_RAISED, BF_RECT | BF_ADJUST);
    EXPECT_EQ(r2, TRect(2, 2, 18, 18));
}

TEST_F(FrameFixture, CheckBoxCheckedDiffersOnlyByTheCheckMark) {
    TBitmap off(13, 13), on(13, 13);
    TRect r(0, 0, 13, 13);
    DrawFrameControl(off.Canvas()->Handle(), r, DFC_BUTTON, DFCS_BUTTONCHECK);
    DrawFrameControl(on.Canvas()->Handle(), r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    EXPECT_EQ(off.PixelColor(0, 0), rgb(clBtnShadow));
    EXPECT_EQ(off.PixelColor(1, 1), rgb(cl3DDkShadow));
    EXPECT_EQ(off.PixelColor(6, 6), rgb(clWindow));
    auto changed = diff(off, on);
    ASSERT_EQ(changed.size(), 21u); // the 7 x 3 check mark
    for (TPoint p : changed) {
        EXPECT_EQ(on.PixelColor(p.X, p.Y), rgb(clWindowText));
        EXPECT_TRUE(TRect(3, 3, 10, 10).Contains(p)) << p.X << "," << p.Y;
    }
    TBitmap dis(13, 13);
    DrawFrameControl(dis.Canvas()->Handle(), r, DFC_BUTTON,
                     DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE);
    EXPECT_EQ(dis.PixelColor(8, 9), rgb(clBtnFace));
    EXPECT_EQ(dis.PixelColor(changed[0].X, changed[0].Y), rgb(clBtnShadow));
}

TEST_F(FrameFixture, RadioAndPushButtonStates) {
    TBitmap off(12, 12), on(12, 12);
    TRect r(0, 0, 12, 12);
    DrawFrameControl(off.Canvas()->Handle(), r, DFC_BUTTON, DFCS_BUTTONRADIO);
    DrawFrameControl(on.Canvas()->Handle(), r, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
    EXPECT_EQ(off.PixelColor(0, 0), clWhite); // outside the circle
    EXPECT_EQ(off.PixelColor(6, 6), rgb(clWindow));
    EXPECT_EQ(on.PixelColor(6, 6), rgb(clWindowText));
    for (TPoint p : diff(off, on)) EXPECT_TRUE(TRect(3, 3, 9, 9).Contains(p)) << p.X << "," << p.Y;

    TBitmap up(20, 10), down(20, 10);
    TRect br(0, 0, 20, 10);
    DrawFrameControl(up.Canvas()->Handle(), br, DFC_BUTTON, DFCS_BUTTONPUSH);
    DrawFrameControl(down.Canvas()->Handle(), br, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
    EXPECT_EQ(up.PixelColor(5, 9), rgb(cl3DDkShadow));
    EXPECT_EQ(down.PixelColor(5, 0), rgb(cl3DDkShadow));
    EXPECT_EQ(up.PixelColor(10, 5), rgb(clBtnFace));
    EXPECT_FALSE(DrawFrameControl(c->Handle(), br, 99, 0));
}

TEST_F(FrameFixture, ScrollArrowsPointTheirWay) {
    // The arrow's widest row is at the base: down arrows are wide on top, up arrows below.
    auto widest = [](TBitmap& bmp) {
        int best = -1, bestN = 0;
        for (int y = 0; y < bmp.Height(); ++y) {
            int n = 0;
            for (int x = 2; x < bmp.Width() - 2; ++x)
                n += bmp.PixelColor(x, y) == ColorToRGB(clBtnText);
            if (n > bestN) {
                bestN = n;
                best = y;
            }
        }
        return best;
    };
    TBitmap up(16, 16), down(16, 16), combo(16, 16);
    TRect r(0, 0, 16, 16);
    DrawFrameControl(up.Canvas()->Handle(), r, DFC_SCROLL, DFCS_SCROLLUP);
    DrawFrameControl(down.Canvas()->Handle(), r, DFC_SCROLL, DFCS_SCROLLDOWN);
    DrawFrameControl(combo.Canvas()->Handle(), r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
    EXPECT_GT(widest(up), 8);
    EXPECT_LT(widest(down), 8);
    EXPECT_EQ(widest(combo), widest(down));
}
