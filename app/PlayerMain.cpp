// velkaro-player: plays a show or an FSEQ sequence through olad without a window.
#include "app/PlayerOptions.h"
#include "app/PlayerSong.h"
#include "audio/SongPlayer.h"
#include "model/ShowError.h"
#include "output/LiveOutputSender.h"
#include "output/RealTime.h"
#include "player/PlayerSession.h"
#include "player/PlayerStatus.h"

#include <poll.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <ctime>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <thread>

namespace {

using namespace velkaro;
using Clock = std::chrono::steady_clock;

constexpr const char* Program = "velkaro-player";
constexpr int ExitFault = 2;
// A fault no option or file explains (memory ran out, the system refused a thread): the
// service manager may try again.
constexpr int ExitUnexpected = 3;

// Signals arrive only where the main thread asks for them; no work runs in a handler. Each of
// them ends play with a blackout: Ctrl+C, a stop by the service manager, a closed terminal (or
// a reload) and Ctrl+\. SIGUSR1 is the player's own: the end of play wakes the main thread
// with it.
sigset_t BlockStopSignals() {
    sigset_t stops;
    sigemptyset(&stops);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1}) sigaddset(&stops, signal);
    pthread_sigmask(SIG_BLOCK, &stops, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    return stops;
}

// Watches for a stop signal, the end of play and olad, and keeps the status line, until the
// player has finished.
class Watch {
public:
    Watch(const PlayerOptions& options, PlayerSession& session, const LiveOutputSender& sender,
          SongPlayer* song)
        : options_(options), session_(session), sender_(sender), song_(song),
          terminal_(::isatty(STDOUT_FILENO) == 1) {}

    void Run(const sigset_t& stops) {
        const timespec interval{0, 250'000'000};
        for (;;) {
            const int signal = ::sigtimedwait(&stops, nullptr, &interval);
            if ((signal > 0 && signal != SIGUSR1) || session_.Finished() || SongOver()) break;
            ReportOlad();
            ReportRealTimeWithdrawn();
            if (terminal_) ShowStatus();
        }
        if (terminal_) WriteToTerminal("\n");
    }

private:
    // With a song, a pass is the song: it starts again until the passes are played.
    bool SongOver() {
        if (!song_ || !song_->Ended()) return false;
        if (options_.times != 0 && ++songPasses_ >= options_.times) return true;
        song_->PlayFrom({}, options_.speed);
        return false;
    }

    void ReportOlad() {
        const bool connected = sender_.Status() == LiveOutputStatus::Connected;
        if (connected) {
            missingSince_.reset();
            told_ = false;
            return;
        }
        if (!missingSince_) missingSince_ = Clock::now();
        // Connecting takes a moment; only a daemon missing for a second is worth a word.
        if (!told_ && Clock::now() - *missingSince_ > std::chrono::seconds(1)) {
            std::cerr << (terminal_ ? "\n" : "") << Program << ": "
                      << OladMissingMessage(options_.olaPort) << '\n';
            told_ = true;
        }
    }

    void ReportRealTimeWithdrawn() {
        if (toldWithdrawn_ || !RealTimeWithdrawn()) return;
        toldWithdrawn_ = true;
        std::cerr << (terminal_ ? "\n" : "") << Program << ": " << RealTimeWithdrawnMessage()
                  << '\n';
    }

    void ShowStatus() {
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start_);
        // Built with append: GCC 12 at -O3 misreads "\r" + line as an overlapping copy.
        std::string line = "\r";
        line.append(PlayerStatusLine(options_.file, session_.UnitName(), session_.Unit(),
                                     session_.Units(), std::uint64_t(elapsed.count()),
                                     sender_.Status() == LiveOutputStatus::Connected));
        line.append("\033[K");
        WriteToTerminal(line);
    }

    // A terminal that does not read (Ctrl+S, a hung ssh session) would block a write, and with
    // it every stop: a line goes out only while the terminal has room, else it is skipped.
    static void WriteToTerminal(const std::string& text) {
        pollfd room{STDOUT_FILENO, POLLOUT, 0};
        if (::poll(&room, 1, 0) != 1 || (room.revents & POLLOUT) == 0) return;
        [[maybe_unused]] const ssize_t written = ::write(STDOUT_FILENO, text.data(), text.size());
    }

    const PlayerOptions& options_;
    PlayerSession& session_;
    const LiveOutputSender& sender_;
    SongPlayer* song_;
    std::uint64_t songPasses_ = 0;
    const bool terminal_;
    const Clock::time_point start_ = Clock::now();
    std::optional<Clock::time_point> missingSince_;
    bool told_ = false;
    bool toldWithdrawn_ = false;
};

