#pragma once

#include "model/DmxFrame.h"
#include "output/LiveOutputSender.h"

#include <QElapsedTimer>
#include <QObject>

#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTimer;
class QWidget;

namespace velkaro {

class PreviewPlayer;
class SettingsControls;
class UpDown;
struct ShowState;

// Live output to the lamps: while it is on, the show goes to an OLA universe as the preview
// plays it, at least 50 frames a second, through a background sender that never holds up the
// window. The group "Live-Ausgabe" switches it and chooses the universe.
class LiveOutput : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxUniverse = 9999;

    LiveOutput(QObject* parent, const ShowState& show, const SettingsControls& settings,
               const PreviewPlayer& preview, int olaPort);

    // Fills the group box the command panel places for it.
    void BuildGroup(QGroupBox* box);
    // Switches live output on for the universe, as the check box does.
    void SwitchOn(int universe);
    void SwitchOff();
    bool IsOn() const;
    // The check box and the universe field, last in the Tab order.
    std::vector<QWidget*> TabChain() const;

private:
    void CheckBoxClicked(bool on);
    void UniverseChanged();
    void PreviewTicked();
    void SendFrameNow(double fractionOfTick);
    void FrameTimerFired();
    void ShowStatus();

    const ShowState& show_;
    const SettingsControls& settings_;
    const PreviewPlayer& preview_;
    LiveOutputSender sender_;
    DmxFade fade_{};
    QElapsedTimer sinceTick_;
    QTimer* frameTimer_ = nullptr;
    QCheckBox* liveOutputCheck_ = nullptr;
    QLineEdit* universeEdit_ = nullptr;
    UpDown* universeSpinner_ = nullptr;
    QLabel* liveStatusLabel_ = nullptr;
    LiveOutputStatus shownStatus_ = LiveOutputStatus::Off;
};

} // namespace velkaro
