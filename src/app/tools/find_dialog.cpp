#include "app/tools/find_dialog.h"

#include "app/shell/message_box.h"
#include "app/tools/find_form.h"
#include "app/tools/monitor_snapshot.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <climits>
#include <vector>

namespace {

// Found lines are listed in batches: at least this often, and at most this many
// lines at a time, so listing a batch never holds the window up for long.
constexpr int kListingBatchMs = 30;
constexpr std::size_t kListingBatchLines = 128;

// Notices a change of the monitor inside the text a Find All searches: the
// monitor emptied (the line limit, "Clear Screen") or edited by the user.
// Lines appended at the end leave the searched text as it was.
class MonitorWatch
{
public:
    explicit MonitorWatch(QTextDocument *document)
        : end_(document->characterCount() - 1)
    {
        connection_ = QObject::connect(document, &QTextDocument::contentsChange,
            [this](int position, int, int) { changed_ = changed_ || position < end_; });
    }
    ~MonitorWatch() { QObject::disconnect(connection_); }
    MonitorWatch(const MonitorWatch &) = delete;
    MonitorWatch &operator=(const MonitorWatch &) = delete;

    bool Changed() const { return changed_; }

private:
    int end_;
    bool changed_ = false;
    QMetaObject::Connection connection_;
};

// Found lines reach the results view in batches, one edit of the view per
// batch: laying the view out after every single line would cost more than the
// search itself. The list is seen growing while the search runs.
class PendingListing
{
public:
    explicit PendingListing(TFindForm &results)
        : results_(results)
    {
        clock_.start();
    }

    void Add(ListedLine line) { lines_.push_back(std::move(line)); }
    void FlushIfDue()
    {
        if (lines_.size() >= kListingBatchLines || clock_.elapsed() >= kListingBatchMs)
            Flush();
    }
    void Flush()
    {
        results_.AddListedLines(lines_);
        lines_.clear();
        clock_.restart();
    }

private:
    TFindForm &results_;
    std::vector<ListedLine> lines_;
    QElapsedTimer clock_;
};

// A selection reports its line breaks as U+2029; the search counts them as CR LF.
QString SearchTextOf(QString selection)
{
    selection.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return selection;
}

} // namespace

TFindDialog::TFindDialog(
    QPlainTextEdit *monitor, TFindForm *results, const SettingsRecord &settings, QWidget *parent)
    : QDialog(parent)
    , monitor_(monitor)
    , results_(results)
    , settings_(settings)
{
    setObjectName(QStringLiteral("FindDialog"));
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    CreateControls();
    connect(results_, &TFindForm::ListedLineDoubleClicked, this, &TFindDialog::ShowListedLine);
}

void TFindDialog::CreateControls()
{
    Label1 = new QLabel(QStringLiteral("Find What:"), this);
    FindText = new QLineEdit(this);
    FindText->setObjectName(QStringLiteral("FindText"));
    FindText->setMaxLength(INT_MAX); // a long selection is searched whole, not cut short
    Label1->setBuddy(FindText);
    FindNext = new QPushButton(QStringLiteral("Find Next (&F)"), this);
    FindNext->setObjectName(QStringLiteral("FindNext"));
    FindNext->setDefault(true);
    FindAll = new QCheckBox(QStringLiteral("Find All"), this);
    FindAll->setObjectName(QStringLiteral("FindAll"));
    UpLowCase = new QCheckBox(QStringLiteral("Match Case"), this);
    UpLowCase->setObjectName(QStringLiteral("UpLowCase"));
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setObjectName(QStringLiteral("Button2"));

    auto *layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(FindText, 0, 1);
    layout->addWidget(FindNext, 0, 2);
    layout->addWidget(FindAll, 1, 1);
    layout->addWidget(UpLowCase, 2, 1);
    layout->addWidget(Button2, 1, 2);
    layout->setColumnStretch(1, 1);
    setTabOrder(FindText, FindNext);
    setTabOrder(FindNext, FindAll);
    setTabOrder(FindAll, UpLowCase);
    setTabOrder(UpLowCase, Button2);
    resize(380, sizeHint().height());

    connect(FindText, &QLineEdit::textChanged, this, &TFindDialog::FindTextChange);
    connect(FindNext, &QPushButton::clicked, this, &TFindDialog::FindInMonitor);
    connect(Button2, &QPushButton::clicked, this, &QWidget::close);
}

void TFindDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFindDialog::hideEvent(QHideEvent *event)
{
    // Closing the dialog (Cancel, Escape, its close button) stops a Find All.
    if (!event->spontaneous())
        searching_ = false;
    QDialog::hideEvent(event);
}

void TFindDialog::FormShow()
{
    FindText->setText(SearchTextOf(monitor_->textCursor().selectedText()));
    if (FindText->text().isEmpty())
        SetFindNextEnabled(false);
}

void TFindDialog::FindTextChange()
{
    SetFindNextEnabled(true);
}

// While a Find All runs the button stays disabled; the state it is to have
// afterwards is kept until then.
void TFindDialog::SetFindNextEnabled(bool enabled)
{
    if (searching_)
        findNextEnabledAfter_ = enabled;
    else
        FindNext->setEnabled(enabled);
}

