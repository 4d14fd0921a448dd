// Import and export of the largest picture a show takes: 168 x 10,000 pixels.
#include "files/Bitmap.h"
#include "model/Grid.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

namespace velkaro {
namespace {

struct LargestShow {
    std::unique_ptr<Grid> cells = NewGrid();
    std::string folder;
    std::string path;

    LargestShow() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velkaro-bitmap-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        folder = pattern;
        path = folder + "/show.bmp";
        std::mt19937 random(1);
        for (auto& cell : cells->WritableCells()) cell = random() & 0xFFFFFFu;
    }
    ~LargestShow() { std::filesystem::remove_all(folder); }
};

void BM_ExportBitmap(benchmark::State& state) {
    LargestShow show;
    BitmapPicture picture;
    for (auto _ : state) {
        ExportBitmap(*show.cells, MaxOutputs, MaxSteps, picture);
        SaveBitmapFile(show.path, picture);
    }
}
BENCHMARK(BM_ExportBitmap)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

void BM_ImportBitmap(benchmark::State& state) {
    LargestShow show;
    BitmapPicture picture;
    ExportBitmap(*show.cells, MaxOutputs, MaxSteps, picture);
    SaveBitmapFile(show.path, picture);
    auto cells = NewGrid();
    for (auto _ : state) {
        LoadBitmapFile(show.path, picture);
        benchmark::DoNotOptimize(ImportBitmap(picture, *cells));
    }
}
BENCHMARK(BM_ImportBitmap)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

} // namespace
} // namespace velkaro
