#pragma once

#include "audio/BeatFinder.h"
#include "model/TapTempo.h"

#include <QElapsedTimer>
#include <QWidget>

#include <atomic>
#include <memory>
#include <thread>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QProgressBar;
class QPushButton;

namespace velkaro {

class SettingsControls;
class SongTrack;

// The column of the show's tempo, right of everything else: the tempo in beats a minute, how
// many steps a beat has, tapping along, and finding the beat of the song. With a tempo the
// steps keep the beat; without one (an empty tempo field) they last StepLength as always.
class TempoColumn : public QWidget {
    Q_OBJECT
public:
    static constexpr int Width = 112;

    TempoColumn(QWidget* window, SongTrack& song, SettingsControls& settings);
    ~TempoColumn() override;

    // A tap, timed on the song's clock while it plays.
    void Tap();
    // Starts the search for the song's beat on a thread of its own; again cancels it.
    void FindBeat();
    bool FindingBeat() const { return finder_ != nullptr; }

    QDoubleSpinBox* TempoField() const { return tempoField_; }
    QComboBox* StepsPerBeatChoice() const { return stepsPerBeatChoice_; }
    QCheckBox* BeatClickBox() const { return beatClickBox_; }

private:
    void BuildControls();
    QPushButton* NewButton(const char* name, const QString& text, const QString& tip, QRect place);
    void FollowSong();
    void SetTempo(double bpm);
    void ScaleTempo(double factor);
    void TakeFoundBeat(std::optional<BeatProposal> beat, const std::string& error);
    void StopFinder();

    SongTrack& song_;
    SettingsControls& settings_;
    QDoubleSpinBox* tempoField_ = nullptr;
    QComboBox* stepsPerBeatChoice_ = nullptr;
    QPushButton* tapButton_ = nullptr;
    QPushButton* findButton_ = nullptr;
    QPushButton* doubleButton_ = nullptr;
    QPushButton* halveButton_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QCheckBox* beatClickBox_ = nullptr;
    TapTempo taps_;
    QElapsedTimer tapClock_;
    std::shared_ptr<std::atomic<bool>> cancel_;
    std::unique_ptr<std::thread> finder_;
};

} // namespace velkaro
