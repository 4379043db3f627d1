#include "app/engine/data_rt.h"

#include "app/engine/gbk_codec.h"
#include "app/shell/colors.h"
#include "app/shell/message_box.h"
#include "app/shell/view_text.h"
#include "engine/capture_line.h"
#include "engine/vek_scomm.h"
#include "send/hex_text.h"
#include "send/number_convert.h"
#include "send/receive_filter.h"
#include "send/received_checksum.h"
#include "shell/auto_save_rules.h"

#include <QAbstractScrollArea>
#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>
#include <charconv>
#include <mutex>

namespace {

// A stream of lines repaints the monitor at most this often. A repaint costs about
// ten times an append, so painting every line would starve the event loop.
constexpr int kRepaintIntervalMs = 33;
// Long lines (a 4096-byte burst is a line of 12 000 characters) make a repaint
// cost a hundred milliseconds and more; the next repaint then waits this many
// times as long as the last one took, so painting keeps to a fifth of the time
// and the rest goes to taking lines. Never longer than half a second.
constexpr int kRepaintCostFactor = 4;
constexpr int kLongestRepaintIntervalMs = 500;
constexpr int kRenderIntervalMs = 1;
constexpr int kSendIntervalMs = 10;

// One byte per character, for the hex-text helpers: a character outside Latin-1
// becomes "?", which is neither a blank nor a hex digit, so counts stay per character.
std::string CharBytes(const QString &text)
{
    const QByteArray latin = text.toLatin1();
    return std::string(latin.constData(), std::size_t(latin.size()));
}

QString Latin(std::string_view text)
{
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

// Where the caret stands as the user sees the view: the 0-based line and the
// text of that line in front of the caret. With word wrap a line is a line of
// the layout, otherwise a block.
struct CaretPlace
{
    int Line = 0;
    QString TextBefore;
};

// Lays out a block the view has not shown yet (it lays out only what it shows).
const QTextLayout *LaidOut(const QTextBlock &block)
{
    block.document()->documentLayout()->blockBoundingRect(block);
    return block.layout();
}

CaretPlace CaretPlaceOf(const QPlainTextEdit &view)
{
    const QTextCursor cursor = view.textCursor();
    const QTextBlock block = cursor.block();
    const int column = cursor.positionInBlock();
    const bool wrapped = view.lineWrapMode() != QPlainTextEdit::NoWrap;
    const QTextLayout *layout = wrapped ? LaidOut(block) : nullptr;
    if (!layout || layout->lineCount() == 0)
        return { block.blockNumber(), block.text().left(column) };

    const QTextLine line = layout->lineForTextPosition(column);
    const int lineStart = line.isValid() ? line.textStart() : 0;
    // The lines before the caret's block as the view counts them: a block it has
    // laid out counts its wrapped lines, one it never showed counts one. Laying
    // out every earlier block instead would keep a click waiting for seconds
    // after a flood of long lines.
    const int lineIndex = block.firstLineNumber() + (line.isValid() ? line.lineNumber() : 0);
    return { lineIndex, block.text().mid(lineStart, column - lineStart) };
}

} // namespace

// Lets the receive thread wake the renderer without ever touching a destroyed one.
struct TDataRT::WakeGuard
{
    std::mutex Mutex;
    TDataRT *Target = nullptr;
};

TDataRT::TDataRT(QPlainTextEdit *sendView, TVekScomm &channel, QPlainTextEdit *monitorView,
    QPlainTextEdit *findView, const SettingsRecord &settings, Clock &clock, QObject *parent)
    : QObject(parent)
    , SendView(sendView)
    , MonitorView(monitorView)
    , FindView(findView)
    , ActiveView(monitorView)
    , Channel(channel)
    , RenderTimer(new QTimer(this))
    , SendTimer(new QTimer(this))
    , settings_(settings)
    , clock_(clock)
    , wakeGuard_(std::make_shared<WakeGuard>())
    , monitorAlive_(monitorView)
    , repaintWindow_(new QTimer(this))
{
    RenderTimer->setTimerType(Qt::PreciseTimer);
    RenderTimer->setInterval(kRenderIntervalMs);
    connect(RenderTimer, &QTimer::timeout, this, &TDataRT::RenderTick);

    SendTimer->setInterval(kSendIntervalMs); // stays off until loop send is switched on
    connect(SendTimer, &QTimer::timeout, this, &TDataRT::LoopTick);
    Scheduler = std::make_unique<TSendScheduler>(*this, clock_);

    repaintWindow_->setSingleShot(true);
    repaintWindow_->setInterval(kRepaintIntervalMs);
    connect(repaintWindow_, &QTimer::timeout, this, &TDataRT::RepaintWindowEnded);

    // Monitor lines are output, not editing: they must not fill the undo stack.
    if (MonitorView)
        MonitorView->document()->setUndoRedoEnabled(false);

    InstallMouseHandlers(SendView);
    InstallMouseHandlers(MonitorView);
    InstallMouseHandlers(FindView);

    wakeGuard_->Target = this;
    Channel.OnLineQueued = [guard = wakeGuard_] {
        std::lock_guard lock(guard->Mutex);
        if (TDataRT *target = guard->Target)
            QMetaObject::invokeMethod(
                target, [target] { target->TakeQueuedLineNow(); }, Qt::QueuedConnection);
    };

    RenderTimer->start();
}

TDataRT::~TDataRT()
{
    // The channel may outlive us and the receive thread may be queueing a line
    // right now: disarm the callback instead of replacing it under its feet.
    // A wake already posted to this object dies with it.
    {
        std::lock_guard lock(wakeGuard_->Mutex);
        wakeGuard_->Target = nullptr;
    }
    HoldMonitor(false); // a view that outlives us is left as it was
}

void TDataRT::SetActiveView(QPlainTextEdit *view)
{
    ActiveView = view;
}

// --- Render tick -----------------------------------------------------------------

void TDataRT::RenderTick()
{
    {
        const QScopedValueRollback<bool> inTick(inRenderTick_, true);
        DisplayStep();
        TriggerStep();
    }
    // Sleep while there is nothing to do; OnLineQueued and the send commands wake
    // the timer again. A line queued after this check posts a wake that arrives
    // after the stop, so none is lost.
    if (!Scheduler->NeedsTicks() && Channel.QueuedLines() == 0)
        RenderTimer->stop();
}

void TDataRT::WakeRenderTimer()
{
    if (!RenderTimer->isActive())
        RenderTimer->start();
}

// A line queued while the timer slept is taken at once instead of one timer
// interval later: a receive trigger answers that much sooner. While the timer
// runs, its next tick is at most an interval away and takes the line in order.
void TDataRT::TakeQueuedLineNow()
{
    if (RenderTimer->isActive())
        return;
    RenderTimer->start();
    // A box shown inside a tick runs its own event loop, which may deliver this
    // wake; the running tick must not be entered twice.
    if (!inRenderTick_)
        RenderTick();
}

// Takes the queued lines that fit the time budget and appends the shown ones in
// one edit of the monitor, so a backlog is caught up in few repaints. Every line
// is noted for the receive trigger in order. The edit ends early wherever the
// monitor's limit check would act, so the check sees each such line as if it
// had come alone and no line escapes an auto save or the line cap.
void TDataRT::DisplayStep()
{
    QElapsedTimer spent;
    spent.start();
    const qint64 budgetNs = qint64(RenderBudgetMs) * 1000000;
    // Most of an append's cost is the layout when the edit ends, which the clock
    // inside the loop cannot see: the cost per line of earlier ticks caps the batch.
    const int maxLines = int(std::clamp(double(budgetNs) / lineCostNs_, 1.0, 100000.0));
    QTextCursor edit;
    int lines = -1; // while an edit is open: the monitor's lines as they will be
    int appended = 0;
    do {
        if (MonitorWaitsAt && monitorAlive_
            && MonitorWaitsAt((lines < 0 ? MonitorLineCount() : lines) + 1))
            break; // taken once the file is written; the queue holds it meanwhile
        if (!Channel.PopLine(takenLine_))
            break;
        const std::optional<MonitorLine> shown = TakeLine(takenLine_);
        if (!shown || !monitorAlive_)
            continue;
        if (lines < 0) {
            // Inside a repaint window the view is held before the edit, or the
            // edit's own update request would paint the monitor once more.
            if (repaintWindow_->isActive())
                HoldMonitor(true);
            edit = QTextCursor(monitorAlive_->document());
            edit.beginEditBlock();
            lines = MonitorLineCount();
        }
        AppendStampedLine(
            monitorAlive_, shown->Stamp, shown->Body, shown->Color, shown->StampColor);
        ++appended;
        // The count may run ahead of the monitor's (a last line without a line
        // break); that only ends the edit early, and the check counts afresh.
        if (MonitorLimitActsAt && MonitorLimitActsAt(++lines)) {
            edit.endEditBlock(); // the change runs the check
            lines = -1;
        }
    } while (appended < maxLines && spent.nsecsElapsed() < budgetNs);
    if (lines >= 0)
        edit.endEditBlock();
    if (appended == 0)
        return;
    NoteMonitorAppend();
    const double cost = double(spent.nsecsElapsed()) / appended;
    lineCostNs_ = 0.7 * lineCostNs_ + 0.3 * cost;
}

std::optional<TDataRT::MonitorLine> TDataRT::TakeLine(const std::string &line)
{
    const char direction = line.front();
    const CaptureParts parts = SplitCaptureLine(line);
    std::optional<MonitorLine> shown;
    if (direction == 'R') {
        const bool badChecksum = ReceivedChecksumBad(parts.Body);
        if (badChecksum)
            ++BadChecksumLines;
        if (DisplaySwitch != 0 && PassesReceiveFilter(parts.Body))
            shown = MonitorLine { MonitorStamp(direction, parts.Stamp), DecodeGbk(parts.Body),
                uint32_t(settings_.ReceiveFontColor),
                badChecksum ? kBadChecksumStampColor : kStampColor };
        Scheduler->ReceivedLineTaken(parts.Body);
    } else {
        if (SentSwitch != 0)
            shown = MonitorLine { MonitorStamp(direction, parts.Stamp), DecodeGbk(parts.Body),
                uint32_t(settings_.SendFontColor) };
        Scheduler->SentLineTaken();
    }
    return shown;
}

bool TDataRT::ReceivedChecksumBad(std::string_view body) const
{
    // Only hex lines hold frames; a line of characters is never judged.
    if (!CheckReceivedChecksum || Channel.ReceiveHex.load() == 0)
        return false;
    return CheckFrameChecksum(body, settings_.ChecksumType) == FrameChecksum::Bad;
}

int TDataRT::MonitorLineCount() const
{
    const QTextDocument *document = monitorAlive_->document();
    return CountedLines(document->blockCount(), document->lastBlock().length() <= 1);
}

void TDataRT::TriggerStep()
{
    ShowReportLater(Scheduler->TriggerStep());
}

void TDataRT::LoopTick()
{
    const SendReport report = Scheduler->LoopTick();
    if (!Scheduler->LoopRunning())
        SendTimer->stop();
    ShowReportLater(report);
}

void TDataRT::SetLoopSending(bool on)
{
    Scheduler->SetLoopRunning(on);
    if (!on) {
        SendTimer->stop();
        return;
    }
    // Restarting a running timer would delay its next line; only a new
    // interval restarts it.
    const int interval = Scheduler->LoopTimerInterval();
    if (!SendTimer->isActive() || SendTimer->interval() != interval)
        SendTimer->start(interval);
}

void TDataRT::SetTriggerSwitch(bool on)
{
    Scheduler->SetTriggerSwitch(on ? 1 : 0);
    if (Scheduler->NeedsTicks())
        WakeRenderTimer();
}

void TDataRT::ShowReportLater(const SendReport &report)
{
    if (report.Empty())
        return;
    QTimer::singleShot(0, this, [this, report] {
        if (!report.Warning.empty())
            ShowWarning(
                warningOwner_, QStringLiteral("Send"), QString::fromStdString(report.Warning));
        if (!report.Error.empty())
            ShowErrorBox(QString::fromLocal8Bit(report.Error));
    });
}

QString TDataRT::MonitorStamp(char direction, std::string_view captureStamp) const
{
    const QString mark = direction == 'R' ? QStringLiteral("R") : QStringLiteral("T");
    if (TimeSwitch != 0 && DirectionSwitch != 0) {
        std::string_view open = captureStamp;
        if (!open.empty() && open.back() == ']')
            open.remove_suffix(1);
        return Latin(open) + QLatin1Char(' ') + mark + QStringLiteral("x] ");
    }
    if (TimeSwitch != 0)
        return Latin(captureStamp) + QLatin1Char(' ');
    if (DirectionSwitch != 0)
        return QLatin1Char('[') + mark + QStringLiteral(" x] ");
    return {};
}

bool TDataRT::PassesReceiveFilter(std::string_view body) const
{
    return ::PassesReceiveFilter(settings_, body);
}

// --- Monitor lines ---------------------------------------------------------------

QTextCharFormat TDataRT::LineFormat(uint32_t color)
{
    QTextCharFormat format = ViewCharFormat();
    format.setForeground(ColorFromBgr(color));
    return format;
}

void TDataRT::InsertStampedLine(QTextCursor &cursor, const QString &stamp, const QString &body,
    uint32_t color, uint32_t stampColor)
{
    // Plain text only: received data must never be read as markup.
    cursor.beginEditBlock();
    if (!stamp.isEmpty())
        cursor.insertText(stamp, LineFormat(stampColor));
    const QTextCharFormat format = LineFormat(color);
    // Two inserts rather than one of `body + "\n"`: a hex line of a 4096-byte
    // burst is 12,000 characters, not worth copying only to add a line break.
    cursor.insertText(body, format);
    cursor.insertText(QStringLiteral("\n"), format);
    cursor.endEditBlock();
}

void TDataRT::AppendStampedLine(QPlainTextEdit *view, const QString &stamp, const QString &body,
    uint32_t color, uint32_t stampColor)
{
    if (!view)
        return;
    // The views that receive stamped lines only show output; their undo must not
    // take these lines back.
    if (view->document()->isUndoRedoEnabled())
        view->document()->setUndoRedoEnabled(false);
    QTextCursor end(view->document());
    end.movePosition(QTextCursor::End);
    InsertStampedLine(end, stamp, body, color, stampColor);
}

// The first line after a quiet spell is shown at once and opens a repaint window.
// Lines that arrive while the window runs are appended with the monitor's updates
// held; when the window ends they are shown in one repaint and, if lines were
// held, a new window opens. So a stream costs one repaint per window.
void TDataRT::NoteMonitorAppend()
{
    if (repaintWindow_->isActive()) {
        HoldMonitor(true);
        return;
    }
    // After a quiet spell the stream may be a slow one: start with the short window.
    ShowMonitorEnd();
    repaintWindow_->start(kRepaintIntervalMs);
}

void TDataRT::RepaintWindowEnded()
{
    if (!monitorHeld_)
        return; // no line since the last repaint: the stream has stopped
    QElapsedTimer painting;
    painting.start();
    HoldMonitor(false); // first, so the scroll to the end sees the exact range
    ShowMonitorEnd();
    // Paint now: a repaint merely scheduled would find the view held again by
    // the next line, which comes within a millisecond while the stream lasts.
    if (monitorAlive_)
        monitorAlive_->repaint();
    repaintWindow_->start(int(std::clamp(painting.elapsed() * kRepaintCostFactor,
        qint64(kRepaintIntervalMs), qint64(kLongestRepaintIntervalMs))));
}

// Moves the caret to the end (dropping the user's selection) and scrolls there.
void TDataRT::ShowMonitorEnd()
{
    if (!monitorAlive_)
        return;
    QTextCursor end = monitorAlive_->textCursor();
    end.movePosition(QTextCursor::End);
    monitorAlive_->setTextCursor(end);
}

void TDataRT::HoldMonitor(bool hold)
{
    if (monitorHeld_ == hold)
        return;
    monitorHeld_ = hold;
    if (!monitorAlive_)
        return;
    monitorAlive_->setUpdatesEnabled(!hold);
    // Keeping the scroll range exact lays out the lines at the end after every
    // edit; while the view is held it need not be exact, and the lines that
    // scroll by unseen are never laid out. Letting go makes it exact again.
    monitorAlive_->setCenterOnScroll(hold);
}

// --- Mouse handling: caret figures, selection size, pop-up conversion -------------

void TDataRT::InstallMouseHandlers(QPlainTextEdit *view)
{
    if (view)
        view->viewport()->installEventFilter(this);
}

bool TDataRT::eventFilter(QObject *watched, QEvent *event)
{
    // The filter sees the event before the view does; the figures are taken once
    // the view has moved its caret or selection, so they run queued.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        QMetaObject::invokeMethod(this, &TDataRT::UpdateCaretFigures, Qt::QueuedConnection);
        break;
    case QEvent::MouseMove:
        ScheduleSelectionSize();
        break;
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->modifiers() & Qt::ControlModifier) {
            const QPoint globalPos = mouse->globalPosition().toPoint();
            QMetaObject::invokeMethod(
                this, [this, globalPos] { PopupConversion(globalPos); }, Qt::QueuedConnection);
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void TDataRT::ScheduleSelectionSize()
{
    // A drag sends many moves; one count per pass of the event loop is enough.
    if (selectionUpdatePending_)
        return;
    selectionUpdatePending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            selectionUpdatePending_ = false;
            UpdateSelectionSize();
        },
        Qt::QueuedConnection);
}

