#include "BenchWindow.h"

#include "ui/Unit1.h"
#include "ui/controls/PaintBox.h"
#include "ui/controls/UpDown.h"

#include <QTimer>
#include <benchmark/benchmark.h>

namespace velkaro {
namespace {

// One tick of the running preview at 168 outputs in "100% Fade", the mode that blends every
// bar, including the drawing of all bars and black areas into the preview's canvas.
void PrepareLongShow(TFVelkaro& window) {
    ShowActivated(window);
    window.UDNX->SetPosition(MaxOutputs);
    window.udlz->SetPosition(100);
    window.uds->SetPosition(7);
    FillWithDistinctColours(window, 100);
}

void BM_PreviewTickAndDraw168(benchmark::State& state) {
    BenchApplication();
    TFVelkaro window;
    PrepareLongShow(window);
    for (auto _ : state) {
        window.Timer1Timer();
        benchmark::DoNotOptimize(window.pbp->image().constBits());
    }
    state.counters["bar_width"] = window.pbp->width();
}
BENCHMARK(BM_PreviewTickAndDraw168)->Unit(benchmark::kMicrosecond)->Repetitions(5);

// The same tick followed by the paint event that puts the bar on the screen.
void BM_PreviewTickDrawAndShow168(benchmark::State& state) {
    BenchApplication();
    TFVelkaro window;
    PrepareLongShow(window);
    for (auto _ : state) {
        window.Timer1Timer();
        window.pbp->repaint();
    }
}
BENCHMARK(BM_PreviewTickDrawAndShow168)->Unit(benchmark::kMicrosecond)->Repetitions(5);

} // namespace
} // namespace velkaro
