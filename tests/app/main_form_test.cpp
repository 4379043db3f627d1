// The main window as a user meets it: start-up, the stored settings, the port
// commands and shutdown, offscreen with a private data folder.
#include "app/engine/data_rt.h"
#include "app/engine/lost_device_monitor.h"
#include "app/port/com_combo_box.h"
#include "app/send/send_form.h"
#include "app/send/set_form.h"
#include "app/shell/main_form.h"
#include "app/shell/message_box.h"
#include "app/shell/status_bar_my.h"
#include "engine/vek_com_thread.h"
#include "engine/vek_scomm.h"
#include "shell/atomic_file.h"
#include "support/pty_pair.h"
#include "support/qt_action_named.h"
#include "support/qt_main_form_test.h"
#include "support/qt_wait.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sys/stat.h>

namespace {

class MainFormTest : public MainFormTestBase
{
protected:
    std::string Folder() const { return DataFolder(); }

    static std::unique_ptr<TMainForm> Start() { return StartMainForm(); }

    SettingsRecord StoredRecord() const
    {
        SettingsRecord record = SettingsRecord::Defaults();
        LoadSettings(record, Folder());
        return record;
    }
};

TEST_F(MainFormTest, FirstStartUsesDefaultsAndCloseWritesTheThreeFiles)
{
    auto form = Start();
    ASSERT_TRUE(form->StartupDone());
    EXPECT_FALSE(FileExists(Folder() + "data")); // settings are written at the first close
    EXPECT_FALSE(ActionNamed(*form, "ShowTime1")->isChecked());
    EXPECT_FALSE(ActionNamed(*form, "ShowRxTx1")->isChecked());
    EXPECT_FALSE(ActionNamed(*form, "SendingMessage1")->isChecked());
    EXPECT_FALSE(ActionNamed(*form, "WordWrap1")->isChecked());
    EXPECT_FALSE(form->SendForm()->isVisible());
    EXPECT_EQ(form->CBoxBaudRate()->Text(), "9600");
    EXPECT_EQ(form->CBoxParity()->Text(), "None");
    EXPECT_EQ(form->CBoxDataBits()->Text(), "8");
    EXPECT_EQ(form->CBoxStopBits()->Text(), "1");

    form->SendForm()->RichSend->setPlainText("01 03 00 00 00 01\nAT");
    form->close();

    EXPECT_TRUE(FileExists(Folder() + "config.ini"));
    EXPECT_EQ(std::filesystem::file_size(Folder() + "data"), 1528u);
    ASSERT_TRUE(FileExists(Folder() + "send"));

    auto again = Start();
    EXPECT_EQ(again->SendForm()->RichSend->toPlainText(), "01 03 00 00 00 01\nAT");
}

TEST_F(MainFormTest, StoredSwitchesAndSelectionsComeBackButAutomaticSendingStartsOff)
{
    SettingsRecord record = SettingsRecord::Defaults();
    record.ShowTime = 1;
    record.WordWrap = 1;
    record.AsciiSend = 1;
    record.BaudRateIndex = 13; // 115200
    record.ParityIndex = 2; // Even
    record.LoopSendEnabled = 1;
    record.FilterEnabled = 1;
    record.Trigger.TimingTriggerEnabled = 1;
    record.Trigger.ReceiveTriggerEnabled = 1;
    SaveSettings(record, Folder());

    auto form = Start();
    EXPECT_TRUE(ActionNamed(*form, "ShowTime1")->isChecked());
    EXPECT_TRUE(ActionNamed(*form, "WordWrap1")->isChecked());
    EXPECT_EQ(form->RichShow()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_TRUE(ActionNamed(*form, "ASCIISend1")->isChecked());
    EXPECT_EQ(form->Channel()->SendHex.load(), 0);
    EXPECT_EQ(form->CBoxBaudRate()->Text(), "115200");
    EXPECT_EQ(form->CBoxParity()->Text(), "Even");
    EXPECT_EQ(form->Settings().LoopSendEnabled, 0);
    EXPECT_EQ(form->Settings().FilterEnabled, 0);
    EXPECT_EQ(form->Settings().Trigger.TimingTriggerEnabled, 0);
    EXPECT_EQ(form->Settings().Trigger.ReceiveTriggerEnabled, 0);
    EXPECT_FALSE(ActionNamed(*form, "LoopToSend1")->isChecked());
    EXPECT_FALSE(ActionNamed(*form, "FilterSettingsMenu1")->isChecked());
    EXPECT_FALSE(form->DataRT()->SendTimer->isActive());

    form->CBoxStopBits()->setCurrentIndex(2);
    form->close();
    EXPECT_EQ(StoredRecord().StopBitsIndex, 2);
    EXPECT_EQ(StoredRecord().ShowTime, 1);
}

TEST_F(MainFormTest, SwitchCommandsFlipTheRecordAndKeepEveryControlInStep)
{
    auto form = Start();
    ActionNamed(*form, "ShowRxTx1")->trigger();
    EXPECT_EQ(form->Settings().ShowRxTx, 1);
    EXPECT_EQ(form->DataRT()->DirectionSwitch, 1);
    EXPECT_TRUE(ActionNamed(*form, "ShowRxTx1")->isChecked());
    ActionNamed(*form, "ShowRxTx1")->trigger();
    EXPECT_EQ(form->Settings().ShowRxTx, 0);
    EXPECT_FALSE(ActionNamed(*form, "ShowRxTx1")->isChecked());

    ActionNamed(*form, "ASCIIReceive1")->trigger();
    EXPECT_EQ(form->Channel()->ReceiveHex.load(), 0);
    ActionNamed(*form, "SendWindow1")->trigger();
    EXPECT_EQ(form->Settings().SendWindowVisible, 1);
    EXPECT_TRUE(form->SendForm()->isVisible());
    ActionNamed(*form, "SendWindow1")->trigger();
    EXPECT_FALSE(form->SendForm()->isVisible());
}

TEST_F(MainFormTest, OpenAndCloseMoveTheWindowBetweenItsTwoStates)
{
    PtyPair pty;
    auto form = Start();
    form->CBoxPort()->setEditText(QString::fromStdString(pty.SlavePath()));
    ActionNamed(*form, "OpenPort1")->trigger();

    ASSERT_TRUE(form->Channel()->ComPort().Connected()) << boxes_.size();
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(ActionNamed(*form, "OpenPort1")->text(), "Close Port");
    EXPECT_FALSE(form->CBoxPort()->isEnabled());
    EXPECT_FALSE(form->CBoxBaudRate()->isEnabled());
    EXPECT_TRUE(ActionNamed(*form, "Dtr1")->isEnabled());
    EXPECT_TRUE(ActionNamed(*form, "Rts1")->isEnabled());
    EXPECT_TRUE(form->ComThread()->Running());

    // A burst on the wire becomes a monitor line.
    pty.Write(std::string("\x01\x03\x02\x00\x0A", 5));
    WaitUntil([&] { return !form->RichShow()->toPlainText().isEmpty(); });
    EXPECT_EQ(form->RichShow()->toPlainText().trimmed(), "01 03 02 00 0A");

    ActionNamed(*form, "OpenPort1")->trigger();
    EXPECT_FALSE(form->Channel()->ComPort().Connected());
    EXPECT_EQ(ActionNamed(*form, "OpenPort1")->text(), "Open Port");
    EXPECT_TRUE(form->CBoxPort()->isEnabled());
    EXPECT_FALSE(ActionNamed(*form, "Dtr1")->isEnabled());
    EXPECT_FALSE(form->ComThread()->Running());
}

TEST_F(MainFormTest, TheLostDeviceAndChecksumSwitchesAreKeptBesideTheLayout)
{
    auto form = Start();
    EXPECT_TRUE(ActionNamed(*form, "ReopenLostDevice1")->isChecked());
    EXPECT_FALSE(ActionNamed(*form, "CheckReceivedChecksum1")->isChecked());
    EXPECT_EQ(form->StatusHint(), "F1 for help");

    ActionNamed(*form, "ReopenLostDevice1")->trigger();
    ActionNamed(*form, "CheckReceivedChecksum1")->trigger();
    EXPECT_TRUE(form->DataRT()->CheckReceivedChecksum);
    form->DataRT()->BadChecksumLines = 3;
    EXPECT_EQ(form->StatusHint(), "Bad sums: 3");
    emit form->StatusBar1()->DoubleClicked(); // resets it with the byte counters
    EXPECT_EQ(form->StatusHint(), "Bad sums: 0");
    form->close();

    auto again = Start();
    EXPECT_FALSE(ActionNamed(*again, "ReopenLostDevice1")->isChecked());
    EXPECT_TRUE(ActionNamed(*again, "CheckReceivedChecksum1")->isChecked());
    EXPECT_TRUE(again->DataRT()->CheckReceivedChecksum);
    EXPECT_FALSE(again->LostDeviceMonitor()->Enabled());
}

TEST_F(MainFormTest, ATypedPortNameComesBackAtTheNextStart)
{
    auto form = Start();
    form->CBoxPort()->setEditText("/tmp/ttyV0");
    form->close();
    EXPECT_EQ(StoredRecord().PortIndex, 255);

    auto again = Start();
    EXPECT_EQ(again->CBoxPort()->Text(), "/tmp/ttyV0");
}

TEST_F(MainFormTest, AFailedOpenWarnsAndLeavesTheWindowClosed)
{
    auto form = Start();
    form->CBoxPort()->setEditText("/nonexistent/ttyNothing");
    ActionNamed(*form, "OpenPort1")->trigger();

    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].Caption, "Open Port");
    EXPECT_TRUE(
        boxes_[0].Text.startsWith("Open port failure,it may be opened by other procedures.\n"));
    EXPECT_FALSE(form->Channel()->ComPort().Connected());
    EXPECT_TRUE(form->CBoxPort()->isEnabled());
    EXPECT_FALSE(ActionNamed(*form, "Dtr1")->isEnabled());
    EXPECT_FALSE(ActionNamed(*form, "Rts1")->isEnabled());
    EXPECT_EQ(ActionNamed(*form, "OpenPort1")->text(), "Open Port");
}

