#include "ShellTestSupport.h"
#include "shell/VelmareFirmWare.h"

#include "platform/testing/UiTest.h"

namespace {

using MainWindowPaint = ShellTest;

// Pixels of the rectangle that differ from the background.
int inkIn(const TBitmap& image, TRect r, TColor background) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (image.PixelColor(x, y) != background) ++n;
    return n;
}

TEST_F(MainWindowPaint, TheWindowPaintsItsBackgroundCaptionsAndFrames) {
    StartProgram();
    TFVelmareFirmWare* w = FVelmareFirmWare;
    std::unique_ptr<TBitmap> image = uitest::render(w);
    SavePng(*image, Path("main.png"));
    ASSERT_EQ(image->Width(), 694);
    ASSERT_EQ(image->Height(), 484);

    // Empty places of the client area show the form colour.
    for (TPoint p : {TPoint{300, 20}, TPoint{450, 200}, TPoint{5, 470}, TPoint{690, 300}})
        EXPECT_EQ(image->PixelColor(p.X, p.Y), TColor(15595512)) << p.X << "," << p.Y;

    // Each caption leaves ink where its label stands, and nothing is drawn for hidden steps.
    for (TControl* c :
         {static_cast<TControl*>(w->L_SW_Code), static_cast<TControl*>(w->L_Begin),
          static_cast<TControl*>(w->L_Step[0]), static_cast<TControl*>(w->L_Step[5]),
          static_cast<TControl*>(w->L_Name_Conf), static_cast<TControl*>(w->L_Name_Conf_L2)})
        EXPECT_GT(inkIn(*image, c->BoundsRect(), 15595512), 10) << c->Name();
    EXPECT_EQ(inkIn(*image, w->L_Step[6]->BoundsRect(), 15595512), 0);
    EXPECT_EQ(inkIn(*image, w->L_Step[7]->BoundsRect(), 15595512), 0);

    // The software code is drawn in grey.
    const TRect code = w->L_SW_Code->BoundsRect();
    bool grey = false;
    for (int y = code.Top; y < code.Bottom && !grey; ++y)
        for (int x = code.Left; x < code.Right && !grey; ++x)
            grey = image->PixelColor(x, y) == clGray;
    EXPECT_TRUE(grey);

    // The frame of the project lines and the separator are silver lines.
    EXPECT_EQ(image->PixelColor(200, 70), clSilver);
    EXPECT_EQ(image->PixelColor(200, 383), clSilver);
    // The buttons of the steps are drawn over the background.
    EXPECT_GT(inkIn(*image, w->Btn_CreateBin->BoundsRect(), 15595512), 100);
    // The top buttons carry no caption, so only their glyphs tell them apart.
    for (TFrame_Button* b : {w->Btn_Info, w->Btn_Opz, w->Btn_Close}) {
        TRect inner = b->BoundsRect();
        InflateRect(inner, -6, -6);
        EXPECT_GT(inkIn(*image, inner, image->PixelColor(inner.Left, inner.Top)), 50) << b->Name();
    }
}

} // namespace
