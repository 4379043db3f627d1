#pragma once

#include "tools/monitor_text.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Upper-cases a-z and nothing else: letters outside ASCII keep their case.
std::u16string FoldAscii(std::u16string_view text);

// The lowest 0-based index at or after `from` where `needle` lies wholly within
// the first `to` characters of `text`; npos when there is none. An empty needle
// never matches.
std::size_t FindText(
    std::u16string_view text, std::size_t from, std::size_t to, std::u16string_view needle);

// The search that "Find Next" repeats. Positions are 1-based into the monitor
// text; LastFoundPos is the first character of the last hit, 0 when the next
// search starts at the top.
class TTextFinder
{
public:
    int32_t LastFoundPos = 0;

    // The next hit after the last one, never overlapping it. Without a hit the
    // next search starts over at the top. Returns the new LastFoundPos.
    int32_t FindNext(std::u16string_view text, std::u16string_view needle, bool matchCase);
};

// The hits of one "Find All", in text order, over a text recorded when it
// started. Each hit says whether it is the first on its line, so a line with
// several hits is listed once.
class TFindAllRun
{
public:
    TFindAllRun(const TMonitorText &text, std::u16string_view needle, bool matchCase);

    struct Hit
    {
        int32_t Position = 0; // 1-based
        std::size_t Line = 0;
        bool FirstOnLine = false;
    };
    std::optional<Hit> Next();

private:
    const TMonitorText &text_;
    std::u16string folded_; // the searched text when case does not matter
    std::u16string needle_;
    std::u16string_view searched_;
    std::size_t next_ = 0; // 0-based offset where the next search starts
    std::optional<std::size_t> lastLine_;
};

// A found line as the results list it: the stamp up to and including the first
// "]" followed by one blank (empty without a "]"), and the rest of the line
// without leading and trailing characters of code 0x20 and below.
struct FoundLine
{
    std::u16string Stamp;
    std::u16string Body;
};
FoundLine SplitFoundLine(std::u16string_view line);
