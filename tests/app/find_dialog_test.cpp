// Find Next and Find All over a monitor view, with the results window beside it.
#include "app/engine/data_rt.h"
#include "app/shell/colors.h"
#include "app/shell/message_box.h"
#include "app/tools/find_dialog.h"
#include "app/tools/find_form.h"
#include "support/qt_wrap_columns.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <vector>

static void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

constexpr uint32_t kReceiveColor = 0x0000FF; // red in 0x00BBGGRR

struct StyledRun
{
    QString Text;
    QColor Color;
    bool operator==(const StyledRun &) const = default;
};

std::vector<StyledRun> RunsOf(const QTextBlock &block)
{
    std::vector<StyledRun> runs;
    for (auto it = block.begin(); !it.atEnd(); ++it)
        runs.push_back({ it.fragment().text(), it.fragment().charFormat().foreground().color() });
    return runs;
}

QStringList LinesOf(const QPlainTextEdit &view)
{
    QStringList lines = view.toPlainText().split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.pop_back();
    return lines;
}

// Runs `step` on every pass of the event loop while a Find All runs.
class DuringSearch
{
public:
    DuringSearch(const TFindDialog &dialog, std::function<void(int pass)> step)
    {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [&dialog, step, this] {
            if (dialog.Searching())
                step(pass_++);
        });
        timer_.start();
    }
    int Passes() const { return pass_; }

private:
    QTimer timer_;
    int pass_ = 0;
};

class FindDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        settings_.ReceiveFontColor = int32_t(kReceiveColor);
        monitor_.setLineWrapMode(QPlainTextEdit::NoWrap);
        monitor_.resize(600, 400);
        SetMessageBoxHandler([this](const MessageBoxRequest &request) {
            boxes_.push_back(request);
            return QMessageBox::Ok;
        });
    }
    void TearDown() override { SetMessageBoxHandler({}); }

    // A monitor line as the renderer writes it: at the end, grey stamp, coloured body.
    void AddLine(const QString &stamp, const QString &body, uint32_t color = 0x0000C8)
    {
        monitor_.moveCursor(QTextCursor::End);
        TDataRT::AppendStampedLine(&monitor_, stamp, body, color);
    }

    void Search(const QString &text, bool all, bool matchCase = false)
    {
        dialog_.FindText->setText(text);
        dialog_.FindAll->setChecked(all);
        dialog_.UpLowCase->setChecked(matchCase);
        dialog_.FindInMonitor();
    }

    QString MonitorSelection() const { return monitor_.textCursor().selectedText(); }

    SettingsRecord settings_ = SettingsRecord::Defaults();
    QPlainTextEdit monitor_;
    TFindForm results_;
    TFindDialog dialog_ { &monitor_, &results_, settings_ };
    std::vector<MessageBoxRequest> boxes_;
};

TEST_F(FindDialogTest, FindNextSelectsExactlyTheHitFarDownTheMonitorAndStartsOverAfterTheLast)
{
    // Stamps of changing length: a position one off per line would select
    // other characters by the last lines.
    const int lines = 3000;
    for (int i = 0; i < lines; ++i) {
        const QString stamp = QStringLiteral("[%1] ").arg(QString(i % 7 + 1, QLatin1Char('s')));
        const bool marked = i == 10 || i == 1500 || i == lines - 1;
        AddLine(stamp, marked ? QStringLiteral("01 mark%1 02").arg(i) : QStringLiteral("01 02"));
    }

    const QStringList expected = { "MARK10", "MARK1500", QStringLiteral("MARK%1").arg(lines - 1) };
    for (int round = 0; round < 2; ++round) {
        for (const QString &hit : expected) {
            Search(QStringLiteral("mark"), false);
            ASSERT_NE(dialog_.LastFoundPos(), 0);
            // The hit and the characters after it: the whole marked word is where
            // the selection begins.
            QTextCursor word = monitor_.textCursor();
            word.setPosition(word.selectionStart());
            word.movePosition(QTextCursor::EndOfWord, QTextCursor::KeepAnchor);
            EXPECT_EQ(MonitorSelection(), QStringLiteral("mark"));
            EXPECT_EQ(word.selectedText().toUpper(), hit);
            // The position counts every line break as CR LF.
            const QTextBlock block = monitor_.textCursor().block();
            EXPECT_EQ(dialog_.LastFoundPos(),
                monitor_.textCursor().selectionStart() + block.blockNumber() + 1);
        }
        const QTextCursor before = monitor_.textCursor();
        Search(QStringLiteral("mark"), false);
        EXPECT_EQ(dialog_.LastFoundPos(), 0);
        EXPECT_EQ(monitor_.textCursor(), before); // no hit: the selection stays
    }
    EXPECT_TRUE(boxes_.empty());

    Search(QStringLiteral("MARK10"), false, true);
    EXPECT_EQ(dialog_.LastFoundPos(), 0);
    Search(QStringLiteral("02\r\n[s"), false, true); // a hit across a line break
    EXPECT_EQ(MonitorSelection(), QStringLiteral("02") + QChar::ParagraphSeparator + "[s");
}

