// Test main for the Qt program's tests: one QApplication for the whole run.
//
// Test discovery runs the binary with --gtest_list_tests, possibly without any
// display; no QApplication is created then, so listing never needs a platform.
// Without a QT_QPA_PLATFORM of their own the tests run offscreen.

#include "app/shell/corvella_application.h"
#include "app/shell/file_association.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ConfigureApplication(app);
    // Tests write associations into throw-away folders; the desktop databases
    // of the machine are left alone.
    SetDesktopDatabaseUpdates(false);
    return RUN_ALL_TESTS();
}
