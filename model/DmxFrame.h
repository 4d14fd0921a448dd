#pragma once

#include <array>
#include <cstdint>

namespace velkaro {

// One DMX universe as it goes to the lamps: DMX channel n (1..512) is element n - 1.
constexpr int DmxChannels = 512;
using DmxFrame = std::array<std::uint8_t, DmxChannels>;

// A moment of a cross-fade between two universes: every channel a fraction T (0..1) of the way
// from From to To, blended as the preview blends colours. Handing this over instead of the
// blended frame leaves the blending to whoever sends it.
struct DmxFade {
    DmxFrame From{};
    DmxFrame To{};
    double T = 0.0;
};

// The frame the fade shows.
void BlendDmx(const DmxFade& fade, DmxFrame& frame);

} // namespace velkaro
