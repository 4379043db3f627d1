// The send window: appending checksums to the send view, the checksum menu,
// and the buttons that mirror or flip settings.
#include "app/send/send_form.h"
#include "app/shell/message_box.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolButton>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <vector>

static void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

constexpr int kSum = 0, kSumHl = 2, kXor = 3, kSeparator = 4, kModbusCrc16 = 5, kAnsiCrc16 = 7;

class SendFormTest : public ::testing::Test
{
protected:
    SendFormTest()
    {
        SetMessageBoxHandler([this](const MessageBoxRequest &request) {
            boxes.push_back(request);
            return QMessageBox::Ok;
        });
    }
    ~SendFormTest() override { SetMessageBoxHandler({}); }

    QPlainTextEdit *View() { return form.RichSend; }

    // Puts `text` into the view and the caret into line `line` (0-based).
    void SetLines(const QString &text, int line = 0, int column = 0)
    {
        View()->setPlainText(text);
        QTextCursor cursor(View()->document()->findBlockByNumber(line));
        cursor.setPosition(cursor.position() + column);
        View()->setTextCursor(cursor);
    }

    void Select(int line, int start, int length)
    {
        const int begin = View()->document()->findBlockByNumber(line).position() + start;
        QTextCursor cursor(View()->document());
        cursor.setPosition(begin);
        cursor.setPosition(begin + length, QTextCursor::KeepAnchor);
        View()->setTextCursor(cursor);
    }

    QString Line(int line) { return View()->document()->findBlockByNumber(line).text(); }

    // The colour of the character at `column` of `line`.
    QColor ColorAt(int line, int column)
    {
        QTextCursor cursor(View()->document());
        cursor.setPosition(View()->document()->findBlockByNumber(line).position() + column + 1);
        return cursor.charFormat().foreground().color();
    }

    QAction *MenuItem(const char *name) { return form.PopupMenu1->findChild<QAction *>(name); }

    SettingsRecord settings {};
    TSendForm form { settings };
    std::vector<MessageBoxRequest> boxes;
};

struct ChecksumCase
{
    const char *Name;
    int Kind;
    QString Text;
    int CaretLine;
    std::optional<std::pair<int, int>> Selection; // start and length on the caret line
    QString Expected; // the whole text afterwards
};

TEST_F(SendFormTest, AppendsChecksumToCaretLineOrSelection)
{
    const ChecksumCase cases[] = {
        { "modbus crc", kModbusCrc16, "01 03 00 00 00 01", 0, {}, "01 03 00 00 00 01 84 0A" },
        { "ansi crc", kAnsiCrc16, "01 03 00 00 00 01", 0, {}, "01 03 00 00 00 01 84 0A" },
        { "sum", kSum, "01 03 00 00 00 01", 0, {}, "01 03 00 00 00 01 05" },
        { "selection at line end", kXor, "01 03 00 00 00 01", 0, { { 6, 11 } },
            "01 03 00 00 00 01 01" },
        { "selection inside", kXor, "AA 00 00 00 01 BB", 0, { { 3, 11 } }, "AA 00 00 00 01 01 BB" },
        { "trimmed selection", kSum, "01  02 03  04", 0, { { 3, 6 } }, "01 02 03 05  04" },
        { "leading blanks stay", kSum, "  01 02", 0, {}, "  01 02 03" },
        { "trailing blanks stay", kSum, "01 02  ", 0, {}, "01 02 03  " },
        { "lower case digits", kSum, "0a 0b", 0, {}, "0a 0b 15" },
        { "other lines untouched", kSum, "FF\n01 02\n03", 1, {}, "FF\n01 02 03\n03" },
        { "separator kind appends a blank", kSeparator, "01 02", 0, {}, "01 02 " },
        { "kind out of range appends a blank", 12, "01 02", 0, {}, "01 02 " },
    };
    for (const ChecksumCase &c : cases) {
        SCOPED_TRACE(c.Name);
        settings.ChecksumType = c.Kind;
        SetLines(c.Text, c.CaretLine);
        if (c.Selection)
            Select(c.CaretLine, c.Selection->first, c.Selection->second);

        form.AppendChecksum();

        EXPECT_EQ(View()->toPlainText(), c.Expected);
        EXPECT_TRUE(boxes.empty());
    }
}

