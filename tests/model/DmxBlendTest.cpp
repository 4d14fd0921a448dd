#include "model/Color.h"
#include "model/DmxFrame.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace velkaro {
namespace {

// BlendDmx takes a fast path; every channel must still come out exactly as BlendChannelValue
// has it (the rounding shows were tuned against), for every pair of levels, at every fraction
// playback and export use (k / (4 × step length)) and at arbitrary ones.
TEST(DmxBlend, EveryPairOfLevelsBlendsExactlyAsOneChannel) {
    std::vector<double> fractions;
    for (int length : {1, 3, 10, 25, 3000})
        for (int k = 1; k < 4 * length; k += std::max(1, length / 5)) {
            fractions.push_back(double(k) / (4 * length));
            fractions.push_back(std::min(2.0 * k / (4 * length), 1.0)); // half fade, half hold
        }
    std::mt19937 random(42);
    std::uniform_real_distribution<double> any(0.0, 1.0);
    for (int i = 0; i < 50; ++i) fractions.push_back(any(random));
    fractions.push_back(1.0);
    fractions.push_back(0.5);
    fractions.push_back(1e-12);

    for (const double t : fractions) {
        for (int from = 0; from < 256; from += 2) {
            DmxFade fade;
            fade.T = t;
            for (int i = 0; i < DmxChannels; ++i) {
                fade.From[i] = static_cast<std::uint8_t>(from + i / 256);
                fade.To[i] = static_cast<std::uint8_t>(i % 256);
            }
            DmxFrame frame;
            BlendDmx(fade, frame);
            for (int i = 0; i < DmxChannels; ++i)
                if (frame[i] != BlendChannelValue(fade.From[i], fade.To[i], t))
                    FAIL() << "from " << int(fade.From[i]) << " to " << int(fade.To[i]) << " at "
                           << t;
        }
    }
}

} // namespace
} // namespace velkaro
