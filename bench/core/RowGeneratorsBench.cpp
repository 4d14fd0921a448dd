#include "commands/PreviewClock.h"
#include "commands/RowGenerators.h"

#include <benchmark/benchmark.h>

namespace velkaro {
namespace {

// A show whose cells all differ, so no blend or brighten takes a shortcut.
std::unique_ptr<Grid> PatternedGrid() {
    auto grid = NewGrid();
    for (int r = 0; r < GridRows; ++r)
        for (int c = 0; c < GridCols; ++c)
            grid->At(r, c) = static_cast<TColor>((r * 7919u + c * 104729u) & 0xFFFFFF);
    return grid;
}

void BM_MakeChaser168(benchmark::State& state) {
    auto cells = PatternedGrid();
    for (auto _ : state) {
        MakeChaser(*cells, MaxOutputs, RunDirection::Left);
        benchmark::DoNotOptimize(cells->AllCells().data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MakeChaser168)->Unit(benchmark::kMicrosecond);

void BM_BrightenLongestShow(benchmark::State& state) {
    auto cells = PatternedGrid();
    for (auto _ : state) {
        Brighten(*cells, MaxOutputs, MaxSteps);
        benchmark::DoNotOptimize(cells->AllCells().data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BrightenLongestShow)->Unit(benchmark::kMillisecond);

// One tick of the preview at 168 outputs in "100% Fade", the mode that blends every bar.
void BM_PreviewTick168(benchmark::State& state) {
    auto cells = PatternedGrid();
    const ShowSettings settings{
        .Outputs = MaxOutputs, .Steps = 100, .StepLength = 7, .BlendMode = FadeMode};
    PreviewClock clock;
    PreviewColours colours{};
    for (auto _ : state) {
        PreviewTick(clock, *cells, settings, colours);
        benchmark::DoNotOptimize(colours.data());
    }
}
BENCHMARK(BM_PreviewTick168)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace velkaro
