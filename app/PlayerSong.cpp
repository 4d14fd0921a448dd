#include "app/PlayerSong.h"

#include "audio/SongPlayer.h"
#include "files/ShowProject.h"
#include "model/ShowError.h"
#include "player/PlayerSession.h"

#include <filesystem>

namespace velkaro {

namespace {

struct NamedSong {
    std::string Path;
    ShowProject Placement;
};

NamedSong SongTheFileNames(const PlayerOptions& options, const PlayerSession& session) {
    const std::string media = session.MediaFile();
    if (!media.empty()) {
        const std::filesystem::path beside = std::filesystem::path(options.file).parent_path();
        // Only the name counts: a sequence cannot send the player out of the folder.
        const std::string name = std::filesystem::path(media).filename().string();
        return {(beside / name).string(), {}};
    }
    const std::optional<ShowProject> project = ReadShowProject(options.file);
    if (!project || !project->HasSong()) return {};
    return {project->SongPath, *project};
}

std::unique_ptr<SongPlayer> OpenPlaced(const NamedSong& song, const std::string& sink) {
    auto player = std::make_unique<SongPlayer>(song.Path, sink);
    player->SetShowPlacement(std::chrono::milliseconds(song.Placement.SongStartMs),
                             std::chrono::milliseconds(song.Placement.LatencyMs));
    return player;
}

} // namespace

std::unique_ptr<SongPlayer> OpenPlayerSong(const PlayerOptions& options,
                                           const PlayerSession& session, std::string& warning) {
    if (!options.audio.empty()) return OpenPlaced({options.audio, {}}, options.audioSink);
    try {
        const NamedSong song = SongTheFileNames(options, session);
        if (song.Path.empty()) return nullptr;
        return OpenPlaced(song, options.audioSink);
    } catch (const ShowError& error) {
        warning = std::string(error.what()) + "; es wird ohne Musik gespielt";
        return nullptr;
    }
}

} // namespace velkaro
