#include "audio/SoundServer.h"
#include "fseq/FseqBytes.h"
#include "output/OladFixture.h"
#include "player/PlayerProcess.h"
#include "showfile/ShowFileSupport.h"

#include "files/ShowRecord.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace velkaro {
namespace {

using namespace std::chrono_literals;
using testing::DmxReceiver;
using testing::OladProcess;
using testing::PlayerProcess;
using testing::TempFolder;

constexpr int Universe = 7;
const DmxFrame Blackout{};

// Three records, each held for two tenths, each with its own channels lit.
testing::Bytes HoldShow() {
    testing::Bytes show(3 * ShowRecord::Size, 0);
    for (int step = 0; step < 3; ++step) {
        std::uint8_t* record = show.data() + std::size_t(step) * ShowRecord::Size;
        ShowRecord::WriteU16(record, ShowRecord::HoldTimeOffset, 2);
        record[ShowRecord::StepFlagsOffset] = ShowRecord::StepFlagsFor(step, 3);
        record[ShowRecord::ChannelDataOffset + step] = 255;
        record[ShowRecord::ChannelDataOffset + 100 + step] = std::uint8_t(10 + step);
        record[ShowRecord::Size - 1] = std::uint8_t(step * 40); // channel 504
    }
    return show;
}

// The universe a record lights: its 504 channel bytes, then 0.
DmxFrame RecordFrame(const testing::Bytes& show, int step) {
    DmxFrame frame{};
    const auto* record = show.data() + std::size_t(step) * ShowRecord::Size;
    std::copy_n(record + ShowRecord::ChannelDataOffset, ShowRecord::ChannelDataSize, frame.begin());
    return frame;
}

// The frames as the lamps show them: repeats of one frame and the all-zero frames a sender
// starts with before its first frame left out.
std::vector<DmxFrame> Changes(const DmxReceiver::Frames& frames) {
    std::vector<DmxFrame> changes;
    for (const auto& frame : frames) {
        if (changes.empty() && frame.Data == Blackout) continue;
        if (changes.empty() || changes.back() != frame.Data) changes.push_back(frame.Data);
    }
    return changes;
}

class Player : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(olad.Start()) << olad.Log();
        lamps = std::make_unique<DmxReceiver>(olad.Port(), Universe);
        ASSERT_TRUE(lamps->WaitRegistered());
    }
    std::vector<std::string> Options(std::vector<std::string> more) const {
        std::vector<std::string> options = {"--universe", std::to_string(Universe), "--ola-port",
                                            std::to_string(olad.Port())};
        options.insert(options.end(), more.begin(), more.end());
        return options;
    }
    TempFolder folder;
    OladProcess olad;
    std::unique_ptr<DmxReceiver> lamps;
};

TEST_F(Player, PlaysTheRecordsInOrderTheGivenTimesThenBlacksOut) {
    const testing::Bytes show = HoldShow();
    testing::WriteBytes(folder / "show.dmx", show);
    PlayerProcess player(Options({"--times", "2", folder / "show.dmx"}), folder.Path());
    ASSERT_EQ(player.Wait(), 0) << player.Errors();
    EXPECT_EQ(player.Errors(), "");
    ASSERT_TRUE(
        lamps->WaitUntil([](const auto& f) { return !f.empty() && f.back().Data == Blackout; }));
    const std::vector<DmxFrame> expected = {RecordFrame(show, 0),
                                            RecordFrame(show, 1),
                                            RecordFrame(show, 2),
                                            RecordFrame(show, 0),
                                            RecordFrame(show, 1),
                                            RecordFrame(show, 2),
                                            Blackout};
    EXPECT_EQ(Changes(lamps->Received()), expected);
}

// A pseudo terminal whose output is held as Ctrl+S holds it: whoever writes to it waits.
class HeldTerminal {
public:
    HeldTerminal() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        terminal_ = ::open(::ptsname(master_), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (terminal_ >= 0) ::tcflow(terminal_, TCOOFF);
    }
    ~HeldTerminal() {
        if (terminal_ >= 0) ::close(terminal_);
        if (master_ >= 0) ::close(master_);
    }
    HeldTerminal(const HeldTerminal&) = delete;
    HeldTerminal& operator=(const HeldTerminal&) = delete;
    int Fd() const { return terminal_; }

private:
    int master_ = -1;
    int terminal_ = -1;
};

