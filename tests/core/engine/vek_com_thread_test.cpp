#include "engine/vek_com_thread.h"

#include "pty_channel.h"
#include "send/hex_text.h"

#include <gtest/gtest.h>

#include <atomic>
#include <ctime>
#include <thread>
#include <sys/ioctl.h>

using namespace std::string_literals;

namespace {

class ReceiveThread : public PtyChannel
{
protected:
    void SetUp() override
    {
        channel.OpenPort();
        StartReceiving();
    }
};

std::string Pattern(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = char(i * 7 % 256);
    return bytes;
}

TEST_F(ReceiveThread, BurstBecomesOneLineAndIsCounted)
{
    pty.Write("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A");
    EXPECT_EQ(LinesUntilQuiet(),
        std::vector<std::string> { "R[14:03:27 ---]01 02 03 04 05 06 07 08 09 0A" });
    EXPECT_EQ(channel.RxCount.load(), 10u);
}

TEST_F(ReceiveThread, SilenceOfMoreThanTheReadIntervalEndsABurst)
{
    struct Case
    {
        int SilenceMs;
        std::vector<std::string> Bodies;
    };
    const Case cases[] = {
        // Margins wide enough for a loaded machine on either side of 20 ms.
        { 120, { "41 42", "43 44" } },
        { 5, { "41 42 43 44" } },
    };
    for (const Case &c : cases) {
        pty.Write("AB");
        Sleep(c.SilenceMs);
        pty.Write("CD");
        std::vector<std::string> bodies;
        for (const std::string &line : LinesUntilQuiet())
            bodies.push_back(Body(line));
        EXPECT_EQ(bodies, c.Bodies) << "silence " << c.SilenceMs << " ms";
    }
}

TEST_F(ReceiveThread, LongBurstIsSplitIntoReadsOfAtMost4096Bytes)
{
    const std::string bytes = Pattern(5000);
    pty.Write(bytes);
    const std::vector<std::string> lines = LinesUntilQuiet();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(Body(lines[0]), BytesToHexText(bytes.substr(0, 4096), " "));
    EXPECT_EQ(Body(lines[1]), BytesToHexText(bytes.substr(4096), " "));
    EXPECT_EQ(channel.RxCount.load(), 5000u);
}

TEST_F(ReceiveThread, PausedMonitoringDrainsTheDeviceWithoutShowingOrCounting)
{
    channel.MonitoringOn = 0;
    pty.Write("dropped");
    Sleep(150);
    channel.MonitoringOn = 1;
    pty.Write("\x55");
    EXPECT_EQ(LinesUntilQuiet(), std::vector<std::string> { "R[14:03:27 ---]55" });
    EXPECT_EQ(channel.RxCount.load(), 1u);
}

TEST_F(ReceiveThread, CharacterLinesKeepEveryByteAsItCame)
{
    channel.ReceiveHex = 0;
    pty.Write("OK\r\n\x00\x7F"s);
    EXPECT_EQ(Body(NextLine()), "OK\r\n\x00\x7F"s);
}

TEST_F(ReceiveThread, ReplyGapCountsFromTheRequestAndRequestGapFromTheLastReply)
{
    // The thread takes its ticks from the channel's clock, which only moves here.
    pty.Write("\x01");
    EXPECT_EQ(NextLine(), "R[14:03:27 ---]01"); // reference now 5000 - 20
    clock.SetTick(5130);
    channel.SendLine("01 03");
    EXPECT_EQ(NextLine(), "T[14:03:27 150]01 03 ");
    clock.SetTick(5170);
    pty.Write("\x02");
    EXPECT_EQ(NextLine(), "R[14:03:27  40]02");
}

TEST_F(ReceiveThread, ParkedThreadLeavesThePortAloneUntilReleased)
{
    receiver->Park();
    EXPECT_FALSE(receiver->Running());
    pty.Write("\x50");
    EXPECT_EQ(NextLine(150), "");

    receiver->Release();
    EXPECT_EQ(NextLine(), "R[14:03:27 ---]50");
}

TEST_F(ReceiveThread, ParkCloseAndReopenReceivesAgain)
{
    pty.Write("\x01");
    EXPECT_EQ(Body(NextLine()), "01");

    receiver->Park();
    channel.ClosePort();
    EXPECT_FALSE(channel.ComPort().Connected());
    channel.OpenPort();
    receiver->Release();

    pty.Write("\x02");
    EXPECT_EQ(Body(NextLine()), "02");
    EXPECT_FALSE(receiver->DeviceLost());
}

TEST_F(ReceiveThread, ClosedPortWithoutParkIsLeftAloneAndPicksUpAfterReopen)
{
    channel.ClosePort();
    Sleep(50);
    channel.OpenPort();
    pty.Write("\x03");
    EXPECT_EQ(Body(NextLine()), "03");
}

TEST_F(ReceiveThread, ChangingThePortWhileReceivingMovesToTheNewDevice)
{
    pty.Write("\x01");
    EXPECT_EQ(Body(NextLine()), "01");

    PtyPair other;
    receiver->WithLoopParked([&] { channel.ComPort().SetPort(other.SlavePath()); });
    EXPECT_TRUE(channel.ComPort().Connected());
    EXPECT_TRUE(receiver->Running());
    other.Write("\x02");
    EXPECT_EQ(Body(NextLine()), "02");
}

// A device with modem lines the test sets; everything else goes to the pty.
class ModemLinesTty : public TTtyCalls
{
public:
    std::atomic<int> Lines { 0 };
    int GetModemLines(int, int &lines) override
    {
        lines = Lines.load();
        return 0;
    }
    int SetModemLines(int, int) override { return 0; }
    int ClearModemLines(int, int) override { return 0; }
};

class ModemLines : public PtyChannel
{
protected:
    ModemLines() { channel.ComPort().SetTtyCalls(&tty); }
    ~ModemLines() override { receiver.reset(); } // before the stand-in goes

