#include "engine/send_scheduler.h"

#include "support/manual_clock.h"
#include "engine/vek_scomm.h"
#include "port/com_port_error.h"
#include "send/hex_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace {

struct SentLine
{
    int Line; // 1-based
    uint32_t Tick;
    bool operator==(const SentLine &) const = default;
};

// A send view that sends like the channel does: empty lines send nothing, text
// that is not hex text is refused, and the device can be made to fail.
class FakeSendView : public SendTarget
{
public:
    explicit FakeSendView(const Clock &clock)
        : clock_(clock)
    { }

    std::vector<std::string> Lines;
    int Caret = 0;
    bool DeviceFails = false;
    std::vector<SentLine> Sent;

    int CaretLineIndex() const override { return Caret; }
    std::string LineText(int index) const override
    {
        return index >= 0 && index < int(Lines.size()) ? Lines[index] : std::string();
    }
    void SendViewLine(int index) override
    {
        const std::string text = LineText(index);
        if (text.empty())
            return;
        if (!IsHexText(text))
            throw ECom(kNotHexText);
        if (DeviceFails)
            throw EComPort(CError_WriteFailed, 5);
        Sent.push_back({ index + 1, clock_.Tick() });
    }

    std::vector<int> SentLines() const
    {
        std::vector<int> lines;
        for (const SentLine &sent : Sent)
            lines.push_back(sent.Line);
        return lines;
    }

private:
    const Clock &clock_;
};

LoopParams RangeLoop(uint32_t from, uint32_t to)
{
    LoopParams params {};
    params.LoopRange = 1;
    params.LoopRangeFrom = from;
    params.LoopRangeTo = to;
    params.LoopInterval = 100;
    return params;
}

LoopParams SingleLineLoop(uint8_t thisLine, uint32_t fixedLine)
{
    LoopParams params {};
    params.LoopThisLine = thisLine;
    params.LoopFixedLine = fixedLine;
    params.LoopInterval = 100;
    return params;
}

constexpr double kNoon = 0.5; // 12:00:00

TriggerParams TimingRange(uint32_t from, uint32_t to, uint32_t interval)
{
    TriggerParams params {};
    params.TimingTriggerEnabled = 1;
    params.TimingTriggerTime = 45000 + kNoon; // a date; only the time of day counts
    params.TimingRange = 1;
    params.TimingRangeFrom = from;
    params.TimingRangeTo = to;
    params.TimingInterval = interval;
    return params;
}

TriggerParams ReceiveRows(std::vector<ReceiveTriggerRow> rows, uint32_t delay)
{
    TriggerParams params {};
    params.ReceiveTriggerEnabled = 1;
    for (std::size_t i = 0; i < rows.size(); ++i)
        params.ReceiveTriggerList[i] = rows[i];
    params.ReceiveTriggerDelay = delay;
    return params;
}

class SendSchedulerTest : public ::testing::Test
{
protected:
    SendSchedulerTest()
    {
        // Close to the wrap of the 32-bit tick, so every interval check crosses it.
        clock.SetTick(0xFFFFFC00u);
        clock.SetLocalTime({ 11, 59, 59, 0 });
        view.Lines = { "01", "02", "03", "04", "05", "06", "07", "08" };
    }

    std::vector<SendReport> LoopTicks(int count)
    {
        std::vector<SendReport> reports;
        for (int i = 0; i < count; ++i) {
            clock.Advance(scheduler.Loop().LoopInterval);
            reports.push_back(scheduler.LoopTick());
        }
        return reports;
    }

    void StartTriggers(const TriggerParams &params)
    {
        scheduler.SetTriggerParams(params);
        scheduler.SetTriggerSwitch(params.TimingTriggerEnabled | params.ReceiveTriggerEnabled);
    }

    // Render ticks of `step` ms over `duration` ms, no line taken.
    std::vector<SendReport> TriggerSteps(uint32_t duration, uint32_t step = 1)
    {
        std::vector<SendReport> reports;
        for (uint32_t t = 0; t < duration; t += step) {
            clock.Advance(step);
            SendReport report = scheduler.TriggerStep();
            if (!report.Empty())
                reports.push_back(report);
        }
        return reports;
    }

