// Import and export through real files: sizes cut to the grid, exact colours, the extension
// rules, the messages, and exported files that other readers take as written.
#include "BitmapSuite.h"
#include "files/Bitmap.h"
#include "model/Grid.h"
#include "model/ShowError.h"

#include <QImage>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace velkaro {
namespace {

namespace fs = std::filesystem;

constexpr TColor Untouched = 0xA5A5A5;

class BitmapFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "velkaro-bitmap-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        cells_ = NewGrid();
        for (auto& cell : cells_->WritableCells()) cell = Untouched;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

    // Written by Qt's own writer (24 bits a pixel), independent of ours.
    std::string SaveWithQt(const QImage& image, const std::string& name) const {
        const std::string path = PathOf(name);
        EXPECT_TRUE(image.save(QString::fromStdString(path), "BMP"));
        return path;
    }

    static QImage Pattern(int width, int height) {
        QImage image(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image.setPixel(x, y, qRgb(x, y & 255, (x * 7 + y) & 255));
        return image;
    }

    static TColor PatternCell(int x, int y) { return RGB(x, y & 255, (x * 7 + y) & 255); }

    std::string MessageOfLoad(const std::string& path) {
        try {
            LoadBitmapFile(path, picture_);
        } catch (const ShowError& error) {
            return error.what();
        }
        return {};
    }

    std::string MessageOfSave(const std::string& path) {
        try {
            SaveBitmapFile(path, picture_);
        } catch (const ShowError& error) {
            return error.what();
        }
        return {};
    }

    std::vector<std::string> FilesInDir() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_))
            names.push_back(entry.path().filename());
        return names;
    }

    fs::path dir_;
    std::unique_ptr<Grid> cells_;
    BitmapPicture picture_;
};

TEST_F(BitmapFiles, AColourIsTakenExactlyAndExportedTheSame) {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 0));
    image.setPixel(1, 0, qRgb(0x56, 0x34, 0x12));
    LoadBitmapFile(SaveWithQt(image, "colour.bmp"), picture_);
    ImportBitmap(picture_, *cells_);
    EXPECT_EQ(cells_->At(0, 1), 0x123456u);

    ExportBitmap(*cells_, 3, 2, picture_);
    SaveBitmapFile(PathOf("again.bmp"), picture_);
    const QImage back(QString::fromStdString(PathOf("again.bmp")));
    EXPECT_EQ(back.pixel(1, 0) & 0xFFFFFFu, 0x563412u);
}

TEST_F(BitmapFiles, AWidePictureGivesItsFirst168Columns) {
    LoadBitmapFile(SaveWithQt(Pattern(200, 50), "wide.bmp"), picture_);
    EXPECT_EQ(ImportedSize(picture_), (PictureSize{168, 50}));
    EXPECT_EQ(ImportBitmap(picture_, *cells_), (PictureSize{168, 50}));
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 168; ++x)
            ASSERT_EQ(cells_->At(y, x), PatternCell(x, y)) << x << "," << y;
        ASSERT_EQ(cells_->At(y, 168), Untouched);
    }
    for (int x = 0; x < GridCols; ++x) ASSERT_EQ(cells_->At(50, x), Untouched);
}

TEST_F(BitmapFiles, ATallPictureGivesItsFirst10000Rows) {
    LoadBitmapFile(SaveWithQt(Pattern(2, 10005), "tall.bmp"), picture_);
    EXPECT_EQ(ImportBitmap(picture_, *cells_), (PictureSize{2, 10000}));
    EXPECT_EQ(cells_->At(9999, 1), PatternCell(1, 9999));
    EXPECT_EQ(cells_->At(10000, 1), Untouched);
}

