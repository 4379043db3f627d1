// The main window's commands: switches, the port, pause, window placement.
#include "app/shell/main_form.h"

#include "app/engine/data_rt.h"
#include "app/engine/lost_device_monitor.h"
#include "app/port/com_combo_box.h"
#include "app/send/send_form.h"
#include "app/shell/contact.h"
#include "app/shell/icons.h"
#include "app/shell/message_box.h"
#include "engine/vek_com_thread.h"
#include "engine/vek_scomm.h"
#include "port/port_names.h"
#include "shell/send_settings_rules.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QScreen>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>

#include <cerrno>

void TMainForm::FlipSetting(uint8_t &field)
{
    field = field ? 0 : 1;
    ApplySettings();
}

void TMainForm::ApplySettings()
{
    Dtr1->setChecked(Settings.DtrOn);
    Rts1->setChecked(Settings.RtsOn);
    ShowTime1->setChecked(Settings.ShowTime);
    ShowRxTx1->setChecked(Settings.ShowRxTx);
    SendingMessage1->setChecked(Settings.ShowSending);
    WordWrap1->setChecked(Settings.WordWrap);
    ASCIIReceive1->setChecked(Settings.AsciiReceive);
    FilterSettingsMenu1->setChecked(Settings.FilterEnabled);
    FilterSettings1->setChecked(Settings.FilterEnabled);
    LoopToSend1->setChecked(Settings.LoopSendEnabled);
    ASCIISend1->setChecked(Settings.AsciiSend);
    SendWindow1->setChecked(Settings.SendWindowVisible);
    FindWindow1->setChecked(Settings.FindWindowVisible);

    const bool trigger = TriggerOn(Settings.Trigger);
    SendForm->ShowSwitches(Settings.LoopSendEnabled, trigger, Settings.AsciiSend);
    if (!Channel || !DataRT)
        return;
    TriggerSend1->setChecked(trigger);
    DataRT->SetTriggerSwitch(trigger);

    // A device that refuses a change skips the rest until the next apply.
    try {
        TComFlowControl flow = Channel->ComPort().FlowControl();
        flow.ControlDTR = Settings.DtrOn ? dtrEnable : dtrDisable;
        flow.ControlRTS = Settings.RtsOn ? rtsEnable : rtsDisable;
        Channel->ComPort().SetFlowControl(flow);
        DataRT->TimeSwitch = Settings.ShowTime;
        DataRT->DirectionSwitch = Settings.ShowRxTx;
        DataRT->SentSwitch = Settings.ShowSending;
        RichShow->setLineWrapMode(Settings.WordWrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
        Channel->ReceiveHex = Settings.AsciiReceive ? 0 : 1;
        // The blocks go to the scheduler before the loop timer takes its interval.
        DataRT->Scheduler->SetLoopParams(Settings.Loop);
        DataRT->Scheduler->SetTriggerParams(Settings.Trigger);
        DataRT->SetLoopSending(Settings.LoopSendEnabled);
        if (DataRT->Scheduler->NeedsTicks()) // a timing trigger ticks with the render timer
            DataRT->WakeRenderTimer();
        Channel->SendHex = Settings.AsciiSend ? 0 : 1;
    } catch (const std::exception &) {
    }
    RichShow->setFocus();
}

void TMainForm::ShowPortState(bool open)
{
    OpenPort1->setIcon(MakeIcon(open ? IconKind::PortOpen : IconKind::PortClosed));
    OpenPort1->setText(open ? "Close Port" : "Open Port");
    for (TComComboBox *combo : {CBoxPort, CBoxBaudRate, CBoxParity, CBoxDataBits, CBoxStopBits})
        combo->setEnabled(!open);
    Dtr1->setEnabled(open);
    Rts1->setEnabled(open);
}

void TMainForm::ToggleConnection()
{
    if (!Channel)
        return;
    TComPort &port = Channel->ComPort();
    LostDeviceMonitor->StopWaiting();
    if (port.Connected()) {
        Channel->ClosePort();
        ShowPortState(false);
        ComThread->Park();
        return;
    }

    port.SetPort(CBoxPort->Text().toStdString());
    port.SetBaudRate(StrToBaudRate(CBoxBaudRate->Text().toStdString()));
    TComParity parity = port.Parity();
    parity.Bits = StrToParity(CBoxParity->Text().toStdString());
    port.SetParity(parity);
    port.SetDataBits(StrToDataBits(CBoxDataBits->Text().toStdString()));
    port.SetStopBits(StrToStopBits(CBoxStopBits->Text().toStdString()));

    try {
        Channel->OpenPort();
    } catch (const ECom &) {
        ShowOpenFailure();
        return;
    }
    if (!port.Connected()) {
        ComThread->Park();
        return;
    }
    ComThread->Release();
    ShowPortState(true);
}

// The channel's message first, then what the system said, and the fix for the
// most common reason on Linux.
void TMainForm::ShowOpenFailure()
{
    QString text = QString::fromUtf8(kOpenFailureText);
    const QString reason = QString::fromLocal8Bit(Channel->LastOpenError());
    if (!reason.isEmpty())
        text += "\n" + reason;
    if (const char *hint = OpenFailureHint(Channel->LastOpenErrno()))
        text += "\n" + QString::fromUtf8(hint);
    ShowWarning(this, "Open Port", text);
}

void TMainForm::TogglePause()
{
    monitoringPaused_ = !monitoringPaused_;
    if (Channel && DataRT) {
        Channel->MonitoringOn = monitoringPaused_ ? 0 : 1;
        DataRT->DisplaySwitch = monitoringPaused_ ? 0 : 1;
    }
    PauseMonitoring1->setChecked(monitoringPaused_);
}

void TMainForm::ToggleSendWindow()
{
    Settings.SendWindowVisible = Settings.SendWindowVisible ? 0 : 1;
    ApplySettings();
    if (Settings.SendWindowVisible) {
        SendForm->show();
        SendForm->raise();
    } else {
        SendForm->hide();
    }
}

void TMainForm::PlaceWindow(Placement placement)
{
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    const QRect screen = this->screen() ? this->screen()->geometry() : QRect(0, 0, 1024, 768);
    const int w = screen.width();
    const int h = screen.height();
    struct Figures
    {
        int width, height, left, top;
    };
    Figures f{};
    switch (placement) {
    case Placement::Center:
        f = {600, 400, 250, 100};
        break;
    case Placement::Top:
        f = {w, h / 2, 0, 0};
        break;
    case Placement::Bottom:
        f = {w, h / 2, 0, h / 2};
        break;
    case Placement::Left:
        f = {w / 2, h, 0, 0};
        break;
    case Placement::Right:
        f = {w / 2, h, w / 2, 0};
        break;
    }
    // The figures are those of the client area; the frame extends beyond them.
    resize(f.width, f.height);
    move(screen.left() + f.left, screen.top() + f.top);
}

void TMainForm::OpenHelpContents()
{
    // Beside the program in a build folder; under share/ once installed.
    const QString dir = QCoreApplication::applicationDirPath();
    for (const QString &help : {dir + "/help.html", dir + "/../share/corvella/help.html"}) {
        if (QFileInfo::exists(help)) {
            QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(help).canonicalFilePath()));
            return;
        }
    }
}

void TMainForm::OpenWebPage()
{
    QDesktopServices::openUrl(QUrl(kWebPage));
}

// A mail draft for the user to fill in the recipient; a desktop without a mail
// program simply opens nothing.
void TMainForm::OpenRecommendationMail()
{
    QUrlQuery query;
    query.addQueryItem("subject", "Recommend a software");
    query.addQueryItem("body",
        QString("I use Corvella to test and debug devices on a serial line and can "
                "recommend it. You can find it at %1").arg(kWebPage));
    QUrl mail("mailto:");
    mail.setQuery(query);
    QDesktopServices::openUrl(mail);
}
