#include "playback/PlaySource.h"

#include "playback/StoredShow.h"

#include <algorithm>
#include <cctype>
#include <fstream>

namespace velkaro {

namespace {

constexpr std::uint64_t TickMicros = 100'000;

bool NamesSequence(const std::string& path) {
    std::string suffix = path.size() >= 5 ? path.substr(path.size() - 5) : "";
    for (char& c : suffix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (suffix == ".fseq") return true;
    char magic[4] = {};
    std::ifstream file(path, std::ios::binary);
    file.read(magic, sizeof magic);
    return file.gcount() == 4 && (magic[0] == 'P' || magic[0] == 'F') && magic[1] == 'S' &&
           magic[2] == 'E' && magic[3] == 'Q';
}

} // namespace

ShowSource::ShowSource(const Grid& cells, const ShowSettings& settings)
    : timeline_(cells, settings, false), fades_(settings.BlendMode != HoldMode) {}

std::uint64_t ShowSource::PassMicros() const {
    return timeline_.TicksPerPass() * TickMicros;
}

std::uint64_t ShowSource::Render(std::uint64_t micros, DmxFrame& frame) {
    const std::uint64_t tick = micros / TickMicros;
    timeline_.Render(tick, double(micros % TickMicros) / TickMicros, frame);
    SetCurrentUnit(std::uint64_t(timeline_.Step()));
    return (tick + 1) * TickMicros;
}

SequenceSource::SequenceSource(std::unique_ptr<FseqReader> sequence)
    : sequence_(std::move(sequence)), frameMicros_(std::uint64_t(sequence_->FrameTimeMs()) * 1000) {
}

std::uint64_t SequenceSource::PassMicros() const {
    return sequence_->Frames() * frameMicros_;
}

std::uint64_t SequenceSource::Render(std::uint64_t micros, DmxFrame& frame) {
    const std::uint64_t index =
        std::min<std::uint64_t>(micros / frameMicros_, sequence_->Frames() - 1);
    sequence_->ReadFrame(static_cast<std::uint32_t>(index), frame);
    SetCurrentUnit(index);
    return (index + 1) * frameMicros_;
}

std::unique_ptr<PlaySource> OpenPlaySource(const std::string& path, std::unique_ptr<Grid>& cells) {
    if (NamesSequence(path))
        return std::make_unique<SequenceSource>(std::make_unique<FseqReader>(path));
    StoredShow show = LoadStoredShow(path);
    cells = std::move(show.Cells);
    return std::make_unique<ShowSource>(*cells, show.Settings);
}

} // namespace velkaro
