#include "app/shell/corvella_application.h"
#include "app/shell/main_form.h"
#include "app/shell/shutdown_signals.h"

int main(int argc, char *argv[])
{
    CorvellaApplication app(argc, argv);
    TMainForm mainForm;
    // Logout, systemctl and Ctrl+C close the program as its window does.
    TShutdownSignals shutdownSignals(&mainForm);

    if (argc > 1)
        mainForm.ShowCommandLineFile(QString::fromLocal8Bit(argv[1]));
    mainForm.show();
    return app.exec();
}
