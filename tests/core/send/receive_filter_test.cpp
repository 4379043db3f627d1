#include "send/receive_filter.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Rows = std::array<FilterRowText, kFilterEntryCount>;

void SetEntries(FilterEntry (&entries)[5], std::initializer_list<std::pair<int, const char *>> list)
{
    int i = 0;
    for (const auto &[byteNo, value] : list) {
        entries[i].FilterByteNo = byteNo;
        entries[i].SetFilterValue(value);
        ++i;
    }
}

TEST(ReceiveFilter, AcceptedCellsAreStoredAndEmptyByteNumbersClear)
{
    SettingsRecord record = SettingsRecord::Defaults();
    SetEntries(
        record.FilterEntries, { { 9, "99" }, { 9, "99" }, { 9, "99" }, { 9, "99" }, { 9, "99" } });
    const Rows rows = { { { "1", "0a" }, { "", "not hex at all" }, { "0", "01" }, { "$10", "FF" },
        { "", "" } } };
    EXPECT_FALSE(StoreFilterRows(rows, record.FilterEntries).has_value());

    const std::pair<int, std::string> expected[]
        = { { 1, "0A" }, { 0, "" }, { 0, "01" }, { 16, "FF" }, { 0, "" } };
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(record.FilterEntries[i].FilterByteNo, expected[i].first) << i;
        EXPECT_EQ(record.FilterEntries[i].FilterValue(), expected[i].second) << i;
    }
}

TEST(ReceiveFilter, FirstBadCellStopsAndEarlierRowsKeepTheirNewValues)
{
    struct Case
    {
        FilterRowText Bad;
        FilterStop::Cell Cell;
        int StoredByteNo; // in the bad row after the stop
    };
    const Case cases[] = {
        { { "1A", "01" }, FilterStop::Cell::ByteNo, 7 },
        { { " ", "01" }, FilterStop::Cell::ByteNo, 7 },
        { { "99999999999", "01" }, FilterStop::Cell::ByteNo, 7 },
        { { "2", "A" }, FilterStop::Cell::Value, 2 },
        { { "2", "0A " }, FilterStop::Cell::Value, 2 },
        { { "2", "0 A" }, FilterStop::Cell::Value, 2 },
        { { "2", "0AB" }, FilterStop::Cell::Value, 2 },
        { { "2", "G0" }, FilterStop::Cell::Value, 2 },
        { { "0", "" }, FilterStop::Cell::Value, 0 },
    };
    for (const Case &c : cases) {
        SettingsRecord record = SettingsRecord::Defaults();
        SetEntries(record.FilterEntries, { { 5, "55" }, { 7, "77" }, { 8, "88" } });
        const Rows rows = { { { "3", "03" }, c.Bad, { "4", "04" }, {}, {} } };
        const std::optional<FilterStop> stop = StoreFilterRows(rows, record.FilterEntries);
        ASSERT_TRUE(stop.has_value()) << c.Bad.ByteNo << "/" << c.Bad.Value;
        EXPECT_EQ(stop->Row, 1);
        EXPECT_EQ(stop->Which, c.Cell) << c.Bad.ByteNo << "/" << c.Bad.Value;
        EXPECT_EQ(record.FilterEntries[0].FilterValue(), "03");
        EXPECT_EQ(record.FilterEntries[1].FilterByteNo, c.StoredByteNo);
        EXPECT_EQ(record.FilterEntries[1].FilterValue(), "77");
        EXPECT_EQ(record.FilterEntries[2].FilterByteNo, 8) << "rows after the stop are untouched";
    }
}

TEST(ReceiveFilter, GridShowsUnusedEntriesEmptyAndByteNumbersUnsigned)
{
    FilterEntry entry {};
    entry.FilterByteNo = 0;
    entry.SetFilterValue("01");
    EXPECT_EQ(FilterRowOf(entry).ByteNo, "");
    EXPECT_EQ(FilterRowOf(entry).Value, "");
    entry.FilterByteNo = -1;
    EXPECT_EQ(FilterRowOf(entry).ByteNo, "4294967295");
    EXPECT_EQ(FilterRowOf(entry).Value, "01");
}

TEST(ReceiveFilter, FiveEntriesHideAndShowLines)
{
    SettingsRecord record = SettingsRecord::Defaults();
    record.FilterEnabled = 1;
    SetEntries(
        record.FilterEntries, { { 1, "01" }, { 0, "99" }, { 3, "0A" }, { 10, "" }, { 5, "0C" } });
    struct Line
    {
        const char *Body;
        bool Shown;
    };
    const Line lines[] = {
        { "01 02 0A 04 0C", true },
        { "01 FF 0A 00 0C 77", true },
        { "01 02 0B 04 0C", false },
        { "02 02 0A 04 0C", false },
        { "01 02 0a 04 0C", false }, // case counts
        { "01 02 0A 04", false }, // too short for byte 5
        { "01 02 0A 04 0", false },
        { "", false },
    };
    for (const Line &line : lines)
        EXPECT_EQ(PassesReceiveFilter(record, line.Body), line.Shown) << line.Body;

    // A condition on byte 10 hides every shorter line.
    SetEntries(record.FilterEntries, { { 10, "00" }, { 0, "" }, { 0, "" }, { 0, "" }, { 0, "" } });
    EXPECT_FALSE(PassesReceiveFilter(record, "00 00 00 00 00 00 00 00 00"));
    EXPECT_TRUE(PassesReceiveFilter(record, "00 00 00 00 00 00 00 00 00 00"));

    record.FilterEnabled = 0;
    EXPECT_TRUE(PassesReceiveFilter(record, ""));
}

} // namespace
