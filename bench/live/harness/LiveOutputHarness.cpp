// Measures the built program as a user runs it, with live output to a private olad:
//   - the step timing a second OLA client sees for a hold chase of 100 ms steps at 100 % speed
//     (interval between step changes; median and p99 of its deviation from 100 ms; goal p99
//     under 2 ms), and
//   - the program's CPU use with the preview playing a 168-output show, with and without live
//     output (goal under 3 % of one core with it).
//
//     velkaro_live_harness PROGRAM [SECONDS] [--timing-only] [--busy] [--no-realtime]
//                          [--olad-realtime]
//
// --timing-only measures only the hold chase with live output; --busy keeps every core busy
// with two busy loops each (`yes >/dev/null`) while measuring; --no-realtime starts the program
// without CAP_SYS_NICE, so that (as root, whose RLIMIT_RTPRIO is 0, and without rtkit) its
// threads run at normal priority. The report says which of the program's threads ran under
// SCHED_FIFO. --olad-realtime puts olad and the harness's receiving client under SCHED_FIFO
// (priority 8) as well: on a busy machine, olad at normal priority forwards a frame only when
// the scheduler gives it the core, which the program cannot change; an installation can (for
// example CPUSchedulingPolicy=fifo in olad's systemd unit).
//
// olad, an Xvfb of its own on a free display and the program all run in a loopback-only network
// namespace (where the system allows it; Xvfb's abstract socket is only visible inside). The
// run script bench/live/live_output_figures.sh builds and starts it. Not a test: it asserts
// nothing and only prints figures.
#include "bench/Percentile.h"
#include "files/ShowRecord.h"
#include "tests/output/OladFixture.h"

#include <sys/un.h>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <map>
#include <numeric>
#include <optional>

extern char** environ;

namespace velkaro {
namespace {

using Clock = std::chrono::steady_clock;
using Show = std::vector<DmxFrame>; // channels 1..504 of each record
using namespace std::chrono_literals;

constexpr double StepMs = 100.0;
constexpr auto WarmUp = 3s;

// ---- show files

std::uint8_t Level(int step, int output, int a, int b) {
    return static_cast<std::uint8_t>(1 + (step * a + output * b) % 254); // never black
}

// Every output of every step lit in a colour of its own, so the load takes all 168 outputs and
// each step differs from the next on every channel.
Show WriteShow(const std::string& path, int steps, int blendMode, int stepLength) {
    Show show;
    std::ofstream file(path, std::ios::binary);
    const auto [hold, fade] = ShowRecord::TimesFor(blendMode, stepLength);
    for (int r = 0; r < steps; ++r) {
        std::uint8_t record[ShowRecord::Size] = {};
        ShowRecord::WriteU16(record, ShowRecord::HoldTimeOffset, hold);
        ShowRecord::WriteU16(record, ShowRecord::FadeTimeOffset, fade);
        record[ShowRecord::StepFlagsOffset] = ShowRecord::StepFlagsFor(r, steps);
        for (int g = 0; g < ShowRecord::Outputs; ++g) {
            record[ShowRecord::RedByte(g)] = Level(r, g, 61, 5);
            record[ShowRecord::RedByte(g) + 1] = Level(r, g, 113, 7);
            record[ShowRecord::RedByte(g) + 2] = Level(r, g, 29, 11);
        }
        file.write(reinterpret_cast<const char*>(record), sizeof record);
        DmxFrame channels{};
        std::copy_n(record + ShowRecord::ChannelDataOffset, ShowRecord::ChannelDataSize,
                    channels.begin());
        show.push_back(channels);
    }
    return show;
}

// ---- processes

struct CpuTicks {
    long long Used = -1; // utime + stime in clock ticks; -1 when the process is gone
    int Parent = 0;
    std::string Name;
};

CpuTicks ReadStat(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    std::getline(in, text);
    const auto open = text.find('(');
    const auto close = text.rfind(')');
    if (open == std::string::npos || close == std::string::npos) return {};
    std::istringstream fields(text.substr(close + 2));
    std::vector<std::string> field{std::istream_iterator<std::string>(fields), {}};
    if (field.size() < 13) return {};
    // From field 3 (state) on: ppid is field 4, utime 14, stime 15.
    return {std::stoll(field[11]) + std::stoll(field[12]), std::stoi(field[1]),
            text.substr(open + 1, close - open - 1)};
}

// This harness's children by name (olad, Xvfb, the program).
std::map<std::string, pid_t> Children() {
    std::map<std::string, pid_t> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        const CpuTicks stat = ReadStat(std::stoi(name));
        if (stat.Parent == ::getpid()) children[stat.Name] = std::stoi(name);
    }
    return children;
}

// Starts a child with `words` and the environment given; only async-signal-safe calls between
// fork and exec, as the receiver's thread is running.
pid_t Spawn(std::vector<std::string> words, std::vector<std::string> environment,
            const std::string& log) {
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& variable : environment) envp.push_back(variable.data());
    envp.push_back(nullptr);
    const int logFd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(logFd, STDOUT_FILENO);
        ::dup2(logFd, STDERR_FILENO);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) ::_exit(125);
        ::execve(argv[0], argv.data(), envp.data());
        ::execvpe(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    if (logFd >= 0) ::close(logFd);
    return pid;
}

