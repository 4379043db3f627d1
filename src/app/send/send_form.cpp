#include "app/send/send_form.h"

#include "app/shell/icons.h"
#include "app/shell/message_box.h"
#include "app/shell/view_text.h"
#include "send/checksum.h"
#include "send/hex_text.h"
#include "shell/send_settings_rules.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <string>

namespace {

const QSize kButtonSize(24, 25);
const QSize kDropDownButtonSize(41, 28); // room for the menu arrow beside the icon

// The send view takes pasted and dropped text as plain text: what is typed
// here is sent byte for byte, so foreign markup has no place in it.
class TSendView : public QPlainTextEdit
{
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void insertFromMimeData(const QMimeData *source) override
    {
        if (source->hasText())
            insertPlainText(source->text());
    }
};

QTextCharFormat RunFormat(const QColor &color)
{
    QTextCharFormat format = ViewCharFormat();
    format.setForeground(color);
    return format;
}

int FirstVisibleCharacter(const QString &line)
{
    for (int i = 0; i < line.size(); ++i) {
        if (line.at(i).unicode() > 0x20)
            return i;
    }
    return int(line.size());
}

bool IsChecksumKind(int index)
{
    return index >= 0 && index < int(kChecksumKinds.size()) && index != kChecksumSeparatorIndex;
}

QString ChecksumHint(int index)
{
    return QStringLiteral("Check ") + QString::fromUtf8(kChecksumKinds[size_t(index)].Name);
}

QToolButton *NewToolButton(
    QToolBar *bar, const char *name, const QString &hint, const QIcon &icon, bool checkable)
{
    auto *button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(hint);
    button->setToolTip(hint);
    button->setIcon(icon);
    button->setCheckable(checkable);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setFixedSize(kButtonSize);
    bar->addWidget(button);
    return button;
}

} // namespace

TSendForm::TSendForm(SettingsRecord &settings, QWidget *parent)
    : QDockWidget(QStringLiteral("Send"), parent)
    , settings_(settings)
{
    setObjectName(QStringLiteral("SendForm"));
    CreateSendView();
    CreateChecksumMenu();
    CreateToolBar();

    auto *body = new QWidget(this);
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(RichSend, 1);
    layout->addWidget(SendBar);
    setWidget(body);

    installEventFilter(this); // activation of the floating window
}

void TSendForm::CreateSendView()
{
    RichSend = new TSendView(this);
    RichSend->setObjectName(QStringLiteral("RichSend"));
    RichSend->setFont(ViewFont());
    RichSend->document()->setDefaultFont(ViewFont());
    RichSend->setCurrentCharFormat(RunFormat(Qt::black));
    RichSend->setLineWrapMode(QPlainTextEdit::NoWrap);
    RichSend->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    RichSend->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    KeepSelectionVisible(RichSend);

    RichSend->installEventFilter(this);
}

void TSendForm::CreateChecksumMenu()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    checksumGroup_ = new QActionGroup(PopupMenu1);
    checksumGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);

    static const char *const kItemNames[] = { "SUM1", "SUM_LH1", "SUMHL1", "XOR1", "N2",
        "ModbusCRC161", "ModbusLRC161", "ANSICRC161", "CCITTCRC161", "CCITTCRC81" };
    static_assert(std::size(kItemNames) == kChecksumKinds.size());

    for (int index = 0; index < int(kChecksumKinds.size()); ++index) {
        QAction *item
            = PopupMenu1->addAction(QString::fromUtf8(kChecksumKinds[size_t(index)].Caption));
        item->setObjectName(QString::fromLatin1(kItemNames[index]));
        if (index == kChecksumSeparatorIndex) {
            item->setSeparator(true);
            continue;
        }
        item->setCheckable(true);
        item->setChecked(index == 0);
        checksumGroup_->addAction(item);
        connect(item, &QAction::triggered, this, [this, index] { ChooseChecksumKind(index); });
    }

    connect(PopupMenu1, &QMenu::aboutToShow, this, [this] {
        const QList<QAction *> items = PopupMenu1->actions();
        const int type = settings_.ChecksumType;
        for (int index = 0; index < int(items.size()); ++index) {
            if (items[index]->isCheckable())
                items[index]->setChecked(index == type);
        }
    });
}

