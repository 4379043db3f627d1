#pragma once

#include <QDockWidget>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class QPlainTextEdit;

// Where a listed line came from: its line in the monitor as the monitor was
// when it was listed. The monitor may have moved on since.
struct ListedLineSource
{
    int Block = 0; // the monitor's block (hard line) that holds the line
    int Column = 0; // where the line starts in that block (a wrapped line starts inside it)
    QString Text; // the line as it was found
};

// A found line as the results list it.
struct ListedLine
{
    QString Stamp; // grey
    QString Body;
    uint32_t Color = 0;
    ListedLineSource Source;
};

// The find-results window: a dockable tool window whose view lists the monitor
// lines that a "Find All" found. The view is the user's to edit or clear.
class TFindForm : public QDockWidget
{
    Q_OBJECT
public:
    explicit TFindForm(QWidget *parent = nullptr);

    QPlainTextEdit *RichFind;

    // Appends found lines at the caret in one edit of the view, each remembering
    // where it came from.
    void AddListedLines(const std::vector<ListedLine> &lines);
    // Shows the window where it was last placed, the caret at the top of the list.
    void ShowResults();
    // The monitor line that the listed line at `viewportPos` came from.
    std::optional<ListedLineSource> SourceAt(QPoint viewportPos) const;

signals:
    void Activated(); // the results view became the active view
    void Closed(); // closed by its own close button
    void ListedLineDoubleClicked(const ListedLineSource &source);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
};
