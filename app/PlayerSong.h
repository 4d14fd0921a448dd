#pragma once

#include "app/PlayerOptions.h"

#include <memory>
#include <string>

namespace velkaro {

class PlayerSession;
class SongPlayer;

// The song velkaro-player plays with the file: the one given with --audio, else the one an
// FSEQ names in its "mf" header (found beside it), else the one of a show's project file.
// nullptr without a song. A song given with --audio that cannot play throws ShowError; a song
// the file names but that cannot play is told in `warning`, and the file plays without it.
std::unique_ptr<SongPlayer> OpenPlayerSong(const PlayerOptions& options,
                                           const PlayerSession& session, std::string& warning);

} // namespace velkaro
