#pragma once

#include "model/Grid.h"
#include "model/ShowSettings.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

namespace velkaro {

// One published state of the show, as the engine renders it.
struct ShowCopy {
    std::unique_ptr<Grid> Cells;
    ShowSettings Settings;
    bool MonoMode = false;
    int Rows = 0;              // rows [0, Rows) are the show's; the rest is older or black
    std::uint64_t Version = 0; // counts the publishes; 0 is the empty show at the start
    // The owner's: the grid these rows came from and its count of writes then.
    std::uint64_t SourceIdentity = 0;
    std::uint64_t SourceWrites = 0;
};

// Hands the show from the window to the engine's thread without a lock (a triple buffer): the
// owner fills the copy nobody reads and swaps it in as the newest; the engine swaps the newest
// out for the one it rendered from. Neither ever waits for the other, and the engine always
// renders from a whole publish. The three grids are allocated once, here.
class ShowMailbox {
public:
    ShowMailbox();
    ShowMailbox(const ShowMailbox&) = delete;
    ShowMailbox& operator=(const ShowMailbox&) = delete;

    // Owner's thread. Brings rows [0, rows) of `cells` (clamped to the grid) and the settings
    // into the copy nobody reads: only the rows written since that copy was last filled from
    // the same grid. Returns the number of rows copied.
    int Publish(const Grid& cells, int rows, const ShowSettings& settings, bool monoMode);

    // Engine's thread. Takes the newest publish if one came since the last call.
    bool PickUp();
    const ShowCopy& Current() const { return copies_[front_]; }

private:
    static constexpr unsigned IndexMask = 3u;
    static constexpr unsigned Fresh = 4u; // the middle copy was not picked up yet

    std::array<ShowCopy, 3> copies_;
    unsigned back_ = 0;  // the owner's
    unsigned front_ = 1; // the engine's
    std::atomic<unsigned> middle_{2};
    std::uint64_t published_ = 0; // the owner's count
};

} // namespace velkaro
