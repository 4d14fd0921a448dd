#pragma once

#include <optional>
#include <vector>

namespace velkaro {

// A tempo tapped along: four or more taps give the tempo and the moment of a beat by a
// straight-line fit of the tap times, so a single early or late tap costs little. A pause of
// two seconds starts over. Times are in seconds on whatever clock the taps are timed with.
class TapTempo {
public:
    static constexpr int MinTaps = 4;
    static constexpr double PauseSeconds = 2.0;
    static constexpr int MaxTaps = 64; // older taps are forgotten, so a slow drift is followed

    struct Result {
        double Bpm = 0;
        double BeatSeconds = 0; // the fitted time of the first tap kept
        double PeriodSeconds = 0;
    };

    TapTempo() { taps_.reserve(MaxTaps); }
    // Takes a tap; returns the fit once there are enough taps.
    std::optional<Result> Tap(double seconds);
    int Taps() const { return int(taps_.size()); }

private:
    std::vector<double> taps_;
};

} // namespace velkaro
