#pragma once

#include "model/ChannelLayout.h"
#include "model/Color.h"
#include "model/ShowSettings.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace velkaro {

// The DMX show file has no header: record k is step k, 512 bytes, numbers little-endian.
// Players read these offsets directly, so they never change.
namespace ShowRecord {

constexpr std::size_t Size = 512;

constexpr std::size_t HoldTimeOffset = 0; // unsigned 16-bit, tenths of a second held
constexpr std::size_t FadeTimeOffset = 2; // unsigned 16-bit, tenths of a second of cross-fade
constexpr std::size_t StepFlagsOffset = 4;
constexpr std::size_t ReservedOffset = 5; // 3 bytes, written as 0, never read
constexpr std::size_t ReservedSize = 3;
constexpr std::size_t ChannelDataOffset = 8; // DMX channel n is byte 7 + n
constexpr std::size_t ChannelDataSize = 504;

constexpr std::uint8_t FirstStepFlag = 16;
constexpr std::uint8_t LastStepFlag = 32;

// Every record carries all 168 outputs, whatever the show uses, in the layout of a step.
constexpr int Outputs = ChannelLayout::Outputs;
constexpr int ChannelsPerOutput = ChannelLayout::ChannelsPerOutput;

constexpr std::size_t RedByte(int output) {
    return ChannelDataOffset + ChannelLayout::RedChannel(output);
}
constexpr std::size_t MonoByte(int output) {
    return ChannelDataOffset + ChannelLayout::MonoChannel(output);
}

static_assert(RedByte(Outputs - 1) + 2 == Size - 1, "output 168 ends the record");
static_assert(ChannelDataOffset + ChannelDataSize == Size);
static_assert(ChannelDataSize == ChannelLayout::StepChannels);

// The flags of record `row` in a show of `steps` records; a one-record show is its own last.
constexpr std::uint8_t StepFlagsFor(int row, int steps) {
    std::uint8_t flags = row == 0 ? FirstStepFlag : 0;
    if (row == steps - 1) flags = LastStepFlag;
    return flags;
}

struct StepTimes {
    int HoldTime;
    int FadeTime;
};

// The times written into every record for the show's mode and step length. Half fade, half
// hold drops the odd tenth, so a length of 25 is stored as 12 + 12.
constexpr StepTimes TimesFor(int blendMode, int stepLength) {
    switch (blendMode) {
    case HoldMode:
        return {stepLength, 0};
    case HalfFadeHalfHoldMode:
        return {stepLength / 2, stepLength / 2};
    default:
        return {0, stepLength};
    }
}

struct StepTiming {
    int BlendMode;
    int StepLength;
};

// The mode and step length a load takes from its first record. A record without either time
// gives the start length of 10. Lengths beyond the longest step (also sums of 32768 and more,
// which some writers produce) are held at 3000, as the step length control would.
constexpr StepTiming TimingFor(int holdTime, int fadeTime) {
    int mode = FadeMode;
    int length = 10;
    if (holdTime > 0 && fadeTime > 0) {
        mode = HalfFadeHalfHoldMode;
        length = holdTime + fadeTime;
    } else if (holdTime > 0) {
        mode = HoldMode;
        length = holdTime;
    } else if (fadeTime > 0) {
        length = fadeTime;
    }
    return {mode, std::clamp(length, MinStepLength, MaxStepLength)};
}

inline int ReadU16(const std::uint8_t* record, std::size_t offset) {
    return record[offset] | (record[offset + 1] << 8);
}

inline void WriteU16(std::uint8_t* record, std::size_t offset, int value) {
    record[offset] = static_cast<std::uint8_t>(value & 255);
    record[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 255);
}

} // namespace ShowRecord

} // namespace velkaro
