#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace velkaro {
namespace {

using Arguments = std::vector<std::string>;
using Action = CommandLine::Action;

std::string Shown(const Arguments& arguments) {
    std::string text;
    for (const auto& argument : arguments) text += "[" + argument + "]";
    return text;
}

TEST(CommandLineTest, StartsWithTheGivenFileAndOptionsInBothForms) {
    struct Case {
        Arguments arguments;
        std::string showFile;
        std::optional<int> liveUniverse;
        int olaPort;
    };
    const Case cases[] = {
        {{}, "", std::nullopt, 9010},
        {{"show.dmx"}, "show.dmx", std::nullopt, 9010},
        {{"--live", "5", "show.dmx"}, "show.dmx", 5, 9010},
        {{"show.dmx", "--live=9999", "--ola-port", "1"}, "show.dmx", 9999, 1},
        {{"--ola-port=65535", "--live", "1"}, "", 1, 65535},
        {{"--live", "0012"}, "", 12, 9010},
        {{"--live", "3", "--live=4"}, "", 4, 9010},
        {{"-"}, "-", std::nullopt, 9010},
        {{"--", "-dash.dmx"}, "-dash.dmx", std::nullopt, 9010},
        {{"--live=7", "--", "--help"}, "--help", 7, 9010},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Shown(c.arguments));
        const CommandLine line = ParseCommandLine(c.arguments);
        EXPECT_EQ(line.action, Action::Run);
        EXPECT_EQ(line.showFile, c.showFile);
        EXPECT_EQ(line.liveUniverse, c.liveUniverse);
        EXPECT_EQ(line.olaPort, c.olaPort);
        EXPECT_EQ(line.error, "");
    }
}

// Help, version and faulty options decide in the order given; the count of files is judged
// only once all options are read.
TEST(CommandLineTest, TheFirstDecidingArgumentWins) {
    struct Case {
        Arguments arguments;
        Action action;
    };
    const Case cases[] = {
        {{"-h"}, Action::ShowHelp},
        {{"show.dmx", "--help"}, Action::ShowHelp},
        {{"a.dmx", "b.dmx", "--help"}, Action::ShowHelp},
        {{"--help", "--bogus"}, Action::ShowHelp},
        {{"--version"}, Action::ShowVersion},
        {{"--version", "-h"}, Action::ShowVersion},
        {{"--bogus", "--help"}, Action::Error},
        {{"--live", "0", "--version"}, Action::Error},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Shown(c.arguments));
        EXPECT_EQ(ParseCommandLine(c.arguments).action, c.action);
    }
}

TEST(CommandLineTest, FaultsAreNamedInGerman) {
    const std::string badUniverse = "Ungültiges Universum für --live: ";
    const std::string universeRange = " (erlaubt 1 bis 9999)";
    const std::string badPort = "Ungültiger Port für --ola-port: ";
    const std::string portRange = " (erlaubt 1 bis 65535)";
    struct Case {
        Arguments arguments;
        std::string error;
    };
    const Case cases[] = {
        {{"--live", "abc"}, badUniverse + "abc" + universeRange},
        {{"--live=0"}, badUniverse + "0" + universeRange},
        {{"--live", "10000"}, badUniverse + "10000" + universeRange},
        {{"--live", "-1"}, badUniverse + "-1" + universeRange},
        {{"--live", "+5"}, badUniverse + "+5" + universeRange},
        {{"--live", " 5"}, badUniverse + " 5" + universeRange},
        {{"--live=5.0"}, badUniverse + "5.0" + universeRange},
        {{"--live", "99999999999999999999"}, badUniverse + "99999999999999999999" + universeRange},
        {{"--ola-port", "0"}, badPort + "0" + portRange},
        {{"--ola-port=65536"}, badPort + "65536" + portRange},
        {{"--ola-port", "0x10"}, badPort + "0x10" + portRange},
        {{"--live"}, "Fehlender Wert für --live" + universeRange},
        {{"--live="}, "Fehlender Wert für --live" + universeRange},
        {{"show.dmx", "--ola-port"}, "Fehlender Wert für --ola-port" + portRange},
        {{"--foo"}, "Unbekannte Option: --foo"},
        {{"-x", "show.dmx"}, "Unbekannte Option: -x"},
        {{"--live5"}, "Unbekannte Option: --live5"},
        {{"--help=yes"}, "Unbekannte Option: --help=yes"},
        {{"a.dmx", "b.dmx", "--bogus"}, "Unbekannte Option: --bogus"},
        {{"a.dmx", "--live", "0", "b.dmx"}, badUniverse + "0" + universeRange},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Shown(c.arguments));
        const CommandLine line = ParseCommandLine(c.arguments);
        EXPECT_EQ(line.action, Action::Error);
        EXPECT_EQ(line.error, c.error);
    }
}

