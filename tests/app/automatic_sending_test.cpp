// Automatic sending as the user meets it: loop send and both triggers set up in
// the settings window, running on the real clock against a pseudo-terminal, and
// the main window's switches following when the scheduler stops by itself.
// The state machines themselves are covered on a manual clock in the core tests;
// these check that the windows, the timers and the port are wired to them.
#include "app/engine/data_rt.h"
#include "app/port/com_combo_box.h"
#include "app/send/send_form.h"
#include "app/send/set_form.h"
#include "app/shell/main_form.h"
#include "app/shell/message_box.h"
#include "engine/vek_scomm.h"
#include "support/pty_pair.h"
#include "support/qt_action_named.h"
#include "support/qt_wait.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QThread>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using SteadyTime = std::chrono::steady_clock::time_point;

double MsBetween(SteadyTime from, SteadyTime to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Keeps the event loop running for `ms` milliseconds.
void RunEventsFor(int ms)
{
    WaitUntil([] { return false; }, ms);
}

// Plays the device's receiving end: collects every byte the program writes to
// the port, with the moment it arrived, while the test thread runs the program's
// event loop.
class MasterListener
{
public:
    explicit MasterListener(int masterFd)
        : fd_(masterFd)
        , thread_([this] { Listen(); })
    { }
    ~MasterListener()
    {
        stop_ = true;
        thread_.join();
    }

    std::string Bytes() const
    {
        std::lock_guard lock(mutex_);
        return bytes_;
    }
    // Arrival moment of byte `index`.
    SteadyTime ArrivalOf(std::size_t index) const
    {
        std::lock_guard lock(mutex_);
        return arrivals_.at(index);
    }
    bool WaitForBytes(std::size_t count, int timeoutMs = 3000) const
    {
        return WaitUntil([&] { return Bytes().size() >= count; }, timeoutMs);
    }

private:
    void Listen()
    {
        while (!stop_) {
            pollfd p { fd_, POLLIN, 0 };
            if (::poll(&p, 1, 5) <= 0)
                continue;
            char buffer[256];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n <= 0)
                continue;
            const SteadyTime now = std::chrono::steady_clock::now();
            std::lock_guard lock(mutex_);
            bytes_.append(buffer, std::size_t(n));
            arrivals_.insert(arrivals_.end(), std::size_t(n), now);
        }
    }

    const int fd_;
    std::atomic<bool> stop_ { false };
    mutable std::mutex mutex_;
    std::string bytes_;
    std::vector<SteadyTime> arrivals_;
    std::thread thread_;
};

class AutomaticSendingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("XDG_DATA_HOME", home_.Path().c_str(), 1);
        CaptureBoxes();
        form_ = std::make_unique<TMainForm>();
        form_->show();
        QApplication::processEvents();
        form_->CBoxPort()->setEditText(QString::fromStdString(pty_.SlavePath()));
        ActionNamed(*form_, "OpenPort1")->trigger();
        ASSERT_TRUE(form_->Channel()->ComPort().Connected());
    }
    void TearDown() override
    {
        form_.reset();
        SetMessageBoxHandler({});
    }

    void CaptureBoxes()
    {
        SetMessageBoxHandler([this](const MessageBoxRequest &request) {
            boxes_.push_back(request);
            return QMessageBox::Ok;
        });
    }

    TSetForm &SetForm() { return *form_->SetForm(); }
    TSendForm &SendForm() { return *form_->SendForm(); }
    void SetSendText(const char *text) { SendForm().RichSend->setPlainText(text); }
    void CaretOnLine(int index)
    {
        QPlainTextEdit *view = SendForm().RichSend;
        QTextCursor cursor(view->document()->findBlockByNumber(index));
        view->setTextCursor(cursor);
    }

    // Loop send over a range, confirmed with the loop panel's "Ok".
    void StartLoopInWindow(const char *from, const char *to, const char *interval)
    {
        SetForm().ShowLoopPanel();
        SetForm().RadioButton2->setChecked(true);
        SetForm().Edit3->setText(from);
        SetForm().Edit4->setText(to);
        SetForm().Edit10->setText(interval);
        SetForm().CheckBox1->setChecked(true);
        SetForm().Button3->click();
    }
    // One receive trigger row, confirmed with the trigger panel's "Ok".
    void StartReceiveTriggerInWindow(const char *recLine, const char *trigLine, const char *delay)
    {
        SetForm().ShowTriggerPanel();
        SetForm().StringGrid2->setItem(0, 1, new QTableWidgetItem(recLine));
        SetForm().StringGrid2->setItem(0, 2, new QTableWidgetItem(trigLine));
        SetForm().Edit1->setText(delay);
        SetForm().CheckBox3->setChecked(true);
        SetForm().Button1->click();
    }

    bool LoopSwitchesDown()
    {
        return ActionNamed(*form_, "LoopToSend1")->isChecked()
            && SendForm().ToolButton2->isChecked();
    }
    bool LoopSwitchesUp()
    {
        return !ActionNamed(*form_, "LoopToSend1")->isChecked()
            && !SendForm().ToolButton2->isChecked();
    }
    bool TriggerSwitchesDown()
    {
        return ActionNamed(*form_, "TriggerSend1")->isChecked()
            && SendForm().ToolButton3->isChecked();
    }
    bool TriggerSwitchesUp()
    {
        return !ActionNamed(*form_, "TriggerSend1")->isChecked()
            && !SendForm().ToolButton3->isChecked();
    }

    void ExpectOneRefusalOfLine(int line)
    {
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(boxes_[0].Caption, "Send");
        EXPECT_EQ(boxes_[0].Text, QString("Line %1 is not the right format.").arg(line));
        EXPECT_EQ(boxes_[0].Icon, QMessageBox::Warning);
        EXPECT_EQ(boxes_[0].Owner, &SendForm());
    }

    TempFolder home_;
    PtyPair pty_;
    MasterListener listener_ { pty_.Master() };
    std::vector<MessageBoxRequest> boxes_;
    std::unique_ptr<TMainForm> form_;
};

