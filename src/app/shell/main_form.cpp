#include "app/shell/main_form.h"

#include "app/engine/data_rt.h"
#include "app/port/com_combo_box.h"
#include "app/send/send_form.h"
#include "app/send/set_form.h"
#include "app/shell/colors.h"
#include "app/shell/icons.h"
#include "app/shell/message_box.h"
#include "app/shell/program_resources.h"
#include "app/shell/status_bar_my.h"
#include "app/shell/view_text.h"
#include "engine/clock.h"
#include "engine/vek_com_thread.h"
#include "engine/vek_scomm.h"
#include "port/com_port_error.h"
#include "shell/send_settings_rules.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QAction *MakeAction(
    QObject *owner, const char *name, const QString &caption, const QKeySequence &shortcut = {})
{
    auto *action = new QAction(caption, owner);
    action->setObjectName(name);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::ApplicationShortcut);
    }
    return action;
}

QAction *MakeCheck(
    QObject *owner, const char *name, const QString &caption, const QKeySequence &shortcut = {})
{
    QAction *action = MakeAction(owner, name, caption, shortcut);
    action->setCheckable(true);
    return action;
}

} // namespace

TMainForm::TMainForm()
    : TMainForm(SystemClock::Instance())
{ }

TMainForm::TMainForm(Clock &clock)
    : clock_(clock)
{
    InitProgramResources();
    setObjectName("MainForm");
    setWindowTitle("Corvella");
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);

    CreateActions();
    CreateMenus();
    CreateEditPopup();
    CreatePortToolBar();
    CreateMonitorView();
    CreateReceiveToolBar();
    CreateStatusBar();
    CreateSideWindows();
    CreateToolWindows();
    CreatePrintForm();
    CreateFileCommands();

    timer1_ = new QTimer(this);
    timer1_->setObjectName("Timer1");
    timer1_->setInterval(50);
    connect(timer1_, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    timer1_->start();

    // Wider than the classic 614 x 451 client area: Linux fonts and device
    // names need the room, and the lamps must not fall off the status bar.
    resize(800, 520);
    move(0, 0);
}

TMainForm::~TMainForm()
{
    // The renderer holds the channel by reference: stop it before the channel goes.
    delete dataRT_;
    dataRT_ = nullptr;
    comThread_.reset();
    channel_.reset();
}

void TMainForm::CreateActions()
{
    CreateFileActions();
    CreateEditActions();
    CreateViewActions();
    CreateToolsActions();
    CreateExtraActions();
    CreateWindowActions();
    CreateHelpActions();
    CreateToolBarActions();
}

void TMainForm::CreateFileActions()
{
    OpenMonitoringMessage1 = MakeAction(this, "OpenMonitoringMessage1", "Open Monitoring Message");
    SaveMonitoringMessage1 = MakeAction(
        this, "SaveMonitoringMessage1", "Save Monitoring Message", QKeySequence("Ctrl+S"));
    SaveMonitoringMessage1->setIcon(MakeIcon(IconKind::Save));
    OpenSendingMessage1 = MakeAction(this, "OpenSendingMessage1", "Open Sending Message");
    SaveSendingMessage1 = MakeAction(this, "SaveSendingMessage1", "Save Sending Message");
    Print1 = MakeAction(this, "Print1", "Print");
    PrintPreview1 = MakeAction(this, "PrintPreview1", "Print Preview");
    Exit1 = MakeAction(this, "Exit1", "Exit");
    connect(Exit1, &QAction::triggered, this, &QWidget::close);
}

void TMainForm::CreateEditActions()
{
    Undo1 = MakeAction(this, "Undo1", "Undo ", QKeySequence("Ctrl+Z"));
    Cut1 = MakeAction(this, "Cut1", "Cut", QKeySequence("Ctrl+X"));
    Copy1 = MakeAction(this, "Copy1", "Copy", QKeySequence("Ctrl+C"));
    Paste1 = MakeAction(this, "Paste1", "Paste", QKeySequence("Ctrl+V"));
    SelectAll1 = MakeAction(this, "SelectAll1", "Select All", QKeySequence("Ctrl+A"));
    Find1 = MakeAction(this, "Find1", "Find", QKeySequence("Ctrl+F"));
    FindNext1 = MakeAction(this, "FindNext1", "Find Next ", QKeySequence("F3"));
    // The edit commands act on the active view. Their shortcuts belong to the
    // view that has the focus, which the text views handle themselves.
    for (QAction *a : { Undo1, Cut1, Copy1, Paste1, SelectAll1 })
        a->setShortcutContext(Qt::WidgetShortcut);
    connect(Undo1, &QAction::triggered, this, [this] { ActiveView()->undo(); });
    connect(Cut1, &QAction::triggered, this, [this] { ActiveView()->cut(); });
    connect(Copy1, &QAction::triggered, this, [this] { ActiveView()->copy(); });
    connect(Paste1, &QAction::triggered, this, [this] { ActiveView()->paste(); });
    connect(SelectAll1, &QAction::triggered, this, [this] { ActiveView()->selectAll(); });
}

