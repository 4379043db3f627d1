#include "engine/lost_device_reopener.h"

#include "engine/vek_com_thread.h"
#include "engine/vek_scomm.h"
#include "port/port_names.h"

TLostDeviceReopener::TLostDeviceReopener(TVekScomm &channel, TVekComThread &receiver)
    : channel_(channel)
    , receiver_(receiver)
{ }

TLostDeviceReopener::~TLostDeviceReopener() = default;

bool TLostDeviceReopener::BeginWatching()
{
    const std::string path = DevicePath(channel_.ComPort().Port());
    if (!watcher_ || watcher_->Path() != path)
        watcher_ = std::make_unique<TDeviceWatcher>(path);
    return watcher_->Start();
}

void TLostDeviceReopener::StopWatching()
{
    watcher_.reset();
}

bool TLostDeviceReopener::HandleEvents()
{
    if (!watcher_ || !watcher_->TakeEvents())
        return false;
    if (!TryReopen())
        return false;
    StopWatching();
    return true;
}

bool TLostDeviceReopener::TryReopen()
{
    receiver_.Park();
    channel_.ClosePort();
    try {
        channel_.OpenPort();
    } catch (...) {
        // The node may exist before it can be opened (permissions still being
        // set); the next folder event tries again.
        return false;
    }
    receiver_.Release();
    return true;
}
