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

// The fair yardstick for PushUndo: a plain memcpy that, like the ring, writes to ten buffers in
// turn, so the destination is never still in the cache from the copy before.
void BM_PlainMemcpyIntoTenBuffers(benchmark::State& state) {
    std::vector<unsigned char> from(GridBytes, 1);
    std::vector<std::vector<unsigned char>> to(10, std::vector<unsigned char>(GridBytes));
    std::size_t next = 0;
    for (auto _ : state) {
        std::memcpy(to[next].data(), from.data(), GridBytes);
        next = (next + 1) % to.size();
        benchmark::DoNotOptimize(to[next].data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlainMemcpyIntoTenBuffers)->Unit(benchmark::kMicrosecond);

void BM_CopyGrid(benchmark::State& state) {
    auto from = NewGrid();
    auto to = NewGrid();
    for (auto _ : state) {
        CopyGrid(*to, *from);
        benchmark::DoNotOptimize(to->AllCells().data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyGrid)->Unit(benchmark::kMicrosecond);

void BM_ClearCells(benchmark::State& state) {
    auto grid = NewGrid();
    for (auto _ : state) {
        ClearCells(*grid);
        benchmark::DoNotOptimize(grid->AllCells().data());
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

// What Undo copies back: the snapshot at the ring's position into the working grid.
void BM_RestoreUndo(benchmark::State& state) {
    UndoRing ring;
    auto cells = NewGrid();
    ring.Push(*cells, ShowSettings{});
    for (auto _ : state) {
        CopyGrid(*cells, ring.SlotGrid());
        benchmark::DoNotOptimize(cells->AllCells().data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RestoreUndo)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace velkaro
