#include "grid/core/base/AlphaMask.h"

#include "platform/base/SysUtils.h"

#include <gtest/gtest.h>
#include <numeric>

namespace {
// A w x h picture of 4-byte pixels (blue, green, red, alpha).
struct Pixels {
    int w, h;
    std::vector<std::uint8_t> data;
    Pixels(int width, int height, std::uint8_t fill)
        : w(width), h(height), data(std::size_t(width * height * 4), fill) {}
    std::uint8_t* at(int x, int y) { return data.data() + (y * w + x) * 4; }
    TScanLineFunc rows() {
        return [this](int y) { return data.data() + y * w * 4; };
    }
    void set(int x, int y, std::uint8_t v) { std::fill_n(at(x, y), 3, v); }
};
} // namespace

TEST(AlphaMask, KernelIsNormalisedSymmetricAndTrimmed) {
    for (double radius : {0.5, 1.0, 2.0, 3.5, 10.0}) {
        const std::vector<float> k = BlurKernel(radius);
        ASSERT_EQ(k.size() % 2, 1u) << radius;
        EXPECT_NEAR(std::accumulate(k.begin(), k.end(), 0.0f), 1.0f, 1e-5) << radius;
        for (std::size_t i = 0; i < k.size() / 2; ++i) EXPECT_EQ(k[i], k[k.size() - 1 - i]);
    }
    EXPECT_LT(BlurKernel(1.0).size(), BlurKernel(3.0).size());
    EXPECT_LE(BlurKernel(100.0).size(), 21u);
    EXPECT_GE(BlurKernel(0.1).size(), 3u); // s never drops below 1
    EXPECT_TRUE(BlurKernel(0).empty());
}

TEST(AlphaMask, BlurKeepsUniformPicturesAndSpreadsAPoint) {
    for (double radius : {0.5, 1.0, 2.0, 3.3, 7.0}) {
        Pixels white(30, 30, 255);
        GaussianBlurPixels(white.rows(), 30, 30, radius);
        EXPECT_EQ(white.data, std::vector<std::uint8_t>(white.data.size(), 255)) << radius;
    }

    Pixels dot(30, 30, 0);
    dot.set(10, 10, 255);
    GaussianBlurPixels(dot.rows(), 30, 30, 1.5);
    EXPECT_LT(dot.at(10, 10)[2], 255);
    EXPECT_GT(dot.at(10, 10)[2], dot.at(11, 10)[2]);
    EXPECT_GT(dot.at(11, 10)[2], 0);
    EXPECT_EQ(dot.at(9, 10)[2], dot.at(11, 10)[2]);
    EXPECT_EQ(dot.at(10, 9)[2], dot.at(10, 11)[2]);
    EXPECT_EQ(dot.at(25, 25)[2], 0);
    EXPECT_EQ(dot.at(10, 10)[3], 0); // alpha untouched
}

TEST(AlphaMask, BlurCopiesRowAndColumnFifteenIntoTheMiddle) {
    // Middle rows and columns of a 60 x 60 mask repeat row and column 15.
    Pixels p(60, 60, 0);
    for (int x = 0; x < 60; ++x) p.set(x, 30, 200);
    for (int y = 0; y < 60; ++y) p.set(15, y, 100);
    GaussianBlurPixels(p.rows(), 60, 60, 1.0);
    for (int x = 0; x < 60; ++x) EXPECT_EQ(p.at(x, 30)[0], p.at(x, 15)[0]) << x;
    EXPECT_EQ(p.at(40, 30)[0], 0); // the line in row 30 is gone
    for (int y = 0; y < 60; ++y) EXPECT_EQ(p.at(30, y)[1], p.at(15, y)[1]) << y;
    EXPECT_GT(p.at(30, 5)[1], 0); // column 30 repeats the blurred column 15

    // Below 42 pixels every row and column is filtered.
    Pixels q(41, 41, 0);
    for (int x = 0; x < 41; ++x) q.set(x, 30, 200);
    GaussianBlurPixels(q.rows(), 41, 41, 1.0);
    EXPECT_GT(q.at(25, 30)[0], 0);
    EXPECT_GT(q.at(25, 31)[0], 0);
}

