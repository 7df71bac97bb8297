// Sorting a tree of 1000 parents with 1000 children each (1,001,000 nodes) by text: the lazy
// tree's SortTree with an OnCompareNodes that compares the nodes' texts, against
// QStandardItemModel::sort on the same texts. The lazy tree is also timed with an integer key
// as its comparison. After the timings it prints the ratio (lazy tree / Qt).
#include "treeview/LazyTree.h"

#include <QList>
#include <QStandardItem>
#include <QStandardItemModel>
#include <QString>

#include "bench/TimesReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int Parents = 1000;
constexpr int Children = 1000;

// One text per node in creation order (parents first, then each parent's children), the same
// for both trees.
const std::vector<std::string>& texts() {
    static const std::vector<std::string> all = [] {
        std::vector<std::string> t;
        t.reserve(std::size_t(Parents) * (Children + 1));
        std::mt19937 rng(42);
        for (int i = 0; i < Parents * (Children + 1); ++i) {
            std::string s = "item ";
            for (int k = 0; k < 8; ++k) s += char('a' + rng() % 26);
            t.push_back(std::move(s));
        }
        return t;
    }();
    return all;
}

// --- the lazy tree -----------------------------------------------------------------------------

struct NodeData {
    const std::string* text;
    int key;
};

std::unique_ptr<TLazyStringTree> newLazyTree(bool byText) {
    auto tree = std::make_unique<TLazyStringTree>(nullptr);
    TLTAutoOptions options = tree->TreeOptions()->AutoOptions();
    options.Exclude(toAutoSort); // sort collapsed subtrees too, as Qt does
    tree->TreeOptions()->SetAutoOptions(options);
    tree->SetNodeDataSize(sizeof(NodeData));
    tree->OnInitNode = [](TBaseLazyTree* t, PLazyNode parent, PLazyNode node,
                          TLazyNodeInitStates&) {
        const std::size_t i =
            parent ? Parents + std::size_t(parent->Index) * Children + node->Index : node->Index;
        *t->GetNodeData<NodeData>(node) = {&texts()[i], int(i * 2654435761u % 1000003)};
    };
    if (byText)
        tree->OnCompareNodes = [](TBaseLazyTree* t, PLazyNode a, PLazyNode b, TColumnIndex,
                                  int& result) {
            result = t->GetNodeData<NodeData>(a)->text->compare(*t->GetNodeData<NodeData>(b)->text);
        };
    else
        tree->OnCompareNodes = [](TBaseLazyTree* t, PLazyNode a, PLazyNode b, TColumnIndex,
                                  int& result) {
            result = t->GetNodeData<NodeData>(a)->key - t->GetNodeData<NodeData>(b)->key;
        };
    tree->BeginUpdate();
    tree->SetRootNodeCount(Parents);
    for (PLazyNode p = tree->GetFirstChildNoInit(nullptr); p; p = p->NextSibling)
        tree->SetChildCount(p, Children);
    tree->ValidateNode(nullptr, true);
    tree->EndUpdate();
    return tree;
}

// --- Qt -------------------------------------------------------------------------------------

std::unique_ptr<QStandardItemModel> newQtModel() {
    auto model = std::make_unique<QStandardItemModel>();
    const auto& t = texts();
    QList<QStandardItem*> parents;
    parents.reserve(Parents);
    for (int p = 0; p < Parents; ++p) {
        auto* parent = new QStandardItem(QString::fromStdString(t[std::size_t(p)]));
        QList<QStandardItem*> children;
        children.reserve(Children);
        for (int c = 0; c < Children; ++c)
            children.append(new QStandardItem(
                QString::fromStdString(t[Parents + std::size_t(p) * Children + std::size_t(c)])));
        parent->appendRows(children);
        parents.append(parent);
    }
    model->invisibleRootItem()->appendRows(parents);
    return model;
}

void BM_SortByText_Lazy(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto tree = newLazyTree(true);
        state.ResumeTiming();
        tree->SortTree(NoColumnIndex, sdAscending, false);
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
}

void BM_SortByKey_Lazy(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto tree = newLazyTree(false);
        state.ResumeTiming();
        tree->SortTree(NoColumnIndex, sdAscending, false);
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
}

void BM_SortByText_Qt(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto model = newQtModel();
        state.ResumeTiming();
        model->sort(0, Qt::AscendingOrder);
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_SortByText_Lazy)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SortByKey_Lazy)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SortByText_Qt)->Unit(benchmark::kMillisecond)->Iterations(5);

class RatioReporter : public TimesReporter {
public:
    void Finalize() override {
        TimesReporter::Finalize();
        const double lazy = time("BM_SortByText_Lazy/iterations:5");
        const double qt = time("BM_SortByText_Qt/iterations:5");
        std::printf("\nsort by text   lazy %.1f ms   Qt %.1f ms   lazy/Qt %.3f\n", lazy, qt,
                    qt > 0 ? lazy / qt : 0);
    }
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
