#pragma once

#include "files/FileSystem.h"
#include "model/DmxFrame.h"

#include <cstdint>
#include <functional>
#include <string>

namespace velkaro {

// Fills `frame` with frame `index` of the sequence. The writer asks for the frames in order,
// each once.
using FseqFrameSource = std::function<void(std::uint32_t index, DmxFrame& frame)>;

struct FseqWriteOptions {
    bool Compress = false;      // zstd blocks; otherwise plain frames, which every player reads
    std::uint64_t UniqueId = 0; // 0: microseconds since the epoch, as players expect
    // The song that plays with the sequence, as a file name without folder: players look it up
    // in their own music folder. Empty: no song is named.
    std::string MediaFile;
};

// Writes `frames` frames of one 512-channel universe, 25 ms apart, as an FSEQ 2.0 sequence at
// path. Like a show save it writes a temporary file beside the target and renames it over the
// target only once it is complete; a failure throws ShowError with a German message naming the
// file and leaves no file behind.
void WriteFseq(const std::string& path, std::uint32_t frames, const FseqFrameSource& source,
               const FseqWriteOptions& options = {}, FileSystem& files = DefaultFileSystem());

// The German message for a failed write of the sequence at path.
std::string FseqWriteFailure(const std::string& path, const std::string& fault);

} // namespace velkaro
