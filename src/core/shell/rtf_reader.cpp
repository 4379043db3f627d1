#include "shell/rtf_reader.h"

#include "send/hex_text.h"

#include "send/ascii_case.h"
#include "shell/utf8.h"

#include <algorithm>
#include <limits>
#include <unordered_set>

namespace {

// Real documents nest a few dozen groups; deeper ones are damaged or hostile.
constexpr std::size_t kMaxGroupDepth = 1024;
constexpr std::size_t kMaxControlWordLength = 32;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Destinations whose content is never text of the document.
bool IsSkippedDestination(const std::string &name)
{
    // clang-format off
    static const std::unordered_set<std::string> kSkipped = {
        "annotation", "atnauthor", "atnid", "author", "bkmkend", "bkmkstart", "blipuid",
        "buptim", "colorschememapping", "comment", "company", "creatim", "datastore", "do",
        "doccomm", "docvar", "fldinst", "filetbl", "footer", "footerf", "footerl",
        "footerr", "footnote", "generator", "header", "headerf", "headerl", "headerr",
        "hlinkbase", "info", "keywords", "latentstyles", "listoverridetable", "listtable",
        "listtext", "mmathPr", "nonshppict", "objclass", "objdata", "objname", "operator",
        "pgdsctbl", "pict", "pn", "pntext", "pntxta", "pntxtb", "printim", "private",
        "revtbl", "revtim", "rsidtbl", "rxe", "shpinst", "stylesheet", "subject", "tc",
        "template", "themedata", "title", "txe", "userprops", "xe", "xmlnstbl",
    };
    // clang-format on
    return kSkipped.contains(name);
}

// Control words that stand for one character.
char32_t SpecialCharacter(const std::string &name)
{
    struct Entry
    {
        const char *Name;
        char32_t Cp;
    };
    static constexpr Entry kCharacters[] = {
        { "tab", U'\t' },
        { "cell", U'\t' },
        { "emdash", 0x2014 },
        { "endash", 0x2013 },
        { "bullet", 0x2022 },
        { "lquote", 0x2018 },
        { "rquote", 0x2019 },
        { "ldblquote", 0x201C },
        { "rdblquote", 0x201D },
        { "emspace", 0x2003 },
        { "enspace", 0x2002 },
        { "qmspace", 0x2005 },
        { "zwj", 0x200D },
        { "zwnj", 0x200C },
    };
    for (const Entry &entry : kCharacters) {
        if (name == entry.Name)
            return entry.Cp;
    }
    return 0;
}

int ClampComponent(int value)
{
    return std::clamp(value, 0, 255);
}

bool IsHighSurrogate(char32_t cp)
{
    return cp >= 0xD800 && cp <= 0xDBFF;
}

bool IsLowSurrogate(char32_t cp)
{
    return cp >= 0xDC00 && cp <= 0xDFFF;
}

} // namespace

RtfReader::RtfReader(std::string_view rtf)
    : input_(rtf)
{
    stack_.emplace_back(); // the state outside every group
}

RichDocument RtfReader::Read()
{
    while (pos_ < input_.size() && !finished_) {
        const char c = input_[pos_];
        switch (c) {
        case '{':
            ++pos_;
            OnGroupStart();
            break;
        case '}':
            ++pos_;
            OnGroupEnd();
            break;
        case '\\':
            OnBackslash();
            break;
        case '\r':
        case '\n':
            ++pos_; // line breaks of the file carry no meaning
            break;
        default:
            ++pos_;
            OnLiteral(c);
            break;
        }
    }
    Flush();
    ResolveDanglingSurrogate();
    if (!line_.empty())
        document_.Lines.push_back(std::move(line_));
    return std::move(document_);
}

void RtfReader::OnGroupStart()
{
    Flush();
    skipRemaining_ = 0;
    if (stack_.size() >= kMaxGroupDepth) {
        ++overflowDepth_;
        return;
    }
    const GroupState inherited = State(); // copied first: the push may move the stack
    stack_.push_back(inherited);
}

void RtfReader::OnGroupEnd()
{
    Flush();
    skipRemaining_ = 0;
    if (overflowDepth_ > 0) {
        --overflowDepth_;
        return;
    }
    if (stack_.size() <= 1)
        return; // a stray "}" outside every group
    if (State().Dest == Destination::FontTable)
        CommitFontName(); // a font entry without its ";"
    stack_.pop_back();
    if (stack_.size() == 1)
        finished_ = true; // the document's own group is closed; anything after it is not RTF
}

