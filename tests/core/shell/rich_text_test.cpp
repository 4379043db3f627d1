#include "shell/rich_text.h"

#include <gtest/gtest.h>

#include <random>

using namespace std::string_literals;

namespace {

constexpr uint32_t kBlue = 0xFF0000; // 0x00BBGGRR
constexpr uint32_t kRed = 0x0000FF;

TextRun MakeRun(
    std::string text, uint32_t color, std::string font = "Courier New", int halfPoints = 18)
{
    return TextRun { std::move(text), color, std::move(font), halfPoints };
}

std::string LineText(const RichLine &line)
{
    std::string text;
    for (const TextRun &run : line)
        text += run.Text;
    return text;
}

std::vector<std::string> Lines(const RichDocument &document)
{
    std::vector<std::string> lines;
    for (const RichLine &line : document.Lines)
        lines.push_back(LineText(line));
    return lines;
}

void ExpectSameRuns(const RichLine &actual, const RichLine &expected)
{
    ASSERT_EQ(actual.size(), expected.size()) << '"' << LineText(expected) << '"';
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].Text, expected[i].Text);
        EXPECT_EQ(actual[i].Color, expected[i].Color) << '"' << expected[i].Text << '"';
        EXPECT_EQ(actual[i].Font, expected[i].Font) << '"' << expected[i].Text << '"';
        EXPECT_EQ(actual[i].HalfPoints, expected[i].HalfPoints) << '"' << expected[i].Text << '"';
    }
}

void ExpectSameDocument(const RichDocument &actual, const RichDocument &expected)
{
    ASSERT_EQ(actual.Lines.size(), expected.Lines.size());
    for (std::size_t i = 0; i < expected.Lines.size(); ++i)
        ExpectSameRuns(actual.Lines[i], expected.Lines[i]);
}

RichDocument Document(std::vector<RichLine> lines)
{
    return RichDocument { std::move(lines) };
}

// ---- writing and reading our own files

TEST(RichText, WrittenDocumentReadsBackUnchanged)
{
    const RichDocument document = Document({
        { MakeRun("R[12:00:01  20]", 0x808080), MakeRun("01 02 03", 0xC80000) },
        {},
        { MakeRun("T[12:00:02 ---]", 0x808080),
            MakeRun("\\ { } ; \\par {\\rtf1} \t tab", 0x0000C8) },
        { MakeRun("nul\0 soh\x01 us\x1f del\x7f cr\r lf\n end"s, 0x123456) },
        { MakeRun("你好 é € 😀 𝄞 한", 0x00FF00), MakeRun(" next font", 0x00FF00, "宋体", 20) },
        { MakeRun("a;b", 0, "Odd {Font}; \\Name", 24), MakeRun(" ", 0xFFFFFF) },
        { MakeRun(" leading and trailing blanks ", 0) },
        {},
        {},
    });
    const std::string rtf = WriteRtf(document);
    ExpectSameDocument(ReadRichText(rtf), document);
    for (char c : rtf)
        ASSERT_LT(static_cast<unsigned char>(c), 0x80) << "the writer escapes every non-ASCII byte";
}

TEST(RichText, LineCountSurvivesEmptyDocumentsAndLines)
{
    for (std::size_t count : { 0u, 1u, 3u }) {
        const RichDocument document = Document(std::vector<RichLine>(count));
        EXPECT_EQ(ReadRichText(WriteRtf(document)).Lines.size(), count);
    }
}

TEST(RichText, WriterDeclaresOnlyUsedColoursAndFonts)
{
    const std::string rtf
        = WriteRtf(Document({ { MakeRun("a", 0xC80000), MakeRun("b", 0x0000C8, "Arial") },
            { MakeRun("c", 0xC80000) } }));
    EXPECT_TRUE(rtf.starts_with("{\\rtf1\\ansi"));
    EXPECT_NE(rtf.find("{\\colortbl ;\\red0\\green0\\blue200;\\red200\\green0\\blue0;}"),
        std::string::npos);
    EXPECT_NE(rtf.find("{\\f0\\fnil\\fcharset0 Courier New;}{\\f1\\fnil\\fcharset0 Arial;}"),
        std::string::npos);
    EXPECT_EQ(rtf.find("\\f2"), std::string::npos);
}

// ---- documents of other writers

struct Fixture
{
    const char *Name;
    std::string Rtf;
    std::vector<std::string> Lines;
};

