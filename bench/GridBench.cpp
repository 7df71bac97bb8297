// The grid's cell store: writing and reading cells, inserting and deleting rows in a long
// grid, and painting a full visible page.
#include "grid/core/base/BaseGrid.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class BenchGrid : public TBaseGrid {
public:
    using TBaseGrid::TBaseGrid;
    void setNormalRows(int n) { FNormalRowCount = n; }
};

std::unique_ptr<BenchGrid> makeGrid(int cols, int rows) {
    auto g = std::make_unique<BenchGrid>(nullptr);
    g->SetColCount(cols);
    g->SetRowCount(rows);
    g->setNormalRows(rows);
    return g;
}

// Writes and reads back state.range(0) cells of a 10-column grid, through the display hooks.
void BM_WriteReadCells(benchmark::State& state) {
    const int cells = int(state.range(0));
    const int cols = 10, rows = cells / cols;
    for (auto _ : state) {
        auto g = makeGrid(cols, rows);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) g->SetCells(c, r, "v" + std::to_string(c + r));
        std::size_t total = 0;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) total += g->Cells(c, r).size();
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * cells * 2);
}
BENCHMARK(BM_WriteReadCells)->Arg(1000000)->Arg(10000000)->Unit(benchmark::kMillisecond);

// state.range(1) inserts and as many deletes in the middle of a grid of state.range(0) rows.
void BM_InsertDeleteRows(benchmark::State& state) {
    const int rows = int(state.range(0));
    const int ops = int(state.range(1));
    auto g = makeGrid(6, rows);
    for (int r = 0; r < rows; ++r) g->SetCells(1, r, std::to_string(r));
    for (auto _ : state) {
        for (int i = 0; i < ops; ++i) {
            int at = rows / 2 + i;
            g->SetRowCount(g->RowCount() + 1);
            g->MoveRow(g->RowCount() - 1, at);
            g->SetCells(1, at, "new");
        }
        for (int i = 0; i < ops; ++i) g->DeleteRow(rows / 2);
    }
    state.SetItemsProcessed(state.iterations() * ops * 2);
}
BENCHMARK(BM_InsertDeleteRows)
    ->Args({100000, 100})
    ->Args({100000, 1000})
    ->Args({1000000, 100})
    ->Unit(benchmark::kMillisecond);

// Writes state.range(0) cells into a new 10-column string grid, then reads them.
void BM_StringGridWriteRead(benchmark::State& state) {
    const int rows = int(state.range(0)) / 10;
    std::vector<std::string> texts;
    for (int i = 0; i < 1000; ++i)
        texts.push_back("R" + std::to_string(i) + "C" + std::to_string(i % 10));
    for (auto _ : state) {
        TStringGrid g(nullptr);
        g.SetColCount(10);
        g.SetRowCount(rows);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < 10; ++c) g.SetCells(c, r, texts[std::size_t(r * 10 + c) % 1000]);
        std::size_t total = 0;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < 10; ++c) total += g.Cells(c, r).size();
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 2);
}
BENCHMARK(BM_StringGridWriteRead)->Arg(1000000)->Arg(10000000)->Unit(benchmark::kMillisecond);

// state.range(1) rows inserted at the top of a string grid of state.range(0) rows (a new last
// row moved to the top, and one block insert), then as many deleted there.
void BM_TopRowEdits(benchmark::State& state) {
    const int rows = int(state.range(0));
    const int ops = int(state.range(1));
    TStringGrid g(nullptr);
    g.SetColCount(10);
    g.SetRowCount(rows);
    g.SetBounds(0, 0, 800, 600);
    for (int r = 0; r < rows; ++r) g.SetCells(1, r, std::to_string(r));
    for (auto _ : state) {
        for (int i = 0; i < ops; ++i) {
            g.SetRowCount(g.RowCount() + 1);
            g.MoveRow(g.RowCount() - 1, 1);
        }
        for (int i = 0; i < ops; ++i) g.DeleteRow(1);
        g.InsertRows(1, ops);
        g.DeleteRows(1, ops);
    }
    state.SetItemsProcessed(state.iterations() * ops * 2);
}
BENCHMARK(BM_TopRowEdits)
    ->Args({100000, 1000})
    ->Args({1000000, 10000})
    ->Unit(benchmark::kMillisecond);

// Paints the visible page of a 100,000-row grid; the page holds state.range(0) x
// state.range(1) cells of 64 x 24 pixels.
void BM_PaintPage(benchmark::State& state) {
    const int cols = int(state.range(0)), rowsShown = int(state.range(1));
    auto g = makeGrid(cols + 1, 100000);
    g->SetBounds(0, 0, (cols + 1) * 64, (rowsShown + 1) * 24);
    g->HandleNeeded();
    for (int r = 0; r < 100000; ++r)
        for (int c = 0; c < cols + 1; ++c) g->SetCells(c, r, "R" + std::to_string(r));
    g->SetTopRow(50000);
    for (auto _ : state) {
        g->Invalidate();
        g->Update();
    }
    state.SetItemsProcessed(state.iterations() * (cols + 1) * (rowsShown + 1));
}
BENCHMARK(BM_PaintPage)->Args({10, 25})->Args({32, 79})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
