// Saving and opening message files of the monitor and the send view through
// the main window's commands, with the dialogs answered by the test.
#include "app/engine/data_rt.h"
#include "app/send/send_form.h"
#include "app/shell/background_writer.h"
#include "app/shell/file_dialogs.h"
#include "app/shell/main_form.h"
#include "app/shell/message_box.h"
#include "shell/atomic_file.h"
#include "shell/rich_text.h"
#include "support/pty_pair.h"
#include "support/qt_action_named.h"
#include "support/qt_main_form_test.h"

#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sys/stat.h>

namespace {

struct Run
{
    QString Text;
    QColor Color;
    bool operator==(const Run &other) const = default;
};

std::vector<std::vector<Run>> RunsOf(const QPlainTextEdit &view)
{
    std::vector<std::vector<Run>> lines;
    for (QTextBlock block = view.document()->begin(); block.isValid(); block = block.next()) {
        auto &line = lines.emplace_back();
        for (auto it = block.begin(); !it.atEnd(); ++it)
            line.push_back(
                { it.fragment().text(), it.fragment().charFormat().foreground().color() });
    }
    return lines;
}

class MessageFilesTest : public MainFormTestBase
{
protected:
    void SetUp() override
    {
        MainFormTestBase::SetUp();
        SetFileDialogHandler([this](const FileDialogRequest &request) {
            dialogs_.push_back(request);
            return chosen_;
        });
        form_ = StartMainForm();
    }
    void TearDown() override
    {
        MainFormTestBase::TearDown();
        SetFileDialogHandler({});
    }

    // Runs a command with the dialog answering `path`; waits for the file to be written.
    void Command(QAction *action, const std::string &path)
    {
        chosen_ = QString::fromStdString(path);
        action->trigger();
        form_->FileWriter()->WaitForAll();
    }

    std::string Stored() const { return form_->Settings().LastFileName.Text(); }

    TempFolder files_;
    std::vector<FileDialogRequest> dialogs_;
    QString chosen_;
};

TEST_F(MessageFilesTest, MonitorAndSendTextComeBackWithTheirColours)
{
    QPlainTextEdit *monitor = form_->RichShow();
    TDataRT::AppendStampedLine(monitor, "[10:00:00  20] ", "01 03", 0x0000FF);
    TDataRT::AppendStampedLine(monitor, "[10:00:01  20] ", "AT\t<b>", 0xFF0000);
    const auto shown = RunsOf(*monitor);
    const std::string path = files_.Path() + "monitor.crvm";
    Command(ActionNamed(*form_, "SaveMonitoringMessage1"), path);

    ASSERT_EQ(dialogs_.size(), 1u);
    EXPECT_EQ(dialogs_[0].Kind, FileDialogKind::Save);
    EXPECT_EQ(dialogs_[0].Filter, "*crvm (*crvm);;all (*)");
    EXPECT_TRUE(QRegularExpression("/\\d{14}\\.crvm$").match(dialogs_[0].Proposed).hasMatch())
        << dialogs_[0].Proposed.toStdString();
    EXPECT_EQ(Stored(), path);

    monitor->clear();
    Command(ActionNamed(*form_, "OpenMonitoringMessage1"), path);
    EXPECT_EQ(dialogs_.back().Proposed.toStdString(), path);
    EXPECT_EQ(RunsOf(*monitor), shown);

    QPlainTextEdit *send = form_->SendForm()->RichSend;
    send->setPlainText("01 03 00 00 00 01\nAT");
    const std::string sendPath = files_.Path() + "send.crvm";
    Command(ActionNamed(*form_, "SaveSendingMessage1"), sendPath);
    send->clear();
    Command(ActionNamed(*form_, "OpenSendingMessage1"), sendPath);
    EXPECT_EQ(send->toPlainText(), "01 03 00 00 00 01\nAT");
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(MessageFilesTest, ReplacingAskedFirstAndNoKeepsFileAndPath)
{
    const std::string path = files_.Path() + "old.crvm";
    WriteFileAtomically(path, "old text");
    form_->RichShow()->setPlainText("new text");

    boxAnswer_ = QMessageBox::No;
    Command(ActionNamed(*form_, "SaveMonitoringMessage1"), path);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].Caption, "Save");
    EXPECT_EQ(boxes_[0].Text, "The file already exists.Do you want to replace it.");
    EXPECT_EQ(boxes_[0].Buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(ReadWholeFile(path), "old text");
    EXPECT_EQ(Stored(), "");

    boxAnswer_ = QMessageBox::Yes;
    Command(ActionNamed(*form_, "SaveMonitoringMessage1"), path);
    EXPECT_EQ(ReadWholeFile(path).rfind("{\\rtf", 0), 0u);
    EXPECT_EQ(Stored(), path);
}

TEST_F(MessageFilesTest, FailedSaveSaysWhyAndKeepsThePath)
{
    WriteFileAtomically(files_.Path() + "plain", "a file, not a folder");
    const std::string path = files_.Path() + "plain/inside.crvm";
    form_->RichShow()->setPlainText("lines");
    Command(ActionNamed(*form_, "SaveMonitoringMessage1"), path);
    QApplication::processEvents();
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].Caption, "Save");
    EXPECT_TRUE(boxes_[0].Text.contains(QString::fromStdString(files_.Path() + "plain")));
    EXPECT_EQ(Stored(), "");
    EXPECT_EQ(form_->RichShow()->toPlainText(), "lines");
}

