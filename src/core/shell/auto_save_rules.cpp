#include "shell/auto_save_rules.h"

#include <cstdio>

LimitPlan PlanMonitorLimits(int lines, const LimitSwitches &switches)
{
    LimitPlan plan;
    const bool overCap = lines > kMonitorLineCap;
    const bool overThreshold = lines > switches.AutoLines;
    if (switches.AutoSave && overThreshold) {
        plan.Save = true;
        plan.ClearIfSaved = true;
        // A failed save keeps the lines, unless auto clear or the cap empties anyway.
        plan.ClearAnyway = switches.AutoClear || overCap;
    } else if (switches.AutoClear && overThreshold) {
        plan.ClearAnyway = true;
    } else if (overCap) {
        plan.Save = switches.AutoSave;
        plan.ClearAnyway = true;
    }
    return plan;
}

int CountedLines(int blockCount, bool lastBlockEmpty)
{
    return lastBlockEmpty && blockCount > 0 ? blockCount - 1 : blockCount;
}

namespace {
std::string Stamp(const LocalDateTime &t)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", t.Year % 10000, t.Month % 100,
        t.Day % 100, t.Hour % 100, t.Minute % 100, t.Second % 100);
    return text;
}
} // namespace

std::string TimeFileName(const LocalDateTime &time)
{
    return Stamp(time) + ".crvm";
}

std::string DistinctAutoSaveName(const std::string &folder, const LocalDateTime &time,
    const std::function<bool(const std::string &)> &taken)
{
    const std::string stem = folder + "/" + Stamp(time);
    std::string name = stem + ".crvm";
    for (int number = 2; taken(name); ++number)
        name = stem + "-" + std::to_string(number) + ".crvm";
    return name;
}
