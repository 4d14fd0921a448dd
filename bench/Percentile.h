#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace velkaro::bench {

// The value below which the fraction p (0..1) of the samples lie; p = 1 gives the largest.
// `empty` when there are no samples.
inline double Percentile(std::vector<double> values, double p, double empty = 0) {
    if (values.empty()) return empty;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(p * double(values.size())))];
}

} // namespace velkaro::bench
