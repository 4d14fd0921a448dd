#pragma once

#include "output/LiveOutputSender.h"

#include <QObject>

#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTimer;
class QWidget;

namespace velkaro {

class ShowPublisher;
class UpDown;

// Live output to the lamps: while it is on, the playback engine sends the show to an OLA
// universe as the preview plays it, 50 frames a second and one at every tick, through a
// background sender; neither ever waits for the window. The group "Live-Ausgabe" switches it
// and chooses the universe.
class LiveOutput : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxUniverse = 9999;

    LiveOutput(QObject* parent, ShowPublisher& publisher);

    // Fills the group box the command panel places for it.
    void BuildGroup(QGroupBox* box);
    // Switches live output on for the universe, as the check box does.
    void SwitchOn(int universe);
    void SwitchOff();
    // Switches off for the program's end: returns once olad has taken the blackout, or after
    // about a second.
    void EndWithBlackout();
    bool IsOn() const;
    // The check box and the universe field, last in the Tab order.
    std::vector<QWidget*> TabChain() const;

private:
    void CheckBoxClicked(bool on);
    void UniverseChanged();
    void ShowStatus();
    void TellIfRealTimeWithdrawn();

    ShowPublisher& publisher_;
    LiveOutputSender& sender_;
    QTimer* statusTimer_ = nullptr;
    QTimer* realTimeWatch_ = nullptr;
    bool withdrawnBefore_ = false;
    QCheckBox* liveOutputCheck_ = nullptr;
    QLineEdit* universeEdit_ = nullptr;
    UpDown* universeSpinner_ = nullptr;
    QLabel* liveStatusLabel_ = nullptr;
    LiveOutputStatus shownStatus_ = LiveOutputStatus::Off;
};

} // namespace velkaro
