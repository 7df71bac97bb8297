// Markup pictures: every format from a file, truncated and corrupt files, GIF frames and their
// animation, loading by URL, the picture cache and the picture container.
#include "grid/render/markup/HTMLPicture.h"
#include "platform/base/Resources.h"
#include "platform/files/Files.h"

#include "PictureFixtures.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using fixtures::Bytes;

constexpr TColor kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

std::string writeFile(const std::string& name, const Bytes& data) {
    const std::string path = ::testing::TempDir() + "htmlpic_" + name;
    WriteBinaryFile(path, data.data(), data.size());
    return path;
}

// Three frames: red 4 x 4 at (0, 0) for 10, green 2 x 3 at (1, 2) for 20, blue 3 x 1 at (5, 6)
// for 30 hundredths of a second, on an 8 x 8 screen.
Bytes threeFrames() {
    return fixtures::gif(8, 8, {kRed, kGreen, kBlue},
                         {{0, 0, 4, 4, 10, 0}, {1, 2, 2, 3, 20, 1}, {5, 6, 3, 1, 30, 2}});
}

TColor pixelAt(const THTMLPicture& p, int x, int y) {
    return p.Frame() ? p.Frame()->PixelColor(x, y) : CLR_INVALID;
}

TEST(HTMLPicture, LoadsEveryFormatFromAFile) {
    struct Case {
        const char* name;
        Bytes data;
        int w, h;
        TColor colour;
    };
    const Case cases[] = {
        {"pic.bmp", fixtures::bmp(6, 5, kRed), 6, 5, kRed},
        {"pic.png", fixtures::png(6, 5, kGreen), 6, 5, kGreen},
        {"pic.jpg", fixtures::jpeg(16, 8, kBlue), 16, 8, kBlue},
        {"pic.gif", fixtures::gif(6, 5, {kGreen}, {{0, 0, 6, 5, 0, 0}}), 6, 5, kGreen},
        {"pic.ico", fixtures::ico(16, 16, kRed), 16, 16, kRed},
    };
    for (const auto& c : cases) {
        THTMLPicture p;
        int changes = 0;
        p.OnChange = [&](TObject*) { ++changes; };
        p.LoadFromFile(writeFile(c.name, c.data));
        ASSERT_FALSE(p.Empty()) << c.name;
        EXPECT_EQ(p.Width(), c.w) << c.name;
        EXPECT_EQ(p.Height(), c.h) << c.name;
        EXPECT_EQ(changes, 1) << c.name;
        // JPEG is lossy: a solid colour comes back within a few steps.
        const TColor got = pixelAt(p, 2, 2);
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(int((got >> shift) & 0xFF), int((c.colour >> shift) & 0xFF), 6) << c.name;
        // The raw bytes go out unchanged.
        TMemoryStream out;
        p.SaveToStream(out);
        EXPECT_EQ(out.Bytes(), c.data) << c.name;
    }
}

TEST(HTMLPicture, TruncatedOrCorruptFilesShowNoPicture) {
    auto cut = [](Bytes b, std::size_t n) {
        b.resize(n);
        return b;
    };
    auto spoil = [](Bytes b, std::size_t from) {
        for (std::size_t i = from; i < b.size(); ++i) b[i] = 0xA5;
        return b;
    };
    const Bytes gif1 = fixtures::gif(6, 5, {kGreen}, {{0, 0, 6, 5, 0, 0}});
    struct Case {
        const char* name;
        Bytes data;
    };
    const Case cases[] = {
        {"empty.bmp", {}},
        {"header.bmp", cut(fixtures::bmp(6, 5, kRed), 20)},
        {"half.bmp", cut(fixtures::bmp(6, 5, kRed), 80)},
        {"header.png", cut(fixtures::png(6, 5, kRed), 12)},
        {"half.png", cut(fixtures::png(6, 5, kRed), 40)},
        {"spoilt.png", spoil(fixtures::png(6, 5, kRed), 16)},
        {"header.jpg", cut(fixtures::jpeg(16, 8, kRed), 8)},
        {"spoilt.jpg", spoil(fixtures::jpeg(16, 8, kRed), 2)},
        {"header.ico", cut(fixtures::ico(16, 16, kRed), 10)},
        {"half.ico", cut(fixtures::ico(16, 16, kRed), 300)},
        {"header.gif", cut(gif1, 9)},
        // Cut inside the first frame's control extension and descriptor: no frame starts there.
        {"descriptor.gif", cut(gif1, 13 + 3 * 128 + 11)},
        {"spoilt.gif", spoil(gif1, 13 + 3 * 128)},
        {"garbage.bin", {'n', 'o', 'p', 'i', 'c', 't', 'u', 'r', 'e'}},
    };
    for (const auto& c : cases) {
        THTMLPicture p;
        p.LoadFromFile(writeFile(c.name, c.data));
        EXPECT_TRUE(p.Empty()) << c.name;
        EXPECT_EQ(p.Width(), 0) << c.name;
        TMemoryStream out;
        p.SaveToStream(out);
        EXPECT_EQ(out.Size(), 0) << c.name;
        TBitmap target(10, 10);
        p.Draw(target.Canvas(), TRect(0, 0, 10, 10));
        EXPECT_EQ(target.PixelColor(3, 3), clWhite) << c.name;
    }
    THTMLPicture missing;
    missing.LoadFromFile(::testing::TempDir() + "htmlpic_no_such_file.gif");
    EXPECT_TRUE(missing.Empty());
}

