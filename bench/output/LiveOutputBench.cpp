#include "bench/Percentile.h"
#include "commands/LiveFrame.h"
#include "output/LiveOutputSender.h"
#include "tests/output/OladFixture.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace velkaro {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// One olad for the whole run, in the benchmark's own loopback-only network.
testing::OladProcess& Olad() {
    static testing::OladProcess olad;
    if (!olad.Running() && !olad.Start()) {
        std::fprintf(stderr, "olad did not start\n%s\n", olad.Log().c_str());
        std::exit(1);
    }
    return olad;
}

DmxFrame Numbered(std::uint32_t n) {
    DmxFrame frame{};
    for (int i = 0; i < 4; ++i) frame[std::size_t(i)] = std::uint8_t(n >> (8 * i));
    frame[511] = 1; // never the all-zero frame of Start
    return frame;
}

bool WaitConnected(const LiveOutputSender& sender) {
    const auto deadline = Clock::now() + 5s;
    while (sender.Status() != LiveOutputStatus::Connected && Clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    return sender.Status() == LiveOutputStatus::Connected;
}

// Goal: well under 20 us on the window's thread, whatever the sender's thread is doing.
void BM_SubmitOnTheCallersThread(benchmark::State& state) {
    LiveOutputSender sender(Olad().Port());
    sender.Start(1);
    if (!WaitConnected(sender)) state.SkipWithError("no connection to olad");
    std::uint32_t n = 0;
    for (auto _ : state) sender.Submit(Numbered(++n));
    state.counters["dropped"] = double(sender.FramesDropped());
    state.counters["sent"] = double(sender.FramesSent());
}
BENCHMARK(BM_SubmitOnTheCallersThread);

using bench::Percentile;

// From Submit on the window's thread to the frame's arrival at a second OLA client through
// olad. Goal: p99 below 5 ms. range(0) is the pause between frames in ms (0: back to back,
// 20: the live output's frame rate, where the sender's thread sleeps between frames).
void BM_SubmitToArrivalThroughOlad(benchmark::State& state) {
    const int universe = 2 + int(state.range(0));
    testing::DmxReceiver lamps(Olad().Port(), universe);
    LiveOutputSender sender(Olad().Port());
    sender.Start(universe);
    if (!lamps.WaitRegistered() || !WaitConnected(sender))
        state.SkipWithError("no connection to olad");
    std::vector<double> latencies;
    std::uint32_t n = 0;
    for (auto _ : state) {
        const DmxFrame frame = Numbered(++n);
        lamps.Clear();
        const auto sent = Clock::now();
        sender.Submit(frame);
        if (!lamps.WaitForFrame(frame, 1s)) {
            state.SkipWithError("frame lost");
            break;
        }
        std::chrono::duration<double> latency{};
        for (const auto& f : lamps.Received())
            if (f.Data == frame) latency = f.At - sent;
        state.SetIterationTime(latency.count());
        latencies.push_back(latency.count() * 1e6);
        if (state.range(0) > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(state.range(0)));
    }
    state.counters["p50_us"] = Percentile(latencies, 0.50);
    state.counters["p99_us"] = Percentile(latencies, 0.99);
    state.counters["max_us"] = Percentile(latencies, 1.0);
}
BENCHMARK(BM_SubmitToArrivalThroughOlad)
    ->Arg(0)
    ->Arg(20)
    ->Iterations(500)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// The frame of the whole universe at the largest show, once per 20 ms frame.
void BM_ComposeLiveFrame(benchmark::State& state) {
    auto cells = NewGrid();
    for (int row = 0; row < 2; ++row)
        for (int g = 0; g < MaxOutputs; ++g)
            cells->At(row, g) = TColor(g * 977 + row * 31) & 0xFFFFFF;
    const ShowSettings show{MaxOutputs, 2, 10, FadeMode};
    const bool mono = state.range(0) != 0;
    DmxFrame dmx;
    double t = 0;
    for (auto _ : state) {
        ComposeLiveFrame(*cells, show, mono, {0, 1, t}, dmx);
        benchmark::DoNotOptimize(dmx);
        t = t < 0.99 ? t + 0.01 : 0;
    }
}
BENCHMARK(BM_ComposeLiveFrame)->Arg(0)->Arg(1);

} // namespace
} // namespace velkaro
