#include "engine/vek_scomm.h"

#include "engine/capture_line.h"
#include "send/hex_text.h"

#include <chrono>

namespace {

constexpr auto kCaptureLockLimit = std::chrono::milliseconds(200);
// A read ends this long after the last byte, so the next gap counts from
// about the end of the burst rather than from when the read returned.
constexpr uint32_t kReadIntervalMs = 20;
constexpr int kBufferSize = 4096;

TComTimeouts ChannelTimeouts()
{
    TComTimeouts timeouts;
    timeouts.ReadInterval = int(kReadIntervalMs);
    timeouts.ReadTotalMultiplier = 0;
    timeouts.ReadTotalConstant = 0;
    timeouts.WriteTotalMultiplier = 100;
    timeouts.WriteTotalConstant = 1000;
    return timeouts;
}

} // namespace

TVekScomm::TVekScomm(Clock &clock)
    : clock_(clock)
{
    comPort_.SetPort("Com1");
    comPort_.SetBaudRate(br9600);
    comPort_.SetDataBits(dbEight);
    comPort_.SetStopBits(sbOneStopBit);

    TComParity parity = comPort_.Parity();
    parity.Bits = prNone;
    comPort_.SetParity(parity);

    TComFlowControl flow = comPort_.FlowControl();
    flow.SetFlowControl(fcNone);
    flow.ControlDTR = dtrEnable;
    flow.ControlRTS = rtsEnable;
    comPort_.SetFlowControl(flow);

    comPort_.SetTimeouts(ChannelTimeouts());
    SetLineStateHandlers();
    comPort_.SetBuffer(TComBuffer { kBufferSize, kBufferSize });
    // No event thread in the port: the receive thread does all the reading.
    comPort_.SetEvents(TComEvents {});
}

TVekScomm::~TVekScomm()
{
    try {
        ClosePort();
    } catch (...) {
        // The process is ending; a failed close changes nothing for anyone.
    }
}

void TVekScomm::SetLineStateHandlers()
{
    comPort_.OnCTSChange = [this](bool on) { CtsState.store(on ? 1 : 0); };
    comPort_.OnDSRChange = [this](bool on) { DsrState.store(on ? 1 : 0); };
    comPort_.OnRLSDChange = [this](bool on) { RlsdState.store(on ? 1 : 0); };
}

void TVekScomm::OpenPort()
{
    std::lock_guard portState(portStateMutex_);
    if (comPort_.Connected())
        return;
    try {
        comPort_.Open();
    } catch (const EComPort &e) {
        lastOpenError_ = e.what();
        lastOpenErrno_ = e.WinCode();
        throw ECom(kOpenFailureText);
    } catch (const std::exception &e) {
        lastOpenError_ = e.what();
        lastOpenErrno_ = -1;
        throw ECom(kOpenFailureText);
    }
    lastOpenError_.clear();
    lastOpenErrno_ = 0;
}

void TVekScomm::ClosePort()
{
    // The close wakes the receive thread out of the device; holding the lock
    // keeps it from starting another wait or reading the modem lines (and
    // lighting a lamp again) until the device is closed.
    {
        std::lock_guard portState(portStateMutex_);
        if (comPort_.Connected())
            comPort_.Close();
    }
    WakeCaptureWait(); // a reader held back by a full queue is off the port too
}

bool TVekScomm::PortOpenForReceiving()
{
    std::lock_guard portState(portStateMutex_);
    return comPort_.Connected();
}

void TVekScomm::RefreshLineStates()
{
    std::lock_guard portState(portStateMutex_);
    if (!comPort_.Connected())
        return;
    const uint32_t status = comPort_.ModemStatus();
    CtsState.store((status & kModemCts) ? 1 : 0);
    DsrState.store((status & kModemDsr) ? 1 : 0);
    RlsdState.store((status & kModemRlsd) ? 1 : 0);
}

void TVekScomm::SendLine(std::string_view text)
{
    if (text.empty())
        return;
    const uint32_t entered = clock_.Tick();

    std::string shown; // the data of the T line
    bool wasEmpty = false;
    if (SendHex.load() == 1) {
        std::string normalized = NormalizeHexText(text);
        if (!IsHexText(normalized))
            throw ECom(kNotHexText);
        comPort_.WriteText(HexTextToBytes(normalized));
        TxCount.fetch_add(uint32_t(HexByteCount(normalized, 2)));
        shown = std::move(normalized);
    } else {
        comPort_.WriteText(text);
        TxCount.fetch_add(uint32_t(text.size()));
        shown.assign(text);
    }

    if (MonitoringOn.load() == 0)
        return;

    std::string line = BeginCaptureLine('T', clock_.LocalTime(), shown);
    {
        std::unique_lock lock(captureLock_, std::defer_lock);
        if (!LockCapture(lock))
            return;
        SetCaptureGap(line, entered - lastLineTime_);
        lastLineTime_ = clock_.Tick();
        wasEmpty = Enqueue(std::move(line));
    }
    if (wasEmpty)
        NotifyQueued();
}

