#include "grid/core/QorColumnGrid.h"
#include "grid/render/ControlLook.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr TColor rgb(int r, int g, int b) {
    return TColor(r | (g << 8) | (b << 16));
}

// Paints the graphic of cell (1, 1) into a white bitmap as the painter of a 100 x 22 cell at
// the bitmap's top-left corner.
class PainterTest : public ::testing::Test {
protected:
    void SetUp() override {
        g.SetColCount(3);
        g.SetRowCount(3);
        g.SetFixedRows(1);
        g.SetFixedCols(1);
        g.SetColWidths(1, 100);
        g.SetRowHeights(1, 22);
        g.SetOptions(g.Options() + goEditing);
    }
    void paint(TControlStyle style = csWinXP, TAlignment ha = taLeftJustify) {
        g.ControlLook()->SetControlStyle(style);
        bmp.SetSize(100, 22);
        bmp.Canvas()->Brush()->SetColor(clWhite);
        bmp.Canvas()->FillRect(TRect(0, 0, 100, 22));
        const auto info = g.GetCellGraphicInfo(1, 1);
        ASSERT_NE(info.Graphic, nullptr);
        g.DrawCellGraphic(bmp.Canvas(), 1, 1, TRect(0, 0, 100, 22), info, TGridDrawState(), ha,
                          vtaTop, 0);
    }
    TColor at(int x, int y) { return bmp.Canvas()->Pixels(x, y); }

    TQorStringGrid g{nullptr};
    TBitmap bmp;
};

// The box of a left-aligned check box starts one pixel inside the margin: (2, 2).
TEST_F(PainterTest, CheckGlyphsInTheXPAndClassicLooks) {
    const TColor xpFrame = rgb(28, 81, 128), xpTick = rgb(33, 161, 33);
    const TColor offFrame = rgb(202, 200, 187), offTick = rgb(160, 160, 160);
    struct Case {
        TControlStyle style;
        const char* text;
        bool editable;
        TPoint where;
        TColor expected;
    };
    const Case cases[] = {
        {csWinXP, "Y", true, {2, 2}, xpFrame},    {csWinXP, "Y", true, {6, 8}, xpTick},
        {csWinXP, "N", true, {2, 2}, xpFrame},    {csWinXP, "x", true, {6, 8}, clNone},
        {csWinXP, "Y", false, {2, 2}, offFrame},  {csWinXP, "Y", false, {6, 8}, offTick},
        {csWinXP, "N", false, {6, 8}, clWhite},   {csClassic, "Y", true, {9, 10}, clBlack},
        {csClassic, "N", true, {9, 10}, clWhite}, {csTheme, "Y", true, {9, 10}, clBlack},
    };
    for (const auto& c : cases) {
        g.AddCheckBox(1, 1, false, true);
        g.SetCells(1, 1, c.text);
        g.OnCanEditCell = [&](TObject*, int, int, bool& can) { can = c.editable; };
        paint(c.style);
        if (c.expected == clNone) {
            EXPECT_NE(at(c.where.X, c.where.Y), xpTick) << c.text;
            EXPECT_NE(at(c.where.X, c.where.Y), clWhite) << c.text; // the light box inside
        } else {
            EXPECT_EQ(at(c.where.X, c.where.Y), c.expected)
                << c.style << " " << c.text << " " << c.editable;
        }
        EXPECT_EQ(at(40, 10), clWhite); // nothing beside the box
    }
}

TEST_F(PainterTest, BalloonOnACheckBoxDoesNotGrayIt) {
    g.AddCheckBox(1, 1, false, false);
    g.AddBalloon(1, 1, "t", "x", biInfo);
    paint(csClassic);
    EXPECT_EQ(at(9, 10), clWhite); // a grayed box would be filled in the button face colour
}