void TMainForm::CreateViewActions()
{
    ShowTime1 = MakeCheck(this, "ShowTime1", "Show Time");
    ShowRxTx1 = MakeCheck(this, "ShowRxTx1", "Show RxTx");
    WordWrap1 = MakeCheck(this, "WordWrap1", "Word Wrap");
    WordWrap1->setIcon(MakeIcon(IconKind::WordWrap));
    SendingMessage1 = MakeCheck(this, "SendingMessage1", "Sending Message");
    SendingMessage1->setIcon(MakeIcon(IconKind::DisplaySending));
    SendingMessage1->setToolTip("Display Sending Message");
    FilterSettingsMenu1 = MakeCheck(this, "FilterSettingsMenu1", "Filter Settings");
    FilterSettingsMenu1->setIcon(MakeIcon(IconKind::Filter));
    SendWindow1 = MakeCheck(this, "SendWindow1", "Send Window", QKeySequence("F8"));
    SendWindow1->setIcon(MakeIcon(IconKind::SendWindow));
    FindWindow1 = MakeCheck(this, "FindWindow1", "Find Window");
    FindWindow1->setIcon(MakeIcon(IconKind::FindWindow));
    ColorSettings1 = MakeAction(this, "ColorSettings1", "Color Settings");
    connect(ShowTime1, &QAction::triggered, this, [this] { FlipSetting(settings_.ShowTime); });
    connect(ShowRxTx1, &QAction::triggered, this, [this] { FlipSetting(settings_.ShowRxTx); });
    connect(WordWrap1, &QAction::triggered, this, [this] { FlipSetting(settings_.WordWrap); });
    connect(
        SendingMessage1, &QAction::triggered, this, [this] { FlipSetting(settings_.ShowSending); });
    connect(SendWindow1, &QAction::triggered, this, &TMainForm::ToggleSendWindow);
}

void TMainForm::CreateToolsActions()
{
    OpenPort1 = MakeAction(this, "OpenPort1", "Open Port");
    OpenPort1->setIcon(MakeIcon(IconKind::PortClosed));
    PauseMonitoring1 = MakeCheck(this, "PauseMonitoring1", "Pause Monitoring");
    PauseMonitoring1->setIcon(MakeIcon(IconKind::Pause));
    PauseMonitoring1->setToolTip(QString::fromUtf8("暂停报文监视"));
    SendData1 = MakeAction(this, "SendData1", "Send Data", QKeySequence("F5"));
    ASCIIReceive1 = MakeCheck(this, "ASCIIReceive1", "ASCII Receive");
    ASCIIReceive1->setIcon(MakeIcon(IconKind::AsciiReceive));
    ASCIISend1 = MakeCheck(this, "ASCIISend1", "ASCII Send");
    LoopToSend1 = MakeCheck(this, "LoopToSend1", "Loop To Send");
    TriggerSend1 = MakeCheck(this, "TriggerSend1", "Trigger Send");
    AutoSaveOrClear1 = MakeAction(this, "AutoSaveOrClear1", "Auto Save or Clear");
    HexDecBinConverter1 = MakeAction(this, "HexDecBinConverter1", "HexDecBin Converter");
    ASCIITable1 = MakeAction(this, "ASCIITable1", "ASCII Table");
    connect(OpenPort1, &QAction::triggered, this, &TMainForm::ToggleConnection);
    connect(PauseMonitoring1, &QAction::triggered, this, &TMainForm::TogglePause);
    connect(SendData1, &QAction::triggered, this, [this] {
        if (dataRT_)
            dataRT_->SendCaretLine();
    });
    connect(
        ASCIIReceive1, &QAction::triggered, this, [this] { FlipSetting(settings_.AsciiReceive); });
    connect(ASCIISend1, &QAction::triggered, this, [this] { FlipSetting(settings_.AsciiSend); });
    // The menu items open the settings window; their check marks only mirror
    // the settings, so a click must not flip them by itself.
    connect(LoopToSend1, &QAction::triggered, this, [this] {
        LoopToSend1->setChecked(settings_.LoopSendEnabled);
        setForm_->ShowLoopPanel();
    });
    connect(TriggerSend1, &QAction::triggered, this, [this] {
        TriggerSend1->setChecked(TriggerOn(settings_.Trigger));
        setForm_->ShowTriggerPanel();
    });
}

