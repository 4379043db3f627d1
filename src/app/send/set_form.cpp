#include "app/send/set_form.h"

#include "app/shell/bring_to_front.h"
#include "app/shell/message_box.h"
#include "send/convert_error.h"
#include "shell/send_settings_rules.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStyle>
#include <QTableWidget>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>

namespace {

constexpr int kGridRowHeight = 18;
constexpr int kGridColumnWidths[] = { 38, 52, 49 };
constexpr int kPanelMargin = 6;
constexpr int kGroupMargin = 6;
constexpr int kRowSpacing = 3;

QString Unsigned(uint32_t value)
{
    return QString::number(value);
}

// Shown from its first digit: a long number must not look like a short one.
void ShowNumber(QLineEdit *edit, uint32_t value)
{
    edit->setText(Unsigned(value));
    edit->setCursorPosition(0);
}

// The standard 32-bit integer reading; the bit pattern is what is stored,
// so "-1" becomes 4294967295.
uint32_t ReadUnsigned(const QString &text)
{
    return uint32_t(StrToInt(text.toStdString()));
}

// An empty cell has no value; anything else must be an integer.
std::optional<uint32_t> ReadOptional(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    return ReadUnsigned(text);
}

uint32_t ReadUnsigned(const QLineEdit *edit)
{
    return ReadUnsigned(edit->text());
}

template <typename T> T *Named(T *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel *NewLabel(const QString &text, QWidget *parent, const char *name)
{
    return Named(new QLabel(text, parent), name);
}

// Room for six digits: line numbers and intervals as people type them. The
// edits stay narrow so that "From ... to ..." fits on one row.
QLineEdit *NewNumberEdit(QWidget *parent, const char *name)
{
    auto *edit = Named(new QLineEdit(parent), name);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 6);
    return edit;
}

QGridLayout *NewGroupGrid(QGroupBox *group)
{
    auto *grid = new QGridLayout(group);
    grid->setContentsMargins(kGroupMargin, kGroupMargin / 2, kGroupMargin, kGroupMargin);
    grid->setVerticalSpacing(kRowSpacing);
    return grid;
}

QVBoxLayout *NewPanelLayout(QWidget *panel)
{
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(kPanelMargin, kPanelMargin, kPanelMargin, kPanelMargin);
    layout->setSpacing(kPanelMargin);
    return layout;
}

QButtonGroup *NewPair(QObject *owner, QRadioButton *first, QRadioButton *second)
{
    auto *group = new QButtonGroup(owner);
    group->addButton(first);
    group->addButton(second);
    return group;
}

// A row of widgets left-aligned, without extra margins.
QHBoxLayout *Row(std::initializer_list<QWidget *> widgets)
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    for (QWidget *widget : widgets)
        row->addWidget(widget);
    row->addStretch(1);
    return row;
}

QHBoxLayout *ButtonRow(QPushButton *ok, QPushButton *cancel)
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

QPushButton *NewOkButton(QWidget *parent, const char *name)
{
    return Named(new QPushButton(QStringLiteral("Ok"), parent), name);
}

QString CellText(const QTableWidget *grid, int row, int column)
{
    const QTableWidgetItem *item = grid->item(row, column);
    return item ? item->text() : QString();
}

} // namespace

TSetForm::TSetForm(SettingsRecord &settings, DataFolderSource dataFolder, QWidget *parent)
    : QDialog(parent)
    , settings_(settings)
    , dataFolder_(std::move(dataFolder))
{
    setObjectName(QStringLiteral("SetForm"));
    setWindowTitle(QStringLiteral("Settings"));
    setWindowFlags(
        Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);

    CreateLoopPanel();
    CreateTriggerPanel();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(Panel3);
    Panel3->hide();
    setFixedSize(kLoopPanelSize);
}

