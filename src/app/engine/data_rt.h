#pragma once

#include "app/shell/colors.h"
#include "engine/send_scheduler.h"
#include "shell/settings_record.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class Clock;
class QTextCharFormat;
class QTextCursor;
class QPlainTextEdit;
class QTimer;
class QWidget;
class TVekScomm;

// Binds the engine to the three text views: moves captured lines into the
// monitor (display half) and sends lines of the send view (sending half).
// Reads colours, filter and scheduler settings from the settings record.
class TDataRT : public QObject, public SendTarget
{
    Q_OBJECT
public:
    TDataRT(QPlainTextEdit *sendView, TVekScomm &channel, QPlainTextEdit *monitorView,
        QPlainTextEdit *findView, const SettingsRecord &settings, Clock &clock,
        QObject *parent = nullptr);
    ~TDataRT() override;

    QPlainTextEdit *const SendView;
    QPlainTextEdit *const MonitorView;
    QPlainTextEdit *const FindView;
    QPlainTextEdit *ActiveView;
    TVekScomm &Channel;

    // Display switches, refreshed by ApplySettings.
    uint8_t TimeSwitch = 0;
    uint8_t DirectionSwitch = 0;
    uint8_t SentSwitch = 0;
    uint8_t DisplaySwitch = 1;

    // Received hex lines whose trailing checksum (of the kind chosen in the send
    // window) does not match get a warning-coloured stamp and are counted here.
    bool CheckReceivedChecksum = false;
    uint32_t BadChecksumLines = 0;

    // Caret and selection figures of the active view, for the status bar.
    int CaretLine = 0;
    int CaretColumn = 0;
    int SelectionSize = 0;
    uint8_t ActiveViewHex = 0;

    QTimer *RenderTimer; // 1 ms; sleeps while there is nothing to take and no trigger runs
    QTimer *SendTimer;   // loop send; interval LoopInterval

    // One display step (the queued lines that fit the time budget), then the trigger step.
    void RenderTick();
    // How long one render tick may take lines out of the queue.
    int RenderBudgetMs = 4;
    // Whether the monitor's limit check would act at that many lines (set by the
    // owner of the check). A batch of lines ends there, so the check sees the
    // monitor as it would after that line taken alone.
    std::function<bool(int lines)> MonitorLimitActsAt;
    // Whether a line that makes the monitor's lines `lines` must stay queued
    // for now (a file of the monitor is still being written).
    std::function<bool(int lines)> MonitorWaitsAt;
    // Appends a stamp (grey unless told otherwise) and a coloured body and a line
    // break at the end of the view's text, both in the monitor font, as plain
    // text. The caret stays where it is.
    static void AppendStampedLine(QPlainTextEdit *view, const QString &stamp, const QString &body,
                                  uint32_t color, uint32_t stampColor = kStampColor);
    // The monitor stamp for a capture line under the current switches.
    QString MonitorStamp(char direction, std::string_view captureStamp) const;
    bool PassesReceiveFilter(std::string_view body) const;

    void UpdateCaretFigures();
    void UpdateSelectionSize();

    // Sends line `index` (0-based) of the send view when the port is open.
    // Raises ECom for a line that is not hex text; device errors pass through.
    void SendViewLine(int index) override;
    // The send view as the scheduler sees it.
    int CaretLineIndex() const override;
    std::string LineText(int index) const override;

    // Loop send, timing and receive triggers. ApplySettings hands it the loop
    // and trigger blocks; SendTimer drives its loop, RenderTick its triggers.
    std::unique_ptr<TSendScheduler> Scheduler;
    // Starts the loop timer with the loop interval, or stops it.
    void SetLoopSending(bool on);
    // Switches the triggers; the render timer keeps ticking while they need it.
    void SetTriggerSwitch(bool on);
    // Restarts the render timer after it went to sleep (lines queued, a trigger on).
    void WakeRenderTimer();
    // Sends the caret line; a refused line shows "Line N is not the right format."
    void SendCaretLine();
    // The owner of the "Send" warnings (the send window).
    void SetWarningOwner(QWidget *owner) { warningOwner_ = owner; }

    void SetActiveView(QPlainTextEdit *view);

signals:
    // Ctrl + mouse release over a selection of up to four bytes of hex text:
    // the signed value and its bit groups. globalPos is the mouse cursor's screen
    // position at the release; the receiver puts the pop-up's left edge there and
    // its top edge its own height + 10 pixels above it.
    void PopupConversionRequested(const QString &decimal, const QString &bits, QPoint globalPos);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct WakeGuard;

    void DisplayStep();
    struct MonitorLine
    {
        QString Stamp;
        QString Body;
        uint32_t Color = 0;
        uint32_t StampColor = kStampColor;
    };
    // Notes one capture line for the receive trigger; what the monitor shows of
    // it, if anything.
    std::optional<MonitorLine> TakeLine(const std::string &line);
    int MonitorLineCount() const;
    void TriggerStep();
    // The receive thread's wake: restarts the sleeping timer and ticks at once.
    void TakeQueuedLineNow();
    void LoopTick();
    // Shows what the scheduler has to say once the current tick is over, so a
    // modal box never runs inside a half-finished step.
    void ShowReportLater(const SendReport &report);
    void PopupConversion(QPoint globalPos);

    // Monitor lines: appended at the end of the text; repaints and the scroll to
    // the end are coalesced while lines keep coming.
    void NoteMonitorAppend();
    void RepaintWindowEnded();
    void ShowMonitorEnd();
    void HoldMonitor(bool hold);
    static void InsertStampedLine(QTextCursor &cursor, const QString &stamp, const QString &body,
        uint32_t color, uint32_t stampColor);
    // True when received checksums are checked and this hex body's does not match.
    bool ReceivedChecksumBad(std::string_view body) const;
    static QTextCharFormat LineFormat(uint32_t color);

    QString SendViewLineText(int index) const;
    void InstallMouseHandlers(QPlainTextEdit *view);
    void ScheduleSelectionSize();

    const SettingsRecord &settings_;
    Clock &clock_;
    QWidget *warningOwner_ = nullptr;
    bool inRenderTick_ = false;
    double lineCostNs_ = 100000; // what appending one monitor line costs, smoothed
    // The line being taken; reused so its storage goes back to the receive thread.
    std::string takenLine_;

    std::shared_ptr<WakeGuard> wakeGuard_;
    QPointer<QPlainTextEdit> monitorAlive_;
    QTimer *repaintWindow_ = nullptr; // single shot; runs while repaints are coalesced
    bool monitorHeld_ = false; // monitor updates are off until the window ends
    bool selectionUpdatePending_ = false;
};
