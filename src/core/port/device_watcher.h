#pragma once

#include <string>

// Watches for a device path to come back after its device went away: an
// inotify watch on the folder that holds the path, which reports the name being
// created, moved in or having its attributes changed (udev sets the mode of a
// new node after creating it). A USB adapter plugged in again, or a virtual
// port whose link is made anew, shows up here without any polling.
class TDeviceWatcher
{
public:
    explicit TDeviceWatcher(std::string path);
    ~TDeviceWatcher();
    TDeviceWatcher(const TDeviceWatcher &) = delete;
    TDeviceWatcher &operator=(const TDeviceWatcher &) = delete;

    // Starts watching the path's folder; false when it cannot be watched
    // (folder missing, inotify refused), with the reason in errno.
    bool Start();
    void Stop();
    bool Watching() const { return fd_ >= 0; }

    // Readable when folder events wait; -1 while not watching. For an event loop.
    int Fd() const { return fd_; }

    // Reads every waiting event without blocking; true when one of them named
    // the watched entry.
    bool TakeEvents();

    // Waits up to timeoutMs for an event naming the watched entry; for callers
    // without an event loop. False on timeout or when not watching.
    bool WaitForReturn(int timeoutMs);

    const std::string &Path() const { return path_; }

private:
    std::string path_;
    std::string folder_;
    std::string name_;
    int fd_ = -1;
};
