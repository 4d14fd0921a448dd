#include "files/Bitmap.h"
#include "files/FileErrors.h"
#include "model/ShowError.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace velkaro {

namespace {

constexpr std::uint32_t FileHeaderBytes = 14;
constexpr std::uint32_t InfoHeaderBytes = 40;
constexpr std::uint32_t PixelOffset = FileHeaderBytes + InfoHeaderBytes;
constexpr int PixelsPerMeter = 3780; // 96 dots per inch

void Put16(unsigned char* at, std::uint32_t value) {
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}
void Put32(unsigned char* at, std::uint32_t value) {
    Put16(at, value & 0xFFFFu);
    Put16(at + 2, value >> 16);
}

// File header and a plain 40-byte info header: 32 bits per pixel, uncompressed, rows stored
// bottom-up as a positive height says.
std::array<unsigned char, PixelOffset> Headers(const BitmapPicture& picture) {
    const std::uint32_t imageBytes =
        static_cast<std::uint32_t>(picture.Width) * static_cast<std::uint32_t>(picture.Height) * 4;
    std::array<unsigned char, PixelOffset> headers{};
    unsigned char* file = headers.data();
    file[0] = 'B';
    file[1] = 'M';
    Put32(file + 2, PixelOffset + imageBytes);
    Put32(file + 10, PixelOffset);
    unsigned char* info = file + FileHeaderBytes;
    Put32(info, InfoHeaderBytes);
    Put32(info + 4, static_cast<std::uint32_t>(picture.Width));
    Put32(info + 8, static_cast<std::uint32_t>(picture.Height));
    Put16(info + 12, 1);  // planes
    Put16(info + 14, 32); // bits per pixel
    Put32(info + 16, 0);  // uncompressed
    Put32(info + 20, imageBytes);
    Put32(info + 24, PixelsPerMeter);
    Put32(info + 28, PixelsPerMeter);
    return headers;
}

// A stored pixel is blue, green, red and an unused fourth byte.
void PutPixel(unsigned char* at, TColor color) {
    at[0] = static_cast<unsigned char>(BlueOf(color));
    at[1] = static_cast<unsigned char>(GreenOf(color));
    at[2] = static_cast<unsigned char>(RedOf(color));
    at[3] = 0;
}

[[noreturn]] void ThrowCreateError(const std::string& path, int errorNumber) {
    // Creating a file fails with ENOENT only when its folder is missing: a bad path, not a
    // missing file.
    const int reported = errorNumber == ENOENT ? ENOTDIR : errorNumber;
    throw ShowError("Datei \"" + path + "\" kann nicht erstellt werden. " +
                    FileErrorMessage(reported));
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// An existing target must be one we could overwrite in place; writing beside it and renaming
// would otherwise replace a file its owner protected.
void CheckTargetWritable(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return;
    }
    if (errno != ENOENT) ThrowCreateError(path, errno);
}

// The temporary file beside the target; it is removed again unless Commit renamed it.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& target) : target_(target) {
        struct stat existing {};
        const bool targetExists = ::stat(target.c_str(), &existing) == 0;
        for (int attempt = 0; fd_ < 0; ++attempt) {
            name_ = FolderOf(target) + "/.velkaro-" + std::to_string(::getpid()) + "-" +
                    std::to_string(attempt) + ".bmp.tmp";
            fd_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ < 0 && (errno != EEXIST || attempt > 100)) ThrowCreateError(target, errno);
        }
        if (targetExists) ::fchmod(fd_, existing.st_mode & 07777);
    }
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!committed_) ::unlink(name_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    void Write(const unsigned char* bytes, std::size_t count) {
        while (count > 0) {
            const ssize_t written = ::write(fd_, bytes, count);
            if (written < 0 && errno == EINTR) continue;
            if (written < 0) ThrowFileError(errno);
            if (written == 0) throw ShowError(DiskFullMessage);
            bytes += written;
            count -= static_cast<std::size_t>(written);
        }
    }

    void Commit() {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) ThrowFileError(errno);
        if (std::rename(name_.c_str(), target_.c_str()) != 0) ThrowCreateError(target_, errno);
        committed_ = true;
    }

private:
    std::string target_;
    std::string name_;
    int fd_ = -1;
    bool committed_ = false;
};

// Rows go out bottom-up, gathered into blocks so the file is written in few calls.
void WritePixels(const BitmapPicture& picture, TemporaryFile& file) {
    std::array<unsigned char, 64 * 1024> block;
    std::size_t used = 0;
    for (int y = picture.Height - 1; y >= 0; --y) {
        const TColor* row = picture.Pixels.data() + static_cast<std::size_t>(y) * picture.Width;
        for (int x = 0; x < picture.Width; ++x) {
            if (used == block.size()) {
                file.Write(block.data(), used);
                used = 0;
            }
            PutPixel(block.data() + used, row[x]);
            used += 4;
        }
    }
    file.Write(block.data(), used);
}

} // namespace

void SaveBitmapFile(const std::string& path, const BitmapPicture& picture) {
    CheckTargetWritable(path);
    TemporaryFile file(path);
    const auto headers = Headers(picture);
    file.Write(headers.data(), headers.size());
    WritePixels(picture, file);
    file.Commit();
}

} // namespace velkaro
