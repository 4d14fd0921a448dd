#pragma once

#include "model/Grid.h"
#include "model/ShowSettings.h"

#include <array>
#include <string>

namespace velkaro {

// What one tick of the preview shows: every output blended from row From towards row To.
struct PreviewFrame {
    int From = 0;
    int To = 0;
    double T = 0.0;
};

// The preview player's counters. One tick stands for one tenth of a second of the show at
// 100 % speed; the window's timer calls Advance once per tick. Nothing else resets or changes
// the counters, so stopping and resuming the timer continues where it stopped.
class PreviewClock {
public:
    PreviewClock() = default;
    // The counters at a known position, for a player that hands the position on.
    PreviewClock(int playStep, int playTick) : playStep_(playStep), playTick_(playTick) {}

    int PlayStep() const { return playStep_; }
    int PlayTick() const { return playTick_; }

    // Counts one tick and says what to show. Steps, StepLength and BlendMode are read afresh
    // on every tick, so a setting changed during play takes effect at once.
    PreviewFrame Advance(int steps, int stepLength, int blendMode);

    // What the preview would show a fraction (0..1) of the way from the last tick to the next,
    // for a consumer that samples the show more often than the preview ticks (live output).
    // It blends at tick PlayTick + fractionOfTick by the same rules as Advance, but never moves
    // the step: only the next tick does, so a hold never changes early and a fade ends exactly
    // where the next tick starts. Changes nothing; with fraction 0 it repeats the last tick.
    PreviewFrame FrameAt(int steps, int stepLength, int blendMode, double fractionOfTick) const;

private:
    int playStep_ = 0;
    int playTick_ = 0;
};

// The fraction of the way to the next step for a tick within a step of `stepLength` ticks.
double PreviewBlendFactor(int playTick, int stepLength, int blendMode);
// The same for a moment between two ticks.
double PreviewBlendFactorAt(double playTick, int stepLength, int blendMode);

using PreviewColours = std::array<TColor, MaxOutputs>;

// Fills colours[0..outputs-1] with the bar colours of `frame`; returns the number of bars.
int ComputePreviewColours(const Grid& cells, int outputs, const PreviewFrame& frame,
                          PreviewColours& colours);

// One whole tick: advances the clock with the settings and computes the bar colours.
// Returns the number of bars (Outputs).
int PreviewTick(PreviewClock& clock, const Grid& cells, const ShowSettings& settings,
                PreviewColours& colours);

// A rectangle from its left top corner (included) to its right bottom corner (excluded).
struct PreviewRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool operator==(const PreviewRect&) const = default;
};

// Where the bars and the black areas of the preview bar lie. The pixel rows 4 and H - 5 are
// neither bar nor black: they keep the background beneath the bar.
struct PreviewBarLayout {
    int Width = 0;
    int Height = 0;
    int Bars = 0;     // number of outputs
    int BarWidth = 0; // Width div Bars; 0 when the bar is narrower than the output count
    std::array<PreviewRect, 3> BlackAreas{}; // top band, bottom band, strip right of the bars

    // The rectangle of bar i, 0 <= i < Bars. Empty when BarWidth is 0 or the bar is too low.
    PreviewRect Bar(int i) const;
};

PreviewBarLayout LayoutPreviewBar(int width, int height, int outputs);

// The speed scroll bar: position in percent of real time -> timer interval and group caption.
constexpr int MinPreviewSpeed = 25;
constexpr int MaxPreviewSpeed = 400;
int PreviewIntervalMs(int speedPercent);
// How far the preview has come from its last tick towards the next, for FrameAt: the time
// since the last tick over the tick interval, held within 0..1 so a late timer never
// anticipates the next tick.
double PreviewTickFraction(double msSinceTick, int intervalMs);
std::string PreviewSpeedCaption(int speedPercent);

} // namespace velkaro
