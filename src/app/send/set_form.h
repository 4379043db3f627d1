#pragma once

#include "shell/settings_record.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <string>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QTimeEdit;

// The settings window of the automatic ways of sending: loop send on one
// panel, the timing and receive triggers on the other. It is created once and
// shown modelessly on the panel its opener asks for; it reads the settings
// record on every showing and writes it back, saves it and asks for it to be
// applied on "Ok".
class TSetForm : public QDialog
{
    Q_OBJECT
public:
    // The data folder is asked for when saving: it is known only once the
    // main window has run its start-up sequence.
    using DataFolderSource = std::function<std::string()>;

    TSetForm(SettingsRecord &settings, DataFolderSource dataFolder, QWidget *parent = nullptr);

    static constexpr QSize kLoopPanelSize { 286, 201 };
    static constexpr QSize kTriggerPanelSize { 355, 337 };

    // Show the window (without waiting) on one panel; raise it when it is already shown.
    void ShowLoopPanel();
    void ShowTriggerPanel();

    // Fills both panels from the settings record.
    void FormShow();

    // Loop panel.
    QWidget *Panel1;
    QRadioButton *RadioButton1; // "Send Line:"
    QRadioButton *RadioButton2; // "Range: "
    QRadioButton *RadioButton4; // "This Line"
    QRadioButton *RadioButton5; // "Fixed Line:"
    QLineEdit *Edit2; // fixed line
    QLineEdit *Edit3; // range from
    QLineEdit *Edit4; // range to
    QLineEdit *Edit10; // interval
    QCheckBox *CheckBox1; // loop send on
    QPushButton *Button3; // "Ok"
    QPushButton *Button4; // "Cancel"

    // Trigger panel.
    QWidget *Panel3;
    QTimeEdit *DateTimePicker1;
    QRadioButton *RadioButton3; // "Send Line:"
    QRadioButton *RadioButton8; // "Range:"
    QRadioButton *RadioButton6; // "This Line"
    QRadioButton *RadioButton7; // "Fixed Line:"
    QLineEdit *Edit6; // fixed line
    QLineEdit *Edit7; // range from
    QLineEdit *Edit8; // range to
    QLineEdit *Edit9; // interval
    QCheckBox *CheckBox2; // timing trigger on
    QTableWidget *StringGrid2; // receive trigger list
    QLineEdit *Edit1; // receive trigger delay
    QCheckBox *CheckBox3; // receive trigger on
    QPushButton *Button1; // "Ok"
    QPushButton *Button2; // "Cancel"

signals:
    // The record was changed and saved; the main window applies it.
    void ApplySettingsRequested();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void CreateLoopPanel();
    void CreateTriggerPanel();
    QGroupBox *CreateTimingGroup();
    QGroupBox *CreateReceiveGroup();
    void CreateTriggerGrid();
    void ShowPanel(QWidget *shown, QWidget *hidden, QSize panelSize);

    void UpdateLoopLineControls();
    void ShowTriggerList();

    void OkClick();
    // Each step writes a field as soon as it is read: a field that is not an
    // integer stops the read-back there and keeps the fields before it.
    void ReadLoopPanel();
    void ReadTimingTrigger();
    void ReadReceiveTrigger();

    SettingsRecord &settings_;
    DataFolderSource dataFolder_;
    QButtonGroup *loopKindGroup_;
    QButtonGroup *loopLineGroup_;
    QButtonGroup *timingKindGroup_;
    QButtonGroup *timingLineGroup_;
};
