// The print commands: "Print" prints the monitor's text at once, "Print
// Preview" shows it as pages first.
#include "app/shell/main_form.h"

#include "app/tools/print_form.h"

#include <QAction>

void TMainForm::CreatePrintForm()
{
    PrintForm = new TPrintForm(RichShow, this);
    connect(Print1, &QAction::triggered, PrintForm, &TPrintForm::PrintMonitorText);
    connect(PrintPreview1, &QAction::triggered, PrintForm, [this] {
        PrintForm->show();
        PrintForm->raise();
        PrintForm->activateWindow();
    });
}
