#include "send/convert_error.h"
#include "send/number_convert.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Repeat(const std::string &text, int times)
{
    std::string result;
    for (int i = 0; i < times; ++i)
        result += text;
    return result;
}

struct Conversion
{
    NumberBase Base;
    std::string Text;
    LinkedNumberTexts Expected;
};

TEST(NumberConvert, EachFieldFillsTheOtherTwo)
{
    const std::string fortyFiveOnes(45, '1');
    const Conversion cases[] = {
        { NumberBase::Hex, "1F", { "1F", "31", "0001 1111 " } },
        { NumberBase::Hex, "A", { "A", "10", "1010 " } },
        { NumberBase::Hex, "ABC", { "ABC", "2748", "1010 1011 1100 " } },
        { NumberBase::Hex, "A BC", { "A BC", "2748", "1010 1011 1100 " } },
        { NumberBase::Hex, "00FF", { "00FF", "255", "0000 0000 1111 1111 " } },
        { NumberBase::Hex, "7FFFFFFFFFFFFFFF",
            { "7FFFFFFFFFFFFFFF", "9223372036854775807", "0111 " + Repeat("1111 ", 15) } },
        { NumberBase::Dec, "255", { "FF", "255", "1111 1111 " } },
        { NumberBase::Dec, "007", { "7", "007", "0111 " } },
        { NumberBase::Dec, "0", { "0", "0", "0000 " } },
        { NumberBase::Dec, "9999999999",
            { "2540BE3FF", "9999999999", "0010 0101 0100 0000 1011 1110 0011 1111 1111 " } },
        { NumberBase::Bin, "1010", { "A", "10", "1010" } },
        { NumberBase::Bin, fortyFiveOnes, { "1FFFFFFFFFFF", "35184372088831", fortyFiveOnes } },
        { NumberBase::Bin, "1 0 1", { "5", "5", "1 0 1" } },
        { NumberBase::Bin, "   ", { "0", "0", "   " } },
        { NumberBase::Bin, std::string(70, '0') + "1", { "1", "1", std::string(70, '0') + "1" } },
    };
    for (const Conversion &c : cases) {
        const LinkedNumberTexts texts = ConvertField(c.Base, c.Text);
        EXPECT_EQ(texts.Hex, c.Expected.Hex) << c.Text;
        EXPECT_EQ(texts.Dec, c.Expected.Dec) << c.Text;
        EXPECT_EQ(texts.Bin, c.Expected.Bin) << c.Text;
    }
}

TEST(NumberConvert, RefusesWhatSixtyFourBitsCannotHoldAndBlankNumbers)
{
    const Conversion refused[] = {
        { NumberBase::Hex, "8000000000000000", {} },
        { NumberBase::Hex, "FFFFFFFFFFFFFFFFF", {} },
        { NumberBase::Dec, "9223372036854775808", {} },
        { NumberBase::Dec, std::string(200, '9'), {} },
        { NumberBase::Bin, "1" + std::string(63, '0'), {} },
        { NumberBase::Hex, "  ", {} },
        { NumberBase::Dec, " ", {} },
    };
    for (const Conversion &c : refused)
        EXPECT_THROW(ConvertField(c.Base, c.Text), EConvertError) << c.Text;
    try {
        ConvertField(NumberBase::Dec, "9 223 372 036 854 775 808");
        FAIL();
    } catch (const EConvertError &e) {
        EXPECT_STREQ(e.what(), "'9223372036854775808' is not a valid integer value.");
    }
}

TEST(NumberConvert, KeyFiltersAndDigitChecks)
{
    for (char c : std::string("\b 0123456789ABCDEFabcdef"))
        EXPECT_TRUE(ConverterAcceptsKey(NumberBase::Hex, c)) << c;
    for (char c : std::string("gG-+x.\r\t"))
        EXPECT_FALSE(ConverterAcceptsKey(NumberBase::Hex, c)) << c;
    EXPECT_TRUE(ConverterAcceptsKey(NumberBase::Dec, '9'));
    EXPECT_FALSE(ConverterAcceptsKey(NumberBase::Dec, 'a'));
    EXPECT_TRUE(ConverterAcceptsKey(NumberBase::Bin, '\b'));
    EXPECT_FALSE(ConverterAcceptsKey(NumberBase::Bin, '2'));

    EXPECT_FALSE(AllDigitsOf(NumberBase::Hex, "12G4"));
    EXPECT_TRUE(AllDigitsOf(NumberBase::Hex, "12aF"));
    EXPECT_FALSE(AllDigitsOf(NumberBase::Dec, std::string("1\0", 2)));
    EXPECT_FALSE(AllDigitsOf(NumberBase::Bin, "0121"));
}

TEST(NumberConvert, SelectionPatternTakesUpToFourBytesOfHexText)
{
    EXPECT_EQ(SelectionPattern("01 00"), 256u);
    EXPECT_EQ(SelectionPattern("00 FF"), 255u);
    EXPECT_EQ(SelectionPattern(" FF FF FF FF "), 0xFFFFFFFFu);
    EXPECT_EQ(SelectionPattern("7FFFFFFF"), 0x7FFFFFFFu);
    for (const char *refused : { "01 02 03 04 05", "1 2", "0", "", "zz", "123456789" })
        EXPECT_FALSE(SelectionPattern(refused).has_value()) << refused;
}

} // namespace