TEST_F(FindDialogTest, FindAllListsEachLineOnceInGreyAndTheReceiveColour)
{
    AddLine("[14:03:27  20 Rx] ", "01 AA AA AA 02");
    AddLine("[14:03:28  30 Rx] ", "01 02");
    AddLine("", "  aa without stamp ");
    AddLine("[14:03:29 100 Tx] ", "AA 20 ", 0x0000C8);
    AddLine("[14:03:30  10 Rx] ", "03 04");
    results_.RichFind->setPlainText("an old listing");

    Search("aa", true);

    EXPECT_EQ(LinesOf(*results_.RichFind),
        QStringList(
            { "[14:03:27  20 Rx] 01 AA AA AA 02", "aa without stamp", "[14:03:29 100 Tx] AA 20" }));
    const QColor grey = ColorFromBgr(kStampColor);
    const QColor body = ColorFromBgr(kReceiveColor);
    const QTextDocument *listing = results_.RichFind->document();
    EXPECT_EQ(RunsOf(listing->findBlockByNumber(0)),
        (std::vector<StyledRun> { { "[14:03:27  20 Rx] ", grey }, { "01 AA AA AA 02", body } }));
    EXPECT_EQ(RunsOf(listing->findBlockByNumber(1)),
        (std::vector<StyledRun> { { "aa without stamp", body } }));
    EXPECT_EQ(RunsOf(listing->findBlockByNumber(2)),
        (std::vector<StyledRun> { { "[14:03:29 100 Tx] ", grey }, { "AA 20", body } }));

    EXPECT_TRUE(results_.isVisible());
    EXPECT_EQ(results_.RichFind->textCursor().position(), 0);
    EXPECT_FALSE(dialog_.Searching());
    EXPECT_EQ(dialog_.windowTitle(), "Find");
    EXPECT_TRUE(boxes_.empty());

    // The caret marks the last hit, and Find Next goes on from there.
    const QString text = monitor_.toPlainText();
    const int lastHit = int(text.indexOf("AA 20"));
    EXPECT_EQ(monitor_.textCursor().position(), lastHit);
    EXPECT_FALSE(monitor_.textCursor().hasSelection());
    EXPECT_EQ(dialog_.LastFoundPos(), lastHit + 3 + 1); // three breaks before it, 1-based
    Search("aa", false);
    EXPECT_EQ(dialog_.LastFoundPos(), 0);
    Search("aa", false);
    EXPECT_EQ(monitor_.textCursor().selectionStart(), int(text.indexOf("AA")));
}