TEST_F(PainterTest, ColumnGridCheckColumnPaintsItsTextState) {
    TQorColumnGrid cg(nullptr);
    cg.SetColCount(3);
    cg.SetRowCount(3);
    cg.Columns()->Items(1)->SetEditor(edDataCheckBox);
    cg.ControlLook()->SetControlStyle(csWinXP);
    for (const char* text : {"Y", "N"}) {
        cg.SetCells(1, 1, text);
        bmp.SetSize(40, 22);
        bmp.Canvas()->Brush()->SetColor(clWhite);
        bmp.Canvas()->FillRect(TRect(0, 0, 40, 22));
        const auto info = cg.GetCellGraphicInfo(1, 1);
        ASSERT_NE(info.Graphic, nullptr);
        EXPECT_FALSE(info.ShowText);
        cg.DrawCellGraphic(bmp.Canvas(), 1, 1, TRect(0, 0, 40, 22), info, TGridDrawState(),
                           taLeftJustify, vtaTop, 0);
        EXPECT_EQ(at(6, 8) == rgb(33, 161, 33), std::string(text) == "Y") << text;
    }
}

TEST_F(PainterTest, CentredCheckBoxInANarrowCellStartsInsideTheMargin) {
    g.AddCheckBox(1, 1, true, false);
    g.ControlLook()->SetControlStyle(csWinXP);
    bmp.SetSize(20, 22);
    bmp.Canvas()->Brush()->SetColor(clWhite);
    bmp.Canvas()->FillRect(TRect(0, 0, 20, 22));
    g.DrawCellGraphic(bmp.Canvas(), 1, 1, TRect(0, 0, 16, 22), g.GetCellGraphicInfo(1, 1),
                      TGridDrawState(), taCenter, vtaTop, 0);
    EXPECT_EQ(at(2, 2), rgb(28, 81, 128));
    EXPECT_EQ(at(1, 2), clWhite);
}

TEST_F(PainterTest, ProgressBarEndsAndEqualBounds) {
    g.ControlLook()->SetProgressBorderColor(clGray);
    g.AddProgress(1, 1, clBlue, clYellow);
    g.SetCells(1, 1, "30");
    paint();
    // The bar spans 4..94: done to 31, the rest after it, a border round it.
    EXPECT_EQ(at(5, 6), clBlue);
    EXPECT_EQ(at(30, 6), clBlue);
    EXPECT_EQ(at(32, 6), clYellow);
    EXPECT_EQ(at(92, 16), clYellow);
    EXPECT_EQ(at(3, 3), clGray);

    g.AddProgressFormatted(1, 1, clBlue, clWhite, clYellow, clBlack, "%d", 5, 5);
    g.SetCells(1, 1, "5");
    paint();
    EXPECT_EQ(at(5, 6), clYellow);

    // The library progress look with equal bounds shows an empty bar, not a division by zero.
    g.AddQorProgress(1, 1, 7, 7);
    g.SetCells(1, 1, "7");
    paint();
    g.AddQorProgress(1, 1, 0, 10);
    g.SetCells(1, 1, "10");
    paint();
    const TColor fullColor = at(10, 10);
    g.AddQorProgress(1, 1, 7, 7);
    paint();
    EXPECT_NE(at(10, 10), fullColor);
}

TEST_F(PainterTest, ImageListImageIsCentredAndCommentMarksTheCorner) {
    TImageList images;
    images.SetSize(16, 16);
    TBitmap red(16, 16);
    red.Canvas()->Brush()->SetColor(clRed);
    red.Canvas()->FillRect(TRect(0, 0, 16, 16));
    images.Add(&red, nullptr);
    g.SetGridImages(&images);
    g.AddImageIdx(1, 1, 0, haCenter, vaCenter);
    paint();
    // Inside the margins (1..99 x 1..21) the 16 x 16 image sits at (42, 3).
    EXPECT_EQ(at(42, 3), clRed);
    EXPECT_EQ(at(57, 18), clRed);
    EXPECT_EQ(at(41, 10), clWhite);
    EXPECT_EQ(at(58, 10), clWhite);

    g.AddComment(1, 1, "note");
    paint();
    EXPECT_EQ(at(97, 1), clRed);
    EXPECT_EQ(at(91, 4), clWhite); // below the triangle's slope
    EXPECT_EQ(at(50, 10), clWhite);
}

