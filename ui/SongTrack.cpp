// The show's song: its player, its waveform and its project file.
#include "ui/SongTrack.h"

#include "audio/SongPlayer.h"
#include "audio/SongWaveform.h"
#include "model/ShowError.h"
#include "ui/SettingsControls.h"
#include "ui/ShowPublisher.h"

#include <QMetaObject>
#include <QPointer>
#include <QTimer>

#include <filesystem>

namespace velkaro {

namespace {

using Ms = std::chrono::milliseconds;

SoundClock::Duration ShowTimeOf(const PlayPosition& position, const ShowSettings& settings,
                                SoundClock::Duration tick) {
    return ShowTimeAt(position.PlayStep, position.PlayTick, settings.StepLength, tick);
}

} // namespace

SongTrack::SongTrack(QObject* parent, ShowPublisher& publisher, const SettingsControls& settings)
    : QObject(parent), publisher_(&publisher), settings_(settings) {
    // The preview loops, and so does its song: at the song's end both start again from step 0.
    endWatch_ = new QTimer(this);
    endWatch_->setInterval(100);
    connect(endWatch_, &QTimer::timeout, this, [this] {
        if (player_ && player_->IsPlaying() && player_->Ended())
            player_->PlayFrom(SoundClock::Duration(0), publisher_->Engine().Speed());
    });
}

// The window's parts go in the order they were made, the engine's publisher before this: the
// engine is let go of the clock only while it is still there.
SongTrack::~SongTrack() {
    if (publisher_) publisher_->Engine().SetSoundClock(nullptr);
    waveform_.reset();
    player_.reset();
}

void SongTrack::Attach(const std::string& path) {
    auto player = std::make_unique<SongPlayer>(path, sink_, SongPlayer::BeatClicks::Offered);
    Detach();
    player_ = std::move(player);
    project_.SongPath = path;
    Place();
    // On the decoding thread: one repaint waits in the queue at most.
    QPointer<SongTrack> self(this);
    auto posted = peaksPosted_;
    waveform_ = std::make_unique<SongWaveform>(path, [self, posted] {
        if (posted->exchange(true)) return;
        QMetaObject::invokeMethod(
            self,
            [self, posted] {
                *posted = false;
                if (self) emit self->peaksDecoded();
            },
            Qt::QueuedConnection);
    });
    publisher_->Engine().SetSoundClock(player_.get());
    endWatch_->start();
    if (publisher_->Engine().IsPlaying())
        Play(publisher_->Engine().Position(), publisher_->Engine().Speed());
    emit songChanged();
}

void SongTrack::Detach() {
    if (!player_) return;
    // The engine lets go of the clock before it goes away.
    publisher_->Engine().SetSoundClock(nullptr);
    endWatch_->stop();
    waveform_.reset();
    player_.reset();
    project_.SongPath.clear();
    emit songChanged();
}

void SongTrack::SetSongStartMs(std::int64_t ms) {
    if (ms == project_.SongStartMs) return;
    project_.SongStartMs = std::max<std::int64_t>(ms, 0);
    Place();
    emit songChanged();
}

void SongTrack::SetLightsLaterMs(int ms) {
    if (ms == project_.LatencyMs) return;
    project_.LatencyMs = std::clamp(ms, -MaxLatencyMs, MaxLatencyMs);
    Place();
    emit songChanged();
}

void SongTrack::SetTempo(const ShowTempo& tempo) {
    ShowTempo normal{NormalisedBpm(tempo.Bpm),
                     IsStepsPerBeatChoice(tempo.StepsPerBeat) ? tempo.StepsPerBeat : 1};
    if (normal == project_.Tempo) return;
    project_.Tempo = normal;
    ApplyTempo();
    Place();
    emit songChanged();
}

void SongTrack::ApplyTempo() {
    publisher_->Engine().SetTickLength(TickLengthOf(project_.Tempo, settings_.Values().StepLength));
}

double SongTrack::StepMs() const {
    const auto tick = std::chrono::duration<double, std::milli>(publisher_->Engine().TickLength());
    return tick.count() * std::max(settings_.Values().StepLength, 1);
}

std::optional<double> SongTrack::PlayingSongSeconds() const {
    if (!player_ || !player_->IsPlaying()) return std::nullopt;
    const std::optional<SoundClock::Duration> at = player_->SongPosition();
    if (!at) return std::nullopt;
    return std::chrono::duration<double>(*at).count();
}

void SongTrack::SetBeatClick(bool on) {
    beatClick_ = on;
    Place();
}

// The first beat is where step 0 starts in the song.
void SongTrack::Place() {
    if (!player_) return;
    player_->SetShowPlacement(Ms(project_.SongStartMs), Ms(project_.LatencyMs));
    const bool clicking = beatClick_ && project_.Tempo.IsSet();
    player_->SetBeatClick(
        clicking ? std::optional(BeatGridOf(project_.Tempo.Bpm, project_.SongStartMs * 1'000'000))
                 : std::nullopt);
}

void SongTrack::Play(const PlayPosition& from, int speed) {
    if (player_)
        player_->PlayFrom(ShowTimeOf(from, settings_.Values(), publisher_->Engine().TickLength()),
                          speed);
}

void SongTrack::Pause() {
    if (player_) player_->Pause();
}

void SongTrack::Rewind(bool playing, int speed) {
    if (player_ && playing) player_->PlayFrom(SoundClock::Duration(0), speed);
}

void SongTrack::SetSpeed(int speed) {
    if (player_) player_->SetSpeed(speed);
}

void SongTrack::FollowLoadedShow(const std::string& showPath) {
    Detach();
    project_ = ShowProject{};
    ApplyTempo();
    const std::optional<ShowProject> project = ReadShowProject(showPath);
    if (!project) return;
    project_ = *project;
    ApplyTempo();
    project_.SongPath.clear();
    emit songChanged();
    if (!project->HasSong()) return;
    if (!std::filesystem::exists(project->SongPath))
        throw ShowError(MissingSongMessage(project->SongPath));
    try {
        Attach(project->SongPath);
    } catch (const ShowError& error) {
        throw ShowError(std::string(error.what()) + "; die Show wurde ohne Musik geladen");
    }
}

void SongTrack::SaveBeside(const std::string& showPath) const {
    WriteShowProject(showPath, project_);
}

} // namespace velkaro
