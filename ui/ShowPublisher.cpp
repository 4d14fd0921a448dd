#include "ui/ShowPublisher.h"

#include "ui/SettingsControls.h"
#include "ui/ShowState.h"

#include <QTimer>

namespace velkaro {

ShowPublisher::ShowPublisher(QObject* parent, const ShowState& show,
                             const SettingsControls& settings, int olaPort)
    : QObject(parent), show_(show), settings_(settings), sender_(olaPort) {
    // The first publish waits until the controls hold the show's settings.
    MarkChanged();
}

void ShowPublisher::MarkChanged() {
    if (pending_) return;
    pending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (pending_) PublishNow();
    });
}

void ShowPublisher::PublishNow() {
    pending_ = false;
    engine_.PublishShow(show_.Cells, settings_.Values(), settings_.MonoMode());
}

} // namespace velkaro
