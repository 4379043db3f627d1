#include "app/engine/data_rt.h"
#include "app/engine/gbk_codec.h"
#include "app/shell/colors.h"
#include "app/shell/message_box.h"
#include "engine/vek_scomm.h"
#include "support/manual_clock.h"
#include "support/pty_pair.h"
#include "support/qt_renderer_views.h"
#include "support/qt_wait.h"
#include "support/qt_wrap_columns.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDeadlineTimer>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <ostream>
#include <vector>

// Readable failure messages for texts.
static void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

constexpr uint32_t kReceiveColor = 0x0000FF; // red in 0x00BBGGRR
constexpr uint32_t kSendColor = 0xFF0000; // blue

struct Run
{
    QString Text;
    QColor Color;
};

std::vector<Run> RunsOf(const QTextBlock &block)
{
    std::vector<Run> runs;
    for (auto it = block.begin(); !it.atEnd(); ++it)
        runs.push_back({ it.fragment().text(), it.fragment().charFormat().foreground().color() });
    return runs;
}

// A left-button event as the window system would deliver it.
void SendMouse(QWidget *widget, QEvent::Type type, QPoint pos, Qt::KeyboardModifiers keys = {})
{
    const Qt::MouseButtons held
        = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(
        type, QPointF(pos), QPointF(widget->mapToGlobal(pos)), Qt::LeftButton, held, keys);
    QApplication::sendEvent(widget, &event);
}

class DataRtTest : public ::testing::Test, protected RendererViews
{
protected:
    DataRtTest()
    {
        settings.ReceiveFontColor = int32_t(kReceiveColor);
        settings.SendFontColor = int32_t(kSendColor);
        clock.SetLocalTime({ 14, 3, 27, 0 });
        renderer = std::make_unique<TDataRT>(&send, channel, &monitor, &find, settings, clock);
    }
    ~DataRtTest() override { SetMessageBoxHandler({}); }

    // Queues the R line of one burst; the first one shows the gap 20.
    void Receive(std::string_view bytes)
    {
        clock.Advance(20);
        channel.AppendReceivedBurst(bytes, clock.Tick());
    }

    void OpenPortOn(const PtyPair &pty)
    {
        channel.ComPort().SetPort(pty.SlavePath());
        channel.OpenPort();
    }

    void RenderAll()
    {
        for (int i = 0; i < 20; ++i)
            renderer->RenderTick();
    }

    // Monitor lines without the empty block after the last line break.
    QStringList MonitorLines() const
    {
        QStringList lines = monitor.toPlainText().split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.back().isEmpty())
            lines.removeLast();
        return lines;
    }

    void SetCaret(QPlainTextEdit &view, int position, int anchor = -1)
    {
        QTextCursor cursor(view.document());
        cursor.setPosition(anchor < 0 ? position : anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        view.setTextCursor(cursor);
    }

    std::unique_ptr<TDataRT> renderer;
};

TEST_F(DataRtTest, StampFollowsTimeAndDirectionSwitches)
{
    struct Case
    {
        uint8_t Time, Direction;
        const char *ReceivedStamp, *SentStamp;
    };
    const Case cases[] = {
        { 1, 1, "[14:03:27  20 Rx] ", "[14:03:27  20 Tx] " },
        { 1, 0, "[14:03:27  20] ", "[14:03:27  20] " },
        { 0, 1, "[R x] ", "[T x] " },
        { 0, 0, "", "" },
    };
    for (const Case &c : cases) {
        renderer->TimeSwitch = c.Time;
        renderer->DirectionSwitch = c.Direction;
        EXPECT_EQ(renderer->MonitorStamp('R', "[14:03:27  20]"), c.ReceivedStamp);
        EXPECT_EQ(renderer->MonitorStamp('T', "[14:03:27  20]"), c.SentStamp);
    }
}

