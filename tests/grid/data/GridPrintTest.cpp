// Printing and preview: pagination, fit to page, header and footer items, the PDF a print to
// file writes and the preview of the same pages.
#include "grid/core/QorStringGrid.h"
#include "grid/data/DataSettings.h"
#include "grid/render/ControlLook.h"
#include "grid/render/LookSettings.h"
#include "platform/files/Files.h"
#include "platform/gfx/ImageList.h"
#include "platform/print/Printers.h"
#include "platform/qt/QtPrint.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// Keeps the pages a document would print.
struct PageStore : TPrintBackend {
    std::vector<std::unique_ptr<TBitmap>> pages;
    int jobs = 0;
    struct Job : TPrintJob {
        PageStore& store;
        explicit Job(PageStore& s) : store(s) {}
        void AddPage(const TBitmap& page) override {
            auto copy = std::make_unique<TBitmap>();
            copy->Assign(&page);
            store.pages.push_back(std::move(copy));
        }
        void Finish() override {}
        void Abort() override { store.pages.clear(); }
    };
    std::unique_ptr<TPrintJob> BeginJob(const TPrintJobSetup&) override {
        ++jobs;
        pages.clear();
        return std::make_unique<Job>(*this);
    }
};

class GridPrint : public ::testing::Test {
protected:
    TempFolder folder{"grid_print"};
    PageStore store;
    TQorStringGrid g{nullptr};
    std::vector<int> lastRows; // the next row after each page, from OnPrintPageDone
    std::vector<std::string> pageNumbers;

    void SetUp() override {
        SetPrintBackend(&store);
        Printer()->SetFileName("");
        Printer()->SetPixelsPerInch(ScreenPixelsPerInch);
        Printer()->SetOrientation(poPortrait);
        g.PrintSettings()->SetUseDisplayFont(false);
        g.PrintSettings()->Font()->SetName("Arial");
        g.PrintSettings()->Font()->SetSize(10);
        g.OnPrintPageDone = [this](TObject*, TCanvas*, int LastRow, int, int, int, int) {
            lastRows.push_back(LastRow);
        };
        g.OnPrintGetPageNum = [this](TObject*, int, int, std::string& text) {
            pageNumbers.push_back(text);
        };
    }
    void TearDown() override { SetPrintBackend(QtPrintBackend()); }

    void fill(int cols, int rows, int fixedRows = 1) {
        g.SetColCount(cols);
        g.SetRowCount(rows);
        g.SetFixedRows(fixedRows);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c)
                g.SetCells(c, r,
                           r < fixedRows ? "Head " + std::to_string(c)
                                         : "R" + std::to_string(r) + "C" + std::to_string(c));
    }
    // Rows printed on each page, from the page ends.
    std::vector<int> rowsPerPage(int firstRow = 0) {
        std::vector<int> out;
        int prev = firstRow;
        for (int next : lastRows) {
            out.push_back(next - prev);
            prev = next;
        }
        return out;
    }
};

struct Raster {
    int w = 0, h = 0;
    std::vector<unsigned char> rgb;
    int grey(int x, int y) const {
        const unsigned char* p = &rgb[(std::size_t(y) * std::size_t(w) + std::size_t(x)) * 3];
        return (p[0] + p[1] + p[2]) / 3;
    }
};

// Page n of a PDF rendered by pdftoppm at dpi.
Raster renderPdfPage(const std::string& pdf, int n, int dpi, const std::string& prefix) {
    const std::string cmd = "pdftoppm -r " + std::to_string(dpi) + " -f " + std::to_string(n) +
                            " -l " + std::to_string(n) + " -singlefile '" + pdf + "' '" + prefix +
                            "'";
    Raster r;
    if (std::system(cmd.c_str()) != 0) return r;
    const std::string bytes = ReadBinaryFile(prefix + ".ppm");
    int maxval = 0, consumed = 0;
    if (std::sscanf(bytes.c_str(), "P6 %d %d %d%n", &r.w, &r.h, &maxval, &consumed) != 3) return r;
    r.rgb.assign(bytes.begin() + consumed + 1, bytes.end());
    return r;
}

