#include "ShowFileSupport.h"
#include "files/ShowFile.h"
#include "model/ShowError.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace velkaro {
namespace {

using testing::Bytes;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

// Runs f and returns the message of the ShowError it throws ("" if it throws none).
template <typename F> std::string MessageOf(F&& f) {
    try {
        f();
    } catch (const ShowError& error) {
        return error.what();
    }
    return "";
}

// A file system whose one call fails with a given errno.
struct FailingOpen : FileSystem {
    int error;
    explicit FailingOpen(int e) : error(e) {}
    int Open(const char*, int, unsigned) override {
        errno = error;
        return -1;
    }
};

// A disk that takes `room` bytes and then reports `error` (0: a write that stores nothing).
struct FillingDisk : FileSystem {
    std::size_t room;
    int error;
    FillingDisk(std::size_t r, int e) : room(r), error(e) {}
    ssize_t Write(int fd, const void* buffer, std::size_t count) override {
        if (room == 0) {
            errno = error;
            return error ? -1 : 0;
        }
        count = std::min(count, room);
        room -= count;
        return FileSystem::Write(fd, buffer, count);
    }
};

class ShowFileFailure : public ::testing::Test {
protected:
    TempFolder folder;
    std::unique_ptr<Grid> cells = NewGrid();
    std::unique_ptr<Grid> before = NewGrid();

    void SetUp() override {
        for (int row = 0; row < 40; ++row)
            for (int col = 0; col < 168; ++col) cells->At(row, col) = TColor(row * 168 + col + 1);
        CopyGrid(*before, *cells);
    }
    bool GridUntouched() const {
        return std::memcmp(cells->AllCells().data(), before->AllCells().data(), GridBytes) == 0;
    }
    std::string Load(const std::string& path, FileSystem& files = DefaultFileSystem()) {
        return MessageOf([&] {
            LoadShow(
                path, false, *cells, false, 1,
                [](const auto&) { FAIL() << "settings taken from a failed open"; }, files);
        });
    }
};

TEST_F(ShowFileFailure, LoadThatCannotOpenChangesNothing) {
    std::filesystem::create_directory(folder / "sub");
    EXPECT_EQ(Load(folder / "missing.dmx"), "Datei nicht gefunden");
    EXPECT_EQ(WithFullStop(Load(folder / "missing.dmx")), "Datei nicht gefunden.");
    EXPECT_EQ(Load(folder / "sub"), "Ungültiger Dateiname");
    EXPECT_EQ(Load(folder / "nowhere/show.dmx"), "Ungültiger Dateiname");
    const std::pair<int, const char*> refusals[] = {
        {EACCES, "Dateizugriff verweigert"},
        {EROFS, "Dateizugriff verweigert"},
        {EMFILE, "Zu viele geöffnete Dateien"},
        {EIO, "E/A-Fehler 5"},
    };
    WriteBytes(folder / "show.dmx", testing::BlankRecords(2));
    for (const auto& [error, message] : refusals) {
        FailingOpen files(error);
        EXPECT_EQ(Load(folder / "show.dmx", files), message);
    }
    EXPECT_TRUE(GridUntouched());
}

TEST_F(ShowFileFailure, ShortReadKeepsTheRecordsThatArrived) {
    Bytes file = testing::BlankRecords(3);
    for (int k = 0; k < 3; ++k) file[std::size_t(k) * 512 + 8] = std::uint8_t(k + 1);
    file[0] = 5; // hold time 5
    WriteBytes(folder / "show.dmx", file);
    struct Shrunk : FileSystem { // the file is cut while it is read
        int Inspect(int fd, FileFacts& facts) override {
            FileSystem::Inspect(fd, facts);
            facts.Size += 100 * 512;
            return 0;
        }
    } files;
    int settingsTaken = 0;
    const auto message = MessageOf([&] {
        LoadShow(
            folder / "show.dmx", false, *cells, false, 1,
            [&](const ShowRecord::StepTiming& timing) {
                ++settingsTaken;
                EXPECT_EQ(timing.BlendMode, HoldMode);
                EXPECT_EQ(timing.StepLength, 5);
            },
            files);
    });
    EXPECT_EQ(message, "Versuch hinter dem Dateiende zu lesen");
    EXPECT_EQ(settingsTaken, 1);
    EXPECT_EQ(cells->At(0, 0), 1u);
    EXPECT_EQ(cells->At(2, 0), 3u);
    EXPECT_EQ(cells->At(3, 0), 0u); // cleared before reading
}

TEST_F(ShowFileFailure, ReadErrorEndsTheLoad) {
    WriteBytes(folder / "show.dmx", testing::BlankRecords(200));
    struct FailsLater : FileSystem {
        int reads = 0;
        ssize_t Read(int fd, void* buffer, std::size_t count) override {
            if (++reads == 3) {
                errno = EIO;
                return -1;
            }
            return FileSystem::Read(fd, buffer, count);
        }
    } files;
    EXPECT_EQ(MessageOf([&] { LoadShow(folder / "show.dmx", false, *cells, false, 1, {}, files); }),
              "E/A-Fehler 5");
}

class FailedSave : public ShowFileFailure {
protected:
    Bytes old = Bytes(3 * 512, 0x5A);
    void SetUp() override {
        ShowFileFailure::SetUp();
        WriteBytes(folder / "show.dmx", old);
    }
    std::string Save(FileSystem& files) {
        return MessageOf([&] {
            SaveShow(folder / "show.dmx", *cells, ShowSettings{20, 300, 10, FadeMode}, false,
                     files);
        });
    }
    void ExpectOldFileAlone() {
        EXPECT_EQ(ReadBytes(folder / "show.dmx"), old);
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"show.dmx"});
    }
};

