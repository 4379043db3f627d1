#include "app/shell/monitor_limits.h"

#include "app/shell/background_writer.h"
#include "app/shell/message_box.h"
#include "app/shell/rich_text_bridge.h"
#include "shell/atomic_file.h"

#include <QDateTime>
#include <QFile>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>

namespace {

LocalDateTime CurrentLocalTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    return { date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second() };
}

} // namespace

TMonitorLimits::TMonitorLimits(
    QPlainTextEdit *monitor, SettingsRecord &settings, TBackgroundWriter &writer, QObject *parent)
    : QObject(parent)
    , Now(CurrentLocalTime)
    , monitor_(monitor)
    , settings_(settings)
    , writer_(writer)
{
    connect(monitor, &QPlainTextEdit::textChanged, this, &TMonitorLimits::CheckMonitorLimits);
}

LimitSwitches TMonitorLimits::Switches() const
{
    return { AutoSaveEnabled, AutoClearEnabled, std::max(0, settings_.AutoLines) };
}

int TMonitorLimits::MonitorLines() const
{
    if (!monitor_)
        return 0;
    const QTextDocument *document = monitor_->document();
    return CountedLines(document->blockCount(), document->lastBlock().length() <= 1);
}

bool TMonitorLimits::RetryDue() const
{
    return !failing_ || !sinceFailure_.isValid() || sinceFailure_.elapsed() >= RetryIntervalMs;
}

bool TMonitorLimits::WouldAct(int lines) const
{
    const LimitPlan plan = PlanMonitorLimits(lines, Switches());
    if (plan.ClearAnyway)
        return true;
    return plan.Save && !saving_ && RetryDue();
}

bool TMonitorLimits::MustWaitForSave(int lines) const
{
    return saving_ && PlanMonitorLimits(lines, Switches()).ClearAnyway;
}

void TMonitorLimits::CheckMonitorLimits()
{
    // Emptying the monitor is a change of its text too.
    if (inCheck_ || !monitor_)
        return;
    const QScopedValueRollback<bool> inCheck(inCheck_, true);

    LimitPlan plan = PlanMonitorLimits(MonitorLines(), Switches());
    if (!plan.Acts())
        return;
    if (plan.Save && saving_ && plan.ClearAnyway) {
        // The monitor is about to be emptied: the lines of the file being
        // written go first, so the next file starts where that one ended.
        FinishSaving();
        plan = PlanMonitorLimits(MonitorLines(), Switches());
    }
    // A write in progress ends with a check of its own; until then the lines wait.
    if (plan.Save && !saving_ && (RetryDue() || plan.ClearAnyway))
        StartSave();
    if (plan.ClearAnyway)
        ClearMonitor();
}

bool TMonitorLimits::StartSave()
{
    const std::string folder = settings_.AutoSavePath.Text();
    if (folder.empty()) {
        ReportFailure(QStringLiteral("Select a path to save please."));
        return false;
    }
    const std::string path = DistinctAutoSaveName(folder, Now(),
        [this](const std::string &name) { return name == savingPath_ || FileExists(name); });

    const int savedLines = MonitorLines();
    const int mark = ++lastMark_;
    monitor_->document()->findBlockByNumber(savedLines - 1).setUserState(mark);
    saving_ = true;
    savingPath_ = path;
    writer_.Write(CopyRichDocument(*monitor_->document()), QFile::decodeName(path.c_str()),
        [self = QPointer<TMonitorLimits>(this), mark, savedLines](const QString &error) {
            if (self)
                self->SaveFinished(error, mark, savedLines);
        });
    return true;
}

void TMonitorLimits::FinishSaving()
{
    // Taking the outcome may start the next file (lines that came meanwhile).
    while (saving_)
        writer_.WaitForAll();
}

void TMonitorLimits::SaveFinished(const QString &error, int mark, int savedLines)
{
    saving_ = false;
    savingPath_.clear();
    if (!error.isEmpty()) {
        ReportFailure(error);
        return;
    }
    failing_ = false;
    RemoveSavedLines(mark, savedLines); // a change: checks again for lines that came meanwhile
}

// The saved lines are the first `savedLines` lines, the last one tagged with
// `mark`, unless the user edited or emptied the monitor meanwhile: an emptied
// monitor has nothing left to remove, an edited one is searched for the tag.
void TMonitorLimits::RemoveSavedLines(int mark, int savedLines)
{
    if (!monitor_)
        return;
    QTextDocument *document = monitor_->document();
    QTextBlock last = document->findBlockByNumber(savedLines - 1);
    if (last.userState() != mark) {
        last = {};
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            if (block.userState() == mark) {
                last = block;
                break;
            }
        }
    }
    if (!last.isValid())
        return;
    const QTextBlock next = last.next();
    if (!next.isValid() || (next == document->lastBlock() && next.length() <= 1)) {
        ClearMonitor();
        return;
    }
    QTextCursor cursor(document);
    cursor.setPosition(next.position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void TMonitorLimits::ClearMonitor()
{
    if (monitor_)
        monitor_->clear();
}

// Shown once while the folder keeps failing; a successful write re-arms it. The
// box comes after the current step, never inside a render tick.
void TMonitorLimits::ReportFailure(const QString &reason)
{
    sinceFailure_.start();
    if (failing_)
        return;
    failing_ = true;
    QTimer::singleShot(0, this, [reason] { ShowErrorBox(reason); });
}
