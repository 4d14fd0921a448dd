#include "BenchWindow.h"

#include "ui/Unit1.h"
#include "ui/controls/PaintBox.h"
#include "ui/controls/UpDown.h"
#include "ui/upalette.h"

#include <QScrollBar>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace velkaro {
namespace {

// One left-button stroke from the top left to the bottom right cell of the view: press, release
// (undo snapshot, fill, repaint) and the paint event that shows the result.
void BM_LeftStrokeOverTheView(benchmark::State& state) {
    BenchApplication();
    TFVelkaro window;
    PrepareLargestShow(window);
    const int right = window.pb->width() - 1;
    const int bottom = window.ShownRows() * window.RowHeight - 1;
    for (auto _ : state) {
        window.pbMouseDown(Qt::LeftButton, 0, 0);
        window.pbMouseUp(Qt::LeftButton, right, bottom);
        window.pb->repaint();
    }
    state.counters["rows_shown"] = window.ShownRows();
}
BENCHMARK(BM_LeftStrokeOverTheView)->Unit(benchmark::kMicrosecond)->Repetitions(5);

// The largest stroke there is: from the first cell to far below and right of the grid, which
// fills the whole 168 x 10,000 show (and the spare column and row).
void BM_LeftStrokeOverTheWholeShow(benchmark::State& state) {
    BenchApplication();
    TFVelkaro window;
    PrepareLargestShow(window);
    for (auto _ : state) {
        window.sbyoffs->setValue(0);
        window.pbMouseDown(Qt::LeftButton, 0, 0);
        window.pbMouseUp(Qt::LeftButton, 1000000, 1000000);
        window.pb->repaint();
    }
}
BENCHMARK(BM_LeftStrokeOverTheWholeShow)->Unit(benchmark::kMicrosecond)->Repetitions(5);

// One step of the red slider in pick mode: the swatch, the picked cell, the strip and the grid.
void BM_SliderStepInPickMode(benchmark::State& state) {
    BenchApplication();
    TFVelkaro window;
    PrepareLargestShow(window);
    window.pbMouseDown(Qt::RightButton, 100, 100);
    window.pbMouseUp(Qt::RightButton, 100, 100);
    QScrollBar* red = window.FPalette->sbr;
    int position = 0;
    for (auto _ : state) {
        position = (position + 1) & 255;
        red->setValue(position);
        window.pb->repaint();
        window.FPalette->pp->repaint();
    }
}
BENCHMARK(BM_SliderStepInPickMode)->Unit(benchmark::kMicrosecond)->Repetitions(5);

} // namespace
} // namespace velkaro
