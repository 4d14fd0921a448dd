#include "files/ReplacingFile.h"

#include "files/FileErrors.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velkaro {

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int ErrorForPath(int errorNumber, const std::string& path) {
    if (errorNumber != ENOENT) return errorNumber;
    struct stat folder {};
    const bool folderExists =
        ::stat(FolderOf(path).c_str(), &folder) == 0 && S_ISDIR(folder.st_mode);
    return folderExists ? ENOENT : ENOTDIR;
}

void WriteFully(FileSystem& files, int fd, const std::uint8_t* bytes, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t put = files.Write(fd, bytes + done, count - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            ThrowFileError(errno);
        }
        if (put == 0) throw ShowError(DiskFullMessage);
        done += static_cast<std::size_t>(put);
    }
}

std::string SaveTarget(const std::string& path) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return path; // a dangling link: the save creates its file
    std::string target(resolved);
    std::free(resolved);
    return target;
}

std::optional<mode_t> CheckSaveTarget(const std::string& target) {
    if (NameOf(target).empty()) ThrowFileError(EISDIR);
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0) return std::nullopt; // a new file
    if (S_ISDIR(info.st_mode)) ThrowFileError(EISDIR);
    if (::access(target.c_str(), W_OK) != 0) ThrowFileError(errno);
    return info.st_mode & 07777;
}

TempFile::TempFile(FileSystem& files, const std::string& target) : files_(files), fd_(files, -1) {
    // Keep the name short enough for the folder, whatever the target's name is.
    const std::string folder = FolderOf(target);
    const std::string name = NameOf(target).substr(0, 200);
    for (int attempt = 0; attempt < 100; ++attempt) {
        path_ = folder + "/." + name + "." + std::to_string(::getpid()) + "-" +
                std::to_string(attempt) + ".tmp";
        const int fd = files.Open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_.Adopt(fd);
            return;
        }
        if (errno != EEXIST) ThrowFileError(ErrorForPath(errno, target));
    }
    ThrowFileError(EEXIST);
}

TempFile::~TempFile() {
    if (committed_) return;
    if (fd_.Get() >= 0) fd_.Close();
    files_.Unlink(path_.c_str());
}

void TempFile::Commit(const std::string& target) {
    if (files_.Fsync(fd_.Get()) != 0) ThrowFileError(errno);
    if (fd_.Close() != 0) ThrowFileError(errno);
    if (files_.Rename(path_.c_str(), target.c_str()) != 0)
        ThrowFileError(ErrorForPath(errno, target));
    committed_ = true;
}

} // namespace velkaro
