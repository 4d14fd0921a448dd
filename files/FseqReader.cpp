#include "files/FseqReader.h"

#include "files/FileErrors.h"
#include "files/FseqFormat.h"
#include "files/ReplacingFile.h"

#include <zlib.h>
#include <zstd.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>

namespace velkaro {

namespace {

// A block or a frame bigger than this is refused rather than decoded into memory: no show of
// one universe comes near it, and a small player machine could not hold it.
constexpr std::uint64_t MaxBlockBytes = 256ull << 20;

[[noreturn]] void Damaged(const std::string& what) {
    throw ShowError("beschädigt (" + what + ")");
}

// Where the channels of one sparse range lie in a frame and in the universe.
struct Range {
    std::uint64_t Start = 0;       // first channel in the universe, 0-based
    std::uint64_t Count = 0;       // channels
    std::uint64_t FrameOffset = 0; // where the range's bytes begin within a stored frame

    // How many of its channels fall into the one universe a frame is cut to.
    std::uint64_t Useful() const {
        return Start >= DmxChannels ? 0 : std::min<std::uint64_t>(Count, DmxChannels - Start);
    }
};

struct Block {
    std::uint32_t FirstFrame = 0;
    std::uint32_t Frames = 0;
    std::uint64_t Offset = 0;
    std::uint64_t Length = 0;
};

void ReadExactly(FileSystem& files, int fd, std::uint8_t* bytes, std::size_t count,
                 std::uint64_t offset) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got =
            files.ReadAt(fd, bytes + done, count - done, static_cast<std::int64_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR) continue;
            ThrowFileError(errno);
        }
        if (got == 0) throw ShowError(ReadPastEndMessage);
        done += static_cast<std::size_t>(got);
    }
}

} // namespace

struct FseqReader::Sequence {
    explicit Sequence(FileSystem& fileSystem) : Files(fileSystem), File(fileSystem, -1) {}

    FileSystem& Files;
    Descriptor File;
    std::uint64_t Size = 0;
    std::vector<std::uint8_t> Head; // everything before the channel data
    int Major = 0;
    int Minor = 0;
    std::uint32_t DataOffset = 0;
    std::uint32_t TablesEnd = 0;
    std::uint32_t Channels = 0;
    std::uint32_t Frames = 0;
    int FrameTime = 0;
    int CompressionType = Fseq::NoCompression;
    std::vector<Range> Ranges;
    std::vector<Block> Blocks;
    std::vector<FseqVariableHeader> Headers;
    std::vector<std::uint8_t> Packed;
    std::vector<std::uint8_t> Unpacked;
    std::size_t UnpackedBlock = SIZE_MAX;