void Stop(pid_t pid) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 150 && ::waitpid(pid, nullptr, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(20ms);
    if (::kill(pid, SIGKILL) == 0) ::waitpid(pid, nullptr, 0);
}

bool ConnectsTo(const std::string& unixPath) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, unixPath.c_str(), sizeof address.sun_path - 1);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

// An X server of its own on the first free display from :140 on.
class VirtualScreen {
public:
    explicit VirtualScreen(const std::string& folder) {
        for (int n = 140; n < 200 && display_ < 0; ++n) {
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
            const std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
            if (std::filesystem::exists(socket) || std::filesystem::exists(lock)) continue;
            display_ = n;
            pid_ = Spawn({"Xvfb", Name(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"}, {},
                         folder + "/xvfb.log");
            const auto deadline = Clock::now() + 20s;
            while (!ConnectsTo(socket) && Clock::now() < deadline)
                std::this_thread::sleep_for(50ms);
            if (!ConnectsTo(socket)) display_ = -1;
        }
    }
    ~VirtualScreen() { Stop(pid_); }
    bool Running() const { return display_ >= 0; }
    std::string Name() const { return std::string(":").append(std::to_string(display_)); }

private:
    int display_ = -1;
    pid_t pid_ = -1;
};

// ---- figures

double Percentile(const std::vector<double>& values, double p) {
    return bench::Percentile(values, p, NAN);
}

struct RunFigures {
    bool Ready = false;
    std::string Scheduling; // the program's threads under SCHED_FIFO, by name
    double Seconds = 0;
    double ProgramCpu = 0; // percent of one core
    double OladCpu = 0;
    double XvfbCpu = 0;
    std::size_t Frames = 0;        // frames at the second client within the measured time
    std::vector<double> Intervals; // ms between step changes
    std::vector<double> Lateness;  // ms each change came after the earliest on a 100 ms grid
    std::size_t OutOfOrder = 0;    // changes to anything but the next record of the show
};

struct HarnessOptions {
    double Seconds = 20;
    bool TimingOnly = false;
    bool Busy = false;
    bool NoRealTime = false;
    bool OladRealTime = false;
};

// The names of a process's threads that run under SCHED_FIFO, and how many threads it has.
std::string RealTimeThreads(pid_t pid) {
    std::string names;
    int threads = 0;
    std::error_code error;
    for (const auto& task :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        ++threads;
        std::ifstream in(task.path() / "stat");
        std::string text;
        std::getline(in, text);
        const auto open = text.find('(');
        const auto close = text.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream fields(text.substr(close + 2));
        std::vector<std::string> field{std::istream_iterator<std::string>(fields), {}};
        // From field 3 (state) on: rt_priority is field 40, policy 41.
        if (field.size() > 38 && field[38] == std::to_string(SCHED_FIFO))
            names += " " + text.substr(open + 1, close - open - 1) + "(" + field[37] + ")";
    }
    return std::to_string(threads) +
           " threads, under SCHED_FIFO:" + (names.empty() ? " none" : names);
}

class Harness {
public:
    Harness(std::string program, const HarnessOptions& options)
        : program_(std::move(program)), seconds_(options.Seconds), options_(options) {
        std::string pattern =
            std::filesystem::temp_directory_path() / "velkaro-live-figures-XXXXXX";
        folder_ = ::mkdtemp(pattern.data()) ? pattern : "/tmp";
    }
    ~Harness() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    int Run() {
        std::printf("load average before: %s", LoadAverage().c_str());
        if (!olad_.Start()) {
            std::fprintf(stderr, "olad did not start\n%s\n", olad_.Log().c_str());
            return 1;
        }
        const bool fenced = testing::EnterLoopbackOnlyNetwork();
        VirtualScreen screen(folder_);
        if (!screen.Running()) {
            std::fprintf(stderr, "Xvfb did not start (%s/xvfb.log)\n", folder_.c_str());
            return 1;
        }
        std::printf("olad on port %d, Xvfb on %s, %s\n", olad_.Port(), screen.Name().c_str(),
                    fenced ? "in a loopback-only network namespace" : "in the host's network");
        display_ = screen.Name();

        const std::string holdPath = folder_ + "/hold chase.dmx";
        const std::string fadePath = folder_ + "/fade.dmx";
        const Show hold = WriteShow(holdPath, 4, HoldMode, 1);
        const Show fade = WriteShow(fadePath, 8, FadeMode, 10);

        std::vector<pid_t> busy;
        if (options_.Busy)
            for (long i = 0; i < 2 * ::sysconf(_SC_NPROCESSORS_ONLN); ++i)
                busy.push_back(Spawn({"yes"}, {}, "/dev/null"));
        const RunFigures holdLive = Measure(holdPath, hold, true);
        for (pid_t loop : busy) Stop(loop);
        std::printf("%s%s%s: %s\n", options_.Busy ? "every core busy (two busy loops each), " : "",
                    options_.OladRealTime ? "olad and receiver real-time, " : "",
                    options_.NoRealTime ? "without CAP_SYS_NICE" : "as started",
                    holdLive.Scheduling.c_str());
        if (options_.TimingOnly) {
            ReportSteps(holdLive);
            std::printf("  frames/s at the second client: %.1f\n",
                        holdLive.Seconds > 0 ? double(holdLive.Frames) / holdLive.Seconds : 0);
            return holdLive.Ready ? 0 : 1;
        }
        const RunFigures holdQuiet = Measure(holdPath, hold, false);
        const RunFigures fadeLive = Measure(fadePath, fade, true);
        const RunFigures fadeQuiet = Measure(fadePath, fade, false);
        std::printf("load average after: %s\n", LoadAverage().c_str());

        ReportSteps(holdLive);
        std::printf("\nCPU of one core over %.0f s, preview at 100 %%, 168 outputs "
                    "(goal with live output: under 3 %%):\n",
                    seconds_);
        std::printf("  %-44s %8s %8s %8s %10s\n", "", "program", "olad", "Xvfb", "frames/s");
        ReportCpu("hold chase, 4 steps of 100 ms, live output", holdLive);
        ReportCpu("hold chase, 4 steps of 100 ms, no live output", holdQuiet);
        ReportCpu("100% Fade, 8 steps of 1 s, live output", fadeLive);
        ReportCpu("100% Fade, 8 steps of 1 s, no live output", fadeQuiet);
        const bool ready = holdLive.Ready && holdQuiet.Ready && fadeLive.Ready && fadeQuiet.Ready;
        if (!ready) std::printf("some runs never got ready; see the logs above\n");
        return ready ? 0 : 1;
    }

private:
    RunFigures Measure(const std::string& showPath, const Show& show, bool live) {
        RunFigures figures;
        testing::DmxReceiver lamps(olad_.Port(), 1);
        if (!lamps.WaitRegistered()) return figures;
        if (options_.OladRealTime && !(olad_.MakeRealTime(8) && lamps.MakeRealTime(8)))
            std::fprintf(stderr, "olad or the receiver could not be made real-time\n");
        std::vector<std::string> words = {program_};
        if (options_.NoRealTime)
            words.insert(words.begin(),
                         {"setpriv", "--inh-caps=-sys_nice", "--bounding-set=-sys_nice", "--"});
        if (live)
            words.insert(words.end(), {"--live", "1", "--ola-port", std::to_string(olad_.Port())});
        words.push_back(showPath);
        const std::string log = folder_ + "/program.log";
        const pid_t program = Spawn(words, Environment(), log);

        // Ready once the show file is loaded: with live output its lit channels reach the
        // lamps; without, a second more than that usually takes.
        const auto started = Clock::now();
        figures.Ready = !live || lamps.WaitUntil(
                                     [&](const testing::DmxReceiver::Frames& frames) {
                                         return !frames.empty() && AllLit(frames.back().Data);
                                     },
                                     30s);
        if (!live) std::this_thread::sleep_for(1s);
        std::this_thread::sleep_for(WarmUp);
        figures.Ready = figures.Ready && ::waitpid(program, nullptr, WNOHANG) == 0;
        if (!figures.Ready) {
            std::ifstream in(log);
            std::cerr << "program not ready after "
                      << std::chrono::duration<double>(Clock::now() - started).count()
                      << " s; its output:\n"
                      << in.rdbuf() << '\n';
            Stop(program);
            return figures;
        }

        auto children = Children();
        figures.Scheduling = RealTimeThreads(program);
        const auto begin = Clock::now();
        const CpuTicks programBefore = ReadStat(program);
        const CpuTicks oladBefore = ReadStat(children["olad"]);
        const CpuTicks xvfbBefore = ReadStat(children["Xvfb"]);
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds_));
        const CpuTicks programAfter = ReadStat(program);
        const CpuTicks oladAfter = ReadStat(children["olad"]);
        const CpuTicks xvfbAfter = ReadStat(children["Xvfb"]);
        const auto end = Clock::now();
        Stop(program);

        figures.Seconds = std::chrono::duration<double>(end - begin).count();
        const double ticksPerSecond = double(::sysconf(_SC_CLK_TCK));
        const auto percent = [&](const CpuTicks& before, const CpuTicks& after) {
            if (before.Used < 0 || after.Used < 0) return double(NAN);
            return 100.0 * double(after.Used - before.Used) / ticksPerSecond / figures.Seconds;
        };
        figures.ProgramCpu = percent(programBefore, programAfter);
        figures.OladCpu = percent(oladBefore, oladAfter);
        figures.XvfbCpu = percent(xvfbBefore, xvfbAfter);
        if (programAfter.Used < 0) figures.Ready = false;
        CountSteps(lamps.Received(), show, begin, end, figures);
        return figures;
    }