TEST_F(PainterTest, ButtonRemembersWhereItWasDrawn) {
    g.AddButton(1, 1, 40, 16, "Go", haRight, vaTop);
    paint();
    const TRect cell = g.CellRect(1, 1);
    const TRect r = g.GetCellGraphicRect(1, 1);
    EXPECT_EQ(r.Left - cell.Left, 58); // ends one pixel inside the margin: 98 - 40
    EXPECT_EQ(r.Top - cell.Top, 2);
    EXPECT_EQ(r.Width(), 40);
    EXPECT_EQ(r.Height(), 16);
}

TEST(PainterClampTest, ClampPercent) {
    EXPECT_EQ(TQorStringGrid::ClampPercent(-5), 0);
    EXPECT_EQ(TQorStringGrid::ClampPercent(150), 100);
    EXPECT_EQ(TQorStringGrid::ClampPercent(42.5), 42.5);
}

} // namespace

namespace {

// Through the grid's own painting: a "Y"/"N" column in the XP look shows the ticked glyph only
// in its "Y" rows, and the box frame in all of them.
TEST(PainterPipelineTest, CheckColumnOfAPaintedGrid) {
    TQorColumnGrid grid(nullptr);
    grid.SetColCount(3);
    grid.SetRowCount(4);
    grid.SetScrollBars(ssNone);
    grid.SetBounds(0, 0, 200, 100);
    grid.Columns()->Items(1)->SetEditor(edDataCheckBox);
    grid.ControlLook()->SetControlStyle(csWinXP);
    const char* texts[] = {"", "Y", "N", "Y"};
    for (int r = 1; r < 4; ++r) grid.SetCells(1, r, texts[r]);
    grid.HandleNeeded();
    grid.Repaint();
    const TBitmap* image = grid.BackingImage();
    for (int r = 1; r < 4; ++r) {
        const TRect cell = grid.CellRect(1, r);
        int ticks = 0, frame = 0;
        for (int y = cell.Top; y < cell.Bottom; ++y)
            for (int x = cell.Left; x < cell.Right; ++x) {
                const TColor c = image->PixelColor(x, y);
                ticks += c == rgb(33, 161, 33);
                frame += c == rgb(28, 81, 128);
            }
        EXPECT_EQ(ticks > 0, std::string(texts[r]) == "Y") << r;
        EXPECT_GT(frame, 40) << r;
    }
}

} // namespace

