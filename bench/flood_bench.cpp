// The real main window (offscreen, hex view with time stamps) on a pseudo-
// terminal that streams 4096-byte bursts as fast as the program takes them, then
// 16-byte bursts at a device's pace. Samples memory every second and times how
// long the window needs after the stream to show everything it captured.
//
// Usage: flood_bench [--seconds N] [--catch-up-limit S]
//   N seconds per phase (default 20); the catch-up is given up after S seconds
//   (default 180) and then printed as ">S000".

#include "app/engine/data_rt.h"
#include "app/port/com_combo_box.h"
#include "app/shell/corvella_application.h"
#include "app/shell/main_form.h"
#include "engine/vek_scomm.h"
#include "support/pty_pair.h"
#include "support/qt_open_port.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using SteadyClock = std::chrono::steady_clock;

double ResidentMiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return double(std::strtoull(line.c_str() + 6, nullptr, 10)) / 1024.0;
    return 0;
}

double MsSince(SteadyClock::time_point start, SteadyClock::time_point end = SteadyClock::now())
{
    return std::chrono::duration<double, std::milli>(end - start).count();
}

void RunEventLoopFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

int OptionValue(int argc, char **argv, const char *option, int fallback)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], option) == 0)
            return std::max(1, std::atoi(argv[i + 1]));
    return fallback;
}

// Plays the device: the fast phase blocks in the kernel whenever the program
// reads no more; the slow phase leaves more than the 20 ms read interval between
// bursts, so each one stays a burst of its own.
class TDevice
{
public:
    TDevice(PtyPair &pty, int seconds)
        : pty_(pty)
        , seconds_(seconds)
        , thread_([this] { Run(); })
    { }
    ~TDevice() { thread_.join(); }

    bool Done() const { return done_.load(); }
    uint64_t Sent() const { return sent_.load(); }
    uint64_t FastBytes() const { return fastBytes_.load(); }
    double FastSeconds() const { return fastSeconds_.load(); }
    SteadyClock::time_point Start() const { return start_; }
    SteadyClock::time_point End() const
    {
        std::lock_guard lock(mutex_);
        return end_;
    }

private:
    void Run()
    {
        const std::string big(4096, '\x5A');
        const std::string small(16, '\x3C');
        const auto fastEnd = start_ + std::chrono::seconds(seconds_);
        while (SteadyClock::now() < fastEnd)
            Write(big);
        fastBytes_.store(sent_.load());
        fastSeconds_.store(MsSince(start_) / 1000.0);
        const auto slowEnd = SteadyClock::now() + std::chrono::seconds(seconds_);
        while (SteadyClock::now() < slowEnd) {
            Write(small);
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        {
            std::lock_guard lock(mutex_);
            end_ = SteadyClock::now();
        }
        done_.store(true);
    }

    void Write(const std::string &bytes)
    {
        pty_.Write(bytes);
        sent_.fetch_add(bytes.size());
    }

    PtyPair &pty_;
    const int seconds_;
    const SteadyClock::time_point start_ = SteadyClock::now();
    mutable std::mutex mutex_;
    SteadyClock::time_point end_ {};
    std::atomic<bool> done_ { false };
    std::atomic<uint64_t> sent_ { 0 };
    std::atomic<uint64_t> fastBytes_ { 0 };
    std::atomic<double> fastSeconds_ { 0 };
    std::thread thread_;
};

// Resident memory once a second while the stream lasts.
class TMemorySampler
{
public:
    TMemorySampler(const TDevice &device, int firstSeconds)
        : device_(device)
        , firstSeconds_(firstSeconds)
        , thread_([this] { Run(); })
    { }
    ~TMemorySampler()
    {
        stop_.store(true);
        thread_.join();
    }
    double PeakFirst() const { return peakFirst_.load(); }
    double Peak() const { return peak_.load(); }

private:
    void Run()
    {
        while (!stop_.load()) {
            const double rss = ResidentMiB();
            peak_.store(std::max(peak_.load(), rss));
            if (MsSince(device_.Start()) <= firstSeconds_ * 1000.0)
                peakFirst_.store(std::max(peakFirst_.load(), rss));
            for (int i = 0; i < 20 && !stop_.load(); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    const TDevice &device_;
    const int firstSeconds_;
    std::atomic<bool> stop_ { false };
    std::atomic<double> peakFirst_ { 0 };
    std::atomic<double> peak_ { 0 };
    std::thread thread_;
};

} // namespace

int main(int argc, char *argv[])
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    TempFolder data;
    setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
    const int seconds = OptionValue(argc, argv, "--seconds", 20);
    const int catchUpLimitMs = 1000 * OptionValue(argc, argv, "--catch-up-limit", 180);

    CorvellaApplication app(argc, argv);
    TMainForm form;
    form.resize(1000, 700);
    form.show();
    RunEventLoopFor(500); // start-up settles

    // What a new user tries: hex view, time stamps on.
    form.Settings().ShowTime = 1;
    form.ApplySettings();

    PtyPair pty;
    if (!OpenPortOnPty(form, pty))
        return 1;
    TVekScomm &channel = *form.Channel();
    const auto readerWaitBefore = channel.ReaderWaitTime();

    // The longest the user-interface thread went without running a 10 ms timer.
    double maxStallMs = 0;
    QElapsedTimer sinceBeat;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        maxStallMs = std::max(maxStallMs, double(sinceBeat.nsecsElapsed()) / 1e6 - 10.0);
        sinceBeat.restart();
    });
    sinceBeat.start();
    heartbeat.start(10);

    TDevice device(pty, seconds);
    TMemorySampler sampler(device, std::min(10, seconds / 2 + seconds % 2));
    double catchUpMs = -1;
    QEventLoop loop;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!device.Done())
            return;
        const bool drained = channel.QueuedLines() == 0 && !form.DataRT()->RenderTimer->isActive();
        const double since = MsSince(device.End());
        if (drained || since > catchUpLimitMs) {
            catchUpMs = drained ? since : -1;
            loop.quit();
        }
    });
    watch.start(5);
    loop.exec();
    heartbeat.stop();
    const double streamSeconds = MsSince(device.Start(), device.End()) / 1000.0;
    const double readerWaitMs
        = double((channel.ReaderWaitTime() - readerWaitBefore).count()) / 1000.0;

    const uint64_t sent = device.Sent();
    const uint64_t received = channel.RxCount.load();
    std::printf("bytes_sent: %llu\n", (unsigned long long)sent);
    std::printf("rx_count: %llu\n", (unsigned long long)received);
    std::printf("lost_bytes: %llu\n", (unsigned long long)(sent - std::min(sent, received)));
    std::printf("throughput_MBps: %.1f\n", double(device.FastBytes()) / 1e6 / device.FastSeconds());
    std::printf("rss_peak_first10s_MiB: %.1f\n", sampler.PeakFirst());
    std::printf("rss_peak_MiB: %.1f\n", sampler.Peak());
    if (catchUpMs < 0)
        std::printf("catch_up_ms: >%d\n", catchUpLimitMs);
    else
        std::printf("catch_up_ms: %.0f\n", catchUpMs);
    std::printf("max_ui_stall_ms: %.1f\n", maxStallMs);
    std::printf("reader_wait_pct: %.1f\n", 100.0 * readerWaitMs / (streamSeconds * 1000.0));

    form.ToggleConnection();
    form.hide();
    return 0;
}
