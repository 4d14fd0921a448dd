#include "model/Color.h"

#include <gtest/gtest.h>

namespace velkaro {
namespace {

TEST(BlendColor, RoundsHalvesToEven) {
    EXPECT_EQ(BlendColor(0x000000, 0xFFFFFF, 0.5), 0x808080u); // 127.5 -> 128
    EXPECT_EQ(BlendColor(0x000001, 0x000002, 0.5), 0x000002u); // 1.5 -> 2
    EXPECT_EQ(BlendColor(0x000002, 0x000003, 0.5), 0x000002u); // 2.5 -> 2
    EXPECT_EQ(BlendColor(0x000300, 0x000400, 0.5), 0x000400u); // green 3.5 -> 4
    EXPECT_EQ(BlendColor(0x050000, 0x060000, 0.5), 0x060000u); // blue 5.5 -> 6
}

TEST(BlendColor, EndsGiveTheEndColoursWithoutTopByte) {
    EXPECT_EQ(BlendColor(0xAB123456, 0xCD654321, 0.0), 0x123456u);
    EXPECT_EQ(BlendColor(0xAB123456, 0xCD654321, 1.0), 0x654321u);
}

TEST(BlendColor, CrossFadeSteps) {
    // black to red over five rows: the inner rows at 1/4, 2/4, 3/4
    EXPECT_EQ(BlendColor(0, 0xFF, 0.25), 0x40u);
    EXPECT_EQ(BlendColor(0, 0xFF, 0.5), 0x80u);
    EXPECT_EQ(BlendColor(0, 0xFF, 0.75), 0xBFu);
}

TEST(MonoGrey, TakesTheRedByteAsGrey) {
    EXPECT_EQ(MonoGrey(0x0000FF), 0xFFFFFFu);
    EXPECT_EQ(MonoGrey(0xFF0000), 0u);
    EXPECT_EQ(MonoGrey(0x808080), 0x808080u);
    EXPECT_EQ(MonoGrey(0x336699), 0x999999u);
}

// The live output skips the blend of a channel that stays; that is only sound if staying is
// exactly what the blend gives, at every moment.
TEST(BlendColorTest, AChannelThatStaysIsItselfAtEveryMomentOfTheFade) {
    for (int value = 0; value < 256; ++value)
        for (int step = 1; step < 1000; ++step) {
            const double t = step / 1000.0 + 1e-7 * (value % 7);
            ASSERT_EQ(BlendChannelValue(value, value, t), value) << value << " at " << t;
        }
}

} // namespace
} // namespace velkaro
