#pragma once

#include "shell/settings_record.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

inline constexpr int kFilterEntryCount = 5;

// The two cells of one row of the filter grid, as typed.
struct FilterRowText
{
    std::string ByteNo;
    std::string Value;
};

// Where storing the rows stopped: the row (0-based) and which of its cells.
struct FilterStop
{
    enum class Cell { ByteNo, Value };
    int Row;
    Cell Which;
};

// Stores the rows into the entries in order. An empty "Byte No." clears its
// entry whatever the value cell holds. Otherwise the number must be an integer
// and the value exactly two hex digits (stored in upper case). The first bad
// cell stops the store: rows before it keep their new entries, and a row
// stopped at its value keeps its new byte number beside its old value.
std::optional<FilterStop> StoreFilterRows(
    const std::array<FilterRowText, kFilterEntryCount> &rows, FilterEntry (&entries)[5]);

// The grid text of an entry: an unused entry (byte number 0) shows empty cells.
FilterRowText FilterRowOf(const FilterEntry &entry);

// Whether the data part of a received line passes the filter. Byte n of the
// line stands at characters 3n - 2 and 3n - 1 (1-based); entries without a
// byte number or without a value are skipped; a line too short fails.
bool PassesReceiveFilter(const SettingsRecord &settings, std::string_view body);
