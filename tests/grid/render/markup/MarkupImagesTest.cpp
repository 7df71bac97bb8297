// Boxes in markup: IMG pictures from an image list, the system icons, a picture container and
// the picture cache; BODY backgrounds; CONTROL form controls with their sizes, looks and hit
// tests; and the routines that read and rewrite CONTROL tags.
#include "grid/render/markup/HTMLPicture.h"
#include "grid/render/markup/MarkupControls.h"
#include "grid/render/markup/MarkupRender.h"
#include "platform/base/Resources.h"
#include "platform/files/Files.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/core/ShellIcons.h"

#include "PictureFixtures.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr TColor kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

class MarkupImages : public ::testing::Test {
protected:
    void SetUp() override {
        bitmap.SetSize(300, 160);
        c = bitmap.Canvas();
        clear();
        gh = c->TextHeight("gh");
        images.SetSize(10, 10);
        images.Add(fixtures::solid(10, 10, kRed).get(), nullptr);
        o.ImageList = &images;
        o.PictureContainer = &container;
        o.PictureCache = &cache;
    }
    void clear() {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(clWhite);
        c->FillRect(TRect(0, 0, 300, 160));
        c->Font()->SetColor(clBlack);
    }
    HTMLRenderResult render(const std::string& markup, TRect bounds = TRect(0, 0, 300, 160)) {
        HTMLRenderResult r;
        last = HTMLRenderText(*c, markup, bounds, o, r);
        return r;
    }
    // Pixels of colour inside area.
    int count(TColor colour, TRect area = TRect(0, 0, 300, 160)) {
        int n = 0;
        for (int y = area.Top; y < area.Bottom; ++y)
            for (int x = area.Left; x < area.Right; ++x)
                if (c->Pixels(x, y) == colour) ++n;
        return n;
    }
    // The bounding box of the pixels of one colour.
    TRect extent(TColor colour) {
        TRect r(10000, 10000, -1, -1);
        for (int y = 0; y < 160; ++y)
            for (int x = 0; x < 300; ++x)
                if (c->Pixels(x, y) == colour) {
                    r.Left = std::min(r.Left, x);
                    r.Top = std::min(r.Top, y);
                    r.Right = std::max(r.Right, x + 1);
                    r.Bottom = std::max(r.Bottom, y + 1);
                }
        return r;
    }
    THTMLPicture* named(const std::string& name, const fixtures::Bytes& data) {
        TPictureItem* item = container.Items()->Add();
        item->SetName(name);
        TMemoryStream m;
        m.WriteBuffer(data.data(), std::int64_t(data.size()));
        m.SetPosition(0);
        item->Picture()->LoadFromStream(m);
        return item->Picture();
    }

    TBitmap bitmap;
    TCanvas* c = nullptr;
    int gh = 0;
    TImageList images{nullptr};
    TPictureContainer container{nullptr};
    THTMLPictureCache cache;
    HTMLRenderOptions o;
    bool last = false;
};

TEST_F(MarkupImages, ImageListPicturesTakeTheirSizeAndAnIndexPastTheEndNothing) {
    HTMLRenderResult r = render("a<IMG SRC=\"IDX:0\">b");
    EXPECT_EQ(count(kRed), 100);
    EXPECT_EQ(r.MaxLineWidth, c->TextWidth("a") + 10 + c->TextWidth("b"));
    EXPECT_EQ(extent(kRed).Left, 1 + c->TextWidth("a"));
    clear();
    r = render("a<IMG SRC=\"IDX:1\">b");
    EXPECT_EQ(count(kRed), 0);
    EXPECT_EQ(r.MaxLineWidth, c->TextWidth("ab"));
    // Printing stretches by the scale factor.
    clear();
    o.PrintScale = true;
    o.ScaleFactor = 2;
    render("<IMG SRC=\"idx:0\">");
    EXPECT_EQ(count(kRed), 400);
}