bool TVekScomm::AppendReceivedBurst(std::string_view bytes, uint32_t detectedTick)
{
    // The data part is built before the lock is taken: formatting 4096 bytes as
    // hex takes longer than anything else here, and the user-interface thread
    // must not wait for it.
    std::string &line = nextBurstLine_;
    BeginCaptureLineInto(line, 'R', clock_.LocalTime());
    if (ReceiveHex.load() == 1)
        AppendHexText(line, bytes, Separator);
    else
        line.append(bytes);
    bool wasEmpty = false;
    {
        std::unique_lock lock(captureLock_, std::defer_lock);
        if (!LockCapture(lock))
            return false;
        RxCount.fetch_add(uint32_t(bytes.size()));
        SetCaptureGap(line, detectedTick - lastLineTime_);
        lastLineTime_ = clock_.Tick() - kReadIntervalMs;
        wasEmpty = Enqueue(std::move(line));
        line.clear(); // a moved-from string is valid but unspecified
        if (!spareLines_.empty()) {
            line.swap(spareLines_.back());
            spareLines_.pop_back();
        }
    }
    if (wasEmpty)
        NotifyQueued();
    return true;
}

std::string TVekScomm::PopLine()
{
    std::string line;
    PopLine(line);
    return line;
}

bool TVekScomm::PopLine(std::string &line)
{
    // A few spares cover the lines in flight between the two threads; more, or
    // the storage of a long sent line, would only hold memory.
    constexpr std::size_t kMostSpareLines = 4;
    constexpr std::size_t kLargestSpareLine = 64 * 1024;
    {
        std::unique_lock lock(captureLock_, std::defer_lock);
        if (!LockCapture(lock) || captureQueue_.empty()) {
            line.clear();
            return false;
        }
        std::string taken = std::move(captureQueue_.front());
        captureQueue_.pop_front();
        queuedBytes_.fetch_sub(taken.size());
        queuedLines_.fetch_sub(1);
        if (line.capacity() > 0 && line.capacity() <= kLargestSpareLine
            && spareLines_.size() < kMostSpareLines) {
            line.clear();
            spareLines_.push_back(std::move(line));
        }
        line = std::move(taken);
    }
    NoteRoomMade();
    return true;
}

bool TVekScomm::Enqueue(std::string line)
{
    const bool wasEmpty = captureQueue_.empty();
    queuedBytes_.fetch_add(line.size());
    captureQueue_.push_back(std::move(line));
    queuedLines_.fetch_add(1);
    return wasEmpty;
}

void TVekScomm::NoteRoomMade()
{
    if (!readerWaiting_.load() || CaptureFull())
        return;
    // Taking the mutex orders this wake after the reader's last look at the
    // queue, so it cannot slip in between that look and its wait.
    std::lock_guard room(roomMutex_);
    roomMade_.notify_all();
}

void TVekScomm::WakeCaptureWait()
{
    std::lock_guard room(roomMutex_);
    roomMade_.notify_all();
}

bool TVekScomm::WaitForCaptureRoom(
    std::chrono::milliseconds limit, const std::function<bool()> &cancelled)
{
    if (!CaptureFull())
        return true;
    const auto start = std::chrono::steady_clock::now();
    bool room = false;
    {
        std::unique_lock lock(roomMutex_);
        readerWaiting_.store(true);
        room = roomMade_.wait_for(lock, limit, [&] { return !CaptureFull() || cancelled(); })
            && !CaptureFull();
        readerWaiting_.store(false);
    }
    const auto waited = std::chrono::steady_clock::now() - start;
    readerWaitMicroseconds_.fetch_add(
        uint64_t(std::chrono::duration_cast<std::chrono::microseconds>(waited).count()));
    return room;
}

bool TVekScomm::LockCapture(std::unique_lock<TTimedLock> &lock)
{
    return lock.try_lock_for(kCaptureLockLimit);
}

void TVekScomm::NotifyQueued()
{
    if (OnLineQueued)
        OnLineQueued();
}
