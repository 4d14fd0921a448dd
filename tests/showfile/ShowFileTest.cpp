#include "files/ShowFile.h"
#include "ShowFileSupport.h"

#include <gtest/gtest.h>

namespace velkaro {
namespace {

using testing::Bytes;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

class ShowFileTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::unique_ptr<Grid> cells = NewGrid();

    Bytes Save(const ShowSettings& settings, bool mono = false) {
        SaveShow(folder / "show.dmx", *cells, settings, mono);
        return ReadBytes(folder / "show.dmx");
    }
    LoadResult Load(const Bytes& bytes, bool append = false, bool mono = false, int steps = 1) {
        WriteBytes(folder / "in.dmx", bytes);
        return LoadShow(folder / "in.dmx", append, *cells, mono, steps);
    }
};

ShowSettings Settings(int steps, int blendMode, int stepLength, int outputs = 20) {
    return ShowSettings{outputs, steps, stepLength, blendMode};
}

TEST_F(ShowFileTest, OneRedStepIsExactlyOneRecord) {
    cells->At(0, 0) = 0x0000FF;
    Bytes expected(512, 0);
    const std::uint8_t head[] = {0, 0, 10, 0, 32, 0, 0, 0, 255};
    std::copy(std::begin(head), std::end(head), expected.begin());
    EXPECT_EQ(Save(Settings(1, FadeMode, 10)), expected);
}

TEST_F(ShowFileTest, FlagsMarkFirstAndLastStep) {
    Bytes two = Save(Settings(2, FadeMode, 10));
    ASSERT_EQ(two.size(), 1024u);
    EXPECT_EQ(two[4], 16);
    EXPECT_EQ(two[512 + 4], 32);
    Bytes three = Save(Settings(3, FadeMode, 10));
    EXPECT_EQ(three[4], 16);
    EXPECT_EQ(three[512 + 4], 0);
    EXPECT_EQ(three[1024 + 4], 32);
}

TEST_F(ShowFileTest, TimesFollowModeAndLength) {
    const Bytes longest = Save(Settings(1, FadeMode, 3000));
    EXPECT_EQ(Bytes(longest.begin(), longest.begin() + 4), (Bytes{0, 0, 184, 11}));
    const Bytes hold = Save(Settings(1, HoldMode, 300));
    EXPECT_EQ(Bytes(hold.begin(), hold.begin() + 4), (Bytes{44, 1, 0, 0}));
}

TEST_F(ShowFileTest, TimesComeBackAsModeAndLength) {
    struct Case {
        int mode, length, loadedMode, loadedLength;
    };
    const Case cases[] = {
        {HalfFadeHalfHoldMode, 25, HalfFadeHalfHoldMode, 24}, // the odd tenth is dropped
        {HalfFadeHalfHoldMode, 1, FadeMode, 10},              // 0 + 0 reads as the start length
        {HoldMode, 3000, HoldMode, 3000},
        {FadeMode, 7, FadeMode, 7},
    };
    for (const auto& c : cases) {
        const Bytes file = Save(Settings(1, c.mode, c.length));
        int calls = 0;
        WriteBytes(folder / "in.dmx", file);
        const auto result = LoadShow(folder / "in.dmx", false, *cells, false, 1,
                                     [&](const ShowRecord::StepTiming& timing) {
                                         ++calls;
                                         EXPECT_EQ(timing.BlendMode, c.loadedMode);
                                         EXPECT_EQ(timing.StepLength, c.loadedLength);
                                     });
        EXPECT_EQ(calls, 1);
        EXPECT_TRUE(result.HaveFirstRecordSettings);
        EXPECT_EQ(result.BlendMode, c.loadedMode) << c.mode << "/" << c.length;
        EXPECT_EQ(result.StepLength, c.loadedLength) << c.mode << "/" << c.length;
    }
}

TEST(ShowRecordTiming, ForeignTimesAreHeldToTheLongestStep) {
    EXPECT_EQ(ShowRecord::TimingFor(3001, 0).StepLength, 3000);
    EXPECT_EQ(ShowRecord::TimingFor(40000, 40000).StepLength, 3000);
    EXPECT_EQ(ShowRecord::TimingFor(40000, 40000).BlendMode, HalfFadeHalfHoldMode);
}

TEST_F(ShowFileTest, TrailingPieceIsIgnored) {
    Bytes file(1000, 0);
    file[8] = 7;
    file[600] = 9; // inside the ignored piece
    const auto result = Load(file);
    EXPECT_EQ(result.StepsText, 1);
    EXPECT_EQ(cells->At(0, 0), 7u);
    EXPECT_EQ(cells->At(1, 0), 0u);
}

TEST_F(ShowFileTest, OutputsFollowTheHighestLitOutput) {
    cells->At(0, 30) = 0x0000FF; // hidden behind Outputs 20, saved all the same
    const Bytes file = Save(Settings(2, FadeMode, 10, 20));
    auto result = Load(file);
    EXPECT_EQ(result.OutputsText, 31);
    EXPECT_EQ(result.StepsText, 2);
    EXPECT_EQ(cells->At(0, 30), 0x0000FFu);

    Bytes last = testing::BlankRecords(1);
    last[511] = 1; // blue of output 168
    EXPECT_EQ(Load(last).OutputsText, 168);
    EXPECT_EQ(cells->At(0, 167), 0x010000u);
    Bytes first = testing::BlankRecords(1);
    first[9] = 1;
    EXPECT_EQ(Load(first).OutputsText, 1);
}

TEST_F(ShowFileTest, SingleColourCarriesTheRedByte) {
    cells->At(0, 0) = 0x336699;
    cells->At(0, 1) = 0x000010;
    const Bytes file = Save(Settings(1, FadeMode, 10), true);
    EXPECT_EQ(file[8], 0x99);
    EXPECT_EQ(file[9], 0x10);
    EXPECT_TRUE(std::all_of(file.begin() + 176, file.end(), [](auto b) { return b == 0; }));

    auto result = Load(file, false, true);
    EXPECT_EQ(cells->At(0, 0), 0x999999u);
    EXPECT_EQ(cells->At(0, 1), 0x101010u);
    EXPECT_EQ(result.OutputsText, 2);

    Load(file, false, false); // the same bytes as colour triples
    EXPECT_EQ(cells->At(0, 0), RGB(0x99, 0x10, 0));
}

TEST_F(ShowFileTest, AppendRepeatsAfterTheShow) {
    Bytes three = testing::BlankRecords(3);
    for (int k = 0; k < 3; ++k) three[std::size_t(k) * 512 + 8] = std::uint8_t(k + 1);
    three[0] = 50; // a hold time an append must not take
    cells->At(0, 0) = 0xABCDEF;
    int steps = 5;
    for (int time = 0; time < 2; ++time) {
        WriteBytes(folder / "three.dmx", three);
        const auto result = LoadShow(folder / "three.dmx", true, *cells, false, steps,
                                     [](const auto&) { FAIL() << "append took the settings"; });
        EXPECT_FALSE(result.HaveFirstRecordSettings);
        steps = result.StepsText;
    }
    EXPECT_EQ(steps, 11);
    EXPECT_EQ(cells->At(0, 0), 0xABCDEFu);
    for (int row = 5; row < 11; ++row) EXPECT_EQ(cells->At(row, 0), TColor((row - 5) % 3 + 1));
}

TEST_F(ShowFileTest, EmptyFileClearsAndAsksForZeroSteps) {
    cells->At(4, 4) = 0xFF;
    for (const int size : {0, 511}) {
        const auto result = Load(Bytes(std::size_t(size), 1));
        EXPECT_EQ(result.StepsText, 0); // the Steps control refuses it and keeps its value
        EXPECT_EQ(result.OutputsText, 1);
        EXPECT_FALSE(result.HaveFirstRecordSettings);
        EXPECT_EQ(cells->At(4, 4), 0u);
    }
}

TEST_F(ShowFileTest, SaveThenLoadGivesTheSameShow) {
    for (int row = 0; row < 300; ++row)
        for (int col = 0; col < 168; ++col)
            cells->At(row, col) = TColor(row * 7919 + col * 104729) & 0xFFFFFF;
    Save(Settings(300, HoldMode, 42));
    auto saved = NewGrid();
    CopyGrid(*saved, *cells);
    const auto result = LoadShow(folder / "show.dmx", false, *cells, false, 1);
    EXPECT_EQ(result.StepsText, 300);
    EXPECT_EQ(result.StepLength, 42);
    for (int row = 0; row < 300; ++row)
        ASSERT_EQ(std::memcmp(cells->AllCells().data() + row * GridCols,
                              saved->AllCells().data() + row * GridCols, 168 * sizeof(TColor)),
                  0)
            << "row " << row;
}

} // namespace
} // namespace velkaro