int pdfPageCount(const std::string& pdf) {
    FILE* p = popen(("pdfinfo '" + pdf + "'").c_str(), "r");
    if (!p) return -1;
    char line[256];
    int pages = -1;
    while (std::fgets(line, sizeof line, p))
        if (std::sscanf(line, "Pages: %d", &pages) == 1) break;
    pclose(p);
    return pages;
}

int greyOf(const TBitmap& b, int x, int y) {
    const TColor c = b.PixelColor(x, y);
    return (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3;
}

} // namespace

TEST_F(GridPrint, RowsFillThePagesInOrder) {
    fill(3, 120);
    g.Print();
    const int pages = int(store.pages.size());
    ASSERT_GT(pages, 2);
    EXPECT_EQ(g.PrintNrOfPages(), pages);
    const std::vector<int> counts = rowsPerPage();
    ASSERT_EQ(int(counts.size()), pages);
    // Every full page holds the same number of rows; the last one the rest.
    for (int p = 1; p < pages - 1; ++p) EXPECT_EQ(counts[std::size_t(p)], counts[0]);
    EXPECT_LE(counts.back(), counts[0]);
    EXPECT_EQ(lastRows.back(), 120);
    EXPECT_EQ(pages, (120 + counts[0] - 1) / counts[0]);
}

TEST_F(GridPrint, RepeatedFixedRowsHeadEveryPage) {
    fill(3, 120);
    g.Print();
    const std::vector<int> plain = rowsPerPage();
    lastRows.clear();
    g.PrintSettings()->SetRepeatFixedRows(true);
    g.Print();
    const std::vector<int> repeated = rowsPerPage();
    ASSERT_GT(repeated.size(), 2u);
    EXPECT_EQ(repeated[0], plain[0]);     // the first page holds the header as its own row
    EXPECT_EQ(repeated[1], plain[1] - 1); // later pages give one row to the repeated header
    // The header's text shows at the top of page 2 as on page 1.
    const TBitmap& p1 = *store.pages[0];
    const TBitmap& p2 = *store.pages[1];
    int same = 0, dark = 0;
    for (int y = 0; y < 18; ++y) // the header row
        for (int x = 0; x < p1.Width(); ++x) {
            dark += greyOf(p1, x, y) < 128;
            same += greyOf(p1, x, y) < 128 && greyOf(p2, x, y) < 128;
        }
    EXPECT_GT(dark, 30);
    EXPECT_EQ(same, dark);
}

TEST_F(GridPrint, PageNumbersFollowTheSettings) {
    fill(3, 120);
    g.PrintSettings()->SetPageNr(ppBottomCenter);
    g.Print();
    ASSERT_GE(pageNumbers.size(), 3u);
    const std::string total = std::to_string(store.pages.size());
    EXPECT_EQ(pageNumbers[1], "2/" + total);

    // Columns cut into two bands: page within the band, "-", band.
    pageNumbers.clear();
    fill(30, 10);
    g.Print();
    ASSERT_GE(store.pages.size(), 2u);
    ASSERT_EQ(pageNumbers.size(), store.pages.size());
    EXPECT_EQ(pageNumbers[0], "1-1");
    EXPECT_EQ(pageNumbers[1], "1-2");

    // Without a separator the number stands alone.
    pageNumbers.clear();
    fill(3, 120);
    g.PrintSettings()->SetPageNumSep("");
    g.Print();
    EXPECT_EQ(pageNumbers[1], "2");
}

