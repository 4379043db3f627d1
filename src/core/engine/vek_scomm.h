#pragma once

#include "engine/clock.h"
#include "engine/timed_lock.h"
#include "port/com_port.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

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
    // The same, into `line`: false (and `line` empty) when there is none. The
    // storage `line` held is kept for the receive thread to form a later burst
    // in, so a consumer that reuses one string saves an allocation of a whole
    // line per burst on both threads.
    bool PopLine(std::string &line);
    // Lines waiting in the queue, read without the lock, so a busy lock never
    // hides a line from a consumer deciding whether to sleep: it is woken only
    // for a line that enters an empty queue.
    std::size_t QueuedLines() const { return queuedLines_.load(); }

    // The queue is bounded by the bytes of its lines. While it holds CaptureLimit
    // bytes or more the receive thread reads nothing: the device and the kernel
    // keep the bytes (a writer on the other end waits), so none is lost. Sent
    // lines are always queued; they come at the user's pace.
    static constexpr std::size_t kDefaultCaptureLimit = std::size_t(64) * 1024 * 1024;
    void SetCaptureLimit(std::size_t bytes) { captureLimit_.store(bytes); }
    std::size_t CaptureLimit() const { return captureLimit_.load(); }
    std::size_t QueuedBytes() const { return queuedBytes_.load(); }
    bool CaptureFull() const { return QueuedBytes() >= CaptureLimit(); }
    // The receive thread's wait for room before it reads: true at once while
    // the queue has room, else when PopLine has made room. False after `limit`
    // or when `cancelled` answers true after a WakeCaptureWait.
    bool WaitForCaptureRoom(
        std::chrono::milliseconds limit, const std::function<bool()> &cancelled);
    // Makes a waiting receive thread look at its `cancelled` again (Park, Close).
    void WakeCaptureWait();
    bool ReaderWaiting() const { return readerWaiting_.load(); }
    // Everything the receive thread has spent waiting for room so far.
    std::chrono::microseconds ReaderWaitTime() const
    {
        return std::chrono::microseconds(readerWaitMicroseconds_.load());
    }

    // The receive thread's half: forms the R line of one burst detected at
    // `detectedTick` and queues it, counting the bytes. Returns false (bytes
    // dropped, nothing counted) when the lock was not obtained within 200 ms.
    // One thread at a time calls it: the line is formed outside the lock.
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

    // Called (from either thread, without the lock) when a line was queued into
    // an empty queue, so the renderer can wake up. Lines queued behind it call
    // nothing: whoever takes lines after a call takes them until PopLine comes
    // back empty, and only then waits for the next call. May be empty.
    std::function<void()> OnLineQueued;

private:
    // Reads the capture state and holds the capture lock from outside, so the
    // limited waits for it can be checked.
    friend class TVekScommProbe;

    void SetLineStateHandlers();
    bool LockCapture(std::unique_lock<TTimedLock> &lock);
    void NotifyQueued();
    // Queues a line; true when the queue was empty before. Under captureLock_.
    bool Enqueue(std::string line);
    void NoteRoomMade();

    Clock &clock_;
    TComPort comPort_;
    // Held by OpenPort and ClosePort, and by the receive thread whenever it
    // looks at the port between two of its calls.
    std::mutex portStateMutex_;
    TTimedLock captureLock_; // every wait for it is limited to 200 ms
    std::deque<std::string> captureQueue_; // guarded by captureLock_
    // Storage of taken lines, handed back by PopLine(std::string &) for the
    // receive thread to reuse. Guarded by captureLock_.
    std::vector<std::string> spareLines_;
    std::string nextBurstLine_; // the receive thread's own, formed outside the lock
    uint32_t lastLineTime_ = 0; // guarded by captureLock_
    std::atomic<std::size_t> queuedBytes_ { 0 }; // changed under captureLock_
    std::atomic<std::size_t> queuedLines_ { 0 }; // changed under captureLock_
    std::atomic<std::size_t> captureLimit_ { kDefaultCaptureLimit };
    std::mutex roomMutex_;
    std::condition_variable roomMade_;
    std::atomic<bool> readerWaiting_ { false }; // changed under roomMutex_
    std::atomic<uint64_t> readerWaitMicroseconds_ { 0 };
    std::string lastOpenError_;
    int lastOpenErrno_ = 0;
};