void TSendForm::CreateToolBar()
{
    SendBar = new QToolBar(this);
    SendBar->setObjectName(QStringLiteral("SendBar"));
    SendBar->setMovable(false);
    SendBar->setFloatable(false);
    SendBar->setIconSize(QSize(20, 20));

    ToolButton1 = NewToolButton(
        SendBar, "ToolButton1", QStringLiteral("Send cursor line"), MakeIcon(IconKind::SendLine), false);
    SendBar->addSeparator();
    ToolButton2 = NewToolButton(
        SendBar, "ToolButton2", QStringLiteral("Loop To Send"), MakeIcon(IconKind::LoopSend), true);
    ToolButton3 = NewToolButton(
        SendBar, "ToolButton3", QStringLiteral("Trigger Send"), MakeIcon(IconKind::TriggerSend), true);
    SendBar->addSeparator();
    ToolButton7
        = NewToolButton(SendBar, "ToolButton7", QStringLiteral("Checksum"), MakeIcon(IconKind::Checksum), false);
    ToolButton7->setFixedSize(kDropDownButtonSize);
    ToolButton7->setMenu(PopupMenu1);
    ToolButton7->setPopupMode(QToolButton::MenuButtonPopup);
    SendBar->addSeparator();
    ToolButton8 = NewToolButton(
        SendBar, "ToolButton8", QStringLiteral("ASCII Send"), MakeIcon(IconKind::AsciiSend), true);

    connect(ToolButton1, &QToolButton::clicked, this, &TSendForm::SendCaretLineRequested);
    connect(ToolButton2, &QToolButton::clicked, this, [this] {
        // The button mirrors the setting; only the settings window changes it.
        ToolButton2->setChecked(settings_.LoopSendEnabled != 0);
        emit LoopPanelRequested();
    });
    connect(ToolButton3, &QToolButton::clicked, this, [this] {
        ToolButton3->setChecked(TriggerOn(settings_.Trigger));
        emit TriggerPanelRequested();
    });
    connect(ToolButton7, &QToolButton::clicked, this, &TSendForm::AppendChecksum);
    connect(ToolButton8, &QToolButton::clicked, this, [this] {
        settings_.AsciiSend = settings_.AsciiSend ? 0 : 1;
        ToolButton8->setChecked(settings_.AsciiSend != 0);
        emit ApplySettingsRequested();
    });
}

void TSendForm::ChooseChecksumKind(int index)
{
    settings_.ChecksumType = index;
    ToolButton7->setToolTip(ChecksumHint(index));
    AppendChecksum();
}

void TSendForm::AppendChecksum()
{
    QTextCursor cursor = RichSend->textCursor();
    const bool hasSelection = cursor.hasSelection();
    const QString rawSource = hasSelection ? cursor.selectedText() : cursor.block().text();
    const std::string source = TrimText(WithPlainLineBreaks(rawSource).toStdString());
    if (!IsHexText(source)) {
        ShowWarning(
            this, QStringLiteral("Check"), QStringLiteral("The data is not hexadecimal format."));
        return;
    }
    const std::string checksum = CalcChecksum(source, ChecksumModeForType(settings_.ChecksumType));

    if (!hasSelection) {
        // The line's own leading and trailing blanks stay where they are.
        const QTextBlock line = cursor.block();
        const int start = line.position() + FirstVisibleCharacter(line.text());
        cursor.setPosition(start);
        cursor.setPosition(start + int(source.size()), QTextCursor::KeepAnchor);
    }

    // One undo step of its own: the history cannot leave an edit out without
    // forgetting every step before it.
    cursor.beginEditBlock();
    cursor.insertText(QString::fromStdString(source), RunFormat(Qt::black));
    cursor.insertText(
        QStringLiteral(" ") + QString::fromStdString(checksum), RunFormat(QColor(0, 0, 255)));
    cursor.endEditBlock();
    RichSend->setTextCursor(cursor);
}

void TSendForm::ShowSwitches(bool loopOn, bool triggerOn, bool asciiSend)
{
    ToolButton2->setChecked(loopOn);
    ToolButton3->setChecked(triggerOn);
    ToolButton8->setChecked(asciiSend);
}

void TSendForm::FormShow()
{
    if (IsChecksumKind(settings_.ChecksumType))
        ToolButton7->setToolTip(ChecksumHint(settings_.ChecksumType));
}

void TSendForm::showEvent(QShowEvent *event)
{
    QDockWidget::showEvent(event);
    FormShow();
}

void TSendForm::closeEvent(QCloseEvent *event)
{
    QDockWidget::closeEvent(event);
    if (event->isAccepted())
        emit Closed();
}

bool TSendForm::eventFilter(QObject *watched, QEvent *event)
{
    const bool viewFocused = watched == RichSend && event->type() == QEvent::FocusIn;
    // A docked window shares the main window's activation, which is not ours.
    const bool windowActivated
        = watched == this && event->type() == QEvent::WindowActivate && isFloating();
    if (viewFocused || windowActivated)
        emit Activated();
    return QDockWidget::eventFilter(watched, event);
}
