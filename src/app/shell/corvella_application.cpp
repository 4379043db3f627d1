#include "app/shell/corvella_application.h"

#include "app/shell/icons.h"
#include "app/shell/message_box.h"

CorvellaApplication::CorvellaApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    ConfigureApplication(*this);
    // The installed launcher's name, so the desktop ties the windows to it.
    setDesktopFileName("corvella");
    setWindowIcon(ApplicationIcon());
}

bool CorvellaApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        ReportUncaught(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ReportUncaught("Unknown error");
    }
    return false;
}

// Timers keep running under a modal box; an error that repeats on every tick
// would otherwise stack up boxes. One box at a time; repeats meanwhile are dropped.
void CorvellaApplication::ReportUncaught(const QString &message)
{
    if (reporting_)
        return;
    reporting_ = true;
    ShowErrorBox(message);
    reporting_ = false;
}

void ConfigureApplication(QApplication &app)
{
    // The name alone: a display name of its own would be appended by the
    // platform to every window's caption ("Send — Corvella").
    app.setApplicationName("Corvella");
}
