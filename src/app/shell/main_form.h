#pragma once

#include "app/shell/status_pace.h"
#include "shell/settings_record.h"

#include <QMainWindow>
#include <QStringList>

#include <memory>

class Clock;
class QAction;
class QLabel;
class QMenu;
class QSettings;
class QPlainTextEdit;
class QTimer;
class QToolBar;
class QToolButton;
class TAscForm;
class TBColorSetForm;
class TColorButton;
class TComComboBox;
class TFilterForm;
class THexDecForm;
class TPopForm;
class TaboutForm;
class TDataRT;
class TFindDialog;
class TFindForm;
class TPrintForm;
class TBackgroundWriter;
class TMonitorLimits;
class TSendForm;
class TSetForm;
class TLostDeviceMonitor;
class TStatusBarMY;
class TTimeSaveForm;
class TVekComThread;
class TVekScomm;

// The main window: port tool bar, monitor view, receive tool bar, status bar
// and the docking area for the side windows. Owns the settings record, the
// engine objects and every other window of the program.
class TMainForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TMainForm(Clock &clock);
    TMainForm();
    ~TMainForm() override;

    // The one settings record of the run.
    SettingsRecord &Settings() { return settings_; }
    const SettingsRecord &Settings() const { return settings_; }

    // Engine objects: created by the start-up sequence on the first showing.
    TVekScomm *Channel() const { return channel_.get(); }
    TVekComThread *ComThread() const { return comThread_.get(); }
    TDataRT *DataRT() const { return dataRT_; }

    QPlainTextEdit *RichShow() const { return richShow_; }
    QPlainTextEdit *RichFind() const { return richFind_; } // the find-results view, in FindForm
    TSendForm *SendForm() const { return sendForm_; }
    TFindForm *FindForm() const { return findForm_; }
    TFindDialog *FindDialog() const { return findDialog_; }
    TSetForm *SetForm() const { return setForm_; }
    TStatusBarMY *StatusBar1() const { return statusBar1_; }
    TComComboBox *CBoxPort() const { return cboxPort_; }
    TComComboBox *CBoxBaudRate() const { return cboxBaudRate_; }
    TComComboBox *CBoxParity() const { return cboxParity_; }
    TComComboBox *CBoxDataBits() const { return cboxDataBits_; }
    TComComboBox *CBoxStopBits() const { return cboxStopBits_; }
    QTimer *Timer1() const { return timer1_; } // 50 ms status tick

    // Tool windows, created hidden and shown by their commands.
    TFilterForm *FilterForm() const { return filterForm_; }
    THexDecForm *HexDecForm() const { return hexDecForm_; }
    TPopForm *PopForm() const { return popForm_; }
    TBColorSetForm *BColorSetForm() const { return bColorSetForm_; }
    TAscForm *AscForm() const { return ascForm_; }
    TaboutForm *AboutForm() const { return aboutForm_; }
    TColorButton *ColorButton() const { return colorButton_; } // the ColorButton1 command's face
    TBackgroundWriter *FileWriter() const { return fileWriter_; }
    TLostDeviceMonitor *LostDeviceMonitor() const { return lostDeviceMonitor_; }

    void ApplySettings();
    // Before the first showing: a message file to show in the monitor.
    void ShowCommandLineFile(const QString &path);
    void ToggleConnection();
    void TogglePause();
    enum class Placement { Center, Top, Bottom, Left, Right };
    void PlaceWindow(Placement placement);
    void StoreWindowSettings();
    // Writes "config.ini", "data" and "send", each independently of the others.
    // Returns false when any failed; `failures` then names each with its reason.
    bool WriteShutdownFiles(QStringList &failures);
    // Asks whether to close although files could not be saved; "no" by default.
    bool CloseDespiteFailures(const QStringList &failures);
    void Timer1Timer();
    // Panel 0: a lost device, else the bad-checksum count while that check is on.
    QString StatusHint() const;
    void ToggleSendWindow();
    void ToggleFindWindow();
    // Message files of the monitor or the send view.
    void SaveFile(QPlainTextEdit *view);
    void OpenFile(QPlainTextEdit *view);

    bool MonitoringPaused() const { return monitoringPaused_; }
    bool StartupDone() const { return startupDone_; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateActions();
    void CreateFileActions();
    void CreateEditActions();
    void CreateViewActions();
    void CreateToolsActions();
    void CreateWindowActions();
    void CreateHelpActions();
    void CreateToolBarActions();
    void CreateMenus();
    void CreateEditPopup();
    void AttachEditPopup(QPlainTextEdit *view);
    void CreatePortToolBar();
    void CreateReceiveToolBar();
    void CreateMonitorView();
    void CreateStatusBar();
    void CreateSideWindows();
    void ConnectSendForm();
    void CreateFindTools();
    void CreatePrintForm();
    void CreateFileCommands();

    void StartupSequence();
    void CreateEngine();
    void RestoreLayout();
    void SaveLayout();
    void SaveSendText();
    void LoadSendText();
    void ShowPortState(bool open);
    int PortListIndex() const;
    void FlipSetting(uint8_t &field);
    void SetActiveViewToMonitor();
    QPlainTextEdit *ActiveView() const;
    void ShowOpenFailure();
    void OpenHelpContents();
    void OpenWebPage();
    void OpenRecommendationMail();
    void ShowStatusFigures();
    void ShowLamps();
    // Switches kept in "config.ini" beside the layout.
    void CreateExtraActions();
    void ConnectLostDeviceMonitor();
    void ApplyExtraSwitches();
    void ShowMarkerLine(const QString &text);
    void ReleaseStoppedSending();
    void PaceStatusTick();

    void CreateToolWindows();
    void ConnectToolWindows();
    void ShowPopupConversion();
    void ApplyViewBackgrounds();
    void ColorActiveView(uint32_t bgr);
    void RestoreToolWindowPlaces(QSettings &layout);
    void SaveToolWindowPlaces(QSettings &layout);

    Clock &clock_;
    SettingsRecord settings_ {};
    std::string dataFolderPath_;
    std::unique_ptr<TVekScomm> channel_;
    std::unique_ptr<TVekComThread> comThread_;
    TDataRT *dataRT_ = nullptr;
    QPlainTextEdit *richShow_;
    QPlainTextEdit *richFind_;
    TSendForm *sendForm_;
    TFindForm *findForm_;
    TFindDialog *findDialog_;
    TSetForm *setForm_;
    TPrintForm *printForm_; // print preview; also prints for "Print"
    TStatusBarMY *statusBar1_;
    TComComboBox *cboxPort_;
    TComComboBox *cboxBaudRate_;
    TComComboBox *cboxParity_;
    TComComboBox *cboxDataBits_;
    TComComboBox *cboxStopBits_;
    QTimer *timer1_;
    TFilterForm *filterForm_;
    THexDecForm *hexDecForm_;
    TPopForm *popForm_;
    TBColorSetForm *bColorSetForm_;
    TAscForm *ascForm_;
    TaboutForm *aboutForm_;
    TColorButton *colorButton_;
    TBackgroundWriter *fileWriter_;
    TMonitorLimits *monitorLimits_;
    TTimeSaveForm *timeSaveForm_;
    // Reopens a lost port when its path returns; created with the engine.
    TLostDeviceMonitor *lostDeviceMonitor_ = nullptr;
    bool startupDone_ = false;
    bool monitoringPaused_ = false;
    uint32_t highlightColor_ = 0x008000;
    QString typedPortName_; // from the layout file
    TStatusPace statusPace_;

    // Commands, named like their menu items; their objectNames are the same,
    // so tests and other code outside reach them with findChild.
    QAction *OpenMonitoringMessage1, *SaveMonitoringMessage1, *OpenSendingMessage1,
        *SaveSendingMessage1, *Print1, *PrintPreview1, *Exit1;
    QAction *Undo1, *Cut1, *Copy1, *Paste1, *SelectAll1, *Find1, *FindNext1;
    QAction *ShowTime1, *ShowRxTx1, *WordWrap1, *SendingMessage1, *FilterSettingsMenu1,
        *FilterSettings1, *SendWindow1, *FindWindow1, *ColorSettings1;
    QAction *OpenPort1, *PauseMonitoring1, *SendData1, *ASCIIReceive1, *ASCIISend1, *LoopToSend1,
        *TriggerSend1, *AutoSaveOrClear1, *HexDecBinConverter1, *ASCIITable1;
    QAction *Center1, *Top1, *Bottom1, *Left1, *Right1, *AlwaysOnTop1;
    QAction *Contents1, *CheckForUpdates1, *OnlineSupport1, *TellAFriend1, *About1;
    QAction *Dtr1, *Rts1, *ClearScreen1, *ToDecBin1, *Converter1, *ColorButton1;
    QAction *ReopenLostDevice1, *CheckReceivedChecksum1;
    QToolBar *PortToolBar, *WindowToolBar, *ReceiveToolBar;
    QMenu *EditPopupMenu;
};
