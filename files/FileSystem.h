#pragma once

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

namespace velkaro {

// What a file holds as far as a show file load cares.
struct FileFacts {
    std::int64_t Size = 0;
    bool IsDirectory = false;
};

// The few POSIX calls the show file layer makes, gathered in one place so that a test can make
// any one of them fail (EACCES, ENOSPC, EMFILE, a short read or write part-way...) the way a
// disk or a permission check would. Each call behaves like its POSIX namesake: on failure it
// returns -1 and leaves the reason in errno. The base class goes straight to the system; a test
// derives from it and overrides only the call it wants to fail.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    virtual int Open(const char* path, int flags, unsigned mode);
    virtual ssize_t Read(int fd, void* buffer, std::size_t count);
    virtual ssize_t Write(int fd, const void* buffer, std::size_t count);
    // Reads at an offset without moving the file position.
    virtual ssize_t ReadAt(int fd, void* buffer, std::size_t count, std::int64_t offset);
    // Moves the file position to an offset from the start; returns it, or -1.
    virtual std::int64_t Seek(int fd, std::int64_t offset);
    virtual int Inspect(int fd, FileFacts& facts);
    virtual int Fchmod(int fd, unsigned mode);
    virtual int Fsync(int fd);
    virtual int Close(int fd);
    virtual int Rename(const char* from, const char* to);
    virtual int Unlink(const char* path);
};

// The file system the program uses: the real one.
FileSystem& DefaultFileSystem();

} // namespace velkaro
