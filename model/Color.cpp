#include "model/Color.h"

#include <cmath>

namespace velkaro {

namespace {

long double BlendChannel(int from, int to, double u, double t) {
    return static_cast<long double>(from) * static_cast<long double>(u) +
           static_cast<long double>(to) * static_cast<long double>(t);
}

TColor RoundChannel(long double x) {
    // nearbyint follows the current rounding mode, which the program never changes from
    // round-half-to-even.
    return static_cast<TColor>(static_cast<long long>(std::nearbyint(x)));
}

} // namespace

int BlendChannelValue(int from, int to, double t) {
    const double u = static_cast<double>(1.0L - static_cast<long double>(t));
    return static_cast<int>(RoundChannel(BlendChannel(from, to, u, t)));
}

TColor BlendColor(TColor a, TColor b, double t) {
    const double u = static_cast<double>(1.0L - static_cast<long double>(t));
    const TColor r = RoundChannel(BlendChannel(RedOf(a), RedOf(b), u, t));
    const TColor g = RoundChannel(BlendChannel(GreenOf(a), GreenOf(b), u, t));
    const TColor bl = RoundChannel(BlendChannel(BlueOf(a), BlueOf(b), u, t));
    return r + g * 256u + bl * 65536u;
}

} // namespace velkaro
