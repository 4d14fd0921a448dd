#include "model/Grid.h"
#include "model/ShowMemory.h"
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

// A whole grid with a colour in every cell: what every copy cost before grids kept their mark.
std::unique_ptr<Grid> FullGrid() {
    auto grid = NewGrid();
    for (auto& cell : grid->WritableCells()) cell = 0x010203;
    return grid;
}

void BM_CopyGrid(benchmark::State& state) {
    auto from = FullGrid();
    auto to = NewGrid();
    for (auto _ : state) {
        CopyGrid(*to, *from);
        benchmark::DoNotOptimize(to->AllCells().data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyGrid)->Unit(benchmark::kMicrosecond);

// The spare cells keep their colours, so the mark stays at the last row and each clear blanks the
// whole working area.
void BM_ClearCells(benchmark::State& state) {
    auto grid = FullGrid();
    for (auto _ : state) {
        ClearCells(*grid);
        benchmark::DoNotOptimize(grid->AllCells().data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ClearCells)->Unit(benchmark::kMicrosecond);

// A show of `steps` steps with every output lit.
std::unique_ptr<Grid> ShowOfSteps(int steps) {
    auto cells = NewGrid();
    for (int r = 0; r < steps; ++r)
        for (int c = 0; c < MaxOutputs; ++c) cells->At(r, c) = RGB(r % 256, c, 7);
    return cells;
}

// A snapshot copies the rows the show has used: a 100-step show costs a hundred rows, the
// longest show about the whole grid.
void BM_PushUndo(benchmark::State& state) {
    UndoRing ring;
    auto cells = ShowOfSteps(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ring.Push(*cells, ShowSettings{});
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PushUndo)->Arg(0)->Arg(100)->Arg(MaxSteps)->Unit(benchmark::kMicrosecond);

// What Undo copies back: the snapshot at the ring's position into the working grid, here over
// a show of the same length.
void BM_RestoreUndo(benchmark::State& state) {
    UndoRing ring;
    auto cells = ShowOfSteps(static_cast<int>(state.range(0)));
    ring.Push(*cells, ShowSettings{});
    for (auto _ : state) {
        CopyGrid(*cells, ring.SlotGrid());
        benchmark::DoNotOptimize(cells->AllCells().data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RestoreUndo)->Arg(100)->Arg(MaxSteps)->Unit(benchmark::kMicrosecond);

// Undo after a long edit of a short show: the rows past the snapshot's mark are blanked.
void BM_RestoreShortOverLong(benchmark::State& state) {
    UndoRing ring;
    auto shortShow = ShowOfSteps(100);
    auto cells = ShowOfSteps(MaxSteps);
    ring.Push(*shortShow, ShowSettings{});
    auto longShow = ShowOfSteps(MaxSteps);
    for (auto _ : state) {
        CopyGrid(*cells, *longShow);
        CopyGrid(*cells, ring.SlotGrid());
        benchmark::DoNotOptimize(cells->AllCells().data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RestoreShortOverLong)->Unit(benchmark::kMicrosecond);

// Reserving the fourteen grids of a show, as the window does at start.
void BM_ReserveShowMemory(benchmark::State& state) {
    for (auto _ : state) {
        ShowMemory memory;
        ClearCells(*memory.Cells);
        for (int i = 0; i < UndoRing::SlotCount; ++i)
            memory.Undo.Push(*memory.Cells, ShowSettings{});
        benchmark::DoNotOptimize(&memory);
    }
}
BENCHMARK(BM_ReserveShowMemory)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace velkaro
