// One visible page of a table editor's column grid painted by our painter against the same page
// painted by Qt's table view over a standard item model, in one process and interleaved (the
// best round of each side counts). The page: 800 x 600 pixels, a header row and a row-number
// column, then text, number, combo, "Y"/"N" check, text, number and combo columns (8 columns),
// 22-pixel rows (about 26 rows shown), the current cell selected; Qt's view shows the same
// texts, check states, header and selection. Both grids hold 1,000 and then 100,000 rows, so the
// figures show whether the time depends on the row count.
// Run from a Release build: bench_grid_paint [--ours N] (--ours paints only our page of 100,000
// rows N times, for a profiler).
#include "grid/core/QorColumnGrid.h"
#include "grid/render/ControlLook.h"
#include "platform/base/Memory.h"

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
#include <functional>
#include <memory>
#include <string>

namespace {

constexpr int PageWidth = 800;
constexpr int PageHeight = 600;
constexpr int Cols = 8;
constexpr int RowHeight = 22;
constexpr int ColWidths[Cols] = {40, 150, 80, 110, 40, 150, 80, 110};
constexpr int PaintsPerRound = 40;
constexpr int PaintRounds = 7;

using Clock = std::chrono::steady_clock;

double millisecondsOf(const std::function<void()>& work) {
    auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

const char* kHeaders[Cols] = {"#", "Name", "Address", "Type", "En", "Description", "Value", "Unit"};
const char* kTypes[] = {"Bool", "Byte", "Word", "Float"};

std::string cellText(int col, int row) {
    switch (col) {
    case 0:
        return std::to_string(row);
    case 1:
        return "Object " + std::to_string(row);
    case 2:
        return std::to_string(1000 + row);
    case 3:
    case 7:
        return kTypes[row % 4];
    case 4:
        return row % 3 ? "Y" : "N";
    case 5:
        return "Telegram " + std::to_string(row * 7);
    default:
        return std::to_string(row % 255);
    }
}

QFont qtFont(const TFont& font) {
    QFont f(QString::fromStdString(font.ResolvedFamily()));
    f.setPixelSize(-font.Height());
    f.setStyleStrategy(QFont::NoAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setKerning(false);
    return f;
}

struct OurPage {
    TQorColumnGrid grid{nullptr};
    explicit OurPage(int rows) {
        grid.SetColCount(Cols);
        grid.SetRowCount(rows + 1);
        grid.SetScrollBars(ssNone);
        grid.SetBounds(0, 0, PageWidth, PageHeight);
        grid.SetDefaultRowHeight(RowHeight);
        grid.ControlLook()->SetControlStyle(csWinXP);
        for (int c = 0; c < Cols; ++c) {
            TGridColumnItem* item = grid.Columns()->Items(c);
            item->SetWidth(ColWidths[c]);
            item->SetHeader(kHeaders[c]);
        }
        grid.Columns()->Items(2)->SetAlignment(taRightJustify);
        grid.Columns()->Items(6)->SetAlignment(taRightJustify);
        grid.Columns()->Items(3)->SetEditor(edComboList);
        grid.Columns()->Items(7)->SetEditor(edComboList);
        grid.Columns()->Items(4)->SetEditor(edDataCheckBox);
        grid.BeginUpdate();
        for (int r = 1; r <= rows; ++r)
            for (int c = 0; c < Cols; ++c) grid.SetCells(c, r, cellText(c, r));
        grid.EndUpdate();
        grid.HandleNeeded();
        grid.SetRow(2);
        grid.SetCol(1);
    }
    void paint() {
        grid.Invalidate();
        grid.Update();
        benchmark::DoNotOptimize(grid.BackingImage()->Pixels32()[0]);
    }
};

struct QtPage {
    QStandardItemModel model;
    QTableView view;
    QImage image{PageWidth, PageHeight, QImage::Format_ARGB32_Premultiplied};
    QtPage(int rows, const QFont& font) : model(rows, Cols) {
        for (int c = 0; c < Cols; ++c)
            model.setHorizontalHeaderItem(c, new QStandardItem(kHeaders[c]));
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < Cols; ++c) {
                auto* item = new QStandardItem;
                if (c == 4) {
                    item->setCheckable(true);
                    item->setCheckState(cellText(c, r + 1) == "Y" ? Qt::Checked : Qt::Unchecked);
                } else {
                    item->setText(QString::fromStdString(cellText(c, r + 1)));
                }
                if (c == 2 || c == 6) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                model.setItem(r, c, item);
            }
        view.setModel(&model);
        view.setFont(font);
        view.setFrameShape(QFrame::NoFrame);
        view.verticalHeader()->hide();
        view.verticalHeader()->setDefaultSectionSize(RowHeight);
        view.horizontalHeader()->setFixedHeight(RowHeight);
        for (int c = 0; c < Cols; ++c) view.setColumnWidth(c, ColWidths[c]);
        view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.resize(PageWidth, PageHeight);
        view.setCurrentIndex(model.index(1, 1));
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

Figure measure(int rows) {
    OurPage ours(rows);
    QtPage qt(rows, qtFont(*ours.grid.Font()));
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

} // namespace

int main(int argc, char** argv) {
    keepFreedMemory();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    if (argc == 3 && std::string(argv[1]) == "--ours") {
        OurPage page(100000);
        for (int i = std::atoi(argv[2]); i > 0; --i) page.paint();
        return 0;
    }
    std::printf("%-44s %10s %10s %9s   %s\n", "page paint 800x600, 8 columns (ms)", "ours", "Qt",
                "ours/Qt", "target");
    for (int rows : {1000, 100000}) {
        const Figure f = measure(rows);
        char what[64];
        std::snprintf(what, sizeof what, "%d rows", rows);
        std::printf("%-44s %10.3f %10.3f %9.3f   %s\n", what, f.ours, f.qt, f.ours / f.qt,
                    "<= 0.20");
    }
    return 0;
}
