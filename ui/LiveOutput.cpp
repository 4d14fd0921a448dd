#include "ui/LiveOutput.h"

#include "commands/LiveFrame.h"
#include "ui/PreviewPlayer.h"
#include "ui/SettingsControls.h"
#include "ui/ShowState.h"
#include "ui/controls/UpDown.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace velkaro {

namespace {

// 50 frames a second between the preview's ticks, as lighting desks send; every tick sends one
// more at once, so steps change on the lamps exactly when the preview moves on.
constexpr int FrameIntervalMs = 20;

QString StatusText(LiveOutputStatus status) {
    switch (status) {
    case LiveOutputStatus::Connected:
        return "Verbunden mit olad";
    case LiveOutputStatus::NoConnection:
        return "Keine Verbindung zu olad";
    case LiveOutputStatus::ConnectionLost:
        return "Verbindung verloren, neuer Versuch …";
    case LiveOutputStatus::Off:
        break;
    }
    return "Aus";
}

} // namespace

LiveOutput::LiveOutput(QObject* parent, const ShowState& show, const SettingsControls& settings,
                       const PreviewPlayer& preview, int olaPort)
    : QObject(parent), show_(show), settings_(settings), preview_(preview), sender_(olaPort) {
    frameTimer_ = new QTimer(this);
    frameTimer_->setObjectName("liveFrameTimer");
    frameTimer_->setTimerType(Qt::PreciseTimer);
    frameTimer_->setInterval(FrameIntervalMs);
    connect(frameTimer_, &QTimer::timeout, this, &LiveOutput::FrameTimerFired);
    connect(&preview, &PreviewPlayer::ticked, this, &LiveOutput::PreviewTicked);
    sinceTick_.start();
}

void LiveOutput::BuildGroup(QGroupBox* box) {
    liveOutputCheck_ = new QCheckBox("An Lampen senden", box);
    liveOutputCheck_->setObjectName("liveOutputCheck");
    liveOutputCheck_->setToolTip("Die Show über olad (OLA) live an die Lampen senden");
    liveOutputCheck_->setGeometry(8, 16, 128, 17);
    auto* universeLabel = new QLabel("Universum", box);
    universeLabel->setObjectName("universeLabel");
    universeLabel->setGeometry(8, 40, 56, 13);
    universeEdit_ = new QLineEdit(box);
    universeEdit_->setObjectName("universeEdit");
    universeEdit_->setAccessibleName("OLA-Universum");
    universeEdit_->setToolTip("Das OLA-Universum, das die Show trägt");
    universeEdit_->setGeometry(64, 36, 41, 21);
    universeSpinner_ = new UpDown(box, universeEdit_, 1, MaxUniverse, 1, 4);
    universeSpinner_->setObjectName("universeSpinner");
    universeSpinner_->setAccessibleName("OLA-Universum");
    universeSpinner_->setGeometry(105, 36, 16, 21);
    SetFieldText(universeEdit_, "1");
    liveStatusLabel_ = new QLabel(StatusText(LiveOutputStatus::Off), box);
    liveStatusLabel_->setObjectName("liveStatusLabel");
    liveStatusLabel_->setGeometry(8, 60, 128, 26);
    liveStatusLabel_->setWordWrap(true);
    liveStatusLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    connect(liveOutputCheck_, &QCheckBox::clicked, this, &LiveOutput::CheckBoxClicked);
    universeSpinner_->OnChange = [this] { UniverseChanged(); };
}

void LiveOutput::SwitchOn(int universe) {
    universeSpinner_->SetPosition(universe);
    liveOutputCheck_->setChecked(true);
    CheckBoxClicked(true);
}

void LiveOutput::SwitchOff() {
    liveOutputCheck_->setChecked(false);
    CheckBoxClicked(false);
}

bool LiveOutput::IsOn() const {
    return sender_.IsOn();
}

void LiveOutput::CheckBoxClicked(bool on) {
    if (on) {
        sender_.Start(universeSpinner_->Position());
        SendFrameNow(0.0);
        frameTimer_->start();
    } else {
        frameTimer_->stop();
        sender_.Stop(); // the lamps go dark
    }
    ShowStatus();
}

void LiveOutput::UniverseChanged() {
    SetFieldText(universeEdit_, QString::number(universeSpinner_->Position()));
    sender_.SetUniverse(universeSpinner_->Position());
}

void LiveOutput::PreviewTicked() {
    sinceTick_.restart();
    if (sender_.IsOn()) SendFrameNow(0.0);
}

void LiveOutput::FrameTimerFired() {
    // A stopped preview holds the moment it stopped at; a playing one moves on between ticks.
    const double fraction =
        preview_.IsPlaying()
            ? PreviewTickFraction(static_cast<double>(sinceTick_.nsecsElapsed()) / 1e6,
                                  preview_.IntervalMs())
            : 0.0;
    SendFrameNow(fraction);
    ShowStatus();
}

void LiveOutput::SendFrameNow(double fractionOfTick) {
    ShowSettings settings = settings_.Values();
    const PreviewFrame moment = preview_.Clock().FrameAt(settings.Steps, settings.StepLength,
                                                         settings.BlendMode, fractionOfTick);
    // The lamps get every output a saved show file carries, so a live show and the same show
    // replayed by the player look alike.
    settings.Outputs = MaxOutputs;
    // The sender's thread blends the two steps, so the window only lays them out.
    ComposeLiveFade(show_.Cells, settings, settings_.MonoMode(), moment, fade_);
    sender_.SubmitFade(fade_);
}

void LiveOutput::ShowStatus() {
    const LiveOutputStatus status = sender_.Status();
    if (status == shownStatus_) return;
    shownStatus_ = status;
    liveStatusLabel_->setText(StatusText(status));
}

std::vector<QWidget*> LiveOutput::TabChain() const {
    return {liveOutputCheck_, universeEdit_};
}

} // namespace velkaro