    void Open(const std::string& path) {
        const int fd = Files.Open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC, 0);
        if (fd < 0) ThrowFileError(ErrorForPath(errno, path));
        File.Adopt(fd);
        FileFacts facts;
        if (Files.Inspect(fd, facts) != 0) ThrowFileError(errno);
        if (facts.IsDirectory) ThrowFileError(EISDIR);
        Size = static_cast<std::uint64_t>(facts.Size);
        ReadFixedHeader();
        ReadTables();
        ReadVariableHeaders();
        if (CompressionType == Fseq::NoCompression) {
            if (DataOffset + std::uint64_t(Frames) * Channels > Size)
                Damaged("die Bilder reichen über das Dateiende hinaus");
        } else {
            CheckBlocks();
        }
    }

    void ReadFixedHeader() {
        std::uint8_t magic[8] = {};
        if (Size < 8) throw ShowError("keine FSEQ-Datei");
        ReadExactly(Files, File.Get(), magic, 8, 0);
        const bool known = (magic[0] == 'P' || magic[0] == 'F') && magic[1] == 'S' &&
                           magic[2] == 'E' && magic[3] == 'Q';
        if (!known) throw ShowError("keine FSEQ-Datei");
        Major = magic[Fseq::MajorVersionField];
        Minor = magic[Fseq::MinorVersionField];
        if (Major != 1 && Major != 2)
            throw ShowError("FSEQ-Version " + std::to_string(Major) + "." + std::to_string(Minor) +
                            " wird nicht unterstützt");
        const std::size_t fixed = Major == 1 ? Fseq::HeaderSizeV1 : Fseq::HeaderSizeV2;
        DataOffset = Fseq::ReadU16(magic + Fseq::DataOffsetField);
        if (DataOffset < fixed || DataOffset > Size) Damaged("Beginn der Bilder");
        Head.resize(DataOffset);
        ReadExactly(Files, File.Get(), Head.data(), Head.size(), 0);
        const std::uint8_t* h = Head.data();
        TablesEnd = Fseq::ReadU16(h + Fseq::HeaderLengthField);
        Channels = Fseq::ReadU32(h + Fseq::ChannelCountField);
        Frames = Fseq::ReadU32(h + Fseq::FrameCountField);
        FrameTime = h[Fseq::FrameTimeField];
        if (FrameTime == 0) Damaged("Bildzeit 0");
        if (Frames == 0 || Channels == 0) throw ShowError("die Datei enthält keine Bilder");
        if (Major == 2) {
            CompressionType = h[Fseq::CompressionField] & 15;
            if (CompressionType > Fseq::Zlib)
                throw ShowError("unbekannte Kompression " + std::to_string(CompressionType));
        }
    }

    void ReadTables() {
        const std::uint8_t* h = Head.data();
        if (Major == 1) {
            if (TablesEnd < Fseq::HeaderSizeV1 || TablesEnd > DataOffset)
                Damaged("Länge des Dateikopfs");
            Ranges.push_back({0, Channels, 0});
            return;
        }
        std::uint32_t blockSlots = h[Fseq::BlockCountField];
        if (Minor >= 1) blockSlots |= std::uint32_t(h[Fseq::CompressionField] >> 4) << 8;
        const std::uint32_t sparse = h[Fseq::SparseCountField];
        const std::uint32_t tables =
            Fseq::HeaderSizeV2 + Fseq::BlockEntrySize * blockSlots + Fseq::SparseRangeSize * sparse;
        if (TablesEnd < tables || TablesEnd > DataOffset) Damaged("Länge des Dateikopfs");
        // Plain frames need no index, whatever its slots hold.
        if (CompressionType != Fseq::NoCompression)
            ReadBlockIndex(h + Fseq::HeaderSizeV2, blockSlots);
        ReadRanges(h + Fseq::HeaderSizeV2 + Fseq::BlockEntrySize * blockSlots, sparse);
    }

    void ReadBlockIndex(const std::uint8_t* entry, std::uint32_t slots) {
        std::uint64_t offset = DataOffset;
        for (std::uint32_t i = 0; i < slots; ++i, entry += Fseq::BlockEntrySize) {
            Block block;
            block.FirstFrame = Fseq::ReadU32(entry);
            block.Length = Fseq::ReadU32(entry + 4);
            block.Offset = offset;
            offset += block.Length;
            if (block.Length != 0) Blocks.push_back(block);
        }
    }

    void ReadRanges(const std::uint8_t* entry, std::uint32_t count) {
        if (count == 0) {
            Ranges.push_back({0, Channels, 0});
            return;
        }
        std::uint64_t inFrame = 0;
        for (std::uint32_t i = 0; i < count; ++i, entry += Fseq::SparseRangeSize) {
            Range range{Fseq::ReadU24(entry), Fseq::ReadU24(entry + 3), inFrame};
            inFrame += range.Count;
            Ranges.push_back(range);
        }
        if (inFrame > Channels) Damaged("Kanalbereiche größer als ein Bild");
    }

    // Walks the variable headers between the tables and the channel data; zeros end them.
    void ReadVariableHeaders() {
        std::uint32_t position = TablesEnd;
        while (position + Fseq::VariableHeaderPrefix < DataOffset) {
            const std::uint8_t* header = Head.data() + position;
            const std::uint32_t length = Fseq::ReadU16(header);
            if (length == 0) break;
            if (length < Fseq::VariableHeaderPrefix || position + length > DataOffset)
                Damaged("variabler Kopf");
            FseqVariableHeader entry{std::string(header + 2, header + 4), {}};
            entry.Data.assign(header + Fseq::VariableHeaderPrefix, header + length);
            if (entry.Code == "ED") FollowExtended(entry);
            Headers.push_back(std::move(entry));
            position += length;
        }
    }

    // An "ED" header points to its data after the channel data.
    void FollowExtended(FseqVariableHeader& entry) {
        if (entry.Data.size() < Fseq::ExtendedHeaderData) Damaged("erweiterter Kopf");
        const std::uint8_t* d = entry.Data.data();
        const std::uint64_t offset = Fseq::ReadU64(d + 2);
        const std::uint64_t length = Fseq::ReadU32(d + 10);
        if (offset > Size || length > Size - offset) Damaged("erweiterter Kopf");
        entry.Code.assign(d, d + 2);
        entry.Data.resize(static_cast<std::size_t>(std::min(length, MaxBlockBytes)));
        ReadExactly(Files, File.Get(), entry.Data.data(), entry.Data.size(), offset);
    }

    void CheckBlocks() {
        if (Blocks.empty() || Blocks.front().FirstFrame != 0) Damaged("Blockverzeichnis");
        for (std::size_t i = 0; i < Blocks.size(); ++i) {
            Block& block = Blocks[i];
            const std::uint32_t end = i + 1 < Blocks.size() ? Blocks[i + 1].FirstFrame : Frames;
            if (end <= block.FirstFrame || end > Frames) Damaged("Blockverzeichnis");
            block.Frames = end - block.FirstFrame;
            if (block.Offset > Size || block.Length > Size - block.Offset)
                Damaged("ein Block reicht über das Dateiende hinaus");
            if (std::uint64_t(block.Frames) * Channels > MaxBlockBytes ||
                block.Length > MaxBlockBytes)
                throw ShowError("Blöcke zu groß");
        }
        for (std::size_t i = 0; i < Blocks.size(); ++i) Unpack(i);
    }

    void Unpack(std::size_t index) {
        if (index == UnpackedBlock) return;
        const Block& block = Blocks[index];
        UnpackedBlock = SIZE_MAX;
        Packed.resize(static_cast<std::size_t>(block.Length));
        ReadExactly(Files, File.Get(), Packed.data(), Packed.size(), block.Offset);
        const std::size_t expected = std::size_t(block.Frames) * Channels;
        Unpacked.resize(expected);
        std::size_t produced = 0;
        if (CompressionType == Fseq::Zstd) {
            produced = ZSTD_decompress(Unpacked.data(), expected, Packed.data(), Packed.size());
            if (ZSTD_isError(produced)) Damaged("zstd-Block");
        } else {
            uLongf length = static_cast<uLongf>(expected);
            if (uncompress(Unpacked.data(), &length, Packed.data(),
                           static_cast<uLong>(Packed.size())) != Z_OK)
                Damaged("zlib-Block");
            produced = length;
        }
        if (produced != expected) Damaged("ein Block hält nicht seine Bilder");
        UnpackedBlock = index;
    }

    std::size_t BlockOf(std::uint32_t frame) const {
        const auto after =
            std::upper_bound(Blocks.begin(), Blocks.end(), frame,
                             [](std::uint32_t f, const Block& b) { return f < b.FirstFrame; });
        return static_cast<std::size_t>(after - Blocks.begin()) - 1;
    }

    void ReadFrame(std::uint32_t index, DmxFrame& frame) {
        frame.fill(0);
        if (index >= Frames) return;
        if (CompressionType == Fseq::NoCompression) {
            const std::uint64_t start = DataOffset + std::uint64_t(index) * Channels;
            for (const Range& range : Ranges)
                if (const auto useful = range.Useful())
                    ReadExactly(Files, File.Get(), frame.data() + range.Start,
                                static_cast<std::size_t>(useful), start + range.FrameOffset);
            return;
        }
        const std::size_t block = BlockOf(index);
        Unpack(block);
        const std::uint8_t* stored =
            Unpacked.data() + std::size_t(index - Blocks[block].FirstFrame) * Channels;
        for (const Range& range : Ranges)
            std::copy_n(stored + range.FrameOffset, range.Useful(), frame.data() + range.Start);
    }
};