    // One render tick that takes an R line.
    SendReport Receive(std::string_view body)
    {
        clock.Advance(1);
        scheduler.ReceivedLineTaken(body);
        return scheduler.TriggerStep();
    }

    ManualClock clock;
    FakeSendView view { clock };
    TSendScheduler scheduler { view, clock };
};

// --- Loop send ---------------------------------------------------------------

struct LoopCase
{
    const char *Name;
    LoopParams Params;
    int Caret;
    std::vector<int> Expected;
};

TEST_F(SendSchedulerTest, LoopSendsItsLines)
{
    const LoopCase cases[] = {
        { "range 3..5 wraps to its start", RangeLoop(3, 5), 0, { 3, 4, 5, 3, 4, 5, 3 } },
        { "range 5..3 repeats its start", RangeLoop(5, 3), 0, { 5, 5, 5, 5, 5, 5, 5 } },
        { "range from line 0 skips the empty line", RangeLoop(0, 2), 0, { 1, 2, 1, 2 } },
        { "fixed line", SingleLineLoop(0, 2), 6, { 2, 2, 2, 2, 2, 2, 2 } },
        { "caret line", SingleLineLoop(1, 2), 6, { 7, 7, 7, 7, 7, 7, 7 } },
        { "fixed line 0 sends nothing", SingleLineLoop(0, 0), 6, {} },
    };
    for (const LoopCase &c : cases) {
        SCOPED_TRACE(c.Name);
        FakeSendView fresh(clock);
        fresh.Lines = view.Lines;
        fresh.Caret = c.Caret;
        TSendScheduler loop(fresh, clock);
        loop.SetLoopParams(c.Params);
        loop.SetLoopRunning(true);
        for (int i = 0; i < 7; ++i)
            EXPECT_TRUE(loop.LoopTick().Empty());
        EXPECT_EQ(fresh.SentLines(), c.Expected);
        EXPECT_TRUE(loop.LoopRunning());
    }
}

TEST_F(SendSchedulerTest, LoopContinuesWhereItStoppedClampedIntoTheRange)
{
    scheduler.SetLoopParams(RangeLoop(3, 5));
    scheduler.SetLoopRunning(true);
    LoopTicks(2);
    scheduler.SetLoopRunning(false);
    LoopTicks(3); // the timer is off: nothing happens
    scheduler.SetLoopRunning(true);
    LoopTicks(2);
    EXPECT_EQ(view.SentLines(), (std::vector<int> { 3, 4, 5, 3 }));

    // The cursor (now 4) lies beyond a new, shorter range: it starts over.
    scheduler.SetLoopParams(RangeLoop(1, 3));
    LoopTicks(2);
    EXPECT_EQ(view.SentLines(), (std::vector<int> { 3, 4, 5, 3, 1, 2 }));
}

TEST_F(SendSchedulerTest, RefusedLineStopsTheLoopWithOneWarning)
{
    view.Lines[1] = "not hex";
    for (const LoopParams &params : { SingleLineLoop(0, 2), RangeLoop(1, 3) }) {
        SCOPED_TRACE(params.LoopRange ? "range" : "fixed line");
        view.Sent.clear();
        scheduler.SetLoopParams(params);
        scheduler.SetLoopRunning(true);

        std::vector<std::string> warnings;
        for (const SendReport &report : LoopTicks(4)) {
            if (!report.Warning.empty())
                warnings.push_back(report.Warning);
            EXPECT_TRUE(report.Error.empty());
        }
        EXPECT_EQ(warnings, std::vector<std::string> { "Line 2 is not the right format." });
        EXPECT_FALSE(scheduler.LoopRunning());
    }
    // The range sent line 1, then stopped on line 2 without passing it.
    EXPECT_EQ(view.SentLines(), std::vector<int> { 1 });
    EXPECT_EQ(scheduler.LoopCursor(), 2u);
}

