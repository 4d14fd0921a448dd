// The "Musik" column: the song's command, its settings and its waveform.
#include "ui/SongColumn.h"

#include "audio/SongPlayer.h"
#include "ui/ErrorHandling.h"
#include "ui/FileDialogs.h"
#include "ui/GridView.h"
#include "ui/PreviewPlayer.h"
#include "ui/SongTrack.h"
#include "ui/SongWaveformView.h"
#include "ui/controls/Align.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace velkaro {

namespace {

// Shown as "Musik"; the dialog matches the patterns in any letter case.
const QString SongFilter = "Musik (*.wav *.flac *.ogg *.oga *.opus *.mp3)";
constexpr int ControlsTop = 692;

} // namespace

SongColumn::SongColumn(QWidget* window, SongTrack& song, PreviewPlayer& preview,
                       const SettingsControls& settings)
    : QWidget(window), song_(song), preview_(preview), settings_(settings) {
    setObjectName("songColumn");
    resize(Width, window->height());
    SetAlign(this, Align::Right);
    BuildControls();
}

void SongColumn::FollowGrid(GridView& grid) {
    grid_ = &grid;
    waveform_ = new SongWaveformView(this, song_, grid, preview_, settings_);
    connect(&song_, &SongTrack::songChanged, this, &SongColumn::FollowSong);
    connect(&song_, &SongTrack::peaksDecoded, waveform_, qOverload<>(&QWidget::update));
    connect(grid_, &GridView::painted, this, &SongColumn::Arrange);
    connect(&preview_, &PreviewPlayer::ticked, waveform_, qOverload<>(&QWidget::update));
    FollowSong();
    Arrange();
}

void SongColumn::BuildControls() {
    songButton_ = new QPushButton("Musik", this);
    songButton_->setObjectName("songButton");
    songButton_->setToolTip("Musik zur Show wählen");
    songButton_->setGeometry(8, ControlsTop, 90, 25);
    connect(songButton_, &QPushButton::clicked, this, &SongColumn::ChooseSong);
    removeSongButton_ = new QPushButton("X", this);
    removeSongButton_->setObjectName("removeSongButton");
    removeSongButton_->setAccessibleName("Musik abnehmen");
    removeSongButton_->setToolTip("Musik abnehmen");
    removeSongButton_->setGeometry(102, ControlsTop, 25, 25);
    connect(removeSongButton_, &QPushButton::clicked, this, &SongColumn::TakeSongOff);
    songNameLabel_ = new QLabel(this);
    songNameLabel_->setObjectName("songNameLabel");
    songNameLabel_->setGeometry(8, ControlsTop + 28, 120, 16);
    const auto spinner = [this](const char* name, const QString& caption, int y, int low, int high,
                                QLabel*& label) {
        label = new QLabel(caption, this);
        label->setGeometry(8, y, 66, 22);
        auto* box = new QSpinBox(this);
        box->setObjectName(name);
        box->setAccessibleName(caption);
        box->setRange(low, high);
        box->setSingleStep(10);
        box->setGeometry(74, y, 56, 22);
        return box;
    };
    songStartSpinner_ =
        spinner("songStartSpinner", "Beginn ms", ControlsTop + 46, 0, 3600000, songStartLabel_);
    songStartSpinner_->setToolTip("Wo Schritt 0 in der Musik beginnt");
    lightsLaterSpinner_ = spinner("lightsLaterSpinner", "Versatz ms", ControlsTop + 70,
                                  -MaxLatencyMs, MaxLatencyMs, lightsLaterLabel_);
    lightsLaterSpinner_->setToolTip("So viel später als der Ton folgen die Lampen");
    connect(songStartSpinner_, &QSpinBox::valueChanged, this,
            [this](int ms) { song_.SetSongStartMs(ms); });
    connect(lightsLaterSpinner_, &QSpinBox::valueChanged, this,
            [this](int ms) { song_.SetLightsLaterMs(ms); });
}

void SongColumn::ChooseSong() {
    RunGuarded(window(), [this] {
        auto* dialog = findChild<QFileDialog*>("openSongDialog");
        if (!dialog) {
            dialog =
                NewFileDialog(window(), "openSongDialog", QFileDialog::AcceptOpen, {SongFilter});
            // A name typed without an extension is taken as it is.
            dialog->setDefaultSuffix({});
        }
        const QString path = ChooseFile(dialog);
        if (!path.isEmpty()) song_.Attach(LocalPath(path));
    });
}

void SongColumn::TakeSongOff() {
    song_.Detach();
}

// Without a song only the command shows.
void SongColumn::FollowSong() {
    const bool has = song_.HasSong();
    for (QWidget* part : std::initializer_list<QWidget*>{
             waveform_, removeSongButton_, songNameLabel_, songStartLabel_, songStartSpinner_,
             lightsLaterLabel_, lightsLaterSpinner_})
        part->setVisible(has);
    const QSignalBlocker startBlocker(songStartSpinner_);
    const QSignalBlocker laterBlocker(lightsLaterSpinner_);
    songStartSpinner_->setValue(int(song_.Project().SongStartMs));
    lightsLaterSpinner_->setValue(song_.Project().LatencyMs);
    const QString name =
        has ? QFileInfo(QString::fromLocal8Bit(song_.Project().SongPath.c_str())).fileName() : "";
    songNameLabel_->setText(songNameLabel_->fontMetrics().elidedText(name, Qt::ElideMiddle, 120));
    songNameLabel_->setToolTip(name);
    waveform_->update();
}

void SongColumn::resizeEvent(QResizeEvent*) {
    if (grid_) Arrange();
}

// The waveform lies exactly beside the grid's rows.
void SongColumn::Arrange() {
    const QWidget* surface = grid_->Surface();
    const QPoint top = surface->mapTo(window(), QPoint(0, 0)) - mapTo(window(), QPoint(0, 0));
    const QRect place(4, top.y(), Width - 8, surface->height());
    if (waveform_->geometry() != place) waveform_->setGeometry(place);
    waveform_->update();
}

} // namespace velkaro
