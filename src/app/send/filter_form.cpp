#include "app/send/filter_form.h"

#include "app/shell/bring_to_front.h"
#include "app/shell/message_box.h"
#include "send/receive_filter.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

constexpr int kColumnWidths[] = { 64, 79, 74 };
constexpr int kHeaderHeight = 24;
constexpr int kRowHeights[kFilterEntryCount] = { 22, 23, 24, 24, 24 };
constexpr int kByteNoColumn = 1;
constexpr int kValueColumn = 2;

QString Latin(const std::string &text)
{
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

} // namespace

TFilterForm::TFilterForm(SettingsRecord &settings, QWidget *parent)
    : QDialog(parent)
    , settings_(settings)
{
    setObjectName("FilterForm");
    setWindowTitle("Receiving Filter");
    setWindowFlags(
        Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);

    CreateGrid();
    CheckBox1 = new QCheckBox("Enable", this);
    CheckBox1->setObjectName("CheckBox1");
    Button1 = new QPushButton("Ok", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    Button2 = new QPushButton("Cancel", this);
    Button2->setObjectName("Button2");

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(CheckBox1);
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(StringGrid1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, &TFilterForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFilterForm::close);
}

void TFilterForm::CreateGrid()
{
    StringGrid1 = new QTableWidget(kFilterEntryCount, 3, this);
    StringGrid1->setObjectName("StringGrid1");
    StringGrid1->setHorizontalHeaderLabels({ "Items", "Byte No.", "Value(Hex)" });
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::AllEditTriggers);
    StringGrid1->setCornerButtonEnabled(false);
    StringGrid1->verticalHeader()->hide();

    QHeaderView *header = StringGrid1->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
    header->setFixedHeight(kHeaderHeight);
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 1;
    int width = 2 * StringGrid1->frameWidth();
    for (int column = 0; column < 3; ++column) {
        // Titles in a wider font than the widths were drawn for are not cut off.
        const QString title = StringGrid1->horizontalHeaderItem(column)->text();
        const int columnWidth = std::max(
            kColumnWidths[column], header->fontMetrics().horizontalAdvance(title) + 2 * margin);
        header->resizeSection(column, columnWidth);
        width += columnWidth;
    }

    QHeaderView *rows = StringGrid1->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(1);
    int height = 2 * StringGrid1->frameWidth() + kHeaderHeight;
    for (int row = 0; row < kFilterEntryCount; ++row) {
        rows->resizeSection(row, kRowHeights[row]);
        height += kRowHeights[row];
        // The first column is fixed: row numbers, not editable.
        auto *number = new QTableWidgetItem(QString::number(row + 1));
        number->setFlags(Qt::ItemIsEnabled);
        number->setTextAlignment(Qt::AlignCenter);
        number->setBackground(palette().button());
        StringGrid1->setItem(row, 0, number);
    }
    StringGrid1->setFixedSize(width, height);
}

void TFilterForm::ShowWindow()
{
    ShowOrBringToFront(this);
}

void TFilterForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFilterForm::FormShow()
{
    for (int row = 0; row < kFilterEntryCount; ++row) {
        const FilterRowText text = FilterRowOf(settings_.FilterEntries[row]);
        SetCellText(row, kByteNoColumn, Latin(text.ByteNo));
        SetCellText(row, kValueColumn, Latin(text.Value));
    }
    CheckBox1->setChecked(settings_.FilterEnabled != 0);
}

void TFilterForm::Button1Click()
{
    std::array<FilterRowText, kFilterEntryCount> rows;
    for (int row = 0; row < kFilterEntryCount; ++row) {
        rows[std::size_t(row)] = { CellText(row, kByteNoColumn).toStdString(),
            CellText(row, kValueColumn).toStdString() };
    }
    if (const std::optional<FilterStop> stop = StoreFilterRows(rows, settings_.FilterEntries)) {
        const bool byteNo = stop->Which == FilterStop::Cell::ByteNo;
        StringGrid1->setCurrentCell(stop->Row, byteNo ? kByteNoColumn : kValueColumn);
        ShowWarning(this, "Filter",
            byteNo ? "The input value must be integer." : "The input value must be hexadecimal.");
        return;
    }
    settings_.FilterEnabled = CheckBox1->isChecked() ? 1 : 0;
    emit ApplySettingsRequested();
    close();
}

void TFilterForm::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        emit Closed();
}

QString TFilterForm::CellText(int row, int column) const
{
    const QTableWidgetItem *item = StringGrid1->item(row, column);
    return item ? item->text() : QString();
}

void TFilterForm::SetCellText(int row, int column, const QString &text)
{
    if (QTableWidgetItem *item = StringGrid1->item(row, column))
        item->setText(text);
    else
        StringGrid1->setItem(row, column, new QTableWidgetItem(text));
}
