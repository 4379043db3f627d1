#pragma once

#include <QFont>
#include <QString>

class QColor;
class QPlainTextEdit;
class QTextCharFormat;
class QTextCursor;

// What the three text views share: their font, and how a selection reads.

inline constexpr char kViewFontFamily[] = "Courier New";
inline constexpr int kViewFontPoints = 9;
// The views show data, where a ligature or a kerned pair would misrepresent
// what came; and shaping every glyph of a 12,000-character hex line was most of
// what laying out the monitor cost. Scripts that need shaping still get it.
inline constexpr QFont::StyleStrategy kViewFontStrategy = QFont::PreferNoShaping;

// The views' font; fontconfig picks a metric twin where the family is missing.
QFont ViewFont();
// A character format in the views' font.
QTextCharFormat ViewCharFormat();

// A selection reports its line breaks as U+2029 (U+2028 for soft ones); as
// plain line breaks they are trimmed at the ends and rejected inside, like any
// other control character.
QString WithPlainLineBreaks(QString text);
// The selection as text, a line break between lines.
QString SelectedPlainText(const QTextCursor &cursor);

// The colour of what is typed next at the caret.
void SetTypingColor(QPlainTextEdit *view, const QColor &color);

// Keeps a view's selection drawn as selected while another window has the focus,
// so a hit or a marked range stays in sight.
void KeepSelectionVisible(QPlainTextEdit *view);
