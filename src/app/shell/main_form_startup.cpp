// Start-up on the first showing of the main window, and the shutdown that
// writes layout, settings and send text back.
#include "app/shell/main_form.h"

#include "app/engine/data_rt.h"
#include "app/port/com_combo_box.h"
#include "app/send/send_form.h"
#include "app/shell/background_writer.h"
#include "app/shell/colors.h"
#include "app/shell/file_association.h"
#include "app/shell/icons.h"
#include "app/shell/local_path.h"
#include "app/shell/message_box.h"
#include "app/shell/monitor_limits.h"
#include "app/shell/rich_text_bridge.h"
#include "app/shell/view_text.h"
#include "app/tools/color_button.h"
#include "engine/vek_com_thread.h"
#include "engine/vek_scomm.h"
#include "shell/atomic_file.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPalette>
#include <QPlainTextEdit>
#include <QSettings>
#include <QShowEvent>

#include <stdexcept>

namespace {

QString InFolder(const std::string &folder, const char *name)
{
    return FromLocalPath(folder) + name;
}

void SetFontColor(QPlainTextEdit *view, uint32_t bgr)
{
    SetTypingColor(view, ColorFromBgr(bgr));
}

int ComboIndex(uint8_t stored)
{
    return stored == 255 ? -1 : int(stored);
}

} // namespace

void TMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!startupDone_) {
        startupDone_ = true;
        StartupSequence();
    }
}

void TMainForm::StartupSequence()
{
    dataFolderPath_ = DataFolder();

    try {
        const QString icon = InFolder(dataFolderPath_, "file.ico");
        if (!QFile::exists(icon))
            ExtractResourceToFile(":/ico/myico", icon);
        RegisterFileType("crvm", QCoreApplication::applicationFilePath(), icon);
    } catch (...) { }

    // A missing "data" is a first start; one that cannot be read is said, and
    // the run goes on with the defaults.
    try {
        LoadSettings(settings_, dataFolderPath_);
        RestoreLayout();
    } catch (const std::exception &e) {
        ShowErrorBox(QString::fromLocal8Bit(e.what()));
    } catch (...) { }

    CreateEngine();

    for (TComComboBox *combo :
        { cboxBaudRate_, cboxDataBits_, cboxStopBits_, cboxParity_, cboxPort_ })
        combo->SetComPort(&channel_->ComPort());
    Dtr1->setEnabled(false);
    Rts1->setEnabled(false);

    settings_.LoopSendEnabled = 0;
    settings_.Trigger.TimingTriggerEnabled = 0;
    settings_.Trigger.ReceiveTriggerEnabled = 0;
    settings_.FilterEnabled = 0;

    cboxPort_->setCurrentIndex(ComboIndex(settings_.PortIndex));
    cboxBaudRate_->setCurrentIndex(ComboIndex(settings_.BaudRateIndex));
    cboxParity_->setCurrentIndex(ComboIndex(settings_.ParityIndex));
    cboxDataBits_->setCurrentIndex(ComboIndex(settings_.DataBitsIndex));
    cboxStopBits_->setCurrentIndex(ComboIndex(settings_.StopBitsIndex));
    if (cboxPort_->currentIndex() < 0 && !typedPortName_.isEmpty())
        cboxPort_->setEditText(typedPortName_);

    highlightColor_ = uint32_t(settings_.HighlightColor);
    colorButton_->SetSelectedColor(highlightColor_);
    ApplyViewBackgrounds();

    if (richShow_->document()->isEmpty())
        SetFontColor(richShow_, 0);
    SetFontColor(sendForm_->RichSend, 0);
    SetFontColor(richFind_, 0);

    setWindowFlag(Qt::WindowStaysOnTopHint, false);
    richShow_->setFocus();
    sendForm_->FormShow();

    ApplySettings();

    try {
        LoadSendText();
    } catch (...) { }
}

// A message file named on the command line (how the desktop opens one) is
// shown in the monitor with its colours; anything else is ignored.
void TMainForm::ShowCommandLineFile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return;
    try {
        LoadViewFromFile(richShow_, path);
    } catch (...) { }
}

void TMainForm::CreateEngine()
{
    channel_ = std::make_unique<TVekScomm>(clock_);
    comThread_ = std::make_unique<TVekComThread>(*channel_);
    dataRT_ = new TDataRT(
        sendForm_->RichSend, *channel_, richShow_, richFind_, settings_, clock_, this);
    dataRT_->SetWarningOwner(sendForm_);
    ConnectToolWindows();
    dataRT_->MonitorLimitActsAt = [this](int lines) { return monitorLimits_->WouldAct(lines); };
    dataRT_->MonitorWaitsAt = [this](int lines) { return monitorLimits_->MustWaitForSave(lines); };
    ConnectLostDeviceMonitor();
}

