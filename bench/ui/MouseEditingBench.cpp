#include "BenchWindow.h"

#include "ui/MainWindow.h"
#include "ui/PaletteWindow.h"
#include "ui/controls/PaintBox.h"
#include "ui/controls/UpDown.h"

#include <QScrollBar>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace velkaro {
namespace {

// One left-button stroke from the top left to the bottom right cell of the view: press, release
// (undo snapshot, fill, repaint) and the paint event that shows the result.
void BM_LeftStrokeOverTheView(benchmark::State& state) {
    BenchApplication();
    MainWindow window;
    PrepareLargestShow(window);
    PaintBox* grid = Child<PaintBox>(window, "gridPaintBox");
    const int right = grid->width() - 1;
    const int bottom = window.Settings().ShownRows() * window.View().RowHeight() - 1;
    for (auto _ : state) {
        grid->OnMouseDown(Qt::LeftButton, 0, 0);
        grid->OnMouseUp(Qt::LeftButton, right, bottom);
        grid->repaint();
    }
    state.counters["rows_shown"] = window.Settings().ShownRows();
}
BENCHMARK(BM_LeftStrokeOverTheView)->Unit(benchmark::kMicrosecond)->Repetitions(5);

// The largest stroke there is: from the first cell to far below and right of the grid, which
// fills the whole 168 x 10,000 show (and the spare column and row).
void BM_LeftStrokeOverTheWholeShow(benchmark::State& state) {
    BenchApplication();
    MainWindow window;
    PrepareLargestShow(window);
    PaintBox* grid = Child<PaintBox>(window, "gridPaintBox");
    QScrollBar* scrollBar = Child<QScrollBar>(window, "gridScrollBar");
    for (auto _ : state) {
        scrollBar->setValue(0);
        grid->OnMouseDown(Qt::LeftButton, 0, 0);
        grid->OnMouseUp(Qt::LeftButton, 1000000, 1000000);
        grid->repaint();
    }
}
BENCHMARK(BM_LeftStrokeOverTheWholeShow)->Unit(benchmark::kMicrosecond)->Repetitions(5);

// One step of the red slider in pick mode: the swatch, the picked cell, the strip and the grid.
void BM_SliderStepInPickMode(benchmark::State& state) {
    BenchApplication();
    MainWindow window;
    PrepareLargestShow(window);
    PaintBox* grid = Child<PaintBox>(window, "gridPaintBox");
    grid->OnMouseDown(Qt::RightButton, 100, 100);
    grid->OnMouseUp(Qt::RightButton, 100, 100);
    QScrollBar* red = Child<QScrollBar>(window, "redSlider");
    PaintBox* strip = Child<PaintBox>(window, "swatchStrip");
    int position = 0;
    for (auto _ : state) {
        position = (position + 1) & 255;
        red->setValue(position);
        grid->repaint();
        strip->repaint();
    }
}
BENCHMARK(BM_SliderStepInPickMode)->Unit(benchmark::kMicrosecond)->Repetitions(5);

} // namespace
} // namespace velkaro
