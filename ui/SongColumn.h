#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QSpinBox;

namespace velkaro {

class GridView;
class PreviewPlayer;
class SettingsControls;
class SongTrack;
class SongWaveformView;

// The column right of the command panel: the "Musik" command, and with a song its waveform
// along the grid's step rows, its name, where step 0 starts in it and how much later the
// lights follow it. It has a place of its own, so no other control moves for it.
class SongColumn : public QWidget {
    Q_OBJECT
public:
    static constexpr int Width = 136;

    // Aligned at once, so it stays right of the command panel; the grid comes later.
    SongColumn(QWidget* window, SongTrack& song, PreviewPlayer& preview,
               const SettingsControls& settings);
    void FollowGrid(GridView& grid);

    // Attaches a song chosen in a dialog; errors reach the user.
    void ChooseSong();
    void TakeSongOff();

    const SongWaveformView& Waveform() const { return *waveform_; }
    QPushButton* SongButton() const { return songButton_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildControls();
    void FollowSong();
    void Arrange();

    SongTrack& song_;
    PreviewPlayer& preview_;
    const SettingsControls& settings_;
    GridView* grid_ = nullptr;
    SongWaveformView* waveform_ = nullptr;
    QPushButton* songButton_ = nullptr;
    QPushButton* removeSongButton_ = nullptr;
    QLabel* songNameLabel_ = nullptr;
    QLabel* songStartLabel_ = nullptr;
    QSpinBox* songStartSpinner_ = nullptr;
    QLabel* lightsLaterLabel_ = nullptr;
    QSpinBox* lightsLaterSpinner_ = nullptr;
};

} // namespace velkaro