void RtfReader::OnLiteral(char c)
{
    if (ConsumeFallback())
        return;
    switch (State().Dest) {
    case Destination::Text:
        if (!State().Hidden)
            pendingBytes_ += c;
        break;
    case Destination::FontTable:
        if (c == ';') {
            Flush();
            CommitFontName();
        } else {
            pendingBytes_ += c;
        }
        break;
    case Destination::ColorTable:
        if (c == ';')
            CommitColor();
        break;
    case Destination::Skip:
        break;
    }
}

void RtfReader::OnBackslash()
{
    ++pos_;
    if (pos_ >= input_.size())
        return; // a lone backslash at the end
    const char next = input_[pos_];
    if (IsAsciiLetter(next)) {
        const ControlWord word = ReadControlWord();
        Flush();
        if (ConsumeFallback()) {
            if (word.Name == "bin")
                SkipBinary(word.Param);
            return;
        }
        OnControlWord(word);
        return;
    }
    if (next == '\'') {
        ++pos_;
        OnHexByte();
        return;
    }
    ++pos_;
    OnControlSymbol(next);
}

void RtfReader::OnHexByte()
{
    if (pos_ + 2 > input_.size())
        return; // "\'" cut off at the end
    const int high = HexDigitValue(input_[pos_]);
    const int low = HexDigitValue(input_[pos_ + 1]);
    if (high < 0 || low < 0)
        return; // not a byte: what follows is read as it stands
    pos_ += 2;
    if (ConsumeFallback())
        return;
    const Destination dest = State().Dest;
    if ((dest == Destination::Text && !State().Hidden) || dest == Destination::FontTable)
        pendingBytes_ += char(high * 16 + low);
}

void RtfReader::OnControlSymbol(char symbol)
{
    if (symbol == '\\' || symbol == '{' || symbol == '}') {
        OnEscapedCharacter(symbol);
        return;
    }
    Flush();
    if (ConsumeFallback())
        return;
    switch (symbol) {
    case '*':
        State().Dest = Destination::Skip; // an optional destination we do not know
        break;
    case '~':
        AppendCodePoint(0x00A0);
        break;
    case '_':
        AppendCodePoint(0x2011);
        break;
    case '\r':
    case '\n':
        if (State().Dest == Destination::Text)
            EndLine(); // a backslash before a line break is a paragraph mark
        break;
    default:
        break; // optional hyphen, index subentry and the like: no text
    }
}

// An escaped "\", "{" or "}" is text like any literal byte (and ASCII in every code page).
void RtfReader::OnEscapedCharacter(char c)
{
    if (ConsumeFallback())
        return;
    const Destination dest = State().Dest;
    if ((dest == Destination::Text && !State().Hidden) || dest == Destination::FontTable)
        pendingBytes_ += c;
}

