// Pushes a large stream through a pseudo-terminal into the real capture path
// (port, receive thread, channel) while a consumer takes the lines out as fast
// as it can, and reports whether every byte arrived and how fast; then measures
// what a plain reader gets from the same pair, the most any reader could, and
// what the least pipeline that shows lines gets: a reader that forms each
// burst's line and hands it to the same consumer on another thread.
// Each is measured three times, taking turns; the best of each is printed.
//
// Usage: capture_bench [MiB (default 64)] [hex|ascii (default hex)]

#include "engine/capture_line.h"
#include "engine/vek_com_thread.h"
#include "engine/vek_scomm.h"
#include "send/hex_text.h"
#include "support/pty_pair.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <poll.h>
#include <string>
#include <string_view>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using SteadyClock = std::chrono::steady_clock;

// The stream's byte at a position; 251 is prime, so the pattern never lines up
// with the 4096-byte reads and a lost or doubled block shows.
char StreamByte(uint64_t position)
{
    return char(position % 251);
}

// The checker must cost the consumer little next to the program it measures:
// a table turns a digit into its value without a branch.
struct THexDigits
{
    std::array<uint8_t, 256> Value {};
    constexpr THexDigits()
    {
        for (int i = 0; i < 10; ++i)
            Value[std::size_t('0' + i)] = uint8_t(i);
        for (int i = 0; i < 6; ++i)
            Value[std::size_t('A' + i)] = uint8_t(10 + i);
    }
};
constexpr THexDigits kHexDigits;

int HexDigit(char c)
{
    return kHexDigits.Value[uint8_t(c)];
}

