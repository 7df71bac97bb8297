// Hidden rows of the string grid: hiding every other row of a long grid, mapping every display
// row to its real row, and showing the rows again; at 10,000 and 100,000 rows.
#include "grid/core/QorStringGrid.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

std::unique_ptr<TQorStringGrid> makeGrid(int rows) {
    auto g = std::make_unique<TQorStringGrid>(nullptr);
    g->SetColCount(6);
    g->SetRowCount(rows);
    for (int r = 0; r < rows; ++r) g->SetCells(1, r, std::to_string(r));
    return g;
}

// Hides the odd rows one by one (half the grid), then shows them all again.
void BM_HideShowHalf(benchmark::State& state) {
    const int rows = int(state.range(0));
    auto g = makeGrid(rows);
    for (auto _ : state) {
        for (int r = 1; r < rows; r += 2) g->HideRow(r);
        g->UnHideRowsAll();
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_HideShowHalf)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// With half the rows hidden, maps every display row to its real row and back.
void BM_MapEveryDisplayRow(benchmark::State& state) {
    const int rows = int(state.range(0));
    auto g = makeGrid(rows);
    for (int r = 1; r < rows; r += 2) g->HideRow(r);
    for (auto _ : state) {
        long long sum = 0;
        for (int d = 0; d < g->RowCount(); ++d) sum += g->DisplRowIndex(g->RealRowIndex(d));
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * g->RowCount());
}
BENCHMARK(BM_MapEveryDisplayRow)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A filter level of half the rows: one list hidden at once and shown again.
void BM_FilterLevelHalf(benchmark::State& state) {
    const int rows = int(state.range(0));
    auto g = makeGrid(rows);
    TIntList list(0, 0);
    for (int r = 1; r < rows; r += 2) list.Add(r);
    for (auto _ : state) {
        g->HideRowList(list);
        g->UnHideRowList();
        g->SetFilterLevel(g->FilterLevel() - 1);
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_FilterLevelHalf)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
