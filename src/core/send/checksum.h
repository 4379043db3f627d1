#pragma once

#include <array>
#include <string>
#include <string_view>

// One entry of the send window's checksum menu. The separator entry has no
// name and mode -1.
struct ChecksumKind
{
    const char *Caption;
    const char *Name;
    int Mode;
};

inline constexpr int kChecksumSeparatorIndex = 4;
extern const std::array<ChecksumKind, 10> kChecksumKinds;

// Mode for a stored ChecksumType, or -1 for the separator and anything out of range.
int ChecksumModeForType(int checksumType);

// Checksum of hex text in one of the modes 0..7, as upper-case hex pairs.
// Any other mode gives an empty text. A pair that is not two hex digits raises
// EConvertError; callers check the text with IsHexText first.
std::string CalcChecksum(std::string_view text, int mode);
