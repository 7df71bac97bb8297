#include "platform/gfx/Imaging.h"
#include "platform/gfx/ImageList.h"

#include "tests/PeakMemory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>

namespace {
// A 4 x 3 test card: each pixel a different colour.
void paintCard(TBitmap& b) {
    b.SetSize(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) b.Canvas()->SetPixels(x, y, RGB(x * 60, y * 100, 200 - x * 40));
}

std::vector<std::uint8_t> bytesOf(const TGraphic& g) {
    TMemoryStream m;
    g.SaveToStream(m);
    return m.Bytes();
}

template <class G> void loadBytes(G& g, const std::vector<std::uint8_t>& bytes) {
    TMemoryStream m;
    if (!bytes.empty()) m.WriteBuffer(bytes.data(), std::int64_t(bytes.size()));
    m.SetPosition(0);
    g.LoadFromStream(m);
}

std::string tempPath(const std::string& name) {
    return ::testing::TempDir() + "gfx_" + name;
}

int channelDistance(TColor a, TColor b) {
    return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                     std::abs(GetBValue(a) - GetBValue(b))});
}
} // namespace

TEST(BitmapFiles, RoundTripKeepsPixelsAndFormat) {
    for (TPixelFormat pf : {pf24bit, pf32bit}) {
        TBitmap card;
        card.SetPixelFormat(pf);
        paintCard(card);
        TBitmap back;
        loadBytes(back, bytesOf(card));
        ASSERT_EQ(back.Width(), 4);
        ASSERT_EQ(back.Height(), 3);
        EXPECT_EQ(back.PixelFormat(), pf);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(back.PixelColor(x, y), card.PixelColor(x, y)) << x << "," << y;
    }
}

TEST(BitmapFiles, ReadsPalettedBottomUpAndRefusesGarbage) {
    // 2 x 2, 8 bits, two palette entries; rows are stored bottom-up, 4 bytes each.
    std::vector<std::uint8_t> f = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0, 40, 0, 0, 0, 2,
                                   0, 0, 0, 2, 0, 0, 0, 1, 0, 8, 0, 0, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0,
                                   0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x00, 0xFF, 0, 0xFF,
                                   0x00, 0x00, 0, // red, blue
                                                  // (B, G, R,
                                                  // 0)
                                   1, 1, 0, 0,    // bottom row: blue blue
                                   0, 1, 0, 0};   // top row: red blue
    TBitmap b;
    loadBytes(b, f);
    EXPECT_EQ(b.PixelColor(0, 0), clRed);
    EXPECT_EQ(b.PixelColor(1, 0), clBlue);
    EXPECT_EQ(b.PixelColor(0, 1), clBlue);

    std::vector<std::uint8_t> truncated(f.begin(), f.begin() + 64);
    EXPECT_THROW(loadBytes(b, truncated), EInvalidGraphic);
    EXPECT_THROW(loadBytes(b, {'B', 'X', 0, 0}), EInvalidGraphic);
}

namespace {
void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}

// A BMP file: its header and bits as given, whatever they say.
std::vector<std::uint8_t> bmpFile(std::int32_t w, std::int32_t h, int bpp, int compression,
                                  const std::vector<std::uint8_t>& bits) {
    std::vector<std::uint8_t> f(54, 0);
    f[0] = 'B';
    f[1] = 'M';
    put32(f, 2, std::uint32_t(54 + bits.size()));
    put32(f, 10, 54);
    put32(f, 14, 40);
    put32(f, 18, std::uint32_t(w));
    put32(f, 22, std::uint32_t(h));
    f[26] = 1;
    f[28] = std::uint8_t(bpp);
    put32(f, 30, std::uint32_t(compression));
    f.insert(f.end(), bits.begin(), bits.end());
    return f;
}

// An icon file of one bitmap entry of width w and rows h (two per row, XOR and AND).
std::vector<std::uint8_t> icoFile(std::int32_t w, std::int32_t rows) {
    std::vector<std::uint8_t> f = {0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 0, 32, 0};
    f.resize(22, 0);
    std::vector<std::uint8_t> dib(46, 0);
    put32(dib, 0, 40);
    put32(dib, 4, std::uint32_t(w));
    put32(dib, 8, std::uint32_t(rows));
    dib[12] = 1;
    dib[14] = 32;
    put32(f, 14, std::uint32_t(dib.size()));
    put32(f, 18, 22);
    f.insert(f.end(), dib.begin(), dib.end());
    return f;
}
} // namespace

