// Text views to message files and back.
#include "app/shell/colors.h"
#include "app/shell/rich_text_bridge.h"
#include "shell/atomic_file.h"
#include "support/pty_pair.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <ostream>

#include <system_error>

static void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

void AppendRun(QPlainTextEdit &view, const QString &text, uint32_t color,
    const QString &font = "Courier New", qreal points = 9)
{
    QTextCharFormat format;
    format.setForeground(ColorFromBgr(color));
    format.setFontFamilies(QStringList { font });
    format.setFontPointSize(points);
    QTextCursor cursor(view.document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text, format);
}

void NewLine(QPlainTextEdit &view)
{
    QTextCursor cursor(view.document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
}

// Text and colour of every run, line by line: what a message file must keep.
std::vector<std::vector<std::pair<std::string, uint32_t>>> Runs(const QPlainTextEdit &view)
{
    std::vector<std::vector<std::pair<std::string, uint32_t>>> lines;
    for (const RichLine &line : ToRichDocument(*view.document()).Lines) {
        auto &runs = lines.emplace_back();
        for (const TextRun &run : line)
            runs.emplace_back(run.Text, run.Color);
    }
    return lines;
}

QString InFolder(const TempFolder &folder, const QString &name)
{
    return QString::fromStdString(folder.Path()) + name;
}

TEST(RichTextBridgeTest, DocumentBecomesLinesOfRuns)
{
    QPlainTextEdit view;
    AppendRun(view, "R[12:00:00 ---]", kStampColor);
    AppendRun(view, "01 02 ", 0x0000FF, "Courier New", 10.5);
    NewLine(view);
    NewLine(view);
    AppendRun(view, "text", 0xFF0000, "Arial", 12);

    const RichDocument document = ToRichDocument(*view.document());
    ASSERT_EQ(document.Lines.size(), 3u);
    ASSERT_EQ(document.Lines[0].size(), 2u);
    EXPECT_EQ(document.Lines[0][0].Text, "R[12:00:00 ---]");
    EXPECT_EQ(document.Lines[0][0].Color, kStampColor);
    EXPECT_EQ(document.Lines[0][1].Color, 0x0000FFu) << "red as 0x00BBGGRR";
    EXPECT_EQ(document.Lines[0][1].HalfPoints, 21);
    EXPECT_TRUE(document.Lines[1].empty());
    ASSERT_EQ(document.Lines[2].size(), 1u);
    EXPECT_EQ(document.Lines[2][0].Font, "Arial");
    EXPECT_EQ(document.Lines[2][0].HalfPoints, 24);
    EXPECT_EQ(document.Lines[2][0].Color, 0xFF0000u);
}

TEST(RichTextBridgeTest, MessageFileKeepsTextAndColours)
{
    TempFolder folder;
    QPlainTextEdit source;
    AppendRun(source, "R[12:00:00 ---]", kStampColor);
    AppendRun(source, "01 02 FF ", 0x00AA00);
    NewLine(source);
    AppendRun(source, "T[12:00:01   5]", kStampColor);
    AppendRun(source, "中文 <b>not markup</b> {\\par}", 0xFF0000);
    NewLine(source);
    AppendRun(source, "plain", 0);

    const QString path = InFolder(folder, "20240131154502.crvm");
    SaveViewToFile(&source, path);
    QPlainTextEdit target;
    target.setPlainText("old content");
    LoadViewFromFile(&target, path);

    EXPECT_EQ(target.toPlainText(), source.toPlainText());
    EXPECT_EQ(Runs(target), Runs(source));
    EXPECT_EQ(target.document()->blockCount(), 3);
}

TEST(RichTextBridgeTest, PlainTextFileLoadsAsLines)
{
    TempFolder folder;
    const QString path = InFolder(folder, "plain.txt");
    WriteFileAtomically(
        QFile::encodeName(path).toStdString(), "01 03 00 00 00 01\r\nsecond\n\nlast\n");

    QPlainTextEdit view;
    LoadViewFromFile(&view, path);

    EXPECT_EQ(view.toPlainText(), "01 03 00 00 00 01\nsecond\n\nlast");
    EXPECT_EQ(view.document()->blockCount(), 4);
}

TEST(RichTextBridgeTest, LoadingReplacesContentAsPlainRuns)
{
    QPlainTextEdit view;
    view.setPlainText("typed before");
    view.textCursor().insertText(" and more");

    RichDocument document;
    document.Lines.push_back({ TextRun { "<i>kept as typed</i>", 0x0000FF, "Courier New", 18 } });
    document.Lines.push_back({ TextRun { "a\r\nb", 0, "Courier New", 18 } });
    LoadRichDocument(&view, document);

    EXPECT_EQ(view.document()->blockCount(), 2) << "a break inside a run is no new line";
    EXPECT_EQ(view.document()->firstBlock().text(), "<i>kept as typed</i>");
    EXPECT_EQ(Runs(view)[0][0].second, 0x0000FFu);
    EXPECT_FALSE(view.document()->isUndoAvailable());
    EXPECT_EQ(view.textCursor().position(), 0);
}

TEST(RichTextBridgeTest, FileNamesOutsideAsciiWork)
{
    TempFolder folder;
    QPlainTextEdit view;
    AppendRun(view, "01", 0);
    const QString path = InFolder(folder, "报文 1.crvm");
    SaveViewToFile(&view, path);
    EXPECT_TRUE(QFile::exists(path));
}

TEST(RichTextBridgeTest, FailuresRaiseSystemErrors)
{
    TempFolder folder;
    QPlainTextEdit view;
    AppendRun(view, "01", 0);
    const QString blocker = InFolder(folder, "file");
    SaveViewToFile(&view, blocker);

    EXPECT_THROW(SaveViewToFile(&view, blocker + "/below-a-file.crvm"), std::system_error);
    view.setPlainText("unchanged");
    EXPECT_THROW(LoadViewFromFile(&view, InFolder(folder, "missing.crvm")), std::system_error);
    EXPECT_EQ(view.toPlainText(), "unchanged");
}

} // namespace
