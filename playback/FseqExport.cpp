#include "playback/FseqExport.h"

#include "commands/ShowTimeline.h"
#include "files/FseqFormat.h"
#include "files/FseqWriter.h"
#include "model/ShowError.h"
#include "playback/StoredShow.h"

#include <algorithm>

namespace velkaro {

std::uint64_t FseqFramesOf(const ShowSettings& settings) {
    const std::uint64_t steps = std::clamp(settings.Steps, MinSteps, MaxSteps);
    const std::uint64_t length = std::clamp(settings.StepLength, MinStepLength, MaxStepLength);
    return steps * length * Fseq::FramesPerTick;
}

void ExportFseq(const std::string& path, const Grid& cells, const ShowSettings& settings,
                bool monoMode, bool compress) {
    ShowTimeline timeline(cells, settings, monoMode);
    const auto frames = static_cast<std::uint32_t>(FseqFramesOf(settings));
    const auto render = [&timeline](std::uint32_t index, DmxFrame& frame) {
        const double fraction = double(index % Fseq::FramesPerTick) / Fseq::FramesPerTick;
        timeline.Render(index / Fseq::FramesPerTick, fraction, frame);
    };
    FseqWriteOptions options;
    options.Compress = compress;
    WriteFseq(path, frames, render, options);
}

void ExportShowFileAsFseq(const std::string& showPath, const std::string& fseqPath, bool compress) {
    const StoredShow show = LoadStoredShow(showPath);
    ExportFseq(fseqPath, *show.Cells, show.Settings, false, compress);
}

} // namespace velkaro
