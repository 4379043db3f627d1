#include "port/tty_calls.h"

#include "port/termios2_linux.h"

#include <cerrno>
#include <sys/ioctl.h>

namespace {

int ResultOf(int rc)
{
    return rc == 0 ? 0 : errno;
}

} // namespace

int TTtyCalls::GetModemLines(int fd, int &lines)
{
    lines = 0;
    return ResultOf(::ioctl(fd, TIOCMGET, &lines));
}

int TTtyCalls::SetModemLines(int fd, int lines)
{
    return ResultOf(::ioctl(fd, TIOCMBIS, &lines));
}

int TTtyCalls::ClearModemLines(int fd, int lines)
{
    return ResultOf(::ioctl(fd, TIOCMBIC, &lines));
}

int TTtyCalls::SetLineSettings(int fd, const TTermios2Fields &fields)
{
    return SetTermios2(fd, fields);
}

TTtyCalls &TTtyCalls::System()
{
    static TTtyCalls calls;
    return calls;
}
