#include "commands/LiveFrame.h"
#include "files/ShowFile.h"
#include "showfile/ShowFileSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace velkaro {
namespace {

using testing::ReadBytes;
using testing::TempFolder;

constexpr int Steps = 3;

// Every output of three steps lit differently, so a channel in the wrong place shows.
std::unique_ptr<Grid> LitShow() {
    auto cells = NewGrid();
    for (int row = 0; row < Steps; ++row)
        for (int g = 0; g < MaxOutputs; ++g)
            cells->At(row, g) = RGB((g * 7 + row * 50 + 1) % 256, (g * 13 + row * 3) % 256,
                                    (255 - g - row * 9) % 256);
    return cells;
}

TEST(LiveFrameTest, AStepOnTheLampsCarriesTheChannelsOfItsSavedRecord) {
    const auto cells = LitShow();
    const ShowSettings settings{MaxOutputs, Steps, 10, FadeMode};
    TempFolder folder;
    for (const bool mono : {false, true}) {
        SaveShow(folder / "show.dmx", *cells, settings, mono);
        const auto records = ReadBytes(folder / "show.dmx");
        ASSERT_EQ(records.size(), Steps * ShowRecord::Size);
        for (int row = 0; row < Steps; ++row) {
            DmxFrame dmx;
            dmx.fill(0xAA);
            ComposeLiveFrame(*cells, settings, mono, {row, (row + 1) % Steps, 0.0}, dmx);
            const auto* channels =
                records.data() + row * ShowRecord::Size + ShowRecord::ChannelDataOffset;
            EXPECT_TRUE(
                std::equal(dmx.begin(), dmx.begin() + ShowRecord::ChannelDataSize, channels))
                << "mono " << mono << ", step " << row;
            EXPECT_TRUE(std::all_of(dmx.begin() + ShowRecord::ChannelDataSize, dmx.end(),
                                    [](std::uint8_t v) { return v == 0; }));
        }
    }
}

TEST(LiveFrameTest, BlendsAsThePreviewBarAndLightsOnlyTheShowsOutputs) {
    const auto cells = LitShow();
    const ShowSettings settings{20, Steps, 10, FadeMode};
    const PreviewFrame between{1, 2, 0.37};
    PreviewColours bar;
    ASSERT_EQ(ComputePreviewColours(*cells, settings.Outputs, between, bar), 20);

    DmxFrame colour;
    ComposeLiveFrame(*cells, settings, false, between, colour);
    DmxFrame mono;
    ComposeLiveFrame(*cells, settings, true, between, mono);
    for (int g = 0; g < 20; ++g) {
        const TColor c = bar[std::size_t(g)];
        EXPECT_EQ(colour[3 * g], RedOf(c)) << g;
        EXPECT_EQ(colour[3 * g + 1], GreenOf(c)) << g;
        EXPECT_EQ(colour[3 * g + 2], BlueOf(c)) << g;
        EXPECT_EQ(mono[g], RedOf(c)) << g;
    }
    const auto dark = [](std::uint8_t v) { return v == 0; };
    EXPECT_TRUE(std::all_of(colour.begin() + 60, colour.end(), dark));
    EXPECT_TRUE(std::all_of(mono.begin() + 20, mono.end(), dark));
}

} // namespace
} // namespace velkaro
