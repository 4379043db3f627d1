#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class TMonitorLimits;
struct SettingsRecord;

// "Auto Save or Clear": the switches, the line threshold and the folder of the
// automatic save or clear. Shown without blocking; reads the values on every
// showing and takes them over on "Ok". The settings file is written at shutdown.
class TTimeSaveForm : public QDialog
{
    Q_OBJECT
public:
    TTimeSaveForm(SettingsRecord &settings, TMonitorLimits &limits, QWidget *parent = nullptr);

    static constexpr QSize kClientSize { 333, 185 };

    // Shows the window, or brings it to the front when it is shown already.
    void ShowWindow();
    void FormShow();
    void BrowseClick(); // "..."
    void OkClick();

    QCheckBox *CheckBox1; // " Auto To Clear"
    QCheckBox *CheckBox2; // " Auto To Save"
    QLineEdit *Edit1; // receiving lines
    QLineEdit *Edit2; // save path
    QPushButton *Button1; // "..."
    QPushButton *Button2; // "Ok"
    QPushButton *Button3; // "Cancel"

protected:
    void showEvent(QShowEvent *event) override;

private:
    SettingsRecord &settings_;
    TMonitorLimits &limits_;
};