// Paging must not stall the frames: the memory is locked as it is touched, where the system
// lets the player lock all it may map (a limit would make its larger maps fail instead).
void LockMemory() {
    rlimit limit{};
    const bool unlimited =
        ::getrlimit(RLIMIT_MEMLOCK, &limit) == 0 && limit.rlim_cur == RLIM_INFINITY;
    if (!unlimited && ::geteuid() != 0) return;
    if (::mlockall(MCL_CURRENT | MCL_FUTURE | MCL_ONFAULT) != 0)
        ::mlockall(MCL_CURRENT | MCL_FUTURE); // kernels before 4.4 know no MCL_ONFAULT
}

std::string FailureText(const std::exception& error) {
    if (dynamic_cast<const std::bad_alloc*>(&error)) return "Zu wenig Arbeitsspeicher";
    return error.what();
}

// A blackout that olad has taken before the program ends.
constexpr std::chrono::milliseconds BlackoutWait{1000};

int PlayThrough(const PlayerOptions& options, LiveOutputSender& sender, const sigset_t& stops) {
    PlayerSessionOptions playOptions;
    playOptions.SpeedPercent = options.speed;
    playOptions.Passes = options.times;
    playOptions.OnFinished = [] { ::kill(::getpid(), SIGUSR1); };
    std::unique_ptr<PlayerSession> session;
    try {
        session = OpenPlayerSession(options.file, sender, playOptions);
    } catch (const ShowError& error) {
        std::cerr << Program << ": " << WithFullStop(error.what()) << '\n';
        return ExitFault;
    }
    std::unique_ptr<SongPlayer> song;
    try {
        std::string warning;
        song = OpenPlayerSong(options, *session, warning);
        if (!warning.empty()) std::cerr << Program << ": " << WithFullStop(warning) << '\n';
    } catch (const ShowError& error) {
        std::cerr << Program << ": " << WithFullStop(error.what()) << '\n';
        return ExitFault;
    }
    if (song) session->FollowSound(*song);
    // Output begins only once the file proved playable.
    LockMemory();
    sender.Start(options.universe);
    session->Start();
    if (song) song->PlayFrom({}, options.speed);
    Watch(options, *session, sender, song.get()).Run(stops);
    session->Stop();
    if (song) song->Pause();
    const std::optional<std::string> failure = session->Failure();
    session.reset();
    sender.StopAndConfirmBlackout(BlackoutWait);
    if (!failure) return 0;
    std::cerr << Program << ": " << WithFullStop(*failure) << '\n';
    return ExitFault;
}

// Plays until a stop signal or the end; any fault on the way still ends in a blackout.
int Play(const PlayerOptions& options) {
    const sigset_t stops = BlockStopSignals();
    LiveOutputSender sender(options.olaPort);
    try {
        return PlayThrough(options, sender, stops);
    } catch (const std::exception& error) {
        sender.StopAndConfirmBlackout(BlackoutWait);
        std::cerr << Program << ": Die Wiedergabe wurde wegen eines Fehlers beendet: "
                  << WithFullStop(FailureText(error)) << '\n';
        return ExitUnexpected;
    }
}

} // namespace

int main(int argc, char* argv[]) {
    const PlayerOptions options =
        ParsePlayerOptions(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
    switch (options.action) {
    case PlayerOptions::Action::ShowHelp:
        std::cout << PlayerUsageText(Program);
        return 0;
    case PlayerOptions::Action::ShowVersion:
        std::cout << "Velkaro-player " << VELKARO_VERSION << '\n';
        return 0;
    case PlayerOptions::Action::Error:
        std::cerr << Program << ": " << options.error << '\n'
                  << "Aufruf: " << Program << " --help zeigt die Hilfe.\n";
        return ExitFault;
    case PlayerOptions::Action::Play:
        break;
    }
    try {
        return Play(options);
    } catch (const std::exception& error) {
        std::cerr << Program << ": " << WithFullStop(FailureText(error)) << '\n';
        return ExitUnexpected;
    }
}
