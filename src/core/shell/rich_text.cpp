#include "shell/rich_text.h"

#include "shell/code_page_decoder.h"
#include "shell/rtf_reader.h"
#include "shell/utf8.h"

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kRtfSignature = "{\\rtf";
// Plain text that is not UTF-8 is taken as the Chinese ANSI code page (GBK).
constexpr int kPlainTextCodePage = 936;

RichLine PlainLine(std::string_view text)
{
    RichLine line;
    if (!text.empty()) {
        TextRun run;
        run.Text = std::string(text);
        line.push_back(std::move(run));
    }
    return line;
}

// Lines end at CR LF, LF or CR. A final line break does not start another
// line, so an empty file has no lines and "a\n" has one.
RichDocument SplitLines(std::string_view text)
{
    RichDocument document;
    std::size_t start = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        if (c != '\r' && c != '\n') {
            ++pos;
            continue;
        }
        document.Lines.push_back(PlainLine(text.substr(start, pos - start)));
        pos += (c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
        start = pos;
    }
    if (start < text.size())
        document.Lines.push_back(PlainLine(text.substr(start)));
    return document;
}

RichDocument ReadPlainText(std::string_view bytes)
{
    if (IsValidUtf8(bytes))
        return SplitLines(bytes);
    CodePageDecoder decoder;
    return SplitLines(decoder.Decode(kPlainTextCodePage, bytes));
}

} // namespace

RichDocument ReadRichText(std::string_view bytes)
{
    if (bytes.starts_with(kUtf8Bom))
        bytes.remove_prefix(kUtf8Bom.size());
    if (bytes.starts_with(kRtfSignature))
        return RtfReader(bytes).Read();
    return ReadPlainText(bytes);
}
