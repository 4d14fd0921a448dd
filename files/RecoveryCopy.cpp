#include "files/RecoveryCopy.h"

#include "files/ShowFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <tuple>
#include <vector>

namespace velkaro {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view CopyPrefix = "velkaro-";
// 'D' stands for a digit: the date and time after the prefix.
constexpr std::string_view StampShape = "DDDD-DD-DD-DDDDDD";
constexpr std::string_view CopyExtension = ".dmx";
constexpr int MostCopiesPerSecond = 1000;

bool IsAbsolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

std::string Joined(std::string folder, const std::string& name) {
    while (!folder.empty() && folder.back() == '/') folder.pop_back();
    return folder + "/" + name;
}

bool IsFolder(const char* path) {
    struct stat info {};
    return ::stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

// Creates the folder and every missing parent for the owner alone, as state folders should be;
// folders that exist keep their permissions (some file systems refuse mkdir on them with other
// reasons than EEXIST).
bool MakeFolders(const std::string& folder) {
    fs::path partial;
    for (const fs::path& part : fs::path(folder)) {
        partial /= part;
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST && !IsFolder(partial.c_str()))
            return false;
    }
    return IsFolder(folder.c_str());
}

std::optional<std::string> NameStamp(std::time_t now) {
    std::tm local{};
    if (::localtime_r(&now, &local) == nullptr) return std::nullopt;
    char text[64];
    if (std::strftime(text, sizeof text, "%Y-%m-%d-%H%M%S", &local) == 0) return std::nullopt;
    return std::string(CopyPrefix) + text;
}

std::string CopyName(const std::string& stamp, int number) {
    // Appended piece by piece: GCC 12 at -O3 reports a false -Wrestrict for "-" + a temporary.
    std::string name = stamp;
    if (number > 1) name.append("-").append(std::to_string(number));
    return name.append(CopyExtension);
}

// The first name of this second that nothing in the folder has taken yet.
std::optional<std::string> FreeName(const std::string& folder, const std::string& stamp) {
    for (int number = 1; number <= MostCopiesPerSecond; ++number) {
        const std::string name = CopyName(stamp, number);
        struct stat info {};
        if (::lstat(Joined(folder, name).c_str(), &info) == 0) continue;
        if (errno != ENOENT) return std::nullopt;
        return name;
    }
    return std::nullopt;
}

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](unsigned char c) { return std::isdigit(c) != 0; });
}

struct RecoveryCopyName {
    std::string Stamp;
    int Number = 1; // the n of a "-n" added because the second's name was taken
    std::string Name;

    // Older first: by the time in the name, then by the number added within one second.
    bool operator<(const RecoveryCopyName& other) const {
        return std::tie(Stamp, Number) < std::tie(other.Stamp, other.Number);
    }
};

// Recognises the names WriteRecoveryCopy gives, and nothing else.
std::optional<RecoveryCopyName> ParseCopyName(const std::string& name) {
    const std::string_view text(name);
    const std::size_t stampEnd = CopyPrefix.size() + StampShape.size();
    if (!text.starts_with(CopyPrefix) || !text.ends_with(CopyExtension) ||
        text.size() < stampEnd + CopyExtension.size())
        return std::nullopt;
    for (std::size_t i = 0; i < StampShape.size(); ++i) {
        const char c = text[CopyPrefix.size() + i];
        const bool fits = StampShape[i] == 'D' ? std::isdigit(static_cast<unsigned char>(c)) != 0
                                               : c == StampShape[i];
        if (!fits) return std::nullopt;
    }
    RecoveryCopyName copy{name.substr(0, stampEnd), 1, name};
    const std::string_view added =
        text.substr(stampEnd, text.size() - stampEnd - CopyExtension.size());
    if (added.empty()) return copy;
    const std::string_view number = added.substr(1);
    if (added[0] != '-' || !AllDigits(number) || number.size() > 6 || number[0] == '0')
        return std::nullopt;
    copy.Number = std::stoi(std::string(number));
    return copy;
}

// Leaves the newest copies beside the one just written. The one just written always stays, even
// when a clock set back makes its name look older than the rest.
void RemoveOldCopies(const std::string& folder, const std::string& written) {
    std::vector<RecoveryCopyName> others;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        const auto copy = ParseCopyName(name);
        std::error_code unknownKind;
        if (!copy || name == written || !fs::is_regular_file(entry->symlink_status(unknownKind)))
            continue;
        others.push_back(*copy);
    }
    if (int(others.size()) < KeptRecoveryCopies) return;
    std::sort(others.begin(), others.end());
    const std::size_t surplus = others.size() - (KeptRecoveryCopies - 1);
    for (std::size_t i = 0; i < surplus; ++i) {
        std::error_code ignored;
        fs::remove(Joined(folder, others[i].Name), ignored);
    }
}

} // namespace

std::string RecoveryFolder(const char* xdgStateHome, const char* home) {
    if (IsAbsolute(xdgStateHome)) return Joined(xdgStateHome, "velkaro");
    if (IsAbsolute(home)) return Joined(home, ".local/state/velkaro");
    return {};
}

std::optional<std::string> WriteRecoveryCopy(const std::string& folder, const Grid& cells,
                                             const ShowSettings& settings, bool monoMode,
                                             std::time_t now) noexcept {
    try {
        if (folder.empty() || !MakeFolders(folder)) return std::nullopt;
        const auto stamp = NameStamp(now);
        if (!stamp) return std::nullopt;
        const auto name = FreeName(folder, *stamp);
        if (!name) return std::nullopt;
        const std::string path = Joined(folder, *name);
        SaveShow(path, cells, settings, monoMode);
        // The copy is safe now; a copy that cannot be removed only stays longer.
        RemoveOldCopies(folder, *name);
        return path;
    } catch (...) {
        return std::nullopt;
    }
}

} // namespace velkaro
