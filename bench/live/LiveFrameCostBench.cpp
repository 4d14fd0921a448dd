// What live output costs the window's thread per frame it hands to the sender, measured in the
// real window against a private olad (loopback-only network namespace) with a second client
// registered for the universe, so the sender's thread and olad do their real work alongside.
// Goal: under 20 us median for one frame.
//
// Frames are timed one by one; p50_us and p99_us are over those samples (wall time),
// cpu_p50_us and cpu_p99_us over the window thread's own CPU time. "Paced" variants
// leave 20 ms between frames, as the frame timer does, so every frame meets caches and a
// sender thread that have gone cold; back-to-back runs show the warm cost.
#include "bench/Percentile.h"
#include "bench/ui/BenchApplication.h"
#include "commands/PreviewClock.h"
#include "output/LiveOutputSender.h"
#include "tests/output/OladFixture.h"
#include "ui/LiveOutput.h"
#include "ui/MainWindow.h"
#include "ui/PreviewPlayer.h"
#include "ui/SettingsControls.h"
#include "ui/ShowState.h"

#include <QTimer>
#include <QTimerEvent>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <time.h>
#include <vector>

namespace velkaro {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int Universe = 1;
constexpr int PacedIterations = 500;

// Started before the application object, so every thread Qt or the sender starts later lives
// in the benchmark's own network namespace.
testing::OladProcess& Olad() {
    static testing::OladProcess olad;
    if (!olad.Running() && !olad.Start()) {
        std::fprintf(stderr, "olad did not start\n%s\n", olad.Log().c_str());
        std::exit(1);
    }
    return olad;
}

using bench::Percentile;

double ThreadCpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Runs `frame` once per iteration, timing each call; a positive pause sleeps between calls.
// Wall time is what the window waits; the thread's CPU time leaves out the moments another
// thread (the sender's, just woken) had the core.
void TimeEachFrame(benchmark::State& state, std::chrono::milliseconds pause,
                   const std::function<void()>& frame) {
    std::vector<double> wall;
    std::vector<double> cpu;
    for (auto _ : state) {
        const double cpuStart = ThreadCpuSeconds();
        const auto start = Clock::now();
        frame();
        const std::chrono::duration<double> took = Clock::now() - start;
        cpu.push_back((ThreadCpuSeconds() - cpuStart) * 1e6);
        state.SetIterationTime(took.count());
        wall.push_back(took.count() * 1e6);
        if (pause.count() > 0) std::this_thread::sleep_for(pause);
    }
    state.counters["p50_us"] = Percentile(wall, 0.50);
    state.counters["p99_us"] = Percentile(wall, 0.99);
    state.counters["max_us"] = Percentile(wall, 1.0);
    state.counters["cpu_p50_us"] = Percentile(cpu, 0.50);
    state.counters["cpu_p99_us"] = Percentile(cpu, 0.99);
}

// The largest show in "100% Fade", the mode that blends every output on every frame, every
// cell a different colour.
void MakeLargestFadingShow(MainWindow& window) {
    SettingsControls& settings = window.Settings();
    settings.SetOutputs(MaxOutputs);
    settings.SetSteps(100);
    settings.SetStepLength(7);
    settings.SetBlendMode(FadeMode);
    for (int r = 0; r < 100; ++r)
        for (int c = 0; c < MaxOutputs; ++c)
            window.Show().Cells[r][c] = static_cast<TColor>((r * 7919u + c * 104729u) & 0xFFFFFF);
}

// The window as a user has it: shown, live output on (or off) for the universe, the preview
// playing. No events are processed while measuring, so neither timer fires by itself.
class LiveWindow {
public:
    explicit LiveWindow(bool liveOutput)
        : lamps_(Olad().Port(), Universe),
          window_(WindowOptions{
              {}, liveOutput ? std::optional(Universe) : std::nullopt, Olad().Port()}) {
        lamps_.WaitRegistered();
        window_.show();
        QApplication::processEvents();
        MakeLargestFadingShow(window_);
        frameTimer_ = window_.findChild<QTimer*>("liveFrameTimer");
        const auto deadline = Clock::now() + 5s;
        while (liveOutput && lamps_.Received().empty() && Clock::now() < deadline) {
            QApplication::processEvents();
            std::this_thread::sleep_for(5ms);
        }
        for (int i = 0; i < 3; ++i) window_.Preview().Tick();
    }

    bool Ready(bool liveOutput) {
        return (!liveOutput || !lamps_.Received().empty()) && window_.Preview().IsPlaying() &&
               frameTimer_ && frameTimer_->isActive() == liveOutput;
    }
    // What the frame timer does when it fires: compose the moment since the last tick and
    // hand it to the sender.
    void FrameTimerFires() {
        QTimerEvent due(frameTimer_->timerId());
        QCoreApplication::sendEvent(frameTimer_, &due);
    }
    void Tick() { window_.Preview().Tick(); }
    std::size_t FramesAtTheLamps() const { return lamps_.Received().size(); }

private:
    testing::DmxReceiver lamps_;
    MainWindow window_;
    QTimer* frameTimer_ = nullptr;
};

// One frame as the live output's 20 ms timer makes it.
void BM_FrameTimerFrame168Fade(benchmark::State& state) {
    Olad();
    BenchApplication();
    LiveWindow window(true);
    if (!window.Ready(true)) state.SkipWithError("live output did not reach the lamps");
    TimeEachFrame(state, std::chrono::milliseconds(state.range(0)),
                  [&] { window.FrameTimerFires(); });
    state.counters["frames_at_lamps"] = double(window.FramesAtTheLamps());
}
BENCHMARK(BM_FrameTimerFrame168Fade)
    ->ArgName("pause_ms")
    ->Arg(0)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameTimerFrame168Fade)
    ->ArgName("pause_ms")
    ->Arg(20)
    ->Iterations(PacedIterations)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// One preview tick, which draws the bar and, with live output on, sends one frame. The
// difference between live 1 and live 0 is what live output adds to a tick.
void BM_PreviewTick168Fade(benchmark::State& state) {
    const bool live = state.range(0) != 0;
    Olad();
    BenchApplication();
    LiveWindow window(live);
    if (!window.Ready(live)) state.SkipWithError("the window is not as expected");
    TimeEachFrame(state, 20ms, [&] { window.Tick(); });
}
BENCHMARK(BM_PreviewTick168Fade)
    ->ArgName("live")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(PacedIterations)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// Handing a finished frame to the sender alone: a copy under a short lock and the wake of the
// sender's thread, which then sends while the caller goes on.
void BM_SubmitAlone(benchmark::State& state) {
    testing::DmxReceiver lamps(Olad().Port(), Universe);
    LiveOutputSender sender(Olad().Port());
    sender.Start(Universe);
    if (!lamps.WaitRegistered() || !lamps.WaitUntil([](const auto& f) { return !f.empty(); }))
        state.SkipWithError("no frames at the lamps");
    DmxFrame frame{};
    TimeEachFrame(state, std::chrono::milliseconds(state.range(0)), [&] {
        ++frame[0];
        sender.Submit(frame);
    });
}
BENCHMARK(BM_SubmitAlone)
    ->ArgName("pause_ms")
    ->Arg(20)
    ->Iterations(PacedIterations)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace velkaro