TEST_F(MarkupImages, BoxesFollowTheFittingRuleOfText) {
    named("wide", fixtures::bmp(120, 8, kBlue));
    named("small", fixtures::bmp(30, 8, kGreen));
    // Narrower than the line but past its end: the picture starts the next line.
    HTMLRenderResult r =
        render("<IMG SRC=\"small\"><IMG SRC=\"small\"><IMG SRC=\"small\">", TRect(0, 0, 80, 100));
    EXPECT_EQ(r.TotalHeight, 2 * std::max(gh, 8));
    EXPECT_EQ(count(kGreen), 3 * 30 * 8);
    EXPECT_EQ(extent(kGreen).Bottom, std::max(gh, 8) + 8);
    // Wider than the whole line: placed and overflowing, never looping.
    clear();
    r = render("<IMG SRC=\"wide\">", TRect(0, 0, 80, 100));
    EXPECT_EQ(r.MaxLineWidth, 120);
    EXPECT_EQ(extent(kBlue), TRect(1, 0, 121, 8));
}

TEST_F(MarkupImages, WidthAndHeightScaleThePicture) {
    named("pic", fixtures::png(100, 50, kBlue));
    struct Case {
        const char* size;
        int w, h;
    };
    const Case cases[] = {
        {"", 100, 50},
        {" WIDTH=\"50\"", 50, 25},
        {" HEIGHT=\"10\"", 20, 10},
        {" WIDTH=\"30\" HEIGHT=\"40\"", 30, 40},
        {" width=30", 30, 15},
    };
    for (const auto& k : cases) {
        clear();
        HTMLRenderResult r = render(std::string("<IMG SRC=\"pic\"") + k.size + ">");
        EXPECT_EQ(extent(kBlue), TRect(1, 0, 1 + k.w, k.h)) << k.size;
        EXPECT_EQ(r.MaxLineWidth, k.w) << k.size;
    }
}

TEST_F(MarkupImages, LinkedImageShowsItsAltPictureOnlyUnderThePoint) {
    named("plain", fixtures::bmp(20, 20, kBlue));
    named("over", fixtures::bmp(20, 20, kGreen));
    const std::string markup = "<A HREF=\"go\" TITLE=\"t\"><IMG SRC=\"plain\" ALT=\"over\"></A>";
    HTMLRenderResult r = render(markup);
    EXPECT_FALSE(last);
    EXPECT_EQ(count(kBlue), 400);
    clear();
    o.HitX = 10;
    o.HitY = 10;
    r = render(markup);
    EXPECT_TRUE(last);
    EXPECT_EQ(r.HitHref, "go");
    EXPECT_EQ(r.HitTitle, "t");
    EXPECT_EQ(count(kGreen), 400);
    EXPECT_EQ(count(kBlue), 0);
    // Not in an anchor: no hit.
    clear();
    r = render("<IMG SRC=\"plain\" ALT=\"over\">");
    EXPECT_FALSE(last);
    EXPECT_EQ(count(kBlue), 400);
}

TEST_F(MarkupImages, UrlPicturesLoadOnceIntoTheCacheAndKeepTheirPathCase) {
    const std::string path = ::testing::TempDir() + "Markup_Pic.PNG";
    const auto data = fixtures::png(6, 4, kGreen);
    WriteBinaryFile(path, data.data(), data.size());
    RegisterResourceData("Marker", fixtures::bmp(5, 5, kRed));
    const std::string markup =
        "<IMG SRC=\"file://" + path + "\"><IMG SRC=\"res://marker\"><IMG SRC=\"file://nope.gif\">";
    render(markup);
    render(markup);
    EXPECT_EQ(cache.Count(), 3);
    EXPECT_EQ(count(kGreen), 24);
    EXPECT_EQ(count(kRed), 25);
    ASSERT_NE(cache.FindPicture("file://" + path), nullptr);
    EXPECT_TRUE(cache.FindPicture("file://nope.gif")->Empty());
    // Without a cache a URL names nothing; without a container a name neither.
    clear();
    o.PictureCache = nullptr;
    o.PictureContainer = nullptr;
    named("n", fixtures::bmp(4, 4, kBlue));
    HTMLRenderResult r = render(markup + "<IMG SRC=\"n\">");
    EXPECT_EQ(r.MaxLineWidth, 0);
    UnregisterResourceData("Marker");
}