// A file manager passes every selected file: the first is the show, the rest are named on
// standard error and ignored, wherever the options stand.
TEST(CommandLineTest, SeveralFilesOpenTheFirstAndNameTheOthers) {
    const CommandLine two = ParseCommandLine({"a.DMX", "b.DMX"});
    EXPECT_EQ(two.action, Action::Run);
    EXPECT_EQ(two.showFile, "a.DMX");
    EXPECT_EQ(two.ignoredFiles, Arguments({"b.DMX"}));
    EXPECT_EQ(IgnoredFilesNote(two),
              "Nur die erste Showdatei wird geöffnet (a.DMX), übergangen: b.DMX");

    const CommandLine mixed = ParseCommandLine({"a.dmx", "--live=3", "b.dmx", "--", "-c.dmx"});
    EXPECT_EQ(mixed.action, Action::Run);
    EXPECT_EQ(mixed.showFile, "a.dmx");
    EXPECT_EQ(mixed.liveUniverse, 3);
    EXPECT_EQ(mixed.ignoredFiles, Arguments({"b.dmx", "-c.dmx"}));

    EXPECT_EQ(IgnoredFilesNote(ParseCommandLine({"a.dmx"})), "");
    const CommandLine exported = ParseCommandLine({"--export-fseq", "o.fseq", "a.dmx", "b.dmx"});
    EXPECT_EQ(exported.action, Action::Run);
    EXPECT_EQ(exported.showFile, "a.dmx");
}

TEST(CommandLineTest, HelpAndVersionNameTheProgram) {
    const std::string usage = UsageText("/usr/local/bin/velkaro");
    EXPECT_TRUE(usage.starts_with("Aufruf: velkaro [OPTIONEN] [SHOWDATEI]\n")) << usage;
    for (const char* part :
         {"SHOWDATEI", "-h, --help", "--version", "--live UNIVERSUM", "--ola-port PORT",
          "Standard 9010", "$XDG_STATE_HOME/velkaro/", "~/.local/state/velkaro/"})
        EXPECT_NE(usage.find(part), std::string::npos) << part;
    EXPECT_LE(std::count(usage.begin(), usage.end(), '\n'), 15);

    EXPECT_EQ(VersionText("/opt/velkaro/Velkaro"), "Velkaro 1.07");
    EXPECT_EQ(VersionText("VELKARO.bin"), "Velkaro 1.07");
    EXPECT_EQ(VersionText(""), "Velkaro 1.07");
}

} // namespace
} // namespace velkaro

namespace velkaro {
namespace {

TEST(CommandLineTest, ExportTakesItsTargetAndNeedsAShow) {
    const CommandLine plain = ParseCommandLine({"--export-fseq", "out.fseq", "show.dmx"});
    EXPECT_EQ(plain.action, Action::Run);
    EXPECT_EQ(plain.exportFseq, "out.fseq");
    EXPECT_EQ(plain.showFile, "show.dmx");
    EXPECT_FALSE(plain.compress);
    const CommandLine packed = ParseCommandLine({"show.dmx", "--compress", "--export-fseq=o.fseq"});
    EXPECT_EQ(packed.exportFseq, "o.fseq");
    EXPECT_TRUE(packed.compress);
    EXPECT_EQ(ParseCommandLine({"--audio=Lied.mp3", "--export-fseq", "o", "s.dmx"}).audio,
              "Lied.mp3");
    EXPECT_EQ(ParseCommandLine({"--find-tempo", "Lied.mp3"}).findTempo, "Lied.mp3");

    const std::pair<Arguments, std::string> faults[] = {
        {{"show.dmx", "--audio"}, "Fehlender Dateiname für --audio"},
        {{"--find-tempo"}, "Fehlender Dateiname für --find-tempo"},
        {{"--export-fseq", "out.fseq"}, "Fehlende Showdatei für --export-fseq"},
        {{"show.dmx", "--export-fseq"}, "Fehlender Dateiname für --export-fseq"},
        {{"--export-fseq=", "show.dmx"}, "Fehlender Dateiname für --export-fseq"},
        {{"--compress", "show.dmx"}, "--compress gilt nur mit --export-fseq"},
    };
    for (const auto& [arguments, message] : faults) {
        const CommandLine line = ParseCommandLine(arguments);
        EXPECT_EQ(line.action, Action::Error) << Shown(arguments);
        EXPECT_EQ(line.error, message) << Shown(arguments);
    }
}

} // namespace
} // namespace velkaro
