#include "app/shell/corvella_application.h"
#include "app/shell/main_form.h"
#include "app/shell/rich_text_bridge.h"
#include "app/shell/shutdown_signals.h"

#include <QFileInfo>

int main(int argc, char *argv[])
{
    CorvellaApplication app(argc, argv);
    TMainForm mainForm;
    // Logout, systemctl and Ctrl+C close the program as its window does.
    TShutdownSignals shutdownSignals(&mainForm);

    // A message file named on the command line (how the desktop opens one) is
    // shown in the monitor with its colours.
    if (argc > 1) {
        const QString path = QString::fromLocal8Bit(argv[1]);
        if (QFileInfo(path).isFile()) {
            try {
                LoadViewFromFile(mainForm.RichShow, path);
            } catch (...) {
            }
        }
    }
    mainForm.show();
    return app.exec();
}
