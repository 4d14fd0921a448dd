#include "app/PlayerOptions.h"

#include "app/OptionReader.h"

namespace velkaro {

namespace {

constexpr NumberOption UniverseOption{"--universe", 1, 9999};
constexpr NumberOption PortOption{"--ola-port", 1, 65535};
constexpr NumberOption SpeedOption{"--speed", 25, 400};
constexpr NumberOption TimesOption{"--times", 1, 1000000};

std::string InvalidNumber(const NumberOption& option, std::string_view value) {
    return "Ungültiger Wert für " + std::string(option.name) + ": \"" + std::string(value) + "\" " +
           AllowedRange(option);
}

void ReadOption(OptionReader& reader, const std::string& argument, PlayerOptions& options) {
    if (OptionReader::Names(UniverseOption.name, argument))
        options.universe = reader.Number(UniverseOption, argument).value_or(options.universe);
    else if (OptionReader::Names(PortOption.name, argument))
        options.olaPort = reader.Number(PortOption, argument).value_or(options.olaPort);
    else if (OptionReader::Names(SpeedOption.name, argument))
        options.speed = reader.Number(SpeedOption, argument).value_or(options.speed);
    else if (OptionReader::Names("--audio", argument))
        options.audio = reader.Value("--audio", argument);
    else if (OptionReader::Names("--audio-sink", argument))
        options.audioSink = reader.Value("--audio-sink", argument);
    else if (OptionReader::Names(TimesOption.name, argument))
        options.times = static_cast<std::uint64_t>(
            reader.Number(TimesOption, argument).value_or(TimesOption.min));
    else
        reader.Fail("Unbekannte Option: " + argument);
}

void TakeFile(OptionReader& reader, PlayerOptions& options) {
    const auto& files = reader.Files();
    if (files.empty()) return reader.Fail("Fehlende Datei: eine DMX-Showdatei oder FSEQ-Datei");
    if (files.size() > 1) return reader.Fail("Zu viele Dateien (genau eine wird abgespielt)");
    options.file = files.front();
}

} // namespace

PlayerOptions ParsePlayerOptions(const std::vector<std::string>& argumentsWithoutProgramName) {
    return ReadOptions(argumentsWithoutProgramName, InvalidNumber, ReadOption, TakeFile);
}

std::string PlayerUsageText(const std::string& programName) {
    return "Aufruf: " + programName +
           " [OPTIONEN] DATEI\n"
           "Spielt eine DMX-Showdatei oder FSEQ-Datei ohne Fenster über den OLA-Dienst olad ab,\n"
           "in einer Schleife bis SIGINT, SIGTERM, SIGHUP oder SIGQUIT; danach geht ein\n"
           "Blackout hinaus.\n"
           "\n"
           "Optionen:\n"
           "  -h, --help            diese Hilfe zeigen\n"
           "  --version             die Version zeigen\n"
           "  --universe U          an OLA-Universum U senden (1 bis 9999, Standard 1)\n"
           "  --ola-port PORT       Port des OLA-Dienstes olad (Standard 9010)\n"
           "  --speed PROZENT       Geschwindigkeit (25 bis 400, Standard 100)\n"
           "  --times N             N Durchläufe, dann Blackout und Ende\n"
           "  --audio DATEI         diese Musik spielen statt der, die die Show nennt\n"
           "  --audio-sink AUSGABE  Tonausgabe als GStreamer-Element (Standard: die übliche)\n"
           "  --                    alles Weitere ist ein Dateiname\n";
}

} // namespace velkaro
