// Our string grid against Qt's table view over a standard item model, in one process and
// interleaved (ours, Qt, ours, Qt ...; the best round of each side counts):
//  - page: an 800 x 600 view of 11 x 25 cells of 64 x 24 pixels, text in every cell, the same
//    font, painted into an offscreen 32-bit image;
//  - store: 100,000 rows x 10 columns: 1,000,000 cells written, then read, then 1,000 rows
//    inserted and 1,000 deleted at the top; the same at 10x size, with the growth factor.
// Run from a Release build: bench_grid_vs_qt [--quick | --page] (--quick leaves out the 10x
// store, --page measures the page only).
#include "platform/base/Memory.h"
#include "platform/ui/Grids.h"

#include <QApplication>
#include <QFont>
#include <QHeaderView>
#include <QImage>
#include <QStandardItemModel>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int PageWidth = 800;
constexpr int PageHeight = 600;
constexpr int PageCols = 11;
constexpr int PageRows = 25;
constexpr int CellWidth = 64;
constexpr int CellHeight = 24;
constexpr int PaintsPerRound = 50;
constexpr int PaintRounds = 7;
constexpr int StoreCols = 10;
constexpr int StoreRows = 100000;
constexpr int TopEdits = 1000;
constexpr int DistinctTexts = 1000;

using Clock = std::chrono::steady_clock;

double millisecondsOf(const std::function<void()>& work) {
    auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string cellText(int col, int row) {
    return "R" + std::to_string(row) + "C" + std::to_string(col);
}

// The texts the store workloads write, made before timing so that both sides copy the same
// short strings in their own string type.
struct Texts {
    std::vector<std::string> ours;
    std::vector<QString> qt;
    Texts() {
        for (int i = 0; i < DistinctTexts; ++i) {
            ours.push_back(cellText(i % StoreCols, i));
            qt.push_back(QString::fromStdString(ours.back()));
        }
    }
    static std::size_t at(int col, int row) {
        return std::size_t(row * StoreCols + col) % DistinctTexts;
    }
};

// --- page paint -------------------------------------------------------------------------------

// The grid's font as Qt resolves it for our canvas: a pixel size, hinted, without antialiasing.
QFont pageFont(const TFont& font) {
    QFont f(QString::fromStdString(font.ResolvedFamily()));
    f.setPixelSize(-font.Height());
    f.setStyleStrategy(QFont::NoAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setKerning(false);
    return f;
}

struct OurPage {
    TStringGrid grid{nullptr};
    OurPage() {
        grid.SetColCount(PageCols);
        grid.SetRowCount(PageRows);
        grid.SetFixedCols(0);
        grid.SetFixedRows(0);
        grid.SetDefaultColWidth(CellWidth);
        grid.SetDefaultRowHeight(CellHeight);
        grid.SetScrollBars(ssNone);
        grid.SetBounds(0, 0, PageWidth, PageHeight);
        for (int r = 0; r < PageRows; ++r)
            for (int c = 0; c < PageCols; ++c) grid.SetCells(c, r, cellText(c, r));
    }
    void paint() {
        grid.Invalidate();
        grid.Update();
        benchmark::DoNotOptimize(grid.BackingImage()->Pixels32()[0]);
    }
};

struct QtPage {
    QStandardItemModel model{PageRows, PageCols};
    QTableView view;
    QImage image{PageWidth, PageHeight, QImage::Format_ARGB32_Premultiplied};
    explicit QtPage(const QFont& font) {
        for (int r = 0; r < PageRows; ++r)
            for (int c = 0; c < PageCols; ++c)
                model.setItem(r, c, new QStandardItem(QString::fromStdString(cellText(c, r))));
        view.setModel(&model);
        view.setFont(font);
        view.setFrameShape(QFrame::NoFrame);
        view.horizontalHeader()->hide();
        view.verticalHeader()->hide();
        view.horizontalHeader()->setDefaultSectionSize(CellWidth);
        view.verticalHeader()->setDefaultSectionSize(CellHeight);
        view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.resize(PageWidth, PageHeight);
        // The same current, selected cell as the grid's.
        view.setCurrentIndex(model.index(0, 0));
        view.show();
        QApplication::processEvents();
    }
    void paint() {
        view.render(&image);
        benchmark::DoNotOptimize(image.constBits()[0]);
    }
};

struct Figure {
    double ours = 1e300;
    double qt = 1e300;
};

Figure measurePage() {
    OurPage ours;
    QtPage qt(pageFont(*ours.grid.Font()));
    ours.paint();
    qt.paint();
    Figure f;
    for (int round = 0; round < PaintRounds; ++round) {
        f.ours = std::min(f.ours, millisecondsOf([&] {
                                      for (int i = 0; i < PaintsPerRound; ++i) ours.paint();
                                  }) / PaintsPerRound);
        f.qt = std::min(f.qt, millisecondsOf([&] {
                                  for (int i = 0; i < PaintsPerRound; ++i) qt.paint();
                              }) / PaintsPerRound);
    }
    return f;
}

// --- store ------------------------------------------------------------------------------------

struct StoreFigures {
    double write = 0, read = 0, insert = 0, remove = 0;
    long long textBytes = 0; // what the read saw, compared between the sides
};

StoreFigures ourStore(const Texts& texts, int rows, int edits) {
    StoreFigures f;
    TStringGrid grid(nullptr);
    grid.SetColCount(StoreCols);
    grid.SetRowCount(rows);
    grid.SetFixedCols(0);
    grid.SetFixedRows(0);
    grid.SetBounds(0, 0, PageWidth, PageHeight);
    f.write = millisecondsOf([&] {
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < StoreCols; ++c) grid.SetCells(c, r, texts.ours[Texts::at(c, r)]);
    });
    f.read = millisecondsOf([&] {
        long long sum = 0;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < StoreCols; ++c) sum += (long long)grid.Cells(c, r).size();
        f.textBytes = sum;
    });
    // A row inserted at the top: a new last row moved to the top.
    f.insert = millisecondsOf([&] {
        for (int i = 0; i < edits; ++i) {
            grid.SetRowCount(grid.RowCount() + 1);
            grid.MoveRow(grid.RowCount() - 1, 0);
        }
    });
    f.remove = millisecondsOf([&] {
        for (int i = 0; i < edits; ++i) grid.DeleteRow(0);
    });
    if (grid.RowCount() != rows ||
        grid.Cells(StoreCols - 1, rows - 1) != texts.ours[Texts::at(StoreCols - 1, rows - 1)]) {
        std::fprintf(stderr, "our store lost cells\n");
        std::exit(1);
    }
    return f;
}