TEST_F(DataRtTest, ReceivedLineShowsGreyStampAndBodyInReceiveColour)
{
    Receive("\x01\x03"); // "R[14:03:27  20]01 03"
    renderer->RenderTick();
    renderer->TimeSwitch = 1;
    renderer->DirectionSwitch = 1;
    Receive("\x0A");
    renderer->RenderTick();

    // The second gap counts from the end of the first burst's read, 20 ms earlier.
    ASSERT_EQ(MonitorLines(), QStringList({ "01 03", "[14:03:27  40 Rx] 0A" }));
    const auto bare = RunsOf(monitor.document()->findBlockByNumber(0));
    ASSERT_EQ(bare.size(), 1u);
    EXPECT_EQ(bare[0].Color, ColorFromBgr(kReceiveColor));

    const auto stamped = RunsOf(monitor.document()->findBlockByNumber(1));
    ASSERT_EQ(stamped.size(), 2u);
    EXPECT_EQ(stamped[0].Text, "[14:03:27  40 Rx] ");
    EXPECT_EQ(stamped[0].Color, ColorFromBgr(kStampColor));
    EXPECT_EQ(stamped[1].Text, "0A");
    EXPECT_EQ(stamped[1].Color, ColorFromBgr(kReceiveColor));

    // Output lines are not edits: nothing to undo in the monitor.
    EXPECT_FALSE(monitor.document()->isUndoAvailable());
    EXPECT_TRUE(send.document()->isUndoRedoEnabled());
}

TEST_F(DataRtTest, ReceivedCharactersAreGbkAndNeverMarkup)
{
    channel.ReceiveHex = 0;
    Receive("\xC4\xE3");
    Receive("<b>&amp;</b>");
    RenderAll();
    EXPECT_EQ(MonitorLines(), QStringList({ QString::fromUtf8("你"), "<b>&amp;</b>" }));
}

TEST_F(DataRtTest, SwitchesDecideWhichLinesAreShown)
{
    PtyPair pty;
    OpenPortOn(pty);

    // A T line taken while SentSwitch is 0 is gone for good.
    channel.SendLine("01 02");
    renderer->RenderTick();
    renderer->SentSwitch = 1;
    RenderAll();
    EXPECT_TRUE(MonitorLines().isEmpty());

    // Paused monitoring drops R lines but still shows T lines.
    renderer->DisplaySwitch = 0;
    Receive("\x05");
    channel.SendLine("0304");
    RenderAll();
    ASSERT_EQ(MonitorLines(), QStringList({ "03 04 " }));
    EXPECT_EQ(RunsOf(monitor.document()->firstBlock()).at(0).Color, ColorFromBgr(kSendColor));
}

TEST_F(DataRtTest, ReceiveFilterComparesTheCharactersOfOneByte)
{
    struct Case
    {
        int32_t ByteNo;
        const char *Value;
        const char *Body;
        bool Passes;
    };
    const Case cases[] = {
        { 3, "0A", "01 02 0A 04", true }, { 3, "0A", "01 02 0B 04", false },
        { 3, "0A", "01 02", false }, // too short to hold byte 3
        { 3, "0a", "01 02 0A 04", false }, // letter case counts
        { 1, "01", "01", true }, { 2, "DE", "ABCDEFG", true }, // characters: the same positions
        { 0, "0A", "01 02 0B 04", true }, { 3, "", "01 02 0B 04", true },
        { -4, "0A", "01 02 0B 04", true }, // damaged: treated as unused
        { INT32_MAX, "0A", "01 02 0A", false }, // damaged: far beyond any body
    };
    settings.FilterEnabled = 1;
    for (const Case &c : cases) {
        settings.FilterEntries[0].FilterByteNo = c.ByteNo;
        settings.FilterEntries[0].SetFilterValue(c.Value);
        EXPECT_EQ(renderer->PassesReceiveFilter(c.Body), c.Passes) << c.ByteNo << " " << c.Body;
    }

    // A length byte beyond the field is read as the two characters it holds.
    settings.FilterEntries[0].FilterByteNo = 3;
    settings.FilterEntries[0].SetFilterValue("0A");
    settings.FilterEntries[0].FilterValueLength = 200;
    EXPECT_TRUE(renderer->PassesReceiveFilter("01 02 0A"));

    // Every entry in use must match.
    settings.FilterEntries[1].FilterByteNo = 1;
    settings.FilterEntries[1].SetFilterValue("FF");
    EXPECT_FALSE(renderer->PassesReceiveFilter("01 02 0A"));

    settings.FilterEnabled = 0;
    EXPECT_TRUE(renderer->PassesReceiveFilter("01 02 0A"));
}

