// How fast the receive trigger answers: the real program (main window, engine,
// timers; offscreen) with a pseudo-terminal as its port. Send view line 1 is the
// request, line 2 the answer, trigger row (1, 2) with delay 0. A driver thread
// plays the device: it writes the request, waits for the answer, pauses so the
// bursts stay apart, and measures from the request's last byte written to the
// answer's first byte read. The receive thread ends a burst 20 ms after its
// last byte, which is the floor of every figure.
//
//   trigger_latency_p50_ms, trigger_latency_p90_ms, trigger_latency_p99_ms,
//   trigger_latency_min_ms, trigger_latency_max_ms   over the answered requests
//   answers_missing                                  requests without an answer
//   stage_queued_p50_ms    request written -> its R line queued (receive thread)
//   stage_shown_p50_ms     R line queued -> shown in the monitor (render tick)
//   stage_answered_p50_ms  shown -> the answer's first byte read by the driver
//
// Usage: trigger_latency [requests] (default 300)
#include "app/engine/data_rt.h"
#include "app/port/com_combo_box.h"
#include "app/send/send_form.h"
#include "app/shell/corvella_application.h"
#include "app/shell/file_association.h"
#include "app/shell/main_form.h"
#include "app/shell/message_box.h"
#include "engine/vek_scomm.h"
#include "support/pty_pair.h"
#include "support/qt_action_named.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

const std::string kRequest("\x01\x03\x00\x00\x00\x01", 6);
const std::string kAnswer("\x01\x03\x02\x00\x0A", 5);
constexpr int kAnswerTimeoutMs = 1000;
constexpr auto kPauseBetweenRequests = std::chrono::milliseconds(50);

double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t index
        = std::min(values.size() - 1, std::size_t(fraction * double(values.size() - 1) + 0.5));
    return values[index];
}

void WriteAll(int fd, const std::string &bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += std::size_t(n);
            continue;
        }
        pollfd p { fd, POLLOUT, 0 };
        ::poll(&p, 1, 10);
    }
}

// Reads until `count` bytes came or the deadline passed; notes when the first
// byte arrived.
std::string ReadAnswer(
    int fd, std::size_t count, Clock::time_point deadline, Clock::time_point &firstByte)
{
    std::string got;
    while (got.size() < count) {
        const auto left
            = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now())
                  .count();
        if (left <= 0)
            break;
        pollfd p { fd, POLLIN, 0 };
        if (::poll(&p, 1, int(left)) <= 0)
            continue;
        const auto now = Clock::now();
        char buffer[64];
        const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, count - got.size()));
        if (n <= 0)
            continue;
        if (got.empty())
            firstByte = now;
        got.append(buffer, std::size_t(n));
    }
    return got;
}

// Drops whatever is left on the line (a late answer of a request given up on).
void Drain(int fd)
{
    char buffer[256];
    pollfd p { fd, POLLIN, 0 };
    while (::poll(&p, 1, 0) > 0 && ::read(fd, buffer, sizeof buffer) > 0) { }
}

struct Results
{
    std::vector<double> LatenciesMs;
    std::vector<double> QueuedMs, ShownMs, AnsweredMs;
    int Missing = 0;
};

// Moments of the current request's way through the program, set by hooks on
// the receive thread and the user-interface thread; 0 until reached.
std::atomic<int64_t> queuedAt { 0 };
std::atomic<int64_t> shownAt { 0 };

int64_t NsOf(Clock::time_point moment)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(moment.time_since_epoch()).count();
}

int64_t NowNs()
{
    return NsOf(Clock::now());
}

void NoteFirst(std::atomic<int64_t> &moment)
{
    int64_t unset = 0;
    moment.compare_exchange_strong(unset, NowNs());
}

double MsOfNs(int64_t from, int64_t to)
{
    return double(to - from) / 1e6;
}

