#include "commands/BlockCommands.h"
#include "commands/RowColumnCommands.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace velkaro {
namespace {

// The largest cases: a 10,000-step show, every row, the whole selectable grid.
struct BenchShow {
    std::unique_ptr<Grid> cells = NewGrid();
    std::unique_ptr<Grid> work = NewGrid();

    BenchShow() {
        for (int r = 0; r < GridRows; ++r)
            for (int c = 0; c < GridCols; ++c) (*cells)[r][c] = RGB(r & 255, c, (r >> 8) & 255);
    }
};

Selection Rows(int first, int last) {
    return {true, 0, 0, first, last};
}

void BM_DeleteRows(benchmark::State& state) {
    BenchShow show;
    for (auto _ : state) {
        benchmark::DoNotOptimize(DeleteRows(*show.cells, *show.work, Rows(0, 1), MaxSteps));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DeleteRows)->Unit(benchmark::kMillisecond);

void BM_DuplicateRows(benchmark::State& state) {
    BenchShow show;
    for (auto _ : state) {
        benchmark::DoNotOptimize(DuplicateRows(*show.cells, *show.work, Rows(0, 1), MaxSteps));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DuplicateRows)->Unit(benchmark::kMillisecond);

void BM_DuplicateColumns(benchmark::State& state) {
    BenchShow show;
    const Selection firstColumn{true, 0, 0, 0, 0};
    for (auto _ : state) {
        benchmark::DoNotOptimize(DuplicateColumns(*show.cells, *show.work, firstColumn));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DuplicateColumns)->Unit(benchmark::kMillisecond);

void BM_MirrorBlockWholeGrid(benchmark::State& state) {
    BenchShow show;
    const Selection whole{true, 0, LastSelectableCol, 0, LastSelectableRow};
    const bool vertical = state.range(0) != 0;
    for (auto _ : state) {
        MirrorBlock(*show.cells, *show.work, whole, vertical);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MirrorBlockWholeGrid)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace velkaro