TEST_F(DataRtTest, FilteredLinesAreNotShown)
{
    settings.FilterEnabled = 1;
    settings.FilterEntries[0].FilterByteNo = 3;
    settings.FilterEntries[0].SetFilterValue("0A");
    Receive(std::string_view("\x01\x02\x0A\x04", 4));
    Receive(std::string_view("\x01\x02\x0B\x04", 4));
    RenderAll();
    EXPECT_EQ(MonitorLines(), QStringList({ "01 02 0A 04" }));
}

TEST_F(DataRtTest, ATickTakesTheQueuedLinesAndTheTimerSleepsWhenIdle)
{
    renderer->RenderBudgetMs = 60000;
    Receive("\x01");
    Receive("\x02");
    Receive("\x03");
    renderer->RenderTick();
    EXPECT_EQ(MonitorLines(), QStringList({ "01", "02", "03" }));

    EXPECT_TRUE(WaitUntil([&] { return !renderer->RenderTimer->isActive(); }));

    // A line queued later (as by the receive thread) wakes the timer again.
    Receive("\x04");
    EXPECT_TRUE(WaitUntil([&] { return MonitorLines().size() == 4; }));
}

// Fifty lines taken in one tick are filtered one by one, and the receive
// trigger sees each in order: as with lines taken one per tick, only the last
// line can still be answered, and a line that the filter hides counts too.
TEST_F(DataRtTest, ABatchKeepsTheFilterAndTheTriggerOfEveryLine)
{
    struct Case
    {
        const char *What;
        const char *Prepared; // send-view line 1
        bool Answered;
    };
    const Case cases[] = {
        { "the last line matches (and is filtered out)", "01 32 0b", true },
        { "a match followed by newer lines", "01 19 0B", false },
    };
    PtyPair pty;
    OpenPortOn(pty);
    settings.FilterEnabled = 1;
    settings.FilterEntries[0].FilterByteNo = 3;
    settings.FilterEntries[0].SetFilterValue("0A");
    renderer->RenderBudgetMs = 60000;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.What);
        monitor.clear();
        send.setPlainText(QString(c.Prepared) + "\nAA BB");
        TriggerParams trigger {};
        trigger.ReceiveTriggerEnabled = 1;
        trigger.ReceiveTriggerList[0] = { 1, 2 };
        renderer->Scheduler->SetTriggerParams(trigger);
        renderer->SetTriggerSwitch(true);

        QStringList expected;
        for (int i = 1; i <= 50; ++i) {
            const char third = i % 3 == 0 ? '\x0A' : '\x0B';
            Receive(std::string { '\x01', char(i), third });
            if (i % 3 == 0)
                expected << QString::asprintf("01 %02X 0A", i);
        }
        renderer->RenderTick();
        EXPECT_EQ(channel.QueuedLines(), 0u);
        EXPECT_EQ(MonitorLines(), expected);

        renderer->RenderTick(); // the answer goes out on a tick that takes no line
        EXPECT_EQ(pty.Read(2, c.Answered ? 2000 : 100), c.Answered ? "\xAA\xBB" : "");
        renderer->SetTriggerSwitch(false);
        while (channel.QueuedLines() > 0)
            renderer->RenderTick(); // the answer's own T line
    }
}

TEST_F(DataRtTest, QueuedLineAfterTheRendererIsGoneIsHarmless)
{
    renderer.reset();
    Receive("\x01");
    QCoreApplication::processEvents();
    EXPECT_EQ(channel.QueuedLines(), 1u);
}

TEST_F(DataRtTest, RepaintsAreHeldWhileLinesKeepComing)
{
    monitor.show();
    Receive("\x01");
    SetCaret(monitor, 0);
    renderer->RenderTick(); // the first line is shown at once
    EXPECT_TRUE(monitor.updatesEnabled());
    EXPECT_TRUE(monitor.textCursor().atEnd());

    SetCaret(monitor, 0, 2); // a selection of the user
    Receive("\x02");
    renderer->RenderTick();
    Receive("\x03");
    renderer->RenderTick();
    EXPECT_FALSE(monitor.updatesEnabled());

    // When the repaint window ends, the held lines appear together and the
    // caret goes to the end, dropping the selection.
    EXPECT_TRUE(WaitUntil([&] { return monitor.updatesEnabled(); }));
    EXPECT_TRUE(monitor.textCursor().atEnd());
    EXPECT_FALSE(monitor.textCursor().hasSelection());
    EXPECT_EQ(MonitorLines().size(), 3);
}

