#include "commands/PreviewClock.h"

#include <algorithm>

namespace velkaro {

namespace {

constexpr int BandRows = 4; // black rows above and below the bars
constexpr int BarInset = 5; // the bars start at row 5 and end before row H - 5

// The settings controls keep these at least 1; holding them here as well means no division
// by zero and no row outside the grid, whatever a caller passes.
int AtLeastOne(int value) {
    return std::max(value, 1);
}

// Every rectangle the tick paints lies inside the paint box; cutting it there changes nothing
// that shows and spares the drawing code any checks.
PreviewRect InsideBox(PreviewRect r, int width, int height) {
    r.Left = std::clamp(r.Left, 0, width);
    r.Right = std::clamp(r.Right, 0, width);
    r.Top = std::clamp(r.Top, 0, height);
    r.Bottom = std::clamp(r.Bottom, 0, height);
    if (r.IsEmpty()) return PreviewRect{};
    return r;
}

} // namespace

PreviewFrame PreviewClock::Advance(int steps, int stepLength, int blendMode) {
    const int s = std::clamp(steps, 1, MaxSteps);
    const int length = AtLeastOne(stepLength);
    ++playTick_;
    // ">=" rather than "==": a StepLength lowered to the current tick or below moves on now.
    if (playTick_ >= length) {
        playTick_ = 0;
        playStep_ = (playStep_ + 1) % s;
    }
    // After Steps was lowered to PlayStep or less, the current step still finishes from its
    // old row, which lies inside the grid, towards the row play continues with.
    PreviewFrame frame;
    frame.From = playStep_;
    frame.To = (playStep_ + 1) % s;
    frame.T = PreviewBlendFactor(playTick_, length, blendMode);
    return frame;
}

PreviewFrame PreviewClock::FrameAt(int steps, int stepLength, int blendMode,
                                   double fractionOfTick) const {
    const int s = std::clamp(steps, 1, MaxSteps);
    const double tick = playTick_ + std::clamp(fractionOfTick, 0.0, 1.0);
    PreviewFrame frame;
    frame.From = playStep_;
    frame.To = (playStep_ + 1) % s;
    // A step length lowered below the current tick would otherwise blend past the next row.
    frame.T = std::min(PreviewBlendFactorAt(tick, stepLength, blendMode), 1.0);
    return frame;
}

double PreviewBlendFactor(int playTick, int stepLength, int blendMode) {
    return PreviewBlendFactorAt(static_cast<double>(playTick), stepLength, blendMode);
}

double PreviewBlendFactorAt(double playTick, int stepLength, int blendMode) {
    const double t = playTick / static_cast<double>(AtLeastOne(stepLength));
    switch (blendMode) {
    case HoldMode:
        return 0.0;
    case HalfFadeHalfHoldMode:
        // The fade takes the first half of the step, the next step is held for the second.
        return std::min(2.0 * t, 1.0);
    default:
        return t;
    }
}

int ComputePreviewColours(const Grid& cells, int outputs, const PreviewFrame& frame,
                          PreviewColours& colours) {
    const int n = std::clamp(outputs, 1, MaxOutputs);
    const TColor* from = cells[std::clamp(frame.From, 0, LastRow)];
    const TColor* to = cells[std::clamp(frame.To, 0, LastRow)];
    const double t = std::clamp(frame.T, 0.0, 1.0);
    for (int i = 0; i < n; ++i)
        colours[static_cast<std::size_t>(i)] = BlendColor(from[i], to[i], t);
    return n;
}

int PreviewTick(PreviewClock& clock, const Grid& cells, const ShowSettings& settings,
                PreviewColours& colours) {
    const PreviewFrame frame =
        clock.Advance(settings.Steps, settings.StepLength, settings.BlendMode);
    return ComputePreviewColours(cells, settings.Outputs, frame, colours);
}

PreviewRect PreviewBarLayout::Bar(int i) const {
    return InsideBox({i * BarWidth, BarInset, (i + 1) * BarWidth, Height - BarInset}, Width,
                     Height);
}

PreviewBarLayout LayoutPreviewBar(int width, int height, int outputs) {
    PreviewBarLayout layout;
    layout.Width = std::max(width, 0);
    layout.Height = std::max(height, 0);
    layout.Bars = std::clamp(outputs, 1, MaxOutputs);
    layout.BarWidth = layout.Width / layout.Bars;
    const int w = layout.Width;
    const int h = layout.Height;
    layout.BlackAreas = {
        InsideBox({0, 0, w, BandRows}, w, h),
        InsideBox({0, h - BandRows, w, h}, w, h),
        InsideBox({layout.Bars * layout.BarWidth, 0, w, h}, w, h),
    };
    return layout;
}

int PreviewIntervalMs(int speedPercent) {
    return 10000 / std::clamp(speedPercent, MinPreviewSpeed, MaxPreviewSpeed);
}

double PreviewTickFraction(double msSinceTick, int intervalMs) {
    if (!(msSinceTick > 0.0)) return 0.0; // also a clock that went backwards, or NaN
    return std::min(msSinceTick / static_cast<double>(AtLeastOne(intervalMs)), 1.0);
}

std::string PreviewSpeedCaption(int speedPercent) {
    return "Vorschau " + std::to_string(speedPercent) + "%";
}

} // namespace velkaro
