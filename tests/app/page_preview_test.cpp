// The page view as a user meets it: pages on a desk, clicks, zooming,
// scrolling, and the jobs it prints.
#include "app/shell/colors.h"
#include "app/tools/page_preview.h"
#include "support/qt_recording_print_jobs.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

class PagePreviewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        preview_.resize(1000, 800);
        preview_.show();
        QApplication::processEvents();
        QObject::connect(&preview_, &TPagePreview::Changed, [this] { ++changes_; });
    }

    // Blank pages, or pages whose whole paper is one colour, so stretching
    // shows in every corner.
    void AddPages(int count, QColor colour = QColor())
    {
        for (int i = 0; i < count; ++i) {
            QPainter *page = preview_.NewPage();
            if (colour.isValid())
                page->fillRect(0, 0, TPagePreview::PaperWidth, TPagePreview::PaperHeight, colour);
            preview_.EndPage();
        }
    }

    void Click(QPoint at)
    {
        QMouseEvent press(QEvent::MouseButtonPress, at, preview_.viewport()->mapToGlobal(at),
            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(preview_.viewport(), &press);
    }

    QImage Screen() { return preview_.viewport()->grab().toImage(); }

    TPagePreview preview_;
    int changes_ = 0;
};

TEST_F(PagePreviewTest, ClearingLeavesNoPageNoBarsAndKeepsTheZoom)
{
    preview_.ClearPages();
    EXPECT_EQ(preview_.PageCount(), 0);
    EXPECT_EQ(preview_.CurrentPage(), -1);
    EXPECT_FALSE(preview_.verticalScrollBar()->isVisible());
    EXPECT_FALSE(preview_.horizontalScrollBar()->isVisible());

    AddPages(3);
    EXPECT_TRUE(preview_.verticalScrollBar()->isVisible());
    preview_.SetMouseMode(TMouseMode::ZoomIn);
    Click(preview_.PageRect(0).center());
    ASSERT_EQ(preview_.CurrentPage(), 0);
    const float zoom = preview_.Zoom();
    EXPECT_FLOAT_EQ(zoom, 1.1f);

    preview_.ClearPages();
    EXPECT_EQ(preview_.PageCount(), 0);
    EXPECT_EQ(preview_.CurrentPage(), -1);
    EXPECT_FALSE(preview_.verticalScrollBar()->isVisible());
    EXPECT_FALSE(preview_.horizontalScrollBar()->isVisible());
    EXPECT_EQ(preview_.Zoom(), zoom);
    EXPECT_EQ(preview_.MouseMode(), TMouseMode::ZoomIn);
}

TEST_F(PagePreviewTest, PagesLookLikePaperAndTheClickedOneIsFramedInBlue)
{
    AddPages(3);
    preview_.SetMouseMode(TMouseMode::ZoomOut); // a free zoom: two columns of half pages
    preview_.SetMouseMode(TMouseMode::None);
    preview_.SetZoom(0.5f);
    const QRect page0 = preview_.PageRect(0);
    const QRect page1 = preview_.PageRect(1);
    ASSERT_TRUE(page1.top() < preview_.viewport()->height());

    changes_ = 0;
    Click(QPoint(page1.left() - 10, page1.center().y())); // the desk beside the page
    EXPECT_EQ(preview_.CurrentPage(), -1);
    EXPECT_EQ(changes_, 0);

    Click(page1.topLeft() + QPoint(40, 40));
    EXPECT_EQ(preview_.CurrentPage(), 1);
    EXPECT_EQ(changes_, 1);

    const QImage screen = Screen();
    const QRgb blue = ColorFromBgr(TPagePreview::CurrentPageBorderColor).rgb();
    const QRgb black = qRgb(0, 0, 0);
    const QRgb desk = preview_.palette().color(QPalette::Dark).rgb();
    EXPECT_EQ(screen.pixel(page1.left(), page1.top() + 5), blue);
    EXPECT_EQ(screen.pixel(page1.right(), page1.bottom() - 5), blue);
    EXPECT_EQ(screen.pixel(page0.left(), page0.top() + 5), black);
    EXPECT_EQ(screen.pixel(page0.center()), qRgb(255, 255, 255));
    // The shadow to the right and below, the grey desk around.
    EXPECT_EQ(screen.pixel(page0.right() + 2, page0.top() + 10), black);
    EXPECT_EQ(screen.pixel(page0.left() + 10, page0.bottom() + 2), black);
    EXPECT_EQ(screen.pixel(page0.left() + 2, page0.bottom() + 2), desk);
    EXPECT_EQ(screen.pixel(page0.left() - 5, page0.top() + 10), desk);
}

