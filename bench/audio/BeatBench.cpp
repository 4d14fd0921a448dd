// Finding the beat of a four-minute song, and how many generated tracks of known tempo come
// within half a beat a minute. The reference is one pass over the same samples that sums them,
// the least any analysis of the song must cost.
#include "audio/BeatFinder.h"
#include "bench/Percentile.h"
#include "tests/audio/DrumTrack.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <numeric>

namespace velkaro {
namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void BM_FindBeatOfFourMinutes(benchmark::State& state) {
    const std::vector<float> song = testing::DrumTrack({126.5, 0.8, 0.1, 0.7}, 240.0, 4);
    std::vector<double> finding, reference;
    for (auto _ : state) {
        auto start = Clock::now();
        const auto beat = FindBeat(song, BeatAnalysisRate);
        finding.push_back(MsSince(start));
        benchmark::DoNotOptimize(beat);
        start = Clock::now();
        benchmark::DoNotOptimize(std::accumulate(song.begin(), song.end(), 0.0));
        reference.push_back(MsSince(start));
    }
    state.counters["find_ms_p50"] = bench::Percentile(finding, 0.5);
    state.counters["find_ms_p99"] = bench::Percentile(finding, 0.99);
    state.counters["ref_sum_ms_p50"] = bench::Percentile(reference, 0.5);
    state.counters["ref_sum_ms_p99"] = bench::Percentile(reference, 0.99);
}
BENCHMARK(BM_FindBeatOfFourMinutes)->Iterations(10)->Unit(benchmark::kMillisecond);

// Tempos every 3.7 BPM from 70 to 180, every third swung, leads-in and snare levels varied.
void BM_ShareOfTracksWithinHalfABeat(benchmark::State& state) {
    int tracks = 0, within = 0, firstWithin = 0;
    for (auto _ : state) {
        unsigned seed = 100;
        for (double bpm = 70; bpm <= 180; bpm += 3.7, ++seed) {
            const testing::Track track{bpm, 0.1 + 0.37 * (seed % 5), seed % 3 == 0 ? 1.0 / 6 : 0,
                                       0.5 + 0.1 * (seed % 4)};
            const auto beat = FindBeat(testing::DrumTrack(track, 60.0, seed), BeatAnalysisRate);
            ++tracks;
            if (beat && std::abs(beat->Bpm - bpm) <= 0.5) ++within;
            if (beat && std::abs(beat->FirstBeatSeconds - track.LeadIn) <= 0.02) ++firstWithin;
        }
    }
    state.counters["tracks"] = tracks;
    state.counters["tempo_within_0.5_share"] = double(within) / tracks;
    state.counters["first_beat_within_20ms_share"] = double(firstWithin) / tracks;
}
BENCHMARK(BM_ShareOfTracksWithinHalfABeat)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
} // namespace velkaro
