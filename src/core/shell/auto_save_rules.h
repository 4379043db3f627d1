#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The monitor never holds more lines than this, whatever the switches say.
constexpr int kMonitorLineCap = 5000;

// The switches and the threshold of the automatic save or clear.
struct LimitSwitches
{
    bool AutoSave = false;
    bool AutoClear = false;
    int32_t AutoLines = 0; // acts when the monitor holds more lines than this
};

// What one check does to a monitor of a given number of lines.
struct LimitPlan
{
    bool Save = false; // write the monitor to an auto-save file first
    bool ClearIfSaved = false; // then empty it when the write succeeded
    bool ClearAnyway = false; // empty it whether or not it was written

    bool Acts() const { return Save || ClearIfSaved || ClearAnyway; }
};

// Auto save first, then auto clear, then the cap. With auto save on, the cap
// saves before it clears, so a threshold above the cap never drops lines
// unsaved; a failed save at the cap still clears, as the cap must hold.
LimitPlan PlanMonitorLimits(int lines, const LimitSwitches &switches);

// Lines of a text as the user counts them: an empty last line (the text ends
// with a line break) is not a line.
int CountedLines(int blockCount, bool lastBlockEmpty);

struct LocalDateTime
{
    int Year = 0;
    int Month = 0;
    int Day = 0;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
};

// "yyyymmddhhmmss.crvm": the name proposed for a message file.
std::string TimeFileName(const LocalDateTime &time);

// `folder` + "/" + the time-named file; when that name is taken, the first of
// "...-2.crvm", "...-3.crvm", ... that is free, so an earlier file is never replaced.
std::string DistinctAutoSaveName(const std::string &folder, const LocalDateTime &time,
    const std::function<bool(const std::string &)> &taken);
