#pragma once

#include <QFontMetrics>
#include <QFrame>
#include <QPlainTextEdit>
#include <QString>
#include <QTextDocument>

// Wraps a view's lines at about `columns` characters of its font: the view is
// made as wide as that (half a character more, for the caret) with no frame
// and no vertical scroll bar to take width.
inline void WrapAtColumns(QPlainTextEdit &view, int columns, int height = 200)
{
    const QFontMetrics metrics(view.font());
    view.setFrameStyle(QFrame::NoFrame);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setLineWrapMode(QPlainTextEdit::WidgetWidth);
    view.resize(metrics.horizontalAdvance(QString(columns, u'0')) + metrics.horizontalAdvance(u'0') / 2
            + 2 * int(view.document()->documentMargin()),
        height);
}
