#include "BenchWindow.h"

#include "ui/controls/PaintBox.h"

#include <QSpinBox>
#include <benchmark/benchmark.h>

namespace velkaro {
namespace {

// Repaints the grid; with `shown`, also the paint event that puts the canvas on the screen.
void MeasurePaintGrid(benchmark::State& state, MainWindow& window, bool shown) {
    PaintBox* grid = Child<PaintBox>(window, "gridPaintBox");
    for (auto _ : state) {
        window.View().PaintGrid();
        if (shown) grid->repaint();
        benchmark::DoNotOptimize(grid->image().constBits());
    }
    state.counters["rows_shown"] = window.Settings().ShownRows();
}

// The largest view there is: 200 rows of 168 outputs, in the middle of 10,000 steps.
void BM_PaintGridLargestView(benchmark::State& state) {
    BenchApplication();
    MainWindow window;
    PrepareLargestShow(window);
    Child<QSpinBox>(window, "shownStepsSpinner")->setValue(200);
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
    MainWindow window;
    ShowActivated(window);
    MeasurePaintGrid(state, window, false);
}
BENCHMARK(BM_PaintGridStartView)->Unit(benchmark::kMicrosecond)->Repetitions(5);

// One row shown of 687 pixels, under a selection of all 10,000 steps: the frame's lines reach
// millions of pixels beyond the view.
void BM_PaintGridUnderATallSelection(benchmark::State& state) {
    BenchApplication();
    MainWindow window;
    PrepareLargestShow(window);
    Child<QSpinBox>(window, "shownStepsSpinner")->setValue(1);
    Child<QScrollBar>(window, "gridScrollBar")
        ->setValue(Child<QScrollBar>(window, "gridScrollBar")->maximum());
    window.View().SetSelection(true, 0, 0, MaxOutputs - 1, MaxSteps - 1);
    MeasurePaintGrid(state, window, false);
}
BENCHMARK(BM_PaintGridUnderATallSelection)->Unit(benchmark::kMicrosecond)->Repetitions(5);

} // namespace
} // namespace velkaro
