#include "player/FseqExport.h"

#include "commands/LiveFrame.h"
#include "files/FseqFormat.h"
#include "files/FseqWriter.h"
#include "model/ShowError.h"
#include "playback/PlaybackTimeline.h"
#include "player/StoredShow.h"

#include <algorithm>

namespace velkaro {

std::uint64_t FseqFramesOf(const ShowSettings& settings, std::chrono::nanoseconds tick) {
    const std::uint64_t steps = std::clamp(settings.Steps, MinSteps, MaxSteps);
    const std::uint64_t length = std::clamp(settings.StepLength, MinStepLength, MaxStepLength);
    if (tick == PlainTickLength) return steps * length * Fseq::FramesPerTick;
    const std::uint64_t frame =
        std::chrono::nanoseconds(std::chrono::milliseconds(Fseq::ExportFrameMs)).count();
    const std::uint64_t pass =
        steps * length * std::uint64_t(std::max<std::int64_t>(tick.count(), 1));
    return std::max<std::uint64_t>((pass + frame - 1) / frame, 1);
}

namespace {

// The show's timeline as the engine keeps it, sampled every 25 ms of its own time instead of
// the clock's: tick 0 at time 0, so the first step lasts its full length.
class ExportTimeline {
public:
    ExportTimeline(const Grid& cells, const ShowSettings& settings, bool monoMode,
                   std::chrono::nanoseconds tick)
        : cells_(cells), settings_(settings), monoMode_(monoMode) {
        timeline_.SetTickLength(tick, Start);
        settings_.Steps = std::clamp(settings_.Steps, MinSteps, MaxSteps);
        settings_.StepLength = std::clamp(settings_.StepLength, MinStepLength, MaxStepLength);
        // Every output a show file carries, as live output sends them.
        settings_.Outputs = MaxOutputs;
    }

    void Render(std::uint32_t index, DmxFrame& frame) {
        const auto moment =
            Start + std::chrono::milliseconds(std::int64_t(index) * Fseq::ExportFrameMs);
        timeline_.AdvanceTo(moment, settings_);
        ComposeLiveFrame(cells_, settings_, monoMode_, timeline_.MomentAt(moment, settings_),
                         frame);
    }

private:
    static constexpr PlaybackTimeline::Time Start{};
    const Grid& cells_;
    ShowSettings settings_;
    bool monoMode_;
    PlaybackTimeline timeline_{Start};
};

} // namespace

void ExportFseq(const std::string& path, const Grid& cells, const ShowSettings& settings,
                bool monoMode, bool compress, const std::string& song,
                std::chrono::nanoseconds tick) {
    ExportTimeline timeline(cells, settings, monoMode, tick);
    const auto render = [&timeline](std::uint32_t index, DmxFrame& frame) {
        timeline.Render(index, frame);
    };
    FseqWriteOptions options;
    options.Compress = compress;
    options.MediaFile = song;
    WriteFseq(path, static_cast<std::uint32_t>(FseqFramesOf(settings, tick)), render, options);
}

void ExportShowFileAsFseq(const std::string& showPath, const std::string& fseqPath, bool compress,
                          const std::string& song) {
    const StoredShow show = LoadStoredShow(showPath);
    ExportFseq(fseqPath, *show.Cells, show.Settings, false, compress, song, show.Tick);
}

} // namespace velkaro
