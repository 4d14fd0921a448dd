#include "audio/SongPlayer.h"

#include "model/ShowError.h"

#include <gst/gst.h>

#include <algorithm>
#include <cmath>
#include <sys/stat.h>

namespace velkaro {

namespace {

// playbin's flag for decoding audio only: no video or subtitles are looked for.
constexpr unsigned AudioOnly = 0x2;
// Opening decodes the song's first buffers; a slow network folder may take a while.
constexpr GstClockTime OpenTimeout = 10 * GST_SECOND;

std::string CannotPlay(const std::string& path, const std::string& why) {
    return "Die Musikdatei " + path + " kann nicht abgespielt werden" +
           (why.empty() ? std::string() : " (" + why + ")");
}

std::int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A sound output wakes every 10 ms unless told otherwise; every 20 ms, as often as the lamps
// get a frame, halves its cost and changes nothing heard. A period the sink description sets
// is kept.
void WakeSinkLessOften(GstBin*, GstBin*, GstElement* element, gpointer) {
    constexpr gint64 UsualPeriodUs = 10'000;
    constexpr gint64 PeriodUs = 20'000;
    GParamSpec* period = g_object_class_find_property(G_OBJECT_GET_CLASS(element), "latency-time");
    if (!period || period->value_type != G_TYPE_INT64) return;
    gint64 now = 0;
    g_object_get(element, "latency-time", &now, nullptr);
    if (now == UsualPeriodUs) g_object_set(element, "latency-time", PeriodUs, nullptr);
}

double RateOf(int percent) {
    return std::clamp(percent, 1, 1000) / 100.0;
}

} // namespace

bool StartMediaFramework() {
    static const bool started = gst_init_check(nullptr, nullptr, nullptr);
    return started;
}

SongPlayer::SongPlayer(const std::string& path, const std::string& sinkDescription,
                       BeatClicks clicks)
    : path_(path) {
    struct stat facts {};
    if (::stat(path.c_str(), &facts) != 0 || !S_ISREG(facts.st_mode))
        throw ShowError("Die Musikdatei " + path + " wurde nicht gefunden");
    if (!StartMediaFramework()) throw ShowError(CannotPlay(path, "GStreamer startet nicht"));
    GstElement* sink = MakeSink(sinkDescription, clicks);
    GstElement* tempo = gst_element_factory_make("scaletempo", nullptr);
    pipeline_ = gst_element_factory_make("playbin", nullptr);
    if (!pipeline_ || !tempo || !sink) {
        for (GstElement* element : {pipeline_, tempo, sink})
            if (element) gst_object_unref(element);
        pipeline_ = nullptr;
        throw ShowError(CannotPlay(path, "GStreamer-Module fehlen"));
    }
    gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
    g_object_set(pipeline_, "uri", uri, "flags", AudioOnly, "audio-filter", tempo, "audio-sink",
                 sink, nullptr);
    g_free(uri);
    g_signal_connect(pipeline_, "deep-element-added", G_CALLBACK(WakeSinkLessOften), nullptr);
    GstBus* bus = gst_element_get_bus(pipeline_);
    gst_bus_set_sync_handler(
        bus,
        [](GstBus* b, GstMessage* m, gpointer self) {
            return static_cast<GstBusSyncReply>(OnBusMessage(b, m, self));
        },
        this, nullptr);
    gst_object_unref(bus);
    seeksAsked_ = 1; // the preroll settles like a seek
    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    if (gst_element_get_state(pipeline_, nullptr, nullptr, OpenTimeout) !=
        GST_STATE_CHANGE_SUCCESS) {
        const std::string why = PlayError();
        gst_element_set_state(pipeline_, GST_STATE_NULL);
        gst_object_unref(pipeline_);
        pipeline_ = nullptr;
        throw ShowError(CannotPlay(path, why));
    }
    gint64 length = 0;
    if (gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &length) && length > 0)
        length_ = Duration(length);
    sampler_ = std::thread([this] { SampleSink(); });
}

SongPlayer::~SongPlayer() {
    quit_ = true;
    if (sampler_.joinable()) sampler_.join();
    if (!pipeline_) return;
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    gst_object_unref(pipeline_);
}

