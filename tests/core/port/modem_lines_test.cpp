#include "port_test_support.h"

#include <cerrno>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

class PortWithModemLines : public PortOnPty
{
protected:
    PortWithModemLines() { port.SetTtyCalls(&tty); }

    void SetControl(TDTRFlowControl dtr, TRTSFlowControl rts)
    {
        TComFlowControl flow = port.FlowControl();
        flow.ControlDTR = dtr;
        flow.ControlRTS = rts;
        port.SetFlowControl(flow);
    }
    bool Driven(int line) const { return tty.lines & line; }

    FakeTty tty;
};

TEST_F(PortWithModemLines, DtrAndRtsFollowTheirControlAtOnceWhileOpen)
{
    SetControl(dtrEnable, rtsDisable);
    port.Open();
    EXPECT_TRUE(Driven(TIOCM_DTR));
    EXPECT_FALSE(Driven(TIOCM_RTS));

    SetControl(dtrDisable, rtsEnable);
    EXPECT_FALSE(Driven(TIOCM_DTR));
    EXPECT_TRUE(Driven(TIOCM_RTS));

    port.Close();
    const int callsWhileOpen = tty.modemSets;
    SetControl(dtrEnable, rtsDisable); // closed: stored for the next open
    EXPECT_EQ(tty.modemSets, callsWhileOpen);
    port.Open();
    EXPECT_TRUE(Driven(TIOCM_DTR));
    EXPECT_FALSE(Driven(TIOCM_RTS));
}

TEST_F(PortWithModemLines, OpenSignalsTheCurrentLineStates)
{
    std::vector<std::pair<char, bool>> calls;
    port.OnCTSChange = [&](bool on) { calls.emplace_back('C', on); };
    port.OnDSRChange = [&](bool on) { calls.emplace_back('D', on); };
    port.OnRLSDChange = [&](bool on) { calls.emplace_back('R', on); };
    tty.lines = TIOCM_CTS | TIOCM_CAR;

    port.Open();
    EXPECT_EQ(calls,
        (std::vector<std::pair<char, bool>> { { 'C', true }, { 'D', false }, { 'R', true } }));
    calls.clear();
    port.Close();
    EXPECT_EQ(calls,
        (std::vector<std::pair<char, bool>> { { 'C', false }, { 'D', false }, { 'R', false } }));
}

TEST_F(PortWithModemLines, ModemStatusUsesTheStatusBits)
{
    port.Open();
    const std::pair<int, uint32_t> cases[] = {
        { 0, 0 },
        { TIOCM_CTS, kModemCts },
        { TIOCM_DSR | TIOCM_DTR | TIOCM_RTS, kModemDsr },
        { TIOCM_CTS | TIOCM_DSR | TIOCM_RNG | TIOCM_CAR,
            kModemCts | kModemDsr | kModemRing | kModemRlsd },
    };
    for (const auto &[lines, status] : cases) {
        tty.lines = lines;
        EXPECT_EQ(port.ModemStatus(), status) << lines;
    }
    tty.getError = ENOTTY; // a tty without modem lines reads all off
    EXPECT_EQ(port.ModemStatus(), 0u);
}

// The reader looks at the lines on every burst; a tty that has none says so
// once per open, and the next open asks again.
TEST_F(PortWithModemLines, ATtyWithoutModemLinesIsAskedOncePerOpen)
{
    tty.getError = ENOTTY;
    const int before = tty.modemGets.load();
    port.Open();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(port.ModemStatus(), 0u);
        EXPECT_TRUE(port.WaitForEvent(TComEvents { evCTS, evDSR }, 0).Empty());
    }
    EXPECT_EQ(tty.modemGets.load() - before, 1);

    port.Close();
    tty.getError = 0;
    tty.lines = TIOCM_CTS;
    port.Open();
    EXPECT_EQ(port.ModemStatus(), kModemCts);
}

