// However the editor is ended from outside, it ends as closing the window does: the unsaved
// work is kept as a recovery copy and the lamps a second OLA client watches go dark.
#include "ui/ProgramEnd.h"
#include "output/OladFixture.h"
#include "ui/LiveOutput.h"
#include "ui/ShowFileCommands.h"
#include "ui/WindowFixture.h"

#include <QDir>
#include <QTemporaryDir>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace velkaro {
namespace {

using namespace std::chrono_literals;
using Frames = testing::DmxReceiver::Frames;

bool LastIsDark(const Frames& frames) {
    return !frames.empty() && frames.back().Data == DmxFrame{};
}
bool Lit(const Frames& frames) {
    return !frames.empty() && frames.back().Data != DmxFrame{};
}

class ProgramEndTest : public WindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(state.isValid());
        qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
        ASSERT_TRUE(olad.Start()) << olad.Log();
        lamps = std::make_unique<testing::DmxReceiver>(olad.Port(), 1);
        ASSERT_TRUE(lamps->WaitRegistered());
        WindowTest::SetUp();
    }
    void TearDown() override {
        qunsetenv("XDG_STATE_HOME");
        WindowTest::TearDown();
    }
    int Copies() const {
        return int(QDir(state.path() + "/velkaro").entryList({"*.dmx"}, QDir::Files).size());
    }
    // A window with a lit first step on the lamps, never saved.
    void StartLitAndUnsaved() {
        StartWith(WindowOptions{{}, {}, olad.Port()});
        w->Show().Cells[0][0] = RGB(200, 100, 50);
        w->Live().SwitchOn(1);
        ASSERT_TRUE(lamps->WaitUntil(Lit));
    }

    QTemporaryDir state;
    testing::OladProcess olad;
    std::unique_ptr<testing::DmxReceiver> lamps;
};

TEST_F(ProgramEndTest, TheEndingSignalsKeepTheWorkAndDarkenTheLampsAsClosingTheWindowDoes) {
    int copies = 0;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        StartLitAndUnsaved();
        const ProgramEnd end(*w);
        ::raise(signal); // the handler only notes it; the window's thread does the rest
        for (int i = 0; i < 300 && w->isVisible(); ++i) QTest::qWait(10);
        EXPECT_FALSE(w->isVisible()) << "signal " << signal;
        EXPECT_EQ(Copies(), ++copies) << "signal " << signal;
        EXPECT_TRUE(lamps->WaitUntil(LastIsDark)) << "signal " << signal;
    }
}

// The program itself, ended by the service manager: the blackout reached olad before it exited.
TEST_F(ProgramEndTest, TheEditorEndedBySigtermLeavesTheLampsDark) {
    StartLitAndUnsaved();
    const std::string show = (state.path() + "/lit.dmx").toStdString();
    w->Settings().SetSteps(1);
    w->Files().SaveShow(QString::fromStdString(show));
    w->Live().SwitchOff();
    ASSERT_TRUE(lamps->WaitUntil(LastIsDark));
    lamps->Clear();
    const std::string port = std::to_string(olad.Port());
    const pid_t editor = ::fork();
    if (editor == 0) {
        ::execl(VELKARO_EDITOR, VELKARO_EDITOR, "--live", "1", "--ola-port", port.c_str(),
                show.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ASSERT_TRUE(lamps->WaitUntil(Lit, 20s)) << "the saved show on the lamps";
    ::kill(editor, SIGTERM);
    int status = -1;
    for (int i = 0; i < 500 && ::waitpid(editor, &status, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(10ms);
    if (::waitpid(editor, &status, WNOHANG) == 0) {
        ::kill(editor, SIGKILL);
        ::waitpid(editor, &status, 0);
        FAIL() << "the editor did not end";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(lamps->WaitUntil(LastIsDark));
}

} // namespace
} // namespace velkaro
