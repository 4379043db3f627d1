#pragma once

#include <string_view>

// What the check of a received line's trailing checksum found.
enum class FrameChecksum {
    NotChecked, // no kind chosen, or the line is not hex text or too short to hold one
    Good,
    Bad,
};

// Checks whether the last bytes of a received line of hex text are the checksum
// of the bytes before them, for the kind stored as ChecksumType (an index of the
// send window's checksum menu). A frame must hold at least one data byte
// besides the checksum; anything shorter is not checked.
FrameChecksum CheckFrameChecksum(std::string_view hexText, int checksumType);
