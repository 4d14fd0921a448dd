#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkaro {

// An option that takes a whole number, and the range it allows.
struct NumberOption {
    std::string_view name;
    int min;
    int max;
};

// "(erlaubt 1 bis 9999)": the range as the messages name it.
std::string AllowedRange(const NumberOption& option);

// Walks the arguments in order for a parser that knows only its own options and messages.
// Options take a value after a space or after "="; after "--" every argument is a file name,
// and so is a lone "-". The first fault, --help or -h, and --version end the walk at once.
class OptionReader {
public:
    enum class Request { Run, Help, Version };

    // The message for a value that is there but is no whole number within the option's range.
    using InvalidNumberMessage = std::string (*)(const NumberOption& option,
                                                 std::string_view value);

    OptionReader(const std::vector<std::string>& arguments, InvalidNumberMessage invalidNumber);

    // The next option, collecting the file names before it; none once the walk has ended.
    const std::string* NextOption();

    // Whether the argument is "--name" or "--name=VALUE".
    static bool Names(std::string_view name, std::string_view argument);

    // The value of "--name VALUE" or "--name=VALUE"; empty when it is missing.
    std::string Value(std::string_view name, std::string_view argument);

    // The value as a number; a missing (or empty) or faulty one is reported.
    std::optional<int> Number(const NumberOption& option, std::string_view argument);

    void Fail(std::string message);
    bool Failed() const { return !error_.empty(); }
    Request Requested() const { return request_; }
    // Whether the options alone decide, so the file names do not matter.
    bool Decided() const { return Failed() || request_ != Request::Run; }
    const std::string& Error() const { return error_; }
    const std::vector<std::string>& Files() const { return files_; }

private:
    const std::vector<std::string>& arguments_;
    InvalidNumberMessage invalidNumber_;
    std::size_t next_ = 0;
    bool optionsEnded_ = false;
    Request request_ = Request::Run;
    std::vector<std::string> files_;
    std::string error_;
};

// Reads the arguments into fresh options: each option through readOption, then, unless the
// options alone decide, the file names through takeFiles. Help, the version or the first fault
// replace what was read.
template <typename Options>
Options ReadOptions(const std::vector<std::string>& arguments,
                    OptionReader::InvalidNumberMessage invalidNumber,
                    void (*readOption)(OptionReader&, const std::string&, Options&),
                    void (*takeFiles)(OptionReader&, Options&)) {
    OptionReader reader(arguments, invalidNumber);
    Options options;
    while (const std::string* option = reader.NextOption()) readOption(reader, *option, options);
    if (!reader.Decided()) takeFiles(reader, options);
    if (reader.Failed()) {
        options.action = Options::Action::Error;
        options.error = reader.Error();
    } else if (reader.Requested() == OptionReader::Request::Help) {
        options.action = Options::Action::ShowHelp;
    } else if (reader.Requested() == OptionReader::Request::Version) {
        options.action = Options::Action::ShowVersion;
    }
    return options;
}

} // namespace velkaro