TEST_F(MarkupImages, AnimatedPictureDrawsItsFrameWhereItBelongs) {
    THTMLPicture* anim = named(
        "anim", fixtures::gif(8, 8, {kRed, kGreen}, {{0, 0, 8, 8, 10, 0}, {2, 3, 4, 2, 10, 1}}));
    anim->SetFrame(2);
    c->Brush()->SetColor(kBlue); // the entry background clears the animation's area
    HTMLRenderResult r = render("<IMG SRC=\"anim\">");
    EXPECT_EQ(r.MaxLineWidth, 8);
    EXPECT_EQ(extent(kGreen), TRect(1 + 2, 3, 1 + 6, 5));
    EXPECT_EQ(count(kBlue), 64 - 8);
}

TEST_F(MarkupImages, BodyBackgroundTilesTheRectangle) {
    named("tile", fixtures::bmp(4, 4, kGreen));
    render("<BODY BACKGROUND=\"tile\">x", TRect(10, 10, 31, 23));
    EXPECT_EQ(extent(kGreen), TRect(10, 10, 31, 23));
    // Only the text covers the tiles.
    EXPECT_GT(count(kGreen), 21 * 13 - c->TextWidth("x") * gh);
}

TEST_F(MarkupImages, ControlBoxesByType) {
    struct Case {
        const char* tag;
        int w, h; // box; 0 x 0: nothing placed
    };
    const int edit = gh + 10;
    const Case cases[] = {
        {"<CONTROL TYPE=\"EDIT\" ID=\"e\" WIDTH=\"60\">", 60, edit},
        {"<CONTROL TYPE=\"PASSWORD\" ID=\"p\" WIDTH=\"40\">", 40, edit},
        {"<CONTROL TYPE=\"COMBO\" ID=\"c\" WIDTH=\"70\">", 70, 25},
        {"<CONTROL TYPE=\"BUTTON\" ID=\"b\" WIDTH=\"50\">", 50, 25},
        {"<CONTROL TYPE=\"CHECK\" ID=\"k\" WIDTH=\"80\">", 16, 16},
        {"<CONTROL TYPE=\"RADIO\" ID=\"r\" WIDTH=\"80\">", 16, 16},
        {"<CONTROL TYPE=\"EDIT\" ID=\"n\">", 0, 0},
        {"<CONTROL TYPE=\"EDIT\" ID=\"x\" WIDTH=\"wide\">", 0, 0},
    };
    for (const auto& k : cases) {
        o.MeasureOnly = true;
        HTMLRenderResult r = render(k.tag);
        EXPECT_EQ(r.MaxLineWidth, k.w) << k.tag;
        o.MeasureOnly = false;
        o.HitX = 1 + k.w / 2;
        o.HitY = k.h / 2;
        clear();
        r = render(k.tag);
        EXPECT_EQ(last, k.w > 0) << k.tag;
        if (k.w > 0) {
            EXPECT_EQ(r.HitHref, "ctrl") << k.tag;
            EXPECT_EQ(r.ControlRect, TRect(1, 0, 1 + k.w, k.h)) << k.tag;
        } else {
            EXPECT_EQ(count(clWhite), 300 * 160) << k.tag;
        }
    }
}

