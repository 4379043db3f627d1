// The main window's file commands: message files of both views and the
// automatic save or clear of the monitor.
#include "app/shell/main_form.h"

#include "app/engine/data_rt.h"
#include "app/send/send_form.h"
#include "app/shell/background_writer.h"
#include "app/shell/file_dialogs.h"
#include "app/shell/message_box.h"
#include "app/shell/monitor_limits.h"
#include "app/shell/rich_text_bridge.h"
#include "app/shell/time_save_form.h"
#include "shell/auto_save_rules.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPointer>

#include <system_error>

namespace {

const QString kMessageFilter = QStringLiteral("*crvm (*crvm);;all (*)");
constexpr int kMaxStoredPath = 255;

QString ProposedSaveName(const QString &lastFileName)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QString name
        = QString::fromStdString(TimeFileName({ now.date().year(), now.date().month(),
            now.date().day(), now.time().hour(), now.time().minute(), now.time().second() }));
    // Beside the last message file, where the user keeps them.
    const QString folder
        = lastFileName.isEmpty() ? QDir::homePath() : QFileInfo(lastFileName).absolutePath();
    return QDir(folder).filePath(name);
}

QString NotAFileText(const QString &path)
{
    return QStringLiteral("This is a folder or a device, not a file:\n%1").arg(path);
}

} // namespace

void TMainForm::CreateFileCommands()
{
    fileWriter_ = new TBackgroundWriter(this);
    monitorLimits_ = new TMonitorLimits(richShow_, settings_, *fileWriter_, this);
    timeSaveForm_ = new TTimeSaveForm(settings_, *monitorLimits_, this);

    connect(SaveMonitoringMessage1, &QAction::triggered, this, [this] { SaveFile(richShow_); });
    connect(OpenMonitoringMessage1, &QAction::triggered, this, [this] { OpenFile(richShow_); });
    connect(
        SaveSendingMessage1, &QAction::triggered, this, [this] { SaveFile(sendForm_->RichSend); });
    connect(
        OpenSendingMessage1, &QAction::triggered, this, [this] { OpenFile(sendForm_->RichSend); });
    connect(AutoSaveOrClear1, &QAction::triggered, timeSaveForm_, &TTimeSaveForm::ShowWindow);
}

// The view is copied at once and written in the background; the remembered
// path changes only when the file was written, and a failure says why.
void TMainForm::SaveFile(QPlainTextEdit *view)
{
    const QString lastFileName = QFile::decodeName(settings_.LastFileName.Text().c_str());
    const QString path = ShowFileDialog(
        { FileDialogKind::Save, this, {}, kMessageFilter, ProposedSaveName(lastFileName) });
    if (path.isEmpty())
        return;
    const QFileInfo target(path);
    if (target.exists() && !target.isFile()) {
        ShowWarning(this, QStringLiteral("Save"), NotAFileText(path));
        return;
    }
    if (target.exists()
        && ShowMessageBox({ this, QMessageBox::Question, QStringLiteral("Save"),
               QStringLiteral("The file already exists.Do you want to replace it."),
               QMessageBox::Yes | QMessageBox::No })
            != QMessageBox::Yes)
        return;

    fileWriter_->Write(CopyRichDocument(*view->document()), path,
        [self = QPointer<TMainForm>(this), path](const QString &error) {
            if (!self)
                return;
            if (!error.isEmpty()) {
                ShowWarning(self, QStringLiteral("Save"), error);
                return;
            }
            self->settings_.LastFileName.Assign(
                QFile::encodeName(path.left(kMaxStoredPath)).toStdString());
        });
}

void TMainForm::OpenFile(QPlainTextEdit *view)
{
    const QString path = ShowFileDialog({ FileDialogKind::Open, this, {}, kMessageFilter,
        QFile::decodeName(settings_.LastFileName.Text().c_str()) });
    if (path.isEmpty())
        return;
    const QFileInfo source(path);
    if (!source.exists()) {
        ShowWarning(this, QStringLiteral("Open"), QStringLiteral("File does not exist."));
        return;
    }
    if (!source.isFile()) {
        ShowWarning(this, QStringLiteral("Open"), NotAFileText(path));
        return;
    }
    settings_.LastFileName.Assign(QFile::encodeName(path.left(kMaxStoredPath)).toStdString());
    try {
        LoadViewFromFile(view, path);
    } catch (const std::system_error &e) {
        ShowErrorBox(QString::fromLocal8Bit(e.what()));
    }
}
