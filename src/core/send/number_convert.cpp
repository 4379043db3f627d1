#include "send/number_convert.h"

#include "send/convert_error.h"
#include "send/hex_text.h"

#include <limits>

namespace {

constexpr char kBackspace = '\b';
constexpr char kBlank = ' ';

int DigitValue(NumberBase base, char c)
{
    switch (base) {
    case NumberBase::Hex:
        return HexDigitValue(c);
    case NumberBase::Dec:
        return c >= '0' && c <= '9' ? c - '0' : -1;
    case NumberBase::Bin:
        return c == '0' || c == '1' ? c - '0' : -1;
    }
    return -1;
}

uint64_t Radix(NumberBase base)
{
    switch (base) {
    case NumberBase::Hex:
        return 16;
    case NumberBase::Dec:
        return 10;
    case NumberBase::Bin:
        return 2;
    }
    return 10;
}

} // namespace

bool ConverterAcceptsKey(NumberBase base, char c)
{
    return c == kBackspace || c == kBlank || DigitValue(base, c) >= 0;
}

bool AllDigitsOf(NumberBase base, std::string_view digits)
{
    for (char c : digits) {
        if (DigitValue(base, c) < 0)
            return false;
    }
    return true;
}

int64_t ReadNumber(NumberBase base, std::string_view digits)
{
    if (digits.empty() && base != NumberBase::Bin)
        throw EConvertError(digits);
    constexpr uint64_t kMax = uint64_t(std::numeric_limits<int64_t>::max());
    const uint64_t radix = Radix(base);
    uint64_t value = 0;
    for (char c : digits) {
        const int digit = DigitValue(base, c);
        if (digit < 0 || value > (kMax - uint64_t(digit)) / radix)
            throw EConvertError(digits);
        value = value * radix + uint64_t(digit);
    }
    return int64_t(value);
}

std::string HexDigitsOf(int64_t value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    auto rest = uint64_t(value);
    std::string reversed;
    do {
        reversed += kDigits[rest % 16];
        rest /= 16;
    } while (rest != 0);
    return std::string(reversed.rbegin(), reversed.rend());
}

LinkedNumberTexts ConvertField(NumberBase base, std::string_view text)
{
    const std::string digits = StripBlanks(text);
    const int64_t value = ReadNumber(base, digits);
    LinkedNumberTexts texts;
    switch (base) {
    case NumberBase::Hex:
        // The bit groups follow the digits as typed, leading zeros included.
        texts = { std::string(text), std::to_string(value), HexToBinText(digits) };
        break;
    case NumberBase::Dec:
        texts.Hex = HexDigitsOf(value);
        texts = { texts.Hex, std::string(text), HexToBinText(texts.Hex) };
        break;
    case NumberBase::Bin:
        texts = { HexDigitsOf(value), std::to_string(value), std::string(text) };
        break;
    }
    return texts;
}

std::optional<uint32_t> SelectionPattern(std::string_view selection)
{
    if (!IsHexText(selection))
        return std::nullopt;
    const std::string digits = StripBlanks(selection);
    if (digits.size() > 8)
        return std::nullopt;
    return uint32_t(ReadNumber(NumberBase::Hex, digits));
}