TEST_F(AutomaticSendingTest, LoopSendsItsRangeInTurnWhileBothSwitchesAreDown)
{
    SetSendText("01\n02\n03\n04\n05");
    StartLoopInWindow("3", "5", "20");
    EXPECT_FALSE(SetForm().isVisible());
    EXPECT_EQ(form_->Settings().Loop.LoopInterval, 20u);
    EXPECT_EQ(form_->DataRT()->SendTimer->interval(), 20);

    ASSERT_TRUE(listener_.WaitForBytes(7));
    EXPECT_EQ(listener_.Bytes().substr(0, 7), std::string("\x03\x04\x05\x03\x04\x05\x03", 7));
    // Several status ticks have passed while the loop ran; none released it.
    EXPECT_TRUE(form_->DataRT()->SendTimer->isActive());
    EXPECT_TRUE(LoopSwitchesDown());
    EXPECT_EQ(form_->Settings().LoopSendEnabled, 1);
    EXPECT_TRUE(boxes_.empty());

    SetForm().ShowLoopPanel();
    SetForm().CheckBox1->setChecked(false);
    SetForm().Button3->click();
    EXPECT_TRUE(LoopSwitchesUp());
    const std::size_t sent = listener_.Bytes().size();
    RunEventsFor(150);
    EXPECT_EQ(listener_.Bytes().size(), sent);
}

TEST_F(AutomaticSendingTest, RefusedLoopLineWarnsOnceStopsAndReleasesTheSwitchesWithinOneTick)
{
    SetSendText("01\nnot hex\n03");
    StartLoopInWindow("1", "3", "20");
    ASSERT_TRUE(WaitUntil([&] { return !boxes_.empty(); }));

    // The loop timer is stopped before the warning is shown; the next status
    // tick releases what the user sees.
    EXPECT_FALSE(form_->DataRT()->SendTimer->isActive());
    form_->Timer1Timer();
    EXPECT_TRUE(LoopSwitchesUp());
    EXPECT_EQ(form_->Settings().LoopSendEnabled, 0);

    RunEventsFor(150);
    ExpectOneRefusalOfLine(2);
    EXPECT_EQ(listener_.Bytes(), "\x01"); // line 1, and nothing after the refusal
}

TEST_F(AutomaticSendingTest, ReceivedLineEqualToTheRecLineIsAnsweredAfterTheDelay)
{
    SetSendText("01\n0a 0B\n03\n04\n5A 5B");
    StartReceiveTriggerInWindow("2", "5", "100");
    EXPECT_FALSE(SetForm().isVisible());
    EXPECT_EQ(form_->DataRT()->Scheduler->TriggerSwitch(), 1);
    EXPECT_TRUE(TriggerSwitchesDown());

    // The program's own line 2 goes out and comes back as a T line: no answer.
    CaretOnLine(1);
    ActionNamed(*form_, "SendData1")->trigger();
    ASSERT_TRUE(listener_.WaitForBytes(2));
    RunEventsFor(300);
    EXPECT_EQ(listener_.Bytes(), "\x0A\x0B");

    // The same bytes received: line 5 follows the delay after the line was taken.
    SteadyTime taken {};
    const QMetaObject::Connection noteTaken = QObject::connect(form_->RichShow()->document(),
        &QTextDocument::contentsChanged, form_->RichShow(), [&taken] {
            if (taken == SteadyTime {})
                taken = std::chrono::steady_clock::now();
        });
    const SteadyTime written = std::chrono::steady_clock::now();
    pty_.Write("\x0A\x0B");
    const bool answerCame = listener_.WaitForBytes(4);
    QObject::disconnect(noteTaken);
    ASSERT_TRUE(answerCame);
    EXPECT_EQ(listener_.Bytes(), "\x0A\x0B\x5A\x5B");
    ASSERT_NE(taken, SteadyTime {});
    const SteadyTime answered = listener_.ArrivalOf(2);
    // The scheduler counts whole milliseconds: up to one may be lost to rounding.
    EXPECT_GE(MsBetween(taken, answered), 99.0);
    EXPECT_GE(MsBetween(written, answered), 100.0);
    EXPECT_LT(MsBetween(written, answered), 2000.0); // generous: shared machines
    EXPECT_TRUE(boxes_.empty());
    EXPECT_TRUE(TriggerSwitchesDown());
}

