#include "files/ShowFile.h"

#include "files/FileErrors.h"
#include "files/RecordEncoder.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace velkaro {

namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// POSIX says ENOENT both for a missing file and for a missing folder on its path; the user is
// told which of the two it was.
int ErrorForPath(int errorNumber, const std::string& path) {
    if (errorNumber != ENOENT) return errorNumber;
    struct stat folder {};
    const bool folderExists =
        ::stat(FolderOf(path).c_str(), &folder) == 0 && S_ISDIR(folder.st_mode);
    return folderExists ? ENOENT : ENOTDIR;
}

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

// Reads up to count bytes and returns how many arrived; a failure after some bytes is
// left in `failure` rather than thrown, so the caller can use what did arrive first.
std::size_t ReadAvailable(FileSystem& files, int fd, std::uint8_t* bytes, std::size_t count,
                          std::optional<ShowError>& failure) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = files.Read(fd, bytes + done, count - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            failure.emplace(FileErrorMessage(errno));
            break;
        }
        // The file was shorter than it said when it was opened.
        if (got == 0) {
            failure.emplace(ReadPastEndMessage);
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
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

// Records pass through a small fixed window, so a long show costs a few hundred system calls
// rather than one per step; each record is still converted straight from or into its row.
constexpr int WindowRecords = 64;
using RecordWindow = std::array<std::uint8_t, WindowRecords * ShowRecord::Size>;

class RecordReader {
public:
    RecordReader(FileSystem& files, int fd, int records)
        : files_(files), fd_(fd), remaining_(records) {}

    // The next record; every record that arrived whole is handed out before a failure is thrown.
    const std::uint8_t* Next() {
        if (next_ == filled_) Refill();
        return window_.data() + std::size_t(next_++) * ShowRecord::Size;
    }

private:
    void Refill() {
        if (failure_) throw *failure_;
        // The first record comes alone, so the settings it carries are taken before a later
        // record can fail.
        const int wanted = std::min(firstRefill_ ? 1 : WindowRecords, remaining_);
        firstRefill_ = false;
        const std::size_t got = ReadAvailable(files_, fd_, window_.data(),
                                              std::size_t(wanted) * ShowRecord::Size, failure_);
        filled_ = static_cast<int>(got / ShowRecord::Size);
        remaining_ -= filled_;
        next_ = 0;
        if (filled_ == 0 && failure_) throw *failure_;
    }

    FileSystem& files_;
    int fd_;
    int remaining_;
    int filled_ = 0;
    int next_ = 0;
    bool firstRefill_ = true;
    std::optional<ShowError> failure_;
    RecordWindow window_;
};

class RecordWriter {
public:
    RecordWriter(FileSystem& files, int fd) : files_(files), fd_(fd) {}

    std::uint8_t* NextSlot() { return window_.data() + std::size_t(used_) * ShowRecord::Size; }

    void Put() {
        if (++used_ == WindowRecords) Flush();
    }

    void Flush() {
        WriteFully(files_, fd_, window_.data(), std::size_t(used_) * ShowRecord::Size);
        used_ = 0;
    }

private:
    FileSystem& files_;
    int fd_;
    int used_ = 0;
    RecordWindow window_;
};

// Stores one record's channels into a row and returns the highest lit output (0 if none).
int StoreColourRecord(const std::uint8_t* record, TColor* row) {
    int highestLit = 0;
    for (int g = 0; g < ShowRecord::Outputs; ++g) {
        const std::uint8_t* rgb = record + ShowRecord::RedByte(g);
        const TColor colour = RGB(rgb[0], rgb[1], rgb[2]);
        row[g] = colour;
        if (colour != 0) highestLit = g;
    }
    return highestLit;
}

int StoreMonoRecord(const std::uint8_t* record, TColor* row) {
    int highestLit = 0;
    for (int g = 0; g < ShowRecord::Outputs; ++g) {
        const std::uint8_t level = record[ShowRecord::MonoByte(g)];
        row[g] = level * GreyUnit;
        if (level != 0) highestLit = g;
    }
    return highestLit;
}

// Opens a show file for reading into `file` and tells how many whole records it holds. A folder
// is refused here, before the caller has changed anything. Without O_NONBLOCK a pipe with no
// writer would hang the window; for a regular file the flag changes nothing.
std::int64_t OpenForReading(FileSystem& files, const std::string& path, Descriptor& file) {
    const int fd = files.Open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC, 0);
    if (fd < 0) ThrowFileError(ErrorForPath(errno, path));
    file.Adopt(fd);
    FileFacts facts;
    if (files.Inspect(fd, facts) != 0) ThrowFileError(errno);
    if (facts.IsDirectory) ThrowFileError(EISDIR);
    return facts.Size / static_cast<std::int64_t>(ShowRecord::Size);
}

