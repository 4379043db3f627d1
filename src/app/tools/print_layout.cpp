#include "app/tools/print_layout.h"

#include "app/tools/page_preview.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPicture>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace {

// Lines closer than this to the page's bottom still count as fitting.
constexpr qreal kFitTolerance = 0.01;

// One line of the layout and where it stands in the document.
struct PlacedLine
{
    QTextLine Line;
    QPointF LayoutPosition;
    int Start = 0;
    qreal Top = 0;
    qreal Bottom = 0;
};

// Visits the layout lines from the one that holds `position` to the end of the
// text, laying blocks out as it goes, until `visit` returns false.
template <typename Visit>
void ForEachLineFrom(const QTextDocument &document, int position, Visit visit)
{
    QAbstractTextDocumentLayout *documentLayout = document.documentLayout();
    QTextBlock block = document.findBlock(position);
    int firstLine = -1;
    for (; block.isValid(); block = block.next()) {
        documentLayout->blockBoundingRect(block); // makes sure the block is laid out
        const QTextLayout *layout = block.layout();
        if (firstLine < 0) {
            const QTextLine line = layout->lineForTextPosition(position - block.position());
            firstLine = line.isValid() ? line.lineNumber() : 0;
        } else {
            firstLine = 0;
        }
        for (int i = firstLine; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const qreal top = layout->position().y() + line.y();
            if (!visit(PlacedLine { line, layout->position(), block.position() + line.textStart(),
                    top, top + line.height() }))
                return;
        }
    }
}

} // namespace

TPrintLayout::TPrintLayout(const QTextDocument &source)
    : document_(source.clone())
{
    // Page pictures are drawn at the screen's logical resolution; the text is
    // laid out as it would be on the screen in an area of the content's size.
    const QPicture reference;
    content_ = QSizeF(ContentWidthInches * reference.logicalDpiX(),
        ContentHeightInches * reference.logicalDpiY());
    document_->setDocumentMargin(0);
    // Lines longer than the page wrap inside it, whether or not the view wraps.
    QTextOption option = document_->defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document_->setDefaultTextOption(option);
    document_->setTextWidth(content_.width());
}

TPrintLayout::~TPrintLayout() = default;

int TPrintLayout::TextEnd() const
{
    return document_->characterCount() - 1;
}

int TPrintLayout::MeasurePage(int start) const
{
    // Whether more pages follow and the page itself ask about the same start.
    if (lastMeasured_ && lastMeasured_->first == start)
        return lastMeasured_->second;
    const int next = MeasureFrom(start);
    lastMeasured_ = { start, next };
    return next;
}

int TPrintLayout::MeasureFrom(int start) const
{
    const int end = TextEnd();
    if (start >= end)
        return start;
    int next = end;
    bool first = true;
    qreal pageTop = 0;
    ForEachLineFrom(*document_, start, [&](const PlacedLine &line) {
        if (first) {
            // The first line always goes on the page, so every page moves on.
            first = false;
            pageTop = line.Top;
            return true;
        }
        if (line.Bottom - pageTop > content_.height() + kFitTolerance) {
            next = line.Start;
            return false;
        }
        return true;
    });
    return next;
}

bool TPrintLayout::HasMorePages() const
{
    return MeasurePage(PageStart) > FormattedEnd;
}

void TPrintLayout::RenderPage(QPainter &target, const QRectF &targetRect)
{
    const int start = PageStart;
    const int next = MeasurePage(start);
    PageStart = next;
    if (next <= FormattedEnd)
        return;
    FormattedEnd = next;
    target.save();
    target.translate(targetRect.topLeft());
    target.scale(targetRect.width() / content_.width(), targetRect.height() / content_.height());
    target.setClipRect(QRectF(QPointF(0, 0), content_), Qt::IntersectClip);
    DrawRange(target, start, next);
    target.restore();
}

// Draws exactly the lines of the range, one by one: drawing the document with
// a clip would also put the lines next to the range on the page, hidden by the
// clip but still there for anyone who copies the text out of a PDF.
void TPrintLayout::DrawRange(QPainter &painter, int start, int end) const
{
    painter.save();
    painter.setPen(Qt::black); // text without a colour of its own
    bool first = true;
    ForEachLineFrom(*document_, start, [&](const PlacedLine &line) {
        if (first) {
            first = false;
            painter.translate(0, -line.Top);
        } else if (line.Start >= end) {
            return false;
        }
        line.Line.draw(&painter, line.LayoutPosition);
        return true;
    });
    painter.restore();
}

void PaginateMonitor(const QPlainTextEdit &monitor, TPagePreview &sink)
{
    const int inset = TPrintLayout::PageInset;
    const QRectF page(
        inset, inset, TPagePreview::PaperWidth - 2 * inset, TPagePreview::PaperHeight - 2 * inset);
    TPrintLayout layout(*monitor.document());
    for (;;) {
        try {
            if (!layout.HasMorePages())
                return;
            layout.RenderPage(*sink.NewPage(), page);
            sink.EndPage();
        } catch (const std::exception &) {
            // A failing page would fail again on the next pass: stop here.
            sink.EndPage();
            return;
        }
    }
}
