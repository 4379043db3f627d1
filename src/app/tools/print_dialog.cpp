#include "app/tools/print_dialog.h"

#include <QPrintDialog>
#include <QPrinter>

namespace {
PrintDialogHandler &Handler()
{
    static PrintDialogHandler handler;
    return handler;
}
} // namespace

void SetPrintDialogHandler(PrintDialogHandler handler)
{
    Handler() = std::move(handler);
}

std::unique_ptr<TPrintJobs> RunPrintDialog(const PrintDialogRequest &request)
{
    if (Handler())
        return Handler()(request);
    QPrintDialog dialog(request.Printer, request.Owner);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(1, request.MaxPage);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return MakePrintJobs(*request.Printer);
}
