#pragma once

#include "port/com_port_error.h"
#include "port/com_types.h"
#include "port/tty_calls.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

struct TComParity
{
    TParityBits Bits = prNone;
    bool Check = false;
    bool Replace = false;
    uint8_t ReplaceChar = 0;
    bool operator==(const TComParity &) const = default;
};

struct TComFlowControl
{
    TDTRFlowControl ControlDTR = dtrDisable;
    TRTSFlowControl ControlRTS = rtsDisable;
    bool OutCTSFlow = false;
    bool OutDSRFlow = false;
    bool XonXoffOut = false;
    bool XonXoffIn = false;
    bool DSRSensitivity = false;
    bool TxContinueOnXoff = false;
    uint8_t XonChar = 0x11;
    uint8_t XoffChar = 0x13;

    // The derived value: reads four members at once and sets them.
    TFlowControl FlowControl() const;
    void SetFlowControl(TFlowControl value);
    bool operator==(const TComFlowControl &) const = default;
};

struct TComTimeouts
{
    int ReadInterval = -1; // ms between bytes that ends a read; -1: none
    int ReadTotalMultiplier = 0;
    int ReadTotalConstant = 0;
    int WriteTotalMultiplier = 100; // ms per byte of a write
    int WriteTotalConstant = 1000; // plus this
    bool operator==(const TComTimeouts &) const = default;
};

struct TComBuffer
{
    int InputSize = 1024;
    int OutputSize = 1024;
    bool operator==(const TComBuffer &) const = default;
};

// One serial device (a tty). Settings are stored and, while the device is open,
// applied at once. Every failure raises EComPort with errno as its number.
//
// Threads: Open, Close, WriteText and the setters run on one thread; one other
// thread may wait and read at the same time. Close wakes a waiting reader and
// waits for it to leave the device before the descriptor is closed.
class TComPort
{
public:
    TComPort();
    ~TComPort();
    TComPort(const TComPort &) = delete;
    TComPort &operator=(const TComPort &) = delete;

    const std::string &Port() const { return port_; }
    void SetPort(const std::string &port); // reopens an open device
    TBaudRate BaudRate() const { return baudRate_; }
    void SetBaudRate(TBaudRate value);
    int CustomBaudRate() const { return customBaudRate_; }
    void SetCustomBaudRate(int value);
    TDataBits DataBits() const { return dataBits_; }
    void SetDataBits(TDataBits value);
    TStopBits StopBits() const { return stopBits_; }
    void SetStopBits(TStopBits value);
    const TComParity &Parity() const { return parity_; }
    void SetParity(const TComParity &value);
    const TComFlowControl &FlowControl() const { return flowControl_; }
    void SetFlowControl(const TComFlowControl &value);
    const TComTimeouts &Timeouts() const { return timeouts_; }
    void SetTimeouts(const TComTimeouts &value);
    const TComBuffer &Buffer() const { return buffer_; }
    void SetBuffer(const TComBuffer &value);
    uint8_t EventChar() const { return eventChar_; }
    void SetEventChar(uint8_t value);
    bool DiscardNull() const { return discardNull_; }
    void SetDiscardNull(bool value);
    TComEvents Events() const { return events_; }
    void SetEvents(TComEvents value) { events_ = value; }

    bool Connected() const { return connected_.load(); }

    void Open();
    void Close();

    // Waits for the first byte, then reads until `count` bytes have arrived or
    // ReadInterval ms pass without a new one. Returns 0 when woken by Close or
    // CancelWait. Raises code 3 on a read error and when the other end of the
    // device has hung up (the device is lost: see DeviceLost).
    int Read(char *buffer, int count);
    // The same when a byte is already there; else returns 0 at once. A reader
    // that has just filled its buffer tries this before it waits, which saves
    // the wait's system call on every burst while a stream lasts.
    int ReadIfAny(char *buffer, int count);
    // Writes all of `text` within WriteTotalMultiplier * n + WriteTotalConstant
    // ms; raises code 2 on error or timeout. An empty text writes nothing.
    int WriteText(std::string_view text);
    // Returns the events of `events` that occurred: evRxChar when a byte can be
    // read, evCTS/evDSR/evRLSD when that modem line changed. Returns an empty set
    // after CancelWait, Close or the timeout (-1: none). Raises code 21 when the
    // wait fails or the other end hung up.
    TComEvents WaitForEvent(TComEvents events, int timeoutMs);
    // Ends a wait or read in progress on another thread (the stop signal).
    void CancelWait();

