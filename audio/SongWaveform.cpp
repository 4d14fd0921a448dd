#include "audio/SongWaveform.h"

#include "audio/SongPlayer.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <algorithm>

namespace velkaro {

namespace {

// How often the window hears of new peaks: every few seconds of song.
constexpr std::size_t BucketsPerReport = 300;
constexpr GstClockTime PullWait = 100 * GST_MSECOND;

void LinkDecodedPad(GstElement*, GstPad* pad, gpointer convert) {
    GstPad* sink = gst_element_get_static_pad(static_cast<GstElement*>(convert), "sink");
    if (!gst_pad_is_linked(sink)) gst_pad_link(pad, sink);
    gst_object_unref(sink);
}

} // namespace

// Decodes the song to float samples as fast as the processor allows and folds them into
// buckets of 10 ms.
class SongWaveform::Decoder {
public:
    Decoder(SongWaveform& waveform, const std::string& path) : waveform_(waveform) {
        pipeline_ = gst_pipeline_new(nullptr);
        GstElement* source = gst_element_factory_make("filesrc", nullptr);
        GstElement* decode = gst_element_factory_make("decodebin", nullptr);
        GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
        sink_ = gst_element_factory_make("appsink", nullptr);
        if (!source || !decode || !convert || !sink_) return;
        g_object_set(source, "location", path.c_str(), nullptr);
        GstCaps* caps = gst_caps_from_string("audio/x-raw,format=F32LE,layout=interleaved");
        g_object_set(sink_, "caps", caps, "sync", FALSE, "max-buffers", 64u, nullptr);
        gst_caps_unref(caps);
        gst_bin_add_many(GST_BIN(pipeline_), source, decode, convert, sink_, nullptr);
        gst_element_link(source, decode);
        gst_element_link(convert, sink_);
        g_signal_connect(decode, "pad-added", G_CALLBACK(LinkDecodedPad), convert);
        ready_ = true;
    }
    ~Decoder() {
        gst_element_set_state(pipeline_, GST_STATE_NULL);
        gst_object_unref(pipeline_);
    }

    void Run() {
        if (!ready_) return;
        gst_element_set_state(pipeline_, GST_STATE_PLAYING);
        while (!waveform_.stop_.load(std::memory_order_relaxed)) {
            GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink_), PullWait);
            if (!sample) {
                if (gst_app_sink_is_eos(GST_APP_SINK(sink_)) || Failed()) break;
                continue;
            }
            const bool more = Fold(sample);
            gst_sample_unref(sample);
            if (!more) break;
        }
        if (filled_ > 0) waveform_.Append(current_);
    }

private:
    bool Failed() const {
        GstBus* bus = gst_element_get_bus(pipeline_);
        GstMessage* error = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR);
        gst_object_unref(bus);
        if (error) gst_message_unref(error);
        return error != nullptr;
    }

    bool Fold(GstSample* sample) {
        ReadFormat(sample);
        GstMapInfo map;
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        if (!buffer || !gst_buffer_map(buffer, &map, GST_MAP_READ)) return true;
        const auto* samples = reinterpret_cast<const float*>(map.data);
        const std::size_t count = map.size / sizeof(float);
        bool more = true;
        for (std::size_t i = 0; i < count && more; ++i) {
            const float value = samples[i];
            if (filled_ == 0) current_ = {value, value};
            current_.Low = std::min(current_.Low, value);
            current_.High = std::max(current_.High, value);
            if (++filled_ == samplesPerBucket_) more = Flush();
        }
        gst_buffer_unmap(buffer, &map);
        return more;
    }

    bool Flush() {
        filled_ = 0;
        if (!waveform_.Append(current_)) return false;
        if (waveform_.Buckets() % BucketsPerReport == 0 && waveform_.decoded_) waveform_.decoded_();
        return true;
    }

    void ReadFormat(GstSample* sample) {
        if (samplesPerBucket_ != 0) return;
        const GstStructure* format = gst_caps_get_structure(gst_sample_get_caps(sample), 0);
        int rate = 44100;
        int channels = 2;
        gst_structure_get_int(format, "rate", &rate);
        gst_structure_get_int(format, "channels", &channels);
        samplesPerBucket_ = std::max<std::size_t>(1, std::size_t(std::max(rate, 100) / 100) *
                                                         std::size_t(std::max(channels, 1)));
    }

    SongWaveform& waveform_;
    GstElement* pipeline_ = nullptr;
    GstElement* sink_ = nullptr;
    bool ready_ = false;
    std::size_t samplesPerBucket_ = 0;
    std::size_t filled_ = 0;
    SongPeaks current_;
};

SongWaveform::SongWaveform(const std::string& path, std::function<void()> decoded)
    : decoded_(std::move(decoded)) {
    StartMediaFramework();
    thread_ = std::thread([this, path] {
        {
            Decoder decoder(*this, path);
            decoder.Run();
        }
        finished_.store(true, std::memory_order_release);
        if (decoded_) decoded_();
    });
}

SongWaveform::~SongWaveform() {
    stop_.store(true);
    thread_.join();
}

bool SongWaveform::Append(const SongPeaks& peaks) {
    const std::size_t index = buckets_.load(std::memory_order_relaxed);
    const std::size_t block = index / BlockBuckets;
    if (block >= MaxBlocks) return false;
    if (!blocks_[block]) blocks_[block] = std::make_unique<Block>();
    (*blocks_[block])[index % BlockBuckets] = peaks;
    buckets_.store(index + 1, std::memory_order_release);
    return true;
}

bool SongWaveform::PeaksBetween(Duration from, Duration to, SongPeaks& peaks) const {
    const std::size_t ready = Buckets();
    if (to <= from || to <= Duration(0)) return false;
    const auto first = std::size_t(std::max<std::int64_t>(from / BucketLength, 0));
    const auto end = std::min(ready, std::size_t((to + BucketLength - Duration(1)) / BucketLength));
    if (first >= end) return false;
    peaks = (*blocks_[first / BlockBuckets])[first % BlockBuckets];
    for (std::size_t i = first + 1; i < end; ++i) {
        const SongPeaks& bucket = (*blocks_[i / BlockBuckets])[i % BlockBuckets];
        peaks.Low = std::min(peaks.Low, bucket.Low);
        peaks.High = std::max(peaks.High, bucket.High);
    }
    return true;
}

} // namespace velkaro
