// The reader's side of the port: modem lines, the wait and its wake signal,
// reads and writes. Property storage, open and close are in com_port.cpp.
#include "port/com_port.h"

#include "port/com_port_raise.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// How often a wait looks at the modem lines of a device that has them: the
// kernel offers no way to poll() for a line change together with the data.
// The lamps are refreshed every 50 ms, so looking more often shows nothing
// sooner and only keeps an idle program awake.
constexpr int kModemPollMs = 50;

// A moment by which a transfer must be done, or none.
class TDeadline
{
public:
    static TDeadline Never() { return TDeadline(); }
    static TDeadline After(int64_t ms)
    {
        TDeadline d;
        d.limited_ = true;
        d.at_ = Clock::now() + std::chrono::milliseconds(ms);
        return d;
    }

    // Milliseconds left, rounded up so a wait never ends just short of it;
    // 0 once passed; -1 without a limit (poll's "no timeout").
    int RemainingMs() const
    {
        if (!limited_)
            return -1;
        const auto left = at_ - Clock::now();
        if (left <= Clock::duration::zero())
            return 0;
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
        return int(std::min<int64_t>(ms, INT32_MAX));
    }

private:
    bool limited_ = false;
    Clock::time_point at_ {};
};

// The shorter of two waits in poll's terms (-1 = no limit).
int ShorterWait(int a, int b)
{
    if (a < 0)
        return b;
    if (b < 0)
        return a;
    return std::min(a, b);
}

TDeadline TotalDeadline(int multiplier, int constant, std::size_t count)
{
    const int64_t total = int64_t(std::max(multiplier, 0)) * int64_t(count) + std::max(constant, 0);
    return total > 0 ? TDeadline::After(total) : TDeadline::Never();
}

// No interval and no total timeout: a read takes what is there and returns.
bool ReadsOnlyWhatIsThere(const TComTimeouts &t)
{
    return t.ReadInterval == -1 && t.ReadTotalMultiplier == 0 && t.ReadTotalConstant == 0;
}

int BytesQueued(int fd)
{
    int queued = 0;
    if (::ioctl(fd, FIONREAD, &queued) != 0)
        return 0;
    return queued;
}

uint32_t ModemStatusBits(int lines)
{
    uint32_t status = 0;
    if (lines & TIOCM_CTS)
        status |= kModemCts;
    if (lines & TIOCM_DSR)
        status |= kModemDsr;
    if (lines & TIOCM_RNG)
        status |= kModemRing;
    if (lines & TIOCM_CAR)
        status |= kModemRlsd;
    return status;
}

int RemoveNulls(char *bytes, int count)
{
    return int(std::remove(bytes, bytes + count, '\0') - bytes);
}

bool IsHangUpError(int error)
{
    return error == EIO;
}

} // namespace

void TComPort::SignalLineStates()
{
    uint32_t status = 0;
    {
        std::lock_guard lock(modemMutex_);
        const int lines = ReadModemLines(fd_);
        lastModemLines_ = lines; // what the owner is told now is no change later
        status = ModemStatusBits(lines);
    }
    if (OnCTSChange)
        OnCTSChange(status & kModemCts);
    if (OnDSRChange)
        OnDSRChange(status & kModemDsr);
    if (OnRLSDChange)
        OnRLSDChange(status & kModemRlsd);
}

// ---- modem lines ----

uint32_t TComPort::ModemStatus() const
{
    std::lock_guard lock(modemMutex_);
    return ModemStatusBits(ReadModemLines(fd_));
}

int TComPort::GetModemLines(int fd, int &lines) const
{
    if (noModemLinesError_ != 0)
        return noModemLinesError_;
    const int error = calls_->GetModemLines(fd, lines);
    if (HasNoModemLines(error))
        noModemLinesError_ = error;
    return error;
}

int TComPort::ReadModemLines(int fd) const
{
    if (fd < 0)
        RaiseError(CError_ModemStatFailed, EBADF);
    int lines = 0;
    const int error = GetModemLines(fd, lines);
    if (HasNoModemLines(error))
        return 0;
    Check(CError_ModemStatFailed, error);
    return lines;
}

