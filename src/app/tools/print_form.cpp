#include "app/tools/print_form.h"

#include "app/shell/message_box.h"
#include "app/tools/page_preview.h"
#include "app/tools/print_dialog.h"
#include "app/tools/print_jobs.h"
#include "app/tools/print_layout.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

constexpr int kButtonBarHeight = 25;
const char *const kCaption = "Print";

} // namespace

TPrintForm::TPrintForm(QPlainTextEdit *monitor, QWidget *mainWindow)
    : QDialog(mainWindow)
    , monitor_(monitor)
    , mainWindow_(mainWindow)
{
    setObjectName("PrintForm");
    setWindowTitle("Print Preview");
    setModal(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    CreateButtonBar();
    layout->addWidget(Panel1);
    PagePreview1 = new TPagePreview(this);
    PagePreview1->setObjectName("PagePreview1");
    layout->addWidget(PagePreview1, 1);
    CreateStatusBar();
    layout->addWidget(StatusBar1);

    connect(PagePreview1, &TPagePreview::Changed, this, &TPrintForm::PagePreview1Change);
}

TPrintForm::~TPrintForm() = default;

void TPrintForm::CreateButtonBar()
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFixedHeight(kButtonBarHeight);
    auto *bar = new QHBoxLayout(Panel1);
    bar->setContentsMargins(2, 1, 2, 1);
    bar->setSpacing(2);
    auto addButton = [this, bar](const char *name, const char *caption) {
        auto *button = new QPushButton(caption, Panel1);
        button->setObjectName(name);
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::TabFocus);
        bar->addWidget(button);
        return button;
    };
    Button1 = addButton("Button1", "Print");
    Button4 = addButton("Button4", "Actual Size");
    Button5 = addButton("Button5", "Full Page");
    Button2 = addButton("Button2", "Zoom In");
    Button3 = addButton("Button3", "Zoom Out");
    Button8 = addButton("Button8", "Cancel");
    bar->addStretch(1);

    connect(Button1, &QPushButton::clicked, this, &TPrintForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this,
        [this] { PagePreview1->SetMouseMode(TMouseMode::ZoomIn); });
    connect(Button3, &QPushButton::clicked, this,
        [this] { PagePreview1->SetMouseMode(TMouseMode::ZoomOut); });
    connect(Button4, &QPushButton::clicked, this, [this] {
        PagePreview1->ActualSize();
        PagePreview1->SetMouseMode(TMouseMode::None);
    });
    connect(Button5, &QPushButton::clicked, this, [this] {
        PagePreview1->FullPage();
        PagePreview1->SetMouseMode(TMouseMode::None);
    });
    connect(Button8, &QPushButton::clicked, this, &QWidget::close);
}

void TPrintForm::CreateStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    StatusPanel = new QLabel(StatusBar1);
    StatusPanel->setObjectName("StatusPanel");
    StatusPanel->setTextFormat(Qt::PlainText);
    StatusBar1->addWidget(StatusPanel, 1);
}

void TPrintForm::showEvent(QShowEvent *event)
{
    // The window fills the desktop's work area and keeps that size.
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        setFixedSize(area.size());
        move(area.topLeft());
    }
    QDialog::showEvent(event);
}

void TPrintForm::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    // Each activation shows the monitor's text as it is now.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        BuildPreviewPages();
}

void TPrintForm::BuildPreviewPages()
{
    PagePreview1->ClearPages();
    PaginateMonitor(*monitor_, *PagePreview1);
    ShowPageReadout(PagePreview1->PageCount() > 0 ? 1 : 0);
}

void TPrintForm::ShowPageReadout(int page)
{
    StatusPanel->setText(
        QString::asprintf("    Page %d    Total %d", page, PagePreview1->PageCount()));
}

void TPrintForm::PagePreview1Change()
{
    if (PagePreview1->CurrentPage() != -1)
        ShowPageReadout(PagePreview1->CurrentPage() + 1);
}

bool TPrintForm::CanPrint()
{
    if (!PrintDestinationExists()) {
        ShowWarning(mainWindow_, kCaption, "Printers have not yet installed.");
        return false;
    }
    return true;
}

void TPrintForm::Button1Click()
{
    PagePreview1->SetMouseMode(TMouseMode::None);
    if (!CanPrint())
        return;
    if (PagePreview1->PageCount() == 0) {
        ShowWarning(mainWindow_, kCaption, "There is not content to print.");
        return;
    }
    PrintThroughDialog();
}

void TPrintForm::PrintMonitorText()
{
    if (!CanPrint())
        return;
    PagePreview1->ClearPages();
    PagePreview1->ActualSize();
    PaginateMonitor(*monitor_, *PagePreview1);
    if (PagePreview1->PageCount() == 0) {
        ShowWarning(mainWindow_, kCaption, "There is not content to print.");
        return;
    }
    PrintThroughDialog();
}

QPrinter &TPrintForm::Printer()
{
    // Made on the first print: looking for printers has no place in start-up.
    if (!printer_) {
        // Pages are pictures at the screen's resolution; printing at the same
        // resolution keeps their text the size it was laid out at.
        printer_ = std::make_unique<QPrinter>(QPrinter::ScreenResolution);
        printer_->setFromTo(1, 1);
    }
    return *printer_;
}

void TPrintForm::PrintThroughDialog()
{
    QPrinter &printer = Printer();
    std::unique_ptr<TPrintJobs> jobs
        = RunPrintDialog({ this, &printer, PagePreview1->PageCount() });
    if (!jobs)
        return;
    // The copies are made by printing again; the destination must not multiply
    // them once more. The dialog shows the user's count next time.
    const int copies = printer.copyCount();
    printer.setCopyCount(1);
    try {
        PrintCopies(*jobs, copies);
        jobs->Finish();
    } catch (const EPrint &error) {
        ShowWarning(mainWindow_, kCaption, "The pages could not be printed. " + error.Reason());
    }
    printer.setCopyCount(copies);
}

// Copies are the outer loop: two copies of pages 2 to 3 print 2, 3, 2, 3.
void TPrintForm::PrintCopies(TPrintJobs &jobs, int copies)
{
    QPrinter &printer = Printer();
    const bool range = printer.printRange() == QPrinter::PageRange;
    for (int copy = 0; copy < copies; ++copy) {
        if (!range) {
            PagePreview1->PrintAll(jobs);
            continue;
        }
        for (int page = printer.fromPage(); page <= printer.toPage(); ++page)
            PagePreview1->PrintPage(jobs, page - 1);
    }
}
