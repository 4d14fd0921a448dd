#pragma once

#include "commands/ShowTimeline.h"
#include "files/FseqReader.h"
#include "model/DmxFrame.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace velkaro {

// Something the headless player plays in a loop: a DMX show or an FSEQ sequence, as a function
// of the time into one pass at 100 % speed, in microseconds.
class PlaySource {
public:
    virtual ~PlaySource() = default;

    // The length of one pass.
    virtual std::uint64_t PassMicros() const = 0;
    // Renders the moment `micros` (< PassMicros) and returns when the content next changes
    // (at most PassMicros). Moments come in order within a pass.
    virtual std::uint64_t Render(std::uint64_t micros, DmxFrame& frame) = 0;
    // True when the content changes between those moments too (a fade), so it is sent often.
    virtual bool Fades() const = 0;

    // For the status line: "Schritt" or "Bild", and how many a pass has.
    virtual const char* UnitName() const = 0;
    virtual std::uint64_t Units() const = 0;
    // The step or frame of the last moment rendered, from 0; safe from any thread.
    std::uint64_t CurrentUnit() const { return current_.load(std::memory_order_relaxed); }

protected:
    void SetCurrentUnit(std::uint64_t unit) { current_.store(unit, std::memory_order_relaxed); }

private:
    std::atomic<std::uint64_t> current_{0};
};

// A DMX show as live output sends it, ticks of a tenth of a second.
class ShowSource : public PlaySource {
public:
    ShowSource(const Grid& cells, const ShowSettings& settings);

    std::uint64_t PassMicros() const override;
    std::uint64_t Render(std::uint64_t micros, DmxFrame& frame) override;
    bool Fades() const override { return fades_; }
    const char* UnitName() const override { return "Schritt"; }
    std::uint64_t Units() const override { return std::uint64_t(timeline_.Steps()); }

private:
    ShowTimeline timeline_;
    bool fades_;
};

// An FSEQ sequence, frame by frame at its own frame time.
class SequenceSource : public PlaySource {
public:
    explicit SequenceSource(std::unique_ptr<FseqReader> sequence);

    std::uint64_t PassMicros() const override;
    std::uint64_t Render(std::uint64_t micros, DmxFrame& frame) override;
    bool Fades() const override { return false; }
    const char* UnitName() const override { return "Bild"; }
    std::uint64_t Units() const override { return sequence_->Frames(); }

private:
    std::unique_ptr<FseqReader> sequence_;
    std::uint64_t frameMicros_;
};

// Opens FILE for the player: an FSEQ sequence when its name ends in ".fseq" (any case) or it
// begins like one, otherwise a DMX show file. The show's grid is kept in `cells`. Throws
// ShowError with a German message naming the file.
std::unique_ptr<PlaySource> OpenPlaySource(const std::string& path, std::unique_ptr<Grid>& cells);

} // namespace velkaro
