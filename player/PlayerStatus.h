#pragma once

#include <cstdint>
#include <string>

namespace velkaro {

// The one status line the player keeps up to date on a terminal, for example
// "show.dmx | Schritt 3 von 12 | 0:01:05 | olad verbunden".
std::string PlayerStatusLine(const std::string& file, const char* unitName, std::uint64_t unit,
                             std::uint64_t units, std::uint64_t elapsedSeconds, bool oladConnected);

// Said once on stderr while olad cannot be reached.
std::string OladMissingMessage(int port);

} // namespace velkaro