StoreFigures qtStore(const Texts& texts, int rows, int edits) {
    StoreFigures f;
    QStandardItemModel model(rows, StoreCols);
    f.write = millisecondsOf([&] {
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < StoreCols; ++c)
                model.setData(model.index(r, c), texts.qt[Texts::at(c, r)]);
    });
    f.read = millisecondsOf([&] {
        long long sum = 0;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < StoreCols; ++c)
                sum += model.data(model.index(r, c)).toString().size();
        f.textBytes = sum;
    });
    f.insert = millisecondsOf([&] {
        for (int i = 0; i < edits; ++i) model.insertRow(0);
    });
    f.remove = millisecondsOf([&] {
        for (int i = 0; i < edits; ++i) model.removeRow(0);
    });
    if (model.rowCount() != rows) {
        std::fprintf(stderr, "Qt's store lost rows\n");
        std::exit(1);
    }
    return f;
}

// The best of the rounds, and the first round alone: its heap is as fresh as the single round
// at 10x size, so the growth compares those.
struct StoreResult {
    StoreFigures ours, qt;
    StoreFigures firstOurs, firstQt;
};

StoreFigures best(const StoreFigures& a, const StoreFigures& b) {
    return {std::min(a.write, b.write), std::min(a.read, b.read), std::min(a.insert, b.insert),
            std::min(a.remove, b.remove), a.textBytes};
}

StoreResult measureStore(const Texts& texts, int scale, int rounds) {
    StoreResult res;
    for (int round = 0; round < rounds; ++round) {
        StoreFigures o = ourStore(texts, StoreRows * scale, TopEdits * scale);
        StoreFigures q = qtStore(texts, StoreRows * scale, TopEdits * scale);
        if (o.textBytes != q.textBytes) {
            std::fprintf(stderr, "the stores read different texts (%lld, %lld)\n", o.textBytes,
                         q.textBytes);
            std::exit(1);
        }
        if (round == 0) {
            res.firstOurs = o;
            res.firstQt = q;
        }
        res.ours = round ? best(res.ours, o) : o;
        res.qt = round ? best(res.qt, q) : q;
    }
    return res;
}

void printRow(const char* what, double ours, double qt, const char* target) {
    std::printf("%-40s %12.3f %12.3f %9.3f   %s\n", what, ours, qt, ours / qt, target);
}

void printGrowth(const char* what, double ours1, double ours10, double qt1, double qt10) {
    std::printf("%-40s %11.1fx %11.1fx\n", what, ours10 / ours1, qt10 / qt1);
}

} // namespace

int main(int argc, char** argv) {
    bool quick = false, pageOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0) {
            quick = true;
        } else if (std::strcmp(argv[i], "--page") == 0) {
            pageOnly = true;
        } else {
            std::fprintf(stderr, "usage: %s [--quick | --page]\n", argv[0]);
            return 2;
        }
    }
    // As the program does at start-up.
    keepFreedMemory();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);

    std::printf("%-40s %12s %12s %9s   %s\n", "workload (ms)", "ours", "Qt", "ours/Qt", "target");
    Figure page = measurePage();
    printRow("page paint 800x600, 11x25 cells", page.ours, page.qt, "<= 0.20");
    if (pageOnly) return 0;

    Texts texts;
    StoreResult one = measureStore(texts, 1, 3);
    printRow("write 1,000,000 cells", one.ours.write, one.qt.write, "<= 0.25");
    printRow("read 1,000,000 cells", one.ours.read, one.qt.read, "<= 1");
    printRow("1,000 inserts at top of 100,000 rows", one.ours.insert, one.qt.insert, "<= 1");
    printRow("1,000 deletes at top of 100,000 rows", one.ours.remove, one.qt.remove, "<= 1");
    if (quick) return 0;

    StoreResult ten = measureStore(texts, 10, 1);
    printRow("write 10,000,000 cells", ten.ours.write, ten.qt.write, "<= 0.25");
    printRow("read 10,000,000 cells", ten.ours.read, ten.qt.read, "<= 1");
    printRow("10,000 inserts at top of 1,000,000 rows", ten.ours.insert, ten.qt.insert, "<= 1");
    printRow("10,000 deletes at top of 1,000,000 rows", ten.ours.remove, ten.qt.remove, "<= 1");
    std::printf("\n%-40s %12s %12s   (10x size / first 1x round; target ~10x)\n",
                "growth at 10x size", "ours", "Qt");
    const StoreFigures &o1 = one.firstOurs, &q1 = one.firstQt;
    printGrowth("write", o1.write, ten.ours.write, q1.write, ten.qt.write);
    printGrowth("read", o1.read, ten.ours.read, q1.read, ten.qt.read);
    printGrowth("inserts", o1.insert, ten.ours.insert, q1.insert, ten.qt.insert);
    printGrowth("deletes", o1.remove, ten.ours.remove, q1.remove, ten.qt.remove);
    return 0;
}
