#pragma once

#include "model/Grid.h"
#include "model/ShowSettings.h"

#include <ctime>
#include <optional>
#include <string>

namespace velkaro {

// How many recovery copies a folder keeps; a new one removes the oldest beyond these.
constexpr int KeptRecoveryCopies = 10;

// The folder of the recovery copies, from the values of XDG_STATE_HOME and HOME (either may be
// null): $XDG_STATE_HOME/velkaro when that is an absolute path, else $HOME/.local/state/velkaro.
// Empty when neither gives an absolute folder.
std::string RecoveryFolder(const char* xdgStateHome, const char* home);

// Saves the show as velkaro-YYYY-MM-DD-HHMMSS.dmx (local time of `now`; -2, -3 ... added when
// that name is taken) in `folder`, creating it and its missing parents only the owner may
// enter. Then removes the oldest recovery copies there, so the newest ten remain; other files
// are left alone. Returns the path written, or nothing when the copy could not be written: the
// caller is closing and must not be stopped, so this never throws.
std::optional<std::string> WriteRecoveryCopy(const std::string& folder, const Grid& cells,
                                             const ShowSettings& settings, bool monoMode,
                                             std::time_t now) noexcept;

} // namespace velkaro
