// Songs: lamps against sound over a click track (through a private sound server's null sink and
// a private olad), attaching a four-minute MP3 until its waveform shows, and the processor time
// of playing with a song. Each beside a reference measured in the same run.
#include "audio/SongPlayer.h"
#include "audio/SongWaveform.h"
#include "bench/Percentile.h"
#include "output/LiveOutputSender.h"
#include "playback/PlaybackEngine.h"
#include "tests/audio/SoundServer.h"
#include "tests/output/OladFixture.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <sys/resource.h>

namespace velkaro {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

std::string ScratchFolder() {
    std::string folder = (std::filesystem::temp_directory_path() / "velkaro-songbench-XXXXXX");
    return ::mkdtemp(folder.data()) ? folder : "";
}

double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// A show of `steps` half-second steps, two colours taking turns, the engine following `song`
// (or its own clock without one) to a private olad; returns the lamps' step changes.
struct SongRun {
    testing::OladProcess olad;
    testing::SoundServer sound;
    std::unique_ptr<testing::DmxReceiver> lamps;

    bool Start() {
        if (!olad.Start() || !sound.Start()) return false;
        lamps = std::make_unique<testing::DmxReceiver>(olad.Port(), 1);
        olad.MakeRealTime(8);
        lamps->MakeRealTime(8);
        return lamps->WaitRegistered();
    }

