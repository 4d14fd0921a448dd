#include "audio/SongBeat.h"

#include "audio/SongDecoding.h"
#include "audio/SongPlayer.h"
#include "model/ShowError.h"

#include <algorithm>
#include <sys/stat.h>

namespace velkaro {

namespace {

std::string NotASong(const std::string& path, const std::string& why) {
    return "Die Datei " + path + " ist keine Musik, die Velkaro lesen kann" +
           (why.empty() ? std::string() : " (" + why + ")");
}

} // namespace

std::vector<float> DecodeForBeat(const std::string& path, const BeatProgress& progress) {
    struct stat facts {};
    if (::stat(path.c_str(), &facts) != 0 || !S_ISREG(facts.st_mode))
        throw ShowError("Die Musikdatei " + path + " wurde nicht gefunden");
    if (!StartMediaFramework()) throw ShowError(NotASong(path, "GStreamer startet nicht"));
    std::vector<float> samples;
    const std::string mono =
        "audio/x-raw,format=F32LE,channels=1,rate=" + std::to_string(BeatAnalysisRate);
    const DecodeEnd end = DecodeSong(path, mono, [&](const DecodedPiece& piece) {
        samples.insert(samples.end(), piece.Samples, piece.Samples + piece.Count);
        const double share = piece.SongLengthNs > 0
                                 ? std::min(1.0, double(samples.size()) / BeatAnalysisRate /
                                                     (piece.SongLengthNs / 1e9))
                                 : 0.0;
        return !progress || progress(share);
    });
    if (end == DecodeEnd::ModulesMissing)
        throw ShowError(NotASong(path, "GStreamer-Module fehlen"));
    // The framework's own words are English and say little more; a damaged tail leaves the beat
    // to be found in what came before.
    if (end == DecodeEnd::Failed && samples.empty()) throw ShowError(NotASong(path, {}));
    if (samples.empty()) throw ShowError(NotASong(path, "sie enthält keinen Ton"));
    return samples;
}

std::optional<BeatProposal> FindSongBeat(const std::string& path, const BeatProgress& progress) {
    bool cancelled = false;
    const std::vector<float> samples = DecodeForBeat(path, [&](double done) {
        cancelled = progress && !progress(0.5 * done);
        return !cancelled;
    });
    if (cancelled) return std::nullopt;
    return FindBeat(samples, BeatAnalysisRate,
                    [&](double done) { return !progress || progress(0.5 + 0.5 * done); });
}

std::string NoBeatMessage(const std::string& path) {
    return "In der Musik " + path + " ist kein gleichmäßiger Takt zu finden";
}

} // namespace velkaro
