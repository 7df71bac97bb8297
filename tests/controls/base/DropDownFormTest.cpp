// The popup form's painting and activation rules, and the drop-down button's faces.
#include "DropDownTestSupport.h"

#include "controls/base/DropDownDrawing.h"
#include "platform/ui/PopupForm.h"

using namespace uitest;

TEST_F(DropDownTest, PopupPaintsItsBorderAndKeepsItsChildrenInside) {
    edit->SetDropDownBorderWidth(3);
    edit->SetDropDownBorderColor(clBlue);
    edit->SetDropDownColor(clYellow);
    edit->SetDropDownColorTo(clNone);
    edit->ShowDropDown();
    TDropDownForm* popup = edit->DropDownForm();
    EXPECT_EQ(popup->Header()->BoundsRect().TopLeft(), TPoint(3, 3));
    popup->Update();
    const TBitmap* image = popup->BackingImage();
    const int w = popup->Width(), h = popup->Height();
    // A 3-pixel pen on a rectangle whose top and left are moved in by 1.
    for (int i : {0, 1, 2}) {
        EXPECT_EQ(image->PixelColor(i, h / 2), clBlue) << i;
        EXPECT_EQ(image->PixelColor(w / 2, i), clBlue) << i;
    }
    EXPECT_EQ(image->PixelColor(w - 1, h / 2), clBlue);
    EXPECT_EQ(image->PixelColor(w / 2, h - 1), clBlue);
    edit->HideDropDown(false);

    // Without colours only the border is drawn.
    edit->SetDropDownColor(clNone);
    edit->DropDownHeader()->SetVisible(false);
    edit->DropDownFooter()->SetVisible(false);
    edit->ShowDropDown();
    popup->Update();
    EXPECT_EQ(popup->BackingImage()->PixelColor(w / 2, h / 2), ColorToRGB(popup->Color()));
    edit->HideDropDown(false);
    edit->SetDropDownColor(clYellow);
    edit->ShowDropDown();
    popup->Update();
    EXPECT_EQ(popup->BackingImage()->PixelColor(w / 2, h / 2), clYellow);
    edit->HideDropDown(false);
    edit->SetDropDownColor(clBlack);
    edit->SetDropDownColorTo(clWhite);
    edit->ShowDropDown();
    popup->Update();
    EXPECT_LT(GetRValue(popup->BackingImage()->PixelColor(5, h / 2)), 20) << "from the left";
    EXPECT_GT(GetRValue(popup->BackingImage()->PixelColor(w - 6, h / 2)), 230) << "to the right";
}

TEST_F(DropDownTest, WindowsOfThePopupKeepItOpen) {
    edit->SetText("start");
    clickButton();
    TDropDownForm* popup = edit->DropDownForm();
    // A popup of the popup takes the focus: the drop-down stays open.
    auto* child = new TCustomPopupForm(popup);
    child->SetPopupParent(popup);
    child->SetBounds(500, 500, 100, 100);
    child->Show();
    processMessages();
    EXPECT_TRUE(edit->DroppedDown());
    child->Hide();
    // The form taking the focus ends it, cancelled.
    type("x");
    edit->SetFocus();
    processMessages();
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->Text(), "start");
    // While blocked, losing the activation changes nothing.
    advanceClock(300);
    clickButton();
    ASSERT_TRUE(popup->Visible());
    popup->SetBlockActivate(true);
    postNativeScreenClick({450, 350});
    processMessages();
    EXPECT_TRUE(popup->Visible());
    popup->SetBlockActivate(false);
}

TEST_F(DropDownTest, PopupAnswersForItsCornerAndWantsAllKeys) {
    TDropDownForm* popup = edit->DropDownForm();
    edit->ShowDropDown();
    const TPoint corner = popup->ClientToScreen({popup->Width() - 5, popup->Height() - 5});
    const TPoint inside = popup->ClientToScreen({10, 10});
    EXPECT_EQ(popup->Perform(WM_NCHITTEST, 0, PointToLParam(corner)), 0);
    popup->SetSizeable(true);
    EXPECT_EQ(popup->Perform(WM_NCHITTEST, 0, PointToLParam(corner)), HTBOTTOMRIGHT);
    EXPECT_EQ(popup->Perform(WM_NCHITTEST, 0, PointToLParam(inside)), 0);
    EXPECT_EQ(popup->Perform(WM_GETDLGCODE), DLGC_WANTARROWS | DLGC_WANTALLKEYS);
    int sizing = 0;
    popup->OnSizing = [&](TObject*) { ++sizing; };
    // The popup's own corner sizes it.
    const TRect before = popup->BoundsRect();
    postNativeMouseDown(popup, {popup->Width() - 3, popup->Height() - 3});
    postNativeMouseMove(popup, {popup->Width() + 17, popup->Height() + 7}, true);
    postNativeMouseUp(popup, {popup->Width() + 17, popup->Height() + 7});
    processMessages();
    EXPECT_EQ(popup->Width(), before.Width() + 20);
    EXPECT_EQ(popup->Height(), before.Height() + 10);
    EXPECT_GT(sizing, 0);
}

TEST_F(DropDownTest, DropDownButtonFaces) {
    TDropDownEditButton* b = edit->Button();
    auto face = [&](int x, int y) {
        b->Update();
        return b->BackingImage()->PixelColor(x, y);
    };
    // The classic face: its arrow in black.
    EXPECT_EQ(face(8, 8), clBlack);
    EXPECT_EQ(face(0, 5), ColorToRGB(clBtnFace));
    // Custom colours: the face, the arrow in the text colour, a line in the edit's border colour.
    b->SetButtonColor(clYellow);
    b->SetButtonTextColor(clNavy);
    edit->SetBorderColor(clRed);
    EXPECT_EQ(face(4, 3), clYellow);
    EXPECT_EQ(face(8, 8), clNavy);
    EXPECT_EQ(face(0, 5), clRed);
    postNativeMouseMove(b, {5, 5});
    b->SetButtonColorHot(clLime);
    processMessages();
    EXPECT_EQ(face(4, 3), clLime);
    // A glyph face.
    b->SetButtonColor(clNone);
    TBitmap glyph(16, 16);
    glyph.Canvas()->Brush()->SetColor(clFuchsia);
    glyph.Canvas()->FillRect({0, 0, 16, 16});
    glyph.Canvas()->Brush()->SetColor(clGreen);
    glyph.Canvas()->FillRect({4, 4, 12, 12});
    edit->SetDropDownButtonGlyph(&glyph);
    EXPECT_EQ(face(6, 6), clGreen);
    EXPECT_EQ(face(2, 2), ColorToRGB(clBtnFace)) << "the glyph's corner colour is transparent";
}

TEST(DropDownDrawing, GlyphTransparentReplacesTheCornerColour) {
    TBitmap glyph(4, 4);
    glyph.Canvas()->Brush()->SetColor(clFuchsia);
    glyph.Canvas()->FillRect({0, 0, 4, 4});
    glyph.Canvas()->Brush()->SetColor(clGreen);
    glyph.Canvas()->FillRect({1, 1, 3, 3});
    TBitmap target(10, 10);
    DrawGlyphTransparent(target.Canvas(), &glyph, clYellow, {2, 2, 5, 5});
    EXPECT_EQ(target.PixelColor(2, 2), clYellow);
    EXPECT_EQ(target.PixelColor(3, 3), clGreen);
    EXPECT_EQ(target.PixelColor(5, 5), clWhite) << "clipped to the rectangle";
}
