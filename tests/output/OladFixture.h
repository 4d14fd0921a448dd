#pragma once

// A private olad for tests and benchmarks, and a second OLA client that records what olad
// forwards. Header-only, so any test folder can include "output/OladFixture.h"; the including
// target links PkgConfig::VelkaroOla.
//
//     velkaro::testing::OladProcess olad;          // config folder with only Dummy enabled
//     ASSERT_TRUE(olad.Start()) << olad.Log();     // free loopback port, waits until it listens
//     velkaro::testing::DmxReceiver lamps(olad.Port(), 1);
//     ASSERT_TRUE(lamps.WaitRegistered());
//     ... LiveOutputSender sender(olad.Port()); ...
//     lamps.WaitUntil([](const auto& frames) { return !frames.empty(); });
//     olad.Kill(); olad.Pause(); olad.Resume(); olad.Start(olad.Port());
//
// Start moves the process into a network namespace of its own that holds only loopback (where
// the system allows it), so neither olad nor the program under test can reach any network;
// do it from the main thread before any other thread runs. The daemon dies with that thread.

#include "model/DmxFrame.h"

#include <ola/Callback.h>
#include <ola/DmxBuffer.h>
#include <ola/client/OlaClient.h>
#include <ola/io/SelectServer.h>
#include <ola/network/IPV4Address.h>
#include <ola/network/SocketAddress.h>
#include <ola/network/TCPSocket.h>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <memory>
#include <mutex>
#include <net/if.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sched.h>
#include <sstream>
#include <string>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace velkaro::testing {

using namespace std::chrono_literals;

// Moves this thread, and every thread and process it starts afterwards, into a network
// namespace of its own with only loopback up. False where the system refuses (not root).
inline bool EnterLoopbackOnlyNetwork() {
    static const bool entered = [] {
        if (::unshare(CLONE_NEWNET) != 0) return false;
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        ifreq request{};
        std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
        bool up = fd >= 0 && ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
        request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP | IFF_RUNNING);
        up = up && ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
        if (fd >= 0) ::close(fd);
        return up;
    }();
    return entered;
}

inline bool AcceptsConnections(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

// A loopback TCP port nobody listens on at the moment of asking.
inline int FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(fd);
    return ntohs(address.sin_port);
}

// olad on a port of its own, with a configuration folder in which every plugin except Dummy
// is disabled, so nothing is announced or sent on any network. As root it runs as the user
// `olad` (it refuses root), as `runuser -u olad` would, but without a session process in
// between, so that Kill, Pause and Resume reach the daemon itself.
class OladProcess {
public:
    // The plugin configurations OLA 0.10.9 writes on its first start. A plugin that a later
    // version adds is found after the first start and disabled by a second one.
    static constexpr const char* KnownPlugins[] = {
        "artnet",  "e131",    "espnet",           "ftdidmx", "gpio",     "karate",   "kinet",
        "milinst", "opendmx", "openpixelcontrol", "osc",     "pathport", "renard",   "sandnet",
        "shownet", "spi",     "stageprofi",       "uartdmx", "usbdmx",   "usbserial"};

