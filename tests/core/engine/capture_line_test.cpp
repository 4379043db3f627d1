#include "engine/capture_line.h"
#include "support/capture_line_format.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

struct FormatCase
{
    char Direction;
    TimeOfDay Time;
    uint32_t Gap;
    std::string Data;
    std::string Expected;
};

TEST(CaptureLine, FormatsDirectionTimeGapAndData)
{
    const FormatCase cases[] = {
        { 'R', { 14, 3, 27 }, 20, "01 03 02 00 0A", "R[14:03:27  20]01 03 02 00 0A" },
        { 'R', { 14, 3, 27 }, 5, "OK", "R[14:03:27   5]OK" },
        { 'T', { 14, 3, 28 }, 1000, "01 03 00 00 00 01 ", "T[14:03:28 ---]01 03 00 00 00 01 " },
        { 'R', { 9, 0, 0 }, 123, "7E", "R[09:00:00 123]7E" },
        { 'R', { 23, 59, 59 }, 7, "", "R[23:59:59   7]" },
        { 'R', { 0, 0, 0 }, 0, "x", "R[00:00:00   0]x" },
        { 'R', { 0, 0, 0 }, 999, "x", "R[00:00:00 999]x" },
        { 'R', { 0, 0, 0 }, 1000, "x", "R[00:00:00 ---]x" },
        // A moment before the reference tick wraps to a huge unsigned gap.
        { 'R', { 0, 0, 0 }, uint32_t(100) - uint32_t(4980), "x", "R[00:00:00 ---]x" },
        // Data goes in as it is: control characters, NUL and "]" included.
        { 'R', { 1, 2, 3 }, 40, "A\r\0]B"s, "R[01:02:03  40]A\r\0]B"s },
    };
    for (const FormatCase &c : cases) {
        EXPECT_EQ(FormatCaptureLine(c.Direction, c.Time, c.Gap, c.Data), c.Expected)
            << "gap " << c.Gap;
    }
}

TEST(CaptureLine, SplitsAtTheFirstBracket)
{
    struct SplitCase
    {
        std::string Line;
        std::string Stamp;
        std::string Body;
    };
    const SplitCase cases[] = {
        { "R[14:03:27  20]01 03", "[14:03:27  20]", "01 03" },
        { "T[14:03:28 ---]AT]x", "[14:03:28 ---]", "AT]x" },
        { "R[00:00:00   7]", "[00:00:00   7]", "" },
        { "no stamp", "", "no stamp" },
        { "", "", "" },
    };
    for (const SplitCase &c : cases) {
        const CaptureParts parts = SplitCaptureLine(c.Line);
        EXPECT_EQ(parts.Stamp, c.Stamp) << c.Line;
        EXPECT_EQ(parts.Body, c.Body) << c.Line;
    }
}

} // namespace
