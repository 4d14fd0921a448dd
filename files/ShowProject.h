#pragma once

#include "files/FileSystem.h"
#include "model/ShowTempo.h"

#include <cstdint>
#include <optional>
#include <string>

namespace velkaro {

// What belongs to a show beside its DMX file: the song it plays to and its tempo. Kept in
// NAME.velkaro next to NAME.DMX, so the DMX file itself stays what every player reads.
struct ShowProject {
    std::string SongPath; // absolute; empty: no song
    // Where in the song step 0 starts; with a tempo this is the song's first beat, from which
    // every step keeps its share of the beat.
    std::int64_t SongStartMs = 0;
    int LatencyMs = 0; // the lights this much later than the sound (earlier if < 0)
    ShowTempo Tempo;

    bool HasSong() const { return !SongPath.empty(); }
    bool operator==(const ShowProject&) const = default;
};

inline constexpr int MaxLatencyMs = 2000;

// NAME.DMX (any letter case, or any other extension) -> NAME.velkaro in the same folder.
std::string ProjectPathFor(const std::string& showPath);

// Reads the project file of the show at showPath; nullopt when the show has none. The song's
// path comes back absolute, resolved against the show's folder, so a show moved together with
// its song still finds it. A damaged file throws ShowError with a German message.
std::optional<ShowProject> ReadShowProject(const std::string& showPath);

// Writes the project file of the show at showPath: the song relative to the show's folder. Like
// a show save it replaces the old file only once the new one is complete. A project without a
// song removes the project file, so the show is a plain show again.
void WriteShowProject(const std::string& showPath, const ShowProject& project,
                      FileSystem& files = DefaultFileSystem());

// The German message for a song a project names but which is not there.
std::string MissingSongMessage(const std::string& songPath);

} // namespace velkaro