void TMainForm::CreateWindowActions()
{
    Center1 = MakeAction(this, "Center1", "Center");
    Top1 = MakeAction(this, "Top1", "Top");
    Bottom1 = MakeAction(this, "Bottom1", "Bottom");
    Left1 = MakeAction(this, "Left1", "Left");
    Right1 = MakeAction(this, "Right1", "Right");
    AlwaysOnTop1 = MakeCheck(this, "AlwaysOnTop1", "Always On Top");
    connect(Center1, &QAction::triggered, this, [this] { PlaceWindow(Placement::Center); });
    connect(Top1, &QAction::triggered, this, [this] { PlaceWindow(Placement::Top); });
    connect(Bottom1, &QAction::triggered, this, [this] { PlaceWindow(Placement::Bottom); });
    connect(Left1, &QAction::triggered, this, [this] { PlaceWindow(Placement::Left); });
    connect(Right1, &QAction::triggered, this, [this] { PlaceWindow(Placement::Right); });
    connect(AlwaysOnTop1, &QAction::toggled, this, [this](bool on) {
        setWindowFlag(Qt::WindowStaysOnTopHint, on);
        show();
    });
}

void TMainForm::CreateHelpActions()
{
    Contents1 = MakeAction(this, "Contents1", "Contents", QKeySequence("F1"));
    CheckForUpdates1 = MakeAction(this, "CheckForUpdates1", "Check For Updates");
    OnlineSupport1 = MakeAction(this, "OnlineSupport1", "Online Support");
    TellAFriend1 = MakeAction(this, "TellAFriend1", "Tell a Friend");
    TellAFriend1->setVisible(false);
    About1 = MakeAction(this, "About1", "About");
    connect(Contents1, &QAction::triggered, this, &TMainForm::OpenHelpContents);
    connect(CheckForUpdates1, &QAction::triggered, this, &TMainForm::OpenWebPage);
    connect(OnlineSupport1, &QAction::triggered, this, &TMainForm::OpenWebPage);
    connect(TellAFriend1, &QAction::triggered, this, &TMainForm::OpenRecommendationMail);
}

// Commands that live on the tool bars only.
void TMainForm::CreateToolBarActions()
{
    Dtr1 = MakeCheck(this, "Dtr1", "DTR");
    Rts1 = MakeCheck(this, "Rts1", "RTS");
    connect(Dtr1, &QAction::triggered, this, [this] { FlipSetting(settings_.DtrOn); });
    connect(Rts1, &QAction::triggered, this, [this] { FlipSetting(settings_.RtsOn); });
    ClearScreen1 = MakeAction(this, "ClearScreen1", "Clear Screen");
    ClearScreen1->setIcon(MakeIcon(IconKind::ClearScreen));
    connect(ClearScreen1, &QAction::triggered, this, [this] { richShow_->clear(); });
    ToDecBin1 = MakeAction(this, "ToDecBin1", "To Dec Bin");
    Converter1 = MakeAction(this, "Converter1", "HexDecBin Converter");
    Converter1->setIcon(MakeIcon(IconKind::Converter));
    ColorButton1 = MakeAction(this, "ColorButton1", "Color");
    ColorButton1->setIcon(MakeColorIcon(ColorFromBgr(highlightColor_)));
}