// A header may claim any size; a picture is only as large as its data can fill, and a picture
// read from a file is bounded lower still. Refusing costs no memory.
TEST(BitmapFiles, RefusesSizesTheDataCannotFill) {
    const std::vector<std::uint8_t> eol(10, 0); // five RLE end-of-line codes
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        bool icon;
    };
    const Case cases[] = {
        {"uncompressed 16384 x 16384 in 10 bytes", bmpFile(16384, 16384, 24, 0, eol), false},
        {"RLE8 16384 x 16384 in 10 bytes", bmpFile(16384, 16384, 8, 1, eol), false},
        {"RLE4 16384 x 16384 in 10 bytes", bmpFile(16384, 16384, 4, 2, eol), false},
        {"height of the most negative number",
         bmpFile(1, std::numeric_limits<std::int32_t>::min(), 24, 0, eol), false},
        {"icon of 32768 x 16384 in 68 bytes", icoFile(32768, 32768), true},
    };
    for (const Case& c : cases) {
        const long growth = peakmemory::growthMiB([&] {
            if (c.icon) {
                TIcon icon;
                EXPECT_THROW(loadBytes(icon, c.bytes), EInvalidGraphic) << c.what;
            } else {
                TBitmap b;
                EXPECT_THROW(loadBytes(b, c.bytes), EInvalidGraphic) << c.what;
            }
        });
        EXPECT_LT(growth, 16) << c.what;
    }
}

TEST(BitmapFiles, APictureFromAFileIsBoundedLower) {
    // 4100 x 4100 pixels (more than 4096 x 4096), RLE8 with enough codes to reach them.
    const std::vector<std::uint8_t> file =
        bmpFile(4100, 4100, 8, 1, std::vector<std::uint8_t>(600, 0));
    TBitmap fromMemory;
    // What an accepted picture of this size costs, which the refusals above do not.
    EXPECT_GT(peakmemory::growthMiB([&] { loadBytes(fromMemory, file); }), 32);
    EXPECT_EQ(fromMemory.Width(), 4100);
    fromMemory.SetSize(0, 0);

    const std::string path = tempPath("large.bmp");
    {
        TMemoryStream m;
        m.WriteBuffer(file.data(), std::int64_t(file.size()));
        m.SaveToFile(path);
    }
    TBitmap b;
    EXPECT_THROW(b.LoadFromFile(path), EInvalidGraphic);
    TPicture p;
    EXPECT_THROW(p.LoadFromFile(path), EInvalidGraphic);
    std::remove(path.c_str());
    // The bound holds only while the file is read.
    loadBytes(b, file);
    EXPECT_EQ(b.Height(), 4100);
}

TEST(PngFiles, RoundTripKeepsColourAndAlpha) {
    TBitmap card;
    paintCard(card);
    TPngImage png;
    png.Assign(&card);
    TPngImage back;
    loadBytes(back, bytesOf(png));
    ASSERT_NE(back.Frame(), nullptr);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(back.Frame()->PixelColor(x, y), card.PixelColor(x, y));

    TBitmap alpha(2, 1);
    alpha.SetPixelFormat(pf32bit);
    alpha.SetAlphaFormat(afDefined);
    alpha.Pixels32()[0] = 0x80FF0000u; // half-transparent red
    alpha.Pixels32()[1] = 0x00000000u;
    png.Assign(&alpha);
    loadBytes(back, bytesOf(png));
    EXPECT_EQ(back.Frame()->Pixels32()[0], 0x80FF0000u);
    EXPECT_EQ(back.Frame()->Pixels32()[1] >> 24, 0u);

    auto bytes = bytesOf(png);
    bytes.resize(bytes.size() / 2);
    EXPECT_THROW(loadBytes(back, bytes), EInvalidGraphic);
    EXPECT_EQ(back.Width(), 2) << "a failed load keeps the image";
}

TEST(PngFiles, SavePngWritesAFileThatLoadsBack) {
    TBitmap card;
    paintCard(card);
    std::string path = tempPath("card.png");
    SavePng(card, path);
    TPicture pic;
    pic.LoadFromFile(path);
    ASSERT_NE(dynamic_cast<TPngImage*>(pic.Graphic()), nullptr);
    EXPECT_EQ(pic.Width(), 4);
    EXPECT_EQ(pic.Bitmap()->PixelColor(3, 2), card.PixelColor(3, 2));
    std::remove(path.c_str());
}

