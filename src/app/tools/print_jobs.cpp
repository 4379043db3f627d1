#include "app/tools/print_jobs.h"

#include "shell/atomic_file.h"

#include <QBuffer>
#include <QFile>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

#include <system_error>

EPrint::EPrint(const QString &reason)
    : std::runtime_error(reason.toStdString())
{ }

namespace {

// An installed printer: every job is a job of its own.
class TPrinterJobs : public TPrintJobs
{
public:
    explicit TPrinterJobs(QPrinter &printer)
        : printer_(printer)
    { }

    void BeginJob(const QString &name) override
    {
        printer_.setDocName(name);
        if (!painter_.begin(&printer_))
            throw EPrint(
                QString("The printer \"%1\" did not accept the job.").arg(printer_.printerName()));
    }

    void NewPage() override
    {
        if (!printer_.newPage())
            throw EPrint(QString("The printer \"%1\" did not accept another page.")
                             .arg(printer_.printerName()));
    }

    void EndJob() override
    {
        if (!painter_.end() || printer_.printerState() == QPrinter::Error)
            throw EPrint(
                QString("The printer \"%1\" did not finish the job.").arg(printer_.printerName()));
    }

    QPainter &Painter() override { return painter_; }
    QSize PageSize() const override { return { printer_.width(), printer_.height() }; }

private:
    QPrinter &printer_;
    QPainter painter_;
};

// A PDF file: the jobs of one print command follow each other in the one file,
// which is written in one piece when printing ends, so a failed print never
// leaves half a file and a second job never overwrites the first.
class TPdfFileJobs : public TPrintJobs
{
public:
    explicit TPdfFileJobs(QPrinter &printer)
        : path_(printer.outputFileName())
        , writer_(&buffer_)
    {
        buffer_.open(QIODevice::WriteOnly);
        writer_.setPageLayout(printer.pageLayout());
        writer_.setResolution(printer.resolution());
        writer_.setCreator("Corvella");
    }

    void BeginJob(const QString &name) override
    {
        if (path_.isEmpty())
            throw EPrint("No file name was given for the PDF file.");
        if (painter_.isActive()) {
            NewPage();
            return;
        }
        writer_.setTitle(name);
        if (!painter_.begin(&writer_))
            throw EPrint("The PDF file could not be started.");
    }

    void NewPage() override
    {
        if (!writer_.newPage())
            throw EPrint("The PDF file could not take another page.");
    }

    void EndJob() override { }

    void Finish() override
    {
        if (!painter_.isActive())
            return;
        painter_.end();
        try {
            WriteFileAtomically(
                QFile::encodeName(path_).toStdString(), buffer_.data().toStdString());
        } catch (const std::system_error &e) {
            throw EPrint(QString("%1 could not be written: %2")
                             .arg(path_, QString::fromLocal8Bit(e.code().message())));
        }
    }

    QPainter &Painter() override { return painter_; }
    QSize PageSize() const override { return { writer_.width(), writer_.height() }; }

private:
    QString path_;
    QBuffer buffer_;
    QPdfWriter writer_;
    QPainter painter_;
};

} // namespace

std::unique_ptr<TPrintJobs> MakePrintJobs(QPrinter &printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return std::make_unique<TPdfFileJobs>(printer);
    return std::make_unique<TPrinterJobs>(printer);
}

bool PrintDestinationExists()
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        return true;
    QPrinter file;
    file.setOutputFormat(QPrinter::PdfFormat);
    return file.isValid();
}