TEST_F(SendFormTest, SourceIsBlackAndChecksumBlueInCourierNew)
{
    settings.ChecksumType = kModbusCrc16;
    SetLines("01 03 00 00 00 01");
    form.AppendChecksum();

    const QString line = Line(0);
    ASSERT_EQ(line, "01 03 00 00 00 01 84 0A");
    for (int column = 0; column < 17; ++column)
        EXPECT_EQ(ColorAt(0, column), QColor(0, 0, 0)) << column;
    for (int column = 17; column < int(line.size()); ++column)
        EXPECT_EQ(ColorAt(0, column), QColor(0, 0, 255)) << column;

    QTextCursor cursor(View()->document());
    cursor.setPosition(20);
    const QTextCharFormat format = cursor.charFormat();
    EXPECT_EQ(format.fontFamilies().toStringList(), QStringList { "Courier New" });
    EXPECT_EQ(format.fontPointSize(), 9.0);
    EXPECT_EQ(View()->textCursor().position(), int(line.size())) << "caret after the checksum";
}

TEST_F(SendFormTest, SecondChecksumCoversTheFirst)
{
    settings.ChecksumType = kSum;
    SetLines("01 03 00 00 00 01");
    form.AppendChecksum();
    form.AppendChecksum();
    EXPECT_EQ(Line(0), "01 03 00 00 00 01 05 0A");
}

TEST_F(SendFormTest, AppendedChecksumIsOneUndoStepAndKeepsTheUsersEarlierSteps)
{
    settings.ChecksumType = kSum;
    SetLines("");
    View()->textCursor().insertText("01\n02"); // an edit the user can undo
    View()->moveCursor(QTextCursor::End);
    form.AppendChecksum();
    EXPECT_EQ(View()->toPlainText(), "01\n02 02");

    View()->undo();
    EXPECT_EQ(View()->toPlainText(), "01\n02");
    View()->undo();
    EXPECT_EQ(View()->toPlainText(), "");
    View()->redo();
    View()->redo();
    EXPECT_EQ(View()->toPlainText(), "01\n02 02");
}

TEST_F(SendFormTest, TextThatIsNotHexIsRefusedUnchanged)
{
    struct Refused
    {
        const char *Name;
        QString Text;
        std::optional<std::pair<int, int>> Selection;
    };
    const Refused cases[] = {
        { "empty line", "", {} },
        { "blank line", "   ", {} },
        { "not a digit", "01 0G", {} },
        { "odd digit count", "01 2", {} },
        { "pair split by a blank", "0 1 02", {} },
        { "plain characters", "hello", {} },
        { "selection over two lines", "01 02\n03 04", { { 3, 5 } } },
    };
    settings.ChecksumType = kSum;
    for (const Refused &c : cases) {
        SCOPED_TRACE(c.Name);
        boxes.clear();
        SetLines(c.Text);
        if (c.Selection)
            Select(0, c.Selection->first, c.Selection->second);

        form.AppendChecksum();

        EXPECT_EQ(View()->toPlainText(), c.Text);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].Caption, "Check");
        EXPECT_EQ(boxes[0].Text, "The data is not hexadecimal format.");
        EXPECT_EQ(boxes[0].Icon, QMessageBox::Warning);
        EXPECT_EQ(boxes[0].Owner, &form);
    }
}

