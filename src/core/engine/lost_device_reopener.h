#pragma once

#include "port/device_watcher.h"

#include <memory>
#include <string>

class TVekComThread;
class TVekScomm;

// Brings a lost port back: once the receive thread reports the device gone,
// watches its path, and when the path returns reopens the port with the
// settings it had (the port object keeps them across a close). Driven from one
// thread (the window's); the receive thread is parked around the reopen so it
// never reads a port being replaced.
class TLostDeviceReopener
{
public:
    TLostDeviceReopener(TVekScomm &channel, TVekComThread &receiver);
    ~TLostDeviceReopener();

    // Starts watching the open port's path; false when its folder cannot be watched.
    bool BeginWatching();
    void StopWatching();
    bool Watching() const { return watcher_ != nullptr && watcher_->Watching(); }
    // Readable while folder events wait (for an event loop), or -1.
    int WatchFd() const { return watcher_ ? watcher_->Fd() : -1; }

    // Reads the waiting folder events; when one names the port, tries to reopen.
    // True when the port is open again (watching then stops).
    bool HandleEvents();
    // Closes the lost device and opens the path again; true on success. While
    // the path cannot be used yet the lost port is left as it is; watching
    // goes on either way until a reopen succeeds.
    bool TryReopen();

private:
    TVekScomm &channel_;
    TVekComThread &receiver_;
    std::unique_ptr<TDeviceWatcher> watcher_;
};
