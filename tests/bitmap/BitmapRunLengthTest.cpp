// Run-length bitmaps cut anywhere: a cut between commands imports with the pixels the data never
// reaches at index 0; a cut inside a command is refused, so no pixel is ever filled from memory
// the decoder did not read.
#include "files/Bitmap.h"
#include "model/Grid.h"
#include "model/ShowError.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace velkaro {
namespace {

namespace fs = std::filesystem;

const std::string CutFilesDir = VELKARO_TESTDATA_DIR "/rle-cut/";

TColor PaletteColour(int index) {
    return RGB(index, 255 - index, 0x5A);
}

// A bitmap with a 40-byte header, a full palette of PaletteColour and the given pixel data.
std::vector<unsigned char> RunLengthBitmap(int bits, int width, int height,
                                           const std::vector<unsigned char>& pixelData,
                                           std::uint32_t pixelOffset = 0) {
    const int colours = 1 << bits;
    std::vector<unsigned char> bytes(14 + 40 + 4 * colours, 0);
    auto put32 = [&](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(10, pixelOffset != 0 ? pixelOffset : static_cast<std::uint32_t>(bytes.size()));
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    put32(26, 1u | (static_cast<std::uint32_t>(bits) << 16));
    put32(30, bits == 8 ? 1 : 2);
    for (int i = 0; i < colours; ++i) {
        const TColor colour = PaletteColour(i);
        put32(54 + 4 * i, static_cast<std::uint32_t>(RedOf(colour) << 16 | GreenOf(colour) << 8 |
                                                     BlueOf(colour)));
    }
    bytes.insert(bytes.end(), pixelData.begin(), pixelData.end());
    put32(2, static_cast<std::uint32_t>(bytes.size()));
    return bytes;
}

// A run-length stream written command by command, with the pixels (rows from the top) that
// each stream ending after a whole command imports as.
class RunLengthStream {
public:
    RunLengthStream(int bits, int width, int height)
        : bits_(bits), width_(width), height_(height),
          pixels_(static_cast<std::size_t>(width * height), PaletteColour(0)) {
        wholes_.push_back({0, pixels_});
    }

    // For 4 bits a pixel, colours holds two indices that take turns.
    RunLengthStream& Run(int count, unsigned char colours) {
        for (int i = 0; i < count; ++i)
            Paint(bits_ == 8 ? colours : (i % 2 == 0 ? colours >> 4 : colours & 15));
        return Command({static_cast<unsigned char>(count), colours});
    }

    RunLengthStream& Absolute(const std::vector<int>& pixels) {
        std::vector<unsigned char> bytes{0, static_cast<unsigned char>(pixels.size())};
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            Paint(pixels[i]);
            if (bits_ == 8)
                bytes.push_back(static_cast<unsigned char>(pixels[i]));
            else if (i % 2 == 0)
                bytes.push_back(static_cast<unsigned char>(pixels[i] << 4));
            else
                bytes.back() |= static_cast<unsigned char>(pixels[i]);
        }
        const bool padded = (bytes.size() - 2) % 2 == 1;
        if (padded) bytes.push_back(0);
        return Command(bytes, padded);
    }

    RunLengthStream& Delta(int right, int up) {
        x_ += right;
        y_ += up;
        return Command({0, 2, static_cast<unsigned char>(right), static_cast<unsigned char>(up)});
    }

    RunLengthStream& EndOfLine() {
        x_ = 0;
        ++y_;
        return Command({0, 0});
    }

    RunLengthStream& EndOfBitmap() { return Command({0, 1}); }

    const std::vector<unsigned char>& Bytes() const { return bytes_; }

    // The pixels the first length bytes import as; none where they end inside a command.
    std::optional<std::vector<TColor>> PixelsOfFirst(std::size_t length) const {
        for (const Whole& whole : wholes_)
            if (whole.Length == length) return whole.Pixels;
        return std::nullopt;
    }

    std::vector<unsigned char> File(std::size_t length) const {
        return RunLengthBitmap(
            bits_, width_, height_,
            {bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(length)});
    }

private:
    struct Whole {
        std::size_t Length;
        std::vector<TColor> Pixels;
    };

    // The file's rows go from the bottom up.
    void Paint(int index) {
        if (x_ < width_ && y_ < height_)
            pixels_[static_cast<std::size_t>((height_ - 1 - y_) * width_ + x_)] =
                PaletteColour(index);
        ++x_;
    }

    // A stream that lacks only an absolute run's padding byte is as whole as one that has it.
    RunLengthStream& Command(const std::vector<unsigned char>& bytes, bool padded = false) {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        if (padded) wholes_.push_back({bytes_.size() - 1, pixels_});
        wholes_.push_back({bytes_.size(), pixels_});
        return *this;
    }

    int bits_, width_, height_;
    int x_ = 0, y_ = 0;
    std::vector<TColor> pixels_;
    std::vector<unsigned char> bytes_;
    std::vector<Whole> wholes_;
};

class RunLengthFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "velkaro-rle-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::vector<unsigned char>& bytes) const {
        const std::string path = (dir_ / "picture.bmp").string();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    // Loads into a picture holding an earlier import; empty when the load succeeds.
    std::string MessageOfLoad(const std::string& path, BitmapPicture& picture) const {
        picture.Resize(2, 1);
        picture.Pixels = {0x123456, 0x654321};
        try {
            LoadBitmapFile(path, picture);
        } catch (const ShowError& error) {
            EXPECT_EQ(picture.Width, 2);
            EXPECT_EQ(picture.Height, 1);
            EXPECT_EQ(picture.Pixels, (std::vector<TColor>{0x123456, 0x654321}));
            return error.what();
        }
        return {};
    }

