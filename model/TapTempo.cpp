#include "model/TapTempo.h"

namespace velkaro {

std::optional<TapTempo::Result> TapTempo::Tap(double seconds) {
    if (!taps_.empty() && (seconds - taps_.back() >= PauseSeconds || seconds <= taps_.back()))
        taps_.clear();
    if (int(taps_.size()) == MaxTaps) taps_.erase(taps_.begin());
    taps_.push_back(seconds);
    const int n = int(taps_.size());
    if (n < MinTaps) return std::nullopt;
    // Least squares of tap time against tap number, about the first tap for precision.
    double sumI = 0, sumT = 0, sumII = 0, sumIT = 0;
    for (int i = 0; i < n; ++i) {
        const double t = taps_[std::size_t(i)] - taps_.front();
        sumI += i;
        sumT += t;
        sumII += double(i) * i;
        sumIT += i * t;
    }
    const double period = (n * sumIT - sumI * sumT) / (n * sumII - sumI * sumI);
    if (!(period > 0)) return std::nullopt;
    const double intercept = (sumT - period * sumI) / n;
    return Result{60.0 / period, taps_.front() + intercept, period};
}

} // namespace velkaro
