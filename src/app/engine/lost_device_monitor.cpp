#include "app/engine/lost_device_monitor.h"

#include "engine/capture_line.h"
#include "engine/clock.h"
#include "engine/lost_device_reopener.h"
#include "engine/vek_com_thread.h"
#include "engine/vek_scomm.h"

#include <QSocketNotifier>

TLostDeviceMonitor::TLostDeviceMonitor(
    TVekScomm &channel, TVekComThread &receiver, Clock &clock, QObject *parent)
    : QObject(parent)
    , channel_(channel)
    , receiver_(receiver)
    , clock_(clock)
    , reopener_(std::make_unique<TLostDeviceReopener>(channel, receiver))
{ }

TLostDeviceMonitor::~TLostDeviceMonitor() = default;

QString TLostDeviceMonitor::LostMarker(const QString &timeOfDay)
{
    return QString("-- device lost %1 --").arg(timeOfDay);
}

QString TLostDeviceMonitor::ReturnedMarker(const QString &timeOfDay)
{
    return QString("-- device back %1 --").arg(timeOfDay);
}

void TLostDeviceMonitor::SetEnabled(bool on)
{
    enabled_ = on;
    if (!on)
        StopWaiting();
}

void TLostDeviceMonitor::Check()
{
    if (!enabled_)
        return;
    if (!waiting_ && channel_.ComPort().Connected() && receiver_.DeviceLost()) {
        waiting_ = true;
        lostMarkerDue_ = true;
        StartWatching();
    }
    // The marker follows every line the device sent before it went.
    if (lostMarkerDue_ && channel_.QueuedLines() == 0) {
        lostMarkerDue_ = false;
        emit MarkerLine(LostMarker(TimeOfDay()));
    }
    // A folder that could not be watched at the loss may be back by now.
    if (waiting_ && !notifier_)
        StartWatching();
}

void TLostDeviceMonitor::StopWaiting()
{
    StopWatching();
    waiting_ = false;
    lostMarkerDue_ = false;
}

void TLostDeviceMonitor::StartWatching()
{
    if (notifier_ || !reopener_->BeginWatching())
        return;
    notifier_ = new QSocketNotifier(reopener_->WatchFd(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TLostDeviceMonitor::FolderChanged);
    // The path may have come back between the loss and the watch.
    if (reopener_->TryReopen())
        Reopened();
}

void TLostDeviceMonitor::StopWatching()
{
    delete notifier_;
    notifier_ = nullptr;
    reopener_->StopWatching();
}

void TLostDeviceMonitor::FolderChanged()
{
    if (reopener_->HandleEvents())
        Reopened();
}

void TLostDeviceMonitor::Reopened()
{
    StopWatching();
    waiting_ = false;
    if (lostMarkerDue_) {
        lostMarkerDue_ = false;
        emit MarkerLine(LostMarker(TimeOfDay()));
    }
    emit MarkerLine(ReturnedMarker(TimeOfDay()));
    emit PortReopened();
}

QString TLostDeviceMonitor::TimeOfDay() const
{
    return QString::fromStdString(FormatTimeOfDay(clock_.LocalTime()));
}
