#include "ui/ShowPublisher.h"

#include "ui/SettingsControls.h"
#include "ui/ShowState.h"

#include <QTimer>

namespace velkaro {

ShowPublisher::ShowPublisher(QObject* parent, const ShowState& show,
                             const SettingsControls& settings, int olaPort)
    : QObject(parent), show_(show), settings_(settings), sender_(olaPort) {
    // One timer made here, so that marking a change allocates nothing.
    publishTimer_ = new QTimer(this);
    publishTimer_->setObjectName("showPublishTimer");
    publishTimer_->setSingleShot(true);
    publishTimer_->setInterval(0);
    connect(publishTimer_, &QTimer::timeout, this, &ShowPublisher::PublishNow);
    // The first publish waits until the controls hold the show's settings.
    MarkChanged();
}

void ShowPublisher::MarkChanged() {
    if (!publishTimer_->isActive()) publishTimer_->start();
}

void ShowPublisher::PublishNow() {
    publishTimer_->stop();
    const ShowSettings settings = settings_.Values();
    const bool mono = settings_.MonoMode();
    const Grid& cells = show_.Cells;
    if (publishes_ > 0 && cells.Identity() == publishedGrid_ &&
        cells.Writes() == publishedWrites_ && settings == publishedSettings_ &&
        mono == publishedMono_)
        return;
    engine_.PublishShow(cells, settings, mono);
    ++publishes_;
    publishedGrid_ = cells.Identity();
    publishedWrites_ = cells.Writes();
    publishedSettings_ = settings;
    publishedMono_ = mono;
}

} // namespace velkaro
