#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The monitor's text as the find commands count it: its lines one after the
// other, each line that ends in a line break followed by CR LF. A line that a
// word wrap continues on the next line has no break of its own. The view counts
// a line break as one character, so an offset into this text is converted
// before it selects anything in the view.
class TMonitorText
{
public:
    // Adds the next line (without its line break).
    void AddLine(std::u16string_view line, bool endsWithBreak);

    const std::u16string &Text() const { return text_; }
    std::size_t LineCount() const { return lines_.size(); }
    std::u16string_view LineText(std::size_t line) const;

    // The line that holds the 0-based `offset`; a line break belongs to the line
    // it ends, and an offset at or past the end to the last line.
    std::size_t LineAt(std::size_t offset) const;

    // The same place counted the way the view counts, one character per line
    // break. An offset between CR and LF stands for the break itself.
    std::size_t ViewOffset(std::size_t offset) const;

private:
    struct Line
    {
        std::size_t Start = 0;
        std::size_t Length = 0;
        std::size_t BreaksBefore = 0;
    };

    std::u16string text_;
    std::vector<Line> lines_;
    std::size_t breaks_ = 0;
};
