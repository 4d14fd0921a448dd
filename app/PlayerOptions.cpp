#include "app/PlayerOptions.h"

#include <cctype>
#include <optional>
#include <string_view>

namespace velkaro {

namespace {

struct NumberOption {
    std::string_view name;
    long min;
    long max;
};

constexpr NumberOption UniverseOption{"--universe", 1, 9999};
constexpr NumberOption PortOption{"--ola-port", 1, 65535};
constexpr NumberOption SpeedOption{"--speed", 25, 400};
constexpr NumberOption TimesOption{"--times", 1, 1000000};

std::optional<long> WholeNumber(std::string_view text, const NumberOption& option) {
    if (text.empty()) return std::nullopt;
    long value = 0;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > option.max) return std::nullopt;
    }
    if (value < option.min) return std::nullopt;
    return value;
}

class Parser {
public:
    explicit Parser(const std::vector<std::string>& arguments) : arguments_(arguments) {}

    PlayerOptions Parse() {
        std::vector<std::string> files;
        bool optionsEnded = false;
        while (next_ < arguments_.size() && result_.action == PlayerOptions::Action::Play) {
            const std::string& argument = arguments_[next_++];
            if (optionsEnded || argument == "-" || !argument.starts_with('-'))
                files.push_back(argument);
            else if (argument == "--")
                optionsEnded = true;
            else
                ReadOption(argument);
        }
        if (result_.action != PlayerOptions::Action::Play) return result_;
        if (files.empty()) return Fail("Fehlende Datei: eine DMX-Showdatei oder FSEQ-Datei");
        if (files.size() > 1) return Fail("Zu viele Dateien (genau eine wird abgespielt)");
        result_.file = files.front();
        return result_;
    }

private:
    void ReadOption(const std::string& argument) {
        if (argument == "-h" || argument == "--help")
            result_.action = PlayerOptions::Action::ShowHelp;
        else if (argument == "--version")
            result_.action = PlayerOptions::Action::ShowVersion;
        else if (Names(UniverseOption, argument))
            result_.universe = static_cast<int>(Number(UniverseOption, argument));
        else if (Names(PortOption, argument))
            result_.olaPort = static_cast<int>(Number(PortOption, argument));
        else if (Names(SpeedOption, argument))
            result_.speed = static_cast<int>(Number(SpeedOption, argument));
        else if (Names(TimesOption, argument))
            result_.times = static_cast<std::uint64_t>(Number(TimesOption, argument));
        else
            Fail("Unbekannte Option: " + argument);
    }

    static bool Names(const NumberOption& option, std::string_view argument) {
        return argument == option.name ||
               (argument.starts_with(option.name) && argument[option.name.size()] == '=');
    }

    long Number(const NumberOption& option, std::string_view argument) {
        const std::string name(option.name);
        std::string_view value;
        if (argument != name)
            value = argument.substr(name.size() + 1);
        else if (next_ < arguments_.size())
            value = arguments_[next_++];
        const auto number = WholeNumber(value, option);
        if (!number)
            Fail("Ungültiger Wert für " + name + ": \"" + std::string(value) + "\" (erlaubt " +
                 std::to_string(option.min) + " bis " + std::to_string(option.max) + ")");
        return number.value_or(option.min);
    }

    PlayerOptions Fail(const std::string& message) {
        result_.action = PlayerOptions::Action::Error;
        result_.error = message;
        return result_;
    }

    const std::vector<std::string>& arguments_;
    std::size_t next_ = 0;
    PlayerOptions result_;
};

} // namespace

PlayerOptions ParsePlayerOptions(const std::vector<std::string>& argumentsWithoutProgramName) {
    return Parser(argumentsWithoutProgramName).Parse();
}

std::string PlayerUsageText(const std::string& programName) {
    return "Aufruf: " + programName +
           " [OPTIONEN] DATEI\n"
           "Spielt eine DMX-Showdatei oder FSEQ-Datei ohne Fenster über den OLA-Dienst olad ab,\n"
           "in einer Schleife bis SIGINT oder SIGTERM; danach geht ein Blackout hinaus.\n"
           "\n"
           "Optionen:\n"
           "  -h, --help            diese Hilfe zeigen\n"
           "  --version             die Version zeigen\n"
           "  --universe U          an OLA-Universum U senden (1 bis 9999, Standard 1)\n"
           "  --ola-port PORT       Port des OLA-Dienstes olad (Standard 9010)\n"
           "  --speed PROZENT       Geschwindigkeit (25 bis 400, Standard 100)\n"
           "  --times N             N Durchläufe, dann Blackout und Ende\n"
           "  --                    alles Weitere ist ein Dateiname\n";
}

} // namespace velkaro