TEST(RichText, ReadsOtherWritersText)
{
    const Fixture fixtures[] = {
        { "code page 936 document with a GB2312 font",
            R"({\rtf1\ansi\ansicpg936\deff0{\fonttbl{\f0\fnil\fcharset134 \'cb\'ce\'cc\'e5;}})"
            "\r\n"
            R"(\viewkind4\uc1\pard\f0\fs20 \'c4\'e3\'ba\'c3 abc\par)"
            "\r\n}",
            { "你好 abc" } },
        { "code page 936 document, ANSI font",
            R"({\rtf1\ansi\ansicpg936{\fonttbl{\f0\fnil\fcharset0 Courier New;}}\f0 \'c4\'e3\'ba\'c3\par})",
            { "你好" } },
        { "1252 document with a GB2312 font for some runs",
            R"({\rtf1\ansi\deff0{\fonttbl{\f0\fswiss Arial;}{\f1\fnil\fcharset134 SimSun;}})"
            R"(\f0 caf\'e9 \'80\f1\'c4\'e3\f0\'e9\par})",
            { "café €你é" } },
        { "unicode with \\uc1, \\uc0, \\uc2 and negative values",
            R"({\rtf1\ansi\uc1 A\u20320?\u22909?B\par{\uc0 C\u20320 D}\par)"
            R"({\uc2 E\u20320\'3f\'3fF}G\u-21504?\u-10179?\u-8704?H\par})",
            { "A你好B", "C你D", "E你FG가😀H" } },
        { "nested groups and skipped destinations",
            R"({\rtf1\ansi{\fonttbl{\f0 Times;}}{\*\generator Riched20 10.0.19041;})"
            R"({\info{\title Secret}{\author Someone}}{\stylesheet{\s0 Normal;}})"
            R"(\pard{\b bold {\i nested {\ul deep}} text}\par)"
            R"({\pict\wmetafile8\picw100\pich100 010009000003780000000000}after\par)"
            R"({\*\unknowndestination hidden {text}}{\header head}{\footer foot}end\par})",
            { "bold nested deep text", "after", "end" } },
        { "binary data is skipped by count", "{\\rtf1 a{\\pict\\bin4 }}{}x}b\\par}", { "ab" } },
        { "special characters and escapes",
            R"({\rtf1 a\tab b\line c\{d\}\\e\~f\emdash g\lquote h\rquote\par})",
            { "a\tb", "c{d}\\e\u00A0f—g‘h’" } },
        { "paragraph marks, empty lines and a last line without \\par",
            "{\\rtf1 a\\par\\par b\\par\r\n\\pard c\\\nd}", { "a", "", "b", "c", "d" } },
        { "hidden text and fields",
            R"({\rtf1 a{\v hidden}b{\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}}\par})",
            { "ablink" } },
        { "text after the document's closing brace is not read", "{\\rtf1 a\\par}trailing\\par",
            { "a" } },
    };
    for (const Fixture &fixture : fixtures)
        EXPECT_EQ(Lines(ReadRichText(fixture.Rtf)), fixture.Lines) << fixture.Name;
}

TEST(RichText, ReadsTheSendWindowFragmentWithItsColours)
{
    const std::string fragment
        = "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl{"
          "\\f0\\fnil\\fcharset0 "
          "Courier New;}}\r\n{\\colortbl ;\\red0\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
          "\\viewkind4\\uc1\\pard\\cf1\\lang2052\\f0\\fs18\r\n{\\cf1 01 02\\cf2  03}";
    const RichDocument document = ReadRichText(fragment);
    ASSERT_EQ(document.Lines.size(), 1u);
    ExpectSameRuns(document.Lines[0], { MakeRun("01 02", 0), MakeRun(" 03", kBlue) });
}

TEST(RichText, ReadsColoursFontsAndSizesOfOtherWriters)
{
    // \plain resets the character format, \pard does not; a table without an
    // "auto" entry starts at \cf0; unknown indexes are black.
    const std::string rtf
        = R"({\rtf1\ansi\deff1{\fonttbl{\f0 Arial;}{\f1\fnil\fcharset134 \'cb\'ce\'cc\'e5;}})"
          R"({\colortbl\red255\green0\blue0;\red0\green0\blue255;})"
          R"(d\f0\fs28\cf1 a\pard b\plain c\cf0 e\cf7 x{\cf1 in}out\par})";
    const RichDocument document = ReadRichText(rtf);
    ASSERT_EQ(document.Lines.size(), 1u);
    ExpectSameRuns(document.Lines[0],
        {
            MakeRun("d", kRed, "宋体", 18),
            MakeRun("ab", kBlue, "Arial", 28),
            MakeRun("ce", kRed, "宋体", 18),
            MakeRun("x", 0, "宋体", 18),
            MakeRun("in", kBlue, "宋体", 18),
            MakeRun("out", 0, "宋体", 18),
        });
}

// ---- plain text

