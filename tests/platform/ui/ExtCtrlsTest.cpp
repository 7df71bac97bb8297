#include "platform/ui/ExtCtrls.h"

#include "platform/ui/ComCtrls.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

constexpr TColor formColor = 15595512; // RGB 248, 247, 237, the forms' background

class PaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetClientSize(420, 260);
        form->SetColor(formColor);
        form->Show();
    }
    void TearDown() override { form.reset(); }

    template <class T> T* make(int l, int t, int w, int h) {
        T* c = new T(form.get());
        c->SetParent(form.get());
        c->SetBounds(l, t, w, h);
        return c;
    }
    // The form's client area as the user would see it; also saved for a look by eye.
    TBitmap& render(const std::string& name) {
        image = std::make_unique<TBitmap>(form->ClientWidth(), form->ClientHeight());
        form->Repaint();
        form->PaintTo(image->Canvas(), 0, 0);
        SavePng(*image, ::testing::TempDir() + name + ".png");
        return *image;
    }
    TColor at(int x, int y) const { return image->Canvas()->Pixels(x, y); }
    int count(const TRect& r, TColor c) const {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) n += at(x, y) == ColorToRGB(c);
        return n;
    }

    std::unique_ptr<TForm> form;
    std::unique_ptr<TBitmap> image;
};

TEST_F(PaintTest, PanelShapeAndLabelPaintIntoTheFormImage) {
    auto* panel = make<TPanel>(10, 10, 100, 40);
    auto* frame = make<TShape>(150, 10, 100, 50);
    frame->Pen()->SetColor(clSilver);
    frame->Brush()->SetStyle(bsClear);
    auto* line = make<TShape>(10, 100, 200, 1);
    line->Pen()->SetColor(clGray);
    auto* label = make<TLabel>(10, 120, 0, 0);
    label->Font()->SetColor(clRed);
    label->SetCaption("Hello");
    label->SetTransparent(true);
    render("panel_shape_label");

    EXPECT_EQ(at(10, 10), ColorToRGB(clBtnHighlight)) << "raised bevel, top-left";
    EXPECT_EQ(at(109, 49), ColorToRGB(clBtnShadow)) << "raised bevel, bottom-right";
    EXPECT_EQ(at(60, 30), ColorToRGB(clBtnFace));
    EXPECT_EQ(at(150, 10), ColorToRGB(clSilver));
    EXPECT_EQ(at(249, 59), ColorToRGB(clSilver));
    EXPECT_EQ(at(200, 35), formColor) << "no fill inside the frame";
    EXPECT_EQ(count(Rect(10, 100, 210, 101), clGray), 200) << "a one-pixel-high shape is a line";
    EXPECT_EQ(at(100, 101), formColor);
    TRect lr = label->BoundsRect();
    EXPECT_GT(lr.Width(), 10) << "AutoSize";
    EXPECT_GT(count(lr, clRed), 10);
    EXPECT_EQ(count(Rect(0, lr.Bottom, 420, 260), clRed), 0);
    (void)panel;
}

