#include "files/ShowFile.h"
#include "files/ShowFingerprint.h"
#include "model/Grid.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace velkaro {
namespace {

// A 10,000-step show with every output lit, in a folder of its own.
struct LongestShow {
    std::unique_ptr<Grid> cells = NewGrid();
    std::string folder;
    std::string path;
    ShowSettings settings{MaxOutputs, MaxSteps, 25, HalfFadeHalfHoldMode};

    LongestShow() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velkaro-bench-XXXXXX").string();
        folder = ::mkdtemp(pattern.data()) ? pattern : ".";
        path = folder + "/longest.dmx";
        for (int row = 0; row < MaxSteps; ++row)
            for (int col = 0; col < MaxOutputs; ++col)
                cells->At(row, col) = TColor(row * 31 + col * 977) & 0xFFFFFF;
    }
    ~LongestShow() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

void BM_SaveShow(benchmark::State& state) {
    LongestShow show;
    const bool mono = state.range(0) != 0;
    for (auto _ : state) SaveShow(show.path, *show.cells, show.settings, mono);
}
BENCHMARK(BM_SaveShow)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("mono")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_LoadShow(benchmark::State& state) {
    LongestShow show;
    const bool mono = state.range(0) != 0;
    SaveShow(show.path, *show.cells, show.settings, mono);
    for (auto _ : state) {
        auto result = LoadShow(show.path, false, *show.cells, mono, 1);
        benchmark::DoNotOptimize(result);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LoadShow)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("mono")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The window fingerprints the show at every save, load and close; at the longest show that
// must stay well inside a frame.
void BM_ShowFingerprint(benchmark::State& state) {
    LongestShow show;
    const bool mono = state.range(0) != 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(ShowFingerprint(*show.cells, show.settings, mono));
}
BENCHMARK(BM_ShowFingerprint)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("mono")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace velkaro