TEST_F(MarkupImages, ControlsDrawTheirLook) {
    render("<CONTROL TYPE=\"EDIT\" ID=\"e\" VALUE=\"ab\" WIDTH=\"60\">");
    // The line is as high as the control's line height (23) or its box, whichever is more.
    const int bottom = std::max(23, gh + 10);
    EXPECT_EQ(c->Pixels(1, bottom - 23 + 4), clGray);
    EXPECT_EQ(c->Pixels(60, bottom + 1), clGray);
    EXPECT_GT(count(clBlack, TRect(3, 4, 60, bottom)), 0);
    // A checked and an unchecked box differ only by the tick.
    clear();
    render("<CONTROL TYPE=\"CHECK\" ID=\"a\" VALUE=\"TRUE\" WIDTH=\"20\">");
    const int ticked = count(clBlack, TRect(0, 0, 40, 40));
    clear();
    render("<CONTROL TYPE=\"CHECK\" ID=\"a\" VALUE=\"false\" WIDTH=\"20\">");
    EXPECT_GT(ticked, count(clBlack, TRect(0, 0, 40, 40)));
    // A password shows stars, not its value.
    clear();
    render("<CONTROL TYPE=\"PASSWORD\" ID=\"p\" VALUE=\"iiii\" WIDTH=\"60\">");
    const int stars = count(clBlack, TRect(2, 2, 60, 30));
    clear();
    render("<CONTROL TYPE=\"EDIT\" ID=\"p\" VALUE=\"****\" WIDTH=\"60\">");
    EXPECT_EQ(stars, count(clBlack, TRect(2, 2, 60, 30)));
    // A button under the pressed point looks pushed.
    clear();
    o.HitX = 20;
    o.HitY = 10;
    render("<CONTROL TYPE=\"BUTTON\" ID=\"b\" VALUE=\"Go\" WIDTH=\"50\">");
    auto up = std::make_unique<TBitmap>();
    up->Assign(&bitmap);
    clear();
    o.ButtonDown = true;
    render("<CONTROL TYPE=\"BUTTON\" ID=\"b\" VALUE=\"Go\" WIDTH=\"50\">");
    int differ = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x)
            if (up->PixelColor(x, y) != bitmap.PixelColor(x, y)) ++differ;
    EXPECT_GT(differ, 0);
}

TEST_F(MarkupImages, HitTestFindsAControlByItsId) {
    const std::string markup = "a <CONTROL TYPE=\"EDIT\" ID=\"one\" VALUE=\"1\" WIDTH=\"30\"> "
                               "<CONTROL TYPE=\"COMBO\" ID=\"two\" VALUE=\"x&lt;y\" WIDTH=\"40\">";
    o.HitTestOnly = true;
    HTMLRenderResult r;
    r.ControlID = "two";
    EXPECT_TRUE(HTMLRenderText(*c, markup, TRect(0, 0, 300, 160), o, r));
    EXPECT_EQ(r.ControlType, "COMBO");
    EXPECT_EQ(r.ControlValue, "x<y");
    const int left = 1 + c->TextWidth("a ") + 30 + c->TextWidth(" ");
    EXPECT_EQ(r.ControlRect, TRect(left, 0, left + 40, 25));
    // Without HitTestOnly the ID is cleared first and only the point counts.
    o.HitTestOnly = false;
    r = HTMLRenderResult();
    r.ControlID = "two";
    EXPECT_FALSE(HTMLRenderText(*c, markup, TRect(0, 0, 300, 160), o, r));
    EXPECT_EQ(r.ControlID, "");
}

TEST_F(MarkupImages, SystemIconsOfFileKinds) {
    HTMLRenderResult small = render("<IMG SRC=\"SSYS:.txt\">");
    HTMLRenderResult large = render("<IMG SRC=\"LSYS:.txt\">");
    if (small.MaxLineWidth == 0) GTEST_SKIP() << "the desktop offers no file icons here";
    EXPECT_EQ(small.MaxLineWidth, 16);
    EXPECT_EQ(large.MaxLineWidth, 32);
    const int index = SystemIconIndex(".txt", true);
    EXPECT_EQ(render("<IMG SRC=\"SSYS:" + std::to_string(index) + "\">").MaxLineWidth, 16);
    EXPECT_EQ(render("<IMG SRC=\"SSYS:9999\">").MaxLineWidth, 0);
}

