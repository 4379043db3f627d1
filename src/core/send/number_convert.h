#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The number bases of the converter's three linked fields.
enum class NumberBase { Hex, Dec, Bin };

// The three texts of the converter after one field was converted.
struct LinkedNumberTexts
{
    std::string Hex;
    std::string Dec;
    std::string Bin;
};

// Whether a typed character may enter the field of `base`: Backspace, blank
// and the base's digits (hex letters in either case).
bool ConverterAcceptsKey(NumberBase base, char c);

// Whether `digits` (blanks already stripped) holds only digits of `base`.
bool AllDigitsOf(NumberBase base, std::string_view digits);

// Reads digits of `base` as a signed 64-bit value. Values beyond its range are
// refused rather than wrapped, with the general conversion error naming the
// digits; so is an empty hex or decimal text. Empty binary text reads as 0.
int64_t ReadNumber(NumberBase base, std::string_view digits);

// Upper-case hex without leading zeros, at least one digit.
std::string HexDigitsOf(int64_t value);

// Converts the text of the field of `base` into all three texts; the field's
// own text comes back as given. The text must hold only digits of `base` and
// blanks; EConvertError for a number the field cannot hold.
LinkedNumberTexts ConvertField(NumberBase base, std::string_view text);

// The 32-bit pattern of a selection of hex text of at most four bytes, or
// nothing for any other selection.
std::optional<uint32_t> SelectionPattern(std::string_view selection);