TEST_F(BitmapFiles, ASmallPictureChangesOnlyItsOwnCells) {
    LoadBitmapFile(SaveWithQt(Pattern(10, 5), "small.bmp"), picture_);
    EXPECT_EQ(ImportBitmap(picture_, *cells_), (PictureSize{10, 5}));
    for (int y = 0; y < GridRows; ++y)
        for (int x = 0; x < GridCols; ++x) {
            const TColor expected = (x < 10 && y < 5) ? PatternCell(x, y) : Untouched;
            ASSERT_EQ(cells_->At(y, x), expected) << x << "," << y;
        }
}

TEST_F(BitmapFiles, TheExtensionDecidesThePictureType) {
    const std::string bitmap = SaveWithQt(Pattern(4, 3), "p.bmp");
    fs::copy_file(bitmap, PathOf("p.DIB"));
    LoadBitmapFile(PathOf("p.DIB"), picture_);
    EXPECT_EQ(ImportedSize(picture_), (PictureSize{4, 3}));

    for (const char* name : {"p.ico", "p.WMF", "p.Emf"}) {
        fs::copy_file(bitmap, PathOf(name));
        LoadBitmapFile(SaveWithQt(Pattern(4, 3), "reset.bmp"), picture_);
        LoadBitmapFile(PathOf(name), picture_);
        EXPECT_EQ(ImportedSize(picture_), (PictureSize{0, 0})) << name;
        EXPECT_EQ(ImportBitmap(picture_, *cells_), (PictureSize{0, 0}));
    }
    EXPECT_EQ(cells_->At(0, 0), Untouched);

    // Judged before the file is opened, so a missing file gives the same message.
    fs::copy_file(bitmap, PathOf("p.Png"));
    EXPECT_EQ(MessageOfLoad(PathOf("p.Png")), "Unbekannte Bilddateierweiterung (.Png)");
    EXPECT_EQ(MessageOfLoad(PathOf("missing.jpeg")), "Unbekannte Bilddateierweiterung (.jpeg)");
    EXPECT_EQ(MessageOfLoad(PathOf("noextension")), "Unbekannte Bilddateierweiterung (.)");
    fs::create_directory(PathOf("folder.bmp"));
    EXPECT_EQ(MessageOfLoad(PathOf("folder.bmp/name")), "Unbekannte Bilddateierweiterung (.)");
}

TEST_F(BitmapFiles, FilesThatCannotBeOpenedOrAreNoBitmapsAreReported) {
    const std::string missing = PathOf("missing.bmp");
    EXPECT_EQ(MessageOfLoad(missing),
              "Datei " + missing + " kann nicht geöffnet werden. Datei nicht gefunden");
    EXPECT_EQ(MessageOfLoad(PathOf("missing.ico")),
              "Datei " + PathOf("missing.ico") +
                  " kann nicht geöffnet werden. Datei nicht gefunden");
    fs::create_directory(PathOf("folder.bmp"));
    EXPECT_EQ(MessageOfLoad(PathOf("folder.bmp")),
              "Datei " + PathOf("folder.bmp") +
                  " kann nicht geöffnet werden. Ungültiger Dateiname");

    LoadBitmapFile(SaveWithQt(Pattern(4, 3), "good.bmp"), picture_);
    const std::vector<TColor> before = picture_.Pixels;
    std::ofstream(PathOf("empty.bmp")).close();
    std::ofstream(PathOf("text.bmp")) << "This is not a picture at all, just some words.";
    for (const char* name : {"empty.bmp", "text.bmp"}) {
        EXPECT_EQ(MessageOfLoad(PathOf(name)), "Bitmap ist ungültig") << name;
        EXPECT_EQ(ImportedSize(picture_), (PictureSize{4, 3}));
        EXPECT_EQ(picture_.Pixels, before);
    }
}

