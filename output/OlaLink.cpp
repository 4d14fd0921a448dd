#include "output/OlaLink.h"

#include <ola/Callback.h>
#include <ola/DmxBuffer.h>
#include <ola/client/OlaClient.h>
#include <ola/io/Descriptor.h>
#include <ola/io/SelectServer.h>
#include <ola/network/TCPSocket.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

#include <linux/sockios.h>

namespace velkaro {

namespace {

// Frames queue up in the socket when olad reads slower than frames come; past this many
// unsent bytes (about a hundred frames) newer frames wait instead of piling up behind stale
// ones, and a failed write cannot come from a full socket.
constexpr int MostQueuedBytes = 64 * 1024;

ola::TimeInterval AsInterval(OlaLink::Clock::duration d) {
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(d).count();
    const auto clamped = std::clamp<long long>(us, 0, 1'000'000);
    return ola::TimeInterval(static_cast<std::int32_t>(clamped / 1'000'000),
                             static_cast<std::int32_t>(clamped % 1'000'000));
}

} // namespace

OlaLink::OlaLink(std::uint16_t port)
    : port_(port), wakeFd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)),
      server_(std::make_unique<ola::io::SelectServer>()),
      wake_(std::make_unique<ola::io::UnmanagedFileDescriptor>(wakeFd_)),
      buffer_(std::make_unique<ola::DmxBuffer>()) {
    wake_->SetOnData(ola::NewCallback(this, &OlaLink::DrainWake));
    server_->AddReadDescriptor(wake_.get());
}

OlaLink::~OlaLink() {
    Close();
    server_->RemoveReadDescriptor(wake_.get());
    ::close(wakeFd_);
}

void OlaLink::Wake() {
    const std::uint64_t one = 1;
    // Only fails when the counter is about to overflow, and then a wake is pending anyway.
    [[maybe_unused]] const ssize_t ignored = ::write(wakeFd_, &one, sizeof one);
}

void OlaLink::DrainWake() {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t ignored = ::read(wakeFd_, &count, sizeof count);
}

void OlaLink::Wait(Clock::duration longest) {
    server_->RunOnce(AsInterval(longest));
    DropIfClosed();
}

void OlaLink::Connect(Clock::time_point now) {
    if (IsOpen() || IsConnecting()) return;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port_);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        Open(fd);
    } else if (errno == EINPROGRESS) {
        pendingFd_ = fd;
        connectStarted_ = now;
    } else {
        ::close(fd);
    }
}

void OlaLink::Supervise(Clock::time_point now) {
    if (IsConnecting()) {
        pollfd ready{pendingFd_, POLLOUT, 0};
        if (::poll(&ready, 1, 0) > 0) {
            int error = 0;
            socklen_t size = sizeof error;
            ::getsockopt(pendingFd_, SOL_SOCKET, SO_ERROR, &error, &size);
            const int fd = std::exchange(pendingFd_, -1);
            if (error == 0)
                Open(fd);
            else
                ::close(fd);
        } else if (now - connectStarted_ >= ConnectTimeout) {
            // A daemon that stopped with a full backlog never completes the handshake.
            ::close(std::exchange(pendingFd_, -1));
        }
    }
    if (IsOpen() && askedAt_ && now - *askedAt_ >= AnswerTimeout) Close();
    if (IsOpen() && questionHeldSince_ && now - *questionHeldSince_ >= AnswerTimeout) Close();
}

void OlaLink::NoteQuestionHeld(Clock::time_point now) {
    if (QuestionDue(now) && !questionHeldSince_) questionHeldSince_ = now;
}

void OlaLink::Open(int fd) {
    socket_ = std::make_unique<ola::network::TCPSocket>(fd);
    socket_->SetNoDelay();
    client_ = std::make_unique<ola::client::OlaClient>(socket_.get());
    server_->AddReadDescriptor(socket_.get());
    client_->Setup();
    client_->SetCloseHandler(ola::NewSingleCallback(this, &OlaLink::OnClosed));
    channelClosed_ = false;
    answered_ = false;
    askedAt_.reset();
    questionHeldSince_.reset();
}

void OlaLink::Close() {
    if (pendingFd_ >= 0) ::close(std::exchange(pendingFd_, -1));
    if (!client_) return;
    server_->RemoveReadDescriptor(socket_.get());
    client_->Stop();
    client_.reset();
    socket_.reset();
}

void OlaLink::OnClosed() {
    // Called from inside the client library; the link is taken down once it has returned.
    channelClosed_ = true;
}

void OlaLink::DropIfClosed() {
    if (channelClosed_) {
        channelClosed_ = false;
        Close();
    }
}

void OlaLink::OnAnswer(const ola::client::Result&) {
    // A write that failed reports itself through this callback too, after closing the link.
    if (channelClosed_) return;
    // Any answer, also a refusal, shows that olad reads and handles what it gets.
    answered_ = true;
    answeredAt_ = Clock::now();
    askedAt_.reset();
}

bool OlaLink::HasRoom() const {
    if (!socket_) return false;
    int queued = 0;
    if (::ioctl(socket_->WriteDescriptor(), SIOCOUTQ, &queued) != 0) return true;
    return queued < MostQueuedBytes;
}

bool OlaLink::QuestionDue(Clock::time_point now) const {
    return IsOpen() && !askedAt_ && (!answered_ || now - answeredAt_ >= QuestionInterval);
}

void OlaLink::OnConfirmation(const ola::client::Result& result) {
    if (channelClosed_) return;
    ++confirmed_;
    OnAnswer(result);
}

void OlaLink::Send(unsigned universe, const DmxFrame& frame, Clock::time_point now, bool confirm) {
    if (!IsOpen()) return;
    buffer_->Set(frame.data(), static_cast<unsigned>(frame.size()));
    ola::client::SendDMXArgs args;
    if (confirm) {
        args.callback = ola::NewSingleCallback(this, &OlaLink::OnConfirmation);
        askedAt_ = askedAt_.value_or(now);
    } else if (QuestionDue(now)) {
        args.callback = ola::NewSingleCallback(this, &OlaLink::OnAnswer);
        askedAt_ = now;
    }
    client_->SendDMX(universe, *buffer_, args);
    questionHeldSince_.reset();
    DropIfClosed();
}

bool OlaLink::Answered(Clock::time_point now) const {
    return IsOpen() && answered_ && !(askedAt_ && now - *askedAt_ >= AnswerTimeout);
}

OlaLink::Clock::time_point OlaLink::NextDeadline(Clock::time_point now) const {
    if (IsConnecting()) return now + std::chrono::milliseconds(5);
    if (!IsOpen()) return Clock::time_point::max();
    if (askedAt_) return *askedAt_ + AnswerTimeout;
    return answered_ ? answeredAt_ + QuestionInterval : now;
}

} // namespace velkaro
