#include "send/ascii_case.h"

#include <gtest/gtest.h>

namespace {

TEST(AsciiCase, OnlyAsciiLettersChangeCase)
{
    const std::string mixed = "ttyUSB0 [@`{] \xC4\xE4";
    EXPECT_EQ(UpperAscii(mixed), "TTYUSB0 [@`{] \xC4\xE4");
    EXPECT_EQ(LowerAscii(mixed), "ttyusb0 [@`{] \xC4\xE4");
    EXPECT_TRUE(EqualIgnoringAsciiCase("0a fF", "0A Ff"));
    EXPECT_FALSE(EqualIgnoringAsciiCase("0a", "0a "));
    EXPECT_FALSE(EqualIgnoringAsciiCase("@", "`")); // one bit apart, not letters
    EXPECT_FALSE(EqualIgnoringAsciiCase("\xC4", "\xE4"));
    EXPECT_TRUE(IsAsciiLetter('z'));
    EXPECT_FALSE(IsAsciiLetter('['));
}

} // namespace
