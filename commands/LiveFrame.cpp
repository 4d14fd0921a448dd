#include "commands/LiveFrame.h"

#include "files/ShowRecord.h"

#include <algorithm>
#include <cstddef>

namespace velkaro {

namespace {

static_assert(ShowRecord::ChannelDataSize <= DmxChannels,
              "every channel of a record fits into one universe");

// DMX channel n is record byte 7 + n and frame element n - 1.
constexpr std::size_t FrameIndex(std::size_t recordByte) {
    return recordByte - ShowRecord::ChannelDataOffset;
}

// One step of the show in the show file's channel layout; channels no output uses are 0.
void LayOutRow(const TColor* row, int outputs, bool monoMode, DmxFrame& dmx) {
    dmx.fill(0);
    for (int g = 0; g < outputs; ++g) {
        const TColor c = row[g];
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

} // namespace

void ComposeLiveFade(const Grid& cells, const ShowSettings& settings, bool monoMode,
                     const PreviewFrame& frame, DmxFade& fade) {
    // The rows and the fraction exactly as the preview bar takes them.
    const int outputs = std::clamp(settings.Outputs, 1, MaxOutputs);
    LayOutRow(cells[std::clamp(frame.From, 0, LastRow)], outputs, monoMode, fade.From);
    LayOutRow(cells[std::clamp(frame.To, 0, LastRow)], outputs, monoMode, fade.To);
    fade.T = std::clamp(frame.T, 0.0, 1.0);
}

void ComposeLiveFrame(const Grid& cells, const ShowSettings& settings, bool monoMode,
                      const PreviewFrame& frame, DmxFrame& dmx) {
    DmxFade fade;
    ComposeLiveFade(cells, settings, monoMode, frame, fade);
    BlendDmx(fade, dmx);
}

} // namespace velkaro
