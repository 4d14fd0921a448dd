#pragma once

#include <cstddef>
#include <cstdint>

namespace velkaro {

// The binary layout of FSEQ sequence files, the frame-by-frame format of Falcon Player and the
// controllers and players that follow it. Every number is little-endian.
namespace Fseq {

constexpr std::size_t HeaderSizeV1 = 28;
constexpr std::size_t HeaderSizeV2 = 32;
constexpr std::size_t BlockEntrySize = 8;       // first frame (4), compressed length (4)
constexpr std::size_t SparseRangeSize = 6;      // start channel (3), channel count (3)
constexpr std::size_t VariableHeaderPrefix = 4; // length (2) including these 4 bytes, code (2)
constexpr std::size_t ExtendedHeaderData = 14;  // original code (2), offset (8), length (4)

constexpr std::size_t DataOffsetField = 4;
constexpr std::size_t MinorVersionField = 6;
constexpr std::size_t MajorVersionField = 7;
constexpr std::size_t HeaderLengthField = 8;
constexpr std::size_t ChannelCountField = 10;
constexpr std::size_t FrameCountField = 14;
constexpr std::size_t FrameTimeField = 18;
constexpr std::size_t CompressionField = 20; // low 4 bits type, high 4 bits block count bits 8-11
constexpr std::size_t BlockCountField = 21;
constexpr std::size_t SparseCountField = 22;
constexpr std::size_t UniqueIdField = 24;

enum Compression : int { NoCompression = 0, Zstd = 1, Zlib = 2 };

// What Velkaro writes: one universe of 512 channels, 40 frames a second, which stays below
// the roughly 44 frames a second a DMX line carries.
constexpr std::uint32_t ExportChannels = 512;
constexpr int ExportFrameMs = 25;
constexpr int FramesPerTick = 100 / ExportFrameMs; // a tick of the show is a tenth of a second
constexpr int MaxBlocksV20 = 255;                  // version 2.0 counts blocks in one byte
constexpr std::uint32_t FirstBlockFrames = 10;     // a small first block starts playback early
constexpr std::size_t BlockBytes = 64 * 1024;      // raw frames per later block, about

inline std::uint32_t ReadU16(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8;
}
inline std::uint32_t ReadU24(const std::uint8_t* p) {
    return ReadU16(p) | std::uint32_t(p[2]) << 16;
}
inline std::uint32_t ReadU32(const std::uint8_t* p) {
    return ReadU24(p) | std::uint32_t(p[3]) << 24;
}
inline std::uint64_t ReadU64(const std::uint8_t* p) {
    return std::uint64_t(ReadU32(p)) | std::uint64_t(ReadU32(p + 4)) << 32;
}
inline void WriteLE(std::uint8_t* p, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

} // namespace Fseq

} // namespace velkaro
