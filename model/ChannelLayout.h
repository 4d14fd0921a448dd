#pragma once

#include "model/Color.h"
#include "model/Grid.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace velkaro {

// Where one step of the show lies in a DMX universe. Saved records, the live universe and every
// exported sequence take their layout from here, so lamps patched once work with all of them.
namespace ChannelLayout {

constexpr int Outputs = MaxOutputs; // a step always carries all 168 outputs
constexpr int ChannelsPerOutput = 3;
constexpr std::size_t StepChannels = std::size_t(Outputs) * ChannelsPerOutput; // 504

// Colour layout: output g is the red, green, blue triple of DMX channels 3g+1..3g+3, here as
// the 0-based index of its red channel.
constexpr std::size_t RedChannel(int output) {
    return ChannelsPerOutput * std::size_t(output);
}
// Single-colour layout: output g is the one channel g+1; the channels after output 168 stay 0.
constexpr std::size_t MonoChannel(int output) {
    return std::size_t(output);
}

static_assert(RedChannel(Outputs - 1) + 2 == StepChannels - 1, "output 168 ends the step");

// Writes the StepChannels channel bytes of one step from the first `outputs` colours of a grid
// row; every other channel is 0.
inline void WriteStepChannels(const TColor* row, int outputs, bool monoMode,
                              std::uint8_t* channels) {
    std::memset(channels, 0, StepChannels);
    const int shown = std::clamp(outputs, 0, Outputs);
    for (int g = 0; g < shown; ++g) {
        if (monoMode) {
            channels[MonoChannel(g)] = static_cast<std::uint8_t>(RedOf(row[g]));
            continue;
        }
        std::uint8_t* rgb = channels + RedChannel(g);
        rgb[0] = static_cast<std::uint8_t>(RedOf(row[g]));
        rgb[1] = static_cast<std::uint8_t>(GreenOf(row[g]));
        rgb[2] = static_cast<std::uint8_t>(BlueOf(row[g]));
    }
}

} // namespace ChannelLayout

} // namespace velkaro