TEST_F(PortWithModemLines, WaitReportsTheLineThatChanged)
{
    tty.lines = TIOCM_CTS;
    port.Open();
    const TComEvents watched { evRxChar, evCTS, evDSR, evRLSD };
    EXPECT_TRUE(port.WaitForEvent(watched, 40).Empty()); // the state at the open is no change

    auto wait = std::async(std::launch::async, [&] { return port.WaitForEvent(watched, -1); });
    std::this_thread::sleep_for(40ms);
    tty.lines |= TIOCM_DSR;
    ASSERT_TRUE(FinishesSoon(wait, port));
    EXPECT_EQ(wait.get(), TComEvents { evDSR });

    // A change between two waits is not lost.
    tty.lines ^= TIOCM_CTS | TIOCM_CAR;
    EXPECT_EQ(port.WaitForEvent(watched, 1000), (TComEvents { evCTS, evRLSD }));

    // A line nobody asked for does not end the wait.
    tty.lines ^= TIOCM_CTS;
    EXPECT_TRUE(port.WaitForEvent({ evRxChar, evDSR }, 60).Empty());
}

TEST_F(PortWithModemLines, FailedStepOfTheOpenLeavesThePortClosed)
{
    struct Case
    {
        std::atomic<int> FakeTty::*error;
        int value;
        int code;
    };
    const Case cases[] = {
        { &FakeTty::setLineError, EINVAL, 7 }, // device refuses the line settings
        { &FakeTty::getError, EIO, 11 }, // modem status cannot be read
    };
    for (const Case &c : cases) {
        tty.*c.error = c.value;
        const int before = OpenDescriptorCount();
        try {
            port.Open();
            ADD_FAILURE() << "opened despite error " << c.value;
        } catch (const EComPort &e) {
            EXPECT_EQ(e.Code(), c.code);
            EXPECT_EQ(e.WinCode(), c.value);
        }
        EXPECT_FALSE(port.Connected());
        EXPECT_EQ(port.Handle(), -1);
        EXPECT_EQ(OpenDescriptorCount(), before);
        tty.*c.error = 0;
    }
    port.Open();
    EXPECT_TRUE(port.Connected());
}

TEST_F(PortWithModemLines, LineSettingRefusedOnAnOpenPortRaises)
{
    port.Open();
    tty.setLineError = EINVAL;
    try {
        port.SetDataBits(dbSeven);
        FAIL() << "no error";
    } catch (const EComPort &e) {
        EXPECT_EQ(e.Code(), 7);
    }
    EXPECT_EQ(port.DataBits(), dbSeven); // stored all the same
}

// A device slow to take its line settings: long enough for a reader that was
// woken by the close to come back and wait on the reopened device.
class SlowSettingsTty : public FakeTty
{
public:
    std::atomic<bool> slow { false };
    int SetLineSettings(int fd, const TTermios2Fields &fields) override
    {
        if (slow)
            std::this_thread::sleep_for(300ms);
        return FakeTty::SetLineSettings(fd, fields);
    }
};

TEST(PortChange, ReopeningUnderAWaitingReaderDoesNotWaitForTraffic)
{
    PtyPair first;
    PtyPair second;
    SlowSettingsTty tty;
    TComPort port;
    port.SetTtyCalls(&tty);
    port.SetPort(first.SlavePath());
    port.Open();

    std::atomic<bool> stop { false };
    std::thread reader([&] {
        while (!stop) {
            try {
                port.WaitForEvent(TComEvents { evRxChar, evCTS }, -1);
            } catch (const EComPort &) {
                std::this_thread::sleep_for(1ms); // closed for the moment
            }
        }
    });
    std::this_thread::sleep_for(50ms); // the reader waits on the quiet line
    tty.slow = true;
    auto change = std::async(std::launch::async, [&] { port.SetPort(second.SlavePath()); });
    const bool finished = change.wait_for(5s) == std::future_status::ready;
    stop = true;
    if (!finished) {
        port.CancelWait(); // lets the reader go, and the change with it
        change.wait();
    }
    EXPECT_TRUE(finished) << "the change waited for traffic on the new device";
    EXPECT_TRUE(port.Connected());

    port.CancelWait();
    reader.join();
    port.Close();
}

} // namespace