TEST_F(MessageFilesTest, OpenRefusesWhatIsNotAReadableFile)
{
    const std::string fifo = files_.Path() + "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    form_->RichShow()->setPlainText("kept");
    const std::string missing = files_.Path() + "missing.crvm";
    for (const std::string &path : { missing, files_.Path(), fifo }) {
        SCOPED_TRACE(path);
        boxes_.clear();
        Command(ActionNamed(*form_, "OpenMonitoringMessage1"),
            path); // a FIFO opened for reading would hang
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(boxes_[0].Caption, "Open");
        EXPECT_EQ(boxes_[0].Icon, QMessageBox::Warning);
        if (path == missing) {
            EXPECT_EQ(boxes_[0].Text, "File does not exist.");
        }
        EXPECT_EQ(form_->RichShow()->toPlainText(), "kept");
        EXPECT_EQ(Stored(), "");
    }
}

TEST_F(MessageFilesTest, PlainAndDamagedFilesOpenAsFarAsTheyCanBeRead)
{
    const std::string plain = files_.Path() + "plain.txt";
    WriteFileAtomically(plain, "first line\r\nsecond line\n");
    Command(ActionNamed(*form_, "OpenMonitoringMessage1"), plain);
    EXPECT_TRUE(form_->RichShow()->toPlainText().startsWith("first line\nsecond line"));

    TDataRT::AppendStampedLine(form_->RichShow(), "", "line one", 0x0000FF);
    TDataRT::AppendStampedLine(form_->RichShow(), "", "line two", 0x0000FF);
    const std::string whole = files_.Path() + "whole.crvm";
    Command(ActionNamed(*form_, "SaveMonitoringMessage1"), whole);
    const std::string bytes = ReadWholeFile(whole);
    const std::string cut = files_.Path() + "cut.crvm";
    WriteFileAtomically(cut, bytes.substr(0, bytes.find("line two") + 6));
    Command(ActionNamed(*form_, "OpenMonitoringMessage1"), cut);
    EXPECT_TRUE(form_->RichShow()->toPlainText().contains("line one"));
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(MessageFilesTest, LongPathIsStoredCutTo255Characters)
{
    const std::string folder = files_.Path() + std::string(200, 'd') + "/";
    const std::string path = folder + std::string(100, 'f') + ".crvm";
    form_->RichShow()->setPlainText("long");
    Command(ActionNamed(*form_, "SaveMonitoringMessage1"), path);
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(Stored(), path.substr(0, 255));
}

} // namespace
