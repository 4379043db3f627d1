#pragma once

#include <QObject>
#include <QString>

#include <memory>

class Clock;
class QSocketNotifier;
class TLostDeviceReopener;
class TVekComThread;
class TVekScomm;

// Reopens a port whose device went away once the same path returns (an adapter
// plugged in again, a virtual port made anew), and tells the user with a grey
// marker line when the device goes and when it comes back. Watching costs
// nothing while the device stays away: the folder's inotify descriptor wakes the
// event loop only when something there changes.
class TLostDeviceMonitor : public QObject
{
    Q_OBJECT
public:
    TLostDeviceMonitor(
        TVekScomm &channel, TVekComThread &receiver, Clock &clock, QObject *parent = nullptr);
    ~TLostDeviceMonitor() override;

    // On by default; off stops any watch under way (the port stays lost) and
    // shows no markers.
    void SetEnabled(bool on);
    bool Enabled() const { return enabled_; }
    // True from the loss until the port is open again or the user closes it.
    bool Waiting() const { return waiting_; }

    // Looks at the receive thread's state; called on every status tick.
    void Check();
    // The user opened or closed the port himself: nothing more to wait for.
    void StopWaiting();

    static QString LostMarker(const QString &timeOfDay);
    static QString ReturnedMarker(const QString &timeOfDay);

signals:
    // A marker line for the monitor, to be shown after every line received so far.
    void MarkerLine(const QString &text);
    // The port was reopened by the watch.
    void PortReopened();

private:
    void StartWatching();
    void StopWatching();
    void FolderChanged();
    void Reopened();
    QString TimeOfDay() const;

    TVekScomm &channel_;
    TVekComThread &receiver_;
    Clock &clock_;
    std::unique_ptr<TLostDeviceReopener> reopener_;
    QSocketNotifier *notifier_ = nullptr;
    bool enabled_ = true;
    bool waiting_ = false;
    bool lostMarkerDue_ = false;
};