    static bool AllLit(const DmxFrame& frame) {
        return std::all_of(frame.begin(), frame.begin() + ShowRecord::ChannelDataSize,
                           [](std::uint8_t level) { return level != 0; });
    }

    static int StepOf(const Show& show, const DmxFrame& frame) {
        const auto at = std::find(show.begin(), show.end(), frame);
        return at == show.end() ? -1 : int(at - show.begin());
    }

    // Step changes are the frames that differ from the one before; the intervals between those
    // that arrived within [begin, end].
    static void CountSteps(const testing::DmxReceiver::Frames& frames, const Show& show,
                           Clock::time_point begin, Clock::time_point end, RunFigures& figures) {
        const testing::DmxReceiver::Frame* previous = nullptr;
        std::optional<Clock::time_point> lastChange;
        std::vector<Clock::time_point> changes;
        for (const auto& frame : frames) {
            const bool inside = frame.At >= begin && frame.At <= end;
            figures.Frames += inside;
            const bool change = previous && previous->Data != frame.Data;
            if (change && inside) {
                const int from = StepOf(show, previous->Data);
                if (from < 0 || StepOf(show, frame.Data) != (from + 1) % int(show.size()))
                    ++figures.OutOfOrder;
                if (lastChange)
                    figures.Intervals.push_back(
                        std::chrono::duration<double, std::milli>(frame.At - *lastChange).count());
                lastChange = frame.At;
                changes.push_back(frame.At);
            }
            previous = &frame;
        }
        // The preview's timer keeps to a fixed schedule, so a late change shows as lateness
        // against the grid through the earliest one, not as drift.
        for (std::size_t k = 0; k < changes.size(); ++k)
            figures.Lateness.push_back(
                std::chrono::duration<double, std::milli>(changes[k] - changes.front()).count() -
                double(k) * StepMs);
        const double earliest = Percentile(figures.Lateness, 0);
        for (double& late : figures.Lateness) late -= earliest;
    }

