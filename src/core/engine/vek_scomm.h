#pragma once

#include "engine/clock.h"
#include "engine/timed_lock.h"
#include "port/com_port.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>

// The channel's own refusals; code is always 1.
class ECom : public std::runtime_error
{
public:
    explicit ECom(const std::string &message, int code = 1)
        : std::runtime_error(message)
        , Code(code)
    { }
    int Code;
};

inline constexpr const char *kOpenFailureText
    = "Open port failure,it may be opened by other procedures.";
inline constexpr const char *kNotHexText = "The sending data is not hexadecimal format.";

// The port channel: owns the port, the capture queue and the capture lock, and
// keeps the byte counters and the modem-line states the status bar shows.
class TVekScomm
{
public:
    explicit TVekScomm(Clock &clock = SystemClock::Instance());
    ~TVekScomm();

    // Written by the user-interface thread, read by the receive thread.
    const std::string Separator = " ";
    std::atomic<uint8_t> ReceiveHex { 1 };
    std::atomic<uint8_t> SendHex { 1 };
    std::atomic<uint8_t> MonitoringOn { 1 };
    std::atomic<uint32_t> RxCount { 0 };
    std::atomic<uint32_t> TxCount { 0 };
    std::atomic<uint8_t> CtsState { 0 };
    std::atomic<uint8_t> DsrState { 0 };
    std::atomic<uint8_t> RlsdState { 0 };

    TComPort &ComPort() { return comPort_; }
    const TComPort &ComPort() const { return comPort_; }
    Clock &GetClock() const { return clock_; }

    // Raises ECom(kOpenFailureText) when the device cannot be opened or set up;
    // the device's own error stays available in LastOpenError for a second line.
    void OpenPort();
    void ClosePort();
    // Sends one line (hex text while SendHex is 1, else bytes as they are) and
    // queues its T line unless monitoring is paused. Raises ECom(kNotHexText)
    // before anything is written; device errors (EComPort) pass through.
    void SendLine(std::string_view text);
    // The oldest queued line, or empty when there is none or the lock was busy.
    std::string PopLine();
    // Lines waiting in the queue (for the renderer to decide whether to keep ticking).
    std::size_t QueuedLines();

    // The receive thread's half: forms the R line of one burst detected at
    // `detectedTick` and queues it, counting the bytes. Returns false (bytes
    // dropped, nothing counted) when the lock was not obtained within 200 ms.
    bool AppendReceivedBurst(std::string_view bytes, uint32_t detectedTick);
    // The receive thread asks before each round whether the port is open; the
    // answer waits while OpenPort or ClosePort is under way, so the thread never
    // starts a wait on a port that is being closed or not yet set up.
    bool PortOpenForReceiving();
    // The receive thread copies the device's modem lines into the three line
    // states (raises EComPort when they cannot be read). Does nothing once the
    // port is closed, so a closed port's lines stay off.
    void RefreshLineStates();

    // The device's message of the last failed OpenPort (errno included).
    const std::string &LastOpenError() const { return lastOpenError_; }
    int LastOpenErrno() const { return lastOpenErrno_; }

    // Called (from either thread, without the lock) after a line was queued,
    // so the renderer can wake up. May be empty.
    std::function<void()> OnLineQueued;

    uint32_t LastLineTime();

private:
    void SetLineStateHandlers();
    bool LockCapture(std::unique_lock<TTimedLock> &lock);
    void NotifyQueued();

    Clock &clock_;
    TComPort comPort_;
    // Held by OpenPort and ClosePort, and by the receive thread whenever it
    // looks at the port between two of its calls.
    std::mutex portStateMutex_;
    TTimedLock captureLock_; // every wait for it is limited to 200 ms
    std::deque<std::string> captureQueue_; // guarded by captureLock_
    uint32_t lastLineTime_ = 0; // guarded by captureLock_
    std::string lastOpenError_;
    int lastOpenErrno_ = 0;
};