std::string FseqReadFailure(const std::string& path, const std::string& fault) {
    return "Die FSEQ-Datei " + path + " kann nicht gelesen werden: " + fault;
}

FseqReader::FseqReader(const std::string& path, FileSystem& files)
    : sequence_(std::make_unique<Sequence>(files)) {
    try {
        sequence_->Open(path);
    } catch (const ShowError& error) {
        throw ShowError(FseqReadFailure(path, error.what()));
    } catch (const std::bad_alloc&) {
        throw ShowError(FseqReadFailure(path, "Zu wenig Arbeitsspeicher"));
    }
    path_ = path;
}

FseqReader::~FseqReader() = default;

int FseqReader::MajorVersion() const {
    return sequence_->Major;
}
int FseqReader::MinorVersion() const {
    return sequence_->Minor;
}
std::uint32_t FseqReader::Frames() const {
    return sequence_->Frames;
}
int FseqReader::FrameTimeMs() const {
    return sequence_->FrameTime;
}
std::uint32_t FseqReader::ChannelsPerFrame() const {
    return sequence_->Channels;
}
int FseqReader::Compression() const {
    return sequence_->CompressionType;
}
const std::vector<FseqVariableHeader>& FseqReader::VariableHeaders() const {
    return sequence_->Headers;
}

void FseqReader::ReadFrame(std::uint32_t index, DmxFrame& frame) {
    try {
        sequence_->ReadFrame(index, frame);
    } catch (const ShowError& error) {
        throw ShowError(FseqReadFailure(path_, error.what()));
    }
}

} // namespace velkaro
