#include "send/received_checksum.h"

#include "send/checksum.h"
#include "send/hex_text.h"

#include <string>

namespace {

// Bytes of the checksum a mode appends: its text is pairs separated by one blank.
int ChecksumByteCount(int mode)
{
    const std::string sample = CalcChecksum("00", mode);
    return int((sample.size() + 1) / 3);
}

} // namespace

FrameChecksum CheckFrameChecksum(std::string_view hexText, int checksumType)
{
    const int mode = ChecksumModeForType(checksumType);
    if (mode < 0 || !IsHexText(hexText))
        return FrameChecksum::NotChecked;
    const int checksumBytes = ChecksumByteCount(mode);
    if (checksumBytes <= 0)
        return FrameChecksum::NotChecked;

    // Normalised text holds each byte as "HH " so a byte is three characters.
    const std::string normalized = NormalizeHexText(hexText);
    if (normalized.size() % 3 != 0)
        return FrameChecksum::NotChecked; // an odd digit count is no frame
    const int byteCount = int(normalized.size() / 3);
    if (byteCount <= checksumBytes)
        return FrameChecksum::NotChecked;

    const std::size_t split = std::size_t(byteCount - checksumBytes) * 3;
    const std::string expected = CalcChecksum(normalized.substr(0, split), mode);
    std::string received = normalized.substr(split);
    received.pop_back(); // the blank after the last pair
    return received == expected ? FrameChecksum::Good : FrameChecksum::Bad;
}
