#pragma once

#include "model/Grid.h"
#include "model/ShowSettings.h"

#include <chrono>
#include <memory>
#include <string>

namespace velkaro {

// A DMX show file as a player takes it: every record a step, the blend mode and step length
// from the first record, all 168 outputs as stored.
struct StoredShow {
    std::unique_ptr<Grid> Cells;
    ShowSettings Settings;
    // One tick at 100 % speed: a tenth, or a share of a step locked to the tempo the show's
    // project file keeps.
    std::chrono::nanoseconds Tick = std::chrono::milliseconds(100);
};

// Reads the show file at path. The records are kept as colour steps: the channels come back
// byte for byte whatever layout the show was saved in, and blend channel by channel as in the
// editor. Throws ShowError with a German message naming the file; a file without one whole
// record counts as damaged. A damaged project file beside it only costs the tempo: whoever
// plays the song tells of it.
StoredShow LoadStoredShow(const std::string& path);

// The German message for a show file that cannot be played.
std::string ShowReadFailure(const std::string& path, const std::string& fault);

} // namespace velkaro
