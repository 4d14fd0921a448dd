#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velkaro {

// What velkaro-player was asked to do.
struct PlayerOptions {
    enum class Action { Play, ShowHelp, ShowVersion, Error };
    Action action = Action::Play;
    std::string file;
    int universe = 1;        // --universe U, 1..9999
    int olaPort = 9010;      // --ola-port PORT, 1..65535
    int speed = 100;         // --speed PERCENT, 25..400 as the preview's speed
    std::uint64_t times = 0; // --times N, 1..1000000; 0 plays until a signal
    std::string audio;       // --audio FILE: the song, over the one the show names
    std::string audioSink;   // --audio-sink SINK: a GStreamer sink; empty: the usual output
    std::string error;       // the German message when action is Error
};

// Reads the arguments: options with a value take it after a space or after "="; after "--"
// every argument is a file name; exactly one file.
PlayerOptions ParsePlayerOptions(const std::vector<std::string>& argumentsWithoutProgramName);

std::string PlayerUsageText(const std::string& programName);

} // namespace velkaro
