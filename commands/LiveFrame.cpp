#include "commands/LiveFrame.h"

#include "files/ShowRecord.h"

#include <cstddef>

namespace velkaro {

namespace {

static_assert(ShowRecord::ChannelDataSize <= DmxChannels,
              "every channel of a record fits into one universe");

// DMX channel n is record byte 7 + n and frame element n - 1.
constexpr std::size_t FrameIndex(std::size_t recordByte) {
    return recordByte - ShowRecord::ChannelDataOffset;
}

} // namespace

void ComposeLiveFrame(const Grid& cells, const ShowSettings& settings, bool monoMode,
                      const PreviewFrame& frame, DmxFrame& dmx) {
    PreviewColours colours;
    const int outputs = ComputePreviewColours(cells, settings.Outputs, frame, colours);
    dmx.fill(0);
    for (int g = 0; g < outputs; ++g) {
        const TColor c = colours[static_cast<std::size_t>(g)];
        if (monoMode) {
            dmx[FrameIndex(ShowRecord::MonoByte(g))] = static_cast<std::uint8_t>(RedOf(c));
            continue;
        }
        std::uint8_t* rgb = dmx.data() + FrameIndex(ShowRecord::RedByte(g));
        rgb[0] = static_cast<std::uint8_t>(RedOf(c));
        rgb[1] = static_cast<std::uint8_t>(GreenOf(c));
        rgb[2] = static_cast<std::uint8_t>(BlueOf(c));
    }
}

} // namespace velkaro
