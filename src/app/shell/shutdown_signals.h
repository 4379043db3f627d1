#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

// Turns SIGTERM, SIGINT and SIGHUP (logout, systemctl, Ctrl+C, a closed
// terminal) and the session manager's request to save into the ordinary close
// of the main window, so settings, layout and send text are written as when
// the user closes it. The handler only writes one byte to a socket pair; the
// close runs in the event loop. A second signal while closing ends the process
// at once. One instance at a time; the previous handlers come back with its end.
class TShutdownSignals : public QObject
{
    Q_OBJECT
public:
    explicit TShutdownSignals(QWidget *mainWindow);
    ~TShutdownSignals() override;
    TShutdownSignals(const TShutdownSignals &) = delete;
    TShutdownSignals &operator=(const TShutdownSignals &) = delete;

private:
    void InstallHandlers();
    void RestoreHandlers();
    void SignalArrived();
    void CloseMainWindow();

    QWidget *mainWindow_;
    QSocketNotifier *notifier_ = nullptr;
    bool closing_ = false;
};
