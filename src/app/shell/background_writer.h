#pragma once

#include "app/shell/rich_text_bridge.h"

#include <QObject>
#include <QString>
#include <QThreadPool>

#include <deque>
#include <functional>
#include <mutex>

// Writes message files one after another on a worker thread, so a large
// monitor never stalls the window while it is written. Each write reports back
// on the thread that asked for it, in the order the writes were asked for.
class TBackgroundWriter : public QObject
{
    Q_OBJECT
public:
    // The error text, empty when the file was written.
    using Done = std::function<void(const QString &error)>;

    explicit TBackgroundWriter(QObject *parent = nullptr);
    ~TBackgroundWriter() override;

    // Writes `document` as a rich-text file to `path`, replacing it only once
    // complete. The copy is turned into the file's text on the worker too.
    void Write(RichDocumentCopy document, const QString &path, Done done);
    // Blocks until every write has ended and has reported back.
    void WaitForAll();
    bool Busy() const { return pending_ > 0; }

private:
    struct Finished
    {
        QString Error;
        Done Report;
    };
    void DeliverFinished();

    QThreadPool pool_;
    std::mutex mutex_;
    std::deque<Finished> finished_;
    int pending_ = 0; // writes asked for and not yet reported
};
