#include "files/RecordEncoder.h"

#include <algorithm>
#include <cstring>

namespace velkaro {

namespace {

void FillColourChannels(const TColor* row, std::uint8_t* record) {
    for (int g = 0; g < ShowRecord::Outputs; ++g) {
        std::uint8_t* rgb = record + ShowRecord::RedByte(g);
        rgb[0] = static_cast<std::uint8_t>(RedOf(row[g]));
        rgb[1] = static_cast<std::uint8_t>(GreenOf(row[g]));
        rgb[2] = static_cast<std::uint8_t>(BlueOf(row[g]));
    }
}

// The bytes after output 168 stay 0.
void FillMonoChannels(const TColor* row, std::uint8_t* record) {
    for (int g = 0; g < ShowRecord::Outputs; ++g)
        record[ShowRecord::MonoByte(g)] = static_cast<std::uint8_t>(RedOf(row[g]));
    const std::size_t unused = ShowRecord::MonoByte(ShowRecord::Outputs);
    std::memset(record + unused, 0, ShowRecord::Size - unused);
}

} // namespace

RecordEncoder::RecordEncoder(const ShowSettings& settings, bool monoMode)
    : records_(std::clamp(settings.Steps, 0, MaxSteps)), monoMode_(monoMode),
      times_(ShowRecord::TimesFor(settings.BlendMode, settings.StepLength)) {}

void RecordEncoder::Encode(const Grid& cells, int row, std::uint8_t* record) const {
    ShowRecord::WriteU16(record, ShowRecord::HoldTimeOffset, times_.HoldTime);
    ShowRecord::WriteU16(record, ShowRecord::FadeTimeOffset, times_.FadeTime);
    record[ShowRecord::StepFlagsOffset] = ShowRecord::StepFlagsFor(row, records_);
    std::memset(record + ShowRecord::ReservedOffset, 0, ShowRecord::ReservedSize);
    if (monoMode_)
        FillMonoChannels(cells[row], record);
    else
        FillColourChannels(cells[row], record);
}

} // namespace velkaro
