#pragma once

#include "shell/code_page_decoder.h"
#include "shell/rich_text.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// Reads an RTF document into lines of coloured runs. One pass over the bytes,
// no recursion: damaged input (unbalanced braces, truncated escapes, huge
// numbers, very deep nesting) ends in a best-effort document, never a crash.
class RtfReader
{
public:
    explicit RtfReader(std::string_view rtf);
    RichDocument Read();

private:
    enum class Destination : uint8_t { Text, FontTable, ColorTable, Skip };

    // Character formatting and destination, saved by "{" and restored by "}".
    struct GroupState
    {
        Destination Dest = Destination::Text;
        bool Hidden = false;
        int FontNumber = -1; // -1: the document's default font
        int HalfPoints = TextRun {}.HalfPoints;
        int ColorIndex = 0;
        int UnicodeSkip = 1; // \ucN: fallback characters after each \uN
    };

    struct FontDef
    {
        std::string Name;
        int CodePage = 0; // 0: the document's code page
    };

    struct ControlWord
    {
        std::string Name;
        bool HasParam = false;
        int Param = 0;
    };

    void OnGroupStart();
    void OnGroupEnd();
    void OnLiteral(char c);
    void OnBackslash();
    void OnHexByte();
    void OnControlSymbol(char symbol);
    void OnEscapedCharacter(char c);
    ControlWord ReadControlWord();
    void OnControlWord(const ControlWord &word);
    bool OnDocumentWord(const ControlWord &word);
    bool OnFormatWord(const ControlWord &word);
    bool OnTableWord(const ControlWord &word);
    bool OnTextWord(const ControlWord &word);
    void SkipBinary(int count);
    bool ConsumeFallback();

    GroupState &State() { return stack_.back(); }
    int CodePage();
    void Flush();
    void AppendDecoded(const std::string &utf8);
    void AppendCodePoint(char32_t cp);
    void AppendUnicodeParam(int param);
    void ResolveDanglingSurrogate();
    void AppendToRuns(const std::string &utf8);
    void EndLine();
    void CommitFontName();
    void CommitColor();
    void ResetColorComponents();
    const std::string &FontName(int number) const;
    uint32_t ColorFor(int index) const;

    std::string_view input_;
    std::size_t pos_ = 0;
    bool finished_ = false;

    std::vector<GroupState> stack_;
    std::size_t overflowDepth_ = 0; // groups beyond the depth cap share the deepest state
    int skipRemaining_ = 0; // fallback characters still to skip after \uN
    char32_t highSurrogate_ = 0;

    int documentCodePage_ = 1252;
    int defaultFont_ = 0;
    std::map<int, FontDef> fonts_;
    int fontBeingDefined_ = -1;
    std::string fontName_;
    std::vector<uint32_t> colors_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorGiven_ = false;

    std::string pendingBytes_; // text bytes in the current code page, not yet decoded
    CodePageDecoder decoder_;

    RichDocument document_;
    RichLine line_;
};
