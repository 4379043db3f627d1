#pragma once

#include "shell/settings_record.h"

#include <QDialog>

class QCheckBox;
class QPushButton;
class QTableWidget;

// The receive filter window: five conditions "byte N has value V" and the
// filter's switch. Created once, shown without blocking; it reads the settings
// record on every showing and writes it back on "Ok".
class TFilterForm : public QDialog
{
    Q_OBJECT
public:
    explicit TFilterForm(SettingsRecord &settings, QWidget *parent = nullptr);

    QTableWidget *StringGrid1;
    QCheckBox *CheckBox1; // "Enable"
    QPushButton *Button1; // "Ok"
    QPushButton *Button2; // "Cancel"

    // Shows the window, or brings it to the front when it is already shown.
    void ShowWindow();
    // Fills the grid and the switch from the settings record.
    void FormShow();
    // Validates and stores the rows; on success sets the switch, asks for the
    // settings to be applied and closes.
    void Button1Click();

signals:
    void ApplySettingsRequested();
    void Closed(); // however the window was closed

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void CreateGrid();
    QString CellText(int row, int column) const;
    void SetCellText(int row, int column, const QString &text);

    SettingsRecord &settings_;
};
