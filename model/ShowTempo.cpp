#include "model/ShowTempo.h"

#include "model/ShowSettings.h"

#include <algorithm>
#include <cmath>

namespace velkaro {

bool IsStepsPerBeatChoice(double stepsPerBeat) {
    return std::find(std::begin(StepsPerBeatChoices), std::end(StepsPerBeatChoices),
                     stepsPerBeat) != std::end(StepsPerBeatChoices);
}

double NormalisedBpm(double bpm) {
    if (!std::isfinite(bpm) || bpm <= 0) return 0;
    return std::round(std::clamp(bpm, MinTempoBpm, MaxTempoBpm) * 100.0) / 100.0;
}

double StepShareNs(const ShowTempo& tempo) {
    const double stepsPerBeat = IsStepsPerBeatChoice(tempo.StepsPerBeat) ? tempo.StepsPerBeat : 1;
    return 60e9 / (tempo.Bpm * stepsPerBeat);
}

std::chrono::nanoseconds StepStart(const ShowTempo& tempo, std::int64_t step) {
    return std::chrono::nanoseconds(std::llround(double(step) * StepShareNs(tempo)));
}

int TempoStepLength(const ShowTempo& tempo) {
    const long tenths = std::lround(StepShareNs(tempo) / 1e8);
    return int(std::clamp<long>(tenths, MinStepLength, MaxStepLength));
}

std::chrono::nanoseconds TickLengthOf(const ShowTempo& tempo, int stepLength) {
    if (!tempo.IsSet()) return std::chrono::milliseconds(100);
    return std::chrono::nanoseconds(std::llround(
        StepShareNs(tempo) / double(std::clamp(stepLength, MinStepLength, MaxStepLength))));
}

} // namespace velkaro
