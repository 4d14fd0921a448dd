#include "model/Grid.h"
#include "player/FseqExport.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace velkaro {
namespace {

// 1,000 steps of a second with all 168 outputs changing from step to step, fading: every one of
// the 40,000 frames is a blend of two different steps (20 MB of channels).
struct ThousandStepShow {
    std::unique_ptr<Grid> cells = NewGrid();
    std::string folder;
    ShowSettings settings{MaxOutputs, 1000, 10, FadeMode};

    ThousandStepShow() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velkaro-bench-XXXXXX").string();
        folder = ::mkdtemp(pattern.data()) ? pattern : ".";
        for (int row = 0; row < settings.Steps; ++row)
            for (int col = 0; col < MaxOutputs; ++col)
                cells->At(row, col) = RGB((row * 7 + col) % 256, (row * 3 + col * 5) % 256,
                                          col == row % MaxOutputs ? 255 : 0);
    }
    ~ThousandStepShow() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

// The whole export as the user starts it, synced to the disk: rendering, compressing, writing.
void BM_ExportFseq(benchmark::State& state) {
    ThousandStepShow show;
    const bool compress = state.range(0) != 0;
    const std::string path = show.folder + "/show.fseq";
    for (auto _ : state) ExportFseq(path, *show.cells, show.settings, false, compress);
    state.counters["file_MB"] = double(std::filesystem::file_size(path)) / 1e6;
    state.counters["frames"] = double(FseqFramesOf(show.settings));
}
BENCHMARK(BM_ExportFseq)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("zstd")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace velkaro
