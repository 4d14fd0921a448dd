#pragma once

#include "model/DmxFrame.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

namespace ola {
class DmxBuffer;
namespace client {
class OlaClient;
class Result;
} // namespace client
namespace io {
class SelectServer;
class UnmanagedFileDescriptor;
} // namespace io
namespace network {
class TCPSocket;
}
} // namespace ola

namespace velkaro {

// One connection to olad's RPC port on this machine. Only the sender's thread drives it, and
// nothing in it blocks: it connects without waiting, writes only while the socket has room,
// and never waits for olad's answers. olad must answer a question now and then, because a
// stopped daemon keeps accepting bytes into the socket long after it stopped reading them.
class OlaLink {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::duration ConnectTimeout = std::chrono::milliseconds(1000);
    static constexpr Clock::duration QuestionInterval = std::chrono::milliseconds(500);
    static constexpr Clock::duration AnswerTimeout = std::chrono::milliseconds(1500);

    explicit OlaLink(std::uint16_t port);
    ~OlaLink();
    OlaLink(const OlaLink&) = delete;
    OlaLink& operator=(const OlaLink&) = delete;

    // Any thread: ends the current or the next Wait at once.
    void Wake();
    // Takes in what olad sent; returns when woken, when olad sent something or after `longest`.
    void Wait(Clock::duration longest);

    // Starts connecting; the link is connecting or open afterwards, or still closed when olad
    // refused at once.
    void Connect(Clock::time_point now);
    // Finishes or gives up a pending connect, and closes an open link whose question olad left
    // unanswered too long.
    void Supervise(Clock::time_point now);
    void Close();
    bool IsOpen() const { return client_ != nullptr; }
    bool IsConnecting() const { return pendingFd_ >= 0; }

    // Whether the socket takes another frame without piling up behind a slow reader.
    bool HasRoom() const;
    // Sends a frame; it carries a question when one is due, or always when `confirm`: olad's
    // answer to that one counts in ConfirmedSends. A failed write closes the link.
    void Send(unsigned universe, const DmxFrame& frame, Clock::time_point now,
              bool confirm = false);
    // Frames sent with `confirm` that olad has answered, so it has taken them.
    std::uint64_t ConfirmedSends() const { return confirmed_; }
    // True when olad answered on this link and no question waits too long.
    bool Answered(Clock::time_point now) const;
    // When the loop has to act next, even if nothing is submitted: a question falls due, an
    // answer is overdue or a connect has to be looked at.
    Clock::time_point NextDeadline(Clock::time_point now) const;
    bool QuestionDue(Clock::time_point now) const;
    // The due question could not go out for want of room: olad reads nothing. Held as long as
    // an answer may take, the link counts as lost like one whose question went unanswered.
    void NoteQuestionHeld(Clock::time_point now);

private:
    void Open(int fd);
    void DrainWake();
    void OnAnswer(const ola::client::Result& result);
    void OnConfirmation(const ola::client::Result& result);
    void OnClosed();
    void DropIfClosed();

    std::uint16_t port_;
    int wakeFd_;
    std::unique_ptr<ola::io::SelectServer> server_;
    std::unique_ptr<ola::io::UnmanagedFileDescriptor> wake_;
    std::unique_ptr<ola::DmxBuffer> buffer_;
    std::unique_ptr<ola::network::TCPSocket> socket_;
    std::unique_ptr<ola::client::OlaClient> client_;
    int pendingFd_ = -1;
    Clock::time_point connectStarted_;
    bool channelClosed_ = false;
    bool answered_ = false;
    std::optional<Clock::time_point> askedAt_;
    std::optional<Clock::time_point> questionHeldSince_;
    Clock::time_point answeredAt_;
    std::uint64_t confirmed_ = 0;
};

} // namespace velkaro