// While held, the monitor's scroll range is not kept exact (that would lay out
// every line that scrolls by unseen); when the window ends it must be exact
// again, with the last line at the bottom and no room to scroll past it.
TEST_F(DataRtTest, AfterAHeldStreamTheEndIsAtTheBottomOfTheMonitor)
{
    monitor.resize(400, 200);
    monitor.show();
    Receive("\x01");
    renderer->RenderTick(); // shown at once; the window opens
    for (int i = 0; i < 100; ++i) {
        Receive("\x02");
        renderer->RenderTick();
    }
    EXPECT_FALSE(monitor.updatesEnabled());
    ASSERT_TRUE(WaitUntil([&] { return monitor.updatesEnabled(); }));

    const QScrollBar *bar = monitor.verticalScrollBar();
    EXPECT_GE(bar->value(), bar->maximum() - 1); // the line at the top may be cut
    EXPECT_LE(bar->maximum() + bar->pageStep(), monitor.document()->lineCount());
    const int lineHeight = monitor.fontMetrics().lineSpacing();
    EXPECT_GT(monitor.cursorRect().bottom(), monitor.viewport()->height() - 2 * lineHeight);
}

TEST_F(DataRtTest, CaretFiguresCountBytesOrCharactersAfterTheStamp)
{
    monitor.setPlainText("[14:03:27  20 Rx] 01 02 03 04\n[R x] 0A 0B\nfree text");
    const int body = int(QString("[14:03:27  20 Rx] ").size());
    struct Case
    {
        uint8_t Hex;
        int Position;
        int Line, Column;
    };
    const Case cases[] = {
        { 1, body + 8, 1, 3 }, // behind the third pair
        { 1, body + 7, 1, 3 }, // between the digits of the third pair
        { 1, body, 1, 0 }, { 1, 3, 1, 0 }, // inside the stamp
        { 0, body + 8, 1, 8 }, // characters
        { 1, 30 + 6 + 2, 2, 1 }, // second line, behind "0A"
        { 0, 30 + 12 + 4, 3, 4 }, // no stamp: "free"
    };
    for (const Case &c : cases) {
        channel.ReceiveHex = c.Hex;
        SetCaret(monitor, c.Position);
        renderer->UpdateCaretFigures();
        EXPECT_EQ(renderer->ActiveViewHex, c.Hex);
        EXPECT_EQ(renderer->CaretLine, c.Line) << c.Position;
        EXPECT_EQ(renderer->CaretColumn, c.Column) << c.Position;
    }

    // The send view follows SendHex, not ReceiveHex.
    channel.ReceiveHex = 1;
    channel.SendHex = 0;
    send.setPlainText("01 02 03");
    renderer->SetActiveView(&send);
    SetCaret(send, 5);
    renderer->UpdateCaretFigures();
    EXPECT_EQ(renderer->ActiveViewHex, 0);
    EXPECT_EQ(renderer->CaretColumn, 5);
}

TEST_F(DataRtTest, CaretLineCountsWrappedLinesWhenWrapIsOn)
{
    channel.ReceiveHex = 0;
    WrapAtColumns(monitor, 10);
    // A shown line of two parts before the long one (digits: the view's font
    // may be a proportional stand-in, but its digits share one width).
    monitor.setPlainText("0123456789 0123\n0123456789ABCDEFGHIJKLMNO");
    monitor.show();
    QCoreApplication::processEvents();
    SetCaret(monitor, 16 + 23); // "N" on the third part of the long line
    renderer->UpdateCaretFigures();
    EXPECT_EQ(renderer->CaretLine, 5);
    EXPECT_EQ(renderer->CaretColumn, 3);
}

TEST_F(DataRtTest, MousePressOnAViewUpdatesTheFigures)
{
    channel.ReceiveHex = 1;
    monitor.setPlainText("[R x] 01 02 03 04");
    monitor.resize(400, 200);
    monitor.show();
    QCoreApplication::processEvents();
    QTextCursor target(monitor.document());
    target.setPosition(6 + 8);
    const QPoint point = monitor.cursorRect(target).center() + QPoint(1, 0);
    SendMouse(monitor.viewport(), QEvent::MouseButtonPress, point);
    QCoreApplication::processEvents();
    EXPECT_EQ(monitor.textCursor().position(), 6 + 8);
    EXPECT_EQ(renderer->CaretLine, 1);
    EXPECT_EQ(renderer->CaretColumn, 3);
}

