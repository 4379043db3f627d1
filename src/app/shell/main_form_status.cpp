// The 50 ms status tick: counters, caret figures, lamps, and releasing loop and
// trigger buttons when the scheduler stopped them by itself.
#include "app/shell/main_form.h"

#include "app/engine/data_rt.h"
#include "app/engine/lost_device_monitor.h"
#include "app/send/send_form.h"
#include "app/shell/status_bar_my.h"
#include "engine/vek_com_thread.h"
#include "engine/vek_scomm.h"
#include "shell/send_settings_rules.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QTimer>

void TMainForm::Timer1Timer()
{
    if (!channel_ || !dataRT_)
        return;
    statusBar1_->SetPanelText(1, QString("TX: %1").arg(channel_->TxCount.load()));
    statusBar1_->SetPanelText(2, QString("RX: %1").arg(channel_->RxCount.load()));
    ShowStatusFigures();
    ShowLamps();
    if (lostDeviceMonitor_)
        lostDeviceMonitor_->Check();
    ReleaseStoppedSending();
    PaceStatusTick();
}

void TMainForm::PaceStatusTick()
{
    const TComPort &port = channel_->ComPort();
    const uint64_t states = uint64_t(dataRT_->ActiveViewHex != 0)
        | uint64_t(dataRT_->ActiveView == sendForm_->RichSend) << 1
        | uint64_t(dataRT_->ActiveView == richFind_) << 2 | uint64_t(port.Connected()) << 3
        | uint64_t(port.FlowControl().ControlDTR == dtrEnable) << 4
        | uint64_t(port.FlowControl().ControlRTS == rtsEnable) << 5
        | uint64_t(channel_->DsrState != 0) << 6 | uint64_t(channel_->CtsState != 0) << 7
        | uint64_t(channel_->RlsdState != 0) << 8 | uint64_t(comThread_->DeviceLost()) << 9
        | uint64_t(dataRT_->SendTimer->isActive()) << 10
        | uint64_t(dataRT_->Scheduler->TriggerSwitch() != 0) << 11
        | uint64_t(dataRT_->BadChecksumLines) << 12;
    const int interval = statusPace_.Next({ channel_->TxCount.load(), channel_->RxCount.load(),
        uint64_t(uint32_t(dataRT_->CaretLine)) << 32 | uint32_t(dataRT_->CaretColumn),
        uint64_t(uint32_t(dataRT_->SelectionSize)), states });
    if (timer1_->interval() != interval)
        timer1_->setInterval(interval);
}

void TMainForm::ShowStatusFigures()
{
    const QString mode = dataRT_->ActiveViewHex ? "Hex" : "Asc";
    if (dataRT_->ActiveView == sendForm_->RichSend) {
        sendForm_->setWindowTitle(QString("Send [%1: Ln:%2 Col:%3 Sel:%4]")
                                      .arg(mode)
                                      .arg(dataRT_->CaretLine)
                                      .arg(dataRT_->CaretColumn)
                                      .arg(dataRT_->SelectionSize));
    } else {
        statusBar1_->SetPanelText(3,
            QString("%1: Ln:%2  Col:%3  Sel:%4")
                .arg(mode)
                .arg(dataRT_->CaretLine)
                .arg(dataRT_->CaretColumn)
                .arg(dataRT_->SelectionSize));
    }
}

void TMainForm::ShowLamps()
{
    const TComPort &port = channel_->ComPort();
    statusBar1_->SetPanelText(0, StatusHint());
    if (!port.Connected()) {
        statusBar1_->SetLamps(false, false, false, false, false);
        return;
    }
    statusBar1_->SetLamps(port.FlowControl().ControlDTR == dtrEnable,
        port.FlowControl().ControlRTS == rtsEnable, channel_->DsrState != 0,
        channel_->CtsState != 0, channel_->RlsdState != 0);
}

QString TMainForm::StatusHint() const
{
    // A pulled adapter or a closed virtual port: say so until it is back or the
    // user closes the port.
    if (channel_->ComPort().Connected() && comThread_->DeviceLost())
        return "Device lost";
    if (dataRT_->CheckReceivedChecksum)
        return QString("Bad sums: %1").arg(dataRT_->BadChecksumLines);
    return "F1 for help";
}

void TMainForm::ReleaseStoppedSending()
{
    if (!dataRT_->SendTimer->isActive()) {
        settings_.LoopSendEnabled = 0;
        LoopToSend1->setChecked(false);
    }
    if (dataRT_->Scheduler->TriggerSwitch() == 0) {
        settings_.Trigger.TimingTriggerEnabled = 0;
        settings_.Trigger.ReceiveTriggerEnabled = 0;
        TriggerSend1->setChecked(false);
    }
    sendForm_->ShowSwitches(
        settings_.LoopSendEnabled, TriggerOn(settings_.Trigger), settings_.AsciiSend);
}
