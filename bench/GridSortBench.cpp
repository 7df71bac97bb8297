// Sorting and filtering the string grid against Qt's QSortFilterProxyModel over a
// QStandardItemModel holding the same data, in one run:
//  - sort 1,000,000 rows by a text column and by a numeric column (ascending, from the same
//    random order every time);
//  - filter them by a condition that half the rows match ("A*" on the text column);
//  - the text sort at 250,000 rows too, for the growth with the row count.
// Qt's model keeps the numbers as numbers (its natural form); the grid keeps texts. Each side
// starts every round from the same order: the un-sort (grid) and sort(-1) (Qt), untimed.
// Run from a Release build: QT_QPA_PLATFORM=offscreen bench_grid_sort.
#include "TimesReporter.h"
#include "grid/core/QorStringGrid.h"
#include "grid/data/DataSettings.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Data {
    std::vector<std::string> text;
    std::vector<double> number;
};

Data makeData(int rows) {
    std::mt19937 rng(42);
    Data d;
    d.text.reserve(std::size_t(rows));
    d.number.reserve(std::size_t(rows));
    for (int r = 0; r < rows; ++r) {
        // Half the texts start with "A"; the rest with other capitals.
        const char first = (rng() & 1) ? 'A' : char('B' + rng() % 20);
        d.text.push_back(first + std::string("item") + std::to_string(rng() % 1000000));
        d.number.push_back(double(rng() % 10000000) / 100.0);
    }
    return d;
}

