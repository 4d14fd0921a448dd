#include "ui/ProgramEnd.h"

#include "ui/MainWindow.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace velkaro {

namespace {

constexpr std::array<int, 3> EndingSignals = {SIGTERM, SIGHUP, SIGINT};

// The pipe between the handler and the window's thread: [0] read, [1] write.
int signalPipe[2] = {-1, -1};

void WriteSignalToPipe(int signal) {
    const int savedErrno = errno;
    const auto number = static_cast<unsigned char>(signal);
    // A full pipe already holds a request to end.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &number, 1);
    errno = savedErrno;
}

void HandleEndingSignals(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : EndingSignals) sigaction(signal, &action, nullptr);
}

} // namespace

ProgramEnd::ProgramEnd(MainWindow& window) : window_(window) {
    if (::pipe2(signalPipe, O_NONBLOCK | O_CLOEXEC) != 0) return;
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &ProgramEnd::TakeSignal);
    HandleEndingSignals(WriteSignalToPipe);
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, &ProgramEnd::CommitData);
}

ProgramEnd::~ProgramEnd() {
    if (!notifier_) return;
    HandleEndingSignals(SIG_DFL);
    delete notifier_;
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void ProgramEnd::TakeSignal() {
    unsigned char numbers[16];
    while (::read(signalPipe[0], numbers, sizeof numbers) > 0) {
    }
    // Closing keeps the work and darkens the lamps; leaving every event loop, also a dialog's,
    // then ends the program.
    window_.close();
    window_.KeepWorkAndDarkenLamps();
    QCoreApplication::exit(0);
}

// The desktop session ends: what was not saved is kept now, as the session may end the
// program without a further word; the lamps go dark when it does.
void ProgramEnd::CommitData(QSessionManager&) {
    window_.KeepUnsavedWork();
}

} // namespace velkaro
