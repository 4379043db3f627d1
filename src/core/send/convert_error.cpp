#include "send/convert_error.h"
#include "send/hex_text.h"

#include <cstdint>
#include <optional>

EConvertError::EConvertError(std::string_view text)
    : std::runtime_error(MessageFor(text))
{ }

std::string EConvertError::MessageFor(std::string_view text)
{
    std::string message = "'";
    message += text;
    message += "' is not a valid integer value.";
    return message;
}

namespace {

// Length of a hex prefix ("$", "x", "X", "0x", "0X") at the start of `digits`, or 0.
std::size_t HexPrefixLength(std::string_view digits)
{
    if (digits.starts_with('$') || digits.starts_with('x') || digits.starts_with('X'))
        return 1;
    if (digits.starts_with("0x") || digits.starts_with("0X"))
        return 2;
    return 0;
}

// Up to 32 bits of hex digits; leading zeros do not count against the limit.
std::optional<uint32_t> ParseHexPattern(std::string_view digits)
{
    if (digits.empty())
        return std::nullopt;
    uint64_t value = 0;
    for (char c : digits) {
        const int v = HexDigitValue(c);
        if (v < 0)
            return std::nullopt;
        value = value * 16 + uint64_t(v);
        if (value > 0xFFFFFFFFu)
            return std::nullopt;
    }
    return uint32_t(value);
}

// Decimal magnitude up to `limit`.
std::optional<uint32_t> ParseDecimal(std::string_view digits, uint32_t limit)
{
    if (digits.empty())
        return std::nullopt;
    uint64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + uint64_t(c - '0');
        if (value > limit)
            return std::nullopt;
    }
    return uint32_t(value);
}

} // namespace

int32_t StrToInt(std::string_view text)
{
    std::string_view rest = text;
    while (rest.starts_with(' '))
        rest.remove_prefix(1);

    bool negative = false;
    if (rest.starts_with('+') || rest.starts_with('-')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }

    std::optional<uint32_t> magnitude;
    if (const std::size_t prefix = HexPrefixLength(rest); prefix > 0)
        magnitude = ParseHexPattern(rest.substr(prefix)); // the 32-bit pattern, any value
    else
        magnitude = ParseDecimal(rest, negative ? 0x80000000u : 0x7FFFFFFFu);

    if (!magnitude)
        throw EConvertError(text);
    // Unsigned arithmetic gives the two's-complement pattern without overflow.
    const uint32_t pattern = negative ? 0u - *magnitude : *magnitude;
    return int32_t(pattern);
}