TEST(MarkupControls, ReadAndRewriteControlTags) {
    const std::string text =
        "<B>form</B> <CONTROL TYPE=\"CHECK\" ID=\"c1\" VALUE=\"TRUE\" WIDTH=\"20\">"
        "<control type=\"edit\" id=\"e1\" value=\"a &amp; b\" width=\"50\" maxlen=\"5\">"
        "<CONTROL TYPE=\"MASK\" ID=\"m1\" VALUE=\"\" WIDTH=\"50\" PROP=\"00&lt;0\">"
        "<CONTROL TYPE=\"BUTTON\" ID=\"b1\" VALUE=\"Go\" WIDTH=\"40\" HEIGHT=\"30\">"
        "<CONTROL TYPE=\"COMBO\" ID=\"E1\" VALUE=\"x\" WIDTH=\"60\">";
    EXPECT_TRUE(HTMLHasControls(text));
    EXPECT_FALSE(HTMLHasControls("<B>none</B>"));
    bool found = false;
    EXPECT_EQ(HTMLGetControlValue(text, "e1", found), "a & b");
    EXPECT_TRUE(found);
    EXPECT_EQ(HTMLGetControlValue(text, "zz", found), "");
    EXPECT_FALSE(found);
    EXPECT_EQ(HTMLGetControlMaxLen(text, "e1"), 5);
    EXPECT_EQ(HTMLGetControlMaxLen(text, "m1"), 0);
    EXPECT_EQ(HTMLGetControlProp(text, "m1"), "00<0");
    struct Next {
        const char* after;
        const char* next;
    };
    for (const Next& n : {Next{"", "e1"}, Next{"c1", "e1"}, Next{"e1", "m1"}, Next{"m1", "E1"},
                          Next{"E1", ""}, Next{"b1", "E1"}, Next{"zz", ""}})
        EXPECT_EQ(HTMLNextControlID(text, n.after), n.next) << n.after;

    std::string t = text;
    ASSERT_TRUE(HTMLSetControlValue(t, "e1", "say \"<hi>\" é"));
    EXPECT_EQ(HTMLGetControlValue(t, "e1", found), "say \"<hi>\" é");
    EXPECT_NE(t.find("<CONTROL ID=\"e1\" VALUE=\"say &quot;&lt;hi&gt;&quot; &eacute;\" "
                     "WIDTH=\"50\" TYPE=\"EDIT\" MAXLEN=\"5\">"),
              std::string::npos)
        << t;
    EXPECT_EQ(t.substr(0, 12), "<B>form</B> ");
    ASSERT_TRUE(HTMLSetControlValue(t, "m1", "12"));
    EXPECT_EQ(HTMLGetControlProp(t, "m1"), "00<0");
    EXPECT_FALSE(HTMLSetControlValue(t, "none", "x"));
    // A written tag drops HEIGHT.
    ASSERT_TRUE(HTMLSetControlValue(t, "b1", "Stop"));
    EXPECT_EQ(t.find("HEIGHT"), std::string::npos);

    std::string radios = "<CONTROL TYPE=\"RADIO\" ID=\"r1\" VALUE=\"TRUE\" WIDTH=\"20\">"
                         "<CONTROL TYPE=\"RADIO\" ID=\"r2\" VALUE=\"FALSE\" WIDTH=\"20\">"
                         "<CONTROL TYPE=\"CHECK\" ID=\"k\" VALUE=\"TRUE\" WIDTH=\"20\">";
    radios = HTMLClearRadioControls(radios);
    ASSERT_TRUE(HTMLSetControlValue(radios, "r2", "TRUE"));
    EXPECT_EQ(HTMLGetControlValue(radios, "r1", found), "FALSE");
    EXPECT_EQ(HTMLGetControlValue(radios, "r2", found), "TRUE");
    EXPECT_EQ(HTMLGetControlValue(radios, "k", found), "TRUE");

    EXPECT_EQ(HTMLPasswordMask("pässwörd"), "********");
}

} // namespace