int SongPlayer::OnBusMessage(GstBus*, GstMessage* message, void* self) {
    auto& player = *static_cast<SongPlayer*>(self);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ASYNC_DONE:
        player.seeksSettled_.store(player.seeksAsked_.load());
        break;
    case GST_MESSAGE_EOS:
        player.ended_.store(true, std::memory_order_release);
        break;
    case GST_MESSAGE_ERROR: {
        GError* error = nullptr;
        gst_message_parse_error(message, &error, nullptr);
        std::lock_guard lock(player.errorMutex_);
        player.playError_ = error ? error->message : "unbekannter Fehler";
        if (error) g_error_free(error);
        break;
    }
    default:
        break;
    }
    // Nobody pops the bus: every message is handled here, on the thread that posts it.
    gst_message_unref(message);
    return GST_BUS_DROP;
}

// Where clicks are offered, the sink takes the sound as floating-point samples at a point just
// before it, where the clicks are mixed in: after the speed changer, so that a click is neither
// stretched with the song nor dropped from it when faster, and after the player's queue of a
// second, so that a click switched on or off is heard as soon as the sink's own buffer has played.
GstElement* SongPlayer::MakeSink(const std::string& description, BeatClicks clicks) {
    std::string chain = clicks == BeatClicks::Offered
                            ? "audioconvert ! capsfilter name=clickpoint "
                              "caps=audio/x-raw,format=F32LE,layout=interleaved ! audioconvert ! "
                            : "";
    chain.append(description.empty() ? std::string("autoaudiosink") : description);
    GError* error = nullptr;
    GstElement* sink = gst_parse_bin_from_description(chain.c_str(), TRUE, &error);
    if (error) {
        const std::string why = error->message;
        g_error_free(error);
        if (sink) gst_object_unref(sink);
        throw ShowError("Die Tonausgabe \"" + description + "\" gibt es nicht (" + why + ")");
    }
    GstElement* clickPoint = gst_bin_get_by_name(GST_BIN(sink), "clickpoint");
    if (!clickPoint) return sink;
    GstPad* pad = gst_element_get_static_pad(clickPoint, "src");
    gst_pad_add_probe(
        pad, GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
        [](GstPad* p, GstPadProbeInfo* info, gpointer self) {
            return static_cast<GstPadProbeReturn>(OnSoundForSink(p, info, self));
        },
        this, nullptr);
    gst_object_unref(pad);
    gst_object_unref(clickPoint);
    return sink;
}

int SongPlayer::OnSoundForSink(GstPad*, GstPadProbeInfo* info, void* self) {
    auto& player = *static_cast<SongPlayer*>(self);
    if ((GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) != 0)
        player.MixClicks(info);
    else if (GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info))
        player.FollowStream(event);
    return GST_PAD_PROBE_OK;
}

void SongPlayer::FollowStream(GstEvent* event) {
    if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
        GstCaps* caps = nullptr;
        gst_event_parse_caps(event, &caps);
        const GstStructure* format = caps ? gst_caps_get_structure(caps, 0) : nullptr;
        if (!format || !gst_structure_get_int(format, "rate", &stream_.Rate) ||
            !gst_structure_get_int(format, "channels", &stream_.Channels))
            stream_.Rate = stream_.Channels = 0;
    } else if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
        const GstSegment* segment = nullptr;
        gst_event_parse_segment(event, &segment);
        // The speed changer hands on a segment at rate 1 that tells the song's speed.
        if (segment && segment->format == GST_FORMAT_TIME) {
            stream_.StartNs = std::int64_t(segment->start);
            stream_.TimeNs = std::int64_t(segment->time);
            stream_.Speed = std::abs(segment->rate * segment->applied_rate);
            stream_.Anchored = false;
        }
    }
}

// The speed changer's timestamps wander by a good part of its 30 ms stride, but its samples
// play the song on at exactly its speed: a click's place in the song is counted in samples
// from the first after a seek.
void SongPlayer::MixClicks(GstPadProbeInfo* info) {
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    if (!buffer || stream_.Rate <= 0 || stream_.Channels <= 0) return;
    const gsize frames = gst_buffer_get_size(buffer) / (sizeof(float) * stream_.Channels);
    if (!stream_.Anchored || GST_BUFFER_IS_DISCONT(buffer)) {
        if (!GST_BUFFER_PTS_IS_VALID(buffer)) return;
        const double intoSegment = double(std::int64_t(GST_BUFFER_PTS(buffer)) - stream_.StartNs);
        stream_.AnchorNs = stream_.TimeNs + std::llround(intoSegment * stream_.Speed);
        stream_.FramesSinceAnchor = 0;
        stream_.Anchored = true;
    }
    const SoundPlace place{stream_.AnchorNs + std::llround(double(stream_.FramesSinceAnchor) * 1e9 *
                                                           stream_.Speed / stream_.Rate),
                           stream_.Speed};
    stream_.FramesSinceAnchor += std::int64_t(frames);
    const BeatGrid grid = clickGrid_.Load();
    if (!(grid.PeriodNs > 0)) return;
    buffer = gst_buffer_make_writable(buffer);
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READWRITE)) return;
    MixBeatClicks(reinterpret_cast<float*>(map.data), frames, stream_.Channels, stream_.Rate, place,
                  grid);
    gst_buffer_unmap(buffer, &map);
}

