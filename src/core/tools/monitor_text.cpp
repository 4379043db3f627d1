#include "tools/monitor_text.h"

#include <algorithm>

void TMonitorText::AddLine(std::u16string_view line, bool endsWithBreak)
{
    lines_.push_back({ text_.size(), line.size(), breaks_ });
    text_.append(line);
    if (endsWithBreak) {
        text_.append(u"\r\n");
        ++breaks_;
    }
}

std::u16string_view TMonitorText::LineText(std::size_t line) const
{
    if (line >= lines_.size())
        return {};
    return std::u16string_view(text_).substr(lines_[line].Start, lines_[line].Length);
}

std::size_t TMonitorText::LineAt(std::size_t offset) const
{
    if (lines_.empty())
        return 0;
    // The last line that starts at or before the offset.
    const auto after = std::upper_bound(lines_.begin(), lines_.end(), offset,
        [](std::size_t value, const Line &line) { return value < line.Start; });
    return after == lines_.begin() ? 0 : std::size_t(after - lines_.begin()) - 1;
}

std::size_t TMonitorText::ViewOffset(std::size_t offset) const
{
    if (lines_.empty())
        return 0;
    const Line &line = lines_[LineAt(offset)];
    const std::size_t column = std::min(offset - line.Start, line.Length);
    return line.Start - line.BreaksBefore + column;
}
