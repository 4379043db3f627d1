#include "shell/auto_save_rules.h"

#include <gtest/gtest.h>

#include <set>

namespace {

struct PlanCase
{
    const char *What;
    int Lines;
    LimitSwitches Switches;
    bool Save, ClearIfSaved, ClearAnyway;
};

TEST(AutoSaveRules, PlanFollowsSwitchesThresholdAndCap)
{
    const PlanCase cases[] = {
        { "nothing on, under the cap", 5000, { false, false, 100 }, false, false, false },
        { "nothing on, over the cap", 5001, { false, false, 100 }, false, false, true },
        { "save at the threshold does nothing", 100, { true, false, 100 }, false, false, false },
        { "save over the threshold keeps lines on failure", 101, { true, false, 100 }, true, true,
            false },
        { "save and clear: clears even when the save fails", 101, { true, true, 100 }, true, true,
            true },
        { "clear over the threshold", 101, { false, true, 100 }, false, false, true },
        { "threshold above the cap: the cap saves first", 5001, { true, false, 6000 }, true, false,
            true },
        { "save over the cap clears even when the save fails", 5001, { true, false, 100 }, true,
            true, true },
        { "empty monitor never acts", 0, { true, true, 0 }, false, false, false },
    };
    for (const PlanCase &c : cases) {
        SCOPED_TRACE(c.What);
        const LimitPlan plan = PlanMonitorLimits(c.Lines, c.Switches);
        EXPECT_EQ(plan.Save, c.Save);
        EXPECT_EQ(plan.ClearIfSaved, c.ClearIfSaved);
        EXPECT_EQ(plan.ClearAnyway, c.ClearAnyway);
    }
}

TEST(AutoSaveRules, EmptyLastLineIsNotCounted)
{
    EXPECT_EQ(CountedLines(1, true), 0); // empty text
    EXPECT_EQ(CountedLines(3, true), 2); // "a\nb\n"
    EXPECT_EQ(CountedLines(2, false), 2); // "a\nb"
}

TEST(AutoSaveRules, TimeNamesAreZeroPaddedAndNeverReuseATakenName)
{
    const LocalDateTime time { 2024, 1, 31, 15, 45, 2 };
    EXPECT_EQ(TimeFileName(time), "20240131154502.crvm");
    EXPECT_EQ(TimeFileName({ 2024, 12, 5, 0, 7, 9 }), "20241205000709.crvm");

    std::set<std::string> existing;
    const auto taken = [&](const std::string &name) { return existing.count(name) > 0; };
    for (const char *expected : { "/data/20240131154502.crvm", "/data/20240131154502-2.crvm",
             "/data/20240131154502-3.crvm" }) {
        const std::string name = DistinctAutoSaveName("/data", time, taken);
        EXPECT_EQ(name, expected);
        existing.insert(name);
    }
}

} // namespace
