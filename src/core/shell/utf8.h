#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Small UTF-8 helpers for the message-file reader and writer.

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Appends one code point; surrogates and values beyond U+10FFFF become U+FFFD.
void AppendUtf8(std::string &out, char32_t codePoint);

// Decodes the code point at `pos` and advances `pos` past it. A byte that does
// not start a well-formed sequence (overlong, surrogate, truncated, out of range)
// gives U+FFFD and advances by one byte.
char32_t NextCodePoint(std::string_view text, std::size_t &pos);

bool IsValidUtf8(std::string_view text);
