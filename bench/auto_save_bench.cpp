// Auto save while a capture streams in: 5000 stamped lines go through the
// renderer into the monitor with auto save on at 1000 lines.
//
//   usage: auto_save_bench [burst_bytes]   (default 64)
//
//   lines_received       lines queued by the receive side
//   lines_in_files       lines read back from the auto-saved files
//   lines_on_screen      lines left in the monitor
//   files_written        auto-saved files
//   max_ui_stall_ms      longest the event loop was kept busy in one go while
//                        lines were shown and files were written
//   save_ms_5000_lines   writing a 5000-line monitor to a message file

#include "app/engine/data_rt.h"
#include "app/shell/background_writer.h"
#include "app/shell/monitor_limits.h"
#include "app/shell/rich_text_bridge.h"
#include "engine/vek_scomm.h"
#include "shell/atomic_file.h"
#include "shell/auto_save_rules.h"
#include "shell/rich_text.h"
#include "support/manual_clock.h"
#include "support/pty_pair.h"
#include "support/qt_renderer_views.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace {

constexpr int kLines = 5000;
constexpr int kAutoLines = 1000;

std::string Burst(std::size_t bytes)
{
    std::string burst(bytes, '\0');
    for (std::size_t i = 0; i < bytes; ++i)
        burst[i] = char(i * 7 + 1);
    return burst;
}

int LinesInFiles(const std::string &folder, int &files)
{
    int lines = 0;
    files = 0;
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        const RichDocument document = ReadRichText(ReadWholeFile(entry.path().string()));
        const bool lastEmpty = !document.Lines.empty() && document.Lines.back().empty();
        lines += CountedLines(int(document.Lines.size()), lastEmpty);
        ++files;
    }
    return lines;
}

struct Bench : RendererViews
{
    explicit Bench(std::size_t burstBytes)
        : burst(Burst(burstBytes))
    {
        settings.AutoLines = kAutoLines;
        settings.AutoSavePath.Assign(folder.Path() + "auto");
        renderer.TimeSwitch = 1;
        renderer.DirectionSwitch = 1;
        renderer.MonitorLimitActsAt = [this](int lines) { return limits.WouldAct(lines); };
        limits.AutoSaveEnabled = true;
        monitor.setLineWrapMode(QPlainTextEdit::NoWrap);
        monitor.resize(800, 600);
        monitor.show();
        QCoreApplication::processEvents();
    }

    // The receive side queues every line at once; the renderer catches up.
    qint64 Run()
    {
        QElapsedTimer sinceProbe;
        qint64 longestGap = 0;
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        QObject::connect(&probe, &QTimer::timeout,
            [&] { longestGap = std::max(longestGap, sinceProbe.restart()); });
        sinceProbe.start();
        probe.start(1);

        std::thread producer([this] {
            for (int i = 0; i < kLines; ++i)
                received += channel.AppendReceivedBurst(burst, clock.Tick()) ? 1 : 0;
        });
        QElapsedTimer run;
        run.start();
        for (;;) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (channel.RxCount.load() == uint32_t(kLines * burst.size())
                && channel.QueuedLines() == 0 && !writer.Busy())
                break;
            if (run.elapsed() > 600000)
                break;
        }
        producer.join();
        limits.FinishSaving();
        return longestGap > 1 ? longestGap - 1 : 0;
    }

    TempFolder folder;
    std::string burst;
    std::atomic<int> received { 0 };
    TDataRT renderer { &send, channel, &monitor, &find, settings, clock };
    TBackgroundWriter writer;
    TMonitorLimits limits { &monitor, settings, writer };
};

double SaveMs5000Lines(std::size_t burstBytes, const std::string &folder)
{
    QPlainTextEdit view;
    const QString body
        = QString::fromLatin1(QByteArray::fromStdString(Burst(burstBytes)).toHex(' ')).toUpper();
    for (int i = 0; i < kLines; ++i)
        TDataRT::AppendStampedLine(&view, "[14:03:27  15 Rx] ", body, 0x0000FF);
    QElapsedTimer timer;
    timer.start();
    SaveViewToFile(&view, QString::fromStdString(folder + "whole.crvm"));
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::size_t burstBytes = argc > 1 ? std::size_t(std::atoi(argv[1])) : 64;
    if (burstBytes == 0 || burstBytes > 4096) {
        std::fprintf(stderr, "usage: auto_save_bench [burst_bytes 1..4096]\n");
        return 2;
    }

    Bench bench(burstBytes);
    const qint64 stall = bench.Run();
    int files = 0;
    const int inFiles = LinesInFiles(bench.folder.Path() + "auto", files);
    const QTextDocument *document = bench.monitor.document();
    const int onScreen = CountedLines(document->blockCount(), document->lastBlock().length() <= 1);

    std::printf("burst_bytes: %zu\n", burstBytes);
    std::printf("lines_received: %d\n", bench.received.load());
    std::printf("lines_in_files: %d\n", inFiles);
    std::printf("lines_on_screen: %d\n", onScreen);
    std::printf("files_written: %d\n", files);
    std::printf("max_ui_stall_ms: %lld\n", static_cast<long long>(stall));
    std::printf("save_ms_5000_lines: %.1f\n", SaveMs5000Lines(burstBytes, bench.folder.Path()));
    return 0;
}
