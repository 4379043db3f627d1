#include "app/shell/view_text.h"

#include <QPalette>
#include <QPlainTextEdit>
#include <QTextCharFormat>
#include <QTextCursor>

QFont ViewFont()
{
    QFont font(kViewFontFamily);
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(kViewFontPoints);
    font.setStyleStrategy(kViewFontStrategy);
    return font;
}

QTextCharFormat ViewCharFormat()
{
    QTextCharFormat format;
    format.setFontFamilies({ QString::fromLatin1(kViewFontFamily) });
    format.setFontStyleHint(QFont::Monospace, kViewFontStrategy);
    format.setFontPointSize(kViewFontPoints);
    return format;
}

QString WithPlainLineBreaks(QString text)
{
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

QString SelectedPlainText(const QTextCursor &cursor)
{
    return WithPlainLineBreaks(cursor.selectedText());
}

void SetTypingColor(QPlainTextEdit *view, const QColor &color)
{
    QTextCharFormat format;
    format.setForeground(color);
    view->mergeCurrentCharFormat(format);
}

void KeepSelectionVisible(QPlainTextEdit *view)
{
    QPalette palette = view->palette();
    for (auto role : { QPalette::Highlight, QPalette::HighlightedText })
        palette.setBrush(QPalette::Inactive, role, palette.brush(QPalette::Active, role));
    view->setPalette(palette);
}