TEST_F(MainFormTest, PauseDropsReceivedLinesAndSurvivesReopening)
{
    PtyPair pty;
    auto form = Start();
    form->CBoxPort()->setEditText(QString::fromStdString(pty.SlavePath()));
    ActionNamed(*form, "OpenPort1")->trigger();
    ASSERT_TRUE(form->Channel()->ComPort().Connected());

    ActionNamed(*form, "PauseMonitoring1")->trigger();
    EXPECT_TRUE(form->MonitoringPaused());
    EXPECT_TRUE(ActionNamed(*form, "PauseMonitoring1")->isChecked());
    pty.Write("\x11");
    // Drained while paused: the next burst is the first thing seen.
    ActionNamed(*form, "OpenPort1")->trigger(); // close
    ActionNamed(*form, "OpenPort1")->trigger(); // and open again, still paused
    ASSERT_TRUE(form->Channel()->ComPort().Connected());
    pty.Write("\x12");
    WaitUntil([] { return false; }, 300); // room for a wrongly shown line to appear
    EXPECT_EQ(form->RichShow()->toPlainText(), "");
    EXPECT_EQ(form->Channel()->RxCount.load(), 0u);

    ActionNamed(*form, "PauseMonitoring1")->trigger();
    EXPECT_EQ(form->Channel()->MonitoringOn.load(), 1);
    pty.Write("\x13");
    WaitUntil([&] { return !form->RichShow()->toPlainText().isEmpty(); });
    EXPECT_EQ(form->RichShow()->toPlainText().trimmed(), "13");
}

