#include "output/LiveOutputSender.h"

#include "output/OlaLink.h"

#include <algorithm>
#include <csignal>
#include <pthread.h>
#include <thread>
#include <utility>

namespace velkaro {

namespace {

using Clock = OlaLink::Clock;
using std::chrono::milliseconds;

constexpr Clock::duration RetryInterval = milliseconds(500);
// How soon a frame that found the socket full is tried again.
constexpr Clock::duration FullSocketPause = milliseconds(5);
constexpr Clock::duration IdleWait = milliseconds(1000);

const DmxFrame Dark{};

constexpr int RealTimePriority = 9;

// A write to a connection that olad closed raises SIGPIPE, whose default ends the program.
// The signal goes to the writing thread, so blocking it here is enough.
void BlockBrokenPipeSignal() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

} // namespace

struct LiveOutputSender::Orders {
    bool On = false;
    bool Quit = false;
    bool Blackout = false;
    bool Fresh = false;
    int Universe = 0;
    unsigned Epoch = 0;
};

LiveOutputSender::LiveOutputSender(int port)
    : port_(port), link_(std::make_unique<OlaLink>(static_cast<std::uint16_t>(port))),
      thread_([this] { Run(); }) {}

LiveOutputSender::~LiveOutputSender() {
    {
        std::unique_lock lock(mutex_);
        quit_ = true;
        blackout_ = blackout_ || on_;
        on_ = false;
        onEpoch_.store(0, std::memory_order_release);
        WakeWorker(lock);
    }
    thread_.join();
    status_ = LiveOutputStatus::Off;
}

void LiveOutputSender::Start(int universe) {
    std::unique_lock lock(mutex_);
    universe_ = std::max(universe, 0);
    if (!on_) {
        on_ = true;
        ++epoch_;
        onEpoch_.store(epoch_, std::memory_order_release);
        startDark_ = true;
        status_ = LiveOutputStatus::NoConnection;
    }
    WakeWorker(lock);
}

void LiveOutputSender::Stop() {
    std::unique_lock lock(mutex_);
    if (!on_) return;
    on_ = false;
    onEpoch_.store(0, std::memory_order_release);
    blackout_ = true;
    startDark_ = false;
    status_ = LiveOutputStatus::Off;
    WakeWorker(lock);
}

bool LiveOutputSender::StopAndConfirmBlackout(std::chrono::milliseconds longest) {
    const bool connected = Status() == LiveOutputStatus::Connected;
    const std::uint64_t confirmed = blackoutsConfirmed_.load();
    Stop();
    if (!connected) return false;
    const auto deadline = Clock::now() + longest;
    while (blackoutsConfirmed_.load() == confirmed) {
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(milliseconds(2));
    }
    return true;
}

void LiveOutputSender::SetUniverse(int universe) {
    std::unique_lock lock(mutex_);
    universe_ = std::max(universe, 0);
    if (on_) WakeWorker(lock);
}

void LiveOutputSender::Submit(const DmxFrame& frame) {
    const unsigned epoch = onEpoch_.load(std::memory_order_acquire);
    if (epoch == 0) return;
    Offer& offer = offers_[offerBack_];
    offer.Fade.From = frame;
    offer.Fade.T = 0.0;
    offer.Epoch = epoch;
    HandOver();
}

void LiveOutputSender::SubmitFade(const DmxFade& fade) {
    const unsigned epoch = onEpoch_.load(std::memory_order_acquire);
    if (epoch == 0) return;
    Offer& offer = offers_[offerBack_];
    offer.Fade = fade;
    offer.Epoch = epoch;
    HandOver();
}

// Swaps the filled copy in as the newest; the one it replaces, if the thread never took it,
// was dropped.
void LiveOutputSender::HandOver() {
    const unsigned replaced = offerMiddle_.exchange(offerBack_ | FreshOffer);
    if (replaced & FreshOffer) framesDropped_.fetch_add(1, std::memory_order_relaxed);
    offerBack_ = replaced & OfferIndex;
    WakeThread();
}

bool LiveOutputSender::IsOn() const {
    return onEpoch_.load(std::memory_order_acquire) != 0;
}

int LiveOutputSender::Universe() const {
    std::lock_guard lock(mutex_);
    return universe_;
}

void LiveOutputSender::WakeWorker(std::unique_lock<std::mutex>& lock) {
    lock.unlock();
    WakeThread();
}

void LiveOutputSender::WakeThread() {
    // One wake per round of the thread is enough: it reads all it was given when it wakes.
    // Sequentially consistent, as the thread clears the mark before it looks at the offers.
    if (!wakePending_.exchange(true)) link_->Wake();
}

LiveOutputSender::Orders LiveOutputSender::TakeOrders(DmxFade& newest) {
    wakePending_.store(false);
    Orders orders;
    bool startDark = false;
    {
        std::lock_guard lock(mutex_);
        orders.On = on_;
        orders.Quit = quit_;
        orders.Blackout = std::exchange(blackout_, false);
        orders.Universe = universe_;
        orders.Epoch = epoch_;
        startDark = std::exchange(startDark_, false);
    }
    if (offerMiddle_.load() & FreshOffer) {
        offerFront_ = offerMiddle_.exchange(offerFront_) & OfferIndex;
        const Offer& offer = offers_[offerFront_];
        // A frame offered in an earlier run of live output is stale now.
        if (orders.On && offer.Epoch == orders.Epoch) {
            newest = offer.Fade;
            orders.Fresh = true;
        }
    }
    // Until the first frame of a run the lamps get an all-zero one.
    if (startDark && !orders.Fresh) {
        newest = DmxFade{};
        orders.Fresh = true;
    }
    return orders;
}

void LiveOutputSender::Publish(unsigned epoch, LiveOutputStatus status) {
    std::lock_guard lock(mutex_);
    if (on_ && epoch_ == epoch) status_ = status;
}

// What the sender's thread keeps between rounds; it lives on that thread only.
class LiveOutputSender::Worker {
public:
    explicit Worker(LiveOutputSender& owner) : owner_(owner), link_(*owner.link_) {}

