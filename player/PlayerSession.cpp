#include "player/PlayerSession.h"

#include "playback/PlaybackEngine.h"
#include "player/FramePlayer.h"
#include "player/StoredShow.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <fstream>

namespace velkaro {

namespace {

bool NamesSequence(const std::string& path) {
    std::string suffix = path.size() >= 5 ? path.substr(path.size() - 5) : "";
    for (char& c : suffix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (suffix == ".fseq") return true;
    char magic[4] = {};
    std::ifstream file(path, std::ios::binary);
    file.read(magic, sizeof magic);
    return file.gcount() == 4 && (magic[0] == 'P' || magic[0] == 'F') && magic[1] == 'S' &&
           magic[2] == 'E' && magic[3] == 'Q';
}

// A DMX show on the engine. Each pass is Steps × StepLength ticks from a rewind, which shows
// step 0 at once for a whole tick; play ends at the tick that would begin the next pass,
// before its frame goes out.
class ShowSession : public PlayerSession, private TickListener {
public:
    ShowSession(StoredShow show, FrameSink& sink, const PlayerSessionOptions& options)
        : show_(std::move(show)), engine_(sink), onFinished_(options.OnFinished) {
        const auto& settings = show_.Settings;
        if (options.Passes != 0)
            lastTick_.store(options.Passes * std::uint64_t(settings.Steps) * settings.StepLength);
        engine_.SetEndTick(lastTick_.load());
        engine_.SetTickListener(this);
        engine_.PublishShow(*show_.Cells, settings, false);
        engine_.SetSpeed(options.SpeedPercent);
        engine_.SetTickLength(show_.Tick);
    }
    ~ShowSession() override {
        engine_.SetTickListener(nullptr);
        engine_.SetSoundClock(nullptr);
    }

    // A pass is then one pass of the song, which ends play by itself.
    void FollowSound(SoundClock& sound) override {
        lastTick_.store(0);
        engine_.SetEndTick(0);
        engine_.SetSoundClock(&sound);
    }

    void Start() override {
        engine_.Rewind();
        engine_.SetSending(true);
    }
    void Stop() override { engine_.SetSending(false); }
    bool Finished() const override { return finished_.load(); }
    const char* UnitName() const override { return "Schritt"; }
    std::uint64_t Unit() const override { return std::uint64_t(engine_.Position().PlayStep); }
    std::uint64_t Units() const override { return std::uint64_t(show_.Settings.Steps); }

private:
    // On the engine's thread after a tick; at the end the engine has already stopped sending.
    void OnEngineTick(const PlayPosition& position) noexcept override {
        const std::uint64_t lastTick = lastTick_.load();
        if (lastTick == 0 || finished_.load() || position.Ticks < lastTick) return;
        finished_.store(true);
        if (onFinished_) onFinished_();
    }

    StoredShow show_;
    PlaybackEngine engine_;
    std::function<void()> onFinished_;
    std::atomic<std::uint64_t> lastTick_{0};
    std::atomic<bool> finished_{false};
};

class SequenceSession : public PlayerSession {
public:
    SequenceSession(std::unique_ptr<FseqReader> sequence, FrameSink& sink,
                    const PlayerSessionOptions& options)
        : sequence_(std::move(sequence)),
          sink_(sink), options_{options.SpeedPercent, options.Passes, options.OnFinished} {}

    void Start() override { player_ = std::make_unique<FramePlayer>(*sequence_, sink_, options_); }
    void FollowSound(SoundClock& sound) override { options_.Sound = &sound; }
    std::string MediaFile() const override {
        for (const FseqVariableHeader& header : sequence_->VariableHeaders())
            if (header.Code == "mf" && !header.Data.empty())
                return std::string(reinterpret_cast<const char*>(header.Data.data()),
                                   std::find(header.Data.begin(), header.Data.end(), 0) -
                                       header.Data.begin());
        return {};
    }
    void Stop() override {
        if (player_) player_->Stop();
    }
    bool Finished() const override { return player_ && player_->Finished(); }
    std::optional<std::string> Failure() const override {
        return player_ ? player_->Failure() : std::nullopt;
    }
    const char* UnitName() const override { return "Bild"; }
    std::uint64_t Unit() const override { return player_ ? player_->Frame() : 0; }
    std::uint64_t Units() const override { return sequence_->Frames(); }

private:
    std::unique_ptr<FseqReader> sequence_;
    FrameSink& sink_;
    SequencePlayOptions options_;
    std::unique_ptr<FramePlayer> player_;
};

} // namespace

std::unique_ptr<PlayerSession> OpenPlayerSession(const std::string& path, FrameSink& sink,
                                                 const PlayerSessionOptions& options) {
    if (NamesSequence(path))
        return std::make_unique<SequenceSession>(std::make_unique<FseqReader>(path), sink, options);
    return std::make_unique<ShowSession>(LoadStoredShow(path), sink, options);
}

} // namespace velkaro
