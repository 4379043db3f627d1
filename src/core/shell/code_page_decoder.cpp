#include "shell/code_page_decoder.h"

#include "shell/utf8.h"

#include <cerrno>
#include <vector>

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

std::string IconvNameFor(int codePage)
{
    switch (codePage) {
    case 65001:
        return "UTF-8";
    case 10000:
        return "MACINTOSH";
    case 20127:
        return "US-ASCII";
    case 54936:
        return "GB18030";
    case 1361:
        return "JOHAB";
    default:
        break;
    }
    if (codePage >= 28591 && codePage <= 28599)
        return "ISO-8859-" + std::to_string(codePage - 28590);
    return "CP" + std::to_string(codePage);
}

bool IsAscii(std::string_view bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// Last resort without any converter: every byte is the code point of its value.
std::string DecodeLatin1(std::string_view bytes)
{
    std::string out;
    for (char c : bytes)
        AppendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

std::string DecodeWith(iconv_t converter, std::string_view bytes)
{
    iconv(converter, nullptr, nullptr, nullptr, nullptr); // fresh shift state
    std::string out;
    std::vector<char> buffer(bytes.size() * 4 + 16);
    char *in = const_cast<char *>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char *outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
        const int error = errno;
        out.append(buffer.data(), buffer.size() - outLeft);
        if (result != std::size_t(-1))
            break;
        if (error == E2BIG)
            continue;
        // EILSEQ: a byte that does not decode; EINVAL: a sequence cut off at the end.
        AppendUtf8(out, kReplacementCharacter);
        if (error == EINVAL)
            break;
        ++in;
        --inLeft;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

} // namespace

CodePageDecoder::~CodePageDecoder()
{
    for (auto &[codePage, converter] : converters_) {
        if (converter != kNoConverter)
            iconv_close(converter);
    }
}

iconv_t CodePageDecoder::ConverterFor(int codePage)
{
    if (auto found = converters_.find(codePage); found != converters_.end())
        return found->second;
    iconv_t converter = iconv_open("UTF-8", IconvNameFor(codePage).c_str());
    if (converter == kNoConverter && codePage != 1252)
        converter = iconv_open("UTF-8", "CP1252");
    converters_[codePage] = converter;
    return converter;
}

std::string CodePageDecoder::Decode(int codePage, std::string_view bytes)
{
    // Every code page used here is an ASCII superset: skip the converter for plain ASCII.
    if (IsAscii(bytes))
        return std::string(bytes);
    const iconv_t converter = ConverterFor(codePage);
    if (converter == kNoConverter)
        return DecodeLatin1(bytes);
    return DecodeWith(converter, bytes);
}

int CodePageForCharset(int charset)
{
    switch (charset) {
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 255:
        return 437;
    default:
        return 0;
    }
}
