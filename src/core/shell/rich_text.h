#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A run of text in one colour and font. Text is UTF-8 and may hold any
// character, control characters included.
struct TextRun
{
    std::string Text;
    uint32_t Color = 0; // 0x00BBGGRR
    std::string Font = "Courier New";
    int HalfPoints = 18; // font size in half points (18 = 9 pt)
};

// One line (paragraph) of runs.
using RichLine = std::vector<TextRun>;

struct RichDocument
{
    std::vector<RichLine> Lines;
};

// A rich-text (RTF) document: font table, colour table, one \par per line,
// every non-ASCII or control character kept (through \uN).
std::string WriteRtf(const RichDocument &document);

// Reads RTF, including documents of other writers (\'hh in the document's code
// page, \uN with \ucN, nested groups, skipped destinations). Text that is not
// RTF is read as plain text, one line per text line (UTF-8, else GBK).
// Never throws on damaged input.
RichDocument ReadRichText(std::string_view bytes);
