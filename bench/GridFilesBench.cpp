// The grid's CSV file and binary cell stream against Python's csv module, in one run on the same
// file: 40,000 rows x 25 columns (1,000,000 cells, about a seventh of them needing quotes; the
// binary stream carries row indexes up to 65,535) are saved as CSV (UTF-8) and loaded into an
// empty grid; Python, started as a child process, reads the same file into lists and writes
// the lists back, timing its own work. The binary stream is saved and loaded too. Rounds
// alternate (ours, Python, ...); the best round of each counts. The same is done with twice the
// columns to show that the times grow linearly with the cells.
// Files are written to /dev/shm when it exists. Run from a Release build:
// bench_grid_files [--quick] (--quick: one round, no 2x size).
#include "grid/core/QorStringGrid.h"
#include "platform/base/Memory.h"
#include "platform/files/Files.h"
#include "platform/process/Process.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

namespace {

constexpr int Rows = 40000;
constexpr int Cols = 25;

using Clock = std::chrono::steady_clock;

double millisecondsOf(const std::function<void()>& work) {
    auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Texts as tables hold them: numbers, words, names with a comma, a quote now and then.
std::string cellText(int col, int row) {
    switch ((row * 7 + col) % 10) {
    case 0:
        return std::to_string(row);
    case 1:
        return "Smith, John " + std::to_string(row % 97);
    case 2:
        return std::to_string(row % 1000) + "." + std::to_string(col * 7);
    case 3:
        return "caf\xC3\xA9 " + std::to_string(col);
    case 4:
        return "alpha";
    case 5:
        return "R" + std::to_string(row) + "C" + std::to_string(col);
    case 6:
        return row % 7 == 0 ? "he said \"yes\"" : "plain text";
    case 7:
        return "-" + std::to_string(row % 5000);
    case 8:
        return "2024-05-" + std::to_string(10 + row % 20);
    default:
        return "";
    }
}

std::unique_ptr<TQorStringGrid> filledGrid(int rows, int cols) {
    auto g = std::make_unique<TQorStringGrid>(nullptr);
    g->SetColCount(cols);
    g->SetRowCount(rows);
    g->SetFixedRows(0);
    g->SetFixedCols(0);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) g->SetCells(c, r, cellText(c, r));
    return g;
}

const char* const PythonScript = R"(import csv, sys, time
src, dst, report = sys.argv[1], sys.argv[2], sys.argv[3]
t0 = time.perf_counter()
with open(src, newline='', encoding='utf-8-sig') as f:
    rows = list(csv.reader(f))
t1 = time.perf_counter()
with open(dst, 'w', newline='', encoding='utf-8') as f:
    csv.writer(f).writerows(rows)
t2 = time.perf_counter()
with open(report, 'w') as f:
    f.write('%f %f %d %d\n' % ((t1 - t0) * 1000, (t2 - t1) * 1000, len(rows),
                              sum(len(r) for r in rows)))
)";

struct Figures {
    double csvSave = 1e300, csvLoad = 1e300, binSave = 1e300, binLoad = 1e300;
    double pyRead = 1e300, pyWrite = 1e300;
};

void python(const std::string& dir, const std::string& csv, Figures& f, int rows, int cols) {
    const std::string report = dir + "/python.txt";
    TChildProcess p;
    if (!p.Start("python3",
                 std::vector<std::string>{"-c", PythonScript, csv, dir + "/py.csv", report},
                 true) ||
        !p.WaitFor(600000) || p.ExitCode() != 0) {
        std::fprintf(stderr, "python3 did not run the csv script\n");
        std::exit(1);
    }
    std::istringstream in(ReadTextFile(report));
    double read = 0, write = 0;
    long long n = 0, cells = 0;
    in >> read >> write >> n >> cells;
    // Python must see the records and fields the grid wrote.
    if (n != rows || cells != (long long)rows * cols) {
        std::fprintf(stderr, "python3 read %lld rows and %lld fields\n", n, cells);
        std::exit(1);
    }
    f.pyRead = std::min(f.pyRead, read);
    f.pyWrite = std::min(f.pyWrite, write);
}

