// What handing the show to the playback engine costs the window's thread per edit: the copy
// of the rows the edit changed. Goal: under 20 us for a 100-step show, under 1 ms for the
// largest (10,000 steps), and an edit of one row of the largest under 50 us with cold caches. With
// sending on, the engine renders 50 frames a second on the other core meanwhile, as during live
// output.
#include "playback/PlaybackEngine.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <thread>

namespace velkaro {
namespace {

class DiscardingSink : public FrameSink {
public:
    void Send(const DmxFrame& frame) override { benchmark::DoNotOptimize(frame.data()); }
};

// A show whose every cell of `steps` rows holds a colour, so every row is really copied.
std::unique_ptr<Grid> ColouredShow(int steps) {
    auto cells = NewGrid();
    for (int r = 0; r < steps; ++r)
        for (int c = 0; c < MaxOutputs; ++c) cells->At(r, c) = static_cast<TColor>(r * 7 + c + 1);
    return cells;
}

void PublishShow(benchmark::State& state) {
    const int steps = static_cast<int>(state.range(0));
    const bool sending = state.range(1) != 0;
    auto cells = ColouredShow(steps);
    DiscardingSink sink;
    PlaybackEngine engine(sink);
    engine.SetSending(sending);
    const ShowSettings settings{MaxOutputs, steps, 10, FadeMode};
    int edit = 0;
    for (auto _ : state) {
        ++edit; // the edit itself costs nothing
        cells->At(edit % steps, 0) = static_cast<TColor>(edit);
        engine.PublishShow(*cells, settings, false);
    }
    state.counters["realtime"] = engine.Grant() != RealTimeGrant::None;
}
BENCHMARK(PublishShow)
    ->ArgNames({"steps", "sending"})
    ->Args({100, 0})
    ->Args({100, 1})
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The plain copy of the same rows, the physical limit of a publish.
void CopyRows(benchmark::State& state) {
    const int steps = static_cast<int>(state.range(0));
    auto from = ColouredShow(steps + 3);
    auto to = NewGrid();
    for (auto _ : state) {
        std::memcpy(to->WritableRows(0, steps + 3), from->AllCells().data(),
                    std::size_t(steps + 3) * RowBytes);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(CopyRows)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

// Both again with 20 ms between publishes, as edits come from a user: caches have gone cold.
// Each publish follows an edit of one row; the plain copy of every row is the reference.
void PacedPublish(benchmark::State& state, bool plainCopy) {
    const int steps = static_cast<int>(state.range(0));
    auto cells = ColouredShow(steps + 3);
    auto copy = NewGrid();
    DiscardingSink sink;
    PlaybackEngine engine(sink);
    engine.SetSending(true);
    const ShowSettings settings{MaxOutputs, steps, 10, FadeMode};
    int edit = 0;
    // The engine's three copies are filled whole once, when the show is first handed over.
    for (int fill = 0; fill < 3; ++fill) {
        ++edit;
        cells->At(edit % steps, 0) = static_cast<TColor>(edit);
        engine.PublishShow(*cells, settings, false);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    for (auto _ : state) {
        ++edit;
        cells->At(edit % steps, 0) = static_cast<TColor>(edit);
        const auto start = std::chrono::steady_clock::now();
        if (plainCopy)
            std::memcpy(copy->WritableRows(0, steps + 3), cells->AllCells().data(),
                        std::size_t(steps + 3) * RowBytes);
        else
            engine.PublishShow(*cells, settings, false);
        benchmark::ClobberMemory();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}
void PacedPublishShow(benchmark::State& state) {
    PacedPublish(state, false);
}
void PacedCopyRows(benchmark::State& state) {
    PacedPublish(state, true);
}
BENCHMARK(PacedPublishShow)
    ->Arg(100)
    ->Arg(10000)
    ->Iterations(200)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(PacedCopyRows)
    ->Arg(100)
    ->Arg(10000)
    ->Iterations(200)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace velkaro