Results Drive(int master, int requests)
{
    Results results;
    for (int i = 0; i < requests; ++i) {
        queuedAt = 0;
        shownAt = 0;
        WriteAll(master, kRequest);
        const auto written = Clock::now();
        Clock::time_point firstByte {};
        const std::string answer = ReadAnswer(master, kAnswer.size(),
            written + std::chrono::milliseconds(kAnswerTimeoutMs), firstByte);
        if (answer == kAnswer) {
            results.LatenciesMs.push_back(
                std::chrono::duration<double, std::milli>(firstByte - written).count());
            const int64_t writtenNs = NsOf(written);
            const int64_t firstNs = NsOf(firstByte);
            results.QueuedMs.push_back(MsOfNs(writtenNs, queuedAt));
            results.ShownMs.push_back(MsOfNs(queuedAt, shownAt));
            results.AnsweredMs.push_back(MsOfNs(shownAt, firstNs));
        } else {
            ++results.Missing;
        }
        std::this_thread::sleep_for(kPauseBetweenRequests);
        Drain(master);
    }
    return results;
}

} // namespace

int main(int argc, char *argv[])
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    TempFolder data;
    setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
    const int requests = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;

    CorvellaApplication app(argc, argv);
    SetDesktopDatabaseUpdates(false);
    // A box would wait for a person; there is nobody, so say what it was.
    SetMessageBoxHandler([](const MessageBoxRequest &request) {
        std::fprintf(
            stderr, "box: %s: %s\n", qPrintable(request.Caption), qPrintable(request.Text));
        return QMessageBox::Ok;
    });

    TMainForm form;
    form.show();
    QCoreApplication::processEvents();

    PtyPair pty;
    form.SendForm()->RichSend->setPlainText("01 03 00 00 00 01\n01 03 02 00 0A");
    form.Settings().Trigger.ReceiveTriggerList[0] = { 1, 2 };
    form.Settings().Trigger.ReceiveTriggerDelay = 0;
    form.Settings().Trigger.ReceiveTriggerEnabled = 1;
    form.ApplySettings();
    // Watch the request's way: queued by the receive thread, shown by a render tick.
    std::function<void()> wakeRenderer = form.Channel()->OnLineQueued;
    form.Channel()->OnLineQueued = [wakeRenderer] {
        NoteFirst(queuedAt);
        wakeRenderer();
    };
    QObject::connect(form.RichShow()->document(), &QTextDocument::contentsChanged, &form,
        [] { NoteFirst(shownAt); });

    form.CBoxPort()->setEditText(QString::fromStdString(pty.SlavePath()));
    ActionNamed(form, "OpenPort1")->trigger();
    if (!form.Channel()->ComPort().Connected()) {
        std::fprintf(stderr, "the port did not open\n");
        return 1;
    }

    Results results;
    std::thread driver;
    QTimer::singleShot(500, &app, [&] {
        driver = std::thread([&] {
            results = Drive(pty.Master(), requests);
            QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
        });
    });
    app.exec();
    driver.join();
    ActionNamed(form, "OpenPort1")->trigger(); // close the port while its other end is still there

    const std::vector<double> &ms = results.LatenciesMs;
    std::printf("trigger_latency_p50_ms: %.2f\n", Percentile(ms, 0.50));
    std::printf("trigger_latency_p90_ms: %.2f\n", Percentile(ms, 0.90));
    std::printf("trigger_latency_p99_ms: %.2f\n", Percentile(ms, 0.99));
    std::printf("trigger_latency_min_ms: %.2f\n",
        ms.empty() ? 0.0 : *std::min_element(ms.begin(), ms.end()));
    std::printf("trigger_latency_max_ms: %.2f\n",
        ms.empty() ? 0.0 : *std::max_element(ms.begin(), ms.end()));
    std::printf("answers_missing: %d\n", results.Missing);
    std::printf("stage_queued_p50_ms: %.2f\n", Percentile(results.QueuedMs, 0.50));
    std::printf("stage_shown_p50_ms: %.2f\n", Percentile(results.ShownMs, 0.50));
    std::printf("stage_answered_p50_ms: %.2f\n", Percentile(results.AnsweredMs, 0.50));
    return 0;
}