// Pixels a run-length file never reaches take colour index 0, whatever memory held before.
TEST_F(BitmapFiles, PixelsSkippedByRunLengthEscapesTakeTheFirstPaletteColour) {
    SKIP_WITHOUT_BMP_SUITE();
    for (const char* name : {"pal8rletrns", "pal4rletrns"}) {
        LoadBitmapFile(SuiteDir + "q/" + name + ".bmp", picture_);
        QImage reference(QString::fromStdString(SuiteDir + "html/" + name + "-0.png"));
        reference = reference.convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(ImportedSize(picture_), (PictureSize{reference.width(), reference.height()}));
        for (int y = 0; y < picture_.Height; ++y)
            for (int x = 0; x < picture_.Width; ++x) {
                const QRgb expected = reference.pixel(x, y);
                ASSERT_EQ(picture_.Pixel(x, y),
                          RGB(qRed(expected), qGreen(expected), qBlue(expected)))
                    << name << " " << x << "," << y;
            }
    }
}

// An 8-bit run-length bitmap whose data ends at once, so every pixel is one the data skips.
std::vector<unsigned char> EmptyRunLengthBitmap(std::uint32_t width, std::uint32_t height) {
    std::vector<unsigned char> bytes(14 + 40 + 256 * 4 + 2, 0);
    auto put32 = [&](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<std::uint32_t>(bytes.size()));
    put32(10, 14 + 40 + 256 * 4);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    put32(26, 1u | (8u << 16));
    put32(30, 1); // 8-bit run-length
    put32(34, 2);
    put32(54, 0x00112233);       // palette entry 0
    bytes[bytes.size() - 1] = 1; // 00 01: end of bitmap
    return bytes;
}

