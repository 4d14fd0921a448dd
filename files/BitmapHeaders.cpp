#include "files/Bitmap.h"
#include "files/BitmapRunLength.h"

#include <cstdint>
#include <cstdlib>

namespace velkaro {

namespace {

constexpr std::size_t FileHeaderBytes = 14;
constexpr std::uint32_t CoreHeaderBytes = 12; // the oldest header: 16-bit width and height

enum Compression : std::uint32_t { Uncompressed = 0, Rle8 = 1, Rle4 = 2, BitFields = 3 };

std::uint32_t U16(const unsigned char* p) {
    return p[0] | (static_cast<std::uint32_t>(p[1]) << 8);
}
std::uint32_t U32(const unsigned char* p) {
    return U16(p) | (U16(p + 2) << 16);
}
std::int64_t S16(const unsigned char* p) {
    return static_cast<std::int16_t>(U16(p));
}
std::int64_t S32(const unsigned char* p) {
    return static_cast<std::int32_t>(U32(p));
}

// The header sizes the decoder understands; 16, 66 and the like are not among them.
bool IsKnownHeaderSize(std::uint32_t size) {
    switch (size) {
    case 12:
    case 40:
    case 52:
    case 56:
    case 64:
    case 108:
    case 124:
        return true;
    default:
        return false;
    }
}

struct InfoHeader {
    std::int64_t Width = 0;
    std::int64_t Height = 0;
    std::uint32_t Planes = 0;
    std::uint32_t BitCount = 0;
    std::uint32_t Compression = Uncompressed;
    std::uint32_t ImageBytes = 0;
    std::uint32_t ColoursUsed = 0; // 0: as many as the bit count allows
};

InfoHeader ReadInfoHeader(const unsigned char* info, std::uint32_t headerSize) {
    InfoHeader header;
    if (headerSize == CoreHeaderBytes) {
        header.Width = S16(info + 4);
        header.Height = S16(info + 6);
        header.Planes = U16(info + 8);
        header.BitCount = U16(info + 10);
        return header;
    }
    header.Width = S32(info + 4);
    header.Height = S32(info + 8);
    header.Planes = U16(info + 12);
    header.BitCount = U16(info + 14);
    header.Compression = U32(info + 16);
    header.ImageBytes = U32(info + 20);
    header.ColoursUsed = U32(info + 32);
    return header;
}

bool HasFittingCompression(const InfoHeader& header) {
    const auto bits = header.BitCount;
    switch (header.Compression) {
    case Uncompressed:
        return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case Rle8:
        return bits == 8;
    case Rle4:
        return bits == 4;
    case BitFields:
        return bits == 16 || bits == 32;
    default:
        return false;
    }
}

bool IsRunLength(const InfoHeader& header) {
    return header.Compression == Rle8 || header.Compression == Rle4;
}

// Rows are padded to whole 32-bit words. Divided rather than multiplied: a header may claim
// 2^31 rows of 2^36 bits, whose product no integer holds.
bool UncompressedDataFits(const InfoHeader& header, std::int64_t pixelBytes) {
    const std::int64_t rowBytes = (header.Width * header.BitCount + 31) / 32 * 4;
    return rowBytes > 0 && std::llabs(header.Height) <= pixelBytes / rowBytes;
}

// The decoder reads the colour table in full and only then seeks forward to the pixel data,
// never back: run-length data that starts inside the table would be read from elsewhere than
// the header says, and go unchecked.
std::uint64_t ColourTableEnd(std::uint32_t headerSize, const InfoHeader& header) {
    const std::uint64_t colours =
        header.ColoursUsed != 0 ? header.ColoursUsed : std::uint64_t{1} << header.BitCount;
    return FileHeaderBytes + headerSize + 4 * colours;
}

bool HasWholeRunLengthData(const unsigned char* data, std::size_t size, std::uint32_t headerSize,
                           std::uint32_t pixelOffset, const InfoHeader& header) {
    if (pixelOffset < ColourTableEnd(headerSize, header)) return false;
    const RunLengthShape shape{header.Width, header.Height, static_cast<int>(header.BitCount)};
    return IsWholeRunLengthData({data + pixelOffset, size - pixelOffset}, shape);
}

} // namespace

bool HasSoundBitmapHeaders(const unsigned char* data, std::size_t size) {
    if (size < FileHeaderBytes + 4 || data[0] != 'B' || data[1] != 'M') return false;
    const std::uint32_t headerSize = U32(data + FileHeaderBytes);
    if (!IsKnownHeaderSize(headerSize) || size < FileHeaderBytes + headerSize) return false;

    const InfoHeader header = ReadInfoHeader(data + FileHeaderBytes, headerSize);
    if (header.Planes != 1 || !HasFittingCompression(header)) return false;
    // Run-length data is always stored bottom-up.
    if (header.Width <= 0 || header.Height == 0 || (header.Height < 0 && IsRunLength(header)))
        return false;

    const std::uint32_t pixelOffset = U32(data + 10);
    if (pixelOffset < FileHeaderBytes + headerSize || pixelOffset > size) return false;
    const auto pixelBytes = static_cast<std::int64_t>(size - pixelOffset);
    if (header.ImageBytes > pixelBytes) return false;
    if (IsRunLength(header))
        return HasWholeRunLengthData(data, size, headerSize, pixelOffset, header);
    return UncompressedDataFits(header, pixelBytes);
}

} // namespace velkaro