TEST_F(PagePreviewTest, FullPageFitsEachPageAndActualSizeSetsThemSideBySide)
{
    preview_.resize(1900, 900);
    QApplication::processEvents();
    AddPages(3);
    preview_.FullPage();
    EXPECT_TRUE(preview_.SingleColumn());
    EXPECT_EQ(preview_.Grid().Columns, 1);
    const QRect fitted = preview_.PageRect(0);
    EXPECT_LE(fitted.bottom() + 30, preview_.viewport()->height());
    EXPECT_LT(fitted.width(), TPagePreview::PaperWidth);

    preview_.ActualSize();
    EXPECT_FALSE(preview_.SingleColumn());
    EXPECT_EQ(preview_.Zoom(), 1.0f);
    EXPECT_EQ(preview_.PageRect(0).size(), QSize(816, 1056));
    EXPECT_EQ(preview_.Grid().Columns, 2);
    EXPECT_EQ(preview_.PageRect(1).top(), preview_.PageRect(0).top());
}

TEST_F(PagePreviewTest, ZoomOutClicksShrinkPagesAroundTheClickedPoint)
{
    AddPages(2);
    preview_.SetMouseMode(TMouseMode::ZoomOut);
    EXPECT_EQ(preview_.ZoomMode(), TZoomMode::Free);
    for (int i = 0; i < 5; ++i)
        Click(preview_.PageRect(1).center());
    EXPECT_NEAR(preview_.Zoom(), 0.5f, 1e-5);
    EXPECT_EQ(preview_.CurrentPage(), 1);
    EXPECT_EQ(preview_.PageRect(0).width(), 408);

    preview_.SetMouseMode(TMouseMode::None);
    Click(preview_.PageRect(0).center());
    EXPECT_EQ(preview_.CurrentPage(), 0);
    EXPECT_NEAR(preview_.Zoom(), 0.5f, 1e-5); // no mouse mode: no zoom
}

TEST_F(PagePreviewTest, WheelAndScrollBarMoveThePages)
{
    AddPages(3);
    QScrollBar *bar = preview_.verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->maximum(), preview_.Grid().MaxScrollY);
    const int top = preview_.PageRect(0).top();

    const QPointF at(100, 100);
    QWheelEvent down(at, preview_.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -240),
        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(preview_.viewport(), &down);
    EXPECT_EQ(preview_.PageRect(0).top(), top - 240);
    EXPECT_EQ(bar->value(), 240);

    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(preview_.Grid().ScrollY, 235);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(preview_.Grid().ScrollY, 215);
    bar->setValue(bar->maximum());
    EXPECT_EQ(preview_.Grid().ScrollY, preview_.Grid().MaxScrollY);
}

TEST_F(PagePreviewTest, PrintsAllPagesAsOneJobAndOnePageAsItsOwn)
{
    TRecordingPrintJobs jobs;
    preview_.PrintAll(jobs); // nothing to print: no job
    EXPECT_TRUE(jobs.Log->Jobs.empty());

    AddPages(3, Qt::red);
    preview_.PrintAll(jobs);
    preview_.PrintPage(jobs, 1);
    preview_.PrintPage(jobs, 3); // past the last page
    using Job = TRecordingPrintJobs::Job;
    EXPECT_EQ(jobs.Log->Jobs,
        (std::vector<Job> { { "Printing ...", 3 }, { "Printing ... - Page 2", 1 } }));

    // The page is stretched over the whole printable area, whatever its shape.
    const QImage printed = jobs.Log->LastPage;
    for (QPoint corner : { QPoint(0, 0), QPoint(printed.width() - 1, printed.height() - 1),
             QPoint(printed.width() - 1, 0), QPoint(0, printed.height() - 1) })
        EXPECT_EQ(printed.pixelColor(corner), QColor(Qt::red)) << corner.x() << "," << corner.y();
}

} // namespace
