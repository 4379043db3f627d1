#include "cli/capture_session.h"

#include "engine/vek_com_thread.h"
#include "engine/vek_scomm.h"
#include "port/com_port_error.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

// Owns one descriptor.
class TFd
{
public:
    explicit TFd(int fd = -1)
        : fd_(fd)
    { }
    ~TFd()
    {
        if (fd_ > 2)
            ::close(fd_);
    }
    TFd(const TFd &) = delete;
    TFd &operator=(const TFd &) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

// Blocks SIGINT and SIGTERM for this thread and every thread it starts, so they
// arrive only through the signal descriptor; restored at the end of the run.
class TStopSignals
{
public:
    TStopSignals()
    {
        sigset_t stops;
        sigemptyset(&stops);
        sigaddset(&stops, SIGINT);
        sigaddset(&stops, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &stops, &previous_);
        fd_ = ::signalfd(-1, &stops, SFD_CLOEXEC | SFD_NONBLOCK);
    }
    ~TStopSignals()
    {
        if (fd_ >= 0)
            ::close(fd_);
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    TStopSignals(const TStopSignals &) = delete;
    TStopSignals &operator=(const TStopSignals &) = delete;
    int Fd() const { return fd_; }
    // Takes the pending stop signals, so unblocking them at the end delivers nothing.
    void Consume() const
    {
        signalfd_siginfo info {};
        while (::read(fd_, &info, sizeof info) > 0) { }
    }

private:
    sigset_t previous_ {};
    int fd_ = -1;
};

// 0, or the errno of the failing write.
int WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data.remove_prefix(std::size_t(n));
    }
    return 0;
}

TBaudRate BaudRateFor(int baud)
{
    for (int rate = br110; rate <= br256000; ++rate) {
        if (BaudRateValue(TBaudRate(rate)) == baud)
            return TBaudRate(rate);
    }
    return brCustom;
}

void ConfigurePort(TComPort &port, const TCaptureOptions &options)
{
    port.SetPort(options.Device);
    port.SetCustomBaudRate(options.Baud);
    port.SetBaudRate(BaudRateFor(options.Baud));
    port.SetDataBits(options.DataBits);
    port.SetStopBits(options.StopBits);
    TComParity parity = port.Parity();
    parity.Bits = options.Parity;
    port.SetParity(parity);
}

// Takes the pending stop signals, so unblocking them at the end delivers nothing.
void ConsumeStopSignals(int fd)
{
    signalfd_siginfo info {};
    while (::read(fd, &info, sizeof info) > 0) { }
}

void Drain(int fd)
{
    uint64_t value = 0;
    while (::read(fd, &value, sizeof value) > 0) { }
}

using SteadyClock = std::chrono::steady_clock;

// Milliseconds to wait in poll: -1 without a deadline, 0 once it has passed.
int WaitLimit(const std::optional<SteadyClock::time_point> &deadline)
{
    if (!deadline)
        return -1;
    const auto left
        = std::chrono::ceil<std::chrono::milliseconds>(*deadline - SteadyClock::now()).count();
    return left <= 0 ? 0 : int(std::min<long long>(left, 60'000));
}

} // namespace

TCaptureSession::TCaptureSession(const TCaptureOptions &options, int errorFd)
    : options_(options)
    , errorFd_(errorFd)
{ }

void TCaptureSession::Report(const std::string &text) const
{
    WriteAll(errorFd_, "corvella-capture: " + text + "\n");
}

int TCaptureSession::Run()
{
    TFd output(options_.OutputFile.empty()
            ? STDOUT_FILENO
            : ::open(options_.OutputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (output.Get() < 0) {
        Report(options_.OutputFile + ": " + std::strerror(errno));
        return 1;
    }

    TStopSignals stops;
    TFd queued(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    TVekScomm channel;
    channel.ReceiveHex = options_.Ascii ? 0 : 1;
    channel.OnLineQueued = [fd = queued.Get()] {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(fd, &one, sizeof one);
    };
    ConfigurePort(channel.ComPort(), options_);
    if (!OpenPort(channel))
        return 1;

    TVekComThread receiver(channel);
    receiver.Release();
    const int status
        = SendRequest(channel) ? Capture(channel, output.Get(), stops.Fd(), queued.Get()) : 1;
    receiver.Park();
    channel.ClosePort();
    txCount_ = channel.TxCount.load();
    rxCount_ = channel.RxCount.load();
    return status;
}

bool TCaptureSession::OpenPort(TVekScomm &channel) const
{
    try {
        channel.OpenPort();
        return true;
    } catch (const ECom &e) {
        Report(e.what());
        if (!channel.LastOpenError().empty())
            Report(channel.LastOpenError() + ": " + std::strerror(channel.LastOpenErrno()));
        if (const char *hint = OpenFailureHint(channel.LastOpenErrno()))
            Report(hint);
        return false;
    }
}

bool TCaptureSession::SendRequest(TVekScomm &channel) const
{
    if (options_.SendText.empty())
        return true;
    try {
        channel.SendLine(options_.SendText);
        return true;
    } catch (const std::exception &e) {
        Report(std::string("send failed: ") + e.what());
        return false;
    }
}

std::optional<int> TCaptureSession::WriteQueuedLines(TVekScomm &channel, int outputFd) const
{
    std::string line;
    while (channel.PopLine(line)) {
        line += '\n';
        if (const int error = WriteAll(outputFd, line)) {
            // A reader that went away (| head) ends the capture normally.
            if (error == EPIPE)
                return 0;
            Report("write failed: " + std::string(std::strerror(error)));
            return 1;
        }
    }
    return std::nullopt;
}

int TCaptureSession::Capture(TVekScomm &channel, int outputFd, int stopFd, int queuedFd) const
{
    std::optional<SteadyClock::time_point> deadline;
    if (options_.Seconds)
        deadline = SteadyClock::now()
            + std::chrono::duration_cast<SteadyClock::duration>(
                std::chrono::duration<double>(*options_.Seconds));

    for (bool stopping = false;;) {
        if (const std::optional<int> end = WriteQueuedLines(channel, outputFd))
            return *end;
        if (stopping)
            return 0;
        // A lock that was busy leaves a line behind: look again at once.
        if (channel.QueuedLines() > 0)
            continue;
        const int limit = WaitLimit(deadline);
        if (limit == 0)
            return 0;
        pollfd fds[] = { { stopFd, POLLIN, 0 }, { queuedFd, POLLIN, 0 } };
        if (::poll(fds, 2, limit) < 0 && errno != EINTR)
            return 0;
        if (fds[0].revents & POLLIN) {
            ConsumeStopSignals(stopFd);
            stopping = true; // one more round writes what is still queued
        }
        if (fds[1].revents & POLLIN)
            Drain(queuedFd);
    }
}