TEST_F(SendFormTest, SelectionEndingWithLineBreakJoinsTheNextLine)
{
    settings.ChecksumType = kSum;
    SetLines("01 02\nFF");
    Select(0, 0, 6); // "01 02" and its line break
    form.AppendChecksum();
    EXPECT_EQ(View()->toPlainText(), "01 02 03FF");
}

TEST_F(SendFormTest, ChecksumMenuListsTheKindsInOrder)
{
    const std::pair<const char *, const char *> expected[] = {
        { "SUM1", "SUM" },
        { "SUM_LH1", "SUM - LH" },
        { "SUMHL1", "SUM - HL" },
        { "XOR1", "XOR" },
        { "N2", "" },
        { "ModbusCRC161", "Modbus -CRC16" },
        { "ModbusLRC161", "Modbus -LRC16" },
        { "ANSICRC161", "ANSI  - CRC16" },
        { "CCITTCRC161", "CCITT - CRC16" },
        { "CCITTCRC81", "CCITT - CRC8" },
    };
    const QList<QAction *> items = form.PopupMenu1->actions();
    ASSERT_EQ(items.size(), 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(items[i]->objectName(), expected[i].first);
        if (i == kSeparator)
            EXPECT_TRUE(items[i]->isSeparator());
        else
            EXPECT_EQ(items[i]->text(), expected[i].second);
    }
    EXPECT_TRUE(MenuItem("SUM1")->isChecked()) << "fresh window";
    EXPECT_EQ(form.ToolButton7->toolTip(), "Checksum");
    EXPECT_EQ(form.ToolButton7->popupMode(), QToolButton::MenuButtonPopup);
    EXPECT_EQ(form.ToolButton7->menu(), form.PopupMenu1);
}

TEST_F(SendFormTest, ChoosingAKindStoresItAndAppendsAtOnce)
{
    SetLines("01 03 00 00 00 01");
    MenuItem("SUMHL1")->trigger();

    EXPECT_EQ(Line(0), "01 03 00 00 00 01 00 05");
    EXPECT_EQ(settings.ChecksumType, kSumHl);
    EXPECT_EQ(form.ToolButton7->toolTip(), "Check SUM-HL");
    EXPECT_TRUE(MenuItem("SUMHL1")->isChecked());

    // The button part repeats the stored kind.
    SetLines("01 03 00 00 00 01");
    form.ToolButton7->click();
    EXPECT_EQ(Line(0), "01 03 00 00 00 01 00 05");
}

TEST_F(SendFormTest, MenuCheckFollowsStoredKind)
{
    const std::pair<int, const char *> cases[] = { { kAnsiCrc16, "ANSICRC161" }, { kXor, "XOR1" },
        { kSeparator, nullptr }, { -1, nullptr }, { 10, nullptr } };
    for (const auto &[kind, checkedItem] : cases) {
        SCOPED_TRACE(kind);
        settings.ChecksumType = kind;
        emit form.PopupMenu1->aboutToShow();
        for (QAction *item : form.PopupMenu1->actions()) {
            const bool shouldBeChecked = checkedItem && item->objectName() == checkedItem;
            EXPECT_EQ(item->isChecked(), shouldBeChecked) << item->objectName().toStdString();
        }
    }
}

TEST_F(SendFormTest, FormShowSetsHintOfStoredKind)
{
    settings.ChecksumType = 9;
    form.FormShow();
    EXPECT_EQ(form.ToolButton7->toolTip(), "Check CCITT-CRC8");
    for (int kind : { kSeparator, -3, 10 }) {
        settings.ChecksumType = kind;
        form.FormShow();
        EXPECT_EQ(form.ToolButton7->toolTip(), "Check CCITT-CRC8") << kind;
    }
}

