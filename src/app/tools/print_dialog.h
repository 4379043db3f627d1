#pragma once

#include "app/tools/print_jobs.h"

#include <functional>
#include <memory>

class QPrinter;
class QWidget;

// The print dialog. Every print asks through here, so tests can answer in the
// user's place the way message boxes are answered.
struct PrintDialogRequest
{
    QWidget *Owner = nullptr;
    // The user's choices (destination, copies, range) land on this printer and
    // stay there for the next print of the run.
    QPrinter *Printer = nullptr;
    int MaxPage = 1;
};

// Sets the request's printer as the user would and returns the jobs for the
// chosen destination; null when the user cancels.
using PrintDialogHandler = std::function<std::unique_ptr<TPrintJobs>(const PrintDialogRequest &)>;

// Installs a handler for the rest of the run (tests); an empty one restores the real dialog.
void SetPrintDialogHandler(PrintDialogHandler handler);

std::unique_ptr<TPrintJobs> RunPrintDialog(const PrintDialogRequest &request);