TEST(HTMLPicture, StreamLoadRaisesOnBadBytesAndStaysEmpty) {
    THTMLPicture p;
    TMemoryStream m;
    const Bytes good = fixtures::png(3, 3, kRed);
    m.WriteBuffer(good.data(), std::int64_t(good.size()));
    m.SetPosition(0);
    p.LoadFromStream(m);
    ASSERT_FALSE(p.Empty());
    TMemoryStream bad;
    bad.WriteBuffer("abcd", 4);
    bad.SetPosition(0);
    EXPECT_THROW(p.LoadFromStream(bad), EInvalidGraphic);
    EXPECT_TRUE(p.Empty());
    EXPECT_EQ(p.Width(), 0);
    EXPECT_FALSE(p.IsGIF());
    EXPECT_EQ(p.FrameCount(), -1);
}

TEST(HTMLPicture, FramesOfAnAnimatedGif) {
    THTMLPicture p;
    TMemoryStream m;
    const Bytes data = threeFrames();
    m.WriteBuffer(data.data(), std::int64_t(data.size()));
    m.SetPosition(0);
    p.LoadFromStream(m);
    ASSERT_TRUE(p.IsGIF());
    EXPECT_EQ(p.FrameCount(), 3);
    EXPECT_EQ(p.MaxWidth(), 8);
    EXPECT_EQ(p.MaxHeight(), 8);
    struct Case {
        int frame, x, y, w, h, time;
        TColor colour;
    };
    const Case cases[] = {
        {1, 0, 0, 4, 4, 10, kRed},
        {2, 1, 2, 2, 3, 20, kGreen},
        {3, 5, 6, 3, 1, 30, kBlue},
    };
    int frameChanges = 0;
    p.OnFrameChange = [&](TObject*) { ++frameChanges; };
    for (const auto& c : cases) {
        p.SetFrame(c.frame);
        EXPECT_EQ(p.FrameXPos(), c.x) << c.frame;
        EXPECT_EQ(p.FrameYPos(), c.y) << c.frame;
        EXPECT_EQ(p.Width(), c.w) << c.frame;
        EXPECT_EQ(p.Height(), c.h) << c.frame;
        EXPECT_EQ(pixelAt(p, 0, 0), c.colour) << c.frame;
        EXPECT_EQ(p.GetFrameTime(c.frame), c.time) << c.frame;
    }
    EXPECT_EQ(frameChanges, 3);
    EXPECT_EQ(p.GetFrameTime(4), -1);
    p.FrameNext();
    EXPECT_EQ(p.FrameNum(), 1);
    p.FramePrev();
    EXPECT_EQ(p.FrameNum(), 3);
}

TEST(HTMLPicture, FrameStartsNeedTheirWholeDescriptorInTheFile) {
    // Two frames, then the file ends 11 bytes into a third frame's control extension.
    Bytes data = fixtures::gif(8, 8, {kRed, kGreen}, {{0, 0, 2, 2, 5, 0}, {3, 3, 2, 2, 5, 1}});
    data.pop_back(); // the trailer
    const Bytes partial = {0x21, 0xF9, 0x04, 0x04, 0x05, 0x00, 0x00, 0x00, 0x2C, 0x07, 0x00};
    data.insert(data.end(), partial.begin(), partial.end());
    THTMLPicture p;
    p.LoadFromFile(writeFile("partial.gif", data));
    EXPECT_EQ(p.FrameCount(), 2);
    p.SetFrame(2);
    EXPECT_EQ(p.FrameXPos(), 3);
    EXPECT_EQ(pixelAt(p, 0, 0), kGreen);
}

TEST(HTMLPicture, AnimationStepsFollowTheFrameTimes) {
    THTMLPicture p;
    p.LoadFromFile(writeFile("anim.gif", threeFrames()));
    // The count is cached by asking for it; before that a picture does not animate.
    EXPECT_FALSE(p.Step());
    ASSERT_EQ(p.FrameCount(), 3);
    // Ticks of 100 ms against 10, 20 and 30 hundredths: the step at tick t changes the frame
    // when t * 10 reaches the running total of the delays.
    std::string seen;
    for (int tick = 0; tick < 8; ++tick) seen += p.Step() ? std::to_string(p.FrameNum()) : ".";
    EXPECT_EQ(seen, "..2.3..1");

    THTMLPicture single;
    single.LoadFromFile(writeFile("one.gif", fixtures::gif(2, 2, {kRed}, {{0, 0, 2, 2, 0, 0}})));
    EXPECT_EQ(single.FrameCount(), 1);
    for (int tick = 0; tick < 5; ++tick) EXPECT_FALSE(single.Step());
}

