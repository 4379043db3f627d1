#include "fuzz_check.h"
#include "shell/rich_text.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

std::string LineText(const RichLine &line)
{
    std::string text;
    for (const TextRun &run : line)
        text += run.Text;
    return text;
}

} // namespace

// Any bytes read as a message file; what was read must survive being written
// and read again.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    const RichDocument first
        = ReadRichText(std::string_view(reinterpret_cast<const char *>(data), size));
    const RichDocument second = ReadRichText(WriteRtf(first));
    FUZZ_CHECK(second.Lines.size() == first.Lines.size());
    for (std::size_t i = 0; i < first.Lines.size(); ++i)
        FUZZ_CHECK(LineText(second.Lines[i]) == LineText(first.Lines[i]));
    return 0;
}
