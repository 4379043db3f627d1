#include "shell/rich_text.h"
#include "shell/utf8.h"

#include <algorithm>

namespace {

// Fonts and colours in order of first use; their positions are the \fN and \cfN numbers.
struct RtfTables
{
    std::vector<std::string> Fonts;
    std::vector<uint32_t> Colors;

    int FontNumber(const std::string &font) const
    {
        return int(std::find(Fonts.begin(), Fonts.end(), font) - Fonts.begin());
    }
    // Entry 0 of the written table is "auto", so colours count from 1.
    int ColorNumber(uint32_t color) const
    {
        return int(std::find(Colors.begin(), Colors.end(), color) - Colors.begin()) + 1;
    }
};

uint32_t Rgb(uint32_t color)
{
    return color & 0xFFFFFF; // 0x00BBGGRR
}

template <typename T> void AddOnce(std::vector<T> &list, const T &value)
{
    if (std::find(list.begin(), list.end(), value) == list.end())
        list.push_back(value);
}

RtfTables CollectTables(const RichDocument &document)
{
    RtfTables tables;
    for (const RichLine &line : document.Lines) {
        for (const TextRun &run : line) {
            if (run.Text.empty())
                continue;
            AddOnce(tables.Fonts, run.Font);
            AddOnce(tables.Colors, Rgb(run.Color));
        }
    }
    if (tables.Fonts.empty())
        tables.Fonts.push_back(TextRun {}.Font); // \deff0 must name a font
    return tables;
}

// \uN takes a signed 16-bit N; characters beyond U+FFFF are written as a surrogate pair.
void AppendUnicodeEscape(std::string &out, char32_t cp)
{
    auto writeUnit = [&out](uint32_t unit) {
        out += "\\u";
        out += std::to_string(unit > 0x7FFF ? int(unit) - 0x10000 : int(unit));
        out += '?';
    };
    if (cp > 0xFFFF) {
        const uint32_t offset = cp - 0x10000;
        writeUnit(0xD800 + (offset >> 10));
        writeUnit(0xDC00 + (offset & 0x3FF));
    } else {
        writeUnit(cp);
    }
}

// Printable ASCII as it stands (with \, { and } escaped); everything else,
// control characters included, as \uN so that every character survives.
void AppendEscapedText(std::string &out, std::string_view utf8, bool inFontTable)
{
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t cp = NextCodePoint(utf8, pos);
        if (cp == '\\' || cp == '{' || cp == '}') {
            out += '\\';
            out += char(cp);
        } else if (cp == ';' && inFontTable) {
            out += "\\'3b"; // a plain ";" would end the font name
        } else if (cp == '\t' && !inFontTable) {
            out += "\\tab ";
        } else if (cp >= 0x20 && cp <= 0x7E) {
            out += char(cp);
        } else {
            AppendUnicodeEscape(out, cp);
        }
    }
}

void AppendFontTable(std::string &out, const RtfTables &tables)
{
    out += "{\\fonttbl";
    for (std::size_t i = 0; i < tables.Fonts.size(); ++i) {
        out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset0 ";
        AppendEscapedText(out, tables.Fonts[i], true);
        out += ";}";
    }
    out += "}\r\n";
}

void AppendColorTable(std::string &out, const RtfTables &tables)
{
    out += "{\\colortbl ;";
    for (uint32_t color : tables.Colors) {
        out += "\\red" + std::to_string(color & 0xFF);
        out += "\\green" + std::to_string((color >> 8) & 0xFF);
        out += "\\blue" + std::to_string((color >> 16) & 0xFF) + ";";
    }
    out += "}\r\n";
}

// The formatting last written; -1 before anything is written.
struct RunFormat
{
    int Font = -1;
    int HalfPoints = -1;
    int Color = -1;
};

void AppendFormatChange(std::string &out, RunFormat &current, const RunFormat &wanted)
{
    std::string words;
    if (wanted.Font != current.Font)
        words += "\\f" + std::to_string(wanted.Font);
    if (wanted.HalfPoints != current.HalfPoints)
        words += "\\fs" + std::to_string(wanted.HalfPoints);
    if (wanted.Color != current.Color)
        words += "\\cf" + std::to_string(wanted.Color);
    if (words.empty())
        return;
    out += words;
    out += ' '; // ends the last control word; never part of the text
    current = wanted;
}

} // namespace

std::string WriteRtf(const RichDocument &document)
{
    const RtfTables tables = CollectTables(document);
    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033";
    AppendFontTable(out, tables);
    AppendColorTable(out, tables);
    out += "\\viewkind4\\uc1\\pard\\plain\r\n";

    // Every line ends with \par, an empty last line too, so reading gives back
    // exactly the lines written.
    RunFormat current;
    for (const RichLine &line : document.Lines) {
        for (const TextRun &run : line) {
            if (run.Text.empty())
                continue;
            const RunFormat wanted { tables.FontNumber(run.Font), run.HalfPoints,
                tables.ColorNumber(Rgb(run.Color)) };
            AppendFormatChange(out, current, wanted);
            AppendEscapedText(out, run.Text, false);
        }
        out += "\\par\r\n";
    }
    out += "}\r\n";
    return out;
}
