// Row operations of the column grid: 1,000 rows inserted one by one at the top of a
// 100,000-row grid whose every tenth row has cell properties, then removed there again. Compare
// with BM_TopRowEdits of bench_grid (the plain platform grid doing the same at its store).
#include "grid/core/QorColumnGrid.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

std::unique_ptr<TQorColumnGrid> makeGrid(int rows) {
    auto g = std::make_unique<TQorColumnGrid>(nullptr);
    g->SetColCount(10);
    g->SetRowCount(rows);
    g->SetBounds(0, 0, 800, 600);
    for (int r = 0; r < rows; ++r) {
        g->SetCells(1, r, std::to_string(r));
        if (r % 10 == 0) g->SetColors(2, r, clYellow);
    }
    return g;
}

void BM_InsertRemoveTopRows(benchmark::State& state) {
    const int rows = int(state.range(0));
    const int ops = int(state.range(1));
    auto g = makeGrid(rows);
    for (auto _ : state) {
        for (int i = 0; i < ops; ++i) g->InsertRows(1, 1);
        for (int i = 0; i < ops; ++i) g->RemoveRows(1, 1);
    }
    state.SetItemsProcessed(state.iterations() * ops * 2);
}
BENCHMARK(BM_InsertRemoveTopRows)->Args({100000, 1000})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
