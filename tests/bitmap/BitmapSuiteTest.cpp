// The public BMP test suite: good files must import with their reference pixels, bad files that
// lie about their sizes must be refused, and nothing may crash or hang.
#include "BitmapSuite.h"
#include "files/Bitmap.h"
#include "model/Grid.h"
#include "model/ShowError.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace velkaro {
namespace {

// file -> reference picture, from the suite's table
std::map<std::string, std::string> References() {
    std::map<std::string, std::string> references;
    std::ifstream table(SuiteDir + "reference.tsv");
    std::string line;
    std::getline(table, line); // column names
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string file, reference;
        std::getline(fields, file, '\t');
        std::getline(fields, reference, '\t');
        references[file] = reference;
    }
    return references;
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(SuiteDir + folder))
        if (entry.path().extension() == ".bmp")
            files.push_back(folder + "/" + entry.path().filename().string());
    std::sort(files.begin(), files.end());
    return files;
}

int ChannelDifference(TColor a, TColor b) {
    return std::max({std::abs(RedOf(a) - RedOf(b)), std::abs(GreenOf(a) - GreenOf(b)),
                     std::abs(BlueOf(a) - BlueOf(b))});
}

// 16-bit files keep five or six bits a channel; the decoder widens them by shifting, the
// references by scaling, so they may differ in the low bits.
int AllowedDifference(const std::string& file) {
    static const std::map<std::string, int> allowed = {
        {"g/rgb16.bmp", 7},
        {"g/rgb16bfdef.bmp", 7},
        {"g/rgb16-565.bmp", 7},
        {"g/rgb16-565pal.bmp", 7},
    };
    const auto found = allowed.find(file);
    return found == allowed.end() ? 0 : found->second;
}

TEST(BitmapSuite, EveryGoodFileImportsWithItsReferencePixels) {
    SKIP_WITHOUT_BMP_SUITE();
    const auto references = References();
    auto cells = NewGrid();
    for (const std::string& file : FilesIn("g")) {
        SCOPED_TRACE(file);
        ASSERT_TRUE(references.count(file)) << "no reference listed";
        // The non-square-pixel file is listed with a picture stretched to its aspect; an
        // editor keeps the pixels, which the suite's "-e" picture shows.
        std::string referenceFile = references.at(file);
        if (file == "g/pal8nonsquare.bmp") referenceFile = "html/pal8nonsquare-e.png";
        QImage reference(QString::fromStdString(SuiteDir + referenceFile));
        ASSERT_FALSE(reference.isNull());
        reference = reference.convertToFormat(QImage::Format_ARGB32);

        BitmapPicture picture;
        ASSERT_NO_THROW(LoadBitmapFile(SuiteDir + file, picture));
        ClearCells(*cells);
        const PictureSize size = ImportBitmap(picture, *cells);
        ASSERT_EQ(size, (PictureSize{reference.width(), reference.height()}));

        int largest = 0;
        for (int y = 0; y < size.Height; ++y)
            for (int x = 0; x < size.Width; ++x) {
                const QRgb expected = reference.pixel(x, y);
                largest = std::max(largest, ChannelDifference(cells->At(y, x),
                                                              RGB(qRed(expected), qGreen(expected),
                                                                  qBlue(expected))));
            }
        EXPECT_LE(largest, AllowedDifference(file));
    }
}

TEST(BitmapSuite, FilesThatLieAboutTheirSizesAreRefusedAndTheShowIsKept) {
    SKIP_WITHOUT_BMP_SUITE();
    auto cells = NewGrid();
    for (auto& cell : cells->WritableCells()) cell = 0x123456;
    BitmapPicture picture;
    picture.Resize(2, 2);
    for (const char* file :
         {"b/shortfile.bmp", "b/badbitssize.bmp", "b/reallybig.bmp", "b/badwidth.bmp",
          "b/badplanes.bmp", "b/badheadersize.bmp", "b/badbitcount.bmp", "b/rletopdown.bmp"}) {
        SCOPED_TRACE(file);
        try {
            LoadBitmapFile(SuiteDir + file, picture);
            ImportBitmap(picture, *cells);
            ADD_FAILURE() << "imported";
        } catch (const ShowError& error) {
            EXPECT_STREQ(error.what(), "Bitmap ist ungültig");
        }
        EXPECT_EQ(picture.Width, 2);
        EXPECT_EQ(picture.Height, 2);
    }
    for (auto cell : cells->AllCells()) ASSERT_EQ(cell, 0x123456u);
}

// Every file either imports or is refused with a message, and imports the same way twice
// (pixels that a run-length file skips must not be left to chance).
TEST(BitmapSuite, EveryFileImportsOrIsRefusedTheSameWayEachTime) {
    SKIP_WITHOUT_BMP_SUITE();
    for (const char* folder : {"g", "q", "b", "x"}) {
        for (const std::string& file : FilesIn(folder)) {
            SCOPED_TRACE(file);
            BitmapPicture first, second;
            std::string firstError, secondError;
            try {
                LoadBitmapFile(SuiteDir + file, first);
            } catch (const ShowError& error) {
                firstError = error.what();
            }
            try {
                LoadBitmapFile(SuiteDir + file, second);
            } catch (const ShowError& error) {
                secondError = error.what();
            }
            EXPECT_EQ(firstError, secondError);
            if (!firstError.empty()) {
                EXPECT_EQ(firstError, "Bitmap ist ungültig");
                continue;
            }
            EXPECT_EQ(first.Width, second.Width);
            EXPECT_EQ(first.Height, second.Height);
            EXPECT_TRUE(first.Pixels == second.Pixels);
        }
    }
}

} // namespace
} // namespace velkaro