void TMainForm::CreateMenus()
{
    QMenu *file = menuBar()->addMenu("File");
    file->addActions({ OpenMonitoringMessage1, SaveMonitoringMessage1 });
    file->addSeparator();
    file->addActions({ OpenSendingMessage1, SaveSendingMessage1 });
    file->addSeparator();
    file->addActions({ Print1, PrintPreview1 });
    file->addSeparator();
    file->addAction(Exit1);

    QMenu *edit = menuBar()->addMenu("Edit");
    edit->addAction(Undo1);
    edit->addSeparator();
    edit->addActions({ Cut1, Copy1, Paste1 });
    edit->addSeparator();
    edit->addAction(SelectAll1);
    edit->addSeparator();
    edit->addActions({ Find1, FindNext1 });

    QMenu *view = menuBar()->addMenu("View");
    view->addActions({ ShowTime1, ShowRxTx1, WordWrap1, SendingMessage1 });
    // The filter command lives on the receive tool bar; its menu item stays hidden.
    FilterSettings1 = MakeCheck(this, "FilterSettings1", "Filter Settings");
    FilterSettings1->setVisible(false);
    view->addAction(FilterSettings1);
    view->addSeparator();
    view->addActions({ SendWindow1, FindWindow1 });
    view->addSeparator();
    view->addAction(ColorSettings1);

    QMenu *tools = menuBar()->addMenu("Tools ");
    tools->addActions({ OpenPort1, PauseMonitoring1, SendData1 });
    tools->addSeparator();
    tools->addActions({ ASCIIReceive1, ASCIISend1 });
    tools->addSeparator();
    tools->addActions({ LoopToSend1, TriggerSend1 });
    tools->addSeparator();
    tools->addActions({ AutoSaveOrClear1, HexDecBinConverter1, ASCIITable1 });
    tools->addSeparator();
    tools->addActions({ ReopenLostDevice1, CheckReceivedChecksum1 });

    QMenu *window = menuBar()->addMenu("Window");
    window->addActions({ Center1, Top1, Bottom1, Left1, Right1 });
    window->addSeparator();
    window->addAction(AlwaysOnTop1);

    QMenu *help = menuBar()->addMenu("Help ");
    help->addAction(Contents1);
    help->addSeparator();
    help->addActions({ CheckForUpdates1, OnlineSupport1, TellAFriend1 });
    help->addSeparator();
    help->addAction(About1);
}

// The pop-up menu of the text views: the edit commands, which act on the active view.
void TMainForm::CreateEditPopup()
{
    EditPopupMenu = new QMenu(this);
    EditPopupMenu->setObjectName("EditPopupMenu");
    EditPopupMenu->addActions({ Cut1, Copy1, Paste1 });
    EditPopupMenu->addSeparator();
    EditPopupMenu->addAction(ToDecBin1);
}

void TMainForm::AttachEditPopup(QPlainTextEdit *view)
{
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint &pos) {
        EditPopupMenu->popup(view->viewport()->mapToGlobal(pos));
    });
}

void TMainForm::CreatePortToolBar()
{
    PortToolBar = addToolBar("Port");
    PortToolBar->setObjectName("PortToolBar");
    PortToolBar->setMovable(false);
    PortToolBar->setIconSize(QSize(20, 20));
    PortToolBar->addAction(SaveMonitoringMessage1);
    PortToolBar->addSeparator();
    PortToolBar->addAction(OpenPort1);
    PortToolBar->addAction(PauseMonitoring1);
    PortToolBar->addSeparator();

    auto addCombo = [this](const char *name, TComProperty property, int width) {
        auto *combo = new TComComboBox(this);
        combo->setObjectName(name);
        try {
            combo->SetComProperty(property);
        } catch (const EComPort &e) {
            // No port list: the user can still type a device name.
            ShowErrorBox(QString::fromLocal8Bit(e.what()));
        }
        combo->SetAutoApply(true);
        combo->setMinimumWidth(width);
        PortToolBar->addWidget(combo);
        return combo;
    };
    // Linux device names are longer than their counterparts elsewhere, so the
    // port list is wider than the others.
    cboxPort_ = addCombo("CBoxPort", cpPort, 110);
    cboxBaudRate_ = addCombo("CBoxBaudRate", cpBaudRate, 78);
    cboxParity_ = addCombo("CBoxParity", cpParity, 64);
    cboxDataBits_ = addCombo("CBoxDataBits", cpDataBits, 44);
    cboxStopBits_ = addCombo("CBoxStopBits", cpStopBits, 50);
    cboxPort_->GrowWithText(110, 360); // its tooltip is the whole device name
    cboxBaudRate_->setToolTip("Baud rate");
    cboxParity_->setToolTip("Parity");
    cboxDataBits_->setToolTip("Data bits");
    cboxStopBits_->setToolTip("Stop bits");

    PortToolBar->addSeparator();
    PortToolBar->addAction(Dtr1);
    PortToolBar->addAction(Rts1);
    for (QAction *line : { Dtr1, Rts1 }) {
        if (auto *button = qobject_cast<QToolButton *>(PortToolBar->widgetForAction(line)))
            button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }

    WindowToolBar = addToolBar("Windows");
    WindowToolBar->setObjectName("WindowToolBar");
    WindowToolBar->setMovable(false);
    WindowToolBar->setIconSize(QSize(20, 20));
    WindowToolBar->addAction(SendWindow1);
    WindowToolBar->addAction(FindWindow1);
    WindowToolBar->addSeparator();
    WindowToolBar->addAction(Converter1);
    WindowToolBar->addSeparator();
}

