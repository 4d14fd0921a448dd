#pragma once

// FSEQ files made byte by byte from the format's description, and read back the same way, so
// that the tests do not judge the program's reader and writer by themselves.

#include <zlib.h>
#include <zstd.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace velkaro::testing {

using FseqBytes = std::vector<std::uint8_t>;

inline void PutLE(FseqBytes& bytes, std::size_t at, std::uint64_t value, int size) {
    if (bytes.size() < at + size) bytes.resize(at + size);
    for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}
inline std::uint64_t GetLE(const FseqBytes& bytes, std::size_t at, int size) {
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes.at(at + i);
    return value;
}

struct HandMadeHeader {
    std::string Code;
    std::string Text;       // stored with its NUL
    bool AfterData = false; // stored after the channel data, reached through an "ED" header
};

// A sequence as a writer following the description would store it.
struct HandMadeFseq {
    int Major = 2;
    int Minor = 0;
    int FrameMs = 50;
    int Compression = 0;                    // 0 none, 1 zstd, 2 zlib
    std::vector<std::uint32_t> BlockStarts; // first frame of each block when compressed
    int UnusedBlockSlots = 0;               // index entries of length 0 after the blocks
    std::vector<std::pair<std::uint32_t, std::uint32_t>> Sparse; // start, count
    std::vector<HandMadeHeader> Headers;
    std::size_t ExtraPadding = 0;  // zero bytes before the data, a multiple of 4
    std::vector<FseqBytes> Frames; // each ChannelsPerFrame() bytes

    std::uint32_t ChannelsPerFrame() const { return Frames.empty() ? 0 : Frames[0].size(); }

    std::vector<FseqBytes> Blocks() const {
        std::vector<FseqBytes> blocks;
        for (std::size_t b = 0; b < BlockStarts.size(); ++b) {
            const std::size_t end = b + 1 < BlockStarts.size() ? BlockStarts[b + 1] : Frames.size();
            FseqBytes raw;
            for (std::size_t f = BlockStarts[b]; f < end; ++f)
                raw.insert(raw.end(), Frames[f].begin(), Frames[f].end());
            FseqBytes packed;
            if (Compression == 1) {
                packed.resize(ZSTD_compressBound(raw.size()));
                packed.resize(
                    ZSTD_compress(packed.data(), packed.size(), raw.data(), raw.size(), 3));
            } else {
                uLongf length = compressBound(raw.size());
                packed.resize(length);
                compress2(packed.data(), &length, raw.data(), raw.size(), 6);
                packed.resize(length);
            }
            blocks.push_back(packed);
        }
        return blocks;
    }

    FseqBytes Build() const {
        const bool v1 = Major == 1;
        const std::vector<FseqBytes> blocks = Compression ? Blocks() : std::vector<FseqBytes>{};
        const std::size_t slots = blocks.size() + UnusedBlockSlots;
        const std::size_t tables = v1 ? 28 : 32 + 8 * slots + 6 * Sparse.size();
        std::size_t variable = 0;
        for (const auto& h : Headers) variable += 4 + (h.AfterData ? 14 : h.Text.size() + 1);
        const std::size_t dataOffset = (tables + variable + 3) / 4 * 4 + ExtraPadding;
        FseqBytes data;
        if (Compression)
            for (const auto& b : blocks) data.insert(data.end(), b.begin(), b.end());
        else
            for (const auto& f : Frames) data.insert(data.end(), f.begin(), f.end());

        FseqBytes file(dataOffset, 0);
        const char* magic = v1 ? "FSEQ" : "PSEQ";
        for (int i = 0; i < 4; ++i) file[i] = static_cast<std::uint8_t>(magic[i]);
        PutLE(file, 4, dataOffset, 2);
        file[6] = static_cast<std::uint8_t>(Minor);
        file[7] = static_cast<std::uint8_t>(Major);
        PutLE(file, 8, tables, 2);
        PutLE(file, 10, ChannelsPerFrame() == 0 ? 0 : SparseSum(), 4);
        PutLE(file, 14, Frames.size(), 4);
        file[18] = static_cast<std::uint8_t>(FrameMs);
        if (v1) {
            PutLE(file, 20, 1, 2);   // universes
            PutLE(file, 22, 512, 2); // universe size
            file[24] = 1;            // gamma
        } else {
            file[20] = static_cast<std::uint8_t>(Compression);
            file[21] = static_cast<std::uint8_t>(slots);
            file[22] = static_cast<std::uint8_t>(Sparse.size());
            PutLE(file, 24, 0x0123456789abcdefull, 8);
            std::size_t at = 32;
            for (std::size_t b = 0; b < blocks.size(); ++b, at += 8) {
                PutLE(file, at, BlockStarts[b], 4);
                PutLE(file, at + 4, blocks[b].size(), 4);
            }
            at += 8 * UnusedBlockSlots;
            for (const auto& [start, count] : Sparse) {
                PutLE(file, at, start, 3);
                PutLE(file, at + 3, count, 3);
                at += 6;
            }
        }
        std::size_t at = tables;
        FseqBytes after;
        for (const auto& h : Headers) {
            if (!h.AfterData) {
                PutLE(file, at, 4 + h.Text.size() + 1, 2);
                file[at + 2] = h.Code[0];
                file[at + 3] = h.Code[1];
                for (std::size_t i = 0; i < h.Text.size(); ++i) file[at + 4 + i] = h.Text[i];
                at += 4 + h.Text.size() + 1;
                continue;
            }
            PutLE(file, at, 18, 2);
            file[at + 2] = 'E';
            file[at + 3] = 'D';
            file[at + 4] = h.Code[0];
            file[at + 5] = h.Code[1];
            PutLE(file, at + 6, dataOffset + data.size() + after.size(), 8);
            PutLE(file, at + 14, h.Text.size() + 1, 4);
            after.insert(after.end(), h.Text.begin(), h.Text.end());
            after.push_back(0);
            at += 18;
        }
        file.insert(file.end(), data.begin(), data.end());
        file.insert(file.end(), after.begin(), after.end());
        return file;
    }

private:
    std::uint32_t SparseSum() const {
        if (Sparse.empty()) return ChannelsPerFrame();
        std::uint32_t sum = 0;
        for (const auto& range : Sparse) sum += range.second;
        return sum;
    }
};

