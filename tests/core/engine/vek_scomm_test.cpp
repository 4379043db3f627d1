#include "engine/vek_scomm.h"

#include "engine/capture_line.h"
#include "pty_channel.h"
#include "support/manual_clock.h"
#include "support/vek_scomm_probe.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace std::string_literals;

namespace {

TEST(VekScomm, CreationGivesThePortItsFixedConfiguration)
{
    ManualClock clock;
    TVekScomm channel(clock);
    const TComPort &port = channel.ComPort();

    EXPECT_EQ(port.Port(), "Com1");
    EXPECT_EQ(port.BaudRate(), br9600);
    EXPECT_EQ(port.DataBits(), dbEight);
    EXPECT_EQ(port.StopBits(), sbOneStopBit);
    EXPECT_EQ(port.Parity().Bits, prNone);
    EXPECT_EQ(port.FlowControl().ControlDTR, dtrEnable);
    EXPECT_EQ(port.FlowControl().ControlRTS, rtsEnable);
    EXPECT_FALSE(port.FlowControl().OutCTSFlow);
    EXPECT_FALSE(port.FlowControl().XonXoffIn);
    EXPECT_FALSE(port.FlowControl().XonXoffOut);
    EXPECT_EQ(port.Timeouts(), (TComTimeouts { 20, 0, 0, 100, 1000 }));
    EXPECT_EQ(port.Buffer(), (TComBuffer { 4096, 4096 }));
    EXPECT_TRUE(port.Events().Empty());
    EXPECT_FALSE(port.Connected());
    EXPECT_TRUE(port.OnCTSChange && port.OnDSRChange && port.OnRLSDChange);
}

TEST(VekScomm, ReceivedBurstGapCountsFromDetectionAndTheNextFromTwentyMsBeforeNow)
{
    ManualClock clock;
    clock.SetLocalTime(TimeOfDay { 14, 3, 27 });
    TVekScomm channel(clock);
    int notified = 0;
    channel.OnLineQueued = [&] { ++notified; };

    // First line after start: measured from LastLineTime 0.
    clock.SetTick(5000);
    EXPECT_TRUE(channel.AppendReceivedBurst("\x01\x03", 5000));
    EXPECT_EQ(TVekScommProbe::LastLineTime(channel), 4980u);

    clock.SetTick(5103);
    EXPECT_TRUE(channel.AppendReceivedBurst("\x7E", 5090));
    EXPECT_EQ(TVekScommProbe::LastLineTime(channel), 5083u);

    // Detected before the reference: the unsigned gap is huge.
    EXPECT_TRUE(channel.AppendReceivedBurst("x", 100));

    EXPECT_EQ(channel.QueuedLines(), 3u);
    EXPECT_EQ(channel.PopLine(), "R[14:03:27 ---]01 03");
    EXPECT_EQ(channel.PopLine(), "R[14:03:27 110]7E");
    EXPECT_EQ(channel.PopLine(), "R[14:03:27 ---]78");
    EXPECT_EQ(channel.PopLine(), "");
    EXPECT_EQ(channel.RxCount.load(), 4u);
    EXPECT_EQ(notified, 1); // only the line that entered the empty queue wakes
}

// The consumer is woken for a line that enters an empty queue and takes lines
// until none is left; a line queued while the lock is busy must still be seen
// as waiting, or the consumer would sleep with a line in the queue.
TEST(VekScomm, WakeComesForALineIntoAnEmptyQueueAndBusyLockHidesNoLine)
{
    ManualClock clock;
    TVekScomm channel(clock);
    int notified = 0;
    channel.OnLineQueued = [&] { ++notified; };

    ASSERT_TRUE(channel.AppendReceivedBurst("a", 0));
    ASSERT_TRUE(channel.AppendReceivedBurst("b", 0));
    EXPECT_EQ(notified, 1);
    std::string line;
    EXPECT_TRUE(channel.PopLine(line));
    EXPECT_TRUE(channel.PopLine(line));
    EXPECT_FALSE(channel.PopLine(line));
    EXPECT_EQ(line, "");

    ASSERT_TRUE(channel.AppendReceivedBurst("c", 0));
    EXPECT_EQ(notified, 2);
    const auto [taken, waiting] = TVekScommProbe::WhileCaptureLocked(
        channel, [&] { return std::pair { channel.PopLine(line), channel.QueuedLines() }; });
    EXPECT_FALSE(taken);
    EXPECT_EQ(waiting, 1u);
}

// Taken lines hand their storage back for later bursts: a short burst formed
// in the storage of a long line must not keep any of the long line's text, in
// hex or in characters.
TEST(VekScomm, LinesFormedInReusedStorageHoldOnlyTheirOwnBurst)
{
    ManualClock clock;
    clock.SetLocalTime(TimeOfDay { 9, 5, 1 });
    TVekScomm channel(clock);
    const std::string longBurst(4096, '\xAB');
    std::string line;
    for (int round = 0; round < 6; ++round) {
        channel.ReceiveHex = uint8_t(round % 2);
        ASSERT_TRUE(channel.AppendReceivedBurst(longBurst, 0));
        ASSERT_TRUE(channel.AppendReceivedBurst("\x01", 0));
        ASSERT_TRUE(channel.PopLine(line));
        EXPECT_EQ(line.size(), 15 + (round % 2 ? 3 * 4096 - 1 : 4096));
        ASSERT_TRUE(channel.PopLine(line));
        EXPECT_EQ(SplitCaptureLine(line).Body, round % 2 ? "01" : "\x01") << round;
    }
    EXPECT_EQ(channel.QueuedBytes(), 0u);
}

TEST(VekScomm, ReceivedBytesBecomeHexPairsOrCharacters)
{
    struct Case
    {
        uint8_t ReceiveHex;
        std::string Bytes;
        std::string Body;
    };
    const Case cases[] = {
        { 1, "\x01\x0D\xFF\x00"s, "01 0D FF 00" },
        { 1, "A", "41" },
        { 0, "OK\r\n\x00\xFF"s, "OK\r\n\x00\xFF"s },
    };
    for (const Case &c : cases) {
        ManualClock clock;
        TVekScomm channel(clock);
        channel.ReceiveHex = c.ReceiveHex;
        channel.AppendReceivedBurst(c.Bytes, 0);
        EXPECT_EQ(SplitCaptureLine(channel.PopLine()).Body, c.Body);
    }
}

TEST(VekScomm, BusyCaptureLockMakesPopLineAndReceivedBurstGiveUpWithoutSideEffects)
{
    ManualClock clock;
    clock.SetLocalTime(TimeOfDay { 14, 3, 27 });
    clock.SetTick(5000);
    TVekScomm channel(clock);
    int notified = 0;
    channel.OnLineQueued = [&] { ++notified; };
    ASSERT_TRUE(channel.AppendReceivedBurst("\x01", 5000));

    clock.SetTick(6000);
    const auto [popped, appended] = TVekScommProbe::WhileCaptureLocked(channel, [&] {
        return std::pair { channel.PopLine(), channel.AppendReceivedBurst("\x02\x03", 6000) };
    });

    // The queued line waits for the next turn; the burst is gone and uncounted.
    EXPECT_EQ(popped, "");
    EXPECT_FALSE(appended);
    EXPECT_EQ(channel.RxCount.load(), 1u);
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(TVekScommProbe::LastLineTime(channel), 4980u);
    EXPECT_EQ(channel.PopLine(), "R[14:03:27 ---]01");
    EXPECT_EQ(channel.PopLine(), "");
    EXPECT_EQ(channel.QueuedBytes(), 0u);
}

// --- with a pseudo-terminal as the port ---

using VekScommPty = PtyChannel;

TEST_F(VekScommPty, OpenAndCloseChangeNothingWhenRepeated)
{
    channel.OpenPort();
    EXPECT_TRUE(channel.ComPort().Connected());
    const int handle = channel.ComPort().Handle();
    channel.OpenPort();
    EXPECT_EQ(channel.ComPort().Handle(), handle);

    channel.ClosePort();
    EXPECT_FALSE(channel.ComPort().Connected());
    channel.ClosePort();
    EXPECT_FALSE(channel.ComPort().Connected());
}

void ExpectOpenRefused(TVekScomm &channel)
{
    try {
        channel.OpenPort();
        ADD_FAILURE() << "OpenPort did not fail";
    } catch (const ECom &e) {
        EXPECT_EQ(e.Code, 1);
        EXPECT_STREQ(e.what(), "Open port failure,it may be opened by other procedures.");
    }
    EXPECT_FALSE(channel.ComPort().Connected());
    EXPECT_FALSE(channel.LastOpenError().empty());
}

TEST_F(VekScommPty, MissingOrBusyPortIsRefusedAndKeepsTheDevicesReason)
{
    TVekScomm other(clock);
    other.ComPort().SetPort("/dev/corvella-no-such-port");
    ExpectOpenRefused(other);
    EXPECT_EQ(other.LastOpenErrno(), ENOENT);

    channel.OpenPort();
    other.ComPort().SetPort(pty.SlavePath());
    ExpectOpenRefused(other);
    EXPECT_TRUE(channel.ComPort().Connected());

    channel.ClosePort();
    other.OpenPort();
    EXPECT_TRUE(other.ComPort().Connected());
    EXPECT_TRUE(other.LastOpenError().empty());
}

TEST_F(VekScommPty, LineThatIsNotHexTextIsRefusedBeforeAnythingIsWritten)
{
    channel.OpenPort();
    for (const char *text : { "1 03", "010", "01 0G", "01 03 x" }) {
        try {
            channel.SendLine(text);
            ADD_FAILURE() << "accepted " << text;
        } catch (const ECom &e) {
            EXPECT_EQ(e.Code, 1);
            EXPECT_STREQ(e.what(), "The sending data is not hexadecimal format.");
        }
    }
    EXPECT_EQ(pty.Read(1, 100), "");
    EXPECT_EQ(channel.TxCount.load(), 0u);
    EXPECT_EQ(channel.QueuedLines(), 0u);
}

TEST_F(VekScommPty, SentLineIsWrittenCountedAndQueuedAsTLine)
{
    struct Case
    {
        uint8_t SendHex;
        std::string Text;
        std::string Wire;
        std::string Shown;
    };
    const Case cases[] = {
        { 1, "0103", "\x01\x03", "01 03 " },
        { 1, "01 03", "\x01\x03", "01 03 " },
        { 1, " 1 2 3 4 ", "\x12\x34", "12 34 " },
        { 1, "0a ff", "\x0A\xFF", "0A FF " },
        { 0, "AT\r", "AT\r", "AT\r" },
        { 0, "01", "01", "01" },
    };
    channel.OpenPort();
    uint32_t expectedCount = 0;
    for (const Case &c : cases) {
        channel.SendHex = c.SendHex;
        channel.SendLine(c.Text);
        expectedCount += uint32_t(c.Wire.size());
        EXPECT_EQ(pty.Read(c.Wire.size(), 1000), c.Wire) << c.Text;
        EXPECT_EQ(channel.TxCount.load(), expectedCount) << c.Text;
        EXPECT_EQ(channel.PopLine(), "T[14:03:27 ---]" + c.Shown) << c.Text;
        clock.SetTick(clock.Tick() + 2000); // keep every gap at " ---"
    }
    EXPECT_EQ(pty.Read(1, 50), "");
}

TEST_F(VekScommPty, TLineGapCountsFromEntryAndTheNextFromQueueingWithoutCorrection)
{
    channel.OpenPort();
    // The clock moves 10 ms between the entry into SendLine and the queueing.
    clock.SetTick(5000);
    clock.SetStepPerReading(10);
    channel.SendLine("01"); // entered at 5000, queued at 5010
    clock.SetTick(5150);
    channel.SendLine("02"); // entered at 5150: 140 ms after the first was queued
    clock.SetStepPerReading(0);
    EXPECT_EQ(TVekScommProbe::LastLineTime(channel), 5160u);
    EXPECT_EQ(channel.PopLine(), "T[14:03:27 ---]01 ");
    EXPECT_EQ(channel.PopLine(), "T[14:03:27 140]02 ");
}

TEST_F(VekScommPty, PausedMonitoringStillSendsAndCountsButQueuesNothing)
{
    channel.OpenPort();
    channel.MonitoringOn = 0;
    channel.SendLine("01 03");
    EXPECT_EQ(pty.Read(2, 1000), "\x01\x03");
    EXPECT_EQ(channel.TxCount.load(), 2u);
    EXPECT_EQ(channel.QueuedLines(), 0u);
    EXPECT_EQ(TVekScommProbe::LastLineTime(channel), 0u);
}

TEST_F(VekScommPty, BusyCaptureLockSkipsTheTLineButTheBytesAreSentAndCounted)
{
    channel.OpenPort();
    int notified = 0;
    channel.OnLineQueued = [&] { ++notified; };
    TVekScommProbe::WhileCaptureLocked(channel, [&] { channel.SendLine("01 03"); });

    EXPECT_EQ(pty.Read(2, 1000), "\x01\x03");
    EXPECT_EQ(channel.TxCount.load(), 2u);
    EXPECT_EQ(channel.QueuedLines(), 0u);
    EXPECT_EQ(notified, 0);
    EXPECT_EQ(TVekScommProbe::LastLineTime(channel), 0u);

    // The next line is queued again, its gap still measured from the start.
    channel.SendLine("04");
    EXPECT_EQ(channel.PopLine(), "T[14:03:27 ---]04 ");
}

TEST_F(VekScommPty, EmptyLineAndFailedWriteChangeNothing)
{
    channel.OpenPort();
    channel.SendLine("");
    EXPECT_EQ(pty.Read(1, 50), "");

    channel.ClosePort();
    EXPECT_THROW(channel.SendLine("01"), EComPort);
    EXPECT_EQ(channel.TxCount.load(), 0u);
    EXPECT_EQ(channel.QueuedLines(), 0u);
}

} // namespace
