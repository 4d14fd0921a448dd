#pragma once

#include <QObject>

class QSessionManager;
class QSocketNotifier;

namespace velkaro {

class MainWindow;

// Every way the editor is ended from outside ends it as closing the window does: the service
// or session manager's SIGTERM, a closed terminal's SIGHUP, Ctrl+C's SIGINT, and the desktop
// session's end. Unsaved work goes into a recovery copy and the lamps go dark, confirmed by
// olad, before the program exits.
//
// The signal handler only writes the signal's number into a pipe; the window's thread reads
// it through a socket notifier, so nothing of Qt runs inside the handler. One at a time.
class ProgramEnd : public QObject {
    Q_OBJECT
public:
    explicit ProgramEnd(MainWindow& window);
    // Gives the signals back their default handling.
    ~ProgramEnd() override;
    ProgramEnd(const ProgramEnd&) = delete;
    ProgramEnd& operator=(const ProgramEnd&) = delete;

private:
    void TakeSignal();
    void CommitData(QSessionManager& manager);

    MainWindow& window_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace velkaro
