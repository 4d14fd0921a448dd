#include "BenchApplication.h"

#include "ui/Unit1.h"
#include "ui/controls/PaintBox.h"
#include "ui/controls/UpDown.h"

#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace velkaro {
namespace {

void Activate(TFVelkaro& window) {
    window.show();
    QApplication::processEvents();
    if (!window.Activated()) {
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&window, &activate);
    }
    window.Timer1->stop();
}

// Every cell a different colour, so no run of equal cells makes the drawing cheaper.
void FillWithDistinctColours(TFVelkaro& window) {
    for (int r = 0; r < MaxSteps; ++r)
        for (int c = 0; c < MaxOutputs; ++c)
            window.Cells[r][c] = static_cast<TColor>((r * 7919u + c * 104729u) & 0xFFFFFF);
}

// The largest view there is: 200 rows of 168 outputs, scrolled into the middle of 10,000 steps.
void BM_PaintGridLargestView(benchmark::State& state) {
    BenchApplication();
    TFVelkaro window;
    Activate(window);
    window.UDNX->SetPosition(MaxOutputs);
    window.udlz->SetPosition(MaxSteps);
    window.sbny->setValue(200);
    FillWithDistinctColours(window);
    window.sbyoffs->setValue(5000);
    for (auto _ : state) {
        window.PaintGrid();
        benchmark::DoNotOptimize(window.pb->image().constBits());
    }
    state.counters["rows_shown"] = window.ShownRows();
}
BENCHMARK(BM_PaintGridLargestView)->Unit(benchmark::kMicrosecond)->Repetitions(5);

// The view a new show opens with.
void BM_PaintGridStartView(benchmark::State& state) {
    BenchApplication();
    TFVelkaro window;
    Activate(window);
    for (auto _ : state) {
        window.PaintGrid();
        benchmark::DoNotOptimize(window.pb->image().constBits());
    }
    state.counters["rows_shown"] = window.ShownRows();
}
BENCHMARK(BM_PaintGridStartView)->Unit(benchmark::kMicrosecond)->Repetitions(5);

// The repaint followed by the paint event that puts the canvas on the screen.
void BM_PaintGridLargestViewShown(benchmark::State& state) {
    BenchApplication();
    TFVelkaro window;
    Activate(window);
    window.UDNX->SetPosition(MaxOutputs);
    window.udlz->SetPosition(MaxSteps);
    window.sbny->setValue(200);
    FillWithDistinctColours(window);
    for (auto _ : state) {
        window.PaintGrid();
        window.pb->repaint();
    }
}
BENCHMARK(BM_PaintGridLargestViewShown)->Unit(benchmark::kMicrosecond)->Repetitions(5);

} // namespace
} // namespace velkaro
