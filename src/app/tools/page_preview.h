#pragma once

#include "tools/page_grid.h"

#include <QAbstractScrollArea>
#include <QPicture>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QPainter;
class TPrintJobs;

// Holds page pictures of 816 x 1056 page units (8.5 x 11 inches at 96 per
// inch) and shows them as paper on a grey desk: laid out in a grid, zoomed,
// scrolled, the page clicked last framed in blue. Prints its pictures too.
class TPagePreview : public QAbstractScrollArea
{
    Q_OBJECT
public:
    static constexpr int PaperWidth = TPageGrid::PaperWidth;
    static constexpr int PaperHeight = TPageGrid::PaperHeight;
    static constexpr uint32_t CurrentPageBorderColor = 0xC56A31;

    explicit TPagePreview(QWidget *parent = nullptr);
    ~TPagePreview() override;

    QString Title = "Printing ...";

    void ClearPages();
    // Appends a blank page and returns a painter on it, open until EndPage.
    QPainter *NewPage();
    void EndPage();
    int PageCount() const { return int(pages_.size()); }
    const QPicture &Page(int index) const { return *pages_.at(std::size_t(index)); }

    int CurrentPage() const { return grid_.CurrentPage; }
    void SetCurrentPage(int index);
    float Zoom() const { return grid_.Zoom; }
    void SetZoom(float zoom);
    TZoomMode ZoomMode() const { return grid_.ZoomMode; }
    bool SingleColumn() const { return grid_.SingleColumn; }
    void ActualSize();
    void FullPage();
    TMouseMode MouseMode() const { return mouseMode_; }
    void SetMouseMode(TMouseMode mode);
    const TPageGrid &Grid() const { return grid_; }
    // Where page `index` stands in the view, in viewport pixels.
    QRect PageRect(int index) const;

    // Every page as one job named Title.
    void PrintAll(TPrintJobs &jobs) const;
    // Page `index` (0-based) as a job of its own, named Title - Page <index + 1>.
    void PrintPage(TPrintJobs &jobs, int index) const;

    // Draws a page picture stretched over `target`, whatever its proportions.
    static void DrawPageStretched(QPainter &painter, const QPicture &page, const QRect &target);

signals:
    // The layout, the current page or the mouse mode changed.
    void Changed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateLayout();
    void ShowScrollBars();
    TViewArea Area() const;
    void PaintPage(QPainter &painter, int index, const QRect &rect) const;

    TPageGrid grid_;
    TMouseMode mouseMode_ = TMouseMode::None;
    std::vector<std::unique_ptr<QPicture>> pages_;
    std::unique_ptr<QPainter> openPage_;
};
