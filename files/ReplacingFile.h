#pragma once

#include "files/FileSystem.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>

namespace velkaro {

std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

// POSIX says ENOENT both for a missing file and for a missing folder on its path; the user is
// told which of the two it was.
int ErrorForPath(int errorNumber, const std::string& path);

// Closes a descriptor that is still open when a failure unwinds past it.
class Descriptor {
public:
    Descriptor(FileSystem& files, int fd) : files_(files), fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) files_.Close(fd_);
    }

    int Get() const { return fd_; }
    void Adopt(int fd) { fd_ = fd; }

    // The descriptor is gone afterwards whatever close says, as POSIX has it.
    int Close() {
        const int fd = fd_;
        fd_ = -1;
        return files_.Close(fd);
    }

private:
    FileSystem& files_;
    int fd_;
};

// Writes every byte or throws the ShowError of the failure.
void WriteFully(FileSystem& files, int fd, const std::uint8_t* bytes, std::size_t count);

// The file a save replaces: the file a symbolic link points to, so the link survives.
std::string SaveTarget(const std::string& path);

// Refuses a target the save could not replace anyway, before a temporary file is written, and
// tells the permissions of the file it replaces, if there is one.
std::optional<mode_t> CheckSaveTarget(const std::string& target);

// A save writes into a file beside the target, so the rename that replaces the target stays on
// one file system. Unless Commit has run, the file is removed again.
class TempFile {
public:
    TempFile(FileSystem& files, const std::string& target);
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile();

    int Fd() const { return fd_.Get(); }

    // Syncs, closes and renames the file over the target.
    void Commit(const std::string& target);

private:
    FileSystem& files_;
    Descriptor fd_;
    std::string path_;
    bool committed_ = false;
};

} // namespace velkaro
