#include "tools/page_grid.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kBar = 16;

TViewArea Area(int width, int height)
{
    return { width, height, kBar, kBar };
}

struct LayoutCase
{
    const char *Name;
    TViewArea Area;
    int Pages;
    TZoomMode Mode;
    float Zoom; // for Free
    bool SingleColumn;
    TPageAnchor Anchor;
    // expected
    int Columns, Rows;
    bool HorizontalBar, VerticalBar;
    int CenterOffset, MaxScrollX, MaxScrollY, ScrollX, ScrollY;
};

TEST(PageGrid, LayoutTable)
{
    const std::vector<LayoutCase> cases = {
        // 816 x 1056 pages, one column: only the vertical bar, the column centred
        // in what the bar leaves (984 - 876) / 2.
        { "actual size, narrow view", Area(1000, 800), 3, TZoomMode::ActualSize, 0, false,
            { 0, 0, 0 }, 1, 3, false, true, 54, 0, 2488, 0, 0 },
        // As many columns as fit: 2700 - 876 leaves room for two more pages.
        { "actual size, wide view", Area(2700, 1200), 5, TZoomMode::ActualSize, 0, false,
            { 0, 0, 0 }, 3, 2, false, true, 58, 0, 1002, 0, 0 },
        { "wide view, one column", Area(2700, 1200), 5, TZoomMode::ActualSize, 0, true, { 0, 0, 0 },
            1, 5, false, true, 904, 0, 4260, 0, 0 },
        // Whole page: 524 / 1056 of a page fits the height (600 - 16 - 60): 405 x 524.
        { "whole page", Area(800, 600), 4, TZoomMode::WholePage, 0, true, { 0, 0, 0 }, 1, 4, false,
            true, 159, 0, 1646, 0, 0 },
        // Zoom 2 centred on the middle of page 1: both bars, both positions from the anchor.
        { "free zoom on an anchor", Area(1000, 800), 2, TZoomMode::Free, 2.0f, false,
            { 1, 408, 528 }, 1, 2, true, true, 0, 708, 3530, 354, 2836 },
        // An anchor past the right end of the grid is clamped to the largest position.
        { "anchor clamped", Area(1000, 800), 2, TZoomMode::Free, 2.0f, false, { 1, 816, 1056 }, 1,
            2, true, true, 0, 708, 3530, 708, 3530 },
        { "no anchor scrolls to the start", Area(1000, 800), 2, TZoomMode::Free, 2.0f, false,
            { -1, -1, -1 }, 1, 2, true, true, 0, 708, 3530, 0, 0 },
        { "one page that fits", Area(1000, 1200), 1, TZoomMode::ActualSize, 0, false, { 0, 0, 0 },
            1, 1, false, false, 62, 0, 0, 0, 0 },
    };
    for (const LayoutCase &c : cases) {
        TPageGrid grid;
        grid.ZoomMode = c.Mode;
        if (c.Mode == TZoomMode::Free)
            grid.Zoom = c.Zoom;
        grid.SingleColumn = c.SingleColumn;
        grid.Anchor = c.Anchor;
        grid.UpdateLayout(c.Pages, c.Area);
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(grid.Columns, c.Columns);
        EXPECT_EQ(grid.Rows, c.Rows);
        EXPECT_EQ(grid.HorizontalBar, c.HorizontalBar);
        EXPECT_EQ(grid.VerticalBar, c.VerticalBar);
        EXPECT_EQ(grid.CenterOffset, c.CenterOffset);
        EXPECT_EQ(grid.MaxScrollX, c.MaxScrollX);
        EXPECT_EQ(grid.MaxScrollY, c.MaxScrollY);
        EXPECT_EQ(grid.ScrollX, c.ScrollX);
        EXPECT_EQ(grid.ScrollY, c.ScrollY);
    }
}

