#pragma once

#include "engine/clock.h"

#include <cstdint>
#include <string>
#include <string_view>

// A capture line: 'R' or 'T', "[hh:nn:ss", a four-character gap field
// (" %3d" below 1000 ms, else " ---"), "]", then the data. It is made in two
// steps, so the bulk of it (the data) can be built before
// the capture lock is taken and only the gap, which needs the shared reference
// tick, is filled in under the lock. BeginCaptureLine leaves the gap field
// blank; SetCaptureGap writes it into a line made by BeginCaptureLine.
std::string BeginCaptureLine(char direction, const TimeOfDay &time, std::string_view data);
// The stamp part alone, replacing what `line` held (its storage is kept); the
// caller appends the data.
void BeginCaptureLineInto(std::string &line, char direction, const TimeOfDay &time);
void SetCaptureGap(std::string &line, uint32_t gapMs);

// The time of day as a capture line shows it: "hh:nn:ss".
std::string FormatTimeOfDay(const TimeOfDay &time);

// Splits a capture line at its first "]": the stamp "[hh:nn:ss ggg]" (without
// the direction letter) and the body after it. A line without "]" has an empty
// stamp and is all body.
struct CaptureParts
{
    std::string_view Stamp;
    std::string_view Body;
};
CaptureParts SplitCaptureLine(std::string_view line);
