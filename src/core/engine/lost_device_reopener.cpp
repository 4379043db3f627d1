#include "engine/lost_device_reopener.h"

#include "engine/vek_com_thread.h"
#include "engine/vek_scomm.h"
#include "port/port_names.h"

#include <unistd.h>

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
    // A node can appear before it may be opened (udev sets its mode a moment
    // later) and a link can dangle: keep the lost port, and with it the
    // window's open state, until the path can really be used.
    if (::access(DevicePath(channel_.ComPort().Port()).c_str(), R_OK | W_OK) != 0)
        return false;
    receiver_.Park();
    channel_.ClosePort();
    try {
        channel_.OpenPort();
    } catch (...) {
        // Taken by another program in the meantime: the port stays closed and
        // the next folder event tries again.
        return false;
    }
    receiver_.Release();
    return true;
}
