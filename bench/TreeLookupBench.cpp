// A tree of 1,000,000 expanded nodes (1000 parents with 999 children each), the lazy tree against
// QTreeView on the same tree: the node at a vertical position through the position cache against
// QTreeView::indexAt, at 10,000 random positions; and painting one page (400 x 600) in the
// middle of the tree, with tree lines, buttons and a selected row.
#include "platform/base/Threads.h"
#include "treeview/LazyTree.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QScrollBar>
#include <QStandardItem>
#include <QStandardItemModel>
#include <QTreeView>

#include "bench/TimesReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int Parents = 1000;
constexpr int Children = 999;

std::vector<int> positions(int height) {
    std::mt19937 rng(42);
    std::vector<int> ys(10000);
    for (int& y : ys) y = int(rng() % unsigned(height));
    return ys;
}

void BM_GetNodeAt_Lazy(benchmark::State& state) {
    TLazyStringTree tree(nullptr);
    tree.OnInitNode = [](TBaseLazyTree* t, PLazyNode, PLazyNode node, TLazyNodeInitStates& s) {
        if (t->GetNodeLevel(node) == 0) s.Include(ivsHasChildren);
    };
    tree.OnInitChildren = [](TBaseLazyTree*, PLazyNode, std::uint32_t& c) { c = Children; };
    tree.SetRootNodeCount(Parents);
    tree.FullExpand();
    while (!tree.TreeStates().Contains(tsUseCache)) CheckSynchronize();
    const auto ys = positions(tree.RangeY());
    for (auto _ : state) {
        long long sum = 0;
        for (int y : ys) {
            int top = 0;
            benchmark::DoNotOptimize(tree.GetNodeAt(0, y, false, top));
            sum += top;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["lookups"] = double(ys.size());
}

void BM_GetNodeAt_QTreeView(benchmark::State& state) {
    QStandardItemModel model;
    for (int p = 0; p < Parents; ++p) {
        auto* parent = new QStandardItem(QStringLiteral("Node"));
        QList<QStandardItem*> rows;
        rows.reserve(Children);
        for (int c = 0; c < Children; ++c) rows.append(new QStandardItem(QStringLiteral("Node")));
        parent->appendRows(rows);
        model.appendRow(parent);
    }
    QTreeView view;
    view.setModel(&model);
    view.resize(400, 600);
    view.expandAll();
    view.show();
    QApplication::processEvents();
    const int rowHeight = view.sizeHintForRow(0);
    const auto ys = positions(rowHeight * Parents * (Children + 1));
    for (auto _ : state) {
        long long sum = 0;
        for (int y : ys) {
            // indexAt works in viewport coordinates: the same absolute position, scrolled to.
            view.verticalScrollBar()->setValue(y / rowHeight);
            const QModelIndex index = view.indexAt(QPoint(0, y % rowHeight));
            sum += index.row();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["lookups"] = double(ys.size());
}

constexpr int PageWidth = 400;
constexpr int PageHeight = 600;

// The tree's font as Qt resolves it for our canvas: a pixel size, hinted, without antialiasing.
QFont pageFont(const TFont& font) {
    QFont f(QString::fromStdString(font.ResolvedFamily()));
    f.setPixelSize(-font.Height());
    f.setStyleStrategy(QFont::NoAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setKerning(false);
    return f;
}

void BM_PaintPage_Lazy(benchmark::State& state) {
    TLazyStringTree tree(nullptr);
    tree.OnInitNode = [](TBaseLazyTree* t, PLazyNode, PLazyNode node, TLazyNodeInitStates& s) {
        if (t->GetNodeLevel(node) == 0) s.Include(ivsHasChildren);
    };
    tree.OnInitChildren = [](TBaseLazyTree*, PLazyNode, std::uint32_t& c) { c = Children; };
    tree.SetBounds(0, 0, PageWidth, PageHeight);
    tree.SetRootNodeCount(Parents);
    tree.FullExpand();
    while (!tree.TreeStates().Contains(tsUseCache)) CheckSynchronize();
    tree.SetOffsetY(-(tree.RangeY() / 2));
    int top = 0;
    tree.SetSelected(tree.GetNodeAt(0, PageHeight / 2, true, top), true);
    for (auto _ : state) {
        tree.Invalidate();
        tree.Update();
        benchmark::DoNotOptimize(tree.BackingImage()->Pixels32()[0]);
    }
}

void BM_PaintPage_QTreeView(benchmark::State& state) {
    QStandardItemModel model;
    for (int p = 0; p < Parents; ++p) {
        auto* parent = new QStandardItem(QStringLiteral("Node"));
        QList<QStandardItem*> rows;
        rows.reserve(Children);
        for (int c = 0; c < Children; ++c) rows.append(new QStandardItem(QStringLiteral("Node")));
        parent->appendRows(rows);
        model.appendRow(parent);
    }
    TLazyStringTree fontSource(nullptr);
    QTreeView view;
    view.setModel(&model);
    view.setFont(pageFont(*fontSource.Font()));
    view.setFrameShape(QFrame::NoFrame);
    view.setHeaderHidden(true);
    view.setUniformRowHeights(true);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.resize(PageWidth, PageHeight);
    view.expandAll();
    view.show();
    QApplication::processEvents();
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum() / 2);
    view.setCurrentIndex(view.indexAt(QPoint(0, PageHeight / 2)));
    QImage image(PageWidth, PageHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        view.render(&image);
        benchmark::DoNotOptimize(image.constBits()[0]);
    }
}

BENCHMARK(BM_GetNodeAt_Lazy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetNodeAt_QTreeView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintPage_Lazy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintPage_QTreeView)->Unit(benchmark::kMicrosecond);

// Prints the usual table, then the lazy/Qt ratio of both measurements.
class RatioReporter : public TimesReporter {
public:
    void Finalize() override {
        TimesReporter::Finalize();
        std::printf("\nmeasurement   lazy/Qt\n");
        for (const char* name : {"GetNodeAt", "PaintPage"}) {
            const double lazy = time(std::string("BM_") + name + "_Lazy");
            const double qt = time(std::string("BM_") + name + "_QTreeView");
            if (lazy > 0 && qt > 0) std::printf("%-12s %8.3f\n", name, lazy / qt);
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetMainThread();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
