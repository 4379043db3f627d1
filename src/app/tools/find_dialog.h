#pragma once

#include "shell/settings_record.h"
#include "tools/text_search.h"

#include <QDialog>

#include <cstddef>
#include <cstdint>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QPlainTextEdit;
class TFindForm;
struct ListedLine;
struct ListedLineSource;
struct MonitorSnapshot;

// The find dialog: a small window that stays on top and searches the monitor
// view, one hit at a time ("Find Next") or all at once into the results window
// ("Find All").
class TFindDialog : public QDialog
{
    Q_OBJECT
public:
    TFindDialog(QPlainTextEdit *monitor, TFindForm *results, const SettingsRecord &settings,
        QWidget *parent = nullptr);

    QLabel *Label1;
    QLineEdit *FindText;
    QPushButton *FindNext;
    QCheckBox *FindAll;
    QCheckBox *UpLowCase;
    QPushButton *Button2; // "Cancel"

    // Searches with the dialog's settings, shown or not. Ignored while a
    // "Find All" runs.
    void FindInMonitor();
    // True while a "Find All" runs; hiding the dialog ends it.
    bool Searching() const { return searching_; }
    // 1-based position of the last hit in the monitor text; 0: start at the top.
    int32_t LastFoundPos() const { return finder_.LastFoundPos; }

    // Selects the listed line in the monitor when the monitor still holds it.
    void ShowListedLine(const ListedLineSource &source);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void CreateControls();
    void FormShow();
    void FindTextChange();
    void SetFindNextEnabled(bool enabled);
    void RunFindNext(const MonitorSnapshot &snapshot, const QString &needle);
    void RunFindAll(const MonitorSnapshot &snapshot, const QString &needle);
    ListedLine ListedLineAt(const MonitorSnapshot &snapshot, std::size_t line) const;
    void PutMonitorCaret(const MonitorSnapshot &snapshot);
    void BeginFindAll();
    void EndFindAll();

    QPlainTextEdit *monitor_;
    TFindForm *results_;
    const SettingsRecord &settings_;
    TTextFinder finder_;
    bool searching_ = false;
    bool findNextEnabledAfter_ = true; // the button's state once a Find All ends
};
