#include "app/tools/b_color_set_form.h"

#include "app/shell/bring_to_front.h"
#include "app/shell/colors.h"
#include "app/tools/color_chooser.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

constexpr const char *kRowCaptions[TBColorSetForm::kRows] = { "Receive Window:", "Send Window:",
    "Search Window:", "Receive Message Font:", "Send Message Font:" };
constexpr QSize kSwatchSize { 60, 21 };

} // namespace

TBColorSetForm::TBColorSetForm(SettingsRecord &settings, QWidget *parent)
    : QDialog(parent)
    , settings_(settings)
{
    setObjectName("BColorSetForm");
    setWindowTitle("Color Settings");
    setWindowFlags(
        Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    for (int row = 0; row < kRows; ++row) {
        Labels[row] = new QLabel(kRowCaptions[row], this);
        Labels[row]->setObjectName(QString("Label%1").arg(row + 1));
        Panels[row] = new QFrame(this);
        Panels[row]->setObjectName(QString("Panel%1").arg(row + 1));
        Panels[row]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        Panels[row]->setMinimumSize(kSwatchSize);
        Panels[row]->setAutoFillBackground(true);
        Panels[row]->setCursor(Qt::PointingHandCursor);
        Panels[row]->installEventFilter(this);
        grid->addWidget(Labels[row], row, 0);
        grid->addWidget(Panels[row], row, 1);
    }
    grid->setColumnStretch(1, 1);

    Button1 = new QPushButton("Default", this);
    Button2 = new QPushButton("Ok", this);
    Button3 = new QPushButton("Cancel", this);
    Button1->setObjectName("Button1");
    Button2->setObjectName("Button2");
    Button3->setObjectName("Button3");
    Button2->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addStretch(1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(Button1, &QPushButton::clicked, this, &TBColorSetForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TBColorSetForm::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TBColorSetForm::close);
}

void TBColorSetForm::ShowWindow()
{
    ShowOrBringToFront(this);
}

void TBColorSetForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TBColorSetForm::FormShow()
{
    for (int row = 0; row < kRows; ++row)
        SetSwatch(row, uint32_t(*SettingOfRow(row)));
}

void TBColorSetForm::PanelClick(int row)
{
    const std::optional<QColor> chosen = ChooseColor(this, lastChosen_);
    if (!chosen)
        return;
    lastChosen_ = *chosen;
    SetSwatch(row, BgrFromColor(*chosen));
}

void TBColorSetForm::Button1Click()
{
    for (int row = 0; row < kRows; ++row)
        SetSwatch(row, kDefaults[std::size_t(row)]);
}

void TBColorSetForm::Button2Click()
{
    for (int row = 0; row < kRows; ++row)
        *SettingOfRow(row) = int32_t(swatches_[std::size_t(row)]);
    emit ColorsStored();
    close();
}

uint32_t TBColorSetForm::SwatchColor(int row) const
{
    return swatches_[std::size_t(row)];
}

bool TBColorSetForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        for (int row = 0; row < kRows; ++row) {
            if (watched == Panels[row]) {
                PanelClick(row);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TBColorSetForm::SetSwatch(int row, uint32_t bgr)
{
    swatches_[std::size_t(row)] = bgr;
    QPalette palette = Panels[row]->palette();
    palette.setColor(QPalette::Window, ColorFromBgr(bgr));
    Panels[row]->setPalette(palette);
}

int32_t *TBColorSetForm::SettingOfRow(int row)
{
    int32_t *const fields[kRows] = { &settings_.ReceiveWindowColor, &settings_.SendWindowColor,
        &settings_.SearchWindowColor, &settings_.ReceiveFontColor, &settings_.SendFontColor };
    return fields[row];
}
