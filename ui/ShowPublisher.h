#pragma once

#include "output/LiveOutputSender.h"
#include "playback/PlaybackEngine.h"

#include <QObject>

class QTimer;

namespace velkaro {

class SettingsControls;
struct ShowState;

// The window's side of the playback engine: it owns the engine and the sender the engine's
// frames go to (the engine needs its sink from the start), and hands the show over whenever it
// changed. Changes are gathered and published once, right after the event that made them, so
// a drag that paints many cells costs one copy.
//
// Created before the preview and the live output, so it is destroyed before them: the
// engine's thread has ended before anything it reports to goes away.
class ShowPublisher : public QObject {
    Q_OBJECT
public:
    ShowPublisher(QObject* parent, const ShowState& show, const SettingsControls& settings,
                  int olaPort);

    PlaybackEngine& Engine() { return engine_; }
    const PlaybackEngine& Engine() const { return engine_; }
    LiveOutputSender& Sender() { return sender_; }
    const LiveOutputSender& Sender() const { return sender_; }

    // The cells, a setting or the single-colour mode changed: publish after this event.
    void MarkChanged();
    // Publishes at once what a pending change would publish later; nothing when neither the
    // cells nor the settings changed since the last publish (a scroll, a repaint).
    void PublishNow();
    // How many publishes reached the engine.
    std::uint64_t Publishes() const { return publishes_; }

private:
    const ShowState& show_;
    const SettingsControls& settings_;
    LiveOutputSender sender_;
    PlaybackEngine engine_{sender_};
    QTimer* publishTimer_ = nullptr;
    // What went out last.
    std::uint64_t publishes_ = 0;
    std::uint64_t publishedGrid_ = 0;
    std::uint64_t publishedWrites_ = 0;
    ShowSettings publishedSettings_;
    bool publishedMono_ = false;
};

} // namespace velkaro
