// The headless player's cost on the machine it runs on: CPU time of one core and peak memory
// while it plays a 1,000-step show with all 168 outputs fading (50 frames a second) to a private
// olad, measured from /proc over VELKARO_PLAYER_SECONDS (30 unless set).
#include "bench/Percentile.h"
#include "files/ShowFile.h"
#include "model/ChannelLayout.h"
#include "player/FseqExport.h"
#include "tests/output/OladFixture.h"
#include "tests/player/PlayerProcess.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <utility>

namespace velkaro {
namespace {

constexpr int Universe = 1;

int MeasureSeconds() {
    const char* text = std::getenv("VELKARO_PLAYER_SECONDS");
    return text ? std::max(1, std::atoi(text)) : 30;
}

// utime + stime of a process, in clock ticks.
double CpuTicks(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(in, line);
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i)
        if (i == 14 || i == 15) ticks += std::stod(field);
    return ticks;
}

// The peak resident memory, in KiB.
double PeakKiB(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6));
    return 0;
}

void WriteShow(const std::string& dmx, const std::string& fseq) {
    auto cells = NewGrid();
    const ShowSettings settings{MaxOutputs, 1000, 10, FadeMode};
    for (int row = 0; row < settings.Steps; ++row)
        for (int col = 0; col < MaxOutputs; ++col)
            cells->At(row, col) = RGB((row * 7 + col) % 256, (row * 3 + col * 5) % 256, row % 256);
    SaveShow(dmx, *cells, settings, false);
    ExportFseq(fseq, *cells, settings, false, true);
}

void BM_PlayerCost(benchmark::State& state) {
    std::string folder = (std::filesystem::temp_directory_path() / "velkaro-bench-XXXXXX");
    if (!::mkdtemp(folder.data())) return state.SkipWithError("no scratch folder");
    const std::string dmx = folder + "/show.dmx";
    const std::string fseq = folder + "/show.fseq";
    WriteShow(dmx, fseq);
    testing::OladProcess olad;
    if (!olad.Start()) return state.SkipWithError("olad did not start");
    testing::DmxReceiver lamps(olad.Port(), Universe);
    lamps.WaitRegistered();
    const std::string file = state.range(0) ? fseq : dmx;
    const int seconds = MeasureSeconds();
    for (auto _ : state) {
        testing::PlayerProcess player({"--ola-port", std::to_string(olad.Port()), file}, folder);
        std::this_thread::sleep_for(std::chrono::seconds(2)); // start-up is not playing
        lamps.Clear();
        const double before = CpuTicks(player.Pid());
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        const double used = CpuTicks(player.Pid()) - before;
        state.counters["cpu_percent"] = 100.0 * used / double(::sysconf(_SC_CLK_TCK)) / seconds;
        state.counters["peak_rss_MiB"] = PeakKiB(player.Pid()) / 1024.0;
        state.counters["frames_per_s"] = double(lamps.Received().size()) / seconds;
        player.Signal(SIGTERM);
        player.Wait();
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_PlayerCost)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("fseq")
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

// The resident memory now, in KiB.
double RssKiB(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6));
    return 0;
}

int SoakSeconds() {
    const char* text = std::getenv("VELKARO_SOAK_SECONDS");
    return text ? std::max(10, std::atoi(text)) : 600;
}

// A long run of the player at 400 %: a fade show of 40 one-tick steps over all 168 outputs, a
// step every 25 ms. At every tick the lamps show the step's own colours exactly, so a second
// OLA client tells each step's start: all of them must arrive (steps seen = steps due), the
// last one where the monotonic clock puts it (drift against the first), and the player's memory
// must stay flat. VELKARO_SOAK_SECONDS sets the length (600 unless set).
void BM_PlayerSoak(benchmark::State& state) {
    constexpr int Steps = 40;
    constexpr double TickMs = 25.0;
    std::string folder = (std::filesystem::temp_directory_path() / "velkaro-bench-XXXXXX");
    if (!::mkdtemp(folder.data())) return state.SkipWithError("no scratch folder");
    const std::string dmx = folder + "/fade.dmx";
    auto cells = NewGrid();
    const ShowSettings settings{MaxOutputs, Steps, 1, FadeMode};
    for (int row = 0; row < Steps; ++row)
        for (int col = 0; col < MaxOutputs; ++col)
            cells->At(row, col) = RGB((row * 37 + col) % 256, (row * 11 + col * 3) % 256, row * 6);
    SaveShow(dmx, *cells, settings, false);
    // What the lamps show at each step's start.
    std::vector<DmxFrame> starts(Steps);
    for (int row = 0; row < Steps; ++row) {
        ChannelLayout::WriteStepChannels((*std::as_const(cells))[row], MaxOutputs, false,
                                         starts[std::size_t(row)].data());
    }
    testing::OladProcess olad;
    if (!olad.Start()) return state.SkipWithError("olad did not start");
    olad.MakeRealTime(8);
    testing::DmxReceiver lamps(olad.Port(), Universe);
    lamps.WaitRegistered();
    lamps.MakeRealTime(8);
    for (auto _ : state) {
        testing::PlayerProcess player(
            {"--ola-port", std::to_string(olad.Port()), "--speed", "400", dmx}, folder);
        std::this_thread::sleep_for(std::chrono::seconds(5));
        const double rssEarly = RssKiB(player.Pid());
        double rssHighest = rssEarly;
        for (int s = 5; s < SoakSeconds(); s += 5) {
            std::this_thread::sleep_for(std::chrono::seconds(5));
            rssHighest = std::max(rssHighest, RssKiB(player.Pid()));
        }
        const double rssLate = RssKiB(player.Pid());
        player.Signal(SIGTERM);
        player.Wait();
        // Each step start once, its tick counted from the first one seen, and how far it came
        // from where the first one puts it.
        const testing::DmxReceiver::Frames frames = lamps.Received();
        std::int64_t tick = -1;
        int lastStep = -1;
        std::uint64_t seen = 0;
        testing::DmxReceiver::Clock::time_point first{};
        std::vector<double> offsets;
        for (const auto& frame : frames) {
            const auto found = std::find(starts.begin(), starts.end(), frame.Data);
            if (found == starts.end()) continue;
            const int step = int(found - starts.begin());
            if (step == lastStep) continue; // a repeat of the same start
            tick = tick < 0 ? 0 : tick + (step - lastStep + Steps) % Steps;
            if (tick == 0) first = frame.At;
            offsets.push_back(std::chrono::duration<double, std::milli>(frame.At - first).count() -
                              double(tick) * TickMs);
            lastStep = step;
            ++seen;
        }
        if (offsets.empty()) return state.SkipWithError("no step reached the lamps");
        // Against the first hundred steps' median, so that the first one's own lateness does
        // not count as drift.
        const std::vector<double> early(
            offsets.begin(), offsets.begin() + long(std::min<std::size_t>(100, offsets.size())));
        state.counters["steps_due"] = double(tick + 1);
        state.counters["steps_missing"] = double(tick + 1) - double(seen);
        state.counters["drift_ms"] = offsets.back() - bench::Percentile(early, 0.5);
        state.counters["rss_early_MiB"] = rssEarly / 1024.0;
        state.counters["rss_late_MiB"] = rssLate / 1024.0;
        state.counters["rss_highest_MiB"] = rssHighest / 1024.0;
        lamps.Clear();
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_PlayerSoak)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
} // namespace velkaro
