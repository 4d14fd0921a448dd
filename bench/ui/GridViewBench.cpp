#include "BenchWindow.h"

#include "ui/controls/PaintBox.h"

#include <QSpinBox>
#include <benchmark/benchmark.h>

namespace velkaro {
namespace {

// Repaints the grid; with `shown`, also the paint event that puts the canvas on the screen.
void MeasurePaintGrid(benchmark::State& state, TFVelkaro& window, bool shown) {
    for (auto _ : state) {
        window.PaintGrid();
        if (shown) window.pb->repaint();
        benchmark::DoNotOptimize(window.pb->image().constBits());
    }
    state.counters["rows_shown"] = window.ShownRows();
}

// The largest view there is: 200 rows of 168 outputs, in the middle of 10,000 steps.
void BM_PaintGridLargestView(benchmark::State& state) {
    BenchApplication();
    TFVelkaro window;
    PrepareLargestShow(window);
    window.sbny->setValue(200);
    MeasurePaintGrid(state, window, state.range(0) != 0);
}
BENCHMARK(BM_PaintGridLargestView)
    ->ArgName("shown")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5);

// The view a new show opens with.
void BM_PaintGridStartView(benchmark::State& state) {
    BenchApplication();
    TFVelkaro window;
    ShowActivated(window);
    MeasurePaintGrid(state, window, false);
}
BENCHMARK(BM_PaintGridStartView)->Unit(benchmark::kMicrosecond)->Repetitions(5);

// One row shown of 687 pixels, under a selection of all 10,000 steps: the frame's lines reach
// millions of pixels beyond the view.
void BM_PaintGridUnderATallSelection(benchmark::State& state) {
    BenchApplication();
    TFVelkaro window;
    PrepareLargestShow(window);
    window.sbny->setValue(1);
    window.sbyoffs->setValue(window.sbyoffs->maximum());
    window.SetSelection(true, 0, 0, MaxOutputs - 1, MaxSteps - 1);
    MeasurePaintGrid(state, window, false);
}
BENCHMARK(BM_PaintGridUnderATallSelection)->Unit(benchmark::kMicrosecond)->Repetitions(5);

} // namespace
} // namespace velkaro
