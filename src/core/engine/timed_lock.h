#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// A lock whose waits can be limited, usable with std::unique_lock like
// std::timed_mutex. It is built on a plain mutex and a condition variable
// because std::timed_mutex's limited wait goes through pthread_mutex_clocklock,
// which thread checkers do not follow: they would see neither the lock nor the
// data it hands over.
class TTimedLock
{
public:
    void lock()
    {
        std::unique_lock guard(mutex_);
        released_.wait(guard, [this] { return !held_; });
        held_ = true;
    }

    bool try_lock()
    {
        std::lock_guard guard(mutex_);
        if (held_)
            return false;
        held_ = true;
        return true;
    }

    template <typename Rep, typename Period>
    bool try_lock_for(const std::chrono::duration<Rep, Period> &limit)
    {
        std::unique_lock guard(mutex_);
        if (!released_.wait_for(guard, limit, [this] { return !held_; }))
            return false;
        held_ = true;
        return true;
    }

    void unlock()
    {
        {
            std::lock_guard guard(mutex_);
            held_ = false;
        }
        released_.notify_one();
    }

private:
    std::mutex mutex_;
    std::condition_variable released_;
    bool held_ = false;
};
