#pragma once

#include "tools/monitor_text.h"

#include <QString>

#include <string_view>
#include <vector>

class QPlainTextEdit;

inline std::u16string_view AsUtf16(const QString &text)
{
    return { reinterpret_cast<const char16_t *>(text.utf16()), std::size_t(text.size()) };
}

inline QString FromUtf16(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

// The monitor's text as the search counts it, and where each of its lines
// stands in the view.
struct MonitorSnapshot
{
    struct Place
    {
        int Block = 0; // the block (hard line) that holds the line
        int Column = 0; // where the line starts in the block
    };
    TMonitorText Text;
    std::vector<Place> Places; // one per line of Text
};

// Reads the monitor once. With `displayLines` and word wrap on, every line the
// view shows is a line of its own; otherwise a line is a block.
MonitorSnapshot ReadMonitorSnapshot(const QPlainTextEdit &view, bool displayLines);