TEST(PageGrid, WholePageFitsEachPageAndStaysPositiveInATinyView)
{
    TPageGrid grid;
    grid.ZoomMode = TZoomMode::WholePage;
    grid.UpdateLayout(4, Area(800, 600));
    EXPECT_EQ(grid.PageWidthPixels(), 405);
    EXPECT_EQ(grid.PageHeightPixels(), 524);
    // The fit is taken again with the vertical bar now shown: the height still decides.
    grid.UpdateLayout(4, Area(800, 600));
    EXPECT_EQ(grid.PageHeightPixels(), 524);

    // Smaller than the margins: the fit would be negative.
    for (const TViewArea area : { Area(50, 40), Area(0, 0), Area(40, 2000) }) {
        grid.UpdateLayout(2, area);
        EXPECT_GT(grid.Zoom, 0.0f);
        EXPECT_GT(grid.PageWidthPixels(), 0);
        const TPageAnchor hit = grid.HitTest(grid.PageRect(0).Left + 1, 31, 2);
        EXPECT_EQ(hit.Page, 0);
    }
}

TEST(PageGrid, PageRectsFollowGridScrollAndCentring)
{
    TPageGrid grid;
    grid.UpdateLayout(5, Area(2700, 1200)); // 3 columns, centred by 58
    EXPECT_EQ(grid.PageRect(0), (TPageRect { 88, 30, 904, 1086 }));
    EXPECT_EQ(grid.PageRect(2), (TPageRect { 1780, 30, 2596, 1086 }));
    EXPECT_EQ(grid.PageRect(4), (TPageRect { 934, 1116, 1750, 2172 }));
    grid.ScrollY = 100;
    EXPECT_EQ(grid.PageRect(4).Top, 1016);
}

TEST(PageGrid, HitTestTable)
{
    TPageGrid grid;
    grid.UpdateLayout(5, Area(2700, 1200)); // 3 columns of 816 x 1056, centre offset 58
    const int left = 58 + 30;
    struct Hit
    {
        int X, Y, ScrollY;
        TPageAnchor Expected;
    };
    const TPageAnchor none { -1, -1, -1 };
    const std::vector<Hit> hits = {
        { left, 30, 0, { 0, 0, 0 } },
        { left + 815, 30 + 1055, 0, { 0, 815, 1055 } },
        { left - 1, 30, 0, none }, // left margin
        { left + 816, 30, 0, none }, // gap between columns
        { left + 846, 30, 0, { 1, 0, 0 } }, // second column
        { left, 30 + 1056 + 5, 0, none }, // gap between rows
        { left + 846, 30 + 1086, 0, { 4, 0, 0 } }, // second row
        { left + 2 * 846 + 5, 1116 + 5, 0, none }, // empty cell after the last page
        { 10, 30, 0, none }, // left of a centred grid
        { left + 408, 30, 100, { 0, 408, 100 } }, // scrolled down by 100
        { left + 100, 1000, 1002, { 3, 100, 886 } },
    };
    for (const Hit &h : hits) {
        grid.ScrollY = h.ScrollY;
        EXPECT_EQ(grid.HitTest(h.X, h.Y, 5), h.Expected) << h.X << "," << h.Y;
    }

    grid.ZoomMode = TZoomMode::Free;
    grid.Zoom = 0.5f;
    grid.UpdateLayout(5, Area(2700, 1200));
    const TPageRect page1 = grid.PageRect(1);
    EXPECT_EQ(grid.HitTest(page1.Left + 204, page1.Top + 264, 5), (TPageAnchor { 1, 408, 528 }));
}

TEST(PageGrid, ClickMarksThePageAndStepsTheZoom)
{
    TPageGrid grid;
    grid.UpdateLayout(3, Area(1000, 800));
    const TPageRect page1 = grid.PageRect(1);

    // A click in the gap changes nothing, whatever the mouse mode.
    for (TMouseMode mode : { TMouseMode::None, TMouseMode::ZoomIn, TMouseMode::ZoomOut }) {
        const auto result = grid.Click(page1.Left - 5, page1.Top + 10, 3, mode);
        EXPECT_FALSE(result.CurrentPageChanged);
        EXPECT_FALSE(result.ZoomChanged);
        EXPECT_EQ(grid.CurrentPage, -1);
        EXPECT_EQ(grid.Zoom, 1.0f);
    }

    auto result = grid.Click(page1.Left + 10, page1.Top + 10, 3, TMouseMode::None);
    EXPECT_TRUE(result.CurrentPageChanged);
    EXPECT_FALSE(result.ZoomChanged);
    EXPECT_EQ(grid.CurrentPage, 1);
    EXPECT_EQ(grid.Anchor, (TPageAnchor { 1, 10, 10 }));
    EXPECT_FALSE(
        grid.Click(page1.Left + 20, page1.Top + 10, 3, TMouseMode::None).CurrentPageChanged);

    grid.ZoomMode = TZoomMode::Free;
    grid.SingleColumn = true;
    result = grid.Click(page1.Left + 408, page1.Top + 500, 3, TMouseMode::ZoomIn);
    EXPECT_TRUE(result.ZoomChanged);
    EXPECT_FALSE(grid.SingleColumn);
    EXPECT_FLOAT_EQ(grid.Zoom, 1.1f);
    grid.UpdateLayout(3, Area(1000, 800));
    // The clicked point moves to the middle of the view (no horizontal bar at 1.1).
    ASSERT_FALSE(grid.HorizontalBar);
    EXPECT_EQ(grid.PageRect(1).Top + RoundHalfEven(500 * 1.1f), 800 / 2);
}

