#include "port/com_port.h"

#include "port/com_port_raise.h"
#include "port/port_names.h"
#include "port/termios2_linux.h"
#include "shell/file_descriptor.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

TFlowControl TComFlowControl::FlowControl() const
{
    if (ControlRTS == rtsHandshake && OutCTSFlow && !XonXoffIn && !XonXoffOut)
        return fcHardware;
    if (ControlRTS == rtsDisable && !OutCTSFlow && XonXoffIn && XonXoffOut)
        return fcSoftware;
    if (ControlRTS == rtsDisable && !OutCTSFlow && !XonXoffIn && !XonXoffOut)
        return fcNone;
    return fcCustom;
}

void TComFlowControl::SetFlowControl(TFlowControl value)
{
    switch (value) {
    case fcHardware:
        ControlRTS = rtsHandshake;
        OutCTSFlow = true;
        XonXoffIn = false;
        XonXoffOut = false;
        break;
    case fcSoftware:
        ControlRTS = rtsDisable;
        OutCTSFlow = false;
        XonXoffIn = true;
        XonXoffOut = true;
        break;
    case fcNone:
        ControlRTS = rtsDisable;
        OutCTSFlow = false;
        XonXoffIn = false;
        XonXoffOut = false;
        break;
    case fcCustom:
        break;
    }
}

TComPort::TComPort()
    : calls_(&TTtyCalls::System())
{
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0)
        RaiseError(CError_WaitFailed, errno);
}

TComPort::~TComPort()
{
    try {
        Close();
    } catch (...) {
        // A throwing line-state handler; the device is closed all the same.
    }
    ::close(wakeFd_);
}

void TComPort::SetTtyCalls(TTtyCalls *calls)
{
    calls_ = calls ? calls : &TTtyCalls::System();
}

// ---- properties ----

