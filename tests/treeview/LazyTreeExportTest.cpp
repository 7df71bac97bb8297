// Exporting a string tree: separated text and CSV lines, RTF, HTML (also as a browser shows it),
// the clipboard blocks and the custom export's events.
#include "treeview/services/LazyTreeExport.h"
#include "grid/core/base/GridUtils.h"
#include "platform/base/FormatSettings.h"
#include "platform/gfx/Imaging.h"
#include "platform/process/Process.h"
#include "platform/ui/core/Clipbrd.h"
#include "platform/ui/core/DragDrop.h"
#include "tests/BrowserShot.h"
#include "tests/TempFolder.h"
#include "tests/treeview/TreeInput.h"
#include "treeview/LazyTreeClipboard.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

// Column c > 0 shows the node's name with ".c" added.
struct ExportTree : TreeFixture {
    explicit ExportTree(const std::vector<std::string>& rows, int columns = 0)
        : TreeFixture(rows, false) {
        tree->OnGetText = [this](TBaseLazyTree*, PLazyNode n, int column, TVSTTextType type,
                                 std::string& text) {
            if (type == ttNormal)
                text = names[n] + (column > 0 ? "." + std::to_string(column) : "");
            else
                text = statics[n];
        };
        for (int i = 0; i < columns; ++i) {
            TLazyTreeColumn* c = tree->Header()->Columns()->Add();
            c->SetWidth(60 + 12 * i);
            c->SetText(std::string(1, char('A' + i)));
        }
        tree->FullExpand();
    }
    std::map<PLazyNode, std::string> statics;
    void setExportMode(TLTExportMode m) { tree->TreeOptions()->SetExportMode(m); }
};

std::string blockBytes(HGLOBAL h) {
    if (!h) return "<none>";
    std::string s(static_cast<const char*>(GlobalLock(h)), GlobalSize(h));
    GlobalUnlock(h);
    GlobalFree(h);
    return s;
}