    void ExpectEveryCutImportsWholeCommandsOrIsRefused(const RunLengthStream& stream) const {
        // From one byte on: a file that ends with its colour table is no picture at all.
        for (std::size_t length = 1; length <= stream.Bytes().size(); ++length) {
            SCOPED_TRACE("first " + std::to_string(length) + " bytes");
            BitmapPicture picture;
            const std::string message = MessageOfLoad(Write(stream.File(length)), picture);
            if (const auto pixels = stream.PixelsOfFirst(length)) {
                ASSERT_EQ(message, "");
                EXPECT_EQ(picture.Pixels, *pixels);
            } else {
                EXPECT_EQ(message, "Bitmap ist ungültig");
            }
        }
    }

    fs::path dir_;
};

TEST_F(RunLengthFiles, EightBitDataCutAnywhereImportsItsWholeCommandsOrIsRefused) {
    RunLengthStream stream(8, 6, 3);
    stream.Run(2, 0x11)
        .Absolute({0x21, 0x22, 0x23})
        .EndOfLine()
        .Delta(2, 1)
        .Absolute({0x31, 0x32, 0x33, 0x34})
        .EndOfBitmap();
    ExpectEveryCutImportsWholeCommandsOrIsRefused(stream);

    RunLengthStream rows(8, 3, 2);
    rows.Run(3, 0x40).EndOfLine().Absolute({0x51, 0x52, 0x53}).EndOfLine();
    ExpectEveryCutImportsWholeCommandsOrIsRefused(rows);
}

TEST_F(RunLengthFiles, FourBitDataCutAnywhereImportsItsWholeCommandsOrIsRefused) {
    RunLengthStream stream(4, 8, 3);
    stream.Run(3, 0x12)
        .Absolute({3, 4, 5, 6, 7})
        .EndOfLine()
        .Delta(1, 0)
        .Run(2, 0xAB)
        .Absolute({9, 8, 7})
        .EndOfLine()
        .Absolute({1, 2, 3, 4, 5, 6})
        .Run(1, 0xC0);
    ExpectEveryCutImportsWholeCommandsOrIsRefused(stream);
}

TEST_F(RunLengthFiles, DataTheDecoderWouldReadOtherwiseThanWrittenIsRefused) {
    BitmapPicture picture;
    // Whole as written, but the decoder cuts the absolute run at the bottom row's end and reads
    // the rest of it as commands: an end of line and a run of five pixels, four of them present.
    const std::vector<unsigned char> overrun{0, 16, 0x12, 0x34, 0, 0, 0, 5, 0xAB, 0xCD};
    EXPECT_EQ(MessageOfLoad(Write(RunLengthBitmap(4, 4, 2, overrun)), picture),
              "Bitmap ist ungültig");
    const std::vector<unsigned char> overrunAfterDelta{0, 2, 3, 0, 0, 3, 1, 2, 3, 0};
    EXPECT_EQ(MessageOfLoad(Write(RunLengthBitmap(8, 4, 1, overrunAfterDelta)), picture),
              "Bitmap ist ungültig");

    // Pixel data that starts inside the colour table.
    EXPECT_EQ(MessageOfLoad(Write(RunLengthBitmap(8, 4, 1, {4, 7}, 14 + 40 + 1020)), picture),
              "Bitmap ist ungültig");

    // An encoded run past the row's end reads as written and is kept; so is a cut after the
    // end of line that closes the last row, which the decoder never reads.
    EXPECT_EQ(MessageOfLoad(Write(RunLengthBitmap(8, 4, 1, {6, 7, 0, 0, 5})), picture), "");
    EXPECT_EQ(picture.Pixels, std::vector<TColor>(4, PaletteColour(7)));
}

TEST_F(RunLengthFiles, TheCutFilesFoundByFuzzingAreRefusedAndTheirControlImported) {
    if (!fs::is_directory(CutFilesDir)) GTEST_SKIP() << "no cut files in " << CutFilesDir;
    BitmapPicture picture;
    for (const char* name : {"rle8_truncated_run.bmp", "rle4_truncated_abs3.bmp"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(MessageOfLoad(CutFilesDir + name, picture), "Bitmap ist ungültig");
    }

    auto cells = NewGrid();
    for (auto& cell : cells->WritableCells()) cell = 0xA5A5A5;
    ASSERT_EQ(MessageOfLoad(CutFilesDir + "rle8_complete_run.bmp", picture), "");
    EXPECT_EQ(ImportBitmap(picture, *cells), (PictureSize{4, 1}));
    for (int x = 0; x < 4; ++x) EXPECT_EQ(cells->At(0, x), 0x808080u);
    EXPECT_EQ(cells->At(0, 4), 0xA5A5A5u);
}

} // namespace
} // namespace velkaro