TEST_F(SendSchedulerTest, LoopDeviceErrorIsReportedOncePerRunAndTheLineRetried)
{
    view.DeviceFails = true;
    scheduler.SetLoopParams(RangeLoop(3, 5));
    scheduler.SetLoopRunning(true);

    std::vector<SendReport> reports = LoopTicks(5);
    EXPECT_EQ(reports[0].Error, EComPort::MessageFor(CError_WriteFailed, 5));
    for (std::size_t i = 1; i < reports.size(); ++i)
        EXPECT_TRUE(reports[i].Empty()) << i;
    EXPECT_TRUE(scheduler.LoopRunning());
    EXPECT_EQ(scheduler.LoopCursor(), 3u);

    scheduler.SetLoopRunning(true); // still running: the same run
    EXPECT_TRUE(LoopTicks(1)[0].Empty());
    scheduler.SetLoopRunning(false);
    scheduler.SetLoopRunning(true);
    EXPECT_FALSE(LoopTicks(1)[0].Error.empty());

    view.DeviceFails = false;
    LoopTicks(2);
    EXPECT_EQ(view.SentLines(), (std::vector<int> { 3, 4 }));
}

// --- Timing trigger ----------------------------------------------------------

TEST_F(SendSchedulerTest, TimingRangeSendsOneLinePerIntervalFromTheTriggerSecond)
{
    StartTriggers(TimingRange(1, 3, 500));
    TriggerSteps(1000); // 11:59:59 .. 12:00:00.000
    const uint32_t noon = clock.Tick();
    EXPECT_EQ(scheduler.TimingState(), 2);

    EXPECT_TRUE(TriggerSteps(3000).empty()); // to 12:00:03
    EXPECT_EQ(view.Sent,
        (std::vector<SentLine> { { 1, noon + 500 }, { 2, noon + 1000 }, { 3, noon + 1500 } }));
    EXPECT_EQ(scheduler.TimingState(), 1); // re-armed after the trigger second

    // The same time next day fires again.
    clock.Advance(86400000 - 3000 - 5);
    view.Sent.clear();
    TriggerSteps(5);
    const uint32_t nextNoon = clock.Tick();
    TriggerSteps(2000, 10);
    EXPECT_EQ(view.SentLines(), (std::vector<int> { 1, 2, 3 }));
    EXPECT_EQ(view.Sent.front().Tick, nextNoon + 500);
}

TEST_F(SendSchedulerTest, SingleLineTimingFiresOncePerDay)
{
    TriggerParams params = TimingRange(1, 3, 20);
    params.TimingRange = 0;
    params.TimingFixedLine = 4;
    StartTriggers(params);
    TriggerSteps(1000);
    const uint32_t noon = clock.Tick();
    TriggerSteps(5000);
    EXPECT_EQ(view.Sent, (std::vector<SentLine> { { 4, noon + 20 } }));

    // The caret line, when asked for.
    params.TimingThisLine = 1;
    view.Caret = 6;
    scheduler.SetTriggerParams(params);
    clock.Advance(86400000 - 6000);
    TriggerSteps(2000);
    EXPECT_EQ(view.SentLines(), (std::vector<int> { 4, 7 }));
}

TEST_F(SendSchedulerTest, RefusedTimingLineSwitchesTheTriggersOff)
{
    view.Lines[1] = "0x 1";
    StartTriggers(TimingRange(1, 3, 500));
    const std::vector<SendReport> reports = TriggerSteps(4000);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].Warning, "Line 2 is not the right format.");
    EXPECT_EQ(view.SentLines(), std::vector<int> { 1 });
    EXPECT_EQ(scheduler.TriggerSwitch(), 0);
    EXPECT_EQ(scheduler.TimingState(), 0);
    EXPECT_FALSE(scheduler.NeedsTicks());
}

