#include "app/shell/time_save_form.h"

#include "app/shell/bring_to_front.h"
#include "app/shell/file_dialogs.h"
#include "app/shell/message_box.h"
#include "app/shell/monitor_limits.h"
#include "send/convert_error.h"
#include "shell/settings_record.h"

#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kNumberBoxWidth = 37;

template <typename T> T *Named(T *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

TTimeSaveForm::TTimeSaveForm(SettingsRecord &settings, TMonitorLimits &limits, QWidget *parent)
    : QDialog(parent)
    , settings_(settings)
    , limits_(limits)
{
    setObjectName(QStringLiteral("TimeSaveForm"));
    setWindowTitle(QStringLiteral("Auto Save or Clear"));
    setWindowFlags(
        Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);

    CheckBox1 = Named(new QCheckBox(QStringLiteral(" Auto To Clear"), this), "CheckBox1");
    CheckBox2 = Named(new QCheckBox(QStringLiteral(" Auto To Save"), this), "CheckBox2");
    Edit1 = Named(new QLineEdit(this), "Edit1");
    Edit1->setFixedWidth(kNumberBoxWidth);
    Edit2 = Named(new QLineEdit(this), "Edit2");
    Button1 = Named(new QPushButton(QStringLiteral("..."), this), "Button1");
    Button1->setFixedWidth(Button1->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);
    Button2 = Named(new QPushButton(QStringLiteral("Ok"), this), "Button2");
    Button3 = Named(new QPushButton(QStringLiteral("Cancel"), this), "Button3");
    Button2->setDefault(true);

    auto *lines = new QHBoxLayout;
    lines->addWidget(new QLabel(QStringLiteral("Receiving Lines:"), this));
    lines->addWidget(Edit1);
    lines->addStretch(1);

    auto *path = new QHBoxLayout;
    path->addWidget(new QLabel(QStringLiteral("Save Path:"), this));
    path->addWidget(Edit2, 1);
    path->addWidget(Button1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(CheckBox1);
    layout->addWidget(CheckBox2);
    layout->addLayout(lines);
    layout->addLayout(path);
    layout->addStretch(1);
    layout->addLayout(buttons);
    // Drawn for one font; a font that needs more room gets it.
    setFixedSize(kClientSize.expandedTo(layout->minimumSize()));

    connect(Button1, &QPushButton::clicked, this, &TTimeSaveForm::BrowseClick);
    connect(Button2, &QPushButton::clicked, this, &TTimeSaveForm::OkClick);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
}

void TTimeSaveForm::ShowWindow()
{
    ShowOrBringToFront(this);
}

void TTimeSaveForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TTimeSaveForm::FormShow()
{
    CheckBox1->setChecked(limits_.AutoClearEnabled);
    CheckBox2->setChecked(limits_.AutoSaveEnabled);
    Edit1->setText(QString::number(settings_.AutoLines));
    Edit2->setText(QFile::decodeName(settings_.AutoSavePath.Text().c_str()));
}

void TTimeSaveForm::BrowseClick()
{
    const QString folder
        = BrowseForFolder(QStringLiteral("Please select a path for saving."), Edit2->text());
    if (!folder.isEmpty())
        Edit2->setText(folder);
}

void TTimeSaveForm::OkClick()
{
    limits_.AutoClearEnabled = CheckBox1->isChecked();
    limits_.AutoSaveEnabled = CheckBox2->isChecked();
    int32_t lines = 0;
    try {
        lines = StrToInt(Edit1->text().toStdString());
    } catch (const EConvertError &error) {
        ShowErrorBox(QString::fromUtf8(error.what()));
        return;
    }
    settings_.AutoLines = std::max(lines, int32_t(1));
    settings_.AutoSavePath.Assign(QFile::encodeName(Edit2->text().left(255)).toStdString());
    if (limits_.AutoSaveEnabled && settings_.AutoSavePath.Length == 0) {
        ShowMessageBox({ this, QMessageBox::Warning, QStringLiteral("AutoSave"),
            QStringLiteral("Select a path to save please."), QMessageBox::Ok });
        return;
    }
    accept();
}
