#pragma once

#include "commands/PreviewClock.h"
#include "playback/PlaybackEngine.h"
#include "playback/PlaybackTimeline.h"

#include <QObject>

#include <atomic>

class QGroupBox;
class QScrollBar;
class QTimer;
class QWidget;

namespace velkaro {

class PaintBox;
class SettingsControls;
class ShowPublisher;
struct ShowState;

// The preview: a bar below the grid that plays the show as the lamps show it, one bar per
// output, and the speed bar in the command panel. The playback engine keeps the time; the bar
// draws the engine's position at each of its ticks, so bar and lamps never drift apart, and
// a window thread that was held up draws the newest tick once when it is free again.
// The timer stands for play: it runs while the show plays, at the tick interval.
class PreviewPlayer : public QObject, private TickListener {
    Q_OBJECT
public:
    PreviewPlayer(QObject* parent, const ShowState& show, const SettingsControls& settings,
                  ShowPublisher& publisher);
    ~PreviewPlayer() override;

    // Places the preview bar at the bottom of the grid area.
    void BuildBar(QWidget* area);
    // Places the speed bar into its group box; returns it.
    QScrollBar* BuildSpeedBar(QGroupBox* box);

    // One tick by hand: advances the counters and draws the bars.
    void Tick();
    bool IsPlaying() const;
    void SetPlaying(bool playing);
    // The time between two ticks at the speed set now.
    int IntervalMs() const;
    // Stopping keeps the counters and the last picture; starting again continues from there.
    void ToggleStopped();

    // Puts the counters back to the show's first step.
    void Rewind();
    // The counters of the engine's newest tick.
    PreviewClock Clock();
    int Speed() const;
    const PreviewColours& Colours() const { return colours_; }

signals:
    // After every tick drawn, with the moment it shows.
    void ticked();
    // The transport, for the song that plays along: each comes before the engine moves, so
    // the engine never follows a song that is about to move away.
    void starting(const velkaro::PlayPosition& from, int speed);
    void stopping();
    void rewinding(bool playing, int speed);
    void speedChanging(int speed);

private:
    void SpeedChanged();
    // Follows a timer started or stopped directly.
    void FollowTimer();
    void EngineTicked();
    void OnEngineTick(const PlayPosition& position) noexcept override;
    void TakeTickEvents();
    void Draw(const PlayPosition& position);

    const ShowState& show_;
    const SettingsControls& settings_;
    ShowPublisher& publisher_;
    PaintBox* previewBar_ = nullptr;
    QGroupBox* previewSpeedGroup_ = nullptr;
    QScrollBar* previewSpeedBar_ = nullptr;
    QTimer* previewTimer_ = nullptr;
    PreviewColours colours_{};
    PlayPosition drawn_; // what the bar shows
    // Written on the engine's thread at every tick; the window's thread is told through a
    // socket notifier and reads it, so many ticks while the window is busy make one redraw.
    int tickEvents_ = -1;
};

} // namespace velkaro
