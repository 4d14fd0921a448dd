#include "ui/LiveOutput.h"

#include "output/RealTime.h"
#include "ui/ErrorHandling.h"
#include "ui/ShowPublisher.h"
#include "ui/controls/UpDown.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace velkaro {

namespace {

// How often the status line looks at the connection; the frames do not depend on it.
constexpr int StatusIntervalMs = 100;
// How often the window looks whether the lamps' threads lost their real-time priority.
constexpr int RealTimeWatchIntervalMs = 1000;

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

LiveOutput::LiveOutput(QObject* parent, ShowPublisher& publisher)
    : QObject(parent), publisher_(publisher), sender_(publisher.Sender()) {
    statusTimer_ = new QTimer(this);
    statusTimer_->setObjectName("liveStatusTimer");
    statusTimer_->setInterval(StatusIntervalMs);
    connect(statusTimer_, &QTimer::timeout, this, &LiveOutput::ShowStatus);
    realTimeWatch_ = new QTimer(this);
    realTimeWatch_->setObjectName("realTimeWatch");
    realTimeWatch_->setInterval(RealTimeWatchIntervalMs);
    connect(realTimeWatch_, &QTimer::timeout, this, &LiveOutput::TellIfRealTimeWithdrawn);
    withdrawnBefore_ = RealTimeWithdrawn();
    realTimeWatch_->start();
}

// A thread of the lamps that overran its real-time share went back to normal priority: the
// show goes on, but a busy machine may now hold up its steps, which the user should know.
// The signal handler that did it can only raise a flag; this says so once. A flag raised before
// this window was made belongs to an earlier one in the same process.
void LiveOutput::TellIfRealTimeWithdrawn() {
    if (!RealTimeWithdrawn() || withdrawnBefore_) return;
    realTimeWatch_->stop();
    ShowStandardError(qobject_cast<QWidget*>(parent()), RealTimeWithdrawnMessage());
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

void LiveOutput::EndWithBlackout() {
    publisher_.Engine().SetSending(false);
    statusTimer_->stop();
    sender_.StopAndConfirmBlackout(std::chrono::milliseconds(1000));
    ShowStatus();
}

bool LiveOutput::IsOn() const {
    return sender_.IsOn();
}

void LiveOutput::CheckBoxClicked(bool on) {
    if (on) {
        sender_.Start(universeSpinner_->Position());
        publisher_.PublishNow();
        publisher_.Engine().SetSending(true);
        statusTimer_->start();
    } else {
        publisher_.Engine().SetSending(false);
        statusTimer_->stop();
        sender_.Stop(); // the lamps go dark
    }
    ShowStatus();
}

void LiveOutput::UniverseChanged() {
    SetFieldText(universeEdit_, QString::number(universeSpinner_->Position()));
    sender_.SetUniverse(universeSpinner_->Position());
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
