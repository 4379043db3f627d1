// Cost of showing captured lines in the monitor view.
//
//   append_median_us_at_5000     one render tick that appends a line, lines 4900..5000
//   repaint_median_us_at_5000    one full repaint of the monitor at 5000 lines
//   clear_ms_at_5000             emptying the monitor at 5000 lines
//   paints_per_second_at_1000_lines_per_s   monitor repaints while a receive thread
//                                queues 1000 lines a second for 2 s
//   ui_thread_cpu_percent_at_1000_lines_per_s, lines_shown_in_2_s,
//   max_event_loop_stall_ms      the same run: the user-interface thread's load, what
//                                got through, and the longest the event loop was busy
//                                in one go
//   catch_up_ms_5000_queued_lines, paints_during_catch_up, max_stall_ms_during_catch_up
//                                5000 lines queued at once: until the renderer has
//                                shown them all, its repaints and longest busy spell

#include "app/engine/data_rt.h"
#include "engine/vek_scomm.h"
#include "support/manual_clock.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>

namespace {

const std::string kBurst("\x01\x03\x02\x00\x0A\x0B\x0C\x0D", 8);

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// CPU time of the calling thread (the user-interface thread here).
double ThreadCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_THREAD, &usage);
    const auto seconds
        = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double MicrosecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
        .count();
}

class PaintCounter : public QObject
{
public:
    int Paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++Paints;
        return QObject::eventFilter(watched, event);
    }
};

struct Monitor
{
    Monitor()
    {
        clock.SetLocalTime({ 14, 3, 27, 0 });
        view.setLineWrapMode(QPlainTextEdit::NoWrap);
        view.resize(800, 600);
        view.show();
        renderer.TimeSwitch = 1;
        renderer.DirectionSwitch = 1;
        QCoreApplication::processEvents();
    }

    ManualClock clock;
    TVekScomm channel { clock };
    SettingsRecord settings = SettingsRecord::Defaults();
    QPlainTextEdit send;
    QPlainTextEdit view;
    QPlainTextEdit find;
    TDataRT renderer { &send, channel, &view, &find, settings, clock };
};

void MeasureAppendAndClear()
{
    Monitor monitor;
    constexpr int kLines = 5000;

    std::vector<double> appendUs;
    for (int i = 0; i < kLines; ++i) {
        monitor.clock.Advance(15);
        monitor.channel.AppendReceivedBurst(kBurst, monitor.clock.Tick());
        const auto start = std::chrono::steady_clock::now();
        monitor.renderer.RenderTick();
        if (i >= kLines - 100)
            appendUs.push_back(MicrosecondsSince(start));
        if (i % 16 == 0) // let repaints and the repaint window run, untimed
            QCoreApplication::processEvents();
    }
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 100)
        QCoreApplication::processEvents();

    std::vector<double> repaintUs;
    for (int i = 0; i < 20; ++i) {
        const auto start = std::chrono::steady_clock::now();
        monitor.view.viewport()->repaint();
        repaintUs.push_back(MicrosecondsSince(start));
    }

    const int blocks = monitor.view.document()->blockCount();
    const auto start = std::chrono::steady_clock::now();
    monitor.view.clear();
    const double clearMs = MicrosecondsSince(start) / 1000.0;

    std::printf("monitor_lines: %d\n", blocks - 1);
    std::printf("append_median_us_at_5000: %.1f\n", Median(appendUs));
    std::printf("repaint_median_us_at_5000: %.1f\n", Median(repaintUs));
    std::printf("clear_ms_at_5000: %.2f\n", clearMs);
}

void MeasureStream()
{
    Monitor monitor;
    PaintCounter counter;
    monitor.view.viewport()->installEventFilter(&counter);

    // A receive thread that queues 1000 lines a second, catching up after any
    // oversleep, as bursts would arrive from a busy device.
    constexpr int kRunMs = 2000;
    std::atomic<bool> stop { false };
    std::thread producer([&] {
        const auto start = std::chrono::steady_clock::now();
        long queued = 0;
        while (!stop.load()) {
            const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - start)
                                     .count();
            for (; queued < std::min<long>(elapsed, kRunMs); ++queued)
                monitor.channel.AppendReceivedBurst(kBurst, monitor.clock.Tick());
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });

    // A 5 ms probe: the longest gap between its ticks shows how long the event
    // loop was kept from anything else.
    QElapsedTimer sinceProbe;
    sinceProbe.start();
    qint64 longestGap = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(
        &probe, &QTimer::timeout, [&] { longestGap = std::max(longestGap, sinceProbe.restart()); });
    probe.start(5);

    const int paintsBefore = counter.Paints;
    const double cpuBefore = ThreadCpuSeconds();
    QElapsedTimer run;
    run.start();
    QEventLoop loop;
    QTimer::singleShot(kRunMs, &loop, &QEventLoop::quit);
    loop.exec();
    const double seconds = double(run.elapsed()) / 1000.0;
    const int paints = counter.Paints - paintsBefore;
    const double cpu = ThreadCpuSeconds() - cpuBefore;
    stop = true;
    producer.join();

    std::printf("paints_per_second_at_1000_lines_per_s: %.1f\n", double(paints) / seconds);
    std::printf("ui_thread_cpu_percent_at_1000_lines_per_s: %.1f\n", 100.0 * cpu / seconds);
    std::printf("lines_shown_in_2_s: %d\n", monitor.view.document()->blockCount() - 1);
    std::printf("max_event_loop_stall_ms: %lld\n", static_cast<long long>(longestGap - 5));
}

void MeasureCatchUp()
{
    Monitor monitor;
    PaintCounter counter;
    monitor.view.viewport()->installEventFilter(&counter);
    constexpr int kLines = 5000;

    QElapsedTimer sinceProbe;
    qint64 longestGap = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(
        &probe, &QTimer::timeout, [&] { longestGap = std::max(longestGap, sinceProbe.restart()); });

    for (int i = 0; i < kLines; ++i)
        monitor.channel.AppendReceivedBurst(kBurst, monitor.clock.Tick());
    QElapsedTimer run;
    run.start();
    sinceProbe.start();
    probe.start(5);
    while (monitor.view.document()->blockCount() - 1 < kLines && run.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    const qint64 ms = run.elapsed();

    std::printf("catch_up_ms_5000_queued_lines: %lld\n", static_cast<long long>(ms));
    std::printf("paints_during_catch_up: %d\n", counter.Paints);
    std::printf("max_stall_ms_during_catch_up: %lld\n", static_cast<long long>(longestGap - 5));
}

} // namespace

int main(int argc, char **argv)
{
    // A program, not a test: make it run without a display by default.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MeasureAppendAndClear();
    MeasureStream();
    MeasureCatchUp();
    return 0;
}
