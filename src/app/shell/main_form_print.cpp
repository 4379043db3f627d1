// The print commands: "Print" prints the monitor's text at once, "Print
// Preview" shows it as pages first.
#include "app/shell/main_form.h"

#include "app/shell/bring_to_front.h"
#include "app/tools/print_form.h"

#include <QAction>

void TMainForm::CreatePrintForm()
{
    printForm_ = new TPrintForm(richShow_, this);
    connect(Print1, &QAction::triggered, printForm_, &TPrintForm::PrintMonitorText);
    connect(
        PrintPreview1, &QAction::triggered, printForm_, [this] { ShowOrBringToFront(printForm_); });
}
