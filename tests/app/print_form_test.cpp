// The print preview window and the print commands, with the print dialog and
// the message boxes answered by the test; PDF output is read back with pdftotext.
#include "app/shell/main_form.h"
#include "app/shell/message_box.h"
#include "app/tools/page_preview.h"
#include "app/tools/print_dialog.h"
#include "app/tools/print_form.h"
#include "shell/atomic_file.h"
#include "support/pty_pair.h"
#include "support/qt_recording_print_jobs.h"
#include "support/qt_stamped_lines.h"
#include "support/qt_wait.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace {

// What the user picks in the print dialog.
struct Choice
{
    int Copies = 1;
    std::optional<std::pair<int, int>> Range; // from, to; none = all pages
    QString PdfFile; // empty: the test's own printer
};

// The text of a PDF file, one page or all of them.
QString PdfText(const QString &path, int page = 0)
{
    QStringList args;
    if (page > 0)
        args << "-f" << QString::number(page) << "-l" << QString::number(page);
    args << path << "-";
    QProcess process;
    process.start("pdftotext", args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext failed on " << path.toStdString()
                      << " (is poppler-utils installed?)";
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The document title a PDF file carries: the print job's name.
QString PdfTitle(const QString &path)
{
    QProcess process;
    process.start("pdfinfo", { path });
    process.waitForFinished(60000);
    static const QRegularExpression title("^Title:\\s*(.*)$", QRegularExpression::MultilineOption);
    return title.match(QString::fromUtf8(process.readAllStandardOutput())).captured(1).trimmed();
}

std::vector<int> LineNumbers(const QString &text)
{
    std::vector<int> numbers;
    static const QRegularExpression line("LINE (\\d{6})");
    for (auto it = line.globalMatch(text); it.hasNext();)
        numbers.push_back(it.next().captured(1).toInt());
    return numbers;
}

class PrintFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetMessageBoxHandler([this](const MessageBoxRequest &request) {
            boxes_.push_back(request);
            return QMessageBox::Ok;
        });
        SetPrintDialogHandler([this](const PrintDialogRequest &request) {
            ++dialogs_;
            dialogMaxPage_ = request.MaxPage;
            dialogOwner_ = request.Owner;
            if (!choice_)
                return std::unique_ptr<TPrintJobs>();
            QPrinter &printer = *request.Printer;
            printer.setCopyCount(choice_->Copies);
            printer.setPrintRange(choice_->Range ? QPrinter::PageRange : QPrinter::AllPages);
            if (choice_->Range)
                printer.setFromTo(choice_->Range->first, choice_->Range->second);
            if (choice_->PdfFile.isEmpty()) {
                auto jobs = std::make_unique<TRecordingPrintJobs>();
                jobs->RefuseWith = refuseWith_;
                lastLog_ = jobs->Log;
                return std::unique_ptr<TPrintJobs>(std::move(jobs));
            }
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(choice_->PdfFile);
            return MakePrintJobs(printer);
        });
    }
    void TearDown() override
    {
        SetPrintDialogHandler({});
        SetMessageBoxHandler({});
    }

    QString Pdf(const char *name) const { return QString::fromStdString(folder_.Path()) + name; }

    // The recorded jobs of the last print, as names.
    std::vector<QString> JobNames() const
    {
        std::vector<QString> names;
        if (lastLog_) {
            for (const auto &job : lastLog_->Jobs)
                names.push_back(job.Name);
        }
        return names;
    }

    // Prints the preview's pages as chosen; returns the job names.
    std::vector<QString> PrintWith(Choice choice)
    {
        choice_ = choice;
        lastLog_.reset();
        form_.PrintThroughDialog();
        return JobNames();
    }

    QString Status() const { return form_.StatusPanel->text(); }

    TempFolder folder_;
    QWidget owner_;
    QPlainTextEdit monitor_ { &owner_ };
    TPrintForm form_ { &monitor_, &owner_ };
    std::vector<MessageBoxRequest> boxes_;
    std::optional<Choice> choice_;
    QString refuseWith_;
    std::shared_ptr<TRecordingPrintJobs::Record> lastLog_;
    int dialogs_ = 0;
    int dialogMaxPage_ = 0;
    QWidget *dialogOwner_ = nullptr;
};

