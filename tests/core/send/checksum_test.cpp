#include "send/checksum.h"
#include "send/convert_error.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Results by kind name for one input, in the order of the menu.
using Expected = std::map<std::string, std::string>;

std::string ChecksumByName(const std::string &text, const std::string &name)
{
    for (const ChecksumKind &kind : kChecksumKinds) {
        if (name == kind.Name)
            return CalcChecksum(text, kind.Mode);
    }
    ADD_FAILURE() << "no kind " << name;
    return {};
}

void ExpectChecksums(const std::string &text, const Expected &expected)
{
    for (const auto &[name, result] : expected)
        EXPECT_EQ(ChecksumByName(text, name), result)
            << name << " of \"" << text.substr(0, 40) << '"';
}

std::string Repeated(const std::string &pair, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += pair + " ";
    return text;
}

TEST(Checksum, MenuTable)
{
    const char *captions[] = { "SUM", "SUM - LH", "SUM - HL", "XOR", "-", "Modbus -CRC16",
        "Modbus -LRC16", "ANSI  - CRC16", "CCITT - CRC16", "CCITT - CRC8" };
    const char *names[] = { "SUM", "SUM-LH", "SUM-HL", "XOR", "", "Modbus-CRC16", "Modbus-LRC16",
        "ANSI-CRC16", "CCITT-CRC16", "CCITT-CRC8" };
    const int modes[] = { 0, 1, 2, 3, -1, 4, 7, 4, 5, 6 };
    for (std::size_t i = 0; i < kChecksumKinds.size(); ++i) {
        EXPECT_STREQ(kChecksumKinds[i].Caption, captions[i]);
        EXPECT_STREQ(kChecksumKinds[i].Name, names[i]);
        EXPECT_EQ(kChecksumKinds[i].Mode, modes[i]);
        EXPECT_EQ(ChecksumModeForType(int(i)), modes[i]);
    }
    EXPECT_EQ(kChecksumKinds[kChecksumSeparatorIndex].Mode, -1);
    EXPECT_EQ(ChecksumModeForType(-1), -1);
    EXPECT_EQ(ChecksumModeForType(10), -1);
    EXPECT_EQ(ChecksumModeForType(1000000), -1);
}

TEST(Checksum, WorkedExamples)
{
    ExpectChecksums("01 03 00 00 00 01",
        { { "SUM", "05" }, { "SUM-LH", "05 00" }, { "SUM-HL", "00 05" }, { "XOR", "03" },
            { "Modbus-CRC16", "84 0A" }, { "ANSI-CRC16", "84 0A" }, { "CCITT-CRC16", "53 BB" },
            { "CCITT-CRC8", "77" }, { "Modbus-LRC16", "FB" } });
    // "123456789": the catalogue check values of CRC-16/MODBUS and CRC-16/XMODEM.
    ExpectChecksums("31 32 33 34 35 36 37 38 39",
        { { "SUM", "DD" }, { "SUM-LH", "DD 01" }, { "SUM-HL", "01 DD" }, { "XOR", "31" },
            { "Modbus-CRC16", "37 4B" }, { "ANSI-CRC16", "37 4B" }, { "CCITT-CRC16", "C3 31" },
            { "CCITT-CRC8", "0B" }, { "Modbus-LRC16", "23" } });
}

TEST(Checksum, EdgeCases)
{
    ExpectChecksums("01",
        { { "SUM", "01" }, { "SUM-LH", "01 00" }, { "SUM-HL", "00 01" }, { "XOR", "01" },
            { "Modbus-CRC16", "7E 80" }, { "ANSI-CRC16", "7E 80" }, { "CCITT-CRC16", "21 10" },
            { "CCITT-CRC8", "F8" }, { "Modbus-LRC16", "FF" } });
    ExpectChecksums("FF FF",
        { { "SUM", "FE" }, { "SUM-LH", "FE 01" }, { "SUM-HL", "01 FE" }, { "XOR", "00" },
            { "Modbus-CRC16", "00 00" }, { "ANSI-CRC16", "00 00" }, { "CCITT-CRC16", "0F 1D" },
            { "CCITT-CRC8", "DB" }, { "Modbus-LRC16", "02" } });
    // The 16-bit sum wraps.
    ExpectChecksums(
        Repeated("FF", 256), { { "SUM", "00" }, { "SUM-LH", "00 FF" }, { "SUM-HL", "FF 00" } });
    ExpectChecksums(Repeated("FF", 258), { { "SUM-HL", "00 FE" } });
    ExpectChecksums("80 80", { { "Modbus-LRC16", "00" } });
}

TEST(Checksum, SpacingCaseAndUnpairedDigitDoNotMatter)
{
    for (const std::string text : { "0a0b", "0A 0B", "0A   0B", " 0a 0b\r\n", "0A 0B 7" })
        EXPECT_EQ(ChecksumByName(text, "SUM"), "15") << '"' << text << '"';
    EXPECT_EQ(CalcChecksum("", 0), "00");
    EXPECT_EQ(CalcChecksum("", 4), "FF FF");
}

TEST(Checksum, EveryModeAgreesWithTheOthersOnRandomLines)
{
    // SUM-LH and SUM-HL are byte swaps of one sum.
    std::string text;
    for (int i = 0; i < 300; ++i) {
        text += "0123456789ABCDEF"[(i * 7) % 16];
        text += "0123456789ABCDEF"[(i * 13 + 5) % 16];
        text += ' ';
        const std::string lh = ChecksumByName(text, "SUM-LH");
        EXPECT_EQ(ChecksumByName(text, "SUM-HL"), lh.substr(3, 2) + " " + lh.substr(0, 2));
        EXPECT_EQ(ChecksumByName(text, "SUM"), lh.substr(0, 2));
    }
}

TEST(Checksum, OtherModesGiveNothingAndBadPairsRaise)
{
    EXPECT_EQ(CalcChecksum("01 02", 8), "");
    EXPECT_EQ(CalcChecksum("01 02", -1), "");
    EXPECT_THROW(CalcChecksum("01 0G", 0), EConvertError);
    EXPECT_THROW(CalcChecksum("0\t1", 4), EConvertError); // a tab is not a blank
}

} // namespace