TEST_F(DataRtTest, SelectionSizeIsWholePairsOrCharacters)
{
    monitor.setPlainText("01 02 03");
    SetCaret(monitor, 7, 0); // "01 02 0"
    renderer->ActiveViewHex = 1;
    renderer->UpdateSelectionSize();
    EXPECT_EQ(renderer->SelectionSize, 2);
    renderer->ActiveViewHex = 0;
    renderer->UpdateSelectionSize();
    EXPECT_EQ(renderer->SelectionSize, 7);
}

TEST_F(DataRtTest, CtrlReleaseOverAHexSelectionAsksForThePopup)
{
    struct Case
    {
        const char *Selection;
        Qt::KeyboardModifiers Keys;
        const char *Decimal; // nullptr: no pop-up
        const char *Bits;
    };
    const Case cases[] = {
        { "00 FF", Qt::ControlModifier, "255", "0000 0000 1111 1111 " },
        { "FFFFFFFF", Qt::ControlModifier, "-1", "1111 1111 1111 1111 1111 1111 1111 1111 " },
        { "7FFFFFFF", Qt::ControlModifier, "2147483647", nullptr },
        { "00 FF", Qt::NoModifier, nullptr, nullptr },
        { "1 2", Qt::ControlModifier, nullptr, nullptr },
        { "0102030405", Qt::ControlModifier, nullptr, nullptr }, // more than four bytes
    };
    monitor.resize(400, 200);
    monitor.show();
    struct Popup
    {
        QString Decimal, Bits;
        QPoint Pos;
    };
    std::vector<Popup> popups;
    QObject::connect(renderer.get(), &TDataRT::PopupConversionRequested,
        [&](const QString &decimal, const QString &bits, QPoint pos) {
            popups.push_back({ decimal, bits, pos });
        });
    for (const Case &c : cases) {
        popups.clear();
        monitor.setPlainText(c.Selection);
        monitor.selectAll();
        SendMouse(monitor.viewport(), QEvent::MouseButtonRelease, QPoint(5, 5), c.Keys);
        QCoreApplication::processEvents();
        if (!c.Decimal) {
            EXPECT_TRUE(popups.empty()) << c.Selection;
            continue;
        }
        ASSERT_EQ(popups.size(), 1u) << c.Selection;
        EXPECT_EQ(popups[0].Decimal, c.Decimal);
        if (c.Bits) {
            EXPECT_EQ(popups[0].Bits, c.Bits);
        }
        EXPECT_EQ(popups[0].Pos, monitor.viewport()->mapToGlobal(QPoint(5, 5)));
    }
}

class SendCaretLineTest : public DataRtTest
{
protected:
    SendCaretLineTest()
    {
        renderer->SetWarningOwner(&send);
        SetMessageBoxHandler([this](const MessageBoxRequest &request) {
            boxes.push_back(request);
            return QMessageBox::Ok;
        });
        send.setPlainText("01 03 0a\n\n01 0G\nAT");
    }
    void CaretOnLine(int block)
    {
        SetCaret(send, send.document()->findBlockByNumber(block).position());
    }

    std::vector<MessageBoxRequest> boxes;
};

TEST_F(SendCaretLineTest, HexLineReachesThePortAsBytes)
{
    PtyPair pty;
    OpenPortOn(pty);
    CaretOnLine(0);
    renderer->SendCaretLine();
    EXPECT_EQ(pty.Read(3, 2000), "\x01\x03\x0A");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SendCaretLineTest, EmptyLineSendsNothing)
{
    PtyPair pty;
    OpenPortOn(pty);
    CaretOnLine(1);
    renderer->SendCaretLine();
    EXPECT_EQ(pty.Read(1, 200), "");
    EXPECT_EQ(channel.TxCount.load(), 0u);
    EXPECT_EQ(channel.QueuedLines(), 0u);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SendCaretLineTest, RefusedLineWarnsWithItsNumber)
{
    PtyPair pty;
    OpenPortOn(pty);
    CaretOnLine(2);
    renderer->SendCaretLine();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Caption, "Send");
    EXPECT_EQ(boxes[0].Text, "Line 3 is not the right format.");
    EXPECT_EQ(boxes[0].Owner, &send);
    EXPECT_EQ(boxes[0].Icon, QMessageBox::Warning);
    EXPECT_EQ(pty.Read(1, 200), "");
}

