#pragma once

#include "commands/PreviewClock.h"

#include <QObject>

class QGroupBox;
class QScrollBar;
class QTimer;
class QWidget;

namespace velkaro {

class PaintBox;
class SettingsControls;
struct ShowState;

// The preview: a bar below the grid that plays the show as the lamps would, one bar per
// output, its timer, its counters and the speed bar in the command panel.
class PreviewPlayer : public QObject {
    Q_OBJECT
public:
    PreviewPlayer(QObject* parent, const ShowState& show, const SettingsControls& settings);

    // Places the preview bar at the bottom of the grid area.
    void BuildBar(QWidget* area);
    // Places the speed bar into its group box; returns it.
    QScrollBar* BuildSpeedBar(QGroupBox* box);

    // One tick: advances the counters and draws the bars.
    void Tick();
    bool IsPlaying() const;
    // The time between two ticks at the speed set now.
    int IntervalMs() const;
    // Stopping keeps the counters and the last picture; starting again continues from there.
    void ToggleStopped();

    // Puts the counters back to the show's first step.
    void Rewind() { clock_ = PreviewClock{}; }
    const PreviewClock& Clock() const { return clock_; }
    const PreviewColours& Colours() const { return colours_; }

signals:
    // After every tick, with the moment it shows.
    void ticked();

private:
    void SpeedChanged();

    const ShowState& show_;
    const SettingsControls& settings_;
    PaintBox* previewBar_ = nullptr;
    QGroupBox* previewSpeedGroup_ = nullptr;
    QScrollBar* previewSpeedBar_ = nullptr;
    QTimer* previewTimer_ = nullptr;
    PreviewClock clock_;
    PreviewColours colours_{};
};

} // namespace velkaro
