#include "engine/capture_line.h"

namespace {

// "R[hh:nn:ss" comes before the gap field, " ggg" is the field, "]" ends the stamp.
constexpr std::size_t kGapOffset = 10;
constexpr std::size_t kGapWidth = 4;
constexpr std::size_t kHeaderLength = kGapOffset + kGapWidth + 1;
constexpr uint32_t kLargestShownGap = 999;

void AppendTwoDigits(std::string &out, int value)
{
    const int v = ((value % 100) + 100) % 100;
    out += char('0' + v / 10);
    out += char('0' + v % 10);
}

} // namespace

std::string FormatTimeOfDay(const TimeOfDay &time)
{
    std::string text;
    text.reserve(8);
    AppendTwoDigits(text, time.Hour);
    text += ':';
    AppendTwoDigits(text, time.Minute);
    text += ':';
    AppendTwoDigits(text, time.Second);
    return text;
}

void BeginCaptureLineInto(std::string &line, char direction, const TimeOfDay &time)
{
    line.clear();
    line += direction;
    line += '[';
    line += FormatTimeOfDay(time);
    line.append(kGapWidth, ' ');
    line += ']';
}

std::string BeginCaptureLine(char direction, const TimeOfDay &time, std::string_view data)
{
    std::string line;
    line.reserve(kHeaderLength + data.size());
    BeginCaptureLineInto(line, direction, time);
    line.append(data);
    return line;
}

void SetCaptureGap(std::string &line, uint32_t gapMs)
{
    if (line.size() < kHeaderLength)
        return;
    char *field = line.data() + kGapOffset;
    // " %3d" below one second; a longer or negative (wrapped) gap shows " ---".
    if (gapMs > kLargestShownGap) {
        field[1] = field[2] = field[3] = '-';
        return;
    }
    field[0] = ' ';
    field[1] = gapMs >= 100 ? char('0' + gapMs / 100) : ' ';
    field[2] = gapMs >= 10 ? char('0' + gapMs / 10 % 10) : ' ';
    field[3] = char('0' + gapMs % 10);
}

CaptureParts SplitCaptureLine(std::string_view line)
{
    const std::size_t end = line.find(']');
    if (end == std::string_view::npos)
        return { {}, line };
    // The stamp runs from after the direction letter up to and including "]".
    const std::string_view stamp = end == 0 ? std::string_view {} : line.substr(1, end);
    return { stamp, line.substr(end + 1) };
}
