#pragma once

#include <string>

// The ASCII table window: 128 codes in four column pairs of 32 rows.
inline constexpr int kAsciiColumnPairs = 4;
inline constexpr int kAsciiRows = 32;

// The code shown in column pair `pair` (0..3) of row `row` (0..31).
inline constexpr int AsciiCodeAt(int pair, int row)
{
    return kAsciiRows * pair + row;
}

// The label of a code 0..127: the control-character abbreviation for 0..31
// (with the table's own "NUT" for 0 and "TB" for 23), "(space)" for 32,
// "DEL" for 127, the character itself otherwise. Empty outside 0..127.
std::string AsciiLabel(int code);