TEST_F(SendSchedulerTest, TimingDeviceErrorIsReportedOncePerRunAndTheLineRetried)
{
    view.DeviceFails = true;
    StartTriggers(TimingRange(1, 3, 500));
    TriggerSteps(1000);
    const uint32_t noon = clock.Tick();

    std::vector<SendReport> reports = TriggerSteps(1200); // fails at +500 and +1000
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_FALSE(reports[0].Error.empty());
    EXPECT_EQ(scheduler.TimingCursor(), 1u);

    view.DeviceFails = false;
    TriggerSteps(1000);
    EXPECT_EQ(view.Sent, (std::vector<SentLine> { { 1, noon + 1500 }, { 2, noon + 2000 } }));

    // A new trigger run reports again.
    view.DeviceFails = true;
    scheduler.SetTriggerSwitch(0);
    scheduler.SetTriggerSwitch(1);
    reports = TriggerSteps(500);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_FALSE(reports[0].Error.empty());
}

// --- Receive trigger ---------------------------------------------------------

class ReceiveTriggerTest : public SendSchedulerTest
{
protected:
    ReceiveTriggerTest()
    {
        view.Lines[1] = "01 03 00 00 00 01";
        view.Lines[4] = "AA BB";
        StartTriggers(ReceiveRows({ { 2, 5 } }, 100));
    }
};

TEST_F(ReceiveTriggerTest, AnswersAMatchingLineAfterTheDelay)
{
    EXPECT_FALSE(scheduler.NeedsTicks());
    Receive("01 03 00 00 00 01 ");
    const uint32_t matched = clock.Tick();
    EXPECT_EQ(scheduler.ReceiveState(), 2);
    EXPECT_TRUE(scheduler.NeedsTicks());

    TriggerSteps(300);
    EXPECT_EQ(view.Sent, (std::vector<SentLine> { { 5, matched + 100 } }));
    EXPECT_EQ(scheduler.ReceiveState(), 0);
    EXPECT_FALSE(scheduler.NeedsTicks());
}

TEST_F(ReceiveTriggerTest, ComparesNormalisedTextIgnoringCase)
{
    const struct
    {
        const char *Received;
        const char *Prepared;
        bool Matches;
    } cases[] = {
        { "01 03 00 00 00 01 ", "010300000001", true },
        { "0a ", "0A", true },
        { "0A ", "  0a\t", true },
        { "0A 0B ", "0A", false },
        { "0A ", "0B", false },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.Received) + " / " + c.Prepared);
        view.Lines[1] = c.Prepared;
        view.Sent.clear();
        Receive(c.Received);
        TriggerSteps(200);
        EXPECT_EQ(view.SentLines(), c.Matches ? std::vector<int> { 5 } : std::vector<int> {});
    }
}

TEST_F(ReceiveTriggerTest, NewerLineDropsThePendingAnswer)
{
    const struct
    {
        const char *Name;
        bool Received;
        const char *Body;
        std::vector<int> Expected;
    } cases[] = {
        { "sent line", false, "", {} },
        { "other received line", true, "99 ", {} },
        { "same received line again", true, "01 03 00 00 00 01 ", { 5 } },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        view.Sent.clear();
        Receive("01 03 00 00 00 01 ");
        TriggerSteps(60);
        clock.Advance(1);
        if (c.Received)
            scheduler.ReceivedLineTaken(c.Body);
        else
            scheduler.SentLineTaken();
        scheduler.TriggerStep();
        const uint32_t newer = clock.Tick();
        TriggerSteps(300);
        EXPECT_EQ(view.SentLines(), c.Expected);
        if (!view.Sent.empty()) {
            EXPECT_EQ(view.Sent[0].Tick, newer + 100); // the delay starts again
        }
    }
}

