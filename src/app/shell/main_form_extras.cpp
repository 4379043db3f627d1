// Switches beyond the settings record, kept in "config.ini": reopening a port
// whose device returns, and checking the checksum of received frames.
#include "app/shell/main_form.h"

#include "app/engine/data_rt.h"
#include "app/engine/lost_device_monitor.h"
#include "app/shell/colors.h"

#include <QAction>
#include <QPlainTextEdit>

void TMainForm::CreateExtraActions()
{
    ReopenLostDevice1 = new QAction("Reopen Lost Device", this);
    ReopenLostDevice1->setObjectName("ReopenLostDevice1");
    ReopenLostDevice1->setCheckable(true);
    ReopenLostDevice1->setChecked(true);
    CheckReceivedChecksum1 = new QAction("Check Received Checksum", this);
    CheckReceivedChecksum1->setObjectName("CheckReceivedChecksum1");
    CheckReceivedChecksum1->setCheckable(true);
    for (QAction *action : { ReopenLostDevice1, CheckReceivedChecksum1 })
        connect(action, &QAction::toggled, this, &TMainForm::ApplyExtraSwitches);
}

void TMainForm::ConnectLostDeviceMonitor()
{
    lostDeviceMonitor_ = new TLostDeviceMonitor(*channel_, *comThread_, clock_, this);
    connect(lostDeviceMonitor_, &TLostDeviceMonitor::MarkerLine, this, &TMainForm::ShowMarkerLine);
    ApplyExtraSwitches();
}

void TMainForm::ApplyExtraSwitches()
{
    if (lostDeviceMonitor_)
        lostDeviceMonitor_->SetEnabled(ReopenLostDevice1->isChecked());
    if (dataRT_)
        dataRT_->CheckReceivedChecksum = CheckReceivedChecksum1->isChecked();
}

// A marker is no received or sent line: no stamp, never seen by the triggers.
void TMainForm::ShowMarkerLine(const QString &text)
{
    TDataRT::AppendStampedLine(richShow_, QString(), text, kStampColor);
}
