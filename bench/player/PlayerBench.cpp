// The headless player's cost on the machine it runs on: CPU time of one core and peak memory
// while it plays a 1,000-step show with all 168 outputs fading (50 frames a second) to a private
// olad, measured from /proc over VELKARO_PLAYER_SECONDS (30 unless set).
#include "files/ShowFile.h"
#include "player/FseqExport.h"
#include "tests/output/OladFixture.h"
#include "tests/player/PlayerProcess.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

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

} // namespace
} // namespace velkaro