TEST_F(PaintTest, CheckBoxGroupBoxAndBevelInTheClassicLook) {
    auto* group = make<TGroupBox>(200, 20, 200, 100);
    group->SetCaption(" KNX ");
    auto* on = new TCheckBox(form.get());
    on->SetParent(group);
    on->SetBounds(16, 30, 150, 17);
    on->SetCaption("GATEWAY");
    on->SetChecked(true);
    auto* off = make<TCheckBox>(10, 10, 150, 17);
    auto* bevel = make<TBevel>(10, 150, 100, 2);
    bevel->SetShape(bsTopLine);
    render("checkbox_groupbox");

    // The check box's box: a white square, with the check mark only when checked.
    TRect onBox = Bounds(200 + 16 + 3, 20 + 30 + 2 + 3, 7, 7);
    TRect offBox = Bounds(10 + 3, 10 + 2 + 3, 7, 7);
    EXPECT_GT(count(onBox, clBlack), 5);
    EXPECT_EQ(count(offBox, clBlack), 0);
    EXPECT_GT(count(offBox, clWindow), 40);
    // The group frame: a shadow line with a highlight line under it, broken by the caption.
    TBitmap probe(1, 1);
    probe.Canvas()->Font()->Assign(group->Font());
    int y = 20 + probe.Canvas()->TextHeight("0") / 2 - 1;
    EXPECT_EQ(at(200 + 190, y), ColorToRGB(clBtnShadow));
    EXPECT_EQ(at(200 + 190, y + 1), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(at(200 + 190, 20 + 99), ColorToRGB(clBtnHighlight));
    EXPECT_NE(at(200 + 12, y), ColorToRGB(clBtnShadow)) << "caption over the frame";
    EXPECT_EQ(count(Rect(10, 150, 110, 151), clBtnShadow), 100);
    EXPECT_EQ(count(Rect(10, 151, 110, 152), clBtnHighlight), 100);
    (void)off;
}

TEST_F(PaintTest, EditComboAndListPaintTheirTextInSunkenFrames) {
    auto* group = make<TGroupBox>(8, 8, 296, 120);
    group->SetCaption(" NMEA 2000 ");
    auto* combo = new TComboBox(form.get());
    combo->SetParent(group);
    combo->SetBounds(82, 21, 192, 22);
    combo->SetStyle(csDropDownList);
    combo->Items()->SetCommaText("125K,250K");
    combo->SetItemIndex(1);
    auto* edit = new TEdit(form.get());
    edit->SetParent(group);
    edit->SetBounds(148, 55, 126, 21);
    edit->SetText("0");
    auto* list = make<TListBox>(8, 140, 150, 60);
    list->Items()->SetCommaText("Project_A,Project_B");
    list->SetItemIndex(1);
    auto* disabled = make<TEdit>(200, 140, 100, 21);
    disabled->SetText("off");
    disabled->SetEnabled(false);
    render("edit_combo_list");

    // Sunken frame: shadow outside at the top-left, white inside; text in the window colour.
    TPoint e{8 + 148, 8 + 55};
    EXPECT_EQ(at(e.X, e.Y), ColorToRGB(clBtnShadow));
    EXPECT_EQ(at(e.X + 120, e.Y + 10), ColorToRGB(clWindow));
    EXPECT_GT(count(Bounds(e.X + 2, e.Y + 2, 12, 17), clWindowText), 3) << "the text 0";
    // The combo's drop-down button is a raised face at the right.
    TPoint c{8 + 82, 8 + 21};
    EXPECT_EQ(at(c.X + 192 - 10, c.Y + 4), ColorToRGB(clBtnFace));
    EXPECT_GT(count(Bounds(c.X + 3, c.Y + 3, 40, 16), clWindowText), 5) << "the text 250K";
    // The selected list item is highlighted.
    TRect item = list->ItemRect(1);
    EXPECT_EQ(at(8 + item.Right - 3, 140 + item.Top + 1), ColorToRGB(clHighlight));
    EXPECT_EQ(at(8 + item.Right - 3, 140 + list->ItemRect(0).Top + 1), ColorToRGB(clWindow));
    // A disabled edit has the face colour and grey text.
    EXPECT_EQ(at(200 + 90, 140 + 10), ColorToRGB(clBtnFace));
    EXPECT_GT(count(Bounds(202, 142, 30, 17), clGrayText), 3);
}

TEST_F(PaintTest, ImageStretchesProportionallyAndCenters) {
    auto* img = make<TImage>(10, 10, 60, 30);
    TBitmap red(4, 2);
    red.Canvas()->Brush()->SetColor(clRed);
    red.Canvas()->FillRect(Rect(0, 0, 4, 2));
    img->Picture()->SetGraphic(&red);
    EXPECT_EQ(img->DestRect(), Rect(0, 0, 4, 2));
    img->SetStretch(true);
    img->SetProportional(true);
    img->SetCenter(true);
    EXPECT_EQ(img->DestRect(), Rect(0, 0, 60, 30));
    img->SetBounds(10, 10, 60, 60);
    EXPECT_EQ(img->DestRect(), Rect(0, 15, 60, 45));
    render("image");
    EXPECT_EQ(at(40, 40), ColorToRGB(clRed));
    EXPECT_EQ(at(40, 20), formColor);

    // Transparent: the colour of the bottom-left pixel is not drawn.
    red.Canvas()->SetPixels(0, 1, clBlue);
    red.Canvas()->SetPixels(3, 0, clBlue);
    img->Picture()->SetGraphic(&red);
    img->SetStretch(false);
    img->SetCenter(false);
    img->SetTransparent(true);
    render("image_transparent");
    EXPECT_EQ(at(10 + 3, 10 + 0), formColor);
    EXPECT_EQ(at(10 + 1, 10 + 0), ColorToRGB(clRed));
}

TEST_F(PaintTest, PageControlShowsTabsAndTheActivePage) {
    auto* pages = make<TPageControl>(10, 10, 300, 200);
    for (const char* caption : {"Language", "Connection"}) {
        auto* sheet = new TTabSheet(form.get());
        sheet->SetCaption(caption);
        sheet->SetPageControl(pages);
    }
    auto* panel = new TPanel(form.get());
    panel->SetParent(pages->Pages(1));
    panel->SetBounds(10, 10, 50, 50);
    panel->SetColor(clLime);
    render("pages_first");
    EXPECT_EQ(count(Rect(0, 0, 420, 260), clLime), 0) << "the hidden page shows nothing";
    pages->SetActivePageIndex(1);
    render("pages_second");
    TRect d = pages->DisplayRect();
    EXPECT_EQ(at(10 + d.Left + 30, 10 + d.Top + 30), ColorToRGB(clLime));
    TRect tab = pages->TabRect(1);
    EXPECT_EQ(at(10 + tab.Left, 10 + tab.Top + 5), ColorToRGB(clBtnHighlight));
}

TEST_F(PaintTest, LinkLabelClickReportsTheLink) {
    auto* link = make<TLinkLabel>(10, 10, 0, 0);
    link->SetCaption("Get it <a href=\"https://example.invalid/dl\">here</a> now");
    std::string got;
    TSysLinkType type = sltID;
    link->OnLinkClick = [&](TObject*, const std::string& l, TSysLinkType t) { got = l, type = t; };
    int clicks = 0;
    link->OnClick = [&](TObject*) { ++clicks; };
    auto segs = link->Segments();
    ASSERT_EQ(segs.size(), 3u);
    EXPECT_EQ(segs[1].text, "here");

    // Plain text: OnClick only.
    link->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 5));
    link->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 5));
    EXPECT_EQ(got, "");
    EXPECT_EQ(clicks, 1);
    // The link's text.
    int x = -1;
    for (int i = 0; i < link->Width() && x < 0; ++i)
        if (link->LinkAtPos({i, 5}) == 1) x = i + 2;
    ASSERT_GE(x, 0);
    link->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 5));
    link->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, 5));
    EXPECT_EQ(got, "https://example.invalid/dl");
    EXPECT_EQ(type, sltURL);

    link->SetCaption("No Update Available");
    EXPECT_EQ(link->LinkAtPos({x, 5}), -1);
    render("link_label");
    EXPECT_GT(count(link->BoundsRect(), link->Font()->Color()), 0);
}

} // namespace
