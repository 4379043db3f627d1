#pragma once

#include "shell/settings_record.h"

#include <cstdint>
#include <iterator>
#include <optional>

// How values typed into the send settings are read back into the record, and
// what the record's trigger fields mean. Kept here so the settings window and
// the scheduler can never read them differently.

inline constexpr int kTriggerRows = int(std::size(TriggerParams {}.ReceiveTriggerList));
inline constexpr uint32_t kMinimumInterval = 20; // ms; faster sending would starve the view

// Line numbers are 1-based: 0 reads as the first line.
uint32_t AtLeastLineOne(uint32_t line);
uint32_t AtLeastMinimumInterval(uint32_t interval);

// A receive-trigger row from its two cells (nullopt: the cell is empty). A row
// without a line to send cannot fire and is stored inactive (both zero).
ReceiveTriggerRow ReceiveTriggerRowOf(
    std::optional<uint32_t> recLine, std::optional<uint32_t> trigLine);

// Whether the timing or the receive trigger is switched on.
bool TriggerOn(const TriggerParams &trigger);

// Second of the day (0..86399) of a date-time stored as days, the time of day
// being the fraction, as the wall clock would show it (milliseconds dropped).
// Days before the epoch are negative with a positive time of day: -0.25 is 06:00.
std::optional<int> SecondOfDayFromDays(double days);
// The stored date-time of a second of the day (day 0).
double DaysFromSecondOfDay(int second);
