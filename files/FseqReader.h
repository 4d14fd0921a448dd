#pragma once

#include "files/FileSystem.h"
#include "model/DmxFrame.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velkaro {

// A variable header of a sequence: its two-letter code and its data (strings keep their NUL).
// A header stored after the channel data (code "ED") is listed under its original code.
struct FseqVariableHeader {
    std::string Code;
    std::vector<std::uint8_t> Data;
};

// An FSEQ sequence opened for playing, versions 1.0 and 2.x: plain, zstd or zlib blocks, sparse
// ranges, variable headers. Opening checks everything the file says about itself against its
// size (and decodes every compressed block once), so a file that contradicts itself is refused
// before anything plays. Frames are read one at a time and cut to one universe: channels past
// 512 are dropped, missing ones are 0.
class FseqReader {
public:
    // Throws ShowError with a German message naming the file and the fault.
    explicit FseqReader(const std::string& path, FileSystem& files = DefaultFileSystem());
    ~FseqReader();
    FseqReader(const FseqReader&) = delete;
    FseqReader& operator=(const FseqReader&) = delete;

    int MajorVersion() const;
    int MinorVersion() const;
    std::uint32_t Frames() const;
    int FrameTimeMs() const;
    std::uint32_t ChannelsPerFrame() const;
    int Compression() const;
    const std::vector<FseqVariableHeader>& VariableHeaders() const;

    // Frame `index` (< Frames()) as the universe it lights. Throws ShowError if the file changed
    // under the reader.
    void ReadFrame(std::uint32_t index, DmxFrame& frame);

private:
    struct Sequence;
    std::unique_ptr<Sequence> sequence_;
    std::string path_;
};

// The German message for a sequence that cannot be played.
std::string FseqReadFailure(const std::string& path, const std::string& fault);

} // namespace velkaro
