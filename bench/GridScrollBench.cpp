// Scrolling and moving in a long string grid: thumb messages with fixed-size and proportional
// thumbs, and moving row blocks.
#include "grid/core/QorStringGrid.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

std::unique_ptr<TQorStringGrid> makeGrid(int rows) {
    auto g = std::make_unique<TQorStringGrid>(nullptr);
    g->SetColCount(6);
    g->SetRowCount(rows);
    for (int r = 1; r < rows; r += 7) g->SetCells(1, r, std::to_string(r));
    return g;
}

// Thumb positions across the bar of a grid of state.range(0) rows; proportional thumbs when
// state.range(1) is 1.
void BM_ThumbScroll(benchmark::State& state) {
    auto g = makeGrid(int(state.range(0)));
    g->SetScrollProportional(state.range(1) == 1);
    int pos = 0;
    for (auto _ : state) {
        pos = (pos + 37) % 128;
        g->Perform(WM_VSCROLL, WPARAM(SB_THUMBPOSITION) | (WPARAM(pos) << 16), 0);
        benchmark::DoNotOptimize(g->TopRow());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ThumbScroll)->Args({100000, 0})->Args({100000, 1})->Unit(benchmark::kMicrosecond);

// Moves a block of state.range(1) rows from the top half to the bottom half and back.
void BM_MoveRows(benchmark::State& state) {
    const int rows = int(state.range(0)), count = int(state.range(1));
    auto g = makeGrid(rows);
    for (auto _ : state) {
        g->MoveRows(10, rows - 10, count);
        g->MoveRows(rows - 10 - count, 10, count);
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_MoveRows)->Args({100000, 1})->Args({100000, 100})->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
