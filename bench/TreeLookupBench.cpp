// The node at a vertical position in a tree of 1,000,000 expanded nodes (1000 parents with 999
// children each): the lazy tree's lookup through its position cache against QTreeView::indexAt
// on the same tree, at 10,000 random positions.
#include "platform/base/Threads.h"
#include "treeview/LazyTree.h"

#include <QApplication>
#include <QScrollBar>
#include <QStandardItem>
#include <QStandardItemModel>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
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

BENCHMARK(BM_GetNodeAt_Lazy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetNodeAt_QTreeView)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetMainThread();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