Figures measure(const std::string& dir, int rows, int cols, int rounds) {
    Figures f;
    auto grid = filledGrid(rows, cols);
    const std::string csv = dir + "/cells.csv", bin = dir + "/cells.bin";
    for (int round = 0; round < rounds; ++round) {
        f.csvSave = std::min(f.csvSave, millisecondsOf([&] { grid->SaveToCSV(csv, true); }));
        auto back = std::make_unique<TQorStringGrid>(nullptr);
        f.csvLoad = std::min(f.csvLoad, millisecondsOf([&] { back->LoadFromCSV(csv); }));
        if (back->RowCount() != rows ||
            back->GridCells(cols - 2, rows - 1) != grid->GridCells(cols - 2, rows - 1)) {
            std::fprintf(stderr, "the CSV load lost cells\n");
            std::exit(1);
        }
        python(dir, csv, f, rows, cols);
        f.binSave = std::min(f.binSave, millisecondsOf([&] { grid->SaveToBinFile(bin); }));
        auto binBack = std::make_unique<TQorStringGrid>(nullptr);
        f.binLoad = std::min(f.binLoad, millisecondsOf([&] { binBack->LoadFromBinFile(bin); }));
        if (binBack->RowCount() != rows ||
            binBack->GridCells(1, rows - 1) != grid->GridCells(1, rows - 1)) {
            std::fprintf(stderr, "the binary load lost cells\n");
            std::exit(1);
        }
        benchmark::DoNotOptimize(back.get());
    }
    return f;
}

void printRow(const char* what, double ours, double peer, const char* target) {
    std::printf("%-34s %12.1f %12.1f %9.3f   %s\n", what, ours, peer, ours / peer, target);
}

} // namespace

int main(int argc, char** argv) {
    bool quick = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0) {
            quick = true;
        } else {
            std::fprintf(stderr, "usage: %s [--quick]\n", argv[0]);
            return 2;
        }
    }
    // As the program does at start-up.
    keepFreedMemory();
    // A memory-backed folder where there is one, so that neither side waits for the disk (the
    // grid's writes go through a temporary file that is synced before it is renamed).
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    const std::string dir =
        (base / ("bench_grid_files_" + std::to_string(Clock::now().time_since_epoch().count())))
            .string();
    ForceDirectories(dir);
    const Figures one = measure(dir, Rows, Cols, quick ? 1 : 3);
    std::printf("%-34s %12s %12s %9s   %s\n", "1,000,000 cells (ms)", "grid", "Python csv", "ratio",
                "target");
    printRow("CSV save (Python: write lists)", one.csvSave, one.pyWrite, "<= 0.5");
    printRow("CSV load (Python: read to lists)", one.csvLoad, one.pyRead, "<= 0.5");
    std::printf("%-34s %12.1f\n", "binary stream save", one.binSave);
    std::printf("%-34s %12.1f\n", "binary stream load", one.binLoad);
    if (!quick) {
        const Figures two = measure(dir, Rows, 2 * Cols, 1);
        std::printf("\n%-34s %12s %12s   (2x cells / 1x; linear: ~2)\n", "growth at 2,000,000",
                    "grid", "Python csv");
        std::printf("%-34s %11.2fx %11.2fx\n", "CSV save", two.csvSave / one.csvSave,
                    two.pyWrite / one.pyWrite);
        std::printf("%-34s %11.2fx %11.2fx\n", "CSV load", two.csvLoad / one.csvLoad,
                    two.pyRead / one.pyRead);
        std::printf("%-34s %11.2fx\n", "binary stream save", two.binSave / one.binSave);
        std::printf("%-34s %11.2fx\n", "binary stream load", two.binLoad / one.binLoad);
    }
    DeleteTree(dir);
    return 0;
}