TEST(RichText, PlainTextReadsAsLines)
{
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        { "", {} },
        { "one", { "one" } },
        { "one\ntwo\n", { "one", "two" } },
        { "one\r\ntwo\r\n\r\nfour", { "one", "two", "", "four" } },
        { "cr\rmixed\r\n\nend", { "cr", "mixed", "", "end" } },
        { "\n", { "" } },
        { "\xEF\xBB\xBFutf8 你好\n", { "utf8 你好" } },
        { "\xc4\xe3\xba\xc3\r\nGBK \x80", { "你好", "GBK €" } },
        { "{\\RTF1 not rich text}", { "{\\RTF1 not rich text}" } },
        { "nul\0inside"s, { "nul\0inside"s } },
    };
    for (const auto &[bytes, lines] : cases)
        EXPECT_EQ(Lines(ReadRichText(bytes)), lines) << '"' << bytes << '"';

    const RichDocument document = ReadRichText("text\n\n");
    ASSERT_EQ(document.Lines.size(), 2u);
    ExpectSameRuns(document.Lines[0], { MakeRun("text", 0) });
    EXPECT_TRUE(document.Lines[1].empty());
}

// ---- damaged documents

TEST(RichText, DamagedDocumentsGiveWhatCanBeRead)
{
    const Fixture fixtures[] = {
        { "unclosed group", "{\\rtf1 abc", { "abc" } },
        { "extra closing braces", "{\\rtf1 {a}}}}}", { "a" } },
        { "hex escape cut off", "{\\rtf1 a\\'", { "a" } },
        { "hex escape with one digit", "{\\rtf1 a\\'4", { "a4" } },
        { "hex escape with bad digits", "{\\rtf1 a\\'zz}", { "azz" } },
        { "\\u without a number", "{\\rtf1 a\\u b\\u}", { "ab" } },
        { "backslash at the end", "{\\rtf1 a\\", { "a" } },
        { "huge numbers",
            "{\\rtf1 \\u99999999999999999999?x\\fs-99999999999999 y\\cf99999999999 z}",
            { "\uFFFDxyz" } },
        { "huge \\uc", "{\\rtf1 {\\uc99999999999 \\u65 abc}d}", { "Ad" } },
        { "huge and negative \\bin", "{\\rtf1 a{\\bin-5 b}c\\bin99999999999 d}", { "abc" } },
        { "lone surrogates", "{\\rtf1 a\\u-10179?b\\u-8704?c\\u-10179?}",
            { "a\uFFFDb\uFFFDc\uFFFD" } },
        { "cut-off double-byte character", "{\\rtf1\\ansicpg936 a\\'c4}", { "a\uFFFD" } },
        { "unterminated font table", "{\\rtf1{\\fonttbl{\\f0 Arial", {} },
        { "colour out of range", "{\\rtf1{\\colortbl;\\red99999\\green-5\\blue300;}\\cf1 x}",
            { "x" } },
        { "very long control word", "{\\rtf1 \\" + std::string(100000, 'a') + " x}", { "x" } },
        { "deep nesting, balanced",
            "{\\rtf1 " + std::string(100000, '{') + "x" + std::string(100000, '}') + " y}",
            { "x y" } },
        { "deep nesting, never closed", "{\\rtf1 " + std::string(100000, '{') + "x", { "x" } },
    };
    for (const Fixture &fixture : fixtures)
        EXPECT_EQ(Lines(ReadRichText(fixture.Rtf)), fixture.Lines) << fixture.Name;

    const RichDocument colours
        = ReadRichText("{\\rtf1{\\colortbl;\\red99999\\green-5\\blue300;}\\cf1 x}");
    ASSERT_EQ(colours.Lines.size(), 1u);
    EXPECT_EQ(colours.Lines[0][0].Color, 0xFF00FFu); // each component clamped to 0..255
}

TEST(RichText, RandomTokenSoupNeverCrashes)
{
    const char *tokens[] = { "{", "}", "\\", "\\'", "\\'c4", "\\u", "\\u-10179?", "\\uc2 ",
        "\\bin3 ", "\\par", "\\*", "\\fonttbl", "\\colortbl", "\\f1", "\\cf2", "\\pict", "\\red300",
        ";", "a", " ", "\xc4", "\r\n", "\\fcharset134 ", "\\v", "\\plain" };
    std::mt19937 random(12345);
    for (int round = 0; round < 2000; ++round) {
        std::string rtf = "{\\rtf1";
        const int count = int(random() % 60);
        for (int i = 0; i < count; ++i)
            rtf += tokens[random() % std::size(tokens)];
        const RichDocument document = ReadRichText(rtf);
        // Whatever was read writes and reads back the same.
        ExpectSameDocument(ReadRichText(WriteRtf(document)), document);
        if (HasFailure())
            FAIL() << "input: " << rtf;
    }
}

} // namespace