    bool States(uint8_t cts, uint8_t dsr, uint8_t rlsd)
    {
        return channel.CtsState == cts && channel.DsrState == dsr && channel.RlsdState == rlsd;
    }

    ModemLinesTty tty;
};

TEST_F(ModemLines, LineChangeUpdatesItsStateAndQueuesNoLine)
{
    tty.Lines = TIOCM_CTS;
    channel.OpenPort();
    EXPECT_TRUE(States(1, 0, 0)); // the open reports the lines as they are
    StartReceiving();

    tty.Lines = TIOCM_CTS | TIOCM_DSR | TIOCM_CAR;
    EXPECT_TRUE(WaitUntil([&] { return States(1, 1, 1); }));
    tty.Lines = TIOCM_CTS | TIOCM_CAR;
    EXPECT_TRUE(WaitUntil([&] { return States(1, 0, 1); }));
    EXPECT_EQ(channel.QueuedLines(), 0u);
}

TEST_F(ModemLines, ClosingUnderARunningThreadLeavesEveryLineOff)
{
    // The window closes the port first and parks the thread afterwards; the
    // thread, woken by the close, must not read the lines back on.
    tty.Lines = TIOCM_CTS | TIOCM_DSR | TIOCM_CAR;
    StartReceiving();
    for (int round = 0; round < 5; ++round) {
        channel.OpenPort();
        receiver->Release();
        Sleep(5);
        channel.ClosePort();
        Sleep(20);
        EXPECT_TRUE(States(0, 0, 0)) << "round " << round;
        receiver->Park();
    }
}

double CpuSeconds(clockid_t id)
{
    timespec ts {};
    clock_gettime(id, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

class HangUp : public PtyChannel
{
};

TEST_F(HangUp, LostDeviceKeepsItsLastBytesAndCostsNoCpu)
{
    // A long read interval keeps the read open while the other end goes away.
    TComTimeouts timeouts = channel.ComPort().Timeouts();
    timeouts.ReadInterval = 300;
    channel.ComPort().SetTimeouts(timeouts);
    channel.OpenPort();
    StartReceiving();

    pty.Write("xyz");
    Sleep(100);
    pty.CloseMaster();
    EXPECT_EQ(Body(NextLine()), "78 79 7A");

    const double before = CpuSeconds(receiver->CpuClock());
    Sleep(1000);
    const double used = CpuSeconds(receiver->CpuClock()) - before;
    EXPECT_LT(used, 0.2) << "the receive loop spins on a lost device";
    EXPECT_TRUE(receiver->DeviceLost());
    EXPECT_TRUE(receiver->Running());

    receiver->Park();
    channel.ClosePort();
    EXPECT_FALSE(channel.ComPort().Connected());
}

} // namespace

// A full capture queue holds the reader back: the bytes wait in the kernel (the
// writer blocks) and arrive complete and in order once the queue is drained.
TEST_F(ReceiveThread, FullQueueStopsTheReaderWithoutLosingAByte)
{
    const std::size_t limit = 20000; // under two lines of 4096 hex pairs
    channel.SetCaptureLimit(limit);
    const std::string bytes = Pattern(512 * 1024);
    std::atomic<bool> written { false };
    std::thread writer([&] {
        pty.Write(bytes);
        written.store(true);
    });

    ASSERT_TRUE(WaitUntil([&] { return channel.ReaderWaiting(); }));
    Sleep(100);
    EXPECT_TRUE(channel.ReaderWaiting());
    EXPECT_FALSE(written.load());
    EXPECT_LT(channel.QueuedBytes(), limit + 3 * 4096 + 64);
    EXPECT_LT(channel.RxCount.load(), bytes.size());

    // Park reaches a reader that waits for room (so does the destructor).
    receiver->Park();
    EXPECT_FALSE(channel.ReaderWaiting());
    receiver->Release();

    std::string received;
    for (std::string line = NextLine(); !line.empty(); line = NextLine(500))
        received += HexTextToBytes(Body(line));
    writer.join();
    EXPECT_TRUE(received == bytes) << received.size() << " of " << bytes.size() << " bytes";
    EXPECT_EQ(channel.RxCount.load(), bytes.size());
    EXPECT_GT(channel.ReaderWaitTime().count(), 0);
}
