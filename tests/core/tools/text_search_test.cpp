#include "tools/monitor_text.h"
#include "tools/text_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TMonitorText Lines(const std::vector<std::u16string> &lines)
{
    TMonitorText text;
    for (std::size_t i = 0; i < lines.size(); ++i)
        text.AddLine(lines[i], i + 1 < lines.size());
    return text;
}

std::vector<int32_t> FindNextRun(
    std::u16string_view text, std::u16string_view needle, bool matchCase, int steps)
{
    TTextFinder finder;
    std::vector<int32_t> hits;
    for (int i = 0; i < steps; ++i)
        hits.push_back(finder.FindNext(text, needle, matchCase));
    return hits;
}

} // namespace

TEST(MonitorText, JoinsLinesWithCrLfAndMapsEveryCharacterToTheViewsOffset)
{
    // Lines of different lengths, so an offset that is one off per line lands
    // on a different character further down.
    const std::vector<std::u16string> lines
        = { u"[R x] 01 02", u"", u"x", u"[T x] 0A 0B 0C 0D", u"\u4e2d\u6587 text", u"last" };
    const TMonitorText text = Lines(lines);
    std::u16string view; // the view's own text: one character per break
    for (std::size_t i = 0; i < lines.size(); ++i)
        view += lines[i] + (i + 1 < lines.size() ? u"\n" : u"");
    ASSERT_EQ(text.Text().size(), view.size() + lines.size() - 1);

    for (std::size_t offset = 0; offset < text.Text().size(); ++offset) {
        const char16_t c = text.Text()[offset];
        if (c == u'\n')
            continue; // the second half of a break
        const std::size_t mapped = text.ViewOffset(offset);
        ASSERT_LT(mapped, view.size()) << offset;
        EXPECT_EQ(view[mapped], c == u'\r' ? u'\n' : c) << offset;
    }
    EXPECT_EQ(text.ViewOffset(text.Text().size()), view.size());
    // The LF of a break stands for the break, so a selection that ends there ends before it.
    EXPECT_EQ(text.ViewOffset(std::u16string_view(text.Text()).find(u"\r\n") + 1), lines[0].size());
}

TEST(MonitorText, LineAtCountsWrappedLinesAndGivesTheBreakToTheLineItEnds)
{
    TMonitorText text;
    text.AddLine(u"abc", false); // wrapped: continues on the next line
    text.AddLine(u"def", true);
    text.AddLine(u"gh", false);
    EXPECT_EQ(text.Text(), u"abcdef\r\ngh");
    const std::vector<std::size_t> expected = { 0, 0, 0, 1, 1, 1, 1, 1, 2, 2, 2 };
    for (std::size_t offset = 0; offset < expected.size(); ++offset)
        EXPECT_EQ(text.LineAt(offset), expected[offset]) << offset;
    EXPECT_EQ(text.LineText(1), u"def");
    EXPECT_EQ(text.ViewOffset(8), 7u); // wrapped lines add no break of their own
}

TEST(TextFinder, FindNextNeverOverlapsAndStartsOverAfterTheLastHit)
{
    EXPECT_EQ(FindNextRun(u"aaaa", u"aa", true, 5), (std::vector<int32_t> { 1, 3, 0, 1, 3 }));
    EXPECT_EQ(FindNextRun(u"ab\r\nab", u"b\r\na", true, 3), (std::vector<int32_t> { 2, 0, 2 }));
    EXPECT_EQ(FindNextRun(u"abc", u"", true, 2), (std::vector<int32_t> { 0, 0 }));
    EXPECT_EQ(FindNextRun(u"", u"a", true, 1), (std::vector<int32_t> { 0 }));
}

TEST(TextFinder, FoldsOnlyAsciiLettersUnlessCaseMatters)
{
    struct Case
    {
        std::u16string Text, Needle;
        bool MatchCase;
        int32_t Expected;
    };
    const Case cases[] = {
        { u"xx ABC", u"abc", false, 4 },
        { u"xx ABC", u"abc", true, 0 },
        { u"xx abc", u"ABC", false, 4 },
        { u"\u00c9t\u00e9", u"\u00e9t\u00c9", false, 0 }, // é and É stay different
        { u"\u00c9T\u00e9", u"\u00c9t\u00e9", false, 1 },
        { u"[x] \"q\" <b>&amp;", u"<B>&AMP;", false, 9 },
        { u"\u4e2d\u6587", u"\u6587", false, 2 },
    };
    for (const Case &c : cases) {
        TTextFinder finder;
        EXPECT_EQ(finder.FindNext(c.Text, c.Needle, c.MatchCase), c.Expected)
            << std::string(c.Needle.begin(), c.Needle.end());
    }
}

TEST(TextFinder, NextStartUsesTheLengthOfTheCurrentSearchText)
{
    TTextFinder finder;
    EXPECT_EQ(finder.FindNext(u"abcabc", u"abc", true), 1);
    // Start = 1 + 1: the shorter text is found inside the previous hit.
    EXPECT_EQ(finder.FindNext(u"abcabc", u"b", true), 2);
    EXPECT_EQ(finder.FindNext(u"abcabc", u"bcab", true), 0);
}

TEST(FindAllRun, ListsEachLineOnceInTextOrderAndStopsAtTheRecordedEnd)
{
    const TMonitorText text = Lines({ u"[1] ab ab ab", u"none", u"[3] AB", u"ab" });
    TFindAllRun run(text, u"ab", false);
    std::vector<std::size_t> listed;
    std::vector<int32_t> positions;
    while (const auto hit = run.Next()) {
        positions.push_back(hit->Position);
        if (hit->FirstOnLine)
            listed.push_back(hit->Line);
    }
    EXPECT_EQ(listed, (std::vector<std::size_t> { 0, 2, 3 }));
    EXPECT_EQ(positions, (std::vector<int32_t> { 5, 8, 11, 25, 29 }));
    EXPECT_FALSE(run.Next());

    TFindAllRun none(text, u"", false);
    EXPECT_FALSE(none.Next());
}

TEST(FindAllRun, AHitAcrossALineBreakBelongsToTheLineItStartsOn)
{
    const TMonitorText text = Lines({ u"ab", u"ab" });
    TFindAllRun run(text, u"b\r\na", true);
    const auto hit = run.Next();
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->Position, 2);
    EXPECT_EQ(hit->Line, 0u);
    EXPECT_FALSE(run.Next());
}

TEST(SplitFoundLine, StampEndsAtTheFirstBracketAndTheBodyIsTrimmed)
{
    struct Case
    {
        std::u16string Line, Stamp, Body;
    };
    const Case cases[] = {
        { u"[14:03:27  20 Rx] 01 03 02", u"[14:03:27  20 Rx] ", u"01 03 02" },
        { u"[14:03:27  20] 41 42 20 ", u"[14:03:27  20] ", u"41 42 20" },
        { u"[T x]  AT\t ", u"[T x] ", u"AT" },
        { u"  no stamp here \x01", u"", u"no stamp here" },
        { u"]x]", u"] ", u"x]" },
        { u"", u"", u"" },
    };
    for (const Case &c : cases) {
        const FoundLine found = SplitFoundLine(c.Line);
        EXPECT_EQ(found.Stamp, c.Stamp);
        EXPECT_EQ(found.Body, c.Body);
    }
}
