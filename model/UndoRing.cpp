#include "model/UndoRing.h"

namespace velkaro {

UndoRing::UndoRing() {
    for (auto& slot : slots_) slot.grid = NewGrid();
}

void UndoRing::Push(const Grid& cells, const ShowSettings& settings) {
    StepForward();
    auto& slot = slots_[static_cast<std::size_t>(undoPos_)];
    CopyGrid(*slot.grid, cells);
    slot.settings = settings;
}

} // namespace velkaro
