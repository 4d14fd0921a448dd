#pragma once

#include "commands/PreviewClock.h"
#include "model/DmxFrame.h"
#include "model/Grid.h"
#include "model/ShowSettings.h"

#include <cstdint>

namespace velkaro {

// The show on the lamps as a function of time, for whoever plays it without the preview's timer
// (an exported sequence, the headless player). Time starts with step 0 at tick 0, so the first
// step lasts its full length; a tick is a tenth of a second. Every moment is what live output
// would send then: the preview's clock moved once per whole tick, the frame between two ticks
// blended as live output blends it, with all 168 outputs as the show stores them. After the
// last step the show blends into the first, as it does while it loops.
class ShowTimeline {
public:
    // The grid must outlive the timeline and stay unchanged while it plays.
    ShowTimeline(const Grid& cells, const ShowSettings& settings, bool monoMode);

    // Ticks of one pass through every step.
    std::uint64_t TicksPerPass() const { return ticksPerPass_; }
    int Steps() const { return settings_.Steps; }

    // Renders the moment `fractionOfTick` (0..1) past tick `tick`, counted from the start and
    // beyond one pass. Cheapest when moments come in order; an earlier one starts over.
    void Render(std::uint64_t tick, double fractionOfTick, DmxFrame& frame);

    // The step the last rendered moment belongs to.
    int Step() const { return clock_.PlayStep(); }

private:
    const Grid& cells_;
    ShowSettings settings_;
    bool monoMode_;
    std::uint64_t ticksPerPass_;
    PreviewClock clock_;
    std::uint64_t clockTick_ = 0;
};

} // namespace velkaro
