#pragma once

#include "files/ShowRecord.h"
#include "model/Grid.h"
#include "model/ShowSettings.h"

#include <cstdint>

namespace velkaro {

// Turns rows of the grid into the records a save writes. A save and the show's fingerprint both
// go through it, so "what a save would write" has one definition.
class RecordEncoder {
public:
    RecordEncoder(const ShowSettings& settings, bool monoMode);

    // How many records a save writes: Steps, held within 0..10000.
    int Records() const { return records_; }

    // Writes all 512 bytes of record `row` (0 <= row < Records()) from that row of cells.
    void Encode(const Grid& cells, int row, std::uint8_t* record) const;

private:
    int records_;
    bool monoMode_;
    ShowRecord::StepTimes times_;
};

} // namespace velkaro
