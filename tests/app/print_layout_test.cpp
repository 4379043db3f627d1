// Cutting the monitor's text into pages: how many, where they break, and what
// a page shows.
#include "app/engine/data_rt.h"
#include "app/shell/colors.h"
#include "app/tools/page_preview.h"
#include "app/tools/print_layout.h"
#include "shell/settings_record.h"
#include "support/qt_stamped_lines.h"

#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

// A page picture as it looks at `scale` times its size.
QImage Render(const QPicture &page, int scale = 1)
{
    QImage image(
        TPagePreview::PaperWidth * scale, TPagePreview::PaperHeight * scale, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    TPagePreview::DrawPageStretched(painter, page, image.rect());
    return image;
}

// The box around everything that is not white.
QRect InkBox(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST(PrintLayout, EmptyMonitorGivesNoPageAndOneShortLineOnePage)
{
    QPlainTextEdit monitor;
    TPagePreview sink;
    PaginateMonitor(monitor, sink);
    EXPECT_EQ(sink.PageCount(), 0);

    TDataRT::AppendStampedLine(&monitor, "R[14:03:27  15]", "01 03 02 00 0A", 0xC80000);
    PaginateMonitor(monitor, sink);
    EXPECT_EQ(sink.PageCount(), 1);

    TPrintLayout layout(*monitor.document());
    ASSERT_TRUE(layout.HasMorePages());
    QPicture page;
    QPainter painter(&page);
    layout.RenderPage(painter, QRectF(30, 30, 756, 996));
    EXPECT_EQ(layout.PageStart, monitor.document()->characterCount() - 1);
    EXPECT_FALSE(layout.HasMorePages());
}

TEST(PrintLayout, PagesStartAtLineStartsAndReachTheEnd)
{
    QPlainTextEdit monitor;
    for (int k = 1; k <= 400; ++k)
        TDataRT::AppendStampedLine(&monitor, "R[14:03:27  15]", QString("LINE %1").arg(k), 0);
    const QTextDocument &document = *monitor.document();
    TPrintLayout layout(document);

    std::vector<int> starts;
    QPicture page;
    QPainter painter(&page);
    while (layout.HasMorePages()) {
        starts.push_back(layout.PageStart);
        layout.RenderPage(painter, QRectF(30, 30, 756, 996));
        ASSERT_LT(starts.size(), 100u);
    }
    ASSERT_GT(starts.size(), 2u);
    // Every page but the last is full: a page holds as many lines as fit.
    const int linesPerPage = document.findBlock(starts[1]).blockNumber();
    EXPECT_GT(linesPerPage, 60);
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const QTextBlock block = document.findBlock(starts[i]);
        EXPECT_EQ(block.position(), starts[i]) << "page " << i + 1 << " starts inside a line";
        EXPECT_EQ(block.blockNumber(), int(i) * linesPerPage);
    }
    EXPECT_EQ(layout.PageStart, document.characterCount() - 1);
}

TEST(PrintLayout, LongLinesWrapInsideThePageWhateverTheViewDoes)
{
    for (const auto wrap : { QPlainTextEdit::NoWrap, QPlainTextEdit::WidgetWidth }) {
        QPlainTextEdit monitor;
        monitor.setLineWrapMode(wrap);
        TDataRT::AppendStampedLine(&monitor, "R[14:03:27  15]", QString(1500, QChar('W')), 0);
        TPagePreview sink;
        PaginateMonitor(monitor, sink);
        ASSERT_EQ(sink.PageCount(), 1);
        const QRect ink = InkBox(Render(sink.Page(0)));
        // The text stays inside the content area and fills several lines of it.
        EXPECT_GE(ink.left(), 30);
        EXPECT_LE(ink.right(), 786);
        EXPECT_GT(ink.right(), 700);
        EXPECT_GT(ink.height(), 8 * 10);
    }
}

TEST(PrintLayout, StampAndBodyColoursReachThePage)
{
    QPlainTextEdit monitor;
    FillMonitorThroughRenderer(monitor, 3);
    TPagePreview sink;
    PaginateMonitor(monitor, sink);
    ASSERT_EQ(sink.PageCount(), 1);
    const QImage page = Render(sink.Page(0), 3);
    const QRgb stamp = ColorFromBgr(kStampColor).rgb();
    const QRgb body = ColorFromBgr(SettingsRecord::Defaults().ReceiveFontColor).rgb();
    int stampPixels = 0;
    int bodyPixels = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QRgb c = page.pixel(x, y);
            stampPixels += c == stamp;
            bodyPixels += c == body;
        }
    EXPECT_GT(stampPixels, 100);
    EXPECT_GT(bodyPixels, 100);
}

} // namespace