std::string numberText(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

// Column 0: the row number; 1: the text; 2: the number.
std::unique_ptr<TQorStringGrid> makeGrid(const Data& d) {
    auto g = std::make_unique<TQorStringGrid>(nullptr);
    g->SetColCount(3);
    g->SetRowCount(int(d.text.size()) + 1);
    for (std::size_t r = 0; r < d.text.size(); ++r) {
        g->SetCells(0, int(r) + 1, std::to_string(r));
        g->SetCells(1, int(r) + 1, d.text[r]);
        g->SetCells(2, int(r) + 1, numberText(d.number[r]));
    }
    // Ties are not broken by other columns in Qt's sort either.
    g->SortSettings()->SetFull(false);
    return g;
}

std::unique_ptr<QStandardItemModel> makeModel(const Data& d) {
    auto m = std::make_unique<QStandardItemModel>(int(d.text.size()), 3);
    for (std::size_t r = 0; r < d.text.size(); ++r) {
        m->setItem(int(r), 0, new QStandardItem(QString::number(r)));
        m->setItem(int(r), 1, new QStandardItem(QString::fromStdString(d.text[r])));
        auto* n = new QStandardItem;
        n->setData(d.number[r], Qt::DisplayRole);
        m->setItem(int(r), 2, n);
    }
    return m;
}

struct Sides {
    int rows = 0;
    std::unique_ptr<TQorStringGrid> grid;
    std::unique_ptr<QStandardItemModel> model;
    std::unique_ptr<QSortFilterProxyModel> proxy;
    void build(int n) {
        if (rows == n) return;
        proxy.reset();
        model.reset();
        grid.reset();
        const Data d = makeData(n);
        grid = makeGrid(d);
        model = makeModel(d);
        proxy = std::make_unique<QSortFilterProxyModel>();
        proxy->setSourceModel(model.get());
        rows = n;
    }
};

Sides& sides() {
    static Sides s;
    return s;
}

double seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_GridSort(benchmark::State& state) {
    Sides& s = sides();
    s.build(int(state.range(0)));
    const int col = int(state.range(1));
    for (auto _ : state) {
        s.grid->InitSortXRef();
        const auto start = Clock::now();
        s.grid->Sort(col, sdAscending);
        state.SetIterationTime(seconds(start));
        s.grid->QUnSort();
    }
}

void BM_QtSort(benchmark::State& state) {
    Sides& s = sides();
    s.build(int(state.range(0)));
    const int col = int(state.range(1));
    for (auto _ : state) {
        const auto start = Clock::now();
        s.proxy->sort(col, Qt::AscendingOrder);
        state.SetIterationTime(seconds(start));
        s.proxy->sort(-1);
    }
}

void BM_GridFilterHalf(benchmark::State& state) {
    Sides& s = sides();
    s.build(int(state.range(0)));
    TFilterData* f = s.grid->Filter()->Add();
    f->SetColumn(1);
    f->SetCondition("A*");
    for (auto _ : state) {
        const auto start = Clock::now();
        s.grid->SetFilterActive(true);
        state.SetIterationTime(seconds(start));
        if (s.grid->RowCount() * 2 > s.rows + 20000 || s.grid->RowCount() * 2 < s.rows - 20000)
            state.SkipWithError("the filter did not keep half the rows");
        s.grid->SetFilterActive(false);
    }
    s.grid->Filter()->Clear();
}

// A fresh proxy per round: its filter is set first and it meets the model's rows when it maps
// them (a filter changed on a mapped proxy removes the failing rows range by range, which at
// this size runs for many minutes).
void BM_QtFilterHalf(benchmark::State& state) {
    Sides& s = sides();
    s.build(int(state.range(0)));
    const QRegularExpression half(QRegularExpression::wildcardToRegularExpression("A*"));
    for (auto _ : state) {
        QSortFilterProxyModel proxy;
        proxy.setFilterKeyColumn(1);
        proxy.setFilterRegularExpression(half);
        const auto start = Clock::now();
        proxy.setSourceModel(s.model.get());
        const int kept = proxy.rowCount();
        state.SetIterationTime(seconds(start));
        if (kept * 2 > s.rows + 20000 || kept * 2 < s.rows - 20000)
            state.SkipWithError("the filter did not keep half the rows");
    }
}

constexpr int Million = 1000000;
// Arguments: rows, column (1 text, 2 number). Registered side by side so that the data is
// built once per size.
void timed(benchmark::internal::Benchmark* b) {
    b->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
}
BENCHMARK(BM_GridSort)->Args({Million / 4, 1})->Apply(timed);
BENCHMARK(BM_QtSort)->Args({Million / 4, 1})->Apply(timed);
BENCHMARK(BM_GridSort)->Args({Million, 1})->Args({Million, 2})->Apply(timed);
BENCHMARK(BM_QtSort)->Args({Million, 1})->Args({Million, 2})->Apply(timed);
BENCHMARK(BM_GridFilterHalf)->Arg(Million)->Apply(timed);
BENCHMARK(BM_QtFilterHalf)->Arg(Million)->Apply(timed);

class SortReporter : public TimesReporter {
public:
    void Finalize() override {
        TimesReporter::Finalize();
        // The names as Google Benchmark gives them with 3 iterations and manual time.
        auto run = [&](const std::string& name) {
            return time(name + "/iterations:3/manual_time");
        };
        auto ratio = [&](const char* what, const std::string& ours, const std::string& qt) {
            const double a = run(ours), b = run(qt);
            if (a > 0 && b > 0) std::printf("%-34s grid/Qt = %.3f\n", what, a / b);
        };
        ratio("sort 1,000,000 rows by text", "BM_GridSort/1000000/1", "BM_QtSort/1000000/1");
        ratio("sort 1,000,000 rows by number", "BM_GridSort/1000000/2", "BM_QtSort/1000000/2");
        ratio("filter 1,000,000 rows, half kept", "BM_GridFilterHalf/1000000",
              "BM_QtFilterHalf/1000000");
        const double small = run("BM_GridSort/250000/1");
        const double large = run("BM_GridSort/1000000/1");
        if (small > 0)
            std::printf("grid text sort, 4x rows: %.2fx time (n log n: %.2fx)\n", large / small,
                        4 * std::log(double(Million)) / std::log(Million / 4.0));
    }
};

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    SortReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