void TMainForm::CreateMonitorView()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    richShow_ = new QPlainTextEdit(central);
    richShow_->setObjectName("RichShow");
    richShow_->setFont(ViewFont());
    richShow_->setLineWrapMode(QPlainTextEdit::NoWrap);
    richShow_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    richShow_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The monitor's lines are appended by the program: undo would take them away again.
    richShow_->setUndoRedoEnabled(false);
    AttachEditPopup(richShow_);
    richShow_->installEventFilter(this);
    layout->addWidget(richShow_, 1);

    ReceiveToolBar = new QToolBar("Receive", central);
    ReceiveToolBar->setObjectName("ReceiveToolBar");
    ReceiveToolBar->setIconSize(QSize(20, 20));
    layout->addWidget(ReceiveToolBar);
    setCentralWidget(central);
}

void TMainForm::CreateReceiveToolBar()
{
    auto *displayTime = new QToolButton(ReceiveToolBar);
    displayTime->setObjectName("DisplayTimeButton");
    displayTime->setText("text");
    displayTime->setToolTip("Display Time");
    displayTime->setIcon(MakeIcon(IconKind::DisplayTime));
    auto *timeMenu = new QMenu(displayTime);
    timeMenu->addActions({ ShowTime1, ShowRxTx1 });
    displayTime->setMenu(timeMenu);
    displayTime->setPopupMode(QToolButton::InstantPopup);
    ReceiveToolBar->addWidget(displayTime);
    ReceiveToolBar->addAction(SendingMessage1);
    ReceiveToolBar->addAction(WordWrap1);
    ReceiveToolBar->addAction(FilterSettingsMenu1);
    ReceiveToolBar->addAction(ASCIIReceive1);
    ReceiveToolBar->addAction(ClearScreen1);
}

void TMainForm::CreateStatusBar()
{
    statusBar1_ = new TStatusBarMY(this);
    setStatusBar(statusBar1_);
    connect(statusBar1_, &TStatusBarMY::DoubleClicked, this, [this] {
        if (!channel_)
            return;
        channel_->RxCount = 0;
        channel_->TxCount = 0;
        dataRT_->BadChecksumLines = 0;
    });
}

void TMainForm::CreateSideWindows()
{
    sendForm_ = new TSendForm(settings_, this);
    addDockWidget(Qt::BottomDockWidgetArea, sendForm_);
    sendForm_->hide();
    setForm_ = new TSetForm(
        settings_, [this] { return dataFolderPath_; }, this);
    connect(setForm_, &TSetForm::ApplySettingsRequested, this, &TMainForm::ApplySettings);
    ConnectSendForm();
    CreateFindTools();
}

void TMainForm::ConnectSendForm()
{
    AttachEditPopup(sendForm_->RichSend);
    connect(sendForm_, &TSendForm::SendCaretLineRequested, this, [this] {
        if (dataRT_)
            dataRT_->SendCaretLine();
    });
    connect(sendForm_, &TSendForm::ApplySettingsRequested, this, &TMainForm::ApplySettings);
    connect(sendForm_, &TSendForm::LoopPanelRequested, setForm_, &TSetForm::ShowLoopPanel);
    connect(sendForm_, &TSendForm::TriggerPanelRequested, setForm_, &TSetForm::ShowTriggerPanel);
    connect(sendForm_, &TSendForm::Activated, this, [this] {
        if (dataRT_)
            dataRT_->SetActiveView(sendForm_->RichSend);
    });
    connect(sendForm_, &TSendForm::Closed, this, [this] {
        settings_.SendWindowVisible = 0;
        ApplySettings();
    });
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == richShow_ && event->type() == QEvent::FocusIn)
        SetActiveViewToMonitor();
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        SetActiveViewToMonitor();
    QMainWindow::changeEvent(event);
}

void TMainForm::SetActiveViewToMonitor()
{
    if (dataRT_)
        dataRT_->SetActiveView(richShow_);
}

QPlainTextEdit *TMainForm::ActiveView() const
{
    return dataRT_ && dataRT_->ActiveView ? dataRT_->ActiveView : richShow_;
}
