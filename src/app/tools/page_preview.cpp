#include "app/tools/page_preview.h"

#include "app/shell/colors.h"
#include "app/tools/print_jobs.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QWheelEvent>

namespace {

constexpr int kSmallStep = 5;
constexpr int kLargeStep = 20;
constexpr int kShadow = 4;

// A magnifying glass with a plus or a minus; its hot spot is the glass's centre.
QCursor ZoomCursor(bool zoomIn)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(19, 19), QPointF(28, 28));
    painter.drawEllipse(QPointF(12, 12), 9, 9);
    painter.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(19, 19), QPointF(28, 28));
    painter.setBrush(Qt::white);
    painter.setPen(QPen(Qt::black, 1.5));
    painter.drawEllipse(QPointF(12, 12), 9, 9);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(QPointF(8, 12), QPointF(16, 12));
    if (zoomIn)
        painter.drawLine(QPointF(12, 8), QPointF(12, 16));
    painter.end();
    return QCursor(pixmap, 12, 12);
}

} // namespace

TPagePreview::TPagePreview(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setFocusPolicy(Qt::ClickFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (QScrollBar *bar : { horizontalScrollBar(), verticalScrollBar() }) {
        bar->setSingleStep(kSmallStep);
        bar->setPageStep(kLargeStep);
    }
    // Everything is painted, the background included, on every paint.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
}

TPagePreview::~TPagePreview() = default;

void TPagePreview::ClearPages()
{
    openPage_.reset();
    pages_.clear();
    grid_.ClearPages();
    UpdateLayout();
    viewport()->update();
}

QPainter *TPagePreview::NewPage()
{
    openPage_.reset();
    pages_.push_back(std::make_unique<QPicture>());
    openPage_ = std::make_unique<QPainter>(pages_.back().get());
    UpdateLayout();
    return openPage_.get();
}

void TPagePreview::EndPage()
{
    if (openPage_) {
        openPage_->end();
        openPage_.reset();
        pages_.back()->setBoundingRect(QRect(0, 0, PaperWidth, PaperHeight));
    }
    viewport()->update();
}

void TPagePreview::SetCurrentPage(int index)
{
    if (index == grid_.CurrentPage)
        return;
    grid_.CurrentPage = index;
    viewport()->update();
    emit Changed();
}

void TPagePreview::SetZoom(float zoom)
{
    if (!grid_.SetZoom(zoom))
        return;
    UpdateLayout();
    viewport()->update();
}

void TPagePreview::ActualSize()
{
    grid_.SingleColumn = false;
    grid_.ZoomMode = TZoomMode::ActualSize;
    SetZoom(grid_.FitZoom(TZoomMode::ActualSize, Area()));
}

void TPagePreview::FullPage()
{
    grid_.SingleColumn = true;
    grid_.ZoomMode = TZoomMode::WholePage;
    SetZoom(grid_.FitZoom(TZoomMode::WholePage, Area()));
}

void TPagePreview::SetMouseMode(TMouseMode mode)
{
    if (mode == mouseMode_)
        return;
    mouseMode_ = mode;
    if (mode == TMouseMode::None) {
        viewport()->unsetCursor();
    } else {
        viewport()->setCursor(ZoomCursor(mode == TMouseMode::ZoomIn));
        grid_.ZoomMode = TZoomMode::Free;
    }
    emit Changed();
}

QRect TPagePreview::PageRect(int index) const
{
    const TPageRect r = grid_.PageRect(index);
    return QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1));
}

TViewArea TPagePreview::Area() const
{
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const QRect inside = contentsRect();
    return { inside.width(), inside.height(), extent, extent };
}

void TPagePreview::UpdateLayout()
{
    grid_.UpdateLayout(PageCount(), Area());
    ShowScrollBars();
    emit Changed();
}

void TPagePreview::ShowScrollBars()
{
    // The grid has already chosen the positions: the bars must not report the
    // old ones back while their ranges change.
    const QSignalBlocker blockH(horizontalScrollBar());
    const QSignalBlocker blockV(verticalScrollBar());
    setHorizontalScrollBarPolicy(
        grid_.HorizontalBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(grid_.VerticalBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    horizontalScrollBar()->setRange(0, grid_.MaxScrollX);
    horizontalScrollBar()->setValue(grid_.ScrollX);
    verticalScrollBar()->setRange(0, grid_.MaxScrollY);
    verticalScrollBar()->setValue(grid_.ScrollY);
}

void TPagePreview::scrollContentsBy(int, int)
{
    grid_.ScrollX = horizontalScrollBar()->value();
    grid_.ScrollY = verticalScrollBar()->value();
    viewport()->update();
}

void TPagePreview::wheelEvent(QWheelEvent *event)
{
    if (grid_.Wheel(event->angleDelta().y())) {
        const QSignalBlocker block(verticalScrollBar());
        verticalScrollBar()->setValue(grid_.ScrollY);
        viewport()->update();
    }
    event->accept();
}

void TPagePreview::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        const QPoint at = event->position().toPoint();
        const auto result = grid_.Click(at.x(), at.y(), PageCount(), mouseMode_);
        if (result.ZoomChanged)
            UpdateLayout();
        if (result.ZoomChanged || result.CurrentPageChanged)
            viewport()->update();
        if (result.CurrentPageChanged)
            emit Changed();
    }
    setFocus(Qt::MouseFocusReason);
    event->accept();
}

void TPagePreview::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Dark));
    const QRect client = viewport()->rect();
    for (int i = 0; i < PageCount(); ++i) {
        const QRect rect = PageRect(i);
        if (rect.intersects(client))
            PaintPage(painter, i, rect);
    }
}

void TPagePreview::PaintPage(QPainter &painter, int index, const QRect &rect) const
{
    painter.fillRect(rect, Qt::white);
    painter.setPen(
        index == grid_.CurrentPage ? ColorFromBgr(CurrentPageBorderColor) : QColor(Qt::black));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    const int right = rect.right() + 1;
    const int bottom = rect.bottom() + 1;
    painter.fillRect(QRect(right, rect.top() + kShadow, kShadow, rect.height()), Qt::black);
    painter.fillRect(
        QRect(rect.left() + kShadow, bottom, rect.width() - kShadow, kShadow), Qt::black);
    DrawPageStretched(painter, *pages_[std::size_t(index)], rect);
}

void TPagePreview::DrawPageStretched(QPainter &painter, const QPicture &page, const QRect &target)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setClipRect(target, Qt::IntersectClip);
    painter.translate(target.topLeft());
    painter.scale(qreal(target.width()) / PaperWidth, qreal(target.height()) / PaperHeight);
    painter.drawPicture(0, 0, page);
    painter.restore();
}

void TPagePreview::PrintAll(TPrintJobs &jobs) const
{
    if (pages_.empty())
        return;
    jobs.BeginJob(Title);
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        if (i > 0)
            jobs.NewPage();
        DrawPageStretched(jobs.Painter(), *pages_[i], QRect(QPoint(0, 0), jobs.PageSize()));
    }
    jobs.EndJob();
}

void TPagePreview::PrintPage(TPrintJobs &jobs, int index) const
{
    if (index < 0 || index >= PageCount())
        return;
    jobs.BeginJob(Title + " - Page " + QString::number(index + 1));
    DrawPageStretched(
        jobs.Painter(), *pages_[std::size_t(index)], QRect(QPoint(0, 0), jobs.PageSize()));
    jobs.EndJob();
}
