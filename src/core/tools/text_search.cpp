#include "tools/text_search.h"

#include <algorithm>
#include <limits>

namespace {

char16_t FoldAsciiChar(char16_t c)
{
    return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c;
}

bool IsBlankOrControl(char16_t c)
{
    return c <= 0x20;
}

std::u16string_view Trimmed(std::u16string_view text)
{
    while (!text.empty() && IsBlankOrControl(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back()))
        text.remove_suffix(1);
    return text;
}

// Positions are 32-bit like the view's offsets; a text longer than that is
// searched only as far as a position can reach.
int32_t ToPosition(std::size_t offset)
{
    constexpr auto kMax = std::size_t(std::numeric_limits<int32_t>::max());
    return int32_t(std::min(offset + 1, kMax));
}

} // namespace

std::u16string FoldAscii(std::u16string_view text)
{
    std::u16string folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(), FoldAsciiChar);
    return folded;
}

std::size_t FindText(
    std::u16string_view text, std::size_t from, std::size_t to, std::u16string_view needle)
{
    to = std::min(to, text.size());
    if (needle.empty() || from >= to || needle.size() > to - from)
        return std::u16string_view::npos;
    return text.substr(0, to).find(needle, from);
}

int32_t TTextFinder::FindNext(std::u16string_view text, std::u16string_view needle, bool matchCase)
{
    const std::size_t start = LastFoundPos <= 0 ? 0 : std::size_t(LastFoundPos - 1) + needle.size();
    std::size_t hit = std::u16string_view::npos;
    if (matchCase)
        hit = FindText(text, start, text.size(), needle);
    else
        hit = FindText(FoldAscii(text), start, text.size(), FoldAscii(needle));
    LastFoundPos = hit == std::u16string_view::npos ? 0 : ToPosition(hit);
    return LastFoundPos;
}

TFindAllRun::TFindAllRun(const TMonitorText &text, std::u16string_view needle, bool matchCase)
    : text_(text)
    , needle_(matchCase ? std::u16string(needle) : FoldAscii(needle))
{
    // Folded once for the whole run: every hit then costs only its own search.
    if (matchCase) {
        searched_ = text_.Text();
    } else {
        folded_ = FoldAscii(text_.Text());
        searched_ = folded_;
    }
}

std::optional<TFindAllRun::Hit> TFindAllRun::Next()
{
    const std::size_t hit = FindText(searched_, next_, searched_.size(), needle_);
    if (hit == std::u16string_view::npos)
        return std::nullopt;
    next_ = hit + needle_.size();
    const std::size_t line = text_.LineAt(hit);
    const bool first = lastLine_ != line;
    lastLine_ = line;
    return Hit { ToPosition(hit), line, first };
}

FoundLine SplitFoundLine(std::u16string_view line)
{
    const std::size_t close = line.find(u']');
    if (close == std::u16string_view::npos)
        return { {}, std::u16string(Trimmed(line)) };
    std::u16string stamp(line.substr(0, close + 1));
    stamp += u' ';
    return { std::move(stamp), std::u16string(Trimmed(line.substr(close + 1))) };
}
