#pragma once

#include "files/ShowProject.h"
#include "playback/PlaybackTimeline.h"

#include <QObject>
#include <QPointer>

class QTimer;

#include <atomic>
#include <memory>
#include <optional>
#include <string>

namespace velkaro {

class SongPlayer;
class SongWaveform;
class ShowPublisher;
class SettingsControls;

// The song of the show: attached and taken off, played along with the preview, kept in the
// project file beside the show. The sound device's clock leads: the engine follows the song's
// position while one is attached.
class SongTrack : public QObject {
    Q_OBJECT
public:
    SongTrack(QObject* parent, ShowPublisher& publisher, const SettingsControls& settings);
    ~SongTrack() override;

    bool HasSong() const { return player_ != nullptr; }
    const ShowProject& Project() const { return project_; }
    const SongWaveform* Waveform() const { return waveform_.get(); }
    const SongPlayer* Player() const { return player_.get(); }

    // Where the sound goes: empty for the system's usual output (tests name a sink of theirs).
    void SetSinkDescription(const std::string& description) { sink_ = description; }

    // Attaches the song at path; a song that cannot be played throws ShowError and changes
    // nothing. Playing preview starts it at once at the bar's step.
    void Attach(const std::string& path);
    void Detach();
    void SetSongStartMs(std::int64_t ms);
    void SetLightsLaterMs(int ms);
    // Locks the steps to a tempo (Bpm 0: none); the engine's tick follows at once.
    void SetTempo(const ShowTempo& tempo);
    // A click at every beat of the tempo while the song plays, so the ear can check the tempo
    // and the first beat against the music. Kept for the next song.
    void SetBeatClick(bool on);
    // The engine's tick for the tempo and the step length the controls hold now.
    void ApplyTempo();
    // One step as it plays at 100 % speed, in milliseconds.
    double StepMs() const;
    // Where the sink plays in the song, while it plays.
    std::optional<double> PlayingSongSeconds() const;

    // The preview's transport.
    void Play(const PlayPosition& from, int speed);
    void Pause();
    void Rewind(bool playing, int speed);
    void SetSpeed(int speed);

    // After the show at showPath was loaded: takes up the song of its project file, or none.
    // A damaged project file or a missing song throws ShowError once the song is off.
    void FollowLoadedShow(const std::string& showPath);
    // After the show was saved at showPath: the project file beside it follows.
    void SaveBeside(const std::string& showPath) const;

signals:
    // A song was attached or taken off, or its placement or tempo changed.
    void songChanged();
    // More of the waveform was decoded.
    void peaksDecoded();

private:
    void Place();

    QPointer<ShowPublisher> publisher_;
    const SettingsControls& settings_;
    std::string sink_;
    ShowProject project_;
    bool beatClick_ = false;
    QTimer* endWatch_ = nullptr;
    std::unique_ptr<SongPlayer> player_;
    std::unique_ptr<SongWaveform> waveform_;
    std::shared_ptr<std::atomic<bool>> peaksPosted_ = std::make_shared<std::atomic<bool>>(false);
};

} // namespace velkaro
