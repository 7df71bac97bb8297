// Start-up of the program up to the first paint of the main window: the 33 forms created in
// their order (the main window's creation handler with its folders, settings and texts), then
// the main window painted once.
#include "platform/files/Files.h"
#include "platform/qt/QtBackend.h"
#include "shell/ProgramForms.h"
#include "shell/VelmareFirmWare.h"
#include "shell/state/ProgramState.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

void BM_StartupToFirstPaint(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / "bench_shell_startup";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    SetProgramPathOverride((dir / "Velmar.exe").string());
    for (auto _ : state) {
        Reset_Program_State();
        Create_Program_Forms();
        TBitmap image;
        image.SetSize(FVelmareFirmWare->ClientWidth(), FVelmareFirmWare->ClientHeight());
        FVelmareFirmWare->PaintTo(image.Canvas(), 0, 0);
        benchmark::DoNotOptimize(image.PixelColor(16, 84));
        state.PauseTiming();
        Destroy_Program_Forms();
        state.ResumeTiming();
    }
    SetProgramPathOverride("");
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_StartupToFirstPaint)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    InitQtBackend(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    Application->DestroyComponents();
    DoneQtBackend();
    return 0;
}
