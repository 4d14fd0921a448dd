#include "files/ShowProject.h"
#include "model/ShowError.h"

#include "showfile/ShowFileSupport.h"

#include <filesystem>
#include <fstream>

namespace velkaro {
namespace {

using testing::TempFolder;

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ShowProject, KeepsTheSongBesideTheShowAndFollowsBothWhenTheyMove) {
    TempFolder folder;
    std::filesystem::create_directories(folder / "shows/music");
    WriteText(folder / "shows/music/song.ogg", "");
    const std::string show = folder / "shows/Party.DMX";
    const ShowProject project{folder / "shows/music/song.ogg", 1500, -40, {128.5, 0.5}};
    WriteShowProject(show, project);

    EXPECT_EQ(ProjectPathFor(show), folder / "shows/Party.velkaro");
    const std::string text = ReadText(folder / "shows/Party.velkaro");
    EXPECT_NE(text.find("\"music/song.ogg\""), std::string::npos) << text;
    EXPECT_EQ(ReadShowProject(show), project);
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "shows"), {}), 2);

    // The whole folder moves; the song is found where it now lies.
    std::filesystem::rename(folder / "shows", folder / "moved");
    const auto moved = ReadShowProject(folder / "moved/Party.DMX");
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->SongPath, folder / "moved/music/song.ogg");
    EXPECT_EQ(moved->SongStartMs, 1500);

    // A tempo without a song is kept as well.
    const ShowProject tempoOnly{"", 380, 0, {174.25, 4}};
    WriteShowProject(folder / "moved/Beat.DMX", tempoOnly);
    EXPECT_EQ(ReadShowProject(folder / "moved/Beat.DMX"), tempoOnly);

    // A show without a file of its own has no project; taking the song off removes the file.
    EXPECT_FALSE(ReadShowProject(folder / "moved/Other.DMX"));
    WriteShowProject(folder / "moved/Party.DMX", ShowProject{});
    EXPECT_FALSE(std::filesystem::exists(folder / "moved/Party.velkaro"));
}

TEST(ShowProject, DamagedFilesAreRefusedWithOneGermanMessage) {
    TempFolder folder;
    const std::string show = folder / "show.dmx";
    const std::string damaged[] = {
        "",
        "{\"song\": \"a.mp3\"",
        "[1, 2]",
        "{\"song\": 7}",
        "{\"song\": \"\"}",
        "{\"song\": \"a.mp3\", \"songStartMs\": \"soon\"}",
        "{\"latencyMs\": 1e300}",
        "{\"songStartMs\": -5}",
        "{\"tempoBpm\": 301}",
        "{\"stepsPerBeat\": 3}",
        "\xff\xfe{}",
        std::string(70000, ' ') + "{}",
    };
    for (const std::string& text : damaged) {
        WriteText(folder / "show.velkaro", text);
        try {
            ReadShowProject(show);
            ADD_FAILURE() << "accepted: " << text.substr(0, 60);
        } catch (const ShowError& error) {
            EXPECT_NE(std::string(error.what())
                          .find("Projektdatei " + (folder / "show.velkaro") + " ist beschädigt"),
                      std::string::npos)
                << error.what();
        }
    }
    // Unknown keys are room for what later versions keep there.
    WriteText(folder / "show.velkaro", "{\"song\": null, \"beats\": [1, 2], \"latencyMs\": 12}");
    EXPECT_EQ(ReadShowProject(show)->LatencyMs, 12);
}

} // namespace
} // namespace velkaro
