#include "app/shell/view_style.h"

#include <QPalette>
#include <QTextEdit>

QFont TextViewFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(9);
    return font;
}

void KeepSelectionVisible(QTextEdit *view)
{
    QPalette palette = view->palette();
    for (auto role : { QPalette::Highlight, QPalette::HighlightedText })
        palette.setBrush(QPalette::Inactive, role, palette.brush(QPalette::Active, role));
    view->setPalette(palette);
}