TEST_F(GridPrint, FitToPageScalesTheColumnsAsAsked) {
    struct Case {
        TFitToPage fit;
        int cols;
        const char* expect; // "same", "wider", "narrower", "fills"
    };
    const Case cases[] = {
        {fpShrink, 2, "same"},      {fpGrow, 30, "same"},   {fpGrow, 2, "wider"},
        {fpShrink, 30, "narrower"}, {fpAlways, 2, "fills"}, {fpAlways, 30, "fills"},
    };
    for (const Case& c : cases) {
        fill(c.cols, 5);
        g.PrintSettings()->SetFitToPage(fpNever);
        g.Print();
        const int natural = g.PrintColWidth(1);
        g.PrintSettings()->SetFitToPage(c.fit);
        g.PrintSettings()->SetLeftSize(100);
        g.PrintSettings()->SetRightSize(100);
        g.Print();
        const std::string what = c.expect;
        const int scaled = g.PrintColWidth(1);
        if (what == "same") {
            EXPECT_EQ(scaled, natural) << c.fit << " " << c.cols;
        } else if (what == "wider") {
            EXPECT_GT(scaled, natural) << c.fit << " " << c.cols;
        } else if (what == "narrower") {
            EXPECT_LT(scaled, natural) << c.fit << " " << c.cols;
        } else {
            const int W = g.PrintPageRect().Right;
            // One band that fills the page between the margins, up to truncation.
            EXPECT_EQ(store.pages.size(), 1u) << c.cols;
            EXPECT_LE(g.PrintPageWidth(), W - 200) << c.cols;
            EXPECT_GE(g.PrintPageWidth(), W - 200 - c.cols) << c.cols;
        }
        g.PrintSettings()->SetLeftSize(0);
        g.PrintSettings()->SetRightSize(0);
    }
}

TEST_F(GridPrint, ANarrowGridIsCentredOrStartsAtTheLeftMargin) {
    fill(2, 5);
    g.Print();
    const int W = g.PrintPageRect().Right;
    EXPECT_EQ(g.PrintColOffset(0), (W - g.PrintPageWidth()) / 2);
    g.PrintSettings()->SetCentered(false);
    g.PrintSettings()->SetLeftSize(150);
    g.Print();
    EXPECT_EQ(g.PrintColOffset(0), 150);
    // A print range of one column prints one band of that column.
    g.PrintRect({1, 0, 1, 4});
    EXPECT_EQ(g.PrintColStart(), 1);
    EXPECT_EQ(g.PrintColEnd(), 1);
    EXPECT_EQ(store.pages.size(), 1u);
}

TEST_F(GridPrint, PrintStartChoosesThePagesOrStopsThePrint) {
    fill(3, 120);
    int offered = 0;
    g.OnPrintStart = [&](TObject*, int N, int& from, int& to) {
        offered = N;
        from = 2;
        to = 3;
    };
    g.Print();
    EXPECT_GE(offered, 3);
    EXPECT_EQ(store.pages.size(), 2u);
    g.OnPrintStart = [&](TObject*, int, int& from, int& to) { from = to = 0; };
    store.pages.clear();
    g.Print();
    EXPECT_TRUE(store.pages.empty());
}

TEST_F(GridPrint, ThePreviewShowsThePrintedPages) {
    fill(4, 120);
    g.PrintSettings()->SetPageNr(ppBottomRight);
    g.PrintSettings()->SetTitleText("Inventory");
    g.PrintSettings()->SetTitle(ppTopLeft);
    g.PrintSettings()->SetBorders(pbAround);
    g.Print();
    const int pages = int(store.pages.size());
    ASSERT_GT(pages, 2);
    const TBitmap& printed = *store.pages[1];
    TBitmap shown(printed.Width(), printed.Height());
    g.SetPreviewPage(2);
    g.PrintPreview(shown.Canvas(), TRect(0, 0, printed.Width(), printed.Height()));
    EXPECT_EQ(g.PrintNrOfPages(), pages);
    EXPECT_FALSE(g.IsPrintPreview());
    int differ = 0, dark = 0;
    for (int y = 0; y < printed.Height(); ++y)
        for (int x = 0; x < printed.Width(); ++x) {
            differ += printed.PixelColor(x, y) != shown.PixelColor(x, y);
            dark += greyOf(printed, x, y) < 128;
        }
    EXPECT_GT(dark, 1000);
    EXPECT_EQ(differ, 0);
}

