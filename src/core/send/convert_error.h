#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// The general conversion error: text that should be an integer and is not.
// Its message is "'<text>' is not a valid integer value."
class EConvertError : public std::runtime_error
{
public:
    explicit EConvertError(std::string_view text);
    static std::string MessageFor(std::string_view text);
};

// Reads a signed 32-bit integer the way every integer field of the program is
// read: optional leading blanks, an optional sign, then decimal digits, or up to
// eight hex digits behind "$", "x" or "0x" (either case of x). Nothing may
// follow. Raises EConvertError otherwise.
int32_t StrToInt(std::string_view text);