TEST_F(ReceiveTriggerTest, FirstMatchingRowWinsAndEmptyRowsAreSkipped)
{
    view.Lines[2] = view.Lines[1];
    view.Lines[3] = "";
    // Row 1 is empty but names a line: it must not answer an empty body either.
    StartTriggers(ReceiveRows({ { 0, 8 }, { 4, 6 }, { 3, 7 }, { 2, 5 } }, 0));
    Receive("01 03 00 00 00 01 ");
    EXPECT_EQ(scheduler.ReceiveMatchRow(), 3);
    TriggerSteps(1);
    Receive("");
    EXPECT_EQ(scheduler.ReceiveMatchRow(), 2);
    TriggerSteps(1);
    EXPECT_EQ(view.SentLines(), (std::vector<int> { 7, 6 }));
}

TEST_F(ReceiveTriggerTest, ZeroDelayAnswersOnTheNextStep)
{
    StartTriggers(ReceiveRows({ { 2, 5 } }, 0));
    Receive("01 03 00 00 00 01 ");
    EXPECT_TRUE(view.Sent.empty());
    scheduler.TriggerStep(); // same tick, next step
    EXPECT_EQ(view.SentLines(), std::vector<int> { 5 });
}

TEST_F(ReceiveTriggerTest, PendingAnswerSurvivesSwitchingAndNewParams)
{
    Receive("01 03 00 00 00 01 ");
    scheduler.SetTriggerSwitch(0);
    TriggerSteps(200);
    EXPECT_TRUE(view.Sent.empty());
    StartTriggers(ReceiveRows({ { 2, 6 } }, 100));
    TriggerSteps(1);
    EXPECT_EQ(view.SentLines(), std::vector<int> { 6 });
}

TEST_F(ReceiveTriggerTest, AnswerFailures)
{
    // A refused answer switches the triggers off.
    view.Lines[4] = "A";
    Receive("01 03 00 00 00 01 ");
    std::vector<SendReport> reports = TriggerSteps(200);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].Warning, "Line 5 is not the right format.");
    EXPECT_EQ(scheduler.TriggerSwitch(), 0);

    // A device failure is not repeated and is reported once per run.
    view.Lines[4] = "AA";
    view.DeviceFails = true;
    scheduler.SetTriggerSwitch(1);
    for (int answer = 0; answer < 3; ++answer) {
        Receive("01 03 00 00 00 01 ");
        reports = TriggerSteps(200);
        ASSERT_EQ(reports.size(), answer == 0 ? 1u : 0u);
        EXPECT_EQ(scheduler.ReceiveState(), 0);
    }
    EXPECT_EQ(scheduler.TriggerSwitch(), 1);
}

TEST_F(SendSchedulerTest, TimingGoesBeforeTheReceiveAnswerInOneStep)
{
    view.Lines[1] = "0A";
    TriggerParams params = TimingRange(3, 3, 101);
    params.ReceiveTriggerEnabled = 1;
    params.ReceiveTriggerList[0] = { 2, 5 };
    params.ReceiveTriggerDelay = 100;
    StartTriggers(params);
    TriggerSteps(1000); // 12:00:00.000: the timing line is due at +101 ms
    Receive("0a "); // at +1 ms: the answer is due at +101 ms as well
    clock.Advance(100);
    scheduler.TriggerStep();
    EXPECT_EQ(view.SentLines(), (std::vector<int> { 3, 5 }));
}

// --- On command --------------------------------------------------------------

TEST_F(SendSchedulerTest, SendCaretLine)
{
    view.Lines[2] = "hello";
    view.Lines[3] = "";
    const struct
    {
        int Caret;
        std::string Warning;
        std::vector<int> Sent;
    } cases[] = {
        { 0, "", { 1 } },
        { 2, "Line 3 is not the right format.", {} },
        { 3, "", {} },
        { 40, "", {} },
    };
    for (const auto &c : cases) {
        view.Sent.clear();
        view.Caret = c.Caret;
        EXPECT_EQ(scheduler.SendCaretLine().Warning, c.Warning) << c.Caret;
        EXPECT_EQ(view.SentLines(), c.Sent) << c.Caret;
    }
    view.Caret = 0;
    view.DeviceFails = true;
    EXPECT_THROW(scheduler.SendCaretLine(), EComPort);
}

} // namespace
