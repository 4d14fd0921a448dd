#pragma once

namespace velkaro {

enum BlendModes : int { FadeMode = 0, HoldMode = 1, HalfFadeHalfHoldMode = 2 };

// The four settings a snapshot keeps; the window holds the live values in its controls.
struct ShowSettings {
    int Outputs = 20;
    int Steps = 1;
    int StepLength = 10; // tenths of a second
    int BlendMode = FadeMode;

    bool operator==(const ShowSettings&) const = default;
};

constexpr int MinOutputs = 1;
constexpr int MinSteps = 1;
constexpr int MinStepLength = 1;
constexpr int MaxStepLength = 3000;

} // namespace velkaro