    void ReportSteps(const RunFigures& run) const {
        std::vector<double> deviation;
        for (double interval : run.Intervals) deviation.push_back(std::abs(interval - StepMs));
        std::printf("\nStep timing at a second OLA client, hold chase of 100 ms steps at 100 %%, "
                    "%.0f s:\n",
                    run.Seconds);
        std::printf("  step changes: %zu intervals, %zu not to the next step\n",
                    run.Intervals.size(), run.OutOfOrder);
        std::printf("  interval ms:  min %.2f  median %.2f  max %.2f\n",
                    Percentile(run.Intervals, 0), Percentile(run.Intervals, 0.5),
                    Percentile(run.Intervals, 1));
        std::printf("  |deviation from 100 ms|:  median %.3f ms  p99 %.3f ms  max %.3f ms"
                    "  (goal p99 < 2 ms: %s)\n",
                    Percentile(deviation, 0.5), Percentile(deviation, 0.99),
                    Percentile(deviation, 1), Percentile(deviation, 0.99) < 2 ? "met" : "MISSED");
        std::printf(
            "  |deviation| < 0.5 ms: %zu, < 1 ms: %zu, < 2 ms: %zu, < 5 ms: %zu, more: %zu\n",
            CountBelow(deviation, 0.5), CountBelow(deviation, 1), CountBelow(deviation, 2),
            CountBelow(deviation, 5), deviation.size() - CountBelow(deviation, 5));
        std::printf("  lateness of each change against a steady 100 ms grid:  median %.3f ms  "
                    "p99 %.3f ms  max %.3f ms\n",
                    Percentile(run.Lateness, 0.5), Percentile(run.Lateness, 0.99),
                    Percentile(run.Lateness, 1));
        std::printf("  changes more than 2 ms late (s into the run: ms late):");
        for (std::size_t k = 0; k < run.Lateness.size(); ++k)
            if (run.Lateness[k] > 2)
                std::printf(" %.1f:%.1f", double(k) * StepMs / 1000, run.Lateness[k]);
        std::printf("\n");
        if (!run.Intervals.empty()) {
            const double drift = std::accumulate(run.Intervals.begin(), run.Intervals.end(), 0.0) /
                                     double(run.Intervals.size()) -
                                 StepMs;
            std::printf("  mean interval - 100 ms: %+.3f ms (drift of the chase)\n", drift);
        }
    }

