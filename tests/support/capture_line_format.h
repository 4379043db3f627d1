#pragma once

#include "engine/capture_line.h"

// A whole capture line in one step, as the tests expect to see it.
inline std::string FormatCaptureLine(
    char direction, const TimeOfDay &time, uint32_t gapMs, std::string_view data)
{
    std::string line = BeginCaptureLine(direction, time, data);
    SetCaptureGap(line, gapMs);
    return line;
}