// Saving replaces the file whole and leaves no temporary file beside it; a save that cannot
// create its file raises.
TEST(BitmapFiles, SaveReplacesTheFileAndLeavesNothingBeside) {
    const std::string dir = tempPath("save_dir");
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string path = dir + "/card.bmp";
    TBitmap card;
    paintCard(card);
    card.SaveToFile(path);
    TBitmap wide(40, 30);
    wide.SaveToFile(path);
    TPicture pic;
    pic.LoadFromFile(path);
    EXPECT_EQ(pic.Width(), 40);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_THROW(wide.SaveToFile(dir + "/missing/card.bmp"), EFCreateError);
    std::filesystem::remove_all(dir);
}

TEST(JpegFiles, RoundTripIsCloseAndQualityMatters) {
    TBitmap flat(16, 16);
    flat.Canvas()->Brush()->SetColor(RGB(200, 100, 50));
    flat.Canvas()->FillRect(TRect(0, 0, 16, 16));
    flat.Canvas()->Brush()->SetColor(RGB(20, 40, 220));
    flat.Canvas()->FillRect(TRect(8, 0, 16, 16));
    TJPEGImage jpg;
    jpg.Assign(&flat);
    jpg.SetCompressionQuality(95);
    auto good = bytesOf(jpg);
    TJPEGImage back;
    loadBytes(back, good);
    EXPECT_LE(channelDistance(back.Frame()->PixelColor(2, 2), RGB(200, 100, 50)), 8);
    EXPECT_LE(channelDistance(back.Frame()->PixelColor(13, 13), RGB(20, 40, 220)), 8);
    jpg.SetCompressionQuality(5);
    EXPECT_LT(bytesOf(jpg).size(), good.size());

    jpg.SetGrayscale(true);
    loadBytes(back, bytesOf(jpg));
    TColor g = back.Frame()->PixelColor(2, 2);
    EXPECT_EQ(GetRValue(g), GetGValue(g));
    EXPECT_EQ(GetGValue(g), GetBValue(g));

    good.resize(20);
    EXPECT_THROW(loadBytes(back, good), EInvalidGraphic);
}

TEST(IconFiles, ReadsMaskedIconsAndRoundTrips) {
    // 2 x 2, 24 bits, XOR rows of 8 bytes then AND rows of 4 bytes, both bottom-up.
    std::vector<std::uint8_t> ico = {
        0,    0, 1, 0,    1,    0,                                           // header
        2,    2, 0, 0,    1,    0,    24, 0, 64,   0, 0,    0, 22, 0, 0,  0, // entry
        40,   0, 0, 0,    2,    0,    0,  0, 4,    0, 0,    0, 1,  0, 24, 0, 0,
        0,    0, 0, 0,    0,    0,    0,  0, 0,    0, 0,    0, 0,  0, 0,  0, 0,
        0,    0, 0, 0,    0,    0,    0,  0, 0xFF, 0, 0xFF, 0, 0,  0, // bottom row: red, green
        0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0,  0,                          // top row: blue, white
        0x00, 0, 0, 0,                                                // bottom AND: opaque
        0x40, 0, 0, 0};                                               // top AND: second clear
    TIcon icon;
    loadBytes(icon, ico);
    ASSERT_EQ(icon.Width(), 2);
    const TBitmap* f = icon.Frame();
    EXPECT_EQ(f->PixelColor(0, 0), clBlue);
    EXPECT_EQ(f->Pixels32()[1] >> 24, 0u);
    EXPECT_EQ(f->PixelColor(0, 1), clRed);
    EXPECT_EQ(f->Pixels32()[3], 0xFF00FF00u);

    TIcon back;
    loadBytes(back, bytesOf(icon));
    for (int i = 0; i < 4; ++i) {
        if (f->Pixels32()[i] >> 24) {
            EXPECT_EQ(back.Frame()->Pixels32()[i], f->Pixels32()[i]) << i;
        }
    }
    EXPECT_EQ(back.Frame()->Pixels32()[1] >> 24, 0u);
}

