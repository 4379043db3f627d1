#include "send/hex_text.h"

#include "send/convert_error.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

char *WritePair(char *at, unsigned char byte)
{
    *at++ = kHexDigits[byte >> 4];
    *at++ = kHexDigits[byte & 0x0F];
    return at;
}

// Each byte's two digits and a separator, as four bytes to copy at once.
std::array<uint32_t, 256> PairsWithSeparator(char separator)
{
    std::array<uint32_t, 256> pairs {};
    for (std::size_t b = 0; b < pairs.size(); ++b) {
        char text[4] = { 0, 0, separator, 0 };
        WritePair(text, static_cast<unsigned char>(b));
        std::memcpy(&pairs[b], text, sizeof text);
    }
    return pairs;
}

// A pair and its separator for each byte, from a table, four bytes written at
// a time (the fourth is overwritten by the next pair); the caller leaves room
// for a pair after the last separator.
char *WritePairsAndSeparators(char *at, std::string_view bytes, char separator)
{
    static const std::array<uint32_t, 256> spaced = PairsWithSeparator(' ');
    const std::array<uint32_t, 256> pairs
        = separator == ' ' ? spaced : PairsWithSeparator(separator);
    for (const char byte : bytes) {
        std::memcpy(at, &pairs[static_cast<unsigned char>(byte)], sizeof(uint32_t));
        at += 3;
    }
    return at;
}

constexpr char kBlank = ' ';

// clang-format off
constexpr std::array<const char *, 16> kBinGroupTable = {
    "0000", "0001", "0010", "0011", "0100", "0101", "0110", "0111",
    "1000", "1001", "1010", "1011", "1100", "1101", "1110", "1111",
};
// clang-format on

bool IsTrimmed(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

bool IsHexDigit(char c)
{
    return HexDigitValue(c) >= 0;
}

std::string UpperCaseAscii(std::string_view text)
{
    std::string upper(text);
    for (char &c : upper) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    return upper;
}

} // namespace

std::string TrimText(std::string_view text)
{
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsTrimmed(text[first]))
        ++first;
    while (last > first && IsTrimmed(text[last - 1]))
        --last;
    return std::string(text.substr(first, last - first));
}

bool IsHexText(std::string_view text)
{
    const std::string trimmed = TrimText(text);
    if (trimmed.size() < 2)
        return false;

    int count = 0;
    for (std::size_t i = 0; i < trimmed.size(); ++i) {
        const char c = trimmed[i];
        if (c == kBlank)
            continue;
        ++count;
        const bool firstOfPair = count % 2 == 1;
        if (firstOfPair && i + 1 < trimmed.size() && trimmed[i + 1] == kBlank)
            return false;
        if (!IsHexDigit(c))
            return false;
    }
    return count % 2 == 0;
}

std::string StripBlanks(std::string_view text)
{
    std::string result;
    for (char c : TrimText(text)) {
        if (c != kBlank)
            result += c;
    }
    return result;
}

std::string NormalizeHexText(std::string_view text)
{
    std::string result;
    int count = 0;
    for (char c : TrimText(UpperCaseAscii(text))) {
        if (c == kBlank)
            continue;
        ++count;
        result += c;
        if (count % 2 == 0)
            result += kBlank;
    }
    return result;
}

std::string HexTextToBytes(std::string_view text)
{
    const std::string trimmed = TrimText(text);
    std::string bytes;
    int count = 0;
    for (std::size_t i = 0; i < trimmed.size(); ++i) {
        if (trimmed[i] == kBlank)
            continue;
        ++count;
        if (count % 2 == 0)
            continue; // read already as the second digit of the pair before
        const int high = HexDigitValue(trimmed[i]);
        if (i + 1 == trimmed.size()) {
            // A first digit at the very end stands for itself.
            if (high >= 0)
                bytes += char(high);
            continue;
        }
        const int low = HexDigitValue(trimmed[i + 1]);
        if (high >= 0 && low >= 0)
            bytes += char(high * 16 + low);
    }
    return bytes;
}

int HexByteCount(std::string_view text, int mode)
{
    int count = 0;
    for (char c : TrimText(text)) {
        // A lone first character followed by a blank (the "R" of a capture line) is not a byte.
        if (count == 1 && c == kBlank)
            count = 0;
        if (c != kBlank)
            ++count;
    }
    int bytes = count / 2;
    if (count % 2 == 1 && mode == 1)
        ++bytes;
    return bytes;
}

std::string HexToBinText(std::string_view text)
{
    const std::string digits = IsHexText(text) ? StripBlanks(text) : std::string(text);
    std::string result;
    result.reserve(digits.size() * 5);
    for (char c : digits) {
        const int value = HexDigitValue(c);
        if (value < 0)
            throw EConvertError(std::string(1, c));
        result += kBinGroupTable[std::size_t(value)];
        result += kBlank;
    }
    return result;
}

int64_t BinTextToInt(std::string_view text)
{
    // Unsigned arithmetic: overflow wraps in 64 bits instead of being undefined.
    uint64_t value = 0;
    for (char c : text)
        value = value * 2 + (uint64_t(static_cast<unsigned char>(c)) - 0x30u);
    return int64_t(value);
}

std::string BytesToHexText(std::string_view bytes, std::string_view separator)
{
    std::string result;
    AppendHexText(result, bytes, separator);
    return result;
}

// Sized once and written through a pointer: a received burst of 4096 bytes is
// formatted on every read.
void AppendHexText(std::string &out, std::string_view bytes, std::string_view separator)
{
    if (bytes.empty())
        return;
    const std::size_t start = out.size();
    out.resize(start + bytes.size() * (2 + separator.size()) - separator.size());
    char *at = out.data() + start;
    const std::string_view allButLast = bytes.substr(0, bytes.size() - 1);
    if (separator.size() == 1) {
        at = WritePairsAndSeparators(at, allButLast, separator.front());
    } else {
        for (const char byte : allButLast) {
            at = WritePair(at, static_cast<unsigned char>(byte));
            at = std::copy(separator.begin(), separator.end(), at);
        }
    }
    WritePair(at, static_cast<unsigned char>(bytes.back()));
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}
