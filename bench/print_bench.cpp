// Cost of printing the monitor: pagination and printing every page to a PDF file
// through the same path as the "Print" command, with the print dialog answered.
//
//   print_bench [--lines N] [--pdf FILE]     (N defaults to 5000)
//
//   lines        monitor lines filled in through the renderer
//   pages        pages formed
//   paginate_ms  from the command to the print dialog: laying out and forming the pages
//   print_ms     from the dialog's answer until the PDF file is written
//   pdf_path     the file written
//   paginate_cpu_ms, print_cpu_ms   the same two spans in CPU time of the
//                user-interface thread, which a busy machine does not inflate

#include "app/shell/message_box.h"
#include "app/tools/print_dialog.h"
#include "app/tools/print_form.h"
#include "support/qt_stamped_lines.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPrinter>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/resource.h>

namespace {

// CPU time of the calling thread in milliseconds.
double ThreadCpuMs()
{
    rusage usage {};
    getrusage(RUSAGE_THREAD, &usage);
    const auto ms
        = [](const timeval &t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

} // namespace

int main(int argc, char **argv)
{
    int lines = 5000;
    QString pdf;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--lines") == 0)
            lines = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--pdf") == 0)
            pdf = QString::fromLocal8Bit(argv[i + 1]);
    }
    // A program, not a test: make it run without a display by default.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (pdf.isEmpty())
        pdf = QDir::temp().filePath("print_bench.pdf");
    pdf = QFileInfo(pdf).absoluteFilePath();

    QWidget owner;
    QPlainTextEdit monitor(&owner);
    monitor.setLineWrapMode(QPlainTextEdit::NoWrap);
    FillMonitorThroughRenderer(monitor, lines);
    TPrintForm form(&monitor, &owner);

    QElapsedTimer timer;
    qint64 dialogAt = 0;
    double dialogCpu = 0;
    int pages = 0;
    SetPrintDialogHandler([&](const PrintDialogRequest &request) {
        dialogAt = timer.elapsed();
        dialogCpu = ThreadCpuMs();
        pages = request.MaxPage;
        request.Printer->setOutputFormat(QPrinter::PdfFormat);
        request.Printer->setOutputFileName(pdf);
        request.Printer->setPrintRange(QPrinter::AllPages);
        return MakePrintJobs(*request.Printer);
    });
    bool failed = false;
    SetMessageBoxHandler([&](const MessageBoxRequest &request) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(request.Caption), qPrintable(request.Text));
        failed = true;
        return QMessageBox::Ok;
    });

    const double startCpu = ThreadCpuMs();
    timer.start();
    form.PrintMonitorText();
    const qint64 doneAt = timer.elapsed();
    const double doneCpu = ThreadCpuMs();

    std::printf("lines: %d\n", lines);
    std::printf("pages: %d\n", pages);
    std::printf("paginate_ms: %lld\n", static_cast<long long>(dialogAt));
    std::printf("print_ms: %lld\n", static_cast<long long>(doneAt - dialogAt));
    std::printf("pdf_path: %s\n", qPrintable(pdf));
    std::printf("paginate_cpu_ms: %.0f\n", dialogCpu - startCpu);
    std::printf("print_cpu_ms: %.0f\n", doneCpu - dialogCpu);
    return failed ? 1 : 0;
}
