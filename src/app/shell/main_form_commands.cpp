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
#include <QPlainTextEdit>
#include <QScreen>
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
    Dtr1->setChecked(settings_.DtrOn);
    Rts1->setChecked(settings_.RtsOn);
    ShowTime1->setChecked(settings_.ShowTime);
    ShowRxTx1->setChecked(settings_.ShowRxTx);
    SendingMessage1->setChecked(settings_.ShowSending);
    WordWrap1->setChecked(settings_.WordWrap);
    ASCIIReceive1->setChecked(settings_.AsciiReceive);
    FilterSettingsMenu1->setChecked(settings_.FilterEnabled);
    FilterSettings1->setChecked(settings_.FilterEnabled);
    LoopToSend1->setChecked(settings_.LoopSendEnabled);
    ASCIISend1->setChecked(settings_.AsciiSend);
    SendWindow1->setChecked(settings_.SendWindowVisible);
    FindWindow1->setChecked(settings_.FindWindowVisible);

    const bool trigger = TriggerOn(settings_.Trigger);
    sendForm_->ShowSwitches(settings_.LoopSendEnabled, trigger, settings_.AsciiSend);
    if (!channel_ || !dataRT_)
        return;
    TriggerSend1->setChecked(trigger);
    dataRT_->SetTriggerSwitch(trigger);

    // A device that refuses a change skips the rest until the next apply.
    try {
        TComFlowControl flow = channel_->ComPort().FlowControl();
        flow.ControlDTR = settings_.DtrOn ? dtrEnable : dtrDisable;
        flow.ControlRTS = settings_.RtsOn ? rtsEnable : rtsDisable;
        channel_->ComPort().SetFlowControl(flow);
        dataRT_->TimeSwitch = settings_.ShowTime;
        dataRT_->DirectionSwitch = settings_.ShowRxTx;
        dataRT_->SentSwitch = settings_.ShowSending;
        richShow_->setLineWrapMode(
            settings_.WordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
        channel_->ReceiveHex = settings_.AsciiReceive ? 0 : 1;
        // The blocks go to the scheduler before the loop timer takes its interval.
        dataRT_->Scheduler->SetLoopParams(settings_.Loop);
        dataRT_->Scheduler->SetTriggerParams(settings_.Trigger);
        dataRT_->SetLoopSending(settings_.LoopSendEnabled);
        if (dataRT_->Scheduler->NeedsTicks()) // a timing trigger ticks with the render timer
            dataRT_->WakeRenderTimer();
        channel_->SendHex = settings_.AsciiSend ? 0 : 1;
    } catch (const std::exception &) { }
    richShow_->setFocus();
}

void TMainForm::ShowPortState(bool open)
{
    OpenPort1->setIcon(MakeIcon(open ? IconKind::PortOpen : IconKind::PortClosed));
    OpenPort1->setText(open ? "Close Port" : "Open Port");
    for (TComComboBox *combo :
        { cboxPort_, cboxBaudRate_, cboxParity_, cboxDataBits_, cboxStopBits_ })
        combo->setEnabled(!open);
    Dtr1->setEnabled(open);
    Rts1->setEnabled(open);
}

void TMainForm::ToggleConnection()
{
    if (!channel_)
        return;
    TComPort &port = channel_->ComPort();
    lostDeviceMonitor_->StopWaiting();
    if (port.Connected()) {
        channel_->ClosePort();
        ShowPortState(false);
        comThread_->Park();
        return;
    }

    port.SetPort(cboxPort_->Text().toStdString());
    port.SetBaudRate(StrToBaudRate(cboxBaudRate_->Text().toStdString()));
    TComParity parity = port.Parity();
    parity.Bits = StrToParity(cboxParity_->Text().toStdString());
    port.SetParity(parity);
    port.SetDataBits(StrToDataBits(cboxDataBits_->Text().toStdString()));
    port.SetStopBits(StrToStopBits(cboxStopBits_->Text().toStdString()));

    try {
        channel_->OpenPort();
    } catch (const ECom &) {
        ShowOpenFailure();
        return;
    }
    if (!port.Connected()) {
        comThread_->Park();
        return;
    }
    comThread_->Release();
    ShowPortState(true);
}

// The channel's message first, then what the system said, and the fix for the
// most common reason on Linux.
void TMainForm::ShowOpenFailure()
{
    QString text = QString::fromUtf8(kOpenFailureText);
    const QString reason = QString::fromLocal8Bit(channel_->LastOpenError());
    if (!reason.isEmpty())
        text += "\n" + reason;
    if (const char *hint = OpenFailureHint(channel_->LastOpenErrno()))
        text += "\n" + QString::fromUtf8(hint);
    ShowWarning(this, "Open Port", text);
}

void TMainForm::TogglePause()
{
    monitoringPaused_ = !monitoringPaused_;
    if (channel_ && dataRT_) {
        channel_->MonitoringOn = monitoringPaused_ ? 0 : 1;
        dataRT_->DisplaySwitch = monitoringPaused_ ? 0 : 1;
    }
    PauseMonitoring1->setChecked(monitoringPaused_);
}

void TMainForm::ToggleSendWindow()
{
    settings_.SendWindowVisible = settings_.SendWindowVisible ? 0 : 1;
    ApplySettings();
    if (settings_.SendWindowVisible) {
        sendForm_->show();
        sendForm_->raise();
    } else {
        sendForm_->hide();
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
    Figures f {};
    switch (placement) {
    case Placement::Center:
        f = { 600, 400, 250, 100 };
        break;
    case Placement::Top:
        f = { w, h / 2, 0, 0 };
        break;
    case Placement::Bottom:
        f = { w, h / 2, 0, h / 2 };
        break;
    case Placement::Left:
        f = { w / 2, h, 0, 0 };
        break;
    case Placement::Right:
        f = { w / 2, h, w / 2, 0 };
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
    for (const QString &help : { dir + "/help.html", dir + "/../share/corvella/help.html" }) {
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
                "recommend it. You can find it at %1")
            .arg(kWebPage));
    QUrl mail("mailto:");
    mail.setQuery(query);
    QDesktopServices::openUrl(mail);
}
