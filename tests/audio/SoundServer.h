#pragma once

// A private PulseAudio server with one null sink for tests and benchmarks, a recorder of what
// the sink plays (its monitor, through parec), and a click track written as WAV. Header-only.
//
//     velkaro::testing::SoundServer sound;          // own runtime folder, nothing else touched
//     ASSERT_TRUE(sound.Start()) << sound.Log();
//     velkaro::testing::SinkRecorder heard(sound);  // stamps every click the sink plays
//     SongPlayer song(path, sound.SinkDescription());
//
// The server listens only on a unix socket in its folder; nothing leaves the machine.

#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sched.h>
#include <sstream>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace velkaro::testing {

using namespace std::chrono_literals;

// Starts a program with stdout into `outFd` (or the log), dying with the test.
inline pid_t StartProgram(std::vector<std::string> words, int outFd, const std::string& log) {
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const int logFd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(outFd >= 0 ? outFd : logFd, STDOUT_FILENO);
        ::dup2(logFd, STDERR_FILENO);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) ::_exit(125);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    if (logFd >= 0) ::close(logFd);
    return pid;
}

// Puts every thread of a process under SCHED_FIFO, so that on a loaded machine the sound
// server plays and the recorder stamps on time; false where the system refuses.
inline bool MakeProcessRealTime(pid_t pid, int priority) {
    if (pid <= 0) return false;
    sched_param param{};
    param.sched_priority = priority;
    bool all = true;
    std::error_code error;
    for (const auto& task :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error))
        all = ::sched_setscheduler(std::stoi(task.path().filename().string()), SCHED_FIFO,
                                   &param) == 0 &&
              all;
    return all && !error;
}

inline void StopProgram(pid_t& pid) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 100 && ::waitpid(pid, nullptr, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(20ms);
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    pid = -1;
}

class SoundServer {
public:
    static constexpr int Rate = 44100;

    SoundServer() {
        std::string pattern = (std::filesystem::temp_directory_path() / "velkaro-pulse-XXXXXX");
        folder_ = ::mkdtemp(pattern.data()) ? pattern : "";
        ::chmod(folder_.c_str(), 0700);
    }
    ~SoundServer() {
        StopProgram(silence_);
        StopProgram(listener_);
        if (drain_.joinable()) drain_.join();
        StopProgram(pid_);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    // Starts the server and points this process's sound clients at it; true once it answers.
    bool Start() {
        ::setenv("PULSE_SERVER", Server().c_str(), 1);
        ::setenv("PULSE_RUNTIME_PATH", folder_.c_str(), 1);
        ::setenv("PULSE_STATE_PATH", folder_.c_str(), 1);
        ::setenv("PULSE_SINK", "vnull", 1);
        pid_ = StartProgram(
            {"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
             "--disable-shm=yes", "-F", "/dev/null",
             "--load=module-native-protocol-unix socket=" + folder_ + "/native auth-anonymous=1",
             "--load=module-null-sink sink_name=vnull rate=44100 channels=2",
             "--load=module-always-sink"},
            -1, folder_ + "/pulse.log");
        for (int i = 0; i < 500; ++i) {
            if (std::filesystem::exists(folder_ + "/native") &&
                std::system(("pactl info >/dev/null 2>&1")) == 0)
                return KeepSinkRunning();
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) return pid_ = -1, false;
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }

    std::string Server() const { return "unix:" + folder_ + "/native"; }
    // The sink for a SongPlayer: the null sink of this server, whatever the environment says.
    std::string SinkDescription() const { return "pulsesink server=" + Server() + " device=vnull"; }
    const std::string& Folder() const { return folder_; }
    std::string Log() const {
        std::ifstream in(folder_ + "/pulse.log");
        std::stringstream text;
        text << in.rdbuf();
        return "pulseaudio log:\n" + text.str();
    }

private:
    // A fresh server lets a new stream stall for a few seconds after its first buffers
    // (PulseAudio 16.1) unless its null sink already plays; a listener on its monitor keeps it
    // playing, as a sound card does, and tells when it does. On a loaded machine a stream that
    // starts on an idle null sink could stall for good, its position never moving: a stream of
    // silence keeps the sink running, as another program playing would.
    bool KeepSinkRunning() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) return false;
        listener_ = StartProgram(
            {"parec", "--server=" + Server(), "-d", "vnull.monitor", "--latency-msec=5", "--raw"},
            fds[1], folder_ + "/listener.log");
        ::close(fds[1]);
        drain_ = std::thread([this, fd = fds[0]] {
            char buffer[4096];
            for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;) heard_ += got;
            ::close(fd);
        });
        silence_ = StartProgram({"pacat", "--server=" + Server(), "-d", "vnull", "--raw",
                                 "--latency-msec=20", "/dev/zero"},
                                -1, folder_ + "/silence.log");
        for (int i = 0; i < 500 && heard_ < Rate * 4 / 5; ++i) std::this_thread::sleep_for(10ms);
        MakeProcessRealTime(pid_, 8);
        return heard_ >= Rate * 4 / 5;
    }

    std::string folder_;
    pid_t pid_ = -1;
    pid_t listener_ = -1;
    pid_t silence_ = -1;
    std::thread drain_;
    std::atomic<std::int64_t> heard_{0};
};

