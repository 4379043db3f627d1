#include "app/shell/corvella_application.h"
#include "app/shell/main_form.h"

int main(int argc, char *argv[])
{
    CorvellaApplication app(argc, argv);
    TMainForm mainForm;

    if (argc > 1)
        mainForm.ShowCommandLineFile(QString::fromLocal8Bit(argv[1]));
    mainForm.show();
    return app.exec();
}
