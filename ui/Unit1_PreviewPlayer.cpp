// The preview bar that plays the show: one bar per output, blended from step to step as the
// lamps would show it.
#include "ui/Unit1.h"

#include "ui/controls/PaintBox.h"
#include "ui/controls/Panel.h"

#include <QGroupBox>
#include <QScrollBar>
#include <QTimer>

namespace velkaro {

namespace {

// A solid area: pen and brush of one colour, so the outline vanishes into the fill.
void FillSolid(Canvas& canvas, const PreviewRect& area, TColor colour) {
    canvas.SetPenColor(colour);
    canvas.SetBrushColor(colour);
    canvas.Rectangle(area.Left, area.Top, area.Right, area.Bottom);
}

} // namespace

void TFVelkaro::ConnectPreview() {
    // The two pixel rows between the bars and the black bands are never drawn by a tick; they
    // show the face of the panel beneath the bar, as does the whole bar before the first tick.
    const TColor face = Canvas::FromRgb(Panel10->palette().color(QPalette::Window).rgb());
    pbp->SetBackground(face);
    Canvas& canvas = pbp->canvas();
    canvas.SetBrushColor(face);
    canvas.FillRect(0, 0, canvas.Width(), canvas.Height());

    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    connect(sbp, &QScrollBar::valueChanged, this, [this] { sbpChange(); });
    pbp->OnClick = [this] { pbpClick(); };
}

void TFVelkaro::Timer1Timer() {
    // Settings and cells are read afresh on every tick, so every edit shows on the next one.
    const int bars = PreviewTick(PlayClock, Cells, Settings(), PlayColours);
    const PreviewBarLayout layout = LayoutPreviewBar(pbp->width(), pbp->height(), bars);
    Canvas& canvas = pbp->canvas();
    for (int i = 0; i < bars; ++i)
        FillSolid(canvas, layout.Bar(i), PlayColours[static_cast<std::size_t>(i)]);
    for (const PreviewRect& area : layout.BlackAreas) FillSolid(canvas, area, Black);
}

void TFVelkaro::sbpChange() {
    const int speed = sbp->value();
    Timer1->setInterval(PreviewIntervalMs(speed));
    gbp->setTitle(QString::fromStdString(PreviewSpeedCaption(speed)));
}

void TFVelkaro::pbpClick() {
    // Stopping keeps the counters and the last picture; starting again continues from there.
    if (Timer1->isActive())
        Timer1->stop();
    else
        Timer1->start();
}

} // namespace velkaro
