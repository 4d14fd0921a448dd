#include "commands/ShowTimeline.h"

#include "commands/LiveFrame.h"

#include <algorithm>

namespace velkaro {

namespace {

ShowSettings AllOutputs(ShowSettings settings) {
    settings.Outputs = MaxOutputs;
    settings.Steps = std::clamp(settings.Steps, MinSteps, MaxSteps);
    settings.StepLength = std::clamp(settings.StepLength, MinStepLength, MaxStepLength);
    return settings;
}

} // namespace

ShowTimeline::ShowTimeline(const Grid& cells, const ShowSettings& settings, bool monoMode)
    : cells_(cells), settings_(AllOutputs(settings)), monoMode_(monoMode),
      ticksPerPass_(std::uint64_t(settings_.Steps) * std::uint64_t(settings_.StepLength)) {}

void ShowTimeline::Render(std::uint64_t tick, double fractionOfTick, DmxFrame& frame) {
    if (tick < clockTick_) {
        clock_ = PreviewClock();
        clockTick_ = 0;
    }
    // Whole passes change nothing; only the ticks into the current one need counting.
    if (tick - clockTick_ > ticksPerPass_)
        clockTick_ += (tick - clockTick_) / ticksPerPass_ * ticksPerPass_;
    for (; clockTick_ < tick; ++clockTick_)
        clock_.Advance(settings_.Steps, settings_.StepLength, settings_.BlendMode);
    const PreviewFrame moment =
        clock_.FrameAt(settings_.Steps, settings_.StepLength, settings_.BlendMode, fractionOfTick);
    ComposeLiveFrame(cells_, settings_, monoMode_, moment, frame);
}

} // namespace velkaro
