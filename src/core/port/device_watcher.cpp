#include "port/device_watcher.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

constexpr uint32_t kReturnEvents = IN_CREATE | IN_MOVED_TO | IN_ATTRIB;

} // namespace

TDeviceWatcher::TDeviceWatcher(std::string path)
    : path_(std::move(path))
{
    const std::size_t slash = path_.rfind('/');
    if (slash == std::string::npos) {
        folder_ = ".";
        name_ = path_;
    } else {
        folder_ = slash == 0 ? "/" : path_.substr(0, slash);
        name_ = path_.substr(slash + 1);
    }
}

TDeviceWatcher::~TDeviceWatcher()
{
    Stop();
}

bool TDeviceWatcher::Start()
{
    if (fd_ >= 0)
        return true;
    const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0)
        return false;
    if (inotify_add_watch(fd, folder_.c_str(), kReturnEvents) < 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return false;
    }
    fd_ = fd;
    return true;
}

void TDeviceWatcher::Stop()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool TDeviceWatcher::TakeEvents()
{
    if (fd_ < 0)
        return false;
    bool named = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(fd_, buffer, sizeof buffer);
        if (count <= 0)
            break; // EAGAIN: drained
        for (ssize_t offset = 0; offset < count;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + offset);
            if (event->len > 0 && name_ == event->name && (event->mask & kReturnEvents) != 0)
                named = true;
            offset += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
    return named;
}

bool TDeviceWatcher::WaitForReturn(int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (fd_ >= 0) {
        const auto left
            = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() < 0)
            return false;
        pollfd entry { fd_, POLLIN, 0 };
        const int ready = ::poll(&entry, 1, int(left.count()));
        if (ready < 0 && errno != EINTR)
            return false;
        if (ready > 0 && TakeEvents())
            return true;
    }
    return false;
}