TEST(PageGrid, ZoomStepsStopJustInsideTheLimits)
{
    for (const bool in : { true, false }) {
        TPageGrid grid;
        int steps = 0;
        while (
            grid.SetZoom(in ? TPageGrid::ZoomInStep(grid.Zoom) : TPageGrid::ZoomOutStep(grid.Zoom)))
            ASSERT_LT(++steps, 100);
        if (in) {
            // Single-precision steps fall a little short: 40 steps end just below 5.
            EXPECT_EQ(steps, 40);
            EXPECT_GT(grid.Zoom, 4.999f);
            EXPECT_LT(grid.Zoom, 5.0f);
        } else {
            EXPECT_EQ(steps, 9); // 1.0 down to 0.1 and a little
            EXPECT_GT(grid.Zoom, 0.1f - 1e-6f);
            EXPECT_LT(grid.Zoom, 0.11f);
        }
        const float last = grid.Zoom;
        EXPECT_FALSE(grid.SetZoom(in ? TPageGrid::ZoomInStep(last) : TPageGrid::ZoomOutStep(last)));
        EXPECT_EQ(grid.Zoom, last);
    }
}

TEST(PageGrid, SetZoomRefusesLimitsAndSameZoomAndAnchorsOnTheCurrentPage)
{
    TPageGrid grid;
    for (float refused : { 0.1f - 1e-3f, 5.0f, 7.0f, -1.0f, 0.0f, 1.0f })
        EXPECT_FALSE(grid.SetZoom(refused)) << refused;
    EXPECT_EQ(grid.Zoom, 1.0f);

    grid.Anchor = { -1, -1, -1 };
    grid.CurrentPage = 2;
    EXPECT_TRUE(grid.SetZoom(1.5f));
    EXPECT_EQ(grid.Anchor, (TPageAnchor { 2, 408, 0 }));
    grid.CurrentPage = 0;
    EXPECT_TRUE(grid.SetZoom(2.0f));
    EXPECT_EQ(grid.Anchor.Page, 2); // an anchor that exists is kept
}

TEST(PageGrid, NoPagesMeansNoBarsNoCurrentPageAndNoScroll)
{
    TPageGrid grid;
    grid.ZoomMode = TZoomMode::Free;
    grid.Zoom = 2.0f;
    grid.CurrentPage = 1;
    grid.UpdateLayout(3, Area(1000, 800));
    grid.ScrollY = 300;
    grid.UpdateLayout(0, Area(1000, 800));
    EXPECT_FALSE(grid.HorizontalBar);
    EXPECT_FALSE(grid.VerticalBar);
    EXPECT_EQ(grid.CurrentPage, -1);
    EXPECT_EQ(grid.ScrollX, 0);
    EXPECT_EQ(grid.ScrollY, 0);
    EXPECT_EQ(grid.Zoom, 2.0f); // the zoom survives
}

TEST(PageGrid, WheelScrollsWithinRange)
{
    TPageGrid grid;
    grid.UpdateLayout(3, Area(1000, 800)); // MaxScrollY 2488
    EXPECT_FALSE(grid.Wheel(120)); // already at the top
    EXPECT_TRUE(grid.Wheel(-120));
    EXPECT_EQ(grid.ScrollY, 120);
    EXPECT_TRUE(grid.Wheel(-5000));
    EXPECT_EQ(grid.ScrollY, 2488);
    EXPECT_FALSE(grid.Wheel(-120));
}

} // namespace
