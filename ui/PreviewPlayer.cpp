// The preview bar that plays the show: one bar per output, blended from step to step as the
// lamps show it.
#include "ui/PreviewPlayer.h"

#include "ui/SettingsControls.h"
#include "ui/ShowPublisher.h"
#include "ui/ShowState.h"
#include "ui/controls/Align.h"
#include "ui/controls/PaintBox.h"
#include "ui/controls/Panel.h"

#include <QGroupBox>
#include <QScrollBar>
#include <QSocketNotifier>
#include <QTimer>

#include <sys/eventfd.h>
#include <unistd.h>

namespace velkaro {

namespace {

constexpr int TickMs = 100; // one tenth of a second of the show at 100 % speed

// A solid area: pen and brush of one colour, so the outline vanishes into the fill.
void FillSolid(Canvas& canvas, const PreviewRect& area, TColor colour) {
    canvas.SetPenColor(colour);
    canvas.SetBrushColor(colour);
    canvas.Rectangle(area.Left, area.Top, area.Right, area.Bottom);
}

} // namespace

PreviewPlayer::PreviewPlayer(QObject* parent, const ShowState& show,
                             const SettingsControls& settings, ShowPublisher& publisher)
    : QObject(parent), show_(show), settings_(settings), publisher_(publisher) {
    previewTimer_ = new QTimer(this);
    previewTimer_->setObjectName("previewTimer");
    previewTimer_->setInterval(TickMs);
    previewTimer_->start();
    connect(previewTimer_, &QTimer::timeout, this, [this] {
        FollowTimer();
        EngineTicked();
    });
    tickEvents_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    auto* notifier = new QSocketNotifier(tickEvents_, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &PreviewPlayer::TakeTickEvents);
    publisher_.Engine().SetTickListener(this);
}

// The publisher, made first, is gone with the engine's thread before this runs.
PreviewPlayer::~PreviewPlayer() {
    ::close(tickEvents_);
}

// On the engine's thread: no allocation, no lock, nothing of Qt.
void PreviewPlayer::OnEngineTick(const PlayPosition&) noexcept {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(tickEvents_, &one, sizeof one);
}

void PreviewPlayer::TakeTickEvents() {
    std::uint64_t ticks = 0;
    [[maybe_unused]] const ssize_t read = ::read(tickEvents_, &ticks, sizeof ticks);
    EngineTicked();
}

void PreviewPlayer::BuildBar(QWidget* area) {
    auto* panel = new Panel(area, "Preview");
    panel->setObjectName("previewPanel");
    panel->resize(100, 25);
    SetAlign(panel, Align::Bottom);
    previewBar_ = new PaintBox(panel);
    previewBar_->setObjectName("previewBar");
    previewBar_->setAccessibleName("Vorschau");
    SetAlign(previewBar_, Align::Client);
    // The two pixel rows between the bars and the black bands are never drawn by a tick; they
    // show the face of the panel beneath the bar, as does the whole bar before the first tick.
    const TColor face = Canvas::FromRgb(panel->palette().color(QPalette::Window).rgb());
    previewBar_->SetBackground(face);
    Canvas& canvas = previewBar_->canvas();
    canvas.SetBrushColor(face);
    canvas.FillRect(0, 0, canvas.Width(), canvas.Height());
    previewBar_->OnClick = [this] { ToggleStopped(); };
}

QScrollBar* PreviewPlayer::BuildSpeedBar(QGroupBox* box) {
    previewSpeedGroup_ = box;
    previewSpeedBar_ = new QScrollBar(Qt::Horizontal, box);
    previewSpeedBar_->setObjectName("previewSpeedBar");
    previewSpeedBar_->setAccessibleName("Vorschaugeschwindigkeit");
    previewSpeedBar_->setGeometry(2, box->height() - 17 - 2, 135, 17);
    previewSpeedBar_->setRange(MinPreviewSpeed, MaxPreviewSpeed);
    previewSpeedBar_->setValue(100);
    connect(previewSpeedBar_, &QScrollBar::valueChanged, this, &PreviewPlayer::SpeedChanged);
    return previewSpeedBar_;
}

void PreviewPlayer::Tick() {
    // The step is taken with the settings the controls hold now.
    publisher_.PublishNow();
    FollowTimer();
    publisher_.Engine().StepOneTick();
    Draw(publisher_.Engine().Position());
}

void PreviewPlayer::EngineTicked() {
    FollowTimer();
    const PlayPosition position = publisher_.Engine().Position();
    if (!(position == drawn_)) Draw(position);
}

void PreviewPlayer::Draw(const PlayPosition& position) {
    drawn_ = position;
    // The cells and settings as they are now, so every edit shows at the next tick.
    const ShowSettings settings = settings_.Values();
    const PreviewFrame frame =
        PreviewClock(position.PlayStep, position.PlayTick)
            .FrameAt(settings.Steps, settings.StepLength, settings.BlendMode, 0.0);
    const int bars = ComputePreviewColours(show_.Cells, settings.Outputs, frame, colours_);
    const PreviewBarLayout layout =
        LayoutPreviewBar(previewBar_->width(), previewBar_->height(), bars);
    Canvas& canvas = previewBar_->canvas();
    for (int i = 0; i < bars; ++i)
        FillSolid(canvas, layout.Bar(i), colours_[static_cast<std::size_t>(i)]);
    for (const PreviewRect& area : layout.BlackAreas) FillSolid(canvas, area, Black);
    emit ticked();
}

void PreviewPlayer::SpeedChanged() {
    const int speed = previewSpeedBar_->value();
    emit speedChanging(speed);
    previewTimer_->setInterval(PreviewIntervalMs(speed));
    publisher_.Engine().SetSpeed(speed);
    previewSpeedGroup_->setTitle(QString::fromStdString(PreviewSpeedCaption(speed)));
}

int PreviewPlayer::IntervalMs() const {
    return previewTimer_->interval();
}

bool PreviewPlayer::IsPlaying() const {
    return previewTimer_->isActive();
}

void PreviewPlayer::SetPlaying(bool playing) {
    if (playing)
        previewTimer_->start();
    else
        previewTimer_->stop();
    FollowTimer();
}

void PreviewPlayer::ToggleStopped() {
    SetPlaying(!previewTimer_->isActive());
}

void PreviewPlayer::FollowTimer() {
    PlaybackEngine& engine = publisher_.Engine();
    if (engine.IsPlaying() == previewTimer_->isActive()) return;
    // A stop holds what the bar shows, as when the bar's own timer kept the time.
    if (previewTimer_->isActive()) {
        emit starting(engine.Position(), engine.Speed());
        engine.SetPlaying(true);
    } else {
        emit stopping();
        engine.StopAt(drawn_);
    }
}

void PreviewPlayer::Rewind() {
    FollowTimer();
    emit rewinding(previewTimer_->isActive(), publisher_.Engine().Speed());
    publisher_.Engine().Rewind();
    drawn_ = PlayPosition{};
}

int PreviewPlayer::Speed() const {
    return publisher_.Engine().Speed();
}

PreviewClock PreviewPlayer::Clock() {
    FollowTimer();
    const PlayPosition position = publisher_.Engine().Position();
    return PreviewClock(position.PlayStep, position.PlayTick);
}

} // namespace velkaro