TEST_F(MainFormTest, ClosingWhileMinimizedStillKeepsSettingsAndSendText)
{
    auto form = Start();
    form->SendForm()->RichSend->setPlainText("AA BB");
    form->showMinimized();
    QApplication::processEvents();
    if (!form->isMinimized())
        GTEST_SKIP() << "this platform cannot minimize windows";
    form->close();
    EXPECT_FALSE(FileExists(Folder() + "config.ini"));
    EXPECT_TRUE(FileExists(Folder() + "data"));
    EXPECT_TRUE(FileExists(Folder() + "send"));
}

TEST_F(MainFormTest, AFileThatCannotBeWrittenAtCloseCostsNeitherTheOthersNorTheWindow)
{
    auto form = Start();
    form->SendForm()->RichSend->setPlainText("AA BB");
    std::filesystem::create_directories(Folder() + "data"); // "data" can never be replaced
    QMessageBox::StandardButton answer = QMessageBox::No;
    SetMessageBoxHandler([&](const MessageBoxRequest &request) {
        boxes_.push_back(request);
        return answer;
    });

    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(FileExists(Folder() + "send"));
    EXPECT_TRUE(FileExists(Folder() + "config.ini"));
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].Buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(boxes_[0].DefaultButton, QMessageBox::No);
    EXPECT_TRUE(boxes_[0].Text.contains("\ndata: ")) << boxes_[0].Text.toStdString();
    EXPECT_FALSE(boxes_[0].Text.contains("send:"));

    answer = QMessageBox::Yes;
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MainFormTest, TheSendViewOffersTheEditPopupOfTheMonitor)
{
    auto form = Start();
    QPlainTextEdit *send = form->SendForm()->RichSend;
    ASSERT_EQ(send->contextMenuPolicy(), Qt::CustomContextMenu);
    for (QPlainTextEdit *view : { form->RichShow(), send }) {
        emit view->customContextMenuRequested(QPoint(5, 5));
        auto *menu = form->findChild<QMenu *>("EditPopupMenu");
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(menu->isVisible());
        QStringList items;
        for (QAction *action : menu->actions())
            items << (action->isSeparator() ? "-" : action->text());
        EXPECT_EQ(items, QStringList({ "Cut", "Copy", "Paste", "-", "To Dec Bin" }));
        menu->hide();
    }
}

