#include "files/ShowFile.h"

#include "files/FileErrors.h"
#include "files/RecordEncoder.h"
#include "files/ReplacingFile.h"

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
