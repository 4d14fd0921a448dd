#include "files/FileErrors.h"

#include <cerrno>
#include <cstdio>

namespace velkaro {

namespace {

struct ErrnoMessage {
    int errorNumber;
    const char* message;
};

constexpr ErrnoMessage ErrnoMessages[] = {
    {ENOENT, "Datei nicht gefunden"},
    {ENOTDIR, "Ungültiger Dateiname"},
    {ENAMETOOLONG, "Ungültiger Dateiname"},
    {EINVAL, "Ungültiger Dateiname"},
    {EISDIR, "Ungültiger Dateiname"},
    {ELOOP, "Ungültiger Dateiname"},
    {EMFILE, "Zu viele geöffnete Dateien"},
    {ENFILE, "Zu viele geöffnete Dateien"},
    {EACCES, "Dateizugriff verweigert"},
    {EPERM, "Dateizugriff verweigert"},
    {EROFS, "Dateizugriff verweigert"},
    {ETXTBSY, "Dateizugriff verweigert"},
    {ENOSPC, DiskFullMessage},
    {EDQUOT, DiskFullMessage},
    {EFBIG, DiskFullMessage},
};

} // namespace

std::string FileErrorMessage(int errorNumber) {
    for (const auto& entry : ErrnoMessages)
        if (entry.errorNumber == errorNumber) return entry.message;
    char text[32];
    std::snprintf(text, sizeof text, "E/A-Fehler %d", errorNumber);
    return text;
}

void ThrowFileError(int errorNumber) {
    throw ShowError(FileErrorMessage(errorNumber));
}

} // namespace velkaro