// Records the null sink's monitor and stamps the start of every click on the monotonic clock:
// a chunk's arrival, less the samples that came after the click's first loud one.
class SinkRecorder {
public:
    using Clock = std::chrono::steady_clock;

    explicit SinkRecorder(const SoundServer& server) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) return;
        pid_ = StartProgram({"parec", "--server=" + server.Server(), "-d", "vnull.monitor",
                             "--latency-msec=2", "--format=s16le", "--rate=44100", "--channels=1",
                             "--raw"},
                            fds[1], server.Folder() + "/parec.log");
        ::close(fds[1]);
        fd_ = fds[0];
        thread_ = std::thread([this] { Run(); });
        // The stamps are those of the clicks' arrival, not of a busy machine's turn.
        sched_param param{};
        param.sched_priority = 8;
        ::pthread_setschedparam(thread_.native_handle(), SCHED_FIFO, &param);
    }
    ~SinkRecorder() {
        StopProgram(pid_);
        if (thread_.joinable()) thread_.join();
        if (fd_ >= 0) ::close(fd_);
    }
    SinkRecorder(const SinkRecorder&) = delete;
    SinkRecorder& operator=(const SinkRecorder&) = delete;

    std::vector<Clock::time_point> Clicks() const {
        std::lock_guard lock(mutex_);
        return clicks_;
    }
    // Whether anything was heard at all (the recorder runs); then parec runs real-time too.
    bool Hearing() {
        if (samples_.load() == 0) return false;
        if (!madeRealTime_) {
            MakeProcessRealTime(pid_, 8);
            madeRealTime_ = true;
        }
        return true;
    }

private:
    static constexpr int Loud = 8000;
    // A click is a few milliseconds long; a quiet stretch this long ends it.
    static constexpr int QuietSamples = SoundServer::Rate / 20;

    void Run() {
        std::vector<std::int16_t> chunk(4096);
        for (;;) {
            const ssize_t got = ::read(fd_, chunk.data(), chunk.size() * 2);
            if (got <= 0) return;
            const Clock::time_point arrived = Clock::now();
            const auto count = std::size_t(got) / 2;
            samples_ += count;
            for (std::size_t i = 0; i < count; ++i) Listen(chunk[i], arrived, count - i);
        }
    }

    void Listen(std::int16_t sample, Clock::time_point arrived, std::size_t later) {
        if (std::abs(int(sample)) < Loud) {
            ++quiet_;
            return;
        }
        if (quiet_ >= QuietSamples || first_) {
            std::lock_guard lock(mutex_);
            clicks_.push_back(arrived - std::chrono::microseconds(std::int64_t(later) * 1000000 /
                                                                  SoundServer::Rate));
        }
        first_ = false;
        quiet_ = 0;
    }

    pid_t pid_ = -1;
    bool madeRealTime_ = false;
    int fd_ = -1;
    std::thread thread_;
    std::atomic<std::size_t> samples_{0};
    int quiet_ = 0;
    bool first_ = true;
    mutable std::mutex mutex_;
    std::vector<Clock::time_point> clicks_;
};

// A mono 16-bit WAV of silence with a 5 ms tone at each of `clicks` (seconds into the data),
// `length` seconds long. The header names `headerRate`; the data is laid out at `dataRate`, so a
// lower header rate plays the same clicks slower.
inline void WriteClickTrack(const std::string& path, const std::vector<double>& clicks,
                            double length, int dataRate = SoundServer::Rate,
                            int headerRate = SoundServer::Rate) {
    std::vector<std::int16_t> data(std::size_t(length * dataRate), 0);
    for (double at : clicks) {
        const auto first = std::size_t(at * dataRate);
        for (std::size_t i = 0; i < std::size_t(dataRate / 200) && first + i < data.size(); ++i)
            data[first + i] =
                std::int16_t(26000 * std::sin(2 * M_PI * 2000.0 * double(i) / dataRate));
        // The first sample is loud at once, so the click's start is its first sample.
        if (first < data.size()) data[first] = 26000;
    }
    const auto bytes = std::uint32_t(data.size() * 2);
    std::ofstream out(path, std::ios::binary);
    const auto put = [&out](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) out.put(char((value >> (8 * i)) & 0xFF));
    };
    out.write("RIFF", 4);
    put(36 + bytes, 4);
    out.write("WAVEfmt ", 8);
    put(16, 4);
    put(1, 2); // PCM
    put(1, 2); // mono
    put(std::uint32_t(headerRate), 4);
    put(std::uint32_t(headerRate) * 2, 4);
    put(2, 2);
    put(16, 2);
    out.write("data", 4);
    put(bytes, 4);
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(bytes));
}

} // namespace velkaro::testing
