#pragma once

#include <string>
#include <string_view>

// Case rules for ASCII letters only: device names and hex text are compared
// byte for byte otherwise, whatever the user's locale.

constexpr bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

constexpr char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

constexpr char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

std::string UpperAscii(std::string_view text);
std::string LowerAscii(std::string_view text);
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);
