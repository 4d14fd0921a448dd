#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velkaro {

// What the program was asked to do at start.
struct CommandLine {
    enum class Action { Run, ShowHelp, ShowVersion, Error };
    Action action = Action::Run;
    std::string showFile;                  // empty: none
    std::vector<std::string> ignoredFiles; // the file names after the first
    std::optional<int> liveUniverse;       // --live UNIVERSE, 1..9999
    int olaPort = 9010;                    // --ola-port PORT, 1..65535
    std::string exportFseq; // --export-fseq OUT: write the show as a sequence, no window
    bool compress = false;  // --compress: the sequence in zstd blocks
    std::string audio;      // --audio FILE: the song, over the show's project file
    std::string findTempo;  // --find-tempo SONG: print the song's tempo and first beat
    std::string error;      // the German message when action is Error
};

// Reads the arguments in order: --help or -h, --version, or a faulty option decide at once;
// options with a value take it after a space or after "="; after "--" every argument is a file
// name. The first file name is the show; a file manager passes several when several files
// are selected, and the others are ignored. A lone "-" is a file name too.
CommandLine ParseCommandLine(const std::vector<std::string>& argumentsWithoutProgramName);

// The note for standard error about the ignored file names; empty when there are none.
std::string IgnoredFilesNote(const CommandLine& line);

// The short German help, naming the program as it was called.
std::string UsageText(const std::string& programName);

// "Velkaro 1.07": the program's name as its windows title it, and its version.
std::string VersionText(const std::string& programName);

} // namespace velkaro