    // Modem status bits (kModemCts, kModemDsr, kModemRlsd, kModemRing); a tty
    // without modem lines reads all off. Raises code 11 on failure.
    uint32_t ModemStatus() const;

    // True once a wait or read saw the other end hang up; cleared by Open.
    bool DeviceLost() const { return deviceLost_.load(); }

    // Line-state notifications: current states at Open, all off at Close.
    std::function<void(bool)> OnCTSChange;
    std::function<void(bool)> OnDSRChange;
    std::function<void(bool)> OnRLSDChange;

    // The open descriptor, -1 while closed (for tests and diagnostics).
    int Handle() const { return fd_.load(); }

    // The tty calls the port makes for modem lines and line settings; tests put
    // a stand-in here. Null restores the kernel's calls. Set it while closed.
    void SetTtyCalls(TTtyCalls *calls);

private:
    enum class TPollOutcome { Ready, Woken, TimedOut, HungUp, Failed };
    struct TPollResult
    {
        TPollOutcome Outcome;
        int Error = 0;
    };

    template <typename T> bool StoreIfChanged(T &field, const T &value);
    void ReapplyLineSettings();
    void OpenDevice();
    void ApplyBuffer();
    void ApplyLineSettings();
    void ApplyTimeouts();
    void ApplyModemControl();
    void SignalLineStates();
    void CloseDevice();
    TComTimeouts ActiveTimeouts() const;
    int GetModemLines(int fd, int &lines) const; // the system's call, or its known "none"
    int ReadModemLines(int fd) const; // TIOCM_* bits; none on a tty without them
    int ReadBurst(char *buffer, int count, bool waitForFirst);
    bool CheckModemLines(int fd, TComEvents events, TComEvents &occurred);
    TPollResult PollDevice(int fd, short events, int timeoutMs);
    [[noreturn]] void RaiseDeviceLost(int code);
    int ReadAvailable(int fd, char *buffer, int count);
    void SignalWake();
    void DrainWake();

    std::string port_ = "COM1";
    TBaudRate baudRate_ = br9600;
    int customBaudRate_ = 9600;
    TDataBits dataBits_ = dbEight;
    TStopBits stopBits_ = sbOneStopBit;
    TComParity parity_;
    TComFlowControl flowControl_;
    TComTimeouts timeouts_;
    TComBuffer buffer_;
    uint8_t eventChar_ = 0;
    bool discardNull_ = false;
    TComEvents events_ { evRxChar, evTxEmpty, evRxFlag, evRing, evBreak, evCTS, evDSR, evError,
        evRLSD, evRx80Full };

    std::atomic<int> fd_ { -1 };
    int wakeFd_ = -1; // eventfd: the stop signal of waits and reads
    std::atomic<bool> connected_ { false };
    std::atomic<bool> deviceLost_ { false };
    std::atomic<bool> closing_ { false };
    // Lock order: readerMutex_, then modemMutex_. Only readerMutex_ is ever
    // held across a wait; modemMutex_ is held for one modem-line call at most,
    // so the owner can read the lines while the reader waits.
    mutable std::mutex readerMutex_; // held by the reader while it uses the descriptor
    mutable std::mutex modemMutex_; // a modem-line call against the descriptor's close
    TTtyCalls *calls_;
    int lastModemLines_ = 0; // TIOCM_* bits last seen by the open or a wait; modemMutex_
    // The open device answered that it has no modem lines (a pseudo-terminal).
    // That is the driver's nature, so it is not asked again until the next open:
    // the reader looks at the lines on every burst. modemMutex_.
    mutable int noModemLinesError_ = 0;

    // What reads and writes on the other thread go by, taken when applied.
    mutable std::mutex timeoutsMutex_;
    TComTimeouts activeTimeouts_;
    std::atomic<bool> activeDiscardNull_ { false };
};
