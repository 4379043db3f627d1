#pragma once

#include <atomic>
#include <cstdint>
#include <condition_variable>
#include <ctime>
#include <functional>
#include <mutex>
#include <thread>

class TVekScomm;

// The only reader of the port: waits for port events, refreshes the channel's
// modem-line flags and turns each burst into one R capture line. Created parked;
// runs its loop only between Release and Park.
class TVekComThread
{
public:
    explicit TVekComThread(TVekScomm &channel);
    ~TVekComThread(); // stops and joins the thread
    TVekComThread(const TVekComThread &) = delete;
    TVekComThread &operator=(const TVekComThread &) = delete;

    void Release();
    void Park();
    // Runs `change` (a new port name, say, which reopens the device) with the
    // loop off the port, then lets the loop run again if it was running.
    void WithLoopParked(const std::function<void()> &change);
    bool Running() const { return running_.load(); }

    // True while the port's other end is gone (adapter pulled, pty closed); the
    // loop then retries at a slow pace until the port is closed.
    bool DeviceLost() const { return deviceLost_.load(); }

    // CPU-time clock of the thread, for measurements.
    clockid_t CpuClock() const;

private:
    void Loop();
    bool WaitWhileParked();
    bool WaitForRoom();
    bool Cancelled() const;
    void PauseAfterLoss();
    void ReceiveOnce(char *buffer, int size);
    void TakeBurst(const char *buffer, int count, int size, uint32_t detected);
    void RefreshModemLines();

    TVekScomm &channel_;
    std::mutex gateMutex_;
    std::condition_variable gate_;
    std::condition_variable parked_; // signalled when the loop arrives at the gate
    bool atGate_ = false; // guarded by gateMutex_: the loop is off the port
    std::atomic<bool> running_ { false };
    std::atomic<bool> stopping_ { false };
    std::atomic<bool> deviceLost_ { false };
    bool lastBurstFull_ = false; // the loop's own
    std::thread thread_;
};