TEST_F(GridPrint, AGridOf500RowsPrintsToAPdfFile) {
    if (std::system("command -v pdftoppm >/dev/null && command -v pdfinfo >/dev/null") != 0)
        GTEST_SKIP() << "poppler-utils are not installed";
    fill(12, 500);
    g.PrintSettings()->SetRepeatFixedRows(true);
    g.PrintSettings()->SetPageNr(ppBottomCenter);
    g.PrintSettings()->SetTitleText("Telegrams");
    g.PrintSettings()->SetTitle(ppTopCenter);
    g.PrintSettings()->SetFitToPage(fpShrink);
    g.Print(); // the pages as the printer gets them
    const int pages = int(store.pages.size());
    ASSERT_GT(pages, 5);

    const std::string pdf = folder.Path("grid.pdf");
    SetPrintBackend(QtPrintBackend());
    Printer()->SetFileName(pdf);
    g.PrintSettings()->SetJobName("Grid");
    g.Print();
    Printer()->SetFileName("");
    ASSERT_TRUE(FileExists(pdf));
    EXPECT_EQ(ReadBinaryFile(pdf, 5), "%PDF-");
    EXPECT_EQ(pdfPageCount(pdf), pages);
    for (int n : {1, 2, pages}) {
        const Raster r = renderPdfPage(pdf, n, ScreenPixelsPerInch, folder.Path("page"));
        const TBitmap& expected = *store.pages[std::size_t(n - 1)];
        ASSERT_EQ(r.w, expected.Width());
        ASSERT_EQ(r.h, expected.Height());
        // The PDF may compress the page lossily: compare light and dark, not exact values.
        int mismatched = 0, dark = 0;
        for (int y = 0; y < r.h; ++y)
            for (int x = 0; x < r.w; ++x) {
                const bool d = greyOf(expected, x, y) < 100;
                dark += d;
                mismatched += d != (r.grey(x, y) < 128) &&
                              std::abs(greyOf(expected, x, y) - r.grey(x, y)) > 60;
            }
        EXPECT_GT(dark, 1000) << n;
        EXPECT_LT(mismatched, dark / 50) << n;
    }
}

namespace {
// Pixels of a page close to a colour.
int pixelsNear(const TBitmap& b, TColor c) {
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const TColor p = b.PixelColor(x, y);
            n += std::abs(GetRValue(p) - GetRValue(c)) < 60 &&
                 std::abs(GetGValue(p) - GetGValue(c)) < 60 &&
                 std::abs(GetBValue(p) - GetBValue(c)) < 60;
        }
    return n;
}
} // namespace

TEST_F(GridPrint, MarkupAndRichTextPrintWithTheirLooks) {
    const TColor red = RGB(255, 0, 0), blue = RGB(0, 0, 255);
    struct Case {
        const char* name;
        std::string cell;
        std::string title; // a title line
        TColor color;      // printed only through the looks of the texts
    };
    const Case cases[] = {
        {"markup cell", "<font color=\"#FF0000\" size=\"14\"><b>REDREDRED</b></font>", "", red},
        {"rich-text cell", "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cf1\\fs32 REDREDRED}", "",
         red},
        {"markup title", "plain", "<font color=\"#0000FF\" size=\"14\">BLUEBLUE</font>", blue},
    };
    for (const Case& c : cases) {
        fill(2, 3);
        g.SetEnableHTML(true);
        g.SetCells(1, 1, c.cell);
        g.PrintSettings()->TitleLines()->Clear();
        g.PrintSettings()->SetTitle(c.title.empty() ? ppNone : ppTopLeft);
        if (!c.title.empty()) g.PrintSettings()->TitleLines()->Add(c.title);
        g.Print();
        ASSERT_EQ(store.pages.size(), 1u) << c.name;
        EXPECT_GT(pixelsNear(*store.pages[0], c.color), 20) << c.name;
    }
}

