#pragma once

#include "shell/auto_save_rules.h"
#include "shell/settings_record.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <string>

class QPlainTextEdit;
class TBackgroundWriter;

// Keeps the monitor within its limits: on every change of its text it may save
// it to a time-named file in the auto-save folder and empty it, empty it
// without saving, or empty it beyond the fixed line cap.
//
// Files are written on a worker thread from a copy of the monitor taken at the
// check. The lines stay on screen until their file is written, and only those
// lines are removed then, so lines that arrive meanwhile are neither lost nor
// saved twice. A failed write keeps the lines; its reason is shown once until a
// write succeeds again.
class TMonitorLimits : public QObject
{
    Q_OBJECT
public:
    TMonitorLimits(QPlainTextEdit *monitor, SettingsRecord &settings, TBackgroundWriter &writer,
        QObject *parent = nullptr);

    // Live only for the run; off at every start.
    bool AutoSaveEnabled = false;
    bool AutoClearEnabled = false;
    // While the folder keeps failing, a new attempt at most this often.
    int RetryIntervalMs = 1000;

    void CheckMonitorLimits();
    // Whether a check with `lines` lines in the monitor would do anything: the
    // renderer hands lines over in batches and ends a batch where this holds.
    bool WouldAct(int lines) const;
    // Whether a line that makes `lines` must wait for the file being written:
    // the check would empty the monitor, and so first wait for that file on
    // the window's thread. The renderer leaves such a line in the queue.
    bool MustWaitForSave(int lines) const;
    int MonitorLines() const;
    // Waits until no file of the monitor is being written, taking each outcome.
    void FinishSaving();

    // The local date and time that names the files (tests set their own).
    std::function<LocalDateTime()> Now;

private:
    LimitSwitches Switches() const;
    // Starts writing the monitor; false when no write could be started.
    bool StartSave();
    void SaveFinished(const QString &error, int mark, int savedLines);
    void RemoveSavedLines(int mark, int savedLines);
    void ReportFailure(const QString &reason);
    void ClearMonitor();
    bool RetryDue() const;

    QPointer<QPlainTextEdit> monitor_;
    SettingsRecord &settings_;
    TBackgroundWriter &writer_;
    bool inCheck_ = false;
    bool saving_ = false; // a file of the monitor is being written
    bool failing_ = false; // the last write failed and was reported
    int lastMark_ = 0; // tags the last line of each copy taken for a file
    std::string savingPath_;
    QElapsedTimer sinceFailure_;
};
