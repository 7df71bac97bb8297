#include "grid/render/ControlLook.h"
#include "grid/core/QorStringGrid.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(DrawGradientRectTest, BandsRunFromTheFirstColourWithoutReachingTheLast) {
    TBitmap b(40, 20);
    TCanvas* c = b.Canvas();
    // One step: the whole rectangle in the from colour.
    DrawGradientRect(*c, clRed, clBlue, 1, TRect(0, 0, 40, 20), true);
    EXPECT_EQ(b.PixelColor(0, 0), ColorToRGB(clRed));
    EXPECT_EQ(b.PixelColor(39, 19), ColorToRGB(clRed));
    // Zero steps count as one.
    DrawGradientRect(*c, clLime, clBlue, 0, TRect(0, 0, 40, 20), false);
    EXPECT_EQ(b.PixelColor(20, 19), ColorToRGB(clLime));
    // Four horizontal bands of 39 / 4 pixels: black, 1/4, 2/4, 3/4 of the way to white.
    DrawGradientRect(*c, clBlack, clWhite, 4, TRect(0, 0, 40, 20), true);
    EXPECT_EQ(b.PixelColor(2, 5), RGB(0, 0, 0));
    EXPECT_EQ(b.PixelColor(12, 5), RGB(64, 64, 64));
    EXPECT_EQ(b.PixelColor(22, 5), RGB(128, 128, 128));
    EXPECT_EQ(b.PixelColor(38, 5), RGB(191, 191, 191)) << "the last band stops short of white";
    // System colours are resolved before the bands are interpolated.
    DrawGradientRect(*c, clBtnFace, clWindow, 1, TRect(0, 0, 40, 20), false);
    EXPECT_EQ(b.PixelColor(10, 10), ColorToRGB(clBtnFace));
}

TEST(ControlLookTest, FixedGradientSettersPassColoursToTheGrid) {
    TQorStringGrid grid(nullptr);
    TControlLook* look = grid.ControlLook();
    EXPECT_EQ(grid.QorGradientHoverFrom(), TColor(clGray));
    EXPECT_EQ(grid.QorGradientDownTo(), TColor(clSilver));
    EXPECT_EQ(grid.QorGradientHoverMirrorFrom(), TColor(clNone));

    look->SetFixedGradientFrom(clYellow);
    EXPECT_EQ(grid.QorGradientFrom(), TColor(clYellow));
    look->SetFixedGradientFrom(clNone);
    EXPECT_EQ(look->FixedGradientFrom(), TColor(clNone));
    EXPECT_EQ(grid.QorGradientFrom(), TColor(clYellow)) << "clNone leaves the grid's colour";

    look->SetFixedGradientMirrorFrom(clAqua);
    EXPECT_EQ(grid.QorGradientMirrorFrom(), TColor(clAqua));
    look->SetFixedGradientMirrorFrom(clNone);
    EXPECT_EQ(grid.QorGradientMirrorFrom(), TColor(clNone)) << "a mirror colour is cleared";

    look->SetFixedGradientHoverBorder(clRed);
    look->SetFixedGradientDownMirrorTo(clLime);
    EXPECT_EQ(grid.QorGradientHoverBorder(), TColor(clRed));
    EXPECT_EQ(grid.QorGradientDownMirrorTo(), TColor(clLime));
}

