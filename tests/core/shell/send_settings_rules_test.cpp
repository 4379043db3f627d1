#include "shell/send_settings_rules.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(SendSettingsRules, SecondOfDayIsTheTimeOfDayAsTheClockShowsIt)
{
    const struct
    {
        double Days;
        std::optional<int> Second;
    } cases[] = {
        { 0.5, 43200 },
        { 45000.5, 43200 },
        { 43201.0 / 86400.0, 43201 },
        { (43201.0 - 0.0004) / 86400.0, 43201 }, // 12:00:00.9996 rounds to 12:00:01.000
        { (43200.0 + 0.7) / 86400.0, 43200 }, // 12:00:00.700 shows as 12:00:00
        { 0.500006944, 43200 }, // 12:00:00.600
        { -0.25, 6 * 3600 }, // before the epoch: the fraction counts
        { -1.25, 6 * 3600 },
        { -0.500006944, 43200 },
        { 0.99999999999, 0 }, // rounds up to midnight
        { 0.0, 0 },
        { 1e300, 0 },
        { std::numeric_limits<double>::quiet_NaN(), std::nullopt },
        { std::numeric_limits<double>::infinity(), std::nullopt },
    };
    for (const auto &c : cases)
        EXPECT_EQ(SecondOfDayFromDays(c.Days), c.Second) << c.Days;
}

TEST(SendSettingsRules, EverySecondOfTheDaySurvivesStoringAndReading)
{
    for (int second = 0; second < 86400; ++second)
        ASSERT_EQ(SecondOfDayFromDays(DaysFromSecondOfDay(second)), second);
}

TEST(SendSettingsRules, TypedNumbersAreRaisedToTheirMinimums)
{
    EXPECT_EQ(AtLeastLineOne(0), 1u);
    EXPECT_EQ(AtLeastLineOne(7), 7u);
    EXPECT_EQ(AtLeastLineOne(0xFFFFFFFFu), 0xFFFFFFFFu); // "-1" as typed stays as it is
    EXPECT_EQ(AtLeastMinimumInterval(0), 20u);
    EXPECT_EQ(AtLeastMinimumInterval(19), 20u);
    EXPECT_EQ(AtLeastMinimumInterval(20), 20u);
    EXPECT_EQ(AtLeastMinimumInterval(1000), 1000u);
}

TEST(SendSettingsRules, ATriggerRowWithoutALineToSendIsInactive)
{
    const struct
    {
        std::optional<uint32_t> Rec, Trig;
        uint32_t RecLine, TrigLine;
    } cases[] = {
        { 3, 5, 3, 5 },
        { 3, std::nullopt, 0, 0 },
        { std::nullopt, std::nullopt, 0, 0 },
        { std::nullopt, 5, 0, 5 },
        { 3, 0, 3, 0 },
    };
    for (const auto &c : cases) {
        const ReceiveTriggerRow row = ReceiveTriggerRowOf(c.Rec, c.Trig);
        EXPECT_EQ(row.RecLine, c.RecLine);
        EXPECT_EQ(row.TrigLine, c.TrigLine);
    }
}

TEST(SendSettingsRules, EitherTriggerSwitchMeansATriggerIsOn)
{
    TriggerParams trigger {};
    EXPECT_FALSE(TriggerOn(trigger));
    trigger.ReceiveTriggerEnabled = 1;
    EXPECT_TRUE(TriggerOn(trigger));
    trigger = {};
    trigger.TimingTriggerEnabled = 1;
    EXPECT_TRUE(TriggerOn(trigger));
}

} // namespace
