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

RichRunCopy ToRunCopy(const QTextFragment &fragment, const QFont &defaultFont)
{
    const QTextCharFormat format = fragment.charFormat();
    return { fragment.text(), RunColor(format), RunFontFamily(format, defaultFont),
        RunHalfPoints(format, defaultFont) };
}

TextRun ToTextRun(const RichRunCopy &copy)
{
    return { copy.Text.toStdString(), copy.Color, copy.Font.toStdString(), copy.HalfPoints };
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

RichDocumentCopy CopyRichDocument(const QTextDocument &document)
{
    const QFont defaultFont = document.defaultFont();
    RichDocumentCopy copy;
    copy.reserve(size_t(document.blockCount()));
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        std::vector<RichRunCopy> &line = copy.emplace_back();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid() && fragment.length() > 0)
                line.push_back(ToRunCopy(fragment, defaultFont));
        }
    }
    return copy;
}

RichDocument ToRichDocument(const RichDocumentCopy &copy)
{
    RichDocument result;
    result.Lines.reserve(copy.size());
    for (const std::vector<RichRunCopy> &runs : copy) {
        RichLine &line = result.Lines.emplace_back();
        line.reserve(runs.size());
        for (const RichRunCopy &run : runs)
            line.push_back(ToTextRun(run));
    }
    return result;
}

RichDocument ToRichDocument(const QTextDocument &document)
{
    return ToRichDocument(CopyRichDocument(document));
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
