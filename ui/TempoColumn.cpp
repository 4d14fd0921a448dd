// The tempo column: the show's steps on the song's beat.
#include "ui/TempoColumn.h"

#include "audio/SongBeat.h"
#include "model/ShowError.h"
#include "ui/ErrorHandling.h"
#include "ui/SettingsControls.h"
#include "ui/SongTrack.h"
#include "ui/controls/Align.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>

#include <cmath>

namespace velkaro {

namespace {

constexpr int Left = 6;
constexpr int Inner = TempoColumn::Width - 2 * Left;
const char* const StepsPerBeatNames[] = {"4 je Schlag", "2 je Schlag", "1 je Schlag", "½ je Schlag",
                                         "¼ je Schlag"};

} // namespace

TempoColumn::TempoColumn(QWidget* window, SongTrack& song, SettingsControls& settings)
    : QWidget(window), song_(song), settings_(settings) {
    setObjectName("tempoColumn");
    resize(Width, window->height());
    SetAlign(this, Align::Right);
    BuildControls();
    connect(&song_, &SongTrack::songChanged, this, &TempoColumn::FollowSong);
    // A new step length keeps the step on its share of the beat.
    connect(&settings_, &SettingsControls::playbackChanged, &song_, &SongTrack::ApplyTempo);
    FollowSong();
}

TempoColumn::~TempoColumn() {
    StopFinder();
}

QPushButton* TempoColumn::NewButton(const char* name, const QString& text, const QString& tip,
                                    QRect place) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(name);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setGeometry(place);
    return button;
}

void TempoColumn::BuildControls() {
    auto* caption = new QLabel("Tempo (BPM)", this);
    caption->setGeometry(Left, 8, Inner, 16);
    tempoField_ = new QDoubleSpinBox(this);
    tempoField_->setObjectName("tempoField");
    tempoField_->setAccessibleName("Tempo in Schlägen je Minute");
    tempoField_->setToolTip("Tempo der Musik; leer: Schritte ohne Takt");
    tempoField_->setRange(0, MaxTempoBpm);
    tempoField_->setDecimals(2);
    tempoField_->setSpecialValueText("kein");
    tempoField_->setGeometry(Left, 26, Inner, 22);
    connect(tempoField_, &QDoubleSpinBox::editingFinished, this,
            [this] { SetTempo(tempoField_->value()); });
    stepsPerBeatChoice_ = new QComboBox(this);
    stepsPerBeatChoice_->setObjectName("stepsPerBeatChoice");
    stepsPerBeatChoice_->setAccessibleName("Schritte je Schlag");
    for (const char* name : StepsPerBeatNames)
        stepsPerBeatChoice_->addItem(QString::fromUtf8(name));
    stepsPerBeatChoice_->setCurrentIndex(2);
    stepsPerBeatChoice_->setGeometry(Left, 52, Inner, 22);
    connect(stepsPerBeatChoice_, &QComboBox::activated, this,
            [this] { SetTempo(song_.Project().Tempo.Bpm); });
    tapButton_ = NewButton("tapButton", "Tippen (T)", "Im Takt tippen", {Left, 80, Inner, 25});
    connect(tapButton_, &QPushButton::pressed, this, &TempoColumn::Tap);
    auto* tapKey = new QShortcut(QKeySequence(Qt::Key_T), window());
    tapKey->setObjectName("tapKey");
    connect(tapKey, &QShortcut::activated, this, &TempoColumn::Tap);
    findButton_ = NewButton("findBeatButton", "Takt finden",
                            "Tempo und ersten Schlag der Musik finden", {Left, 112, Inner, 25});
    connect(findButton_, &QPushButton::clicked, this, &TempoColumn::FindBeat);
    doubleButton_ =
        NewButton("doubleTempoButton", "×2", "Tempo verdoppeln", {Left, 141, Inner / 2 - 2, 25});
    halveButton_ = NewButton("halveTempoButton", "÷2", "Tempo halbieren",
                             {Left + Inner / 2 + 2, 141, Inner / 2 - 2, 25});
    connect(doubleButton_, &QPushButton::clicked, this, [this] { ScaleTempo(2.0); });
    connect(halveButton_, &QPushButton::clicked, this, [this] { ScaleTempo(0.5); });
    progress_ = new QProgressBar(this);
    progress_->setObjectName("findBeatProgress");
    progress_->setRange(0, 100);
    progress_->setTextVisible(false);
    progress_->setGeometry(Left, 170, Inner, 10);
    progress_->hide();
    beatClickBox_ = new QCheckBox("Klick im Takt", this);
    beatClickBox_->setObjectName("beatClickBox");
    beatClickBox_->setToolTip("Bei jedem Schlag ein kurzer Klick, solange die Musik spielt");
    beatClickBox_->setAccessibleName(beatClickBox_->toolTip());
    beatClickBox_->setGeometry(Left, 186, Inner, 20);
    connect(beatClickBox_, &QCheckBox::toggled, &song_, &SongTrack::SetBeatClick);
}

