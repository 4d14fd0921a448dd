#include "audio/SongBeat.h"

#include "audio/SongPlayer.h"
#include "model/ShowError.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <sys/stat.h>

namespace velkaro {

namespace {

constexpr GstClockTime PullWait = 100 * GST_MSECOND;

std::string NotASong(const std::string& path, const std::string& why) {
    return "Die Datei " + path + " ist keine Musik, die Velkaro lesen kann" +
           (why.empty() ? std::string() : " (" + why + ")");
}

void LinkDecodedPad(GstElement*, GstPad* pad, gpointer convert) {
    GstPad* sink = gst_element_get_static_pad(static_cast<GstElement*>(convert), "sink");
    if (!gst_pad_is_linked(sink)) gst_pad_link(pad, sink);
    gst_object_unref(sink);
}

// decodebin, then down to one channel at the analysis rate.
class BeatDecoder {
public:
    explicit BeatDecoder(const std::string& path) : path_(path) {
        pipeline_ = gst_pipeline_new(nullptr);
        // Elements made but not added are few bytes, and only when a module is missing.
        GstElement* source = gst_element_factory_make("filesrc", nullptr);
        GstElement* decode = gst_element_factory_make("decodebin", nullptr);
        GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
        GstElement* resample = gst_element_factory_make("audioresample", nullptr);
        sink_ = gst_element_factory_make("appsink", nullptr);
        ready_ = source && decode && convert && resample && sink_;
        if (!ready_) return;
        g_object_set(source, "location", path.c_str(), nullptr);
        GstCaps* caps =
            gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, "F32LE", "channels",
                                G_TYPE_INT, 1, "rate", G_TYPE_INT, BeatAnalysisRate, nullptr);
        g_object_set(sink_, "caps", caps, "sync", FALSE, "max-buffers", 64u, nullptr);
        gst_caps_unref(caps);
        gst_bin_add_many(GST_BIN(pipeline_), source, decode, convert, resample, sink_, nullptr);
        gst_element_link(source, decode);
        gst_element_link_many(convert, resample, sink_, nullptr);
        g_signal_connect(decode, "pad-added", G_CALLBACK(LinkDecodedPad), convert);
    }
    ~BeatDecoder() {
        gst_element_set_state(pipeline_, GST_STATE_NULL);
        gst_object_unref(pipeline_);
    }
    BeatDecoder(const BeatDecoder&) = delete;
    BeatDecoder& operator=(const BeatDecoder&) = delete;

    std::vector<float> Run(const BeatProgress& progress) {
        if (!ready_) throw ShowError(NotASong(path_, "GStreamer-Module fehlen"));
        std::vector<float> samples;
        gst_element_set_state(pipeline_, GST_STATE_PLAYING);
        for (;;) {
            GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink_), PullWait);
            if (!sample) {
                if (const std::string why = Error(); !why.empty()) {
                    // The framework's own words are English and say little more.
                    if (samples.empty()) throw ShowError(NotASong(path_, {}));
                    break; // a damaged tail: the beat is found in what came before
                }
                if (gst_app_sink_is_eos(GST_APP_SINK(sink_))) break;
                continue;
            }
            Append(sample, samples);
            gst_sample_unref(sample);
            if (progress && !progress(Share(samples.size()))) break;
        }
        if (samples.empty()) throw ShowError(NotASong(path_, "sie enthält keinen Ton"));
        return samples;
    }

private:
    std::string Error() const {
        GstBus* bus = gst_element_get_bus(pipeline_);
        GstMessage* message = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR);
        gst_object_unref(bus);
        if (!message) return {};
        GError* error = nullptr;
        gst_message_parse_error(message, &error, nullptr);
        std::string why = error && error->message ? error->message : "Fehler beim Lesen";
        if (error) g_error_free(error);
        gst_message_unref(message);
        return why;
    }

    static void Append(GstSample* sample, std::vector<float>& samples) {
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        GstMapInfo map;
        if (!buffer || !gst_buffer_map(buffer, &map, GST_MAP_READ)) return;
        const auto* data = reinterpret_cast<const float*>(map.data);
        samples.insert(samples.end(), data, data + map.size / sizeof(float));
        gst_buffer_unmap(buffer, &map);
    }

    double Share(std::size_t samples) {
        if (length_ <= 0) gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &length_);
        if (length_ <= 0) return 0.0;
        return std::min(1.0, double(samples) / BeatAnalysisRate / (double(length_) / GST_SECOND));
    }

    std::string path_;
    GstElement* pipeline_ = nullptr;
    GstElement* sink_ = nullptr;
    gint64 length_ = 0;
    bool ready_ = false;
};

} // namespace

std::vector<float> DecodeForBeat(const std::string& path, const BeatProgress& progress) {
    struct stat facts {};
    if (::stat(path.c_str(), &facts) != 0 || !S_ISREG(facts.st_mode))
        throw ShowError("Die Musikdatei " + path + " wurde nicht gefunden");
    if (!StartMediaFramework()) throw ShowError(NotASong(path, "GStreamer startet nicht"));
    return BeatDecoder(path).Run(progress);
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
