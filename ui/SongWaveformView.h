#pragma once

#include <QWidget>

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
    SongWaveformView(QWidget* parent, const SongTrack& song, const GridView& grid,
                     PreviewPlayer& preview, const SettingsControls& settings);

    // The song's time shown at a pixel row, in milliseconds (may be negative before step 0).
    double SongMsAtRow(int y) const;
    // The pixel row of the bar's position; -1 when it is not in view.
    int BarRow() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double RowsPerMs() const;
    void PaintBeats(QPainter& painter) const;

    const SongTrack& song_;
    const GridView& grid_;
    PreviewPlayer& preview_;
    const SettingsControls& settings_;
};

} // namespace velkaro
