// Printing a tree: the grid of pages, the white background without selection, the header, the
// clean-up after a failure, and the PDF a print to file writes.
#include "platform/files/Files.h"
#include "platform/print/Printers.h"
#include "platform/qt/QtPrint.h"
#include "tests/TempFolder.h"
#include "tests/treeview/TreeInput.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Keeps the pages a document would print; FailAt: the page whose output fails (0: none).
struct PageStore : TPrintBackend {
    std::vector<std::unique_ptr<TBitmap>> pages;
    int failAt = 0;
    bool aborted = false;
    struct Job : TPrintJob {
        PageStore& store;
        explicit Job(PageStore& s) : store(s) {}
        void AddPage(const TBitmap& page) override {
            if (int(store.pages.size()) + 1 == store.failAt) throw EPrinter("paper jam");
            auto copy = std::make_unique<TBitmap>();
            copy->Assign(&page);
            store.pages.push_back(std::move(copy));
        }
        void Finish() override {}
        void Abort() override { store.aborted = true; }
    };
    std::unique_ptr<TPrintJob> BeginJob(const TPrintJobSetup&) override {
        pages.clear();
        aborted = false;
        return std::make_unique<Job>(*this);
    }
};

std::vector<std::string> numbered(int n) {
    std::vector<std::string> rows;
    for (int i = 0; i < n; ++i) rows.push_back("n" + std::to_string(i));
    return rows;
}

class TreePrint : public ::testing::Test {
protected:
    PageStore store;
    void SetUp() override {
        SetPrintBackend(&store);
        Printer()->SetFileName("");
        Printer()->SetPixelsPerInch(ScreenPixelsPerInch);
        Printer()->SetOrientation(poPortrait);
        // 794 x 960 pixels: 48 rows of 20 pixels.
        Printer()->SetPaperSize({2100, 2540});
    }
    void TearDown() override {
        SetPrintBackend(QtPrintBackend());
        Printer()->SetPaperSize({2100, 2970});
    }
    static std::unique_ptr<TreeFixture> tree(int rows) {
        auto t = std::make_unique<TreeFixture>(numbered(rows));
        t->tree->SetDefaultNodeHeight(20);
        for (PLazyNode n = t->tree->GetFirst(); n; n = t->tree->GetNext(n))
            t->tree->SetNodeHeight(n, 20);
        return t;
    }
};

TEST_F(TreePrint, PagesFollowTheTreesSize) {
    ASSERT_EQ(Printer()->PageHeight(), 960);
    struct Case {
        int rows;
        int columnWidth; // 0: no columns
        std::size_t pages;
    };
    for (const Case& c : {Case{10, 0, 1}, Case{48, 0, 1}, Case{96, 0, 2}, Case{97, 0, 3},
                          Case{10, 2 * 794, 2}, Case{10, 2 * 794 + 1, 3}}) {
        SCOPED_TRACE(std::to_string(c.rows) + " rows, column " + std::to_string(c.columnWidth));
        auto t = tree(c.rows);
        if (c.columnWidth) t->tree->Header()->Columns()->Add()->SetWidth(c.columnWidth);
        t->tree->Print(Printer(), false);
        EXPECT_EQ(store.pages.size(), c.pages);
        EXPECT_EQ(t->tree->UpdateCount(), 0u);
    }
    tree(1)->tree->Print(nullptr, true);
}