// A version 2 sequence read back by the description alone: the header fields, the producer,
// and every frame's bytes.
struct ReadBackFseq {
    std::uint32_t DataOffset = 0, HeaderLength = 0, Channels = 0, Frames = 0;
    int Minor = 0, Major = 0, FrameMs = 0, Compression = 0, Blocks = 0, Sparse = 0;
    std::uint64_t UniqueId = 0;
    std::string Producer;
    std::string MediaFile; // the "mf" header's text, without its NUL
    bool MediaFileEndsInNul = false;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> BlockIndex;
    FseqBytes Data; // every frame, one after another

    explicit ReadBackFseq(const FseqBytes& file) {
        if (std::string(file.begin(), file.begin() + 4) != "PSEQ")
            throw std::runtime_error("magic");
        DataOffset = GetLE(file, 4, 2);
        Minor = file.at(6);
        Major = file.at(7);
        HeaderLength = GetLE(file, 8, 2);
        Channels = GetLE(file, 10, 4);
        Frames = GetLE(file, 14, 4);
        FrameMs = file.at(18);
        Compression = file.at(20) & 15;
        Blocks = file.at(21);
        Sparse = file.at(22);
        UniqueId = GetLE(file, 24, 8);
        for (int b = 0; b < Blocks; ++b)
            BlockIndex.emplace_back(GetLE(file, 32 + 8 * b, 4), GetLE(file, 36 + 8 * b, 4));
        for (std::size_t at = HeaderLength; at + 4 < DataOffset;) {
            const std::size_t length = GetLE(file, at, 2);
            if (length == 0) break;
            if (file[at + 2] == 's' && file[at + 3] == 'p')
                Producer.assign(reinterpret_cast<const char*>(&file[at + 4]));
            if (file[at + 2] == 'm' && file[at + 3] == 'f') {
                MediaFile.assign(reinterpret_cast<const char*>(&file[at + 4]));
                MediaFileEndsInNul = file.at(at + length - 1) == 0;
            }
            at += length;
        }
        if (Compression == 0) {
            Data.assign(file.begin() + DataOffset, file.end());
            return;
        }
        std::size_t at = DataOffset;
        for (const auto& [first, length] : BlockIndex) {
            const auto size = ZSTD_getFrameContentSize(&file.at(at), length);
            FseqBytes raw(size);
            if (ZSTD_decompress(raw.data(), raw.size(), &file.at(at), length) != size)
                throw std::runtime_error("block");
            Data.insert(Data.end(), raw.begin(), raw.end());
            at += length;
        }
    }

    const std::uint8_t* Frame(std::uint32_t n) const {
        return Data.data() + std::size_t(n) * Channels;
    }
};

} // namespace velkaro::testing