TEST_F(MainFormTest, EveryCaptionIsTheWindowsOwnText)
{
    auto form = Start();
    EXPECT_EQ(form->windowTitle(), "Corvella");
    EXPECT_EQ(form->SendForm()->windowTitle(), "Send");
    EXPECT_EQ(form->SetForm()->windowTitle(), "Settings");
    // A display name of its own would be appended to every caption by the
    // platform; without one it is the application name, whatever that is.
    const QString name = QApplication::applicationName();
    QApplication::setApplicationName("probe");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "probe");
    QApplication::setApplicationName(name);
}

TEST_F(MainFormTest, ASettingsFileThatIsAFifoIsRefusedWithAMessageInsteadOfBlockingTheStart)
{
    std::filesystem::create_directories(Folder());
    ASSERT_EQ(::mkfifo((Folder() + "data").c_str(), 0600), 0);
    auto form = Start();
    ASSERT_TRUE(form->StartupDone());
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].Icon, QMessageBox::Critical);
    EXPECT_TRUE(boxes_[0].Text.contains("data is not a regular file"))
        << boxes_[0].Text.toStdString();
    EXPECT_EQ(form->CBoxBaudRate()->Text(), "9600"); // the defaults
}

TEST_F(MainFormTest, MenuBarHoldsItsItemsInOrder)
{
    auto form = Start();
    // caption, shortcut; "-" a separator; [x] checkable, (off) disabled, (hidden) not visible.
    QStringList items;
    for (QAction *menuAction : form->menuBar()->actions()) {
        items << "#" + menuAction->text();
        for (QAction *a : menuAction->menu()->actions()) {
            if (a->isSeparator()) {
                items << "-";
                continue;
            }
            QString item = a->text();
            if (!a->shortcut().isEmpty())
                item += " " + a->shortcut().toString();
            if (a->isCheckable())
                item += " [x]";
            if (!a->isVisible())
                item += " (hidden)";
            else if (!a->isEnabled())
                item += "";
            items << item;
        }
    }
    const QStringList expected = {
        "#File",
        "Open Monitoring Message",
        "Save Monitoring Message Ctrl+S",
        "-",
        "Open Sending Message",
        "Save Sending Message",
        "-",
        "Print",
        "Print Preview",
        "-",
        "Exit",
        "#Edit",
        "Undo  Ctrl+Z",
        "-",
        "Cut Ctrl+X",
        "Copy Ctrl+C",
        "Paste Ctrl+V",
        "-",
        "Select All Ctrl+A",
        "-",
        "Find Ctrl+F",
        "Find Next  F3",
        "#View",
        "Show Time [x]",
        "Show RxTx [x]",
        "Word Wrap [x]",
        "Sending Message [x]",
        "Filter Settings [x] (hidden)",
        "-",
        "Send Window F8 [x]",
        "Find Window [x]",
        "-",
        "Color Settings",
        "#Tools ",
        "Open Port",
        "Pause Monitoring [x]",
        "Send Data F5",
        "-",
        "ASCII Receive [x]",
        "ASCII Send [x]",
        "-",
        "Loop To Send [x]",
        "Trigger Send [x]",
        "-",
        "Auto Save or Clear",
        "HexDecBin Converter",
        "ASCII Table",
        "-",
        "Reopen Lost Device [x]",
        "Check Received Checksum [x]",
        "#Window",
        "Center",
        "Top",
        "Bottom",
        "Left",
        "Right",
        "-",
        "Always On Top [x]",
        "#Help ",
        "Contents F1",
        "-",
        "Check For Updates",
        "Online Support",
        "Tell a Friend (hidden)",
        "-",
        "About",
    };
    EXPECT_EQ(items, expected);
}

