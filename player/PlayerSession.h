#pragma once

#include "output/FrameSink.h"
#include "model/SoundClock.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace velkaro {

struct PlayerSessionOptions {
    int SpeedPercent = 100;   // 25..400, as the preview's speed
    std::uint64_t Passes = 0; // 0: until Stop
    // Called once the passes are played (or play failed), on a playing thread: keep it tiny.
    std::function<void()> OnFinished;
};

// What the headless player plays, whichever kind of file it is: a DMX show through the
// playback engine, as the editor plays it after loading it, or an FSEQ sequence frame by frame.
class PlayerSession {
public:
    virtual ~PlayerSession() = default;

    // Begins to play; frames go to the sink from now on.
    virtual void Start() = 0;
    // Any thread: no more frames from now on.
    virtual void Stop() = 0;
    virtual bool Finished() const = 0;
    // What ended play early, if anything did.
    virtual std::optional<std::string> Failure() const { return std::nullopt; }

    // Before Start: play follows the sound of a song instead of its own clock, for as long as
    // the song plays (whoever plays it decides when play ends).
    virtual void FollowSound(SoundClock& sound) = 0;
    // The song a sequence names for itself (its file name only); empty when it names none.
    virtual std::string MediaFile() const { return {}; }

    // For the status line: "Schritt" or "Bild", the one playing (from 0) and how many there are.
    virtual const char* UnitName() const = 0;
    virtual std::uint64_t Unit() const = 0;
    virtual std::uint64_t Units() const = 0;
};

// Opens the file for playing it to the sink: an FSEQ sequence when its name ends in
// ".fseq" (any case) or it begins like one, otherwise a DMX show file. Throws ShowError with a
// German message naming the file; nothing is sent before Start.
std::unique_ptr<PlayerSession> OpenPlayerSession(const std::string& path, FrameSink& sink,
                                                 const PlayerSessionOptions& options);

} // namespace velkaro
