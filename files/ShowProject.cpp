#include "files/ShowProject.h"

#include "files/FileErrors.h"
#include "files/ReplacingFile.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace velkaro {

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

// A project file is a few lines; anything far larger is not one, and is not read whole.
constexpr std::size_t MaxProjectBytes = 64 * 1024;
constexpr int FormatVersion = 1;

std::string DamagedMessage(const std::string& path, const std::string& why) {
    return "Die Projektdatei " + path + " ist beschädigt (" + why +
           "); die Show wurde ohne Musik geladen";
}

// nullopt when there is no file; throws when there is one that cannot be read.
std::optional<std::string> ReadSmallFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return std::nullopt;
        throw ShowError("Die Projektdatei " + path +
                        " konnte nicht gelesen werden: " + FileErrorMessage(errno));
    }
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0 || text.size() + std::size_t(got) > MaxProjectBytes) {
            const int error = got < 0 ? errno : 0;
            ::close(fd);
            if (got == 0) return text;
            if (got > 0) throw ShowError(DamagedMessage(path, "zu groß"));
            throw ShowError("Die Projektdatei " + path +
                            " konnte nicht gelesen werden: " + FileErrorMessage(error));
        }
        text.append(buffer, std::size_t(got));
    }
}

template <typename T> T NumberField(const Json& doc, const char* key, T low, T high) {
    if (!doc.contains(key) || doc[key].is_null()) return T{};
    const Json& value = doc[key];
    if (!value.is_number()) throw std::invalid_argument(std::string(key) + " ist keine Zahl");
    const double number = value.get<double>();
    if (!std::isfinite(number) || number < double(low) || number > double(high))
        throw std::invalid_argument(std::string(key) + " liegt außerhalb des Bereichs");
    return static_cast<T>(number);
}

ShowProject ParseProject(const std::string& text, const std::string& showFolder) {
    const Json doc = Json::parse(text, nullptr, false);
    if (doc.is_discarded() || !doc.is_object()) throw std::invalid_argument("kein JSON-Objekt");
    ShowProject project;
    if (doc.contains("song") && !doc["song"].is_null()) {
        if (!doc["song"].is_string() || doc["song"].get<std::string>().empty())
            throw std::invalid_argument("song ist kein Dateiname");
        const fs::path song = doc["song"].get<std::string>();
        project.SongPath =
            (song.is_absolute() ? song : fs::path(showFolder) / song).lexically_normal().string();
    }
    project.SongStartMs = NumberField<std::int64_t>(doc, "songStartMs", 0, 24LL * 3600 * 1000);
    project.LatencyMs = NumberField<int>(doc, "latencyMs", -MaxLatencyMs, MaxLatencyMs);
    project.Tempo.Bpm = NormalisedBpm(NumberField<double>(doc, "tempoBpm", 0.0, MaxTempoBpm));
    const double stepsPerBeat = NumberField<double>(doc, "stepsPerBeat", 0.0, 4.0);
    if (stepsPerBeat != 0 && !IsStepsPerBeatChoice(stepsPerBeat))
        throw std::invalid_argument("stepsPerBeat ist keine der Wahlen 4, 2, 1, 0,5, 0,25");
    if (stepsPerBeat != 0) project.Tempo.StepsPerBeat = stepsPerBeat;
    return project;
}

std::string AbsoluteFolderOf(const std::string& showPath) {
    return fs::absolute(fs::path(showPath)).parent_path().string();
}

// The song relative to the show's folder, so the two can move together.
std::string StoredSongPath(const std::string& song, const std::string& showFolder) {
    const fs::path relative = fs::absolute(song).lexically_normal().lexically_relative(showFolder);
    return relative.empty() ? fs::absolute(song).string() : relative.string();
}

std::string ProjectText(const ShowProject& project, const std::string& showFolder) {
    Json doc = Json::object();
    doc["format"] = "velkaro-project";
    doc["version"] = FormatVersion;
    doc["song"] = project.HasSong() ? Json(StoredSongPath(project.SongPath, showFolder)) : Json();
    doc["songStartMs"] = project.SongStartMs;
    doc["latencyMs"] = project.LatencyMs;
    doc["tempoBpm"] = project.Tempo.IsSet() ? Json(project.Tempo.Bpm) : Json();
    doc["stepsPerBeat"] = project.Tempo.StepsPerBeat;
    try {
        return doc.dump(2) + "\n";
    } catch (const Json::type_error&) {
        throw ShowError("Der Pfad der Musikdatei ist kein gültiger UTF-8-Text");
    }
}

} // namespace

std::string ProjectPathFor(const std::string& showPath) {
    fs::path path(showPath);
    path.replace_extension(".velkaro");
    return path.string();
}

std::optional<ShowProject> ReadShowProject(const std::string& showPath) {
    const std::string path = ProjectPathFor(showPath);
    const std::optional<std::string> text = ReadSmallFile(path);
    if (!text) return std::nullopt;
    try {
        return ParseProject(*text, AbsoluteFolderOf(showPath));
    } catch (const std::invalid_argument& fault) {
        throw ShowError(DamagedMessage(path, fault.what()));
    }
}

void WriteShowProject(const std::string& showPath, const ShowProject& project, FileSystem& files) {
    const std::string path = ProjectPathFor(showPath);
    try {
        if (project == ShowProject{}) {
            if (files.Unlink(path.c_str()) != 0 && errno != ENOENT) ThrowFileError(errno);
            return;
        }
        const std::string text = ProjectText(project, AbsoluteFolderOf(showPath));
        const std::string target = SaveTarget(path);
        const auto oldMode = CheckSaveTarget(target);
        TempFile temp(files, target);
        if (oldMode) files.Fchmod(temp.Fd(), *oldMode);
        WriteFully(files, temp.Fd(), reinterpret_cast<const std::uint8_t*>(text.data()),
                   text.size());
        temp.Commit(target);
    } catch (const ShowError& error) {
        throw ShowError("Die Projektdatei " + path +
                        " konnte nicht geschrieben werden: " + error.what());
    }
}

std::string MissingSongMessage(const std::string& songPath) {
    return "Die Musikdatei " + songPath +
           " wurde nicht gefunden; die Show wurde ohne Musik geladen";
}

} // namespace velkaro
