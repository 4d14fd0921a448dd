#pragma once

#include "audio/BeatClick.h"
#include "model/SeqLockSlot.h"
#include "model/SoundClock.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

typedef struct _GstElement GstElement;
typedef struct _GstBus GstBus;
typedef struct _GstMessage GstMessage;
typedef struct _GstPad GstPad;
typedef struct _GstEvent GstEvent;
typedef struct _GstPadProbeInfo GstPadProbeInfo;

namespace velkaro {

// Plays a song (WAV, FLAC, Ogg Vorbis, Opus, MP3) through the sound server and tells where the
// sound is. The position is the one the sink plays, so the show that follows it keeps the
// sound card's pace, not the processor's. Any speed keeps the pitch.
//
// Window and player call the transport from their thread; ShowTime is safe from any thread and
// never waits: a thread of the player's own asks the media framework (which takes locks and
// allocates) every 20 ms, and ShowTime carries its newest answer on to now.
class SongPlayer : public SoundClock {
public:
    // Whether the song can sound a click on the beat (the editor's aid; a player needs none, and
    // without it the sound goes to the sink as it was decoded).
    enum class BeatClicks { Never, Offered };

    // An empty sink description plays through the system's usual output (PipeWire, PulseAudio
    // or ALSA, whichever answers); otherwise a GStreamer sink such as "alsasink device=hw:0".
    // Opens and prerolls the song: a file that cannot be played throws ShowError in German.
    explicit SongPlayer(const std::string& path, const std::string& sinkDescription = {},
                        BeatClicks clicks = BeatClicks::Never);
    ~SongPlayer() override;
    SongPlayer(const SongPlayer&) = delete;
    SongPlayer& operator=(const SongPlayer&) = delete;

    const std::string& Path() const { return path_; }
    // The song's length; 0 when the file does not tell.
    Duration Length() const { return length_; }

    // Where in the song step 0 starts, and how much later than the sound the lights follow.
    void SetShowPlacement(Duration songStart, Duration lightsLater);
    // Starts the sound at `showTime` (see ShowTime) at `percent` of its speed, pitch kept.
    void PlayFrom(Duration showTime, int percent);
    // Holds the sound where it is.
    void Pause();
    // A new speed while playing goes on from where the sound is.
    void SetSpeed(int percent);
    bool IsPlaying() const { return wantPlaying_.load(std::memory_order_relaxed); }

    std::optional<Duration> ShowTime() override;
    // The song's own position as the sink plays it, whether running or not.
    std::optional<Duration> SongPosition() const;
    // Whether the sound ran to the song's end.
    bool Ended() const { return ended_.load(std::memory_order_acquire); }
    // The last error the media framework reported while playing; empty when none.
    std::string PlayError() const;
    // A click at every beat of `grid` in the song, at any speed, where clicks are offered;
    // nullopt: none. Takes effect with the sound not yet handed to the sink, a fraction of a
    // second later.
    void SetBeatClick(std::optional<BeatGrid> grid);

private:
    // Where the sink was at a moment of the steady clock, in a transport epoch.
    struct Sample {
        std::uint64_t Epoch = 0;
        bool Sounding = false;
        std::int64_t PositionNs = 0;
        std::int64_t TakenNs = 0;
        int Percent = 100;
    };

    // Where the song's stream is at the click point.
    struct StreamSegment {
        int Rate = 0;
        int Channels = 0;
        std::int64_t StartNs = 0;
        std::int64_t TimeNs = 0;
        double Speed = 1.0;
        bool Anchored = false;
        std::int64_t AnchorNs = 0; // where in the song the first sample after a seek sounds
        std::int64_t FramesSinceAnchor = 0;
    };

    static int OnBusMessage(GstBus* bus, GstMessage* message, void* self);
    static int OnSoundForSink(GstPad* pad, GstPadProbeInfo* info, void* self);
    GstElement* MakeSink(const std::string& description, BeatClicks clicks);
    void FollowStream(GstEvent* event);
    void MixClicks(GstPadProbeInfo* info);
    void Seek(Duration songPosition, int percent);
    bool Settled() const;
    void SampleSink();

    std::string path_;
    GstElement* pipeline_ = nullptr;
    Duration length_{0};
    std::atomic<std::int64_t> songStartNs_{0};
    std::atomic<std::int64_t> lightsLaterNs_{0};
    std::atomic<int> percent_{100};
    std::atomic<bool> wantPlaying_{false};
    std::atomic<bool> ended_{false};
    // Seeks asked for and settled: the sink reports the new place only once they match.
    std::atomic<std::uint32_t> seeksAsked_{0};
    std::atomic<std::uint32_t> seeksSettled_{0};
    // Counts every change of the transport; a sample of an older one is no longer true.
    std::atomic<std::uint64_t> epoch_{1};
    SeqLockSlot<Sample> sample_;
    SeqLockSlot<BeatGrid> clickGrid_; // no period: no click
    // Only on the song's streaming thread.
    StreamSegment stream_;
    std::atomic<bool> quit_{false};
    std::thread sampler_;
    mutable std::mutex errorMutex_;
    std::string playError_;
};

// Starts the media framework once; false when it cannot start.
bool StartMediaFramework();

} // namespace velkaro
