#pragma once

#include "model/Grid.h"
#include "model/ShowSettings.h"

#include <cstdint>

namespace velkaro {

// A 64-bit hash of exactly the bytes SaveShow would write for this show: two shows with one
// fingerprint would almost surely give the same file. The window keeps the fingerprint of the
// last save or load and compares it at close, to tell whether the show has changes that were
// never saved, without every command having to report that it changed something.
//
// Whatever a save does not write does not count: the Outputs setting, cells at or beyond row
// Steps, the spare column 168, and in single-colour mode the green and blue of a cell.
std::uint64_t ShowFingerprint(const Grid& cells, const ShowSettings& settings, bool monoMode);

} // namespace velkaro
