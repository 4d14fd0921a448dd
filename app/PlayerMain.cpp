// velkaro-player: plays a show or an FSEQ sequence through olad without a window.
#include "app/PlayerOptions.h"
#include "app/PlayerSong.h"
#include "audio/SongPlayer.h"
#include "model/ShowError.h"
#include "output/LiveOutputSender.h"
#include "player/PlayerSession.h"
#include "player/PlayerStatus.h"

#include <pthread.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <ctime>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace {

using namespace velkaro;
using Clock = std::chrono::steady_clock;

constexpr const char* Program = "velkaro-player";
constexpr int ExitFault = 2;

// Signals arrive only where the main thread asks for them; no work runs in a handler. SIGUSR1
// is the player's own: the end of play wakes the main thread with it.
sigset_t BlockStopSignals() {
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGUSR1);
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
            if (signal == SIGINT || signal == SIGTERM || session_.Finished() || SongOver()) break;
            ReportOlad();
            if (terminal_) ShowStatus();
        }
        if (terminal_) std::cout << '\n' << std::flush;
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

    void ShowStatus() {
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start_);
        std::cout << '\r'
                  << PlayerStatusLine(options_.file, session_.UnitName(), session_.Unit(),
                                      session_.Units(), std::uint64_t(elapsed.count()),
                                      sender_.Status() == LiveOutputStatus::Connected)
                  << "\033[K" << std::flush;
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
};

// Sends the blackout and stays until it left: a program that exits with an answer of olad
// still unread makes the system reset the connection, and olad would drop the blackout with it.
void BlackOut(LiveOutputSender& sender) {
    const bool connected = sender.Status() == LiveOutputStatus::Connected;
    const std::uint64_t sent = sender.FramesSent();
    sender.Stop();
    if (!connected) return;
    const auto deadline = Clock::now() + std::chrono::seconds(1);
    while (sender.FramesSent() == sent && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    // Time for the sender's thread to take in olad's last answers.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
}

int Play(const PlayerOptions& options) {
    const sigset_t stops = BlockStopSignals();
    LiveOutputSender sender(options.olaPort);
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
    sender.Start(options.universe);
    session->Start();
    if (song) song->PlayFrom({}, options.speed);
    Watch(options, *session, sender, song.get()).Run(stops);
    session->Stop();
    if (song) song->Pause();
    const std::optional<std::string> failure = session->Failure();
    session.reset();
    BlackOut(sender);
    if (!failure) return 0;
    std::cerr << Program << ": " << WithFullStop(*failure) << '\n';
    return ExitFault;
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
    return Play(options);
}
