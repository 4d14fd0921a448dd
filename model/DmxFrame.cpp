#include "model/DmxFrame.h"

#include "model/Color.h"

namespace velkaro {

void BlendDmx(const DmxFade& fade, DmxFrame& frame) {
    // At the tick itself nothing is blended: the frame is the step as it stands.
    if (fade.T <= 0.0) {
        frame = fade.From;
        return;
    }
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = static_cast<std::uint8_t>(BlendChannelValue(fade.From[i], fade.To[i], fade.T));
}

} // namespace velkaro
