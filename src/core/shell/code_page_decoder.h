#pragma once

#include <iconv.h>
#include <map>
#include <string>
#include <string_view>

// Decodes bytes of a Windows code page (1252, 936, ...) into UTF-8 through
// iconv. Unknown code pages are read as 1252; bytes that do not decode become
// U+FFFD. Keeps one converter per code page for its lifetime.
class CodePageDecoder
{
public:
    CodePageDecoder() = default;
    ~CodePageDecoder();
    CodePageDecoder(const CodePageDecoder &) = delete;
    CodePageDecoder &operator=(const CodePageDecoder &) = delete;

    std::string Decode(int codePage, std::string_view bytes);

private:
    // (iconv_t)-1 when neither the code page nor 1252 is available.
    iconv_t ConverterFor(int codePage);

    std::map<int, iconv_t> converters_;
};

// The code page that a font's \fcharsetN stands for, or 0 when the font uses
// the document's code page (ANSI, default and symbol charsets, unknown values).
int CodePageForCharset(int charset);
