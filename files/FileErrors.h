#pragma once

#include "model/ShowError.h"

#include <string>

namespace velkaro {

// The German message for a failed file access, from the platform's errno.
std::string FileErrorMessage(int errorNumber);

// Throws the ShowError for errno; never returns.
[[noreturn]] void ThrowFileError(int errorNumber);

// The message for a record read short, which has no errno of its own.
inline constexpr const char* ReadPastEndMessage = "Versuch hinter dem Dateiende zu lesen";
// The message for a record written short, usually a full disk.
inline constexpr const char* DiskFullMessage = "Zu wenig Speicherplatz";

} // namespace velkaro
