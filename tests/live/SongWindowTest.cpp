// A song in the real window, through a private sound server's null sink: it plays along with
// the preview bar, and it is kept in the project file beside the show.
#include "audio/SongPlayer.h"
#include "audio/SoundServer.h"
#include "files/ShowProject.h"
#include "showfile/ShowFileSupport.h"
#include "ui/ShowFileCommands.h"
#include "ui/ShowPublisher.h"
#include "ui/SongTrack.h"
#include "ui/SongWaveformView.h"
#include "ui/TempoColumn.h"
#include "ui/WindowFixture.h"

#include <cmath>
#include <filesystem>
#include <fstream>

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QPushButton>

namespace velkaro {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class SongWindowTest : public WindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(sound.Start()) << sound.Log();
        std::filesystem::create_directories(folder + "/Musik");
        testing::WriteClickTrack(song, {0.5, 1.0}, 30.0);
        WindowTest::SetUp();
        w->Song().SetSinkDescription(sound.SinkDescription());
        w->Settings().SetSteps(40);
        w->Settings().SetStepLength(5);
    }
    void TearDown() override {
        w.reset();
        std::filesystem::remove_all(folder);
        WindowTest::TearDown();
    }

    // Where the sound is in the show, in ms; NaN while it does not sound.
    double SoundMs() const {
        const auto heard = const_cast<SongPlayer*>(w->Song().Player())->ShowTime();
        return heard ? std::chrono::duration<double, std::milli>(*heard).count() : NAN;
    }
    double SongMs() const {
        const auto position = w->Song().Player()->SongPosition();
        return position ? std::chrono::duration<double, std::milli>(*position).count() : NAN;
    }
    double BarMs() const {
        const PreviewClock bar = w->Preview().Clock();
        return 100.0 * (bar.PlayStep() * w->Settings().StepLength() + bar.PlayTick());
    }
    // Waits until the sound runs and the bar is within a tick and a half of it.
    bool SoundAtTheBar() {
        const auto until = Clock::now() + 3s;
        while (Clock::now() < until) {
            QTest::qWait(5);
            const double sound = SoundMs();
            if (!std::isnan(sound) && std::abs(sound - BarMs()) <= 150) return true;
        }
        return false;
    }
    // How fast the song runs against the wall clock, over a second.
    double SongRate() {
        const double songBefore = SongMs();
        const auto before = Clock::now();
        QTest::qWait(1000);
        return (SongMs() - songBefore) /
               std::chrono::duration<double, std::milli>(Clock::now() - before).count();
    }

    testing::SoundServer sound;
    std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "velkaro-songw-XXXXXX");
        return std::string(::mkdtemp(pattern.data()));
    }();
    std::string song = folder + "/Musik/Klick spur.wav";
};