TEST_F(SendCaretLineTest, ClosedPortSendsAndReportsNothing)
{
    CaretOnLine(2);
    renderer->SendCaretLine();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(channel.QueuedLines(), 0u);
}

TEST_F(SendCaretLineTest, CharactersAreSentAsGbkAndShownAsSent)
{
    PtyPair pty;
    OpenPortOn(pty);
    channel.SendHex = 0;
    renderer->SentSwitch = 1;
    send.setPlainText(QString::fromUtf8("你"));
    renderer->SendCaretLine();
    EXPECT_EQ(pty.Read(2, 2000), "\xC4\xE3");
    EXPECT_TRUE(WaitUntil([&] { return !MonitorLines().isEmpty(); }));
    EXPECT_EQ(MonitorLines(), QStringList({ QString::fromUtf8("你") }));
}

TEST(GbkCodec, DecodesAndEncodes)
{
    struct Case
    {
        std::string Bytes;
        QString Text;
    };
    const Case cases[] = {
        { "01 03 ", "01 03 " },
        { "\xC4\xE3", QString::fromUtf8("你") },
        { "A\xC4", QString::fromUtf8("A\uFFFD") }, // a lead byte left at the end
        { "\xC4 B", QString::fromUtf8("\uFFFD B") },
        { std::string("\0\r", 2), QString(QChar(0)) + QChar('\r') },
    };
    for (const Case &c : cases)
        EXPECT_EQ(DecodeGbk(c.Bytes), c.Text) << c.Bytes;
    EXPECT_EQ(EncodeGbk(QString::fromUtf8("A你")), "A\xC4\xE3");
    EXPECT_EQ(EncodeGbk("AT\r"), "AT\r");
}

} // namespace

namespace {

// Received frames with a wrong checksum get a red stamp and are counted; their
// data text stays as it came, and nothing is judged while the check is off.
TEST_F(DataRtTest, ReceivedFramesWithAWrongChecksumAreMarkedAndCounted)
{
    settings.ChecksumType = 5; // Modbus-CRC16
    settings.ReceiveFontColor = 0x008000; // green, apart from the red of a bad stamp
    renderer->TimeSwitch = 1;
    Receive(std::string("\x01\x03\x00\x00\x00\x01\x84\x0A", 8)); // good
    Receive(std::string("\x01\x03\x00\x00\x00\x01\x84\x0B", 8)); // bad
    RenderAll();
    EXPECT_EQ(renderer->BadChecksumLines, 0u) << "the check is off";

    renderer->CheckReceivedChecksum = true;
    Receive(std::string("\x01\x03\x00\x00\x00\x01\x84\x0A", 8));
    Receive(std::string("\x01\x03\x00\x00\x00\x01\x84\x0B", 8));
    Receive("\x05"); // too short to hold a frame: left alone
    RenderAll();
    EXPECT_EQ(renderer->BadChecksumLines, 1u);

    const QTextBlock good = monitor.document()->findBlockByNumber(2);
    const QTextBlock bad = good.next();
    ASSERT_EQ(RunsOf(bad).size(), 2u);
    EXPECT_EQ(RunsOf(good).front().Color, ColorFromBgr(kStampColor));
    EXPECT_EQ(RunsOf(bad).front().Color, ColorFromBgr(kBadChecksumStampColor));
    EXPECT_EQ(RunsOf(bad).back().Text, "01 03 00 00 00 01 84 0B");
    EXPECT_EQ(RunsOf(bad).back().Color, ColorFromBgr(0x008000));
    EXPECT_EQ(RunsOf(good.next().next()).front().Color, ColorFromBgr(kStampColor));

    settings.ChecksumType = -1; // no kind chosen: nothing to check against
    Receive(std::string("\x01\x03\x00\x00\x00\x01\x84\x0B", 8));
    RenderAll();
    EXPECT_EQ(renderer->BadChecksumLines, 1u);
}

} // namespace
