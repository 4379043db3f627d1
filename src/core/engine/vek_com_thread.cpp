#include "engine/vek_com_thread.h"

#include "engine/vek_scomm.h"

#include <array>
#include <chrono>
#include <pthread.h>

namespace {

constexpr int kReceiveBufferSize = 4096;
const TComEvents kWatchedEvents { evRxChar, evCTS, evDSR, evRLSD };
// How often a thread that should run but finds the port closed looks again.
constexpr auto kClosedPortRecheck = std::chrono::milliseconds(100);
// Pause before retrying after a failure, so a device that is gone for good
// (adapter pulled, other end hung up) costs no CPU while it stays open.
constexpr auto kRetryPause = std::chrono::milliseconds(100);
// While the capture queue is full the modem lines are still looked at this
// often, so the lamps keep up when the reader holds back.
constexpr auto kRoomRecheck = std::chrono::milliseconds(100);
// Longest time Park waits for the loop to leave the port.
constexpr auto kParkAcknowledgeLimit = std::chrono::milliseconds(1000);

} // namespace

TVekComThread::TVekComThread(TVekScomm &channel)
    : channel_(channel)
    , thread_([this] { Loop(); })
{ }

TVekComThread::~TVekComThread()
{
    {
        std::lock_guard lock(gateMutex_);
        stopping_.store(true);
    }
    channel_.ComPort().CancelWait();
    channel_.WakeCaptureWait();
    gate_.notify_all();
    thread_.join();
}

void TVekComThread::Release()
{
    {
        std::lock_guard lock(gateMutex_);
        if (running_.load())
            return;
        running_.store(true);
        deviceLost_.store(false);
    }
    gate_.notify_all();
}

void TVekComThread::Park()
{
    std::unique_lock lock(gateMutex_);
    running_.store(false);
    if (atGate_)
        return;
    lock.unlock();
    gate_.notify_all();
    channel_.ComPort().CancelWait();
    channel_.WakeCaptureWait();
    // Wait until the loop has left the port, so a close that follows never
    // races a read. The limit only matters if the loop is stuck elsewhere.
    lock.lock();
    parked_.wait_for(lock, kParkAcknowledgeLimit, [this] { return atGate_; });
}

void TVekComThread::WithLoopParked(const std::function<void()> &change)
{
    const bool wasRunning = Running();
    Park();
    struct TResumeAtEnd
    {
        TVekComThread &thread;
        bool resume;
        ~TResumeAtEnd()
        {
            if (resume)
                thread.Release();
        }
    } resumeAtEnd { *this, wasRunning };
    change();
}

clockid_t TVekComThread::CpuClock() const
{
    clockid_t id {};
    if (pthread_getcpuclockid(const_cast<std::thread &>(thread_).native_handle(), &id) != 0)
        return CLOCK_THREAD_CPUTIME_ID;
    return id;
}

bool TVekComThread::WaitWhileParked()
{
    std::unique_lock lock(gateMutex_);
    for (;;) {
        if (stopping_.load())
            return false;
        if (running_.load() && channel_.PortOpenForReceiving()) {
            atGate_ = false;
            return true;
        }
        if (!atGate_) {
            atGate_ = true;
            parked_.notify_all();
        }
        // Released or stopped: woken at once. Running while the port is closed
        // (an open that has not happened yet): look again a little later.
        if (running_.load())
            gate_.wait_for(lock, kClosedPortRecheck);
        else
            gate_.wait(lock);
    }
}

// A full capture queue holds the reader here, off the port, until the renderer
// has taken lines out; Park, Close and the destructor end the wait.
bool TVekComThread::WaitForRoom()
{
    while (!channel_.WaitForCaptureRoom(kRoomRecheck, [this] { return Cancelled(); })) {
        if (Cancelled())
            return false;
        RefreshModemLines();
    }
    return true;
}

bool TVekComThread::Cancelled() const
{
    return stopping_.load() || !running_.load() || !channel_.ComPort().Connected();
}

void TVekComThread::PauseAfterLoss()
{
    std::unique_lock lock(gateMutex_);
    gate_.wait_for(lock, kRetryPause, [this] { return stopping_.load() || !running_.load(); });
}

void TVekComThread::Loop()
{
    std::array<char, kReceiveBufferSize> buffer {};
    while (WaitWhileParked()) {
        if (!WaitForRoom())
            continue;
        bool failed = false;
        try {
            ReceiveOnce(buffer.data(), int(buffer.size()));
        } catch (...) {
            // Every failure of the wait or the read ends this round only.
            failed = true;
        }
        const bool lost = channel_.ComPort().DeviceLost();
        deviceLost_.store(lost);
        if (failed || lost)
            PauseAfterLoss();
    }
    std::lock_guard lock(gateMutex_);
    atGate_ = true;
    parked_.notify_all();
}

void TVekComThread::ReceiveOnce(char *buffer, int size)
{
    TComPort &port = channel_.ComPort();
    // After a burst that filled the buffer the device most likely holds more:
    // reading at once saves the wait on every burst while a stream lasts.
    if (lastBurstFull_) {
        lastBurstFull_ = false;
        const uint32_t detected = channel_.GetClock().Tick();
        const int count = port.ReadIfAny(buffer, size);
        if (count > 0) {
            RefreshModemLines();
            TakeBurst(buffer, count, size, detected);
            return;
        }
    }
    const TComEvents events = port.WaitForEvent(kWatchedEvents, -1);
    RefreshModemLines();
    if (!events.Has(evRxChar))
        return;

    const uint32_t detected = channel_.GetClock().Tick();
    TakeBurst(buffer, port.Read(buffer, size), size, detected);
}

void TVekComThread::TakeBurst(const char *buffer, int count, int size, uint32_t detected)
{
    if (count <= 0)
        return;
    lastBurstFull_ = count == size;
    // Paused monitoring still drains the device, but nothing is shown or counted.
    if (channel_.MonitoringOn.load() == 0)
        return;
    channel_.AppendReceivedBurst(std::string_view(buffer, std::size_t(count)), detected);
}

void TVekComThread::RefreshModemLines()
{
    try {
        channel_.RefreshLineStates();
    } catch (...) {
        // The flags keep their last known values.
    }
}
