#pragma once

#include "port/com_port.h"
#include "port/termios2_linux.h"
#include "support/pty_pair.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <sys/ioctl.h>

// Timeouts the program runs the port with: a read ends 20 ms after the last
// byte; a write of n bytes gets 100 * n + 1000 ms.
inline TComTimeouts ChannelTimeouts()
{
    TComTimeouts t;
    t.ReadInterval = 20;
    t.ReadTotalMultiplier = 0;
    t.ReadTotalConstant = 0;
    t.WriteTotalMultiplier = 100;
    t.WriteTotalConstant = 1000;
    return t;
}

inline int OpenDescriptorCount()
{
    int count = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

// A port set up like the program's, on the slave side of a pseudo-terminal.
class PortOnPty : public ::testing::Test
{
protected:
    PortOnPty()
    {
        port.SetPort(pty.SlavePath());
        port.SetTimeouts(ChannelTimeouts());
    }

    TTermios2Fields DeviceSettings()
    {
        TTermios2Fields f;
        EXPECT_EQ(GetTermios2(port.Handle(), f), 0);
        return f;
    }

    PtyPair pty;
    TComPort port;
};

// Waits for a call made on another thread; a call that does not come back
// counts as a failure and is woken so the test can end.
template <typename T> bool FinishesSoon(std::future<T> &result, TComPort &port)
{
    if (result.wait_for(std::chrono::seconds(5)) == std::future_status::ready)
        return true;
    port.CancelWait();
    result.wait();
    return false;
}

// Stands in for a device with modem lines. DTR and RTS are what the port
// drives; CTS, DSR, CD and RI are set by the test.
class FakeTty : public TTtyCalls
{
public:
    std::atomic<int> lines { 0 };
    std::atomic<int> getError { 0 };
    std::atomic<int> setLineError { 0 };
    std::atomic<int> modemSets { 0 };
    std::atomic<int> modemGets { 0 };

    int GetModemLines(int, int &out) override
    {
        ++modemGets;
        out = lines;
        return getError;
    }
    int SetModemLines(int, int bits) override
    {
        ++modemSets;
        lines |= bits;
        return 0;
    }
    int ClearModemLines(int, int bits) override
    {
        ++modemSets;
        lines &= ~bits;
        return 0;
    }
    int SetLineSettings(int fd, const TTermios2Fields &fields) override
    {
        if (setLineError)
            return setLineError;
        return TTtyCalls::SetLineSettings(fd, fields);
    }
};
