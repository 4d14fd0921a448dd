#include "files/RecoveryCopy.h"
#include "ShowFileSupport.h"
#include "files/ShowFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <sys/stat.h>

namespace velkaro {
namespace {

using testing::Bytes;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

constexpr std::time_t March5th070809 = 1709622489; // 2024-03-05 07:08:09 UTC

TEST(RecoveryFolderTest, ComesFromAnAbsoluteStateHomeElseFromHome) {
    struct Case {
        const char* stateHome;
        const char* home;
        const char* folder;
    };
    const Case cases[] = {
        {"/var/state", "/home/ann", "/var/state/velkaro"},
        {"/var/state/", "/home/ann", "/var/state/velkaro"},
        {"/", "/home/ann", "/velkaro"},
        {nullptr, "/home/ann", "/home/ann/.local/state/velkaro"},
        {"", "/home/ann/", "/home/ann/.local/state/velkaro"},
        {"state", "/home/ann", "/home/ann/.local/state/velkaro"},
        {nullptr, nullptr, ""},
        {"state", "home", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.stateHome ? c.stateHome : "(unset)") + " " +
                     (c.home ? c.home : "(unset)"));
        EXPECT_EQ(RecoveryFolder(c.stateHome, c.home), c.folder);
    }
}

class RecoveryCopyTest : public ::testing::Test {
protected:
    TempFolder temp;
    std::unique_ptr<Grid> cells = NewGrid();
    ShowSettings settings{20, 4, 25, HalfFadeHalfHoldMode};

    void SetUp() override {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
        cells->At(0, 0) = 0x123456;
        cells->At(3, 167) = White;
    }
    std::optional<std::string> Write(const std::string& folder, std::time_t now) {
        return WriteRecoveryCopy(folder, *cells, settings, false, now);
    }
    static unsigned ModeOf(const std::string& path) {
        struct stat info {};
        ::stat(path.c_str(), &info);
        return info.st_mode & 0777;
    }
};

TEST_F(RecoveryCopyTest, IsANormalSaveInNewPrivateFoldersNamedByTheTime) {
    ::mkdir((temp / "home").c_str(), 0755);
    const std::string folder = temp / "home/state/velkaro";
    const auto first = Write(folder, March5th070809);
    const auto second = Write(folder, March5th070809);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(*first, folder + "/velkaro-2024-03-05-070809.dmx");
    EXPECT_EQ(*second, folder + "/velkaro-2024-03-05-070809-2.dmx");

    SaveShow(temp / "normal.dmx", *cells, settings, false);
    const Bytes normal = ReadBytes(temp / "normal.dmx");
    EXPECT_EQ(normal.size(), 4 * ShowRecord::Size);
    EXPECT_EQ(ReadBytes(*first), normal);
    // Only the folders it made are private; no temporary file stays behind.
    EXPECT_EQ(ModeOf(temp / "home"), 0755u);
    EXPECT_EQ(ModeOf(temp / "home/state"), 0700u);
    EXPECT_EQ(ModeOf(folder), 0700u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 2);
}

TEST_F(RecoveryCopyTest, KeepsTheNewestTenAndLeavesOtherFilesAlone) {
    const std::string folder = temp.Path();
    const std::vector<std::string> others = {
        "notes.txt", "velkaro-latest.dmx", "velkaro-2024-03-05-070809.dmx.bak",
        "velkaro-2001-01-01-000000.DMX", "velkaro-2001-01-01-000000-02.dmx"};
    for (const auto& name : others) WriteBytes(temp / name, Bytes(3, 1));
    // A folder named like a copy, the oldest of all by its name.
    ::mkdir((temp / "velkaro-2000-01-01-000000.dmx").c_str(), 0700);

    // Three in one second, then one a second: ten copies, all kept.
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(Write(folder, March5th070809));
    for (int s = 1; s <= 7; ++s) ASSERT_TRUE(Write(folder, March5th070809 + s));
    EXPECT_EQ(temp.Names().size(), others.size() + 1 + 10);

    // The eleventh removes the first of that second, not its later "-2" and "-3".
    ASSERT_TRUE(Write(folder, March5th070809 + 8));
    auto names = temp.Names();
    EXPECT_EQ(names.size(), others.size() + 1 + 10);
    const auto has = [&](const std::string& name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    EXPECT_FALSE(has("velkaro-2024-03-05-070809.dmx"));
    EXPECT_TRUE(has("velkaro-2024-03-05-070809-2.dmx"));
    for (const auto& name : others) EXPECT_TRUE(has(name)) << name;
    EXPECT_TRUE(has("velkaro-2000-01-01-000000.dmx"));

    // After the clock was set back, the new copy still stays; the oldest other one goes.
    const auto early = Write(folder, March5th070809 - 3600);
    ASSERT_TRUE(early);
    names = temp.Names();
    EXPECT_TRUE(has("velkaro-2024-03-05-060809.dmx"));
    EXPECT_FALSE(has("velkaro-2024-03-05-070809-2.dmx"));
    EXPECT_TRUE(has("velkaro-2024-03-05-070809-3.dmx"));
    EXPECT_EQ(names.size(), others.size() + 1 + 10);
}

TEST_F(RecoveryCopyTest, AFolderThatCannotBeMadeGivesNothingAndThrowsNothing) {
    WriteBytes(temp / "plain", Bytes(1, 0));
    EXPECT_EQ(Write(temp / "plain/velkaro", March5th070809), std::nullopt);
    EXPECT_EQ(Write(temp / "plain", March5th070809), std::nullopt);
    EXPECT_EQ(Write("", March5th070809), std::nullopt);
    EXPECT_EQ(temp.Names(), std::vector<std::string>{"plain"});
}

} // namespace
} // namespace velkaro