namespace {

// An interfaced cell that fills what it is given and tells its size.
struct Swatch : TObject, ICellDrawer {
    Swatch(int w, int h) : width(w), height(h) {}
    void Draw(TCanvas* Canvas, const TRect& R, TObject*, bool, int, int) override {
        drawnIn = R;
        Canvas->Brush()->SetColor(clLime);
        Canvas->FillRect(R);
    }
    int GetWidth() override { return width; }
    int GetHeight() override { return height; }
    bool IsBackground() override { return true; }
    int width, height;
    TRect drawnIn;
};

TEST_F(PainterTest, InterfacedCellSizesAndDrawsItself) {
    Swatch sized(30, 10), unsized(0, 10);
    g.AddInterfacedCell(1, 1, &sized);
    EXPECT_EQ(g.CellGraphicSize(1, 1), TPoint(30, 10));
    EXPECT_TRUE(g.GetCellGraphicInfo(1, 1).DrawFirst);
    paint();
    EXPECT_EQ(sized.drawnIn, TRect(0, 0, 99, 21));
    EXPECT_EQ(at(50, 10), clLime);
    g.AddInterfacedCell(1, 1, &unsized);
    EXPECT_EQ(g.CellGraphicSize(1, 1), TPoint(100, 22)); // a 0 takes the cell's size
    g.RemoveInterfacedCell(1, 1);
    EXPECT_EQ(g.GetInterfacedCell(1, 1), nullptr);
}

// Every kind of graphic paints inside its cell without touching memory it does not own.
TEST_F(PainterTest, EveryGraphicKindPaintsInsideItsCell) {
    TImageList images;
    images.SetSize(8, 8);
    TBitmap blue(8, 8);
    blue.Canvas()->Brush()->SetColor(clBlue);
    blue.Canvas()->FillRect(TRect(0, 0, 8, 8));
    images.Add(&blue, nullptr);
    g.SetGridImages(&images);
    TBitmap bitmap(6, 6);
    bitmap.Canvas()->Brush()->SetColor(clMaroon);
    bitmap.Canvas()->FillRect(TRect(0, 0, 6, 6));
    TPicture picture;
    picture.SetGraphic(&bitmap);
    TStringList items;
    items.Add("one");
    items.Add("two");
    auto* rg = &g;
    struct Case {
        const char* name;
        std::function<void()> add;
        const char* text;
    };
    const Case cases[] = {
        {"bitmap", [&] { rg->AddBitmap(1, 1, &bitmap, false, haLeft, vaTop); }, ""},
        {"picture", [&] { rg->AddPicture(1, 1, &picture, false, Stretch, 0, haLeft, vaTop); }, ""},
        {"images",
         [&] {
             rg->AddMultiImage(1, 1, 0, haLeft, vaTop);
             rg->CellImages(1, 1)->Add(0);
             rg->CellImages(1, 1)->Add(0);
         },
         ""},
        {"data image", [&] { rg->AddDataImage(1, 1, 0, haLeft, vaTop); }, "0"},
        {"rotated", [&] { rg->AddRotated(1, 1, 90, "Up"); }, nullptr},
        {"radio group", [&] { rg->AddRadio(1, 1, 1, 1, &items); }, ""},
        {"radio button", [&] { rg->AddRadioButton(1, 1, true); }, ""},
        {"tri-state", [&] { rg->AddCheckBox(1, 1, cbGrayed); }, ""},
        {"pie", [&] { rg->AddProgressPie(1, 1, clRed, 40); }, ""},
        {"range", [&] { rg->AddRangeIndicator(1, 1, 10, clRed, clGreen, true); }, "-4"},
        {"xp progress", [&] { rg->AddQorProgress(1, 1, 0, 10); }, "5"},
        {"shape", [&] { rg->AddShape(1, 1, csCircle, clRed, clBlack, haLeft, vaTop); }, ""},
        {"rating", [&] { rg->AddRating(1, 1, 5, clRed, clSilver); }, "2.5"},
        {"button", [&] { rg->AddButton(1, 1, 60, 18, "Push", haLeft, vaTop); }, ""},
        {"bit button", [&] { rg->AddBitButton(1, 1, 60, 18, "Go", &bitmap, haLeft, vaTop); }, ""},
        {"expand", [&] { rg->AddExpand(1, 1, 40); }, ""},
    };
    for (const auto& c : cases) {
        c.add();
        if (c.text) g.SetCells(1, 1, c.text);
        paint(csWinXP);
        int changed = 0;
        for (int y = 0; y < 22; ++y)
            for (int x = 0; x < 100; ++x) changed += at(x, y) != clWhite;
        EXPECT_GT(changed, 10) << c.name;
    }
    for (TNodeType type : {cnFlat, cn3D, cnGlyph, cnLeaf, cnXP}) {
        g.CellNode()->SetNodeType(type);
        TCellGraphic* node = g.NewCellGraphic(1, 1);
        node->SetCellType(ctNode);
        node->SetCellBoolean(true);
        paint(csWinXP);
        int changed = 0;
        for (int y = 0; y < 22; ++y)
            for (int x = 0; x < 100; ++x) changed += at(x, y) != clWhite;
        EXPECT_GT(changed, 10) << "node " << type;
    }
}

} // namespace
