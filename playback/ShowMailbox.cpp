#include "playback/ShowMailbox.h"

#include <algorithm>

namespace velkaro {

ShowMailbox::ShowMailbox() {
    for (ShowCopy& copy : copies_) copy.Cells = NewGrid();
}

int ShowMailbox::Publish(const Grid& cells, int rows, const ShowSettings& settings, bool monoMode) {
    ShowCopy& copy = copies_[back_];
    rows = std::clamp(rows, 0, GridRows);
    // Only the rows play can reach, and of those only the ones written since this copy was
    // filled, which may be a publish or two ago: an edit of one row costs one row's copy.
    int copied = 0;
    int current = 0; // rows of the copy that match the grid as it was at SourceWrites
    if (copy.SourceIdentity == cells.Identity()) {
        current = std::min(copy.Rows, rows);
        copied = CopyGridRowsWrittenSince(*copy.Cells, cells, current, copy.SourceWrites);
    }
    CopyGridRows(*copy.Cells, current, cells, current, rows - current);
    copied += rows - current;
    copy.Rows = rows;
    copy.SourceIdentity = cells.Identity();
    copy.SourceWrites = cells.Writes();
    copy.Settings = settings;
    copy.MonoMode = monoMode;
    copy.Version = ++published_;
    back_ = middle_.exchange(back_ | Fresh, std::memory_order_acq_rel) & IndexMask;
    return copied;
}

bool ShowMailbox::PickUp() {
    if ((middle_.load(std::memory_order_relaxed) & Fresh) == 0) return false;
    front_ = middle_.exchange(front_, std::memory_order_acq_rel) & IndexMask;
    return true;
}

} // namespace velkaro
