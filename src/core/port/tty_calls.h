#pragma once

#include <cerrno>

struct TTermios2Fields;

// The few tty calls whose effect a pseudo-terminal cannot show: modem lines
// (a pty has none) and line settings (a pty keeps 8 bits, no parity). The port
// makes them through this object so that tests can stand in for a device.
// Modem line bits are the kernel's TIOCM_* values. Each returns 0 or an errno.
class TTtyCalls
{
public:
    virtual ~TTtyCalls() = default;

    virtual int GetModemLines(int fd, int &lines); // TIOCMGET
    virtual int SetModemLines(int fd, int lines); // TIOCMBIS
    virtual int ClearModemLines(int fd, int lines); // TIOCMBIC
    virtual int SetLineSettings(int fd, const TTermios2Fields &fields); // TCSETS2

    // The calls that go to the kernel.
    static TTtyCalls &System();
};

// A tty without modem lines (a pseudo-terminal) answers modem calls with one of
// these; its lines simply read off.
inline bool HasNoModemLines(int error)
{
    return error == ENOTTY || error == EINVAL;
}