RtfReader::ControlWord RtfReader::ReadControlWord()
{
    ControlWord word;
    while (pos_ < input_.size() && IsAsciiLetter(input_[pos_])) {
        if (word.Name.size() < kMaxControlWordLength)
            word.Name += input_[pos_];
        ++pos_;
    }
    bool negative = false;
    if (pos_ + 1 < input_.size() && input_[pos_] == '-' && IsDigit(input_[pos_ + 1])) {
        negative = true;
        ++pos_;
    }
    // Digits beyond the 32-bit range are consumed but the value stays clamped.
    int64_t value = 0;
    while (pos_ < input_.size() && IsDigit(input_[pos_])) {
        word.HasParam = true;
        value = std::min<int64_t>(value * 10 + (input_[pos_] - '0'), int64_t(1) << 32);
        ++pos_;
    }
    if (negative)
        value = -value;
    word.Param = int(std::clamp<int64_t>(
        value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    if (pos_ < input_.size() && input_[pos_] == ' ')
        ++pos_; // the delimiting blank belongs to the control word
    return word;
}

void RtfReader::OnControlWord(const ControlWord &word)
{
    if (word.Name == "bin") {
        SkipBinary(word.Param);
        return;
    }
    if (OnTableWord(word) || OnDocumentWord(word) || OnFormatWord(word))
        return;
    if (IsSkippedDestination(word.Name)) {
        State().Dest = Destination::Skip;
        return;
    }
    OnTextWord(word);
}

bool RtfReader::OnDocumentWord(const ControlWord &word)
{
    const std::string &name = word.Name;
    if (name == "ansicpg") {
        if (word.Param > 0)
            documentCodePage_ = word.Param;
    } else if (name == "ansi") {
        documentCodePage_ = 1252;
    } else if (name == "mac") {
        documentCodePage_ = 10000;
    } else if (name == "pc") {
        documentCodePage_ = 437;
    } else if (name == "pca") {
        documentCodePage_ = 850;
    } else if (name == "deff") {
        defaultFont_ = word.Param;
    } else {
        return false;
    }
    return true;
}

bool RtfReader::OnFormatWord(const ControlWord &word)
{
    const std::string &name = word.Name;
    GroupState &state = State();
    if (name == "f") {
        state.FontNumber = word.Param;
    } else if (name == "fs") {
        state.HalfPoints = word.HasParam ? std::clamp(word.Param, 1, 32767) : TextRun {}.HalfPoints;
    } else if (name == "cf") {
        state.ColorIndex = word.Param;
    } else if (name == "plain") {
        // Character formatting back to what a document starts with.
        const GroupState fresh;
        state.FontNumber = fresh.FontNumber;
        state.HalfPoints = fresh.HalfPoints;
        state.ColorIndex = fresh.ColorIndex;
        state.Hidden = false;
    } else if (name == "v") {
        state.Hidden = !word.HasParam || word.Param != 0;
    } else if (name == "uc") {
        state.UnicodeSkip = std::max(word.Param, 0);
    } else if (name == "u") {
        if (word.HasParam) {
            AppendUnicodeParam(word.Param);
            // The fallback characters that stand in for \uN in older readers.
            skipRemaining_ = state.UnicodeSkip;
        }
    } else {
        return false;
    }
    return true;
}

bool RtfReader::OnTableWord(const ControlWord &word)
{
    const std::string &name = word.Name;
    GroupState &state = State();
    if (name == "fonttbl" || name == "colortbl") {
        if (state.Dest == Destination::Skip)
            return true; // a table inside a skipped group is not the document's
        state.Dest = name == "fonttbl" ? Destination::FontTable : Destination::ColorTable;
        ResetColorComponents();
    } else if (state.Dest == Destination::FontTable && name == "f") {
        CommitFontName();
        fontBeingDefined_ = word.Param;
        fonts_[fontBeingDefined_];
    } else if (state.Dest == Destination::FontTable && name == "fcharset") {
        if (fontBeingDefined_ >= 0)
            fonts_[fontBeingDefined_].CodePage = CodePageForCharset(word.Param);
    } else if (state.Dest == Destination::FontTable && name == "cpg") {
        if (fontBeingDefined_ >= 0 && word.Param > 0)
            fonts_[fontBeingDefined_].CodePage = word.Param;
    } else if (state.Dest == Destination::ColorTable && name == "red") {
        red_ = ClampComponent(word.Param);
        colorGiven_ = true;
    } else if (state.Dest == Destination::ColorTable && name == "green") {
        green_ = ClampComponent(word.Param);
        colorGiven_ = true;
    } else if (state.Dest == Destination::ColorTable && name == "blue") {
        blue_ = ClampComponent(word.Param);
        colorGiven_ = true;
    } else {
        return false;
    }
    return true;
}

bool RtfReader::OnTextWord(const ControlWord &word)
{
    const std::string &name = word.Name;
    if (name == "par" || name == "line" || name == "row") {
        if (State().Dest == Destination::Text)
            EndLine();
        return true;
    }
    if (const char32_t cp = SpecialCharacter(name); cp != 0) {
        AppendCodePoint(cp);
        return true;
    }
    return false; // a word we do not need
}

void RtfReader::SkipBinary(int count)
{
    const std::size_t left = input_.size() - pos_;
    pos_ += std::min<std::size_t>(std::size_t(std::max(count, 0)), left);
}

// Skips one fallback character after \uN when one is due.
bool RtfReader::ConsumeFallback()
{
    if (skipRemaining_ <= 0)
        return false;
    --skipRemaining_;
    return true;
}

int RtfReader::CodePage()
{
    const GroupState &state = State();
    int codePage = 0;
    if (state.Dest == Destination::FontTable) {
        if (auto found = fonts_.find(fontBeingDefined_); found != fonts_.end())
            codePage = found->second.CodePage;
    } else {
        const int number = state.FontNumber >= 0 ? state.FontNumber : defaultFont_;
        if (auto found = fonts_.find(number); found != fonts_.end())
            codePage = found->second.CodePage;
    }
    return codePage != 0 ? codePage : documentCodePage_;
}

void RtfReader::Flush()
{
    if (pendingBytes_.empty())
        return;
    const std::string decoded = decoder_.Decode(CodePage(), pendingBytes_);
    pendingBytes_.clear();
    AppendDecoded(decoded);
}

void RtfReader::AppendDecoded(const std::string &utf8)
{
    ResolveDanglingSurrogate();
    const GroupState &state = State();
    if (state.Dest == Destination::FontTable)
        fontName_ += utf8;
    else if (state.Dest == Destination::Text && !state.Hidden)
        AppendToRuns(utf8);
}

void RtfReader::AppendCodePoint(char32_t cp)
{
    std::string utf8;
    AppendUtf8(utf8, cp);
    AppendDecoded(utf8);
}

// \uN holds a signed 16-bit value; characters beyond U+FFFF come as a surrogate pair.
void RtfReader::AppendUnicodeParam(int param)
{
    char32_t cp;
    if (param >= -32768 && param < 0)
        cp = char32_t(param + 65536);
    else if (param >= 0 && param <= 0x10FFFF)
        cp = char32_t(param);
    else
        cp = kReplacementCharacter;

    if (IsLowSurrogate(cp) && highSurrogate_ != 0) {
        const char32_t combined = 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (cp - 0xDC00);
        highSurrogate_ = 0;
        AppendCodePoint(combined);
        return;
    }
    ResolveDanglingSurrogate();
    if (IsHighSurrogate(cp)) {
        highSurrogate_ = cp;
        return;
    }
    AppendCodePoint(cp); // a lone low surrogate becomes U+FFFD there
}

void RtfReader::ResolveDanglingSurrogate()
{
    if (highSurrogate_ == 0)
        return;
    highSurrogate_ = 0;
    AppendCodePoint(kReplacementCharacter);
}

void RtfReader::AppendToRuns(const std::string &utf8)
{
    if (utf8.empty())
        return;
    const GroupState &state = State();
    const uint32_t color = ColorFor(state.ColorIndex);
    const std::string &font = FontName(state.FontNumber >= 0 ? state.FontNumber : defaultFont_);
    if (!line_.empty()) {
        TextRun &last = line_.back();
        if (last.Color == color && last.Font == font && last.HalfPoints == state.HalfPoints) {
            last.Text += utf8;
            return;
        }
    }
    line_.push_back(TextRun { utf8, color, font, state.HalfPoints });
}

void RtfReader::EndLine()
{
    ResolveDanglingSurrogate();
    document_.Lines.push_back(std::move(line_));
    line_.clear();
}

void RtfReader::CommitFontName()
{
    if (fontBeingDefined_ < 0) {
        fontName_.clear();
        return;
    }
    const auto first = fontName_.find_first_not_of(' ');
    const auto last = fontName_.find_last_not_of(' ');
    if (first != std::string::npos)
        fonts_[fontBeingDefined_].Name = fontName_.substr(first, last - first + 1);
    fontName_.clear();
}

// An entry without components is "auto" (the text colour, black here).
void RtfReader::CommitColor()
{
    uint32_t color = 0;
    if (colorGiven_)
        color = uint32_t(red_) | uint32_t(green_) << 8 | uint32_t(blue_) << 16;
    colors_.push_back(color);
    ResetColorComponents();
}

void RtfReader::ResetColorComponents()
{
    red_ = green_ = blue_ = 0;
    colorGiven_ = false;
}

const std::string &RtfReader::FontName(int number) const
{
    static const std::string kDefaultFont = TextRun {}.Font;
    const auto found = fonts_.find(number);
    if (found == fonts_.end() || found->second.Name.empty())
        return kDefaultFont;
    return found->second.Name;
}

// "auto" entries and indexes outside the table are black.
uint32_t RtfReader::ColorFor(int index) const
{
    if (index < 0 || std::size_t(index) >= colors_.size())
        return 0;
    return colors_[std::size_t(index)];
}