// Adds the requested modem lines that changed since the last look to
// `occurred`. Returns false for a tty without modem lines (nothing to watch).
bool TComPort::CheckModemLines(int fd, TComEvents events, TComEvents &occurred)
{
    std::lock_guard lock(modemMutex_);
    int lines = 0;
    const int error = GetModemLines(fd, lines);
    if (HasNoModemLines(error))
        return false;
    if (error != 0) {
        if (IsHangUpError(error))
            RaiseDeviceLost(CError_WaitFailed);
        RaiseError(CError_WaitFailed, error);
    }
    const int changed = lines ^ lastModemLines_;
    lastModemLines_ = lines;
    if ((changed & TIOCM_CTS) && events.Has(evCTS))
        occurred.Add(evCTS);
    if ((changed & TIOCM_DSR) && events.Has(evDSR))
        occurred.Add(evDSR);
    if ((changed & TIOCM_CAR) && events.Has(evRLSD))
        occurred.Add(evRLSD);
    return true;
}

// ---- waiting, reading, writing ----

void TComPort::CancelWait()
{
    SignalWake();
}

void TComPort::SignalWake()
{
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
}

void TComPort::DrainWake()
{
    uint64_t count = 0;
    [[maybe_unused]] ssize_t n = ::read(wakeFd_, &count, sizeof count);
}

TComPort::TPollResult TComPort::PollDevice(int fd, short events, int timeoutMs)
{
    pollfd fds[2] = { { fd, events, 0 }, { wakeFd_, POLLIN, 0 } };
    const int ready = ::poll(fds, 2, timeoutMs);
    if (ready < 0)
        return errno == EINTR ? TPollResult { TPollOutcome::TimedOut }
                              : TPollResult { TPollOutcome::Failed, errno };
    if (ready == 0)
        return { TPollOutcome::TimedOut };
    if (fds[1].revents & POLLIN) {
        DrainWake(); // one stop signal ends one wait
        return { TPollOutcome::Woken };
    }
    if (fds[0].revents & POLLNVAL)
        return { TPollOutcome::Failed, EBADF };
    if (fds[0].revents & (POLLHUP | POLLERR))
        return { TPollOutcome::HungUp };
    return { TPollOutcome::Ready };
}

void TComPort::RaiseDeviceLost(int code)
{
    deviceLost_ = true;
    RaiseError(code, EIO);
}

TComEvents TComPort::WaitForEvent(TComEvents events, int timeoutMs)
{
    std::lock_guard lock(readerMutex_);
    if (closing_)
        return {};
    const int fd = fd_;
    if (fd < 0)
        RaiseError(CError_WaitFailed, EBADF);

    const bool watchLines = events.Has(evCTS) || events.Has(evDSR) || events.Has(evRLSD);
    // Without evRxChar, waiting for POLLIN would return at once while data waits.
    const short pollEvents = events.Has(evRxChar) ? POLLIN : 0;
    const TDeadline deadline = timeoutMs < 0 ? TDeadline::Never() : TDeadline::After(timeoutMs);
    for (;;) {
        TComEvents occurred;
        const bool hasLines = watchLines && CheckModemLines(fd, events, occurred);
        if (!occurred.Empty())
            return occurred;
        int waitMs = deadline.RemainingMs();
        if (waitMs == 0)
            return {};
        if (hasLines)
            waitMs = ShorterWait(waitMs, kModemPollMs);

        const TPollResult result = PollDevice(fd, pollEvents, waitMs);
        switch (result.Outcome) {
        case TPollOutcome::TimedOut:
            continue;
        case TPollOutcome::Woken:
            return {};
        case TPollOutcome::Failed:
            RaiseError(CError_WaitFailed, result.Error);
        case TPollOutcome::HungUp:
            // Bytes that came before the hang-up are still worth a read.
            if (pollEvents == 0 || BytesQueued(fd) == 0)
                RaiseDeviceLost(CError_WaitFailed);
            [[fallthrough]];
        case TPollOutcome::Ready:
            occurred.Add(evRxChar);
            if (hasLines)
                CheckModemLines(fd, events, occurred);
            return occurred;
        }
    }
}