void TSetForm::CreateLoopPanel()
{
    Panel1 = Named(new QWidget(this), "Panel1");
    auto *group = Named(new QGroupBox(QStringLiteral("Loop To Send"), Panel1), "GroupBox1");

    RadioButton1 = Named(new QRadioButton(QStringLiteral("Send Line:"), group), "RadioButton1");
    RadioButton2 = Named(new QRadioButton(QStringLiteral("Range: "), group), "RadioButton2");
    RadioButton4 = Named(new QRadioButton(QStringLiteral("This Line"), group), "RadioButton4");
    RadioButton5 = Named(new QRadioButton(QStringLiteral("Fixed Line:"), group), "RadioButton5");
    Edit2 = NewNumberEdit(group, "Edit2");
    Edit3 = NewNumberEdit(group, "Edit3");
    Edit4 = NewNumberEdit(group, "Edit4");
    Edit10 = NewNumberEdit(group, "Edit10");
    CheckBox1 = Named(new QCheckBox(QStringLiteral(" Enable"), group), "CheckBox1");
    loopKindGroup_ = NewPair(this, RadioButton1, RadioButton2);
    loopLineGroup_ = NewPair(this, RadioButton4, RadioButton5);

    QGridLayout *grid = NewGroupGrid(group);
    grid->addWidget(RadioButton1, 0, 0);
    grid->addLayout(Row({ RadioButton4 }), 0, 1);
    grid->addLayout(Row({ RadioButton5, Edit2 }), 1, 1);
    grid->addWidget(RadioButton2, 2, 0);
    grid->addLayout(Row({ NewLabel(QStringLiteral("From"), group, "Label1"), Edit3,
                        NewLabel(QStringLiteral("to"), group, "Label2"), Edit4 }),
        2, 1);
    grid->addLayout(Row({ NewLabel(QStringLiteral("Send Interval:"), group, "Label3"), Edit10,
                        NewLabel(QStringLiteral("ms  (>19)"), group, "Label4") }),
        3, 0, 1, 2);
    grid->addWidget(CheckBox1, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    Button3 = NewOkButton(Panel1, "Button3");
    Button4 = Named(new QPushButton(QStringLiteral("Cancel"), Panel1), "Button4");

    QVBoxLayout *layout = NewPanelLayout(Panel1);
    layout->addWidget(group);
    layout->addLayout(ButtonRow(Button3, Button4));

    connect(RadioButton1, &QRadioButton::toggled, this, &TSetForm::UpdateLoopLineControls);
    connect(Button3, &QPushButton::clicked, this, &TSetForm::OkClick);
    connect(Button4, &QPushButton::clicked, this, &TSetForm::close);
}

void TSetForm::CreateTriggerPanel()
{
    Panel3 = Named(new QWidget(this), "Panel3");
    QGroupBox *timing = CreateTimingGroup();
    QGroupBox *receive = CreateReceiveGroup();

    Button1 = NewOkButton(Panel3, "Button1");
    Button2 = Named(new QPushButton(QStringLiteral("Cancel"), Panel3), "Button2");

    // The buttons stand beside the receive group, below the timing group:
    // the grid is tall, and a row of its own for them would cost the height.
    for (QPushButton *button : { Button1, Button2 }) // narrower than the style's default
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(button->text()) + 24);
    auto *buttons = new QVBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);

    auto *lower = new QHBoxLayout;
    lower->addWidget(receive, 1);
    lower->addLayout(buttons);

    QVBoxLayout *layout = NewPanelLayout(Panel3);
    layout->addWidget(timing);
    layout->addLayout(lower);

    connect(Button1, &QPushButton::clicked, this, &TSetForm::OkClick);
    connect(Button2, &QPushButton::clicked, this, &TSetForm::close);
}

