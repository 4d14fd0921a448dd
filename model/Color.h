#pragma once

#include <cstdint>

namespace velkaro {

// A colour laid out 0x00BBGGRR: red in bits 0-7, green 8-15, blue 16-23, top byte 0.
using TColor = std::uint32_t;

constexpr TColor GreyUnit = 65793; // 0x010101: one level in each of the three channels

constexpr TColor Black = 0;
constexpr TColor White = 0xFFFFFF;

constexpr int RedOf(TColor c) {
    return static_cast<int>(c & 255u);
}
constexpr int GreenOf(TColor c) {
    return static_cast<int>((c >> 8) & 255u);
}
constexpr int BlueOf(TColor c) {
    return static_cast<int>((c >> 16) & 255u);
}

constexpr TColor RGB(int r, int g, int b) {
    return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}

// Single-colour outputs take the red byte as their brightness.
constexpr TColor MonoGrey(TColor c) {
    return (c & 255u) * GreyUnit;
}

// The colour a fraction t (0..1) of the way from a to b, each channel rounded to the
// nearest integer with halves going to the even one. The products are formed in
// extended precision so that results match the shows players were tuned against.
TColor BlendColor(TColor a, TColor b, double t);

// One channel of BlendColor: the value a fraction t of the way from `from` to `to`.
int BlendChannelValue(int from, int to, double t);

} // namespace velkaro
