#include "app/OptionReader.h"

#include <cctype>
#include <utility>

namespace velkaro {

namespace {

// A whole decimal number without sign or spaces, within the option's range.
std::optional<int> WholeNumber(std::string_view text, const NumberOption& option) {
    long value = 0;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > option.max) return std::nullopt;
    }
    if (value < option.min) return std::nullopt;
    return static_cast<int>(value);
}

} // namespace

std::string AllowedRange(const NumberOption& option) {
    return "(erlaubt " + std::to_string(option.min) + " bis " + std::to_string(option.max) + ")";
}

OptionReader::OptionReader(const std::vector<std::string>& arguments,
                           InvalidNumberMessage invalidNumber)
    : arguments_(arguments), invalidNumber_(invalidNumber) {}

const std::string* OptionReader::NextOption() {
    while (!Decided() && next_ < arguments_.size()) {
        const std::string& argument = arguments_[next_++];
        if (optionsEnded_ || argument == "-" || !argument.starts_with('-'))
            files_.push_back(argument);
        else if (argument == "--")
            optionsEnded_ = true;
        else if (argument == "-h" || argument == "--help")
            request_ = Request::Help;
        else if (argument == "--version")
            request_ = Request::Version;
        else
            return &argument;
    }
    return nullptr;
}

bool OptionReader::Names(std::string_view name, std::string_view argument) {
    return argument == name || (argument.starts_with(name) && argument[name.size()] == '=');
}

std::string OptionReader::Value(std::string_view name, std::string_view argument) {
    if (argument != name) return std::string(argument.substr(name.size() + 1));
    if (next_ < arguments_.size()) return arguments_[next_++];
    return {};
}

std::optional<int> OptionReader::Number(const NumberOption& option, std::string_view argument) {
    const std::string value = Value(option.name, argument);
    if (value.empty()) {
        Fail("Fehlender Wert für " + std::string(option.name) + " " + AllowedRange(option));
        return std::nullopt;
    }
    const auto number = WholeNumber(value, option);
    if (!number) Fail(invalidNumber_(option, value));
    return number;
}

void OptionReader::Fail(std::string message) {
    error_ = std::move(message);
}

} // namespace velkaro
