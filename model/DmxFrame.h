#pragma once

#include <array>
#include <cstdint>

namespace velkaro {

// One DMX universe as it goes to the lamps: DMX channel n (1..512) is element n - 1.
constexpr int DmxChannels = 512;
using DmxFrame = std::array<std::uint8_t, DmxChannels>;

} // namespace velkaro
