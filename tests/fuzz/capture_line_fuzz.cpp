#include "support/capture_line_format.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// Any text split as a capture line, and any data, time and gap formed into one
// and split again: the body is always the data, whatever bytes it holds.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const CaptureParts parts = SplitCaptureLine(text);
    FUZZ_CHECK(parts.Body.size() + parts.Stamp.size() <= text.size());
    FUZZ_CHECK(text.ends_with(parts.Body));

    if (size < 8)
        return 0;
    uint32_t gap = 0;
    std::memcpy(&gap, data, sizeof gap);
    const TimeOfDay time { data[4] % 24, data[5] % 60, data[6] % 60, 0 };
    const char direction = (data[7] & 1) ? 'R' : 'T';
    const std::string_view body = text.substr(8);

    const std::string line = FormatCaptureLine(direction, time, gap, body);
    const CaptureParts again = SplitCaptureLine(line);
    FUZZ_CHECK(line.size() == 15 + body.size());
    FUZZ_CHECK(line[0] == direction);
    FUZZ_CHECK(again.Body == body);
    FUZZ_CHECK(again.Stamp.size() == 14 && again.Stamp.back() == ']');
    return 0;
}
