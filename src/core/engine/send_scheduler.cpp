#include "engine/send_scheduler.h"

#include "engine/vek_scomm.h"
#include "send/ascii_case.h"
#include "send/hex_text.h"
#include "shell/send_settings_rules.h"

#include <climits>
#include <exception>

namespace {

// Line numbers are stored 1-based and unsigned; the send view takes a signed
// 0-based index. Line 0 and numbers beyond INT32_MAX become an index the view
// answers with an empty line, so nothing goes out for them.
int IndexOfLine(uint32_t lineNumber)
{
    return static_cast<int32_t>(lineNumber - 1u);
}

} // namespace

std::string NotRightFormatText(int64_t lineNumber)
{
    return "Line " + std::to_string(lineNumber) + " is not the right format.";
}

TSendScheduler::TSendScheduler(SendTarget &target, Clock &clock)
    : target_(target)
    , clock_(clock)
{ }

void TSendScheduler::SetLoopParams(const LoopParams &params)
{
    loop_ = params;
}

void TSendScheduler::SetTriggerParams(const TriggerParams &params)
{
    trigger_ = params;
    timingSecond_ = SecondOfDayFromDays(params.TimingTriggerTime);
}

void TSendScheduler::SetLoopRunning(bool running)
{
    if (running && !loopRunning_)
        loopErrorReported_ = false;
    loopRunning_ = running;
}

int TSendScheduler::LoopTimerInterval() const
{
    if (loop_.LoopInterval == 0)
        return 1;
    if (loop_.LoopInterval > uint32_t(INT_MAX))
        return INT_MAX;
    return int(loop_.LoopInterval);
}

void TSendScheduler::SetTriggerSwitch(uint8_t on)
{
    const uint8_t value = on ? 1 : 0;
    if (value == 1 && triggerSwitch_ == 0)
        triggerErrorReported_ = false;
    triggerSwitch_ = value;
}

void TSendScheduler::ReceivedLineTaken(std::string_view body)
{
    receiveState_ = 1;
    receivedBody_ = std::string(body);
}

void TSendScheduler::SentLineTaken()
{
    receiveState_ = 1;
    // A T line taken after an R line in the same tick is the newer line.
    receivedBody_.reset();
}

bool TSendScheduler::NeedsTicks() const
{
    if (triggerSwitch_ != 1)
        return false;
    // An armed receive trigger only acts on a tick that took a line; a pending
    // answer has to watch its delay.
    return trigger_.TimingTriggerEnabled == 1
        || (trigger_.ReceiveTriggerEnabled == 1 && receiveState_ == 2);
}

TSendScheduler::SendResult TSendScheduler::TrySend(
    int index, bool &errorReported, SendReport &report)
{
    try {
        target_.SendViewLine(index);
        return SendResult::Sent;
    } catch (const ECom &) {
        report.Warning = NotRightFormatText(int64_t(index) + 1);
        return SendResult::Refused;
    } catch (const std::exception &error) {
        // The device keeps failing on every tick while the loop or trigger keeps
        // trying; one message per run is enough.
        if (!errorReported) {
            errorReported = true;
            report.Error = error.what();
        }
        return SendResult::Failed;
    }
}

int TSendScheduler::ChosenLine(uint8_t thisLine, uint32_t fixedLine) const
{
    return thisLine == 1 ? target_.CaretLineIndex() : IndexOfLine(fixedLine);
}

SendReport TSendScheduler::LoopTick()
{
    SendReport report;
    if (loopRunning_)
        LoopStep(report);
    return report;
}

void TSendScheduler::LoopStep(SendReport &report)
{
    if (loop_.LoopRange == 0) {
        const int index = ChosenLine(loop_.LoopThisLine, loop_.LoopFixedLine);
        if (TrySend(index, loopErrorReported_, report) == SendResult::Refused)
            loopRunning_ = false;
        return;
    }
    if (loop_.LoopRangeFrom > loopCursor_)
        loopCursor_ = loop_.LoopRangeFrom;
    if (loopCursor_ > loop_.LoopRangeTo)
        loopCursor_ = loop_.LoopRangeFrom;
    const SendResult result = TrySend(IndexOfLine(loopCursor_), loopErrorReported_, report);
    if (result == SendResult::Sent)
        ++loopCursor_;
    else if (result == SendResult::Refused)
        loopRunning_ = false;
}

