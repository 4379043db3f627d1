// Idle cost of the real program: the main window, its engine and timers,
// offscreen, with the port closed and then open on a quiet pseudo-terminal.
// Prints "idle_cpu_pct" (closed) and "idle_cpu_open_pct" (open, quiet).
// With --window it shows the window on the display instead (run it under
// `xvfb-run -a`) and prints "idle_cpu_window_pct" and "idle_cpu_window_open_pct".
//
// Usage: idle_cpu [seconds (default 10)] [--window]
#include "app/port/com_combo_box.h"
#include "app/shell/corvella_application.h"
#include "app/shell/main_form.h"
#include "engine/vek_scomm.h"
#include "support/pty_pair.h"
#include "support/qt_open_port.h"

#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

double ProcessCpuSeconds()
{
    timespec ts {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

double WallSeconds()
{
    timespec ts {};
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
    int seconds = 10;
    bool window = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--window") == 0)
            window = true;
        else
            seconds = std::max(1, std::atoi(argv[i]));
    }
    if (window)
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    else
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string name = window ? "idle_cpu_window" : "idle_cpu";
    TempFolder data;
    setenv("XDG_DATA_HOME", data.Path().c_str(), 1);

    CorvellaApplication app(argc, argv);
    TMainForm form;
    form.show();
    RunEventLoopFor(1000); // start-up settles

    std::printf("%s_pct: %.2f\n", name.c_str(), MeasureCpuPercent(seconds * 1000));

    PtyPair pty;
    if (!OpenPortOnPty(form, pty))
        return 1;
    RunEventLoopFor(500);
    std::printf("%s_open_pct: %.2f\n", name.c_str(), MeasureCpuPercent(seconds * 1000));
    form.ToggleConnection();
    form.hide();
    return 0;
}
