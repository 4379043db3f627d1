// Cost of searching a full monitor of 5000 stamped lines.
//
//   find_all_ms_every_line   Find All when every line holds the search text
//   find_all_cpu_ms_every_line   the same, as CPU time of the user-interface
//                            thread (what the search costs on a busy machine)
//   find_all_ms_1pct         Find All when one line in a hundred holds it
//   find_next_ms_last_line   one Find Next whose only hit is on the last line
//   max_ui_stall_ms          the longest the event loop waited during the first
//                            Find All (the window stays usable while it runs)

#include "app/engine/data_rt.h"
#include "app/shell/message_box.h"
#include "app/tools/find_dialog.h"
#include "app/tools/find_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

constexpr int kLines = 5000;

void FillMonitor(QPlainTextEdit &monitor)
{
    for (int i = 0; i < kLines; ++i) {
        const QString body = i % 100 == 50 ? QStringLiteral("01 03 7E 7E 0A 0B 0C 0D")
            : i == kLines - 1              ? QStringLiteral("01 03 02 00 0A 0B 0C 0D FF")
                                           : QStringLiteral("01 03 02 00 0A 0B 0C 0D");
        monitor.moveCursor(QTextCursor::End);
        TDataRT::AppendStampedLine(&monitor, QStringLiteral("[14:03:27  20 Rx] "), body, 0xC80000);
    }
}

double ThreadCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double TimedSearch(TFindDialog &dialog, const QString &text, bool all)
{
    dialog.FindText->setText(text);
    dialog.FindAll->setChecked(all);
    QElapsedTimer clock;
    clock.start();
    dialog.FindInMonitor();
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetMessageBoxHandler([](const MessageBoxRequest &) { return QMessageBox::Ok; });

    SettingsRecord settings = SettingsRecord::Defaults();
    QPlainTextEdit monitor;
    monitor.setLineWrapMode(QPlainTextEdit::NoWrap);
    monitor.resize(800, 600);
    monitor.show();
    TFindForm results;
    results.resize(800, 300);
    results.show(); // the listing repaints as it grows: the costly case
    TFindDialog dialog(&monitor, &results, settings);
    FillMonitor(monitor);
    QApplication::processEvents();

    // The event loop's passes during the search: the longest gap is the stall.
    QElapsedTimer loop;
    qint64 lastPass = 0;
    qint64 maxGap = 0;
    QTimer probe;
    probe.setInterval(0);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = loop.nsecsElapsed();
        maxGap = std::max(maxGap, now - lastPass);
        lastPass = now;
    });
    probe.start();
    loop.start();
    const double cpuBefore = ThreadCpuMs();
    const double everyLine = TimedSearch(dialog, QStringLiteral("0a"), true);
    const double everyLineCpu = ThreadCpuMs() - cpuBefore;
    maxGap = std::max(maxGap, loop.nsecsElapsed() - lastPass);
    probe.stop();

    const double onePercent = TimedSearch(dialog, QStringLiteral("7e 7e"), true);
    dialog.FindAll->setChecked(false);
    const double findNext = TimedSearch(dialog, QStringLiteral("0d ff"), false);

    std::printf("find_all_ms_every_line: %.1f\n", everyLine);
    std::printf("find_all_cpu_ms_every_line: %.1f\n", everyLineCpu);
    std::printf("find_all_ms_1pct: %.1f\n", onePercent);
    std::printf("find_next_ms_last_line: %.2f\n", findNext);
    std::printf("max_ui_stall_ms: %.1f\n", double(maxGap) / 1e6);
    const bool foundAll = results.RichFind->document()->blockCount() == kLines / 100 + 1;
    const bool foundLast = dialog.LastFoundPos() > 0;
    return foundAll && foundLast ? 0 : 1;
}
