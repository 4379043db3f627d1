#pragma once

#include "engine/clock.h"
#include "shell/settings_record.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The send view and the port channel as the scheduler sees them.
class SendTarget
{
public:
    virtual ~SendTarget() = default;
    // 0-based line of the send view's caret.
    virtual int CaretLineIndex() const = 0;
    // Line `index` (0-based) of the send view; empty below 0 or beyond the last line.
    virtual std::string LineText(int index) const = 0;
    // Sends line `index`; does nothing when the port is closed or the line is empty.
    // Raises ECom for a line the channel refuses; device errors pass through.
    virtual void SendViewLine(int index) = 0;
};

// What one step asks the user interface to show. Both texts may be set at once.
struct SendReport
{
    // "Line N is not the right format." for the "Send" warning box; empty: none.
    std::string Warning;
    // Message of a failed send for the application's error box; empty: none.
    // Only the first failure of a loop run or of a trigger run is reported.
    std::string Error;

    bool Empty() const { return Warning.empty() && Error.empty(); }
};

// "Line N is not the right format." for the 1-based line number N.
std::string NotRightFormatText(int64_t lineNumber);

// Decides which line of the send view goes out when: loop send, timing trigger
// and receive trigger. The owner drives it: LoopTick from its send timer (run it
// while LoopRunning()), ReceivedLineTaken/SentLineTaken and then TriggerStep from
// every render tick, and shows the returned reports.
class TSendScheduler
{
public:
    TSendScheduler(SendTarget &target, Clock &clock);

    void SetLoopParams(const LoopParams &params);
    void SetTriggerParams(const TriggerParams &params);
    const LoopParams &Loop() const { return loop_; }
    const TriggerParams &Trigger() const { return trigger_; }

    // --- Loop send -------------------------------------------------------------
    // The send timer's enable state. Switching it on starts a new loop run.
    void SetLoopRunning(bool running);
    // False once a refused line has stopped the loop: the owner stops its timer,
    // before showing the warning, whose box runs an event loop of its own.
    bool LoopRunning() const { return loopRunning_; }
    // LoopInterval clamped to what a timer can take (1 ms .. INT32_MAX).
    int LoopTimerInterval() const;
    // One loop step; does nothing while the loop is not running.
    SendReport LoopTick();

    // --- Triggers --------------------------------------------------------------
    // Both triggers run only while the switch is 1. Switching it on starts a new
    // trigger run; a refused line switches it off.
    void SetTriggerSwitch(uint8_t on);
    uint8_t TriggerSwitch() const { return triggerSwitch_; }
    // The display step took a line out of the capture queue in this tick.
    void ReceivedLineTaken(std::string_view body);
    void SentLineTaken();
    // One step of each trigger, timing first. Call once per render tick, after
    // the display step.
    SendReport TriggerStep();
    // Whether TriggerStep has work on a tick at which no line was taken: false
    // lets the render timer sleep until the next captured line.
    bool NeedsTicks() const;

    // --- On command --------------------------------------------------------------
    // Sends the caret line. A refused line gives the warning; device errors pass
    // through to the caller (one command, one error).
    SendReport SendCaretLine();

    // --- State -------------------------------------------------------------------
    uint32_t LoopCursor() const { return loopCursor_; }
    int TimingState() const { return timingState_; }
    uint32_t TimingTick() const { return timingTick_; }
    uint32_t TimingCursor() const { return timingCursor_; }
    int ReceiveState() const { return receiveState_; }
    uint32_t ReceiveMatchTick() const { return receiveMatchTick_; }
    int ReceiveMatchRow() const { return receiveMatchRow_; }
    // Second of the day at which the timing trigger fires; none for a stored
    // time that is not a finite number.
    std::optional<int> TimingTriggerSecond() const { return timingSecond_; }

private:
    enum class SendResult { Sent, Refused, Failed };
    // Sends one line; a refusal fills report.Warning, a device failure fills
    // report.Error unless one was reported in this run already.
    SendResult TrySend(int index, bool &errorReported, SendReport &report);
    int ChosenLine(uint8_t thisLine, uint32_t fixedLine) const;

    void LoopStep(SendReport &report);
    void TimingStep(SendReport &report);
    void ReceiveStep(SendReport &report);
    void MatchReceivedBody(const std::string &body);
    void StopTriggers();

    SendTarget &target_;
    Clock &clock_;
    LoopParams loop_ {};
    TriggerParams trigger_ {};
    std::optional<int> timingSecond_ = 0;

    bool loopRunning_ = false;
    bool loopErrorReported_ = false;
    uint32_t loopCursor_ = 0;

    uint8_t triggerSwitch_ = 0;
    bool triggerErrorReported_ = false;
    int timingState_ = 1;
    uint32_t timingTick_ = 0;
    uint32_t timingCursor_ = 0;
    int receiveState_ = 0;
    uint32_t receiveMatchTick_ = 0;
    int receiveMatchRow_ = 0;
    // Body of the R line taken in the current tick; cleared by TriggerStep.
    std::optional<std::string> receivedBody_;
};
