#include "treeview/LazyTreeUtils.h"
#include "platform/gfx/Graphics.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

TEST(LazyTreeUtils, LineBlendersFollowTheEightBitArithmetic) {
    struct Case {
        int alpha, bias, source, dest, expected;
    };
    const Case cases[] = {
        {0, 0, 200, 10, 10},                      // nothing of the source
        {255, 0, 200, 10, (200 * 255 + 10) >> 8}, // alpha 255 is not exactly the source
        {128, 0, 200, 100, (200 * 128 + 100 * 128) >> 8},
        {128, 100, 250, 250, 255}, // clamped high
        {0, -50, 0, 20, 0},        // clamped low
    };
    for (const Case& c : cases) {
        std::array<std::uint8_t, 4> s{}, d{};
        s.fill(std::uint8_t(c.source));
        d.fill(std::uint8_t(c.dest));
        BlendLineConstant(s.data(), d.data(), 1, c.bias, c.alpha);
        for (std::uint8_t b : d) EXPECT_EQ(b, c.expected) << c.alpha << " " << c.bias;
    }
    // Per pixel the source's own alpha weighs; master scales it by the constant.
    std::array<std::uint8_t, 4> s{200, 200, 200, 128}, d{0, 0, 0, 0};
    BlendLinePerPixel(s.data(), d.data(), 1, 0);
    EXPECT_EQ(d[0], (200 * 128) >> 8);
    d.fill(0);
    BlendLineMaster(s.data(), d.data(), 1, 0, 128);
    EXPECT_EQ(d[0], (200 * 64) >> 8);
    // The colour 0x00BBGGRR goes to the pixel bytes B, G, R.
    d.fill(0);
    BlendLineMasterColor(d.data(), 1, 128, RGB(10, 20, 30));
    EXPECT_EQ(d[0], (30 * 128) >> 8);
    EXPECT_EQ(d[2], (10 * 128) >> 8);
}

TEST(LazyTreeUtils, BlendRectBlendsRowsAndNeeds32BitBitmaps) {
    TBitmap source(4, 4), dest(4, 4);
    source.SetPixelFormat(pf32bit);
    dest.SetPixelFormat(pf32bit);
    source.Canvas()->Brush()->SetColor(clWhite);
    source.Canvas()->FillRect(TRect(0, 0, 4, 4));
    dest.Canvas()->Brush()->SetColor(clBlack);
    dest.Canvas()->FillRect(TRect(0, 0, 4, 4));
    BlendRect(source.Canvas(), dest.Canvas(), TRect(0, 0, 2, 2), TPoint(2, 2), abConstant, 128, 0);
    EXPECT_EQ(dest.PixelColor(3, 3), RGB(127, 127, 127));
    EXPECT_EQ(dest.PixelColor(1, 1), clBlack);
    TBitmap rgb(4, 4);
    rgb.SetPixelFormat(pf24bit);
    try {
        BlendRect(source.Canvas(), rgb.Canvas(), TRect(0, 0, 2, 2), TPoint(0, 0), abConstant, 128,
                  0);
        FAIL();
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Message(), "Alpha blending error: bitmap must use 32 bpp.");
    }
}

struct TextFixture : ::testing::Test {
    TBitmap bitmap{10, 10};
    TCanvas* canvas = bitmap.Canvas();
    int width(const std::string& s) { return canvas->TextWidth(s); }
};

TEST_F(TextFixture, ShortenToWidth) {
    const int ellipsis = width("...");
    const std::string text = "Gateway";
    EXPECT_EQ(ShortenToWidth(canvas, text, width(text) + ellipsis, 0), text);
    // Fits alone but not with the ellipsis: shortened anyway.
    const std::string shortened = ShortenToWidth(canvas, text, width(text), 0);
    EXPECT_LT(shortened.size(), text.size() + 3);
    EXPECT_EQ(shortened.substr(shortened.size() - 3), "...");
    EXPECT_EQ(ShortenToWidth(canvas, text, ellipsis - 1, 0), "");
    EXPECT_EQ(ShortenToWidth(canvas, "", 100, 0), "");
    EXPECT_EQ(ShortenToWidth(canvas, text, 0, 0), "");
}

TEST_F(TextFixture, WrapTextLines) {
    const int wide = width("alpha beta") + 2;
    EXPECT_EQ(WrapTextLines(canvas, " alpha beta ", TRect(0, 0, wide, 10), 0, false), "alpha beta");
    EXPECT_EQ(WrapTextLines(canvas, "alpha beta", TRect(0, 0, width("alpha") + 1, 10), 0, false),
              "alpha\nbeta");
    // Two blanks keep an empty word, so "beta" is measured after two blanks.
    EXPECT_EQ(
        WrapTextLines(canvas, "alpha  beta", TRect(0, 0, width("alpha beta") + 1, 10), 0, false),
        "alpha \nbeta");
    // A word wider than the bounds is cut, at least one character per line.
    EXPECT_EQ(WrapTextLines(canvas, "abc", TRect(0, 0, 1, 10), 0, false), "a\nb\nc");
    // Right to left the last words fill the first line.
    EXPECT_EQ(WrapTextLines(canvas, "one two", TRect(0, 0, width("two") + 1, 10), 0, true),
              "two\none");
    EXPECT_EQ(WrapTextLines(canvas, "   ", TRect(0, 0, 100, 10), 0, false), "");
}

TEST(LazyTreeUtils, RectangleHelpers) {
    EXPECT_EQ(SortRectCorners(TRect(5, 8, 1, 2)), TRect(1, 2, 5, 8));
    struct Case {
        int dx, dy;
        TRect stays, uncovered, covered;
    };
    const Case cases[] = {
        {3, 0, TRect(0, 0, 7, 5), TRect(0, 0, 3, 5), TRect(7, 0, 3, 5)},
        {-3, 0, TRect(3, 0, 10, 5), TRect(7, 0, 3, 5), TRect(0, 0, 3, 5)},
        {0, 2, TRect(0, 0, 10, 3), TRect(0, 0, 10, 2), TRect(0, 3, 10, 2)},
    };
    for (const Case& c : cases) {
        const auto r = SplitDragMove(10, 5, c.dx, c.dy);
        EXPECT_EQ(r[0], TRect(0, 0, 10, 5));
        EXPECT_EQ(r[1], c.stays) << c.dx << "," << c.dy;
        EXPECT_EQ(r[2], c.uncovered) << c.dx << "," << c.dy;
        EXPECT_EQ(r[3], c.covered) << c.dx << "," << c.dy;
    }
    EXPECT_EQ(ColorToImageListColor(clNone), CLR_NONE);
    EXPECT_EQ(ColorToImageListColor(clDefault), CLR_DEFAULT);
    EXPECT_EQ(ColorToImageListColor(clWindow), std::uint32_t(ColorToRGB(clWindow)));
}

} // namespace
