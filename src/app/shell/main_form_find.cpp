// The find commands: the find dialog, "Find Next " and the find-results window.
#include "app/shell/main_form.h"

#include "app/engine/data_rt.h"
#include "app/shell/bring_to_front.h"
#include "app/shell/view_text.h"
#include "app/tools/find_dialog.h"
#include "app/tools/find_form.h"

#include <QAction>
#include <QPlainTextEdit>

void TMainForm::CreateFindTools()
{
    findForm_ = new TFindForm(this);
    addDockWidget(Qt::BottomDockWidgetArea, findForm_);
    findForm_->hide();
    richFind_ = findForm_->RichFind;
    findDialog_ = new TFindDialog(richShow_, findForm_, settings_, this);
    // A hit selected by Find Next stays in sight while the dialog has the focus.
    KeepSelectionVisible(richShow_);

    connect(Find1, &QAction::triggered, this, [this] { ShowOrBringToFront(findDialog_); });
    connect(FindNext1, &QAction::triggered, findDialog_, &TFindDialog::FindInMonitor);
    connect(FindWindow1, &QAction::triggered, this, &TMainForm::ToggleFindWindow);

    AttachEditPopup(richFind_);
    connect(findForm_, &TFindForm::Activated, this, [this] {
        if (dataRT_)
            dataRT_->SetActiveView(richFind_);
    });
    connect(findForm_, &TFindForm::Closed, this, [this] {
        settings_.FindWindowVisible = 0;
        ApplySettings();
    });
}

void TMainForm::ToggleFindWindow()
{
    settings_.FindWindowVisible = settings_.FindWindowVisible ? 0 : 1;
    ApplySettings();
    if (settings_.FindWindowVisible) {
        findForm_->show();
        findForm_->raise();
    } else {
        findForm_->hide();
    }
}
