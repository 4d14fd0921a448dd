#pragma once

#include "audio/BeatFinder.h"

#include <atomic>
#include <string>
#include <vector>

namespace velkaro {

// Decodes the song at path to mono samples at BeatAnalysisRate, as fast as the processor
// allows. `progress` hears the share decoded (0..1) when the song tells its length; false
// cancels, and the samples so far come back. A file that is no song throws ShowError in German.
std::vector<float> DecodeForBeat(const std::string& path, const BeatProgress& progress = {});

// Decodes and analyses the song: the first half of the progress is decoding, the second
// finding. nullopt when cancelled or when no beat is found; ShowError as DecodeForBeat.
std::optional<BeatProposal> FindSongBeat(const std::string& path,
                                         const BeatProgress& progress = {});

// The German message for a song without a beat to find.
std::string NoBeatMessage(const std::string& path);

} // namespace velkaro
