#pragma once

#include "model/Grid.h"
#include "model/ShowSettings.h"

#include <array>
#include <memory>

namespace velkaro {

// Ten snapshots of the whole show, used as a ring without any notion of newer or older:
// Undo and Redo simply walk the position around it.
class UndoRing {
public:
    static constexpr int SlotCount = 10;

    UndoRing();

    int UndoPos() const { return undoPos_; }
    void SetUndoPos(int pos) { undoPos_ = ((pos % SlotCount) + SlotCount) % SlotCount; }

    // Advances the position and stores the show in that slot. Only the rows below the show's
    // mark of used rows are copied; a slot that held a longer show has its rows past it blanked.
    void Push(const Grid& cells, const ShowSettings& settings);

    // The snapshot at the current position.
    const Grid& SlotGrid() const { return *slots_[static_cast<std::size_t>(undoPos_)].grid; }
    const ShowSettings& SlotSettings() const {
        return slots_[static_cast<std::size_t>(undoPos_)].settings;
    }

    void StepBack() { undoPos_ = (undoPos_ + SlotCount - 1) % SlotCount; }
    void StepForward() { undoPos_ = (undoPos_ + 1) % SlotCount; }

private:
    struct Slot {
        std::unique_ptr<Grid> grid;
        ShowSettings settings;
    };
    std::array<Slot, SlotCount> slots_;
    int undoPos_ = 0;
};

} // namespace velkaro
