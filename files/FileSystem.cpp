#include "files/FileSystem.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velkaro {

int FileSystem::Open(const char* path, int flags, unsigned mode) {
    return ::open(path, flags, static_cast<mode_t>(mode));
}

ssize_t FileSystem::Read(int fd, void* buffer, std::size_t count) {
    return ::read(fd, buffer, count);
}

ssize_t FileSystem::Write(int fd, const void* buffer, std::size_t count) {
    return ::write(fd, buffer, count);
}

ssize_t FileSystem::ReadAt(int fd, void* buffer, std::size_t count, std::int64_t offset) {
    return ::pread(fd, buffer, count, static_cast<off_t>(offset));
}

std::int64_t FileSystem::Seek(int fd, std::int64_t offset) {
    return ::lseek(fd, static_cast<off_t>(offset), SEEK_SET);
}

int FileSystem::Inspect(int fd, FileFacts& facts) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) return -1;
    facts.Size = info.st_size;
    facts.IsDirectory = S_ISDIR(info.st_mode);
    return 0;
}

int FileSystem::Fchmod(int fd, unsigned mode) {
    return ::fchmod(fd, static_cast<mode_t>(mode));
}

int FileSystem::Fsync(int fd) {
    return ::fsync(fd);
}

int FileSystem::Close(int fd) {
    return ::close(fd);
}

int FileSystem::Rename(const char* from, const char* to) {
    return std::rename(from, to);
}

int FileSystem::Unlink(const char* path) {
    return ::unlink(path);
}

FileSystem& DefaultFileSystem() {
    static FileSystem system;
    return system;
}

} // namespace velkaro
