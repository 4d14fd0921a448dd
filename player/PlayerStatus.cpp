#include "player/PlayerStatus.h"

#include <cstdio>

namespace velkaro {

std::string PlayerStatusLine(const std::string& file, const char* unitName, std::uint64_t unit,
                             std::uint64_t units, std::uint64_t elapsedSeconds,
                             bool oladConnected) {
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "%llu:%02llu:%02llu",
                  static_cast<unsigned long long>(elapsedSeconds / 3600),
                  static_cast<unsigned long long>(elapsedSeconds / 60 % 60),
                  static_cast<unsigned long long>(elapsedSeconds % 60));
    return file + " | " + unitName + " " + std::to_string(unit + 1) + " von " +
           std::to_string(units) + " | " + elapsed + " | " +
           (oladConnected ? "olad verbunden" : "olad nicht verbunden");
}

std::string OladMissingMessage(int port) {
    return "olad ist nicht erreichbar (Port " + std::to_string(port) +
           "); die Ausgabe beginnt, sobald olad läuft.";
}

} // namespace velkaro