// Ctrl+C, a service stop, a closed terminal (or a reload), Ctrl+\ : each ends with a
// blackout, even with a status line that its terminal does not take.
TEST_F(Player, EndsWithABlackoutOnEveryStopSignalAlsoWhenItsTerminalIsHeld) {
    testing::WriteBytes(folder / "show.dmx", HoldShow());
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
        lamps->Clear();
        HeldTerminal terminal;
        ASSERT_GE(terminal.Fd(), 0);
        PlayerProcess player(Options({folder / "show.dmx"}), folder.Path(), terminal.Fd());
        ASSERT_TRUE(lamps->WaitUntil([](const auto& f) { return Changes(f).size() >= 4; }));
        player.Signal(signal);
        EXPECT_EQ(player.Wait(5s), 0) << "signal " << signal << ": " << player.Errors();
        EXPECT_TRUE(lamps->WaitUntil([](const auto& f) { return f.back().Data == Blackout; }))
            << "signal " << signal << ", " << lamps->Received().size() << " frames, last "
            << int(lamps->Received().back().Data[0]) << " " << player.Errors();
    }
}

TEST_F(Player, PlaysAHandMadeSequenceFrameByFrame) {
    testing::HandMadeFseq fseq;
    for (int f = 0; f < 3; ++f) fseq.Frames.push_back(testing::FseqBytes(5, std::uint8_t(f + 1)));
    fseq.Sparse = {{0, 2}, {300, 3}};
    fseq.Headers = {{"mf", "song.mp3"}, {"sp", "hand", true}};
    fseq.Compression = 1;
    fseq.BlockStarts = {0, 2};
    testing::WriteBytes(folder / "hand.fseq", fseq.Build());
    PlayerProcess player(Options({"--times", "1", folder / "hand.fseq"}), folder.Path());
    ASSERT_EQ(player.Wait(), 0) << player.Errors();
    std::vector<DmxFrame> expected;
    for (int f = 0; f < 3; ++f) {
        DmxFrame frame{};
        frame[0] = frame[1] = frame[300] = frame[301] = frame[302] = std::uint8_t(f + 1);
        expected.push_back(frame);
    }
    expected.push_back(Blackout);
    ASSERT_TRUE(
        lamps->WaitUntil([](const auto& f) { return !f.empty() && f.back().Data == Blackout; }));
    EXPECT_EQ(Changes(lamps->Received()), expected);
}

// A song the file names plays through the sound server beside the lamps: the one an FSEQ's "mf"
// header names, found beside it, and the one of a DMX show's project file. Every click of the
// song has its change of the lamps, in order, and a blackout ends the song's pass.
class PlayerWithSong : public Player {
protected:
    void SetUp() override {
        Player::SetUp();
        ASSERT_TRUE(sound.Start()) << sound.Log();
        for (int k = 1; k <= 8; ++k) clicks.push_back(0.5 * k);
        testing::WriteClickTrack(folder / "Klick spur.wav", clicks, 4.3);
    }

    // Plays `file` once with its song; channel 1 changes at every click, from 10 in steps of 30
    // and back to 10 at the last click.
    void PlayAndCompare(const std::string& file) {
        lamps->Clear();
        testing::SinkRecorder heard(sound);
        for (int i = 0; i < 200 && !heard.Hearing(); ++i) std::this_thread::sleep_for(10ms);
        PlayerProcess player(
            Options({"--times", "1", "--audio-sink", sound.SinkDescription(), file}),
            folder.Path());
        ASSERT_EQ(player.Wait(20s), 0) << player.Errors();
        EXPECT_EQ(player.Errors(), "");
        ASSERT_TRUE(lamps->WaitUntil(
            [](const auto& f) { return !f.empty() && f.back().Data == Blackout; }));
        std::vector<std::pair<DmxReceiver::Clock::time_point, int>> changes;
        int shown = -1;
        for (const auto& frame : lamps->Received()) {
            if (frame.Data == Blackout) continue;
            if (shown >= 0 && frame.Data[0] != shown) changes.emplace_back(frame.At, frame.Data[0]);
            shown = frame.Data[0];
        }
        const auto clicked = heard.Clicks();
        ASSERT_EQ(clicked.size(), clicks.size()) << file;
        ASSERT_EQ(changes.size(), clicks.size()) << file;
        for (std::size_t k = 0; k < changes.size(); ++k) {
            EXPECT_EQ(changes[k].second, 10 + 30 * int((k + 1) % 8)) << file << ", change " << k;
            const auto apart =
                std::chrono::duration<double, std::milli>(changes[k].first - clicked[k]);
            EXPECT_LT(std::abs(apart.count()), 60.0) << file << ", change " << k;
        }
    }

    testing::SoundServer sound;
    std::vector<double> clicks;
};

