#pragma once

// The arithmetic of the page view: where the pages of a zoomable, scrollable
// grid stand, how far it scrolls, and which page point a click lands on.
// Sizes are screen pixels unless they say page units (96 per inch at zoom 1).

enum class TZoomMode { ActualSize, WholePage, Free };
enum class TMouseMode { None, ZoomIn, ZoomOut };

// A page and a point on it in page units; page -1 means none.
struct TPageAnchor
{
    int Page = 0;
    int X = 0;
    int Y = 0;
    bool operator==(const TPageAnchor &) const = default;
};

struct TPageRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TPageRect &) const = default;
};

// The space the grid is shown in: the inside of the frame with no scroll bar
// shown, and the thickness of each scroll bar.
struct TViewArea
{
    int Width = 0;
    int Height = 0;
    int VerticalBarWidth = 0;
    int HorizontalBarHeight = 0;
};

// Rounds to the nearest integer, halves to even.
int RoundHalfEven(double value);

class TPageGrid
{
public:
    static constexpr int PaperWidth = 816;
    static constexpr int PaperHeight = 1056;
    static constexpr int PageGap = 30;
    static constexpr float MinZoom = 0.1f;
    static constexpr float MaxZoom = 5.0f;

    float Zoom = 1.0f;
    TZoomMode ZoomMode = TZoomMode::ActualSize;
    bool SingleColumn = false;
    int CurrentPage = -1;
    int Columns = 1;
    int Rows = 0;
    int CenterOffset = 0;
    int ScrollX = 0;
    int ScrollY = 0;
    int MaxScrollX = 0;
    int MaxScrollY = 0;
    bool HorizontalBar = false;
    bool VerticalBar = false;
    TPageAnchor Anchor;

    // The view's client size as it is now: the area less the bars shown.
    int ClientWidth(const TViewArea &area) const;
    int ClientHeight(const TViewArea &area) const;

    // The zoom that fits a page into the view for `mode`; never below MinZoom,
    // so a view smaller than the margins still has a positive zoom. Free keeps Zoom.
    float FitZoom(TZoomMode mode, const TViewArea &area) const;
    // Takes z when it lies strictly between the limits and differs from Zoom;
    // without an anchor, zooming keeps the top middle of the current page in
    // view. Says whether the zoom changed (the caller then lays out again).
    bool SetZoom(float z);
    // The zoom one Zoom In or Zoom Out click asks for.
    static float ZoomInStep(float zoom);
    static float ZoomOutStep(float zoom);

    // Grid, scroll bars, centring and scroll positions for `pageCount` pages.
    void UpdateLayout(int pageCount, const TViewArea &area);
    // Back to no page: no current page, scrolled to the top left.
    void ClearPages();

    int PageWidthPixels() const;
    int PageHeightPixels() const;
    TPageRect PageRect(int index) const;
    // The page and page point under a client position; page and point -1 when
    // the position is in a gap, a margin or an empty cell.
    TPageAnchor HitTest(int x, int y, int pageCount) const;

    struct ClickResult
    {
        bool CurrentPageChanged = false;
        bool ZoomChanged = false;
    };
    // A left click: the point under it becomes the anchor; a page under it
    // becomes current and, in a zoom mouse mode, the zoom takes one step.
    ClickResult Click(int x, int y, int pageCount, TMouseMode mode);

    // Scrolls the vertical axis by a wheel turn (120 per notch, positive
    // upwards); says whether the position moved.
    bool Wheel(int delta);

private:
    int ScrollFor(int cell, int pageSize, int anchorPoint, int clientSize, int maxScroll) const;
};