void TMainForm::RestoreLayout()
{
    const QString path = InFolder(dataFolderPath_, "config.ini");
    if (!QFile::exists(path))
        return;
    QSettings layout(path, QSettings::IniFormat);
    restoreGeometry(layout.value("MainForm/Geometry").toByteArray());
    restoreState(layout.value("MainForm/State").toByteArray());
    typedPortName_ = layout.value("MainForm/TypedPort").toString();
    if (sendForm_->isFloating()) {
        const QByteArray floating = layout.value("SendForm/Geometry").toByteArray();
        if (!floating.isEmpty())
            sendForm_->restoreGeometry(floating);
    }
    RestoreToolWindowPlaces(layout);
    ReopenLostDevice1->setChecked(layout.value("Options/ReopenLostDevice", true).toBool());
    CheckReceivedChecksum1->setChecked(
        layout.value("Options/CheckReceivedChecksum", false).toBool());
}

void TMainForm::SaveLayout()
{
    QDir().mkpath(FromLocalPath(dataFolderPath_));
    QSettings layout(InFolder(dataFolderPath_, "config.ini"), QSettings::IniFormat);
    layout.setValue("MainForm/Geometry", saveGeometry());
    layout.setValue("MainForm/State", saveState());
    // A typed device (a virtual port is never listed) has no list index to
    // store in the settings record; the layout file remembers it instead.
    layout.setValue("MainForm/TypedPort", PortListIndex() < 0 ? cboxPort_->Text() : QString());
    layout.setValue("SendForm/Geometry", sendForm_->saveGeometry());
    SaveToolWindowPlaces(layout);
    layout.setValue("Options/ReopenLostDevice", ReopenLostDevice1->isChecked());
    layout.setValue("Options/CheckReceivedChecksum", CheckReceivedChecksum1->isChecked());
    layout.sync();
    if (layout.status() != QSettings::NoError)
        throw std::runtime_error("the file cannot be written");
}

void TMainForm::LoadSendText()
{
    const QString path = InFolder(dataFolderPath_, "send");
    if (QFile::exists(path))
        LoadViewFromFile(sendForm_->RichSend, path);
}

void TMainForm::SaveSendText()
{
    SaveViewToFile(sendForm_->RichSend, InFolder(dataFolderPath_, "send"));
}

// The list index of the port name in the box: a name typed over a listed one
// counts as typed, whatever item was current before.
int TMainForm::PortListIndex() const
{
    return cboxPort_->findText(cboxPort_->Text(), Qt::MatchFixedString | Qt::MatchCaseSensitive);
}

void TMainForm::StoreWindowSettings()
{
    settings_.PortIndex = uint8_t(PortListIndex());
    settings_.BaudRateIndex = uint8_t(cboxBaudRate_->currentIndex());
    settings_.ParityIndex = uint8_t(cboxParity_->currentIndex());
    settings_.DataBitsIndex = uint8_t(cboxDataBits_->currentIndex());
    settings_.StopBitsIndex = uint8_t(cboxStopBits_->currentIndex());
    settings_.HighlightColor = int32_t(highlightColor_);
    SaveSettings(settings_, dataFolderPath_);
}

namespace {

// Runs one shutdown step; a failure is noted with the file's name and its reason.
template <typename Step> void Attempt(QStringList &failures, const char *file, Step step)
{
    try {
        step();
    } catch (const std::exception &e) {
        failures << QString("%1: %2").arg(file, QString::fromLocal8Bit(e.what()));
    }
}

} // namespace

bool TMainForm::WriteShutdownFiles(QStringList &failures)
{
    failures.clear();
    if (!startupDone_)
        return true;
    // Message files still being written finish first: the settings record
    // keeps the path of the last one that was written.
    fileWriter_->WaitForAll();
    // Each file is written on its own: one that fails must not cost the others.
    // A minimized window has no layout worth keeping, but the settings and the
    // prepared lines are the user's data and are written all the same.
    if (!isMinimized())
        Attempt(failures, "config.ini", [this] { SaveLayout(); });
    Attempt(failures, "data", [this] { StoreWindowSettings(); });
    Attempt(failures, "send", [this] { SaveSendText(); });
    return failures.isEmpty();
}

// Staying open is the default: whoever cannot answer keeps the unsaved data.
bool TMainForm::CloseDespiteFailures(const QStringList &failures)
{
    const QString text = "These files could not be saved:\n" + failures.join('\n')
        + "\n\nClose anyway? What they would have held is lost.";
    const MessageBoxRequest request { this, QMessageBox::Warning, QApplication::applicationName(),
        text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No };
    return ShowMessageBox(request) == QMessageBox::Yes;
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    QStringList failures;
    if (WriteShutdownFiles(failures) || CloseDespiteFailures(failures))
        event->accept();
    else
        event->ignore();
}
