// Decoding a song file to samples for the waveform and the beat finder.
#include "audio/SongDecoding.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

namespace velkaro {

namespace {

constexpr GstClockTime PullWait = 100 * GST_MSECOND;

void LinkDecodedPad(GstElement*, GstPad* pad, gpointer convert) {
    GstPad* sink = gst_element_get_static_pad(static_cast<GstElement*>(convert), "sink");
    if (!gst_pad_is_linked(sink)) gst_pad_link(pad, sink);
    gst_object_unref(sink);
}

// filesrc ! decodebin ! audioconvert ! audioresample ! appsink, unsynchronised.
class Decoder {
public:
    Decoder(const std::string& path, const std::string& caps) {
        pipeline_ = gst_pipeline_new(nullptr);
        // Elements made but not added are few bytes, and only when a module is missing.
        GstElement* source = gst_element_factory_make("filesrc", nullptr);
        GstElement* decode = gst_element_factory_make("decodebin", nullptr);
        GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
        GstElement* resample = gst_element_factory_make("audioresample", nullptr);
        sink_ = gst_element_factory_make("appsink", nullptr);
        ready_ = pipeline_ && source && decode && convert && resample && sink_;
        if (!ready_) return;
        g_object_set(source, "location", path.c_str(), nullptr);
        GstCaps* format = gst_caps_from_string(caps.c_str());
        g_object_set(sink_, "caps", format, "sync", FALSE, "max-buffers", 64u, nullptr);
        gst_caps_unref(format);
        gst_bin_add_many(GST_BIN(pipeline_), source, decode, convert, resample, sink_, nullptr);
        gst_element_link(source, decode);
        gst_element_link_many(convert, resample, sink_, nullptr);
        g_signal_connect(decode, "pad-added", G_CALLBACK(LinkDecodedPad), convert);
    }
    ~Decoder() {
        if (!pipeline_) return;
        gst_element_set_state(pipeline_, GST_STATE_NULL);
        gst_object_unref(pipeline_);
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    DecodeEnd Run(const std::function<bool(const DecodedPiece&)>& take,
                  const std::function<bool()>& keepGoing) {
        if (!ready_) return DecodeEnd::ModulesMissing;
        gst_element_set_state(pipeline_, GST_STATE_PLAYING);
        for (;;) {
            if (keepGoing && !keepGoing()) return DecodeEnd::Stopped;
            GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink_), PullWait);
            if (!sample) {
                if (Failed()) return DecodeEnd::Failed;
                if (gst_app_sink_is_eos(GST_APP_SINK(sink_))) return DecodeEnd::Finished;
                continue;
            }
            const bool more = Hand(sample, take);
            gst_sample_unref(sample);
            if (!more) return DecodeEnd::Stopped;
        }
    }

private:
    bool Failed() const {
        GstBus* bus = gst_element_get_bus(pipeline_);
        GstMessage* error = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR);
        gst_object_unref(bus);
        if (error) gst_message_unref(error);
        return error != nullptr;
    }

    bool Hand(GstSample* sample, const std::function<bool(const DecodedPiece&)>& take) {
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        GstMapInfo map;
        if (!buffer || !gst_buffer_map(buffer, &map, GST_MAP_READ)) return true;
        DecodedPiece piece;
        piece.Samples = reinterpret_cast<const float*>(map.data);
        piece.Count = map.size / sizeof(float);
        if (GstCaps* caps = gst_sample_get_caps(sample)) {
            const GstStructure* format = gst_caps_get_structure(caps, 0);
            gst_structure_get_int(format, "rate", &piece.Rate);
            gst_structure_get_int(format, "channels", &piece.Channels);
        }
        if (length_ <= 0) gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &length_);
        piece.SongLengthNs = length_ > 0 ? length_ : 0;
        const bool more = take(piece);
        gst_buffer_unmap(buffer, &map);
        return more;
    }

    GstElement* pipeline_ = nullptr;
    GstElement* sink_ = nullptr;
    gint64 length_ = 0;
    bool ready_ = false;
};

} // namespace

DecodeEnd DecodeSong(const std::string& path, const std::string& caps,
                     const std::function<bool(const DecodedPiece&)>& take,
                     const std::function<bool()>& keepGoing) {
    return Decoder(path, caps).Run(take, keepGoing);
}

} // namespace velkaro
