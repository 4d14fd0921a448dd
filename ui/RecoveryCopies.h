#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velkaro {

class SettingsControls;
struct ShowState;

// Nothing made is lost when the window closes: a show that differs from what was last loaded
// or saved is written as a recovery copy into the state folder first.
class RecoveryCopies {
public:
    RecoveryCopies(const ShowState& show, const SettingsControls& settings);

    // The show as it is now counts as saved: at start, after loading and after saving.
    void MarkSaved();
    bool HasUnsavedChanges() const;
    // Writes the copy when there are unsaved changes not kept before; the path written, if
    // any. Never throws.
    std::optional<std::string> KeepUnsavedChanges();

private:
    std::uint64_t Fingerprint() const;

    const ShowState& show_;
    const SettingsControls& settings_;
    std::uint64_t savedFingerprint_ = 0;
    std::uint64_t keptFingerprint_ = 0; // of the show last written as a recovery copy
};

} // namespace velkaro
