#include "send/convert_error.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(StrToInt, AcceptedForms)
{
    const std::pair<std::string, int32_t> cases[] = {
        { "0", 0 }, { "20", 20 }, { "  20", 20 }, { "+7", 7 }, { "-1", -1 }, { "007", 7 },
        { "2147483647", std::numeric_limits<int32_t>::max() },
        { "-2147483648", std::numeric_limits<int32_t>::min() }, { "$FF", 255 }, { "$ff", 255 },
        { "x10", 16 }, { "X10", 16 }, { "0x10", 16 },
        { "0X7fffffff", std::numeric_limits<int32_t>::max() },
        { "$FFFFFFFF", -1 }, // eight hex digits give the 32-bit pattern
        { "$80000000", std::numeric_limits<int32_t>::min() }, { "-$FF", -255 }, { " -0x10", -16 },
        { "$000000001", 1 }, // leading zeros do not count against the eight digits
    };
    for (const auto &[text, value] : cases)
        EXPECT_EQ(StrToInt(text), value) << '"' << text << '"';
}

TEST(StrToInt, RejectedForms)
{
    const std::string cases[] = {
        "",
        " ",
        "-",
        "+",
        "2147483648",
        "-2147483649",
        "99999999999999999999",
        "$",
        "0x",
        "x",
        "$100000000",
        "$FG",
        "12 ",
        "12a",
        "1.5",
        "\t12",
        "--1",
        "+-1",
        "0x-1",
        "$ 1",
        "1e3",
        "0b101",
        "２",
    };
    for (const auto &text : cases)
        EXPECT_THROW(StrToInt(text), EConvertError) << '"' << text << '"';
}

TEST(StrToInt, ErrorMessageQuotesTheText)
{
    try {
        StrToInt("12a");
        FAIL() << "no exception";
    } catch (const EConvertError &error) {
        EXPECT_STREQ(error.what(), "'12a' is not a valid integer value.");
    }
    EXPECT_EQ(EConvertError::MessageFor(""), "'' is not a valid integer value.");
}

} // namespace
