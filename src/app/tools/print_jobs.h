#pragma once

#include <QPainter>
#include <QSize>
#include <QString>

#include <memory>
#include <stdexcept>

class QPrinter;

// A print that did not get through; the message says why.
class EPrint : public std::runtime_error
{
public:
    explicit EPrint(const QString &reason);
    QString Reason() const { return QString::fromUtf8(what()); }
};

// Where the print jobs of one print command go: named jobs of pages, each
// page drawn on Painter() over the printable area of PageSize() pixels.
// Every step raises EPrint when the destination refuses it.
class TPrintJobs
{
public:
    virtual ~TPrintJobs() = default;
    virtual void BeginJob(const QString &name) = 0;
    virtual void NewPage() = 0;
    virtual void EndJob() = 0;
    // After the last job: a destination that collects the jobs delivers them now.
    virtual void Finish() { }
    virtual QPainter &Painter() = 0;
    virtual QSize PageSize() const = 0;
};

// The jobs for the destination chosen on `printer`: a printer takes one job
// after another; a file takes every job of the command, in order, so no job
// overwrites the one before it.
std::unique_ptr<TPrintJobs> MakePrintJobs(QPrinter &printer);

// True when pages can go somewhere: an installed printer, or a PDF file,
// which Qt's print support always offers.
bool PrintDestinationExists();