TEST_F(
    MainFormTest, WithTheSendViewActiveTheTickWritesTheSendCaptionAndClearScreenEmptiesTheMonitor)
{
    auto form = Start();
    form->RichShow()->setPlainText("01 02");
    ActionNamed(*form, "SendWindow1")->trigger();
    QPlainTextEdit *send = form->SendForm()->RichSend;
    send->setPlainText("01 02\n03 04\n05 06 07 08");
    QTextCursor caret(send->document()->findBlockByNumber(2));
    caret.setPosition(caret.position() + 4);
    send->setTextCursor(caret);
    form->DataRT()->SetActiveView(send);
    form->findChild<QLabel *>("Panel3")->setText("kept");

    form->DataRT()->UpdateCaretFigures();
    form->Timer1Timer();
    ASSERT_EQ(form->DataRT()->CaretLine, 3);
    EXPECT_EQ(form->SendForm()->windowTitle(),
        QString("Send [Hex: Ln:3 Col:%1 Sel:0]").arg(form->DataRT()->CaretColumn));
    EXPECT_EQ(form->findChild<QLabel *>("Panel3")->text(), "kept");

    ActionNamed(*form, "ClearScreen1")->trigger();
    EXPECT_EQ(form->RichShow()->toPlainText(), "");
    EXPECT_EQ(send->toPlainText(), "01 02\n03 04\n05 06 07 08");
}

