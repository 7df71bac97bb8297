// The binary cell stream: its records byte for byte, a grid with texts, properties, merged
// areas and graphics carried whole, rectangles placed at a point, and the streams it refuses.
#include "grid/core/QorStringGrid.h"
#include "grid/data/GridStreamIO.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string bytesOf(TMemoryStream& m) {
    return std::string(reinterpret_cast<const char*>(m.Bytes().data()), m.Bytes().size());
}

std::string shortString(const std::string& s) {
    return std::string(1, char(s.size())) + s;
}

struct Grid {
    TQorStringGrid g{nullptr};
    Grid(int cols, int rows) {
        g.SetColCount(cols);
        g.SetRowCount(rows);
    }
};

// A small bitmap with a pattern of its own.
void paint(TBitmap& b, int w, int h, std::uint32_t seed) {
    b.SetPixelFormat(pf24bit);
    b.SetSize(w, h);
    std::uint32_t* p = b.Pixels32();
    for (int i = 0; i < w * h; ++i) p[i] = 0xFF000000u | (seed * 2654435761u * unsigned(i + 1));
    b.Modified();
}

std::vector<std::uint32_t> pixelsOf(const TGraphic* g) {
    const TBitmap* f = g ? g->Frame() : nullptr;
    if (!f) return {};
    return std::vector<std::uint32_t>(f->Pixels32(), f->Pixels32() + f->Width() * f->Height());
}

class GridBinStream : public ::testing::Test {
protected:
    TempFolder folder{"grid_bin"};
    std::string path(const std::string& name) { return folder.Path(name); }
};

} // namespace

TEST_F(GridBinStream, WritesTheRecordsOfTheFormatByteForByte) {
    Grid t(300, 4);
    t.g.SetCells(3, 2, "abc");
    TMemoryStream m;
    t.g.SaveRectToBinStream(TRect(3, 2, 3, 2), m);
    const std::string prop =
        "TPF0" + shortString("TGridPropIO") + std::string(1, '\0') + shortString("ColCount") +
        "\x02\x01" + shortString("RowCount") + "\x02\x01" + shortString("ColWidths") +
        "\x06\x02"
        "64" +
        shortString("RowHeights") +
        "\x06\x02"
        "22" +
        shortString("FullGrid") + "\x08" + shortString("ID") + std::string("\x02\x00\x00\x00", 4);
    const std::string cell = "TPF0" + shortString("TGridCellIO") + std::string(1, '\0') +
                             shortString("Col") + "\x02\x03" + shortString("Row") + "\x02\x02" +
                             shortString("Cell") +
                             "\x06\x03"
                             "abc" +
                             shortString("HasProp") + "\x08" + std::string(2, '\0');
    EXPECT_EQ(bytesOf(m), prop + cell);

    // Indexes above 127 take two bytes; an empty text is no property.
    TMemoryStream wide;
    t.g.SaveRectToBinStream(TRect(200, 0, 200, 0), wide);
    const std::string bytes = bytesOf(wide);
    EXPECT_NE(bytes.find(shortString("Col") + "\x03\xC8" + std::string(1, '\0')),
              std::string::npos);
    EXPECT_EQ(bytes.find(shortString("Cell")), std::string::npos);
}

