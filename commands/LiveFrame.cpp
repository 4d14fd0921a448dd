#include "commands/LiveFrame.h"

#include "model/ChannelLayout.h"

#include <algorithm>
#include <cstddef>

namespace velkaro {

namespace {

static_assert(ChannelLayout::StepChannels <= DmxChannels,
              "every channel of a step fits into one universe");

// DMX channel n is frame element n - 1; the channels past the step's stay 0.
void LayOutRow(const TColor* row, int outputs, bool monoMode, DmxFrame& dmx) {
    ChannelLayout::WriteStepChannels(row, outputs, monoMode, dmx.data());
    std::fill(dmx.begin() + ChannelLayout::StepChannels, dmx.end(), 0);
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