TEST(HTMLPicture, LoadsByUrlWithoutEverFetching) {
    RegisterResourceData("LOGO", fixtures::png(4, 3, kBlue));
    RegisterResourceData("#7", fixtures::bmp(2, 2, kRed));
    const std::string path = writeFile("Mixed_Case.PNG", fixtures::png(5, 2, kGreen));
    struct Case {
        std::string url;
        int w;
        std::string id, urlKept;
    };
    const Case cases[] = {
        {"res://logo", 4, "res://logo", ""},
        {"RES://Logo", 4, "RES://Logo", ""},
        {"RES://none", 0, "RES://none", ""},
        {"file://" + path, 5, "file://" + path, ""},
        {"FILE://" + path, 5, "FILE://" + path, ""},
        {"http://127.0.0.1:9/pic.png", 0, "http://127.0.0.1:9/pic.png",
         "http://127.0.0.1:9/pic.png"},
    };
    for (bool asynch : {true, false})
        for (const auto& c : cases) {
            THTMLPicture p;
            p.SetAsynch(asynch);
            p.LoadFromURL(c.url);
            EXPECT_EQ(p.Width(), c.w) << c.url;
            EXPECT_EQ(p.Empty(), c.w == 0) << c.url;
            EXPECT_EQ(p.ID(), c.id) << c.url;
            EXPECT_EQ(p.URL(), c.urlKept) << c.url;
            EXPECT_FALSE(p.Busy()) << c.url;
        }
    THTMLPicture byId;
    byId.LoadFromResourceID(7);
    EXPECT_EQ(byId.Width(), 2);
    EXPECT_THROW(byId.LoadFromResourceID(8), EResNotFound);
    byId.LoadFromResourceName("nothing");
    EXPECT_EQ(byId.Width(), 2);
    UnregisterResourceData("LOGO");
    UnregisterResourceData("#7");
}

TEST(HTMLPicture, AssignCopiesTheBytesAndDrawsAtSizeOrStretched) {
    THTMLPicture a;
    a.LoadFromFile(writeFile("assign.png", fixtures::png(3, 2, kRed)));
    THTMLPicture b;
    b.Assign(&a);
    EXPECT_EQ(b.Width(), 3);
    TBitmap target(12, 12);
    target.Canvas()->Brush()->SetColor(clWhite);
    target.Canvas()->FillRect(TRect(0, 0, 12, 12));
    b.Draw(target.Canvas(), TRect(1, 1, 11, 11));
    EXPECT_EQ(target.PixelColor(3, 2), kRed);
    EXPECT_EQ(target.PixelColor(4, 2), clWhite);
    EXPECT_EQ(target.PixelColor(3, 3), clWhite);
    b.SetStretch(true);
    b.Draw(target.Canvas(), TRect(1, 1, 11, 11));
    EXPECT_EQ(target.PixelColor(10, 10), kRed);
    EXPECT_EQ(target.PixelColor(11, 11), clWhite);

    b.Assign(nullptr);
    EXPECT_TRUE(b.Empty());
    TBitmap other(2, 2);
    a.Assign(&other);
    EXPECT_TRUE(a.Empty());
}

TEST(HTMLPictureStores, CacheMatchesIdsExactlyAndContainerIgnoresCase) {
    THTMLPictureCache cache;
    THTMLPicture* p = cache.AddPicture();
    p->SetID("FILE://a.gif");
    EXPECT_EQ(cache.FindPicture("FILE://a.gif"), p);
    EXPECT_EQ(cache.FindPicture("file://a.gif"), nullptr);
    THTMLPicture* anim = cache.AddPicture();
    anim->LoadFromFile(writeFile("cache.gif", threeFrames()));
    anim->FrameCount();
    EXPECT_FALSE(cache.Animate());
    EXPECT_FALSE(cache.Animate());
    EXPECT_TRUE(cache.Animate());
    cache.ClearPictures();
    EXPECT_EQ(cache.Count(), 0);

    TPictureContainer container(nullptr);
    TPictureItem* item = container.Items()->Add();
    item->SetName("Logo");
    item->Picture()->LoadFromFile(writeFile("item.bmp", fixtures::bmp(2, 2, kRed)));
    EXPECT_EQ(container.FindPicture("LOGO"), item->Picture());
    EXPECT_EQ(container.FindPicture("logo2"), nullptr);
    TPictureItem* copy = container.Items()->Add();
    copy->Assign(item);
    EXPECT_EQ(copy->Name(), "Logo");
    EXPECT_EQ(copy->Picture()->Width(), 2);
}

} // namespace
