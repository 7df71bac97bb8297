// The HTML table export: the page of the documented example byte for byte, classes, merged
// cells, links, escaping, pictures beside the page, header and footer files, and a page drawn
// by a browser.
#include "grid/core/QorStringGrid.h"
#include "grid/data/DataSettings.h"
#include "platform/files/Files.h"
#include "platform/gfx/Imaging.h"
#include "platform/process/Process.h"
#include "tests/BrowserShot.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

namespace {

struct HtmlGrid {
    TQorStringGrid g{nullptr};
    HtmlGrid(int cols, int rows, int fixedCols = 0, int fixedRows = 0) {
        g.SetColCount(cols);
        g.SetRowCount(rows);
        g.SetFixedCols(fixedCols);
        g.SetFixedRows(fixedRows);
    }
};

bool contains(const std::string& s, const std::string& part) {
    return s.find(part) != std::string::npos;
}

const std::string style0 = "background-color: #FFFFFF;color: #000000;font-size:8pt;"
                           "font-family: Tahoma;vertical-align: top";

TEST(GridHTML, TheDocumentedExampleByteForByte) {
    HtmlGrid k(2, 2);
    k.g.SetCells(0, 0, "a");
    k.g.SetCells(1, 0, "b");
    k.g.SetCells(0, 1, "c");
    k.g.SetCells(1, 1, "d");
    EXPECT_EQ(k.g.SaveToHTMLString(""),
              "<meta charset=\"utf-8\">\r\n"
              "<style>\r\n.c0 {" +
                  style0 +
                  "}\r\n</style>\r\n"
                  "<TABLE BORDER=\"1\" CELLSPACING=\"0\" CELLPADDING=\"0\"  WIDTH=\"100%\">\r\n"
                  "<TR><TD class=\"c0\" nowrap>a</td><TD class=\"c0\" nowrap>b</td></TR>\r\n"
                  "<TR><TD class=\"c0\" nowrap>c</td><TD class=\"c0\" nowrap>d</td></TR>\r\n"
                  "</TABLE>\r\n");

    // The settings' texts and the XHTML frame.
    THTMLSettings& hs = *k.g.HTMLSettings();
    hs.SetSummary("s");
    hs.SetTableStyle("class=\"t\"");
    hs.SetSuffixTag("<p>end</p>");
    hs.SetXHTML(true);
    const std::string x = k.g.SaveToHTMLString("");
    EXPECT_TRUE(x.starts_with("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<!DOCTYPE html "));
    EXPECT_TRUE(contains(x, "CELLPADDING=\"0\" SUMMARY=\"s\"  class=\"t\"  WIDTH=\"100%\">\r\n"));
    EXPECT_TRUE(x.ends_with("</TABLE>\r\n<p>end</p>\r\n</HTML>\r\n"));
}

TEST(GridHTML, ClassesMergedCellsLinksAndTexts) {
    HtmlGrid k(4, 4);
    k.g.SetCells(0, 0, "plain");
    k.g.SetCells(1, 0, "bold");
    k.g.SetFontStyles(1, 0, TFontStyles{fsBold});
    k.g.SetCells(2, 0, "plain too");
    k.g.SetCells(0, 1, "merged");
    k.g.MergeCells(0, 1, 3, 2);
    k.g.SetCells(3, 1, "   ");
    k.g.SetCells(3, 2, "a<b> & \"c\" \xC3\xA9\r\nline");
    k.g.SetCells(3, 3, "http://example.com/x");
    k.g.SetCells(2, 3, "mailto:me@example.com");
    k.g.SetURLShow(true);
    const std::string h = k.g.SaveToHTMLString("");
    EXPECT_TRUE(contains(h, ".c1 {" +
                                StringReplaceAll(style0, ";font-family",
                                                 ";font-weight: "
                                                 "bold;font-family") +
                                "}"));
    // Cells with properties wrap their words unless told otherwise.
    EXPECT_TRUE(contains(h, "<TR><TD class=\"c0\" nowrap>plain</td><TD class=\"c1\">bold</td>"
                            "<TD class=\"c0\" nowrap>plain too</td>"));
    // The merged area's covered cells write nothing.
    EXPECT_TRUE(contains(h, "<TR><TD class=\"c0\" COLSPAN=\"3\" ROWSPAN=\"2\">merged</td>"
                            "<TD class=\"c0\" nowrap>&nbsp;</td></TR>\r\n<TR><TD class=\"c0\" "
                            "nowrap>a&lt;b&gt; &amp; &quot;c&quot; \xC3\xA9<br>line</td></TR>"));
    EXPECT_TRUE(contains(h, ">http://example.com/x<") == false &&
                contains(h, "<a href=http://example.com/x>example.com/x</a>"));
    EXPECT_TRUE(contains(h, "<a href=mailto:me@example.com>me@example.com</a>"));

    // With ConvertSpecialChars the named entities too.
    k.g.HTMLSettings()->SetConvertSpecialChars(true);
    EXPECT_TRUE(contains(k.g.SaveToHTMLString(""), "&quot;c&quot; &eacute;<br>line"));
}

TEST(GridHTML, PicturesAreWrittenAsJpegFilesBesideThePage) {
    TempFolder folder("grid_html");
    HtmlGrid k(2, 2);
    for (int c = 0; c < 2; ++c) {
        TBitmap* bmp = k.g.CreateBitmap(c, 1, false, haLeft, vaTop);
        bmp->SetSize(8, 6);
        bmp->Canvas()->Brush()->SetColor(clRed);
        bmp->Canvas()->FillRect(TRect(0, 0, 8, 6));
    }
    k.g.SetCells(0, 1, "pic");
    const std::string page = folder.Path("page.html");
    k.g.SaveToHTML(page);
    const std::string h = ReadBinaryFile(page);
    const std::string dir = folder.Dir() + "/images/";
    EXPECT_TRUE(contains(h, ">pic<img src= \"file://" + dir + "img1.jpg\"></td>"));
    EXPECT_TRUE(contains(h, ">&nbsp;<img src= \"file://" + dir + "img2.jpg\"></td>"));
    for (const char* name : {"img1.jpg", "img2.jpg"}) {
        TPicture pic;
        pic.LoadFromFile(dir + name);
        EXPECT_NE(dynamic_cast<TJPEGImage*>(pic.Graphic()), nullptr);
        EXPECT_EQ(pic.Width(), 8);
    }
    k.g.HTMLSettings()->SetExportImages(false);
    EXPECT_FALSE(contains(k.g.SaveToHTMLString(dir), "<img"));

    // A folder for the images that cannot be made stops the export before the page is written.
    k.g.HTMLSettings()->SetExportImages(true);
    ForceDirectories(folder.Path("blocked"));
    WriteBinaryFile(folder.Path("blocked/images"), "a file");
    try {
        k.g.SaveToHTML(folder.Path("blocked/page.html"));
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create " + folder.Dir() + "/blocked/images");
    }
    EXPECT_FALSE(FileExists(folder.Path("blocked/page.html")));
}

TEST(GridHTML, FilesCarryTheirCharsetHeaderFooterAndAppend) {
    TempFolder folder("grid_html");
    HtmlGrid k(1, 1);
    k.g.SetCells(0, 0, "caf\xC3\xA9 \xE2\x82\xAC");
    THTMLSettings& hs = *k.g.HTMLSettings();
    WriteBinaryFile(folder.Path("head.txt"), "<html><body>\n");
    WriteBinaryFile(folder.Path("foot.txt"), "</body></html>\n");
    hs.SetHeaderFile(folder.Path("head.txt"));
    hs.SetFooterFile(folder.Path("foot.txt"));
    const std::string page = folder.Path("p.html");
    k.g.SaveToHTML(page);
    const std::string h = ReadBinaryFile(page);
    EXPECT_TRUE(h.starts_with("<html><body>\r\n<meta charset=\"utf-8\">\r\n"));
    EXPECT_TRUE(contains(h, ">caf\xC3\xA9 \xE2\x82\xAC</td>"));
    EXPECT_TRUE(h.ends_with("</TABLE>\r\n\r\n</body></html>\r\n"));

    hs.SetHeaderFile("");
    hs.SetFooterFile("");
    k.g.AppendToHTML(page);
    const std::string twice = ReadBinaryFile(page);
    EXPECT_TRUE(twice.starts_with(h));
    EXPECT_TRUE(contains(twice.substr(h.size()), "<TABLE"));

    k.g.SaveToHTML(page, false, true);
    const std::string wide = ReadBinaryFile(page);
    ASSERT_GE(wide.size(), 4u);
    EXPECT_EQ(wide.substr(0, 4), std::string("\xFF\xFE<\0", 4));
    EXPECT_EQ(DecodeText(wide).substr(0, 23), "<meta charset=\"utf-16\">");

    // A header file that cannot be read: nothing is written.
    hs.SetHeaderFile(folder.Path("missing.txt"));
    EXPECT_THROW(k.g.SaveToHTML(folder.Path("q.html")), Exception);
    EXPECT_FALSE(FileExists(folder.Path("q.html")));
}

TEST(GridHTML, ShowOpensThePageInTheViewer) {
    TempFolder folder("grid_html");
    std::string opened;
    SetShellOpenHandler([&](const std::string& target) {
        opened = target;
        return true;
    });
    HtmlGrid k(1, 1);
    k.g.SaveToHTML(folder.Path("a.html"));
    EXPECT_EQ(opened, "");
    k.g.SaveToHTML(folder.Path("a.html"), true);
    EXPECT_EQ(opened, folder.Path("a.html"));
    k.g.HTMLSettings()->SetAutoPreview(true);
    k.g.SaveToHTML(folder.Path("b.html"));
    EXPECT_EQ(opened, folder.Path("b.html"));
    SetShellOpenHandler({});
}

TEST(GridHTML, ABrowserShowsMergedAndColouredCells) {
    const std::string browser = findBrowser();
    if (browser.empty()) GTEST_SKIP() << "chromium is not installed; the page is not drawn";
    TempFolder folder("grid_html_browser");
    HtmlGrid k(2, 2);
    k.g.Font()->SetSize(40);
    k.g.SetCells(0, 0, "M");
    k.g.MergeCells(0, 0, 2, 1);
    k.g.SetColors(0, 0, clRed);
    k.g.SetCells(0, 1, "B");
    k.g.SetColors(0, 1, clBlue);
    k.g.SetCells(1, 1, "W");
    k.g.HTMLSettings()->ColWidths()->Add(200);
    k.g.HTMLSettings()->ColWidths()->Add(200);
    const std::string page = folder.Path("page.html");
    k.g.SaveToHTML(page);
    const std::string shot = folder.Path("shot.png");
    ASSERT_TRUE(browserScreenshot(browser, page, shot, folder.Path("profile"), 400, 300));
    ASSERT_TRUE(FileExists(shot)) << "the browser wrote no screenshot";
    TPicture pic;
    pic.LoadFromFile(shot);
    TBitmap* b = pic.Bitmap();
    // Row 0: one red cell across both columns; row 1: a blue cell and a white one.
    EXPECT_EQ(ColorToRGB(b->Canvas()->Pixels(60, 30)), clRed);
    EXPECT_EQ(ColorToRGB(b->Canvas()->Pixels(340, 30)), clRed);
    EXPECT_EQ(ColorToRGB(b->Canvas()->Pixels(60, 100)), clBlue);
    EXPECT_EQ(ColorToRGB(b->Canvas()->Pixels(340, 100)), clWhite);
}

} // namespace
