// The 50 ms status tick: counters, caret figures, lamps, and releasing loop and
// trigger buttons when the scheduler stopped them by itself.
#include "app/shell/main_form.h"

#include "app/engine/data_rt.h"
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
    ReleaseStoppedSending();
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
    if (!port.Connected()) {
        StatusBar1->SetLamps(false, false, false, false, false);
        StatusBar1->SetPanelText(0, "F1 for help");
        return;
    }
    StatusBar1->SetLamps(port.FlowControl().ControlDTR == dtrEnable,
                         port.FlowControl().ControlRTS == rtsEnable, Channel->DsrState != 0,
                         Channel->CtsState != 0, Channel->RlsdState != 0);
    // A pulled adapter or a closed virtual port: say so until the user closes it.
    StatusBar1->SetPanelText(0, ComThread->DeviceLost() ? "Device lost" : "F1 for help");
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