TEST(Pictures, LoadByContentThenExtensionAndConvertToBitmap) {
    // A one-pixel GIF with a red palette entry.
    std::vector<std::uint8_t> gif = {'G', 'I',  'F', '8', '9', 'a', 1, 0,    1,    0, 0x80, 0,
                                     0,   0xFF, 0,   0,   0,   0,   0, 0x2C, 0,    0, 0,    0,
                                     1,   0,    1,   0,   0,   2,   2, 0x44, 0x01, 0, 0x3B};
    std::string path = tempPath("pixel.dat");
    {
        TMemoryStream m;
        m.WriteBuffer(gif.data(), std::int64_t(gif.size()));
        m.SaveToFile(path);
    }
    TPicture pic;
    int changes = 0;
    pic.OnChange = [&](TObject*) { ++changes; };
    pic.LoadFromFile(path);
    ASSERT_NE(dynamic_cast<TGIFImage*>(pic.Graphic()), nullptr);
    EXPECT_EQ(changes, 1);
    TBitmap* bmp = pic.Bitmap();
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(bmp->PixelColor(0, 0), clRed);
    EXPECT_EQ(pic.Graphic(), bmp);

    std::string bad = tempPath("garbage.xyz");
    {
        TMemoryStream m;
        m.WriteBuffer("nothing", 7);
        m.SaveToFile(bad);
    }
    try {
        pic.LoadFromFile(bad);
        FAIL() << "no exception";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "Unknown picture file extension (.xyz)");
    }
    EXPECT_NE(pic.Graphic(), nullptr) << "a failed load keeps the picture";
    std::remove(path.c_str());
    std::remove(bad.c_str());
}

TEST(ImageLists, AddMaskedSplitsAndDrawsTransparently) {
    TBitmap strip(8, 4); // two 4 x 4 images on a fuchsia background
    strip.Canvas()->Brush()->SetColor(clFuchsia);
    strip.Canvas()->FillRect(TRect(0, 0, 8, 4));
    strip.Canvas()->SetPixels(1, 1, clRed);
    strip.Canvas()->SetPixels(6, 2, clBlue);
    TImageList list;
    list.SetSize(4, 4);
    EXPECT_EQ(list.AddMasked(&strip, clDefault), 0);
    EXPECT_EQ(list.Count(), 2);

    TBitmap target(6, 6);
    target.Canvas()->Brush()->SetColor(clGreen);
    target.Canvas()->FillRect(TRect(0, 0, 6, 6));
    list.Draw(target.Canvas(), 1, 1, 1);
    int green = 0;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) green += target.PixelColor(x, y) == clGreen;
    EXPECT_EQ(green, 35);
    EXPECT_EQ(target.PixelColor(3, 3), clBlue);

    list.Draw(target.Canvas(), 1, 1, 0, false);
    EXPECT_EQ(target.PixelColor(2, 2), ColorToRGB(clBtnShadow)); // disabled: embossed
    EXPECT_EQ(target.PixelColor(3, 3), ColorToRGB(clBtnHighlight));

    TBitmap out;
    list.SetBkColor(clYellow);
    EXPECT_TRUE(list.GetBitmap(1, &out));
    EXPECT_EQ(out.PixelColor(0, 0), clYellow);
    EXPECT_EQ(out.PixelColor(2, 2), clBlue);
    EXPECT_FALSE(list.GetBitmap(5, &out));
    list.SetWidth(8);
    EXPECT_EQ(list.Count(), 0);
}

// A frame header claiming 12000 x 12000 pixels is refused before the decoder allocates for it
// (a progressive picture's buffers are allocated when decompressing starts).
TEST(JpegFiles, RefusesAHugeHeaderWithoutAllocating) {
    TBitmap flat(16, 16);
    flat.Canvas()->Brush()->SetColor(RGB(200, 100, 50));
    flat.Canvas()->FillRect(TRect(0, 0, 16, 16));
    for (bool progressive : {false, true}) {
        TJPEGImage jpg;
        jpg.Assign(&flat);
        jpg.SetProgressiveEncoding(progressive);
        std::vector<std::uint8_t> bytes = bytesOf(jpg);
        for (std::size_t i = 2; i + 9 < bytes.size(); ++i)
            if (bytes[i] == 0xFF && (bytes[i + 1] == 0xC0 || bytes[i + 1] == 0xC2)) {
                bytes[i + 5] = bytes[i + 7] = 12000 >> 8;
                bytes[i + 6] = bytes[i + 8] = 12000 & 0xFF;
                break;
            }
        TJPEGImage back;
        const long growth = peakmemory::growthMiB(
            [&] { EXPECT_THROW(loadBytes(back, bytes), EInvalidGraphic) << progressive; });
        EXPECT_LT(growth, 16) << progressive;
    }
}
