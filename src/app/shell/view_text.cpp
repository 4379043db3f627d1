#include "app/shell/view_text.h"

#include <QTextCharFormat>
#include <QTextCursor>

QFont ViewFont()
{
    QFont font(kViewFontFamily);
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(kViewFontPoints);
    return font;
}

QTextCharFormat ViewCharFormat()
{
    QTextCharFormat format;
    format.setFontFamilies({ QString::fromLatin1(kViewFontFamily) });
    format.setFontStyleHint(QFont::Monospace);
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
