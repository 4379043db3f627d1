#include "port/termios2_linux.h"

#include <asm/termbits.h>
#include <cerrno>
#include <sys/ioctl.h>

namespace {

uint32_t CharacterSize(TDataBits bits)
{
    switch (bits) {
    case dbFive:
        return CS5;
    case dbSix:
        return CS6;
    case dbSeven:
        return CS7;
    case dbEight:
        break;
    }
    return CS8;
}

uint32_t ParityFlags(TParityBits parity)
{
    switch (parity) {
    case prNone:
        break;
    case prOdd:
        return PARENB | PARODD;
    case prEven:
        return PARENB;
    case prMark:
        return PARENB | PARODD | CMSPAR;
    case prSpace:
        return PARENB | CMSPAR;
    }
    return 0;
}

// The kernel has no 1.5 stop bits setting; CSTOPB gives 1.5 on 5-bit words on
// 16550-class UARTs and 2 otherwise, the nearest a tty offers.
uint32_t StopBitFlags(TStopBits stopBits)
{
    return stopBits == sbOneStopBit ? 0u : uint32_t(CSTOPB);
}

bool HardwareHandshake(const TComFlowControl &flow)
{
    return flow.OutCTSFlow || flow.ControlRTS == rtsHandshake;
}

} // namespace

TTermios2Fields MapLineSettings(const TLineSettings &settings)
{
    TTermios2Fields f;
    const uint32_t speed = settings.BaudRate > 0 ? uint32_t(settings.BaudRate) : 0u;

    // HUPCL drops DTR and RTS when the device is closed.
    f.CFlag = CLOCAL | CREAD | HUPCL | CharacterSize(settings.DataBits)
        | ParityFlags(settings.Parity.Bits) | StopBitFlags(settings.StopBits) | BOTHER
        | (BOTHER << IBSHIFT);
    if (HardwareHandshake(settings.FlowControl))
        f.CFlag |= CRTSCTS;

    if (settings.Parity.Check)
        f.IFlag |= INPCK;
    if (settings.FlowControl.XonXoffOut)
        f.IFlag |= IXON;
    if (settings.FlowControl.XonXoffIn)
        f.IFlag |= IXOFF;
    // What a tty cannot honour is left out rather than mapped to something
    // that only sounds alike:
    // - TxContinueOnXoff (keep sending after our own XOFF): a tty has no such
    //   mode; IXANY is "any received byte restarts output", another thing.
    // - OutDSRFlow (hold output while DSR is low) and DSRSensitivity (drop
    //   input while DSR is low): the kernel watches CTS only.
    // - DTR handshake and RTS toggle: see TComPort::ApplyModemControl.
    // - Parity replacement (Replace, ReplaceChar): a tty can mark or drop bad
    //   bytes (PARMRK, IGNPAR) but never replace them with a chosen byte.
    // - DiscardNull: the tty keeps NULs; the port drops them after reading.
    // - Buffer sizes: the kernel's tty buffers have a fixed size.

    // Raw: no output processing, no echo, no line editing, no signals.
    f.OFlag = 0;
    f.LFlag = 0;
    f.ISpeed = speed;
    f.OSpeed = speed;
    f.VMin = 1;
    f.VTime = 0;
    f.VStart = settings.FlowControl.XonChar;
    f.VStop = settings.FlowControl.XoffChar;
    return f;
}

int SetTermios2(int fd, const TTermios2Fields &fields)
{
    termios2 t {};
    if (::ioctl(fd, TCGETS2, &t) != 0)
        return errno;
    t.c_iflag = fields.IFlag;
    t.c_oflag = fields.OFlag;
    t.c_cflag = fields.CFlag;
    t.c_lflag = fields.LFlag;
    t.c_ispeed = fields.ISpeed;
    t.c_ospeed = fields.OSpeed;
    t.c_cc[VMIN] = fields.VMin;
    t.c_cc[VTIME] = fields.VTime;
    t.c_cc[VSTART] = fields.VStart;
    t.c_cc[VSTOP] = fields.VStop;
    if (::ioctl(fd, TCSETS2, &t) != 0)
        return errno;
    return 0;
}

int GetTermios2(int fd, TTermios2Fields &fields)
{
    termios2 t {};
    if (::ioctl(fd, TCGETS2, &t) != 0)
        return errno;
    fields.IFlag = t.c_iflag;
    fields.OFlag = t.c_oflag;
    fields.CFlag = t.c_cflag;
    fields.LFlag = t.c_lflag;
    fields.ISpeed = t.c_ispeed;
    fields.OSpeed = t.c_ospeed;
    fields.VMin = t.c_cc[VMIN];
    fields.VTime = t.c_cc[VTIME];
    fields.VStart = t.c_cc[VSTART];
    fields.VStop = t.c_cc[VSTOP];
    return 0;
}