TEST_F(PrintFormTest, EmptyMonitorShowsNoPageAndRefusesToPrint)
{
    form_.show();
    form_.BuildPreviewPages();
    EXPECT_EQ(form_.PagePreview1->PageCount(), 0);
    EXPECT_FALSE(form_.PagePreview1->verticalScrollBar()->isVisible());
    EXPECT_FALSE(form_.PagePreview1->horizontalScrollBar()->isVisible());
    EXPECT_EQ(Status(), "    Page 0    Total 0");

    form_.Button1->click();
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].Caption, "Print");
    EXPECT_EQ(boxes_[0].Text, "There is not content to print.");
    EXPECT_EQ(boxes_[0].Icon, QMessageBox::Warning);
    EXPECT_EQ(boxes_[0].Owner, &owner_);
    EXPECT_EQ(dialogs_, 0);
}

TEST_F(PrintFormTest, ReadoutFollowsTheClickedPage)
{
    FillMonitorThroughRenderer(monitor_, 250);
    form_.show();
    form_.BuildPreviewPages();
    const int pages = form_.PagePreview1->PageCount();
    ASSERT_GE(pages, 3);
    EXPECT_EQ(Status(), QString("    Page 1    Total %1").arg(pages));

    form_.Button5->click(); // Full Page: every page fits, so page 2 is in view
    TPagePreview &preview = *form_.PagePreview1;
    preview.verticalScrollBar()->setValue(preview.PageRect(1).top() - 40);
    const QPoint at = preview.PageRect(1).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, preview.viewport()->mapToGlobal(at),
        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(preview.viewport(), &press);
    EXPECT_EQ(preview.CurrentPage(), 1);
    EXPECT_EQ(Status(), QString("    Page 2    Total %1").arg(pages));

    // Becoming active again rebuilds the pages from the monitor as it is now.
    form_.hide();
    monitor_.clear();
    form_.show();
    form_.activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return preview.PageCount() == 0; }));
    EXPECT_EQ(Status(), "    Page 0    Total 0");
}

TEST_F(PrintFormTest, CopiesAndRangesMakeTheJobsInOrder)
{
    FillMonitorThroughRenderer(monitor_, 250);
    form_.BuildPreviewPages();
    ASSERT_GE(form_.PagePreview1->PageCount(), 3);
    const QString all = "Printing ...";
    const QString p2 = "Printing ... - Page 2";
    const QString p3 = "Printing ... - Page 3";
    struct Case
    {
        Choice Picked;
        std::vector<QString> Jobs;
    };
    const std::vector<Case> cases = {
        { { 1, {}, {} }, { all } },
        { { 2, {}, {} }, { all, all } },
        { { 1, { { 2, 3 } }, {} }, { p2, p3 } },
        { { 2, { { 2, 3 } }, {} }, { p2, p3, p2, p3 } },
        { { 1, { { 3, 3 } }, {} }, { p3 } },
    };
    for (const Case &c : cases)
        EXPECT_EQ(PrintWith(c.Picked), c.Jobs) << c.Picked.Copies << " copies";
    EXPECT_EQ(dialogMaxPage_, form_.PagePreview1->PageCount());
    EXPECT_EQ(dialogOwner_, &form_);
    EXPECT_EQ(lastLog_->Finished, 1);

    choice_.reset(); // the user cancels
    lastLog_.reset();
    form_.PrintThroughDialog();
    EXPECT_EQ(lastLog_, nullptr);
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(PrintFormTest, AFailedPrintIsReportedWithItsReason)
{
    FillMonitorThroughRenderer(monitor_, 20);
    form_.BuildPreviewPages();

    refuseWith_ = "The printer is out of paper.";
    PrintWith({});
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].Caption, "Print");
    EXPECT_EQ(boxes_[0].Owner, &owner_);
    EXPECT_TRUE(boxes_[0].Text.contains("The printer is out of paper."))
        << boxes_[0].Text.toStdString();

    // A file in a folder that cannot exist: a regular file stands in its way.
    refuseWith_.clear();
    const QString blocker = Pdf("blocker");
    WriteFileAtomically(blocker.toStdString(), "x");
    PrintWith({ 1, {}, blocker + "/out.pdf" });
    ASSERT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(boxes_[1].Caption, "Print");
    EXPECT_TRUE(boxes_[1].Text.contains("out.pdf")) << boxes_[1].Text.toStdString();
    EXPECT_TRUE(boxes_[1].Text.contains("Not a directory")) << boxes_[1].Text.toStdString();
}

