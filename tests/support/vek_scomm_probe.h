#pragma once

#include "engine/vek_scomm.h"

#include <cstdint>
#include <mutex>
#include <stdexcept>
#include <utility>

// Looks inside a channel's capture state: the reference time of the next gap,
// and a way to keep the capture lock busy while a call runs.
class TVekScommProbe
{
public:
    static uint32_t LastLineTime(TVekScomm &channel)
    {
        std::unique_lock lock(channel.captureLock_, std::defer_lock);
        if (!channel.LockCapture(lock))
            throw std::runtime_error("capture lock busy");
        return channel.lastLineTime_;
    }

    // Runs `call` while the capture lock is held. The lock records no owner,
    // so a call on this same thread meets a busy lock and waits out its limit.
    template <typename Call> static auto WhileCaptureLocked(TVekScomm &channel, Call &&call)
    {
        std::lock_guard lock(channel.captureLock_);
        return std::forward<Call>(call)();
    }
};