    OladProcess() {
        std::string pattern = (std::filesystem::temp_directory_path() / "velkaro-olad-XXXXXX");
        folder_ = ::mkdtemp(pattern.data()) ? pattern : "";
        if (::geteuid() == 0) {
            if (const passwd* user = ::getpwnam("olad")) {
                uid_ = user->pw_uid;
                gid_ = user->pw_gid;
            }
        }
        for (const char* plugin : KnownPlugins) DisablePlugin(plugin);
        GiveFolderToDaemon();
    }
    ~OladProcess() {
        Terminate();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    OladProcess(const OladProcess&) = delete;
    OladProcess& operator=(const OladProcess&) = delete;

    // Starts olad on `port` (a free one when 0) and returns once it accepts connections.
    bool Start(int port = 0) {
        EnterLoopbackOnlyNetwork();
        port_ = port != 0 ? port : FreeLoopbackPort();
        if (!Launch()) return false;
        if (!DisableUnknownPlugins()) return true;
        Terminate();
        GiveFolderToDaemon();
        return Launch();
    }
    void Kill() { Signal(SIGKILL, true); }
    void Pause() { Signal(SIGSTOP, false); }
    void Resume() { Signal(SIGCONT, false); }
    void Terminate() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGCONT);
        ::kill(pid_, SIGTERM);
        for (int i = 0; i < 250 && ::waitpid(pid_, nullptr, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(20ms);
        Signal(SIGKILL, true);
    }

    int Port() const { return port_; }
    bool Running() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    // Puts every thread of the daemon under SCHED_FIFO, for measurements that must see the
    // sender's timing rather than how soon a busy machine lets olad forward a frame.
    bool MakeRealTime(int priority) {
        if (pid_ <= 0) return false;
        sched_param param{};
        param.sched_priority = priority;
        bool all = true;
        std::error_code error;
        const std::string tasks = "/proc/" + std::to_string(pid_) + "/task";
        for (const auto& task : std::filesystem::directory_iterator(tasks, error))
            all = ::sched_setscheduler(std::stoi(task.path().filename().string()), SCHED_FIFO,
                                       &param) == 0 &&
                  all;
        return all && !error;
    }
    const std::string& Folder() const { return folder_; }
    std::string Log() const {
        std::ifstream in(folder_ + "/olad.log");
        std::stringstream text;
        text << in.rdbuf();
        return "olad log:\n" + text.str();
    }

private:
    void Signal(int signal, bool reap) {
        if (pid_ <= 0) return;
        ::kill(pid_, signal);
        if (reap) {
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

    void DisablePlugin(const std::string& plugin) {
        std::ofstream(folder_ + "/ola-" + plugin + ".conf") << "enabled = false\n";
    }

    void GiveFolderToDaemon() {
        if (uid_ == 0) return;
        [[maybe_unused]] int ignored = ::chown(folder_.c_str(), uid_, gid_);
        for (const auto& entry : std::filesystem::directory_iterator(folder_))
            ignored = ::chown(entry.path().c_str(), uid_, gid_);
    }

    // Disables every plugin whose configuration olad wrote afresh; true when there was one.
    bool DisableUnknownPlugins() {
        bool found = false;
        for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("ola-", 0) != 0 || entry.path().extension() != ".conf") continue;
            const std::string plugin = name.substr(4, name.size() - 9);
            if (plugin == "dummy" || plugin == "server" || plugin == "port" || plugin == "universe")
                continue;
            std::ifstream in(entry.path());
            std::string line;
            bool disabled = false;
            while (std::getline(in, line)) disabled = disabled || line == "enabled = false";
            if (disabled) continue;
            DisablePlugin(plugin);
            found = true;
        }
        return found;
    }

    static std::string FindDaemon() {
        const char* path = std::getenv("PATH");
        std::stringstream folders(std::string(path ? path : "") + ":/usr/bin:/usr/sbin");
        std::string folder;
        while (std::getline(folders, folder, ':'))
            if (!folder.empty() && ::access((folder + "/olad").c_str(), X_OK) == 0)
                return folder + "/olad";
        return "olad";
    }

    bool Launch() {
        const std::string daemon = FindDaemon();
        const std::string log = folder_ + "/olad.log";
        const std::string portText = std::to_string(port_);
        std::vector<std::string> words = {daemon,   "--no-http", "--no-register-with-dns-sd",
                                          "-c",     folder_,     "--rpc-port",
                                          portText, "-l",        "3"};
        std::vector<char*> argv;
        for (auto& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        const int logFd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        const pid_t parent = ::getpid();
        const pid_t pid = ::fork();
        if (pid == 0) {
            // Only async-signal-safe calls between fork and exec: the test runs threads.
            ::dup2(logFd, STDOUT_FILENO);
            ::dup2(logFd, STDERR_FILENO);
            if (uid_ != 0 &&
                (::setgroups(0, nullptr) != 0 || ::setgid(gid_) != 0 || ::setuid(uid_) != 0))
                ::_exit(126);
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (::getppid() != parent) ::_exit(125);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        if (logFd >= 0) ::close(logFd);
        if (pid < 0) return false;
        pid_ = pid;
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (std::chrono::steady_clock::now() < deadline) {
            if (AcceptsConnections(port_)) return true;
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return false;
            }
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    std::string folder_;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
    pid_t pid_ = -1;
    int port_ = 0;
};

// A second OLA client, as a lamp interface would be: registers for one universe and records
// every frame olad forwards, with the moment it arrived.
class DmxReceiver {
public:
    using Clock = std::chrono::steady_clock;
    struct Frame {
        Clock::time_point At;
        DmxFrame Data{};
    };
    using Frames = std::vector<Frame>;

    DmxReceiver(int port, int universe) {
        socket_.reset(ola::network::TCPSocket::Connect(ola::network::IPV4SocketAddress(
            ola::network::IPV4Address::Loopback(), static_cast<std::uint16_t>(port))));
        if (!socket_) return;
        socket_->SetNoDelay();
        client_ = std::make_unique<ola::client::OlaClient>(socket_.get());
        server_.AddReadDescriptor(socket_.get());
        client_->Setup();
        client_->SetCloseHandler(ola::NewSingleCallback(this, &DmxReceiver::OnClosed));
        client_->SetDMXCallback(ola::NewCallback(this, &DmxReceiver::OnFrame));
        client_->RegisterUniverse(static_cast<unsigned>(universe), ola::client::REGISTER,
                                  ola::NewSingleCallback(this, &DmxReceiver::OnRegistered));
        thread_ = std::thread([this] { Run(); });
    }
    ~DmxReceiver() {
        quit_ = true;
        if (thread_.joinable()) thread_.join();
        if (client_) {
            if (!detached_) server_.RemoveReadDescriptor(socket_.get());
            client_->Stop();
        }
    }
    DmxReceiver(const DmxReceiver&) = delete;
    DmxReceiver& operator=(const DmxReceiver&) = delete;

    // Waits until olad confirmed the registration; frames sent before may be missed.
    bool WaitRegistered(Clock::duration timeout = 5s) {
        return WaitUntil([this](const Frames&) { return registered_; }, timeout);
    }

    // Waits until `accept` holds for the frames received so far.
    bool WaitUntil(const std::function<bool(const Frames&)>& accept, Clock::duration timeout = 5s) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return accept(frames_); });
    }
    bool WaitForFrame(const DmxFrame& frame, Clock::duration timeout = 5s) {
        return WaitUntil(
            [&](const Frames& frames) {
                return std::any_of(frames.begin(), frames.end(),
                                   [&](const Frame& f) { return f.Data == frame; });
            },
            timeout);
    }
    Frames Received() const {
        std::lock_guard lock(mutex_);
        return frames_;
    }
    // Puts the receiving thread under SCHED_FIFO, so that on a busy machine the moments it
    // records are those the frames arrived at, not those it got the core at.
    bool MakeRealTime(int priority) {
        sched_param param{};
        param.sched_priority = priority;
        return ::pthread_setschedparam(thread_.native_handle(), SCHED_FIFO, &param) == 0;
    }
    void Clear() {
        std::lock_guard lock(mutex_);
        frames_.clear();
    }

private:
    void Run() {
        while (!quit_) {
            server_.RunOnce(ola::TimeInterval(0, 20000));
            if (closed_ && client_ && !detached_) {
                detached_ = true;
                server_.RemoveReadDescriptor(socket_.get());
            }
        }
    }
    void OnClosed() { closed_ = true; }
    void OnRegistered(const ola::client::Result& result) {
        std::lock_guard lock(mutex_);
        registered_ = result.Success();
        changed_.notify_all();
    }
    void OnFrame(const ola::client::DMXMetadata&, const ola::DmxBuffer& data) {
        Frame frame;
        frame.At = Clock::now();
        unsigned size = DmxChannels;
        data.Get(frame.Data.data(), &size);
        std::lock_guard lock(mutex_);
        frames_.push_back(frame);
        changed_.notify_all();
    }

    ola::io::SelectServer server_;
    std::unique_ptr<ola::network::TCPSocket> socket_;
    std::unique_ptr<ola::client::OlaClient> client_;
    std::thread thread_;
    std::atomic<bool> quit_{false};
    std::atomic<bool> closed_{false};
    bool detached_ = false;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool registered_ = false;
    Frames frames_;
};

} // namespace velkaro::testing