TEST_F(FindDialogTest, AnySearchTextIsTextInTheListingAndInTheNotFoundMessage)
{
    const QString odd = QString::fromUtf8("\"q\" <b>x</b>&amp; \u4e2d\u6587 %1");
    AddLine("[R x] ", odd);
    for (const QString &needle : { QString("\"q\""), QString("<b>x</b>&amp;"),
             QString::fromUtf8("\u4e2d\u6587"), QString("%1") }) {
        Search(needle, true);
        EXPECT_EQ(LinesOf(*results_.RichFind), QStringList({ "[R x] " + odd }))
            << needle.toStdString();
    }
    EXPECT_TRUE(boxes_.empty());

    for (const QString &needle : { QString(), QString("<i>\"none\"</i>"),
             QString::fromUtf8("\u4e2d\u6587\u6587"), QString(10000, QLatin1Char('z')) }) {
        boxes_.clear();
        results_.RichFind->setPlainText("old");
        Search(needle, true);
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(boxes_[0].Caption, "Find");
        EXPECT_EQ(boxes_[0].Icon, QMessageBox::Warning);
        EXPECT_EQ(boxes_[0].Text, "Search string \"" + needle + "\" not found.");
        EXPECT_TRUE(results_.RichFind->document()->isEmpty());
        EXPECT_EQ(dialog_.LastFoundPos(), 0);
    }
}

TEST_F(FindDialogTest, AnEmptyMonitorIsNotSearched)
{
    results_.RichFind->setPlainText("kept");
    Search("x", true);
    EXPECT_EQ(results_.RichFind->toPlainText(), "kept");
    EXPECT_TRUE(boxes_.empty());
    EXPECT_FALSE(results_.isVisible());
}

TEST_F(FindDialogTest, FindAllIgnoresSearchesAndNewLinesWhileItRuns)
{
    for (int i = 0; i < 40; ++i)
        AddLine("[R x] ", QStringLiteral("hit %1").arg(i));
    bool sawDisabled = true;
    QString caption;
    DuringSearch during(dialog_, [&](int pass) {
        sawDisabled = sawDisabled && !dialog_.FindNext->isEnabled();
        caption = dialog_.windowTitle();
        AddLine("[R x] ", QStringLiteral("hit new %1").arg(pass)); // a line arriving
        dialog_.FindAll->setChecked(pass % 2 == 0);
        dialog_.FindInMonitor(); // F3 or the button: ignored
        dialog_.FindNext->click();
        dialog_.FindText->setText(pass % 2 ? "" : "hit");
        dialog_.FindAll->setChecked(true);
    });

    Search("hit", true);

    EXPECT_GT(during.Passes(), 5);
    EXPECT_TRUE(sawDisabled);
    EXPECT_EQ(caption, "Finding...");
    const QStringList listed = LinesOf(*results_.RichFind);
    ASSERT_EQ(listed.size(), 40);
    EXPECT_EQ(listed.back(), "[R x] hit 39");
    EXPECT_TRUE(dialog_.FindNext->isEnabled()); // the text changed meanwhile
    EXPECT_EQ(dialog_.windowTitle(), "Find");
}

TEST_F(FindDialogTest, AMonitorEmptiedDuringFindAllEndsItWithWhatItListed)
{
    for (int i = 0; i < 30; ++i)
        AddLine("[R x] ", QStringLiteral("hit %1").arg(i));
    DuringSearch during(dialog_, [&](int pass) {
        if (pass != 3)
            return;
        monitor_.clear();
        // Refilled past the old length: nothing of it may be read as the old text.
        for (int i = 0; i < 60; ++i)
            AddLine("[T x] ", QStringLiteral("new hit %1").arg(i));
    });

    Search("hit", true);

    EXPECT_FALSE(dialog_.Searching());
    const QStringList listed = LinesOf(*results_.RichFind);
    ASSERT_FALSE(listed.isEmpty());
    EXPECT_LT(listed.size(), 30);
    for (int i = 0; i < listed.size(); ++i)
        EXPECT_EQ(listed[i], QStringLiteral("[R x] hit %1").arg(i));
    EXPECT_TRUE(results_.isVisible());
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(dialog_.LastFoundPos(), 0);
    EXPECT_EQ(monitor_.document()->blockCount(), 61); // the monitor was left alone
}