TEST_F(BitmapFiles, PicturesAreDecodedOnlyWhenTheyFitInMemory) {
    const auto write = [&](const std::string& name, const std::vector<unsigned char>& bytes) {
        std::ofstream(PathOf(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return PathOf(name);
    };
    EXPECT_EQ(MessageOfLoad(write("huge.bmp", EmptyRunLengthBitmap(60000, 60000))),
              "Bitmap ist ungültig");
    // Uncompressed, 32 bits a pixel, claiming more bytes than any integer counts.
    std::vector<unsigned char> vast = EmptyRunLengthBitmap(0x7FFFFFFF, 0x7FFFFFFF);
    vast[28] = 32;
    vast[30] = 0;
    EXPECT_EQ(MessageOfLoad(write("vast.bmp", vast)), "Bitmap ist ungültig");

    LoadBitmapFile(write("large.bmp", EmptyRunLengthBitmap(2000, 3000)), picture_);
    EXPECT_EQ(ImportBitmap(picture_, *cells_), (PictureSize{168, 3000}));
    EXPECT_EQ(cells_->At(0, 0), RGB(0x11, 0x22, 0x33));
    EXPECT_EQ(cells_->At(2999, 167), RGB(0x11, 0x22, 0x33));
}

void FillRandomly(Grid& cells, unsigned seed) {
    std::mt19937 random(seed);
    for (auto& cell : cells.WritableCells()) cell = random() & 0xFFFFFFu;
}

std::vector<unsigned char> BytesOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::uint32_t U32At(const std::vector<unsigned char>& bytes, std::size_t at) {
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
           (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

TEST_F(BitmapFiles, AnExportIsA32BitBottomUpBitmapOfTheShow) {
    FillRandomly(*cells_, 7);
    ExportBitmap(*cells_, 5, 3, picture_);
    SaveBitmapFile(PathOf("show.bmp"), picture_);
    const auto bytes = BytesOf(PathOf("show.bmp"));
    ASSERT_EQ(bytes.size(), 54u + 5 * 3 * 4);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(U32At(bytes, 2), bytes.size());
    EXPECT_EQ(U32At(bytes, 10), 54u);
    EXPECT_EQ(U32At(bytes, 14), 40u);
    EXPECT_EQ(U32At(bytes, 18), 5u);
    EXPECT_EQ(U32At(bytes, 22), 3u);
    EXPECT_EQ(U32At(bytes, 26), 1u | (32u << 16)); // one plane, 32 bits a pixel
    EXPECT_EQ(U32At(bytes, 30), 0u);               // uncompressed
    // The first stored row is the last step; each pixel is blue, green, red, 0.
    const TColor lastStepFirstOutput = cells_->At(2, 0);
    EXPECT_EQ(bytes[54], BlueOf(lastStepFirstOutput));
    EXPECT_EQ(bytes[55], GreenOf(lastStepFirstOutput));
    EXPECT_EQ(bytes[56], RedOf(lastStepFirstOutput));
    EXPECT_EQ(bytes[57], 0);
}

TEST_F(BitmapFiles, AnExportedShowImportsAsTheSameCells) {
    FillRandomly(*cells_, 11);
    ExportBitmap(*cells_, 168, 10000, picture_);
    SaveBitmapFile(PathOf("full.bmp"), picture_);

    auto imported = NewGrid();
    BitmapPicture back;
    LoadBitmapFile(PathOf("full.bmp"), back);
    EXPECT_EQ(ImportBitmap(back, *imported), (PictureSize{168, 10000}));
    for (int y = 0; y < 10000; ++y)
        for (int x = 0; x < 168; ++x)
            ASSERT_EQ(imported->At(y, x), cells_->At(y, x)) << x << "," << y;

    // Settings beyond the grid are held to it.
    ExportBitmap(*cells_, 500, 20000, picture_);
    EXPECT_EQ(ImportedSize(picture_), (PictureSize{168, 10000}));
}

TEST_F(BitmapFiles, ImageMagickReadsTheExportedPixels) {
    FillRandomly(*cells_, 13);
    ExportBitmap(*cells_, 7, 4, picture_);
    SaveBitmapFile(PathOf("magick.bmp"), picture_);
    const std::string command = "/usr/bin/convert '" + PathOf("magick.bmp") + "' -depth 8 rgb:-";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::vector<unsigned char> rgb(7 * 4 * 3 + 1);
    const std::size_t got = std::fread(rgb.data(), 1, rgb.size(), pipe);
    ASSERT_EQ(::pclose(pipe), 0);
    ASSERT_EQ(got, 7u * 4 * 3);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 7; ++x) {
            const unsigned char* pixel = &rgb[(y * 7 + x) * 3];
            EXPECT_EQ(RGB(pixel[0], pixel[1], pixel[2]), cells_->At(y, x)) << x << "," << y;
        }
}

TEST_F(BitmapFiles, AFailedExportLeavesTheOldFileAndNoOther) {
    const std::string target = PathOf("old.bmp");
    std::ofstream(target) << "old contents";
    FillRandomly(*cells_, 17);
    ExportBitmap(*cells_, 168, 100, picture_);

    // A file size limit makes the write fail part-way, as a full disk would.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string message = MessageOfSave(target);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(message, "Zu wenig Speicherplatz");
    std::ifstream old(target);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(old), {}), "old contents");
    EXPECT_EQ(FilesInDir(), std::vector<std::string>{"old.bmp"});

    EXPECT_EQ(MessageOfSave(target), "");
    EXPECT_EQ(fs::file_size(target), 54u + 168 * 100 * 4);
    EXPECT_EQ(FilesInDir(), std::vector<std::string>{"old.bmp"});
}

TEST_F(BitmapFiles, AnExportThatCannotBeCreatedIsReported) {
    ExportBitmap(*cells_, 2, 2, picture_);
    const std::string noFolder = PathOf("missing/show.bmp");
    EXPECT_EQ(MessageOfSave(noFolder),
              "Datei \"" + noFolder + "\" kann nicht erstellt werden. Ungültiger Dateiname");
    fs::create_directory(PathOf("folder.bmp"));
    EXPECT_EQ(MessageOfSave(PathOf("folder.bmp")),
              "Datei \"" + PathOf("folder.bmp") +
                  "\" kann nicht erstellt werden. Ungültiger Dateiname");
    EXPECT_EQ(FilesInDir(), std::vector<std::string>{"folder.bmp"});
}

} // namespace
} // namespace velkaro
