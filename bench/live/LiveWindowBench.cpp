// What live output costs the window's thread, measured in the real window against a private
// olad (loopback-only network namespace) with a second client registered for the universe, so
// the engine's and the sender's threads and olad do their real work alongside. The engine
// renders every frame on its own thread; the window only publishes edits (goal: under 20 us
// for a 100-step show, under 1 ms for 10,000 steps) and draws the bar at each tick.
//
// Calls are timed one by one; p50_us and p99_us are over those samples (wall time),
// cpu_p50_us and cpu_p99_us over the window thread's own CPU time. Paced variants leave 20 ms
// between calls, so every call meets caches that have gone cold.
//
// BM_WindowBlocked2s blocks the window's thread for two seconds while a hold chase of 100 ms
// steps plays live, and reports what the second client saw meanwhile: the longest gap between
// frames (goal under 25 ms) and the step intervals (goal 100 ms +- 2 ms).
#include "bench/Percentile.h"
#include "bench/ui/BenchApplication.h"
#include "commands/PreviewClock.h"
#include "output/LiveOutputSender.h"
#include "tests/output/OladFixture.h"
#include "ui/LiveOutput.h"
#include "ui/MainWindow.h"
#include "ui/PreviewPlayer.h"
#include "ui/SettingsControls.h"
#include "ui/ShowPublisher.h"
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

// What the second client saw during [begin, end]: frames a second, the longest gap between
// two frames and the intervals between step changes.
void ReportBlock(const testing::DmxReceiver::Frames& frames, Clock::time_point begin,
                 Clock::time_point end, benchmark::State& state) {
    std::vector<double> gaps;
    std::vector<double> steps;
    std::optional<Clock::time_point> previous;
    std::optional<Clock::time_point> lastChange;
    const DmxFrame* previousData = nullptr;
    std::size_t inside = 0;
    for (const auto& frame : frames) {
        if (frame.At >= begin && frame.At <= end) {
            ++inside;
            if (previous)
                gaps.push_back(
                    std::chrono::duration<double, std::milli>(frame.At - *previous).count());
            if (previousData && *previousData != frame.Data) {
                if (lastChange)
                    steps.push_back(
                        std::chrono::duration<double, std::milli>(frame.At - *lastChange).count());
                lastChange = frame.At;
            }
            previous = frame.At;
        }
        previousData = &frame.Data;
    }
    const double seconds = std::chrono::duration<double>(end - begin).count();
    state.counters["frames_per_s"] = double(inside) / seconds;
    state.counters["longest_gap_ms"] = Percentile(gaps, 1.0);
    state.counters["step_min_ms"] = Percentile(steps, 0.0);
    state.counters["step_max_ms"] = Percentile(steps, 1.0);
    state.counters["step_changes"] = double(steps.size() + 1);
}

// The window as a user has it: shown, live output on (or off) for the universe, the preview
// playing. No events are processed while measuring, so no timer fires by itself.
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
        const auto deadline = Clock::now() + 5s;
        while (liveOutput && lamps_.Received().empty() && Clock::now() < deadline) {
            QApplication::processEvents();
            std::this_thread::sleep_for(5ms);
        }
        for (int i = 0; i < 3; ++i) window_.Preview().Tick();
    }

    bool Ready(bool liveOutput) {
        return (!liveOutput || !lamps_.Received().empty()) && window_.Preview().IsPlaying() &&
               window_.Live().IsOn() == liveOutput;
    }
    void Tick() { window_.Preview().Tick(); }
    MainWindow& Window() { return window_; }
    testing::DmxReceiver& Lamps() { return lamps_; }

private:
    testing::DmxReceiver lamps_;
    MainWindow window_;
};

// An edit as the window hands it to the engine once the event that made it is done: the rows
// play can reach are copied and the engine's thread is woken.
void BM_PublishEditInWindow(benchmark::State& state) {
    const int steps = static_cast<int>(state.range(0));
    Olad();
    BenchApplication();
    LiveWindow window(true);
    if (!window.Ready(true)) state.SkipWithError("live output did not reach the lamps");
    window.Window().Settings().SetAllowedSteps(MaxSteps);
    window.Window().Settings().SetSteps(steps);
    Grid& cells = window.Window().Show().Cells;
    // Every row coloured, so every row of the show is copied.
    for (int r = 0; r < steps; ++r)
        for (int c = 0; c < MaxOutputs; ++c) cells[r][c] = static_cast<TColor>(r * 5 + c + 1);
    int edit = 0;
    TimeEachFrame(state, 20ms, [&] {
        ++edit;
        cells[edit % steps][edit % MaxOutputs] = static_cast<TColor>(edit);
        window.Window().Publisher().PublishNow();
    });
}
BENCHMARK(BM_PublishEditInWindow)
    ->ArgName("steps")
    ->Arg(100)
    ->Arg(10000)
    ->Iterations(PacedIterations)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// One preview tick by hand, which draws the bar; the engine renders the frame that goes with
// it. The difference between live 1 and live 0 is what live output adds to a tick.
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

// A hold chase of 100 ms steps plays live; the window's thread sleeps two seconds inside an
// event, as during a long save or import. The time reported is the block itself.
void BM_WindowBlocked2s(benchmark::State& state) {
    Olad();
    BenchApplication();
    LiveWindow window(true);
    if (!window.Ready(true)) state.SkipWithError("live output did not reach the lamps");
    // olad_rt 1: olad and the second client under SCHED_FIFO too, so that a machine loaded by
    // others shows the engine's timing rather than how soon olad gets the core.
    if (state.range(0) != 0 && !(Olad().MakeRealTime(8) && window.Lamps().MakeRealTime(8)))
        state.SkipWithError("olad or the receiver could not be made real-time");
    MainWindow& w = window.Window();
    w.Settings().SetStepLength(1);
    w.Settings().SetBlendMode(HoldMode);
    w.Settings().SetSteps(4);
    for (auto _ : state) {
        w.Preview().SetPlaying(true);
        const auto settle = Clock::now() + 500ms;
        while (Clock::now() < settle) QApplication::processEvents(QEventLoop::AllEvents, 10);
        const auto begin = Clock::now();
        std::this_thread::sleep_for(2s);
        const auto end = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
        ReportBlock(window.Lamps().Received(), begin, end, state);
    }
}
BENCHMARK(BM_WindowBlocked2s)
    ->ArgName("olad_rt")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

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
