#pragma once

#include <QWidget>

#include <cstdint>
#include <optional>
#include <utility>

class QPainter;

namespace velkaro {

class GridView;
class PreviewPlayer;
class SettingsControls;
class SongTrack;

// The song's waveform drawn along the grid's rows: every step row beside the stretch of the
// song its step plays, time running downwards as the steps do, the bar's position a red line.
// It draws from what is decoded so far and follows the grid's scrolling.
class SongWaveformView : public QWidget {
    Q_OBJECT
public:
    SongWaveformView(QWidget* parent, SongTrack& song, const GridView& grid, PreviewPlayer& preview,
                     const SettingsControls& settings);

    // The song's time shown at a pixel row, in milliseconds (may be negative before step 0).
    double SongMsAtRow(int y) const;
    // The pixel row of the bar's position; -1 when it is not in view.
    int BarRow() const;
    // The pixel row of the first beat (where step 0 starts); -1 without a tempo or out of view.
    int FirstBeatRow() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    // With a tempo, the first beat's line can be dragged: the song moves against the steps.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    double RowsPerMs() const;
    void PaintBeats(QPainter& painter) const;

    SongTrack& song_;
    // While the first beat is dragged: where the press was and the song's start then.
    std::optional<std::pair<int, std::int64_t>> drag_;
    const GridView& grid_;
    PreviewPlayer& preview_;
    const SettingsControls& settings_;
};

} // namespace velkaro
