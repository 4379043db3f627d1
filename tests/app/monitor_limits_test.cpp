// The automatic save or clear of the monitor, fed through the renderer the way
// captured lines arrive, and its settings window.
#include "app/engine/data_rt.h"
#include "app/shell/background_writer.h"
#include "app/shell/file_dialogs.h"
#include "app/shell/message_box.h"
#include "app/shell/monitor_limits.h"
#include "app/shell/time_save_form.h"
#include "engine/vek_scomm.h"
#include "shell/atomic_file.h"
#include "shell/auto_save_rules.h"
#include "shell/rich_text.h"
#include "support/manual_clock.h"
#include "support/pty_pair.h"
#include "support/qt_renderer_views.h"
#include "support/qt_wait.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

// The body of line n: its number as two hex pairs, so every line is told apart.
std::string BodyOf(int n)
{
    static const char digits[] = "0123456789ABCDEF";
    const std::string bytes { char(n >> 8), char(n & 0xFF) };
    std::string text;
    for (unsigned char b : bytes) {
        if (!text.empty())
            text += ' ';
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

// Lines of a document as the user counts them.
std::vector<std::string> LinesOf(const RichDocument &document)
{
    std::vector<std::string> lines;
    for (const RichLine &line : document.Lines) {
        std::string text;
        for (const TextRun &run : line)
            text += run.Text;
        lines.push_back(text);
    }
    if (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

class MonitorLimitsTest : public ::testing::Test, protected RendererViews
{
protected:
    MonitorLimitsTest()
    {
        clock.SetLocalTime({ 15, 45, 2, 0 });
        settings.AutoLines = 100;
        settings.AutoSavePath.Assign(folder.Path() + "saved");
        renderer = std::make_unique<TDataRT>(&send, channel, &monitor, &find, settings, clock);
        renderer->RenderBudgetMs = 60000; // a whole batch in one tick
        limits.Now = [] { return LocalDateTime { 2024, 1, 31, 15, 45, 2 }; };
        limits.RetryIntervalMs = 0;
        renderer->MonitorLimitActsAt = [this](int lines) { return limits.WouldAct(lines); };
        renderer->MonitorWaitsAt = [this](int lines) { return limits.MustWaitForSave(lines); };
        SetMessageBoxHandler([this](const MessageBoxRequest &request) {
            boxes.push_back(request);
            return QMessageBox::Ok;
        });
    }
    ~MonitorLimitsTest() override { SetMessageBoxHandler({}); }

    // Queues lines first..last (R lines with their numbers as bodies) and takes
    // them all in one render tick.
    void FeedInOneTick(int first, int last)
    {
        for (int n = first; n <= last; ++n) {
            const std::string bytes { char(n >> 8), char(n & 0xFF) };
            channel.AppendReceivedBurst(bytes, clock.Tick());
        }
        renderer->RenderTick();
    }

    std::vector<std::string> ScreenLines() const
    {
        QStringList lines = monitor.toPlainText().split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.back().isEmpty())
            lines.removeLast();
        std::vector<std::string> result;
        for (const QString &line : lines)
            result.push_back(line.toStdString());
        return result;
    }

    // The auto-saved files in name order and their lines.
    std::vector<std::pair<std::string, std::vector<std::string>>> SavedFiles() const
    {
        std::vector<std::pair<std::string, std::vector<std::string>>> files;
        const std::string saved = folder.Path() + "saved";
        if (!std::filesystem::exists(saved))
            return files;
        for (const auto &entry : std::filesystem::directory_iterator(saved))
            files.emplace_back(entry.path().filename().string(),
                LinesOf(ReadRichText(ReadWholeFile(entry.path().string()))));
        std::sort(files.begin(), files.end(), [](const auto &a, const auto &b) {
            // "x.crvm" before "x-2.crvm" before "x-3.crvm"
            return a.first.size() != b.first.size() ? a.first.size() < b.first.size()
                                                    : a.first < b.first;
        });
        return files;
    }

    // Every line in the files, then every line on screen.
    std::vector<std::string> EverythingKept() const
    {
        std::vector<std::string> all;
        for (const auto &file : SavedFiles())
            all.insert(all.end(), file.second.begin(), file.second.end());
        const std::vector<std::string> screen = ScreenLines();
        all.insert(all.end(), screen.begin(), screen.end());
        return all;
    }

    static std::vector<std::string> Numbered(int first, int last)
    {
        std::vector<std::string> lines;
        for (int n = first; n <= last; ++n)
            lines.push_back(BodyOf(n));
        return lines;
    }

    TempFolder folder;
    TBackgroundWriter writer;
    TMonitorLimits limits { &monitor, settings, writer };
    std::unique_ptr<TDataRT> renderer;
    std::vector<MessageBoxRequest> boxes;
};

TEST_F(MonitorLimitsTest, BatchAcrossTheThresholdLosesNoLineAndNeverReplacesAFile)
{
    limits.AutoSaveEnabled = true;
    FeedInOneTick(1, 250);
    limits.FinishSaving();
    FeedInOneTick(251, 320); // lines that came while files were written stay in order
    limits.FinishSaving();

    const auto files = SavedFiles();
    ASSERT_GE(files.size(), 2u);
    // All saves fall in the same second: each gets a name of its own.
    EXPECT_EQ(files[0].first, "20240131154502.crvm");
    EXPECT_EQ(files[1].first, "20240131154502-2.crvm");
    for (const auto &file : files)
        EXPECT_GT(file.second.size(), 100u) << file.first;
    EXPECT_LE(ScreenLines().size(), 100u);
    EXPECT_EQ(EverythingKept(), Numbered(1, 320));
    EXPECT_TRUE(boxes.empty());
}

// A line that would make the check empty the monitor while a file of it is
// still being written stays queued, instead of the window waiting for that
// file; when the file is done the lines go on, none lost, none out of order.
TEST_F(MonitorLimitsTest, LineThatWouldEmptyTheMonitorWaitsInTheQueueForTheFileBeingWritten)
{
    limits.AutoSaveEnabled = true;
    FeedInOneTick(1, 150); // a file starts; its outcome comes with the event loop
    FeedInOneTick(151, kMonitorLineCap + 20);
    EXPECT_EQ(int(ScreenLines().size()), kMonitorLineCap);
    EXPECT_EQ(channel.QueuedLines(), 20u);

    ASSERT_TRUE(WaitUntil(
        [&] {
            renderer->RenderTick();
            return channel.QueuedLines() == 0 && !writer.Busy();
        },
        20000));
    limits.FinishSaving();
    EXPECT_LE(int(ScreenLines().size()), kMonitorLineCap);
    EXPECT_EQ(EverythingKept(), Numbered(1, kMonitorLineCap + 20));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MonitorLimitsTest, ClearAndCapFollowTheSwitches)
{
    struct Case
    {
        const char *What;
        bool AutoSave, AutoClear;
        int AutoLines, Lines;
        size_t Files, OnScreen;
    };
    const Case cases[] = {
        { "auto clear empties without a file", false, true, 100, 101, 0, 0 },
        { "nothing on: the cap empties without a file", false, false, 100, 5001, 0, 0 },
        { "under the cap nothing happens", false, false, 100, 5000, 0, 5000 },
        // A threshold above the cap must not drop 5001 lines unsaved.
        { "auto save above the cap saves before the cap empties", true, false, 6000, 5001, 1, 0 },
        { "save and clear: saved once, then empty", true, true, 100, 101, 1, 0 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.What);
        monitor.clear();
        std::filesystem::remove_all(folder.Path() + "saved");
        limits.AutoSaveEnabled = c.AutoSave;
        limits.AutoClearEnabled = c.AutoClear;
        settings.AutoLines = c.AutoLines;
        FeedInOneTick(1, c.Lines);
        limits.FinishSaving();
        EXPECT_EQ(SavedFiles().size(), c.Files);
        EXPECT_EQ(ScreenLines().size(), c.OnScreen);
        if (c.Files == 1) {
            EXPECT_EQ(SavedFiles()[0].second, Numbered(1, c.Lines));
        }
    }
}

TEST_F(MonitorLimitsTest, FailingFolderIsReportedOnceUntilASaveSucceeds)
{
    // A regular file where the folder should be: every write fails.
    WriteFileAtomically(folder.Path() + "saved", "in the way");
    limits.AutoSaveEnabled = true;
    FeedInOneTick(1, 150);
    limits.FinishSaving();
    FeedInOneTick(151, 300);
    limits.FinishSaving();
    ASSERT_TRUE(WaitUntil([&] { return !boxes.empty(); }));
    QCoreApplication::processEvents();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Icon, QMessageBox::Critical);
    EXPECT_TRUE(boxes[0].Text.contains(QString::fromStdString(folder.Path() + "saved")))
        << boxes[0].Text.toStdString();
    EXPECT_EQ(ScreenLines(), Numbered(1, 300)); // kept while the folder fails

    // The folder works again: the kept lines reach a file.
    std::filesystem::remove(folder.Path() + "saved");
    FeedInOneTick(301, 301);
    limits.FinishSaving();
    EXPECT_EQ(EverythingKept(), Numbered(1, 301));
    ASSERT_EQ(SavedFiles().size(), 1u);

    // After a success the next failure is reported again.
    std::filesystem::remove_all(folder.Path() + "saved");
    WriteFileAtomically(folder.Path() + "saved", "in the way");
    FeedInOneTick(302, 402);
    limits.FinishSaving();
    EXPECT_TRUE(WaitUntil([&] { return boxes.size() == 2; }));
}

TEST_F(MonitorLimitsTest, CapClearsWhileTheFolderFails)
{
    WriteFileAtomically(folder.Path() + "saved", "in the way");
    limits.AutoSaveEnabled = true;
    FeedInOneTick(1, 5001);
    limits.FinishSaving(); // the failed file reports back
    renderer->RenderTick(); // the line that waited for it reaches the cap
    limits.FinishSaving();
    EXPECT_TRUE(ScreenLines().empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(boxes.size(), 1u);
}

class TimeSaveFormTest : public MonitorLimitsTest
{
protected:
    TimeSaveFormTest()
    {
        SetFileDialogHandler([this](const FileDialogRequest &request) {
            dialogs.push_back(request);
            return chosen;
        });
        form.show();
    }
    ~TimeSaveFormTest() override { SetFileDialogHandler({}); }

    TTimeSaveForm form { settings, limits };
    std::vector<FileDialogRequest> dialogs;
    QString chosen;
};

TEST_F(TimeSaveFormTest, ShowsAndTakesOverTheValues)
{
    EXPECT_EQ(form.windowTitle(), "Auto Save or Clear");
    EXPECT_EQ(form.CheckBox1->text(), " Auto To Clear");
    EXPECT_EQ(form.CheckBox2->text(), " Auto To Save");
    EXPECT_EQ(form.Edit1->text(), "100");
    EXPECT_EQ(form.Edit2->text().toStdString(), folder.Path() + "saved");

    form.CheckBox1->setChecked(true);
    form.Edit1->setText("0");
    form.Edit2->setText("/tmp/elsewhere");
    form.OkClick();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(limits.AutoClearEnabled);
    EXPECT_FALSE(limits.AutoSaveEnabled);
    EXPECT_EQ(settings.AutoLines, 1);
    EXPECT_EQ(settings.AutoSavePath.Text(), "/tmp/elsewhere");
    EXPECT_TRUE(boxes.empty());

    // "Cancel" takes nothing over.
    form.show();
    form.CheckBox1->setChecked(false);
    form.Button3->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(limits.AutoClearEnabled);
}

TEST_F(TimeSaveFormTest, OkRefusesAnEmptyPathAndABadNumber)
{
    form.CheckBox2->setChecked(true);
    form.Edit2->clear();
    form.OkClick();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Caption, "AutoSave");
    EXPECT_EQ(boxes[0].Text, "Select a path to save please.");
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(limits.AutoSaveEnabled); // taken over all the same

    form.CheckBox1->setChecked(true);
    form.Edit1->setText("12a");
    form.Edit2->setText("/tmp/other");
    form.OkClick();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].Text, "'12a' is not a valid integer value.");
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(limits.AutoClearEnabled);
    EXPECT_EQ(settings.AutoLines, 100);
    EXPECT_EQ(settings.AutoSavePath.Text(), ""); // from the first "Ok"
}

TEST_F(TimeSaveFormTest, BrowseStartsAtThePathBoxAndCancelKeepsIt)
{
    form.Edit2->setText("/tmp/start");
    chosen = "/tmp/picked";
    form.Button1->click();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].Kind, FileDialogKind::Folder);
    EXPECT_EQ(dialogs[0].Title, "Please select a path for saving.");
    EXPECT_EQ(dialogs[0].Proposed, "/tmp/start");
    EXPECT_EQ(form.Edit2->text(), "/tmp/picked");

    chosen.clear();
    form.Button1->click();
    EXPECT_EQ(form.Edit2->text(), "/tmp/picked");
}

} // namespace
