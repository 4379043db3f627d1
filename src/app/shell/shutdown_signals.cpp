#include "app/shell/shutdown_signals.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QWidget>

#include <array>
#include <atomic>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> kSignals { SIGTERM, SIGINT, SIGHUP };

// Only what a signal handler may touch: plain descriptors and a lock-free flag.
int g_socketPair[2] = { -1, -1 };
std::atomic<bool> g_signalled { false };
std::array<struct sigaction, kSignals.size()> g_previous {};

void OnSignal(int signal)
{
    if (g_signalled.exchange(true))
        _exit(128 + signal); // asked again while closing: stop now
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t n = ::write(g_socketPair[0], &byte, 1);
}

} // namespace

TShutdownSignals::TShutdownSignals(QWidget *mainWindow)
    : mainWindow_(mainWindow)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_socketPair) != 0)
        return; // no signal route: the signals keep their default effect
    notifier_ = new QSocketNotifier(g_socketPair[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TShutdownSignals::SignalArrived);
    InstallHandlers();

    // The session manager asks before a logout; the answer is the same close.
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager &) { CloseMainWindow(); });
}

TShutdownSignals::~TShutdownSignals()
{
    if (!notifier_)
        return;
    RestoreHandlers();
    delete notifier_;
    ::close(g_socketPair[0]);
    ::close(g_socketPair[1]);
    g_socketPair[0] = g_socketPair[1] = -1;
    g_signalled.store(false);
}

void TShutdownSignals::InstallHandlers()
{
    struct sigaction action
    {
    };
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &action, &g_previous[i]);
}

void TShutdownSignals::RestoreHandlers()
{
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &g_previous[i], nullptr);
}

void TShutdownSignals::SignalArrived()
{
    char byte = 0;
    [[maybe_unused]] const ssize_t n = ::read(g_socketPair[1], &byte, 1);
    CloseMainWindow();
}

void TShutdownSignals::CloseMainWindow()
{
    if (closing_)
        return;
    closing_ = true;
    // The same close as the window's own button; the event loop then ends,
    // whatever tool windows are still open. When files could not be written the
    // user may choose to stay: then nothing ends, and a later signal closes anew.
    if (mainWindow_->close()) {
        QCoreApplication::exit(0);
        return;
    }
    closing_ = false;
    g_signalled.store(false);
}
