// Idle cost of the real program: the main window, its engine and timers,
// offscreen, with the port closed and then open on a quiet pseudo-terminal.
// Prints "idle_cpu_pct" (closed) and "idle_cpu_open_pct" (open, quiet).
#include "app/port/com_combo_box.h"
#include "app/shell/corvella_application.h"
#include "app/shell/main_form.h"
#include "engine/vek_scomm.h"
#include "support/pty_pair.h"

#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

double ProcessCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

double WallSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

void RunEventLoopFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double MeasureCpuPercent(int ms)
{
    const double cpu0 = ProcessCpuSeconds();
    const double wall0 = WallSeconds();
    RunEventLoopFor(ms);
    return 100.0 * (ProcessCpuSeconds() - cpu0) / (WallSeconds() - wall0);
}

} // namespace

int main(int argc, char *argv[])
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    TempFolder data;
    setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;

    CorvellaApplication app(argc, argv);
    TMainForm form;
    form.show();
    RunEventLoopFor(1000); // start-up settles

    std::printf("idle_cpu_pct: %.2f\n", MeasureCpuPercent(seconds * 1000));

    PtyPair pty;
    form.CBoxPort->setEditText(QString::fromStdString(pty.SlavePath()));
    form.ToggleConnection();
    if (!form.Channel->ComPort().Connected()) {
        std::fprintf(stderr, "could not open %s\n", pty.SlavePath().c_str());
        return 1;
    }
    RunEventLoopFor(500);
    std::printf("idle_cpu_open_pct: %.2f\n", MeasureCpuPercent(seconds * 1000));
    form.ToggleConnection();
    form.hide();
    return 0;
}