void TDataRT::UpdateCaretFigures()
{
    if (!ActiveView)
        return;
    const uint8_t hex = ActiveView == SendView ? Channel.SendHex.load() : Channel.ReceiveHex.load();
    ActiveViewHex = hex != 0 ? 1 : 0;

    const CaretPlace place = CaretPlaceOf(*ActiveView);
    QString text = place.TextBefore;
    // A monitor stamp "[...] " in front of the caret is not counted.
    if (text.size() > 1 && text.front() == QLatin1Char('[')) {
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        text = close < 0 ? QString() : text.mid(close + 2);
    }
    CaretColumn = ActiveViewHex ? HexByteCount(CharBytes(text), 1) : int(text.size());
    CaretLine = place.Line + 1;
}

void TDataRT::UpdateSelectionSize()
{
    if (!ActiveView)
        return;
    const QTextCursor cursor = ActiveView->textCursor();
    if (ActiveViewHex)
        SelectionSize = HexByteCount(TrimText(CharBytes(SelectedPlainText(cursor))), 2);
    else
        SelectionSize = cursor.selectionEnd() - cursor.selectionStart();
}

void TDataRT::PopupConversion(QPoint globalPos)
{
    if (!ActiveView)
        return;
    const std::string selection = CharBytes(SelectedPlainText(ActiveView->textCursor()));
    const std::optional<uint32_t> pattern = SelectionPattern(selection);
    if (!pattern)
        return;
    emit PopupConversionRequested(QString::number(static_cast<int32_t>(*pattern)),
        Latin(HexToBinText(StripBlanks(selection))), globalPos);
}

// --- Sending on command ------------------------------------------------------------

QString TDataRT::SendViewLineText(int index) const
{
    if (!SendView || index < 0)
        return {};
    const QTextBlock block = SendView->document()->findBlockByNumber(index);
    return block.isValid() ? block.text() : QString();
}

int TDataRT::CaretLineIndex() const
{
    return SendView ? SendView->textCursor().blockNumber() : 0;
}

std::string TDataRT::LineText(int index) const
{
    return EncodeGbk(SendViewLineText(index));
}

void TDataRT::SendViewLine(int index)
{
    if (!SendView || !Channel.ComPort().Connected())
        return;
    Channel.SendLine(EncodeGbk(SendViewLineText(index)));
    WakeRenderTimer(); // the T line is queued by now
}

void TDataRT::SendCaretLine()
{
    if (!SendView)
        return;
    const SendReport report = Scheduler->SendCaretLine();
    if (!report.Warning.empty())
        ShowWarning(warningOwner_, QStringLiteral("Send"), QString::fromStdString(report.Warning));
}