    std::vector<Clock::time_point> Play(const std::string& song, int steps, double seconds,
                                        double* cpuShare) {
        lamps->Clear();
        auto cells = NewGrid();
        for (int step = 0; step < steps; ++step) cells->At(step, 0) = step % 2 ? 0xFF : 0x01;
        LiveOutputSender sender(olad.Port());
        sender.Start(1);
        PlaybackEngine engine(sender);
        std::unique_ptr<SongPlayer> player;
        if (!song.empty()) player = std::make_unique<SongPlayer>(song, sound.SinkDescription());
        engine.PublishShow(*cells, ShowSettings{1, steps, 5, HoldMode}, false);
        if (player) engine.SetSoundClock(player.get());
        engine.Rewind();
        engine.SetSending(true);
        const double cpuBefore = CpuSeconds();
        const auto before = Clock::now();
        if (player) player->PlayFrom({}, 100);
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        if (cpuShare)
            *cpuShare = (CpuSeconds() - cpuBefore) /
                        std::chrono::duration<double>(Clock::now() - before).count();
        engine.SetSoundClock(nullptr);
        std::vector<Clock::time_point> changes;
        int shown = -1;
        for (const auto& frame : lamps->Received()) {
            if (frame.Data[0] == 0) continue;
            if (shown >= 0 && frame.Data[0] != shown) changes.push_back(frame.At);
            shown = frame.Data[0];
        }
        return changes;
    }
};

// Lamps against sound: every step change against its click as the sink played it. The
// reference is the measuring chain itself: how evenly the recorded clicks lie against the
// half second they were written apart.
void BM_LampsAgainstSound(benchmark::State& state) {
    const int seconds = int(state.range(0));
    const std::string folder = ScratchFolder();
    SongRun run;
    if (!run.Start()) return state.SkipWithError("no olad or sound server");
    std::vector<double> clicks;
    for (double at = 0.5; at < seconds; at += 0.5) clicks.push_back(at);
    testing::WriteClickTrack(folder + "/clicks.wav", clicks, seconds + 0.2);
    for (auto _ : state) {
        testing::SinkRecorder heard(run.sound);
        while (!heard.Hearing()) std::this_thread::sleep_for(5ms);
        const auto changes =
            run.Play(folder + "/clicks.wav", 2 * seconds + 2, seconds + 0.3, nullptr);
        const auto clicked = heard.Clicks();
        const std::size_t n = std::min(changes.size(), clicked.size());
        std::vector<double> offsets, spacing;
        for (std::size_t k = 0; k < n; ++k) offsets.push_back(Ms(changes[k] - clicked[k]).count());
        for (std::size_t k = 1; k < clicked.size(); ++k)
            spacing.push_back(std::abs(Ms(clicked[k] - clicked[k - 1]).count() - 500.0));
        const double median = bench::Percentile(offsets, 0.5);
        std::vector<double> left;
        for (double offset : offsets) left.push_back(std::abs(offset - median));
        // Drift: the offsets' slope over the run, in ms a minute.
        double sx = 0, sy = 0, sxx = 0, sxy = 0;
        for (std::size_t k = 0; k < n; ++k) {
            const double x = k * 0.5 / 60.0;
            sx += x, sy += offsets[k], sxx += x * x, sxy += x * offsets[k];
        }
        const double drift = n > 1 ? (n * sxy - sx * sy) / (n * sxx - sx * sx) : 0;
        state.counters["clicks"] = double(clicked.size());
        state.counters["changes"] = double(changes.size());
        state.counters["offset_median_ms"] = median;
        state.counters["offset_p99_ms"] = bench::Percentile(offsets, 0.99);
        state.counters["after_latency_p99_ms"] = bench::Percentile(left, 0.99);
        state.counters["drift_ms_per_min"] = drift;
        state.counters["ref_click_spacing_p50_ms"] = bench::Percentile(spacing, 0.5);
        state.counters["ref_click_spacing_p99_ms"] = bench::Percentile(spacing, 0.99);
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LampsAgainstSound)->Arg(180)->Iterations(1)->Unit(benchmark::kSecond);

// Processor time of the engine and its sender while they play, with a song (the sound server
// plays in its own process) and, as the reference, on the engine's own clock.
void BM_PlayingCpu(benchmark::State& state) {
    const std::string folder = ScratchFolder();
    SongRun run;
    if (!run.Start()) return state.SkipWithError("no olad or sound server");
    testing::WriteClickTrack(folder + "/clicks.wav", {1.0}, 22);
    for (auto _ : state) {
        double withSong = 0, ownClock = 0;
        run.Play(folder + "/clicks.wav", 50, 20, &withSong);
        run.Play("", 50, 20, &ownClock);
        state.counters["with_song_pct_of_a_core"] = 100 * withSong;
        state.counters["ref_own_clock_pct_of_a_core"] = 100 * ownClock;
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_PlayingCpu)->Iterations(1)->Unit(benchmark::kSecond);

// Attaching a four-minute MP3: opening it for play, then until the waveform of the first screen
// (30 s of song) shows, and until all of it is decoded. The reference is a bare decode of the
// same file to nothing, the media framework's own pace.
void BM_AttachMp3UntilWaveformShows(benchmark::State& state) {
    const std::string folder = ScratchFolder();
    const std::string song = folder + "/four-minutes.mp3";
    const std::string make = "gst-launch-1.0 -q audiotestsrc wave=pink-noise num-buffers=10336 "
                             "samplesperbuffer=1024 ! audio/x-raw,rate=44100,channels=2 ! "
                             "lamemp3enc bitrate=192 ! filesink location=" +
                             song + " >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0) return state.SkipWithError("no MP3 encoder");
    testing::SoundServer sound;
    if (!sound.Start()) return state.SkipWithError("no sound server");
    std::vector<double> open, screen, whole, bare;
    for (auto _ : state) {
        const auto start = Clock::now();
        SongPlayer player(song, sound.SinkDescription());
        SongWaveform waveform(song);
        open.push_back(Ms(Clock::now() - start).count());
        while (waveform.Decoded() < 30s && !waveform.Finished()) std::this_thread::sleep_for(1ms);
        screen.push_back(Ms(Clock::now() - start).count());
        while (!waveform.Finished()) std::this_thread::sleep_for(1ms);
        whole.push_back(Ms(Clock::now() - start).count());
        const auto plain = Clock::now();
        std::system(("gst-launch-1.0 -q filesrc location=" + song +
                     " ! decodebin ! fakesink sync=false >/dev/null 2>&1")
                        .c_str());
        bare.push_back(Ms(Clock::now() - plain).count());
    }
    state.counters["open_ms_p50"] = bench::Percentile(open, 0.5);
    state.counters["first_screen_ms_p50"] = bench::Percentile(screen, 0.5);
    state.counters["first_screen_ms_p99"] = bench::Percentile(screen, 0.99);
    state.counters["whole_song_ms_p50"] = bench::Percentile(whole, 0.5);
    state.counters["ref_bare_decode_ms_p50"] = bench::Percentile(bare, 0.5);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_AttachMp3UntilWaveformShows)->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace velkaro