TEST_F(SongWindowTest, TheSongFollowsTheBarThroughStopResumeRewindAndSpeed) {
    w->Song().SetSongStartMs(700);
    w->Song().Attach(song);
    ASSERT_TRUE(SoundAtTheBar()) << "a song attached while the preview plays starts at the bar";
    QTest::qWait(600);
    EXPECT_LE(std::abs(SoundMs() - BarMs()), 150.0);

    w->Preview().ToggleStopped();
    QTest::qWait(300);
    const double held = SongMs();
    EXPECT_TRUE(std::isnan(SoundMs())) << "a stopped preview stops the song";
    QTest::qWait(300);
    EXPECT_NEAR(SongMs(), held, 1.0);
    EXPECT_NEAR(held, 700 + BarMs(), 150.0);

    const double stoppedAt = BarMs();
    w->Preview().ToggleStopped();
    ASSERT_TRUE(SoundAtTheBar());
    EXPECT_GE(SoundMs(), stoppedAt - 1) << "resuming goes on where the bar stopped";
    EXPECT_LE(SoundMs(), stoppedAt + 400);

    w->Preview().Rewind();
    ASSERT_TRUE(SoundAtTheBar());
    EXPECT_LT(BarMs(), 600) << "a rewind takes song and bar back to step 0";

    auto* speed = Child<QScrollBar>(*w, "previewSpeedBar");
    for (const int percent : {50, 200}) {
        speed->setValue(percent);
        ASSERT_TRUE(SoundAtTheBar()) << percent << " %";
        QTest::qWait(200);
        EXPECT_NEAR(SongRate(), percent / 100.0, 0.25) << percent << " %";
        // Both in the show's time, where the bar moves in whole ticks at every speed.
        EXPECT_LE(std::abs(SoundMs() - BarMs()), 150.0) << percent << " %";
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
}

TEST_F(SongWindowTest, TheProjectFileKeepsTheSongAndAFaultInItStillLoadsTheShow) {
    w->Settings().SetSteps(3);
    w->Show().Cells[1][2] = 0x123456;
    w->Files().SaveShow(QString::fromStdString(folder + "/plain.DMX"));
    w->Song().Attach(song);
    w->Song().SetSongStartMs(1200);
    w->Song().SetLightsLaterMs(35);
    const std::string show = folder + "/Party.DMX";
    w->Files().SaveShow(QString::fromStdString(show));
    EXPECT_EQ(testing::ReadBytes(show), testing::ReadBytes(folder + "/plain.DMX"))
        << "the DMX file is the same with a song or without";
    EXPECT_FALSE(std::filesystem::exists(folder + "/plain.velkaro"));
    ASSERT_TRUE(std::filesystem::exists(folder + "/Party.velkaro"));

    w->Song().Detach();
    w->Settings().SetSteps(9);
    w->Files().LoadCommandLineShow(QString::fromStdString(show));
    ASSERT_TRUE(w->Song().HasSong());
    EXPECT_EQ(w->Song().Project(), (ShowProject{song, 1200, 35, {}}));
    EXPECT_TRUE(Child<QWidget>(*w, "songWaveform")->isVisible());
    EXPECT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();

    const std::pair<std::string, std::string> faults[] = {
        {"{\"song\": \"Musik/Klick",
         "Die Projektdatei " + folder + "/Party.velkaro ist beschädigt"},
        {"{\"song\": \"Musik/weg.mp3\"}",
         "Die Musikdatei " + folder + "/Musik/weg.mp3 wurde nicht gefunden"},
    };
    for (const auto& [text, message] : faults) {
        std::ofstream(folder + "/Party.velkaro") << text;
        errors.clear();
        w->Settings().SetSteps(9);
        w->Files().LoadCommandLineShow(QString::fromStdString(show));
        ASSERT_EQ(errors.size(), 1) << text;
        EXPECT_TRUE(errors[0].startsWith(QString::fromStdString(message)))
            << errors[0].toStdString();
        EXPECT_EQ(w->Settings().Steps(), 3) << "the show loads all the same";
        EXPECT_EQ(w->Show().Cells[1][2], 0x123456u);
        EXPECT_FALSE(w->Song().HasSong());
        EXPECT_FALSE(Child<QWidget>(*w, "songWaveform")->isVisible());
        EXPECT_TRUE(Child<QWidget>(*w, "songButton")->isVisible());
    }
}

TEST_F(SongWindowTest, TaktFindenLocksTheStepsToTheSongsBeatAndTheProjectKeepsIt) {
    // A click every 468.75 ms from 0.3 s on: 128 BPM, which no whole number of tenths keeps.
    std::vector<double> clicks;
    for (double at = 0.3; at < 29.5; at += 0.46875) clicks.push_back(at);
    const std::string beats = folder + "/Musik/Takt.wav";
    testing::WriteClickTrack(beats, clicks, 30.0);
    TempoColumn& tempo = w->TempoControls();
    EXPECT_FALSE(Child<QPushButton>(*w, "findBeatButton")->isEnabled()) << "no song yet";
    w->Song().Attach(beats);
    tempo.FindBeat();
    QTRY_VERIFY_WITH_TIMEOUT(!tempo.FindingBeat(), 20000);
    ASSERT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
    EXPECT_NEAR(w->Song().Project().Tempo.Bpm, 128.0, 0.5);
    EXPECT_NEAR(double(w->Song().Project().SongStartMs), 300.0, 20.0);
    EXPECT_EQ(tempo.TempoField()->value(), w->Song().Project().Tempo.Bpm);
    EXPECT_EQ(w->Settings().StepLength(), 5);
    EXPECT_EQ(w->Publisher().Engine().TickLength(), TickLengthOf(w->Song().Project().Tempo, 5));

    // Octave errors mend both ways; the step length follows.
    Child<QPushButton>(*w, "doubleTempoButton")->click();
    EXPECT_NEAR(w->Song().Project().Tempo.Bpm, 256.0, 1.0);
    EXPECT_EQ(w->Settings().StepLength(), 2);
    Child<QPushButton>(*w, "halveTempoButton")->click();
    EXPECT_NEAR(w->Song().Project().Tempo.Bpm, 128.0, 0.5);
    EXPECT_EQ(w->Settings().StepLength(), 5);

    // Dragging the first beat's line down by ten pixels brings the song that much earlier.
    auto* wave = Child<SongWaveformView>(*w, "songWaveform");
    const int firstRow = wave->FirstBeatRow();
    ASSERT_GE(firstRow, 0);
    const std::int64_t startBefore = w->Song().Project().SongStartMs;
    QTest::mousePress(wave, Qt::LeftButton, {}, QPoint(60, firstRow));
    QTest::mouseMove(wave, QPoint(60, firstRow + 10));
    QTest::mouseRelease(wave, Qt::LeftButton, {}, QPoint(60, firstRow + 10));
    const double msPerRow = w->Song().StepMs() / w->View().RowHeight();
    EXPECT_EQ(w->Song().Project().SongStartMs,
              std::max<std::int64_t>(0, startBefore - std::llround(10 * msPerRow)));
    w->Song().SetSongStartMs(startBefore);

    const ShowProject found = w->Song().Project();
    const std::string show = folder + "/Takt.DMX";
    w->Files().SaveShow(QString::fromStdString(show));
    w->Song().SetTempo({});
    EXPECT_EQ(w->Publisher().Engine().TickLength(), 100ms) << "no tempo: the tenth of old";
    w->Files().LoadCommandLineShow(QString::fromStdString(show));
    EXPECT_EQ(w->Song().Project(), found);
    EXPECT_EQ(w->Publisher().Engine().TickLength(), TickLengthOf(found.Tempo, 5));
    EXPECT_EQ(Child<QWidget>(*w, "gridPaintBox")->size(), QSize(931, 687));
    EXPECT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
}

// "Klick im Takt" on a song of silence: the clicks heard are the tempo's, and they stop when
// it is switched off. Offered only with a song and a tempo.
TEST_F(SongWindowTest, KlickImTaktSoundsTheBeatWhileTheSongPlays) {
    const std::string quiet = folder + "/Musik/Stille.wav";
    testing::WriteClickTrack(quiet, {}, 30.0);
    auto* box = Child<QCheckBox>(*w, "beatClickBox");
    w->Song().SetTempo({120, 1});
    EXPECT_FALSE(box->isEnabled()) << "no song to click along";
    w->Song().Attach(quiet);
    ASSERT_TRUE(box->isEnabled());
    ASSERT_TRUE(SoundAtTheBar());
    const auto clicksOver = [this](std::chrono::milliseconds span) {
        testing::SinkRecorder heard(sound);
        QTest::qWait(int(span.count()));
        return heard.Clicks().size();
    };
    EXPECT_EQ(clicksOver(1200ms), 0u) << "no click before it is asked for";
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    ASSERT_TRUE(box->isChecked());
    QTest::qWait(500); // the sound already on its way to the sink has none
    EXPECT_GE(clicksOver(1600ms), 2u) << "a click every half second";
    box->click();
    QTest::qWait(500);
    EXPECT_EQ(clicksOver(1200ms), 0u) << "switched off";
    EXPECT_TRUE(errors.isEmpty()) << errors.join("\n").toStdString();
}

} // namespace
} // namespace velkaro
