#pragma once

#include <QRectF>
#include <QSizeF>

#include <memory>
#include <optional>
#include <utility>

class QPainter;
class QTextDocument;
class QPlainTextEdit;
class TPagePreview;

// Cuts a text view's formatted text into pages. The text keeps the view's
// fonts and colours and is laid out, as on the screen, into a content area of
// 9.5 x 13.2 inches; each page is that area stretched into a target rectangle.
// Pages break only between lines of the layout, so no line is lost or repeated.
class TPrintLayout
{
public:
    static constexpr double ContentWidthInches = 9.5;
    static constexpr double ContentHeightInches = 13.2;
    static constexpr int PageInset = 30;

    // Lays out a copy of `source`; later changes of the view do not reach it.
    explicit TPrintLayout(const QTextDocument &source);
    ~TPrintLayout();

    // Character index of the first character of the next page.
    int PageStart = 0;
    // The farthest next-page index reached so far; only grows.
    int FormattedEnd = 0;

    // True when a page from PageStart would reach beyond every page formed so far.
    bool HasMorePages() const;
    // Draws the page that starts at PageStart stretched into `target` and moves
    // PageStart to the start of the following page.
    void RenderPage(QPainter &target, const QRectF &targetRect);

    // The content area in the layout's pixels (the screen's logical resolution).
    QSizeF ContentSize() const { return content_; }
    // The index of the first character that does not fit on a page beginning at `start`.
    int MeasurePage(int start) const;

private:
    int MeasureFrom(int start) const;
    int TextEnd() const;
    void DrawRange(QPainter &painter, int start, int end) const;

    std::unique_ptr<QTextDocument> document_;
    QSizeF content_;
    mutable std::optional<std::pair<int, int>> lastMeasured_; // start, next page
};

// Forms every page of the monitor's text into `sink`, which the caller has
// emptied: one NewPage / EndPage pair per page.
void PaginateMonitor(const QPlainTextEdit &monitor, TPagePreview &sink);
