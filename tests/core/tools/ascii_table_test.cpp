#include "tools/ascii_table.h"

#include <gtest/gtest.h>

namespace {

TEST(AsciiTable, LabelsFollowTheTablesRule)
{
    const std::pair<int, const char *> labels[] = {
        { 0, "NUT" },
        { 1, "SOH" },
        { 9, "HT" },
        { 23, "TB" },
        { 27, "ESC" },
        { 31, "US" },
        { 32, "(space)" },
        { 33, "!" },
        { 65, "A" },
        { 126, "~" },
        { 127, "DEL" },
        { -1, "" },
        { 128, "" },
    };
    for (const auto &[code, label] : labels)
        EXPECT_EQ(AsciiLabel(code), label) << code;
}

TEST(AsciiTable, FourPairsOfThirtyTwoRowsHoldEveryCodeOnce)
{
    bool seen[128] = {};
    for (int pair = 0; pair < kAsciiColumnPairs; ++pair) {
        for (int row = 0; row < kAsciiRows; ++row) {
            const int code = AsciiCodeAt(pair, row);
            ASSERT_GE(code, 0);
            ASSERT_LT(code, 128);
            EXPECT_FALSE(seen[code]);
            seen[code] = true;
        }
    }
    EXPECT_EQ(AsciiCodeAt(1, 0), 32);
    EXPECT_EQ(AsciiCodeAt(3, 31), 127);
}

} // namespace
