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
#include <QSettings>
#include <QShowEvent>
#include <QTextEdit>

#include <stdexcept>

namespace {

QString InFolder(const std::string &folder, const char *name)
{
    return FromLocalPath(folder) + name;
}

void SetFontColor(QTextEdit *view, uint32_t bgr)
{
    view->setTextColor(ColorFromBgr(bgr));
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
    DataFolderPath = DataFolder();

    try {
        const QString icon = InFolder(DataFolderPath, "file.ico");
        if (!QFile::exists(icon))
            ExtractResourceToFile(":/ico/myico", icon);
        RegisterFileType("crvm", QCoreApplication::applicationFilePath(), icon);
    } catch (...) { }

    // A missing "data" is a first start; one that cannot be read is said, and
    // the run goes on with the defaults.
    try {
        LoadSettings(Settings, DataFolderPath);
        RestoreLayout();
    } catch (const std::exception &e) {
        ShowErrorBox(QString::fromLocal8Bit(e.what()));
    } catch (...) { }

    CreateEngine();

    for (TComComboBox *combo : { CBoxBaudRate, CBoxDataBits, CBoxStopBits, CBoxParity, CBoxPort })
        combo->SetComPort(&Channel->ComPort());
    Dtr1->setEnabled(false);
    Rts1->setEnabled(false);

    Settings.LoopSendEnabled = 0;
    Settings.Trigger.TimingTriggerEnabled = 0;
    Settings.Trigger.ReceiveTriggerEnabled = 0;
    Settings.FilterEnabled = 0;

    CBoxPort->setCurrentIndex(ComboIndex(Settings.PortIndex));
    CBoxBaudRate->setCurrentIndex(ComboIndex(Settings.BaudRateIndex));
    CBoxParity->setCurrentIndex(ComboIndex(Settings.ParityIndex));
    CBoxDataBits->setCurrentIndex(ComboIndex(Settings.DataBitsIndex));
    CBoxStopBits->setCurrentIndex(ComboIndex(Settings.StopBitsIndex));
    if (CBoxPort->currentIndex() < 0 && !typedPortName_.isEmpty())
        CBoxPort->setEditText(typedPortName_);

    highlightColor_ = uint32_t(Settings.HighlightColor);
    ColorButton->SetSelectedColor(highlightColor_);
    ApplyViewBackgrounds();

    if (RichShow->document()->isEmpty())
        SetFontColor(RichShow, 0);
    SetFontColor(SendForm->RichSend, 0);
    SetFontColor(RichFind, 0);

    setWindowFlag(Qt::WindowStaysOnTopHint, false);
    RichShow->setFocus();
    SendForm->FormShow();

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
        LoadViewFromFile(RichShow, path);
    } catch (...) { }
}

void TMainForm::CreateEngine()
{
    Channel = std::make_unique<TVekScomm>(clock_);
    ComThread = std::make_unique<TVekComThread>(*Channel);
    DataRT = new TDataRT(SendForm->RichSend, *Channel, RichShow, RichFind, Settings, clock_, this);
    DataRT->SetWarningOwner(SendForm);
    ConnectToolWindows();
    DataRT->MonitorLimitActsAt = [this](int lines) { return MonitorLimits->WouldAct(lines); };
    ConnectLostDeviceMonitor();
}

void TMainForm::RestoreLayout()
{
    const QString path = InFolder(DataFolderPath, "config.ini");
    if (!QFile::exists(path))
        return;
    QSettings layout(path, QSettings::IniFormat);
    restoreGeometry(layout.value("MainForm/Geometry").toByteArray());
    restoreState(layout.value("MainForm/State").toByteArray());
    typedPortName_ = layout.value("MainForm/TypedPort").toString();
    if (SendForm->isFloating()) {
        const QByteArray floating = layout.value("SendForm/Geometry").toByteArray();
        if (!floating.isEmpty())
            SendForm->restoreGeometry(floating);
    }
    RestoreToolWindowPlaces(layout);
    ReopenLostDevice1->setChecked(layout.value("Options/ReopenLostDevice", true).toBool());
    CheckReceivedChecksum1->setChecked(
        layout.value("Options/CheckReceivedChecksum", false).toBool());
}

void TMainForm::SaveLayout()
{
    QDir().mkpath(FromLocalPath(DataFolderPath));
    QSettings layout(InFolder(DataFolderPath, "config.ini"), QSettings::IniFormat);
    layout.setValue("MainForm/Geometry", saveGeometry());
    layout.setValue("MainForm/State", saveState());
    // A typed device (a virtual port is never listed) has no list index to
    // store in the settings record; the layout file remembers it instead.
    layout.setValue("MainForm/TypedPort", PortListIndex() < 0 ? CBoxPort->Text() : QString());
    layout.setValue("SendForm/Geometry", SendForm->saveGeometry());
    SaveToolWindowPlaces(layout);
    layout.setValue("Options/ReopenLostDevice", ReopenLostDevice1->isChecked());
    layout.setValue("Options/CheckReceivedChecksum", CheckReceivedChecksum1->isChecked());
    layout.sync();
    if (layout.status() != QSettings::NoError)
        throw std::runtime_error("the file cannot be written");
}

void TMainForm::LoadSendText()
{
    const QString path = InFolder(DataFolderPath, "send");
    if (QFile::exists(path))
        LoadViewFromFile(SendForm->RichSend, path);
}

void TMainForm::SaveSendText()
{
    SaveViewToFile(SendForm->RichSend, InFolder(DataFolderPath, "send"));
}

// The list index of the port name in the box: a name typed over a listed one
// counts as typed, whatever item was current before.
int TMainForm::PortListIndex() const
{
    return CBoxPort->findText(CBoxPort->Text(), Qt::MatchFixedString | Qt::MatchCaseSensitive);
}

void TMainForm::StoreWindowSettings()
{
    Settings.PortIndex = uint8_t(PortListIndex());
    Settings.BaudRateIndex = uint8_t(CBoxBaudRate->currentIndex());
    Settings.ParityIndex = uint8_t(CBoxParity->currentIndex());
    Settings.DataBitsIndex = uint8_t(CBoxDataBits->currentIndex());
    Settings.StopBitsIndex = uint8_t(CBoxStopBits->currentIndex());
    Settings.HighlightColor = int32_t(highlightColor_);
    SaveSettings(Settings, DataFolderPath);
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
    FileWriter->WaitForAll();
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