TEST_F(SendFormTest, AsciiButtonFlipsSettingAndAsksToApply)
{
    int applyRequests = 0;
    QObject::connect(&form, &TSendForm::ApplySettingsRequested, [&] { ++applyRequests; });

    form.ToolButton8->click();
    EXPECT_EQ(settings.AsciiSend, 1);
    EXPECT_TRUE(form.ToolButton8->isChecked());
    EXPECT_EQ(applyRequests, 1);

    form.ToolButton8->click();
    EXPECT_EQ(settings.AsciiSend, 0);
    EXPECT_FALSE(form.ToolButton8->isChecked());
    EXPECT_EQ(applyRequests, 2);
}

TEST_F(SendFormTest, LoopAndTriggerButtonsMirrorSettingsAndOpenTheirPanels)
{
    int loopPanels = 0, triggerPanels = 0;
    QObject::connect(&form, &TSendForm::LoopPanelRequested, [&] { ++loopPanels; });
    QObject::connect(&form, &TSendForm::TriggerPanelRequested, [&] { ++triggerPanels; });

    form.ToolButton2->click();
    EXPECT_FALSE(form.ToolButton2->isChecked()) << "loop off: the click leaves it up";
    EXPECT_EQ(loopPanels, 1);

    settings.LoopSendEnabled = 1;
    form.ToolButton2->setChecked(true);
    form.ToolButton2->click();
    EXPECT_TRUE(form.ToolButton2->isChecked());
    EXPECT_EQ(loopPanels, 2);

    settings.Trigger.ReceiveTriggerEnabled = 1;
    form.ToolButton3->click();
    EXPECT_TRUE(form.ToolButton3->isChecked());
    EXPECT_EQ(triggerPanels, 1);
}

TEST_F(SendFormTest, SendButtonAsksToSendCaretLine)
{
    int requests = 0;
    QObject::connect(&form, &TSendForm::SendCaretLineRequested, [&] { ++requests; });
    form.ToolButton1->click();
    EXPECT_EQ(requests, 1);
}

TEST_F(SendFormTest, ShowSwitchesSetsDownStates)
{
    form.ShowSwitches(true, false, true);
    EXPECT_TRUE(form.ToolButton2->isChecked());
    EXPECT_FALSE(form.ToolButton3->isChecked());
    EXPECT_TRUE(form.ToolButton8->isChecked());
    form.ShowSwitches(false, true, false);
    EXPECT_FALSE(form.ToolButton2->isChecked());
    EXPECT_TRUE(form.ToolButton3->isChecked());
    EXPECT_FALSE(form.ToolButton8->isChecked());
}

TEST_F(SendFormTest, ReportsActivationOfItsViewAndOfItsFloatingWindow)
{
    QMainWindow main;
    auto *docked = new TSendForm(settings, &main);
    main.addDockWidget(Qt::BottomDockWidgetArea, docked);
    int activations = 0;
    QObject::connect(docked, &TSendForm::Activated, [&] { ++activations; });

    QFocusEvent focusIn(QEvent::FocusIn);
    QApplication::sendEvent(docked->RichSend, &focusIn);
    EXPECT_EQ(activations, 1);

    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(docked, &activate);
    EXPECT_EQ(activations, 1) << "docked: the main window's activation is not the send view's";

    docked->setFloating(true);
    QApplication::sendEvent(docked, &activate);
    EXPECT_EQ(activations, 2);
}

TEST_F(SendFormTest, OwnCloseButtonHidesAndReportsClosed)
{
    int closed = 0;
    QObject::connect(&form, &TSendForm::Closed, [&] { ++closed; });
    form.show();
    form.close();
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(SendFormTest, ControlsCarryTheirNames)
{
    EXPECT_EQ(form.objectName(), "SendForm");
    EXPECT_EQ(form.windowTitle(), "Send");
    for (const char *name : { "RichSend", "SendBar", "ToolButton1", "ToolButton2", "ToolButton3",
             "ToolButton7", "ToolButton8" })
        EXPECT_NE(form.findChild<QWidget *>(name), nullptr) << name;
    EXPECT_EQ(View()->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(form.ToolButton1->size(), QSize(24, 25));
}

} // namespace
