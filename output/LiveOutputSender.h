#pragma once

#include "model/DmxFrame.h"
#include "output/FrameSink.h"
#include "output/RealTime.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

namespace velkaro {

class OlaLink;

enum class LiveOutputStatus {
    Off,            // live output is switched off
    Connected,      // olad takes the frames and answers
    NoConnection,   // switched on, but olad has not answered yet (missing, refusing, stopped)
    ConnectionLost, // olad answered since the last Start, then died, stopped or closed
};

// Hands DMX frames to olad, the OLA daemon, on this machine. A background thread owns the
// connection; every public method only touches a small shared slot under a short lock and
// returns at once, whatever olad does, so the window's thread can call them from its timers.
// Frames take no lock at all: they come from the engine's real-time thread, which must never
// wait for a lock the window's thread holds, and go through a triple buffer.
//
// The thread sends the newest submitted frame as soon as it can and drops frames that a newer
// one replaced before they went out. It connects to 127.0.0.1:port, never starts olad itself,
// retries every half second while olad is missing and asks olad for an answer every half
// second while connected: a daemon that leaves a question unanswered for 1.5 s (stopped,
// hanging) counts as lost and is connected to afresh. Writing into a connection that olad
// dropped raises no SIGPIPE: the library writes with MSG_NOSIGNAL, and the sender's thread
// blocks SIGPIPE besides, without touching the rest of the program's signal handling.
//
// The thread asks for the same real-time scheduling as the playback engine that feeds it: a
// frame the engine rendered on time must not then wait for the core.
//
// Not copyable. Every method is safe from any thread; the engine sends from its own.
class LiveOutputSender : public FrameSink {
public:
    static constexpr int DefaultPort = 9010; // olad's RPC port unless told otherwise

    // Starts the idle sender thread; nothing is connected before Start. port: 1..65535.
    explicit LiveOutputSender(int port = DefaultPort);
    // Switches off as Stop does (the blackout goes out if olad takes it at once) and ends the
    // thread; returns within a few milliseconds even when olad hangs.
    ~LiveOutputSender() override;
    LiveOutputSender(const LiveOutputSender&) = delete;
    LiveOutputSender& operator=(const LiveOutputSender&) = delete;

    // Switches live output on for `universe` (negative counts as 0). Until the first Submit
    // the lamps get an all-zero frame. Calling it while on only changes the universe.
    void Start(int universe);
    // Switches off: one all-zero frame (blackout) goes to the universe that got the last
    // frame, then nothing more until the next Start. Status turns Off at once.
    void Stop();
    // Switches off as Stop does and, when olad was connected, waits until olad has taken the
    // blackout, at most `longest`: a program may then end, which resets the connection and
    // would make olad drop a blackout still unread. True when olad confirmed it.
    bool StopAndConfirmBlackout(std::chrono::milliseconds longest);
    // Moves the output to another universe: the old one is blacked out, the newest frame goes
    // to the new one. Also allowed while off; it is used by the next Start then.
    void SetUniverse(int universe);
    // Offers the frame the lamps should show now. Copies 512 bytes and wakes the thread; never
    // waits for olad, takes no lock, allocates nothing. Ignored while off. Submit and
    // SubmitFade come from one thread at a time.
    void Submit(const DmxFrame& frame);
    // The engine's frames: Submit.
    void Send(const DmxFrame& frame) override { Submit(frame); }
    // Offers a moment of a fade; the sender's thread blends it. Copies two frames, never waits.
    void SubmitFade(const DmxFade& fade);

    LiveOutputStatus Status() const { return status_.load(); }
    bool IsOn() const;
    int Universe() const;
    int Port() const { return port_; }
    // What the sender's thread was granted; None until it asked.
    RealTimeGrant Grant() const { return grant_.load(); }

    // Diagnostics: frames written to olad (also repeats and blackouts) and submitted frames
    // that a newer one replaced before they were sent, since construction.
    std::uint64_t FramesSent() const { return framesSent_.load(); }
    std::uint64_t FramesDropped() const { return framesDropped_.load(); }

private:
    struct Orders; // what the thread has to do next, taken from the shared slot
    class Worker;

    Orders TakeOrders(DmxFade& newest);
    void Publish(unsigned epoch, LiveOutputStatus status);
    void Run();
    void WakeWorker(std::unique_lock<std::mutex>& lock);
    void WakeThread();
    void HandOver();

    const int port_;
    std::unique_ptr<OlaLink> link_;

    mutable std::mutex mutex_; // guards everything below up to the atomics
    bool on_ = false;
    bool quit_ = false;
    bool blackout_ = false;  // Stop asked the thread to black out
    bool startDark_ = false; // Start asked for an all-zero frame until the first one comes
    int universe_ = 0;
    unsigned epoch_ = 0; // counts the Starts, so a status of an older run is not published

    // Not under the mutex: the frames offered, as a triple buffer. The submitter fills its copy
    // and swaps it in as the newest; the thread swaps the newest out for the one it took.
    struct Offer {
        DmxFade Fade{};
        unsigned Epoch = 0; // the run of live output it was offered in
    };
    static constexpr unsigned OfferIndex = 3u;
    static constexpr unsigned FreshOffer = 4u; // the middle copy was not taken yet
    std::array<Offer, 3> offers_{};
    unsigned offerBack_ = 0;  // the submitter's
    unsigned offerFront_ = 1; // the thread's
    std::atomic<unsigned> offerMiddle_{2};
    std::atomic<unsigned> onEpoch_{0}; // the run frames belong to now; 0 while off
    std::atomic<bool> wakePending_{false};

    std::atomic<LiveOutputStatus> status_{LiveOutputStatus::Off};
    std::atomic<std::uint64_t> framesSent_{0};
    std::atomic<std::uint64_t> framesDropped_{0};
    std::atomic<std::uint64_t> blackoutsConfirmed_{0};
    std::atomic<RealTimeGrant> grant_{RealTimeGrant::None};
    std::thread thread_;
};

} // namespace velkaro