TEST(LazyTreeExport, TextLinesIndentAndQuote) {
    struct Case {
        const char* what;
        int columns;
        std::string separator;
        std::string expected;
    };
    const Case cases[] = {
        {"without columns: indentation and the text", 0, ",", "a\r\n,b\r\n,,c\r\nd\r\n"},
        {"with columns: the main column padded to the deepest level", 2, ",",
         "A,,,B\r\na,,,a.1\r\n,b,,b.1\r\n,,c,c.1\r\nd,,,d.1\r\n"},
        {"a tab separator", 2, "\t",
         "A\t\t\tB\r\na\t\t\ta.1\r\n\tb\t\tb.1\r\n\t\tc\tc.1\r\nd\t\t\td.1\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ExportTree t({"a", "a/b", "a/b/c", "d"}, c.columns);
        EXPECT_EQ(ExportText(t.tree, tstAll, c.separator), c.expected);
    }
    // Fields holding the separator, a quote or a line break are quoted.
    ExportTree t({"x,y", "say \"hi\"", "two\nlines", "tab\there"});
    EXPECT_EQ(t.tree->ContentToText(tstAll, ","),
              "\"x,y\"\r\n\"say \"\"hi\"\"\"\r\n\"two\nlines\"\r\ntab\there\r\n");
    EXPECT_EQ(t.tree->ContentToUnicode(tstAll, '\t'),
              "x,y\r\n\"say \"\"hi\"\"\"\r\n\"two\nlines\"\r\n\"tab\there\"\r\n");
    // Static texts join the field with toShowStaticText; the export mode is ignored.
    ExportTree s({"a", "b"}, 1);
    s.statics[s["a"]] = "st";
    auto o = s.tree->TreeOptions()->StringOptions();
    o.Include(toShowStaticText);
    s.tree->TreeOptions()->SetStringOptions(o);
    s.setExportMode(emChecked);
    EXPECT_EQ(ExportText(s.tree, tstAll, ";"), "A\r\na st\r\nb\r\n");
}

TEST(LazyTreeExport, SourcesPickTheNodes) {
    ExportTree t({"a", "a/b", "c", "d"});
    t.setSelectionOptions({toMultiSelect});
    t.tree->SetSelected(t["b"], true);
    t.tree->SetSelected(t["d"], true);
    t.tree->SetCheckType(t["c"], ctCheckBox);
    t.tree->SetCheckState(t["c"], csCheckedNormal);
    EXPECT_EQ(ExportText(t.tree, tstSelected, ","), ",b\r\nd\r\n");
    EXPECT_EQ(ExportText(t.tree, tstChecked, ","), "c\r\n");
    t.tree->SetExpanded(t["a"], false);
    EXPECT_EQ(ExportText(t.tree, tstVisible, ","), "a\r\nc\r\nd\r\n");
    EXPECT_EQ(ExportText(t.tree, TVSTTextSourceType(77), ","), "a\r\n,b\r\nc\r\nd\r\n");
}

TEST(LazyTreeExport, RtfRunsAndDocument) {
    ExportTree t({"Ab", "Ab/x\ny", "\xEF\xBC\xA1"});
    FormatSettings().MetricMeasurement = true;
    const std::string rtf = ExportRtf(t.tree, tstAll);
    // One cell of the client width; the first run names font, colour and size, later runs
    // with the same font do not; a child is indented with a tab; U+FF21 is negative as int16.
    const std::string cellx = "\\cellx" + std::to_string(t.tree->ClientWidth() * 15);
    EXPECT_EQ(rtf, "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl{\\f0 " +
                       t.tree->Font()->Name() +
                       ";}}{\\colortbl;\\red0\\green0\\blue0;}"
                       "\\paperw16840\\paperh11907\\margl720\\margr720\\margt720\\margb720"
                       "\\uc1\\trowd\\trgaph70" +
                       cellx +
                       "\\pard\\intbl\\f0\\cf1\\fs16 \\u65\\'3f\\u98\\'3f\\cell\\row\r\n"
                       "\\pard\\intbl\\tab  \\u120\\'3f{\\par}\\u121\\'3f\\cell\\row\r\n"
                       "\\pard\\intbl \\u-223\\'3f\\cell\\row\r\n"
                       "\\pard\\par}");
    FormatSettings().MetricMeasurement = false;
    EXPECT_NE(ExportRtf(t.tree, tstAll).find("\\paperw15840\\paperh12240"), std::string::npos);
    FormatSettings().MetricMeasurement = LocaleMeasuresMetric();
}

TEST(LazyTreeExport, RtfColumnsAndStyledRuns) {
    ExportTree t({"a", "a/b"}, 2);
    t.tree->Header()->Columns()->Items(1)->SetAlignment(taRightJustify);
    t.tree->OnPaintText = [&](TBaseLazyTree*, TCanvas* canvas, PLazyNode n, int column,
                              TVSTTextType) {
        if (n == t["b"] && column == 1) canvas->Font()->SetStyle({fsBold});
    };
    const std::string rtf = ExportRtf(t.tree, tstAll);
    const auto body = rtf.substr(rtf.find("\\uc1"));
    EXPECT_EQ(body, "\\uc1\\trowd\\trgaph70\\cellx900\\cellx1980"
                    "\\pard\\intbl\\ql\\f0\\cf1\\fs16 \\u65\\'3f\\cell\\qr \\u66\\'3f\\cell\\row"
                    "\\pard\\intbl \\u97\\'3f\\cell\\pard\\intbl\\qr "
                    "\\u97\\'3f\\u46\\'3f\\u49\\'3f\\cell\\row\r\n"
                    "\\pard\\intbl\\tab  \\u98\\'3f\\cell\\pard\\intbl\\qr\\b "
                    "\\u98\\'3f\\u46\\'3f\\u49\\'3f\\b0\\cell\\row\r\n"
                    "\\pard\\par}");
}

TEST(LazyTreeExport, HtmlOfASmallTree) {
    ExportTree t({"a", "a/b<&>\""});
    t.tree->SetMargin(4);
    const std::string html = ExportHtml(t.tree, tstAll, "Cap \"1\"");
    const std::string font = t.tree->Font()->Name();
    const std::string bg = "#" + ColorToHTMLHex(t.tree->Color());
    const std::string pad = "padding-left: 4px; padding-right: 4px;";
    const std::string style = "font-family: '" + font +
                              "'; font-size: 8pt; font-style: normal; font-weight: normal; "
                              "text-decoration: none; color: #000000;}";
    EXPECT_EQ(
        html,
        "<META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
        "<style type=\"text/css\">\r\n"
        ".default{" +
            style +
            "\r\n"
            ".header{" +
            style +
            "\r\n"
            ".noborder{border-style: none;" +
            pad +
            "}\r\n"
            ".normalborder {vertical-align: top; border-right: none; border-left:none; "
            "border-top:none; border-bottom: none;border-width: thin; border-style: dotted;" +
            pad +
            "}</style>\r\n"
            "<table class=\"default\" style=\"border-collapse: collapse;\" bgcolor=" +
            bg +
            " caption=\"Cap &quot;1&quot;\" cellspacing=\"0\">\r\n"
            " <tr class=\"default\">\r\n"
            " <td class=\"normalborder\"  height=\"18px\" align=left colspan=\"2\">a</td> </tr>\r\n"
            " <tr class=\"default\">\r\n"
            " <td height=\"18px\" class=\"normalborder\">&nbsp;</td>"
            " <td class=\"normalborder\"  height=\"18px\" align=left>b&lt;&amp;&gt;&quot;</td>"
            " </tr>\r\n"
            "</table>");
    // A tree reading right to left marks its cells so, aligned to the right.
    t.tree->SetBiDiMode(bdRightToLeft);
    EXPECT_NE(ExportHtml(t.tree, tstAll, "")
                  .find("height=\"18px\" dir=\"rtl\" align=right colspan=\"2\">a</td>"),
              std::string::npos);
}

TEST(LazyTreeExport, HtmlColumnsFilterAndNodeEvents) {
    ExportTree t({"a", "a/b", "a/b/c", "d"}, 2);
    TLazyTreeColumn* a = t.tree->Header()->Columns()->Items(0);
    a->SetOptions(a->Options() - TLTColumnOptions{coParentColor});
    a->SetColor(clRed);
    t.tree->SetCheckType(t["a"], ctCheckBox);
    t.tree->SetCheckType(t["b"], ctCheckBox);
    t.tree->SetCheckState(t["a"], csCheckedNormal);
    t.tree->SetCheckState(t["b"], csCheckedNormal);
    t.setExportMode(emChecked);
    const std::string html = ExportHtml(t.tree, tstAll);
    // Only a and b pass; the deepest level is 1, so the main column spans two cells.
    EXPECT_NE(html.find("<th height=\"" + std::to_string(t.tree->Header()->Height()) +
                        "px\" align=left colspan=\"2\" bgcolor=#" + ColorToHTMLHex(clBtnFace) +
                        " width=\"60px\">A</th>"),
              std::string::npos);
    EXPECT_NE(html.find("<td class=\"noborder\" width=\"18\" height=\"18px\" bgcolor=#FF0000>"
                        "&nbsp;</td> <td class=\"normalborder\"  height=\"18px\" align=left "
                        "bgcolor=#FF0000>b</td>"),
              std::string::npos);
    EXPECT_EQ(html.find(">c</td>"), std::string::npos);
    EXPECT_EQ(html.find(">d</td>"), std::string::npos);
    // A node the handler refuses is left out of HTML and RTF, not of the custom export.
    t.setExportMode(emAll);
    t.tree->OnBeforeNodeExport = [&](TBaseLazyTree*, TLTExportType, PLazyNode n) {
        t.log.push_back("before " + t.name(n));
        return n != t["d"];
    };
    EXPECT_EQ(ExportHtml(t.tree, tstAll).find(">d</td>"), std::string::npos);
    EXPECT_EQ(ExportRtf(t.tree, tstAll).find("\\u100\\'3f\\cell"), std::string::npos);
    t.log.clear();
    t.tree->OnNodeExport = [&](TBaseLazyTree*, TLTExportType type, PLazyNode n) {
        t.log.push_back((type == etCustom ? "custom " : "? ") + t.name(n));
        return true;
    };
    t.tree->OnColumnExport = [&](TBaseLazyTree*, TLTExportType, int c) {
        t.log.push_back("column " + std::to_string(c));
    };
    t.tree->OnBeforeTreeExport = [&](TBaseLazyTree*, TLTExportType) { t.log.push_back("start"); };
    t.tree->OnAfterTreeExport = [&](TBaseLazyTree*, TLTExportType) { t.log.push_back("end"); };
    t.tree->Header()->SetOptions(t.tree->Header()->Options() + TLTHeaderOptions{hoVisible});
    t.tree->ContentToCustom(tstAll);
    EXPECT_EQ(t.events(), "start, column 0, column 1, before a, custom a, before b, custom b, "
                          "before c, custom c, before d, custom d, end");
}

TEST(LazyTreeExport, CancelCompletesAndFailureClosesTheBracket) {
    ExportTree t({"a", "b", "c"});
    int open = 0;
    t.tree->OnStartOperation = [&](TBaseLazyTree*, TLTOperationKind) { ++open; };
    t.tree->OnEndOperation = [&](TBaseLazyTree*, TLTOperationKind) { --open; };
    t.tree->OnAfterNodeExport = [&](TBaseLazyTree* tree, TLTExportType, PLazyNode n) {
        if (n == t["a"]) tree->CancelOperation();
        return true;
    };
    const std::string html = ExportHtml(t.tree, tstAll);
    EXPECT_NE(html.find(">a</td>"), std::string::npos);
    EXPECT_EQ(html.find(">b</td>"), std::string::npos);
    EXPECT_EQ(html.substr(html.size() - 8), "</table>");
    EXPECT_EQ(open, 0);
    t.tree->OnAfterNodeExport = [](TBaseLazyTree*, TLTExportType, PLazyNode) -> bool {
        throw Exception("stop");
    };
    EXPECT_THROW(ExportRtf(t.tree, tstAll), Exception);
    EXPECT_EQ(open, 0);
}

TEST(LazyTreeExport, ClipboardBlocks) {
    ExportTree t({"ab", "c"});
    EXPECT_EQ(blockBytes(ExportForClipboard(t.tree, CF_TEXT, tstAll)),
              std::string("ab\r\nc\r\n\0", 8));
    const std::string wide = blockBytes(ExportForClipboard(t.tree, CF_UNICODETEXT, tstAll));
    EXPECT_EQ(wide.size(), 2 * 7 + 2u);
    EXPECT_EQ(wide.substr(0, 4), std::string("a\0b\0", 4));
    const std::string rtf = blockBytes(ExportForClipboard(t.tree, RtfClipFormat, tstAll));
    EXPECT_EQ(rtf, ExportRtf(t.tree, tstAll) + std::string(1, '\0'));
    const std::string html = blockBytes(t.tree->ContentToClipboard(HtmlClipFormat, tstAll));
    EXPECT_EQ(html.substr(0, 11), "Version:1.0");
    EXPECT_EQ(html.back(), '\0');
    EXPECT_EQ(blockBytes(ExportForClipboard(t.tree, CLIPFORMAT(0x7ABC), tstAll)), "<none>");

    std::string fragment(1000, 'x');
    MakeCfHtml(fragment);
    EXPECT_EQ(fragment.substr(0, 97), "Version:1.0\r\nStartHTML:00000097\r\nEndHTML:00001301\r\n"
                                      "StartFragment:00000269\r\nEndFragment:00001269\r\n");
    EXPECT_EQ(fragment.size(), 1301u);
    EXPECT_EQ(fragment.substr(269, 3), "xxx");
    EXPECT_EQ(fragment.substr(1269), "<!--EndFragment--></body></html>");
}

TEST(LazyTreeExport, CsvLinesAndFile) {
    ExportTree t({"a", "a/b", "q\"r"}, 2);
    t.tree->Header()->Columns()->Items(1)->SetOptions(
        t.tree->Header()->Columns()->Items(1)->Options() - TLTColumnOptions{coVisible});
    t.tree->OnGetText = [&](TBaseLazyTree*, PLazyNode n, int column, TVSTTextType,
                            std::string& text) { text = column == 1 ? "" : t.name(n); };
    TStringList lines;
    t.tree->RenderCsvLines(&lines, true);
    // Every column by index, visible or not; top-level nodes only; empty cells a blank.
    EXPECT_EQ(lines.Text(), "\"A\",\"B\"\n\"a\",\" \"\n\"q\"\"r\",\" \"\n");
    ExportTree plain({"x", "y"});
    TStringList noColumns;
    plain.tree->RenderCsvLines(&noColumns, false);
    EXPECT_EQ(noColumns.Text(), "\"x\"\n\"y\"\n");

    TempFolder folder("tree_csv");
    EXPECT_FALSE(t.tree->SaveToCSVFile("", true));
    ASSERT_TRUE(t.tree->SaveToCSVFile(folder.Path("t.csv"), false));
    EXPECT_EQ(ReadBinaryFile(folder.Path("t.csv")), "\"a\",\" \"\r\n\"q\"\"r\",\" \"\r\n");
}

TEST(LazyTreeExport, ABrowserShowsTheTableWithTheMarkupAsText) {
    const std::string browser = findBrowser();
    if (browser.empty()) GTEST_SKIP() << "chromium is not installed; the page is not drawn";
    TempFolder folder("tree_html_browser");
    ExportTree t({"n1", "n2"}, 2);
    t.tree->Font()->SetSize(30);
    for (int i = 0; i < 2; ++i) {
        TLazyTreeColumn* c = t.tree->Header()->Columns()->Items(i);
        c->SetOptions(c->Options() - TLTColumnOptions{coParentColor});
        c->SetColor(i == 0 ? clRed : clBlue);
        c->SetWidth(150);
    }
    // Unescaped, this text would close the cell and open a green one.
    t.tree->OnGetText = [&](TBaseLazyTree*, PLazyNode n, int column, TVSTTextType,
                            std::string& text) {
        text = column == 1 ? "</td><td bgcolor=#00FF00 width=300>" : t.name(n);
    };
    const std::string page = folder.Path("page.html");
    WriteBinaryFile(page, ExportHtml(t.tree, tstAll));
    const std::string shot = folder.Path("shot.png");
    ASSERT_TRUE(browserScreenshot(browser, page, shot, folder.Path("profile"), 800, 300));
    ASSERT_TRUE(FileExists(shot)) << "the browser wrote no screenshot";
    TPicture pic;
    pic.LoadFromFile(shot);
    TBitmap* b = pic.Bitmap();
    int red = 0, blue = 0, green = 0;
    for (int y = 0; y < b->Height(); ++y)
        for (int x = 0; x < b->Width(); ++x) {
            const TColor c = ColorToRGB(b->Canvas()->Pixels(x, y));
            red += c == clRed;
            blue += c == clBlue;
            green += c == TColor(0x00FF00);
        }
    EXPECT_GT(red, 1000);
    EXPECT_GT(blue, 1000);
    EXPECT_EQ(green, 0);
}

} // namespace