// Reads what the device holds without waiting. Returns the bytes kept (after
// dropping NULs when asked), 0 when nothing is there, -1 when the tty hung up.
int TComPort::ReadAvailable(int fd, char *buffer, int count)
{
    for (;;) {
        const ssize_t n = ::read(fd, buffer, std::size_t(count));
        if (n > 0)
            return activeDiscardNull_ ? RemoveNulls(buffer, int(n)) : int(n);
        if (n == 0)
            return -1; // a hung-up tty reads end of file on every call
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN)
            return 0;
        if (IsHangUpError(errno))
            return -1;
        RaiseError(CError_ReadFailed, errno);
    }
}

int TComPort::Read(char *buffer, int count)
{
    return ReadBurst(buffer, count, true);
}

int TComPort::ReadIfAny(char *buffer, int count)
{
    return ReadBurst(buffer, count, false);
}

int TComPort::ReadBurst(char *buffer, int count, bool waitForFirst)
{
    if (count <= 0)
        return 0;
    std::lock_guard lock(readerMutex_);
    if (closing_)
        return 0;
    const int fd = fd_;
    if (fd < 0)
        RaiseError(CError_ReadFailed, EBADF);

    const TComTimeouts t = ActiveTimeouts();
    const bool noWait = ReadsOnlyWhatIsThere(t);
    const TDeadline total = TotalDeadline(t.ReadTotalMultiplier, t.ReadTotalConstant, count);
    const bool useInterval = t.ReadInterval > 0;
    TDeadline quiet = TDeadline::Never(); // ends the read once a byte has come
    bool hungUp = false;
    int got = 0;
    while (got < count) {
        const int n = ReadAvailable(fd, buffer + got, count - got);
        if (n > 0) {
            got += n;
            if (useInterval)
                quiet = TDeadline::After(t.ReadInterval);
            continue;
        }
        if (n < 0 || hungUp) {
            // The other end is gone: hand over what came before, then report.
            deviceLost_ = true;
            if (got > 0)
                return got;
            RaiseDeviceLost(CError_ReadFailed);
        }
        if (noWait || (got == 0 && !waitForFirst))
            break;
        const int waitMs = got == 0 ? total.RemainingMs()
                                    : ShorterWait(total.RemainingMs(), quiet.RemainingMs());
        if (waitMs == 0)
            break;
        const TPollResult result = PollDevice(fd, POLLIN, waitMs);
        if (result.Outcome == TPollOutcome::Woken)
            break;
        if (result.Outcome == TPollOutcome::Failed)
            RaiseError(CError_ReadFailed, result.Error);
        hungUp = result.Outcome == TPollOutcome::HungUp;
    }
    return got;
}

int TComPort::WriteText(std::string_view text)
{
    if (text.empty())
        return 0;
    const int fd = fd_;
    if (fd < 0)
        RaiseError(CError_WriteFailed, EBADF);

    const TComTimeouts t = ActiveTimeouts();
    const TDeadline deadline
        = TotalDeadline(t.WriteTotalMultiplier, t.WriteTotalConstant, text.size());
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n > 0) {
            done += std::size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            if (IsHangUpError(errno))
                deviceLost_ = true;
            RaiseError(CError_WriteFailed, errno);
        }
        const int waitMs = deadline.RemainingMs();
        if (waitMs == 0)
            RaiseError(CError_WriteFailed, ETIMEDOUT);
        pollfd p { fd, POLLOUT, 0 };
        if (::poll(&p, 1, waitMs) < 0 && errno != EINTR)
            RaiseError(CError_WriteFailed, errno);
        if ((p.revents & (POLLHUP | POLLERR | POLLNVAL)) && !(p.revents & POLLOUT)) {
            deviceLost_ = true;
            RaiseError(CError_WriteFailed, EIO);
        }
    }
    return int(done);
}