void SongPlayer::SetBeatClick(std::optional<BeatGrid> grid) {
    clickGrid_.Store(grid.value_or(BeatGrid{}));
}

void SongPlayer::SetShowPlacement(Duration songStart, Duration lightsLater) {
    songStartNs_.store(songStart.count());
    lightsLaterNs_.store(lightsLater.count());
}

// The state changes before the epoch does: a sampler that sees the new epoch sees them too.
void SongPlayer::Seek(Duration songPosition, int percent) {
    percent_ = percent;
    ended_ = false;
    seeksAsked_.fetch_add(1);
    epoch_.fetch_add(1);
    const gint64 position = std::max<gint64>(songPosition.count(), 0);
    gst_element_seek(pipeline_, RateOf(percent), GST_FORMAT_TIME,
                     GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), GST_SEEK_TYPE_SET,
                     position, GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE);
}

void SongPlayer::PlayFrom(Duration showTime, int percent) {
    wantPlaying_ = true;
    Seek(showTime + Duration(songStartNs_.load()), percent);
    gst_element_set_state(pipeline_, GST_STATE_PLAYING);
}

void SongPlayer::Pause() {
    wantPlaying_ = false;
    epoch_.fetch_add(1);
    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
}

void SongPlayer::SetSpeed(int percent) {
    if (percent == percent_.load()) return;
    const std::optional<Duration> position = SongPosition();
    Seek(position.value_or(Duration(0)), percent);
}

bool SongPlayer::Settled() const {
    if (seeksSettled_.load() != seeksAsked_.load()) return false;
    GstState state = GST_STATE_VOID_PENDING;
    GstState pending = GST_STATE_VOID_PENDING;
    gst_element_get_state(pipeline_, &state, &pending, 0);
    return state == GST_STATE_PLAYING && pending == GST_STATE_VOID_PENDING;
}

std::optional<SoundClock::Duration> SongPlayer::SongPosition() const {
    gint64 position = 0;
    if (!gst_element_query_position(pipeline_, GST_FORMAT_TIME, &position)) return std::nullopt;
    return Duration(position);
}

// Every 20 ms, as often as the lamps get a frame: the sound card's clock and the processor's
// part by a few parts in a million, so carrying a sample on to now stays within a microsecond
// of the sink's own clock. Asking four times as often cost a whole point of a core.
void SongPlayer::SampleSink() {
    while (!quit_.load()) {
        Sample sample;
        sample.Epoch = epoch_.load();
        sample.Percent = percent_.load();
        sample.Sounding = wantPlaying_.load() && !ended_.load() && Settled();
        if (sample.Sounding) {
            const std::optional<Duration> position = SongPosition();
            sample.Sounding = position.has_value();
            sample.PositionNs = position.value_or(Duration(0)).count();
        }
        sample.TakenNs = NowNs();
        sample_.Store(sample);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::optional<SoundClock::Duration> SongPlayer::ShowTime() {
    // Samples older than this come from a sampler that was held up: better wait than guess.
    constexpr std::int64_t StaleNs = 100'000'000;
    const Sample sample = sample_.Load();
    if (!sample.Sounding || sample.Epoch != epoch_.load()) return std::nullopt;
    const std::int64_t since = NowNs() - sample.TakenNs;
    if (since < 0 || since > StaleNs) return std::nullopt;
    const Duration position(sample.PositionNs + since * sample.Percent / 100);
    return position - Duration(songStartNs_.load()) - Duration(lightsLaterNs_.load());
}

std::string SongPlayer::PlayError() const {
    std::lock_guard lock(errorMutex_);
    return playError_;
}

} // namespace velkaro