TEST_F(PlayerWithSong, PlaysTheSongOfAnMfHeaderOrOfAProjectFileWithTheLampsOnItsClicks) {
    testing::HandMadeFseq fseq;
    fseq.FrameMs = 25;
    for (int f = 0; f < 160; ++f)
        fseq.Frames.push_back(testing::FseqBytes(1, std::uint8_t(10 + 30 * (f / 20))));
    fseq.Headers = {{"mf", "Klick spur.wav"}, {"sp", "hand"}};
    testing::WriteBytes(folder / "clicks.fseq", fseq.Build());
    PlayAndCompare(folder / "clicks.fseq");

    // Eight held steps of half a second.
    testing::Bytes show(8 * ShowRecord::Size, 0);
    for (int step = 0; step < 8; ++step) {
        std::uint8_t* record = show.data() + std::size_t(step) * ShowRecord::Size;
        ShowRecord::WriteU16(record, ShowRecord::HoldTimeOffset, 5);
        record[ShowRecord::StepFlagsOffset] = ShowRecord::StepFlagsFor(step, 8);
        record[ShowRecord::ChannelDataOffset] = std::uint8_t(10 + 30 * step);
    }
    testing::WriteBytes(folder / "show.dmx", show);
    std::ofstream(folder / "show.velkaro") << "{\"song\": \"Klick spur.wav\"}";
    PlayAndCompare(folder / "show.dmx");
}

TEST_F(Player, RefusesBadOptionsAndFilesWithoutSendingAnything) {
    testing::WriteBytes(folder / "show.dmx", HoldShow());
    testing::WriteBytes(folder / "short.dmx", testing::Bytes(511, 1));
    testing::WriteBytes(folder / "cut.fseq", testing::Bytes{'P', 'S', 'E', 'Q', 48, 0, 0, 2});
    const std::string show = folder / "show.dmx";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--speed", "401", show}, "Ungültiger Wert für --speed: \"401\" (erlaubt 25 bis 400)"},
        {{"--times", "0", show}, "Ungültiger Wert für --times"},
        {{"--universe", show}, "Ungültiger Wert für --universe"},
        {{show, "--speed"}, "Fehlender Wert für --speed (erlaubt 25 bis 400)"},
        {{"--loud", show}, "Unbekannte Option: --loud"},
        {{}, "Fehlende Datei"},
        {{show, show}, "Zu viele Dateien"},
        {{folder / "missing.dmx"},
         "Die Showdatei " + (folder / "missing.dmx") +
             " kann nicht gelesen werden: Datei nicht gefunden."},
        {{folder / "short.dmx"},
         "kann nicht gelesen werden: sie enthält keinen vollständigen Schritt."},
        {{folder / "cut.fseq"},
         "Die FSEQ-Datei " + (folder / "cut.fseq") + " kann nicht gelesen werden: "},
        {{folder.Path() + "/"}, "kann nicht gelesen werden: Ungültiger Dateiname."},
    };
    for (const auto& [arguments, message] : cases) {
        PlayerProcess player(Options(arguments), folder.Path());
        EXPECT_EQ(player.Wait(), 2) << message;
        EXPECT_NE(player.Errors().find(message), std::string::npos) << player.Errors();
    }
    std::this_thread::sleep_for(200ms);
    EXPECT_TRUE(lamps->Received().empty());
}

TEST(PlayerWithoutOlad, SaysSoOnceAndStartsWhenOladAppears) {
    TempFolder folder;
    testing::WriteBytes(folder / "show.dmx", HoldShow());
    // The player must live in the loopback-only network the daemon will be started in.
    testing::EnterLoopbackOnlyNetwork();
    const int port = testing::FreeLoopbackPort();
    PlayerProcess player(
        {"--universe", "7", "--ola-port", std::to_string(port), folder / "show.dmx"},
        folder.Path());
    const std::string missing = "olad ist nicht erreichbar (Port " + std::to_string(port) + ")";
    ASSERT_TRUE(player.WaitForErrors(missing, 5s)) << player.Errors();
    std::this_thread::sleep_for(1500ms);
    OladProcess olad;
    ASSERT_TRUE(olad.Start(port)) << olad.Log();
    DmxReceiver lamps(port, Universe);
    ASSERT_TRUE(lamps.WaitRegistered());
    EXPECT_TRUE(lamps.WaitUntil([](const auto& f) { return Changes(f).size() >= 2; }, 10s));
    player.Signal(SIGTERM);
    EXPECT_EQ(player.Wait(5s), 0);
    const std::string errors = player.Errors();
    EXPECT_EQ(errors.find(missing), errors.rfind(missing)) << errors; // said once
}

} // namespace
} // namespace velkaro
