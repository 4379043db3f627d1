#include "app/shell/rich_text_bridge.h"

#include "app/shell/local_path.h"

#include "app/shell/colors.h"
#include "shell/atomic_file.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QString>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>

namespace {

constexpr double kFallbackPoints = 9.0;

QString RunFontFamily(const QTextCharFormat &format, const QFont &defaultFont)
{
    const QStringList families = format.property(QTextFormat::FontFamilies).toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    const QString family = format.stringProperty(QTextFormat::FontFamily);
    return family.isEmpty() ? defaultFont.family() : family;
}

int RunHalfPoints(const QTextCharFormat &format, const QFont &defaultFont)
{
    double points = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize() : 0;
    if (points <= 0)
        points = defaultFont.pointSizeF();
    if (points <= 0)
        points = kFallbackPoints;
    return int(std::lround(points * 2));
}

uint32_t RunColor(const QTextCharFormat &format)
{
    const QBrush brush = format.foreground();
    return brush.style() == Qt::NoBrush ? 0 : BgrFromColor(brush.color());
}

TextRun ToTextRun(const QTextFragment &fragment, const QFont &defaultFont)
{
    const QTextCharFormat format = fragment.charFormat();
    TextRun run;
    run.Text = fragment.text().toStdString();
    run.Color = RunColor(format);
    run.Font = RunFontFamily(format, defaultFont).toStdString();
    run.HalfPoints = RunHalfPoints(format, defaultFont);
    return run;
}

QTextCharFormat ToCharFormat(const TextRun &run)
{
    QTextCharFormat format;
    format.setForeground(ColorFromBgr(run.Color));
    if (!run.Font.empty())
        format.setFontFamilies(QStringList { QString::fromStdString(run.Font) });
    if (run.HalfPoints > 0)
        format.setFontPointSize(run.HalfPoints / 2.0);
    return format;
}

// Lines are the document's lines; a line break or frame mark inside a run
// would make the view build blocks or frames of its own.
QString RunText(const std::string &text)
{
    QString result = QString::fromStdString(text);
    for (QChar &c : result) {
        switch (c.unicode()) {
        case u'\r':
        case u'\n':
        case QChar::ParagraphSeparator:
            c = QChar::LineSeparator;
            break;
        case 0xFDD0: // QTextBeginningOfFrame
        case 0xFDD1: // QTextEndOfFrame
            c = QChar::ReplacementCharacter;
            break;
        default:
            break;
        }
    }
    return result;
}

} // namespace

RichDocument ToRichDocument(const QTextDocument &document)
{
    const QFont defaultFont = document.defaultFont();
    RichDocument result;
    result.Lines.reserve(size_t(document.blockCount()));
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        RichLine &line = result.Lines.emplace_back();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid() && fragment.length() > 0)
                line.push_back(ToTextRun(fragment, defaultFont));
        }
    }
    return result;
}

void LoadRichDocument(QPlainTextEdit *view, const RichDocument &document)
{
    QTextDocument *target = view->document();
    const bool undoEnabled = target->isUndoRedoEnabled();
    target->setUndoRedoEnabled(false);
    target->clear();
    QTextCursor cursor(target);
    cursor.beginEditBlock();
    for (size_t index = 0; index < document.Lines.size(); ++index) {
        if (index > 0)
            cursor.insertBlock();
        for (const TextRun &run : document.Lines[index])
            cursor.insertText(RunText(run.Text), ToCharFormat(run));
    }
    cursor.endEditBlock();
    target->setUndoRedoEnabled(undoEnabled);
    view->moveCursor(QTextCursor::Start);
}

void SaveViewToFile(const QPlainTextEdit *view, const QString &path)
{
    WriteFileAtomically(LocalPath(path), WriteRtf(ToRichDocument(*view->document())));
}

void LoadViewFromFile(QPlainTextEdit *view, const QString &path)
{
    LoadRichDocument(view, ReadRichText(ReadWholeFile(LocalPath(path))));
}
