#include "playback/ShowMailbox.h"

#include <algorithm>
#include <cstring>

namespace velkaro {

ShowMailbox::ShowMailbox() {
    for (ShowCopy& copy : copies_) copy.Cells = NewGrid();
}

void ShowMailbox::Publish(const Grid& cells, int rows, const ShowSettings& settings,
                          bool monoMode) {
    ShowCopy& copy = copies_[back_];
    copy.Rows = std::clamp(rows, 0, GridRows);
    // Only the rows play can reach: a short show costs a short copy.
    std::memcpy(copy.Cells->cells.data(), cells.cells.data(),
                static_cast<std::size_t>(copy.Rows) * RowBytes);
    copy.Settings = settings;
    copy.MonoMode = monoMode;
    copy.Version = ++published_;
    back_ = middle_.exchange(back_ | Fresh, std::memory_order_acq_rel) & IndexMask;
}

bool ShowMailbox::PickUp() {
    if ((middle_.load(std::memory_order_relaxed) & Fresh) == 0) return false;
    front_ = middle_.exchange(front_, std::memory_order_acq_rel) & IndexMask;
    return true;
}

} // namespace velkaro
