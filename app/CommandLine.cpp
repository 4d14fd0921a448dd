#include "app/CommandLine.h"

#include <cctype>
#include <string_view>

namespace velkaro {

namespace {

// An option that takes a number, the word its messages use for the number, and its range.
struct NumberOption {
    std::string_view name;
    std::string_view invalidWhat; // "Ungültiges Universum", "Ungültiger Port"
    int min;
    int max;
};

constexpr NumberOption LiveOption{"--live", "Ungültiges Universum", 1, 9999};
constexpr NumberOption OlaPortOption{"--ola-port", "Ungültiger Port", 1, 65535};
constexpr std::string_view ExportOption = "--export-fseq";

std::string Range(const NumberOption& option) {
    return "(erlaubt " + std::to_string(option.min) + " bis " + std::to_string(option.max) + ")";
}

// A whole decimal number without sign or spaces, within the option's range.
std::optional<int> ParseNumber(std::string_view text, const NumberOption& option) {
    long value = 0;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > option.max) return std::nullopt;
    }
    if (value < option.min) return std::nullopt;
    return static_cast<int>(value);
}

std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

class Parser {
public:
    explicit Parser(const std::vector<std::string>& arguments) : arguments_(arguments) {}

    CommandLine Parse() {
        std::vector<std::string> files;
        bool optionsEnded = false;
        for (next_ = 0; next_ < arguments_.size() && result_.action == CommandLine::Action::Run;) {
            const std::string& argument = arguments_[next_++];
            if (optionsEnded || argument == "-" || !argument.starts_with('-'))
                files.push_back(argument);
            else if (argument == "--")
                optionsEnded = true;
            else
                ReadOption(argument);
        }
        if (result_.action != CommandLine::Action::Run) return result_;
        if (files.size() > 1)
            return Fail("Zu viele Argumente: " + Listed(files) + " (höchstens eine Showdatei)");
        if (!files.empty()) result_.showFile = files.front();
        if (result_.compress && result_.exportFseq.empty())
            return Fail("--compress gilt nur mit --export-fseq");
        if (!result_.exportFseq.empty() && result_.showFile.empty())
            return Fail("Fehlende Showdatei für --export-fseq");
        return result_;
    }

private:
    void ReadOption(const std::string& argument) {
        if (argument == "-h" || argument == "--help")
            result_.action = CommandLine::Action::ShowHelp;
        else if (argument == "--version")
            result_.action = CommandLine::Action::ShowVersion;
        else if (Names(LiveOption, argument))
            result_.liveUniverse = ReadNumber(LiveOption, argument);
        else if (argument == "--compress")
            result_.compress = true;
        else if (NamesOption(ExportOption, argument))
            result_.exportFseq = ReadText(ExportOption, argument);
        else if (Names(OlaPortOption, argument))
            result_.olaPort = ReadNumber(OlaPortOption, argument).value_or(result_.olaPort);
        else
            Fail("Unbekannte Option: " + argument);
    }

    static bool Names(const NumberOption& option, std::string_view argument) {
        return NamesOption(option.name, argument);
    }
    static bool NamesOption(std::string_view name, std::string_view argument) {
        return argument == name || (argument.starts_with(name) && argument[name.size()] == '=');
    }

    // The value of "--name VALUE" or "--name=VALUE"; a missing or empty one is reported.
    std::string ReadText(std::string_view name, std::string_view argument) {
        std::string value;
        if (argument != name)
            value = argument.substr(name.size() + 1);
        else if (next_ < arguments_.size())
            value = arguments_[next_++];
        if (value.empty()) Fail("Fehlender Dateiname für " + std::string(name));
        return value;
    }

    // The value of "--name N" or "--name=N"; a missing (or empty) or faulty one is reported.
    std::optional<int> ReadNumber(const NumberOption& option, std::string_view argument) {
        const std::string name(option.name);
        std::string_view value;
        if (argument != name)
            value = argument.substr(name.size() + 1);
        else if (next_ < arguments_.size())
            value = arguments_[next_++];
        if (value.empty()) {
            Fail("Fehlender Wert für " + name + " " + Range(option));
            return std::nullopt;
        }
        const auto number = ParseNumber(value, option);
        if (!number)
            Fail(std::string(option.invalidWhat) + " für " + name + ": " + std::string(value) +
                 " " + Range(option));
        return number;
    }

    CommandLine Fail(const std::string& message) {
        result_.action = CommandLine::Action::Error;
        result_.error = message;
        return result_;
    }

    static std::string Listed(const std::vector<std::string>& words) {
        std::string text;
        for (const auto& word : words) text += (text.empty() ? "" : " ") + word;
        return text;
    }

    const std::vector<std::string>& arguments_;
    std::size_t next_ = 0;
    CommandLine result_;
};

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& argumentsWithoutProgramName) {
    return Parser(argumentsWithoutProgramName).Parse();
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
           "  --                   alles Weitere ist ein Dateiname\n"
           "\n"
           "Beim Schließen werden ungespeicherte Änderungen als Wiederherstellungskopie\n"
           "in $XDG_STATE_HOME/velkaro/ gesichert (Standard ~/.local/state/velkaro/);\n"
           "die zehn neuesten bleiben erhalten.\n";
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
