#include "app/CommandLine.h"

#include "app/OptionReader.h"

#include <cctype>
#include <string_view>

namespace velkaro {

namespace {

constexpr NumberOption LiveOption{"--live", 1, 9999};
constexpr NumberOption OlaPortOption{"--ola-port", 1, 65535};
constexpr std::string_view ExportOption = "--export-fseq";
constexpr std::string_view FindTempoOption = "--find-tempo";
constexpr std::string_view AudioOption = "--audio";

std::string InvalidNumber(const NumberOption& option, std::string_view value) {
    const std::string_view what =
        option.name == LiveOption.name ? "Ungültiges Universum" : "Ungültiger Port";
    return std::string(what) + " für " + std::string(option.name) + ": " + std::string(value) +
           " " + AllowedRange(option);
}

std::string FileOf(OptionReader& reader, std::string_view option, std::string_view argument) {
    std::string file = reader.Value(option, argument);
    if (file.empty()) reader.Fail("Fehlender Dateiname für " + std::string(option));
    return file;
}

std::string Listed(const std::vector<std::string>& words) {
    std::string text;
    for (const auto& word : words) text += (text.empty() ? "" : " ") + word;
    return text;
}

std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void ReadOption(OptionReader& reader, const std::string& argument, CommandLine& line) {
    if (OptionReader::Names(LiveOption.name, argument))
        line.liveUniverse = reader.Number(LiveOption, argument);
    else if (argument == "--compress")
        line.compress = true;
    else if (OptionReader::Names(ExportOption, argument))
        line.exportFseq = FileOf(reader, ExportOption, argument);
    else if (OptionReader::Names(FindTempoOption, argument))
        line.findTempo = FileOf(reader, FindTempoOption, argument);
    else if (OptionReader::Names(AudioOption, argument))
        line.audio = FileOf(reader, AudioOption, argument);
    else if (OptionReader::Names(OlaPortOption.name, argument))
        line.olaPort = reader.Number(OlaPortOption, argument).value_or(line.olaPort);
    else
        reader.Fail("Unbekannte Option: " + argument);
}

void TakeFiles(OptionReader& reader, CommandLine& line) {
    const auto& files = reader.Files();
    if (!files.empty()) line.showFile = files.front();
    if (files.size() > 1) line.ignoredFiles.assign(files.begin() + 1, files.end());
    if (line.compress && line.exportFseq.empty())
        return reader.Fail("--compress gilt nur mit --export-fseq");
    if (!line.exportFseq.empty() && line.showFile.empty())
        reader.Fail("Fehlende Showdatei für --export-fseq");
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& argumentsWithoutProgramName) {
    return ReadOptions(argumentsWithoutProgramName, InvalidNumber, ReadOption, TakeFiles);
}

std::string IgnoredFilesNote(const CommandLine& line) {
    if (line.ignoredFiles.empty()) return {};
    return "Nur die erste Showdatei wird geöffnet (" + line.showFile +
           "), übergangen: " + Listed(line.ignoredFiles);
}

std::string UsageText(const std::string& programName) {
    const std::string name = BaseName(programName);
    return "Aufruf: " + name +
           " [OPTIONEN] [SHOWDATEI]\n"
           "Öffnet die DMX-Showdatei SHOWDATEI im Editor; ohne sie beginnt eine leere Show.\n"
           "\n"
           "Optionen:\n"
           "  -h, --help           diese Hilfe zeigen\n"
           "  --version            die Version zeigen\n"
           "  --live UNIVERSUM     die Show live an OLA-Universum UNIVERSUM senden (1 bis 9999)\n"
           "  --ola-port PORT      Port des OLA-Dienstes olad (Standard 9010)\n"
           "  --export-fseq DATEI  die Show ohne Fenster als FSEQ-Sequenz DATEI speichern\n"
           "  --compress           mit --export-fseq: die Sequenz mit zstd komprimieren\n"
           "  --audio DATEI        die Musik DATEI statt der aus der Projektdatei der Show\n"
           "  --find-tempo MUSIK   Tempo (BPM) und ersten Schlag (Sekunden) der Musik zeigen\n"
           "  --                   alles Weitere ist ein Dateiname\n"
           "Ungespeicherte Änderungen sichert das Schließen in $XDG_STATE_HOME/velkaro/\n"
           "(Standard ~/.local/state/velkaro/); die zehn neuesten Kopien bleiben erhalten.\n";
}

std::string VersionText(const std::string& programName) {
    std::string title = BaseName(programName);
    title = title.substr(0, title.find_last_of('.'));
    if (title.empty()) title = "Velkaro";
    for (std::size_t i = 1; i < title.size(); ++i)
        title[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(title[i])));
    return title + " " + VELKARO_VERSION;
}

} // namespace velkaro