    void Run() {
        for (;;) {
            const Orders orders = owner_.TakeOrders(taken_);
            // Blended here, outside the lock, so the window never waits for it.
            if (orders.Fresh) TakeUp();
            const Clock::time_point now = Clock::now();
            if (orders.Blackout && litUniverse_ >= 0) BlackOut(now);
            if (orders.Quit) return;
            if (!orders.On) {
                link_.Wait(IdleWait);
                owner_.blackoutsConfirmed_.store(link_.ConfirmedSends());
                continue;
            }
            if (orders.Epoch != epoch_) BeginRun(orders.Epoch, now);
            resend_ = resend_ || orders.Fresh;
            KeepConnected(now);
            const bool held = SendWhatIsDue(orders.Universe, now);
            owner_.Publish(epoch_, CurrentStatus(now));
            WaitForWork(held, now);
            owner_.blackoutsConfirmed_.store(link_.ConfirmedSends());
        }
    }

private:
    // A frame taken while the one before never went out (the socket full, olad away) replaces
    // it unsent: that one was dropped as surely as one the window replaced before it was taken.
    void TakeUp() {
        if (unsent_) owner_.framesDropped_.fetch_add(1, std::memory_order_relaxed);
        unsent_ = true;
        BlendDmx(taken_, current_);
    }

    void Send(int universe, const DmxFrame& frame, Clock::time_point now, bool confirm = false) {
        if (!link_.IsOpen()) return;
        link_.Send(static_cast<unsigned>(universe), frame, now, confirm);
        owner_.framesSent_.fetch_add(1, std::memory_order_relaxed);
    }

    // olad answers the blackout, so whoever ends the program can tell that it was taken.
    void BlackOut(Clock::time_point now) { Send(std::exchange(litUniverse_, -1), Dark, now, true); }

    void BeginRun(unsigned epoch, Clock::time_point now) {
        epoch_ = epoch;
        everAnswered_ = false;
        nextAttempt_ = now;
    }

    void KeepConnected(Clock::time_point now) {
        const bool wasOpen = link_.IsOpen();
        link_.Supervise(now);
        if (!link_.IsOpen() && !link_.IsConnecting() && now >= nextAttempt_) {
            link_.Connect(now);
            nextAttempt_ = now + RetryInterval;
        }
        // A new connection is a new source for olad, which knows nothing of the old frames.
        if (link_.IsOpen() && !wasOpen) resend_ = true;
    }

    // Sends the current frame when it is new, moved to another universe or a question to
    // olad is due. Returns true when the frame had to wait for room in the socket.
    bool SendWhatIsDue(int universe, Clock::time_point now) {
        if (!link_.IsOpen()) return false;
        if (litUniverse_ >= 0 && litUniverse_ != universe) BlackOut(now);
        const bool due = resend_ || litUniverse_ != universe || link_.QuestionDue(now);
        if (!due) return false;
        if (!link_.HasRoom()) {
            link_.NoteQuestionHeld(now);
            return true;
        }
        Send(universe, current_, now);
        litUniverse_ = universe;
        resend_ = false;
        unsent_ = false;
        return false;
    }

    LiveOutputStatus CurrentStatus(Clock::time_point now) {
        if (link_.Answered(now)) {
            everAnswered_ = true;
            return LiveOutputStatus::Connected;
        }
        return everAnswered_ ? LiveOutputStatus::ConnectionLost : LiveOutputStatus::NoConnection;
    }

    void WaitForWork(bool held, Clock::time_point now) {
        // A frame held for room carries the question that fell due; that deadline has passed
        // and would be waited for again and again, so only the pause counts then.
        Clock::time_point until =
            held ? now + FullSocketPause : std::min(link_.NextDeadline(now), now + IdleWait);
        if (!link_.IsOpen() && !link_.IsConnecting()) until = std::min(until, nextAttempt_);
        link_.Wait(std::max(until - now, Clock::duration::zero()));
    }

    LiveOutputSender& owner_;
    OlaLink& link_;
    DmxFade taken_{};
    DmxFrame current_{};
    int litUniverse_ = -1; // the universe our last frame went to; -1 when none or blacked out
    unsigned epoch_ = 0;
    bool everAnswered_ = false; // olad answered during this run of live output
    bool resend_ = false;       // current_ has not reached the open connection yet
    bool unsent_ = false;       // current_ was taken and has not been sent at all
    Clock::time_point nextAttempt_{};
};

void LiveOutputSender::Run() {
    BlockBrokenPipeSignal();
    pthread_setname_np(pthread_self(), "velkaro-sender");
    // One below the engine: when both want the core, the frame being rendered comes first.
    grant_ = RequestRealTimeForThisThread(RealTimePriority);
    Worker(*this).Run();
}

} // namespace velkaro
