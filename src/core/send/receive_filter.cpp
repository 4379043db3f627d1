#include "send/receive_filter.h"

#include "send/convert_error.h"
#include "send/hex_text.h"

namespace {

std::string UpperCase(std::string text)
{
    for (char &c : text) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    return text;
}

} // namespace

std::optional<FilterStop> StoreFilterRows(
    const std::array<FilterRowText, kFilterEntryCount> &rows, FilterEntry (&entries)[5])
{
    for (int row = 0; row < kFilterEntryCount; ++row) {
        const FilterRowText &text = rows[std::size_t(row)];
        FilterEntry &entry = entries[row];
        if (text.ByteNo.empty()) {
            entry.FilterByteNo = 0;
            entry.SetFilterValue({});
            continue;
        }
        try {
            entry.FilterByteNo = StrToInt(text.ByteNo);
        } catch (const EConvertError &) {
            return FilterStop { row, FilterStop::Cell::ByteNo };
        }
        if (!IsHexText(text.Value) || text.Value.size() != 2)
            return FilterStop { row, FilterStop::Cell::Value };
        entry.SetFilterValue(UpperCase(text.Value));
    }
    return std::nullopt;
}

FilterRowText FilterRowOf(const FilterEntry &entry)
{
    if (entry.FilterByteNo == 0)
        return {};
    return { std::to_string(uint32_t(entry.FilterByteNo)), entry.FilterValue() };
}

bool PassesReceiveFilter(const SettingsRecord &settings, std::string_view body)
{
    if (settings.FilterEnabled == 0)
        return true;
    for (const FilterEntry &entry : settings.FilterEntries) {
        // 0 marks an unused entry; a negative number (typed, or from a damaged
        // settings file) names no byte and is skipped the same way.
        if (entry.FilterByteNo <= 0)
            continue;
        const std::string value = entry.FilterValue();
        if (value.empty())
            continue;
        const std::size_t start = 3 * std::size_t(entry.FilterByteNo) - 3;
        const std::string_view pair
            = start < body.size() ? body.substr(start, 2) : std::string_view {};
        if (pair != value)
            return false;
    }
    return true;
}