TEST_F(PrintFormTest, ARangeOfCopiesToOneFileKeepsEveryJob)
{
    FillMonitorThroughRenderer(monitor_, 300);
    form_.BuildPreviewPages();
    ASSERT_GE(form_.PagePreview1->PageCount(), 3);
    const QString whole = Pdf("all.pdf");
    const QString range = Pdf("range.pdf");
    PrintWith({ 1, {}, whole });
    PrintWith({ 2, { { 2, 3 } }, range });
    ASSERT_TRUE(boxes_.empty());

    const QString page2 = PdfText(whole, 2);
    const QString page3 = PdfText(whole, 3);
    ASSERT_FALSE(LineNumbers(page2).empty());
    EXPECT_NE(page2, page3);
    EXPECT_EQ(PdfText(range, 1), page2);
    EXPECT_EQ(PdfText(range, 2), page3);
    EXPECT_EQ(PdfText(range, 3), page2);
    EXPECT_EQ(PdfText(range, 4), page3);
    EXPECT_EQ(PdfText(range), page2 + page3 + page2 + page3); // and nothing else
    EXPECT_EQ(PdfTitle(range), "Printing ... - Page 2"); // the file is named after its first job
}

class PrintCommandTest : public PrintFormTest
{
protected:
    void SetUp() override
    {
        setenv("XDG_DATA_HOME", home_.Path().c_str(), 1);
        PrintFormTest::SetUp();
    }
    TempFolder home_;
};

TEST_F(PrintCommandTest, PrintPutsEveryLineOnPaperOnceAndInOrder)
{
    constexpr int kLines = 400;
    TMainForm main;
    main.show();
    QApplication::processEvents();
    boxes_.clear();
    auto *monitor = main.findChild<QPlainTextEdit *>("RichShow");
    auto *print = main.findChild<QAction *>("Print1");
    auto *form = main.findChild<TPrintForm *>();
    ASSERT_TRUE(print && form);
    EXPECT_TRUE(print->isEnabled());

    print->trigger(); // an empty monitor
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].Text, "There is not content to print.");
    EXPECT_EQ(boxes_[0].Owner, &main);

    FillMonitorThroughRenderer(*monitor, kLines);
    const QString pdf = Pdf("monitor.pdf");
    choice_ = Choice { 1, {}, pdf };
    print->trigger();
    ASSERT_EQ(boxes_.size(), 1u) << boxes_.back().Text.toStdString();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->PagePreview1->ZoomMode(), TZoomMode::ActualSize);
    const int pages = form->PagePreview1->PageCount();
    EXPECT_EQ(dialogMaxPage_, pages);
    ASSERT_GE(pages, 4);

    std::vector<int> expected(kLines);
    for (int k = 0; k < kLines; ++k)
        expected[std::size_t(k)] = k + 1;
    EXPECT_EQ(LineNumbers(PdfText(pdf)), expected);
    EXPECT_EQ(PdfTitle(pdf), "Printing ...");
    // The breaks fall between lines: each page ends where the next begins.
    int last = 0;
    for (int page = 1; page <= pages; ++page) {
        const std::vector<int> numbers = LineNumbers(PdfText(pdf, page));
        ASSERT_FALSE(numbers.empty()) << "page " << page;
        EXPECT_EQ(numbers.front(), last + 1) << "page " << page;
        last = numbers.back();
    }
    EXPECT_EQ(last, kLines);
}

TEST_F(PrintCommandTest, PrintPreviewShowsTheMonitorAsPages)
{
    TMainForm main;
    main.show();
    QApplication::processEvents();
    FillMonitorThroughRenderer(*main.findChild<QPlainTextEdit *>("RichShow"), 30);
    auto *form = main.findChild<TPrintForm *>();
    main.findChild<QAction *>("PrintPreview1")->trigger();
    ASSERT_TRUE(WaitUntil([&] { return form->PagePreview1->PageCount() == 1; }));
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), "Print Preview");
    EXPECT_EQ(form->StatusPanel->text(), "    Page 1    Total 1");
    form->Button8->click();
    EXPECT_FALSE(form->isVisible());
}

} // namespace
