#pragma once

#include <stdexcept>
#include <string>

namespace velkaro {

// An error that ends a command and reaches the user as a message box. The message is the
// German text shown to the user, in UTF-8.
class ShowError : public std::runtime_error {
public:
    explicit ShowError(const std::string& message) : std::runtime_error(message) {}
};

// The text shown for an error message: a full stop is added when the last character sorts
// after it, so "Datei nicht gefunden" gains one and "(.xyz)" keeps its bracket last.
std::string WithFullStop(const std::string& message);

} // namespace velkaro
