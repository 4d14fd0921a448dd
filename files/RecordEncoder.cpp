#include "files/RecordEncoder.h"

#include <algorithm>
#include <cstring>

namespace velkaro {

RecordEncoder::RecordEncoder(const ShowSettings& settings, bool monoMode)
    : records_(std::clamp(settings.Steps, 0, MaxSteps)), monoMode_(monoMode),
      times_(ShowRecord::TimesFor(settings.BlendMode, settings.StepLength)) {}

void RecordEncoder::Encode(const Grid& cells, int row, std::uint8_t* record) const {
    ShowRecord::WriteU16(record, ShowRecord::HoldTimeOffset, times_.HoldTime);
    ShowRecord::WriteU16(record, ShowRecord::FadeTimeOffset, times_.FadeTime);
    record[ShowRecord::StepFlagsOffset] = ShowRecord::StepFlagsFor(row, records_);
    std::memset(record + ShowRecord::ReservedOffset, 0, ShowRecord::ReservedSize);
    ChannelLayout::WriteStepChannels(cells[row], ShowRecord::Outputs, monoMode_,
                                     record + ShowRecord::ChannelDataOffset);
}

} // namespace velkaro
