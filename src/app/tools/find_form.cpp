#include "app/tools/find_form.h"

#include "app/engine/data_rt.h"
#include "app/shell/view_text.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextBlockUserData>
#include <QTextCursor>

namespace {

struct SourceData : QTextBlockUserData
{
    explicit SourceData(ListedLineSource source)
        : Source(std::move(source))
    { }
    ListedLineSource Source;
};

} // namespace

TFindForm::TFindForm(QWidget *parent)
    : QDockWidget(QStringLiteral("Search Output"), parent)
{
    setObjectName(QStringLiteral("FindForm"));

    RichFind = new QPlainTextEdit(this);
    RichFind->setObjectName(QStringLiteral("RichFind"));
    RichFind->setFont(ViewFont());
    RichFind->document()->setDefaultFont(ViewFont());
    RichFind->setLineWrapMode(QPlainTextEdit::NoWrap);
    RichFind->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichFind->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    KeepSelectionVisible(RichFind);
    setWidget(RichFind);

    RichFind->installEventFilter(this);
    RichFind->viewport()->installEventFilter(this);
    installEventFilter(this); // activation of the floating window
}

void TFindForm::AddListedLines(const std::vector<ListedLine> &lines)
{
    if (lines.empty())
        return;
    // One edit block: the view is laid out once for the whole batch.
    QTextCursor batch(RichFind->document());
    batch.beginEditBlock();
    for (const ListedLine &line : lines) {
        // The line stays in the block where the caret stands; the break that
        // ends it starts the next block.
        QTextBlock listed = RichFind->textCursor().block();
        TDataRT::AppendStampedLine(RichFind, line.Stamp, line.Body, line.Color);
        if (listed.isValid())
            listed.setUserData(new SourceData(line.Source));
    }
    batch.endEditBlock();
}

void TFindForm::ShowResults()
{
    show();
    raise();
    RichFind->moveCursor(QTextCursor::Start);
}

std::optional<ListedLineSource> TFindForm::SourceAt(QPoint viewportPos) const
{
    const QTextBlock block = RichFind->cursorForPosition(viewportPos).block();
    if (const auto *stored = dynamic_cast<const SourceData *>(block.userData()))
        return stored->Source;
    return std::nullopt;
}

void TFindForm::closeEvent(QCloseEvent *event)
{
    QDockWidget::closeEvent(event);
    if (event->isAccepted())
        emit Closed();
}

bool TFindForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == RichFind->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (const auto source = SourceAt(mouse->position().toPoint()))
            emit ListedLineDoubleClicked(*source);
        return false;
    }
    const bool viewFocused = watched == RichFind && event->type() == QEvent::FocusIn;
    // A docked window shares the main window's activation, which is not ours.
    const bool windowActivated
        = watched == this && event->type() == QEvent::WindowActivate && isFloating();
    if (viewFocused || windowActivated)
        emit Activated();
    return QDockWidget::eventFilter(watched, event);
}