TEST_F(TreePrint, WhitePaperWithoutSelectionAndWithTheHeader) {
    auto t = tree(3);
    t->tree->SetColor(clYellow);
    t->tree->SetFocusedNode(t->nodes.at("n0"));
    t->tree->SetSelected(t->nodes.at("n0"), true);
    t->tree->Print(Printer(), true);
    ASSERT_EQ(store.pages.size(), 1u);
    const TBitmap& page = *store.pages[0];
    // Right of the text, in the selected row and below the rows: white.
    EXPECT_EQ(ColorToRGB(page.PixelColor(150, 10)), clWhite);
    EXPECT_EQ(ColorToRGB(page.PixelColor(150, 200)), clWhite);
    // The text is there.
    int dark = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 100; ++x) dark += GetRValue(ColorToRGB(page.PixelColor(x, y))) < 128;
    EXPECT_GT(dark, 10);
    EXPECT_EQ(t->tree->Color(), clYellow);
    EXPECT_EQ(t->tree->Font()->Quality(), fqDefault);

    // A visible header is printed above the rows; a hidden one is not, whatever is asked.
    t->tree->Header()->Columns()->Add()->SetWidth(120);
    t->tree->Header()->SetHeight(30);
    t->tree->Print(Printer(), true);
    EXPECT_EQ(ColorToRGB(store.pages[0]->PixelColor(150, 10)), clWhite) << "hidden header";
    t->tree->Header()->SetOptions(t->tree->Header()->Options() + TLTHeaderOptions{hoVisible});
    t->tree->Print(Printer(), true);
    // Themed or classic, the header item leaves its marks (face or separator) in its band.
    int marks = 0;
    for (int y = 0; y < 30; ++y) marks += ColorToRGB(store.pages[0]->PixelColor(60, y)) != clWhite;
    EXPECT_GT(marks, 0) << "no header";
    EXPECT_EQ(ColorToRGB(store.pages[0]->PixelColor(150, 40)), clWhite);
}

TEST_F(TreePrint, AFailureAbortsAndRestoresTheTree) {
    auto t = tree(100);
    t->tree->SetColor(clAqua);
    store.failAt = 2;
    EXPECT_THROW(t->tree->Print(Printer(), false), EPrinter);
    EXPECT_TRUE(store.aborted);
    EXPECT_FALSE(Printer()->Printing());
    EXPECT_EQ(t->tree->Color(), clAqua);
    EXPECT_EQ(t->tree->Font()->Quality(), fqDefault);
    EXPECT_EQ(t->tree->UpdateCount(), 0u);
}

TEST_F(TreePrint, APdfOfTheTree) {
    if (std::system("command -v pdftoppm >/dev/null && command -v pdfinfo >/dev/null") != 0)
        GTEST_SKIP() << "poppler-utils are not installed";
    TempFolder folder("tree_print");
    auto t = tree(60);
    const std::string pdf = folder.Path("tree.pdf");
    SetPrintBackend(QtPrintBackend());
    Printer()->SetFileName(pdf);
    t->tree->Print(Printer(), false);
    Printer()->SetFileName("");
    ASSERT_TRUE(FileExists(pdf));
    FILE* p = popen(("pdfinfo '" + pdf + "'").c_str(), "r");
    ASSERT_NE(p, nullptr);
    char line[256];
    int pages = -1;
    while (std::fgets(line, sizeof line, p))
        if (std::sscanf(line, "Pages: %d", &pages) == 1) break;
    pclose(p);
    EXPECT_EQ(pages, 2);
    // Page 2 starts with row 48: its text is dark, the rest of the row white.
    const std::string prefix = folder.Path("page");
    ASSERT_EQ(std::system(
                  ("pdftoppm -r 96 -f 2 -l 2 -singlefile '" + pdf + "' '" + prefix + "'").c_str()),
              0);
    const std::string bytes = ReadBinaryFile(prefix + ".ppm");
    int w = 0, h = 0, maxval = 0, consumed = 0;
    ASSERT_EQ(std::sscanf(bytes.c_str(), "P6 %d %d %d%n", &w, &h, &maxval, &consumed), 3);
    const auto grey = [&](int x, int y) {
        const std::size_t at = std::size_t(consumed + 1) + (std::size_t(y) * w + x) * 3;
        return (std::uint8_t(bytes[at]) + std::uint8_t(bytes[at + 1]) +
                std::uint8_t(bytes[at + 2])) /
               3;
    };
    int dark = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 100; ++x) dark += grey(x, y) < 128;
    EXPECT_GT(dark, 10);
    EXPECT_GT(grey(300, 10), 200);
    EXPECT_GT(grey(300, 600), 200);
}

} // namespace