TEST_F(AutomaticSendingTest, TimingTriggerSendsItsRangeInTheTriggerSecond)
{
    const QTime now = QTime::currentTime();
    const SteadyTime steadyNow = std::chrono::steady_clock::now();
    if (now.msecsSinceStartOfDay() > 86400 * 1000 - 3000)
        GTEST_SKIP() << "too close to midnight for a trigger two seconds ahead";
    const QTime triggerTime = QTime(now.hour(), now.minute(), now.second()).addSecs(2);
    const SteadyTime secondBegins = steadyNow + std::chrono::milliseconds(now.msecsTo(triggerTime));

    SetSendText("01\n02\n03\n04");
    SetForm().ShowTriggerPanel();
    SetForm().DateTimePicker1->setTime(triggerTime);
    SetForm().RadioButton8->setChecked(true);
    SetForm().Edit7->setText("3");
    SetForm().Edit8->setText("4");
    SetForm().Edit9->setText("100");
    SetForm().CheckBox2->setChecked(true);
    SetForm().Button1->click();
    EXPECT_TRUE(TriggerSwitchesDown());

    ASSERT_TRUE(listener_.WaitForBytes(2, 5000));
    EXPECT_EQ(listener_.Bytes(), "\x03\x04");
    // The first line follows the beginning of the trigger second by an interval
    // (less a millisecond of rounding and of reading the two clocks).
    EXPECT_GE(MsBetween(secondBegins, listener_.ArrivalOf(0)), 95.0);
    EXPECT_GE(MsBetween(listener_.ArrivalOf(0), listener_.ArrivalOf(1)), 80.0);
    RunEventsFor(300);
    EXPECT_EQ(listener_.Bytes(), "\x03\x04"); // the range is sent once
    EXPECT_TRUE(boxes_.empty());
    EXPECT_TRUE(TriggerSwitchesDown()); // it stays armed for the next day
}

TEST_F(AutomaticSendingTest, RefusedAnswerStopsTheTriggersAndReleasesTheSwitchesWhileTheBoxIsOpen)
{
    SetSendText("01 02\nnot hex");
    form_->Settings().Trigger.ReceiveTriggerList[0] = { 1, 2 };
    form_->Settings().Trigger.ReceiveTriggerDelay = 0;
    form_->Settings().Trigger.ReceiveTriggerEnabled = 1;
    form_->ApplySettings();
    EXPECT_TRUE(TriggerSwitchesDown());

    // The user reads the warning for a while; the status ticks go on meanwhile.
    bool stoppedBeforeTheBox = false;
    bool releasedWhileTheBoxWasOpen = false;
    SetMessageBoxHandler([&](const MessageBoxRequest &request) {
        boxes_.push_back(request);
        stoppedBeforeTheBox = form_->DataRT()->Scheduler->TriggerSwitch() == 0;
        RunEventsFor(120);
        releasedWhileTheBoxWasOpen = TriggerSwitchesUp();
        return QMessageBox::Ok;
    });
    pty_.Write("\x01\x02");
    const bool warned = WaitUntil([&] { return !boxes_.empty(); });
    CaptureBoxes();
    ASSERT_TRUE(warned);
    EXPECT_TRUE(stoppedBeforeTheBox);
    EXPECT_TRUE(releasedWhileTheBoxWasOpen);
    EXPECT_EQ(form_->Settings().Trigger.ReceiveTriggerEnabled, 0);

    // Stopped: the same line received again is not answered or warned about.
    pty_.Write("\x01\x02");
    RunEventsFor(300);
    ExpectOneRefusalOfLine(2);
    EXPECT_TRUE(listener_.Bytes().empty());
}

} // namespace
