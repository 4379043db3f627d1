#include "send/checksum.h"

#include "send/convert_error.h"
#include "send/hex_text.h"

#include <cstdint>

const std::array<ChecksumKind, 10> kChecksumKinds = { {
    { "SUM", "SUM", 0 },
    { "SUM - LH", "SUM-LH", 1 },
    { "SUM - HL", "SUM-HL", 2 },
    { "XOR", "XOR", 3 },
    { "-", "", -1 },
    { "Modbus -CRC16", "Modbus-CRC16", 4 },
    { "Modbus -LRC16", "Modbus-LRC16", 7 },
    { "ANSI  - CRC16", "ANSI-CRC16", 4 },
    { "CCITT - CRC16", "CCITT-CRC16", 5 },
    { "CCITT - CRC8", "CCITT-CRC8", 6 },
} };

int ChecksumModeForType(int checksumType)
{
    if (checksumType < 0 || checksumType >= int(kChecksumKinds.size()))
        return -1;
    return kChecksumKinds[std::size_t(checksumType)].Mode;
}

namespace {

struct Registers
{
    uint16_t Sum = 0;
    uint8_t Xor = 0;
    uint16_t Crc16 = 0;
    uint8_t Crc8 = 0;
    uint8_t Lrc = 0;
};

uint16_t ModbusCrcStep(uint16_t crc, uint8_t b)
{
    crc ^= b;
    for (int bit = 0; bit < 8; ++bit)
        crc = (crc & 1u) ? uint16_t((crc >> 1) ^ 0xA001u) : uint16_t(crc >> 1);
    return crc;
}

uint16_t CcittCrcStep(uint16_t crc, uint8_t b)
{
    crc = uint16_t(crc ^ (b << 8));
    for (int bit = 0; bit < 8; ++bit)
        crc = (crc & 0x8000u) ? uint16_t((crc << 1) ^ 0x1021u) : uint16_t(crc << 1);
    return crc;
}

uint8_t Crc8Step(uint8_t crc, uint8_t b)
{
    crc ^= b;
    for (int bit = 0; bit < 8; ++bit)
        crc = (crc & 0x80u) ? uint8_t((crc << 1) ^ 0x07u) : uint8_t(crc << 1);
    return crc;
}

void Update(Registers &r, int mode, uint8_t b)
{
    switch (mode) {
    case 0:
    case 1:
    case 2:
        r.Sum = uint16_t(r.Sum + b);
        break;
    case 3:
        r.Xor ^= b;
        break;
    case 4:
        r.Crc16 = ModbusCrcStep(r.Crc16, b);
        break;
    case 5:
        r.Crc16 = CcittCrcStep(r.Crc16, b);
        break;
    case 6:
        r.Crc8 = Crc8Step(r.Crc8, b);
        break;
    case 7:
        r.Lrc = uint8_t(r.Lrc + b);
        break;
    default:
        break;
    }
}

uint8_t PairValue(char high, char low)
{
    const int h = HexDigitValue(high);
    const int l = HexDigitValue(low);
    if (h < 0 || l < 0)
        throw EConvertError(std::string { high, low });
    return uint8_t(h * 16 + l);
}

std::string HexPair(unsigned value)
{
    return BytesToHexText(std::string(1, char(value & 0xFF)), "");
}

std::string LowHigh(uint16_t value)
{
    return HexPair(value & 0xFFu) + " " + HexPair(value >> 8);
}

std::string Format(const Registers &r, int mode)
{
    switch (mode) {
    case 0:
        return HexPair(r.Sum & 0xFFu);
    case 1:
        return LowHigh(r.Sum);
    case 2:
        return HexPair(r.Sum >> 8) + " " + HexPair(r.Sum & 0xFFu);
    case 3:
        return HexPair(r.Xor);
    case 4:
    case 5:
        return LowHigh(r.Crc16);
    case 6:
        return HexPair(r.Crc8 ^ 0xFFu);
    case 7:
        return HexPair((256u - r.Lrc) % 256u);
    default:
        return {};
    }
}

} // namespace

std::string CalcChecksum(std::string_view text, int mode)
{
    if (mode < 0 || mode > 7)
        return {};

    Registers registers;
    registers.Crc16 = mode == 4 ? 0xFFFF : 0x0000;

    // Pair the non-blank characters; blanks between them do not matter and a
    // last unpaired character is ignored.
    char pending = 0;
    bool havePending = false;
    for (char c : TrimText(text)) {
        if (c == ' ')
            continue;
        if (!havePending) {
            pending = c;
            havePending = true;
            continue;
        }
        Update(registers, mode, PairValue(pending, c));
        havePending = false;
    }
    return Format(registers, mode);
}