TEST_F(FindDialogTest, CancelEndsFindAllBeforeTheNextListing)
{
    for (int i = 0; i < 30; ++i)
        AddLine("[R x] ", QStringLiteral("hit %1").arg(i));
    dialog_.show();
    DuringSearch during(dialog_, [&](int) { dialog_.Button2->click(); });

    Search("hit", true);

    EXPECT_FALSE(dialog_.isVisible());
    EXPECT_EQ(LinesOf(*results_.RichFind), QStringList({ "[R x] hit 0" }));
    EXPECT_TRUE(results_.isVisible());
}

TEST_F(FindDialogTest, WithWordWrapEveryShownLineIsALine)
{
    WrapAtColumns(monitor_, 20);
    // One block shown as several lines, hits on more than one of them.
    AddLine("[R x] ", "q111111111 222222222 333333333 q44444444");
    AddLine("[R x] ", "none");
    monitor_.show();

    Search("q", true);

    // Each shown line with a hit is listed once, on its own.
    const QTextBlock block = monitor_.document()->firstBlock();
    const QTextLayout *layout = block.layout();
    ASSERT_GE(layout->lineCount(), 3);
    QStringList expected;
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        const QString text = block.text().mid(line.textStart(), line.textLength());
        if (text.contains('q'))
            expected.append(text.trimmed());
    }
    ASSERT_GE(expected.size(), 2);
    EXPECT_EQ(LinesOf(*results_.RichFind), expected);
}

TEST_F(FindDialogTest, DoubleClickOnAListedLineSelectsItInTheMonitorWhileItIsThere)
{
    AddLine("[R x] ", "01 02");
    AddLine("[R x] ", "AA 01");
    AddLine("[R x] ", "AA 02");
    Search("aa", true);
    ASSERT_EQ(LinesOf(*results_.RichFind).size(), 2);

    QPlainTextEdit *listing = results_.RichFind;
    const auto doubleClickLine = [listing](int line) {
        QTextCursor at(listing->document()->findBlockByNumber(line));
        const QPoint pos = listing->cursorRect(at).center();
        QMouseEvent press(QEvent::MouseButtonDblClick, QPointF(pos),
            QPointF(listing->viewport()->mapToGlobal(pos)), Qt::LeftButton, Qt::LeftButton, {});
        QApplication::sendEvent(listing->viewport(), &press);
    };
    doubleClickLine(1);
    EXPECT_EQ(MonitorSelection(), "[R x] AA 02");
    doubleClickLine(0);
    EXPECT_EQ(MonitorSelection(), "[R x] AA 01");

    // The monitor moved on: the same places now hold other lines.
    monitor_.clear();
    for (int i = 0; i < 3; ++i)
        AddLine("[R x] ", QStringLiteral("other %1").arg(i));
    monitor_.moveCursor(QTextCursor::Start);
    doubleClickLine(1);
    EXPECT_FALSE(monitor_.textCursor().hasSelection());
}

TEST_F(FindDialogTest, ShowingTheDialogTakesTheMonitorSelectionAsSearchText)
{
    AddLine("[R x] ", "01 02");
    AddLine("[R x] ", "03 04");
    QTextCursor selection(monitor_.document());
    selection.setPosition(9);
    selection.setPosition(16, QTextCursor::KeepAnchor); // "02", the break, "[R x"
    monitor_.setTextCursor(selection);

    dialog_.show();
    EXPECT_EQ(dialog_.FindText->text(), "02\r\n[R x");
    EXPECT_TRUE(dialog_.FindNext->isEnabled());
    dialog_.FindInMonitor(); // the selection is found again where it is
    EXPECT_EQ(monitor_.textCursor().selectionStart(), 9);
    EXPECT_EQ(monitor_.textCursor().selectionEnd(), 16);

    dialog_.hide();
    monitor_.moveCursor(QTextCursor::End);
    dialog_.show();
    EXPECT_TRUE(dialog_.FindText->text().isEmpty());
    EXPECT_FALSE(dialog_.FindNext->isEnabled());
    dialog_.FindText->setText("x");
    dialog_.FindText->clear(); // any change, to empty text too, enables the button
    EXPECT_TRUE(dialog_.FindNext->isEnabled());
}

} // namespace