TEST_F(GridBinStream, AGridComesBackWithItsPropertiesMergesAndGraphics) {
    Grid t(6, 7);
    t.g.SetColWidths(2, 91);
    t.g.SetRowHeights(3, 33);
    t.g.SetMultilinecells(true);
    const std::string texts[] = {"plain", "a\r\nb", "\xC3\xA9\xE2\x82\xAC", std::string(300, 'L'),
                                 "tab\there"};
    for (int i = 0; i < int(std::size(texts)); ++i) t.g.SetCells(1, i + 1, texts[i]);
    t.g.SetColors(2, 1, clRed);
    t.g.SetColorsTo(2, 1, clWindow);
    t.g.SetFontColors(2, 1, 0x123456);
    t.g.SetFontNames(2, 1, "Arial");
    t.g.SetFontSizes(2, 1, 14);
    t.g.SetFontStyles(2, 1, TFontStyles{fsBold, fsUnderline});
    t.g.SetAlignments(2, 1, taCenter);
    t.g.SetReadOnly(2, 1, true);
    t.g.SetGradients(2, 1, GradientHorizontal);
    t.g.CellProperties(2, 1)->SetEditor(edComboList);
    t.g.MergeCells(3, 1, 2, 2);
    t.g.SetCells(3, 1, "merged");
    paint(*t.g.CreateBitmap(2, 2, true, haRight, vaCenter), 5, 4, 1);
    TPngImage png;
    TBitmap source;
    paint(source, 3, 2, 2);
    png.Assign(&source);
    t.g.CreatePicture(2, 3, false, StretchWithAspectRatio, 2, haLeft, vaTop)->SetGraphic(&png);
    paint(source, 16, 16, 3);
    t.g.CreateIcon(2, 4, haCenter, vaBottom)->Assign(&source);
    TStrings* radio = t.g.CreateRadio(2, 5, 1, 1);
    radio->Add("one");
    radio->Add("two");
    t.g.AddCheckBox(2, 6, cbGrayed);
    TCellGraphic* images = t.g.NewCellGraphic(5, 1);
    images->SetMultiImage(5, 1, 0, haLeft, vaTop, nullptr);
    static_cast<TIntList*>(images->CellBitmap())->Add(4);
    static_cast<TIntList*>(images->CellBitmap())->Add(7);
    t.g.AddProgress(5, 2, clBlue, clWhite);
    t.g.SetFloats(5, 2, 42);
    t.g.AddNode(5, 2);

    t.g.SaveToBinFile(path("grid.bin"));
    Grid back(1, 1);
    back.g.SetMultilinecells(true);
    back.g.LoadFromBinFile(path("grid.bin"));

    EXPECT_EQ(back.g.ColCount(), 6);
    EXPECT_EQ(back.g.RowCount(), 7);
    EXPECT_EQ(back.g.ColWidths(2), 91);
    EXPECT_EQ(back.g.RowHeights(3), 33);
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 6; ++c)
            EXPECT_EQ(back.g.GridCells(c, r), t.g.GridCells(c, r)) << c << "," << r;
    EXPECT_EQ(back.g.Colors(2, 1), clRed);
    EXPECT_EQ(back.g.ColorsTo(2, 1), clWindow);
    EXPECT_EQ(back.g.FontColors(2, 1), 0x123456);
    EXPECT_EQ(back.g.FontNames(2, 1), "Arial");
    EXPECT_EQ(back.g.FontSizes(2, 1), 14);
    EXPECT_EQ(back.g.FontStyles(2, 1).Bits(), (TFontStyles{fsBold, fsUnderline}).Bits());
    EXPECT_EQ(back.g.Alignments(2, 1), taCenter);
    EXPECT_TRUE(back.g.ReadOnly(2, 1));
    EXPECT_EQ(back.g.Gradients(2, 1), GradientHorizontal);
    EXPECT_EQ(back.g.CellProperties(2, 1)->Editor(), edComboList);
    EXPECT_TRUE(back.g.IsBaseCell(3, 1));
    EXPECT_EQ(back.g.CellSpan(3, 1), TPoint(1, 1));
    EXPECT_EQ(back.g.BaseCell(4, 2), TPoint(3, 1));
    EXPECT_EQ(back.g.Cells(4, 2), "merged");
    EXPECT_EQ(back.g.MergeCount(), 1);

    const TBitmap* bmp = back.g.GetBitmap(2, 2);
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(pixelsOf(bmp), pixelsOf(t.g.GetBitmap(2, 2)));
    EXPECT_EQ(back.g.CellGraphics(2, 2)->CellHAlign(), haRight);
    EXPECT_TRUE(back.g.CellGraphics(2, 2)->CellTransparent());
    const TPicture* pic = back.g.GetPicture(2, 3);
    ASSERT_NE(pic, nullptr);
    EXPECT_NE(dynamic_cast<const TPngImage*>(pic->Graphic()), nullptr);
    EXPECT_EQ(pixelsOf(pic->Graphic()), pixelsOf(t.g.GetPicture(2, 3)->Graphic()));
    const TCellGraphic* icon = back.g.CellGraphics(2, 4);
    ASSERT_EQ(icon->CellType(), ctIcon);
    EXPECT_EQ(pixelsOf(icon->CellIcon()), pixelsOf(t.g.CellGraphics(2, 4)->CellIcon()));
    ASSERT_NE(back.g.GetRadioStrings(2, 5), nullptr);
    EXPECT_EQ(back.g.GetRadioStrings(2, 5)->ToVector(), (std::vector<std::string>{"one", "two"}));
    int idx = -1;
    EXPECT_TRUE(back.g.GetRadioIdx(2, 5, idx));
    EXPECT_EQ(idx, 1);
    TCheckBoxState state = cbUnchecked;
    EXPECT_TRUE(back.g.GetCheckBoxState(2, 6, state));
    EXPECT_EQ(state, cbGrayed);
    const auto* list = dynamic_cast<TIntList*>(back.g.CellGraphics(5, 1)->CellBitmap());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->StrValue(), "4,7");
    EXPECT_EQ(back.g.CellGraphics(5, 2)->CellType(), ctProgress);
    EXPECT_EQ(back.g.NumNodes(), 1);
    EXPECT_TRUE(back.g.IsNode(5));
}

