#include "shell/send_settings_rules.h"

#include <cmath>

namespace {
constexpr long long kMsPerDay = 86400000;
constexpr int kSecondsPerDay = 86400;
} // namespace

uint32_t AtLeastLineOne(uint32_t line)
{
    return line == 0 ? 1 : line;
}

uint32_t AtLeastMinimumInterval(uint32_t interval)
{
    return interval < kMinimumInterval ? kMinimumInterval : interval;
}

ReceiveTriggerRow ReceiveTriggerRowOf(
    std::optional<uint32_t> recLine, std::optional<uint32_t> trigLine)
{
    if (!trigLine)
        return { 0, 0 };
    return { recLine.value_or(0), *trigLine };
}

bool TriggerOn(const TriggerParams &trigger)
{
    return trigger.TimingTriggerEnabled != 0 || trigger.ReceiveTriggerEnabled != 0;
}

std::optional<int> SecondOfDayFromDays(double days)
{
    if (!std::isfinite(days))
        return std::nullopt;
    // Rounding to whole milliseconds first absorbs the binary error of the
    // fraction (0.5 is 12:00:00, 43201/86400 is 12:00:01, never 12:00:00.999).
    const double fraction = std::fabs(days - std::trunc(days));
    long long ms = std::llround(fraction * double(kMsPerDay));
    if (ms >= kMsPerDay)
        ms = 0;
    return int(ms / 1000);
}

double DaysFromSecondOfDay(int second)
{
    return double(second) / kSecondsPerDay;
}