TEST_F(GridPrint, CellGraphicsPrintWhenAsked) {
    TBitmap green(16, 16);
    green.Canvas()->Brush()->SetColor(RGB(0, 160, 0));
    green.Canvas()->FillRect(TRect(0, 0, 16, 16));
    for (bool printGraphics : {false, true}) {
        fill(3, 4);
        g.AddBitmap(1, 1, &green, false, haBeforeText, vaTop);
        g.PrintSettings()->SetPrintGraphics(printGraphics);
        g.Print();
        ASSERT_EQ(store.pages.size(), 1u);
        const int greens = pixelsNear(*store.pages[0], RGB(0, 160, 0));
        if (printGraphics)
            EXPECT_GT(greens, 100);
        else
            EXPECT_EQ(greens, 0);
        g.RemoveBitmap(1, 1);
    }
    // A printed check box is drawn: its column holds more dark pixels than its texts alone.
    auto darkIn = [&](int col) {
        const TBitmap& page = *store.pages[0];
        const int x0 = MulDiv(g.PrintColOffset(col), ScreenPixelsPerInch, 254);
        const int x1 =
            MulDiv(g.PrintColOffset(col) + g.PrintColWidth(col), ScreenPixelsPerInch, 254);
        int n = 0;
        for (int y = 0; y < page.Height(); ++y)
            for (int x = x0; x < x1 && x < page.Width(); ++x) n += greyOf(page, x, y) < 128;
        return n;
    };
    fill(3, 4);
    g.SetCells(2, 2, "");
    g.PrintSettings()->SetPrintGraphics(true);
    g.Print();
    const int without = darkIn(2);
    g.AddCheckBox(2, 2, true, false);
    g.Print();
    EXPECT_GT(darkIn(2), without + 10);
}

