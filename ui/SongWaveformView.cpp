// The song's waveform beside the grid's rows.
#include "ui/SongWaveformView.h"

#include "audio/SongWaveform.h"
#include "ui/GridView.h"
#include "ui/PreviewPlayer.h"
#include "ui/SettingsControls.h"
#include "ui/SongTrack.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace velkaro {

namespace {

const QColor Background(16, 24, 32);
const QColor Wave(96, 200, 140);
const QColor StepLine(48, 64, 80);
const QColor BarLine(255, 48, 48);
const QColor BeatLine(230, 200, 80);
const QColor FirstBeatLine(255, 230, 120);
constexpr int BeatTickLength = 10;
constexpr int FirstBeatGrip = 4; // pixels either side of the line that take hold of it

} // namespace

SongWaveformView::SongWaveformView(QWidget* parent, SongTrack& song, const GridView& grid,
                                   PreviewPlayer& preview, const SettingsControls& settings)
    : QWidget(parent), song_(song), grid_(grid), preview_(preview), settings_(settings) {
    setObjectName("songWaveform");
    setAccessibleName("Wellenform der Musik");
    setAttribute(Qt::WA_OpaquePaintEvent);
}

double SongWaveformView::RowsPerMs() const {
    return std::max(grid_.RowHeight(), 1) / song_.StepMs();
}

double SongWaveformView::SongMsAtRow(int y) const {
    return double(song_.Project().SongStartMs) + grid_.TopRow() * song_.StepMs() + y / RowsPerMs();
}

int SongWaveformView::BarRow() const {
    const PreviewClock clock = preview_.Clock();
    const int stepLength = std::max(settings_.Values().StepLength, 1);
    const int rowHeight = std::max(grid_.RowHeight(), 1);
    const int y =
        (clock.PlayStep() - grid_.TopRow()) * rowHeight + clock.PlayTick() * rowHeight / stepLength;
    return y >= 0 && y < height() ? y : -1;
}

// Every beat of the tempo as a tick on both edges; the first beat, where step 0 starts, across.
void SongWaveformView::PaintBeats(QPainter& painter) const {
    const ShowTempo& tempo = song_.Project().Tempo;
    if (!tempo.IsSet()) return;
    const double beatMs = 60000.0 / tempo.Bpm;
    const double first = double(song_.Project().SongStartMs);
    const double top = SongMsAtRow(0);
    const double perMs = RowsPerMs();
    const auto fromBeat = std::int64_t(std::ceil((top - first) / beatMs));
    const auto toBeat = std::int64_t(std::floor((SongMsAtRow(height()) - first) / beatMs));
    for (std::int64_t k = fromBeat; k <= toBeat && k - fromBeat < 2000; ++k) {
        const int y = int(std::lround((first + double(k) * beatMs - top) * perMs));
        painter.setPen(k == 0 ? FirstBeatLine : BeatLine);
        if (k == 0) {
            painter.drawLine(0, y, width(), y);
            continue;
        }
        painter.drawLine(0, y, BeatTickLength, y);
        painter.drawLine(width() - BeatTickLength, y, width(), y);
    }
}

int SongWaveformView::FirstBeatRow() const {
    if (!song_.Project().Tempo.IsSet()) return -1;
    const double first = double(song_.Project().SongStartMs);
    const int y = int(std::lround((first - SongMsAtRow(0)) * RowsPerMs()));
    return y >= 0 && y < height() ? y : -1;
}

void SongWaveformView::mousePressEvent(QMouseEvent* event) {
    const int first = FirstBeatRow();
    const int y = int(event->position().y());
    if (first < 0 || std::abs(y - first) > FirstBeatGrip) return QWidget::mousePressEvent(event);
    drag_ = std::make_pair(y, song_.Project().SongStartMs);
}

// Dragging down brings the song's earlier part to step 0, so the beat under the pointer
// becomes the first.
void SongWaveformView::mouseMoveEvent(QMouseEvent* event) {
    if (!drag_) return QWidget::mouseMoveEvent(event);
    const double movedMs = (event->position().y() - drag_->first) / RowsPerMs();
    song_.SetSongStartMs(std::max<std::int64_t>(0, drag_->second - std::llround(movedMs)));
    update();
}

void SongWaveformView::mouseReleaseEvent(QMouseEvent* event) {
    if (!drag_) return QWidget::mouseReleaseEvent(event);
    drag_.reset();
}

void SongWaveformView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Background);
    const SongWaveform* waveform = song_.Waveform();
    if (!waveform) return;
    const int rowHeight = std::max(grid_.RowHeight(), 1);
    painter.setPen(StepLine);
    for (int y = 0; y < height(); y += rowHeight) painter.drawLine(0, y, width(), y);
    const double centre = width() / 2.0;
    const double half = width() / 2.0 - 2;
    painter.setPen(Wave);
    using Ms = std::chrono::duration<double, std::milli>;
    for (int y = 0; y < height(); ++y) {
        const auto from = std::chrono::duration_cast<SongWaveform::Duration>(Ms(SongMsAtRow(y)));
        const auto to = std::chrono::duration_cast<SongWaveform::Duration>(Ms(SongMsAtRow(y + 1)));
        SongPeaks peaks;
        if (!waveform->PeaksBetween(from, to, peaks)) continue;
        painter.drawLine(QPointF(centre + peaks.Low * half, y + 0.5),
                         QPointF(centre + peaks.High * half, y + 0.5));
    }
    PaintBeats(painter);
    const int bar = BarRow();
    if (bar < 0) return;
    painter.setPen(BarLine);
    painter.drawLine(0, bar, width(), bar);
}

} // namespace velkaro
