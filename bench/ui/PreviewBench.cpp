#include "BenchWindow.h"

#include "ui/MainWindow.h"
#include "ui/controls/PaintBox.h"
#include "ui/controls/UpDown.h"

#include <QTimer>
#include <benchmark/benchmark.h>

namespace velkaro {
namespace {

// One tick of the running preview at 168 outputs in "100% Fade", the mode that blends every
// bar, including the drawing of all bars and black areas into the preview's canvas.
void PrepareLongShow(MainWindow& window) {
    ShowActivated(window);
    Child<UpDown>(window, "outputsSpinner")->SetPosition(MaxOutputs);
    Child<UpDown>(window, "stepsSpinner")->SetPosition(100);
    Child<UpDown>(window, "stepLengthSpinner")->SetPosition(7);
    FillWithDistinctColours(window, 100);
}

void BM_PreviewTickAndDraw168(benchmark::State& state) {
    BenchApplication();
    MainWindow window;
    PrepareLongShow(window);
    PaintBox* bar = Child<PaintBox>(window, "previewBar");
    for (auto _ : state) {
        window.Preview().Tick();
        benchmark::DoNotOptimize(bar->image().constBits());
    }
    state.counters["bar_width"] = bar->width();
}
BENCHMARK(BM_PreviewTickAndDraw168)->Unit(benchmark::kMicrosecond)->Repetitions(5);

// The same tick followed by the paint event that puts the bar on the screen.
void BM_PreviewTickDrawAndShow168(benchmark::State& state) {
    BenchApplication();
    MainWindow window;
    PrepareLongShow(window);
    PaintBox* bar = Child<PaintBox>(window, "previewBar");
    for (auto _ : state) {
        window.Preview().Tick();
        bar->repaint();
    }
}
BENCHMARK(BM_PreviewTickDrawAndShow168)->Unit(benchmark::kMicrosecond)->Repetitions(5);

} // namespace
} // namespace velkaro