TEST(AlphaMask, MergeMaskPremultipliesByTheMaskRed) {
    Pixels mask(2, 1, 0), src(2, 1, 255), dst(2, 1, 7);
    mask.at(0, 0)[2] = 128;
    mask.at(1, 0)[2] = 255;
    src.at(1, 0)[0] = 10;
    MergeMaskPixels(mask.rows(), src.rows(), dst.rows(), 2, 1);
    EXPECT_EQ(std::vector<std::uint8_t>(dst.at(0, 0), dst.at(0, 0) + 4),
              (std::vector<std::uint8_t>{128, 128, 128, 128}));
    EXPECT_EQ(std::vector<std::uint8_t>(dst.at(1, 0), dst.at(1, 0) + 4),
              (std::vector<std::uint8_t>{10, 255, 255, 255}));
}

TEST(AlphaMask, BlurRefusesOtherPixelFormats) {
    TBitmap bmp(4, 4);
    bmp.SetPixelFormat(pf32bit);
    try {
        GaussianBlur(&bmp, 1.0);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Blur only works for 24-bit bitmaps");
    }
}

TEST(AlphaMask, RoundRectMaskIsFilledOrOutlined) {
    TBitmap filled;
    MakeRoundRectMask(&filled, 40, 30, 0, 6, 0);
    EXPECT_EQ(filled.PixelFormat(), pf24bit);
    EXPECT_EQ(filled.Width(), 40);
    EXPECT_EQ(filled.PixelColor(20, 15), clWhite);
    EXPECT_EQ(filled.PixelColor(1, 1), clBlack);
    EXPECT_EQ(filled.PixelColor(2, 2), clBlack); // rounded corner

    TBitmap outline;
    MakeRoundRectMask(&outline, 40, 30, 2, 6, 0);
    EXPECT_EQ(outline.PixelColor(20, 15), clBlack);
    EXPECT_EQ(outline.PixelColor(20, 3), clWhite);

    TBitmap blurred;
    MakeRoundRectMask(&blurred, 40, 30, 2, 6, 1.5);
    const int edge = GetRValue(blurred.PixelColor(20, 3));
    EXPECT_GT(edge, 0);
    EXPECT_LT(edge, 255);
    EXPECT_GT(GetRValue(blurred.PixelColor(20, 5)), 0); // spread inwards
}

TEST(AlphaMask, GridAlphaMaskMergesOnlyTwentyFourBitPictures) {
    TBitmap mask(2, 2);
    mask.SetPixelFormat(pf24bit);
    mask.Canvas()->Brush()->SetColor(RGB(128, 0, 0));
    mask.Canvas()->FillRect(TRect(0, 0, 2, 2));
    TBitmap white(3, 2);
    white.Canvas()->Brush()->SetColor(clWhite);
    white.Canvas()->FillRect(TRect(0, 0, 3, 2));

    TGridAlphaMask alpha;
    EXPECT_EQ(alpha.PixelFormat(), pf32bit);
    EXPECT_EQ(alpha.Opacity(), 255);
    white.SetPixelFormat(pf32bit);
    alpha.MergeMask(&mask, &white, clNone);
    EXPECT_EQ(alpha.Width(), 0); // unchanged
    white.SetPixelFormat(pf24bit);
    alpha.MergeMask(&mask, &white, clNone);
    ASSERT_EQ(alpha.Width(), 3);
    EXPECT_EQ(std::vector<std::uint8_t>(alpha.ScanLine(1), alpha.ScanLine(1) + 4),
              (std::vector<std::uint8_t>{128, 128, 128, 128}));
    EXPECT_EQ(alpha.ScanLine(1)[2 * 4 + 3], 0); // beyond the mask: transparent

    TGridAlphaMask copy;
    alpha.SetOpacity(90);
    copy.Assign(&alpha);
    EXPECT_EQ(copy.Opacity(), 90);
    EXPECT_EQ(copy.PixelFormat(), pf32bit);
    EXPECT_EQ(std::vector<std::uint8_t>(copy.ScanLine(1), copy.ScanLine(1) + 12),
              std::vector<std::uint8_t>(alpha.ScanLine(1), alpha.ScanLine(1) + 12));
    copy.Assign(&mask); // any other bitmap: copied as a bitmap, kept 32-bit
    EXPECT_EQ(copy.Width(), 2);
    EXPECT_EQ(copy.PixelFormat(), pf32bit);
}