// The file a save replaces: the file a symbolic link points to, so the link survives.
std::string SaveTarget(const std::string& path) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return path; // a dangling link: the save creates its file
    std::string target(resolved);
    std::free(resolved);
    return target;
}

// Refuses a target the save could not replace anyway, before a temporary file is written, and
// tells the permissions of the file it replaces, if there is one.
std::optional<mode_t> CheckSaveTarget(const std::string& target) {
    if (NameOf(target).empty()) ThrowFileError(EISDIR);
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0) return std::nullopt; // a new file
    if (S_ISDIR(info.st_mode)) ThrowFileError(EISDIR);
    if (::access(target.c_str(), W_OK) != 0) ThrowFileError(errno);
    return info.st_mode & 07777;
}

// The records of a save go into a file beside the target, so the rename that replaces the
// target stays on one file system. Unless Commit has run, the file is removed again.
class TempFile {
public:
    TempFile(FileSystem& files, const std::string& target) : files_(files), fd_(files, -1) {
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
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        if (committed_) return;
        if (fd_.Get() >= 0) fd_.Close();
        files_.Unlink(path_.c_str());
    }

    int Fd() const { return fd_.Get(); }

    void Commit(const std::string& target) {
        if (files_.Fsync(fd_.Get()) != 0) ThrowFileError(errno);
        if (fd_.Close() != 0) ThrowFileError(errno);
        if (files_.Rename(path_.c_str(), target.c_str()) != 0)
            ThrowFileError(ErrorForPath(errno, target));
        committed_ = true;
    }

private:
    FileSystem& files_;
    Descriptor fd_;
    std::string path_;
    bool committed_ = false;
};

} // namespace

LoadResult LoadShow(const std::string& path, bool append, Grid& cells, bool monoMode,
                    int currentSteps, const FirstRecordHandler& onFirstRecord, FileSystem& files) {
    Descriptor file(files, -1);
    const std::int64_t records = OpenForReading(files, path, file);
    if (!append) ClearCells(cells);

    const int firstRow = append ? std::clamp(currentSteps, 0, GridRows) : 0;
    const int storedRecords =
        static_cast<int>(std::min<std::int64_t>(records, GridRows - firstRow));
    LoadResult result;
    result.StepsText = static_cast<int>(std::min<std::int64_t>(firstRow + records, INT_MAX));

    RecordReader reader(files, file.Get(), storedRecords);
    int highestLit = 0;
    for (int row = firstRow; row < firstRow + storedRecords; ++row) {
        const std::uint8_t* record = reader.Next();
        if (row == 0 && !append) {
            const auto timing =
                ShowRecord::TimingFor(ShowRecord::ReadU16(record, ShowRecord::HoldTimeOffset),
                                      ShowRecord::ReadU16(record, ShowRecord::FadeTimeOffset));
            result.HaveFirstRecordSettings = true;
            result.BlendMode = timing.BlendMode;
            result.StepLength = timing.StepLength;
            if (onFirstRecord) onFirstRecord(timing);
        }
        const int lit =
            monoMode ? StoreMonoRecord(record, cells[row]) : StoreColourRecord(record, cells[row]);
        highestLit = std::max(highestLit, lit);
    }
    result.OutputsText = highestLit + 1;
    // Every record is in; closing a file that was only read cannot lose anything, so a failing
    // close does not undo a complete load.
    file.Close();
    return result;
}

void SaveShow(const std::string& path, const Grid& cells, const ShowSettings& settings,
              bool monoMode, FileSystem& files) {
    const std::string target = SaveTarget(path);
    const auto oldMode = CheckSaveTarget(target);
    TempFile temp(files, target);
    // The new file takes over the old one's permissions; failing that it keeps the default ones.
    if (oldMode) files.Fchmod(temp.Fd(), *oldMode);

    const RecordEncoder encoder(settings, monoMode);
    RecordWriter writer(files, temp.Fd());
    for (int row = 0; row < encoder.Records(); ++row) {
        encoder.Encode(cells, row, writer.NextSlot());
        writer.Put();
    }
    writer.Flush();
    temp.Commit(target);
}

} // namespace velkaro