TEST_F(MainFormTest, LampsFollowThePort)
{
    auto lamps = [](TMainForm &form) {
        QString on;
        for (const char *name : { "LampDTR", "LampRTS", "LampDSR", "LampCTS", "LampRLSD" })
            on += form.findChild<QLabel *>(name)->isEnabled() ? '1' : '0';
        return on;
    };
    SettingsRecord record = SettingsRecord::Defaults();
    record.DtrOn = 1;
    SaveSettings(record, Folder());
    PtyPair pty;
    auto form = Start();
    form->Timer1Timer();
    EXPECT_EQ(lamps(*form), "00000") << "closed: every lamp off, DtrOn or not";

    form->CBoxPort()->setEditText(QString::fromStdString(pty.SlavePath()));
    ActionNamed(*form, "OpenPort1")->trigger();
    ASSERT_TRUE(form->Channel()->ComPort().Connected());
    form->Timer1Timer();
    EXPECT_EQ(lamps(*form), "10000");

    ActionNamed(*form, "Dtr1")->trigger(); // changes the line at once
    EXPECT_EQ(form->Channel()->ComPort().FlowControl().ControlDTR, dtrDisable);
    form->Timer1Timer();
    EXPECT_EQ(lamps(*form), "00000");

    form->Channel()->TxCount = 7;
    form->Channel()->RxCount = 9;
    emit form->StatusBar1()->DoubleClicked();
    EXPECT_EQ(form->Channel()->TxCount.load(), 0u);
    EXPECT_EQ(form->Channel()->RxCount.load(), 0u);
}

TEST_F(MainFormTest, AFileNamedOnTheCommandLineIsShownInTheMonitor)
{
    const std::string path = home_.Path() + "/shown.crvm";
    WriteFileAtomically(path, "01 02 03\nAT+OK");
    auto form = std::make_unique<TMainForm>();
    form->ShowCommandLineFile(QString::fromStdString(path));
    form->ShowCommandLineFile(QString::fromStdString(home_.Path())); // a folder: ignored
    form->ShowCommandLineFile("/nonexistent/file.crvm");
    form->show();
    QApplication::processEvents();
    EXPECT_EQ(form->RichShow()->toPlainText(), "01 02 03\nAT+OK");
}

TEST_F(MainFormTest, PlaceWindowUsesClientFiguresOfTheScreen)
{
    auto form = Start();
    const QRect screen = form->screen()->geometry();
    form->PlaceWindow(TMainForm::Placement::Top);
    EXPECT_EQ(form->size(), QSize(screen.width(), screen.height() / 2));
    form->PlaceWindow(TMainForm::Placement::Bottom);
    EXPECT_EQ(form->size(), QSize(screen.width(), screen.height() / 2));
    EXPECT_EQ(form->pos().y(), screen.height() / 2);
    form->PlaceWindow(TMainForm::Placement::Center);
    EXPECT_EQ(form->size(), QSize(600, 400));
}

TEST_F(MainFormTest, StatusTickShowsUnsignedCountersAndCaretFigures)
{
    auto form = Start();
    form->Channel()->TxCount = 3000000000u;
    form->Channel()->RxCount = 12;
    form->Timer1Timer();
    EXPECT_EQ(form->findChild<QLabel *>("Panel1")->text(), "TX: 3000000000");
    EXPECT_EQ(form->findChild<QLabel *>("Panel2")->text(), "RX: 12");
    EXPECT_EQ(form->findChild<QLabel *>("Panel3")->text(), "Asc: Ln:0  Col:0  Sel:0");
}

// An idle window (port open, nothing arriving) lets its status tick slow down;
// the first change brings the quick pace back.
TEST_F(MainFormTest, StatusTickSlowsDownWhileNothingChanges)
{
    auto form = Start();
    PtyPair pty;
    form->CBoxPort()->setEditText(QString::fromStdString(pty.SlavePath()));
    form->ToggleConnection();
    ASSERT_TRUE(form->Channel()->ComPort().Connected());

    for (int tick = 0; tick < 25; ++tick)
        form->Timer1Timer();
    EXPECT_GE(form->Timer1()->interval(), 200);

    pty.Write("\x01");
    ASSERT_TRUE(WaitUntil([&] { return form->Channel()->RxCount.load() == 1; }));
    form->Timer1Timer();
    EXPECT_EQ(form->Timer1()->interval(), 50);
    EXPECT_EQ(form->findChild<QLabel *>("Panel2")->text(), "RX: 1");
    form->ToggleConnection();
}

} // namespace
