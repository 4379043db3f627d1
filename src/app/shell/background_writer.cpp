#include "app/shell/background_writer.h"

#include "shell/atomic_file.h"

#include <QFile>

#include <exception>

TBackgroundWriter::TBackgroundWriter(QObject *parent)
    : QObject(parent)
{
    pool_.setMaxThreadCount(1); // one at a time keeps the files in order
}

TBackgroundWriter::~TBackgroundWriter()
{
    pool_.waitForDone(); // a file half way through is finished, not abandoned
}

void TBackgroundWriter::Write(RichDocumentCopy document, const QString &path, Done done)
{
    ++pending_;
    const std::string target = QFile::encodeName(path).toStdString();
    pool_.start([this, document = std::move(document), target, done = std::move(done)] {
        QString error;
        try {
            WriteFileAtomically(target, WriteRtf(ToRichDocument(document)));
        } catch (const std::exception &e) {
            error = QString::fromLocal8Bit(e.what());
        }
        {
            std::lock_guard lock(mutex_);
            finished_.push_back({ error, done });
        }
        QMetaObject::invokeMethod(this, &TBackgroundWriter::DeliverFinished, Qt::QueuedConnection);
    });
}

void TBackgroundWriter::WaitForAll()
{
    pool_.waitForDone();
    DeliverFinished();
}

void TBackgroundWriter::DeliverFinished()
{
    for (;;) {
        Finished next;
        {
            std::lock_guard lock(mutex_);
            if (finished_.empty())
                return;
            next = std::move(finished_.front());
            finished_.pop_front();
        }
        --pending_;
        if (next.Report)
            next.Report(next.Error);
    }
}
