#include "send/checksum.h"
#include "send/received_checksum.h"

#include <gtest/gtest.h>

namespace {

struct FrameCase
{
    int checksumType;
    const char *frame;
    FrameChecksum expected;
};

// A Modbus read request "01 03 00 00 00 01" followed by each kind's checksum,
// then the same frame with one checksum digit wrong.
const FrameCase kFrames[] = {
    { 0, "01 03 00 00 00 01 05", FrameChecksum::Good },
    { 0, "01 03 00 00 00 01 06", FrameChecksum::Bad },
    { 1, "01 03 00 00 00 01 05 00", FrameChecksum::Good },
    { 1, "01 03 00 00 00 01 00 05", FrameChecksum::Bad },
    { 2, "01 03 00 00 00 01 00 05", FrameChecksum::Good },
    { 2, "01 03 00 00 00 01 05 00", FrameChecksum::Bad },
    { 3, "01 03 00 00 00 01 03", FrameChecksum::Good },
    { 3, "01 03 00 00 00 01 02", FrameChecksum::Bad },
    { 5, "01 03 00 00 00 01 84 0A", FrameChecksum::Good },
    { 5, "01 03 00 00 00 01 0A 84", FrameChecksum::Bad },
    { 6, "01 03 00 00 00 01 FB", FrameChecksum::Good },
    { 6, "01 03 00 00 00 01 FC", FrameChecksum::Bad },
    { 7, "01 03 00 00 00 01 84 0A", FrameChecksum::Good },
    { 7, "01 03 00 00 01 01 84 0A", FrameChecksum::Bad },
    { 8, "01 03 00 00 00 01 53 BB", FrameChecksum::Good },
    { 8, "01 03 00 00 00 01 53 BC", FrameChecksum::Bad },
    { 9, "01 03 00 00 00 01 77", FrameChecksum::Good },
    { 9, "01 03 00 00 00 01 78", FrameChecksum::Bad },
    // The receive view shows pairs with a trailing blank and may use lower case.
    { 5, "01 03 00 00 00 01 84 0a ", FrameChecksum::Good },
    { 9, "31 32 33 34 35 36 37 38 39 0B", FrameChecksum::Good },
};

TEST(ReceivedChecksum, GoodAndBadFramesOfEveryKind)
{
    for (const FrameCase &c : kFrames)
        EXPECT_EQ(CheckFrameChecksum(c.frame, c.checksumType), c.expected)
            << kChecksumKinds[std::size_t(c.checksumType)].Name << ": " << c.frame;
}

TEST(ReceivedChecksum, LinesThatCannotBeCheckedAreLeftAlone)
{
    const FrameCase cases[] = {
        { -1, "01 03 00 00 00 01 05", FrameChecksum::NotChecked }, // no kind chosen
        { 4, "01 03 00 00 00 01 05", FrameChecksum::NotChecked }, // the separator
        { 42, "01 03 00 00 00 01 05", FrameChecksum::NotChecked },
        { 0, "Hello", FrameChecksum::NotChecked }, // a character line
        { 0, "05", FrameChecksum::NotChecked }, // checksum alone
        { 5, "84 0A", FrameChecksum::NotChecked },
        { 5, "01 84 0", FrameChecksum::NotChecked }, // odd digit count
        { 0, "", FrameChecksum::NotChecked },
    };
    for (const FrameCase &c : cases)
        EXPECT_EQ(CheckFrameChecksum(c.frame, c.checksumType), c.expected)
            << c.checksumType << ": " << c.frame;
}

} // namespace
