#pragma once

#include <QDialog>

#include <memory>

class QLabel;
class QPrinter;
class QPushButton;
class QStatusBar;
class QPlainTextEdit;
class QWidget;
class TPagePreview;
class TPrintJobs;

// The print preview window: the monitor's text as pages, zoomed and printed
// from here; the main window's "Print" prints through it without showing it.
class TPrintForm : public QDialog
{
    Q_OBJECT
public:
    // `monitor` is the view whose text is printed; `mainWindow` owns the messages.
    TPrintForm(QPlainTextEdit *monitor, QWidget *mainWindow);
    ~TPrintForm() override;

    QWidget *Panel1;
    QPushButton *Button1; // Print
    QPushButton *Button4; // Actual Size
    QPushButton *Button5; // Full Page
    QPushButton *Button2; // Zoom In
    QPushButton *Button3; // Zoom Out
    QPushButton *Button8; // Cancel
    TPagePreview *PagePreview1;
    QStatusBar *StatusBar1;
    QLabel *StatusPanel;

    // Forms the pages from the monitor's current text.
    void BuildPreviewPages();
    // The main window's "Print": pages at actual size, then the print dialog.
    void PrintMonitorText();
    // Asks the print dialog and prints the current pages as chosen there.
    void PrintThroughDialog();

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void CreateButtonBar();
    void CreateStatusBar();
    void Button1Click();
    void PagePreview1Change();
    void ShowPageReadout(int page);
    bool CanPrint();
    void PrintCopies(TPrintJobs &jobs, int copies);
    QPrinter &Printer();

    QPlainTextEdit *monitor_;
    QWidget *mainWindow_;
    std::unique_ptr<QPrinter> printer_; // keeps the dialog's choices for the run
};