SendReport TSendScheduler::TriggerStep()
{
    SendReport report;
    // The line counts for this tick only, whether or not a trigger looks at it.
    std::optional<std::string> body = std::move(receivedBody_);
    receivedBody_.reset();

    if (triggerSwitch_ == 1 && trigger_.TimingTriggerEnabled == 1)
        TimingStep(report);
    // A refused timing line has switched the triggers off for this tick too.
    if (triggerSwitch_ == 1 && trigger_.ReceiveTriggerEnabled == 1) {
        if (receiveState_ == 1) {
            if (body)
                MatchReceivedBody(*body);
        } else if (receiveState_ == 2) {
            ReceiveStep(report);
        }
    }
    return report;
}

void TSendScheduler::StopTriggers()
{
    triggerSwitch_ = 0;
}

void TSendScheduler::TimingStep(SendReport &report)
{
    const bool inTriggerSecond
        = timingSecond_ && clock_.LocalTime().SecondOfDay() == *timingSecond_;
    const uint32_t now = clock_.Tick();
    switch (timingState_) {
    case 0:
        if (!inTriggerSecond)
            timingState_ = 1;
        return;
    case 1:
        if (inTriggerSecond) {
            timingState_ = 2;
            timingTick_ = now;
            timingCursor_ = trigger_.TimingRangeFrom;
        }
        return;
    default:
        break;
    }
    if (now - timingTick_ < trigger_.TimingInterval)
        return;
    timingTick_ = now;

    if (trigger_.TimingRange == 0) {
        const int index = ChosenLine(trigger_.TimingThisLine, trigger_.TimingFixedLine);
        const SendResult result = TrySend(index, triggerErrorReported_, report);
        // A device failure leaves the trigger firing: the line is tried again
        // one interval later.
        if (result == SendResult::Sent) {
            timingState_ = 0;
        } else if (result == SendResult::Refused) {
            timingState_ = 0;
            StopTriggers();
        }
        return;
    }
    if (trigger_.TimingRangeTo >= timingCursor_) {
        const SendResult result
            = TrySend(IndexOfLine(timingCursor_), triggerErrorReported_, report);
        if (result == SendResult::Sent) {
            ++timingCursor_;
        } else if (result == SendResult::Refused) {
            timingState_ = 0;
            StopTriggers();
        }
        return;
    }
    timingState_ = 0;
}

void TSendScheduler::MatchReceivedBody(const std::string &body)
{
    const std::string received = NormalizeHexText(body);
    for (int row = 1; row <= kTriggerRows; ++row) {
        const uint32_t recLine = trigger_.ReceiveTriggerList[row - 1].RecLine;
        if (recLine == 0)
            continue;
        const std::string prepared = NormalizeHexText(target_.LineText(IndexOfLine(recLine)));
        if (EqualIgnoringAsciiCase(received, prepared)) {
            receiveState_ = 2;
            receiveMatchTick_ = clock_.Tick();
            receiveMatchRow_ = row;
            return;
        }
    }
}

void TSendScheduler::ReceiveStep(SendReport &report)
{
    if (clock_.Tick() - receiveMatchTick_ < trigger_.ReceiveTriggerDelay)
        return;
    receiveState_ = 0;
    const int index = IndexOfLine(trigger_.ReceiveTriggerList[receiveMatchRow_ - 1].TrigLine);
    // The answer belongs to one received line: it is not repeated when it fails.
    if (TrySend(index, triggerErrorReported_, report) == SendResult::Refused)
        StopTriggers();
}

SendReport TSendScheduler::SendCaretLine()
{
    SendReport report;
    const int index = target_.CaretLineIndex();
    try {
        target_.SendViewLine(index);
    } catch (const ECom &) {
        report.Warning = NotRightFormatText(int64_t(index) + 1);
    }
    return report;
}
