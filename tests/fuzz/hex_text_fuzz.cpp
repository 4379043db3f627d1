#include "fuzz_check.h"
#include "send/checksum.h"
#include "send/convert_error.h"
#include "send/hex_text.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Any text through every hex-text helper and the integer reader, with the
// relations between them that sending relies on.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);

    const std::string normalized = NormalizeHexText(text);
    const std::string bytes = HexTextToBytes(normalized);
    FUZZ_CHECK(HexByteCount(text, 1) >= HexByteCount(text, 2));
    FUZZ_CHECK(StripBlanks(text).find(' ') == std::string::npos);
    if (IsHexText(text)) {
        // What goes out is exactly what the normalised line shows.
        FUZZ_CHECK(IsHexText(normalized));
        FUZZ_CHECK(int(bytes.size()) == HexByteCount(normalized, 2));
        FUZZ_CHECK(BytesToHexText(bytes, " ") + " " == normalized);
        for (int mode = 0; mode <= 7; ++mode)
            FUZZ_CHECK(IsHexText(CalcChecksum(text, mode)));
        const std::string binary = HexToBinText(text);
        FUZZ_CHECK(binary.size() == StripBlanks(text).size() * 5);
    } else {
        try {
            HexToBinText(text);
        } catch (const EConvertError &) { }
    }
    (void)BinTextToInt(text);

    try {
        const int32_t value = StrToInt(text);
        FUZZ_CHECK(StrToInt(std::to_string(value)) == value);
    } catch (const EConvertError &e) {
        // what() ends at the first zero byte of the text; the rest is the same.
        FUZZ_CHECK(std::string(e.what()) == EConvertError::MessageFor(text).c_str());
    }
    return 0;
}
