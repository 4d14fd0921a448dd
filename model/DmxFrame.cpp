#include "model/DmxFrame.h"

#include "model/Color.h"

namespace velkaro {

void BlendDmx(const DmxFade& fade, DmxFrame& frame) {
    // At the tick itself nothing is blended: the frame is the step as it stands.
    if (fade.T <= 0.0) {
        frame = fade.From;
        return;
    }
    // A channel that stays (most of them: every unused one, every unchanged output) is exactly
    // itself at any moment of the fade; only the others pay for the blend.
    for (std::size_t i = 0; i < frame.size(); ++i) {
        const std::uint8_t from = fade.From[i];
        const std::uint8_t to = fade.To[i];
        frame[i] =
            from == to ? from : static_cast<std::uint8_t>(BlendChannelValue(from, to, fade.T));
    }
}

} // namespace velkaro
