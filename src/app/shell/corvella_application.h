#pragma once

#include <QApplication>

// The application object: its title is "Corvella", and anything thrown out of
// an event handler ends in the one application-wide error box instead of
// ending the program.
class CorvellaApplication : public QApplication
{
public:
    CorvellaApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;

private:
    void ReportUncaught(const QString &message);
    bool reporting_ = false;
};

// The application-wide names, for the program and for its tests.
void ConfigureApplication(QApplication &app);
