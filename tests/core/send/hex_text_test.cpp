#include "send/convert_error.h"
#include "send/hex_text.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

struct HexTextCase
{
    std::string Text;
    bool Expected;
};

TEST(HexText, IsHexTextFollowsPairRules)
{
    const HexTextCase cases[] = {
        { "", false },
        { "A", false },
        { "0A", true },
        { "  0a  ", true },
        { "0103", true },
        { "01   03", true },
        { "01 0", false },
        { "010 3", false },
        { "1 03", false },
        { "0G", false },
        { "01\t03", false },
        { "01 03\r\n", true },
        { "\x01"
          "01\x7f",
            false },
        { "01\0"
          "03"s,
            false },
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsHexText(c.Text), c.Expected) << '"' << c.Text << '"';
}

TEST(HexText, TrimRemovesOnlyOuterControlCharactersAndBlanks)
{
    EXPECT_EQ(TrimText("\0\t 01 \x1f 02\r\n "s), "01 \x1f 02");
    EXPECT_EQ(TrimText("\x7f"
                       "a"),
        "\x7f"
        "a"); // DEL is above 0x20
    EXPECT_EQ(TrimText("   "), "");
}

TEST(HexText, StripAndNormalize)
{
    EXPECT_EQ(StripBlanks("  01 0\t2  03 "), "010\t203");
    EXPECT_EQ(NormalizeHexText("0103 0a"), "01 03 0A ");
    EXPECT_EQ(NormalizeHexText(" 1 2 3 "), "12 3");
    EXPECT_EQ(NormalizeHexText("zz yy"), "ZZ YY "); // no validation
    EXPECT_EQ(NormalizeHexText(""), "");
}

TEST(HexText, HexTextToBytes)
{
    const std::pair<std::string, std::string> cases[] = {
        { "01 03 00 00 00 01", "\x01\x03\x00\x00\x00\x01"s },
        { "0A0b", "\x0a\x0b" },
        { "0 12", "\x02" },
        { "01 0", "\x01\x00"s },
        { "ff 0G 10", "\xff\x10" }, // a pair holding a non-hex character is dropped
        { "", "" },
    };
    for (const auto &[text, bytes] : cases)
        EXPECT_EQ(HexTextToBytes(text), bytes) << '"' << text << '"';
}

TEST(HexText, HexByteCount)
{
    struct Case
    {
        std::string Text;
        int Mode1;
        int Mode2;
    };
    const Case cases[] = {
        { "01 03 00", 3, 3 },
        { "01 0", 2, 1 },
        { "R 01 02", 2, 2 },
        { "1 2 3", 1, 0 },
        { "", 0, 0 },
        { "  010203  ", 3, 3 },
    };
    for (const auto &c : cases) {
        EXPECT_EQ(HexByteCount(c.Text, 1), c.Mode1) << '"' << c.Text << '"';
        EXPECT_EQ(HexByteCount(c.Text, 2), c.Mode2) << '"' << c.Text << '"';
    }
    EXPECT_EQ(HexByteCount("01 0", 7), 1); // any mode but 1 rounds down
}

TEST(HexText, HexToBinText)
{
    EXPECT_EQ(HexToBinText("FF"), "1111 1111 ");
    EXPECT_EQ(HexToBinText("0A 1f"), "0000 1010 0001 1111 ");
    EXPECT_EQ(HexToBinText("ABC"), "1010 1011 1100 ");
    EXPECT_EQ(HexToBinText("0"), "0000 ");
    EXPECT_EQ(HexToBinText(""), "");
    EXPECT_THROW(HexToBinText("1 2"), EConvertError); // not hex text: the blank is converted
    EXPECT_THROW(HexToBinText("0G"), EConvertError);
}

TEST(HexText, BinTextToInt)
{
    EXPECT_EQ(BinTextToInt(""), 0);
    EXPECT_EQ(BinTextToInt("1011"), 11);
    EXPECT_EQ(BinTextToInt(std::string(45, '1')), (int64_t(1) << 45) - 1);
    EXPECT_EQ(BinTextToInt(std::string(64, '1')), -1); // wraps in 64 bits
    EXPECT_EQ(BinTextToInt("1" + std::string(64, '0')), 0);
}

TEST(HexText, BytesToHexText)
{
    EXPECT_EQ(BytesToHexText("\x00\x0a\xff"s, " "), "00 0A FF");
    EXPECT_EQ(BytesToHexText("\x01\x02", ""), "0102");
    EXPECT_EQ(BytesToHexText("", " "), "");
    EXPECT_EQ(BytesToHexText("\x7f", " "), "7F"); // no separator after the last pair
    EXPECT_EQ(BytesToHexText("\x01\x02\x03", ", "), "01, 02, 03");
    EXPECT_EQ(BytesToHexText("\x01\x02\x03", "-"), "01-02-03");
}

// The one-character separator goes a faster way: every byte value, and text
// appended after what the string already holds, must come out as the plain
// way writes it.
TEST(HexText, AppendedHexTextMatchesPairByPairForEveryByte)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    for (const std::string separator : { " ", ":" }) {
        std::string expected = "head";
        for (std::size_t i = 0; i < all.size(); ++i)
            expected += (i > 0 ? separator : "") + BytesToHexText(all.substr(i, 1), "");
        std::string out = "head";
        AppendHexText(out, all, separator);
        EXPECT_EQ(out, expected) << separator;
    }
}

TEST(HexText, NormalizedTextRoundTripsThroughBytes)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    const std::string text = NormalizeHexText(BytesToHexText(all, ""));
    EXPECT_TRUE(IsHexText(text));
    EXPECT_EQ(HexTextToBytes(text), all);
    EXPECT_EQ(HexByteCount(text, 2), 256);
}

} // namespace
