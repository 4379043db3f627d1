#include "port_test_support.h"

#include <cerrno>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

const TComEvents kReceiveEvents { evRxChar, evCTS, evDSR, evRLSD };

int OpenErrorCode(TComPort &port)
{
    try {
        port.Open();
    } catch (const EComPort &e) {
        return e.Code();
    }
    return 0;
}

TEST_F(PortOnPty, OpenAndCloseSignalTheLineStates)
{
    std::vector<std::string> calls;
    port.OnCTSChange = [&](bool on) { calls.push_back(on ? "CTS on" : "CTS off"); };
    port.OnDSRChange = [&](bool on) { calls.push_back(on ? "DSR on" : "DSR off"); };
    port.OnRLSDChange = [&](bool on) { calls.push_back(on ? "RLSD on" : "RLSD off"); };

    port.Open();
    EXPECT_TRUE(port.Connected());
    const int fd = port.Handle();
    EXPECT_GE(fd, 0);
    port.Open(); // already open: nothing happens
    EXPECT_EQ(port.Handle(), fd);
    EXPECT_EQ(port.ModemStatus(), 0u); // a pty has no modem lines: all off

    port.Close();
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.Handle(), -1);
    port.Close();

    const std::vector<std::string> expected { "CTS off", "DSR off", "RLSD off", "CTS off",
        "DSR off", "RLSD off" };
    EXPECT_EQ(calls, expected);
}

TEST_F(PortOnPty, MissingDeviceFailsTheOpenAndALaterOpenWorks)
{
    port.SetPort("/dev/corvella-no-such-tty");
    const int before = OpenDescriptorCount();
    try {
        port.Open();
        FAIL() << "opened a missing device";
    } catch (const EComPort &e) {
        EXPECT_EQ(e.Code(), 1);
        EXPECT_EQ(e.WinCode(), ENOENT);
    }
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(OpenDescriptorCount(), before);

    port.SetPort(pty.SlavePath());
    port.Open();
    EXPECT_TRUE(port.Connected());
}

TEST_F(PortOnPty, PortInUseFailsTheSecondOpen)
{
    port.Open();
    TComPort second;
    second.SetPort(pty.SlavePath());
    const int before = OpenDescriptorCount();
    EXPECT_EQ(OpenErrorCode(second), 1);
    EXPECT_FALSE(second.Connected());
    EXPECT_EQ(OpenDescriptorCount(), before);

    EXPECT_EQ(port.WriteText("still mine"), 10); // the first user is undisturbed
    EXPECT_EQ(pty.Read(10, 1000), "still mine");

    port.Close();
    EXPECT_EQ(OpenErrorCode(second), 0);
    EXPECT_TRUE(second.Connected());
}

TEST_F(PortOnPty, ChangingThePortOfAnOpenPortReopensOnTheNewDevice)
{
    PtyPair other;
    port.Open();
    port.SetPort(other.SlavePath());
    EXPECT_TRUE(port.Connected());
    port.WriteText("moved");
    EXPECT_EQ(other.Read(5, 1000), "moved");

    TComPort next; // the old device is free again
    next.SetPort(pty.SlavePath());
    EXPECT_EQ(OpenErrorCode(next), 0);
}

TEST_F(PortOnPty, ReadReturnsOneBurst)
{
    port.Open();
    pty.Write("0123456789");
    char buffer[4096];
    ASSERT_EQ(port.Read(buffer, sizeof buffer), 10);
    EXPECT_EQ(std::string(buffer, 10), "0123456789");
}

// The reader tries this after a full buffer, before it waits: with nothing
// there it must come back at once, or a stream's end would hold the reader
// in a read instead of its wait.
TEST_F(PortOnPty, ReadIfAnyTakesAWaitingBurstAndOtherwiseComesBackAtOnce)
{
    port.Open();
    char buffer[4096];
    auto nothing
        = std::async(std::launch::async, [&] { return port.ReadIfAny(buffer, sizeof buffer); });
    ASSERT_TRUE(FinishesSoon(nothing, port));
    EXPECT_EQ(nothing.get(), 0);

    pty.Write("0123456789");
    ASSERT_TRUE(port.WaitForEvent(TComEvents { evRxChar }, 5000).Has(evRxChar));
    ASSERT_EQ(port.ReadIfAny(buffer, sizeof buffer), 10);
    EXPECT_EQ(std::string(buffer, 10), "0123456789");
}

TEST_F(PortOnPty, BurstLongerThanTheCountLeavesTheRestForTheNextRead)
{
    port.Open();
    std::string burst(5000, '\0');
    for (std::size_t i = 0; i < burst.size(); ++i)
        burst[i] = char(i * 7);
    std::thread writer([&] { pty.Write(burst); });

    std::string got(5000, '\0');
    const int first = port.Read(got.data(), 4096);
    EXPECT_EQ(first, 4096);
    const int rest = port.Read(got.data() + first, 4096);
    writer.join();
    EXPECT_EQ(rest, 904);
    EXPECT_EQ(got, burst);
}

TEST_F(PortOnPty, WriteTextReachesTheDeviceUnchanged)
{
    port.Open();
    EXPECT_EQ(port.WriteText(std::string("AT\r\n\0\xff", 6)), 6);
    EXPECT_EQ(pty.Read(6, 1000), std::string("AT\r\n\0\xff", 6));

    EXPECT_EQ(port.WriteText(""), 0);
    EXPECT_EQ(pty.Read(1, 50), "");
}