template <typename T> bool TComPort::StoreIfChanged(T &field, const T &value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

void TComPort::ReapplyLineSettings()
{
    if (Connected())
        ApplyLineSettings();
}

void TComPort::SetPort(const std::string &port)
{
    if (port == port_)
        return;
    const bool reopen = Connected();
    if (reopen)
        Close();
    port_ = port;
    if (reopen)
        Open();
}

void TComPort::SetBaudRate(TBaudRate value)
{
    if (StoreIfChanged(baudRate_, value))
        ReapplyLineSettings();
}

void TComPort::SetCustomBaudRate(int value)
{
    if (StoreIfChanged(customBaudRate_, value))
        ReapplyLineSettings();
}

void TComPort::SetDataBits(TDataBits value)
{
    if (StoreIfChanged(dataBits_, value))
        ReapplyLineSettings();
}

void TComPort::SetStopBits(TStopBits value)
{
    if (StoreIfChanged(stopBits_, value))
        ReapplyLineSettings();
}

void TComPort::SetParity(const TComParity &value)
{
    if (StoreIfChanged(parity_, value))
        ReapplyLineSettings();
}

void TComPort::SetFlowControl(const TComFlowControl &value)
{
    if (!StoreIfChanged(flowControl_, value) || !Connected())
        return;
    ApplyLineSettings();
    ApplyModemControl();
}

void TComPort::SetTimeouts(const TComTimeouts &value)
{
    if (StoreIfChanged(timeouts_, value) && Connected())
        ApplyTimeouts();
}

void TComPort::SetBuffer(const TComBuffer &value)
{
    // The device takes even sizes only.
    TComBuffer even = value;
    even.InputSize -= even.InputSize & 1;
    even.OutputSize -= even.OutputSize & 1;
    if (StoreIfChanged(buffer_, even) && Connected())
        ApplyBuffer();
}

void TComPort::SetEventChar(uint8_t value)
{
    if (StoreIfChanged(eventChar_, value))
        ReapplyLineSettings();
}

void TComPort::SetDiscardNull(bool value)
{
    if (StoreIfChanged(discardNull_, value))
        ReapplyLineSettings();
}

// ---- open and close ----

void TComPort::Open()
{
    if (Connected())
        return;
    OpenDevice();
    try {
        ApplyBuffer();
        ApplyLineSettings();
        ApplyTimeouts();
        ApplyModemControl();
        SignalLineStates();
    } catch (...) {
        CloseDevice();
        throw;
    }
}

void TComPort::OpenDevice()
{
    const std::string path = DevicePath(port_);
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        RaiseError(CError_OpenFailed, errno);
    FileDescriptor guard(fd); // until the open has succeeded
    // The lock keeps out other users that ignore TIOCEXCL (root does), this
    // process included, since the lock belongs to the open file.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        RaiseError(CError_OpenFailed, errno == EWOULDBLOCK ? EBUSY : errno);
    if (::ioctl(fd, TIOCEXCL) != 0)
        RaiseError(CError_OpenFailed, errno);

    DrainWake(); // a stop signal meant for an earlier session
    deviceLost_ = false;
    {
        std::lock_guard lock(modemMutex_);
        lastModemLines_ = 0;
        noModemLinesError_ = 0;
    }
    fd_ = guard.Release();
    connected_ = true;
}

void TComPort::Close()
{
    if (!Connected())
        return;
    // The device closes even when a line-state handler throws. Pending
    // transfers end with the descriptor; the driver keeps its buffers.
    struct TCloseAtEnd
    {
        TComPort &port;
        ~TCloseAtEnd() { port.CloseDevice(); }
    } closeAtEnd { *this };
    if (OnCTSChange)
        OnCTSChange(false);
    if (OnDSRChange)
        OnDSRChange(false);
    if (OnRLSDChange)
        OnRLSDChange(false);
}

void TComPort::CloseDevice()
{
    // poll() does not return when another thread closes its descriptor: wake
    // the reader first and wait for it to leave the device. The reader may
    // take the wake signal and come straight back for another wait before this
    // thread gets the lock; `closing_` turns such a wait away at once.
    closing_ = true;
    SignalWake();
    {
        std::lock_guard lock(readerMutex_);
        std::lock_guard modemLock(modemMutex_);
        const int fd = fd_.exchange(-1);
        if (fd >= 0) {
            ::ioctl(fd, TIOCNXCL); // let others open the tty again
            ::close(fd); // ends the flock too
        }
        connected_ = false;
    }
    DrainWake();
    closing_ = false;
}

void TComPort::ApplyBuffer()
{
    // The kernel's tty buffers have a fixed size; there is nothing to set.
}

void TComPort::ApplyLineSettings()
{
    TLineSettings settings;
    settings.BaudRate = baudRate_ == brCustom ? customBaudRate_ : BaudRateValue(baudRate_);
    settings.DataBits = dataBits_;
    settings.StopBits = stopBits_;
    settings.Parity = parity_;
    settings.FlowControl = flowControl_;
    Check(CError_SetStateFailed, calls_->SetLineSettings(fd_, MapLineSettings(settings)));
    activeDiscardNull_ = discardNull_;
}

void TComPort::ApplyTimeouts()
{
    std::lock_guard lock(timeoutsMutex_);
    activeTimeouts_ = timeouts_;
}

TComTimeouts TComPort::ActiveTimeouts() const
{
    std::lock_guard lock(timeoutsMutex_);
    return activeTimeouts_;
}

// DTR and RTS are driven high unless their control is disable. A tty has no
// DTR handshake and no RTS toggle; those start high like enable, and RTS
// handshake is left to CRTSCTS from then on.
void TComPort::ApplyModemControl()
{
    int raise = 0;
    int drop = 0;
    (flowControl_.ControlDTR == dtrDisable ? drop : raise) |= TIOCM_DTR;
    (flowControl_.ControlRTS == rtsDisable ? drop : raise) |= TIOCM_RTS;
    const auto check = [](int error) {
        if (!HasNoModemLines(error))
            Check(CError_SetStateFailed, error);
    };
    if (raise)
        check(calls_->SetModemLines(fd_, raise));
    if (drop)
        check(calls_->ClearModemLines(fd_, drop));
}
