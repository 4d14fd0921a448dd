// Finding the beat of a four-minute song, and how many generated tracks of known tempo come
// within half a beat a minute. The reference is one pass over the same samples that sums them,
// the least any analysis of the song must cost.
#include "audio/BeatClick.h"
#include "audio/BeatFinder.h"
#include "bench/Percentile.h"
#include "tests/audio/DrumTrack.h"

#include <benchmark/benchmark.h>

#include <algorithm>
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

// The click on the beat as the sound output's thread mixes it: one second of stereo sound at
// 44.1 kHz in buffers of 1024 frames, at 128 BPM. The reference is copying the same second,
// the least any pass over the sound costs.
void BM_MixClicksIntoASecondOfSound(benchmark::State& state) {
    constexpr int Rate = 44100, Channels = 2, Buffer = 1024;
    const BeatGrid grid = BeatGridOf(128, 250'000'000);
    std::vector<float> sound(std::size_t(Rate) * Channels, 0.1f), copy(sound.size());
    std::vector<double> mixing, reference;
    std::int64_t startNs = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        for (int at = 0; at < Rate; at += Buffer) {
            const int frames = std::min(Buffer, Rate - at);
            MixBeatClicks(sound.data() + std::size_t(at) * Channels, std::size_t(frames), Channels,
                          Rate, {startNs + std::int64_t(at) * 1'000'000'000 / Rate}, grid);
        }
        mixing.push_back(MsSince(start) * 1000);
        startNs += 1'000'000'000;
        start = Clock::now();
        std::copy(sound.begin(), sound.end(), copy.begin());
        benchmark::DoNotOptimize(copy.data());
        reference.push_back(MsSince(start) * 1000);
    }
    state.counters["mix_us_per_s_p50"] = bench::Percentile(mixing, 0.5);
    state.counters["mix_us_per_s_p99"] = bench::Percentile(mixing, 0.99);
    state.counters["ref_copy_us_p50"] = bench::Percentile(reference, 0.5);
    state.counters["ref_copy_us_p99"] = bench::Percentile(reference, 0.99);
}
BENCHMARK(BM_MixClicksIntoASecondOfSound)->Iterations(500)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace velkaro