TEST_F(GridBinStream, ARectangleLandsAtThePointAndTheGridKeepsItsSize) {
    Grid t(8, 8);
    for (int r = 5; r <= 6; ++r)
        for (int c = 5; c <= 6; ++c) t.g.SetCells(c, r, std::to_string(c) + std::to_string(r));
    t.g.SetColors(6, 6, clLime);
    TMemoryStream m;
    t.g.SaveRectToBinStream(TRect(5, 5, 6, 6), m);
    Grid back(4, 3);
    back.g.SetCells(0, 2, "overwritten");
    m.SetPosition(0);
    back.g.LoadAtPointFromBinStream(TPoint(0, 1), m);
    EXPECT_EQ(back.g.ColCount(), 4);
    EXPECT_EQ(back.g.RowCount(), 3);
    EXPECT_EQ(back.g.GridCells(0, 1), "55");
    EXPECT_EQ(back.g.GridCells(1, 1), "65");
    EXPECT_EQ(back.g.GridCells(0, 2), "56");
    EXPECT_EQ(back.g.Colors(1, 2), clLime);
    // A rectangle reaching beyond the grid places what fits.
    m.SetPosition(0);
    back.g.LoadAtPointFromBinStream(TPoint(3, 2), m);
    EXPECT_EQ(back.g.GridCells(3, 2), "55");
    EXPECT_EQ(back.g.RowCount(), 3);
}

TEST_F(GridBinStream, GraphicRecordsStartEmptyAndBorrowedBitmapsStayBehind) {
    Grid t(3, 3);
    // A cell's object is a pointer of the writing program: it does not travel.
    TStringList object;
    t.g.SetObjects(2, 2, &object);
    t.g.AddProgress(1, 1, clBlue, clWhite);
    t.g.CellGraphics(1, 1)->SetCellValue(2.5);
    t.g.AddProgress(2, 1, clBlue, clWhite);
    TBitmap borrowed;
    paint(borrowed, 2, 2, 5);
    t.g.AddBitmap(1, 2, &borrowed, false, haLeft, vaTop);
    TMemoryStream m;
    t.g.SaveToBinStream(m);
    m.SetPosition(0);
    Grid back(1, 1);
    back.g.LoadFromBinStream(m);
    EXPECT_EQ(back.g.CellGraphics(1, 1)->CellValue(), 2.5);
    EXPECT_EQ(back.g.CellGraphics(2, 1)->CellValue(), 0);
    EXPECT_TRUE(back.g.HasCellProperties(1, 2));
    EXPECT_EQ(back.g.GetBitmap(1, 2), nullptr);
    EXPECT_TRUE(back.g.HasCellProperties(2, 2));
    EXPECT_EQ(back.g.Objects(2, 2), nullptr);
}

TEST_F(GridBinStream, RefusesStreamsOfAnotherFormatAndKeepsTheGrid) {
    Grid source(3, 3);
    source.g.SetCells(1, 1, "x");
    TMemoryStream good;
    source.g.SaveToBinStream(good);
    const std::string whole = bytesOf(good);
    // A string-list record where a cell record belongs.
    TMemoryStream list;
    TWriter w(list);
    TGridSLIO sl(nullptr);
    TGridPropIO prop(nullptr);
    prop.Write(w);
    sl.Write(w);
    w.FlushBuffer();
    struct Case {
        const char* what;
        std::string bytes;
        std::string message;
    };
    const Case cases[] = {
        {"empty", "", "Invalid stream format"},
        {"text", "3,3\r\ncw 0,64\r\n", "Invalid stream format"},
        {"truncated", whole.substr(0, whole.size() - 3), "Stream read error"},
        {"other class", bytesOf(list),
         "Invalid stream format: TGridCellIO expected, TGridSLIO found"},
    };
    for (const auto& c : cases) {
        WriteBinaryFile(path("bad.bin"), c.bytes);
        Grid t(4, 4);
        t.g.SetCells(2, 2, "kept");
        try {
            t.g.LoadFromBinFile(path("bad.bin"));
            ADD_FAILURE() << c.what;
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), c.message + " (" + path("bad.bin") + ")") << c.what;
        }
        EXPECT_EQ(t.g.ColCount(), 4) << c.what;
        EXPECT_EQ(t.g.GridCells(2, 2), "kept") << c.what;
    }
}

TEST_F(GridBinStream, IndexesBeyondSixteenBitsAreRefusedNotCut) {
    Grid t(2, 2);
    TMemoryStream m;
    EXPECT_THROW(t.g.SaveRectToBinStream(TRect(0, 0, 65536, 0), m), EQorGridError);
    EXPECT_EQ(m.Size(), 0);
    EXPECT_THROW(t.g.SaveToBinFile(path("no/such/folder.bin")), EFCreateError);
}