void TFindDialog::FindInMonitor()
{
    if (searching_)
        return; // a Find All is running; it ends first
    const QString needle = FindText->text();
    const bool all = FindAll->isChecked();
    const MonitorSnapshot snapshot = ReadMonitorSnapshot(*monitor_, all);
    if (snapshot.Text.Text().empty())
        return;
    if (all)
        RunFindAll(snapshot, needle);
    else
        RunFindNext(snapshot, needle);
}

void TFindDialog::RunFindNext(const MonitorSnapshot &snapshot, const QString &needle)
{
    const int32_t position
        = finder_.FindNext(snapshot.Text.Text(), AsUtf16(needle), UpLowCase->isChecked());
    if (position == 0)
        return; // nothing more: the selection stays, the next search starts at the top
    const std::size_t start = std::size_t(position - 1);
    QTextCursor cursor = monitor_->textCursor();
    cursor.setPosition(int(snapshot.Text.ViewOffset(start)));
    cursor.setPosition(
        int(snapshot.Text.ViewOffset(start + std::size_t(needle.size()))), QTextCursor::KeepAnchor);
    monitor_->setTextCursor(cursor);
}

// Lists every monitor line that holds the search text, yielding to the event
// loop after every hit so the window stays usable, the monitor keeps growing
// and Cancel takes effect. Lines appended meanwhile lie beyond the text read at
// the start and are not searched; a monitor emptied or edited meanwhile ends
// the search with what it listed so far.
void TFindDialog::RunFindAll(const MonitorSnapshot &snapshot, const QString &needle)
{
    finder_.LastFoundPos = 0;
    TFindAllRun run(snapshot.Text, AsUtf16(needle), UpLowCase->isChecked());
    results_->RichFind->clear();
    BeginFindAll();

    bool found = false;
    bool monitorChanged = false;
    PendingListing listing(*results_);
    {
        const MonitorWatch watch(monitor_->document());
        for (;;) {
            monitorChanged = watch.Changed();
            if (!searching_ || monitorChanged)
                break;
            const std::optional<TFindAllRun::Hit> hit = run.Next();
            if (!hit)
                break;
            found = true;
            finder_.LastFoundPos = hit->Position;
            if (hit->FirstOnLine)
                listing.Add(ListedLineAt(snapshot, hit->Line));
            listing.FlushIfDue();
            QCoreApplication::processEvents();
        }
    }
    listing.Flush();

    if (monitorChanged)
        finder_.LastFoundPos = 0; // the hit lies in text that is gone
    else if (found)
        PutMonitorCaret(snapshot);
    if (found)
        results_->ShowResults();
    else
        ShowWarning(this, QStringLiteral("Find"),
            QStringLiteral("Search string \"") + needle + QStringLiteral("\" not found."));
    EndFindAll();
}

ListedLine TFindDialog::ListedLineAt(const MonitorSnapshot &snapshot, std::size_t line) const
{
    const std::u16string_view text = snapshot.Text.LineText(line);
    const FoundLine parts = SplitFoundLine(text);
    const MonitorSnapshot::Place place = snapshot.Places[line];
    // Sent lines are listed in the receive colour too.
    return { FromUtf16(parts.Stamp), FromUtf16(parts.Body), uint32_t(settings_.ReceiveFontColor),
        { place.Block, place.Column, FromUtf16(text) } };
}

// The caret stands at the last hit, with nothing selected, so a following Find
// Next continues from there.
void TFindDialog::PutMonitorCaret(const MonitorSnapshot &snapshot)
{
    QTextCursor cursor = monitor_->textCursor();
    cursor.setPosition(int(snapshot.Text.ViewOffset(std::size_t(finder_.LastFoundPos - 1))));
    monitor_->setTextCursor(cursor);
    // The results window may take room from the monitor when it appears; the
    // hit is brought into sight again once the window has its new layout.
    QTimer::singleShot(0, monitor_, [monitor = monitor_] { monitor->ensureCursorVisible(); });
}

void TFindDialog::BeginFindAll()
{
    findNextEnabledAfter_ = FindNext->isEnabled();
    FindNext->setEnabled(false);
    setWindowTitle(QStringLiteral("Finding..."));
    searching_ = true;
}

void TFindDialog::EndFindAll()
{
    setWindowTitle(QStringLiteral("Find"));
    searching_ = false;
    FindNext->setEnabled(findNextEnabledAfter_);
    monitor_->viewport()->update();
}

void TFindDialog::ShowListedLine(const ListedLineSource &source)
{
    const QTextBlock block = monitor_->document()->findBlockByNumber(source.Block);
    if (!block.isValid() || source.Column + source.Text.size() > block.length() - 1
        || QStringView(block.text()).mid(source.Column, source.Text.size()) != source.Text)
        return; // the monitor has moved on: the line is gone
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + source.Column);
    cursor.setPosition(
        block.position() + source.Column + int(source.Text.size()), QTextCursor::KeepAnchor);
    monitor_->setTextCursor(cursor);
}