TEST_F(FailedSave, FullDiskKeepsTheOldFile) {
    FillingDisk full(70 * 512 + 100, ENOSPC);
    EXPECT_EQ(Save(full), "Zu wenig Speicherplatz");
    ExpectOldFileAlone();
    FillingDisk stuck(3 * 512, 0);
    EXPECT_EQ(Save(stuck), "Zu wenig Speicherplatz");
    ExpectOldFileAlone();
}

TEST_F(FailedSave, FailureWhileFinishingKeepsTheOldFile) {
    struct SyncFails : FileSystem {
        int Fsync(int) override {
            errno = EIO;
            return -1;
        }
    } sync;
    EXPECT_EQ(Save(sync), "E/A-Fehler 5");
    ExpectOldFileAlone();
    struct CloseFails : FileSystem {
        int Close(int fd) override {
            FileSystem::Close(fd);
            errno = EDQUOT;
            return -1;
        }
    } close;
    EXPECT_EQ(Save(close), "Zu wenig Speicherplatz");
    ExpectOldFileAlone();
    struct RenameFails : FileSystem {
        int Rename(const char*, const char*) override {
            errno = EACCES;
            return -1;
        }
    } rename;
    EXPECT_EQ(Save(rename), "Dateizugriff verweigert");
    ExpectOldFileAlone();
}

TEST_F(FailedSave, RefusedTargetsLeaveNoTrace) {
    FailingOpen denied(EACCES);
    EXPECT_EQ(Save(denied), "Dateizugriff verweigert");
    ExpectOldFileAlone();
    const ShowSettings one{20, 1, 10, FadeMode};
    std::filesystem::create_directory(folder / "sub");
    EXPECT_EQ(MessageOf([&] { SaveShow(folder / "sub", *cells, one, false); }),
              "Ungültiger Dateiname");
    EXPECT_EQ(MessageOf([&] { SaveShow(folder / "nowhere/x.dmx", *cells, one, false); }),
              "Ungültiger Dateiname");
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"show.dmx", "sub"}));
    EXPECT_TRUE(std::filesystem::is_empty(folder / "sub"));
}

TEST_F(FailedSave, ReplacingKeepsLinkAndPermissions) {
    using std::filesystem::perms;
    std::filesystem::permissions(folder / "show.dmx",
                                 perms::owner_read | perms::owner_write | perms::group_read);
    std::filesystem::create_symlink("show.dmx", folder / "link.dmx");
    SaveShow(folder / "link.dmx", *cells, ShowSettings{20, 2, 10, FadeMode}, false);
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.dmx"));
    EXPECT_EQ(ReadBytes(folder / "show.dmx").size(), 1024u);
    EXPECT_EQ(std::filesystem::status(folder / "show.dmx").permissions(),
              perms::owner_read | perms::owner_write | perms::group_read);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"link.dmx", "show.dmx"}));
}

// Column 168 and everything past row 10010 lie outside any record's reach.
TEST_F(ShowFileFailure, OverlongFilesStopAtTheLastRow) {
    constexpr TColor Sentinel = 0x7F000000; // a value no load produces
    for (int row = 0; row < GridRows; ++row) cells->At(row, LastCol) = Sentinel;
    Bytes file = testing::BlankRecords(20000);
    for (int k = 0; k < 20000; ++k) file[std::size_t(k) * 512 + 8] = std::uint8_t(k % 250 + 1);
    file[std::size_t(15000) * 512 + 511] = 1; // lit beyond the rows that can be stored
    WriteBytes(folder / "long.dmx", file);

    auto result = LoadShow(folder / "long.dmx", false, *cells, false, 1);
    EXPECT_EQ(result.StepsText, 20000); // refused by the Steps control
    EXPECT_EQ(result.OutputsText, 1);   // only stored records count
    EXPECT_EQ(cells->At(LastRow, 0), TColor(LastRow % 250 + 1));

    file.resize(20 * 512);
    WriteBytes(folder / "long.dmx", file);
    result = LoadShow(folder / "long.dmx", true, *cells, false, 9998);
    EXPECT_EQ(result.StepsText, 10018);
    EXPECT_EQ(cells->At(9998, 0), 1u);
    EXPECT_EQ(cells->At(LastRow, 0), 13u);
    for (int row = 0; row < GridRows; ++row) ASSERT_EQ(cells->At(row, LastCol), Sentinel) << row;
}

} // namespace
} // namespace velkaro
