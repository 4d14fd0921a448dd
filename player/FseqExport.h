#pragma once

#include "model/Grid.h"
#include "model/ShowSettings.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace velkaro {

inline constexpr std::chrono::nanoseconds PlainTickLength = std::chrono::milliseconds(100);

// Frames of one pass of the show in a sequence: four for each tick of every step, or as many
// 25 ms frames as it takes to cover the pass when a tempo sets the tick's length.
std::uint64_t FseqFramesOf(const ShowSettings& settings,
                           std::chrono::nanoseconds tick = PlainTickLength);

// Writes one pass of the show as an FSEQ sequence at path: frame n is the show n × 25 ms after
// the start of its first step, as live output would send it then, each tick lasting `tick`. Throws
// ShowError with a German message naming the file; a failed export leaves no file behind. A song,
// if given, is named in the sequence by its file name, as players look it up in their music folder.
void ExportFseq(const std::string& path, const Grid& cells, const ShowSettings& settings,
                bool monoMode, bool compress, const std::string& song = {},
                std::chrono::nanoseconds tick = PlainTickLength);

// The same for a DMX show file, for the command line, at the tempo of its project file.
void ExportShowFileAsFseq(const std::string& showPath, const std::string& fseqPath, bool compress,
                          const std::string& song = {});

} // namespace velkaro
