#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Hex text: two hex digits per byte, pairs separated by any number of blanks
// (0x20 only). All functions work on 8-bit strings and never fail, except
// HexToBinText, which raises EConvertError on a character that is not a hex digit.

// The value of a hex digit ("0".."9", "A".."F", "a".."f"), or -1.
int HexDigitValue(char c);

// Removes leading and trailing characters 0x00..0x20; the inside is untouched.
std::string TrimText(std::string_view text);

bool IsHexText(std::string_view text);
std::string StripBlanks(std::string_view text);
// Upper-case pairs, each followed by one blank ("01 03 0A "); no validation.
std::string NormalizeHexText(std::string_view text);
std::string HexTextToBytes(std::string_view text);
// Whole pairs (mode 2), or a started pair counted too (mode 1).
int HexByteCount(std::string_view text, int mode);
std::string HexToBinText(std::string_view text);
int64_t BinTextToInt(std::string_view text);

// Each byte as two upper-case hex digits, `separator` between pairs.
std::string BytesToHexText(std::string_view bytes, std::string_view separator);
// The same text appended to `out`, for a caller that builds a longer string.
void AppendHexText(std::string &out, std::string_view bytes, std::string_view separator);
