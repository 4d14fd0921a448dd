#include "files/FseqWriter.h"

#include "files/FileErrors.h"
#include "files/FseqFormat.h"
#include "files/ReplacingFile.h"

#include <zstd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <memory>
#include <vector>

namespace velkaro {

namespace {

const std::string Producer = std::string("Velkaro ") + VELKARO_VERSION;

// How the frames are cut into compressed blocks: a short first block so that a player starts
// quickly, then blocks of about 64 KiB; longer shows get longer blocks, because version 2.0
// counts at most 255 of them.
struct BlockPlan {
    std::uint32_t Blocks = 0;
    std::uint32_t LaterBlockFrames = 0;

    std::uint32_t FirstFrame(std::uint32_t block) const {
        if (block == 0) return 0;
        return Fseq::FirstBlockFrames + (block - 1) * LaterBlockFrames;
    }
};

BlockPlan PlanBlocks(std::uint32_t frames, bool compress) {
    BlockPlan plan;
    if (!compress || frames == 0) return plan;
    plan.LaterBlockFrames = Fseq::BlockBytes / Fseq::ExportChannels;
    if (frames <= Fseq::FirstBlockFrames) {
        plan.Blocks = 1;
        return plan;
    }
    const std::uint64_t rest = frames - Fseq::FirstBlockFrames;
    const std::uint64_t laterBlocksLimit = Fseq::MaxBlocksV20 - 1;
    if ((rest + plan.LaterBlockFrames - 1) / plan.LaterBlockFrames > laterBlocksLimit)
        plan.LaterBlockFrames =
            static_cast<std::uint32_t>((rest + laterBlocksLimit - 1) / laterBlocksLimit);
    plan.Blocks =
        1 + static_cast<std::uint32_t>((rest + plan.LaterBlockFrames - 1) / plan.LaterBlockFrames);
    return plan;
}

std::uint64_t MicrosecondsSinceEpoch() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(now).count());
}

// Appends one variable header: length and code, then the text with its terminating NUL.
std::uint8_t* PutVariableHeader(std::uint8_t* at, char first, char second,
                                const std::string& text) {
    Fseq::WriteLE(at, Fseq::VariableHeaderPrefix + text.size() + 1, 2);
    at[2] = static_cast<std::uint8_t>(first);
    at[3] = static_cast<std::uint8_t>(second);
    std::copy(text.begin(), text.end(), at + Fseq::VariableHeaderPrefix);
    return at + Fseq::VariableHeaderPrefix + text.size() + 1;
}

// A media file's name, never a folder: a path given here loses everything up to its last "/".
std::string MediaFileName(const std::string& media) {
    const std::size_t slash = media.find_last_of('/');
    return slash == std::string::npos ? media : media.substr(slash + 1);
}

// The fixed header, an empty block index and the variable headers (the song first, where there
// is one, then the producer), padded to the channel data.
std::vector<std::uint8_t> Header(std::uint32_t frames, const BlockPlan& plan,
                                 const FseqWriteOptions& options) {
    const std::size_t tables = Fseq::HeaderSizeV2 + Fseq::BlockEntrySize * plan.Blocks;
    const std::string media = MediaFileName(options.MediaFile);
    const std::size_t mediaLength =
        media.empty() ? 0 : Fseq::VariableHeaderPrefix + media.size() + 1;
    const std::size_t producerLength = Fseq::VariableHeaderPrefix + Producer.size() + 1;
    const std::size_t dataOffset = (tables + mediaLength + producerLength + 3) / 4 * 4;
    if (dataOffset > 0xFFFF) throw ShowError("Der Name der Musikdatei ist zu lang");
    std::vector<std::uint8_t> header(dataOffset, 0);
    std::uint8_t* h = header.data();
    h[0] = 'P';
    h[1] = 'S';
    h[2] = 'E';
    h[3] = 'Q';
    Fseq::WriteLE(h + Fseq::DataOffsetField, dataOffset, 2);
    h[Fseq::MinorVersionField] = 0;
    h[Fseq::MajorVersionField] = 2;
    Fseq::WriteLE(h + Fseq::HeaderLengthField, tables, 2);
    Fseq::WriteLE(h + Fseq::ChannelCountField, Fseq::ExportChannels, 4);
    Fseq::WriteLE(h + Fseq::FrameCountField, frames, 4);
    h[Fseq::FrameTimeField] = Fseq::ExportFrameMs;
    h[Fseq::CompressionField] = options.Compress ? Fseq::Zstd : Fseq::NoCompression;
    h[Fseq::BlockCountField] = static_cast<std::uint8_t>(plan.Blocks);
    const std::uint64_t id = options.UniqueId != 0 ? options.UniqueId : MicrosecondsSinceEpoch();
    Fseq::WriteLE(h + Fseq::UniqueIdField, id, 8);
    std::uint8_t* variable = h + tables;
    if (!media.empty()) variable = PutVariableHeader(variable, 'm', 'f', media);
    PutVariableHeader(variable, 's', 'p', Producer);
    return header;
}

// Frames are rendered into a window of this many and written together.
constexpr std::uint32_t WindowFrames = 128;

class FrameWindow {
public:
    explicit FrameWindow(const FseqFrameSource& source) : source_(source) {}

    // Renders frames first..first+count-1 (count <= WindowFrames) and returns their bytes.
    const std::uint8_t* Render(std::uint32_t first, std::uint32_t count) {
        for (std::uint32_t i = 0; i < count; ++i) {
            source_(first + i, frame_);
            std::copy(frame_.begin(), frame_.end(), bytes_.begin() + std::size_t(i) * DmxChannels);
        }
        return bytes_.data();
    }

private:
    const FseqFrameSource& source_;
    DmxFrame frame_{};
    std::vector<std::uint8_t> bytes_ = std::vector<std::uint8_t>(WindowFrames * DmxChannels);
};

