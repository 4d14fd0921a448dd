#include "ShowFileSupport.h"
#include "files/ShowFile.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

namespace velkaro {
namespace {

using testing::Bytes;

constexpr TColor Sentinel = 0x7F000000; // a value no load produces

struct RandomFiles {
    std::mt19937 random{20240611};

    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

    // Mostly short files with a ragged end, now and then one longer than the grid.
    Bytes Next() {
        const int records = Between(0, 99) == 0 ? Between(10000, 10030) : Between(0, 40);
        Bytes bytes(std::size_t(records) * ShowRecord::Size +
                    std::size_t(Between(0, 3) ? 0 : Between(1, 511)));
        if (bytes.empty()) return bytes;
        if (Between(0, 1)) {
            for (auto& b : bytes) b = std::uint8_t(random());
        } else {
            for (int lit = Between(0, 20); lit > 0; --lit)
                bytes[std::size_t(Between(0, int(bytes.size()) - 1))] =
                    std::uint8_t(Between(1, 255));
        }
        return bytes;
    }

    int CurrentSteps() {
        switch (Between(0, 3)) {
        case 0:
            return Between(1, 30);
        case 1:
            return Between(9970, 10000);
        case 2:
            return Between(10001, 10011); // past any show the window allows
        default:
            return Between(-3, 0);
        }
    }
};

int HighestLitOutput(const Grid& cells, int fromRow, int toRow) {
    int highest = 0;
    for (int row = fromRow; row < toRow; ++row)
        for (int col = 0; col < MaxOutputs; ++col)
            if (cells.At(row, col) != 0) highest = std::max(highest, col);
    return highest;
}

// Thousands of random and ragged files, both layouts, replacing and appending near the end of
// the grid: every load stays inside its rows and reports what it stored.
TEST(ShowFileRobustness, RandomFilesStayInsideTheGrid) {
    auto cells = NewGrid();
    for (int row = 0; row < GridRows; ++row) cells->At(row, LastCol) = Sentinel;
    RandomFiles files;
    std::array<TColor, GridCols> rowBefore{};
    for (int round = 0; round < 3000; ++round) {
        const Bytes bytes = files.Next();
        testing::MemoryFile file(bytes, files.Between(0, 3) ? SIZE_MAX
                                                            : std::size_t(files.Between(1, 700)));
        const bool append = files.Between(0, 1);
        const bool mono = files.Between(0, 1);
        const int steps = append ? files.CurrentSteps() : 1;
        const int firstRow = append ? std::clamp(steps, 0, GridRows) : 0;
        const int records = int(bytes.size() / ShowRecord::Size);
        const int endRow = std::min(firstRow + records, GridRows);
        if (firstRow > 0) std::copy_n((*cells)[firstRow - 1], GridCols, rowBefore.begin());

        const auto result = LoadShow("random.dmx", append, *cells, mono, steps, {}, file);

        SCOPED_TRACE(::testing::Message() << "round " << round << " append " << append << " steps "
                                          << steps << " bytes " << bytes.size());
        ASSERT_EQ(result.StepsText, firstRow + records);
        ASSERT_EQ(result.OutputsText, HighestLitOutput(*cells, firstRow, endRow) + 1);
        ASSERT_EQ(result.HaveFirstRecordSettings, !append && records > 0);
        if (firstRow > 0) {
            ASSERT_TRUE(std::equal(rowBefore.begin(), rowBefore.end(), (*cells)[firstRow - 1]));
        }
        if (!append && endRow < WorkRows) { // the cleared working area goes on black
            for (int col = 0; col < MaxOutputs; ++col) ASSERT_EQ(cells->At(endRow, col), 0u);
        }
        if (endRow > firstRow) {
            const int col = files.Between(0, MaxOutputs - 1);
            const std::uint8_t* record =
                bytes.data() + std::size_t(endRow - 1 - firstRow) * ShowRecord::Size;
            const TColor expected =
                mono ? record[ShowRecord::MonoByte(col)] * GreyUnit
                     : RGB(record[ShowRecord::RedByte(col)], record[ShowRecord::RedByte(col) + 1],
                           record[ShowRecord::RedByte(col) + 2]);
            ASSERT_EQ(cells->At(endRow - 1, col), expected);
        }
    }
    for (int row = 0; row < GridRows; ++row) ASSERT_EQ(cells->At(row, LastCol), Sentinel) << row;
}

} // namespace
} // namespace velkaro
