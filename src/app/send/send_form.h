#pragma once

#include "shell/settings_record.h"

#include <QDockWidget>

class QAction;
class QActionGroup;
class QMenu;
class QPlainTextEdit;
class QToolBar;
class QToolButton;

// The send window: a dockable tool window with the send view and its tool bar.
// It owns no engine: it asks the main window (through signals) to send, to
// apply settings and to open the loop or trigger settings.
class TSendForm : public QDockWidget
{
    Q_OBJECT
public:
    explicit TSendForm(SettingsRecord &settings, QWidget *parent = nullptr);

    QPlainTextEdit *RichSend;
    QToolBar *SendBar;
    QToolButton *ToolButton1; // "Send cursor line"
    QToolButton *ToolButton2; // "Loop To Send"
    QToolButton *ToolButton3; // "Trigger Send"
    QToolButton *ToolButton7; // "Checksum"
    QToolButton *ToolButton8; // "ASCII Send"
    QMenu *PopupMenu1;        // checksum kinds

    // Appends the checksum of the chosen kind to the selection or caret line.
    void AppendChecksum();
    // Down states of the loop, trigger and ASCII buttons from the record.
    void ShowSwitches(bool loopOn, bool triggerOn, bool asciiSend);
    void FormShow();

signals:
    void SendCaretLineRequested();
    void LoopPanelRequested();
    void TriggerPanelRequested();
    void ApplySettingsRequested();
    void Activated(); // the send view became the active view
    void Closed();    // closed by its own close button

protected:
    void showEvent(QShowEvent *event) override; // runs FormShow
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateSendView();
    void CreateToolBar();
    void CreateChecksumMenu();
    void ChooseChecksumKind(int index);

    SettingsRecord &settings_;
    QActionGroup *checksumGroup_ = nullptr;
};