void WritePlainFrames(FileSystem& files, int fd, std::uint32_t frames,
                      const FseqFrameSource& source) {
    FrameWindow window(source);
    for (std::uint32_t first = 0; first < frames; first += WindowFrames) {
        const std::uint32_t count = std::min(WindowFrames, frames - first);
        WriteFully(files, fd, window.Render(first, count), std::size_t(count) * DmxChannels);
    }
}

struct ZstdContext {
    ZSTD_CCtx* Get() const { return context.get(); }
    std::unique_ptr<ZSTD_CCtx, decltype(&ZSTD_freeCCtx)> context{ZSTD_createCCtx(), &ZSTD_freeCCtx};
};

// Streams the frames of each block through zstd, one complete zstd frame per block, and
// returns the compressed length of every block.
class BlockCompressor {
public:
    BlockCompressor(FileSystem& files, int fd) : files_(files), fd_(fd) {
        if (!zstd_.Get()) throw ShowError("Zu wenig Arbeitsspeicher");
        // Light shows repeat themselves; the fastest level already packs them tightly.
        ZSTD_CCtx_setParameter(zstd_.Get(), ZSTD_c_compressionLevel, 1);
        ZSTD_CCtx_setParameter(zstd_.Get(), ZSTD_c_checksumFlag, 1);
    }

    std::uint32_t Block(FrameWindow& window, std::uint32_t first, std::uint32_t frames) {
        written_ = 0;
        ZSTD_CCtx_setPledgedSrcSize(zstd_.Get(), std::uint64_t(frames) * DmxChannels);
        for (std::uint32_t done = 0; done < frames; done += WindowFrames) {
            const std::uint32_t count = std::min(WindowFrames, frames - done);
            const std::uint8_t* bytes = window.Render(first + done, count);
            const bool last = done + count == frames;
            Compress(bytes, std::size_t(count) * DmxChannels, last ? ZSTD_e_end : ZSTD_e_continue);
        }
        if (written_ > UINT32_MAX) throw ShowError(DiskFullMessage);
        return static_cast<std::uint32_t>(written_);
    }

private:
    void Compress(const std::uint8_t* bytes, std::size_t size, ZSTD_EndDirective mode) {
        ZSTD_inBuffer in{bytes, size, 0};
        for (;;) {
            ZSTD_outBuffer out{output_.data(), output_.size(), 0};
            const std::size_t left = ZSTD_compressStream2(zstd_.Get(), &out, &in, mode);
            if (ZSTD_isError(left)) throw ShowError("Komprimierung fehlgeschlagen");
            WriteFully(files_, fd_, output_.data(), out.pos);
            written_ += out.pos;
            const bool finished = mode == ZSTD_e_end ? left == 0 : in.pos == in.size;
            if (finished) return;
        }
    }

    FileSystem& files_;
    int fd_;
    ZstdContext zstd_;
    std::vector<std::uint8_t> output_ = std::vector<std::uint8_t>(ZSTD_CStreamOutSize());
    std::uint64_t written_ = 0;
};

void WriteCompressedFrames(FileSystem& files, int fd, std::uint32_t frames, const BlockPlan& plan,
                           const FseqFrameSource& source) {
    FrameWindow window(source);
    BlockCompressor compressor(files, fd);
    std::vector<std::uint8_t> index(Fseq::BlockEntrySize * plan.Blocks);
    for (std::uint32_t block = 0; block < plan.Blocks; ++block) {
        const std::uint32_t first = plan.FirstFrame(block);
        const std::uint32_t next = block + 1 < plan.Blocks ? plan.FirstFrame(block + 1) : frames;
        const std::uint32_t length = compressor.Block(window, first, next - first);
        Fseq::WriteLE(index.data() + Fseq::BlockEntrySize * block, first, 4);
        Fseq::WriteLE(index.data() + Fseq::BlockEntrySize * block + 4, length, 4);
    }
    // The lengths are known only now: the index goes back into its place in the header.
    if (files.Seek(fd, Fseq::HeaderSizeV2) != std::int64_t(Fseq::HeaderSizeV2))
        ThrowFileError(errno);
    WriteFully(files, fd, index.data(), index.size());
}

} // namespace

std::string FseqWriteFailure(const std::string& path, const std::string& fault) {
    return "Die FSEQ-Datei " + path + " konnte nicht geschrieben werden: " + fault;
}

void WriteFseq(const std::string& path, std::uint32_t frames, const FseqFrameSource& source,
               const FseqWriteOptions& options, FileSystem& files) {
    try {
        const std::string target = SaveTarget(path);
        const auto oldMode = CheckSaveTarget(target);
        TempFile temp(files, target);
        if (oldMode) files.Fchmod(temp.Fd(), *oldMode);
        const BlockPlan plan = PlanBlocks(frames, options.Compress);
        const std::vector<std::uint8_t> header = Header(frames, plan, options);
        WriteFully(files, temp.Fd(), header.data(), header.size());
        if (options.Compress)
            WriteCompressedFrames(files, temp.Fd(), frames, plan, source);
        else
            WritePlainFrames(files, temp.Fd(), frames, source);
        temp.Commit(target);
    } catch (const ShowError& error) {
        throw ShowError(FseqWriteFailure(path, error.what()));
    } catch (const std::bad_alloc&) {
        throw ShowError(FseqWriteFailure(path, "Zu wenig Arbeitsspeicher"));
    }
}

} // namespace velkaro