void TempoColumn::FollowSong() {
    const ShowTempo& tempo = song_.Project().Tempo;
    const QSignalBlocker blocker(tempoField_);
    tempoField_->setValue(tempo.IsSet() ? tempo.Bpm : 0);
    for (int i = 0; i < int(std::size(StepsPerBeatChoices)); ++i)
        if (StepsPerBeatChoices[i] == tempo.StepsPerBeat) stepsPerBeatChoice_->setCurrentIndex(i);
    findButton_->setEnabled(song_.HasSong() || FindingBeat());
    doubleButton_->setEnabled(tempo.IsSet());
    halveButton_->setEnabled(tempo.IsSet());
    beatClickBox_->setEnabled(song_.HasSong() && tempo.IsSet());
}

// The step length shows the nearest tenths of the step's share, so a player that knows no
// tempo comes close.
void TempoColumn::SetTempo(double bpm) {
    const int choice = std::clamp(stepsPerBeatChoice_->currentIndex(), 0, 4);
    const ShowTempo tempo{NormalisedBpm(bpm), StepsPerBeatChoices[choice]};
    if (tempo.IsSet() && settings_.StepLength() != TempoStepLength(tempo))
        settings_.SetStepLength(TempoStepLength(tempo));
    song_.SetTempo(tempo);
    song_.ApplyTempo();
    FollowSong();
}

void TempoColumn::ScaleTempo(double factor) {
    if (song_.Project().Tempo.IsSet()) SetTempo(song_.Project().Tempo.Bpm * factor);
}

// While the song plays, taps are timed on its clock, so they also give the first beat: the
// beat nearest to where step 0 started, so the show keeps its place in the song.
void TempoColumn::Tap() {
    const std::optional<double> songAt = song_.PlayingSongSeconds();
    if (!tapClock_.isValid()) tapClock_.start();
    const double at = songAt ? *songAt : tapClock_.nsecsElapsed() / 1e9;
    const std::optional<TapTempo::Result> result = taps_.Tap(at);
    if (!result) return;
    SetTempo(result->Bpm);
    if (!songAt) return;
    const double start = double(song_.Project().SongStartMs) / 1000.0;
    double beat =
        result->BeatSeconds +
        std::round((start - result->BeatSeconds) / result->PeriodSeconds) * result->PeriodSeconds;
    if (beat < 0) beat += result->PeriodSeconds * std::ceil(-beat / result->PeriodSeconds);
    song_.SetSongStartMs(std::llround(beat * 1000.0));
}

void TempoColumn::FindBeat() {
    if (FindingBeat()) return StopFinder();
    if (!song_.HasSong()) return;
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    progress_->setValue(0);
    progress_->show();
    findButton_->setText("Abbrechen");
    QPointer<TempoColumn> self(this);
    auto cancel = cancel_;
    const std::string path = song_.Project().SongPath;
    finder_ = std::make_unique<std::thread>([self, cancel, path] {
        std::optional<BeatProposal> beat;
        std::string error;
        try {
            beat = FindSongBeat(path, [self, cancel](double done) {
                QMetaObject::invokeMethod(
                    self,
                    [self, done] {
                        if (self) self->progress_->setValue(int(done * 100));
                    },
                    Qt::QueuedConnection);
                return !cancel->load();
            });
            if (!beat && !cancel->load()) error = NoBeatMessage(path);
        } catch (const ShowError& fault) {
            error = fault.what();
        }
        if (cancel->load()) return;
        QMetaObject::invokeMethod(
            self,
            [self, beat, error] {
                if (self) self->TakeFoundBeat(beat, error);
            },
            Qt::QueuedConnection);
    });
}

void TempoColumn::StopFinder() {
    if (!finder_) return;
    cancel_->store(true);
    finder_->join();
    finder_.reset();
    progress_->hide();
    findButton_->setText("Takt finden");
    FollowSong();
}

void TempoColumn::TakeFoundBeat(std::optional<BeatProposal> beat, const std::string& error) {
    StopFinder();
    if (!error.empty()) {
        RunGuarded(window(), [&error] { throw ShowError(error); });
        return;
    }
    if (!beat) return;
    SetTempo(beat->Bpm);
    song_.SetSongStartMs(std::llround(beat->FirstBeatSeconds * 1000.0));
}

} // namespace velkaro
