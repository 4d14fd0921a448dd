#pragma once

#include <chrono>
#include <cstdint>

namespace velkaro {

inline constexpr double MinTempoBpm = 40.0;
inline constexpr double MaxTempoBpm = 300.0;

// A show's steps locked to the beat of its song. Without a tempo (Bpm 0) a step lasts
// StepLength tenths of a second, as it always did.
struct ShowTempo {
    double Bpm = 0;          // beats a minute, two decimals; 0: no tempo
    double StepsPerBeat = 1; // 4, 2, 1, 0.5 or 0.25

    bool IsSet() const { return Bpm >= MinTempoBpm && Bpm <= MaxTempoBpm; }
    bool operator==(const ShowTempo&) const = default;
};

// The choices a user has; anything else read from a file falls back to one step a beat.
inline constexpr double StepsPerBeatChoices[] = {4.0, 2.0, 1.0, 0.5, 0.25};
bool IsStepsPerBeatChoice(double stepsPerBeat);
// Rounded to two decimals and held within 40..300; 0 (or nonsense) stays 0, no tempo.
double NormalisedBpm(double bpm);

// How long one step lasts with the tempo, exactly (in nanoseconds, as a double).
double StepShareNs(const ShowTempo& tempo);
// Where step k starts after the first beat: computed from k, so nothing adds up over a song.
std::chrono::nanoseconds StepStart(const ShowTempo& tempo, std::int64_t step);
// The StepLength a tempo shows: its step's share to the nearest tenth of a second.
int TempoStepLength(const ShowTempo& tempo);
// One tick of the show at 100 % speed: a tenth of a second without a tempo, otherwise the
// share of a step that stepLength ticks make exactly one step.
std::chrono::nanoseconds TickLengthOf(const ShowTempo& tempo, int stepLength);

} // namespace velkaro