TEST_F(PortOnPty, WriteTimesOutWhenTheDeviceTakesNothing)
{
    TComTimeouts t = ChannelTimeouts();
    t.WriteTotalMultiplier = 0;
    t.WriteTotalConstant = 100;
    port.SetTimeouts(t);
    port.Open();
    const std::string block(64 * 1024, 'x');
    try {
        for (int i = 0; i < 64; ++i) // nobody reads the master: the pty fills up
            port.WriteText(block);
        FAIL() << "no timeout";
    } catch (const EComPort &e) {
        EXPECT_EQ(e.Code(), 2);
        EXPECT_EQ(e.WinCode(), ETIMEDOUT);
    }
}

TEST_F(PortOnPty, WaitReportsArrivingBytes)
{
    port.Open();
    EXPECT_TRUE(port.WaitForEvent(kReceiveEvents, 20).Empty()); // nothing came

    auto wait
        = std::async(std::launch::async, [&] { return port.WaitForEvent(kReceiveEvents, -1); });
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(port.WriteText("ping"), 4); // writing goes on while the reader waits
    EXPECT_EQ(pty.Read(4, 1000), "ping");
    pty.Write("x");
    ASSERT_TRUE(FinishesSoon(wait, port));
    EXPECT_EQ(wait.get(), TComEvents { evRxChar });
}

TEST_F(PortOnPty, CancelWaitEndsOneWait)
{
    port.Open();
    auto wait
        = std::async(std::launch::async, [&] { return port.WaitForEvent(kReceiveEvents, -1); });
    std::this_thread::sleep_for(30ms);
    port.CancelWait();
    ASSERT_TRUE(FinishesSoon(wait, port));
    EXPECT_TRUE(wait.get().Empty());

    // A stop signal given while nobody waits ends the next wait only.
    port.CancelWait();
    port.CancelWait();
    EXPECT_TRUE(port.WaitForEvent(kReceiveEvents, -1).Empty());
    pty.Write("y");
    EXPECT_EQ(port.WaitForEvent(kReceiveEvents, 5000), TComEvents { evRxChar });
    char c;
    EXPECT_EQ(port.Read(&c, 1), 1);
}

TEST_F(PortOnPty, CloseWakesAWaitingReader)
{
    for (bool reading : { false, true }) {
        port.Open();
        auto wait = std::async(std::launch::async, [&] {
            try {
                char buffer[16];
                return reading ? port.Read(buffer, sizeof buffer)
                               : int(port.WaitForEvent(kReceiveEvents, -1).Bits());
            } catch (const EComPort &) {
                return -1; // an error is as good an end as an empty result
            }
        });
        std::this_thread::sleep_for(30ms);
        port.Close();
        ASSERT_TRUE(FinishesSoon(wait, port)) << (reading ? "Read" : "WaitForEvent");
        EXPECT_LE(wait.get(), 0);
        EXPECT_FALSE(port.Connected());
    }
}

TEST_F(PortOnPty, HangUpOfTheOtherEndIsALostDevice)
{
    port.Open();
    auto wait = std::async(std::launch::async, [&] {
        try {
            port.WaitForEvent(kReceiveEvents, -1);
        } catch (const EComPort &e) {
            return e.Code();
        }
        return 0;
    });
    std::this_thread::sleep_for(30ms);
    pty.CloseMaster();
    ASSERT_TRUE(FinishesSoon(wait, port));
    EXPECT_EQ(wait.get(), 21);
    EXPECT_TRUE(port.DeviceLost());

    char buffer[16];
    try {
        port.Read(buffer, sizeof buffer);
        FAIL() << "read from a hung-up device";
    } catch (const EComPort &e) {
        EXPECT_EQ(e.Code(), 3);
    }
    try {
        port.WaitForEvent(kReceiveEvents, -1); // again: at once, never a quiet empty result
        FAIL() << "wait on a hung-up device";
    } catch (const EComPort &e) {
        EXPECT_EQ(e.Code(), 21);
    }
    port.Close();
    EXPECT_FALSE(port.Connected());
}

TEST_F(PortOnPty, ReadOfAHungUpDeviceFails)
{
    port.Open();
    pty.CloseMaster();
    char buffer[16];
    try {
        port.Read(buffer, sizeof buffer);
        FAIL() << "read from a hung-up device";
    } catch (const EComPort &e) {
        EXPECT_EQ(e.Code(), 3);
    }
    EXPECT_TRUE(port.DeviceLost());
}

TEST(ComPortClosed, TransfersOnAClosedPortFail)
{
    TComPort port;
    char c;
    const std::pair<int, std::function<void()>> calls[] = {
        { 3, [&] { port.Read(&c, 1); } },
        { 2, [&] { port.WriteText("x"); } },
        { 21, [&] { port.WaitForEvent(kReceiveEvents, 0); } },
        { 11, [&] { port.ModemStatus(); } },
    };
    for (const auto &[code, call] : calls) {
        try {
            call();
            ADD_FAILURE() << "code " << code << " not raised";
        } catch (const EComPort &e) {
            EXPECT_EQ(e.Code(), code);
            EXPECT_EQ(e.WinCode(), EBADF);
        }
    }
    EXPECT_EQ(port.WriteText(""), 0);
}

} // namespace
