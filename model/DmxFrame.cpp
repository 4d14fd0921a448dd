#include "model/DmxFrame.h"

#include "model/Color.h"

#include <cmath>

namespace velkaro {

namespace {

// BlendChannelValue in plain double arithmetic, which is several times faster. Its result
// differs from the extended-precision one by far less than 1e-12, so the two can round apart
// only when the exact value lies that close to a half; there the exact function decides.
std::uint8_t BlendChannelFast(int from, int to, double u, double t) {
    const double exact = from * u + to * t;
    const double whole = std::floor(exact);
    const double part = exact - whole;
    if (std::abs(part - 0.5) < 1e-9)
        return static_cast<std::uint8_t>(BlendChannelValue(from, to, t));
    return static_cast<std::uint8_t>(whole + (part > 0.5 ? 1.0 : 0.0));
}

} // namespace

void BlendDmx(const DmxFade& fade, DmxFrame& frame) {
    // At the tick itself nothing is blended: the frame is the step as it stands.
    if (fade.T <= 0.0) {
        frame = fade.From;
        return;
    }
    const double t = fade.T;
    const double u = static_cast<double>(1.0L - static_cast<long double>(t));
    // A channel that stays (most of them: every unused one, every unchanged output) is exactly
    // itself at any moment of the fade; only the others pay for the blend.
    for (std::size_t i = 0; i < frame.size(); ++i) {
        const std::uint8_t from = fade.From[i];
        const std::uint8_t to = fade.To[i];
        frame[i] = from == to ? from : BlendChannelFast(from, to, u, t);
    }
}

} // namespace velkaro
