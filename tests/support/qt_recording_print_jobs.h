#pragma once

// A printer for tests: keeps the name and page count of every job, and can
// refuse jobs the way a printer or a full disk would. The record outlives the
// jobs object, which the print command destroys when it ends.

#include "app/tools/print_jobs.h"

#include <QImage>
#include <QPainter>
#include <QString>

#include <memory>
#include <vector>

class TRecordingPrintJobs : public TPrintJobs
{
public:
    struct Job
    {
        QString Name;
        int Pages = 0;
        bool operator==(const Job &) const = default;
    };
    struct Record
    {
        std::vector<Job> Jobs;
        int Finished = 0;
        QImage LastPage; // the last page of the last job as printed
    };

    std::shared_ptr<Record> Log = std::make_shared<Record>();
    QString RefuseWith; // when set, every job is refused with this reason

    void BeginJob(const QString &name) override
    {
        if (!RefuseWith.isEmpty())
            throw EPrint(RefuseWith);
        Log->Jobs.push_back({ name, 1 });
        page_.fill(Qt::white);
        painter_.begin(&page_);
    }
    void NewPage() override { ++Log->Jobs.back().Pages; }
    void EndJob() override
    {
        painter_.end();
        Log->LastPage = page_;
    }
    void Finish() override { ++Log->Finished; }
    QPainter &Painter() override { return painter_; }
    QSize PageSize() const override { return page_.size(); }

private:
    QImage page_ { 204, 264, QImage::Format_RGB32 };
    QPainter painter_;
};
