#include "tools/ascii_table.h"

#include <array>

namespace {

// clang-format off
constexpr std::array<const char *, 32> kControlNames = {
    "NUT", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
    "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
    "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "TB",
    "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US",
};
// clang-format on

} // namespace

std::string AsciiLabel(int code)
{
    if (code < 0 || code > 127)
        return {};
    if (code < 32)
        return kControlNames[std::size_t(code)];
    if (code == 32)
        return "(space)";
    if (code == 127)
        return "DEL";
    return std::string(1, char(code));
}