TEST(ControlLookTest, AssignCopiesEachColourToItsOwnPropertyAndLeavesSomeFlags) {
    TQorStringGrid a(nullptr), b(nullptr);
    TControlLook* src = a.ControlLook();
    const TColor colours[14] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    src->SetFixedGradientFrom(colours[0]);
    src->SetFixedGradientTo(colours[1]);
    src->SetFixedGradientMirrorFrom(colours[2]);
    src->SetFixedGradientMirrorTo(colours[3]);
    src->SetFixedGradientHoverFrom(colours[4]);
    src->SetFixedGradientHoverTo(colours[5]);
    src->SetFixedGradientHoverMirrorFrom(colours[6]);
    src->SetFixedGradientHoverMirrorTo(colours[7]);
    src->SetFixedGradientHoverBorder(colours[8]);
    src->SetFixedGradientDownFrom(colours[9]);
    src->SetFixedGradientDownTo(colours[10]);
    src->SetFixedGradientDownMirrorFrom(colours[11]);
    src->SetFixedGradientDownMirrorTo(colours[12]);
    src->SetFixedGradientDownBorder(colours[13]);
    src->SetCheckSize(20);
    src->SetControlStyle(csWinXP);
    src->SetFlatButton(true);
    src->SetProgressXP(true);
    src->DropDownHeader()->SetCaption("Pick");
    src->DropDownFooter()->SetSizeGrip(false);

    TControlLook* dst = b.ControlLook();
    dst->Assign(src);
    const TColor got[14] = {dst->FixedGradientFrom(),
                            dst->FixedGradientTo(),
                            dst->FixedGradientMirrorFrom(),
                            dst->FixedGradientMirrorTo(),
                            dst->FixedGradientHoverFrom(),
                            dst->FixedGradientHoverTo(),
                            dst->FixedGradientHoverMirrorFrom(),
                            dst->FixedGradientHoverMirrorTo(),
                            dst->FixedGradientHoverBorder(),
                            dst->FixedGradientDownFrom(),
                            dst->FixedGradientDownTo(),
                            dst->FixedGradientDownMirrorFrom(),
                            dst->FixedGradientDownMirrorTo(),
                            dst->FixedGradientDownBorder()};
    for (int i = 0; i < 14; ++i) EXPECT_EQ(got[i], colours[i]) << i;
    EXPECT_EQ(b.QorGradientFrom(), TColor(clWhite)) << "the copy does not touch the grid";
    EXPECT_EQ(dst->CheckSize(), 20);
    EXPECT_EQ(dst->ControlStyle(), csWinXP);
    EXPECT_FALSE(dst->FlatButton());
    EXPECT_FALSE(dst->ProgressXP());
    EXPECT_EQ(dst->DropDownHeader()->Caption(), "Pick");
    EXPECT_FALSE(dst->DropDownFooter()->SizeGrip());
}

TEST(ControlLookTest, AppearancesAndTheirButtonsReportChanges) {
    THeaderAppearance header(nullptr);
    EXPECT_EQ(header.Font()->Name(), "Tahoma");
    EXPECT_EQ(header.Height(), 22);
    int changes = 0, buttonChanges = 0;
    header.OnChange = [&](TObject*) { ++changes; };
    header.OnButtonsChanged = [&](TObject*) { ++buttonChanges; };
    header.SetVisible(true);
    EXPECT_EQ(changes, 0) << "unchanged";
    header.SetVisible(false);
    EXPECT_EQ(changes, 1);

    THeaderButton* button = header.Buttons()->Add();
    buttonChanges = 0;
    button->SetHeight(30);
    EXPECT_EQ(buttonChanges, 0) << "the height only stores";
    button->SetWidth(40);
    button->SetCaption("OK");
    button->SetEnabled(false);
    EXPECT_EQ(buttonChanges, 3);

    TFooterAppearance footer(nullptr);
    TFooterButton* fb = footer.Buttons()->Add();
    fb->SetModalResult(1);
    fb->SetCaption("Close");
    TFooterAppearance copy(nullptr);
    copy.Assign(&footer);
    ASSERT_EQ(copy.Buttons()->Count(), 1);
    EXPECT_EQ(copy.Buttons()->Items(0)->ModalResult(), 1);
    EXPECT_EQ(copy.Buttons()->Items(0)->Caption(), "Close");
    // A header look takes nothing from a footer look.
    THeaderAppearance other(nullptr);
    other.SetCaption("mine");
    EXPECT_THROW(other.Assign(&footer), Exception);
    EXPECT_EQ(other.Caption(), "mine");
}

TEST(ControlLookTest, SettersRepaintTheGrid) {
    TQorStringGrid grid(nullptr);
    grid.SetBounds(0, 0, 100, 80);
    grid.HandleNeeded();
    int paints = 0;
    grid.OnPainted = [&](TObject*) { ++paints; };
    grid.Update();
    paints = 0;
    grid.ControlLook()->SetCommentColor(clBlue);
    grid.Update();
    EXPECT_EQ(paints, 1);
    grid.ControlLook()->SetFixedGradientHoverBorder(clRed);
    grid.ControlLook()->SetCheckSize(12);
    grid.Update();
    EXPECT_EQ(paints, 2);
}

} // namespace
