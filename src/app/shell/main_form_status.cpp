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
#include <QTextEdit>
#include <QTimer>

void TMainForm::Timer1Timer()
{
    if (!Channel || !DataRT)
        return;
    StatusBar1->SetPanelText(1, QString("TX: %1").arg(Channel->TxCount.load()));
    StatusBar1->SetPanelText(2, QString("RX: %1").arg(Channel->RxCount.load()));
    ShowStatusFigures();
    ShowLamps();
    if (LostDeviceMonitor)
        LostDeviceMonitor->Check();
    ReleaseStoppedSending();
    PaceStatusTick();
}

void TMainForm::PaceStatusTick()
{
    const TComPort &port = Channel->ComPort();
    const uint64_t states = uint64_t(DataRT->ActiveViewHex != 0)
        | uint64_t(DataRT->ActiveView == SendForm->RichSend) << 1
        | uint64_t(DataRT->ActiveView == RichFind) << 2 | uint64_t(port.Connected()) << 3
        | uint64_t(port.FlowControl().ControlDTR == dtrEnable) << 4
        | uint64_t(port.FlowControl().ControlRTS == rtsEnable) << 5
        | uint64_t(Channel->DsrState != 0) << 6 | uint64_t(Channel->CtsState != 0) << 7
        | uint64_t(Channel->RlsdState != 0) << 8 | uint64_t(ComThread->DeviceLost()) << 9
        | uint64_t(DataRT->SendTimer->isActive()) << 10
        | uint64_t(DataRT->Scheduler->TriggerSwitch() != 0) << 11
        | uint64_t(DataRT->BadChecksumLines) << 12;
    const int interval = statusPace_.Next({ Channel->TxCount.load(), Channel->RxCount.load(),
        uint64_t(uint32_t(DataRT->CaretLine)) << 32 | uint32_t(DataRT->CaretColumn),
        uint64_t(uint32_t(DataRT->SelectionSize)), states });
    if (Timer1->interval() != interval)
        Timer1->setInterval(interval);
}

void TMainForm::ShowStatusFigures()
{
    const QString mode = DataRT->ActiveViewHex ? "Hex" : "Asc";
    if (DataRT->ActiveView == SendForm->RichSend) {
        SendForm->setWindowTitle(QString("Send [%1: Ln:%2 Col:%3 Sel:%4]")
                                     .arg(mode)
                                     .arg(DataRT->CaretLine)
                                     .arg(DataRT->CaretColumn)
                                     .arg(DataRT->SelectionSize));
    } else {
        StatusBar1->SetPanelText(3, QString("%1: Ln:%2  Col:%3  Sel:%4")
                                        .arg(mode)
                                        .arg(DataRT->CaretLine)
                                        .arg(DataRT->CaretColumn)
                                        .arg(DataRT->SelectionSize));
    }
}

void TMainForm::ShowLamps()
{
    const TComPort &port = Channel->ComPort();
    StatusBar1->SetPanelText(0, StatusHint());
    if (!port.Connected()) {
        StatusBar1->SetLamps(false, false, false, false, false);
        return;
    }
    StatusBar1->SetLamps(port.FlowControl().ControlDTR == dtrEnable,
                         port.FlowControl().ControlRTS == rtsEnable, Channel->DsrState != 0,
                         Channel->CtsState != 0, Channel->RlsdState != 0);
}

QString TMainForm::StatusHint() const
{
    // A pulled adapter or a closed virtual port: say so until it is back or the
    // user closes the port.
    if (Channel->ComPort().Connected() && ComThread->DeviceLost())
        return "Device lost";
    if (DataRT->CheckReceivedChecksum)
        return QString("Bad checksum: %1").arg(DataRT->BadChecksumLines);
    return "F1 for help";
}

void TMainForm::ReleaseStoppedSending()
{
    if (!DataRT->SendTimer->isActive()) {
        Settings.LoopSendEnabled = 0;
        LoopToSend1->setChecked(false);
    }
    if (DataRT->Scheduler->TriggerSwitch() == 0) {
        Settings.Trigger.TimingTriggerEnabled = 0;
        Settings.Trigger.ReceiveTriggerEnabled = 0;
        TriggerSend1->setChecked(false);
    }
    SendForm->ShowSwitches(Settings.LoopSendEnabled,
                           TriggerOn(Settings.Trigger),
                           Settings.AsciiSend);
}
