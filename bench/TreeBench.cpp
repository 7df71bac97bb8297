// The lazy tree against QStandardItemModel on the same tree: 1000 parents with 1000 children
// each (1,001,000 nodes), created, initialised (one integer per node), walked and deleted.
// After the timings it prints each phase's ratio (lazy tree / Qt) and the resident bytes per node.
#include "treeview/LazyTree.h"

#include <QList>
#include <QStandardItem>
#include <QStandardItemModel>
#include <QVariant>

#include "bench/TimesReporter.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int Parents = 1000;
constexpr int Children = 1000;
constexpr double Nodes = double(Parents) * (Children + 1);

// Resident bytes per node of a created and initialised tree, measured on the first tree of
// the process: later trees reuse memory freed before and show no growth.
std::map<std::string, double> bytesPerNode;

std::size_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4096;
}

// The first tree of a process takes its memory fresh from the system; on a virtual machine its
// first touches cost more than the work itself. That creation is timed on its own ("cold"), and
// the timed runs come after it, when both sides reuse what they freed.
std::map<std::string, double> coldCreateMs;

template <class Build, class Init> void coldRun(const std::string& name, Build build, Init init) {
    if (coldCreateMs.count(name)) return;
    const std::size_t before = residentBytes();
    const auto start = std::chrono::steady_clock::now();
    auto tree = build();
    coldCreateMs[name] =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    init(*tree);
    bytesPerNode[name] = double(residentBytes() - before) / Nodes;
}

// --- the lazy tree -----------------------------------------------------------------------------

std::unique_ptr<TLazyStringTree> newLazyTree() {
    auto tree = std::make_unique<TLazyStringTree>(nullptr);
    tree->SetNodeDataSize(sizeof(int));
    tree->OnInitNode = [](TBaseLazyTree* t, PLazyNode, PLazyNode node, TLazyNodeInitStates&) {
        *t->GetNodeData<int>(node) = int(node->Index);
    };
    return tree;
}

void createLazy(TLazyStringTree& tree) {
    for (int p = 0; p < Parents; ++p) tree.SetChildCount(tree.AddChild(nullptr), Children);
}

void initLazy(TLazyStringTree& tree) {
    tree.ValidateNode(nullptr, true);
}

long long walkLazy(TLazyStringTree& tree) {
    long long sum = 0;
    for (PLazyNode n = tree.GetFirst(); n; n = tree.GetNext(n)) sum += *tree.GetNodeData<int>(n);
    return sum;
}

// --- Qt -------------------------------------------------------------------------------------

void createQt(QStandardItemModel& model) {
    QList<QStandardItem*> parents;
    parents.reserve(Parents);
    for (int p = 0; p < Parents; ++p) {
        auto* parent = new QStandardItem;
        QList<QStandardItem*> children;
        children.reserve(Children);
        for (int c = 0; c < Children; ++c) children.append(new QStandardItem);
        parent->appendRows(children);
        parents.append(parent);
    }
    model.invisibleRootItem()->appendRows(parents);
}

void initQt(QStandardItemModel& model) {
    QStandardItem* root = model.invisibleRootItem();
    for (int p = 0; p < root->rowCount(); ++p) {
        QStandardItem* parent = root->child(p);
        parent->setData(p, Qt::UserRole);
        for (int c = 0; c < parent->rowCount(); ++c) parent->child(c)->setData(c, Qt::UserRole);
    }
}

long long walkQt(QStandardItemModel& model) {
    long long sum = 0;
    QStandardItem* root = model.invisibleRootItem();
    for (int p = 0; p < root->rowCount(); ++p) {
        QStandardItem* parent = root->child(p);
        sum += parent->data(Qt::UserRole).toInt();
        for (int c = 0; c < parent->rowCount(); ++c)
            sum += parent->child(c)->data(Qt::UserRole).toInt();
    }
    return sum;
}

void BM_Create_Lazy(benchmark::State& state) {
    coldRun(
        "Lazy",
        [] {
            auto tree = newLazyTree();
            createLazy(*tree);
            return tree;
        },
        initLazy);
    for (auto _ : state) {
        state.PauseTiming();
        auto tree = newLazyTree();
        state.ResumeTiming();
        createLazy(*tree);
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
}

void BM_Create_Qt(benchmark::State& state) {
    coldRun(
        "Qt",
        [] {
            auto model = std::make_unique<QStandardItemModel>();
            createQt(*model);
            return model;
        },
        initQt);
    for (auto _ : state) {
        state.PauseTiming();
        auto model = std::make_unique<QStandardItemModel>();
        state.ResumeTiming();
        createQt(*model);
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
}

void BM_Initialise_Lazy(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto tree = newLazyTree();
        createLazy(*tree);
        state.ResumeTiming();
        initLazy(*tree);
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
}

void BM_Initialise_Qt(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto model = std::make_unique<QStandardItemModel>();
        createQt(*model);
        state.ResumeTiming();
        initQt(*model);
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
}

void BM_Walk_Lazy(benchmark::State& state) {
    auto tree = newLazyTree();
    createLazy(*tree);
    initLazy(*tree);
    for (auto _ : state) benchmark::DoNotOptimize(walkLazy(*tree));
}

void BM_Walk_Qt(benchmark::State& state) {
    QStandardItemModel model;
    createQt(model);
    initQt(model);
    for (auto _ : state) benchmark::DoNotOptimize(walkQt(model));
}

void BM_Delete_Lazy(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto tree = newLazyTree();
        createLazy(*tree);
        initLazy(*tree);
        state.ResumeTiming();
        tree->Clear();
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
}

void BM_Delete_Qt(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto model = std::make_unique<QStandardItemModel>();
        createQt(*model);
        initQt(*model);
        state.ResumeTiming();
        model->clear();
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_Create_Lazy)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Create_Qt)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Initialise_Lazy)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Initialise_Qt)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Walk_Lazy)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Walk_Qt)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Delete_Lazy)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Delete_Qt)->Unit(benchmark::kMillisecond)->Iterations(5);

// Prints the usual table, then each phase's lazy/Qt ratio.
class RatioReporter : public TimesReporter {
public:
    void Finalize() override {
        TimesReporter::Finalize();
        std::printf("\nphase        lazy ms      Qt ms   lazy/Qt\n");
        for (const char* phase : {"Create", "Initialise", "Walk", "Delete"}) {
            const double lazy = time(std::string("BM_") + phase + "_Lazy/iterations:5");
            const double qt = time(std::string("BM_") + phase + "_Qt/iterations:5");
            std::printf("%-10s %9.1f %10.1f %9.3f\n", phase, lazy, qt, qt > 0 ? lazy / qt : 0);
        }
        std::printf("%-10s %9.1f %10.1f %9.3f  (first tree of the process)\n", "Cold create",
                    coldCreateMs["Lazy"], coldCreateMs["Qt"],
                    coldCreateMs["Qt"] > 0 ? coldCreateMs["Lazy"] / coldCreateMs["Qt"] : 0);
        std::printf("resident bytes per node: lazy %.1f, Qt %.1f\n", bytesPerNode["Lazy"],
                    bytesPerNode["Qt"]);
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
