#pragma once

#include "commands/PreviewClock.h"
#include "model/DmxFrame.h"
#include "model/Grid.h"
#include "model/ShowSettings.h"

namespace velkaro {

// The DMX universe that shows `frame` of the preview on the lamps, in the show file's channel
// layout: output g on channels 3g+1..3g+3 (red, green, blue), or with monoMode on channel g+1
// with the red byte. The colours are blended exactly as the preview bar blends them, so lamps
// and bar agree. Only the show's outputs (settings.Outputs of them) are lit, as on the bar;
// every other channel is 0.
void ComposeLiveFrame(const Grid& cells, const ShowSettings& settings, bool monoMode,
                      const PreviewFrame& frame, DmxFrame& dmx);

// The same frame left unblended: the two steps in that layout and how far the fade has come.
// BlendDmx of it gives exactly ComposeLiveFrame's frame; it costs a fraction of the blending,
// so the window can hand the blending to the sender's thread.
void ComposeLiveFade(const Grid& cells, const ShowSettings& settings, bool monoMode,
                     const PreviewFrame& frame, DmxFade& fade);

} // namespace velkaro
