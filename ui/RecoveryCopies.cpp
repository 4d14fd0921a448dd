#include "ui/RecoveryCopies.h"

#include "files/RecoveryCopy.h"
#include "files/ShowFingerprint.h"
#include "ui/SettingsControls.h"
#include "ui/ShowState.h"

#include <cstdlib>
#include <ctime>

namespace velkaro {

RecoveryCopies::RecoveryCopies(const ShowState& show, const SettingsControls& settings)
    : show_(show), settings_(settings) {}

std::uint64_t RecoveryCopies::Fingerprint() const {
    return ShowFingerprint(show_.Cells, settings_.Values(), settings_.MonoMode());
}

void RecoveryCopies::MarkSaved() {
    savedFingerprint_ = Fingerprint();
}

bool RecoveryCopies::HasUnsavedChanges() const {
    return Fingerprint() != savedFingerprint_;
}

std::optional<std::string> RecoveryCopies::KeepUnsavedChanges() {
    const std::uint64_t fingerprint = Fingerprint();
    // The session's end keeps the work first, the program's end after it: one copy of it.
    if (fingerprint == savedFingerprint_ || fingerprint == keptFingerprint_) return std::nullopt;
    const std::string folder = RecoveryFolder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
    if (folder.empty()) return std::nullopt;
    keptFingerprint_ = fingerprint;
    return WriteRecoveryCopy(folder, show_.Cells, settings_.Values(), settings_.MonoMode(),
                             std::time(nullptr));
}

} // namespace velkaro