TEST(GridPrintRotation, TurnedTextStartsWhereItsAlignmentsPutIt) {
    // A 100 x 60 rectangle and a text of 40 x 10; the values by the quadrant rule.
    const TRect R(0, 0, 100, 60);
    struct Case {
        int angle;
        TAlignment ha;
        TVAlignment va;
        TPoint origin;
    };
    const Case cases[] = {
        {90, taLeftJustify, vtaTop, {0, 40}},      // (L, T + sw)
        {90, taRightJustify, vtaBottom, {90, 60}}, // (R - cw - sh, Bt - ch)
        {0, taCenter, vtaCenter, {30, 25}},        {180, taLeftJustify, vtaTop, {40, 10}},
        {270, taLeftJustify, vtaBottom, {10, 20}}, {300, taRightJustify, vtaTop, {80, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TQorStringGrid::RotatedTextOrigin(R, c.angle, c.ha, c.va, 40, 10), c.origin)
            << c.angle << " " << c.ha << " " << c.va;
}

TEST_F(GridPrint, RotatedCellsPrintTurned) {
    fill(2, 3);
    g.SetCells(1, 1, "TURNED TEXT");
    g.SetRowHeights(1, 120);
    g.PrintSettings()->SetNoAutoSizeRow(true);
    g.Print();
    TBitmap flat;
    flat.Assign(store.pages[0].get());
    g.SetRotated(1, 1, 90);
    g.Print();
    const TBitmap& turned = *store.pages[0];
    // Turned, the text's dark pixels spread over more rows than flat.
    auto rowsWithInk = [&](const TBitmap& b) {
        const int x0 = MulDiv(g.PrintColOffset(1), ScreenPixelsPerInch, 254);
        const int x1 = MulDiv(g.PrintColOffset(1) + g.PrintColWidth(1), ScreenPixelsPerInch, 254);
        int rows = 0;
        for (int y = 0; y < b.Height(); ++y) {
            bool ink = false;
            for (int x = x0 + 2; x < x1 - 2 && !ink; ++x) ink = greyOf(b, x, y) < 100;
            rows += ink;
        }
        return rows;
    };
    EXPECT_GT(rowsWithInk(turned), rowsWithInk(flat) + 20);
}

TEST_F(GridPrint, FastPrintPrintsEveryPageWithoutTheCount) {
    fill(3, 250);
    g.PrintSettings()->SetPageNr(ppBottomCenter);
    g.Print();
    const std::size_t pages = store.pages.size();
    ASSERT_GT(pages, 3u);
    pageNumbers.clear();
    g.SetFastPrint(true);
    g.Print();
    EXPECT_EQ(store.pages.size(), pages);
    ASSERT_EQ(pageNumbers.size(), pages);
    // The page count is not known before the pages are laid out.
    EXPECT_EQ(pageNumbers[1], "2");
}

namespace {
// Pixels of a rendered PDF page close to a colour, in the columns x0 to x1 (exclusive).
int rasterPixelsNear(const Raster& r, TColor c, int x0, int x1) {
    int n = 0;
    for (int y = 0; y < r.h; ++y)
        for (int x = std::max(0, x0); x < std::min(x1, r.w); ++x) {
            const unsigned char* p =
                &r.rgb[(std::size_t(y) * std::size_t(r.w) + std::size_t(x)) * 3];
            n += std::abs(p[0] - GetRValue(c)) < 60 && std::abs(p[1] - GetGValue(c)) < 60 &&
                 std::abs(p[2] - GetBValue(c)) < 60;
        }
    return n;
}
} // namespace

TEST_F(GridPrint, RadioGroupsProgressBarsShapesAndRatingsPrintInTheirCells) {
    if (std::system("command -v pdftoppm >/dev/null") != 0)
        GTEST_SKIP() << "poppler-utils are not installed";
    const TColor red = RGB(255, 0, 0), blue = RGB(0, 0, 255), orange = RGB(255, 128, 0),
                 magenta = RGB(255, 0, 255), cyan = RGB(0, 255, 255), teal = RGB(0, 128, 128),
                 radioDot = RGB(33, 161, 33);
    TImageList images;
    images.SetSize(16, 16);
    TBitmap square(16, 16);
    square.Canvas()->Brush()->SetColor(teal);
    square.Canvas()->FillRect(TRect(0, 0, 16, 16));
    images.Add(&square, nullptr);
    TStringList items;
    items.Add("One");
    items.Add("Two");
    struct Case {
        const char* name;
        std::function<void(int col)> add;
        std::string value;
        TColor color;         // drawn only by the graphic
        bool inkless = false; // the graphic draws nothing black
    };
    const Case cases[] = {
        {"radio group", [&](int c) { g.AddRadio(c, 0, 0, 1, &items); }, "", radioDot},
        {"radio button", [&](int c) { g.AddRadioButton(c, 0, true); }, "", radioDot},
        {"progress bar", [&](int c) { g.AddProgress(c, 0, red, clWhite); }, "50", red},
        {"progress appearance", [&](int c) { g.AddQorProgress(c, 0, 0, 10); }, "5", blue},
        {"progress pie", [&](int c) { g.AddProgressPie(c, 0, cyan, 40); }, "", cyan},
        {"shape", [&](int c) { g.AddShape(c, 0, csCircle, orange, orange, haLeft, vaTop); }, "",
         orange},
        {"rating", [&](int c) { g.AddRating(c, 0, 5, magenta, clSilver); }, "3", magenta, true},
        {"image row",
         [&](int c) {
             g.AddMultiImage(c, 0, 1, haLeft, vaTop);
             g.CellImages(c, 0)->Add(0);
             g.CellImages(c, 0)->Add(0);
         },
         "", teal},
    };
    const int n = int(std::size(cases));
    const std::string pdf = folder.Path("graphics.pdf");
    SetPrintBackend(QtPrintBackend());
    Printer()->SetPixelsPerInch(300);
    Printer()->SetFileName(pdf);
    g.SetGridImages(&images);
    g.ControlLook()->SetControlStyle(csWinXP);
    g.ControlLook()->SetRadioAlwaysActive(true);
    g.ProgressAppearance()->SetLevel0Color(blue);
    g.PrintSettings()->SetBorders(pbNoborder);
    for (bool printGraphics : {false, true}) {
        g.SetColCount(n);
        g.SetRowCount(1);
        g.SetFixedRows(0);
        g.SetFixedCols(0);
        g.SetDefaultRowHeight(40);
        for (int c = 0; c < n; ++c) {
            g.SetColWidths(c, 150);
            g.SetCells(c, 0, cases[c].value);
            cases[c].add(c);
        }
        g.PrintSettings()->SetPrintGraphics(printGraphics);
        g.Print();
        const Raster page = renderPdfPage(pdf, 1, 150, folder.Path("graphics"));
        ASSERT_GT(page.w, 0);
        auto x = [](int units) { return MulDiv(units, 150, 254); };
        for (int c = 0; c < n; ++c) {
            const int x0 = x(g.PrintColOffset(c)), x1 = x(g.PrintColOffset(c) + g.PrintColWidth(c));
            const int inside = rasterPixelsNear(page, cases[c].color, x0, x1);
            if (printGraphics)
                EXPECT_GT(inside, 15) << cases[c].name;
            else
                EXPECT_EQ(inside, 0) << cases[c].name;
            // A graphic that shows its value prints it instead of the cell's text.
            if (!cases[c].inkless) continue;
            const int ink = rasterPixelsNear(page, clBlack, x0, x1);
            if (printGraphics)
                EXPECT_EQ(ink, 0) << cases[c].name;
            else
                EXPECT_GT(ink, 5) << cases[c].name;
        }
        // Nothing is drawn outside the cells.
        const int right = x(g.PrintColOffset(n - 1) + g.PrintColWidth(n - 1));
        for (TColor color : {red, blue, orange, magenta, cyan, teal, radioDot})
            EXPECT_EQ(rasterPixelsNear(page, color, right + 2, page.w), 0);
    }
    Printer()->SetFileName("");
    g.SetGridImages(nullptr);
}

TEST_F(GridPrint, PrintedGlyphsAndStarsGrowWithThePrintersResolution) {
    fill(3, 2);
    g.ControlLook()->SetControlStyle(csWinXP);
    g.ControlLook()->SetRadioAlwaysActive(true);
    g.AddRadioButton(1, 1, true);
    g.AddRating(2, 1, 3, RGB(255, 0, 255), clSilver);
    g.SetCells(2, 1, "3");
    g.PrintSettings()->SetPrintGraphics(true);
    // Width in page pixels of what a colour covers.
    auto widthOf = [&](TColor color) {
        const TBitmap& page = *store.pages[0];
        int first = -1, last = -1;
        for (int x = 0; x < page.Width(); ++x)
            for (int y = 0; y < page.Height(); ++y) {
                const TColor p = page.PixelColor(x, y);
                if (std::abs(GetRValue(p) - GetRValue(color)) < 40 &&
                    std::abs(GetGValue(p) - GetGValue(color)) < 40 &&
                    std::abs(GetBValue(p) - GetBValue(color)) < 40) {
                    if (first < 0) first = x;
                    last = x;
                    break;
                }
            }
        return first < 0 ? 0 : last - first + 1;
    };
    for (TColor color : {RGB(33, 161, 33), RGB(255, 0, 255)}) {
        Printer()->SetPixelsPerInch(ScreenPixelsPerInch);
        g.Print();
        const int screen = widthOf(color);
        Printer()->SetPixelsPerInch(300);
        g.Print();
        const int paper = widthOf(color);
        ASSERT_GT(screen, 3);
        EXPECT_NEAR(paper / double(screen), 300.0 / ScreenPixelsPerInch, 0.5) << screen;
    }
}

TEST_F(GridPrint, EveryLineOfAMultiLineCellPrints) {
    // Dark pixels of cell (1, 1) with a text.
    auto inkOf = [&](const std::string& text) {
        fill(2, 3);
        g.SetCells(1, 1, text);
        g.Print();
        const TBitmap& page = *store.pages[0];
        const int x0 = MulDiv(g.PrintColOffset(1), ScreenPixelsPerInch, 254);
        const int x1 = MulDiv(g.PrintColOffset(1) + g.PrintColWidth(1), ScreenPixelsPerInch, 254);
        int n = 0;
        for (int y = 0; y < page.Height(); ++y)
            for (int x = x0 + 2; x < x1 - 2; ++x) n += greyOf(page, x, y) < 100;
        return n;
    };
    const int second = inkOf("WWWW");
    const int both = inkOf("MMMM\r\nWWWW");
    const int header = inkOf("");
    EXPECT_GT(both - header, (second - header) * 3 / 2);
}
