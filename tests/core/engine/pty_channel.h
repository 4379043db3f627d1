#pragma once

#include "engine/capture_line.h"
#include "support/manual_clock.h"
#include "engine/vek_com_thread.h"
#include "engine/vek_scomm.h"
#include "support/pty_pair.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// A channel on the slave side of a pseudo-terminal, with a manual clock; the
// test plays the device on the master side.
class PtyChannel : public testing::Test
{
protected:
    PtyChannel()
    {
        clock.SetTick(5000);
        clock.SetLocalTime(TimeOfDay { 14, 3, 27 });
        channel.ComPort().SetPort(pty.SlavePath());
    }

    void StartReceiving()
    {
        receiver = std::make_unique<TVekComThread>(channel);
        receiver->Release();
    }

    // The next queued line, or empty when none arrives within the limit.
    std::string NextLine(int limitMs = 3000)
    {
        const auto deadline = Now() + std::chrono::milliseconds(limitMs);
        for (;;) {
            std::string line = channel.PopLine();
            if (!line.empty() || Now() >= deadline)
                return line;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    // Every line that arrives until none has come for `quietMs`.
    std::vector<std::string> LinesUntilQuiet(int quietMs = 250)
    {
        std::vector<std::string> lines;
        for (std::string line = NextLine(quietMs); !line.empty(); line = NextLine(quietMs))
            lines.push_back(line);
        return lines;
    }

    template <typename Condition> static bool WaitUntil(Condition condition, int limitMs = 3000)
    {
        const auto deadline = Now() + std::chrono::milliseconds(limitMs);
        while (!condition()) {
            if (Now() >= deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    static std::string Body(const std::string &line)
    {
        return std::string(SplitCaptureLine(line).Body);
    }

    static void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

    PtyPair pty;
    ManualClock clock;
    TVekScomm channel { clock };
    std::unique_ptr<TVekComThread> receiver; // stopped before the channel goes

private:
    static std::chrono::steady_clock::time_point Now() { return std::chrono::steady_clock::now(); }
};