    static std::size_t CountBelow(const std::vector<double>& values, double limit) {
        return std::size_t(
            std::count_if(values.begin(), values.end(), [&](double v) { return v < limit; }));
    }

    static void ReportCpu(const char* what, const RunFigures& run) {
        std::printf("  %-44s %7.2f%% %7.2f%% %7.2f%% %10.1f%s\n", what, run.ProgramCpu, run.OladCpu,
                    run.XvfbCpu, run.Seconds > 0 ? double(run.Frames) / run.Seconds : 0,
                    run.Ready ? "" : "  (not ready)");
    }

    // The caller's environment on the harness's own screen, without an offscreen platform and
    // with recovery copies in the harness's folder.
    std::vector<std::string> Environment() const {
        std::vector<std::string> environment;
        const std::vector<std::string> replaced = {
            "DISPLAY=", "QT_QPA_PLATFORM=", "XDG_STATE_HOME=", "WAYLAND_DISPLAY="};
        for (char** variable = environ; *variable; ++variable) {
            const std::string text = *variable;
            if (std::none_of(replaced.begin(), replaced.end(),
                             [&](const std::string& name) { return text.rfind(name, 0) == 0; }))
                environment.push_back(text);
        }
        environment.push_back("DISPLAY=" + display_);
        environment.push_back("XDG_STATE_HOME=" + folder_ + "/state");
        return environment;
    }

    static std::string LoadAverage() {
        std::ifstream in("/proc/loadavg");
        std::string line;
        std::getline(in, line);
        return line + "\n";
    }

    std::string program_;
    double seconds_;
    HarnessOptions options_;
    std::string folder_;
    std::string display_;
    testing::OladProcess olad_;
};

} // namespace
} // namespace velkaro

int main(int argc, char* argv[]) {
    velkaro::HarnessOptions options;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--timing-only")
            options.TimingOnly = true;
        else if (word == "--busy")
            options.Busy = true;
        else if (word == "--no-realtime")
            options.NoRealTime = true;
        else if (word == "--olad-realtime")
            options.OladRealTime = true;
        else
            positional.push_back(word);
    }
    if (positional.empty() || positional.size() > 2) {
        std::fprintf(stderr,
                     "usage: %s PROGRAM [SECONDS] [--timing-only] [--busy] [--no-realtime] "
                     "[--olad-realtime]\n",
                     argv[0]);
        return 2;
    }
    const std::string program = std::filesystem::absolute(positional[0]).string();
    const double seconds = positional.size() == 2 ? std::atof(positional[1].c_str()) : 20.0;
    options.Seconds = seconds > 0 ? seconds : 20.0;
    std::signal(SIGPIPE, SIG_IGN);
    velkaro::Harness harness(program, options);
    return harness.Run();
}
