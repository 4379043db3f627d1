#include "app/tools/monitor_snapshot.h"

#include <QAbstractTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

MonitorSnapshot ReadMonitorSnapshot(const QPlainTextEdit &view, bool displayLines)
{
    MonitorSnapshot snapshot;
    QTextDocument *document = view.document();
    const bool wrapped = displayLines && view.lineWrapMode() != QPlainTextEdit::NoWrap;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        const bool endsWithBreak = block.next().isValid();
        const QTextLayout *layout = nullptr;
        if (wrapped) {
            document->documentLayout()->blockBoundingRect(block); // lays the block out
            layout = block.layout();
        }
        if (!layout || layout->lineCount() <= 1) {
            snapshot.Text.AddLine(AsUtf16(text), endsWithBreak);
            snapshot.Places.push_back({ block.blockNumber(), 0 });
            continue;
        }
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const bool last = i + 1 == layout->lineCount();
            snapshot.Text.AddLine(
                AsUtf16(text).substr(std::size_t(line.textStart()), std::size_t(line.textLength())),
                last && endsWithBreak);
            snapshot.Places.push_back({ block.blockNumber(), line.textStart() });
        }
    }
    return snapshot;
}
