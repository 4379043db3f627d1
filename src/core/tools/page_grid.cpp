#include "tools/page_grid.h"

#include <algorithm>
#include <cmath>

int RoundHalfEven(double value)
{
    return static_cast<int>(std::nearbyint(value)); // the default rounding mode ties to even
}

int TPageGrid::ClientWidth(const TViewArea &area) const
{
    return area.Width - (VerticalBar ? area.VerticalBarWidth : 0);
}

int TPageGrid::ClientHeight(const TViewArea &area) const
{
    return area.Height - (HorizontalBar ? area.HorizontalBarHeight : 0);
}

float TPageGrid::FitZoom(TZoomMode mode, const TViewArea &area) const
{
    switch (mode) {
    case TZoomMode::ActualSize:
        return 1.0f;
    case TZoomMode::WholePage: {
        const int margins = 2 * PageGap;
        const double byWidth
            = double(ClientWidth(area) - area.VerticalBarWidth - margins) / PaperWidth;
        const double byHeight
            = double(ClientHeight(area) - area.HorizontalBarHeight - margins) / PaperHeight;
        // A view smaller than its margins would give a zoom of zero or less,
        // and hit testing divides by the zoom.
        return std::max(MinZoom, static_cast<float>(std::min(byWidth, byHeight)));
    }
    case TZoomMode::Free:
        break;
    }
    return Zoom;
}

bool TPageGrid::SetZoom(float z)
{
    const long double wanted = z;
    if (wanted <= static_cast<long double>(0.1L) || wanted >= 5.0L || z == Zoom)
        return false;
    Zoom = z;
    if (Anchor.Page == -1)
        Anchor = { CurrentPage, PaperWidth / 2, 0 };
    return true;
}

// The step is taken in extended precision from the single-precision zoom and
// rounded back; a step that reaches a limit is refused by SetZoom, so the zoom
// stops just inside the limits.
float TPageGrid::ZoomInStep(float zoom)
{
    return static_cast<float>(std::min(static_cast<long double>(zoom) + 0.1L, 5.0L));
}

float TPageGrid::ZoomOutStep(float zoom)
{
    return static_cast<float>(std::max(static_cast<long double>(zoom) - 0.1L, 0.1L));
}

int TPageGrid::PageWidthPixels() const
{
    return RoundHalfEven(double(PaperWidth) * Zoom);
}

int TPageGrid::PageHeightPixels() const
{
    return RoundHalfEven(double(PaperHeight) * Zoom);
}

void TPageGrid::ClearPages()
{
    CurrentPage = -1;
    ScrollX = 0;
    ScrollY = 0;
}

int TPageGrid::ScrollFor(
    int cell, int pageSize, int anchorPoint, int clientSize, int maxScroll) const
{
    const int position = cell * pageSize + (cell + 1) * PageGap
        + RoundHalfEven(double(anchorPoint) * Zoom) - clientSize / 2;
    return std::clamp(position, 0, maxScroll);
}

void TPageGrid::UpdateLayout(int pageCount, const TViewArea &area)
{
    if (pageCount <= 0) {
        ClearPages();
        HorizontalBar = false;
        VerticalBar = false;
        MaxScrollX = 0;
        MaxScrollY = 0;
        return;
    }
    if (ZoomMode != TZoomMode::Free)
        Zoom = FitZoom(ZoomMode, area);
    const int pw = PageWidthPixels();
    const int ph = PageHeightPixels();

    Columns = 1;
    for (int rest = ClientWidth(area) - pw - 2 * PageGap; rest > pw + PageGap; rest -= pw + PageGap)
        ++Columns;
    if (SingleColumn)
        Columns = 1;
    Rows = (pageCount + Columns - 1) / Columns;

    const int gridWidth = pw * Columns + (Columns + 1) * PageGap;
    const int gridHeight = ph * Rows + (Rows + 1) * PageGap;
    // Each bar is decided on the client size left by the bars decided before it.
    HorizontalBar = gridWidth > ClientWidth(area);
    if (!HorizontalBar)
        ScrollX = 0;
    VerticalBar = gridHeight > ClientHeight(area);
    if (!VerticalBar)
        ScrollY = 0;

    const int clientWidth = ClientWidth(area);
    const int clientHeight = ClientHeight(area);
    CenterOffset = std::max(0, (clientWidth - gridWidth) / 2);
    MaxScrollX = std::max(0, gridWidth - clientWidth);
    MaxScrollY = std::max(0, gridHeight - clientHeight);
    // Without an anchor page both cells and points are -1 and the positions
    // come out below zero: the grid shows from its start.
    if (HorizontalBar)
        ScrollX = ScrollFor(Anchor.Page % Columns, pw, Anchor.X, clientWidth, MaxScrollX);
    if (VerticalBar)
        ScrollY = ScrollFor(Anchor.Page / Columns, ph, Anchor.Y, clientHeight, MaxScrollY);
}

TPageRect TPageGrid::PageRect(int index) const
{
    const int pw = PageWidthPixels();
    const int ph = PageHeightPixels();
    const int column = index % Columns;
    const int row = index / Columns;
    const int left = column * pw + (column + 1) * PageGap - ScrollX + CenterOffset;
    const int top = row * ph + (row + 1) * PageGap - ScrollY;
    return { left, top, left + pw, top + ph };
}

TPageAnchor TPageGrid::HitTest(int x, int y, int pageCount) const
{
    const int px = x + ScrollX - CenterOffset;
    const int py = y + ScrollY;
    const int cellWidth = PageWidthPixels() + PageGap;
    const int cellHeight = PageHeightPixels() + PageGap;
    TPageAnchor hit;
    hit.Page = px / cellWidth + (py / cellHeight) * Columns;
    hit.X = RoundHalfEven(double(px % cellWidth - PageGap) / Zoom);
    hit.Y = RoundHalfEven(double(py % cellHeight - PageGap) / Zoom);
    const bool onPaper = hit.X >= 0 && hit.X < PaperWidth && hit.Y >= 0 && hit.Y < PaperHeight;
    if (!onPaper || hit.Page < 0 || hit.Page >= pageCount)
        return { -1, -1, -1 };
    return hit;
}

TPageGrid::ClickResult TPageGrid::Click(int x, int y, int pageCount, TMouseMode mode)
{
    ClickResult result;
    Anchor = HitTest(x, y, pageCount);
    if (Anchor.Page == -1)
        return result;
    if (Anchor.Page != CurrentPage) {
        CurrentPage = Anchor.Page;
        result.CurrentPageChanged = true;
    }
    if (mode == TMouseMode::ZoomIn) {
        SingleColumn = false;
        result.ZoomChanged = SetZoom(ZoomInStep(Zoom));
    } else if (mode == TMouseMode::ZoomOut) {
        SingleColumn = false;
        result.ZoomChanged = SetZoom(ZoomOutStep(Zoom));
    }
    return result;
}

bool TPageGrid::Wheel(int delta)
{
    const int position = std::clamp(ScrollY - delta, 0, MaxScrollY);
    if (position == ScrollY)
        return false;
    ScrollY = position;
    return true;
}
