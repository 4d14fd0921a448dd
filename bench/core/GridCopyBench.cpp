#include "model/Grid.h"
#include "model/UndoRing.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace velkaro {
namespace {

void BM_PlainMemcpy(benchmark::State& state) {
    std::vector<unsigned char> from(GridBytes, 1), to(GridBytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), GridBytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlainMemcpy)->Unit(benchmark::kMicrosecond);

void BM_CopyGrid(benchmark::State& state) {
    auto from = NewGrid();
    auto to = NewGrid();
    for (auto _ : state) {
        CopyGrid(*to, *from);
        benchmark::DoNotOptimize(to->cells.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyGrid)->Unit(benchmark::kMicrosecond);

void BM_ClearCells(benchmark::State& state) {
    auto grid = NewGrid();
    for (auto _ : state) {
        ClearCells(*grid);
        benchmark::DoNotOptimize(grid->cells.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ClearCells)->Unit(benchmark::kMicrosecond);

void BM_PushUndo(benchmark::State& state) {
    UndoRing ring;
    auto cells = NewGrid();
    for (auto _ : state) {
        ring.Push(*cells, ShowSettings{});
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PushUndo)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace velkaro