double CpuSeconds(clockid_t id)
{
    timespec ts {};
    clock_gettime(id, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Takes lines out of a channel (anything with OnLineQueued and
// PopLine(std::string &)), counts their payload and checks it against the stream.
template <typename Channel> class TConsumer
{
public:
    TConsumer(Channel &channel, bool hex)
        : channel_(channel)
        , hex_(hex)
    {
        channel_.OnLineQueued = [this] {
            {
                std::lock_guard lock(mutex_);
                pending_ = true;
            }
            wake_.notify_one();
        };
        thread_ = std::thread([this] { Run(); });
    }

    ~TConsumer()
    {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_one();
        thread_.join();
        channel_.OnLineQueued = nullptr;
    }

    uint64_t Captured() const { return captured_.load(); }
    uint64_t Mismatched() const { return mismatched_.load(); }
    SteadyClock::time_point LastArrival() const
    {
        std::lock_guard lock(mutex_);
        return lastArrival_;
    }

private:
    // Paced like the window's renderer: while lines come it looks every
    // millisecond and takes all that are queued; once a look finds none it
    // sleeps until the channel reports a line queued into the empty queue.
    void Run()
    {
        bool flowing = false;
        for (;;) {
            {
                std::unique_lock lock(mutex_);
                if (flowing)
                    wake_.wait_for(lock, kPace, [this] { return stop_; });
                else
                    wake_.wait(lock, [this] { return pending_ || stop_; });
                if (stop_)
                    return;
                pending_ = false;
            }
            flowing = false;
            while (channel_.PopLine(line_)) {
                Take(SplitCaptureLine(line_).Body);
                flowing = true;
            }
        }
    }

    static constexpr auto kPace = std::chrono::milliseconds(1);

    void Take(std::string_view body)
    {
        const uint64_t first = captured_.load();
        const uint64_t count = hex_ ? (body.size() + 1) / 3 : body.size();
        // Whole lines are compared with the stream's text at once; only a line
        // that differs is gone through byte by byte to count what is wrong.
        const uint64_t wrong
            = body == ExpectedText(first, body.size()) ? 0 : CountWrong(body, first);
        mismatched_.fetch_add(wrong);
        captured_.store(first + count);
        std::lock_guard lock(mutex_);
        lastArrival_ = SteadyClock::now();
    }

    // What a line starting at stream position `first` must hold: the stream
    // repeats every 251 bytes, so one text of 4096 + 251 bytes covers any burst.
    std::string_view ExpectedText(uint64_t first, std::size_t size) const
    {
        const std::size_t offset = std::size_t(first % 251) * (hex_ ? 3 : 1);
        if (offset + size > expected_.size())
            return {};
        return std::string_view(expected_).substr(offset, size);
    }

    static std::string StreamText(bool hex)
    {
        std::string bytes(4096 + 251, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = StreamByte(i);
        return hex ? BytesToHexText(bytes, " ") : bytes;
    }

    uint64_t CountWrong(std::string_view body, uint64_t position) const
    {
        uint64_t wrong = 0;
        if (hex_) {
            for (std::size_t i = 0; i + 1 < body.size(); i += 3, ++position) {
                const char byte = char(HexDigit(body[i]) << 4 | HexDigit(body[i + 1]));
                wrong += byte != StreamByte(position);
            }
        } else {
            for (char byte : body)
                wrong += byte != StreamByte(position++);
        }
        return wrong;
    }

    Channel &channel_;
    const bool hex_;
    const std::string expected_ = StreamText(hex_);
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool pending_ = false;
    bool stop_ = false;
    SteadyClock::time_point lastArrival_ {};
    std::atomic<uint64_t> captured_ { 0 };
    std::atomic<uint64_t> mismatched_ { 0 };
    std::string line_; // reused, so its storage goes back to the receive thread
    std::thread thread_;
};

void WriteStream(PtyPair &pty, uint64_t total)
{
    constexpr std::size_t kChunk = 4096;
    // The master blocks (polls) while the pty is full, so the writer can only
    // run ahead of the reader by what the kernel buffers.
    std::string chunk(kChunk, '\0');
    for (uint64_t sent = 0; sent < total;) {
        const std::size_t size = std::size_t(std::min<uint64_t>(kChunk, total - sent));
        for (std::size_t i = 0; i < size; ++i)
            chunk[i] = StreamByte(sent + i);
        pty.Write(std::string_view(chunk.data(), size));
        sent += size;
    }
}

// The least a queue between two threads does: lines moved in and out under a
// lock, a wake for a line into an empty queue, taken lines' storage reused.
class TBareQueue
{
public:
    std::function<void()> OnLineQueued;

    // Queues `line` and leaves spare storage in it for the next one.
    void Push(std::string &line)
    {
        bool wasEmpty = false;
        {
            std::lock_guard lock(mutex_);
            wasEmpty = lines_.empty();
            lines_.push_back(std::move(line));
            line.clear();
            if (!spares_.empty()) {
                line.swap(spares_.back());
                spares_.pop_back();
            }
        }
        if (wasEmpty && OnLineQueued)
            OnLineQueued();
    }

    bool PopLine(std::string &line)
    {
        std::lock_guard lock(mutex_);
        if (lines_.empty())
            return false;
        std::string taken = std::move(lines_.front());
        lines_.pop_front();
        if (spares_.size() < 4) {
            line.clear();
            spares_.push_back(std::move(line));
        }
        line = std::move(taken);
        return true;
    }

private:
    std::mutex mutex_;
    std::deque<std::string> lines_;
    std::vector<std::string> spares_;
};

// Waits for the tail: the last burst ends one read interval after its last
// byte. Returns when the stream's end was taken, or the time of giving up.
template <typename Channel>
SteadyClock::time_point WaitForTail(const TConsumer<Channel> &consumer, uint64_t total)
{
    auto lastProgress = SteadyClock::now();
    uint64_t seen = consumer.Captured();
    while (seen < total && SteadyClock::now() - lastProgress < std::chrono::seconds(2)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (consumer.Captured() != seen) {
            seen = consumer.Captured();
            lastProgress = SteadyClock::now();
        }
    }
    return seen >= total ? consumer.LastArrival() : SteadyClock::now();
}

int OpenRawSlave(PtyPair &pty, int flags)
{
    const int fd = ::open(pty.SlavePath().c_str(), flags | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return fd;
    termios raw {};
    tcgetattr(fd, &raw);
    cfmakeraw(&raw);
    tcsetattr(fd, TCSANOW, &raw);
    tcflush(fd, TCIOFLUSH);
    return fd;
}

// One burst the way the program reads one: up to 4096 bytes, ending 20 ms
// after the last byte. 0 when nothing came within a second.
int ReadBurst(int fd, char *buffer, int size)
{
    int got = 0;
    for (int waitMs = 1000; got < size;) {
        const ssize_t n = ::read(fd, buffer + got, std::size_t(size - got));
        if (n > 0) {
            got += int(n);
            waitMs = 20;
            continue;
        }
        pollfd ready { fd, POLLIN, 0 };
        if (::poll(&ready, 1, waitMs) <= 0)
            break;
    }
    return got;
}

// MB/s of the same stream through the least pipeline that shows lines.
double PipelineMBps(PtyPair &pty, uint64_t total, bool hex)
{
    const int fd = OpenRawSlave(pty, O_RDWR | O_NONBLOCK);
    if (fd < 0)
        return 0;
    TBareQueue queue;
    TConsumer<TBareQueue> consumer(queue, hex);
    const auto start = SteadyClock::now();
    std::thread reader([&] {
        std::array<char, 4096> buffer {};
        std::string line;
        for (uint64_t got = 0; got < total;) {
            const int n = ReadBurst(fd, buffer.data(), int(buffer.size()));
            if (n <= 0)
                return;
            got += uint64_t(n);
            BeginCaptureLineInto(line, 'R', TimeOfDay {});
            if (hex)
                AppendHexText(line, std::string_view(buffer.data(), std::size_t(n)), " ");
            else
                line.append(buffer.data(), std::size_t(n));
            queue.Push(line);
        }
    });
    WriteStream(pty, total);
    reader.join();
    const auto end = WaitForTail(consumer, total);
    ::close(fd);
    if (consumer.Captured() < total || consumer.Mismatched() > 0)
        return 0;
    return double(total) / 1e6 / std::chrono::duration<double>(end - start).count();
}

// MB/s of the same stream into a bare read() loop on the slave side.
double PlainReaderMBps(PtyPair &pty, uint64_t total)
{
    const int fd = OpenRawSlave(pty, O_RDONLY);
    if (fd < 0)
        return 0;
    const auto start = SteadyClock::now();
    std::thread reader([fd, total] {
        std::array<char, 4096> buffer {};
        for (uint64_t got = 0; got < total;) {
            const ssize_t n = ::read(fd, buffer.data(), buffer.size());
            if (n <= 0)
                return;
            got += uint64_t(n);
        }
    });
    WriteStream(pty, total);
    reader.join();
    const double seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
    ::close(fd);
    return double(total) / 1e6 / seconds;
}

struct TChannelRun
{
    uint64_t Captured = 0;
    uint64_t Mismatched = 0;
    double Seconds = 0;
    double ThreadCpuSeconds = 0;
};

// One stream through the port, the receive thread and the channel.
TChannelRun RunChannel(PtyPair &pty, uint64_t total, bool hex)
{
    TVekScomm channel;
    channel.ReceiveHex = hex ? 1 : 0;
    channel.ComPort().SetPort(pty.SlavePath());
    channel.OpenPort();
    TVekComThread receiver(channel);
    TConsumer<TVekScomm> consumer(channel, hex);
    receiver.Release();

    const double cpuBefore = CpuSeconds(receiver.CpuClock());
    const auto start = SteadyClock::now();
    WriteStream(pty, total);

    const auto end = WaitForTail(consumer, total);
    TChannelRun run;
    run.ThreadCpuSeconds = CpuSeconds(receiver.CpuClock()) - cpuBefore;
    run.Seconds = std::chrono::duration<double>(end - start).count();
    run.Captured = consumer.Captured();
    run.Mismatched = consumer.Mismatched();
    receiver.Park();
    channel.ClosePort();
    return run;
}

} // namespace

int main(int argc, char **argv)
{
    const uint64_t mebibytes = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 64;
    const bool hex = !(argc > 2 && std::string_view(argv[2]) == "ascii");
    const uint64_t total = mebibytes * 1024 * 1024;
    // The machine is shared: the program and the plain reader take turns, and
    // the best round of each counts, so both meet the same kind of moment.
    constexpr int kRounds = 3;

    PtyPair pty;
    uint64_t captured = 0;
    uint64_t mismatched = 0;
    double throughput = 0;
    double threadCpuPct = 0;
    double limit = 0;
    double pipeline = 0;
    for (int round = 0; round < kRounds; ++round) {
        const TChannelRun run = RunChannel(pty, total, hex);
        captured += run.Captured;
        mismatched += run.Mismatched;
        const double mbps = double(run.Captured) / 1e6 / run.Seconds;
        if (mbps > throughput) {
            throughput = mbps;
            threadCpuPct = 100.0 * run.ThreadCpuSeconds / run.Seconds;
        }
        limit = std::max(limit, PlainReaderMBps(pty, total));
        pipeline = std::max(pipeline, PipelineMBps(pty, total, hex));
    }

    const uint64_t sent = total * kRounds;
    std::printf("bytes_sent: %llu\n", (unsigned long long)sent);
    std::printf("bytes_captured: %llu\n", (unsigned long long)captured);
    std::printf("lost_bytes: %llu\n", (unsigned long long)(sent - std::min(captured, sent)));
    std::printf("mismatched_bytes: %llu\n", (unsigned long long)mismatched);
    std::printf("throughput_MBps: %.1f\n", throughput);
    std::printf("rx_thread_cpu_pct: %.1f\n", threadCpuPct);
    std::printf("pty_limit_MBps: %.1f\n", limit);
    std::printf("ratio: %.2f\n", limit > 0 ? throughput / limit : 0.0);
    std::printf("pipeline_limit_MBps: %.1f\n", pipeline);
    std::printf("pipeline_limit_ratio: %.2f\n", limit > 0 ? pipeline / limit : 0.0);
    return captured == sent && mismatched == 0 ? 0 : 1;
}