QGroupBox *TSetForm::CreateTimingGroup()
{
    auto *group = Named(new QGroupBox(QStringLiteral("Timing Trigger"), Panel3), "GroupBox2");

    DateTimePicker1 = Named(new QTimeEdit(group), "DateTimePicker1");
    DateTimePicker1->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    RadioButton3 = Named(new QRadioButton(QStringLiteral("Send Line:"), group), "RadioButton3");
    RadioButton8 = Named(new QRadioButton(QStringLiteral("Range:"), group), "RadioButton8");
    RadioButton6 = Named(new QRadioButton(QStringLiteral("This Line"), group), "RadioButton6");
    RadioButton7 = Named(new QRadioButton(QStringLiteral("Fixed Line:"), group), "RadioButton7");
    Edit6 = NewNumberEdit(group, "Edit6");
    Edit7 = NewNumberEdit(group, "Edit7");
    Edit8 = NewNumberEdit(group, "Edit8");
    Edit9 = NewNumberEdit(group, "Edit9");
    CheckBox2 = Named(new QCheckBox(QStringLiteral("Enable"), group), "CheckBox2");
    timingKindGroup_ = NewPair(this, RadioButton3, RadioButton8);
    timingLineGroup_ = NewPair(this, RadioButton6, RadioButton7);

    QGridLayout *grid = NewGroupGrid(group);
    grid->addLayout(
        Row({ NewLabel(QStringLiteral("Trigger Time:"), group, "Label5"), DateTimePicker1 }), 0, 0,
        1, 2);
    grid->addWidget(CheckBox2, 0, 2, Qt::AlignRight);
    grid->addWidget(RadioButton3, 1, 0);
    grid->addLayout(Row({ RadioButton6, RadioButton7, Edit6 }), 1, 1, 1, 2);
    grid->addWidget(RadioButton8, 2, 0);
    grid->addLayout(Row({ NewLabel(QStringLiteral("From"), group, "Label6"), Edit7,
                        NewLabel(QStringLiteral("to"), group, "Label7"), Edit8 }),
        2, 1, 1, 2);
    grid->addLayout(Row({ NewLabel(QStringLiteral("Send Interval:"), group, "Label8"), Edit9,
                        NewLabel(QStringLiteral("ms(>19)"), group, "Label9") }),
        3, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    return group;
}

QGroupBox *TSetForm::CreateReceiveGroup()
{
    auto *group = Named(new QGroupBox(QStringLiteral("Receive Trigger"), Panel3), "GroupBox3");
    CreateTriggerGrid();
    Edit1 = NewNumberEdit(group, "Edit1");
    CheckBox3 = Named(new QCheckBox(QStringLiteral("Enable"), group), "CheckBox3");

    QGridLayout *grid = NewGroupGrid(group);
    grid->setHorizontalSpacing(kGroupMargin + 2);
    grid->addWidget(NewLabel(QStringLiteral("Trigger List"), group, "Label10"), 0, 0);
    grid->addWidget(StringGrid2, 1, 0, 4, 1);
    grid->addWidget(NewLabel(QStringLiteral("Trigger Delay:"), group, "Label11"), 1, 1);
    grid->addLayout(Row({ Edit1, NewLabel(QStringLiteral("ms"), group, "Label12") }), 2, 1);
    grid->addWidget(CheckBox3, 3, 1);
    grid->setRowStretch(4, 1);
    return group;
}

void TSetForm::CreateTriggerGrid()
{
    StringGrid2 = Named(new QTableWidget(kTriggerRows, 3), "StringGrid2");
    StringGrid2->setHorizontalHeaderLabels(
        { QStringLiteral("Items"), QStringLiteral("Rec.Line"), QStringLiteral("Trig.Line") });
    StringGrid2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid2->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid2->setEditTriggers(QAbstractItemView::AllEditTriggers);
    StringGrid2->setTabKeyNavigation(true);
    StringGrid2->setCornerButtonEnabled(false);
    StringGrid2->verticalHeader()->hide();

    QHeaderView *header = StringGrid2->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
    header->setMinimumSectionSize(kGridRowHeight);
    header->setFixedHeight(kGridRowHeight);
    const int titleMargin
        = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 1;
    int width = 2 * StringGrid2->frameWidth();
    for (int column = 0; column < 3; ++column) {
        // A font wider than the one the widths were drawn for must not cut
        // the column titles off.
        const QString title = StringGrid2->horizontalHeaderItem(column)->text();
        const int titleWidth = header->fontMetrics().horizontalAdvance(title) + 2 * titleMargin;
        const int columnWidth = std::max(kGridColumnWidths[column], titleWidth);
        header->resizeSection(column, columnWidth);
        width += columnWidth;
    }

    QHeaderView *rows = StringGrid2->verticalHeader();
    rows->setMinimumSectionSize(kGridRowHeight);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(kGridRowHeight);

    // The first column is fixed like the header: row numbers, not editable.
    for (int row = 0; row < kTriggerRows; ++row) {
        auto *number = new QTableWidgetItem(QString::number(row + 1));
        number->setFlags(Qt::ItemIsEnabled);
        number->setTextAlignment(Qt::AlignCenter);
        number->setBackground(palette().button());
        StringGrid2->setItem(row, 0, number);
    }

    StringGrid2->setFixedSize(
        width, 2 * StringGrid2->frameWidth() + (kTriggerRows + 1) * kGridRowHeight);
}

void TSetForm::ShowLoopPanel()
{
    ShowPanel(Panel1, Panel3, kLoopPanelSize);
}

void TSetForm::ShowTriggerPanel()
{
    ShowPanel(Panel3, Panel1, kTriggerPanelSize);
}

void TSetForm::ShowPanel(QWidget *shown, QWidget *hidden, QSize panelSize)
{
    hidden->hide();
    shown->show();
    (shown == Panel1 ? Button3 : Button1)->setDefault(true); // Enter confirms this panel
    // The panel sizes were drawn for one font; a font that needs more room
    // gets it rather than cutting controls off.
    setFixedSize(panelSize.expandedTo(shown->minimumSizeHint()));
    ShowOrBringToFront(this);
}

void TSetForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TSetForm::FormShow()
{
    const LoopParams &loop = settings_.Loop;
    (loop.LoopRange == 1 ? RadioButton2 : RadioButton1)->setChecked(true);
    (loop.LoopThisLine == 1 ? RadioButton4 : RadioButton5)->setChecked(true);
    CheckBox1->setChecked(settings_.LoopSendEnabled != 0);
    ShowNumber(Edit2, loop.LoopFixedLine);
    ShowNumber(Edit3, loop.LoopRangeFrom);
    ShowNumber(Edit4, loop.LoopRangeTo);
    ShowNumber(Edit10, loop.LoopInterval);
    UpdateLoopLineControls();

    const TriggerParams &trigger = settings_.Trigger;
    CheckBox2->setChecked(trigger.TimingTriggerEnabled != 0);
    DateTimePicker1->setTime(QTime::fromMSecsSinceStartOfDay(
        SecondOfDayFromDays(trigger.TimingTriggerTime).value_or(0) * 1000));
    (trigger.TimingRange == 1 ? RadioButton8 : RadioButton3)->setChecked(true);
    (trigger.TimingThisLine == 1 ? RadioButton6 : RadioButton7)->setChecked(true);
    ShowNumber(Edit6, trigger.TimingFixedLine);
    ShowNumber(Edit7, trigger.TimingRangeFrom);
    ShowNumber(Edit8, trigger.TimingRangeTo);
    ShowNumber(Edit9, trigger.TimingInterval);

    CheckBox3->setChecked(trigger.ReceiveTriggerEnabled != 0);
    ShowTriggerList();
    ShowNumber(Edit1, trigger.ReceiveTriggerDelay);
}

void TSetForm::UpdateLoopLineControls()
{
    const bool oneLine = RadioButton1->isChecked();
    RadioButton4->setEnabled(oneLine);
    RadioButton5->setEnabled(oneLine);
    Edit2->setEnabled(oneLine);
    Edit3->setEnabled(!oneLine);
    Edit4->setEnabled(!oneLine);
}

void TSetForm::ShowTriggerList()
{
    for (int row = 0; row < kTriggerRows; ++row) {
        const ReceiveTriggerRow &entry = settings_.Trigger.ReceiveTriggerList[row];
        const bool active = entry.RecLine != 0;
        StringGrid2->setItem(
            row, 1, new QTableWidgetItem(active ? Unsigned(entry.RecLine) : QString()));
        StringGrid2->setItem(
            row, 2, new QTableWidgetItem(active ? Unsigned(entry.TrigLine) : QString()));
    }
}

void TSetForm::OkClick()
{
    try {
        ReadLoopPanel();
        ReadTimingTrigger();
        ReadReceiveTrigger();
    } catch (const EConvertError &error) {
        ShowErrorBox(QString::fromUtf8(error.what()));
        return;
    }

    // A record that cannot be written is reported and the window stays open,
    // so the user can try again instead of believing it was kept.
    try {
        SaveSettings(settings_, dataFolder_());
    } catch (const std::exception &error) {
        ShowErrorBox(QString::fromLocal8Bit(error.what()));
        return;
    }

    emit ApplySettingsRequested();
    close();
}

void TSetForm::ReadLoopPanel()
{
    LoopParams &loop = settings_.Loop;
    loop.LoopRange = RadioButton1->isChecked() ? 0 : 1;
    loop.LoopThisLine = RadioButton4->isChecked() ? 1 : 0;
    settings_.LoopSendEnabled = CheckBox1->isChecked() ? 1 : 0;
    loop.LoopFixedLine = AtLeastLineOne(ReadUnsigned(Edit2));
    loop.LoopRangeFrom = AtLeastLineOne(ReadUnsigned(Edit3));
    loop.LoopRangeTo = AtLeastLineOne(ReadUnsigned(Edit4));
    loop.LoopInterval = AtLeastMinimumInterval(ReadUnsigned(Edit10));
}

void TSetForm::ReadTimingTrigger()
{
    TriggerParams &trigger = settings_.Trigger;
    trigger.TimingTriggerEnabled = CheckBox2->isChecked() ? 1 : 0;
    trigger.TimingTriggerTime
        = DaysFromSecondOfDay(DateTimePicker1->time().msecsSinceStartOfDay() / 1000);
    trigger.TimingRange = RadioButton3->isChecked() ? 0 : 1;
    trigger.TimingThisLine = RadioButton6->isChecked() ? 1 : 0;
    trigger.TimingFixedLine = AtLeastLineOne(ReadUnsigned(Edit6));
    trigger.TimingRangeFrom = AtLeastLineOne(ReadUnsigned(Edit7));
    trigger.TimingRangeTo = AtLeastLineOne(ReadUnsigned(Edit8));
    trigger.TimingInterval = AtLeastMinimumInterval(ReadUnsigned(Edit9));
}

void TSetForm::ReadReceiveTrigger()
{
    TriggerParams &trigger = settings_.Trigger;
    trigger.ReceiveTriggerEnabled = CheckBox3->isChecked() ? 1 : 0;
    for (int row = 0; row < kTriggerRows; ++row) {
        const QString recLine = CellText(StringGrid2, row, 1);
        const QString trigLine = CellText(StringGrid2, row, 2);
        trigger.ReceiveTriggerList[row]
            = ReceiveTriggerRowOf(ReadOptional(recLine), ReadOptional(trigLine));
    }
    trigger.ReceiveTriggerDelay = ReadUnsigned(Edit1);
}
